#pragma once

#include "base/paths.h"
#include "base/result.h"

#include <functional>
#include <string>
#include <string_view>

namespace pilotrame {

// Liste01.txt: CR LF lines in the ANSI code page. A folder line is the vertical tab and a folder
// ending in its separator; any other line is a file line whose first character (a tab when this
// program writes it) is a marker and whose rest is a bare file name in the latest folder.
inline constexpr char kFolderMarker = '\v';
inline constexpr char kFileMarker = '\t';
inline constexpr std::string_view kFileListName = "Liste01.txt";

// The list text (UTF-8, CR LF) for a dialog selection: either one full path, or an explorer-style
// multiple selection, the folder then each name, all separated by the character of code 0.
// Names are kept whole. fileCount receives the number of file lines.
std::string BuildFileList(std::string_view selection, char separator, int& fileCount);

// Writes Liste01.txt for a dialog selection and returns the number of file lines. The previous
// list is replaced only once the new one is complete. A name holding CR LF, which no list line
// can carry, is refused with an error that names it.
Result<int> WriteFileList(const std::string& listPath, std::string_view selection,
                          char separator = kNativeSeparator);

// The folder and file of the list line being processed; they keep their values between runs.
struct ListPosition {
    std::string currentFolder;
    std::string currentFileName;
};

// Reads the list at listPath line by line: a folder line sets currentFolder, a file line sets
// currentFileName and calls onFile. Stops at, and returns, the first failure of onFile.
Status WalkFileList(const std::string& listPath, ListPosition& position,
                    const std::function<Status(const ListPosition&)>& onFile);

// Number of file lines of the list at listPath.
Result<int> CountListedFiles(const std::string& listPath);

} // namespace pilotrame
