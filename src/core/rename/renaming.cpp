#include "rename/renaming.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/numbers.h"
#include "base/paths.h"
#include "base/systemerror.h"
#include "base/utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/syscall.h>
#endif
#endif

namespace pilotrame {

namespace {

// The extension is the last four characters of a name, whatever they are.
constexpr std::size_t kExtensionLength = 4;
constexpr std::size_t kNoExtension = std::string_view::npos;

// Byte position of the character at index (counted from 0) of UTF-8 text; the size of the text
// when it has no such character.
std::size_t CharacterOffset(std::string_view text, std::size_t index) {
    std::size_t offset = 0;
    for (std::size_t passed = 0; passed < index && offset < text.size(); ++passed) {
        ++offset;
        while (offset < text.size() && IsContinuationByte(text[offset]))
            ++offset;
    }
    return offset;
}

// Byte position where the extension of a name begins; kNoExtension when the name has fewer
// characters than an extension.
std::size_t ExtensionOffset(std::string_view name) {
    std::size_t offset = name.size();
    for (std::size_t found = 0; found < kExtensionLength; ++found) {
        if (offset == 0)
            return kNoExtension;
        --offset;
        while (offset > 0 && IsContinuationByte(name[offset]))
            --offset;
    }
    return offset;
}

// A box holding a count of characters: a whole number of 0 or more within 16 bits.
Result<std::size_t> ReadCount(std::string_view text, Box box, char decimalSeparator) {
    const Result<std::int16_t> whole = ReadRoundedShortBox(text, box, decimalSeparator);
    if (!whole)
        return whole.error();
    // A count below 0 has no meaning: deleting -1 characters would repeat one.
    if (*whole < 0)
        return BoxError(Cause::OutOfRange, box, text);
    return static_cast<std::size_t>(*whole);
}

// The numbers of the boxes that the rule reads.
struct RuleNumbers {
    std::size_t start = 0;
    std::size_t length = 0;
};

Result<RuleNumbers> ReadBoxes(const RenameJob& job, char decimalSeparator) {
    RuleNumbers numbers;
    Result<std::size_t> start = ReadCount(job.start, Box::RenameStart, decimalSeparator);
    if (!start)
        return start.error();
    numbers.start = *start;
    if (job.rule == RenameRule::Delete) {
        Result<std::size_t> length = ReadCount(job.length, Box::RenameLength, decimalSeparator);
        if (!length)
            return length.error();
        numbers.length = *length;
    }
    return numbers;
}

// A listed name that the rule cannot work on: too short, or no bare name.
Error BadNameError(std::string_view name) {
    return NameError(ErrorCode::BadFileName, name);
}

// Writes into out the new name of name, whose extension begins at byte extension.
void ComposeName(std::string_view name, std::size_t extension, const RenameJob& job,
                 const RuleNumbers& numbers, std::string& out) {
    const std::string_view base = name.substr(0, extension);
    const std::string_view oldExtension = name.substr(extension);
    out.clear();
    switch (job.rule) {
    case RenameRule::Delete: {
        out.append(base.substr(0, CharacterOffset(base, numbers.start)));
        out.append(base.substr(CharacterOffset(base, numbers.start + numbers.length)));
        out.append(oldExtension);
        break;
    }
    case RenameRule::Insert: {
        const std::size_t kept = CharacterOffset(base, numbers.start);
        out.append(base.substr(0, kept));
        out.append(job.text);
        out.append(base.substr(kept));
        out.append(oldExtension);
        break;
    }
    case RenameRule::Extension:
        out.append(base);
        out.append(job.newExtension);
        break;
    }
}

// True when name names a file of the folder it is put in, and nothing else: a typed text must
// not move a file to another folder, nor name the folder itself.
bool IsBareName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (const char c : name) {
        if (c == '/' || c == '\0')
            return false;
#ifdef _WIN32
        // The characters Windows refuses in a name; ':' would name a stream of another file.
        if (c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
            c == '|' || static_cast<unsigned char>(c) < 0x20)
            return false;
#endif
    }
    return true;
}

Error InvalidNewName(std::string_view name) {
    return NameError(ErrorCode::InvalidName, name);
}

// A new name that Windows can hold, on every system: the drawings go back to Windows machines and
// AutoCAD. And one that the lists and scripts can write: one with a character outside the ANSI
// code page would reach them as "?", and the renamed file could never be listed again.
Status CheckNewName(std::string_view name) {
    if (!IsBareName(name) || !IsWindowsFileName(name))
        return InvalidNewName(name);
    if (!FitsAnsi(name))
        return OutsideAnsiError(name, name);
    return Success();
}

// The folder part of a path, final separator included; empty for a bare name.
std::string_view FolderOf(std::string_view path) {
    std::size_t length = FolderPartLength(path, '/');
#ifdef _WIN32
    length = std::max(length, FolderPartLength(path, '\\'));
#endif
    return path.substr(0, length);
}

#ifndef _WIN32

// A folder held open, through which its files are looked at and renamed by their bare names: a
// run through one folder finds the folder once, not once a call.
class OpenFolder {
public:
    OpenFolder() = default;
    ~OpenFolder() { close(); }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    // Opens folder ("" for the working folder), unless it is the one open already.
    Status open(std::string_view folder);
    int descriptor() const { return m_descriptor; }
    // False when the folder's owner may not write in it.
    bool writable() const { return m_writable; }
    const std::string& path() const { return m_folder; }

private:
    void close() {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
        m_descriptor = -1;
    }

