#pragma once

namespace pilotrame::gui {

// The user's decimal separator when it is one ASCII character, else '.'.
char UserDecimalSeparator();

} // namespace pilotrame::gui
