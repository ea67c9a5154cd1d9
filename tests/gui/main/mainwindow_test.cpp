#include "gui/main/mainwindow.h"

#include "base/paths.h"
#include "batch/journal.h"
#include "cli/generate.h"
#include "config/settingsfile.h"
#include "gui/controlname.h"
#include "gui/execution/batchrunwindow.h"
#include "gui/regional.h"
#include "gui/selection/advancedselectionwindow.h"
#include "script/drawingsection.h"
#include "script/operations.h"
#include "support/guitest.h"
#include "support/processes.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "texts/lists.h"
#include "texts/runs.h"
#include "texts/scripts.h"
#include "usecases/autocadcommand.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <vector>

namespace pilotrame {
namespace {

using test::Child;
using test::Click;
using test::ReadBytes;
using test::ShownInWindow;

const std::string kSep(1, kNativeSeparator);
using test::TypeText;
using test::WriteBytes;

using gui::ControlName;

QString Name(const char* base, int index) {
    return ControlName(base, index);
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : window(session) {
        session.programFolder = dir.folder();
        session.scriptFolder = dir.folder();
        session.settings =
            DefaultSettings(ProposeSettingValues({"P1"}, kNativeFolderStyle, "/home"));
        session.settings.combo[slot::drawingFolder] = dir.folder();
        session.settings.combo[slot::scriptFolder] = dir.folder();
        window.ResetMainWindow();
        window.show();
    }

    QCheckBox* check(const char* base, int index = -1) {
        return Child<QCheckBox>(&window, index < 0 ? QString::fromLatin1(base) : Name(base, index));
    }
    QRadioButton* option(int index) { return Child<QRadioButton>(&window, Name("Option1", index)); }
    QLineEdit* text4(int index) { return Child<QLineEdit>(&window, Name("Text4", index)); }
    QLabel* label4(int index) { return Child<QLabel>(&window, Name("Label4", index)); }
    QGroupBox* frame(int index) { return Child<QGroupBox>(&window, Name("Frame1", index)); }
    QPushButton* button(const char* objectName) {
        return Child<QPushButton>(&window, QString::fromLatin1(objectName));
    }
    QLineEdit* line(const char* objectName) {
        return Child<QLineEdit>(&window, QString::fromLatin1(objectName));
    }
    QPlainTextEdit* scriptText() { return Child<QPlainTextEdit>(&window, QStringLiteral("Text1")); }
    QAction* action(const char* objectName) {
        return Child<QAction>(&window, QString::fromLatin1(objectName));
    }
    std::string script() { return ReadBytes(session.scriptPath()); }

    // Operation mode: "IMPRIMER" unticked, panel shown.
    void operationMode() { Click(check("Check1")); }

    void chooseDrawings(const QStringList& names) {
        QStringList paths;
        for (const QString& file : names) {
            const std::string path = dir.path(file.toStdString());
            WriteBytes(path, test::kDrawingBytes);
            paths << QDir::toNativeSeparators(QString::fromStdString(path));
        }
        prompts.presetFiles(paths);
        Click(button("Command1"));
    }

    test::TempDir dir;
    test::ScriptedPrompts prompts;
    Session session;
    gui::MainWindow window;
};

TEST_F(MainWindowTest, StartsInPlotModeWithTheScriptItemsOff) {
    EXPECT_EQ(window.objectName(), "Form1");
    EXPECT_EQ(window.windowTitle(), "Pilotrame");
    EXPECT_TRUE(check("Check1")->isChecked());
    EXPECT_EQ(line("Text2")->text(), "0 Fichier");
    EXPECT_EQ(line("Text5")->text(), "Nb répertoires");
    EXPECT_TRUE(line("Text2")->isReadOnly());
    for (int i = 0; i < 8; ++i) {
        EXPECT_FALSE(check("Check4", i)->isEnabled()) << i;
        EXPECT_FALSE(check("Check4", i)->isChecked()) << i;
    }
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(ShownInWindow(frame(i))) << i;
    for (int i = 0; i < 18; ++i)
        EXPECT_FALSE(ShownInWindow(text4(i))) << i;
    EXPECT_FALSE(ShownInWindow(scriptText()));
    EXPECT_FALSE(ShownInWindow(button("Command8")));
    EXPECT_FALSE(button("Command10")->isEnabled());
    for (const char* item :
         {"mnuouvrir", "mnuenregistrer", "mnuenregistrersous", "mnucopier", "mnucoller"})
        EXPECT_FALSE(action(item)->isEnabled()) << item;
    for (const char* item : {"mnuquitter", "mnuimpression", "mnuautocad", "mnugeneral", "mnuaide"})
        EXPECT_TRUE(action(item)->isEnabled()) << item;
}

TEST_F(MainWindowTest, CaptionsAreTheFrenchTexts) {
    const std::pair<const char*, const char*> buttons[] = {
        {"Command1", "Selection fichiers"},
        {"Command2", "Générer script"},
        {"Command3", "Executer script"},
        {"Command4", "Selection avancée"},
        {"Command8", "..."},
        {"Command10", "..."},
        {"Command20", "Macro VBA Autocad"},
        {"Command30", "Inserer texte d'un Tableur"}};
    for (const auto& [objectName, caption] : buttons)
        EXPECT_EQ(button(objectName)->text(), QString::fromUtf8(caption)) << objectName;
    const char* operations[] = {
        "PURGER",  "ZOOM etendue",       "TRANSFERT",         "EFFACER",
        "INSERER", "REMPLACER ATTRIBUT", "RENOMMER FICHIERS", "REMPLACE TEXTE (vba)"};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(check("Check4", i)->text(), QString::fromUtf8(operations[i]));
    const char* options[] = {"Bloc",    "Tout",          "Fenêtre",  "Trajet",
                             "Fichier", "Presse papier", "DXF->DWG", "DWG->DXF",
                             "Capture", "Supprimer",     "Ajouter",  "Extension:"};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(option(i)->text(), QString::fromUtf8(options[i]));
    EXPECT_EQ(label4(7)->text(), "Longeur:");
    EXPECT_EQ(text4(13)->text(), ".xls");
    EXPECT_EQ(text4(11)->text(), "1");
    EXPECT_EQ(action("mnuquitter")->text(), "&Quitter");
    EXPECT_EQ(action("mnugeneral")->text(), "&Général");
}

TEST_F(MainWindowTest, UntickingPlotShowsThePanelWithParametersDisabled) {
    operationMode();
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(check("Check4", i)->isEnabled()) << i;
        EXPECT_FALSE(check("Check4", i)->isChecked()) << i;
    }
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(ShownInWindow(frame(i))) << i;
    for (int i = 0; i < 18; ++i) {
        EXPECT_TRUE(ShownInWindow(text4(i))) << i;
        const bool renaming = i >= 10 && i <= 13;
        EXPECT_EQ(text4(i)->isEnabled(), renaming && i != 12) << i;
    }
    for (int i = 0; i < 12; ++i) {
        const bool renaming = i >= 6 && i <= 9;
        EXPECT_EQ(label4(i)->isEnabled(), renaming && i != 8) << i;
    }
    EXPECT_TRUE(ShownInWindow(button("Command8")));
    EXPECT_FALSE(button("Command8")->isEnabled());
}

TEST_F(MainWindowTest, OperationRulesEnableOnlyTheirOwnParameters) {
    operationMode();
    Click(check("Check4", 3)); // EFFACER
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(text4(i)->isEnabled()) << i;
    EXPECT_TRUE(label4(0)->isEnabled());
    EXPECT_FALSE(text4(4)->isEnabled());
    EXPECT_FALSE(text4(14)->isEnabled());
    // The renaming switch ticked and unticked leaves the panel as it was.
    Click(check("Check20"));
    Click(check("Check20"));
    EXPECT_TRUE(text4(0)->isEnabled());
    Click(check("Check4", 3));
    EXPECT_FALSE(text4(0)->isEnabled());

    Click(check("Check4", 5)); // REMPLACER ATTRIBUT
    for (int i = 4; i <= 9; ++i)
        EXPECT_TRUE(text4(i)->isEnabled()) << i;
    EXPECT_TRUE(label4(5)->isEnabled());
    EXPECT_FALSE(text4(0)->isEnabled());

    Click(check("Check4", 7)); // REMPLACE TEXTE
    for (int i = 14; i <= 17; ++i)
        EXPECT_TRUE(text4(i)->isEnabled()) << i;
    EXPECT_TRUE(label4(11)->isEnabled());

    Click(check("Check4", 6)); // RENOMMER FICHIERS
    EXPECT_TRUE(frame(4)->isEnabled());
    Click(check("Check4", 6));
    EXPECT_FALSE(frame(4)->isEnabled());
    EXPECT_FALSE(frame(5)->isEnabled());
}

TEST_F(MainWindowTest, InsertFileButtonFollowsTheInsertChoice) {
    operationMode();
    Click(check("Check4", 4));
    EXPECT_FALSE(button("Command8")->isEnabled());
    Click(option(4)); // Fichier
    EXPECT_TRUE(button("Command8")->isEnabled());
    Click(option(5)); // Presse papier
    EXPECT_FALSE(button("Command8")->isEnabled());
    Click(option(4));
    Click(check("Check4", 4));
    EXPECT_FALSE(button("Command8")->isEnabled());
}

TEST_F(MainWindowTest, RenamingRuleEnablesTheFieldsItUses) {
    operationMode();
    Click(check("Check4", 6));
    struct Case {
        int option;
        bool text;
        bool length;
    };
    const Case cases[] = {{10, true, false}, {11, true, true}, {9, false, true}};
    for (const auto& c : cases) {
        Click(option(c.option));
        EXPECT_EQ(text4(12)->isEnabled(), c.text) << c.option;
        EXPECT_EQ(label4(8)->isEnabled(), c.text) << c.option;
        EXPECT_EQ(text4(11)->isEnabled(), c.length) << c.option;
        EXPECT_EQ(label4(7)->isEnabled(), c.length) << c.option;
    }
}

TEST_F(MainWindowTest, ScriptModeHidesThePanelAndShowsTheText) {
    operationMode();
    Click(check("Check4", 0));
    Click(check("Check4", 3));
    Click(check("Check10"));
    for (int i = 0; i < 8; ++i)
        EXPECT_FALSE(check("Check4", i)->isChecked()) << i;
    EXPECT_FALSE(ShownInWindow(frame(0)));
    EXPECT_TRUE(ShownInWindow(scriptText()));
    EXPECT_TRUE(scriptText()->isEnabled());
    EXPECT_FALSE(scriptText()->isReadOnly());
    EXPECT_TRUE(button("Command10")->isEnabled());
    EXPECT_TRUE(action("mnuouvrir")->isEnabled());
    EXPECT_TRUE(action("mnuenregistrersous")->isEnabled());
    EXPECT_FALSE(action("mnuenregistrer")->isEnabled());

    Click(check("Check10"));
    EXPECT_FALSE(ShownInWindow(scriptText()));
    EXPECT_TRUE(ShownInWindow(frame(0)));
    EXPECT_TRUE(check("Check4", 0)->isEnabled());
    EXPECT_FALSE(check("Check4", 0)->isChecked());
    EXPECT_FALSE(button("Command10")->isEnabled());
}

TEST_F(MainWindowTest, PlotModeFromScriptModeKeepsTheScriptText) {
    Click(check("Check10"));
    scriptText()->setPlainText(QStringLiteral("zoom\net"));
    Click(check("Check1"));
    EXPECT_FALSE(check("Check10")->isChecked());
    EXPECT_FALSE(ShownInWindow(scriptText()));
    EXPECT_FALSE(button("Command10")->isEnabled());
    EXPECT_FALSE(action("mnuouvrir")->isEnabled());
    EXPECT_FALSE(action("mnuenregistrersous")->isEnabled());
    Click(check("Check10"));
    EXPECT_EQ(scriptText()->toPlainText(), "zoom\net");
}

TEST_F(MainWindowTest, RenamingSwitchKeepsThePanelHidden) {
    Click(check("Check20"));
    EXPECT_TRUE(check("Check1")->isChecked());
    Click(check("Check1")); // plot off while the renaming switch is on
    EXPECT_FALSE(check("Check4", 0)->isEnabled());
    Click(check("Check20"));
    EXPECT_TRUE(check("Check4", 0)->isEnabled());

    Click(check("Check20"));
    Click(check("Check1")); // plot on unticks the renaming switch
    EXPECT_FALSE(check("Check20")->isChecked());

    // Script mode entered with the renaming switch on still offers its commands.
    Click(check("Check20"));
    Click(check("Check10"));
    EXPECT_FALSE(check("Check20")->isChecked());
    EXPECT_FALSE(check("Check1")->isChecked());
    EXPECT_TRUE(button("Command10")->isEnabled());
    EXPECT_TRUE(action("mnuouvrir")->isEnabled());
}

TEST_F(MainWindowTest, SelectionThenGenerationEndToEnd) {
    chooseDrawings({QStringLiteral("A01.dwg"), QStringLiteral("A02.dwg")});
    ASSERT_EQ(prompts.dialogs.size(), 1);
    const gui::FileDialogRequest& request = prompts.dialogs.front();
    EXPECT_EQ(request.kind, gui::FileDialogKind::OpenMultiple);
    EXPECT_EQ(request.title, "Choisissez un fichier");
    EXPECT_EQ(request.filter, "Autocad (*.dwg)|*.dwg|Echange (*.dxf)|*.dxf|Microstation (*.dng)|"
                              "*.dgn|Excel (*.xls)|*.xls|Tous (*.*)|*.*");
    EXPECT_EQ(request.startFolder.toStdString(), dir.folder());
    EXPECT_EQ(line("Text2")->text(), "2");
    std::string folder = dir.folder();
    EXPECT_EQ(ReadBytes(session.listPath()), "\v" + folder + "\r\n\tA01.dwg\r\n\tA02.dwg\r\n");

    operationMode();
    Click(check("Check4", 0));
    Click(option(1)); // Tout
    Click(check("Check4", 1));
    Click(button("Command2"));
    EXPECT_TRUE(prompts.messages.isEmpty());
    const std::string body = "zoom\r\net\r\npurger\r\nto\r\n\r\nn\r\n_qsave\r\n_close\r\n";
    EXPECT_EQ(script(), "_.open\r\n\"" + folder + "A01.dwg\"\r\n" + body + "_.open\r\n\"" + folder +
                            "A02.dwg\"\r\n" + body);
}

TEST_F(MainWindowTest, OneChosenDrawingIsListedByItsPath) {
    chooseDrawings({QStringLiteral("plan é.dwg")});
    EXPECT_EQ(line("Text2")->text(), "1");
    EXPECT_EQ(ReadBytes(session.listPath()), "\v" + dir.folder() + "\r\n\tplan \xE9.dwg\r\n");
}

TEST_F(MainWindowTest, CancellingTheSelectionChangesNothing) {
    Click(button("Command1")); // cancelled at the first use
    EXPECT_FALSE(test::FileExists(session.listPath()));
    EXPECT_EQ(line("Text2")->text(), "0 Fichier");

    chooseDrawings({QStringLiteral("A.dwg"), QStringLiteral("B.dwg"), QStringLiteral("C.dwg")});
    const std::string list = ReadBytes(session.listPath());
    prompts.presetFiles({});
    Click(button("Command1"));
    EXPECT_EQ(ReadBytes(session.listPath()), list);
    EXPECT_EQ(line("Text2")->text(), "3");
}

TEST_F(MainWindowTest, GenerationFailureIsReportedAndStops) {
    chooseDrawings({QStringLiteral("A.dwg"), QStringLiteral("B.dwg")});
    WriteBytes(session.scriptPath(), "previous\r\n");
    operationMode();
    Click(check("Check4", 3));
    TypeText(text4(1), QString());
    Click(button("Command2"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages.front().title, "ERREUR !!");
    EXPECT_EQ(prompts.messages.front().text.toStdString(),
              "Génération arrêtée. La case « EFFACER, 1er point Y » ne contient pas un nombre : "
              "\"\"\r\nLe script précédent est resté tel qu'il était.");
    // Found before the script is emptied: the user keeps the script they had.
    EXPECT_EQ(script(), "previous\r\n");
}

// A character AutoCAD would get as "?" stops the generation, naming the box the user typed it in.
TEST_F(MainWindowTest, ACharacterOutsideTheCodePageNamesItsBox) {
    chooseDrawings({QStringLiteral("A.dwg")});
    WriteBytes(session.scriptPath(), "previous\r\n");
    operationMode();
    Click(check("Check4", 5)); // REMPLACER ATTRIBUT
    // Typed keys cannot carry accents and symbols: the boxes are filled as a paste would.
    text4(8)->setText(QStringLiteral("Réf. A"));
    text4(9)->setText(QStringLiteral("Réf. ☺"));
    Click(button("Command2"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages.front().title, "ERREUR !!");
    EXPECT_EQ(prompts.messages.front().text.toStdString(),
              "Génération arrêtée. La case « REMPLACER ATTRIBUT, nouvelle valeur » contient un "
              "caractère qu'AutoCAD ne recevrait pas : « ☺ »\r\nLe script précédent est resté tel "
              "qu'il était.");
    EXPECT_EQ(script(), "previous\r\n");
}

TEST_F(MainWindowTest, CoordinatesUseTheDecimalPoint) {
    chooseDrawings({QStringLiteral("A.dwg")});
    operationMode();
    Click(check("Check4", 3));
    Click(option(3)); // Trajet
    TypeText(text4(2), QStringLiteral("10"));
    TypeText(text4(3), QStringLiteral("5.5"));
    Click(button("Command2"));
    EXPECT_NE(script().find("effacer\r\nt\r\n0,0\r\n10,5.5\r\n\r\n\r\n"), std::string::npos);
}

TEST_F(MainWindowTest, ScriptTextTypedWithLineFeedsIsWrittenWithCrLf) {
    chooseDrawings({QStringLiteral("A.dwg")});
    Click(check("Check10"));
    scriptText()->setPlainText(QStringLiteral("zoom\net\n\n"));
    Click(button("Command2"));
    EXPECT_EQ(script(),
              "_.open\r\n\"" + dir.folder() + "A.dwg\"\r\nzoom\r\net\r\n_qsave\r\n_close\r\n");
}

// "Executer script" and "Générer script" without a list: the previous script stays.
TEST_F(MainWindowTest, ExecuteAndGenerateWithoutAListReportAndKeepTheScript) {
    WriteBytes(session.scriptPath(), "previous\r\n");
    for (const char* command : {"Command3", "Command2"}) {
        prompts.messages.clear();
        Click(button(command));
        ASSERT_EQ(prompts.messages.size(), 1) << command;
        EXPECT_EQ(prompts.messages.front().title, "ERREUR !!");
        EXPECT_EQ(script(), "previous\r\n") << command;
    }
}

// The stand-in for AutoCAD, copied into a folder whose name holds a space.
std::string InstallRecorder(const test::TempDir& dir) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(dir.folder()) / "Program Files";
    fs::create_directories(folder);
    const fs::path target = folder / fs::path(PILOTRAME_ARGRECORDER).filename();
    fs::copy_file(PILOTRAME_ARGRECORDER, target);
    return target.string();
}

std::string WaitForFile(const std::string& path) {
    QElapsedTimer timer;
    timer.start();
    while (!test::FileExists(path) && timer.elapsed() < 10000)
        QTest::qWait(50);
    QTest::qWait(100); // let the recorder finish writing
    return test::FileExists(path) ? ReadBytes(path) : std::string();
}

// Makes the stand-in the AutoCAD program; returns the file where it records its arguments.
std::string UseRecorderAsAutocad(const test::TempDir& dir, Session& session) {
    const std::string recorder = InstallRecorder(dir);
    session.settings.combo[slot::acadPath] = recorder;
    return (std::filesystem::path(recorder).parent_path() / "arguments.txt").string();
}

// "Générer script" and --generate are one use case: for one job, one list and the answer the
// command line always gives (every drawing kept), they write the same bytes.
TEST_F(MainWindowTest, TheWindowAndTheCommandLineWriteTheSameScript) {
    chooseDrawings({QStringLiteral("A.dwg"), QStringLiteral("B é.dwg")});
    std::filesystem::remove(dir.path("B é.dwg")); // a drawing the check reports
    operationMode();
    Click(check("Check4", 0));
    Click(check("Check4", 1));
    Click(check("Check4", 3));
    TypeText(text4(0), QStringLiteral("1.5"));
    TypeText(text4(3), QStringLiteral("-2"));
    prompts.presetDrawingAnswer(DrawingCheckAnswer::Continue);
    Click(button("Command2"));
    ASSERT_TRUE(prompts.messages.isEmpty());
    const std::string fromWindow = script();
    // The script is in the ANSI code page.
    ASSERT_NE(fromWindow.find("B \xE9.dwg"), std::string::npos);

    ASSERT_TRUE(SettingsFile(session.settingsPath()).SaveSettings(session.settings));
    const std::string job = dir.path("travail.pilotrame");
    ASSERT_TRUE(SaveJobFile(job, window.currentMainJob(), gui::UserDecimalSeparator()));
    std::filesystem::remove(session.scriptPath());
    GenerateEnvironment env;
    env.programFolder = session.programFolder;
    env.decimalSeparator = gui::UserDecimalSeparator();
    std::ostringstream err;
    const Result<CommandLine> command = ParseCommandLine({"--generate", "--job", job});
    ASSERT_TRUE(command);
    EXPECT_EQ(RunGenerate(*command, env, err), ExitCode::Success) << err.str();
    EXPECT_EQ(script(), fromWindow);
}

TEST_F(MainWindowTest, ExecuteWritesTheScriptAndStartsAutocadOnIt) {
    const std::string recorded = UseRecorderAsAutocad(dir, session);
    chooseDrawings({QStringLiteral("A.dwg")});
    Click(button("Command3"));
    const std::string arguments = WaitForFile(recorded);
    // The program's path is quoted, "Program Files" and all: AutoCAD gets "/B" and the script.
    const std::string scriptName =
        BuildAutocadCommand(session.settings.combo[slot::acadPath], session.scriptFolder)
            .arguments.back();
    EXPECT_EQ(arguments, "/B\n" + scriptName + "\n");
    EXPECT_NE(script().find("-traceur"), std::string::npos);
}

// "Essai sur copies…" on AutoCAD: the count asked, AutoCAD started on the copies' script in the
// trial's folder, and that folder opened when the user says so.
TEST_F(MainWindowTest, TheTrialStartsAutocadOnCopiesAndOpensTheirFolder) {
    const std::string recorded = UseRecorderAsAutocad(dir, session);
    chooseDrawings({QStringLiteral("A.dwg"), QStringLiteral("B.dwg")});
    prompts.presetNumber(1);
    prompts.presetAnswer(gui::Answer::Yes);
    Click(button("Command31"));
    ASSERT_EQ(prompts.numberRequests.size(), 1);
    EXPECT_EQ(prompts.numberRequests[0].value, 3);
    ASSERT_EQ(prompts.openedFolders.size(), 1)
        << (prompts.messages.isEmpty() ? QString() : prompts.messages[0].text).toStdString();
    const std::string folder = prompts.openedFolders[0].toStdString();
    EXPECT_TRUE(folder.ends_with(std::string("-essai") + kNativeSeparator)) << folder;
    const std::string arguments = WaitForFile(recorded);
    EXPECT_NE(arguments.find(folder), std::string::npos) << arguments;
    EXPECT_TRUE(test::FileExists(folder + "plans" + kNativeSeparator + "A.dwg"));
    EXPECT_FALSE(test::FileExists(folder + "plans" + kNativeSeparator + "B.dwg"));
    EXPECT_FALSE(test::FileExists(session.scriptPath()));
}

// The check of the script text shows as the user types: each finding's line marked in the box,
// and listed under it; a click on an entry puts the cursor on its line.
TEST_F(MainWindowTest, TheScriptTextsFindingsShowAtTheirLines) {
    Click(check("Check10"));
    scriptText()->setFocus();
    for (const char* line : {"zoom", "calque", "(setq a 1"}) {
        QTest::keyClicks(scriptText(), QString::fromLatin1(line));
        QTest::keyClick(scriptText(), Qt::Key_Return);
    }
    QTest::keyClicks(scriptText(), QStringLiteral("regen"));
    QListWidget* findings = nullptr;
    const auto settle = [&](int count) {
        QElapsedTimer timer;
        timer.start();
        do {
            QTest::qWait(20);
            findings = window.findChild<QListWidget*>(QStringLiteral("scriptFindings"));
        } while ((!findings || findings->count() != count) && timer.elapsed() < 5000);
        return findings ? findings->count() : -1;
    };
    ASSERT_EQ(settle(2), 2);
    EXPECT_TRUE(ShownInWindow(findings));
    EXPECT_TRUE(findings->item(0)->text().startsWith(QStringLiteral("ligne 2 : « calque »")));
    std::vector<int> marked;
    for (const QTextEdit::ExtraSelection& mark : scriptText()->extraSelections())
        marked.push_back(mark.cursor.blockNumber() + 1);
    EXPECT_EQ(marked, (std::vector<int>{2, 3}));

    scriptText()->moveCursor(QTextCursor::End);
    QTest::mouseClick(findings->viewport(), Qt::LeftButton, {},
                      findings->visualItemRect(findings->item(0)).center());
    EXPECT_EQ(scriptText()->textCursor().blockNumber(), 1);

    // "Repères" puts a marker where the cursor stands.
    QMenu* markers = Child<QPushButton>(&window, QStringLiteral("scriptMarkers"))->menu();
    markers->actions().at(2)->trigger();
    EXPECT_TRUE(scriptText()->toPlainText().contains(QStringLiteral("<NOM>calque")));

    scriptText()->setPlainText(QStringLiteral("zoom\net"));
    EXPECT_EQ(settle(0), 0);
    EXPECT_FALSE(ShownInWindow(findings));
    EXPECT_TRUE(scriptText()->extraSelections().isEmpty());
}

// The findings follow the engine of the run: back in the window after the configuration, a
// text is checked again for the console.
TEST_F(MainWindowTest, TheFindingsFollowTheEngineOfTheRun) {
    Click(check("Check10"));
    scriptText()->setPlainText(QStringLiteral("-vbarun macro"));
    QTest::qWait(600);
    EXPECT_EQ(window.findChild<QListWidget*>(QStringLiteral("scriptFindings")), nullptr);
    session.runSettings.engine = Engine::Console;
    QEvent activated(QEvent::WindowActivate);
    QApplication::sendEvent(&window, &activated);
    auto* findings = Child<QListWidget>(&window, QStringLiteral("scriptFindings"));
    ASSERT_EQ(findings->count(), 1);
    EXPECT_TRUE(findings->item(0)->text().contains(QStringLiteral("VBA")));
}

// "Executer script" asks before running a script text that will certainly fail; "Générer script"
// and a mere "attention" never ask.
TEST_F(MainWindowTest, ExecuteAsksBeforeAScriptTextThatWillFail) {
    const std::string recorded = UseRecorderAsAutocad(dir, session);
    chooseDrawings({QStringLiteral("A.dwg")});
    Click(check("Check10"));
    scriptText()->setPlainText(QStringLiteral("calque\n(setq a 1\nzoom"));
    prompts.presetAnswer(gui::Answer::No);
    Click(button("Command3"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].buttons, gui::MessageButtons::ContinueCancel);
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("ligne 2 : ")));
    EXPECT_FALSE(prompts.messages[0].text.contains(QStringLiteral("ligne 1 : ")));
    EXPECT_FALSE(test::FileExists(session.scriptPath()));

