#include "gui/printers.h"

#include "gui/formparts.h"

#include <QDir>
#include <QPrinterInfo>

namespace pilotrame::gui {

QStringList SystemPrinters() {
    return QPrinterInfo::availablePrinterNames();
}

ProposedValues SettingLists(const QStringList& printers) {
    std::vector<std::string> names;
    for (const QString& printer : printers)
        names.push_back(ToStd(printer));
    return ProposeSettingValues(names, kNativeFolderStyle, NativeStdPath(QDir::homePath()));
}

} // namespace pilotrame::gui
