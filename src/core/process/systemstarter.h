#pragma once

#include "process/process.h"

namespace pilotrame {

// The starter that SystemProgramStarter hands out, one for every system: each system's source
// (posix.cpp, windows.cpp) defines how it starts a program.
class SystemStarter final : public ProgramStarter {
public:
    Status startDetached(const ProgramStart& start) override;
};

} // namespace pilotrame
