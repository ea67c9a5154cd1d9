#include "launch/scriptrun.h"

#include "base/fileio.h"
#include "script/generation.h"

#include <functional>
#include <unordered_set>

namespace pilotrame {

Result<WrittenScript> WriteScript(const ScriptRequest& request, ListPosition& position,
                                  DrawingReview* review) {
    WrittenScript written;
    std::unordered_set<std::string> skipped;
    if (review) {
        const Result<DrawingCheck> check = CheckDrawings(request.listPath);
        if (check && !check->issues.empty()) {
            switch (review->review(*check)) {
            case DrawingCheckAnswer::Cancel:
                written.cancelled = true;
                return written;
            case DrawingCheckAnswer::SkipProblems:
                for (const DrawingIssue& issue : check->issues)
                    skipped.insert(issue.path);
                written.skipped = static_cast<int>(check->issues.size());
                break;
            case DrawingCheckAnswer::Continue:
                break;
            }
        }
    }
    DrawingSectionWriter writeSection(request.job, request.settings, request.decimalSeparator);
    if (Status generated = GenerateScript(request.listPath, request.scriptPath, position,
                                          std::ref(writeSection), &skipped);
        !generated)
        return generated.error();
    return written;
}

ProgramStart AutocadStart(std::string_view acadPath, std::string_view scriptFolder,
                          bool windowsNames) {
    const AutocadCommand command = BuildAutocadCommand(acadPath, scriptFolder, windowsNames);
    ProgramStart start;
    start.program = command.program;
    start.arguments = command.arguments;
    start.windowsCommandLine = command.commandLine;
    start.maximised = true;
    return start;
}

Status StartAutocad(std::string_view acadPath, std::string_view scriptFolder,
                    ProgramStarter& starter, bool windowsNames) {
    const ProgramStart start = AutocadStart(acadPath, scriptFolder, windowsNames);
    // No program set: nothing is asked of the system.
    if (start.program.empty() || !starter.startDetached(start)) {
        Error error =
            InOperation(FileError(ErrorCode::FileNotFound, start.program), Operation::StartProgram);
        error.detail = start.program;
        return error;
    }
    return Success();
}

} // namespace pilotrame
