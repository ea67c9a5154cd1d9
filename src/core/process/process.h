#pragma once

#include "base/result.h"

#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// A program to start, as the system is asked to start it.
struct ProgramStart {
    // The program file. POSIX looks a bare name up in PATH; Windows takes it as it stands.
    std::string program;
    // The arguments, one by one. POSIX passes them as they are; Windows joins them into one
    // command line with WindowsCommandLine.
    std::vector<std::string> arguments;
    bool maximised = false; // Windows: shown maximised, with the focus

    bool operator==(const ProgramStart&) const = default;
};

// Starts programs that then run on their own (AutoCAD, Excel). The windows and the command line
// are handed one, so that tests can see what would be started without starting it.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // Starts the program and returns at once, without waiting for it or keeping any hold on it.
    // Fails, naming the program (path and detail, operation StartProgram), with why the system
    // could not start it: missing (FileNotFound, PathNotFound), refused (PermissionDenied), no
    // program it can run (cause NotAProgram), or else the system's own words in text.
    virtual Status startDetached(const ProgramStart& start) = 0;
};

// The failure to start program: code and cause as startDetached gives them, systemText the
// system's description of a failure that is none of its usual kinds.
Error StartFailure(const std::string& program, ErrorCode code, Cause cause = Cause::System,
                   std::string systemText = {});

// The system's own starter: CreateProcessW on Windows; on POSIX a fork into a new session whose
// child runs the program, so that it is neither this program's child nor in its process group.
ProgramStarter& SystemProgramStarter();

// A starter that starts nothing, for where no way to start a program was given: every start fails
// as a missing program (FileNotFound).
ProgramStarter& NoProgramStarter();

// The one Windows command line of program and arguments, as the C runtime (and
// CommandLineToArgvW) splits it back into exactly these words: AutoCAD, its console and Excel
// read theirs that way. The program is always quoted, so that a folder with a space is never
// split; an argument of ASCII letters, digits, "/" and "-" only (a switch, a checked language)
// stays bare; every other one, every path among them, is quoted, with its double quotes and the
// backslashes before them escaped.
std::string WindowsCommandLine(std::string_view program, const std::vector<std::string>& arguments);
std::string WindowsCommandLine(const ProgramStart& start);

} // namespace pilotrame
