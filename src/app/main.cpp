#include "app/application.h"
#include "app/commandlinefront.h"
#include "app/transcript.h"
#include "base/text.h"
#include "gui/main/mainwindow.h"
#include "gui/programfolder.h"
#include "gui/programstyle.h"
#include "job/jobfile.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <memory>
#include <string_view>

namespace {

using namespace pilotrame;

// Qt's own dialogs and buttons in French. Qt's translations are looked for where Qt looks, then in
// a translations folder beside the program (where the Windows install puts qtbase_fr.qm, and
// windeployqt a merged qt_fr.qm),
// then in the share folder of an install that ships its own copy because Qt's folder lacked them
// (see packaging/packaging.cmake). Returns the folder they came from, empty when none had them.
QString LoadFrenchTranslations(QApplication& app) {
    auto* translator = new QTranslator(&app);
    const QString programFolder = QApplication::applicationDirPath();
    const QString folders[] = {
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        programFolder + QStringLiteral("/translations"),
        QDir::cleanPath(programFolder + QStringLiteral("/" PILOTRAME_TRANSLATIONS_FROM_BINDIR))};
    for (const QString& folder : folders) {
        for (const QString& name : {QStringLiteral("qtbase_fr"), QStringLiteral("qt_fr")}) {
            if (translator->load(name, folder)) {
                app.installTranslator(translator);
                return folder;
            }
        }
    }
    return {};
}

// A job file given alone, as the desktop gives it when the user opens one (the installer makes
// the program the opener of *.pilotrame on Windows), opens in the window.
bool IsJobFileArgument(int argc, char* argv[]) {
    if (argc != 2)
        return false;
    const std::string_view argument = argv[1];
    return !argument.starts_with('-') && argument.size() > kJobFileExtension.size() &&
           EqualsIgnoringCase(argument.substr(argument.size() - kJobFileExtension.size()),
                              kJobFileExtension);
}

} // namespace

int main(int argc, char* argv[]) {
    // Any other argument asks for the command line.
    const bool jobGiven = IsJobFileArgument(argc, argv);
    if (argc > 1 && !jobGiven)
        return pilotrame::app::RunCommandLine(argc, argv);

    QApplication app(argc, argv);
    pilotrame::gui::SetProgramNames();
    pilotrame::gui::UseProgramStyle();
    QApplication::setQuitOnLastWindowClosed(false); // shutdown ends the program, nothing else
    const QString translations = LoadFrenchTranslations(app);

    // Start-up tests of the real program record what it shows instead of waiting for a user.
    std::unique_ptr<pilotrame::app::TranscriptPrompts> transcript;
    if (const QString path = qEnvironmentVariable("PILOTRAME_TEST_TRANSCRIPT"); !path.isEmpty()) {
        transcript = std::make_unique<pilotrame::app::TranscriptPrompts>(path);
        pilotrame::gui::Prompts::install(transcript.get());
        // 0 ends the program as soon as its window is shown (the start-up benchmark).
        bool given = false;
        const int quitAfter = qEnvironmentVariableIntValue("PILOTRAME_TEST_QUIT_MS", &given);
        QTimer::singleShot(given && quitAfter >= 0 ? quitAfter : 3000, &app, &QApplication::quit);
        // The package test checks that an installed program finds Qt's French texts, and where.
        if (qEnvironmentVariableIsSet("PILOTRAME_TEST_TRANSLATIONS")) {
            transcript->record(translations.isEmpty()
                                   ? QStringLiteral("translations|none")
                                   : QStringLiteral("translations|fr|") + translations);
        }
    }

    pilotrame::app::Application::Options options;
    // The job's path as Qt reads it, from the system's wide command line on Windows, where argv
    // holds it in the ANSI code page.
    if (jobGiven)
        options.jobFile = QDir::toNativeSeparators(
            QFileInfo(QApplication::arguments().value(1)).absoluteFilePath());
    pilotrame::app::Application pilotrame(options);
    if (transcript) {
        QObject::connect(&pilotrame, &pilotrame::app::Application::broughtToFront, &app,
                         [&transcript] { transcript->record(QStringLiteral("brought-to-front")); });
    }
    if (!pilotrame.start())
        return 0;
    if (transcript)
        transcript->record(QStringLiteral("shown|") + pilotrame.mainWindow()->windowTitle());
    const int code = QApplication::exec();
    pilotrame::gui::Prompts::install(nullptr);
    return code;
}
