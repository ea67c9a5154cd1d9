#include "usecases/consolerun.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/paths.h"
#include "batch/console.h"
#include "batch/journal.h"
#include "script/drawingsection.h"
#include "script/operations.h"

#include <filesystem>
#include <unordered_set>

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

// The folder that holds path, or the nearest one above it that exists.
std::string NearestFolder(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path folder = ToFsPath(path);
    while (!fs::is_directory(folder, ec) && folder.has_relative_path())
        folder = folder.parent_path();
    return WithTrailingSeparator(FromFsPath(folder));
}

// Gives the plan a new folder of the journal of scriptFolder. A script folder that is missing, or
// where the user may not write, is named as such.
Status MakeRunFolder(ConsoleRunPlan& plan, const std::string& scriptFolder,
                     std::chrono::system_clock::time_point now) {
    Result<std::string> folder = CreateRunFolder(scriptFolder, now);
    if (!folder) {
        Error error = InOperation(folder.error(), Operation::CreateScript);
        if (error.cause == Cause::System &&
            (error.code == ErrorCode::PathNotFound || error.code == ErrorCode::PermissionDenied)) {
            error.cause = Cause::FolderRefused;
            error.detail =
                error.code == ErrorCode::PathNotFound ? scriptFolder : NearestFolder(error.path);
        }
        return error;
    }
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
    std::unordered_set<std::string> skipped;
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
                    skipped.insert(issue.path);
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
            if (!skipped.contains(drawing.path()))
                plan.batch.drawings.push_back(std::move(drawing));
        }
    }
    plan.duplicates = static_cast<int>(RemoveDuplicateDrawings(plan.batch.drawings));
    if (plan.batch.drawings.empty()) {
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
