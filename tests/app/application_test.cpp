// Start-up and the configuration dialog as the program wires them, in this process.
#include "app/application.h"

#include "base/fileio.h"
#include "base/systemerror.h"
#include "config/settingsfile.h"
#include "gui/config/configdialog.h"
#include "gui/execution/batchrunwindow.h"
#include "gui/execution/drawingcheckwindow.h"
#include "gui/main/mainwindow.h"
#include "support/guitest.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "texts/settings.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <filesystem>
#include <memory>

namespace pilotrame {
namespace {

namespace fs = std::filesystem;
using test::Child;
using test::Click;
using test::ReadBytes;

class ApplicationTest : public ::testing::Test {
protected:
    ApplicationTest() {
        lists = ProposeSettingValues({"P1"}, kNativeFolderStyle,
                                     QDir::toNativeSeparators(QDir::homePath()).toStdString());
        stored = DefaultSettings(lists);
        stored.combo[slot::drawingFolder] = dir.folder();
    }

    // Starts the program as installed in the test folder.
    void start() {
        app::Application::Options options;
        options.executableFolder = QString::fromStdString(dir.folder());
        options.appDataFolder = QString::fromStdString(dir.path("appdata"));
        options.printers = [this] {
            ++printerAsks;
            return QStringList{QStringLiteral("P1")};
        };
        options.singleInstance = false;
        options.jobFile = jobFile;
        app = std::make_unique<app::Application>(options);
        ASSERT_TRUE(app->start());
    }

    gui::MainWindow& window() { return *app->mainWindow(); }
    template <typename T> T* control(const char* name) {
        return Child<T>(app->mainWindow(), QString::fromLatin1(name));
    }

    // Lists one drawing and writes the script for it.
    void generateForOneDrawing() {
        const std::string drawing = dir.path("A.dwg");
        test::WriteBytes(drawing, test::kDrawingBytes);
        prompts.presetFiles({QString::fromStdString(drawing)});
        Click(control<QPushButton>("Command1"));
        Click(control<QPushButton>("Command2"));
    }

    // Opens a page from its menu item; while the dialog is shown, does what the user does.
    void openPage(const char* menuItem, const std::function<void(gui::ConfigDialog&)>& act) {
        gui::ConfigDialog* dialog = app->configDialog();
        bool shown = false;
        QTimer::singleShot(0, dialog, [&, dialog] {
            shown = dialog->isVisible() && dialog->isModal();
            act(*dialog);
            dialog->hide(); // in case the test left it open
        });
        control<QAction>(menuItem)->trigger();
        EXPECT_TRUE(shown) << menuItem;
    }

    test::TempDir dir;
    test::ScriptedPrompts prompts;
    ProposedValues lists;
    Settings stored;
    int printerAsks = 0; // the print system is slow to answer: asked only when needed
    QString jobFile;     // the program's argument
    std::unique_ptr<app::Application> app;
};

// Desktops match the window to the installed entry org.pilotrame.Pilotrame.desktop by this name,
// and show the program's icon with it: built into the program, a copy that is not installed has
// it too.
TEST_F(ApplicationTest, TheWindowHasTheProgramIconAndTheNameOfItsDesktopEntry) {
    start();
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("org.pilotrame.Pilotrame"));
    const QIcon icon = window().windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes().size(), 7);
    // A size between those drawn comes from the next larger one, a size past the largest is the
    // largest.
    const std::pair<int, int> cases[] = {{16, 16}, {20, 20},   {32, 32},
                                         {48, 48}, {256, 256}, {512, 256}};
    for (const auto& [asked, side] : cases) {
        const QImage image = icon.pixmap(asked).toImage();
        EXPECT_EQ(image.size(), QSize(side, side)) << asked;
        EXPECT_EQ(icon.actualSize(QSize(asked, asked)), QSize(side, side)) << asked;
        // Drawn, not blank: the middle of the sheet is opaque, its corner transparent.
        EXPECT_EQ(qAlpha(image.pixel(side / 2, side / 2)), 255) << asked;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << asked;
    }
}

