#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// Error numbers shown to the user; they follow the classic Basic run-time numbering that
// draughtsmen already know from the earlier tools ("13 Incompatibilité de type").
enum class ErrorCode {
    TypeMismatch = 13,
    Overflow = 6,
    FileNotFound = 53,
    FileExists = 58,
    PermissionDenied = 70,
    PathFileAccess = 75,
    PathNotFound = 76,
    DeviceIo = 57,
    DiskFull = 61,
    BadFileName = 52,
    InvalidPropertyValue = 380,
    InvalidName = 1001, // a name that a script or list line cannot carry
};

// What the program was doing when it failed. The message names the file by it.
enum class Operation {
    None,          // a file operation or a box read with nothing more to say
    ReadList,      // reading the list of drawings
    WriteList,     // writing Liste01.txt
    CreateScript,  // creating or emptying the script file: nothing of it was written
    AppendScript,  // adding a drawing's section: the script stops short
    ReadSettings,  // reading savescript.txt
    SaveSettings,  // writing savescript.txt
    RenameFile,    // renaming a listed file
    ReadJob,       // reading a job file
    SaveJob,       // writing a job file
    ReadArguments, // reading the command line
    StartProgram,  // starting AutoCAD or Excel
    WriteJournal,  // writing a log, resume.csv or echecs.txt of a batch run
    CopyDrawing,   // copying a drawing for a trial run: path is the file concerned
};

// Why it failed.
enum class Cause {
    System,           // the system refused: code says why (missing, access, disk full …)
    NotANumber,       // a box holds no number: detail names the box, text is its content
    OutOfRange,       // a box holds a number it cannot take: detail names the box
    InvalidName,      // a name that a list or script line cannot carry: detail names it
    NotADrawingName,  // a symbol's file name without ".dwg": detail names the file
    FaultyText,       // a job file or the command line is faulty: fault says how
    NotAFile,         // the path names a pipe, a device or a folder, not an ordinary file
    TooLarge,         // the file is larger than its kind can hold: number is the limit in bytes
    Damaged,          // the file stops before the end of what it must hold
    NotInCodePage,    // a box or cell holds a character the ANSI code page cannot hold:
                      // detail names the box or cell, text is the character
    PastTheLimit,     // steps that take a table or a grid past what a script can place:
                      // detail names the table or grid
    NeedsVba,         // the job runs a VBA macro, which AutoCAD's console cannot run
    ControlCharacter, // a box holds a control character, which no script line can carry:
                      // box names it, number is the character's code
    FolderRefused,    // no file can be made in the folder (detail) of path: code says why,
                      // PathNotFound (it does not exist) or PermissionDenied (the user may not
                      // write there)
    NotAProgram,      // the program to start is a file the system cannot run (a text, a folder,
                      // a program of another system)
    BatchFile,        // the program to start is a batch file (.bat, .cmd), which Windows runs
                      // through cmd.exe: it would change the "%" of its arguments
};

// What is wrong in a text the program reads by its own rules.
enum class TextFault {
    None,
    // A job file: line is the line, detail the key, text the value as written.
    NotAJobFile,         // the first line does not name the format
    NewerFormat,         // number: the version the file names
    NotUtf8,             // bytes that are not UTF-8
    StrayCarriageReturn, // a CR inside a line
    MissingEquals,       // a line without "="
    MalformedKey,        // a key with characters a key cannot have
    RepeatedKey,         // number: the line that gave the key first
    LoneBackslash,       // a "\" at the end of a value
    UnknownEscape,       // text: the sequence
    NotAFlag,            // a value other than 0 and 1
    NotAWord,            // allowed: the words the key takes
    NotAWholeNumber,     // a value that is no whole number (also an option's, on the command line)
    NumberOutOfRange,    // a whole number outside its range; allowed: the lowest and the highest
    NotALanguage,        // a language with characters other than letters, digits and "-"
    LineBreakInLine,     // a line break in the value of a single-line box
    ValueTooLong,        // a single-line value longer than its box holds; number: the limit
    CutShort,            // the text stops before its closing line; text: that line
    TextAfterEnd,        // lines after the closing line; text: that line
    // The command line: detail is the option or the argument.
    UnknownOption,
    RepeatedOption,
    MissingFileName,    // an option that takes a file name, without one
    ValueNotTaken,      // "--option=value" for an option that takes none
    UnexpectedArgument, // an argument that is no option
    OnlyWithGenerate,   // --job, --list, --execute or --run without --generate
    MissingNumber,      // an option that takes a number, without one
    OnlyWithRun,        // --workers or --timeout without --run
    RunAndExecute,      // --run and --execute together
    // A list of drawings: line is the line, text its start as the list holds it.
    FileBeforeFolder, // a file line before any folder line: text is the file's name
    NamelessFile,     // a file line without a name: detail is the folder it comes under
    LineTooLong,      // a line longer than a list line can be; number: the limit in bytes
    // A job file, again.
    ControlInValue, // a value that reaches the script holds a control character; number: its code
    // The command line, again: detail is the option.
    VerifyAlone,   // --verifier with an option other than --job and --list
    TrialNeedsRun, // --essai without --run or --execute, for a job that renames no file
};

