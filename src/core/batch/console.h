#pragma once

#include "base/result.h"
#include "process/process.h"
#include "script/drawingsection.h"
#include "script/scriptwords.h"

#include <cstddef>
#include <cstdint>
#include <functional>
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
// run and that starts as a program or a script does ("\x7FELF", "#!") on POSIX; a ".exe" file
// that starts as one does ("MZ"), or a ".com" file, on Windows. Fails with operation StartProgram,
// naming path: a missing file as FileNotFound or PathNotFound, a folder or a device as NotAFile,
// anything else (a text, a file this user may not run) as PermissionDenied.
Status CheckConsoleProgram(const std::string& path);

// The output of one console read as it comes, in pieces of any size: decoded to UTF-8 and handed
// on to onText, searched for the run's failure messages, and only its last kTailSize bytes kept.
// AutoCAD's console writes UTF-16LE on Windows, with or without a byte-order mark: that is told
// from the first bytes by their shape (the zero bytes of line breaks and spaces, or high bytes
// that no 8-bit text holds), whatever the script of the text. Anything else is taken as it comes:
// UTF-8 where it is, the ANSI code page for the bytes that are not. A failure message is found
// wherever the pieces cut it, its ASCII letters compared without regard to case.
class ConsoleOutputReader {
public:
    static constexpr std::size_t kTailSize = 4096;

    ConsoleOutputReader(std::vector<std::string> failureMessages,
                        std::function<void(std::string_view text)> onText);

    void add(std::string_view bytes);
    // The output has ended: what was held back is decoded and handed on.
    void finish();

    // The first failure message found, as the list gives it; empty when none was.
    const std::string& messageFound() const { return m_found; }
    // The last bytes of the text, cut at a character's start.
    std::string tail() const;
    // How many bytes of text were handed on.
    std::uint64_t textSize() const { return m_textSize; }

private:
    enum class Encoding { Unknown, Utf16Le, Bytes };

    void decide();
    void decode(std::string_view bytes, bool last);
    void pass(std::string_view text);

    std::vector<std::string> m_messages;
    std::vector<std::string> m_folded; // the messages, ASCII letters in lower case
    std::function<void(std::string_view)> m_onText;
    Encoding m_encoding = Encoding::Unknown;
    std::string m_held;  // bytes not decoded yet: the first ones, or a character cut short
    std::string m_text;  // decoded text of the piece being handed on
    std::string m_carry; // the end of the text before, for a message cut by the pieces
    std::string m_window;
    std::string m_tail;
    std::string m_found;
    std::uint64_t m_textSize = 0;
    char32_t m_highSurrogate = 0;
};

// The whole output of a console as UTF-8, as ConsoleOutputReader decodes it.
std::string DecodeConsoleOutput(std::string_view bytes);

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