    Click(button("Command2"));
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_NE(script().find("(setq a 1\r\nzoom"), std::string::npos);

    prompts.presetAnswer(gui::Answer::Yes);
    Click(button("Command3"));
    EXPECT_EQ(prompts.messages.size(), 2);
    EXPECT_NE(WaitForFile(recorded), "");

    std::filesystem::remove(recorded);
    scriptText()->setPlainText(QStringLiteral("calque"));
    Click(button("Command3"));
    EXPECT_EQ(prompts.messages.size(), 2);
    EXPECT_NE(WaitForFile(recorded), "");
}

TEST_F(MainWindowTest, ExecuteDoesNotStartAutocadAfterAFailedGeneration) {
    const std::string recorded = UseRecorderAsAutocad(dir, session);
    chooseDrawings({QStringLiteral("A.dwg")});
    operationMode();
    Click(check("Check4", 5));
    TypeText(text4(4), QStringLiteral("abc"));
    Click(button("Command3"));
    ASSERT_EQ(prompts.messages.size(), 1);
    QTest::qWait(500);
    EXPECT_FALSE(test::FileExists(recorded));
}

// AutoCAD that cannot be started is named with why, a batch file before anything is asked of the
// system.
TEST_F(MainWindowTest, AutocadThatCannotStartIsNamedWithWhy) {
    chooseDrawings({QStringLiteral("A.dwg")});
    for (const auto& [program, said] :
         {std::pair{dir.path("absent.exe"),
                    "AutoCAD n'a pas pu être démarré : programme introuvable."},
          std::pair{dir.path("acad.Bat"), "Le programme d'AutoCAD est un fichier de commandes"}}) {
        session.settings.combo[slot::acadPath] = program;
        prompts.messages.clear();
        Click(button("Command3"));
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.messages.front().text.startsWith(QString::fromUtf8(said)));
        EXPECT_TRUE(prompts.messages.front().text.contains(QString::fromStdString(program)));
    }
}

