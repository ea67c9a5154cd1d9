#include "base/paths.h"

#include "base/text.h"

namespace pilotrame {

std::string WithTrailingSeparator(std::string_view folder, char separator) {
    std::string out(folder);
    if (out.empty() || out.back() != separator)
        out += separator;
    return out;
}

std::size_t FolderPartLength(std::string_view path, char separator) {
    const auto last = path.rfind(separator);
    return last == std::string_view::npos ? 0 : last + 1;
}

std::filesystem::path ToFsPath(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string FromFsPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string DriveRoot(std::string_view drive, char separator) {
    if (separator == '\\')
        return std::string(drive.substr(0, 2)) + separator;
    return WithTrailingSeparator(drive, separator);
}

std::string FallbackDrive(char separator) {
    return separator == '\\' ? std::string("c:\\") : std::string(1, separator);
}

bool IsOnDrive(std::string_view folder, std::string_view root, char separator) {
    const std::string path = WithTrailingSeparator(folder, separator);
    const std::string prefix = WithTrailingSeparator(root, separator);
    if (path.size() < prefix.size())
        return false;
    const std::string_view head(path.data(), prefix.size());
    return separator == '\\' ? EqualsIgnoringCase(head, prefix) : head == prefix;
}

std::vector<std::string> DriveListEntries(const std::vector<std::string>& systemDrives,
                                          std::string_view homeFolder, char separator) {
    std::vector<std::string> entries = systemDrives;
    if (separator == '\\' || homeFolder.empty())
        return entries;
    const std::string home(homeFolder);
    for (const std::string& entry : entries) {
        if (entry == home)
            return entries;
    }
    entries.push_back(home);
    return entries;
}

bool IsWindowsFileName(std::string_view name) {
    if (name.empty() || name.back() == ' ' || name.back() == '.')
        return false;
    if (HasControlCharacter(name) || name.find_first_of("\\/:*?\"<>|") != std::string_view::npos)
        return false;
    // A device name stays one with an extension: "CON.dwg" names the console.
    const std::string_view stem = TrimSpaces(name.substr(0, name.find('.')));
    for (const std::string_view device : {"CON", "PRN", "AUX", "NUL"}) {
        if (EqualsIgnoringCase(stem, device))
            return false;
    }
    const bool numbered = stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9';
    return !numbered || (!EqualsIgnoringCase(stem.substr(0, 3), "COM") &&
                         !EqualsIgnoringCase(stem.substr(0, 3), "LPT"));
}

} // namespace pilotrame
