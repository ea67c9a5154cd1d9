#include "selection/filelist.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/text.h"

namespace pilotrame {

namespace {

void appendLine(std::string& text, char marker, std::string_view content) {
    text += marker;
    text += content;
    text += kCrLf;
}

} // namespace

std::string BuildFileList(std::string_view selection, char separator, int& fileCount) {
    std::string text;
    const auto firstNul = selection.find('\0');
    if (firstNul == std::string_view::npos) {
        const std::size_t folderLength = folderPartLength(selection, separator);
        appendLine(text, kFolderMarker, selection.substr(0, folderLength));
        appendLine(text, kFileMarker, selection.substr(folderLength));
        fileCount = 1;
        return text;
    }
    std::string folder(selection.substr(0, firstNul));
    folder += separator;
    appendLine(text, kFolderMarker, folder);
    fileCount = 0;
    std::size_t start = firstNul + 1;
    for (;;) {
        const auto end = selection.find('\0', start);
        appendLine(text, kFileMarker, selection.substr(start, end - start));
        ++fileCount;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return text;
}

Result<int> WriteFileList(const std::string& listPath, std::string_view selection, char separator) {
    if (const auto pair = selection.find(kCrLf); pair != std::string_view::npos) {
        // Name the part of the selection that holds the line break.
        const auto begin = selection.rfind('\0', pair);
        const auto end = selection.find('\0', pair);
        const std::size_t from = begin == std::string_view::npos ? 0 : begin + 1;
        return Error{ErrorCode::InvalidName, "liste des fichiers", listPath,
                     std::string(selection.substr(from, end == std::string_view::npos
                                                            ? std::string_view::npos
                                                            : end - from))};
    }
    int count = 0;
    const std::string text = BuildFileList(selection, separator, count);
    if (Status written = replaceFileContent(listPath, toAnsi(text)); !written)
        return written.error();
    return count;
}

Status WalkFileList(const std::string& listPath, ListPosition& position,
                    const std::function<Status(const ListPosition&)>& onFile) {
    Result<std::string> bytes = readFileBytes(listPath);
    if (!bytes)
        return bytes.error();
    const std::string text = fromAnsi(*bytes);
    for (const std::string_view line : splitCrLfLines(text)) {
        if (!line.empty() && line.front() == kFolderMarker) {
            position.currentFolder.assign(line.substr(1));
            continue;
        }
        position.currentFileName.assign(line.empty() ? std::string_view() : line.substr(1));
        if (Status handled = onFile(position); !handled)
            return handled;
    }
    return success();
}

Result<int> CountListedFiles(const std::string& listPath) {
    ListPosition position;
    int count = 0;
    Status walked = WalkFileList(listPath, position, [&count](const ListPosition&) {
        ++count;
        return success();
    });
    if (!walked)
        return walked.error();
    return count;
}

} // namespace pilotrame
