#include "app/application.h"
#include "app/commandlinefront.h"
#include "app/transcript.h"
#include "gui/main/mainwindow.h"
#include "gui/programfolder.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <memory>

namespace {

using namespace pilotrame;

// Qt's own dialogs and buttons in French. Qt's translations are looked for where Qt looks, then in
// a translations folder beside the program (where windeployqt puts them, merged into qt_fr.qm),
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

} // namespace

int main(int argc, char* argv[]) {
    // The window takes no argument: any argument asks for the command line.
    if (argc > 1)
        return pilotrame::app::RunCommandLine(argc, argv);

    QApplication app(argc, argv);
    pilotrame::gui::SetProgramNames();
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

    pilotrame::app::Application pilotrame;
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
