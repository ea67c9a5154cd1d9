#include "base/fileio.h"

#include "base/paths.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include <random>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pilotrame {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

FileHandle OpenFile(const std::string& path, const char* mode) {
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return FileHandle(_wfopen(ToFsPath(path).c_str(), wideMode.c_str()));
#else
    return FileHandle(std::fopen(path.c_str(), mode));
#endif
}

Error ErrnoError(const std::string& path) {
    return ErrorFromErrno(errno, path);
}

Status WriteAll(std::FILE* file, std::string_view bytes, const std::string& path) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        return ErrnoError(path);
    if (std::fflush(file) != 0)
        return ErrnoError(path);
    return Success();
}

bool SyncToDisk(std::FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// fclose reports late write failures (a full disk on a network share); check it.
Status CloseChecked(FileHandle& file, const std::string& path) {
    std::FILE* raw = file.release();
    if (std::fclose(raw) != 0)
        return ErrnoError(path);
    return Success();
}

} // namespace

Result<std::string> ReadFileBytes(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(ToFsPath(path), ec))
        return FileError(ErrorCode::PathFileAccess, path);
    FileHandle file = OpenFile(path, "rb");
    if (!file)
        return ErrnoError(path);
    std::string content;
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        content.append(buffer, n);
        if (n < sizeof buffer) {
            if (std::ferror(file.get()))
                return ErrnoError(path);
            break;
        }
    }
    return content;
}

Status CheckReadable(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(ToFsPath(path), ec))
        return FileError(ErrorCode::PathFileAccess, path);
    FileHandle file = OpenFile(path, "rb");
    if (!file)
        return ErrnoError(path);
    return Success();
}

Status TruncateFile(const std::string& path) {
    FileHandle file = OpenFile(path, "wb");
    if (!file)
        return ErrnoError(path);
    return CloseChecked(file, path);
}

Status AppendToFile(const std::string& path, std::string_view bytes) {
    FileHandle file = OpenFile(path, "ab");
    if (!file)
        return ErrnoError(path);
    if (Status written = WriteAll(file.get(), bytes, path); !written)
        return written;
    return CloseChecked(file, path);
}

namespace {

#ifndef _WIN32
// Overwrites the file where it stands, for a file that other names share: replacing it would
// leave the other names on the old content. The bytes go over the old ones before the file is
// cut to size, so a file of the same size (the settings record) needs no new room on the disk.
Status OverwriteInPlace(const std::string& path, std::string_view bytes) {
    FileHandle file = OpenFile(path, "r+b");
    if (!file)
        return ErrnoError(path);
    Status written = WriteAll(file.get(), bytes, path);
    if (written && ftruncate(fileno(file.get()), static_cast<off_t>(bytes.size())) != 0)
        written = ErrnoError(path);
    if (written && !SyncToDisk(file.get()))
        written = ErrnoError(path);
    if (!written)
        return written;
    return CloseChecked(file, path);
}
#endif

} // namespace

Status ReplaceFileContent(const std::string& path, std::string_view bytes) {
    namespace fs = std::filesystem;
    // A symbolic link stays a link: the file it points to is the one replaced.
    std::error_code linkError;
    fs::path target = ToFsPath(path);
    if (fs::is_symlink(fs::symlink_status(target, linkError))) {
        const fs::path resolved = fs::weakly_canonical(target, linkError);
        if (!linkError)
            target = resolved;
    }
    const std::string targetPath = FromFsPath(target);

    // A read-only file must stay as it is. Renaming over it would quietly replace it where the
    // system does not check (POSIX, or Wine run by root), so look at the permission first.
    std::error_code statusError;
    const auto status = fs::status(target, statusError);
    const bool exists = !statusError && fs::is_regular_file(status);
    if (exists && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        return FileError(ErrorCode::PermissionDenied, path);
#ifndef _WIN32
    struct stat existing {};
    const bool statted = exists && ::stat(targetPath.c_str(), &existing) == 0;
    if (statted && existing.st_nlink > 1) {
        Status written = OverwriteInPlace(targetPath, bytes);
        if (!written)
            return FileError(written.error().code, path);
        return written;
    }
#endif
    const std::string temporary = targetPath + ".~nouveau";
    const auto failed = [&](const Status& outcome) {
        std::error_code ignored;
        fs::remove(ToFsPath(temporary), ignored);
        Error error = outcome.error();
        error.path = path;
        return error;
    };
    {
        FileHandle file = OpenFile(temporary, "wb");
        if (!file)
            return failed(ErrnoError(path));
        Status written = WriteAll(file.get(), bytes, path);
#ifndef _WIN32
        // The new file takes the old one's permissions, not those of a newly made file.
        if (written && statted && fchmod(fileno(file.get()), existing.st_mode & 07777) != 0)
            written = ErrnoError(path);
#endif
        // On disk before it takes the old file's place, so that a power cut leaves one of the
        // two whole.
        if (written && !SyncToDisk(file.get()))
            written = ErrnoError(path);
        if (written)
            written = CloseChecked(file, path);
        if (!written) {
            file.reset();
            return failed(written);
        }
    }
#ifdef _WIN32
    if (!MoveFileExW(ToFsPath(temporary).c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        const ErrorCode code = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION
                                   ? ErrorCode::PermissionDenied
                                   : ErrorCode::PathFileAccess;
        return failed(FileError(code, path));
    }
#else
    std::error_code ec;
    fs::rename(ToFsPath(temporary), target, ec);
    if (ec) {
        errno = ec.value();
        return failed(ErrnoError(path));
    }
#endif
    return Success();
}

bool IsFolderWritable(const std::string& folder) {
#ifndef _WIN32
    // The system answers for the permissions, the access lists and a read-only medium alike,
    // without a file made at every start.
    std::error_code ec;
    return std::filesystem::is_directory(ToFsPath(folder), ec) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
#else
    // Windows' own answer ignores the access lists: a probe file tells. It has a name of its
    // own, made exclusively, so a file of the user's that happens to be there is neither
    // truncated nor removed.
    const std::string base = WithTrailingSeparator(folder) + ".pilotrame-essai-";
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string probe = base + std::to_string(random()) + ".tmp";
        const int fd = _wopen(ToFsPath(probe).c_str(), _O_CREAT | _O_EXCL | _O_WRONLY, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        _close(fd);
        std::error_code ignored;
        std::filesystem::remove(ToFsPath(probe), ignored);
        return true;
    }
    return false;
#endif
}

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
