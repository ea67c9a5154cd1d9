#pragma once

#include <QString>

#include <string>

namespace pilotrame::gui {

// Where the program keeps its files, as the windows and the command line find it.

// Sets the organisation and application names, under which the user's application-data folder
// is found; the window and the command line must set the same ones before any path is asked.
void SetProgramNames();

// The program folder as start-up resolves it (see ResolveProgramFolder); an empty folder stands
// for the system's: the folder of the program file, the user's application-data folder.
std::string FindProgramFolder(const QString& executableFolder = {},
                              const QString& appDataFolder = {});

} // namespace pilotrame::gui
