#include "app/application.h"

#include "app/formparts.h"
#include "app/mainwindow.h"
#include "app/prompts.h"
#include "app/singleinstance.h"
#include "base/messages.h"
#include "config/configdialog.h"

#include <QApplication>
#include <QDir>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace pilotrame::gui {

namespace {
std::string native(const QString& folder) {
    return QDir::toNativeSeparators(folder).toStdString();
}
} // namespace

Application::Application() : Application(Options{}) {}

Application::Application(Options options) : m_options(std::move(options)) {}

Application::~Application() = default;

bool Application::start() {
    // 1. Another copy running: end at once, after asking it to come to the front.
    if (m_options.singleInstance) {
        m_instance = std::make_unique<SingleInstance>(SingleInstance::keyForThisProgram());
        if (!m_instance->tryBecomePrimary())
            return false;
        connect(m_instance.get(), &SingleInstance::activationRequested, this,
                &Application::bringToFront);
    }

    // 2. The program folder.
    const QString executableFolder = m_options.executableFolder.isEmpty()
                                         ? QCoreApplication::applicationDirPath()
                                         : m_options.executableFolder;
    const QString appData = m_options.appDataFolder.isEmpty()
                                ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                : m_options.appDataFolder;
    m_session.programFolder = ResolveProgramFolder(native(executableFolder), native(appData));
    m_settingsFile = std::make_unique<SettingsFile>(m_session.settingsPath());

    // 3. The main window, in plot mode.
    m_mainWindow = std::make_unique<MainWindow>(m_session);
    m_mainWindow->ResetMainWindow();
    connect(m_mainWindow.get(), &MainWindow::shutdownRequested, this, &Application::shutdown);

    // 4. The configuration dialog, hidden, with its lists; a view of the session's settings.
    std::vector<std::string> printers;
    for (const QString& printer :
         m_options.printers ? *m_options.printers : QPrinterInfo::availablePrinterNames())
        printers.push_back(printer.toStdString());
    const ProposedValues lists =
        proposedValues(printers, kNativeFolderStyle, native(QDir::homePath()));
    m_configDialog = new ConfigDialog(*m_settingsFile, m_session.settings, m_mainWindow.get());
    m_configDialog->FillSettingLists(lists);
    connect(m_mainWindow.get(), &MainWindow::configurationRequested, m_configDialog.data(),
            &ConfigDialog::openPage);

    // 5. The settings: the values of a new dialog, then loaded, or saved as they are on a first
    // start.
    const Settings defaults = defaultSettings(lists);
    m_session.settings = defaults;
    const SettingsStartup startup =
        EstablishSettings(*m_settingsFile, m_session.settings, defaults);
    // A single-window version read from the file locks the window mode, as the dialog does.
    ApplySingleWindowRule(m_session.settings);
    if (startup.failure) {
        showMessage(m_mainWindow.get(), fromStd(kProgramTitle),
                    fromStd(startup.failure->numberAndDescription()));
    }

    // 6. The script folder, fixed for the whole run.
    m_session.scriptFolder = ResolveScriptFolder(startup, m_session.settings);

    // 7. The main window is shown.
    m_mainWindow->show();
    return true;
}

void Application::shutdown() {
    if (m_mainWindow)
        m_mainWindow->hide();
    // The window may be the sender of the request being handled: let the event loop delete it,
    // and the configuration dialog with it.
    if (MainWindow* window = m_mainWindow.release())
        window->deleteLater();
    QCoreApplication::exit(0);
}

void Application::bringToFront() {
    if (!m_mainWindow)
        return;
    m_mainWindow->setWindowState((m_mainWindow->windowState() & ~Qt::WindowMinimized) |
                                 Qt::WindowActive);
    m_mainWindow->show();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
    emit broughtToFront();
}

} // namespace pilotrame::gui
