#include "script/generation.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/text.h"

#include <cstdint>
#include <cstring>

namespace pilotrame {

namespace {

// No control character (below 0x20, or DEL) and no double quote, which would end the path's
// quotes. Eight bytes at a time, the names of a long list being checked one after the other: a
// byte below 0x20 sets the top bit of its lane, as does one equal to DEL or '"' (made zero).
bool FitsOnScriptLine(std::string_view name) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kTops = 0x8080808080808080u;
    std::size_t i = 0;
    for (; i + 8 <= name.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, name.data() + i, sizeof word);
        const std::uint64_t del = word ^ (kOnes * 0x7F);
        const std::uint64_t quote = word ^ (kOnes * '"');
        if ((((word - kOnes * 0x20) & ~word) | ((del - kOnes) & ~del) |
             ((quote - kOnes) & ~quote)) &
            kTops)
            return false;
    }
    for (const char c : name.substr(i)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '"')
            return false;
    }
    return true;
}

// Appends the section of the drawing at position, in the ANSI code page, to the buffer.
using AnsiSectionWriter = std::function<Status(std::string& ansi, const ListPosition& position)>;

Result<int> Generate(const std::string& listPath, const std::string& scriptPath,
                     ListPosition& position, const AnsiSectionWriter& writeSection,
                     const std::unordered_set<std::string>* skipped, std::size_t listPieceSize) {
    if (Status emptied = TruncateFile(scriptPath); !emptied)
        return InOperation(emptied.error(), Operation::CreateScript);
    std::string section;
    std::string path;
    std::string checkedFolder;
    int sections = 0;
    const auto onFile = [&](const ListPosition& at) -> Status {
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
        if (Status written = writeSection(section, at); !written)
            return written;
        if (Status appended = AppendToFile(scriptPath, section); !appended)
            return InOperation(appended.error(), Operation::AppendScript);
        ++sections;
        return Success();
    };
    const Status walked = WalkFileList(listPath, position, onFile, listPieceSize);
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
    const auto toAnsi = [&](std::string& ansi, const ListPosition& at) -> Status {
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
    const auto ansi = [&writer](std::string& section, const ListPosition& at) {
        return writer.appendAnsi(section, at);
    };
    return Generate(listPath, scriptPath, position, ansi, skipped, listPieceSize);
}

} // namespace pilotrame
