// Batch renaming of 10,000 listed files, measured against a baseline that makes the very same
// rename calls on ready-made names and does nothing else: each folder opened once, then for each
// file the rename that never replaces (renameat2 with RENAME_NOREPLACE, within the folder), as
// the program makes it. The gap between the two is what the renaming itself costs: reading the
// list, making each new name, the read-only checks. The target is at most 1.1 times the
// baseline.
//
// Each iteration renames every file once, alternately one way ("Ajouter" "_x" at start 0) and
// back ("Supprimer" 2 characters at start 0), so that the files are always there to rename. Two
// lists name the files under either name, as the program's list names them before a run.
//
// Build and run (Release):
//   cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=Release -DPILOTRAME_BENCH=ON
//   cmake --build build/linux --target pilotrame_bench
//   build/linux/bench/pilotrame_bench --benchmark_filter=Rename --benchmark_repetitions=5

#include "base/paths.h"
#include "rename/renaming.h"
#include "selection/filelist.h"

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

using pilotrame::bench::FixtureOnce;
using pilotrame::bench::RunIterations;

namespace fs = std::filesystem;

constexpr int kFileCount = 10'000;
constexpr int kFolderCount = 4;
constexpr const char* kPrefix = "_x";

struct Rename {
    std::size_t folder; // index in the fixture's folders
    std::string from;   // names within the folder
    std::string to;
};

// The files of both benchmarks under their first names, in a few folders of a folder of its own,
// with a list for either name of the files.
class Fixture : public pilotrame::bench::FolderFixture {
public:
    Fixture() : FolderFixture("pilotrame-rename-bench-") {
        if (!m_error.empty())
            return;
        std::error_code ec;
        pilotrame::FileList original;
        pilotrame::FileList renamed;
        const char* const stems[] = {"Plan_é_", "Coupe_à_", "Détail_ç_", "Façade_ô_"};
        int number = 0;
        for (int f = 0; f < kFolderCount; ++f) {
            const fs::path folderPath = root() / ("Dossier " + std::to_string(f + 1));
            fs::create_directories(folderPath, ec);
            if (ec) {
                m_error = "cannot create " + pilotrame::FromFsPath(folderPath);
                return;
            }
            const std::string folder =
                pilotrame::WithTrailingSeparator(pilotrame::FromFsPath(folderPath));
            original.push_back({folder, {}});
            m_folders.push_back(folder);
            renamed.push_back({folder, {}});
            for (int i = 0; i < kFileCount / kFolderCount; ++i) {
                ++number;
                char digits[16];
                std::snprintf(digits, sizeof digits, "%05d", number);
                const std::string name = stems[number % 4] + std::string(digits) + ".dwg";
                const std::string newName = kPrefix + name;
                std::FILE* file = std::fopen((folder + name).c_str(), "wb");
                if (file == nullptr || std::fclose(file) != 0) {
                    m_error = "cannot create " + folder + name;
                    return;
                }
                original.back().names.push_back(name);
                renamed.back().names.push_back(newName);
                const auto index = static_cast<std::size_t>(f);
                m_forward.push_back({index, name, newName});
                m_back.push_back({index, newName, name});
            }
        }
        m_originalList = pathOf("Liste01.txt");
        m_renamedList = pathOf("Liste02.txt");
        if (!pilotrame::WriteFileList(m_originalList, original) ||
            !pilotrame::WriteFileList(m_renamedList, renamed))
            m_error = "cannot write the lists";
    }

    // Renames every file by the program's renaming, the way that leaves them renameable again.
    bool renameByList() {
        const pilotrame::RenameReport report =
            pilotrame::RenameListedFiles(m_renamed ? m_renamedList : m_originalList,
                                         m_renamed ? m_removePrefix : m_addPrefix, m_position, ',');
        if (report.failure || report.renamed != kFileCount)
            return false;
        m_renamed = !m_renamed;
        return true;
    }

    // The same renames with nothing but the system's rename that never replaces.
    bool renameBare() {
#ifdef _WIN32
        return false;
#else
        std::vector<int> folders;
        for (const std::string& folder : m_folders)
            folders.push_back(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        bool renamed = std::find(folders.begin(), folders.end(), -1) == folders.end();
        for (const Rename& rename : m_renamed ? m_back : m_forward) {
            const int folder = folders[rename.folder];
            if (!renamed || ::syscall(SYS_renameat2, folder, rename.from.c_str(), folder,
                                      rename.to.c_str(), RENAME_NOREPLACE) != 0) {
                renamed = false;
                break;
            }
        }
        for (const int folder : folders) {
            if (folder >= 0)
                ::close(folder);
        }
        if (renamed)
            m_renamed = !m_renamed;
        return renamed;
#endif
    }

private:
    // "Ajouter" of the prefix at the start, and "Supprimer" of its two characters.
    const pilotrame::RenameJob m_addPrefix{pilotrame::RenameRule::Insert, "0", "1", kPrefix,
                                           ".xls"};
    const pilotrame::RenameJob m_removePrefix{pilotrame::RenameRule::Delete, "0", "2", "", ".xls"};
    std::vector<std::string> m_folders;
    std::string m_originalList;
    std::string m_renamedList;
    std::vector<Rename> m_forward;
    std::vector<Rename> m_back;
    bool m_renamed = false;
    pilotrame::ListPosition m_position;
};

void SetCounters(benchmark::State& state) {
    pilotrame::bench::SetCounters(state, kFileCount, 0, {{"files", kFileCount}});
}

void BM_RenameFiles(benchmark::State& state) {
    Fixture& data = FixtureOnce<Fixture>();
    if (RunIterations(state, data.error(), "the renaming failed",
                      [&] { return data.renameByList(); }))
        SetCounters(state);
}

void BM_BaselineRename(benchmark::State& state) {
    Fixture& data = FixtureOnce<Fixture>();
    if (RunIterations(state, data.error(), "the baseline failed to rename",
                      [&] { return data.renameBare(); }))
        SetCounters(state);
}

BENCHMARK(BM_RenameFiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BaselineRename)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
