#pragma once

#include "base/result.h"
#include "batch/console.h"
#include "batch/journal.h"
#include "batch/runner.h"
#include "batch/runsettings.h"
#include "usecases/scriptrun.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// The use case of "Executer script" on AutoCAD's console, for the window's "Exécution des plans"
// and for --run: check the drawings, write the console script into a new folder of the journal,
// run the batch, keep its journal.

// A batch made ready to run.
struct ConsoleRunPlan {
    BatchRequest batch;
    std::string runFolder;        // the run's folder of the journal, ending in its separator
    RunStop stop = RunStop::None; // Cancelled or DrawingsNotReady at the check; NothingToProcess
    int skipped = 0;              // drawings left out at the check
    int duplicates = 0;           // drawings listed again (the same file), left out
    std::optional<DrawingCheck> problems;
    std::vector<ConsoleRefusal> refusals; // NotForConsole: what the console cannot run
};

// What became of a batch: every drawing, and the files of its journal that could not be written
// whole (logs, resume.csv, echecs.txt; operation WriteJournal, naming each).
struct ConsoleRunOutcome {
    std::vector<DrawingRun> runs;
    std::vector<Error> journalFailures;
};

// The AutoCAD whose console is the program at consolePath, as far as formats go: the release of
// its version resource (ReadProductVersion, ReleaseOfProductVersion); none where that cannot be
// read, as on other systems than Windows.
std::optional<AutocadRelease> ConsoleRelease(const std::string& consolePath);

// Creates a new folder of the journal of scriptFolder (CreateRunFolder) for a run or a trial. A
// script folder that is missing, or where the user may not write, fails with cause FolderRefused
// and names it (detail): the folder itself when missing, the nearest one that exists otherwise.
Result<std::string> NewRunFolder(const std::string& scriptFolder,
                                 std::chrono::system_clock::time_point now,
                                 std::string_view suffix = {});

// The batch of a run without its drawings and folders: the console of run (ConsoleProgram), its
// language, how many at once, the time limit, the failure messages.
BatchRequest ConsoleBatch(const RunSettings& run, const std::string& acadPath);

// The console's script for the job of request (UTF-8), or why the console cannot run it: a job
// with an operation the console cannot do ticked ("REMPLACE TEXTE (vba)") fails (cause NeedsVba,
// detail: its caption); one that holds other lines the console cannot run gives them in refusals
// (ConsoleRefusals) and an empty script. Fails as WriteConsoleScript does otherwise.
Result<std::string> ConsoleScriptOf(const ScriptRequest& request,
                                    std::vector<ConsoleRefusal>& refusals);

// When the script text of request's job holds a marker: that the folder and name of each
// drawing of plan can go into a script, as PrepareConsoleRun checks them (scriptFolder names the
// script for a failure).
Status CheckMarkedPaths(const ConsoleRunPlan& plan, const ScriptRequest& request,
                        const std::string& scriptFolder);

// Makes plan run in runFolder (ending in its separator): its logs go there, and script, written
// there in the ANSI code page as console.scr; or, when the script text holds a marker, each
// drawing's own script, as PrepareConsoleRun writes them.
Status PlaceConsoleRun(ConsoleRunPlan& plan, const std::string& runFolder,
                       const ScriptRequest& request, std::string_view script);

// Checks the drawings of the list when review is given (as for "Executer script"), their formats
// against ConsoleRelease, then, unless
// the run stops there, creates the run's folder in the journal of scriptFolder, writes the console
// script into it (in the ANSI code page, as Pilotrame.scr) and lists the drawings of the list, each
// once (RemoveDuplicateDrawings): those the answer leaves out (SkipProblems) as NotReady, with
// their problem, so that the journal names them among the drawings that did not succeed. A job
// with an operation the console cannot do ticked ("REMPLACE TEXTE (vba)") fails before anything
// (cause NeedsVba, detail: its caption); a job that holds other lines the console cannot run stops
// with NotForConsole and refusals (ConsoleRefusals) before anything is written. A list that leaves
// no drawing to start stops with NothingToProcess, without any folder made. When the script text
// holds a marker, each drawing gets a script of its own instead (DrawingRun::scriptPath), its
// markers filled in, beside its log: "0001_A01.dwg.scr"; a drawing whose folder or name cannot go
// into a script then fails the run as it fails a generation (InvalidName), before anything is
// made. Fails as WriteScript does otherwise.
Result<ConsoleRunPlan> PrepareConsoleRun(const ScriptRequest& request, const RunSettings& run,
                                         const std::string& scriptFolder, DrawingReview* review,
                                         std::chrono::system_clock::time_point now);

// Runs the plan as RunBatch does, each drawing's log written into the run's folder as its console
// runs, and resume.csv and echecs.txt at the end, even when stopped, in words (JournalTexts of
// texts/journal.h); observer is told as RunBatch tells.
ConsoleRunOutcome RunConsolePlan(const ConsoleRunPlan& plan, const JournalWords& words,
                                 BatchObserver& observer, BatchControl& control);

// A plan that runs again, with the same scripts copied into it (the batch's, and each drawing's
// own), the drawings of runs that did not succeed, in a new folder of the journal of scriptFolder;
// those that were not ready are checked again, and those that still are not stay NotReady.
Result<ConsoleRunPlan> PlanRunAgain(const ConsoleRunPlan& previous,
                                    const std::vector<DrawingRun>& runs,
                                    const std::string& scriptFolder,
                                    std::chrono::system_clock::time_point now);

} // namespace pilotrame