// A box of a window, named by the core without words: src/core/texts/ gives its French name.
enum class Box {
    None,
    // The main window.
    EraseFirstX,
    EraseFirstY,
    EraseSecondX,
    EraseSecondY,
    InsertFile,
    AttributeFirstX,
    AttributeFirstY,
    AttributeSecondX,
    AttributeSecondY,
    AttributeOld,
    AttributeNew,
    ReplaceOld1,
    ReplaceNew1,
    ReplaceOld2,
    ReplaceNew2,
    ScriptTextLine, // index: the line of the script text, from 1
    RenameStart,
    RenameLength,
    // The macro window.
    SymbolStepX,
    SymbolStepY,
    SymbolGrid,     // the grid the F1 symbols are placed on, which no box holds
    AttributeBlock, // index: 1 to 4
    AttributeName,  // index: 1 to 4
    CountedBlock,
    ErasedLayer,
    FrozenLayer,
    ExportCorner, // index: 1 to 4, in the order of MacroJob::exportCorners
    // The text insertion.
    ColumnX, // index: the column, from 1
    RowStep,
    TextStyle,
    TextHeight,
    TextRotation,
    Table,     // the pasted table as a whole
    TableCell, // index: the row, column: the column, both from 1
};

// A box, and which of its kind when there are several.
struct BoxRef {
    Box box = Box::None;
    int index = 0;
    int column = 0;

    BoxRef() = default;
    // A Box alone is a BoxRef: most boxes are one of a kind.
    BoxRef(Box which, int number = 0, int columnNumber = 0)
        : box(which), index(number), column(columnNumber) {}
    bool operator==(const BoxRef&) const = default;
};

// A failure of one core operation; never thrown. The windows choose their message by operation
// and cause, and the texts for both are in messages.*.
struct Error {
    ErrorCode code = ErrorCode::DeviceIo;
    Operation operation = Operation::None;
    Cause cause = Cause::System;
    std::string path;   // the file or folder concerned, UTF-8; may be empty
    std::string detail; // what is concerned inside it (a name, a key); may be empty
    BoxRef box;         // the box concerned, when a box is
    std::string text;   // the offending text, when there is one (a box's content)
    TextFault fault = TextFault::None;
    int line = 0;                     // the faulty line of a text, from 1
    int number = 0;                   // a number the fault names (a version, an earlier line)
    std::vector<std::string> allowed; // the values a faulty value could have taken
};

// The error as the failure of operation: the cause stays what it was.
Error InOperation(Error error, Operation operation);

// A box whose text cannot be used: cause NotANumber (code TypeMismatch) or OutOfRange (code
// Overflow); box names the box, text is its content.
Error BoxError(Cause cause, BoxRef box, std::string_view text);

// A box holding a control character (cause ControlCharacter, code InvalidPropertyValue): number
// is the character's code.
Error ControlCharacterError(BoxRef box, int code);

// The same for a value named by its key (detail) rather than by a box.
Error KeyValueError(Cause cause, std::string_view key, std::string_view text);

// A name that a list or script line cannot carry (cause InvalidName); detail is the name.
Error NameError(ErrorCode code, std::string_view name, std::string path = {});

// A faulty text (cause FaultyText, code InvalidPropertyValue) at line, about detail.
Error TextError(TextFault fault, int line, std::string_view detail = {},
                std::string_view text = {});

} // namespace pilotrame
