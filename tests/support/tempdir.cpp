#include "support/tempdir.h"

#include "base/paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace pilotrame::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path base = fs::temp_directory_path() / ("pilotrame-test-" + std::to_string(stamp) +
                                                       "-" + std::to_string(counter++));
    fs::create_directories(base);
    m_folder = withTrailingSeparator(fromFsPath(base));
}

TempDir::~TempDir() {
    std::error_code ec;
    // Read-only files left by a test must not stop the clean-up.
    for (const auto& entry : fs::recursive_directory_iterator(toFsPath(m_folder), ec))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(toFsPath(m_folder), ec);
}

void writeBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(toFsPath(path), std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(out) << "cannot write " << path;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readBytes(const std::string& path) {
    std::ifstream in(toFsPath(path), std::ios::binary);
    EXPECT_TRUE(in) << "cannot read " << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(toFsPath(path), ec);
}

void setReadOnly(const std::string& path, bool readOnly) {
    const auto write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(toFsPath(path), write,
                    readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

bool readOnlyIsEnforced() {
    TempDir dir;
    const std::string probe = dir.path("probe");
    writeBytes(probe, "x");
    setReadOnly(probe, true);
    std::FILE* file = std::fopen(probe.c_str(), "ab");
    const bool refused = file == nullptr;
    if (file)
        std::fclose(file);
    return refused;
}

std::string native(std::string_view relative) {
    std::string out(relative);
    std::replace(out.begin(), out.end(), '/', kNativeSeparator);
    return out;
}

void makeTree(const TempDir& dir, std::initializer_list<std::string_view> entries) {
    for (const std::string_view entry : entries) {
        const fs::path path = toFsPath(dir.path(native(entry)));
        if (entry.ends_with('/')) {
            fs::create_directories(path);
        } else {
            fs::create_directories(path.parent_path());
            writeBytes(fromFsPath(path), "x");
        }
    }
}

} // namespace pilotrame::test