TEST_F(MainWindowTest, ExecuteWithRenamingTickedDoesNotGenerate) {
    chooseDrawings({QStringLiteral("A.dwg")});
    operationMode();
    Click(check("Check4", 6));
    Click(button("Command3"));
    EXPECT_FALSE(test::FileExists(session.scriptPath()));
}

TEST_F(MainWindowTest, OpenScriptFileLoadsTheWholeFile) {
    struct Case {
        std::string content;
        QString text;
    };
    const Case cases[] = {{"zoom\r\net\r\n\r\n", QStringLiteral("zoom\net\n")},
                          {"zoom\r\net\r\n", QStringLiteral("zoom\net")},
                          {"zoom\r\net", QStringLiteral("zoom\net")},
                          {"\r\nzoom\r\n", QStringLiteral("\nzoom")},
                          {"calque \xE9lectrique\r\n", QStringLiteral("calque électrique")},
                          {"", QString()}};
    Click(check("Check10"));
    for (const auto& c : cases) {
        scriptText()->setPlainText(QStringLiteral("before"));
        const std::string path = dir.path("script.scr");
        WriteBytes(path, c.content);
        prompts.presetFiles({QString::fromStdString(path)});
        Click(button("Command10"));
        EXPECT_EQ(scriptText()->toPlainText(), c.text) << c.content;
    }
    const gui::FileDialogRequest& request = prompts.dialogs.back();
    EXPECT_EQ(request.title, "Choisissez un fichier");
    EXPECT_EQ(request.filter, "Script (*.scr)|*.scr|Texte (*.txt)|*.txt|Tout (*.*)|*.*");

    scriptText()->setPlainText(QStringLiteral("kept"));
    action("mnuouvrir")->trigger(); // cancelled
    EXPECT_EQ(scriptText()->toPlainText(), "kept");
}

