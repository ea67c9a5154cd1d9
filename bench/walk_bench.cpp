// The advanced selection's two-level walk over a tree of 100,000 files in 1,000 folders (10
// first-level folders of 99 sub-folders each, 100 files in each of them, 70 of which drawings),
// measured against a baseline that does the least the walk must: read each folder once with the
// system's own listing (readdir, the type of each entry taken from the listing), keep the
// drawings by their extension, sort the names the same way (without regard to case, then byte by
// byte: for these ASCII names, the program's order), and write the same bytes the same durable
// way (a new file flushed to disk, then renamed over the list). The gap between the two is what
// the walk itself costs; the target is a walk at most 1.1 times the baseline.

#include "base/paths.h"
#include "base/result.h"
#include "selection/filelist.h"
#include "selection/folderwalk.h"

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <cerrno>
#include <dirent.h>
#include <unistd.h>
#endif

namespace {

using pilotrame::bench::FixtureOnce;
using pilotrame::bench::RunIterations;

namespace fs = std::filesystem;

constexpr int kFirstLevel = 10;
constexpr int kSecondLevel = 99;
constexpr int kFilesPerFolder = 100;
constexpr int kFolderCount = kFirstLevel * (1 + kSecondLevel);
// File i of a folder: 60 in 100 ".dwg", 10 ".DWG", the rest other types.
constexpr const char* kExtensions[] = {".dwg", ".dwg", ".dwg", ".dwg", ".dwg",
                                       ".dwg", ".DWG", ".dxf", ".pdf", ".bak"};
constexpr int kDrawingCount = kFolderCount * kFilesPerFolder * 7 / 10;

std::string Numbered(const char* stem, int number, int width) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%0*d", width, number);
    return stem + std::string(digits);
}

bool Touch(const fs::path& path) {
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    return file != nullptr && std::fclose(file) == 0;
}

