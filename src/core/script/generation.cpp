#include "script/generation.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/text.h"

namespace pilotrame {

namespace {

Status CheckPathPart(std::string_view part, const ListPosition& at, const std::string& scriptPath) {
    if (HasControlCharacter(part, '"') || !FitsAnsi(part))
        return CheckScriptPathPart(part, at.currentFolder + at.currentFileName, scriptPath);
    return Success();
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
    FileReplacement script(scriptPath);
    if (Status opened = script.open(); !opened)
        return InOperation(opened.error(), Operation::CreateScript);
    std::string pending;
    // Room for a piece and the section that takes it past its size, made once.
    pending.reserve(kScriptPieceSize + kScriptPieceSize / 4);
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
            if (Status fits = CheckPathPart(at.currentFolder, at, scriptPath); !fits)
                return fits;
            checkedFolder = at.currentFolder;
        }
        // A name taken as the list holds it fits the code page: it comes from it.
        const std::string_view ansiName = kListedNamesRoundTrip ? listedName : std::string_view();
        if (ansiName.empty() || HasControlCharacter(at.currentFileName, '"')) {
            if (Status fits = CheckPathPart(at.currentFileName, at, scriptPath); !fits)
                return fits;
        }
        if (Status written = writeSection(pending, at, ansiName); !written)
            return written;
        ++sections;
        if (pending.size() >= kScriptPieceSize) {
            if (Status flushed = script.write(pending); !flushed)
                return InOperation(flushed.error(), Operation::AppendScript);
            pending.clear();
        }
        return Success();
    };
    // Whatever fails from here, the new file goes and the previous script stays as it was.
    if (const Status walked = WalkListedFiles(listPath, position, onFile, listPieceSize); !walked)
        return walked.error();
    Status written = script.write(pending);
    // Not synced to the disk: a script is made again at will, and syncing hundreds of megabytes
    // would cost more than writing them.
    if (written)
        written = script.commit(false);
    if (!written)
        return InOperation(written.error(), Operation::AppendScript);
    return sections;
}

} // namespace

Status CheckScriptPathPart(std::string_view part, const std::string& path,
                           const std::string& scriptPath) {
    const auto refused = [&](std::string character) {
        Error error = NameError(ErrorCode::InvalidName, path, scriptPath);
        error.text = std::move(character);
        return error;
    };
    if (HasControlCharacter(part, '"'))
        return refused({});
    if (!FitsAnsi(part))
        return refused(OutsideAnsiError(part, {}).text);
    return Success();
}

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
