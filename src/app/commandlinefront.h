#pragma once

namespace pilotrame::app {

// The command line's modes (--generate, --help, --version): no window, no single-instance lock,
// the settings file left alone. Parses the arguments that follow the program's name, runs what
// they ask with this system's folders, printers and process starter, and returns the exit code.
int RunCommandLine(int argc, char* argv[]);

} // namespace pilotrame::app
