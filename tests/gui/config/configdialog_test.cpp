#include "gui/config/configdialog.h"

#include "base/fileio.h"
#include "base/paths.h"
#include "gui/controlname.h"
#include "support/guitest.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <set>

namespace pilotrame::gui {
namespace {

using test::Child;
using test::Click;
using test::ShownInWindow;
using test::Str;
using test::TypeText;

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QStringList AllControlNames() {
    QStringList names = {"Command1", "Command2", "Command3", "Command4",
                         "Command5", "Command6", "Drive1",   "Dir1"};
    const std::pair<const char*, int> arrays[] = {
        {"Label1", 9}, {"Combo1", 14}, {"Check1", 3}, {"Frame1", 3}, {"Option1", 4}};
    for (const auto& [name, count] : arrays) {
        for (int i = 0; i < count; ++i)
            names << ControlName(name, i);
    }
    return names;
}

ProposedValues ListsWith(const std::vector<std::string>& printers) {
    return ProposeSettingValues(printers, kNativeFolderStyle,
                                Native(QDir::homePath()).toStdString());
}

class ConfigDialogTest : public ::testing::Test {
protected:
    ConfigDialogTest() {
        const ProposedValues lists = ListsWith({"Traceur A", "PDF"});
        dialog.FillSettingLists(lists);
        live = DefaultSettings(lists);
        dialog.showSettings();
    }

    template <typename T = QWidget> T* get(const QString& name) { return Child<T>(&dialog, name); }
    QComboBox* combo(int n) { return get<QComboBox>(ControlName("Combo1", n)); }
    QRadioButton* option(int n) { return get<QRadioButton>(ControlName("Option1", n)); }
    QCheckBox* check(int n) { return get<QCheckBox>(ControlName("Check1", n)); }
    // Shows these settings as the live settings of the run.
    void show(const Settings& settings) {
        live = settings;
        dialog.showSettings();
    }

