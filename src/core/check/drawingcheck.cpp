#include "check/drawingcheck.h"

#include "base/fileio.h"
#include "base/paths.h"
#include "base/text.h"

#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pilotrame {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
bool OwnerCanWrite(fs::perms permissions) {
    return (permissions & fs::perms::owner_write) != fs::perms::none;
}
#endif

// Looks at the drawings one after the other. A folder is looked at once for the drawings that
// follow one another in it, and the buffers of the paths are kept from drawing to drawing: a
// list of many drawings costs little more than the system's answers.
// The first bytes of each drawing are read into one buffer, kept from drawing to drawing.
class Checker {
public:
    explicit Checker(DrawingCheck& check) : m_check(check), m_bytes(kDxfReadLimit, '\0') {}

    void check(const std::string& folder, std::string_view name) {
        if (!m_seenFolder || folder != m_folder) {
            lookAtFolder(folder);
            m_seenFolder = true;
        }
        ++m_check.checked;
        m_path.assign(folder).append(name);
        if (!statusOf(m_path, m_status) || !isOrdinaryFile()) {
            m_check.issues.push_back(DrawingIssue{m_path, DrawingProblem::Missing, std::nullopt});
            return;
        }
        const DrawingNameKind kind = KindOfName(name);
        const std::size_t wanted = BytesToRead(kind);
        std::size_t read = 0;
        if (wanted > 0) {
            const Result<std::size_t> start = ReadFileStart(m_path, m_bytes.data(), wanted);
            if (!start) {
                // AutoCAD may hold a drawing it has open against readers too.
                const DrawingProblem problem = lockFileBeside(folder, name)
                                                   ? DrawingProblem::OpenElsewhere
                                                   : DrawingProblem::Unreadable;
                m_check.issues.push_back(DrawingIssue{m_path, problem, std::nullopt});
                return;
            }
            read = *start;
        }
        DrawingFormat format =
            FormatOfDrawing(kind, std::string_view(m_bytes.data(), read), read < wanted);
        DrawingProblem problem;
        if (IsNoDrawing(format.kind))
            problem = DrawingProblem::NotADrawing;
        else if (m_check.opener && IsNewerThan(format, *m_check.opener))
            problem = DrawingProblem::NewerFormat;
        else if (!writable(m_path) || m_folderReadOnly)
            problem = DrawingProblem::ReadOnly;
        else if (lockFileBeside(folder, name))
            problem = DrawingProblem::OpenElsewhere;
        else
            return;
        m_check.issues.push_back(DrawingIssue{m_path, problem, std::move(format)});
    }

private:
#ifdef _WIN32
    using FileStatus = fs::file_status;
    static bool statusOf(const std::string& path, FileStatus& status) {
        std::error_code ec;
        status = fs::status(ToFsPath(path), ec);
        return !ec;
    }
    bool isOrdinaryFile() const {
        return fs::is_regular_file(m_status);
    }
    // The file's read-only attribute, which the permissions std::filesystem gives reflect.
    bool writable(const std::string&) const {
        return OwnerCanWrite(m_status.permissions());
    }
    // Windows forbids nothing by a folder's read-only attribute (the shell sets it on folders it
    // customises): the folder is not looked at.
    void lookAtFolder(const std::string& folder) {
        m_folder = folder;
    }
#else
    using FileStatus = struct stat;
    static bool statusOf(const std::string& path, FileStatus& status) {
        return ::stat(path.c_str(), &status) == 0;
    }
    bool isOrdinaryFile() const {
        return S_ISREG(m_status.st_mode);
    }
    // Whether the user who runs the program may write the file or folder at path, as the system
    // answers it for that user: a drawing of another user, or of root, is read-only to this one
    // whatever its owner may do. Root may write anything, so for root the owner's write bit
    // decides, as users marking a drawing read-only expect; the system is still asked, for a
    // read-only disk.
    bool writable(const std::string& path) const {
        if (m_root && (m_status.st_mode & S_IWUSR) == 0)
            return false;
        return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
    }
    // AutoCAD saves a drawing by writing beside it: a folder the user may not write in makes
    // every drawing in it read-only.
    void lookAtFolder(const std::string& folder) {
        m_folder = folder;
        m_folderReadOnly =
            statusOf(folder, m_status) && S_ISDIR(m_status.st_mode) && !writable(folder);
    }
#endif

    // The lock file AutoCAD keeps beside an open drawing: the drawing's base name and ".dwl", in
    // either letter case, since drawings copied from Windows keep upper-case names.
    bool lockFileBeside(const std::string& folder, std::string_view name) {
        const std::size_t dot = name.rfind('.');
        m_lockPath.assign(folder).append(name.substr(0, dot));
        const std::size_t base = m_lockPath.size();
        for (const char* extension : {".dwl", ".DWL"}) {
            m_lockPath.resize(base);
            m_lockPath += extension;
#ifdef _WIN32
            std::error_code ec;
            if (fs::exists(ToFsPath(m_lockPath), ec))
                return true;
#else
            struct stat status;
            if (statusOf(m_lockPath, status))
                return true;
#endif
        }
        return false;
    }

    DrawingCheck& m_check;
    std::string m_folder;
    bool m_seenFolder = false;
    bool m_folderReadOnly = false;
    std::string m_path;
    std::string m_lockPath;
    std::string m_bytes;
    FileStatus m_status{};
#ifndef _WIN32
    bool m_root = ::geteuid() == 0;
#endif
};

} // namespace

DrawingCheck CheckDrawings(const FileList& list, const std::optional<AutocadRelease>& opener) {
    DrawingCheck check;
    check.opener = opener;
    Checker checker(check);
    for (const ListedFolder& folder : list) {
        for (const std::string& name : folder.names)
            checker.check(folder.folder, name);
    }
    return check;
}

Result<DrawingCheck> CheckDrawings(const std::string& listPath,
                                   const std::optional<AutocadRelease>& opener) {
    // Drawing by drawing as the list is read: a list of any length is never held whole.
    DrawingCheck check;
    check.opener = opener;
    Checker checker(check);
    ListPosition position;
    const Status walked = WalkFileList(listPath, position, [&checker](const ListPosition& at) {
        checker.check(at.currentFolder, at.currentFileName);
        return Success();
    });
    if (!walked)
        return walked.error();
    return check;
}

} // namespace pilotrame
