#pragma once

namespace pilotrame::gui {

// Gives the program the platform's own style, with one thing left for later: the icon of the
// menu bar's extension button, which shows only when the menus do not fit in the window's
// width, is read when it is first drawn. Qt reads it, decoding its images, whenever it makes a
// menu bar: some 4 % of each start. Needs the QApplication, before the first window is made.
void UseProgramStyle();

} // namespace pilotrame::gui