    // What a combo box does when the user picks an entry of its list.
    static void pick(QComboBox* box, const QString& entry) {
        const int index = box->findText(entry);
        ASSERT_GE(index, 0) << Str(entry);
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    test::TempDir dir;
    test::ScriptedPrompts prompts;
    SettingsFile file{dir.path("savescript.txt")};
    Settings live;
    ConfigDialog dialog{file, live};
};

TEST(ConfigDialog, WindowAndControlsFollowTheForm) {
    SettingsFile file("unused");
    Settings live;
    ConfigDialog dialog(file, live);
    EXPECT_EQ(Str(dialog.objectName()), "Form2");
    EXPECT_EQ(Str(dialog.windowTitle()), "Configuration");
    EXPECT_EQ(dialog.minimumSize(), QSize(565, 306));
    EXPECT_EQ(dialog.maximumSize(), QSize(565, 306));
    EXPECT_FALSE(dialog.windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

    const struct {
        const char* name;
        const char* parent;
        QRect place;
    } places[] = {
        {"Combo1_0", "Form2", {168, 24, 209, 21}},   {"Combo1_12", "Form2", {320, 176, 121, 19}},
        {"Label1_7", "Form2", {208, 176, 145, 17}},  {"Check1_2", "Form2", {16, 168, 185, 33}},
        {"Option1_1", "Frame1_0", {96, 16, 65, 25}}, {"Option1_2", "Frame1_1", {8, 16, 81, 41}},
        {"Dir1", "Frame1_2", {104, 24, 201, 106}},   {"Command5", "Frame1_2", {16, 104, 65, 33}},
        {"Command2", "Form2", {368, 248, 89, 41}},
    };
    for (const auto& expected : places) {
        const QWidget* widget = Child<QWidget>(&dialog, QString::fromLatin1(expected.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), expected.place) << expected.name;
        EXPECT_EQ(Str(widget->parentWidget()->objectName()), expected.parent) << expected.name;
    }

    // Filling the lists leaves the texts of creation until settings are shown.
    const ProposedValues lists = ListsWith({"Traceur A"});
    dialog.FillSettingLists(lists);
    EXPECT_EQ(Str(Child<QComboBox>(&dialog, "Combo1_7")->currentText()), "Combo1");
    EXPECT_EQ(Str(Child<QComboBox>(&dialog, "Combo1_0")->currentText()), "");
    EXPECT_EQ(Child<QComboBox>(&dialog, "Combo1_7")->count(), 7);
    live = DefaultSettings(lists);
    dialog.showSettings();
    EXPECT_EQ(dialog.shownSettings(), live);
}

TEST_F(ConfigDialogTest, EachPageShowsOnlyItsControls) {
    const std::set<QString> labels = {"Label1_0", "Label1_1", "Label1_2", "Label1_3",
                                      "Label1_4", "Label1_5", "Label1_6"};
    const struct {
        void (ConfigDialog::*page)();
        std::set<QString> shown;
        std::array<const char*, 9> captions;
    } pages[] = {
        {&ConfigDialog::ShowPrintingPage,
         {"Combo1_0", "Combo1_1", "Combo1_2", "Combo1_4", "Combo1_5", "Frame1_0", "Option1_0",
          "Option1_1", "Check1_2", "Label1_7", "Label1_8", "Combo1_12", "Combo1_13"},
         {"Choix imprimante :", "Format impression :", "Type de style de tracé :", "",
          "Décalage (mm):", "X :", "Y :", "Définir onglet :", "Echelle :"}},
        {&ConfigDialog::ShowAutocadPage,
         {"Combo1_6", "Combo1_7", "Command6", "Check1_0", "Check1_1", "Frame1_1", "Option1_2",
          "Option1_3"},
         {"Chemin autocad.exe", "Version autocad :", "", "", "", "", "", "", ""}},
        {&ConfigDialog::ShowGeneralPage,
         {"Combo1_10", "Combo1_11", "Command3", "Command4"},
         {"Chemin ouverture DWG :", "Chemin ouverture SCR :", "", "", "", "", "", "", ""}},
    };
    Settings paperSpace = live;
    paperSpace.check[2] = 1;
    show(paperSpace);
    for (const auto& page : pages) {
        dialog.ShowPrintingPage();
        (dialog.*page.page)();
        for (const QString& name : AllControlNames()) {
            const bool expected = page.shown.count(name) || labels.count(name) ||
                                  name == "Command1" || name == "Command2";
            EXPECT_EQ(ShownInWindow(get(name)), expected) << Str(name);
        }
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(Str(get<QLabel>(ControlName("Label1", i))->text()), page.captions[i]);
    }
    EXPECT_EQ(Str(option(2)->text()), "SDI = 0 Fenetre multiple");
    EXPECT_EQ(Str(check(0)->text()), "Sauvgarde configuration impression dans *.DWG");
}

TEST_F(ConfigDialogTest, PaperSpaceBoxShowsLayoutRowsOnPrintingPageOnly) {
    const auto rowsShown = [this] { return ShownInWindow(combo(12)) && ShownInWindow(combo(13)); };
    dialog.ShowPrintingPage();
    EXPECT_FALSE(rowsShown());
    Click(check(2));
    EXPECT_TRUE(rowsShown());
    Click(check(2));
    EXPECT_FALSE(rowsShown());
    Click(check(2));
    dialog.ShowAutocadPage();
    Click(check(0));
    EXPECT_FALSE(rowsShown());
}

TEST_F(ConfigDialogTest, OnlyPickingAVersionFromTheListLocksTheWindowMode) {
    dialog.ShowAutocadPage();
    dialog.show();
    const QString path = combo(6)->currentText();
    TypeText(combo(7), "Autocad LT 97/98");
    QTest::keyClick(combo(7), Qt::Key_Return);
    EXPECT_TRUE(option(2)->isChecked());
    EXPECT_TRUE(option(2)->isEnabled());

    pick(combo(7), "Autocad 14");
    EXPECT_TRUE(option(3)->isChecked());
    EXPECT_FALSE(option(2)->isEnabled());
    EXPECT_FALSE(get("Frame1_1")->isEnabled());
    EXPECT_EQ(combo(6)->currentText(), path);

    // After typing another version, a pick in any list releases the lock.
    TypeText(combo(7), "Autocad 2004");
    EXPECT_FALSE(option(2)->isEnabled());
    pick(combo(6), "c:\\program files\\acad2000\\acad.exe");
    EXPECT_TRUE(option(2)->isEnabled());
    EXPECT_TRUE(get("Frame1_1")->isEnabled());
    EXPECT_TRUE(option(3)->isChecked());
}

TEST_F(ConfigDialogTest, ControlsHoldEveryStateTheFileCanHold) {
    Settings settings = live;
    for (const auto& [options, checks] :
         {std::pair{std::array{false, false, false, false}, std::array{2, 0, 1}},
          std::pair{std::array{false, true, false, true}, std::array{1, 2, 0}}}) {
        settings.option = options;
        settings.check = checks;
        show(settings);
        EXPECT_EQ(dialog.shownSettings(), settings);
    }
}

TEST_F(ConfigDialogTest, EnregistreWritesPickedFolderIntoTheRowWhoseButtonWasPressed) {
    const QString plans = QString::fromStdString(dir.path("plans"));
    ASSERT_TRUE(QDir().mkpath(plans));
    const struct {
        const char* button;
        int target, other;
        QString folder, written;
    } cases[] = {{"Command3", 10, 11, plans, Native(plans) + QDir::separator()},
                 {"Command4", 11, 10, QDir::rootPath(), Native(QDir::rootPath())}};
    dialog.ShowGeneralPage();
    for (const auto& c : cases) {
        const QString untouched = combo(c.other)->currentText();
        Click(get(c.button));
        EXPECT_TRUE(ShownInWindow(get("Dir1")) && ShownInWindow(get("Drive1")));
        EXPECT_FALSE(get("Command2")->isEnabled());
        EXPECT_FALSE(combo(c.other)->isEnabled());
        ASSERT_TRUE(dialog.setDirPath(c.folder));
        Click(get("Command5"));
        EXPECT_EQ(Str(combo(c.target)->currentText()), Str(c.written));
        EXPECT_EQ(combo(c.other)->currentText(), untouched);
        EXPECT_FALSE(ShownInWindow(get("Frame1_2")));
        EXPECT_TRUE(get("Command2")->isEnabled() && combo(c.other)->isEnabled());
    }
}

TEST_F(ConfigDialogTest, QuitterCloseBoxOrEscapeEndPickingAndKeepTheEditsLive) {
    Settings ownLive;
    QPointer<ConfigDialog> own = new ConfigDialog(file, ownLive);
    enum class Closing { Quitter, CloseBox, Escape };
    for (const Closing closing : {Closing::Quitter, Closing::CloseBox, Closing::Escape}) {
        const std::string folder = "d:\\plans" + std::to_string(static_cast<int>(closing));
        own->ShowGeneralPage();
        own->show();
        TypeText(Child<QComboBox>(own, "Combo1_10"), QString::fromStdString(folder));
        Click(Child<QWidget>(own, "Command3"));
        if (closing == Closing::CloseBox)
            own->close();
        else if (closing == Closing::Escape)
            QTest::keyClick(own, Qt::Key_Escape);
        else
            Click(Child<QWidget>(own, "Command1"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_FALSE(own.isNull());
        EXPECT_FALSE(own->isVisible());
        EXPECT_EQ(Str(Child<QComboBox>(own, "Combo1_10")->currentText()), folder);
        EXPECT_EQ(ownLive.drawingFolder(), folder);
        EXPECT_TRUE(Child<QWidget>(own, "Command4")->isEnabled());
    }
    EXPECT_FALSE(test::FileExists(file.path())); // nothing was saved
    delete own;
}

TEST_F(ConfigDialogTest, FolderListStartsInCurrentFolderAndFallsBackFromUnreadableDrive) {
#ifdef _WIN32
    GTEST_SKIP() << "drive names differ on Windows";
#endif
    EXPECT_EQ(Str(dialog.dirPath()), Str(Native(QDir::currentPath())));
    EXPECT_FALSE(dialog.setDirPath(QString::fromStdString(dir.path("absent"))));
    auto* drives = get<QComboBox>("Drive1");
    drives->addItem(QStringLiteral("/pilotrame-absent-drive"));
    pick(drives, "/pilotrame-absent-drive");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(Str(prompts.messages[0].text), " Lecteur non disponible ");
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(Str(drives->currentText()), "/");
    EXPECT_EQ(Str(dialog.dirPath()), "/");
}

TEST_F(ConfigDialogTest, SaveAndQuitWritesTheControlsAndLoadBringsThemBack) {
    dialog.ShowPrintingPage();
    dialog.show();
    TypeText(combo(0), "Traceur B");
    Click(option(1));
    Click(check(2));
    Click(get("Command2"));
    EXPECT_FALSE(dialog.isVisible());
    const Settings saved = dialog.shownSettings();
    EXPECT_EQ(live, saved);
    EXPECT_EQ(live.printerName(), "Traceur B");
    Settings reread;
    ASSERT_TRUE(SettingsFile(file.path()).LoadSettings(reread));
    EXPECT_EQ(reread, saved);

    TypeText(combo(0), "Brouillon");
    Click(check(2));
    ASSERT_TRUE(dialog.LoadSettings());
    EXPECT_EQ(dialog.shownSettings(), saved);
    EXPECT_EQ(live, saved);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(ConfigDialogTest, BadStateInFileKeepsEarlierSlotsAndIsReportedWhenOpening) {
    Settings inFile = live;
    inFile.combo[0] = "Traceur B";
    inFile.setOption(slot::portrait, true);
    ASSERT_TRUE(file.SaveSettings(inFile));
    std::string bytes = test::ReadBytes(file.path());
    bytes.replace(SettingsFile::kRecordOffset + 16 * 60, 9, "Peut-etre");
    test::WriteBytes(file.path(), bytes);
    Settings before = live;
    before.check = {1, 1, 0};
    show(before);

    bool shownModally = false;
    bool quitterCloses = false;
    QTimer::singleShot(0, &dialog, [&] {
        shownModally = dialog.isVisible() && dialog.isModal() && ShownInWindow(combo(6));
        Click(get("Command1"));
        quitterCloses = !dialog.isVisible();
        dialog.hide();
    });
    dialog.openPage(ConfigDialog::Page::Autocad);
    EXPECT_TRUE(shownModally);
    EXPECT_TRUE(quitterCloses);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(Str(prompts.messages[0].title), "Pilotrame");
    EXPECT_TRUE(Str(prompts.messages[0].text)
                    .ends_with("\r\n13 Incompatibilité de type\r\nRéglage 16, « SDI = 0 Fenetre "
                               "multiple », illisible : « Peut-etre » au lieu de True, False, "
                               "Vrai, Faux ou un nombre entier."));

    EXPECT_EQ(dialog.shownSettings(), live);
    EXPECT_EQ(live.combo[0], "Traceur B");
    EXPECT_EQ(live.option, (std::array{false, true, true, false}));
    EXPECT_EQ(live.check, before.check);
}

TEST_F(ConfigDialogTest, EachOpeningShowsTheFileAndQuitterLeavesTheEditsLiveUnsaved) {
    ASSERT_TRUE(file.SaveSettings(live));
    const Settings inFile = live;
    const std::string bytes = test::ReadBytes(file.path());

    QTimer::singleShot(0, &dialog, [&] {
        TypeText(combo(11), "/autre/");
        Click(get("Command1"));
        dialog.hide();
    });
    dialog.openPage(ConfigDialog::Page::General);
    EXPECT_EQ(live.scriptFolder(), "/autre/");
    EXPECT_EQ(test::ReadBytes(file.path()), bytes);

    std::string shown;
    QTimer::singleShot(0, &dialog, [&] {
        shown = Str(combo(11)->currentText());
        Click(get("Command1"));
        dialog.hide();
    });
    dialog.openPage(ConfigDialog::Page::Printing);
    EXPECT_EQ(shown, inFile.scriptFolder());
    EXPECT_EQ(live, inFile);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(ConfigDialogTest, TooLongValueIsSavedCutOnlyWhenTheUserAgrees) {
    ASSERT_TRUE(file.SaveSettings(live));
    const std::string original = test::ReadBytes(file.path());
    dialog.ShowAutocadPage();
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        dialog.show();
        TypeText(combo(6), QString(75, QLatin1Char('x')));
        prompts.messages.clear();
        prompts.presetAnswer(answer);
        Click(get("Command2"));
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_EQ(Str(prompts.messages[0].title), "Configuration");
        EXPECT_EQ(prompts.messages[0].buttons, MessageButtons::YesNo);
        EXPECT_TRUE(prompts.messages[0].text.contains("Chemin autocad.exe"));
        const std::string bytes = test::ReadBytes(file.path());
        if (answer == Answer::No) {
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(bytes, original);
        } else {
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(bytes.substr(SettingsFile::kRecordOffset + 6 * 60, 60), std::string(60, 'x'));
        }
    }
}

// A script folder that is missing, or where the user may not write (permission bits stop neither
// root nor Windows), is saved only when the user agrees, told why and where it is chosen.
TEST_F(ConfigDialogTest, AScriptFolderThatCannotBeWrittenIsSavedOnlyWhenTheUserAgrees) {
    const std::string locked = dir.path("verrouille");
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    dialog.ShowGeneralPage();
    // Short enough for its setting, whatever the temporary folder.
    const std::string absent = std::string(1, kNativeSeparator) + "pilotrame-absent";
    for (const std::string& folder : {absent, locked}) {
        if (folder == locked && IsFolderWritable(locked))
            continue;
        for (const Answer answer : {Answer::No, Answer::Yes}) {
            dialog.show();
            TypeText(combo(slot::scriptFolder), QString::fromStdString(folder));
            prompts.presetAnswer(answer);
            prompts.messages.clear();
            Click(get("Command2"));
            ASSERT_EQ(prompts.messages.size(), 1);
            const std::string why =
                folder == locked ? "Vous n'avez pas le droit d'écrire dans le" : "Le";
            EXPECT_TRUE(Str(prompts.messages[0].text)
                            .starts_with(why + " dossier des scripts « " + folder + " »"))
                << Str(prompts.messages[0].text);
            EXPECT_TRUE(prompts.messages[0].text.contains("« Chemin ouverture SCR : »"));
            EXPECT_EQ(dialog.isVisible(), answer == Answer::No);
        }
    }
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
}

TEST_F(ConfigDialogTest, FailedSaveIsReportedAndTheDialogStaysOpen) {
    SettingsFile unwritable(dir.path("absent/savescript.txt"));
    ConfigDialog own(unwritable, live);
    own.showSettings();
    own.ShowGeneralPage();
    own.show();
    Click(Child<QWidget>(&own, "Command2"));
    EXPECT_TRUE(own.isVisible());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(Str(prompts.messages[0].title), "ERREUR !!");
    EXPECT_TRUE(prompts.messages[0].text.contains(QString::fromStdString(unwritable.path())));
}

TEST_F(ConfigDialogTest, ChoosingTheAutocadProgramTrimsTheChosenPath) {
    dialog.ShowAutocadPage();
    const QString before = combo(6)->currentText();
    const struct {
        QStringList files;
        QString expected;
    } cases[] = {{{}, before}, {{" C:\\x\\acad.exe "}, "C:\\x\\acad.exe"}};
    for (const auto& c : cases) {
        prompts.presetFiles(c.files);
        Click(get("Command6"));
        EXPECT_EQ(Str(combo(6)->currentText()), Str(c.expected));
    }
    ASSERT_EQ(prompts.dialogs.size(), 2);
    EXPECT_EQ(prompts.dialogs[0].kind, FileDialogKind::Open);
    EXPECT_EQ(Str(prompts.dialogs[0].title), "Selectionner autocad.exe");
    EXPECT_EQ(Str(prompts.dialogs[0].filter),
              "Executable (*.exe)|*.exe|Executable (*.bat)|*.bat|Tout (*.*)|*.*");
}

} // namespace
} // namespace pilotrame::gui

namespace pilotrame::gui {
namespace {

// The "Exécution" page keeps the settings of the run in execution.txt beside savescript.txt,
// whose bytes stay as they were; "Quitter" leaves the edits live without saving them.
TEST_F(ConfigDialogTest, TheExecutionPageKeepsTheRunSettingsInAFileOfTheirOwn) {
    RunSettings run;
    const std::string runPath = dir.path("execution.txt");
    dialog.attachRunSettings(run, runPath);
    ASSERT_TRUE(file.SaveSettings(live));
    const std::string settingsBytes = test::ReadBytes(file.path());

    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_TRUE(ShownInWindow(get("RunGroup")));
        EXPECT_FALSE(ShownInWindow(combo(0)));
        get<QComboBox>(QStringLiteral("RunEngine"))->setCurrentIndex(1);
        TypeText(get(QStringLiteral("RunConsole")), QStringLiteral("C:\\acad\\accoreconsole.exe"));
        get<QSpinBox>(QStringLiteral("RunWorkers"))->setValue(8);
        get<QSpinBox>(QStringLiteral("RunTimeout"))->setValue(90);
        get<QPlainTextEdit>(QStringLiteral("RunFailureMessages"))
            ->setPlainText(QStringLiteral(" Erreur fatale\n\nUnknown command"));
        Click(get("Command1")); // Quitter
        dialog.hide();
    });
    dialog.openPage(ConfigDialog::Page::Execution);
    EXPECT_EQ(run, (RunSettings{Engine::Console,
                                "C:\\acad\\accoreconsole.exe",
                                8,
                                90,
                                "fr-FR",
                                {"Erreur fatale", "Unknown command"}}));
    EXPECT_FALSE(test::FileExists(runPath));

    // Each opening reads the file anew; "Sauvegarder et Quitter" writes both files.
    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_EQ(get<QComboBox>(QStringLiteral("RunEngine"))->currentIndex(), 0);
        get<QSpinBox>(QStringLiteral("RunWorkers"))->setValue(4);
        Click(get("Command2"));
        dialog.hide();
    });
    dialog.openPage(ConfigDialog::Page::Execution);
    EXPECT_EQ(test::ReadBytes(runPath),
              WriteRunSettings(RunSettings{Engine::Autocad, "", 4, 600, "fr-FR"}));
    EXPECT_EQ(test::ReadBytes(file.path()), settingsBytes);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
} // namespace pilotrame::gui
