#include "gui/programfolder.h"

#include "gui/formparts.h"
#include "session/startup.h"

#include <QCoreApplication>
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

} // namespace pilotrame::gui
