#include "usecases/executescript.h"

#include "base/fileio.h"
#include "batch/console.h"

#include <chrono>

namespace pilotrame {

namespace {

template <typename Stopped> Executed StoppedRun(const Stopped& stopped) {
    Executed executed;
    executed.stop = stopped.stop;
    executed.problems = stopped.problems;
    executed.skipped = stopped.skipped;
    return executed;
}

Result<Executed> Rename(const ExecuteRequest& request, ListPosition& position,
                        const ExecuteHooks& hooks) {
    Executed executed;
    if (!hooks.confirmRename || !hooks.confirmRename()) {
        executed.stop = RunStop::Cancelled;
        return executed;
    }
    executed.renaming = RenameListedFiles(request.script.listPath, *request.rename, position,
                                          request.script.decimalSeparator);
    return executed;
}

Result<Executed> RunOnAutocad(const ExecuteRequest& request, ListPosition& position,
                              const ExecuteHooks& hooks) {
    const Result<WrittenScript> written =
        WriteScriptAndStartAutocad(request.script, request.scriptFolder, position, hooks.review,
                                   StarterOf(hooks), request.windowsNames);
    if (!written)
        return written.error();
    return StoppedRun(*written);
}

Result<Executed> RunOnConsole(const ExecuteRequest& request, const ExecuteHooks& hooks) {
    if (Status ready = CheckConsoleRun(request); !ready)
        return ready.error();
    Result<ConsoleRunPlan> plan =
        PrepareConsoleRun(request.script, request.run, request.scriptFolder, hooks.review,
                          std::chrono::system_clock::now());
    if (!plan)
        return plan.error();
    Executed executed = StoppedRun(*plan);
    executed.refusals = plan->refusals;
    if (executed.stop == RunStop::None && hooks.batch)
        hooks.batch->run(std::move(*plan));
    return executed;
}

} // namespace

ProgramStarter& StarterOf(const ExecuteHooks& hooks) {
    return hooks.starter ? *hooks.starter : NoProgramStarter();
}

std::optional<AutocadRelease> OpenerOfRun(const ExecuteRequest& request) {
    const Settings& settings = request.script.settings;
    if (request.run.engine == Engine::Console)
        return ConsoleRelease(ConsoleProgram(request.run, settings.acadPath()));
    return ReleaseOfVersionSetting(settings.acadVersion());
}

Status CheckConsoleRun(const ExecuteRequest& request) {
    const std::string console = ConsoleProgram(request.run, request.script.settings.acadPath());
    if (Status runnable = CheckConsoleProgram(console); !runnable) {
        Error error = runnable.error();
        error.detail = console;
        return error;
    }
    return Success();
}

Result<Executed> ExecuteScript(const ExecuteRequest& request, ListPosition& position,
                               const ExecuteHooks& hooks) {
    // Nothing is written, renamed or started when there is nothing to do it from.
    if (Status readable = CheckReadable(request.script.listPath); !readable)
        return InOperation(readable.error(), Operation::ReadList);
    if (request.rename)
        return Rename(request, position, hooks);
    if (request.run.engine == Engine::Console)
        return RunOnConsole(request, hooks);
    return RunOnAutocad(request, position, hooks);
}

} // namespace pilotrame
