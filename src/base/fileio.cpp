#include "base/fileio.h"

#include "base/paths.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace pilotrame {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

FileHandle openFile(const std::string& path, const char* mode) {
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return FileHandle(_wfopen(toFsPath(path).c_str(), wideMode.c_str()));
#else
    return FileHandle(std::fopen(path.c_str(), mode));
#endif
}

ErrorCode codeFromErrno(int error, const std::string& path) {
    switch (error) {
    case ENOENT: {
        std::error_code ec;
        const auto parent = toFsPath(path).parent_path();
        if (!parent.empty() && !std::filesystem::is_directory(parent, ec))
            return ErrorCode::PathNotFound;
        return ErrorCode::FileNotFound;
    }
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
        return ErrorCode::PermissionDenied;
    case EISDIR:
        return ErrorCode::PathFileAccess;
    case ENOSPC:
        return ErrorCode::DiskFull;
    case ENAMETOOLONG:
    case EINVAL:
        return ErrorCode::BadFileName;
    default:
        return ErrorCode::DeviceIo;
    }
}

Error errnoError(const char* operation, const std::string& path) {
    const int saved = errno;
    return Error{codeFromErrno(saved, path), operation, path, {}};
}

Status writeAll(std::FILE* file, std::string_view bytes, const char* operation,
                const std::string& path) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        return errnoError(operation, path);
    if (std::fflush(file) != 0)
        return errnoError(operation, path);
    return success();
}

bool syncToDisk(std::FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// fclose reports late write failures (a full disk on a network share); check it.
Status closeChecked(FileHandle& file, const char* operation, const std::string& path) {
    std::FILE* raw = file.release();
    if (std::fclose(raw) != 0)
        return errnoError(operation, path);
    return success();
}

} // namespace

Result<std::string> readFileBytes(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(toFsPath(path), ec))
        return Error{ErrorCode::PathFileAccess, "lecture", path, {}};
    FileHandle file = openFile(path, "rb");
    if (!file)
        return errnoError("lecture", path);
    std::string content;
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        content.append(buffer, n);
        if (n < sizeof buffer) {
            if (std::ferror(file.get()))
                return errnoError("lecture", path);
            break;
        }
    }
    return content;
}

Status checkReadable(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(toFsPath(path), ec))
        return Error{ErrorCode::PathFileAccess, "ouverture", path, {}};
    FileHandle file = openFile(path, "rb");
    if (!file)
        return errnoError("ouverture", path);
    return success();
}

Status truncateFile(const std::string& path) {
    FileHandle file = openFile(path, "wb");
    if (!file)
        return errnoError("création", path);
    return closeChecked(file, "création", path);
}

Status appendToFile(const std::string& path, std::string_view bytes) {
    FileHandle file = openFile(path, "ab");
    if (!file)
        return errnoError("écriture", path);
    if (Status written = writeAll(file.get(), bytes, "écriture", path); !written)
        return written;
    return closeChecked(file, "écriture", path);
}

Status replaceFileContent(const std::string& path, std::string_view bytes) {
    // A read-only file must stay as it is. Renaming over it would quietly replace it where the
    // system does not check (POSIX, or Wine run by root), so look at the permission first.
    std::error_code statusError;
    const auto status = std::filesystem::status(toFsPath(path), statusError);
    if (!statusError && std::filesystem::is_regular_file(status) &&
        (status.permissions() & std::filesystem::perms::owner_write) ==
            std::filesystem::perms::none)
        return Error{ErrorCode::PermissionDenied, "écriture", path, {}};
    const std::string temporary = path + ".~nouveau";
    {
        FileHandle file = openFile(temporary, "wb");
        if (!file)
            return errnoError("écriture", path);
        Status written = writeAll(file.get(), bytes, "écriture", path);
        // On disk before it takes the old file's place, so that a power cut leaves one of the
        // two whole.
        if (written && !syncToDisk(file.get()))
            written = errnoError("écriture", path);
        if (written)
            written = closeChecked(file, "écriture", path);
        if (!written) {
            file.reset();
            std::error_code ignored;
            std::filesystem::remove(toFsPath(temporary), ignored);
            return written;
        }
    }
#ifdef _WIN32
    if (!MoveFileExW(toFsPath(temporary).c_str(), toFsPath(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        std::error_code ignored;
        std::filesystem::remove(toFsPath(temporary), ignored);
        const ErrorCode code = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION
                                   ? ErrorCode::PermissionDenied
                                   : ErrorCode::PathFileAccess;
        return Error{code, "écriture", path, {}};
    }
#else
    std::error_code ec;
    std::filesystem::rename(toFsPath(temporary), toFsPath(path), ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(toFsPath(temporary), ignored);
        errno = ec.value();
        return errnoError("écriture", path);
    }
#endif
    return success();
}

bool isFolderWritable(const std::string& folder) {
    const std::string probe = withTrailingSeparator(folder) + ".pilotrame-essai";
    FileHandle file = openFile(probe, "wb");
    if (!file)
        return false;
    file.reset();
    std::error_code ignored;
    std::filesystem::remove(toFsPath(probe), ignored);
    return true;
}

} // namespace pilotrame
