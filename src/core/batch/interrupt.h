#pragma once

#include "batch/runner.h"

namespace pilotrame {

// Makes Ctrl-C (and, on POSIX, a request to end the program: SIGTERM, SIGHUP) stop the batch that
// control steers, no new console and the running ones ended, instead of ending this program at
// once and leaving consoles behind. Stays until StopOnInterruptEnd. For the command line, which
// runs one batch at a time.
void StopOnInterrupt(BatchControl& control);
void StopOnInterruptEnd();

// True once an interrupt stopped the batch.
bool Interrupted();

} // namespace pilotrame
