#pragma once

#include "base/fileio.h"
#include "base/paths.h"
#include "base/result.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// Liste01.txt: CR LF lines in the ANSI code page. A folder line is the vertical tab and a folder
// ending in its separator; any other line is a file line whose first character (a tab when this
// program writes it) is a marker and whose rest is a bare file name in the latest folder. A list
// written for reading ("Générer uniquement une liste des fichiers") has its folder lines without
// the vertical tab: a line that starts with neither marker and ends in a separator, which no file
// line can, is read as a folder line too, so that such a list still names its folders.
//
// What a list may hold beyond what this program writes: line ends CR LF, LF or CR, so LF CR is
// two line ends; blank lines, which are skipped; a UTF-8 byte-order mark at its start, after which
// each line is read as UTF-8 when it is valid UTF-8 and in the ANSI code page otherwise; a Ctrl-Z
// as its last byte, as old editors end a text, which is ignored. Every reader refuses, as a
// faulty text (operation ReadList, path: the list, line: the line, text: its start):
// - a file line before any folder line (FileBeforeFolder): it would name no folder, and a
//   drawing of another folder would be opened in its place;
// - a file line without a name (NamelessFile, detail: the folder): it would open the folder;
// - a line longer than kMaxListLineBytes (LineTooLong, number: the limit): no folder or name is
//   so long, and the line is never held whole, so a file of any kind is read in little memory.
inline constexpr char kFolderMarker = '\v';
inline constexpr char kFileMarker = '\t';
inline constexpr std::string_view kFileListName = "Liste01.txt";
// The longest line of a list, without its line end: the longest path Windows knows.
inline constexpr std::size_t kMaxListLineBytes = 32767;
// The characters of a faulty line that its failure shows.
inline constexpr std::size_t kShownLineCharacters = 80;

// One folder of a list and the names of its files, in list order. folder ends in its separator.
struct ListedFolder {
    std::string folder;
    std::vector<std::string> names;

    bool operator==(const ListedFolder&) const = default;
};

// A list as a sequence of folders; the same folder may come back later in the list.
using FileList = std::vector<ListedFolder>;

// Number of file names in the list.
int CountFiles(const FileList& list);

// The model of a dialog selection text: either one full path, or an explorer-style multiple
// selection, the folder then each name, all separated by the character of code 0. Names are
// kept whole.
FileList FileListFromSelection(std::string_view selection, char separator = kNativeSeparator);

// The model of full paths chosen in the file dialog, in the order chosen: each file under its own
// folder, a new folder entry whenever the folder changes. One path is split after its last
// separator; with several, each folder is the dialog's folder and one separator, so a drive root
// ("C:\") gives "C:\\", as the classic dialog reports it.
FileList FileListFromPaths(const std::vector<std::string>& paths,
                           char separator = kNativeSeparator);

// Takes out of the list every file whose folder or name holds a character that the ANSI code
// page cannot hold (AutoCAD would get "?" in its place and fail to open it), and folders left
// without files. Returns the full paths taken out, in list order.
std::vector<std::string> RemoveNamesOutsideAnsi(FileList& list);

// How a list's folder lines are written: with their vertical tab, or without it in a list for
// reading, which a person reads more easily and the program still reads.
enum class FolderLines { Marked, ForReading };

// The bytes of the list of the model, in the ANSI code page with CR LF line ends: per folder that
// has names, a folder line then one file line per name. A folder or name holding a CR or an LF,
// which no list line can carry, is refused with an InvalidName error whose detail names it.
Result<std::string> FileListText(const FileList& list,
                                 FolderLines folderLines = FolderLines::Marked);

// Writes the list of the model, as FileListText makes it, at listPath and returns the number of
// file lines. The previous list is replaced only once the new one is complete (FileReplacement).
Result<int> WriteFileList(const std::string& listPath, const FileList& list,
                          FolderLines folderLines = FolderLines::Marked);

// What listing chosen files did.
struct ChosenFilesListing {
    int count = 0;                    // files written to the list
    bool written = false;             // the list was replaced; else the old one stays as it was
    std::vector<std::string> leftOut; // full paths left out, as RemoveNamesOutsideAnsi gives them
    std::optional<Error> failure;     // the list could not be written: the old one stays
};

// The use case behind both selections: leaves out of list the files AutoCAD could not open by
// name, then writes the rest to the list at listPath as WriteFileList does. When every chosen file
// was left out nothing is written: the previous list stays, so the count shown for it stays true.
// A selection that was empty from the start (a walk that found nothing) is written, empty.
ChosenFilesListing ListChosenFiles(const std::string& listPath, FileList list,
                                   FolderLines folderLines = FolderLines::Marked);

// The folder and file of the list line being processed; they keep their values between runs.
struct ListPosition {
    std::string currentFolder;
    std::string currentFileName;
    int line = 0; // the line of the list, from 1, that gave the file name, for messages
};

// Reads the list at listPath line by line, as the format above says: a folder line sets
// currentFolder (with a separator at its end, added when the line lacks it), a file line sets
// currentFileName and line (its number in the list) and calls onFile. Stops at, and returns, the
// first failure of onFile. A list that cannot be read, or is faulty, fails with the operation
// ReadList: when that happens part-way, onFile has been called for the lines before. The list is
// read pieceSize bytes at a time, so that a list of any length takes little memory; the lines,
// and what onFile sees, are the same whatever the size of the pieces.
Status WalkFileList(const std::string& listPath, ListPosition& position,
                    const std::function<Status(const ListPosition&)>& onFile,
                    std::size_t pieceSize = kReadPieceSize);

// What WalkListedFiles hands on for each file line: the position, as WalkFileList gives it, and
// the bytes of the name as the list holds them (the line without its marker) when the marker is
// one ASCII byte, as this program writes it, and the line is in the ANSI code page; empty
// otherwise.
using ListedFileHandler =
    std::function<Status(const ListPosition& position, std::string_view listedName)>;

// WalkFileList for a reader that writes the names back in the ANSI code page, and may take them
// as the list holds them rather than convert them twice.
Status WalkListedFiles(const std::string& listPath, ListPosition& position,
                       const ListedFileHandler& onFile, std::size_t pieceSize = kReadPieceSize);

// The model of the list at listPath: a folder entry for each run of files under one folder line.
Result<FileList> ReadFileList(const std::string& listPath);

} // namespace pilotrame
