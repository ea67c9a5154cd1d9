#include "base/fileio.h"

#include "base/paths.h"
#include "base/systemerror.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <system_error>

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

#ifndef _WIN32
Error ErrnoError(const std::string& path) {
    return ErrorFromErrno(errno, path);
}
#endif

// An ordinary file open for reading, closed on every path. Opening refuses anything else
// without waiting for it.
class ReadingFile {
public:
    // lookFirst: the path is looked at before it is opened, unless the caller just did.
    explicit ReadingFile(std::string path, bool lookFirst = true)
        : m_path(std::move(path)), m_lookFirst(lookFirst) {}
    ~ReadingFile() { close(); }
    ReadingFile(const ReadingFile&) = delete;
    ReadingFile& operator=(const ReadingFile&) = delete;

    Status open();
    // The size the system gave when the file was opened; the file may grow or shrink since.
    std::uint64_t size() const { return m_size; }
    Status seek(std::uint64_t offset);
    // Up to length bytes into buffer; none at the end of the file.
    Result<std::size_t> read(char* buffer, std::size_t length);

private:
    void close();

    std::string m_path;
    bool m_lookFirst;
    std::uint64_t m_size = 0;
#ifdef _WIN32
    HANDLE m_handle = INVALID_HANDLE_VALUE;
#else
    int m_descriptor = -1;
#endif
};

#ifdef _WIN32

Status ReadingFile::open() {
    const std::filesystem::path native = ToFsPath(m_path);
    // A folder cannot be opened as a file on Windows: say what it is rather than "access denied".
    if (m_lookFirst) {
        const DWORD attributes = GetFileAttributesW(native.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return NotAFileError(m_path);
    }
    // Other programs may go on reading, writing, renaming or deleting the file meanwhile, as
    // they could while it was opened by the C library.
    m_handle = CreateFileW(native.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // Every instance of a named pipe taken: still a pipe.
        if (error == ERROR_PIPE_BUSY)
            return NotAFileError(m_path);
        return FileError(CodeFromWindowsError(error), m_path);
    }
    // A named pipe (\\.\pipe\...), the console (CON) or a device (NUL, COM1) opens without
    // waiting, but is no file on a disk.
    if (GetFileType(m_handle) != FILE_TYPE_DISK)
        return NotAFileError(m_path);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(m_handle, &information))
        return FileError(CodeFromWindowsError(GetLastError()), m_path);
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return NotAFileError(m_path);
    m_size =
        (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    return Success();
}

Status ReadingFile::seek(std::uint64_t offset) {
    LARGE_INTEGER distance{};
    distance.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(m_handle, distance, nullptr, FILE_BEGIN))
        return FileError(CodeFromWindowsError(GetLastError()), m_path);
    return Success();
}

Result<std::size_t> ReadingFile::read(char* buffer, std::size_t length) {
    DWORD done = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(length, 1u << 30));
    if (!ReadFile(m_handle, buffer, wanted, &done, nullptr))
        return FileError(CodeFromWindowsError(GetLastError()), m_path);
    return static_cast<std::size_t>(done);
}

void ReadingFile::close() {
    if (m_handle != INVALID_HANDLE_VALUE)
        CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
}

#else

Status ReadingFile::open() {
    // A look before opening: opening a device may act on it (a tape rewinds, a serial line is
    // taken), so a path that is no ordinary file now is not opened at all.
    struct stat named {};
    if (m_lookFirst && ::stat(m_path.c_str(), &named) == 0 && !S_ISREG(named.st_mode))
        return NotAFileError(m_path);
    // Without O_NONBLOCK, opening a pipe waits for a program to write to it; with it, nothing
    // waits, whatever the path has become since the look.
    m_descriptor = ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_descriptor < 0)
        return ErrnoError(m_path);
    struct stat opened {};
    if (::fstat(m_descriptor, &opened) != 0)
        return ErrnoError(m_path);
    if (!S_ISREG(opened.st_mode))
        return NotAFileError(m_path);
    // An ordinary file then reads as any other: a network file system may otherwise answer a
    // read that would wait with "try again".
    const int flags = ::fcntl(m_descriptor, F_GETFL);
    if (flags >= 0)
        ::fcntl(m_descriptor, F_SETFL, flags & ~O_NONBLOCK);
    m_size = opened.st_size > 0 ? static_cast<std::uint64_t>(opened.st_size) : 0;
    return Success();
}

Status ReadingFile::seek(std::uint64_t offset) {
    if (::lseek(m_descriptor, static_cast<off_t>(offset), SEEK_SET) < 0)
        return ErrnoError(m_path);
    return Success();
}

