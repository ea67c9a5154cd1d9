#include "cli/generate.h"

#include "base/numbers.h"
#include "base/text.h"
#include "batch/interrupt.h"
#include "cli/progress.h"
#include "config/settingsfile.h"
#include "job/jobfile.h"
#include "script/scriptlines.h"
#include "selection/filelist.h"
#include "session/startup.h"
#include "texts/commandline.h"
#include "texts/common.h"
#include "texts/jobs.h"
#include "texts/journal.h"
#include "texts/runs.h"
#include "texts/scriptcheck.h"
#include "texts/scripts.h"
#include "texts/settings.h"
#include "texts/verification.h"
#include "usecases/consolerun.h"
#include "usecases/executescript.h"
#include "usecases/scriptrun.h"
#include "usecases/trial.h"
#include "usecases/verify.h"

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

// The command line's answer to the check of the drawings: nobody is there to answer for the
// drawings AutoCAD could not work on, so the script is written for the user to look at and
// AutoCAD is not started.
class KeepAutocadStopped final : public DrawingReview {
public:
    DrawingCheckAnswer review(const DrawingCheck&) override {
        return DrawingCheckAnswer::KeepAutocadStopped;
    }
};

// The command line's answer to the check of the drawings with --skip-unready: the drawings with
// problems are named and left out, as "Ignorer ces plans" does, and the others run.
class SkipUnready final : public DrawingReview {
public:
    explicit SkipUnready(std::ostream& err) : m_err(err) {}
    DrawingCheckAnswer review(const DrawingCheck& check) override {
        m_err << ToLf(SkippedDrawingsText(check)) << '\n' << std::flush;
        return DrawingCheckAnswer::SkipProblems;
    }

private:
    std::ostream& m_err;
};