    std::string m_folder;
    int m_descriptor = -1;
    bool m_writable = false;
};

#ifdef O_PATH
// Enough to find names in the folder, even a folder that may be written but not listed.
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

Status OpenFolder::open(std::string_view folder) {
    if (m_descriptor >= 0 && folder == m_folder)
        return Success();
    close();
    m_folder.assign(folder);
    const char* path = folder.empty() ? "." : m_folder.c_str();
    const int descriptor = ::open(path, kFolderFlags);
    if (descriptor < 0) {
        const int error = errno;
        return FileError(FolderCodeFromErrno(error, m_folder), m_folder);
    }
    struct stat status;
    if (::fstat(descriptor, &status) != 0) {
        const int error = errno;
        ::close(descriptor);
        return ErrorFromErrno(error, m_folder);
    }
    m_descriptor = descriptor;
    m_writable = (status.st_mode & S_IWUSR) != 0;
    return Success();
}

#if defined(__linux__) && defined(SYS_renameat2)
#ifdef RENAME_NOREPLACE
constexpr unsigned kRenameNoReplace = RENAME_NOREPLACE;
#else
constexpr unsigned kRenameNoReplace = 1;
#endif
#endif

// Renames name in the folder open as folder to newName in target, failing with EEXIST rather
// than replace an existing file; from is the old path, for the error.
Status RenameNoReplace(int folder, const char* name, int target, const char* newName,
                       const std::string& from) {
#if defined(__linux__) && defined(SYS_renameat2)
    if (::syscall(SYS_renameat2, folder, name, target, newName, kRenameNoReplace) == 0)
        return Success();
    // EINVAL: a file system that cannot promise not to replace (some network ones); ENOSYS: a
    // kernel before 3.15.
    if (errno != EINVAL && errno != ENOSYS)
        return ErrorFromErrno(errno, from);
#endif
    // A hard link is never made over an existing name; once it is there, the old name goes.
    if (::linkat(folder, name, target, newName, 0) == 0) {
        if (::unlinkat(folder, name, 0) == 0)
            return Success();
        const int error = errno;
        ::unlinkat(target, newName, 0);
        return ErrorFromErrno(error, from);
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != ENOSYS &&
        errno != EMLINK)
        return ErrorFromErrno(errno, from);
    // No hard links there (FAT, some shares): look, then rename. Another program could slip a
    // file in between; nothing better is offered by such a file system.
    struct stat existing;
    if (::fstatat(target, newName, &existing, AT_SYMLINK_NOFOLLOW) == 0)
        return FileError(ErrorCode::FileExists, from);
    if (::renameat(folder, name, target, newName) != 0)
        return ErrorFromErrno(errno, from);
    return Success();
}

#endif

// Renames files one after the other; on POSIX it keeps the folders of the last rename open.
class Renamer {
public:
    // Renames from to to. The first folderLength bytes of from are its folder (none for the
    // working folder) and the rest its name; targetFolderLength splits to likewise.
    Status rename(const std::string& from, std::size_t folderLength, const std::string& to,
                  std::size_t targetFolderLength);

#ifndef _WIN32
private:
    OpenFolder m_folder;
    OpenFolder m_target;
#endif
};

#ifdef _WIN32

Status Renamer::rename(const std::string& from, std::size_t folderLength, const std::string& to,
                       std::size_t targetFolderLength) {
    // A folder's read-only attribute only tells the shell to look for desktop.ini (Documents
    // has it): it forbids nothing, so it is not looked at; a denied folder fails the move.
    (void)folderLength;
    (void)targetFolderLength;
    const std::filesystem::path source = ToFsPath(from);
    const DWORD attributes = GetFileAttributesW(source.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FileError(CodeFromWindowsError(GetLastError()), from);
    if (from == to)
        return Success();
    // Windows itself renames a read-only file; the user marked it so to keep it as it is.
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return FileError(ErrorCode::PermissionDenied, from);
    // Without MOVEFILE_REPLACE_EXISTING an existing name is never replaced; a change of case
    // only is a rename of the same file, which the call does.
    if (!MoveFileExW(source.c_str(), ToFsPath(to).c_str(), 0))
        return FileError(CodeFromWindowsError(GetLastError()), from);
    return Success();
}

#else

Status Renamer::rename(const std::string& from, std::size_t folderLength, const std::string& to,
                       std::size_t targetFolderLength) {
    const std::string_view folder = std::string_view(from).substr(0, folderLength);
    const char* name = from.c_str() + folderLength;
    if (Status opened = m_folder.open(folder); !opened)
        return opened;
    // The entry itself: renaming a link renames the link, whatever it points to.
    struct stat file;
    if (::fstatat(m_folder.descriptor(), name, &file, AT_SYMLINK_NOFOLLOW) != 0)
        return ErrorFromErrno(errno, from);
    if (from == to)
        return Success();
    // Root may rename anything; a read-only file or folder is refused all the same, as the
    // user who marked it expects.
    if ((file.st_mode & S_IWUSR) == 0)
        return FileError(ErrorCode::PermissionDenied, from);
    if (!m_folder.writable())
        return FileError(ErrorCode::PermissionDenied, m_folder.path());
    const std::string_view targetFolder = std::string_view(to).substr(0, targetFolderLength);
    int target = m_folder.descriptor();
    if (targetFolder != folder) {
        if (Status opened = m_target.open(targetFolder); !opened)
            return opened;
        if (!m_target.writable())
            return FileError(ErrorCode::PermissionDenied, m_target.path());
        target = m_target.descriptor();
    }
    Status renamed =
        RenameNoReplace(m_folder.descriptor(), name, target, to.c_str() + targetFolderLength, from);
    // The system refuses a rename for the folder's sake (its access list, a sticky bit, a
    // read-only mount), never the file's own.
    if (!renamed && renamed.error().code == ErrorCode::PermissionDenied)
        return FileError(ErrorCode::PermissionDenied,
                         targetFolder != folder ? m_target.path() : m_folder.path());
    return renamed;
}

#endif

} // namespace

Result<std::string> RenamedName(std::string_view name, const RenameJob& job,
                                char userDecimalSeparator) {
    const std::size_t extension = ExtensionOffset(name);
    if (extension == kNoExtension)
        return BadNameError(name);
    Result<RuleNumbers> numbers = ReadBoxes(job, userDecimalSeparator);
    if (!numbers)
        return numbers.error();
    std::string renamed;
    ComposeName(name, extension, job, *numbers, renamed);
    if (Status usable = CheckNewName(renamed); !usable)
        return usable.error();
    return renamed;
}

namespace {

// One rename of a run, worked out before any file is renamed.
struct PlannedRename {
    std::string from;
    std::string to;
    std::size_t folderLength = 0; // of both: a file is renamed within its folder
    std::size_t baseLength = 0;   // the name's base, which the position is left with
    int line = 0;                 // the list line of the file
};

// The new name of the file at (whose extension begins at byte extension) into newName, as a
// renaming run makes it. numbers holds the boxes, read at the first file: they do not change
// during a run.
Status MakeNewName(const ListPosition& at, std::size_t extension, const RenameJob& job,
                   std::optional<Result<RuleNumbers>>& numbers, char decimalSeparator,
                   std::string& newName) {
    // The system calls would take a separator in the listed name, or a NUL in it or in the
    // folder, as a path to another file than the list names, possibly in another folder.
    if (!IsBareName(at.currentFileName) || at.currentFolder.find('\0') != std::string::npos)
        return BadNameError(at.currentFileName);
    if (!numbers)
        numbers = ReadBoxes(job, decimalSeparator);
    if (!*numbers)
        return numbers->error();
    ComposeName(at.currentFileName, extension, job, **numbers, newName);
    return CheckNewName(newName);
}

} // namespace

RenameReport RenameListedFiles(const std::string& listPath, const RenameJob& job,
                               ListPosition& position, char userDecimalSeparator) {
    RenameReport report;
    const auto stop = [&](Error failure, const std::string& from, const std::string& newName) {
        failure.operation = Operation::RenameFile;
        failure.path = from;
        if (failure.detail.empty())
            failure.detail = newName;
        report.failure = std::move(failure);
    };

    // Every new name first: a name the rule cannot make, or that no list could hold, stops the
    // run before the first file is renamed, rather than leave the folder half renamed. The boxes
    // do not change during a run: read them at the first file only. An empty list reads none, so
    // that nothing is reported when nothing was to be renamed.
    std::optional<Result<RuleNumbers>> numbers;
    std::vector<PlannedRename> plan;
    std::string newName;
    const auto planOne = [&](const ListPosition& at, std::size_t extension) -> Status {
        if (Status made = MakeNewName(at, extension, job, numbers, userDecimalSeparator, newName);
            !made)
            return made;
        plan.push_back(PlannedRename{at.currentFolder + at.currentFileName,
                                     at.currentFolder + newName, at.currentFolder.size(), extension,
                                     at.line});
        return Success();
    };
    const Status planned = WalkFileList(listPath, position, [&](const ListPosition& at) -> Status {
        newName.clear();
        const std::size_t extension = ExtensionOffset(at.currentFileName);
        Status usable = extension == kNoExtension ? Status(BadNameError(at.currentFileName))
                                                  : planOne(at, extension);
        if (!usable)
            stop(usable.error(), at.currentFolder + at.currentFileName, newName);
        // Once split, the current file name is the base, as the earlier tools left it (at is
        // the position itself).
        if (extension != kNoExtension)
            position.currentFileName.resize(extension);
        return usable;
    });
    if (!planned) {
        if (!report.failure)
            report.failure = InOperation(planned.error(), Operation::ReadList);
        return report;
    }

    Renamer renamer;
    for (const PlannedRename& rename : plan) {
        if (Status renamed =
                renamer.rename(rename.from, rename.folderLength, rename.to, rename.folderLength);
            !renamed) {
            // The position stops at the file that failed, as a walk stopping there leaves it.
            position.currentFolder.assign(rename.from, 0, rename.folderLength);
            position.currentFileName.assign(rename.from, rename.folderLength, rename.baseLength);
            position.line = rename.line;
            Error failure = renamed.error();
            // The message names what is at fault: the file of the new name, the folder.
            if (failure.code == ErrorCode::FileExists)
                failure.text = rename.to;
            else if (failure.path != rename.from)
                failure.text = failure.path;
            stop(std::move(failure), rename.from, rename.to.substr(rename.folderLength));
            break;
        }
        // A file that keeps its name was not renamed, and is not counted as if it were.
        if (rename.from != rename.to)
            ++report.renamed;
    }
    return report;
}

namespace {

// The files of the folders as a renaming leaves them, played without touching them: the names
// it has taken and those it has freed, over what the disk holds. Windows names are compared
// without regard to case, as Windows does.
class PlayedFolders {
public:
    bool exists(const std::string& path) const {
        const std::string key = keyOf(path);
        if (m_taken.contains(key))
            return true;
        std::error_code ec;
        return !m_freed.contains(key) &&
               std::filesystem::exists(std::filesystem::symlink_status(ToFsPath(path), ec));
    }
    // The file, or the folder, as a renaming would find it read-only: its owner may not write it.
    // A name taken by an earlier rename is a file that could be renamed already.
    bool readOnly(const std::string& path) const {
        if (m_taken.contains(keyOf(path)))
            return false;
        std::error_code ec;
        const auto status = std::filesystem::symlink_status(ToFsPath(path), ec);
        return !ec && (status.permissions() & std::filesystem::perms::owner_write) ==
                          std::filesystem::perms::none;
    }
    bool sameFile(const std::string& a, const std::string& b) const { return keyOf(a) == keyOf(b); }
    void rename(const std::string& from, const std::string& to) {
        m_taken.erase(keyOf(from));
        m_freed.insert(keyOf(from));
        m_freed.erase(keyOf(to));
        m_taken.insert(keyOf(to));
    }

private:
    static std::string keyOf(const std::string& path) {
#ifdef _WIN32
        std::string key = path;
        for (char& c : key)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return key;
#else
        return path;
#endif
    }

