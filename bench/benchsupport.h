#pragma once

#include <benchmark/benchmark.h>

#include <string>

namespace pilotrame::bench {

// Marks the benchmark as failed with message; the program then ends with a failure.
void fail(benchmark::State& state, const std::string& message);

} // namespace pilotrame::bench
