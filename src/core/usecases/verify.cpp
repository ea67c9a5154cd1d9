#include "usecases/verify.h"

namespace pilotrame {

ScriptVerification VerifyScript(const ExecuteRequest& request) {
    ScriptVerification verification;
    const ScriptRequest& script = request.script;
    if (request.run.engine == Engine::Console) {
        const Result<std::string> made = ConsoleScriptOf(script, verification.refusals);
        if (!made)
            verification.failure = made.error();
        return verification;
    }
    DrawingSectionWriter sections(script.job, script.settings, script.decimalSeparator);
    if (Status prepared = sections.prepare(); !prepared)
        verification.failure = prepared.error();
    return verification;
}

Result<Verification> Verify(const ExecuteRequest& request) {
    Result<DrawingCheck> drawings = CheckDrawings(request.script.listPath, OpenerOfRun(request));
    if (!drawings)
        return InOperation(drawings.error(), Operation::ReadList);
    return Verification{std::move(*drawings), VerifyScript(request)};
}

} // namespace pilotrame
