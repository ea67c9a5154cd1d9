#include "app/application.h"

#include "app/mainwindow.h"
#include "app/prompts.h"
#include "app/singleinstance.h"
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

    // 4. The configuration dialog, hidden, with its lists.
    m_configDialog = std::make_unique<ConfigDialog>(*m_settingsFile, m_mainWindow.get());
    m_configDialog->FillSettingLists(m_options.printers ? *m_options.printers
                                                        : QPrinterInfo::availablePrinterNames());
    m_mainWindow->setConfigDialog(m_configDialog.get());

    // 5. The settings: loaded, or created with the defaults on a first start.
    m_configDialog->ApplyDefaultSettings();
    const Settings defaults = m_configDialog->currentSettings();
    Settings settings = defaults;
    const SettingsStartup startup = EstablishSettings(*m_settingsFile, settings, defaults);
    m_configDialog->applySettings(settings);
    if (startup.failure) {
        showMessage(m_mainWindow.get(), QStringLiteral("Pilotrame"),
                    QString::fromStdString(startup.failure->numberAndDescription()));
    }

    // 6. The script folder, fixed for the whole run.
    m_session.scriptFolder = ResolveScriptFolder(startup, m_configDialog->currentSettings());

    // 7. The main window is shown.
    m_mainWindow->show();
    return true;
}

void Application::shutdown() {
    if (m_mainWindow)
        m_mainWindow->hide();
    m_configDialog.reset();
    // The window may be the sender of the request being handled: let the event loop delete it.
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
