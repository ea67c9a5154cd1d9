#pragma once

#include "usecases/executescript.h"

#include <vector>

namespace pilotrame::test {

// A console batch runner that runs nothing: it keeps the plans it is given.
class KeptBatch final : public ConsoleBatchRunner {
public:
    void run(ConsoleRunPlan plan) override { plans.push_back(std::move(plan)); }
    std::vector<ConsoleRunPlan> plans;
};

} // namespace pilotrame::test
