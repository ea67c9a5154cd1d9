#include "usecases/consolerun.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/paths.h"
#include "batch/console.h"
#include "batch/journal.h"
#include "script/drawingsection.h"
#include "script/generation.h"
#include "script/markers.h"
#include "script/operations.h"

#include <unordered_map>
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

// The name of a drawing's own script in the run's folder, beside its log: "0001_A01.dwg.scr".
std::string DrawingScriptName(std::size_t index, std::size_t count, const DrawingRun& run) {
    std::string name = LogName(index, count, run);
    name.replace(name.size() - 4, 4, ".scr");
    return name;
}

// Writes the console script of each drawing, its markers filled in, into the run's folder.
// Every drawing of the journal gets its script, one left out as not ready too, so that a run again
// that finds it ready has it; <NUMERO> is the drawing's place in the journal.
Status WriteDrawingScripts(ConsoleRunPlan& plan, const ScriptRequest& request) {
    std::vector<DrawingRun>& drawings = plan.batch.drawings;
    for (std::size_t i = 0; i < drawings.size(); ++i) {
        DrawingRun& drawing = drawings[i];
        const MarkerValues values =
            DrawingMarkerValues(drawing.folder, drawing.name, static_cast<int>(i) + 1);
        const Result<std::string> script =
            WriteConsoleScript(request.job, request.settings, request.decimalSeparator, &values);
        if (!script)
            return script.error();
        drawing.scriptPath = plan.runFolder + DrawingScriptName(i, drawings.size(), drawing);
        if (Status written = ReplaceFileContent(drawing.scriptPath, ToAnsi(*script)); !written)
            return InOperation(written.error(), Operation::CreateScript);
    }
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

    // A drawing's folder and name fill the markers: they must fit a script line, as they must
    // for the AutoCAD engine, and are checked before anything is made.
    const bool ownScripts = HasDrawingMarkers(request.job);
    if (ownScripts) {
        for (const DrawingRun& drawing : plan.batch.drawings) {
            for (const std::string& part : {drawing.folder, drawing.name})
                if (Status fits = CheckScriptPathPart(part, drawing.path(), scriptFolder); !fits)
                    return fits.error();
        }
    }

    if (Status made = MakeRunFolder(plan, scriptFolder, now); !made)
        return made.error();
    if (ownScripts) {
        if (Status written = WriteDrawingScripts(plan, request); !written)
            return written.error();
        return plan;
    }
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
    // The scripts are read whole before the new folder is made: a script that is gone stops here.
    std::optional<std::string> script;
    if (!previous.batch.scriptPath.empty()) {
        Result<std::string> read = ReadFileBytes(previous.batch.scriptPath);
        if (!read)
            return InOperation(read.error(), Operation::CreateScript);
        script = std::move(*read);
    }
    std::vector<std::string> ownScripts;
    for (const DrawingRun& drawing : plan.batch.drawings) {
        Result<std::string> read =
            drawing.scriptPath.empty() ? std::string() : ReadFileBytes(drawing.scriptPath);
        if (!read)
            return InOperation(read.error(), Operation::CreateScript);
        ownScripts.push_back(std::move(*read));
    }
    if (Status made = MakeRunFolder(plan, scriptFolder, now); !made)
        return made.error();
    if (script) {
        plan.batch.scriptPath = plan.runFolder + std::string(kConsoleScriptName);
        if (Status written = ReplaceFileContent(plan.batch.scriptPath, *script); !written)
            return InOperation(written.error(), Operation::CreateScript);
    }
    std::vector<DrawingRun>& drawings = plan.batch.drawings;
    for (std::size_t i = 0; i < drawings.size(); ++i) {
        if (drawings[i].scriptPath.empty())
            continue;
        drawings[i].scriptPath =
            plan.runFolder + DrawingScriptName(i, drawings.size(), drawings[i]);
        if (Status written = ReplaceFileContent(drawings[i].scriptPath, ownScripts[i]); !written)
            return InOperation(written.error(), Operation::CreateScript);
    }
    return plan;
}

} // namespace pilotrame