Result<std::size_t> ReadingFile::read(char* buffer, std::size_t length) {
    for (;;) {
        const ssize_t done = ::read(m_descriptor, buffer, length);
        if (done >= 0)
            return static_cast<std::size_t>(done);
        if (errno != EINTR)
            return ErrnoError(m_path);
    }
}

void ReadingFile::close() {
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}

#endif

// Appends to content what follows the file's position, until the end of the file or until
// content holds limit bytes.
Status ReadUpTo(ReadingFile& file, std::string& content, std::uint64_t limit) {
    char buffer[65536];
    while (content.size() < limit) {
        const std::uint64_t left = limit - content.size();
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(left, sizeof buffer));
        const Result<std::size_t> done = file.read(buffer, wanted);
        if (!done)
            return done.error();
        if (*done == 0)
            break;
        content.append(buffer, *done);
    }
    return Success();
}

} // namespace

Result<std::string> ReadFileBytes(const std::string& path, std::uint64_t sizeLimit) {
    ReadingFile file(path);
    if (Status opened = file.open(); !opened)
        return opened.error();
    if (file.size() > sizeLimit)
        return TooLargeError(path, sizeLimit);
    std::string content;
    if (file.size() < content.max_size())
        content.reserve(static_cast<std::size_t>(file.size()));
    // One byte past the limit is asked for: a file that grew while being read shows it there.
    const std::uint64_t wanted = sizeLimit == kNoSizeLimit ? kNoSizeLimit : sizeLimit + 1;
    if (Status read = ReadUpTo(file, content, wanted); !read)
        return read.error();
    if (content.size() > sizeLimit)
        return TooLargeError(path, sizeLimit);
    return content;
}

Result<std::string> ReadFilePart(const std::string& path, std::uint64_t offset,
                                 std::size_t length) {
    ReadingFile file(path);
    if (Status opened = file.open(); !opened)
        return opened.error();
    std::string content;
    if (offset > 0) {
        if (Status moved = file.seek(offset); !moved)
            return moved.error();
    }
    content.reserve(length);
    if (Status read = ReadUpTo(file, content, length); !read)
        return read.error();
    return content;
}

#ifdef _WIN32

Result<std::size_t> ReadFileStart(const std::string& path, char* buffer, std::size_t length) {
    ReadingFile file(path, false);
    if (Status opened = file.open(); !opened)
        return opened.error();
    std::size_t filled = 0;
    while (filled < length) {
        const Result<std::size_t> done = file.read(buffer + filled, length - filled);
        if (!done)
            return done.error();
        if (*done == 0)
            break;
        filled += *done;
    }
    return filled;
}

#else

// An opening, a read and a closing, as a check of thousands of files wants. The caller has just
// seen an ordinary file; should it have become a pipe or a device since, O_NONBLOCK keeps the
// opening and the read from waiting, and a read that would wait is refused as NotAFile.
Result<std::size_t> ReadFileStart(const std::string& path, char* buffer, std::size_t length) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return ErrnoError(path);
    std::size_t filled = 0;
    std::optional<Error> failure;
    while (filled < length) {
        const ssize_t done = ::read(descriptor, buffer + filled, length - filled);
        if (done > 0) {
            filled += static_cast<std::size_t>(done);
            continue;
        }
        if (done == 0)
            break;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            // A network file system may answer "try again" for an ordinary file: it is then read
            // as any other; anything else would wait.
            struct stat opened {};
            if (::fstat(descriptor, &opened) == 0 && S_ISREG(opened.st_mode) &&
                ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) == 0)
                continue;
            failure = NotAFileError(path);
        } else {
            failure = ErrnoError(path);
        }
        break;
    }
    ::close(descriptor);
    if (failure)
        return *failure;
    return filled;
}

#endif

Status ReadFileInPieces(const std::string& path,
                        const std::function<Status(std::string_view piece)>& onPiece,
                        std::size_t pieceSize) {
    ReadingFile file(path);
    if (Status opened = file.open(); !opened)
        return opened;
    pieceSize = std::max<std::size_t>(pieceSize, 1);
    // No larger than the file: a short list takes a small buffer. A file whose size the system
    // gives as 0 may still hold bytes (those of /proc): read it by pages all the same.
    const std::size_t bufferSize = static_cast<std::size_t>(
        std::min<std::uint64_t>(pieceSize, std::max<std::uint64_t>(file.size(), 4096)));
    std::string buffer(bufferSize, '\0');
    for (;;) {
        const Result<std::size_t> done = file.read(buffer.data(), buffer.size());
        if (!done)
            return done.error();
        if (*done == 0)
            return Success();
        if (Status handled = onPiece(std::string_view(buffer.data(), *done)); !handled)
            return handled;
    }
}

Status CheckReadable(const std::string& path) {
    ReadingFile file(path);
    return file.open();
}

