#pragma once

#include <string>

namespace pilotrame::test {

// The number of running processes started from the program file at path (compared as the system
// names it), to see that none outlives what started it. Linux reads /proc; Windows asks the
// system's process list.
int CountProcessesOf(const std::string& path);

// Waits up to a few seconds for the processes of path to be gone, and gives how many remain.
int ProcessesLeftOf(const std::string& path);

} // namespace pilotrame::test
