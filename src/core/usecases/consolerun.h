#pragma once

#include "base/result.h"
#include "batch/runner.h"
#include "batch/runsettings.h"
#include "usecases/scriptrun.h"

#include <chrono>
#include <string>
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
    std::optional<DrawingCheck> problems;
};

// Checks the drawings of the list when review is given (as for "Executer script"), then, unless
// the run stops there, creates the run's folder in the journal of scriptFolder, writes the console
// script into it (in the ANSI code page, as Pilotrame.scr) and lists the drawings to run: those of
// the list less those the answer leaves out. A job with an operation the console cannot do ticked
// ("REMPLACE TEXTE (vba)") fails before anything (cause NeedsVba, detail: its caption). A list that
// leaves no drawing stops with NothingToProcess, without any folder made. Fails as WriteScript does
// otherwise.
Result<ConsoleRunPlan> PrepareConsoleRun(const ScriptRequest& request, const RunSettings& run,
                                         const std::string& scriptFolder, DrawingReview* review,
                                         std::chrono::system_clock::time_point now);

// Runs the plan as RunBatch does, writing each drawing's log into the run's folder as it ends
// and resume.csv and echecs.txt at the end, even when stopped; observer is told as RunBatch tells.
std::vector<DrawingRun> RunConsolePlan(const ConsoleRunPlan& plan, BatchObserver& observer,
                                       BatchControl& control);

// A plan that runs again, with the same script, the drawings of runs that did not succeed, in a
// new folder of the journal of scriptFolder.
Result<ConsoleRunPlan> PlanRunAgain(const ConsoleRunPlan& previous,
                                    const std::vector<DrawingRun>& runs,
                                    const std::string& scriptFolder,
                                    std::chrono::system_clock::time_point now);

} // namespace pilotrame
