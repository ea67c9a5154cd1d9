#include "fuzzsupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace pilotrame::fuzz {

void Violated(std::string_view what, std::string_view detail) {
    std::fprintf(stderr, "PROPERTY VIOLATED: %.*s\n%.*s\n", static_cast<int>(what.size()),
                 what.data(), static_cast<int>(detail.size()), detail.data());
    std::abort();
}

const std::string& ScratchFolder() {
    // Never destroyed: the clean-up at exit runs after the destructors of statics.
    static const std::string* const folder = [] {
        // A memory file system where there is one: the writers flush every file to disk.
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        const auto path = base / ("pilotrame-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        // A run that ends normally leaves nothing behind; a finding keeps its files.
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchFolder(), ignored);
        });
        return new std::string(path.string() + "/");
    }();
    return *folder;
}

std::string Fields::next() {
    const std::size_t end = m_rest.find('\xFF');
    std::string field(m_rest.substr(0, end));
    m_rest = end == std::string_view::npos ? std::string_view() : m_rest.substr(end + 1);
    return field;
}

bool Fields::flag() {
    const std::string field = next();
    return !field.empty() && (static_cast<unsigned char>(field.front()) & 1) != 0;
}

} // namespace pilotrame::fuzz
