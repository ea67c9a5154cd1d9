#pragma once

#include <QString>

namespace pilotrame::gui {

// The objectName of one element of a control array of the form: ControlName("Check4", 3) is
// "Check4_3". Tests and the windows find a control by this name, so every window builds it here.
inline QString ControlName(const char* array, int index) {
    return QString::fromLatin1(array) + QLatin1Char('_') + QString::number(index);
}

} // namespace pilotrame::gui
