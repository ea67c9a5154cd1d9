#pragma once

#include "batch/runner.h"

namespace pilotrame {

// Makes Ctrl-C (and a request to end the program: SIGTERM, SIGHUP on POSIX; the console closed,
// a log-off or a shutdown on Windows, the last two asked of a hidden window) stop the batch that
// control steers, no new console and the running ones ended, instead of ending this program at once
// and leaving consoles behind. Stays until StopOnInterruptEnd, which the run calls once its journal
// is written. For the command line, which runs one batch at a time.
void StopOnInterrupt(BatchControl& control);
void StopOnInterruptEnd();

#ifdef _WIN32
// What the system calls on a console event. Those after which Windows ends the program (the
// console closed, a log-off, a shutdown) return only once StopOnInterruptEnd is called, or after
// the few seconds Windows gives. Public for tests, which cannot close their own console.
bool HandleConsoleEvent(unsigned long event);
#endif

// True once an interrupt stopped the batch.
bool Interrupted();

} // namespace pilotrame
