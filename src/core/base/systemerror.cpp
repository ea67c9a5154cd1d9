#include "base/systemerror.h"

#include "base/paths.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pilotrame {

ErrorCode CodeFromErrno(int error, const std::string& path) {
    switch (error) {
    case ENOENT: {
        std::error_code ec;
        const auto parent = ToFsPath(path).parent_path();
        if (!parent.empty() && !std::filesystem::is_directory(parent, ec))
            return ErrorCode::PathNotFound;
        return ErrorCode::FileNotFound;
    }
    case ENOTDIR:
        return ErrorCode::PathNotFound;
    case EEXIST:
    case ENOTEMPTY:
        return ErrorCode::FileExists;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
        return ErrorCode::PermissionDenied;
    case EISDIR:
    case EXDEV:
    case ELOOP: // a link that leads back to itself
        return ErrorCode::PathFileAccess;
    case ENOSPC:
#ifdef EFBIG
    case EFBIG:
#endif
#ifdef EDQUOT
    case EDQUOT:
#endif
        return ErrorCode::DiskFull;
    case ENAMETOOLONG:
    case EINVAL:
        return ErrorCode::BadFileName;
    default:
        return ErrorCode::DeviceIo;
    }
}

ErrorCode FolderCodeFromErrno(int error, const std::string& folder) {
    return error == ENOENT ? ErrorCode::PathNotFound : CodeFromErrno(error, folder);
}

#ifdef _WIN32
ErrorCode CodeFromWindowsError(unsigned long error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return ErrorCode::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
        return ErrorCode::PathNotFound;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return ErrorCode::FileExists;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return ErrorCode::PermissionDenied;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return ErrorCode::BadFileName;
    case ERROR_NOT_SAME_DEVICE:
    case ERROR_CANT_RESOLVE_FILENAME: // a link that leads back to itself
        return ErrorCode::PathFileAccess;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ErrorCode::DiskFull;
    default:
        return ErrorCode::DeviceIo;
    }
}

ErrorCode FolderCodeFromWindowsError(unsigned long error) {
    // A folder's path that names a file is an invalid name to a listing: a path not found, as the
    // folder itself when it is missing.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_INVALID_NAME)
        return ErrorCode::PathNotFound;
    return CodeFromWindowsError(error);
}
#endif

Error FileError(ErrorCode code, const std::string& path) {
    Error error;
    error.code = code;
    error.path = path;
    return error;
}

Error ErrorFromErrno(int error, const std::string& path) {
    return FileError(CodeFromErrno(error, path), path);
}

} // namespace pilotrame
