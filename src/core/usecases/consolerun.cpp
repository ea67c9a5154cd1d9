#include "usecases/consolerun.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "batch/console.h"
#include "batch/journal.h"
#include "script/drawingsection.h"
#include "script/operations.h"

#include <unordered_map>

namespace pilotrame {

namespace {

BatchRequest BatchOf(const RunSettings& run, const std::string& acadPath) {
    BatchRequest batch;
    batch.consolePath = ConsoleProgram(run, acadPath);
    batch.language = run.language;
    batch.workers = run.workers;
    batch.timeout = std::chrono::seconds(run.timeoutSeconds);
    batch.failureMessages = run.failureMessages;
    return batch;
}

// Gives the plan a new folder of the journal of scriptFolder.
Status MakeRunFolder(ConsoleRunPlan& plan, const std::string& scriptFolder,
                     std::chrono::system_clock::time_point now) {
    Result<std::string> folder = CreateRunFolder(scriptFolder, now);
    if (!folder)
        return InOperation(folder.error(), Operation::CreateScript);
    plan.runFolder = std::move(*folder);
    plan.batch.logFolder = plan.runFolder;
    return Success();
}

} // namespace

Result<ConsoleRunPlan> PrepareConsoleRun(const ScriptRequest& request, const RunSettings& run,
                                         const std::string& scriptFolder, DrawingReview* review,
                                         std::chrono::system_clock::time_point now) {
    for (const DrawingOperation& operation : kDrawingOperations) {
        if (operation.onConsole || !(request.job.*operation.ticked))
            continue;
        Error error;
        error.cause = Cause::NeedsVba;
        error.code = ErrorCode::InvalidPropertyValue;
        error.detail = operation.caption;
        return error;
    }
    ConsoleRunPlan plan;
    plan.refusals = ConsoleRefusals(request.job);
    if (!plan.refusals.empty()) {
        plan.stop = RunStop::NotForConsole;
        return plan;
    }
    plan.batch = BatchOf(run, request.settings.acadPath());
    const Result<std::string> script =
        WriteConsoleScript(request.job, request.settings, request.decimalSeparator);
    if (!script)
        return script.error();

    const Result<FileList> list = ReadFileList(request.listPath);
    if (!list)
        return InOperation(list.error(), Operation::ReadList);
    std::unordered_map<std::string, DrawingProblem> notReady;
    if (review) {
        const DrawingCheck check = CheckDrawings(*list);
        if (!check.issues.empty()) {
            plan.problems = check;
            switch (review->review(check)) {
            case DrawingCheckAnswer::Cancel:
                plan.stop = RunStop::Cancelled;
                return plan;
            case DrawingCheckAnswer::KeepAutocadStopped:
                plan.stop = RunStop::DrawingsNotReady;
                return plan;
            case DrawingCheckAnswer::SkipProblems:
                for (const DrawingIssue& issue : check.issues)
                    notReady.emplace(issue.path, issue.problem);
                plan.skipped = static_cast<int>(check.issues.size());
                break;
            case DrawingCheckAnswer::Continue:
                break;
            }
        }
    }
    for (const ListedFolder& folder : *list) {
        for (const std::string& name : folder.names) {
            DrawingRun drawing;
            drawing.folder = folder.folder;
            drawing.name = name;
            if (const auto problem = notReady.find(drawing.path()); problem != notReady.end()) {
                drawing.state = DrawingState::NotReady;
                drawing.problem = problem->second;
            }
            plan.batch.drawings.push_back(std::move(drawing));
        }
    }
    plan.duplicates = static_cast<int>(RemoveDuplicateDrawings(plan.batch.drawings));
    if (CountStates(plan.batch.drawings).notStarted == 0) {
        plan.stop = RunStop::NothingToProcess;
        return plan;
    }

    if (Status made = MakeRunFolder(plan, scriptFolder, now); !made)
        return made.error();
    plan.batch.scriptPath = plan.runFolder + std::string(kConsoleScriptName);
    if (Status written = ReplaceFileContent(plan.batch.scriptPath, ToAnsi(*script)); !written)
        return InOperation(written.error(), Operation::CreateScript);
    return plan;
}

ConsoleRunOutcome RunConsolePlan(const ConsoleRunPlan& plan, BatchObserver& observer,
                                 BatchControl& control) {
    ConsoleRunOutcome outcome;
    outcome.runs = RunBatch(plan.batch, observer, control);
    for (const DrawingRun& run : outcome.runs)
        if (run.logFailure)
            outcome.journalFailures.push_back(*run.logFailure);
    for (Error& failure : WriteRunSummary(plan.runFolder, outcome.runs))
        outcome.journalFailures.push_back(std::move(failure));
    return outcome;
}

Result<ConsoleRunPlan> PlanRunAgain(const ConsoleRunPlan& previous,
                                    const std::vector<DrawingRun>& runs,
                                    const std::string& scriptFolder,
                                    std::chrono::system_clock::time_point now) {
    ConsoleRunPlan plan;
    plan.batch = previous.batch;
    plan.batch.drawings = DrawingsToRunAgain(runs);
    if (plan.batch.drawings.empty()) {
        plan.stop = RunStop::NothingToProcess;
        return plan;
    }
    // Those that were not ready are looked at again: those that still are not stay out, in the
    // journal again.
    FileList notReady;
    for (const DrawingRun& run : runs) {
        if (run.state != DrawingState::NotReady)
            continue;
        if (notReady.empty() || notReady.back().folder != run.folder)
            notReady.push_back(ListedFolder{run.folder, {}});
        notReady.back().names.push_back(run.name);
    }
    if (!notReady.empty()) {
        std::unordered_map<std::string, DrawingProblem> problems;
        for (const DrawingIssue& issue : CheckDrawings(notReady).issues)
            problems.emplace(issue.path, issue.problem);
        for (DrawingRun& drawing : plan.batch.drawings) {
            if (const auto problem = problems.find(drawing.path()); problem != problems.end()) {
                drawing.state = DrawingState::NotReady;
                drawing.problem = problem->second;
            }
        }
    }
    // The script is read whole before the new folder is made: a script that is gone stops here.
    const Result<std::string> script = ReadFileBytes(previous.batch.scriptPath);
    if (!script)
        return InOperation(script.error(), Operation::CreateScript);
    if (Status made = MakeRunFolder(plan, scriptFolder, now); !made)
        return made.error();
    plan.batch.scriptPath = plan.runFolder + std::string(kConsoleScriptName);
    if (Status written = ReplaceFileContent(plan.batch.scriptPath, *script); !written)
        return InOperation(written.error(), Operation::CreateScript);
    return plan;
}

} // namespace pilotrame
