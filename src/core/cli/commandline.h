#pragma once

#include "base/paths.h"
#include "base/result.h"
#include "config/settings.h"
#include "launch/process.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pilotrame {

// What the program was asked to do on its command line.
enum class CommandAction {
    None,     // no argument: start the window
    Help,     // --help, -h or /?
    Version,  // --version
    Generate, // --generate: write the script without any window
};

struct CommandLine {
    CommandAction action = CommandAction::None;
    std::optional<std::string> jobPath;  // --job FILE
    std::optional<std::string> listPath; // --list FILE
    bool execute = false;                // --execute
    bool run = false;                    // --run
    std::optional<int> workers;          // --workers N
    std::optional<int> timeoutSeconds;   // --timeout S

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
};

// The command line from the arguments that follow the program's name. "--job FILE" may also be
// written "--job=FILE", the same for --list, --workers and --timeout. Fails (operation
// ReadArguments, a TextFault naming the option) on an unknown or repeated option, a missing FILE
// or number, a number that is no whole number or is outside its range (--workers kMinWorkers to
// kMaxWorkers, --timeout kMinTimeout to kMaxTimeout), any argument that is not an option, --job,
// --list, --execute or --run without --generate, --run with --execute, and --workers or --timeout
// without --run. --help, then --version, win over every other valid option.
Result<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments);

// The French help: usage, options and exit codes.
std::string HelpText();

// "Pilotrame V3.5", as the about box names the version.
std::string VersionText();

// What a generation from the command line needs from the platform.
struct GenerateEnvironment {
    std::string programFolder;   // holds savescript.txt and Liste01.txt; ends in a separator
    char decimalSeparator = ','; // the user's, for the coordinates of the job
    // The settings used when there is no settings file: those a first start would create,
    // DefaultSettings(ProposeSettingValues(printers, kNativeFolderStyle, homeFolder)).
    Settings firstRunSettings = DefaultSettings(ProposeSettingValues({}, kNativeFolderStyle, ""));
    char separator = kNativeSeparator;            // ends the script folder
    bool windowsNames = kNativeSeparator == '\\'; // see BuildAutocadCommand
    // Starts AutoCAD for --execute; null: AutoCAD cannot be started.
    ProgramStarter* starter = nullptr;
};

// Runs --generate without any window and returns the exit code: reads the settings file without
// ever creating or changing it (the first-run settings when it is missing), takes the job from
// the job file or a freshly started window's job, writes the script from the list (the job file
// and list paths of the command line, else Liste01.txt of the program folder) into the script
// folder and, with --execute, checks the drawings and starts AutoCAD on it when all are ready. A
// job with "RENOMMER FICHIERS" ticked in its panel is refused: renaming is never done unattended.
// Failure messages go to err in French, as the windows would show them.
//
// With --run, the batch runs on AutoCAD's console whatever engine the settings name, with the
// settings of the run of execution.txt (beside the settings file, read only), over which those
// the job carries, then --workers and --timeout, win. Before anything is written it refuses a
// faulty execution.txt (SettingsUnreadable) and a console program that is no file
// (AutocadNotStarted); then, as PrepareConsoleRun does, a job with "REMPLACE TEXTE (vba)"
// (GenerationFailed), drawings that are not ready (DrawingsNotReady) and a list that leaves none
// (NothingToProcess). Pilotrame.scr is left alone: the console's script and the journal go into
// a new folder of the journal. A line per finished drawing and the summary go to err. Ctrl-C, or
// a request to end the program, stops the run: no more consoles, those running ended, the journal
// written (RunInterrupted). SomeDrawingsFailed when a drawing did not succeed.
ExitCode RunGenerate(const CommandLine& command, const GenerateEnvironment& env, std::ostream& err);

} // namespace pilotrame