// A script file larger than the limit, or a folder, is refused with a message naming it; the box
// keeps its text.
TEST_F(MainWindowTest, AScriptFileTooLargeOrNotAFileIsRefusedAndTheTextKept) {
    Click(check("Check10"));
    const std::string large = dir.path("grand.scr");
    WriteBytes(large, std::string(kScriptTextSizeLimit + 1, 'x'));
    const std::string folder = dir.path("dossier.scr");
    std::filesystem::create_directory(ToFsPath(folder));
    const std::pair<std::string, QString> cases[] = {
        {large, QStringLiteral(" est trop grand pour ce genre de fichier (plus de 1 Mio)")},
        {folder, QStringLiteral(" n'est pas un fichier ordinaire (tube, périphérique ou dossier)")},
    };
    for (const auto& [path, problem] : cases) {
        prompts.messages.clear();
        scriptText()->setPlainText(QStringLiteral("kept"));
        prompts.presetFiles({QString::fromStdString(path)});
        Click(button("Command10"));
        ASSERT_EQ(prompts.messages.size(), 1) << path;
        EXPECT_EQ(prompts.messages[0].title, "ERREUR !!");
        EXPECT_TRUE(prompts.messages[0].text.startsWith(
            QStringLiteral("« ") + QString::fromStdString(path) + QStringLiteral(" »") + problem))
            << test::Str(prompts.messages[0].text);
        EXPECT_EQ(scriptText()->toPlainText(), "kept");
    }
}

TEST_F(MainWindowTest, SaveScriptFileAsWritesTrimmedTextWithCrLf) {
    Click(check("Check10"));
    scriptText()->setPlainText(QStringLiteral("  zoom\net é  "));
    const std::string path = dir.path("nouveau.scr");
    prompts.presetFiles({QString::fromStdString(path)});
    action("mnuenregistrersous")->trigger();
    EXPECT_EQ(ReadBytes(path), "zoom\r\net \xE9\r\n");
    const gui::FileDialogRequest& request = prompts.dialogs.back();
    EXPECT_EQ(request.kind, gui::FileDialogKind::Save);
    EXPECT_EQ(request.title, "Enregistrer fichier script");
    EXPECT_EQ(request.proposedName, "script_perso.scr");

    EXPECT_TRUE(prompts.messages.isEmpty()); // a new file needs no question

    // Replacing asks first; No keeps the file.
    scriptText()->setPlainText(QStringLiteral("autre"));
    prompts.presetFiles({QString::fromStdString(path)});
    prompts.presetAnswer(gui::Answer::No);
    action("mnuenregistrersous")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages.back().buttons, gui::MessageButtons::YesNo);
    EXPECT_EQ(ReadBytes(path), "zoom\r\net \xE9\r\n");
    prompts.presetFiles({QString::fromStdString(path)});
    prompts.presetAnswer(gui::Answer::Yes);
    action("mnuenregistrersous")->trigger();
    EXPECT_EQ(ReadBytes(path), "autre\r\n");

    // A read-only file is reported and kept.
    test::SetReadOnly(path, true);
    prompts.presetFiles({QString::fromStdString(path)});
    prompts.presetAnswer(gui::Answer::Yes);
    action("mnuenregistrersous")->trigger();
    ASSERT_EQ(prompts.messages.size(), 4); // the question, then the failure
    EXPECT_EQ(prompts.messages.back().title, "ERREUR !!");
    EXPECT_EQ(ReadBytes(path), "autre\r\n");

    // A character the code page would turn into "?" is refused, naming its line.
    scriptText()->setPlainText(QStringLiteral("zoom\ntexte ☺"));
    prompts.presetFiles({QString::fromStdString(dir.path("autre.scr"))});
    action("mnuenregistrersous")->trigger();
    EXPECT_EQ(prompts.messages.back().text.toStdString(),
              "Le script n'a pas été enregistré. La case « SCRIPT FICHIER, ligne 2 » contient un "
              "caractère qu'AutoCAD ne recevrait pas : « ☺ »");
    EXPECT_FALSE(test::FileExists(dir.path("autre.scr")));
}

TEST_F(MainWindowTest, ChooseInsertDrawingFillsThePath) {
    operationMode();
    Click(check("Check4", 4));
    Click(option(4));
    prompts.presetFiles({QStringLiteral("C:\\blocs\\cartouche.dwg")});
    Click(button("Command8"));
    EXPECT_EQ(line("Text3")->text(), "C:\\blocs\\cartouche.dwg");
    EXPECT_EQ(prompts.dialogs.back().filter, "Autocad (*.dwg)|*.dwg");
    Click(button("Command8")); // cancelled
    EXPECT_EQ(line("Text3")->text(), "C:\\blocs\\cartouche.dwg");
}

TEST_F(MainWindowTest, LongPathsAreKeptWhole) {
    const QString longName = QString(150, QLatin1Char('n')) + QStringLiteral(".dwg");
    chooseDrawings({longName});
    EXPECT_EQ(ReadBytes(session.listPath()),
              "\v" + dir.folder() + "\r\n\t" + longName.toStdString() + "\r\n");
    Click(button("Command2"));
    EXPECT_NE(script().find(longName.toStdString() + "\"\r\n"), std::string::npos);

    operationMode();
    Click(check("Check4", 4));
    Click(option(4));
    const QString longPath =
        QStringLiteral("C:\\") + QString(300, QLatin1Char('d')) + QStringLiteral("\\bloc.dwg");
    prompts.presetFiles({longPath});
    Click(button("Command8"));
    EXPECT_EQ(line("Text3")->text(), longPath);
}

TEST_F(MainWindowTest, AboutBoxAndShutdown) {
    action("mnuaide")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages.front().title, "Version");
    EXPECT_TRUE(prompts.messages.front().text.startsWith(
        QStringLiteral("Version V" PILOTRAME_VERSION " En cours de développement\r\n")));

    QSignalSpy shutdown(&window, &gui::MainWindow::shutdownRequested);
    action("mnuquitter")->trigger();
    window.close();
    EXPECT_EQ(shutdown.count(), 2);
    EXPECT_TRUE(prompts.messages.size() == 1); // no question asked
}

// Each parameter box feeds its own field of the job, so that no two boxes are swapped.
TEST_F(MainWindowTest, EveryParameterBoxFeedsItsOwnFieldOfTheJob) {
    operationMode();
    for (const int operation : {3, 4, 5, 7})
        Click(check("Check4", operation));
    for (int i = 0; i < 18; ++i) {
        if (i < 10 || i > 13)
            TypeText(text4(i), QStringLiteral("v%1").arg(i));
    }
    Click(option(4)); // Fichier
    prompts.presetFiles({QStringLiteral("C:\\blocs\\b.dwg")});
    Click(button("Command8"));

    const DrawingJob job = window.currentJob();
    using Four = std::array<std::string, 4>;
    EXPECT_EQ(job.erasePoints, (Four{"v0", "v1", "v2", "v3"}));
    EXPECT_EQ(job.attributeCorners, (Four{"v4", "v5", "v6", "v7"}));
    EXPECT_EQ(job.attributeOld, "v8");
    EXPECT_EQ(job.attributeNew, "v9");
    EXPECT_EQ(job.replaceTexts, (Four{"v14", "v15", "v16", "v17"}));
    EXPECT_EQ(job.insertPath, "C:\\blocs\\b.dwg");
    EXPECT_TRUE(job.erase && job.insert && job.insertFile && job.replaceAttribute &&
                job.replaceText);
    EXPECT_FALSE(job.purge || job.zoomExtents || job.transfer || job.plot || job.customScript);
}

TEST_F(MainWindowTest, EachOptionChoosesItsVariantOfTheJob) {
    operationMode();
    struct Case {
        int option;
        std::function<bool(const DrawingJob&)> holds;
    };
    const Case cases[] = {
        {1, [](const DrawingJob& j) { return j.purgeAll; }},
        {0, [](const DrawingJob& j) { return !j.purgeAll; }},
        {7, [](const DrawingJob& j) { return j.dwgToDxf; }},
        {6, [](const DrawingJob& j) { return !j.dwgToDxf; }},
        {3, [](const DrawingJob& j) { return j.eraseSelection == EraseSelection::Fence; }},
        {8, [](const DrawingJob& j) { return j.eraseSelection == EraseSelection::Crossing; }},
        {2, [](const DrawingJob& j) { return j.eraseSelection == EraseSelection::Window; }},
        {4, [](const DrawingJob& j) { return j.insertFile; }},
        {5, [](const DrawingJob& j) { return !j.insertFile; }},
    };
    for (const Case& c : cases) {
        Click(option(c.option));
        EXPECT_TRUE(c.holds(window.currentJob())) << c.option;
    }
}

TEST_F(MainWindowTest, SwitchesAndScriptTextMakeTheJobMode) {
    EXPECT_TRUE(window.currentJob().plot);
    Click(check("Check10"));
    scriptText()->setPlainText(QStringLiteral("zoom\net"));
    const DrawingJob job = window.currentJob();
    EXPECT_FALSE(job.plot);
    EXPECT_TRUE(job.customScript);
    EXPECT_EQ(job.scriptText, "zoom\net");
}

TEST_F(MainWindowTest, RenamingRowYieldsTheRenameRule) {
    operationMode();
    Click(check("Check4", 6));
    const std::pair<int, RenameRule> rules[] = {
        {10, RenameRule::Insert}, {9, RenameRule::Delete}, {11, RenameRule::Extension}};
    for (const auto& [optionIndex, rule] : rules) {
        Click(option(optionIndex));
        EXPECT_EQ(window.currentRenameJob().rule, rule) << optionIndex;
    }
    TypeText(text4(10), QStringLiteral("2"));
    TypeText(text4(11), QStringLiteral("3"));
    TypeText(text4(12), QStringLiteral("_v2"));
    TypeText(text4(13), QStringLiteral(".dwg"));
    const RenameJob job = window.currentRenameJob();
    EXPECT_EQ(job.start, "2");
    EXPECT_EQ(job.length, "3");
    EXPECT_EQ(job.text, "_v2");
    EXPECT_EQ(job.newExtension, ".dwg");
}

TEST_F(MainWindowTest, CountsCanBeWrittenByTheSelectionWindows) {
    window.setFileCount(1234);
    EXPECT_EQ(line("Text2")->text(), "1234");
    window.setFolderCountText(QStringLiteral("5 répertoires"));
    EXPECT_EQ(line("Text5")->text(), "5 répertoires");
}

// Runs action once the next modal window is up: the window, found as the active modal widget.
void WhenModal(const std::function<void(QWidget*)>& action) {
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        action(modal);
    });
}

