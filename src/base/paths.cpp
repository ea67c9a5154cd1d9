#include "base/paths.h"

namespace pilotrame {

std::string withTrailingSeparator(std::string_view folder, char separator) {
    std::string out(folder);
    if (out.empty() || out.back() != separator)
        out += separator;
    return out;
}

std::size_t folderPartLength(std::string_view path, char separator) {
    const auto last = path.rfind(separator);
    return last == std::string_view::npos ? 0 : last + 1;
}

std::filesystem::path toFsPath(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string fromFsPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace pilotrame
