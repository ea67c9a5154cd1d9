#include "app/application.h"
#include "app/mainwindow.h"
#include "app/transcript.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <memory>

namespace {

// Qt's own dialogs and buttons in French when Qt's translations are installed.
void loadFrenchTranslations(QApplication& app) {
    auto* translator = new QTranslator(&app);
    const QString folders[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                               QApplication::applicationDirPath() +
                                   QStringLiteral("/translations")};
    for (const QString& folder : folders) {
        if (translator->load(QStringLiteral("qtbase_fr"), folder)) {
            app.installTranslator(translator);
            return;
        }
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pilotrame"));
    QApplication::setOrganizationName(QStringLiteral("Pilotrame"));
    QApplication::setQuitOnLastWindowClosed(false); // shutdown ends the program, nothing else
    loadFrenchTranslations(app);

    // Start-up tests of the real program record what it shows instead of waiting for a user.
    std::unique_ptr<pilotrame::gui::TranscriptPrompts> transcript;
    if (const QString path = qEnvironmentVariable("PILOTRAME_TEST_TRANSCRIPT"); !path.isEmpty()) {
        transcript = std::make_unique<pilotrame::gui::TranscriptPrompts>(path);
        pilotrame::gui::Prompts::install(transcript.get());
        const int quitAfter = qEnvironmentVariableIntValue("PILOTRAME_TEST_QUIT_MS");
        QTimer::singleShot(quitAfter > 0 ? quitAfter : 3000, &app, &QApplication::quit);
    }

    pilotrame::gui::Application pilotrame;
    if (transcript) {
        QObject::connect(&pilotrame, &pilotrame::gui::Application::broughtToFront, &app,
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