// With the console as engine, "Executer script" runs each drawing in "Exécution des plans": the
// window stays open until the user closes it, and every drawing has ended by then.
TEST_F(MainWindowTest, ExecuteOnTheConsoleRunsEachDrawingInTheRunWindow) {
    session.runSettings.engine = Engine::Console;
    session.runSettings.consolePath = test::InstallHelperProgram(dir, PILOTRAME_STANDIN_CONSOLE);
    session.runSettings.timeoutSeconds = 5;
    chooseDrawings({QStringLiteral("a.dwg"), QStringLiteral("b_exit3.dwg")});
    std::vector<DrawingState> states;
    WhenModal([&states](QWidget* modal) {
        auto* run = qobject_cast<gui::BatchRunWindow*>(modal);
        ASSERT_NE(run, nullptr);
        QElapsedTimer timer;
        timer.start();
        while (run->running() && timer.elapsed() < 20000)
            QTest::qWait(20);
        for (const DrawingRun& drawing : run->model().runs())
            states.push_back(drawing.state);
        Click(Child<QPushButton>(run, QStringLiteral("Close")));
    });
    Click(button("Command3"));
    EXPECT_EQ(states, (std::vector<DrawingState>{DrawingState::Succeeded, DrawingState::Failed}));
    EXPECT_EQ(test::ProcessesLeftOf(session.runSettings.consolePath), 0);
    EXPECT_TRUE(prompts.messages.isEmpty());
    // The script for every drawing is the console's, in the run's folder; Pilotrame.scr is not
    // written.
    EXPECT_FALSE(test::FileExists(session.scriptPath()));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path(std::string(kJournalFolderName))));
}

// Nothing starts when the console cannot run the job or no drawing is left: the user is told why,
// and no folder of the journal is made.
TEST_F(MainWindowTest, ExecuteOnTheConsoleSaysWhyNothingStarts) {
    session.runSettings.engine = Engine::Console;
    const std::string console = test::InstallHelperProgram(dir, PILOTRAME_STANDIN_CONSOLE);
    const std::string absent = dir.path("absent.exe");
    struct Case {
        const char* what;
        bool vba;
        bool emptyList;
        std::string console;
        std::string message;
    };
    const Case cases[] = {
        {"VBA ticked", true, false, console, std::string(kConsoleHasNoVbaText)},
        {"empty list", false, true, console, std::string(kNothingToRunText)},
        {"no console", false, false, absent, ConsoleNotFoundText(absent)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        session.runSettings.consolePath = c.console;
        prompts.messages.clear();
        chooseDrawings({QStringLiteral("a.dwg")});
        if (c.emptyList)
            WriteBytes(session.listPath(), "");
        if (c.vba) {
            operationMode();
            Click(check("Check4", 7));
        }
        Click(button("Command3"));
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_EQ(prompts.messages.front().text, QString::fromUtf8(c.message));
        EXPECT_FALSE(std::filesystem::exists(dir.path(std::string(kJournalFolderName))));
        if (c.vba)
            Click(check("Check1"));
    }
}

TEST_F(MainWindowTest, SideWindowButtonsOpenTheirWindowsModally) {
    const std::pair<const char*, const char*> windows[] = {
        {"Command4", "Form4"}, {"Command20", "Form5"}, {"Command30", "Form3"}};
    for (const auto& [buttonName, form] : windows) {
        QString opened;
        WhenModal([&opened](QWidget* modal) {
            opened = modal->objectName();
            modal->close();
        });
        Click(button(buttonName));
        EXPECT_EQ(opened, form) << buttonName;
    }
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(MainWindowTest, AdvancedSelectionFillsTheListAndBothCounts) {
    const std::string top = dir.path("plans");
    std::filesystem::create_directories(top + "/B");
    WriteBytes(top + "/x.dwg", "x");
    WriteBytes(top + "/B/y.DWG", "y");
    WhenModal([&top](QWidget* modal) {
        auto* form = static_cast<gui::AdvancedSelectionWindow*>(modal);
        ASSERT_TRUE(form->setDirPath(QString::fromStdString(top)));
        Click(Child<QPushButton>(form, QStringLiteral("Command2")));
    });
    Click(button("Command4"));
    EXPECT_EQ(line("Text2")->text(), "2");
    EXPECT_EQ(line("Text5")->text(), "1 Répertoires");
    EXPECT_EQ(ReadBytes(session.listPath()), "\v" + top + kSep + "\r\n\tx.dwg\r\n\v" + top + kSep +
                                                 "B" + kSep + "\r\n\ty.DWG\r\n");
}

TEST_F(MainWindowTest, MacroWindowSelectionsUpdateTheMainCounts) {
    const std::string drawing = dir.path("M.dwg");
    WriteBytes(drawing, "x");
    prompts.presetFiles({QString::fromStdString(drawing)});
    WhenModal([](QWidget* modal) {
        EXPECT_EQ(modal->objectName(), "Form5");
        Click(Child<QPushButton>(modal, QStringLiteral("Command4")));
        modal->close();
    });
    Click(button("Command20"));
    EXPECT_EQ(line("Text2")->text(), "1");
    EXPECT_EQ(ReadBytes(session.listPath()), "\v" + dir.folder() + "\r\n\tM.dwg\r\n");
}

TEST_F(MainWindowTest, NamesTheCodePageCannotHoldAreLeftOutWithOneWarning) {
    chooseDrawings({QStringLiteral("ok.dwg"), QStringLiteral("plan \u2192 2.dwg"),
                    QStringLiteral("\u65e5.dwg"), QStringLiteral("été.dwg")});
    EXPECT_EQ(line("Text2")->text(), "2");
    EXPECT_EQ(ReadBytes(session.listPath()),
              "\v" + dir.folder() + "\r\n\tok.dwg\r\n\t\xE9t\xE9.dwg\r\n");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].title, "Avertissement");
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("plan \u2192 2.dwg")));
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("\u65e5.dwg")));
}

TEST_F(MainWindowTest, AChoiceOfRefusedNamesOnlyKeepsTheListAndItsCount) {
    chooseDrawings({QStringLiteral("kept.dwg")});
    const std::string before = ReadBytes(session.listPath());
    chooseDrawings({QStringLiteral("\u65e5.dwg"), QStringLiteral("plan \u2192 2.dwg")});
    EXPECT_EQ(ReadBytes(session.listPath()), before);
    EXPECT_EQ(line("Text2")->text(), "1");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].title, "Avertissement");
}

TEST_F(MainWindowTest, AJobSavedAndLoadedIntoAFreshWindowGivesTheSameScript) {
    chooseDrawings({QStringLiteral("A.dwg"), QStringLiteral("B.dwg")});
    operationMode();
    Click(check("Check4", 0));
    Click(option(1));
    Click(check("Check4", 3));
    Click(option(8));
    TypeText(text4(0), QStringLiteral("1.5"));
    TypeText(text4(3), QStringLiteral("-20"));
    Click(check("Check4", 7));
    TypeText(text4(14), QStringLiteral("ANCIEN"));
    TypeText(text4(15), QStringLiteral("NOUVEAU"));
    Click(button("Command2"));
    const std::string expected = script();
    ASSERT_NE(expected.find("effacer\r\nc\r\n1.5,0\r\n"), std::string::npos);

    const QString jobPath = QString::fromStdString(dir.path("chaque semaine.pilotrame"));
    prompts.presetFiles({jobPath});
    action("mnuenregistrertravail")->trigger();
    ASSERT_TRUE(QFileInfo::exists(jobPath));

    gui::MainWindow fresh(session);
    fresh.ResetMainWindow();
    prompts.presetFiles({jobPath});
    Child<QAction>(&fresh, QStringLiteral("mnuouvrirtravail"))->trigger();
    EXPECT_FALSE(Child<QCheckBox>(&fresh, QStringLiteral("Check1"))->isChecked());
    EXPECT_TRUE(Child<QLineEdit>(&fresh, Name("Text4", 0))->isEnabled());
    WriteBytes(session.scriptPath(), "");
    fresh.writeScript();
    EXPECT_EQ(script(), expected);
    EXPECT_EQ(fresh.currentMainJob(), window.currentMainJob());
}

// A name typed without the extension gets it; a file of that name is replaced only once the user
// agreed, asked once.
TEST_F(MainWindowTest, SavingAJobOverAFileAsksOnceNamingItWithItsExtension) {
    const std::string path = dir.path("semaine.pilotrame");
    WriteBytes(path, "ancien");
    const QString typed = QString::fromStdString(dir.path("semaine"));
    prompts.presetFiles({typed});
    prompts.presetAnswer(gui::Answer::No);
    action("mnuenregistrertravail")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].buttons, gui::MessageButtons::YesNo);
    EXPECT_TRUE(prompts.messages[0].text.contains(QString::fromStdString(path)));
    EXPECT_EQ(ReadBytes(path), "ancien");

    prompts.presetFiles({typed});
    prompts.presetAnswer(gui::Answer::Yes);
    action("mnuenregistrertravail")->trigger();
    EXPECT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(LoadJobFile(path));
}

TEST_F(MainWindowTest, ABadJobFileIsRefusedAndTheWindowStaysAsItWas) {
    operationMode();
    Click(check("Check4", 1));
    const MainJob before = window.currentMainJob();
    const std::string bad = dir.path("bad.pilotrame");
    WriteBytes(bad, "pilotrame-travail=1\nmode=operations\npurger=1\nzoom=peut-etre\n");
    prompts.presetFiles({QString::fromStdString(bad)});
    action("mnuouvrirtravail")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].title, "ERREUR !!");
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("ligne 4")));
    EXPECT_EQ(window.currentMainJob(), before);
    EXPECT_FALSE(check("Check4", 0)->isChecked());
}

// A mistyped key is told once, when the job opens; the job opens all the same.
TEST_F(MainWindowTest, AnUnknownJobKeyIsToldOnceWhenTheJobOpens) {
    const std::string path = dir.path("futur.pilotrame");
    WriteBytes(path, "pilotrame-travail=2\nmode=operations\nzoom=1\npurger.mod=1\n"
                     "pilotrame-travail=fin\n");
    prompts.presetFiles({QString::fromStdString(path)});
    action("mnuouvrirtravail")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].title, "Avertissement");
    EXPECT_TRUE(prompts.messages[0].text.endsWith(QStringLiteral("ligne 4 : « purger.mod »")));
    EXPECT_TRUE(check("Check4", 1)->isChecked());
}

// A job path that names no ordinary file is refused at once, named, and the window is untouched.
TEST_F(MainWindowTest, AJobThatIsNoOrdinaryFileIsRefusedAndTheWindowStaysAsItWas) {
    operationMode();
    Click(check("Check4", 1));
    const MainJob before = window.currentMainJob();
    const std::string folder = dir.path("dossier.pilotrame");
    std::filesystem::create_directory(ToFsPath(folder));
    prompts.presetFiles({QString::fromStdString(folder)});
    action("mnuouvrirtravail")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text,
              QStringLiteral("« ") + QString::fromStdString(folder) +
                  QStringLiteral(" » n'est pas un fichier ordinaire (tube, périphérique ou "
                                 "dossier) : le travail n'a pas été chargé."));
    EXPECT_EQ(window.currentMainJob(), before);
}