namespace {

// The file a write to path replaces: path itself, or the file its symbolic link points to, so
// that the link stays a link. The links are followed one by one, also to a file that does not
// exist yet: the write then makes it where the last link points. A chain that leads back on
// itself names no file.
Result<std::filesystem::path> ReplacedFile(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path file = ToFsPath(path);
    // As many links as the system itself follows before it gives up (ELOOP).
    for (int links = 0; links < 40; ++links) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(file, ec)))
            return file;
        const fs::path target = fs::read_symlink(file, ec);
        if (ec)
            return file;
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return FileError(ErrorCode::PathFileAccess, path);
}

// A name beside target that no other writer uses: a random part, and a count for the writers of
// this process.
std::string NewFileName(const std::string& target) {
    static std::atomic<unsigned> count{0};
    static const unsigned long long seed = std::random_device{}();
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".~%llx-%x", seed, count.fetch_add(1));
    return target + suffix;
}

// The failure to make the new file beside target: one that its folder refuses, or that has no
// folder, names the folder in detail.
Error NewFileError(ErrorCode code, const std::string& path, const std::filesystem::path& target) {
    Error error = FileError(code, path);
    const std::string folder = FromFsPath(target.parent_path());
    if (!folder.empty() &&
        (code == ErrorCode::PathNotFound || code == ErrorCode::PermissionDenied)) {
        error.cause = Cause::FolderRefused;
        error.detail = WithTrailingSeparator(folder);
    }
    return error;
}

#ifndef _WIN32
// Writes all bytes to descriptor; a write that takes nothing is a full disk.
Status WriteDescriptor(int descriptor, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        const ssize_t done = ::write(descriptor, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return ErrorFromErrno(done < 0 ? errno : ENOSPC, path);
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return Success();
}

// Overwrites the file where it stands, for a file that other names share: replacing it would
// leave the other names on the old content. The bytes go over the old ones before the file is
// cut to size, so a file of the same size (the settings record) needs no new room on the disk.
Status OverwriteInPlace(const std::string& target, std::string_view bytes,
                        const std::string& path) {
    const int descriptor = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
        return ErrnoError(path);
    Status written = WriteDescriptor(descriptor, bytes, path);
    if (written && ::ftruncate(descriptor, static_cast<off_t>(bytes.size())) != 0)
        written = ErrnoError(path);
    if (written && ::fsync(descriptor) != 0)
        written = ErrnoError(path);
    // A late failure of writing (a full disk on a network share) comes out at closing.
    if (::close(descriptor) != 0 && written)
        written = ErrnoError(path);
    return written;
}
#endif

} // namespace

FileReplacement::FileReplacement(std::string path) : m_path(std::move(path)) {}

FileReplacement::~FileReplacement() {
    discard();
}

void FileReplacement::discard() {
#ifdef _WIN32
    if (m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE)
        CloseHandle(m_handle);
    m_handle = nullptr;
#else
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
#endif
    if (!m_temporary.empty()) {
        std::error_code ignored;
        std::filesystem::remove(ToFsPath(m_temporary), ignored);
        m_temporary.clear();
    }
}

Status FileReplacement::open() {
    namespace fs = std::filesystem;
    discard();
    const Result<fs::path> replaced = ReplacedFile(m_path);
    if (!replaced)
        return replaced.error();
    const fs::path& target = *replaced;
    m_target = FromFsPath(target);
    // A read-only file must stay as it is. Renaming over it would quietly replace it where the
    // system does not check (POSIX, or Wine run by root), so look at the permission first.
    std::error_code statusError;
    const auto status = fs::status(target, statusError);
    const bool exists = !statusError && fs::is_regular_file(status);
    if (exists && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        return FileError(ErrorCode::PermissionDenied, m_path);
    // A device, a pipe or a folder (a link to /dev/full …) is never replaced by a file.
    if (!statusError && !exists && fs::exists(status))
        return NotAFileError(m_path);
#ifdef _WIN32
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = NewFileName(m_target);
        m_handle = CreateFileW(ToFsPath(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_handle != INVALID_HANDLE_VALUE) {
            m_temporary = name;
            return Success();
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return NewFileError(FolderCodeFromWindowsError(error), m_path, target);
    }
    return FileError(ErrorCode::FileExists, m_path);
#else
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = NewFileName(m_target);
        m_descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_descriptor >= 0) {
            m_temporary = name;
            break;
        }
        if (errno != EEXIST)
            return NewFileError(FolderCodeFromErrno(errno, name), m_path, target);
    }
    if (m_descriptor < 0)
        return FileError(ErrorCode::FileExists, m_path);
    // The new file takes the old one's permissions, not those of a newly made file.
    struct stat existing {};
    if (exists && ::stat(m_target.c_str(), &existing) == 0 &&
        ::fchmod(m_descriptor, existing.st_mode & 07777) != 0)
        return ErrnoError(m_path);
    return Success();
#endif
}

