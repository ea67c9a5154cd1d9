// The check of the drawings before AutoCAD starts, over a list of 10,000 drawings in four folders,
// against a baseline loop that makes the same status calls (the folder once, each drawing, its
// two lock-file names) and does nothing else. Target: at most 1.2 times the baseline.

#include "base/paths.h"
#include "launch/drawingcheck.h"

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;
using pilotrame::bench::FixtureOnce;
using pilotrame::bench::RunIterations;

constexpr int kDrawings = 10'000;
constexpr int kFolders = 4;

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
            for (int i = f; i < kDrawings; i += kFolders) {
                const std::string name = "Plan_" + std::to_string(i) + ".dwg";
                std::ofstream(folder / name) << 'x';
                listed.names.push_back(name);
            }
            m_list.push_back(std::move(listed));
        }
        if (ec)
            m_error = "cannot create the drawings: " + ec.message();
    }
    const pilotrame::FileList& list() const { return m_list; }

private:
    pilotrame::FileList m_list;
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

void BM_BaselineCheck(benchmark::State& state) {
    const CheckFixture& data = FixtureOnce<CheckFixture>();
    const bool ran =
        RunIterations(state, data.error(), "the baseline did not find the drawings", [&] {
            int found = 0;
            for (const pilotrame::ListedFolder& folder : data.list()) {
                std::error_code ec;
                benchmark::DoNotOptimize(fs::status(pilotrame::ToFsPath(folder.folder), ec));
                for (const std::string& name : folder.names) {
                    found += fs::is_regular_file(
                        fs::status(pilotrame::ToFsPath(folder.folder + name), ec));
                    const std::string base = folder.folder + name.substr(0, name.size() - 4);
                    found += fs::exists(pilotrame::ToFsPath(base + ".dwl"), ec);
                    found += fs::exists(pilotrame::ToFsPath(base + ".DWL"), ec);
                }
            }
            return found == kDrawings;
        });
    if (ran)
        pilotrame::bench::SetCounters(state, kDrawings, 0, {});
}

} // namespace

BENCHMARK(BM_CheckDrawings)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BaselineCheck)->Unit(benchmark::kMillisecond)->UseRealTime();
