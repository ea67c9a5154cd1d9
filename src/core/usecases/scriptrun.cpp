#include "usecases/scriptrun.h"

#include "base/fileio.h"
#include "base/text.h"
#include "script/generation.h"

#include <unordered_set>

namespace pilotrame {

ReviewedDrawings ReviewDrawings(const DrawingCheck& check, DrawingReview& review) {
    ReviewedDrawings reviewed;
    if (check.issues.empty())
        return reviewed;
    switch (review.review(check)) {
    case DrawingCheckAnswer::Cancel:
        reviewed.stop = RunStop::Cancelled;
        break;
    case DrawingCheckAnswer::KeepAutocadStopped:
        reviewed.stop = RunStop::DrawingsNotReady;
        break;
    case DrawingCheckAnswer::SkipProblems:
        for (const DrawingIssue& issue : check.issues)
            reviewed.skipped.insert(issue.path);
        reviewed.leftOut = static_cast<int>(check.issues.size());
        break;
    case DrawingCheckAnswer::Continue:
        break;
    }
    return reviewed;
}

Result<WrittenScript> WriteScript(const ScriptRequest& request, ListPosition& position,
                                  DrawingReview* review) {
    // The script stays as it was when there is nothing to make it from.
    if (Status readable = CheckReadable(request.listPath); !readable)
        return InOperation(readable.error(), Operation::ReadList);
    WrittenScript written;
    std::unordered_set<std::string> skipped;
    if (review) {
        const Result<DrawingCheck> check = CheckDrawings(
            request.listPath, ReleaseOfVersionSetting(request.settings.acadVersion()));
        if (check && !check->issues.empty()) {
            written.problems = *check;
            ReviewedDrawings reviewed = ReviewDrawings(*check, *review);
            if (reviewed.stop == RunStop::Cancelled) {
                written.stop = RunStop::Cancelled;
                return written;
            }
            written.stop = reviewed.stop;
            written.skipped = reviewed.leftOut;
            skipped = std::move(reviewed.skipped);
        }
    }
    DrawingSectionWriter writeSection(request.job, request.settings, request.decimalSeparator);
    if (Status prepared = writeSection.prepare(); !prepared)
        return prepared.error();
    const Result<int> sections =
        GenerateScript(request.listPath, request.scriptPath, position, writeSection, &skipped);
    if (!sections)
        return sections.error();
    written.sections = *sections;
    return written;
}

Result<WrittenScript> WriteScriptAndStartAutocad(const ScriptRequest& request,
                                                 const std::string& scriptFolder,
                                                 ListPosition& position, DrawingReview* review,
                                                 ProgramStarter& starter, bool windowsNames) {
    Result<WrittenScript> written = WriteScript(request, position, review);
    if (!written || written->stop != RunStop::None)
        return written;
    if (written->sections == 0) {
        written->stop = RunStop::NothingToProcess;
        return written;
    }
    if (Status started =
            StartAutocad(request.settings.acadPath(), scriptFolder, starter, windowsNames);
        !started)
        return started.error();
    written->autocadStarted = true;
    return written;
}

ProgramStart AutocadStart(std::string_view acadPath, std::string_view scriptFolder,
                          bool windowsNames) {
    const AutocadCommand command = BuildAutocadCommand(acadPath, scriptFolder, windowsNames);
    ProgramStart start;
    start.program = command.program;
    start.arguments = command.arguments;
    start.maximised = true;
    return start;
}

namespace {

// True when program names a batch file: its extension is .bat or .cmd, in any case.
bool IsBatchFile(std::string_view program) {
    // Windows drops the spaces and dots that end a file name: "acad.bat." is acad.bat.
    while (!program.empty() && (program.back() == ' ' || program.back() == '.'))
        program.remove_suffix(1);
    const std::size_t dot = program.find_last_of("./\\");
    if (dot == std::string_view::npos || program[dot] != '.')
        return false;
    const std::string_view extension = program.substr(dot);
    return EqualsIgnoringCase(extension, ".bat") || EqualsIgnoringCase(extension, ".cmd");
}

} // namespace

Status StartAutocad(std::string_view acadPath, std::string_view scriptFolder,
                    ProgramStarter& starter, bool windowsNames) {
    const ProgramStart start = AutocadStart(acadPath, scriptFolder, windowsNames);
    // No program set: nothing is asked of the system.
    if (start.program.empty())
        return StartFailure(start.program, ErrorCode::FileNotFound);
    // Windows runs a batch file through cmd.exe, which expands "%NAME%" even between quotes: a
    // script folder named so would reach AutoCAD changed.
    if (IsBatchFile(start.program))
        return StartFailure(start.program, ErrorCode::PathFileAccess, Cause::BatchFile);
    if (Status started = starter.startDetached(start); !started)
        return InOperation(started.error(), Operation::StartProgram);
    return Success();
}

} // namespace pilotrame
