#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pilotrame {

#ifdef _WIN32
inline constexpr char kNativeSeparator = '\\';
#else
inline constexpr char kNativeSeparator = '/';
#endif

// The folder with one separator at its end: appended when the last character is not one,
// so "c:\" stays as it is and an empty text becomes the separator alone.
std::string withTrailingSeparator(std::string_view folder, char separator = kNativeSeparator);

// Position just after the last separator of a path (0 when there is none): the length of its
// folder part, final separator included.
std::size_t folderPartLength(std::string_view path, char separator = kNativeSeparator);

// A filesystem path from UTF-8 text, and back; on Windows these go through UTF-16.
std::filesystem::path toFsPath(std::string_view utf8);
std::string fromFsPath(const std::filesystem::path& path);

} // namespace pilotrame
