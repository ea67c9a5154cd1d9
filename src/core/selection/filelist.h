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
// program writes it) is a marker and whose rest is a bare file name in the latest folder.
inline constexpr char kFolderMarker = '\v';
inline constexpr char kFileMarker = '\t';
inline constexpr std::string_view kFileListName = "Liste01.txt";

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

// The list text (UTF-8, CR LF): per folder that has names, a folder line then one file line per
// name. Without folder markers the folder lines carry no vertical tab: a list for reading only.
std::string BuildFileList(const FileList& list, bool folderMarkers = true);

// Writes Liste01.txt from the model and returns the number of file lines. The previous list is
// replaced only once the new one is complete. A folder or name holding a CR or an LF, which no
// list line can carry, is refused with an InvalidName error whose detail names it.
Result<int> WriteFileList(const std::string& listPath, const FileList& list,
                          bool folderMarkers = true);

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
                                   bool folderMarkers = true);

// The folder and file of the list line being processed; they keep their values between runs.
struct ListPosition {
    std::string currentFolder;
    std::string currentFileName;
    int line = 0; // the line of the list, from 1, that gave the file name, for messages
};

// Reads the list at listPath line by line, lines ending in CR LF, LF or CR: a folder line sets
// currentFolder (with a separator at its end, added when the line lacks it), a file line sets
// currentFileName and line (its number in the list) and calls onFile. Stops at, and returns, the
// first failure of onFile. A list that cannot be read fails with the kind ListUnreadable: when
// that happens part-way, onFile has been called for the lines before. The list is read
// pieceSize bytes at a time, so that a list of any length takes little memory; the lines, and
// what onFile sees, are the same whatever the size of the pieces.
Status WalkFileList(const std::string& listPath, ListPosition& position,
                    const std::function<Status(const ListPosition&)>& onFile,
                    std::size_t pieceSize = kReadPieceSize);

// What WalkListedFiles hands on for each file line: the position, as WalkFileList gives it, and
// the bytes of the name as the list holds them (the line without its marker) when the marker is
// one ASCII byte, as this program writes it; empty otherwise.
using ListedFileHandler =
    std::function<Status(const ListPosition& position, std::string_view listedName)>;

// WalkFileList for a reader that writes the names back in the ANSI code page, and may take them
// as the list holds them rather than convert them twice.
Status WalkListedFiles(const std::string& listPath, ListPosition& position,
                       const ListedFileHandler& onFile, std::size_t pieceSize = kReadPieceSize);

// The model of the list at listPath: a folder entry for each run of files under one folder line.
// File lines before any folder line go under an empty folder.
Result<FileList> ReadFileList(const std::string& listPath);

// Number of file lines of the list at listPath.
Result<int> CountListedFiles(const std::string& listPath);

} // namespace pilotrame