Status FileReplacement::write(std::string_view bytes) {
#ifdef _WIN32
    while (!bytes.empty()) {
        DWORD done = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!WriteFile(m_handle, bytes.data(), wanted, &done, nullptr))
            return FileError(CodeFromWindowsError(GetLastError()), m_path);
        if (done == 0)
            return FileError(ErrorCode::DiskFull, m_path);
        bytes.remove_prefix(done);
    }
    return Success();
#else
    return WriteDescriptor(m_descriptor, bytes, m_path);
#endif
}

Status FileReplacement::commit(bool durable) {
#ifdef _WIN32
    if (durable && !FlushFileBuffers(m_handle))
        return FileError(CodeFromWindowsError(GetLastError()), m_path);
    const bool closed = CloseHandle(m_handle) != 0;
    m_handle = nullptr;
    if (!closed)
        return FileError(CodeFromWindowsError(GetLastError()), m_path);
    // A program that reads the old file without letting it be deleted (an antivirus, a viewer)
    // holds it for a moment: try again a little before giving up.
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(ToFsPath(m_temporary).c_str(), ToFsPath(m_target).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            break;
        const DWORD error = GetLastError();
        if (attempt == 10 || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION))
            return FileError(CodeFromWindowsError(error), m_path);
        Sleep(50);
    }
#else
    // On the disk before it takes the old file's place, so that a power cut leaves one of the two
    // whole.
    if (durable && ::fsync(m_descriptor) != 0)
        return ErrnoError(m_path);
    // A late failure of writing (a full disk on a network share) comes out at closing.
    const int closed = ::close(m_descriptor);
    m_descriptor = -1;
    if (closed != 0)
        return ErrnoError(m_path);
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        return ErrnoError(m_path);
#endif
    m_temporary.clear();
    return Success();
}

Status ReplaceFileContent(const std::string& path, std::string_view bytes) {
#ifndef _WIN32
    const Result<std::filesystem::path> replaced = ReplacedFile(path);
    if (!replaced)
        return replaced.error();
    const std::string target = FromFsPath(*replaced);
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        existing.st_nlink > 1) {
        if ((existing.st_mode & S_IWUSR) == 0)
            return FileError(ErrorCode::PermissionDenied, path);
        return OverwriteInPlace(target, bytes, path);
    }
#endif
    FileReplacement file(path);
    if (Status opened = file.open(); !opened)
        return opened;
    if (Status written = file.write(bytes); !written)
        return written;
    return file.commit(true);
}

std::string FileIdentity(const std::string& path) {
#ifdef _WIN32
    // No access asked for: nothing held open elsewhere refuses it, nothing is locked.
    const HANDLE file = CreateFileW(ToFsPath(path).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    if (!known)
        return {};
    return std::to_string(information.dwVolumeSerialNumber) + ":" +
           std::to_string((static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) |
                          information.nFileIndexLow);
#else
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return {};
    return std::to_string(static_cast<std::uint64_t>(status.st_dev)) + ":" +
           std::to_string(static_cast<std::uint64_t>(status.st_ino));
#endif
}

Status CopyFileWhole(const std::string& from, const std::string& to) {
    FileReplacement copy(to);
    if (Status opened = copy.open(); !opened)
        return opened;
    if (Status copied =
            ReadFileInPieces(from, [&copy](std::string_view piece) { return copy.write(piece); });
        !copied)
        return copied;
    // A copy lost to a power cut loses nothing: its original is still there.
    return copy.commit(false);
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
        const int fd =
            _wopen(ToFsPath(probe).c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_NOINHERIT, 0600);
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

Status CheckFolderWritable(const std::string& folder) {
    std::error_code ec;
    const bool exists = std::filesystem::is_directory(ToFsPath(folder), ec);
    if (exists && IsFolderWritable(folder))
        return Success();
    Error error = FileError(exists ? ErrorCode::PermissionDenied : ErrorCode::PathNotFound, folder);
    error.cause = Cause::FolderRefused;
    error.detail = folder;
    return error;
}

Error NotAFileError(const std::string& path) {
    Error error = FileError(ErrorCode::PathFileAccess, path);
    error.cause = Cause::NotAFile;
    return error;
}

Error TooLargeError(const std::string& path, std::uint64_t limit) {
    Error error = FileError(ErrorCode::Overflow, path);
    error.cause = Cause::TooLarge;
    error.number = static_cast<int>(std::min<std::uint64_t>(
        limit, static_cast<std::uint64_t>(std::numeric_limits<int>::max())));
    return error;
}

} // namespace pilotrame
