#include "script/generation.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/text.h"

namespace pilotrame {

namespace {

// No control character and no double quote, which would end the path's quotes.
bool FitsOnScriptLine(std::string_view name) {
    return !HasControlCharacter(name, '"');
}

// Appends the section of the drawing at position, in the ANSI code page, to the buffer; ansiName
// is the name in the ANSI code page when known, else empty.
using AnsiSectionWriter = std::function<Status(std::string& ansi, const ListPosition& position,
                                               std::string_view ansiName)>;

#ifdef _WIN32
// The system's code page may not give back each byte of a name (a byte it leaves undefined, half
// a character of a double-byte one): the name is converted from its UTF-8.
constexpr bool kListedNamesRoundTrip = false;
#else
// Windows-1252 gives back every byte: the name as listed is the name converted twice.
constexpr bool kListedNamesRoundTrip = true;
#endif

Result<int> Generate(const std::string& listPath, const std::string& scriptPath,
                     ListPosition& position, const AnsiSectionWriter& writeSection,
                     const std::unordered_set<std::string>* skipped, std::size_t listPieceSize) {
    if (Status emptied = TruncateFile(scriptPath); !emptied)
        return InOperation(emptied.error(), Operation::CreateScript);
    std::string section;
    std::string path;
    std::string checkedFolder;
    int sections = 0;
    const auto onFile = [&](const ListPosition& at, std::string_view listedName) -> Status {
        if (skipped && !skipped->empty()) {
            path.assign(at.currentFolder).append(at.currentFileName);
            if (skipped->contains(path))
                return Success();
        }
        // A folder is checked once for the drawings that follow its line.
        if (at.currentFolder != checkedFolder) {
            if (!FitsOnScriptLine(at.currentFolder))
                return NameError(ErrorCode::InvalidName, at.currentFolder + at.currentFileName,
                                 scriptPath);
            checkedFolder = at.currentFolder;
        }
        if (!FitsOnScriptLine(at.currentFileName))
            return NameError(ErrorCode::InvalidName, at.currentFolder + at.currentFileName,
                             scriptPath);
        section.clear();
        if (Status written =
                writeSection(section, at, kListedNamesRoundTrip ? listedName : std::string_view());
            !written)
            return written;
        if (Status appended = AppendToFile(scriptPath, section); !appended)
            return InOperation(appended.error(), Operation::AppendScript);
        ++sections;
        return Success();
    };
    const Status walked = WalkListedFiles(listPath, position, onFile, listPieceSize);
    if (!walked)
        return walked.error();
    return sections;
}

} // namespace

Result<int> GenerateScript(const std::string& listPath, const std::string& scriptPath,
                           ListPosition& position, const SectionWriter& writeSection,
                           const std::unordered_set<std::string>* skipped,
                           std::size_t listPieceSize) {
    std::string utf8;
    const auto toAnsi = [&](std::string& ansi, const ListPosition& at, std::string_view) -> Status {
        utf8.clear();
        if (Status written = writeSection(utf8, at); !written)
            return written;
        AppendToAnsi(ansi, utf8);
        return Success();
    };
    return Generate(listPath, scriptPath, position, toAnsi, skipped, listPieceSize);
}

Result<int> GenerateScript(const std::string& listPath, const std::string& scriptPath,
                           ListPosition& position, DrawingSectionWriter& writer,
                           const std::unordered_set<std::string>* skipped,
                           std::size_t listPieceSize) {
    const auto ansi = [&writer](std::string& section, const ListPosition& at,
                                std::string_view ansiName) {
        return writer.appendAnsi(section, at, ansiName);
    };
    return Generate(listPath, scriptPath, position, ansi, skipped, listPieceSize);
}

} // namespace pilotrame