// The single-line boxes of the job, with their keys in a job file.
const std::pair<const char*, const char*> kJobBoxes[] = {
    {"effacer.x1", "Text4_0"},
    {"effacer.y1", "Text4_1"},
    {"effacer.x2", "Text4_2"},
    {"effacer.y2", "Text4_3"},
    {"inserer.fichier", "Text3"},
    {"attribut.x1", "Text4_4"},
    {"attribut.y1", "Text4_5"},
    {"attribut.x2", "Text4_6"},
    {"attribut.y2", "Text4_7"},
    {"attribut.ancien", "Text4_8"},
    {"attribut.nouveau", "Text4_9"},
    {"renommer.debut", "Text4_10"},
    {"renommer.longueur", "Text4_11"},
    {"renommer.texte", "Text4_12"},
    {"renommer.extension", "Text4_13"},
    {"remplacer-texte.ancien1", "Text4_14"},
    {"remplacer-texte.nouveau1", "Text4_15"},
    {"remplacer-texte.ancien2", "Text4_16"},
    {"remplacer-texte.nouveau2", "Text4_17"},
};

// A job file text of the current version with these lines.
std::string JobText(const std::string& lines) {
    return "pilotrame-travail=2\n" + lines + "pilotrame-travail=fin\n";
}

// A job opened in the window once held a value cut to 32767 characters by its box, and saved it
// cut: every box takes a value as long as it holds, whole, and the job saved again holds it whole.
TEST_F(MainWindowTest, EveryBoxTakesTheLongestValueAJobMayHoldWhole) {
    std::string emojis; // 16383 characters past U+FFFF and one more: 32767 UTF-16 units
    for (int i = 0; i < 16383; ++i)
        emojis += "\xF0\x9F\x98\x80";
    emojis += "a";
    std::string lines = "mode=operations\n";
    std::vector<std::string> values;
    for (const auto& [key, box] : kJobBoxes) {
        values.push_back(values.size() % 2 == 0 ? std::string(32766, 'a') + key[0] : emojis);
        lines += std::string(key) + "=" + values.back() + "\n";
    }
    const std::string path = dir.path("long.pilotrame");
    WriteBytes(path, JobText(lines));
    prompts.presetFiles({QString::fromStdString(path)});
    action("mnuouvrirtravail")->trigger();
    ASSERT_TRUE(prompts.messages.isEmpty()) << test::Str(prompts.messages.front().text);

    std::size_t i = 0;
    for (const auto& [key, box] : kJobBoxes) {
        SCOPED_TRACE(key);
        const QString shown = line(box)->text();
        EXPECT_EQ(shown.size(), 32767);
        EXPECT_EQ(shown.toStdString(), values[i++]);
    }
    const std::string saved = dir.path("long again.pilotrame");
    prompts.presetFiles({QString::fromStdString(saved)});
    action("mnuenregistrertravail")->trigger();
    const Result<MainJob> again = LoadJobFile(saved);
    ASSERT_TRUE(again);
    Result<MainJob> original = LoadJobFile(path);
    ASSERT_TRUE(original);
    original->run = session.runSettings; // a saved job carries the settings of the run
    EXPECT_EQ(*again, *original);
}

// The settings of the run travel with a job: a job that has them sets them for the next runs, one
// that has none leaves them, and a saved job carries those in use.
TEST_F(MainWindowTest, AJobCarriesTheSettingsOfTheRun) {
    const RunSettings configured{Engine::Console, "/opt/console", 3, 90, "fr-FR"};
    session.runSettings = configured;
    const std::string without = dir.path("sans.pilotrame");
    WriteBytes(without, JobText("mode=operations\n"));
    prompts.presetFiles({QString::fromStdString(without)});
    action("mnuouvrirtravail")->trigger();
    EXPECT_EQ(session.runSettings, configured);

    const std::string with = dir.path("avec.pilotrame");
    WriteBytes(with, JobText("mode=operations\nexecution.moteur=autocad\nexecution.console=\n"
                             "execution.plans-simultanes=5\nexecution.delai=30\n"
                             "execution.langue=en-US\n"));
    prompts.presetFiles({QString::fromStdString(with)});
    action("mnuouvrirtravail")->trigger();
    ASSERT_TRUE(prompts.messages.isEmpty()) << test::Str(prompts.messages.front().text);
    const RunSettings fromJob{Engine::Autocad, "", 5, 30, "en-US"};
    EXPECT_EQ(session.runSettings, fromJob);

    const std::string saved = dir.path("encore.pilotrame");
    prompts.presetFiles({QString::fromStdString(saved)});
    action("mnuenregistrertravail")->trigger();
    const Result<MainJob> again = LoadJobFile(saved);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->run, fromJob);
}

// Past what a box holds, the job is refused naming the key, as the command line refuses it.
TEST_F(MainWindowTest, AValueLongerThanItsBoxIsRefusedNamingTheKey) {
    operationMode();
    Click(check("Check4", 1));
    const MainJob before = window.currentMainJob();
    std::string emojis; // 32768 UTF-16 units
    for (int i = 0; i < 16384; ++i)
        emojis += "\xF0\x9F\x98\x80";
    const std::pair<std::string, std::string> cases[] = {
        {"attribut.ancien", std::string(1000000, 'A')},
        {"inserer.fichier", emojis},
        {"effacer.x1", std::string(32768, '1')},
    };
    for (const auto& [key, value] : cases) {
        SCOPED_TRACE(key);
        prompts.messages.clear();
        const std::string path = dir.path("trop long.pilotrame");
        WriteBytes(path, JobText("mode=operations\n" + key + "=" + value + "\n"));
        prompts.presetFiles({QString::fromStdString(path)});
        action("mnuouvrirtravail")->trigger();
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.messages[0].text.contains(
            QString::fromStdString("ligne 3 : « " + key + " » dépasse 32767 caractères")))
            << test::Str(prompts.messages[0].text);
        EXPECT_EQ(window.currentMainJob(), before);
    }
}

// Runs the window's events until its script text is wholly in its box.
bool WaitUntilTheScriptTextIsWhole(QPlainTextEdit* box) {
    return QTest::qWaitFor([box] { return !box->isReadOnly(); }, 120000);
}

// A job with a script text of very many lines froze the window while the text box took it; the
// box now takes it a part at a time, and the job is whole from the start for everything the
// window does with it.
TEST_F(MainWindowTest, AJobWithALongScriptTextLoadsWhole) {
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "ligne " + std::to_string(i) + "\n";
    text += "fin sans saut de ligne";
    MainJob job;
    job.setMode(JobMode::ScriptText);
    job.drawing.scriptText = text;
    const std::string path = dir.path("long script.pilotrame");
    ASSERT_TRUE(SaveJobFile(path, job, '.'));
    prompts.presetFiles({QString::fromStdString(path)});
    action("mnuouvrirtravail")->trigger();
    ASSERT_TRUE(prompts.messages.isEmpty());

    // Whole at once for the job (a generation, a save), whatever the box shows yet.
    EXPECT_EQ(window.currentMainJob().drawing.scriptText, text);

    ASSERT_TRUE(WaitUntilTheScriptTextIsWhole(scriptText()));
    EXPECT_EQ(scriptText()->toPlainText().toStdString(), text);
    EXPECT_EQ(window.currentMainJob().drawing.scriptText, text);
    // Filling the box is no edit of the user's: nothing of the text is undone.
    EXPECT_FALSE(scriptText()->document()->isUndoAvailable());
    EXPECT_TRUE(scriptText()->isEnabled());
}

// A text that replaces a long one before it is whole in the box is the only one left there.
TEST_F(MainWindowTest, ATextThatReplacesALongOneWhileItFillsIsTheOnlyOneLeft) {
    std::string longText;
    for (int i = 0; i < 20000; ++i)
        longText += "ancien " + std::to_string(i) + "\n";
    MainJob longJob;
    longJob.setMode(JobMode::ScriptText);
    longJob.drawing.scriptText = longText;
    const std::string longPath = dir.path("long.pilotrame");
    ASSERT_TRUE(SaveJobFile(longPath, longJob, '.'));
    MainJob shortJob = longJob;
    shortJob.drawing.scriptText = "zoom\ne";
    const std::string shortPath = dir.path("court.pilotrame");
    ASSERT_TRUE(SaveJobFile(shortPath, shortJob, '.'));
    const std::string scriptFile = dir.path("perso.scr");
    WriteBytes(scriptFile, "_.regen\r\n");

    const std::function<void()> replacements[] = {
        [&] {
            prompts.presetFiles({QString::fromStdString(shortPath)});
            action("mnuouvrirtravail")->trigger();
        },
        [&] {
            prompts.presetFiles({QString::fromStdString(scriptFile)});
            Click(button("Command10"));
        },
    };
    const std::string expected[] = {"zoom\ne", "_.regen"};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        prompts.presetFiles({QString::fromStdString(longPath)});
        action("mnuouvrirtravail")->trigger();
        ASSERT_TRUE(scriptText()->isReadOnly()) << "the long text went in at once";
        replacements[i]();
        ASSERT_TRUE(WaitUntilTheScriptTextIsWhole(scriptText()));
        for (int round = 0; round < 10; ++round)
            QCoreApplication::processEvents();
        EXPECT_EQ(scriptText()->toPlainText().toStdString(), expected[i]);
        EXPECT_EQ(window.currentMainJob().drawing.scriptText, expected[i]);
        EXPECT_TRUE(scriptText()->document()->isUndoRedoEnabled());
        ASSERT_TRUE(prompts.messages.isEmpty());
    }
}

// The job items of "Fichier" are reached with Alt and a letter of their own, as the others are.
TEST_F(MainWindowTest, TheJobItemsHaveAnAltLetterNoOtherItemOfTheirMenuUses) {
    const QMenu* file = Child<QMenu>(&window, QStringLiteral("mnufichier"));
    for (const char* name : {"mnuouvrirtravail", "mnuenregistrertravail"}) {
        SCOPED_TRACE(name);
        const QKeySequence letter = QKeySequence::mnemonic(action(name)->text());
        ASSERT_FALSE(letter.isEmpty());
        for (const QAction* other : file->actions()) {
            if (other->objectName() != QLatin1String(name)) {
                EXPECT_NE(QKeySequence::mnemonic(other->text()), letter)
                    << test::Str(other->text());
            }
        }
    }
}

