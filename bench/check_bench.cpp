// The check of the drawings before AutoCAD starts, over a list of 10,000 drawings in four folders,
// against a baseline loop that makes the same system calls on paths made beforehand and does
// nothing else: for each folder once, its status and whether this user may write in it; for
// each drawing, its status, the first read of its format code (open, read six bytes, close),
// whether this user may write it, and the status of its two lock-file names. Target: at most 1.1
// times the baseline.

#include "base/paths.h"
#include "check/drawingcheck.h"

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using pilotrame::bench::FixtureOnce;
using pilotrame::bench::RunIterations;

constexpr int kDrawings = 10'000;
constexpr int kFolders = 4;

// The paths the baseline asks about, made once.
struct FolderPaths {
    std::string folder;
    std::vector<std::string> drawings;
    std::vector<std::string> lowerLocks;
    std::vector<std::string> upperLocks;
};

class CheckFixture : public pilotrame::bench::FolderFixture {
public:
    CheckFixture() : FolderFixture("pilotrame-check-bench-") {
        if (!m_error.empty())
            return;
        std::error_code ec;
        for (int f = 0; f < kFolders; ++f) {
            const fs::path folder = root() / ("Dossier é " + std::to_string(f));
            fs::create_directories(folder, ec);
            pilotrame::ListedFolder listed{
                pilotrame::FromFsPath(folder) + pilotrame::kNativeSeparator, {}};
            FolderPaths paths{listed.folder, {}, {}, {}};
            for (int i = f; i < kDrawings; i += kFolders) {
                const std::string name = "Plan_" + std::to_string(i) + ".dwg";
                // A drawing's format code and the start of what follows it.
                std::ofstream(folder / name) << "AC1032" << std::string(122, '\0');
                listed.names.push_back(name);
                const std::string base = listed.folder + name.substr(0, name.size() - 4);
                paths.drawings.push_back(listed.folder + name);
                paths.lowerLocks.push_back(base + ".dwl");
                paths.upperLocks.push_back(base + ".DWL");
            }
            m_list.push_back(std::move(listed));
            m_paths.push_back(std::move(paths));
        }
        if (ec)
            m_error = "cannot create the drawings: " + ec.message();
    }
    const pilotrame::FileList& list() const { return m_list; }
    const std::vector<FolderPaths>& paths() const { return m_paths; }

private:
    pilotrame::FileList m_list;
    std::vector<FolderPaths> m_paths;
};

void BM_CheckDrawings(benchmark::State& state) {
    const CheckFixture& data = FixtureOnce<CheckFixture>();
    const bool ran =
        RunIterations(state, data.error(), "the check found problems where there are none", [&] {
            const pilotrame::DrawingCheck check = pilotrame::CheckDrawings(data.list());
            benchmark::DoNotOptimize(check);
            return check.checked == kDrawings && check.issues.empty();
        });
    if (ran)
        pilotrame::bench::SetCounters(state, kDrawings, 0, {});
}

#ifndef _WIN32
void BM_BaselineCheck(benchmark::State& state) {
    const CheckFixture& data = FixtureOnce<CheckFixture>();
    const bool ran =
        RunIterations(state, data.error(), "the baseline did not find the drawings", [&] {
            int found = 0;
            struct stat status;
            for (const FolderPaths& folder : data.paths()) {
                found -= ::stat(folder.folder.c_str(), &status) != 0 ||
                         ::faccessat(AT_FDCWD, folder.folder.c_str(), W_OK, AT_EACCESS) != 0;
                for (std::size_t i = 0; i < folder.drawings.size(); ++i) {
                    const char* drawing = folder.drawings[i].c_str();
                    char code[6];
                    bool read = false;
                    if (::stat(drawing, &status) == 0) {
                        const int descriptor = ::open(drawing, O_RDONLY | O_CLOEXEC);
                        read = descriptor >= 0 && ::read(descriptor, code, sizeof code) == 6 &&
                               code[0] == 'A';
                        if (descriptor >= 0)
                            ::close(descriptor);
                    }
                    found += read && ::faccessat(AT_FDCWD, drawing, W_OK, AT_EACCESS) == 0;
                    found -= ::stat(folder.lowerLocks[i].c_str(), &status) == 0;
                    found -= ::stat(folder.upperLocks[i].c_str(), &status) == 0;
                }
            }
            return found == kDrawings;
        });
    if (ran)
        pilotrame::bench::SetCounters(state, kDrawings, 0, {});
}
#endif

} // namespace

BENCHMARK(BM_CheckDrawings)->Unit(benchmark::kMillisecond)->UseRealTime();
#ifndef _WIN32
BENCHMARK(BM_BaselineCheck)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif
