#pragma once

#include "config/settings.h"

#include <QIcon>
#include <QString>
#include <QStringList>

#include <string>

namespace pilotrame::gui {

// What the program asks of the system through Qt, for the windows and the command line alike.

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

// The program's icon at every size built into the program.
QIcon ProgramIcon();

// Gives every window the program's icon, and tells the desktop which entry the program is
// (org.pilotrame.Pilotrame, the name of the desktop entry that packaging/ installs), so that task
// bars and docks show the entry's name and icon with its windows. Needs the QApplication, before
// the first window is made.
void SetDesktopIdentity();

} // namespace pilotrame::gui