// Drops as a file manager does: a drag-enter, then the drop only when the drag-enter was accepted.
// A file manager waits until the drop returns, so nothing may be shown while it is handled: a
// window is closed and counted, a message counted. What the drop asks for is done by AfterDrop.
// Returns true when the drop was accepted.
bool Drop(QWidget* target, QMimeData* data, const test::ScriptedPrompts& prompts, QPoint at = {}) {
    if (at.isNull())
        at = target->rect().center();
    const qsizetype messagesBefore = prompts.messages.size();
    auto windowsDuringDrop = std::make_shared<int>(0);
    QTimer::singleShot(0, [windowsDuringDrop] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ++*windowsDuringDrop;
            modal->close();
        }
    });
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    bool dropped = false;
    if (enter.isAccepted()) {
        QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        dropped = drop.isAccepted();
    }
    EXPECT_EQ(*windowsDuringDrop, 0) << "a window was shown while the drop was handled";
    EXPECT_EQ(prompts.messages.size(), messagesBefore)
        << "a message was shown while the drop was handled";
    return dropped;
}

// Lets the window do what the last drop asked for. A window it opens is handed to onWindow, then
// closed; without onWindow, a window opened fails the test.
void AfterDrop(const std::function<void(QWidget*)>& onWindow = {}) {
    QTimer::singleShot(0, [onWindow] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (onWindow)
            onWindow(modal);
        else
            ADD_FAILURE() << "the drop opened " << modal->objectName().toStdString();
        modal->close();
    });
    QCoreApplication::sendPostedEvents();
}

QList<QUrl> LocalUrls(const test::TempDir& dir, std::initializer_list<const char*> names) {
    QList<QUrl> urls;
    for (const char* name : names)
        urls << QUrl::fromLocalFile(QString::fromStdString(dir.path(name)));
    return urls;
}

