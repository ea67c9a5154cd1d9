#include "cli/commandline.h"

#include "base/fileio.h"
#include "base/messages.h"
#include "base/text.h"
#include "config/settingsfile.h"
#include "job/jobfile.h"
#include "launch/scriptrun.h"
#include "script/scriptlines.h"
#include "selection/filelist.h"
#include "session/startup.h"

namespace pilotrame {

namespace {

Error BadArguments(TextFault fault, std::string_view argument = {}) {
    return InOperation(TextError(fault, 0, argument), Operation::ReadArguments);
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
        if (attached)
            return BadArguments(TextFault::ValueNotTaken, option);
        Status seen = Success();
        if (option == "--generate")
            seen = once(generate, option);
        else if (option == "--execute")
            seen = once(command.execute, option);
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
    if (!generate) {
        if (command.jobPath || command.listPath || command.execute)
            return BadArguments(TextFault::OnlyWithGenerate);
        return command;
    }
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
           "  pilotrame --help | --version\n"
           "\n"
           "Options :\n"
           "  --generate         écrit le script sans fenêtre\n"
           "  --job FICHIER      prend le travail dans FICHIER (.pilotrame) ; sans cette option,\n"
           "                     le travail d'une fenêtre qui vient de s'ouvrir (IMPRIMER)\n"
           "  --list FICHIER     prend la liste des dessins dans FICHIER ; sans cette option,\n"
           "                     Liste01.txt\n"
           "  --execute          démarre AutoCAD sur le script, après la vérification des dessins\n"
           "  -h, --help         affiche cette aide\n"
           "  --version          affiche la version\n"
           "Un travail qui renomme des fichiers (RENOMMER FICHIERS coché) est refusé : la ligne\n"
           "de commande ne renomme jamais de fichiers.\n"
           "\n"
           "Codes de sortie :\n"
           "  0  réussite\n"
           "  2  arguments incorrects\n"
           "  3  fichier de travail illisible ou incorrect\n"
           "  4  liste des dessins illisible ou inexistante\n"
           "  5  échec de la génération du script, ou travail qui renomme des fichiers\n"
           "  6  fichier de réglages savescript.txt illisible ou endommagé\n"
           "  7  dessins pas prêts : AutoCAD n'a pas été démarré (--execute)\n"
           "  8  AutoCAD n'a pas pu être démarré (--execute)\n"
           "  9  aucun plan à traiter : AutoCAD n'a pas été démarré (--execute)\n"
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
