#include "launch/drawingcheck.h"

#include "base/paths.h"
#include "base/text.h"

#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pilotrame {

namespace fs = std::filesystem;

namespace {

bool OwnerCanWrite(fs::perms permissions) {
    return (permissions & fs::perms::owner_write) != fs::perms::none;
}

#ifndef _WIN32
// Whether the user who runs the program may write the file or folder at path, as the system
// answers it for that user: a drawing of another user, or of root, is read-only to this one
// whatever its owner may do. Root may write anything, so for root the owner's write bit decides,
// as users marking a drawing read-only expect; the system is still asked, for a read-only disk.
bool UserCanWrite(const std::string& path, fs::perms permissions) {
    if (::geteuid() == 0 && !OwnerCanWrite(permissions))
        return false;
    return ::faccessat(AT_FDCWD, ToFsPath(path).c_str(), W_OK, AT_EACCESS) == 0;
}
#endif

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

// Whether the drawing at path may be written: on Windows, by its read-only attribute (which
// the permissions std::filesystem gives reflect), elsewhere as UserCanWrite answers.
bool Writable([[maybe_unused]] const std::string& path, fs::perms permissions) {
#ifdef _WIN32
    return OwnerCanWrite(permissions);
#else
    return UserCanWrite(path, permissions);
#endif
}

} // namespace

DrawingCheck CheckDrawings(const FileList& list) {
    DrawingCheck check;
    for (const ListedFolder& folder : list) {
        // One look at the folder serves all its drawings. Windows forbids nothing by a folder's
        // read-only attribute (the shell sets it on folders it customises), so only other
        // systems look at the folder: AutoCAD saves a drawing by writing beside it.
        bool folderReadOnly = false;
#ifndef _WIN32
        std::error_code folderError;
        const fs::file_status folderStatus = fs::status(ToFsPath(folder.folder), folderError);
        folderReadOnly = !folderError && fs::is_directory(folderStatus) &&
                         !UserCanWrite(folder.folder, folderStatus.permissions());
#endif
        for (const std::string& name : folder.names) {
            ++check.checked;
            const std::string path = folder.folder + name;
            std::error_code ec;
            const fs::file_status status = fs::status(ToFsPath(path), ec);
            DrawingProblem problem;
            if (ec || !fs::is_regular_file(status))
                problem = DrawingProblem::Missing;
            else if (!Writable(path, status.permissions()) || folderReadOnly)
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