TEST_F(ApplicationTest, AJobFileGivenAtStartIsOpenedInTheWindow) {
    test::WriteBytes(dir.path("zoom.pilotrame"), "pilotrame-travail=1\nmode=operations\nzoom=1\n");
    jobFile = QString::fromStdString(dir.path("zoom.pilotrame"));
    start();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(window().currentMainJob().mode(), JobMode::Operations);
}

// A job opened from the file manager is read as "Ouvrir un travail…" reads it: a key this version
// does not know is told, and the job opens all the same.
TEST_F(ApplicationTest, AJobGivenAtStartTellsTheKeysItDoesNotKnow) {
    test::WriteBytes(dir.path("futur.pilotrame"),
                     "pilotrame-travail=1\nmode=operations\npurger.mod=1\n");
    jobFile = QString::fromStdString(dir.path("futur.pilotrame"));
    start();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].title, QStringLiteral("Avertissement"));
    EXPECT_TRUE(prompts.messages[0].text.endsWith(QStringLiteral("ligne 3 : « purger.mod »")));
    EXPECT_EQ(window().currentMainJob().mode(), JobMode::Operations);
}

// The script goes to the script folder of the settings file as loaded at start-up, not to the
// first-run default nor to the current folder.
TEST_F(ApplicationTest, ScriptGoesToTheScriptFolderOfTheLoadedSettings) {
    const fs::path scripts = fs::path(dir.folder()) / "scripts";
    fs::create_directory(scripts);
    ASSERT_NE(scripts.string() + "/", DefaultSettings(lists).scriptFolder());
    stored.combo[slot::scriptFolder] = scripts.string(); // the separator is added at start-up
    ASSERT_TRUE(SettingsFile(dir.path("savescript.txt")).SaveSettings(stored));

    start();
    EXPECT_EQ(app->session().scriptFolder, scripts.string() + std::string(1, kNativeSeparator));
    generateForOneDrawing();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_NE(ReadBytes((scripts / "Pilotrame.scr").string()).find("A.dwg"), std::string::npos);
    EXPECT_FALSE(test::FileExists(dir.path("Pilotrame.scr")));
}

TEST_F(ApplicationTest, FirstStartSavesTheDefaultsAndUsesTheirScriptFolder) {
    start();
    Settings reread;
    ASSERT_TRUE(SettingsFile(dir.path("savescript.txt")).LoadSettings(reread));
    EXPECT_EQ(reread, DefaultSettings(lists));
    EXPECT_EQ(app->session().settings, DefaultSettings(lists));
    EXPECT_EQ(app->session().scriptFolder,
              WithTrailingSeparator(DefaultSettings(lists).scriptFolder()));
}

TEST_F(ApplicationTest, QuitterLeavesTheEditsLiveForTheRunAndTheNextOpeningShowsTheFile) {
    const fs::path scripts = fs::path(dir.folder()) / "scripts";
    fs::create_directory(scripts);
    stored.combo[slot::scriptFolder] = scripts.string();
    ASSERT_TRUE(SettingsFile(dir.path("savescript.txt")).SaveSettings(stored));
    const std::string savedBytes = ReadBytes(dir.path("savescript.txt"));
    start();
    ASSERT_TRUE(app->session().settings.sdiMultiple());

    openPage("mnuautocad", [](gui::ConfigDialog& dialog) {
        Click(Child<QRadioButton>(&dialog, QStringLiteral("Option1_3"))); // SDI = 1
        Click(Child<QPushButton>(&dialog, QStringLiteral("Command1")));   // Quitter
    });
    EXPECT_FALSE(app->session().settings.sdiMultiple());
    EXPECT_EQ(ReadBytes(dir.path("savescript.txt")), savedBytes);
    generateForOneDrawing();
    EXPECT_EQ(ReadBytes((scripts / "Pilotrame.scr").string()).find("_close"), std::string::npos);

    bool fileShown = false;
    openPage("mnugeneral", [&fileShown](gui::ConfigDialog& dialog) {
        fileShown = Child<QRadioButton>(&dialog, QStringLiteral("Option1_2"))->isChecked();
        Click(Child<QPushButton>(&dialog, QStringLiteral("Command1")));
    });
    EXPECT_TRUE(fileShown);
    EXPECT_TRUE(app->session().settings.sdiMultiple());
}

