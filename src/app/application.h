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
class SingleInstance;

// Sets the organisation and application names, under which the user's application-data folder
// is found; the window and the command line must set the same ones before any path is asked.
void SetProgramNames();

// The program folder as start-up resolves it (see ResolveProgramFolder); an empty folder stands
// for the system's: the folder of the program file, the user's application-data folder.
std::string FindProgramFolder(const QString& executableFolder = {},
                              const QString& appDataFolder = {});

// The printers of the system, in its order. Slow: the print system is asked and its plugin
// loaded, so it is called only when a printer name is needed.
QStringList SystemPrinters();

// The lists proposed for the settings with these printers and this system's folders.
ProposedValues SettingLists(const QStringList& printers);

// The user's decimal separator when it is one ASCII character, else '.'.
char UserDecimalSeparator();

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

} // namespace pilotrame::gui
