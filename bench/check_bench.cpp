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

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using pilotrame::bench::fail;

constexpr int kDrawings = 10'000;
constexpr int kFolders = 4;

class CheckFixture {
public:
    CheckFixture() {
        m_root =
            fs::temp_directory_path() / ("pilotrame-check-bench-" + std::to_string(::getpid()));
        std::error_code ec;
        fs::create_directories(m_root, ec);
        for (int f = 0; f < kFolders; ++f) {
            const fs::path folder = m_root / ("Dossier é " + std::to_string(f));
            fs::create_directories(folder, ec);
            pilotrame::ListedFolder listed{
                pilotrame::fromFsPath(folder) + pilotrame::kNativeSeparator, {}};
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
    ~CheckFixture() {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    CheckFixture(const CheckFixture&) = delete;
    CheckFixture& operator=(const CheckFixture&) = delete;

    const pilotrame::FileList& list() const { return m_list; }
    const std::string& error() const { return m_error; }

private:
    fs::path m_root;
    pilotrame::FileList m_list;
    std::string m_error;
};

CheckFixture& checkFixture() {
    static CheckFixture instance;
    return instance;
}

void BM_CheckDrawings(benchmark::State& state) {
    const CheckFixture& data = checkFixture();
    if (!data.error().empty()) {
        fail(state, data.error());
        return;
    }
    for (auto _ : state) {
        const pilotrame::DrawingCheck check = pilotrame::CheckDrawings(data.list());
        if (check.checked != kDrawings || !check.issues.empty()) {
            fail(state, "the check found problems where there are none");
            return;
        }
        benchmark::DoNotOptimize(check);
    }
    state.SetItemsProcessed(state.iterations() * kDrawings);
}

void BM_BaselineCheck(benchmark::State& state) {
    const CheckFixture& data = checkFixture();
    for (auto _ : state) {
        int found = 0;
        for (const pilotrame::ListedFolder& folder : data.list()) {
            std::error_code ec;
            benchmark::DoNotOptimize(fs::status(pilotrame::toFsPath(folder.folder), ec));
            for (const std::string& name : folder.names) {
                found +=
                    fs::is_regular_file(fs::status(pilotrame::toFsPath(folder.folder + name), ec));
                const std::string base = folder.folder + name.substr(0, name.size() - 4);
                found += fs::exists(pilotrame::toFsPath(base + ".dwl"), ec);
                found += fs::exists(pilotrame::toFsPath(base + ".DWL"), ec);
            }
        }
        if (found != kDrawings) {
            fail(state, "the baseline did not find the drawings");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kDrawings);
}

} // namespace

BENCHMARK(BM_CheckDrawings)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BaselineCheck)->Unit(benchmark::kMillisecond)->UseRealTime();