// The settings of a --run: execution.txt, then those of the job, then the options; always on the
// console.
Result<RunSettings> SettingsOfTheRun(const CommandLine& command, Result<RunSettings> run,
                                     const MainJob& job) {
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

// Ctrl-C and the end signals stop the batch for as long as the run lasts, not the program.
class InterruptScope {
public:
    explicit InterruptScope(BatchControl& control) { StopOnInterrupt(control); }
    ~InterruptScope() { StopOnInterruptEnd(); }
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;
};

// Runs a --run's batch: the batch and its progress (RunProgress), the summary, the files of the
// journal that could not be written; keeps its exit code, where a journal not written whole wins.
class ConsoleLines final : public ConsoleBatchRunner {
public:
    ConsoleLines(std::ostream& err, int columns, BatchControl& control)
        : m_err(err), m_columns(columns), m_control(control) {}

    void run(ConsoleRunPlan plan) override {
        m_err << ToLf(BatchStartText(plan.batch, plan.runFolder)) << '\n';
        if (plan.duplicates > 0)
            m_err << ToLf(DuplicatesLeftOutText(plan.duplicates)) << '\n';
        m_err << std::flush;
        const auto began = std::chrono::steady_clock::now();
        ConsoleRunOutcome outcome;
        {
            const int total = static_cast<int>(plan.batch.drawings.size());
            RunProgress progress(m_err, m_columns, CountStates(plan.batch.drawings).toRun(total));
            outcome = RunConsolePlan(plan, JournalTexts(), progress, m_control);
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();

        const BatchCounts counts = CountStates(outcome.runs);
        // A drawing left out as not ready did not succeed either.
        const bool everyOneSucceeded = counts.succeeded == static_cast<int>(outcome.runs.size());
        if (Interrupted() && !everyOneSucceeded)
            m_err << kRunInterruptedText << '\n';
        m_err << ToLf(BatchSummaryText(counts, seconds, plan.runFolder)) << '\n' << std::flush;
        if (!everyOneSucceeded)
            m_code = Interrupted() ? ExitCode::RunInterrupted : ExitCode::SomeDrawingsFailed;
        if (!outcome.journalFailures.empty()) {
            Report(m_err, JournalFailureText(outcome.journalFailures));
            m_code = ExitCode::JournalNotWritten;
        }
    }

    ExitCode code() const { return m_code; }

private:
    std::ostream& m_err;
    int m_columns;
    BatchControl& m_control;
    ExitCode m_code = ExitCode::Success;
};

ExitCode FailureCode(const Error& error) {
    if (error.operation == Operation::StartProgram)
        return ExitCode::AutocadNotStarted;
    return error.operation == Operation::ReadList ? ExitCode::UnreadableList
                                                  : ExitCode::GenerationFailed;
}

std::chrono::system_clock::time_point Now(const GenerateEnvironment& env) {
    return env.now ? *env.now : std::chrono::system_clock::now();
}

// The job of the command line: its file, or a freshly started window's job. Returns the exit
// code when it could not be loaded.
std::optional<ExitCode> LoadCommandJob(const CommandLine& command, std::ostream& err,
                                       MainJob& job) {
    if (!command.jobPath)
        return std::nullopt;
    std::vector<JobKeyLine> unknownKeys;
    Result<MainJob> loaded = LoadJobFile(*command.jobPath, &unknownKeys);
    if (!loaded)
        return Fail(err, JobFileFailureText(loaded.error()), ExitCode::BadJobFile);
    job = std::move(*loaded);
    // The run goes on: a newer version's job still runs here, with what this one reads.
    if (!unknownKeys.empty())
        err << kWarningTitle << '\n'
            << ToLf(UnknownJobKeysText(*command.jobPath, unknownKeys)) << '\n';
    return std::nullopt;
}

// The settings as the window's start-up establishes them, but read only: a missing file gives the
// first-run settings and is not created, a damaged one is refused (startup.failure).
StartupSettings ReadCommandSettings(const GenerateEnvironment& env) {
    SettingsFile settingsFile(Joined(env.programFolder, kSettingsFileName));
    return StartSettings(settingsFile, env.programFolder, env.firstRunSettings,
                         SettingsUse::ReadOnly, env.separator);
}

std::string ListPathOf(const CommandLine& command, const GenerateEnvironment& env) {
    return command.listPath ? *command.listPath : Joined(env.programFolder, kFileListName);
}

std::ostream& OutOf(const GenerateEnvironment& env, std::ostream& err) {
    return env.out ? *env.out : err;
}

// The trial of a renaming: the names it would give, nothing renamed.
ExitCode PreviewRenamingTrial(const CommandLine& command, const GenerateEnvironment& env,
                              const MainJob& job, std::ostream& err) {
    ExecuteRequest request;
    request.script.listPath = ListPathOf(command, env);
    request.script.decimalSeparator = env.decimalSeparator;
    request.rename = job.rename;
    const Result<Trial> trial = RunTrial(request, *command.trialDrawings, ExecuteHooks{}, Now(env));
    if (!trial)
        return Fail(err, GenerationFailureText(trial.error()), FailureCode(trial.error()));
    OutOf(env, err) << ToLf(RenamePreviewText(*trial->renaming)) << '\n' << std::flush;
    return trial->renaming->stop ? ExitCode::GenerationFailed : ExitCode::Success;
}

} // namespace

ExitCode RunGenerate(const CommandLine& command, const GenerateEnvironment& env,
                     std::ostream& err) {
    MainJob job;
    if (const std::optional<ExitCode> failed = LoadCommandJob(command, err, job))
        return *failed;
    if (job.mode() == JobMode::Operations && job.renameTicked) {
        if (command.trialDrawings)
            return PreviewRenamingTrial(command, env, job, err);
        return Fail(err, kRenameNotFromCommandLineText, ExitCode::GenerationFailed);
    }
    if (command.trialDrawings && !command.run && !command.execute) {
        err << ToLf(CommandLineFailureText(InOperation(
                   TextError(TextFault::TrialNeedsRun, 0, "--essai"), Operation::ReadArguments)))
            << '\n';
        return ExitCode::BadArguments;
    }

    StartupSettings started = ReadCommandSettings(env);
    if (started.startup.failure)
        return Fail(err, SettingsFailureText(*started.startup.failure),
                    ExitCode::SettingsUnreadable);
    Result<RunSettings> run = RunSettings{};
    if (command.run) {
        run = SettingsOfTheRun(command, std::move(started.run), job);
        if (!run)
            return Fail(err, RunSettingsRefusedText(run.error()), ExitCode::SettingsUnreadable);
    }
    const Settings& settings = started.settings;
    const std::string& scriptFolder = started.scriptFolder;
    const std::string scriptPath = Joined(scriptFolder, kScriptFileName);

    ScriptRequest request{ListPathOf(command, env), scriptPath, job.drawing, settings,
                          env.decimalSeparator};
    // What the check of the script text finds is said, and changes nothing: the script is written
    // as it always was, and the exit code is that of the run.
    if (job.drawing.customScript) {
        ScriptCheckSettings check;
        check.console = command.run;
        for (const ScriptFinding& finding : ReviewScriptText(job.drawing.scriptText, check))
            err << ScriptFindingCommandLineText(finding) << '\n';
        err << std::flush;
    }
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
    // A closed pipe on the output ends no run: the journal is written whole.
    std::optional<ClosedPipesIgnored> pipes;
    if (command.run) {
        interrupts.emplace(control);
        pipes.emplace();
    }
    KeepAutocadStopped keepStopped;
    SkipUnready skipUnready(err);
    DrawingReview& review =
        command.skipUnready ? static_cast<DrawingReview&>(skipUnready) : keepStopped;
    ConsoleLines lines(err, env.errColumns, control);
    const ExecuteHooks hooks{&review, env.starter, &lines, {}};
    const Engine engine = execute.run.engine;
    RunStop stop = RunStop::None;
    std::optional<DrawingCheck> problems;
    std::vector<ConsoleRefusal> refusals;
    if (command.trialDrawings) {
        const Result<Trial> trial = RunTrial(execute, *command.trialDrawings, hooks, Now(env));
        if (!trial)
            return Fail(err, TrialFailureText(trial.error(), engine), FailureCode(trial.error()));
        stop = trial->stop;
        problems = trial->problems;
        refusals = trial->refusals;
        if (stop == RunStop::None)
            err << ToLf(TrialDoneText(*trial, engine)) << '\n' << std::flush;
    } else {
        ListPosition position;
        const Result<Executed> executed = ExecuteScript(execute, position, hooks);
        if (!executed)
            return Fail(err, ExecuteFailureText(executed.error(), engine),
                        FailureCode(executed.error()));
        stop = executed->stop;
        problems = executed->problems;
        refusals = executed->refusals;
    }
    switch (stop) {
    case RunStop::DrawingsNotReady:
        return Fail(err, DrawingsNotReadyText(*problems, engine), ExitCode::DrawingsNotReady);
    case RunStop::NothingToProcess:
        return Fail(err, NothingToExecuteText(engine), ExitCode::NothingToProcess);
    case RunStop::NotForConsole:
        return Fail(err, ConsoleRefusalsText(refusals), ExitCode::GenerationFailed);
    case RunStop::Cancelled:
    case RunStop::None:
        break;
    }
    return lines.code();
}

ExitCode RunVerify(const CommandLine& command, const GenerateEnvironment& env, std::ostream& err) {
    MainJob job;
    if (const std::optional<ExitCode> failed = LoadCommandJob(command, err, job))
        return *failed;
    StartupSettings started = ReadCommandSettings(env);
    if (started.startup.failure)
        return Fail(err, SettingsFailureText(*started.startup.failure),
                    ExitCode::SettingsUnreadable);
    if (!started.run)
        return Fail(err, RunSettingsRefusedText(started.run.error()), ExitCode::SettingsUnreadable);
    ExecuteRequest request;
    request.script =
        ScriptRequest{ListPathOf(command, env), Joined(started.scriptFolder, kScriptFileName),
                      job.drawing, started.settings, env.decimalSeparator};
    request.run = job.run ? *job.run : *started.run;
    request.scriptFolder = started.scriptFolder;
    request.windowsNames = env.windowsNames;
    const Result<Verification> verification = Verify(request);
    if (!verification)
        return Fail(err, GenerationFailureText(verification.error()),
                    FailureCode(verification.error()));
    OutOf(env, err) << ToLf(VerificationReportText(*verification)) << std::flush;
    if (verification->script.hasError())
        return ExitCode::ScriptHasErrors;
    if (!verification->drawings.issues.empty())
        return ExitCode::DrawingsNotReady;
    return ExitCode::Success;
}

} // namespace pilotrame
