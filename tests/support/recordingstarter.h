#pragma once

#include "process/process.h"

#include <vector>

namespace pilotrame::test {

// A program starter that starts nothing: it keeps what it was asked to start and answers as told.
class RecordingStarter final : public ProgramStarter {
public:
    Status startDetached(const ProgramStart& start) override {
        started.push_back(start);
        if (succeeds)
            return Success();
        return StartFailure(start.program, ErrorCode::FileNotFound);
    }
    std::vector<ProgramStart> started;
    bool succeeds = true;
};

} // namespace pilotrame::test
