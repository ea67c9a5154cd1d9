#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pilotrame::bench {

// Marks the benchmark as failed with message; the program then ends with a failure.
void Fail(benchmark::State& state, const std::string& message);

// What the fixtures of the benchmarks share: a folder of their own under the system's temporary
// folder, made before anything else of them and removed with all it holds when they go, and the
// reason a fixture could not be made.
class FolderFixture {
public:
    FolderFixture(const FolderFixture&) = delete;
    FolderFixture& operator=(const FolderFixture&) = delete;

    // Empty when the fixture is ready; otherwise why it is not.
    const std::string& error() const { return m_error; }

protected:
    // The folder is named prefix followed by a random number; error() tells when it cannot be made.
    explicit FolderFixture(std::string_view prefix);
    ~FolderFixture();

    const std::filesystem::path& root() const { return m_root; }
    // The UTF-8 path of name in the folder.
    std::string pathOf(std::string_view name) const;

    std::string m_error;

private:
    std::filesystem::path m_root;
};

// The fixture of type Fixture, made at its first use and kept until the program ends.
template <typename Fixture> Fixture& FixtureOnce() {
    static Fixture instance;
    return instance;
}

// Runs step once an iteration, once sure that the fixture was made (fixtureError is empty). False,
// with the benchmark failed, when it was not or when a step returned false: failure then says
// what failed.
template <typename Step>
bool RunIterations(benchmark::State& state, const std::string& fixtureError, const char* failure,
                   Step step) {
    if (!fixtureError.empty()) {
        Fail(state, fixtureError);
        return false;
    }
    for (auto _ : state) {
        if (!step()) {
            Fail(state, failure);
            return false;
        }
    }
    return true;
}

// The peak memory (ru_maxrss, KiB) of a generation of the script of 10,000 drawings and of one of
// 1,000,000, every operation ticked, each in a child process of its own; error says why when
// they could not be measured. Measured before the benchmarks, while this process is small.
struct GenerationMemory {
    long smallKiB = 0;
    long largeKiB = 0;
    std::string error;
};
GenerationMemory MeasureGenerationMemory();

// The peak memory (ru_maxrss, KiB) of batches on the stand-in console, each in a child process of
// its own, whose every console writes megabytes MB of output: one batch for each count of
// drawings. error says why when they could not be measured.
struct BatchMemory {
    struct Run {
        int drawings = 0;
        long peakKiB = 0;
        double seconds = 0;
    };
    std::vector<Run> runs;
    std::string error;
};
BatchMemory MeasureBatchMemory(const std::vector<int>& drawingCounts, int megabytes);

// The rates of the report, from the items and bytes (none when 0) that one iteration handles,
// then the named counters shown beside them.
void SetCounters(benchmark::State& state, std::int64_t items, std::int64_t bytes,
                 std::initializer_list<std::pair<const char*, double>> counters);

} // namespace pilotrame::bench
