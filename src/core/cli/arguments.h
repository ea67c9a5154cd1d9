#pragma once

#include "base/result.h"

#include <optional>
#include <string>
#include <vector>

namespace pilotrame {

// What the program was asked to do on its command line.
enum class CommandAction {
    None,     // no argument: start the window
    Help,     // --help, -h or /?
    Version,  // --version
    Generate, // --generate: write the script without any window
    Verify,   // --verifier: check the drawings and the script, write nothing
};

struct CommandLine {
    CommandAction action = CommandAction::None;
    std::optional<std::string> jobPath;  // --job FILE
    std::optional<std::string> listPath; // --list FILE
    bool execute = false;                // --execute
    bool run = false;                    // --run
    std::optional<int> workers;          // --workers N
    std::optional<int> timeoutSeconds;   // --timeout S
    bool skipUnready = false;            // --skip-unready
    std::optional<int> trialDrawings;    // --essai N

    bool operator==(const CommandLine&) const = default;
};

// The process exit codes of the command line, listed by --help. Each failure has its own code so
// that a batch file can tell them apart.
enum class ExitCode {
    Success = 0,
    BadArguments = 2,        // unknown, repeated or incomplete options
    BadJobFile = 3,          // the job file is unreadable or faulty
    UnreadableList = 4,      // the list of drawings is missing or unreadable
    GenerationFailed = 5,    // the script could not be written whole, or the job renames files
    SettingsUnreadable = 6,  // savescript.txt exists but cannot be read, or is cut short
    DrawingsNotReady = 7,    // --execute: the check of the drawings stopped AutoCAD's start
    AutocadNotStarted = 8,   // --execute: no AutoCAD program, or it could not be started
    NothingToProcess = 9,    // --execute, --run: the list leaves no drawing to process
    SomeDrawingsFailed = 10, // --run: a drawing failed, timed out or was never started
    RunInterrupted = 11,     // --run: Ctrl-C or a request to end stopped the run
    JournalNotWritten = 12,  // --run: a log, resume.csv or echecs.txt could not be written
    ScriptHasErrors = 13,    // --verifier: the script of the job has an error
};

// The command line from the arguments that follow the program's name. "--job FILE" may also be
// written "--job=FILE", the same for --list, --workers, --timeout and --essai. Fails (operation
// ReadArguments, a TextFault naming the option) on an unknown or repeated option, a missing FILE
// or number, a number that is no whole number or is outside its range (--workers kMinWorkers to
// kMaxWorkers, --timeout kMinTimeout to kMaxTimeout, --essai kMinTrialDrawings to
// kMaxTrialDrawings), any argument that is not an option, --job or --list without --generate or
// --verifier, --execute, --run or --essai without --generate, --run with --execute, --workers,
// --timeout or --skip-unready without --run, and --verifier with any option but --job and --list
// (VerifyAlone; detail: the option). --help, then --version, win over every other valid option.
Result<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments);

} // namespace pilotrame
