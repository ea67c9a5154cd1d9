#pragma once

#include <QIcon>

namespace pilotrame::gui {

// The program's icon at every size built into the program.
QIcon ProgramIcon();

// Gives every window the program's icon, and tells the desktop which entry the program is
// (org.pilotrame.Pilotrame, the name of the desktop entry that packaging/ installs), so that task
// bars and docks show the entry's name and icon with its windows. Needs the QApplication, before
// the first window is made.
void SetDesktopIdentity();

} // namespace pilotrame::gui
