#include "gui/system.h"

#include "gui/formparts.h"
#include "session/startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace pilotrame::gui {

void SetProgramNames() {
    QCoreApplication::setApplicationName(QStringLiteral("Pilotrame"));
    QCoreApplication::setOrganizationName(QStringLiteral("Pilotrame"));
}

std::string FindProgramFolder(const QString& executableFolder, const QString& appDataFolder) {
    const QString executable =
        executableFolder.isEmpty() ? QCoreApplication::applicationDirPath() : executableFolder;
    const QString appData = appDataFolder.isEmpty()
                                ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                : appDataFolder;
    // An installed copy keeps its files in the user's folder: the system folders are the core's.
    return ResolveProgramFolder(NativeStdPath(executable), NativeStdPath(appData),
                                SystemProgramFolders());
}

QStringList SystemPrinters() {
    return QPrinterInfo::availablePrinterNames();
}

ProposedValues SettingLists(const QStringList& printers) {
    std::vector<std::string> names;
    for (const QString& printer : printers)
        names.push_back(ToStd(printer));
    return ProposeSettingValues(names, kNativeFolderStyle, NativeStdPath(QDir::homePath()));
}

char UserDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80)
        return static_cast<char>(point.at(0).unicode());
    return '.';
}

} // namespace pilotrame::gui
