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
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pilotrame::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path base = fs::temp_directory_path() / ("pilotrame-test-" + std::to_string(stamp) +
                                                       "-" + std::to_string(counter++));
    fs::create_directories(base);
    m_folder = WithTrailingSeparator(FromFsPath(base));
}

TempDir::~TempDir() {
    std::error_code ec;
    // Read-only files left by a test must not stop the clean-up. A link is left alone: what it
    // points to (/dev/full …) is no file of the test's.
    for (const auto& entry : fs::recursive_directory_iterator(ToFsPath(m_folder), ec)) {
        if (!entry.is_symlink(ec))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(ToFsPath(m_folder), ec);
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(ToFsPath(path), std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(out) << "cannot write " << path;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(ToFsPath(path), std::ios::binary);
    EXPECT_TRUE(in) << "cannot read " << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(ToFsPath(path), ec);
}

void SetReadOnly(const std::string& path, bool readOnly) {
    const auto write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(ToFsPath(path), write,
                    readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

bool ReadOnlyIsEnforced() {
    TempDir dir;
    const std::string probe = dir.path("probe");
    WriteBytes(probe, "x");
    SetReadOnly(probe, true);
    std::FILE* file = std::fopen(probe.c_str(), "ab");
    const bool refused = file == nullptr;
    if (file)
        std::fclose(file);
    return refused;
}

std::string Native(std::string_view relative) {
    std::string out(relative);
    std::replace(out.begin(), out.end(), '/', kNativeSeparator);
    return out;
}

void MakeTree(const TempDir& dir, std::initializer_list<std::string_view> entries) {
    for (const std::string_view entry : entries) {
        const fs::path path = ToFsPath(dir.path(Native(entry)));
        if (entry.ends_with('/')) {
            fs::create_directories(path);
        } else {
            fs::create_directories(path.parent_path());
            WriteBytes(FromFsPath(path), "x");
        }
    }
}

std::string HelperProgram(const std::string& builtPath) {
#ifdef _WIN32
    wchar_t self[4096];
    const DWORD length = GetModuleFileNameW(nullptr, self, 4096);
    return FromFsPath(fs::path(std::wstring(self, length)).parent_path() /
                      fs::path(builtPath).filename());
#else
    return builtPath;
#endif
}

std::string InstallHelperProgram(const TempDir& dir, const std::string& builtPath) {
    const fs::path source = ToFsPath(HelperProgram(builtPath));
    const fs::path target = ToFsPath(dir.folder()) / source.filename();
    fs::copy_file(source, target, fs::copy_options::overwrite_existing);
    return FromFsPath(target);
}

std::string WaitForFile(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!FileExists(path) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!FileExists(path))
        return {};
    // The writer may still be writing: wait until the size stays the same for a moment.
    std::uintmax_t size = 0;
    std::error_code ec;
    do {
        size = fs::file_size(ToFsPath(path), ec);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (fs::file_size(ToFsPath(path), ec) != size &&
             std::chrono::steady_clock::now() < deadline);
    return ReadBytes(path);
}

} // namespace pilotrame::test
