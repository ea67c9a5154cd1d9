#include "cli/commandline.h"

#include "base/fileio.h"
#include "base/messages.h"
#include "base/numbers.h"
#include "base/text.h"
#include "batch/consolerun.h"
#include "batch/interrupt.h"
#include "config/settingsfile.h"
#include "job/jobfile.h"
#include "launch/scriptrun.h"
#include "script/scriptlines.h"
#include "selection/filelist.h"
#include "session/startup.h"

#include <chrono>

namespace pilotrame {

namespace {

Error BadArguments(TextFault fault, std::string_view argument = {}) {
    return InOperation(TextError(fault, 0, argument), Operation::ReadArguments);
}

// The number of "--workers N" or "--timeout S": a whole number from low to high.
Result<int> OptionNumber(const std::string& option, const std::string& value, int low, int high) {
    if (value.empty())
        return BadArguments(TextFault::MissingNumber, option);
    const std::optional<std::int64_t> number = ParseInteger(value);
    if (!number)
        return InOperation(TextError(TextFault::NotAWholeNumber, 0, option, value),
                           Operation::ReadArguments);
    if (*number < low || *number > high) {
        Error error = TextError(TextFault::NumberOutOfRange, 0, option, value);
        error.allowed = {std::to_string(low), std::to_string(high)};
        return InOperation(std::move(error), Operation::ReadArguments);
    }
    return static_cast<int>(*number);
}

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

Result<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine command;
    bool generate = false;
    bool help = false;
    bool version = false;
    auto once = [](bool& seen, const std::string& option) -> Status {
        if (seen)
            return BadArguments(TextFault::RepeatedOption, option);
        seen = true;
        return Success();
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string option = argument;
        std::optional<std::string> attached;
        if (argument.rfind("--", 0) == 0) {
            if (const std::size_t equals = argument.find('='); equals != std::string::npos) {
                option = argument.substr(0, equals);
                attached = argument.substr(equals + 1);
            }
        }
        if (option == "--job" || option == "--list") {
            std::optional<std::string>& target =
                option == "--job" ? command.jobPath : command.listPath;
            if (target)
                return BadArguments(TextFault::RepeatedOption, option);
            std::string file;
            if (attached) {
                file = *attached;
            } else if (i + 1 < arguments.size() && arguments[i + 1].rfind("--", 0) != 0) {
                file = arguments[++i];
            }
            if (file.empty())
                return BadArguments(TextFault::MissingFileName, option);
            target = std::move(file);
            continue;
        }
        if (option == "--workers" || option == "--timeout") {
            const bool workers = option == "--workers";
            std::optional<int>& target = workers ? command.workers : command.timeoutSeconds;
            if (target)
                return BadArguments(TextFault::RepeatedOption, option);
            std::string value;
            if (attached) {
                value = *attached;
            } else if (i + 1 < arguments.size() && arguments[i + 1].rfind("--", 0) != 0) {
                value = arguments[++i];
            }
            const Result<int> number = workers
                                           ? OptionNumber(option, value, kMinWorkers, kMaxWorkers)
                                           : OptionNumber(option, value, kMinTimeout, kMaxTimeout);
            if (!number)
                return number.error();
            target = *number;
            continue;
        }
        if (attached)
            return BadArguments(TextFault::ValueNotTaken, option);
        Status seen = Success();
        if (option == "--generate")
            seen = once(generate, option);
        else if (option == "--execute")
            seen = once(command.execute, option);
        else if (option == "--run")
            seen = once(command.run, option);
        else if (option == "--help" || option == "-h" || option == "/?")
            seen = once(help, option);
        else if (option == "--version")
            seen = once(version, option);
        else if (!option.empty() && (option.front() == '-' || option.front() == '/'))
            return BadArguments(TextFault::UnknownOption, option);
        else
            return BadArguments(TextFault::UnexpectedArgument, option);
        if (!seen)
            return seen.error();
    }
    if (help) {
        command.action = CommandAction::Help;
        return command;
    }
    if (version) {
        command.action = CommandAction::Version;
        return command;
    }
    const bool runOptions = command.workers || command.timeoutSeconds;
    if (!generate) {
        if (command.jobPath || command.listPath || command.execute || command.run)
            return BadArguments(TextFault::OnlyWithGenerate);
        if (runOptions)
            return BadArguments(TextFault::OnlyWithRun);
        return command;
    }
    if (command.run && command.execute)
        return BadArguments(TextFault::RunAndExecute);
    if (runOptions && !command.run)
        return BadArguments(TextFault::OnlyWithRun);
    command.action = CommandAction::Generate;
    return command;
}

std::string HelpText() {
    return "Utilisation :\n"
           "  pilotrame\n"
           "      ouvre la fenêtre principale.\n"
           "  pilotrame --generate [--job FICHIER] [--list FICHIER] [--execute]\n"
           "      écrit le script Pilotrame.scr sans ouvrir de fenêtre, avec les réglages de\n"
           "      savescript.txt (lu seulement, jamais créé ni modifié), dans le répertoire des\n"
           "      scripts. Peut tourner pendant que la fenêtre est ouverte.\n"
           "  pilotrame --generate --run [--workers N] [--timeout S] [--job FICHIER]\n"
           "            [--list FICHIER]\n"
           "      exécute le travail sur la console d'AutoCAD (accoreconsole.exe), une console\n"
           "      par plan, quel que soit le moteur choisi dans la configuration, avec les\n"
           "      réglages d'exécution de execution.txt (lu seulement), remplacés par ceux du\n"
           "      travail puis par --workers et --timeout. Écrit une ligne par plan terminé,\n"
           "      puis le bilan. Le journal (un .log par plan, resume.csv, et echecs.txt, la\n"
           "      liste des plans qui n'ont pas réussi, à donner à --list) va dans un nouveau\n"
           "      dossier Pilotrame-journal/<date>_<heure> du répertoire des scripts ;\n"
           "      Pilotrame.scr n'est pas touché. Ctrl-C arrête l'exécution : plus aucune\n"
           "      console n'est lancée, celles en cours sont arrêtées, le journal est écrit.\n"
           "  pilotrame --help | --version\n"
           "\n"
           "Options :\n"
           "  --generate         écrit le script sans fenêtre\n"
           "  --job FICHIER      prend le travail dans FICHIER (.pilotrame) ; sans cette option,\n"
           "                     le travail d'une fenêtre qui vient de s'ouvrir (IMPRIMER)\n"
           "  --list FICHIER     prend la liste des dessins dans FICHIER ; sans cette option,\n"
           "                     Liste01.txt\n"
           "  --execute          démarre AutoCAD sur le script, après la vérification des dessins\n"
           "  --run              exécute le travail plan par plan sur la console d'AutoCAD, après\n"
           "                     la vérification des dessins\n"
           "  --workers N        plans à la fois, de 1 à 16 (avec --run)\n"
           "  --timeout S        délai par plan en secondes, de 1 à 604800 (avec --run)\n"
           "  -h, --help         affiche cette aide\n"
           "  --version          affiche la version\n"
           "Un travail qui renomme des fichiers (RENOMMER FICHIERS coché) est refusé : la ligne\n"
           "de commande ne renomme jamais de fichiers.\n"
           "\n"
           "Codes de sortie :\n"
           "  0  réussite (avec --run : chaque plan a réussi)\n"
           "  2  arguments incorrects\n"
           "  3  fichier de travail illisible ou incorrect\n"
           "  4  liste des dessins illisible ou inexistante\n"
           "  5  échec de la génération du script, ou travail qui renomme des fichiers, ou\n"
           "     REMPLACE TEXTE (vba) coché avec --run (la console n'a pas VBA)\n"
           "  6  fichier de réglages savescript.txt, ou execution.txt avec --run, illisible ou\n"
           "     endommagé\n"
           "  7  dessins pas prêts : AutoCAD n'a pas été démarré (--execute), aucun plan n'a été\n"
           "     lancé (--run)\n"
           "  8  AutoCAD n'a pas pu être démarré (--execute), console d'AutoCAD introuvable\n"
           "     (--run)\n"
           "  9  aucun plan à traiter : AutoCAD n'a pas été démarré (--execute, --run)\n"
           "  10  des plans n'ont pas réussi : échec, délai dépassé ou non lancé (--run)\n"
           "  11  exécution arrêtée par Ctrl-C ou une demande d'arrêt (--run)\n"
           "Les messages sont écrits sur la sortie d'erreur.\n";
}

std::string VersionText() {
    return "Pilotrame V3.5";
}

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
