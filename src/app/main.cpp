#include "app/application.h"
#include "app/transcript.h"
#include "base/fileio.h"
#include "base/messages.h"
#include "base/text.h"
#include "cli/commandline.h"
#include "gui/formparts.h"
#include "gui/main/mainwindow.h"
#include "launch/drawingcheck.h"
#include "session/startup.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QProcess>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <iostream>
#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

using namespace pilotrame;

// Qt's own dialogs and buttons in French. Qt's translations are looked for where Qt looks, then in
// a translations folder beside the program (where windeployqt puts them, merged into qt_fr.qm),
// then in the share folder of an install that ships its own copy because Qt's folder lacked them
// (see packaging/packaging.cmake). Returns the folder they came from, empty when none had them.
QString LoadFrenchTranslations(QApplication& app) {
    auto* translator = new QTranslator(&app);
    const QString programFolder = QApplication::applicationDirPath();
    const QString folders[] = {
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        programFolder + QStringLiteral("/translations"),
        QDir::cleanPath(programFolder + QStringLiteral("/" PILOTRAME_TRANSLATIONS_FROM_BINDIR))};
    for (const QString& folder : folders) {
        for (const QString& name : {QStringLiteral("qtbase_fr"), QStringLiteral("qt_fr")}) {
            if (translator->load(name, folder)) {
                app.installTranslator(translator);
                return folder;
            }
        }
    }
    return {};
}

// A windowed program on Windows starts without a console: the command line's texts go to the
// caller's console, when it has one, unless the caller redirected them. UTF-8 keeps the accents.
void UseCallersConsole() {
#ifdef Q_OS_WIN
    const bool outGiven = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN;
    const bool errGiven = GetFileType(GetStdHandle(STD_ERROR_HANDLE)) != FILE_TYPE_UNKNOWN;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    SetConsoleOutputCP(CP_UTF8);
    if (!outGiven && std::freopen("CONOUT$", "w", stdout) == nullptr)
        return;
    if (!errGiven && std::freopen("CONOUT$", "w", stderr) == nullptr)
        return;
#endif
}

// Starts AutoCAD without waiting, as the main window does.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) {
    QProcess process;
    process.setProgram(gui::FromStd(program));
#ifdef Q_OS_WIN
    // AutoCAD reads its command line itself: switches as they are, the script path quoted, in a
    // maximised window, the exact line the main window gives it.
    QStringList parts;
    for (const std::string& argument : arguments) {
        const QString text = gui::FromStd(argument);
        parts << (text.startsWith(QLatin1Char('/')) ? text : QStringLiteral("\"%1\"").arg(text));
    }
    process.setNativeArguments(parts.join(QLatin1Char(' ')));
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = SW_SHOWMAXIMIZED;
    });
#else
    QStringList list;
    for (const std::string& argument : arguments)
        list << gui::FromStd(argument);
    process.setArguments(list);
#endif
    return process.startDetached();
}

// The check of the drawings before AutoCAD is started unattended: any drawing it could not work
// on stops the start, since nobody is there to answer its prompts.
bool DrawingsReady(const std::string& listPath, std::ostream& err) {
    const Result<DrawingCheck> check = CheckDrawings(listPath);
    if (!check) {
        err << kErrorTitle << '\n' << ToLf(ListFailureText(listPath)) << '\n';
        return false;
    }
    if (check->issues.empty())
        return true;
    err << kErrorTitle << '\n'
        << ToLf(DrawingsNotReadyText(check->checked, static_cast<int>(check->issues.size()),
                                     DrawingCheckText(*check)))
        << '\n';
    return false;
}

// What --generate takes from this system: the folders and values the window start-up would use.
GenerateEnvironment SystemEnvironment() {
    GenerateEnvironment env;
    env.programFolder = gui::FindProgramFolder();
    env.decimalSeparator = gui::UserDecimalSeparator();
    // Only a missing settings file brings in the first-run values, and of them only the printer
    // needs the slow printer list.
    std::string settingsPath = env.programFolder;
    settingsPath.append(kSettingsFileName);
    const bool firstRunValuesUsed = !CheckReadable(settingsPath);
    env.firstRunSettings = DefaultSettings(
        gui::SettingLists(firstRunValuesUsed ? gui::SystemPrinters() : QStringList()));
    env.startProcess = StartDetached;
    env.checkDrawings = DrawingsReady;
    return env;
}

// The command line's modes: no window, no single-instance lock, the settings file left alone.
int RunCommandLine(int argc, char* argv[]) {
    UseCallersConsole();
    QCoreApplication app(argc, argv);
    gui::SetProgramNames();
    std::vector<std::string> arguments;
    const QStringList given = QCoreApplication::arguments(); // decoded as the system passed them
    for (qsizetype i = 1; i < given.size(); ++i)
        arguments.push_back(given[i].toStdString());

    const Result<CommandLine> command = ParseCommandLine(arguments);
    if (!command) {
        std::cerr << ToLf(CommandLineFailureText(command.error())) << std::endl;
        return static_cast<int>(ExitCode::BadArguments);
    }
    ExitCode code = ExitCode::Success;
    switch (command->action) {
    case CommandAction::Help:
        std::cout << HelpText() << std::flush;
        break;
    case CommandAction::Version:
        std::cout << VersionText() << std::endl;
        break;
    case CommandAction::Generate:
        code = RunGenerate(*command, SystemEnvironment(), std::cerr);
        std::cerr << std::flush;
        break;
    case CommandAction::None:
        break;
    }
    return static_cast<int>(code);
}

} // namespace

int main(int argc, char* argv[]) {
    // The window takes no argument: any argument asks for the command line.
    if (argc > 1)
        return RunCommandLine(argc, argv);

    QApplication app(argc, argv);
    pilotrame::gui::SetProgramNames();
    QApplication::setQuitOnLastWindowClosed(false); // shutdown ends the program, nothing else
    const QString translations = LoadFrenchTranslations(app);

    // Start-up tests of the real program record what it shows instead of waiting for a user.
    std::unique_ptr<pilotrame::gui::TranscriptPrompts> transcript;
    if (const QString path = qEnvironmentVariable("PILOTRAME_TEST_TRANSCRIPT"); !path.isEmpty()) {
        transcript = std::make_unique<pilotrame::gui::TranscriptPrompts>(path);
        pilotrame::gui::Prompts::install(transcript.get());
        // 0 ends the program as soon as its window is shown (the start-up benchmark).
        bool given = false;
        const int quitAfter = qEnvironmentVariableIntValue("PILOTRAME_TEST_QUIT_MS", &given);
        QTimer::singleShot(given && quitAfter >= 0 ? quitAfter : 3000, &app, &QApplication::quit);
        // The package test checks that an installed program finds Qt's French texts, and where.
        if (qEnvironmentVariableIsSet("PILOTRAME_TEST_TRANSLATIONS")) {
            transcript->record(translations.isEmpty()
                                   ? QStringLiteral("translations|none")
                                   : QStringLiteral("translations|fr|") + translations);
        }
    }

    pilotrame::gui::Application pilotrame;
    if (transcript) {
        QObject::connect(&pilotrame, &pilotrame::gui::Application::broughtToFront, &app,
                         [&transcript] { transcript->record(QStringLiteral("brought-to-front")); });
    }
    if (!pilotrame.start())
        return 0;
    if (transcript)
        transcript->record(QStringLiteral("shown|") + pilotrame.mainWindow()->windowTitle());
    const int code = QApplication::exec();
    pilotrame::gui::Prompts::install(nullptr);
    return code;
}
