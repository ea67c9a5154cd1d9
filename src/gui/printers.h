#pragma once

#include "config/settings.h"

#include <QStringList>

namespace pilotrame::gui {

// The printers of the system, in its order. Slow: the print system is asked and its plugin
// loaded, so it is called only when a printer name is needed.
QStringList SystemPrinters();

// The lists proposed for the settings with these printers and this system's folders.
ProposedValues SettingLists(const QStringList& printers);

} // namespace pilotrame::gui
