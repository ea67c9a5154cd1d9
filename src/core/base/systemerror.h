#pragma once

#include "base/error.h"

#include <string>

namespace pilotrame {

// What the system's own error numbers mean to the user: errno on POSIX, GetLastError on Windows,
// both brought to the numbers of ErrorCode, so that a failure reads the same on either system.

// The error number for errno error of a call on path. A missing entry is FileNotFound, or
// PathNotFound when the folder of path is missing too.
ErrorCode CodeFromErrno(int error, const std::string& path);

// The same for a call on the folder itself, which is PathNotFound when missing.
ErrorCode FolderCodeFromErrno(int error, const std::string& folder);

#ifdef _WIN32
// The error number for a Windows error code (GetLastError) of a call on a file, so that both
// systems give the user the same numbers: a missing file is FileNotFound, a missing folder on
// its path PathNotFound.
ErrorCode CodeFromWindowsError(unsigned long error);

// The same for a call on the folder itself, which is PathNotFound when missing or a file.
ErrorCode FolderCodeFromWindowsError(unsigned long error);
#endif

// A failure of the system with code on path.
Error FileError(ErrorCode code, const std::string& path);

// FileError(CodeFromErrno(error, path), path).
Error ErrorFromErrno(int error, const std::string& path);

} // namespace pilotrame
