#include "selection/filelist.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/text.h"
#include "base/utf8.h"

namespace pilotrame {

namespace {

void AppendLine(std::string& text, std::string_view marker, std::string_view content) {
    text += marker;
    text += content;
    text += kCrLf;
}

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

std::string BuildFileList(const FileList& list, bool folderMarkers) {
    std::string text;
    const std::string_view folderMarker = folderMarkers ? std::string_view("\v") : "";
    for (const ListedFolder& folder : list) {
        if (folder.names.empty())
            continue;
        AppendLine(text, folderMarker, folder.folder);
        for (const std::string& name : folder.names)
            AppendLine(text, std::string_view(&kFileMarker, 1), name);
    }
    return text;
}

Result<int> WriteFileList(const std::string& listPath, const FileList& list, bool folderMarkers) {
    for (const ListedFolder& folder : list) {
        const auto refused = [&](const std::string& name) {
            return NameError(ErrorCode::InvalidName, name, listPath);
        };
        if (folder.folder.find_first_of("\r\n") != std::string::npos)
            return refused(folder.folder);
        for (const std::string& name : folder.names) {
            if (name.find_first_of("\r\n") != std::string::npos)
                return refused(name);
        }
    }
    if (Status written = ReplaceFileContent(listPath, ToAnsi(BuildFileList(list, folderMarkers)));
        !written)
        return InOperation(written.error(), Operation::WriteList);
    return CountFiles(list);
}

ChosenFilesListing ListChosenFiles(const std::string& listPath, FileList list, bool folderMarkers) {
    ChosenFilesListing listing;
    listing.leftOut = RemoveNamesOutsideAnsi(list);
    if (list.empty() && !listing.leftOut.empty())
        return listing; // nothing could be taken: an empty list would lose the previous choice
    const Result<int> written = WriteFileList(listPath, list, folderMarkers);
    if (written) {
        listing.count = *written;
        listing.written = true;
    } else {
        listing.failure = written.error();
    }
    return listing;
}

Status WalkFileList(const std::string& listPath, ListPosition& position,
                    const std::function<Status(const ListPosition&)>& onFile) {
    Result<std::string> bytes = ReadFileBytes(listPath);
    if (!bytes)
        return InOperation(bytes.error(), Operation::ReadList);
    const std::string text = FromAnsi(*bytes);
    int number = 0;
    for (const std::string_view line : SplitLines(text)) {
        ++number;
        if (!line.empty() && line.front() == kFolderMarker) {
            position.currentFolder.assign(line.substr(1));
            EndWithSeparator(position.currentFolder);
            continue;
        }
        position.currentFileName.assign(FileLineName(line));
        position.line = number;
        if (Status handled = onFile(position); !handled)
            return handled;
    }
    return Success();
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

Result<int> CountListedFiles(const std::string& listPath) {
    Result<FileList> list = ReadFileList(listPath);
    if (!list)
        return list.error();
    return CountFiles(*list);
}

} // namespace pilotrame
