#pragma once

#include "config/settingsfile.h"
#include "session/session.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace pilotrame::gui {
class ConfigDialog;
class MainWindow;
} // namespace pilotrame::gui

namespace pilotrame::app {

using gui::ConfigDialog;
using gui::MainWindow;
class SingleInstance;

// Start-up and shutdown of the program.
class Application : public QObject {
    Q_OBJECT

public:
    struct Options {
        QString executableFolder; // default: the folder of the program file
        QString appDataFolder;    // default: the user's application-data folder
        // default: SystemPrinters(); called at most once, and only when a printer name is needed
        std::function<QStringList()> printers;
        bool singleInstance = true;
        // A job file to open in the window once it is shown; a copy that finds another running
        // hands it over to that one.
        QString jobFile;
    };

    Application();
    explicit Application(Options options);
    ~Application() override;

    // Runs start-up up to the shown main window. False when another copy is running: this one
    // must end at once without a window. Neither the printers nor the configuration dialog are
    // needed to show the window: they are left for later unless the first-run values are.
    bool start();

    // Hides and destroys the windows, then ends the event loop.
    void shutdown();

    Session& session() { return m_session; }
    MainWindow* mainWindow() const { return m_mainWindow.get(); }
    // The configuration dialog, a child of the main window, built on the first call; null before
    // start-up and after shutdown.
    ConfigDialog* configDialog();

signals:
    // The main window was brought to the front at the request of a second copy.
    void broughtToFront();

private:
    void bringToFront();
    // The printers, asked for once.
    const QStringList& printers();

    Options m_options;
    Session m_session;
    std::unique_ptr<SettingsFile> m_settingsFile;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<MainWindow> m_mainWindow;
    QPointer<ConfigDialog> m_configDialog; // owned by the main window, its Qt parent
    std::optional<QStringList> m_printers;
};

} // namespace pilotrame::app
