#include "selection/filelist.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/text.h"
#include "base/utf8.h"

#include <cstdint>
#include <cstring>

namespace pilotrame {

namespace {

// The name of a file line: the line without its marker. The marker is one character, which a
// list edited by hand may make an accented one, two bytes or more in UTF-8: cutting one byte
// would leave half a character at the front of the name.
std::string_view FileLineName(std::string_view line) {
    if (line.empty())
        return line;
    std::size_t marker = 1;
    while (marker < line.size() && IsContinuationByte(line[marker]))
        ++marker;
    return line.substr(marker);
}

// Adds name under folder, opening a new folder entry when the folder changes.
void AddFile(FileList& list, std::string_view folder, std::string_view name) {
    if (list.empty() || list.back().folder != folder)
        list.push_back(ListedFolder{std::string(folder), {}});
    list.back().names.emplace_back(name);
}

// A folder line names a folder: one written without its final separator gets it here, the one
// its path already uses, so that every reader of the list builds the same path for a file.
void EndWithSeparator(std::string& folder) {
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/')
        return;
    const std::size_t last = folder.find_last_of("\\/");
    folder += last == std::string::npos ? kNativeSeparator : folder[last];
}

// The first CR or LF of text from position from on, npos when none: eight bytes at a time, a
// byte equal to CR or LF making its lane zero.
std::size_t FindLineEnd(std::string_view text, std::size_t from) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kTops = 0x8080808080808080u;
    std::size_t i = from;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        const std::uint64_t cr = word ^ (kOnes * '\r');
        const std::uint64_t lf = word ^ (kOnes * '\n');
        if ((((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kTops)
            break;
    }
    for (; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n')
            return i;
    }
    return std::string_view::npos;
}

} // namespace

int CountFiles(const FileList& list) {
    std::size_t count = 0;
    for (const ListedFolder& folder : list)
        count += folder.names.size();
    return static_cast<int>(count);
}

FileList FileListFromSelection(std::string_view selection, char separator) {
    FileList list;
    const auto firstNul = selection.find('\0');
    if (firstNul == std::string_view::npos) {
        const std::size_t folderLength = FolderPartLength(selection, separator);
        AddFile(list, selection.substr(0, folderLength), selection.substr(folderLength));
        return list;
    }
    std::string folder(selection.substr(0, firstNul));
    folder += separator;
    list.push_back(ListedFolder{std::move(folder), {}});
    std::size_t start = firstNul + 1;
    for (;;) {
        const auto end = selection.find('\0', start);
        list.back().names.emplace_back(selection.substr(start, end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return list;
}

FileList FileListFromPaths(const std::vector<std::string>& paths, char separator) {
    if (paths.size() == 1)
        return FileListFromSelection(paths.front(), separator);
    FileList list;
    for (const std::string& path : paths) {
        const std::size_t folderLength = FolderPartLength(path, separator);
        std::string_view parent = std::string_view(path).substr(0, folderLength);
        // The dialog names a folder without its final separator, a root with it ("C:\", "/").
        const bool root = folderLength > 0 &&
                          parent.substr(0, folderLength - 1).find(separator) == std::string::npos &&
                          (folderLength == 1 || parent[folderLength - 2] == ':');
        std::string folder;
        if (folderLength > 0) {
            folder.assign(root ? parent : parent.substr(0, folderLength - 1));
            folder += separator;
        }
        AddFile(list, folder, std::string_view(path).substr(folderLength));
    }
    return list;
}

std::vector<std::string> RemoveNamesOutsideAnsi(FileList& list) {
    std::vector<std::string> removed;
    for (ListedFolder& folder : list) {
        const bool folderFits = FitsAnsi(folder.folder);
        std::erase_if(folder.names, [&](const std::string& name) {
            if (folderFits && FitsAnsi(name))
                return false;
            removed.push_back(folder.folder + name);
            return true;
        });
    }
    std::erase_if(list, [](const ListedFolder& folder) { return folder.names.empty(); });
    return removed;
}

Result<std::string> FileListText(const FileList& list, FolderLines folderLines) {
    // Made in the ANSI code page line by line: a walk of a large tree lists a hundred thousand
    // names.
    std::string ansi;
    for (const ListedFolder& folder : list) {
        if (FindLineEnd(folder.folder, 0) != std::string_view::npos)
            return NameError(ErrorCode::InvalidName, folder.folder);
        for (const std::string& name : folder.names) {
            // A file line without a name would open its folder.
            if (name.empty() || FindLineEnd(name, 0) != std::string_view::npos)
                return NameError(ErrorCode::InvalidName, name);
        }
        if (folder.names.empty())
            continue;
        if (folderLines == FolderLines::Marked) {
            ansi += kFolderMarker;
            AppendToAnsi(ansi, folder.folder);
        } else {
            // Without its marker a folder line is known by the separator at its end.
            std::string named = folder.folder;
            EndWithSeparator(named);
            AppendToAnsi(ansi, named);
        }
        ansi += kCrLf;
        for (const std::string& name : folder.names) {
            ansi += kFileMarker;
            AppendToAnsi(ansi, name);
            ansi += kCrLf;
        }
    }
    return ansi;
}

Result<int> WriteFileList(const std::string& listPath, const FileList& list,
                          FolderLines folderLines) {
    Result<std::string> text = FileListText(list, folderLines);
    if (!text) {
        Error error = text.error();
        error.path = listPath;
        return error;
    }
    if (Status written = ReplaceFileContent(listPath, *text); !written)
        return InOperation(written.error(), Operation::WriteList);
    return CountFiles(list);
}

ChosenFilesListing ListChosenFiles(const std::string& listPath, FileList list,
                                   FolderLines folderLines) {
    ChosenFilesListing listing;
    listing.leftOut = RemoveNamesOutsideAnsi(list);
    if (list.empty() && !listing.leftOut.empty())
        return listing; // nothing could be taken: an empty list would lose the previous choice
    const Result<int> written = WriteFileList(listPath, list, folderLines);
    if (written) {
        listing.count = *written;
        listing.written = true;
    } else {
        listing.failure = written.error();
    }
    return listing;
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kEndOfText = '\x1A'; // Ctrl-Z

// A folder line of a list for reading: no marker, and a separator at its end, where a file line
// never has one.
bool IsFolderForReading(std::string_view line) {
    return line.front() != kFileMarker && (line.back() == '\\' || line.back() == '/');
}

// Cuts the list's bytes into lines as the pieces of the file come: a line may run over several
// pieces, and a CR ending one piece with an LF starting the next is one line end. Each line is
// converted on its own; a line end is never inside a character, in the ANSI code page or UTF-8.
class ListLines {
public:
    ListLines(const std::string& listPath, ListPosition& position, const ListedFileHandler& onFile)
        : m_listPath(listPath), m_position(position), m_onFile(onFile) {}

    Status take(std::string_view piece) {
        std::size_t i = 0;
        if (m_afterCr) {
            m_afterCr = false;
            if (!piece.empty() && piece.front() == '\n')
                i = 1;
        }
        while (i < piece.size()) {
            const std::size_t end = FindLineEnd(piece, i);
            const std::size_t stop = end == std::string_view::npos ? piece.size() : end;
            // A line is never held longer than a line may be (a first line may begin with a BOM).
            if (m_partial.size() + (stop - i) > kMaxListLineBytes + kByteOrderMark.size()) {
                if (m_partial.empty())
                    m_partial = piece.substr(i, kShownLineCharacters * 4);
                return fault(TextFault::LineTooLong, m_partial);
            }
            if (end == std::string_view::npos) {
                m_partial.append(piece, i);
                return Success();
            }
            std::string_view line = piece.substr(i, end - i);
            if (!m_partial.empty()) {
                m_partial.append(line);
                line = m_partial;
            }
            Status handled = handle(line);
            m_partial.clear();
            if (!handled)
                return handled;
            if (piece[end] == '\r' && end + 1 == piece.size()) {
                m_afterCr = true; // the LF that may complete it is in the next piece
                return Success();
            }
            i = end + (piece[end] == '\r' && piece[end + 1] == '\n' ? 2 : 1);
        }
        return Success();
    }

    // The last line, when the list does not end with a line end; a final Ctrl-Z is no part of it.
    Status finish() {
        if (!m_partial.empty() && m_partial.back() == kEndOfText)
            m_partial.pop_back();
        if (m_partial.empty())
            return Success();
        Status handled = handle(m_partial);
        m_partial.clear();
        return handled;
    }

    // True when the walk stopped on a failure of onFile, not of reading.
    bool stopped() const { return m_stopped; }

private:
    // Appends the text of bytes in UTF-8: as they are in a list marked as UTF-8 when they are
    // valid UTF-8, else from the ANSI code page. True when they were taken as UTF-8.
    bool decode(std::string& out, std::string_view bytes) const {
        if (m_utf8 && IsUtf8(bytes)) {
            out.append(bytes);
            return true;
        }
        AppendFromAnsi(out, bytes);
        return false;
    }

    // The faulty line ending at the line being read: text is its start, as the user reads it.
    Error fault(TextFault kind, std::string_view line) {
        if (m_number == 0 && line.starts_with(kByteOrderMark))
            line.remove_prefix(kByteOrderMark.size());
        std::string shown;
        decode(shown, line.substr(0, kShownLineCharacters * 4));
        std::size_t end = 0;
        for (std::size_t characters = 0; end < shown.size() && characters < kShownLineCharacters;
             ++characters) {
            ++end;
            while (end < shown.size() && IsContinuationByte(shown[end]))
                ++end;
        }
        shown.resize(end);
        // Shown in a message: a control character would break it, or end it at a NUL.
        for (char& c : shown) {
            if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F')
                c = '?';
        }
        Error error = InOperation(TextError(kind, m_number + 1, {}, shown), Operation::ReadList);
        error.path = m_listPath;
        error.number = kind == TextFault::LineTooLong ? static_cast<int>(kMaxListLineBytes) : 0;
        return error;
    }

    Status handle(std::string_view line) {
        if (m_number == 0 && line.starts_with(kByteOrderMark)) {
            line.remove_prefix(kByteOrderMark.size());
            m_utf8 = true;
        }
        if (line.size() > kMaxListLineBytes)
            return fault(TextFault::LineTooLong, line);
        if (line.empty()) {
            ++m_number;
            return Success();
        }
        const bool marked = line.front() == kFolderMarker;
        if (marked || IsFolderForReading(line)) {
            ++m_number;
            m_position.currentFolder.clear();
            decode(m_position.currentFolder, line.substr(marked ? 1 : 0));
            EndWithSeparator(m_position.currentFolder);
            m_folderSeen = true;
            return Success();
        }
        std::string& name = m_position.currentFileName;
        name.clear();
        std::string_view listedName;
        if (static_cast<unsigned char>(line.front()) < 0x80 && !(m_utf8 && IsUtf8(line))) {
            // A one-byte marker, a tab as this program writes it.
            listedName = line.substr(1);
            AppendFromAnsi(name, listedName);
        } else {
            decode(name, line);
            name.erase(0, name.size() - FileLineName(name).size());
        }
        if (!m_folderSeen)
            return fault(TextFault::FileBeforeFolder, name);
        if (name.empty()) {
            Error error = fault(TextFault::NamelessFile, {});
            error.detail = m_position.currentFolder;
            return error;
        }
        m_position.line = ++m_number;
        Status handled = m_onFile(m_position, listedName);
        m_stopped = !handled;
        return handled;
    }

    const std::string& m_listPath;
    ListPosition& m_position;
    const ListedFileHandler& m_onFile;
    std::string m_partial; // the start of a line whose end is in a later piece
    bool m_afterCr = false;
    bool m_stopped = false;
    bool m_utf8 = false;       // the list begins with a UTF-8 byte-order mark
    bool m_folderSeen = false; // a folder line came: file lines have a folder
    int m_number = 0;          // the lines read whole
};

} // namespace

Status WalkFileList(const std::string& listPath, ListPosition& position,
                    const std::function<Status(const ListPosition&)>& onFile,
                    std::size_t pieceSize) {
    return WalkListedFiles(
        listPath, position,
        [&onFile](const ListPosition& at, std::string_view) { return onFile(at); }, pieceSize);
}

Status WalkListedFiles(const std::string& listPath, ListPosition& position,
                       const ListedFileHandler& onFile, std::size_t pieceSize) {
    ListLines lines(listPath, position, onFile);
    Status walked = ReadFileInPieces(
        listPath, [&lines](std::string_view piece) { return lines.take(piece); }, pieceSize);
    if (walked)
        walked = lines.finish();
    if (!walked && !lines.stopped())
        return InOperation(walked.error(), Operation::ReadList);
    return walked;
}

Result<FileList> ReadFileList(const std::string& listPath) {
    FileList list;
    ListPosition position;
    const Status walked = WalkFileList(listPath, position, [&list](const ListPosition& at) {
        AddFile(list, at.currentFolder, at.currentFileName);
        return Success();
    });
    if (!walked)
        return walked.error();
    return list;
}

} // namespace pilotrame
