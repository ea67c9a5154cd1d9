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

#include <filesystem>
#include <unordered_map>

namespace pilotrame {

namespace {

// The folder that holds path, or the nearest one above it that exists.
std::string NearestFolder(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path folder = ToFsPath(path);
    while (!fs::is_directory(folder, ec) && folder.has_relative_path())
        folder = folder.parent_path();
    return WithTrailingSeparator(FromFsPath(folder));
}

// Gives the plan a new folder of the journal of scriptFolder.
Status MakeRunFolder(ConsoleRunPlan& plan, const std::string& scriptFolder,
                     std::chrono::system_clock::time_point now) {
    Result<std::string> folder = NewRunFolder(scriptFolder, now);
    if (!folder)
        return folder.error();
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

Result<std::string> NewRunFolder(const std::string& scriptFolder,
                                 std::chrono::system_clock::time_point now,
                                 std::string_view suffix) {
    Result<std::string> folder = CreateRunFolder(scriptFolder, now, suffix);
    if (folder)
        return folder;
    Error error = InOperation(folder.error(), Operation::CreateScript);
    if (error.cause == Cause::System &&
        (error.code == ErrorCode::PathNotFound || error.code == ErrorCode::PermissionDenied)) {
        error.cause = Cause::FolderRefused;
        error.detail =
            error.code == ErrorCode::PathNotFound ? scriptFolder : NearestFolder(error.path);
    }
    return error;
}

std::optional<AutocadRelease> ConsoleRelease(const std::string& consolePath) {
    const std::optional<ProductVersion> version = ReadProgramVersion(consolePath);
    if (!version)
        return std::nullopt;
    return ReleaseOfProductVersion(version->major, version->minor);
}

BatchRequest ConsoleBatch(const RunSettings& run, const std::string& acadPath) {
    BatchRequest batch;
    batch.consolePath = ConsoleProgram(run, acadPath);
    batch.language = run.language;
    batch.workers = run.workers;
    batch.timeout = std::chrono::seconds(run.timeoutSeconds);
    batch.failureMessages = run.failureMessages;
    return batch;
}

Result<std::string> ConsoleScriptOf(const ScriptRequest& request,
                                    std::vector<ConsoleRefusal>& refusals) {
    for (const DrawingOperation& operation : kDrawingOperations) {
        if (operation.onConsole || !(request.job.*operation.ticked))
            continue;
        Error error;
        error.cause = Cause::NeedsVba;
        error.code = ErrorCode::InvalidPropertyValue;
        error.detail = operation.caption;
        return error;
    }
    refusals = ConsoleRefusals(request.job);
    if (!refusals.empty())
        return std::string();
    return WriteConsoleScript(request.job, request.settings, request.decimalSeparator);
}

Status CheckMarkedPaths(const ConsoleRunPlan& plan, const ScriptRequest& request,
                        const std::string& scriptFolder) {
    if (!HasDrawingMarkers(request.job))
        return Success();
    for (const DrawingRun& drawing : plan.batch.drawings) {
        for (const std::string& part : {drawing.folder, drawing.name})
            if (Status fits = CheckScriptPathPart(part, drawing.path(), scriptFolder); !fits)
                return fits.error();
    }
    return Success();
}

Status PlaceConsoleRun(ConsoleRunPlan& plan, const std::string& runFolder,
                       const ScriptRequest& request, std::string_view script) {
    plan.runFolder = runFolder;
    plan.batch.logFolder = runFolder;
    if (HasDrawingMarkers(request.job))
        return WriteDrawingScripts(plan, request);
    plan.batch.scriptPath = runFolder + std::string(kConsoleScriptName);
    if (Status written = ReplaceFileContent(plan.batch.scriptPath, ToAnsi(script)); !written)
        return InOperation(written.error(), Operation::CreateScript);
    return Success();
}

Result<ConsoleRunPlan> PrepareConsoleRun(const ScriptRequest& request, const RunSettings& run,
                                         const std::string& scriptFolder, DrawingReview* review,
                                         std::chrono::system_clock::time_point now) {
    ConsoleRunPlan plan;
    const Result<std::string> script = ConsoleScriptOf(request, plan.refusals);
    if (!script)
        return script.error();
    if (!plan.refusals.empty()) {
        plan.stop = RunStop::NotForConsole;
        return plan;
    }
    plan.batch = ConsoleBatch(run, request.settings.acadPath());

    const Result<FileList> list = ReadFileList(request.listPath);
    if (!list)
        return InOperation(list.error(), Operation::ReadList);
    std::unordered_map<std::string, DrawingProblem> notReady;
    if (review) {
        const DrawingCheck check = CheckDrawings(*list, ConsoleRelease(plan.batch.consolePath));
        if (!check.issues.empty()) {
            plan.problems = check;
            ReviewedDrawings reviewed = ReviewDrawings(check, *review);
            if (reviewed.stop != RunStop::None) {
                plan.stop = reviewed.stop;
                return plan;
            }
            plan.skipped = reviewed.leftOut;
            for (const DrawingIssue& issue : check.issues)
                if (reviewed.skipped.contains(issue.path))
                    notReady.emplace(issue.path, issue.problem);
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
    if (Status fits = CheckMarkedPaths(plan, request, scriptFolder); !fits)
        return fits.error();
    const Result<std::string> folder = NewRunFolder(scriptFolder, now);
    if (!folder)
        return folder.error();
    if (Status placed = PlaceConsoleRun(plan, *folder, request, *script); !placed)
        return placed.error();
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
