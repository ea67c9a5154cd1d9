#pragma once

#include "base/result.h"
#include "batch/runsettings.h"
#include "rename/renaming.h"
#include "usecases/consolerun.h"
#include "usecases/scriptrun.h"

#include <functional>
#include <optional>
#include <string>

namespace pilotrame {

// The use case of "Executer script", for the main window and for --generate --execute or --run:
// rename the listed files when the renaming row is ticked; else, by the engine of the run, write
// Pilotrame.scr and start AutoCAD on it, or run the batch on AutoCAD's console.

// What "Executer script" is asked to do.
struct ExecuteRequest {
    ScriptRequest script;
    RunSettings run;                   // its engine decides how the drawings are processed
    std::string scriptFolder;          // holds Pilotrame.scr and the journal of console runs
    std::optional<RenameJob> rename;   // the renaming row is ticked: the files are renamed instead
    bool windowsNames = kWindowsNames; // see BuildAutocadCommand
};

// Runs a console batch made ready: the window shows it in "Exécution des plans" until the user
// closes it, the command line prints a line per drawing and its summary.
class ConsoleBatchRunner {
public:
    virtual ~ConsoleBatchRunner() = default;
    virtual void run(ConsoleRunPlan plan) = 0;
};

// How the caller takes part in a run: the window with its dialogs, the command line with its
// rules, a test with its script.
struct ExecuteHooks {
    DrawingReview* review = nullptr;     // asked about drawings with problems; null: not checked
    ProgramStarter* starter = nullptr;   // starts AutoCAD; null: it cannot be started
    ConsoleBatchRunner* batch = nullptr; // runs a console batch; needed by the console engine
    std::function<bool()> confirmRename; // asked before any file is renamed; empty: no renaming
};

// The starter of hooks, or, where none was given, one whose every start fails (FileNotFound).
ProgramStarter& StarterOf(const ExecuteHooks& hooks);

// What a run did, when it did not fail.
struct Executed {
    // Cancelled also when the renaming was not confirmed.
    RunStop stop = RunStop::None;
    std::optional<DrawingCheck> problems; // the check, when it found drawings with problems
    int skipped = 0;                      // drawings left out by the answer SkipProblems
    std::optional<RenameReport> renaming; // what the renaming did, when it ran
    std::vector<ConsoleRefusal> refusals; // NotForConsole: what AutoCAD's console cannot run
};

// The AutoCAD that will open the drawings of request, as far as formats go: with the AutoCAD
// engine that of "Version autocad" (ReleaseOfVersionSetting), with the console engine that of its
// console program (ConsoleRelease); none when it cannot be told.
std::optional<AutocadRelease> OpenerOfRun(const ExecuteRequest& request);

// The checks made before any console starts: the console program of the run must be a program
// this system can start (CheckConsoleProgram; AutoCAD's own folder when no console is set).
// Fails with operation StartProgram, detail: the program.
Status CheckConsoleRun(const ExecuteRequest& request);

// "Executer script". A list that cannot be read fails first (operation ReadList) and nothing is
// written. With rename, once confirmRename agrees, renames the listed files as
// RenameListedFiles does; its failure is in renaming, not an error. Else, with the AutoCAD
// engine, as WriteScriptAndStartAutocad does; with the console engine, after CheckConsoleRun, as
// PrepareConsoleRun does, then hooks.batch runs the plan. Fails as those do.
Result<Executed> ExecuteScript(const ExecuteRequest& request, ListPosition& position,
                               const ExecuteHooks& hooks);

} // namespace pilotrame