TEST_F(ApplicationTest, ASavedScriptFolderTakesEffectAtTheNextStart) {
    const fs::path scripts = fs::path(dir.folder()) / "scripts";
    const fs::path later = fs::path(dir.folder()) / "later";
    fs::create_directory(scripts);
    fs::create_directory(later);
    stored.combo[slot::scriptFolder] = scripts.string();
    ASSERT_TRUE(SettingsFile(dir.path("savescript.txt")).SaveSettings(stored));
    start();

    openPage("mnugeneral", [&later](gui::ConfigDialog& dialog) {
        test::TypeText(Child<QWidget>(&dialog, QStringLiteral("Combo1_11")),
                       QString::fromStdString(later.string()));
        Click(Child<QPushButton>(&dialog, QStringLiteral("Command2"))); // Sauvegarder et Quitter
    });
    EXPECT_EQ(app->session().settings.scriptFolder(), later.string());
    generateForOneDrawing();
    EXPECT_TRUE(test::FileExists((scripts / "Pilotrame.scr").string()));
    EXPECT_FALSE(test::FileExists((later / "Pilotrame.scr").string()));

    app.reset();
    start();
    EXPECT_EQ(app->session().scriptFolder, later.string() + std::string(1, kNativeSeparator));
}

TEST_F(ApplicationTest, ASingleWindowVersionInTheFileLocksTheWindowModeFromTheStart) {
    stored.combo[slot::acadVersion] = "Autocad 14";
    stored.combo[slot::scriptFolder] = dir.folder();
    ASSERT_TRUE(stored.sdiMultiple());
    ASSERT_TRUE(SettingsFile(dir.path("savescript.txt")).SaveSettings(stored));
    start();
    EXPECT_FALSE(app->session().settings.sdiMultiple());
    generateForOneDrawing();
    EXPECT_EQ(ReadBytes(dir.path("Pilotrame.scr")).find("_close"), std::string::npos);
}

TEST_F(ApplicationTest, TheDialogBelongsToTheMainWindowAndGoesWithIt) {
    start();
    QPointer<gui::ConfigDialog> dialog = app->configDialog();
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(dialog->parent(), app->mainWindow());
    EXPECT_FALSE(dialog->isVisible());
    app.reset();
    EXPECT_TRUE(dialog.isNull());
}

// The window is shown sooner without the dialog and the printer list: both wait for their first
// use.
TEST_F(ApplicationTest, AnOrdinaryStartLeavesThePrintersAndTheDialogForLater) {
    stored.combo[slot::printerName] = "Traceur A0";
    ASSERT_TRUE(SettingsFile(dir.path("savescript.txt")).SaveSettings(stored));
    start();
    EXPECT_EQ(printerAsks, 0);
    EXPECT_EQ(window().findChild<gui::ConfigDialog*>(), nullptr);
    EXPECT_EQ(app->session().settings.printerName(), "Traceur A0");

    QStringList printerEntries;
    openPage("mnuimpression", [&printerEntries](gui::ConfigDialog& dialog) {
        auto* printers = Child<QComboBox>(&dialog, QStringLiteral("Combo1_0"));
        for (int i = 0; i < printers->count(); ++i)
            printerEntries << printers->itemText(i);
        Click(Child<QPushButton>(&dialog, QStringLiteral("Command1")));
    });
    EXPECT_EQ(printerEntries, QStringList{QStringLiteral("P1")});
    EXPECT_EQ(printerAsks, 1);
    // The dialog built on the first opening is the one every later opening shows.
    gui::ConfigDialog* first = app->configDialog();
    openPage("mnugeneral", [](gui::ConfigDialog& dialog) { dialog.hide(); });
    EXPECT_EQ(app->configDialog(), first);
    EXPECT_EQ(window().findChildren<gui::ConfigDialog*>().size(), 1);
    EXPECT_EQ(printerAsks, 1);
}

TEST_F(ApplicationTest, AFirstStartAsksForThePrintersOnceForItsFirstRunValues) {
    start();
    EXPECT_EQ(printerAsks, 1);
    Settings reread;
    ASSERT_TRUE(SettingsFile(dir.path("savescript.txt")).LoadSettings(reread));
    EXPECT_EQ(reread.printerName(), "P1");
    openPage("mnuimpression", [](gui::ConfigDialog& dialog) { dialog.hide(); });
    EXPECT_EQ(printerAsks, 1);
}

