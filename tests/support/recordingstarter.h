#pragma once

#include "process/process.h"

#include <vector>

namespace pilotrame::test {

// A program starter that starts nothing: it keeps what it was asked to start and answers as told.
class RecordingStarter final : public ProgramStarter {
public:
    bool startDetached(const ProgramStart& start) override {
        started.push_back(start);
        return succeeds;
    }
    std::vector<ProgramStart> started;
    bool succeeds = true;
};

} // namespace pilotrame::test
