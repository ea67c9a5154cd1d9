#pragma once

class QObject;
class QWidget;

namespace pilotrame::gui {

// On Windows, gives every window the dialog font the windows were laid out for, "MS Shell Dlg 2"
// at 8 points (Tahoma), rather than the wider and taller Segoe UI 9 that Qt takes from the
// system; elsewhere the platform's font stays. Needs the QApplication, before the first window
// is made.
void UseFormFont();

// From now on, and for as long as owner lives, every window of the program, each time it is
// shown, lies whole on the screen that shows it: smaller when it is larger than that screen (down
// to its minimum size), moved onto it when it lies partly off it. Needs the QApplication.
void KeepWindowsOnScreen(QObject* owner);

// Places window so, once.
void FitOnScreen(QWidget* window);

} // namespace pilotrame::gui
