#pragma once

#include "base/result.h"

#include <string>
#include <string_view>

namespace pilotrame {

// Small file operations on UTF-8 paths. Each opens the file for one operation and closes it on
// every path; failures come back as Error values naming the operation and the path.

// The whole content of a file, bytes unchanged.
Result<std::string> readFileBytes(const std::string& path);

// True when the path names an existing regular file that can be opened for reading.
Status checkReadable(const std::string& path);

// Creates the file empty, or empties it.
Status truncateFile(const std::string& path);

// Appends bytes at the end of the file, creating it when missing.
Status appendToFile(const std::string& path, std::string_view bytes);

// Replaces the whole file by bytes without ever leaving a half-written file under its name:
// the bytes go to a new file beside it, which then takes its place.
Status replaceFileContent(const std::string& path, std::string_view bytes);

// True when a file can be created in the folder (it makes and removes a probe file).
bool isFolderWritable(const std::string& folder);

} // namespace pilotrame
