#include "cli/generate.h"

#include "base/fileio.h"
#include "base/numbers.h"
#include "base/text.h"
#include "batch/interrupt.h"
#include "config/settingsfile.h"
#include "job/jobfile.h"
#include "script/scriptlines.h"
#include "selection/filelist.h"
#include "session/startup.h"
#include "texts/messages.h"
#include "usecases/consolerun.h"
#include "usecases/scriptrun.h"

#include <chrono>

namespace pilotrame {

namespace {

// Prints a failure as the window's "ERREUR !!" box would show it.
void Report(std::ostream& err, std::string_view text) {
    err << kErrorTitle << '\n' << ToLf(text) << '\n';
}

ExitCode Fail(std::ostream& err, std::string_view text, ExitCode code) {
    Report(err, text);
    return code;
}

// folder + name, built by appending: GCC 12 warns falsely (-Wrestrict) on the operator+ form.
std::string Joined(const std::string& folder, std::string_view name) {
    std::string path = folder;
    path.append(name);
    return path;
}

bool IsMissing(const Error& error) {
    return error.code == ErrorCode::FileNotFound || error.code == ErrorCode::PathNotFound;
}

// The settings as start-up would establish them, but read only: a missing file gives the
// first-run settings and is not created.
Result<SettingsStartup> ReadSettings(const std::string& path, const GenerateEnvironment& env,
                                     Settings& settings) {
    settings = env.firstRunSettings;
    SettingsStartup startup;
    if (Status readable = CheckReadable(path); !readable) {
        if (!IsMissing(readable.error()))
            return InOperation(readable.error(), Operation::ReadSettings);
        startup.created = true; // what a first start would have created
        return startup;
    }
    SettingsFile file(path);
    if (Status loaded = file.LoadSettings(settings); !loaded)
        return InOperation(loaded.error(), Operation::ReadSettings);
    // A single-window version forces its window mode, as the window's start-up does.
    ApplySingleWindowRule(settings);
    return startup;
}

// The command line's answer to the check of the drawings: nobody is there to answer for the
// drawings AutoCAD could not work on, so the script is written for the user to look at and
// AutoCAD is not started.
class KeepAutocadStopped final : public DrawingReview {
public:
    DrawingCheckAnswer review(const DrawingCheck&) override {
        return DrawingCheckAnswer::KeepAutocadStopped;
    }
};

// Where the system gave no way to start a program.
class RefuseEveryStart final : public ProgramStarter {
public:
    bool startDetached(const ProgramStart&) override { return false; }
};

// The settings of a --run: execution.txt, then those of the job, then the options; always on the
// console.
Result<RunSettings> SettingsOfTheRun(const CommandLine& command, const GenerateEnvironment& env,
                                     const MainJob& job) {
    Result<RunSettings> run = LoadRunSettings(Joined(env.programFolder, kRunSettingsFileName));
    if (!run)
        return run;
    if (job.run)
        *run = *job.run;
    if (command.workers)
        run->workers = *command.workers;
    if (command.timeoutSeconds)
        run->timeoutSeconds = *command.timeoutSeconds;
    run->engine = Engine::Console;
    return run;
}

// Prints a line per finished drawing, as they finish.
class ProgressLines final : public BatchObserver {
public:
    ProgressLines(std::ostream& err, int total) : m_err(err), m_total(total) {}
    void drawingStarted(std::size_t, const DrawingRun&) override {}
    void drawingFinished(std::size_t, const DrawingRun& run) override {
        m_err << FinishedDrawingLine(++m_finished, m_total, run) << '\n' << std::flush;
    }

private:
    std::ostream& m_err;
    int m_total;
    int m_finished = 0;
};

// Ctrl-C and the end signals stop the batch for as long as the run lasts, not the program.
class InterruptScope {
public:
    explicit InterruptScope(BatchControl& control) { StopOnInterrupt(control); }
    ~InterruptScope() { StopOnInterruptEnd(); }
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;
};

// --run, once the job, the settings and the list are known to be readable.
ExitCode RunOnConsole(const ScriptRequest& request, const RunSettings& run,
                      const std::string& scriptFolder, std::ostream& err) {
    const std::string console = ConsoleProgram(run, request.settings.acadPath());
    if (Status found = CheckReadable(console); !found)
        return Fail(err, ConsoleNotFoundText(console), ExitCode::AutocadNotStarted);

    BatchControl control;
    // From the check of the drawings on: a stop during it leaves every drawing unstarted, and the
    // journal says so.
    const InterruptScope interrupts(control);
    KeepAutocadStopped review;
    const Result<ConsoleRunPlan> plan =
        PrepareConsoleRun(request, run, scriptFolder, &review, std::chrono::system_clock::now());
    if (!plan) {
        const Error& error = plan.error();
        const ExitCode code = error.operation == Operation::ReadList ? ExitCode::UnreadableList
                                                                     : ExitCode::GenerationFailed;
        return Fail(err, GenerationFailureText(error), code);
    }
    switch (plan->stop) {
    case RunStop::DrawingsNotReady: {
        const DrawingCheck& check = *plan->problems;
        return Fail(err,
                    DrawingsNotReadyForRunText(check.checked, static_cast<int>(check.issues.size()),
                                               DrawingCheckText(check)),
                    ExitCode::DrawingsNotReady);
    }
    case RunStop::NothingToProcess:
        return Fail(err, kNothingToRunText, ExitCode::NothingToProcess);
    case RunStop::Cancelled:
    case RunStop::None:
        break;
    }

    err << ToLf(BatchStartText(plan->batch, plan->runFolder)) << '\n' << std::flush;
    const auto began = std::chrono::steady_clock::now();
    ProgressLines progress(err, static_cast<int>(plan->batch.drawings.size()));
    const std::vector<DrawingRun> runs = RunConsolePlan(*plan, progress, control);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();

    const BatchCounts counts = CountStates(runs);
    const bool everyOneSucceeded = counts.succeeded == static_cast<int>(runs.size());
    if (Interrupted() && !everyOneSucceeded)
        err << kRunInterruptedText << '\n';
    err << ToLf(BatchSummaryText(counts, seconds, plan->runFolder)) << '\n' << std::flush;
    if (everyOneSucceeded)
        return ExitCode::Success;
    return Interrupted() ? ExitCode::RunInterrupted : ExitCode::SomeDrawingsFailed;
}

} // namespace

ExitCode RunGenerate(const CommandLine& command, const GenerateEnvironment& env,
                     std::ostream& err) {
    MainJob job;
    if (command.jobPath) {
        std::vector<JobKeyLine> unknownKeys;
        Result<MainJob> loaded = LoadJobFile(*command.jobPath, &unknownKeys);
        if (!loaded)
            return Fail(err, JobFileFailureText(loaded.error()), ExitCode::BadJobFile);
        job = std::move(*loaded);
        // The run goes on: a newer version's job still runs here, with what this one reads.
        if (!unknownKeys.empty())
            err << kWarningTitle << '\n'
                << ToLf(UnknownJobKeysText(*command.jobPath, unknownKeys)) << '\n';
    }
    if (job.mode() == JobMode::Operations && job.renameTicked)
        return Fail(err, kRenameNotFromCommandLineText, ExitCode::GenerationFailed);

    Settings settings;
    const std::string settingsPath = Joined(env.programFolder, kSettingsFileName);
    const Result<SettingsStartup> startup = ReadSettings(settingsPath, env, settings);
    if (!startup)
        return Fail(err, SettingsFailureText(startup.error()), ExitCode::SettingsUnreadable);
    Result<RunSettings> run = RunSettings{};
    if (command.run) {
        run = SettingsOfTheRun(command, env, job);
        if (!run)
            return Fail(err, RunSettingsRefusedText(run.error()), ExitCode::SettingsUnreadable);
    }
    const std::string scriptFolder =
        ResolveScriptFolder(*startup, settings, env.programFolder, env.separator);
    const std::string scriptPath = Joined(scriptFolder, kScriptFileName);

    const std::string listPath =
        command.listPath ? *command.listPath : Joined(env.programFolder, kFileListName);
    // The script stays as it was when there is nothing to make it from.
    if (Status readable = CheckReadable(listPath); !readable)
        return Fail(err, GenerationFailureText(InOperation(readable.error(), Operation::ReadList)),
                    ExitCode::UnreadableList);

    ScriptRequest request{listPath, scriptPath, job.drawing, settings, env.decimalSeparator};
    if (command.run)
        return RunOnConsole(request, *run, scriptFolder, err);
    ListPosition position;
    KeepAutocadStopped review;
    RefuseEveryStart noStarter;
    const Result<WrittenScript> written =
        command.execute
            ? WriteScriptAndStartAutocad(request, scriptFolder, position, &review,
                                         env.starter ? *env.starter : noStarter, env.windowsNames)
            : WriteScript(request, position, nullptr);
    if (!written) {
        const Error& error = written.error();
        if (error.operation == Operation::StartProgram)
            return Fail(err, AutocadNotStartedText(error.detail), ExitCode::AutocadNotStarted);
        const ExitCode code = error.operation == Operation::ReadList ? ExitCode::UnreadableList
                                                                     : ExitCode::GenerationFailed;
        return Fail(err, GenerationFailureText(error), code);
    }
    switch (written->stop) {
    case RunStop::DrawingsNotReady: {
        const DrawingCheck& check = *written->problems;
        return Fail(err,
                    DrawingsNotReadyText(check.checked, static_cast<int>(check.issues.size()),
                                         DrawingCheckText(check)),
                    ExitCode::DrawingsNotReady);
    }
    case RunStop::NothingToProcess:
        return Fail(err, kNothingToProcessText, ExitCode::NothingToProcess);
    case RunStop::Cancelled:
    case RunStop::None:
        break;
    }
    return ExitCode::Success;
}

} // namespace pilotrame
