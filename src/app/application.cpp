#include "app/application.h"

#include "app/singleinstance.h"
#include "config/settingsfile.h"
#include "gui/config/configdialog.h"
#include "gui/formparts.h"
#include "gui/main/mainwindow.h"
#include "gui/printers.h"
#include "gui/programfolder.h"
#include "gui/programicon.h"
#include "gui/prompts.h"
#include "gui/screenfit.h"
#include "session/startup.h"
#include "texts/common.h"
#include "texts/jobs.h"
#include "texts/runs.h"
#include "texts/settings.h"

#include <QApplication>

namespace pilotrame::app {

using gui::FromStd;
using gui::ShowMessage;

Application::Application() : Application(Options{}) {}

Application::Application(Options options) : m_options(std::move(options)) {}

Application::~Application() = default;

bool Application::start() {
    // 1. Another copy running: end at once, after asking it to come to the front.
    if (m_options.singleInstance) {
        m_instance = std::make_unique<SingleInstance>(SingleInstance::keyForThisProgram());
        if (!m_instance->tryBecomePrimary(m_options.jobFile))
            return false;
        connect(m_instance.get(), &SingleInstance::activationRequested, this,
                [this](const QString& jobFile) {
                    bringToFront();
                    if (m_mainWindow && !jobFile.isEmpty())
                        m_mainWindow->openJobFile(jobFile);
                });
    }

    // 2. The program folder.
    m_session.programFolder =
        gui::FindProgramFolder(m_options.executableFolder, m_options.appDataFolder);
    m_settingsFile = std::make_unique<SettingsFile>(m_session.settingsPath());

    // 3. The main window, in plot mode; the desktop knows the program by its entry and icon. The
    // windows take the font they were laid out for, and each lies whole on its screen.
    gui::SetDesktopIdentity();
    gui::UseFormFont();
    gui::KeepWindowsOnScreen(this);
    m_mainWindow = std::make_unique<MainWindow>(m_session);
    m_mainWindow->ResetMainWindow();
    connect(m_mainWindow.get(), &MainWindow::shutdownRequested, this, &Application::shutdown);

    // 4. The configuration dialog is a view of the session's settings, not their keeper: it is
    // built when first opened, which keeps its controls, its folder tree and the printer list
    // out of the time to the shown window.
    connect(m_mainWindow.get(), &MainWindow::configurationRequested, this,
            [this](ConfigDialog::Page page) {
                if (ConfigDialog* dialog = configDialog())
                    dialog->openPage(page);
            });

    // 5. The settings: the first-run values, then loaded, or saved as they are on a first start.
    const Settings firstRun = FirstRunSettings(m_session.settingsPath(), [this](bool withPrinters) {
        return gui::SettingLists(withPrinters ? printers() : QStringList());
    });
    StartupSettings started = StartSettings(*m_settingsFile, m_session.programFolder, firstRun,
                                            SettingsUse::CreateWhenMissing);
    m_session.settings = std::move(started.settings);
    if (started.startup.failure) {
        ShowMessage(m_mainWindow.get(), FromStd(kProgramTitle),
                    FromStd(SettingsLoadFailureText(*started.startup.failure)));
    }

    // 6. The script folder, fixed for the whole run, and the settings of the run, which live in
    // a file of their own: a faulty one is reported and the defaults stand in for it until the
    // configuration saves good ones.
    m_session.scriptFolder = started.scriptFolder;
    if (started.run)
        m_session.runSettings = *started.run;
    else
        ShowMessage(m_mainWindow.get(), FromStd(kProgramTitle),
                    FromStd(RunSettingsFailureText(started.run.error())));

    // 7. The main window is shown, with the job it was started on.
    m_mainWindow->show();
    if (!m_options.jobFile.isEmpty())
        m_mainWindow->openJobFile(m_options.jobFile);
    return true;
}

ConfigDialog* Application::configDialog() {
    if (!m_configDialog && m_mainWindow) {
        m_configDialog = new ConfigDialog(*m_settingsFile, m_session.settings, m_mainWindow.get());
        m_configDialog->FillSettingLists(gui::SettingLists(printers()));
        m_configDialog->attachRunSettings(m_session.runSettings, m_session.runSettingsPath());
    }
    return m_configDialog;
}

const QStringList& Application::printers() {
    if (!m_printers)
        m_printers = m_options.printers ? m_options.printers() : gui::SystemPrinters();
    return *m_printers;
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

} // namespace pilotrame::app
