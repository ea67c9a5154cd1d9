#include "launch/drawingcheck.h"

#include "base/paths.h"
#include "base/text.h"

#include <filesystem>
#include <system_error>

namespace pilotrame {

namespace fs = std::filesystem;

namespace {

bool OwnerCanWrite(fs::perms permissions) {
    return (permissions & fs::perms::owner_write) != fs::perms::none;
}

// The lock file AutoCAD keeps beside an open drawing: the drawing's base name and ".dwl", in
// either letter case, since drawings copied from Windows keep upper-case names.
bool LockFileBeside(const std::string& folder, std::string_view name) {
    const std::size_t dot = name.rfind('.');
    const std::string base(name.substr(0, dot == std::string_view::npos ? name.size() : dot));
    std::error_code ec;
    for (const char* extension : {".dwl", ".DWL"}) {
        if (fs::exists(ToFsPath(folder + base + extension), ec))
            return true;
    }
    return false;
}

} // namespace

DrawingCheck CheckDrawings(const FileList& list) {
    DrawingCheck check;
    for (const ListedFolder& folder : list) {
        // One look at the folder serves all its drawings. Windows forbids nothing by a folder's
        // read-only attribute (the shell sets it on folders it customises), so only the
        // permission bits of other systems count.
        bool folderReadOnly = false;
#ifndef _WIN32
        std::error_code folderError;
        const fs::file_status folderStatus = fs::status(ToFsPath(folder.folder), folderError);
        folderReadOnly = !folderError && fs::is_directory(folderStatus) &&
                         !OwnerCanWrite(folderStatus.permissions());
#endif
        for (const std::string& name : folder.names) {
            ++check.checked;
            const std::string path = folder.folder + name;
            std::error_code ec;
            const fs::file_status status = fs::status(ToFsPath(path), ec);
            DrawingProblem problem;
            if (ec || !fs::is_regular_file(status))
                problem = DrawingProblem::Missing;
            else if (!OwnerCanWrite(status.permissions()) || folderReadOnly)
                problem = DrawingProblem::ReadOnly;
            else if (LockFileBeside(folder.folder, name))
                problem = DrawingProblem::OpenElsewhere;
            else
                continue;
            check.issues.push_back(DrawingIssue{path, problem});
        }
    }
    return check;
}

Result<DrawingCheck> CheckDrawings(const std::string& listPath) {
    Result<FileList> list = ReadFileList(listPath);
    if (!list)
        return list.error();
    return CheckDrawings(*list);
}

} // namespace pilotrame
