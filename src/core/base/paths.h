#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

#ifdef _WIN32
inline constexpr char kNativeSeparator = '\\';
#else
inline constexpr char kNativeSeparator = '/';
#endif

// The folder with one separator at its end: appended when the last character is not one,
// so "c:\" stays as it is and an empty text becomes the separator alone.
std::string WithTrailingSeparator(std::string_view folder, char separator = kNativeSeparator);

// Position just after the last separator of a path (0 when there is none): the length of its
// folder part, final separator included.
std::size_t FolderPartLength(std::string_view path, char separator = kNativeSeparator);

// A filesystem path from UTF-8 text, and back; on Windows these go through UTF-16.
std::filesystem::path ToFsPath(std::string_view utf8);
std::string FromFsPath(const std::filesystem::path& path);

// Drive lists. With the backslash separator a drive entry is a letter and a colon ("c: [DATA]"
// opens "c:\"); with any other separator the entry is a mount point and opens on itself.
std::string DriveRoot(std::string_view drive, char separator = kNativeSeparator);
// The drive a drive list goes back to when the chosen one cannot be read: "c:\" or "/".
std::string FallbackDrive(char separator = kNativeSeparator);
// True when folder lies on the drive whose root is given (as DriveRoot makes it): drive letters
// compare without regard to letter case with the backslash separator, mount points exactly.
bool IsOnDrive(std::string_view folder, std::string_view root, char separator = kNativeSeparator);
// The entries of a drive list: the system's drives, and with any other separator than the
// backslash the home folder too (a single root is a poor choice of drives there).
std::vector<std::string> DriveListEntries(const std::vector<std::string>& systemDrives,
                                          std::string_view homeFolder,
                                          char separator = kNativeSeparator);

// True when Windows can give a file this name, whatever the system the program runs on: not
// empty, none of \ / : * ? " < > | nor a control character, no final space or dot, and none of
// the names Windows keeps for its devices (CON, NUL, COM1 … with any extension). A drawing named
// otherwise on Linux could never be opened by AutoCAD, nor copied to the draughtsmen's shares.
bool IsWindowsFileName(std::string_view name);

} // namespace pilotrame
