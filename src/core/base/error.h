#pragma once

#include <string>

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

// What failed, as the user is told it. The windows choose their message by the kind, never by
// the wording of an operation.
enum class ErrorKind {
    Other,             // a file operation with nothing more precise to say
    ListUnreadable,    // Liste01.txt missing or unreadable
    ListNotWritable,   // Liste01.txt cannot be written
    ScriptNotWritable, // the script file cannot be created; nothing was written
    ScriptIncomplete,  // a section could not be added: the script stops short
    DiskFull,          // a write ran out of room (a full disk, or a file-size limit)
    NotANumber,        // a box holds no number; detail names the box, text its content
    OutOfRange,        // a box holds a number out of range; detail names the box
    InvalidName,       // a name that a list or script line cannot carry
    NotADrawingName,   // a symbol's file name without ".dwg"; detail names the file
    SettingsUnreadable,
    SettingsNotWritable,
    RenameFailed, // a listed file could not be renamed
    Cancelled,    // the user stopped a long operation
};

// French description of an error number, as shown after the number in the start-up box.
std::string Describe(ErrorCode code);

// A failure of one core operation on one path; never thrown.
struct Error {
    ErrorCode code = ErrorCode::DeviceIo;
    ErrorKind kind = ErrorKind::Other;
    std::string path;   // the file or folder concerned, UTF-8; may be empty
    std::string detail; // what is concerned inside it (a box, a slot, a name); may be empty
    std::string text;   // the offending text, when there is one (a box's content)

    // "13 Incompatibilité de type": the number, one space, the description.
    std::string numberAndDescription() const;
};

// The error with its kind set to kind, unless it already tells more: a full disk stays a full
// disk whatever was being written, and a name that cannot be written stays that.
Error WithKind(Error error, ErrorKind kind);

} // namespace pilotrame