TEST_F(MainWindowTest, DroppedDrawingsAreListedInTheOrderDroppedUnderTheirOwnFolders) {
    std::filesystem::create_directories(dir.path("A"));
    std::filesystem::create_directories(dir.path("B"));
    for (const char* file : {"A/2.dwg", "B/1.dwg", "A/3.DWG", "A/\xC3\xA9.dwg"})
        WriteBytes(dir.path(file), "x");
    QMimeData data;
    data.setUrls(LocalUrls(dir, {"A/2.dwg", "B/1.dwg", "A/3.DWG", "A/\xC3\xA9.dwg"}));
    EXPECT_TRUE(Drop(&window, &data, prompts));
    AfterDrop();
    EXPECT_EQ(line("Text2")->text(), "4");
    EXPECT_EQ(ReadBytes(session.listPath()),
              "\v" + dir.path("A") + kSep + "\r\n\t2.dwg\r\n\v" + dir.path("B") + kSep +
                  "\r\n\t1.dwg\r\n\v" + dir.path("A") + kSep + "\r\n\t3.DWG\r\n\t\xE9.dwg\r\n");
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(MainWindowTest, AFolderDroppedAloneOpensTheAdvancedSelectionOnceTheDropIsOver) {
    const std::string folder = dir.path("plans");
    std::filesystem::create_directories(folder);
    QMimeData data;
    data.setUrls(LocalUrls(dir, {"plans"}));
    EXPECT_TRUE(Drop(&window, &data, prompts));
    QString shown;
    AfterDrop([&shown](QWidget* modal) {
        shown = static_cast<gui::AdvancedSelectionWindow*>(modal)->dirPath();
    });
    EXPECT_EQ(shown, QString::fromStdString(folder));
    EXPECT_FALSE(test::FileExists(session.listPath()));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

// A drop takes what it can and names the rest in one message: nothing is left without a word.
TEST_F(MainWindowTest, FilesDroppedWithOtherItemsAreListedAndTheOthersNamed) {
    std::filesystem::create_directories(dir.path("A"));
    std::filesystem::create_directories(dir.path("F"));
    WriteBytes(dir.path("A/1.dwg"), "x");
    WriteBytes(dir.path("A/2.dwg"), "x");
    const QUrl web(QStringLiteral("https://example.org/plan.dwg"));
    QMimeData data;
    data.setUrls(LocalUrls(dir, {"A/1.dwg", "F"}) + QList<QUrl>{web} +
                 LocalUrls(dir, {"gone.dwg", "A/2.dwg"}));
    EXPECT_TRUE(Drop(&window, &data, prompts));
    AfterDrop();
    EXPECT_EQ(line("Text2")->text(), "2");
    EXPECT_EQ(ReadBytes(session.listPath()),
              "\v" + dir.path("A") + kSep + "\r\n\t1.dwg\r\n\t2.dwg\r\n");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(test::Str(prompts.messages[0].text),
              DroppedItemsNotTakenText({{DroppedKind::Folder, dir.path("F")},
                                        {DroppedKind::NotLocal, "https://example.org/plan.dwg"},
                                        {DroppedKind::Missing, dir.path("gone.dwg")}}));
}

TEST_F(MainWindowTest, SeveralFoldersDroppedAreNamedAndTheListStays) {
    std::filesystem::create_directories(dir.path("plans/sub"));
    WriteBytes(session.listPath(), "previous list");
    QMimeData data;
    data.setUrls(LocalUrls(dir, {"plans/sub", "plans"}));
    EXPECT_TRUE(Drop(&window, &data, prompts));
    AfterDrop();
    EXPECT_EQ(ReadBytes(session.listPath()), "previous list");
    EXPECT_EQ(line("Text2")->text(), "0 Fichier");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(test::Str(prompts.messages[0].text),
              DroppedItemsNotTakenText({{DroppedKind::Folder, dir.path("plans") + kSep + "sub"},
                                        {DroppedKind::Folder, dir.path("plans")}}));
}

TEST_F(MainWindowTest, ADropWhoseEveryFileIsRefusedKeepsTheListAndItsCount) {
    chooseDrawings({QStringLiteral("kept.dwg")});
    const std::string before = ReadBytes(session.listPath());
    WriteBytes(dir.path("\xE6\x97\xA5.dwg"), "x");
    QMimeData data;
    data.setUrls(LocalUrls(dir, {"\xE6\x97\xA5.dwg"}));
    EXPECT_TRUE(Drop(&window, &data, prompts));
    AfterDrop();
    EXPECT_EQ(ReadBytes(session.listPath()), before);
    EXPECT_EQ(line("Text2")->text(), "1");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(test::Str(prompts.messages[0].text),
              NamesOutsideAnsiText({dir.path("\xE6\x97\xA5.dwg")}));
}

TEST_F(MainWindowTest, DroppingNothingThatCanBeTakenIsRefused) {
    QMimeData text;
    text.setText(QStringLiteral("/tmp/plan.dwg"));
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/plan.dwg"))});
    QMimeData missing;
    missing.setUrls(LocalUrls(dir, {"absent.dwg"}));
    for (QMimeData* data : {&text, &web, &missing})
        EXPECT_FALSE(Drop(&window, data, prompts));
    AfterDrop();
    EXPECT_EQ(line("Text2")->text(), "0 Fichier");
    EXPECT_FALSE(test::FileExists(session.listPath()));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

// Dropped on the script text, drawings are text: their paths, where they are dropped, quoted when
// a space would cut them in a script line. Nothing is listed.
TEST_F(MainWindowTest, DrawingsDroppedOnTheScriptTextGiveTheirPathsWhereDropped) {
    Click(check("Check10"));
    QPlainTextEdit* text = scriptText();
    ASSERT_TRUE(ShownInWindow(text));
    text->setPlainText(QStringLiteral("-inserer \n_qsave"));
    std::filesystem::create_directories(dir.path("mes plans"));
    WriteBytes(dir.path("a.dwg"), test::kDrawingBytes);
    WriteBytes(dir.path("mes plans/b.dwg"), test::kDrawingBytes);
    QMimeData data;
    data.setUrls(LocalUrls(dir, {"a.dwg", "mes plans/b.dwg"}) +
                 QList<QUrl>{QUrl(QStringLiteral("https://example.org/c.dwg"))});
    QTextCursor endOfFirstLine(text->document());
    endOfFirstLine.setPosition(9);
    EXPECT_TRUE(Drop(text->viewport(), &data, prompts, text->cursorRect(endOfFirstLine).center()));
    AfterDrop();
    const std::string a =
        test::Str(QDir::toNativeSeparators(QString::fromStdString(dir.path("a.dwg"))));
    const std::string b =
        test::Str(QDir::toNativeSeparators(QString::fromStdString(dir.path("mes plans/b.dwg"))));
    EXPECT_EQ(test::Str(text->toPlainText()),
              "-inserer " + a + "\n\"" + b + "\"\nhttps://example.org/c.dwg\n_qsave");
    EXPECT_FALSE(test::FileExists(session.listPath()));
    EXPECT_EQ(line("Text2")->text(), "0 Fichier");
    EXPECT_TRUE(prompts.messages.isEmpty());
}

// The listed drawings are checked before a script is written: a missing one and a locked one.
class DrawingCheckTest : public MainWindowTest {
protected:
    DrawingCheckTest() {
        chooseDrawings(
            {QStringLiteral("ok.dwg"), QStringLiteral("gone.dwg"), QStringLiteral("open.dwg")});
        std::filesystem::remove(dir.path("gone.dwg"));
        WriteBytes(dir.path("open.dwl"), "lock");
        recorded = UseRecorderAsAutocad(dir, session);
        WriteBytes(session.scriptPath(), "previous script\r\n");
    }
    bool autocadStarted() { return !WaitForFile(recorded).empty(); }
    std::string recorded;
    std::string opened(const char* name) { return "\"" + dir.path(name) + "\"\r\n"; }
};

TEST_F(DrawingCheckTest, TheUserSeesEveryProblemOnce) {
    prompts.presetDrawingAnswer(DrawingCheckAnswer::Cancel);
    Click(button("Command2"));
    ASSERT_EQ(prompts.drawingChecks.size(), 1);
    const DrawingCheck& check = prompts.drawingChecks[0];
    EXPECT_EQ(check.checked, 3);
    const std::vector<DrawingIssue> expected = {
        {dir.path("gone.dwg"), DrawingProblem::Missing},
        {dir.path("open.dwg"), DrawingProblem::OpenElsewhere,
         DrawingFormat{DrawingKind::Dwg, DwgFormat::R14, "AC1014"}}};
    EXPECT_EQ(check.issues, expected);
}

// Nothing left to process is not a success: AutoCAD is not started on an empty script, and the
// user is told why. "Générer script" still writes the empty script.
TEST_F(DrawingCheckTest, AutocadIsNotStartedWhenNoDrawingIsLeft) {
    std::filesystem::remove(dir.path("ok.dwg"));
    prompts.presetDrawingAnswer(DrawingCheckAnswer::SkipProblems);
    Click(button("Command3"));
    EXPECT_EQ(script(), "");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text.toStdString(), kNothingToProcessText);
    EXPECT_FALSE(autocadStarted());

    prompts.messages.clear();
    WriteBytes(session.listPath(), "");
    Click(button("Command3"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text.toStdString(), kNothingToProcessText);
    Click(button("Command2"));
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(script(), "");
    EXPECT_FALSE(autocadStarted());
}

TEST_F(DrawingCheckTest, CancelWritesNothingAndStartsNothing) {
    prompts.presetDrawingAnswer(DrawingCheckAnswer::Cancel);
    Click(button("Command3"));
    EXPECT_EQ(script(), "previous script\r\n");
    EXPECT_FALSE(autocadStarted());
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(DrawingCheckTest, IgnoringLeavesTheProblemDrawingsOutOfTheScriptOnly) {
    const std::string list = ReadBytes(session.listPath());
    prompts.presetDrawingAnswer(DrawingCheckAnswer::SkipProblems);
    Click(button("Command3"));
    EXPECT_NE(script().find(opened("ok.dwg")), std::string::npos);
    EXPECT_EQ(script().find(opened("gone.dwg")), std::string::npos);
    EXPECT_EQ(script().find(opened("open.dwg")), std::string::npos);
    EXPECT_EQ(ReadBytes(session.listPath()), list);
    EXPECT_TRUE(autocadStarted());
}

TEST_F(DrawingCheckTest, ContinuingWritesTheScriptAsBefore) {
    prompts.presetDrawingAnswer(DrawingCheckAnswer::Continue);
    Click(button("Command2"));
    for (const char* name : {"ok.dwg", "gone.dwg", "open.dwg"})
        EXPECT_NE(script().find(opened(name)), std::string::npos) << name;
    EXPECT_FALSE(autocadStarted());
}

TEST_F(DrawingCheckTest, NoProblemShowsNothing) {
    std::filesystem::remove(dir.path("open.dwl"));
    WriteBytes(dir.path("gone.dwg"), test::kDrawingBytes);
    Click(button("Command2"));
    EXPECT_TRUE(prompts.drawingChecks.isEmpty());
    EXPECT_NE(script().find(opened("gone.dwg")), std::string::npos);
}

// "Executer script" with "RENOMMER FICHIERS" ticked renames instead of generating.
class RenamingTest : public MainWindowTest {
protected:
    void renameMode() {
        operationMode();
        Click(check("Check4", 6));
        Click(option(10)); // "Ajouter"
        TypeText(text4(12), QStringLiteral("N-"));
    }
};

TEST_F(RenamingTest, AnsweringNoRenamesNothing) {
    chooseDrawings({QStringLiteral("a.dwg"), QStringLiteral("b.dwg")});
    renameMode();
    prompts.presetAnswer(gui::Answer::No);
    Click(button("Command3"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].title, "INFORMATION");
    EXPECT_EQ(prompts.messages[0].text,
              "Attention !! Vos fichiers sélectionnés vont être renomés. ");
    EXPECT_EQ(prompts.messages[0].buttons, gui::MessageButtons::YesNo);
    EXPECT_TRUE(test::FileExists(dir.path("a.dwg")));
    EXPECT_FALSE(test::FileExists(dir.path("N-a.dwg")));
    EXPECT_FALSE(test::FileExists(session.scriptPath()));
}

TEST_F(RenamingTest, YesRenamesEveryListedFileAndStartsNoGeneration) {
    chooseDrawings({QStringLiteral("a.dwg"), QStringLiteral("b.dwg")});
    renameMode();
    prompts.presetAnswer(gui::Answer::Yes);
    Click(button("Command3"));
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(test::FileExists(dir.path("N-a.dwg")));
    EXPECT_TRUE(test::FileExists(dir.path("N-b.dwg")));
    EXPECT_FALSE(test::FileExists(dir.path("a.dwg")));
    EXPECT_FALSE(test::FileExists(session.scriptPath()));
}

TEST_F(RenamingTest, AFailureNamesTheFileAndTellsHowManyWereRenamed) {
    chooseDrawings({QStringLiteral("a.dwg"), QStringLiteral("b.dwg"), QStringLiteral("c.dwg")});
    test::SetReadOnly(dir.path("b.dwg"), true);
    renameMode();
    prompts.presetAnswer(gui::Answer::Yes);
    Click(button("Command3"));
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages[1].title, "ERREUR !!");
    EXPECT_TRUE(prompts.messages[1].text.startsWith(
        QStringLiteral("Erreur! fichier en lecture seule ou inexistant: \r\n") +
        QString::fromStdString(dir.path("b.dwg"))));
    EXPECT_TRUE(prompts.messages[1].text.contains(QStringLiteral("1 fichier a été renommé avant")));
    EXPECT_TRUE(test::FileExists(dir.path("N-a.dwg")));
    EXPECT_TRUE(test::FileExists(dir.path("b.dwg")));
    EXPECT_TRUE(test::FileExists(dir.path("c.dwg")));
    test::SetReadOnly(dir.path("b.dwg"), false);
}

// The trial of a renaming asks for no count, copies nothing and renames nothing: it shows the
// names, and where the renaming would stop.
TEST_F(RenamingTest, ItsTrialShowsTheNamesAndRenamesNothing) {
    chooseDrawings({QStringLiteral("a.dwg"), QStringLiteral("b.dwg")});
    test::SetReadOnly(dir.path("b.dwg"), true);
    renameMode();
    Click(button("Command31"));
    test::SetReadOnly(dir.path("b.dwg"), false);
    EXPECT_TRUE(prompts.numberRequests.isEmpty());
    ASSERT_EQ(prompts.renamePreviews.size(), 1);
    const RenamePreview& preview = prompts.renamePreviews[0];
    ASSERT_EQ(preview.rows.size(), 2u);
    EXPECT_EQ(preview.rows[1].newName, "N-b.dwg");
    ASSERT_TRUE(preview.stop);
    EXPECT_EQ(preview.stopRow, 1u);
    EXPECT_TRUE(test::FileExists(dir.path("a.dwg")));
    EXPECT_FALSE(test::FileExists(dir.path("N-a.dwg")));
    EXPECT_FALSE(test::FileExists(session.scriptFolder + "Pilotrame-journal"));
}

// A new name the lists could not hold is refused before any file is renamed, naming it.
TEST_F(RenamingTest, ANewNameOutsideTheCodePageRenamesNothingAndSaysSo) {
    chooseDrawings({QStringLiteral("a.dwg"), QStringLiteral("b.dwg")});
    renameMode();
    text4(12)->setText(QStringLiteral("☺-")); // as pasted: no key types it
    prompts.presetAnswer(gui::Answer::Yes);
    Click(button("Command3"));
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages[1].title, "ERREUR !!");
    EXPECT_EQ(prompts.messages[1].text.toStdString(),
              "Le nouveau nom « ☺-a.dwg » contient un caractère qu'AutoCAD ne recevrait pas : "
              "« ☺ »\r\nLes listes et les scripts ne pourraient plus nommer ce fichier : " +
                  dir.path("a.dwg") + "\r\n\r\nAucun fichier n'a été renommé.");
    EXPECT_TRUE(test::FileExists(dir.path("a.dwg")));
    EXPECT_TRUE(test::FileExists(dir.path("b.dwg")));
}

TEST_F(MainWindowTest, ConfigurationMenuAsksForItsPage) {
    using Page = gui::ConfigDialog::Page;
    std::vector<Page> asked;
    QObject::connect(&window, &gui::MainWindow::configurationRequested,
                     [&asked](Page page) { asked.push_back(page); });
    for (const char* item : {"mnuimpression", "mnuautocad", "mnugeneral", "mnuexecution"})
        action(item)->trigger();
    EXPECT_EQ(asked,
              (std::vector<Page>{Page::Printing, Page::Autocad, Page::General, Page::Execution}));
}

TEST_F(MainWindowTest, GenerationReadsTheLiveSettingsWhenItRuns) {
    chooseDrawings({QStringLiteral("A.dwg")});
    operationMode();
    Click(check("Check4", 1));
    Click(button("Command2"));
    EXPECT_NE(script().find("_close"), std::string::npos);
    session.settings.setOption(slot::sdiSingle,
                               true); // as the dialog leaves it after "Quitter"
    Click(button("Command2"));
    EXPECT_EQ(script().find("_close"), std::string::npos);
}

// A script that is a link to a device (/dev/full) is never replaced, nor written through: the
// device stays, the script is named, and AutoCAD is not started.
TEST_F(MainWindowTest, AScriptThatIsADeviceIsRefusedNamingItAndAutocadIsNotStarted) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::exists("/dev/full", ec))
        GTEST_SKIP() << "no /dev/full on this system";
    const std::string recorded = UseRecorderAsAutocad(dir, session);
    chooseDrawings({QStringLiteral("A.dwg")});
    const fs::path folder = fs::path(dir.folder()) / "plein";
    fs::create_directory(folder);
    fs::create_symlink("/dev/full", folder / "Pilotrame.scr");
    session.scriptFolder = folder.string() + "/";

    Click(button("Command3"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages.front().title, "ERREUR !!");
    EXPECT_EQ(prompts.messages.front().text.toStdString(),
              "« " + session.scriptPath() +
                  " » n'est pas un fichier ordinaire (tube, périphérique ou dossier) : le script "
                  "n'y a pas été écrit.");
    EXPECT_TRUE(fs::is_character_file("/dev/full", ec));
    QTest::qWait(500);
    EXPECT_FALSE(test::FileExists(recorded));
}

// The keyboard walks the form as it reads: operation boxes by number, then the rows of
// parameters top to bottom, the script text last.
TEST_F(MainWindowTest, TabOrderFollowsTheForm) {
    QStringList order;
    QWidget* widget = &window;
    do {
        if (!widget->objectName().isEmpty() && (widget->focusPolicy() & Qt::TabFocus))
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != &window);
    // The last check box of the panel, whichever it is, comes before the parameters.
    const auto at = [&order](const char* objectName) {
        if (QLatin1String(objectName) == QLatin1String("lastOperation"))
            return order.indexOf(gui::ControlName("Check4", LastOperationBox()));
        return order.indexOf(QString::fromLatin1(objectName));
    };
    for (const auto& [before, after] :
         std::initializer_list<std::pair<const char*, const char*>>{{"Command10", "scriptMarkers"},
                                                                    {"scriptMarkers", "Check20"},
                                                                    {"Check4_5", "Check4_6"},
                                                                    {"Check4_6", "Check4_7"},
                                                                    {"lastOperation", "Option1_0"},
                                                                    {"Text4_9", "Option1_9"},
                                                                    {"Text4_13", "Text4_14"}}) {
        ASSERT_GE(at(before), 0) << before;
        EXPECT_EQ(at(after), at(before) + 1) << before << " " << after;
    }
    EXPECT_EQ(order.back(), "Text1");
}

} // namespace
} // namespace pilotrame