    std::set<std::string> m_taken;
    std::set<std::string> m_freed;
};

Error PreviewFailure(Error failure, const RenamePreviewRow& row) {
    failure.operation = Operation::RenameFile;
    failure.path = row.folder + row.name;
    if (failure.detail.empty())
        failure.detail = row.newName;
    return failure;
}

} // namespace

RenamePreview PreviewRenaming(const std::string& listPath, const RenameJob& job,
                              char userDecimalSeparator) {
    RenamePreview preview;
    std::optional<Result<RuleNumbers>> numbers;
    ListPosition position;
    std::string newName;
    const Status walked = WalkFileList(listPath, position, [&](const ListPosition& at) {
        RenamePreviewRow row{at.currentFolder, at.currentFileName, {}};
        newName.clear();
        const std::size_t extension = ExtensionOffset(at.currentFileName);
        const Status made = extension == kNoExtension ? Status(BadNameError(at.currentFileName))
                                                      : MakeNewName(at, extension, job, numbers,
                                                                    userDecimalSeparator, newName);
        if (made)
            row.newName = newName;
        if (!made && !preview.stop) {
            row.newName = newName;
            preview.stop = PreviewFailure(made.error(), row);
            preview.stopRow = preview.rows.size();
            row.newName.clear();
        }
        preview.rows.push_back(std::move(row));
        return Success();
    });
    if (!walked && !preview.stop) {
        preview.stop = InOperation(walked.error(), Operation::ReadList);
        preview.stopRow = preview.rows.size();
    }
    if (preview.stop)
        return preview;

    PlayedFolders folders;
    for (std::size_t i = 0; i < preview.rows.size(); ++i) {
        const RenamePreviewRow& row = preview.rows[i];
        const std::string from = row.folder + row.name;
        const std::string to = row.folder + row.newName;
        std::optional<Error> refused;
        if (!folders.exists(from))
            refused = FileError(ErrorCode::FileNotFound, from);
        else if (from == to)
            continue;
        else if (folders.readOnly(from))
            refused = FileError(ErrorCode::PermissionDenied, from);
#ifndef _WIN32
        // A folder's read-only attribute forbids nothing on Windows, and is not looked at there.
        else if (folders.readOnly(row.folder.empty() ? std::string(".") : row.folder))
            refused = FileError(ErrorCode::PermissionDenied, row.folder);
#endif
        else if (folders.exists(to) && !folders.sameFile(from, to))
            refused = FileError(ErrorCode::FileExists, from);
        if (refused) {
            // The message names what is at fault: the file of the new name, the folder.
            const bool folderAtFault = refused->path != from;
            Error failure = PreviewFailure(std::move(*refused), row);
            if (failure.code == ErrorCode::FileExists)
                failure.text = to;
            else if (folderAtFault)
                failure.text = row.folder;
            preview.stop = std::move(failure);
            preview.stopRow = i;
            return preview;
        }
        folders.rename(from, to);
        ++preview.renamedBefore;
    }
    return preview;
}

Status RenameWithoutReplacing(const std::string& from, const std::string& to) {
    // The system calls would stop at a NUL and rename another file than the one named.
    if (from.find('\0') != std::string::npos || to.find('\0') != std::string::npos)
        return FileError(ErrorCode::BadFileName, from);
    Renamer renamer;
    return renamer.rename(from, FolderOf(from).size(), to, FolderOf(to).size());
}

} // namespace pilotrame
