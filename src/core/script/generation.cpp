#include "script/generation.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/text.h"

namespace pilotrame {

namespace {
bool FitsOnScriptLine(std::string_view name) {
    return !HasControlCharacter(name) && name.find('"') == std::string_view::npos;
}
} // namespace

Result<int> GenerateScript(const std::string& listPath, const std::string& scriptPath,
                           ListPosition& position, const SectionWriter& writeSection,
                           const std::unordered_set<std::string>* skipped) {
    if (Status emptied = TruncateFile(scriptPath); !emptied)
        return InOperation(emptied.error(), Operation::CreateScript);
    std::string section;
    std::string path;
    int sections = 0;
    const Status walked = WalkFileList(listPath, position, [&](const ListPosition& at) -> Status {
        if (skipped && !skipped->empty()) {
            path.assign(at.currentFolder).append(at.currentFileName);
            if (skipped->contains(path))
                return Success();
        }
        if (!FitsOnScriptLine(at.currentFolder) || !FitsOnScriptLine(at.currentFileName))
            return NameError(ErrorCode::InvalidName, at.currentFolder + at.currentFileName,
                             scriptPath);
        section.clear();
        if (Status written = writeSection(section, at); !written)
            return written;
        if (Status appended = AppendToFile(scriptPath, ToAnsi(section)); !appended)
            return InOperation(appended.error(), Operation::AppendScript);
        ++sections;
        return Success();
    });
    if (!walked)
        return walked.error();
    return sections;
}

} // namespace pilotrame
