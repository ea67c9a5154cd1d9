// The benchmark program: every measure comes with a baseline that does the same file-system work
// and nothing else, and the console output ends with the ratio of each measure to its baseline.
// See docs/performance.md for the build, the command and the figures.

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pilotrame::bench {

namespace {

// Set when a benchmark stopped on an error, so that the program then ends with a failure.
bool failed = false;

struct Pair {
    const char* measure;
    const char* baseline;
    const char* label;
    double target;
};

// Each measure, its baseline, and the ratio not to exceed.
constexpr Pair kPairs[] = {
    {"BM_GenerateScript<10000>", "BM_BaselineGeneration<10000>", "GenerateScript 10,000 / baseline",
     1.05},
    {"BM_GenerateScript<1000000>", "BM_BaselineGeneration<1000000>",
     "GenerateScript 1,000,000 / baseline", 1.05},
    {"BM_WalkFolder", "BM_BaselineWalk", "WalkFolder / baseline", 1.1},
    {"BM_RenameFiles", "BM_BaselineRename", "RenameListedFiles / baseline", 1.1},
    {"BM_CheckDrawings", "BM_BaselineCheck", "CheckDrawings / baseline", 1.1},
    {"BM_BatchRunner", "BM_BaselineStartAndWait", "Batch runner / start and wait", 1.1},
    {"BM_BatchRunner", "BM_BaselineGuardedStartAndWait", "Batch runner / guarded start and wait",
     1.1},
};

// The peak memory of a generation of 1,000,000 drawings against one of 10,000.
constexpr double kMemoryTarget = 1.2;

// The peak memory of a batch of 10,000 drawings whose consoles write 10 MB each, in MiB.
constexpr double kBatchMemoryTargetMiB = 100;
constexpr int kBatchOutputMegabytes = 10;

// Measures held against the least they can take, given by the counter "ideal_s" (seconds).
constexpr double kIdealTarget = 1.1;

// The console output, followed by the ratio of each measure's time to its baseline's: of the
// medians when repetitions were asked for, and of the fastest runs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter(GenerationMemory memory, BatchMemory batchMemory)
        : ConsoleReporter(OO_Tabular), m_memory(std::move(memory)),
          m_batchMemory(std::move(batchMemory)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (const auto ideal = run.counters.find("ideal_s");
                ideal != run.counters.end() && ideal->second.value > 0 &&
                run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                const double seconds =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
                m_ideal[run.run_name.function_name + "/" + run.run_name.args] =
                    seconds / ideal->second.value;
            }
            const double time = run.GetAdjustedRealTime();
            Times& times = m_times[run.run_name.function_name];
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                times.median = time;
            else if (run.run_type == Run::RT_Iteration && run.iterations > 0 &&
                     (times.best == 0 || time < times.best))
                times.best = time;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        auto& out = GetOutputStream();
        for (const Pair& pair : kPairs) {
            const Times& measure = m_times[pair.measure];
            const Times& baseline = m_times[pair.baseline];
            if (measure.median > 0 && baseline.median > 0)
                out << pair.label << ", medians:     " << measure.median / baseline.median
                    << " (target " << pair.target << ")\n";
            if (measure.best > 0 && baseline.best > 0)
                out << pair.label << ", fastest run: " << measure.best / baseline.best
                    << " (target " << pair.target << ")\n";
        }
        for (const auto& [name, ratio] : m_ideal)
            out << name << " / least possible, medians: " << ratio << " (target " << kIdealTarget
                << ")\n";
        if (!m_memory.error.empty()) {
            out << "Generation peak memory: not measured (" << m_memory.error << ")\n";
        } else if (m_memory.smallKiB > 0) {
            out << "Generation peak memory, 1,000,000 / 10,000 drawings: "
                << static_cast<double>(m_memory.largeKiB) / static_cast<double>(m_memory.smallKiB)
                << " (" << m_memory.largeKiB << " KiB / " << m_memory.smallKiB << " KiB; target "
                << kMemoryTarget << ")\n";
        }
        if (!m_batchMemory.error.empty())
            out << "Batch peak memory: not measured (" << m_batchMemory.error << ")\n";
        for (const BatchMemory::Run& run : m_batchMemory.runs)
            out << "Batch peak memory, " << run.drawings << " drawings x " << kBatchOutputMegabytes
                << " MB of output: " << static_cast<double>(run.peakKiB) / 1024 << " MiB in "
                << run.seconds << " s (target " << kBatchMemoryTargetMiB << " MiB)\n";
    }

private:
    GenerationMemory m_memory;
    BatchMemory m_batchMemory;
    struct Times {
        double median = 0;
        double best = 0;
    };
    std::map<std::string, Times> m_times;
    std::map<std::string, double> m_ideal;
};

} // namespace

void Fail(benchmark::State& state, const std::string& message) {
    failed = true;
    state.SkipWithError(message.c_str());
}

} // namespace pilotrame::bench

int main(int argc, char** argv) {
    // The ratio lines follow the console output; another output format goes without them.
    // --memory=false leaves out the measure of the generation's peak memory (some seconds).
    // --batch-memory[=N] adds that of a batch of N drawings (10,000 by default) and of one of 10,
    // each console writing 10 MB (minutes: 10,000 drawings make 100 GB of output).
    bool console = true;
    bool memory = true;
    int batchDrawings = 0;
    std::vector<char*> arguments;
    for (int i = 0; i < argc; ++i) {
        const std::string_view argument = argv[i];
        constexpr std::string_view formatFlag = "--benchmark_format=";
        constexpr std::string_view batchFlag = "--batch-memory";
        if (argument.starts_with(formatFlag) && argument.substr(formatFlag.size()) != "console")
            console = false;
        if (argument == "--memory=false")
            memory = false;
        else if (argument == batchFlag)
            batchDrawings = 10000;
        else if (argument.starts_with(std::string(batchFlag) + "="))
            batchDrawings = std::max(1, std::atoi(argv[i] + batchFlag.size() + 1));
        else
            arguments.push_back(argv[i]);
    }
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return 1;
    if (console) {
        // First, while this process holds no fixture: its children start from its size.
        pilotrame::bench::GenerationMemory measured;
        if (memory)
            measured = pilotrame::bench::MeasureGenerationMemory();
        pilotrame::bench::BatchMemory batch;
        if (batchDrawings > 0)
            batch = pilotrame::bench::MeasureBatchMemory({10, batchDrawings},
                                                         pilotrame::bench::kBatchOutputMegabytes);
        pilotrame::bench::RatioReporter reporter(std::move(measured), std::move(batch));
        benchmark::RunSpecifiedBenchmarks(&reporter);
    } else {
        benchmark::RunSpecifiedBenchmarks();
    }
    benchmark::Shutdown();
    return pilotrame::bench::failed ? 1 : 0;
}
