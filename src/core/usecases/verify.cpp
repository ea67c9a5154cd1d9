#include "usecases/verify.h"

namespace pilotrame {

ScriptVerification VerifyScript(const ExecuteRequest& request) {
    ScriptVerification verification;
    const ScriptRequest& script = request.script;
    const bool console = request.run.engine == Engine::Console;
    if (console) {
        const Result<std::string> made = ConsoleScriptOf(script, verification.refusals);
        if (!made)
            verification.failure = made.error();
    } else {
        DrawingSectionWriter sections(script.job, script.settings, script.decimalSeparator);
        if (Status prepared = sections.prepare(); !prepared)
            verification.failure = prepared.error();
    }
    if (!script.job.customScript)
        return verification;
    ScriptCheckSettings settings;
    settings.console = console;
    verification.findings = ReviewScriptText(script.job.scriptText, settings);
    // The lines of the script text are named by the findings, with their columns.
    std::erase_if(verification.refusals, [](const ConsoleRefusal& refusal) {
        return refusal.box.starts_with("SCRIPT FICHIER");
    });
    if (verification.failure && verification.failure->box.box == Box::ScriptTextLine &&
        HasScriptErrors(verification.findings))
        verification.failure.reset();
    return verification;
}

Result<Verification> Verify(const ExecuteRequest& request) {
    Result<DrawingCheck> drawings = CheckDrawings(request.script.listPath, OpenerOfRun(request));
    if (!drawings)
        return InOperation(drawings.error(), Operation::ReadList);
    return Verification{std::move(*drawings), VerifyScript(request)};
}

} // namespace pilotrame
