#pragma once

#include "base/result.h"
#include "process/process.h"
#include "script/drawingsection.h"
#include "script/scriptwords.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// What is particular to AutoCAD's console (accoreconsole.exe): how it is started on one drawing,
// the script it runs, and how its output is read.

inline constexpr std::string_view kConsoleScriptName = "console.scr";

// How one console is started on one drawing: /i <drawing> /s <script> /l <language> (without /l
// when language is empty), which WindowsCommandLine quotes.
ProgramStart ConsoleStart(std::string_view console, std::string_view drawing,
                          std::string_view script, std::string_view language);

// Succeeds when path names a program this system can start: an ordinary file that this user may
// run and that starts as a program ("\x7FELF") or as a script whose "#!" line names an
// interpreter that is an ordinary file this user may run, on POSIX; a ".exe" file that starts as
// one does ("MZ"), or a ".com" file, on Windows. Fails with operation StartProgram, naming path: a
// missing file as FileNotFound or PathNotFound, a folder or a device as NotAFile, anything else (a
// text, a file this user may not run, a "#!" without a name) as PermissionDenied; a script whose
// interpreter is missing or cannot be run fails the same way with text naming the interpreter.
Status CheckConsoleProgram(const std::string& path);

// The output of one console read as it comes, in pieces of any size: decoded to UTF-8 and handed
// on to onText, searched for the run's failure messages, and only its last kTailSize bytes kept.
// AutoCAD's console writes UTF-16LE on Windows, with or without a byte-order mark: that is told
// from the first bytes by their shape (the zero bytes of line breaks and spaces, or high bytes
// that no 8-bit text holds, rather than the letters of 8-bit text read in pairs), whatever the
// script of the text. Anything else is taken as it comes: UTF-8 where it is, the ANSI code page
// for the bytes that are not.
//
// The messages are not looked for in that one reading alone: an output may mix encodings (a
// stray zero byte, an ASCII line before UTF-16 text, UTF-16 at an odd offset). Each is looked for
// in every reading the bytes allow at once: UTF-16LE from an even and from an odd offset, UTF-8
// and Windows-1252, each as the output streams, wherever the pieces cut it. Letters are compared
// without regard to case, ASCII and Latin-1 alike ("ÉCHEC" is "échec").
class ConsoleOutputReader {
public:
    static constexpr std::size_t kTailSize = 4096;

    ConsoleOutputReader(std::vector<std::string> failureMessages,
                        std::function<void(std::string_view text)> onText);

    void add(std::string_view bytes);
    // The output pauses: the first bytes, held back to tell its encoding, are decoded and handed
    // on now, so that the log of a console that says little and then works shows it; the encoding
    // is told from them.
    void settle();
    // The output has ended: what was held back is decoded and handed on.
    void finish();

    // The first failure message found, as the list gives it; empty when none was. Of those found
    // in the same stretch, the one that ends first in the output, the longer one at a tie.
    const std::string& messageFound() const { return m_found; }
    // The last bytes of the text, cut at a character's start.
    std::string tail() const;
    // How many bytes of text were handed on.

private:
    enum class Encoding { Unknown, Utf16Le, Bytes };

    // One reading of the output, searched for the messages: its text with letters folded to
    // small ones, the end of the stretch before kept for a message that the pieces cut.
    struct Reading {
        enum class Kind { Utf8, Cp1252, Utf16Even, Utf16Odd } kind = Kind::Utf8;
        std::string held;           // the start of a character that the next piece completes
        char32_t highSurrogate = 0; // UTF-16: the first half of a pair
        bool begun = false;         // UTF-16 from an odd offset: the first byte is passed
        // The text, and for each of its bytes the output's bytes that its character took (0 past
        // the character's first byte); length bytes of room are in use. Plain arrays: a piece is
        // written into room made for it beforehand, without filling it first.
        std::unique_ptr<char[]> text;
        std::unique_ptr<std::uint8_t[]> sizes;
        std::size_t length = 0;
        std::size_t room = 0;
        std::uint64_t end = 0; // the output's bytes read into text so far
    };

    void decide();
    void decode(std::string_view bytes, bool last);
    void pass(std::string_view text);
    void search(std::string_view bytes, bool last);
    static void read(Reading& reading, std::string_view bytes, bool last);

    std::vector<std::string> m_messages;
    std::vector<std::string> m_folded; // the messages, letters folded as the readings are
    std::size_t m_longest = 0;         // bytes of the longest folded message
    std::vector<Reading> m_readings;
    std::function<void(std::string_view)> m_onText;
    Encoding m_encoding = Encoding::Unknown;
    std::string m_held; // bytes not decoded yet: the first ones, or a character cut short
    std::string m_text; // decoded text of the piece being handed on
    std::string m_tail;
    std::string m_found;
    char32_t m_highSurrogate = 0;
};

// The files a console script saves, so that a run can tell a drawing that was not saved: each
// "_qsave" saves the file in hand (the drawing, or what a "_saveas" before it made), each
// "_saveas" the file its answers name (by default the drawing's name with the extension of the
// format). The script's answers are its lines, and within a line the words between spaces, as
// AutoCAD reads a script; a command may be written with or without "_", "." or "-".
struct ScriptSave {
    enum class Kind {
        Drawing,  // the drawing itself
        SameName, // the drawing's name with extension (".dxf", ".dwg")
        Named,    // path, absolute or from the drawing's folder
    } kind = Kind::Drawing;
    std::string extension;
    std::string path;

    bool operator==(const ScriptSave&) const = default;
};
std::vector<ScriptSave> ScriptSaves(std::string_view script);

// The files that may show a save of the drawing folder + name: any one of them written during the
// run will do. A drawing that AutoCAD reads from DXF is saved by "_qsave" as a DWG of its name.
std::vector<std::string> SavedFiles(const ScriptSave& save, const std::string& folder,
                                    const std::string& name);

// The answers of a script, line by line: each line's words as AutoCAD takes them (a space ends an
// answer, an answer in double quotes may hold spaces and loses its quotes), an empty line one
// empty answer.
std::vector<std::vector<std::string>> ScriptAnswers(std::string_view script);

// A line of a job that the console cannot run.
struct ConsoleRefusal {
    std::string box;  // "SCRIPT FICHIER, ligne 3", or "INSERER, presse-papier"
    std::string word; // the command as written: "_close"
    ConsoleLimit limit = ConsoleLimit::OpensDrawing;

    bool operator==(const ConsoleRefusal&) const = default;
};

// The commands of a job that the console cannot run, in the order of the script: each word of the
// script text of a ticked "SCRIPT FICHIER" that AutoCAD may take as a command (ReadScript) and
// that ConsoleLimitOf names ("_.open", "_close", "_quit", "-vbarun", "_pasteclip", in any of
// their forms: "open", "_.CLOSE", "fermer" …), and a ticked "INSERER" from the clipboard, which
// writes "_pasteclip". The AutoCAD engine runs them all.
std::vector<ConsoleRefusal> ConsoleRefusals(const DrawingJob& job);

} // namespace pilotrame