// A settings file that cannot be read leaves the first-run values in force, the printer with them.
TEST_F(ApplicationTest, AnUnreadableSettingsFileKeepsTheFirstRunPrinter) {
    fs::create_directory(dir.path("savescript.txt")); // exists, cannot be read as a file
    start();
    EXPECT_EQ(printerAsks, 1);
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(app->session().settings.printerName(), "P1");
    EXPECT_EQ(app->session().scriptFolder, "");
}

// A settings file cut short before the printer: the printer list is asked for the first-run
// values that fill it, the window says the file is damaged and goes on, the file stays as it is.
TEST_F(ApplicationTest, ADamagedSettingsFileIsCompletedWithTheFirstRunValues) {
    stored.combo[slot::scriptFolder] = "";
    ASSERT_TRUE(SettingsFile(dir.path("savescript.txt")).SaveSettings(stored));
    const std::string cut =
        ReadBytes(dir.path("savescript.txt")).substr(0, SettingsFile::kRecordOffset);
    test::WriteBytes(dir.path("savescript.txt"), cut);
    start();
    EXPECT_EQ(printerAsks, 1);
    Error damaged = InOperation(FileError(ErrorCode::DeviceIo, dir.path("savescript.txt")),
                                Operation::ReadSettings);
    damaged.cause = Cause::Damaged;
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, QString::fromStdString(SettingsLoadFailureText(damaged)));
    EXPECT_EQ(app->session().settings.printerName(), "P1");
    EXPECT_EQ(app->session().settings, DefaultSettings(lists));
    EXPECT_EQ(ReadBytes(dir.path("savescript.txt")), cut);
}

// A whole file with an empty script folder: the script goes beside the settings, never to the
// root of the file system.
TEST_F(ApplicationTest, AnEmptyScriptFolderSettingGivesTheProgramFolder) {
    stored.combo[slot::scriptFolder] = "";
    ASSERT_TRUE(SettingsFile(dir.path("savescript.txt")).SaveSettings(stored));
    start();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(app->session().scriptFolder, dir.folder());
}

// In the font the platform gives, every caption of every window fits its control, and each
// window lies whole on its screen: the main window in each mode, each page of the configuration,
// the side windows. A row opens a window from the main window, then clicks a control of it.
TEST_F(ApplicationTest, EveryCaptionFitsItsControlAndEveryWindowItsScreen) {
#ifdef _WIN32
    if (QGuiApplication::platformName() != QStringLiteral("windows"))
        GTEST_SKIP() << "the system's fonts: Qt's windows platform (tests/gui.cmake)";
#endif
    start();
    gui::DrawingCheckWindow check({1, {{dir.path("A.dwg"), DrawingProblem::OpenElsewhere}}},
                                  &window());
    ConsoleRunPlan plan;
    plan.duplicates = 1;
    gui::BatchRunWindow batch(plan, dir.folder(), &window());
    check.show();
    batch.show();
    // Each row: the control that opens a window or a mode, then one clicked in it.
    const QStringList rows =
        QStringLiteral(",Check1,Check10,Check20,mnuimpression Check1_2,mnuautocad,mnugeneral "
                       "Command3,mnuexecution,Command20,Command30,Command4")
            .split(QLatin1Char(','));
    for (const QString& row : rows) {
        const QString open = row.section(QLatin1Char(' '), 0, 0);
        const QString inside = row.section(QLatin1Char(' '), 1);
        std::vector<std::string> faults;
        QTimer::singleShot(0, [&faults, inside] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && !inside.isEmpty())
                Click(Child<QWidget>(modal, inside));
            for (QWidget* shown : QApplication::topLevelWidgets())
                for (std::string& fault :
                     shown->isVisible() ? test::CaptionFaults(shown) : std::vector<std::string>{})
                    faults.push_back(std::move(fault));
            if (modal)
                modal->close();
        });
        if (auto* item = window().findChild<QAction*>(open); item && !open.isEmpty())
            item->trigger();
        else if (!open.isEmpty())
            Click(Child<QWidget>(&window(), open));
        QCoreApplication::processEvents();
        EXPECT_EQ(faults, std::vector<std::string>{}) << test::Str(open);
    }
}

} // namespace
} // namespace pilotrame
