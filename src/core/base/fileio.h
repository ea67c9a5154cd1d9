#pragma once

#include "base/result.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>

namespace pilotrame {

// Small file operations on UTF-8 paths. Each opens the file for one operation and closes it on
// every path; failures come back as Error values naming the operation and the path.

// Reading never waits on what is not an ordinary file: a pipe that no program writes to, a
// terminal or a device that never ends (/dev/zero) would hold the program for good. Such a path,
// and a folder, is refused with cause NotAFile (code PathFileAccess) before anything is read.

// ReadFileBytes without a limit on the size: for files that may rightly be very large.
inline constexpr std::uint64_t kNoSizeLimit = std::numeric_limits<std::uint64_t>::max();

// The whole content of an ordinary file, bytes unchanged. A file larger than sizeLimit bytes is
// refused with cause TooLarge (number: the limit) before it is read, or as soon as it grows past
// the limit while being read.
Result<std::string> ReadFileBytes(const std::string& path, std::uint64_t sizeLimit = kNoSizeLimit);

// At most length bytes of an ordinary file from offset on: fewer when the file ends before, none
// when it ends before offset. The rest of the file is never read, however large it is.
Result<std::string> ReadFilePart(const std::string& path, std::uint64_t offset, std::size_t length);

// At most length bytes from the start of an ordinary file, into buffer; returns how many were
// read, fewer only when the file ends before. For a caller that has just seen the path to be an
// ordinary file: the path is not looked at again, so that each file of a long list costs its
// opening, a read and its closing. Nothing waits all the same: what has become a pipe or a device
// since is opened without waiting, and a read that would wait fails as NotAFile.
Result<std::size_t> ReadFileStart(const std::string& path, char* buffer, std::size_t length);

// The pieces that ReadFileInPieces reads unless told otherwise.
inline constexpr std::size_t kReadPieceSize = 64 * 1024;

// Reads an ordinary file from its start to its end a piece at a time and hands each piece, of 1
// to pieceSize bytes, to onPiece, so that a file of any size is read in little memory. Refuses
// what ReadFileBytes refuses, the same way; stops at, and returns, the first failure of reading
// or of onPiece. A failure of reading may come after pieces were handed on.
Status ReadFileInPieces(const std::string& path,
                        const std::function<Status(std::string_view piece)>& onPiece,
                        std::size_t pieceSize = kReadPieceSize);

// Succeeds when the path names an existing ordinary file that can be opened for reading.
Status CheckReadable(const std::string& path);

// The new content of a file, put in its place only when whole. The bytes go to a new file beside
// it, under a name that no other writer uses; commit puts that file in the old one's place by a
// rename that replaces it. Until then the old file stays as it was, whatever fails: a full disk,
// a reader that stops. Writers of the same file at the same time never mix their bytes: each
// puts a whole file in place, and the last one stays. The new file is removed when the
// replacement ends without a commit. A symbolic link stays a link: the file it points to is
// replaced, or made where it points when it does not exist yet; links that lead back on
// themselves are refused (PathFileAccess). A read-only file is refused when opening
// (PermissionDenied), as is what is not an ordinary file (NotAFile), and the new file takes the
// old one's permissions. Failures name the path as given; a new file that its folder does not
// let be made, or that has no folder, fails with cause FolderRefused, the folder in detail.
class FileReplacement {
public:
    explicit FileReplacement(std::string path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Makes the new file. Nothing else may be called when it fails.
    Status open();
    // Adds bytes at the end of the new file, straight to the system: large pieces are best.
    Status write(std::string_view bytes);
    // Puts the new file in the old one's place. With durable, its bytes reach the disk first, so
    // that a power cut leaves one of the two whole.
    Status commit(bool durable = true);

private:
    void discard();

    std::string m_path;
    std::string m_target;    // the file replaced: the path, or the file its link points to
    std::string m_temporary; // the new file, until it takes the target's place
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_descriptor = -1;
#endif
};

// Replaces the whole file by bytes as a durable FileReplacement does. A file that other names
// share (hard links) is written in place, so that every name keeps seeing it.
Status ReplaceFileContent(const std::string& path, std::string_view bytes);

// What tells a file from every other whatever path reaches it ("x/../a/p.dwg", a link to its
// folder, another name of a hard link, a short 8.3 name): its device and inode on POSIX, its
// volume serial number and file index on Windows, as one text. Empty when the file cannot be
// reached. A link is followed to its file.
std::string FileIdentity(const std::string& path);

// Copies the ordinary file at from to a new file at to, whole or not at all: the bytes go to a
// file beside to, which takes its name only once whole (FileReplacement), so that a full disk or
// a failure part-way leaves nothing at to. from is only ever opened for reading, and refused as
// ReadFileBytes refuses what is no ordinary file. A failure names the file it concerns: from
// for reading it, to for writing.
Status CopyFileWhole(const std::string& from, const std::string& to);

// True when a file can be created in the folder: the system's answer on POSIX, a probe file with
// a name of its own, made and removed, on Windows.
bool IsFolderWritable(const std::string& folder);

// Fails with cause FolderRefused (path and detail: the folder) when the folder does not exist
// (PathNotFound) or is not writable as IsFolderWritable tells (PermissionDenied).
Status CheckFolderWritable(const std::string& folder);

// A path that names a pipe, a device or a folder where an ordinary file was expected.
Error NotAFileError(const std::string& path);

// A file larger than limit bytes, what its kind can hold.
Error TooLargeError(const std::string& path, std::uint64_t limit);

} // namespace pilotrame
