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
#include "usecases/executescript.h"
#include "usecases/scriptrun.h"

#include <chrono>
#include <optional>

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

// Runs a --run's batch: the batch, a line per finished drawing, the summary; keeps its exit code.
class ConsoleLines final : public ConsoleBatchRunner {
public:
    ConsoleLines(std::ostream& err, BatchControl& control) : m_err(err), m_control(control) {}

    void run(ConsoleRunPlan plan) override {
        m_err << ToLf(BatchStartText(plan.batch, plan.runFolder)) << '\n' << std::flush;
        const auto began = std::chrono::steady_clock::now();
        ProgressLines progress(m_err, static_cast<int>(plan.batch.drawings.size()));
        const std::vector<DrawingRun> runs = RunConsolePlan(plan, progress, m_control);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();

        const BatchCounts counts = CountStates(runs);
        const bool everyOneSucceeded = counts.succeeded == static_cast<int>(runs.size());
        if (Interrupted() && !everyOneSucceeded)
            m_err << kRunInterruptedText << '\n';
        m_err << ToLf(BatchSummaryText(counts, seconds, plan.runFolder)) << '\n' << std::flush;
        if (!everyOneSucceeded)
            m_code = Interrupted() ? ExitCode::RunInterrupted : ExitCode::SomeDrawingsFailed;
    }

    ExitCode code() const { return m_code; }

private:
    std::ostream& m_err;
    BatchControl& m_control;
    ExitCode m_code = ExitCode::Success;
};

ExitCode FailureCode(const Error& error) {
    if (error.operation == Operation::StartProgram)
        return ExitCode::AutocadNotStarted;
    return error.operation == Operation::ReadList ? ExitCode::UnreadableList
                                                  : ExitCode::GenerationFailed;
}

} // namespace

ExitCode RunGenerate(const CommandLine& command, const GenerateEnvironment& env,
                     std::ostream& err) {
    MainJob job;
    if (command.jobPath) {
        Result<MainJob> loaded = LoadJobFile(*command.jobPath);
        if (!loaded)
            return Fail(err, JobFileFailureText(loaded.error()), ExitCode::BadJobFile);
        job = std::move(*loaded);
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
    if (!command.execute && !command.run) {
        ListPosition position;
        const Result<WrittenScript> written = WriteScript(request, position, nullptr);
        if (!written)
            return Fail(err, GenerationFailureText(written.error()), FailureCode(written.error()));
        return ExitCode::Success;
    }

    ExecuteRequest execute{request, *run, scriptFolder, std::nullopt, env.windowsNames};
    BatchControl control;
    // From the check of the drawings on, a stop leaves every drawing unstarted and the journal
    // says so.
    std::optional<InterruptScope> interrupts;
    if (command.run)
        interrupts.emplace(control);
    KeepAutocadStopped review;
    ConsoleLines lines(err, control);
    ListPosition position;
    const Result<Executed> executed =
        ExecuteScript(execute, position, ExecuteHooks{&review, env.starter, &lines, {}});
    if (!executed)
        return Fail(err, ExecuteFailureText(executed.error(), execute.run.engine),
                    FailureCode(executed.error()));
    switch (executed->stop) {
    case RunStop::DrawingsNotReady:
        return Fail(err, DrawingsNotReadyText(*executed->problems, execute.run.engine),
                    ExitCode::DrawingsNotReady);
    case RunStop::NothingToProcess:
        return Fail(err, NothingToExecuteText(execute.run.engine), ExitCode::NothingToProcess);
    case RunStop::Cancelled:
    case RunStop::None:
        break;
    }
    return lines.code();
}

} // namespace pilotrame
