#pragma once

#include "base/result.h"

#include <string>
#include <string_view>

namespace pilotrame {

// Small file operations on UTF-8 paths. Each opens the file for one operation and closes it on
// every path; failures come back as Error values naming the operation and the path.

// The whole content of a file, bytes unchanged.
Result<std::string> ReadFileBytes(const std::string& path);

// True when the path names an existing regular file that can be opened for reading.
Status CheckReadable(const std::string& path);

// Creates the file empty, or empties it.
Status TruncateFile(const std::string& path);

// Appends bytes at the end of the file, creating it when missing.
Status AppendToFile(const std::string& path, std::string_view bytes);

// Replaces the whole file by bytes without ever leaving a half-written file under its name:
// the bytes go to a new file beside it, which then takes its place.
Status ReplaceFileContent(const std::string& path, std::string_view bytes);

// True when a file can be created in the folder: the system's answer on POSIX, a probe file with
// a name of its own, made and removed, on Windows.
bool IsFolderWritable(const std::string& folder);

// The error number for errno error of a call on path. A missing entry is FileNotFound, or
// PathNotFound when the folder of path is missing too.
ErrorCode CodeFromErrno(int error, const std::string& path);

// The same for a call on the folder itself, which is PathNotFound when missing.
ErrorCode FolderCodeFromErrno(int error, const std::string& folder);

// A failure of the system with code on path.
Error FileError(ErrorCode code, const std::string& path);

// FileError(CodeFromErrno(error, path), path).
Error ErrorFromErrno(int error, const std::string& path);

} // namespace pilotrame