bool HasDrawingExtension(std::string_view name) {
    if (name.size() < 4)
        return false;
    const std::string_view extension = name.substr(name.size() - 4);
    return std::equal(extension.begin(), extension.end(), ".dwg", [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

// The order of the walk for ASCII names: letters without regard to case, then byte by byte.
// Names of one folder share most of their start: the first differing byte mostly decides.
bool AsciiNameLess(const std::string& a, const std::string& b) {
    const auto upper = [](char c) {
        return static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    };
    const std::size_t common = std::min(a.size(), b.size());
    std::size_t i = static_cast<std::size_t>(
        std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(common), b.begin()).first -
        a.begin());
    for (; i < common; ++i) {
        if (upper(a[i]) != upper(b[i]))
            return upper(a[i]) < upper(b[i]);
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

#ifndef _WIN32
// What the baseline adds per folder: its drawings sorted, then a folder line and file lines.
bool ListPlainly(const std::string& folder, std::vector<std::string>* subFolders,
                 std::vector<std::string>& names, std::string& text) {
    names.clear();
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr)
        return false;
    errno = 0;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name.front() == '.')
            continue;
        if (entry->d_type == DT_DIR) {
            if (subFolders != nullptr)
                subFolders->emplace_back(name);
        } else if (entry->d_type == DT_REG && HasDrawingExtension(name)) {
            names.emplace_back(name);
        }
    }
    const bool read = errno == 0;
    ::closedir(listing);
    if (!read)
        return false;
    std::sort(names.begin(), names.end(), AsciiNameLess);
    if (subFolders != nullptr)
        std::sort(subFolders->begin(), subFolders->end(), AsciiNameLess);
    if (names.empty())
        return true;
    text += '\v';
    text += folder;
    text += "\r\n";
    for (const std::string& name : names) {
        text += '\t';
        text += name;
        text += "\r\n";
    }
    return true;
}
#endif

// One write of the whole text to a new file, on disk before it replaces the list.
bool WriteDurably(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".~nouveau";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written =
        std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
#ifdef _WIN32
    written = written && _commit(_fileno(file)) == 0;
#else
    written = written && fsync(fileno(file)) == 0;
#endif
    if (std::fclose(file) != 0 || !written)
        return false;
    std::error_code ec;
    fs::rename(temporary, path, ec);
    return !ec;
}

// The two-level walk done with nothing but the system's listing, in the same order.
bool BaselineWalk(const std::string& chosen, const std::string& listPath) {
#ifdef _WIN32
    (void)chosen;
    (void)listPath;
    return false;
#else
    std::string text;
    std::vector<std::string> names;
    std::vector<std::string> firstLevel;
    if (!ListPlainly(chosen, &firstLevel, names, text))
        return false;
    std::vector<std::vector<std::string>> secondLevel(firstLevel.size());
    for (std::size_t i = 0; i < firstLevel.size(); ++i) {
        const std::string folder = chosen + firstLevel[i] + pilotrame::kNativeSeparator;
        if (!ListPlainly(folder, &secondLevel[i], names, text))
            return false;
    }
    for (std::size_t i = 0; i < firstLevel.size(); ++i) {
        for (const std::string& name : secondLevel[i]) {
            const std::string folder = chosen + firstLevel[i] + pilotrame::kNativeSeparator + name +
                                       pilotrame::kNativeSeparator;
            if (!ListPlainly(folder, nullptr, names, text))
                return false;
        }
    }
    return WriteDurably(listPath, text);
#endif
}

pilotrame::Result<int> WalkAndWrite(const std::string& chosen, const std::string& listPath) {
    const pilotrame::WalkResult walked = pilotrame::WalkFolder(
        pilotrame::WalkRequest{chosen, pilotrame::WalkMode::CurrentFirstSecond, "*.dwg"});
    if (walked.cancelled || !walked.unreadableFolders.empty())
        return pilotrame::Error{};
    return pilotrame::WriteFileList(listPath, walked.list);
}

bool SameBytes(const std::string& a, const std::string& b) {
    std::error_code ec;
    const auto size = fs::file_size(a, ec);
    if (ec || size != fs::file_size(b, ec) || ec)
        return false;
    std::FILE* first = std::fopen(a.c_str(), "rb");
    std::FILE* second = std::fopen(b.c_str(), "rb");
    bool same = first != nullptr && second != nullptr;
    std::vector<char> x(65536);
    std::vector<char> y(65536);
    while (same) {
        const std::size_t n = std::fread(x.data(), 1, x.size(), first);
        same = std::fread(y.data(), 1, y.size(), second) == n &&
               std::equal(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(n), y.begin());
        if (n < x.size())
            break;
    }
    if (first != nullptr)
        std::fclose(first);
    if (second != nullptr)
        std::fclose(second);
    return same;
}

// The tree and the two list files, in a folder of its own.
class Fixture : public pilotrame::bench::FolderFixture {
public:
    Fixture() : FolderFixture("pilotrame-walk-bench-") {
        if (!m_error.empty())
            return;
        std::error_code ec;
        const fs::path tree = root() / "Affaires";
        for (int first = 0; first < kFirstLevel; ++first) {
            const fs::path parent = tree / Numbered("niveau-", first, 2);
            for (int second = -1; second < kSecondLevel; ++second) {
                const fs::path folder = second < 0 ? parent : parent / Numbered("lot-", second, 3);
                fs::create_directories(folder, ec);
                if (ec) {
                    m_error = "cannot create " + folder.string();
                    return;
                }
                for (int i = 0; i < kFilesPerFolder; ++i) {
                    if (!Touch(folder / (Numbered("plan-", i, 3) + kExtensions[i % 10]))) {
                        m_error = "cannot create a file in " + folder.string();
                        return;
                    }
                }
            }
        }
        m_chosen = pilotrame::WithTrailingSeparator(pilotrame::FromFsPath(tree));
        m_listPath = pathOf("Liste01.txt");
        m_baselinePath = pathOf("Baseline.txt");

        const pilotrame::Result<int> written = WalkAndWrite(m_chosen, m_listPath);
        if (!written || *written != kDrawingCount) {
            m_error = "the walk did not list the " + std::to_string(kDrawingCount) + " drawings";
            return;
        }
        if (!BaselineWalk(m_chosen, m_baselinePath)) {
            m_error = "the baseline cannot walk the tree";
            return;
        }
        if (!SameBytes(m_listPath, m_baselinePath)) {
            m_error = "the baseline does not write the list of the walk";
            return;
        }
        m_listSize = static_cast<std::int64_t>(fs::file_size(m_listPath, ec));
    }

    const std::string& chosen() const { return m_chosen; }
    const std::string& listPath() const { return m_listPath; }
    const std::string& baselinePath() const { return m_baselinePath; }
    std::int64_t listSize() const { return m_listSize; }

private:
    std::string m_chosen;
    std::string m_listPath;
    std::string m_baselinePath;
    std::int64_t m_listSize = 0;
};

void SetCounters(benchmark::State& state, const Fixture& data) {
    pilotrame::bench::SetCounters(state, kFolderCount * kFilesPerFolder, data.listSize(),
                                  {{"folders", kFolderCount}, {"drawings", kDrawingCount}});
}

void BM_WalkFolder(benchmark::State& state) {
    const Fixture& data = FixtureOnce<Fixture>();
    const bool ran = RunIterations(state, data.error(), "the walk failed", [&] {
        const pilotrame::Result<int> written = WalkAndWrite(data.chosen(), data.listPath());
        return written && *written == kDrawingCount;
    });
    if (ran)
        SetCounters(state, data);
}

void BM_BaselineWalk(benchmark::State& state) {
    const Fixture& data = FixtureOnce<Fixture>();
    if (RunIterations(state, data.error(), "the baseline failed",
                      [&] { return BaselineWalk(data.chosen(), data.baselinePath()); }))
        SetCounters(state, data);
}

BENCHMARK(BM_WalkFolder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BaselineWalk)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
