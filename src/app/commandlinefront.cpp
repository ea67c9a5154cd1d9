#include "app/commandlinefront.h"

#include "base/text.h"
#include "cli/generate.h"
#include "config/settingsfile.h"
#include "gui/printers.h"
#include "gui/programfolder.h"
#include "gui/regional.h"
#include "process/process.h"
#include "session/startup.h"
#include "texts/commandline.h"
#include "texts/help.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <iostream>

#ifdef Q_OS_WIN
#include <windows.h>

#include <io.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace pilotrame::app {

namespace {

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

// The width of the terminal that standard error is; 0 when it is none (a file, a pipe).
int ErrorTerminalColumns() {
#ifdef Q_OS_WIN
    CONSOLE_SCREEN_BUFFER_INFO info{};
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stderr)));
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(handle, &info))
        return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
#else
    if (!::isatty(STDERR_FILENO))
        return 0;
    winsize size{};
    // A terminal that gives no width is taken as the usual 80 columns.
    return ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
#endif
}

// What --generate takes from this system: the folders and values the window start-up would use.
GenerateEnvironment SystemEnvironment() {
    GenerateEnvironment env;
    env.programFolder = gui::FindProgramFolder();
    env.decimalSeparator = gui::UserDecimalSeparator();
    env.firstRunSettings =
        FirstRunSettings(env.programFolder + std::string(kSettingsFileName), [](bool withPrinters) {
            return gui::SettingLists(withPrinters ? gui::SystemPrinters() : QStringList());
        });
    env.starter = &SystemProgramStarter();
    env.errColumns = ErrorTerminalColumns();
    env.out = &std::cout;
    return env;
}

} // namespace

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
    case CommandAction::Verify:
        code = RunVerify(*command, SystemEnvironment(), std::cerr);
        std::cout << std::flush;
        std::cerr << std::flush;
        break;
    case CommandAction::None:
        break;
    }
    return static_cast<int>(code);
}

} // namespace pilotrame::app
