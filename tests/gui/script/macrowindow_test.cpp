#include "gui/script/macrowindow.h"

#include "support/guitest.h"
#include "support/lines.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "usecases/macrogeneration.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <memory>
#include <string>
#include <vector>

namespace pilotrame {
namespace {

using gui::MacroWindow;
using test::Child;
using test::Click;
using test::LayoutFaults;
using test::ReadBytes;
using test::TypeText;
using test::WriteBytes;

// The list as the selection writes it: one folder line, then one line per file.
std::string ListOf(const std::string& folder, const std::vector<std::string>& names) {
    std::string list = "\v" + folder + "\r\n";
    for (const std::string& name : names)
        list += "\t" + name + "\r\n";
    return list;
}

class MacroWindowTest : public ::testing::Test {
protected:
    MacroWindowTest() {
        session.programFolder = dir.folder();
        session.scriptFolder = dir.folder();
        session.settings.combo[slot::drawingFolder] = dir.folder();
        session.settings.setOption(slot::sdiMultiple, true);
        openWindow();
    }

    // A fresh window, as each opening of Form5 is; the session stays.
    void openWindow() {
        MacroWindow::Hooks hooks;
        hooks.selectFiles = [this] { ++selectFilesCalls; };
        hooks.advancedSelection = [this] { ++advancedSelectionCalls; };
        hooks.startExcel = [this](const QString& workbook) {
            excelStarts.push_back(workbook);
            return excelStart;
        };
        window.reset();
        window = std::make_unique<MacroWindow>(session, hooks);
        window->show();
    }

    QCheckBox* check(int index) {
        return Child<QCheckBox>(window.get(), QStringLiteral("Check1_%1").arg(index));
    }
    QLineEdit* text1(int index) {
        return Child<QLineEdit>(window.get(), QStringLiteral("Text1_%1").arg(index));
    }
    QRadioButton* option(int index) {
        return Child<QRadioButton>(window.get(), QStringLiteral("Option1_%1").arg(index));
    }
    QPushButton* button(const char* name) {
        return Child<QPushButton>(window.get(), QString::fromLatin1(name));
    }

    void writeList(const std::vector<std::string>& names) {
        WriteBytes(session.listPath(), ListOf("C:\\plans\\", names));
    }
    std::string script() { return ReadBytes(session.scriptPath()); }
    // The point lines of the F1 symbols in the script.
    std::vector<std::string> symbolPoints() {
        const std::vector<std::string> all = test::SplitLines(script());
        std::vector<std::string> points;
        for (std::size_t i = 0; i + 1 < all.size(); ++i)
            if (all[i].rfind("-inserer ", 0) == 0)
                points.push_back(all[i + 1]);
        return points;
    }

    test::TempDir dir;
    test::ScriptedPrompts prompts;
    Session session;
    std::unique_ptr<MacroWindow> window;
    int selectFilesCalls = 0;
    int advancedSelectionCalls = 0;
    QStringList excelStarts;
    Status excelStart = Success(); // what the start of Excel answers
};

TEST_F(MacroWindowTest, ShowsEveryControlWithItsCaptionAndDefault) {
    EXPECT_EQ(window->objectName(), QStringLiteral("Form5"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Nécessite macro autocad !"));

    const std::vector<std::pair<int, QString>> checks = {
        {1, QStringLiteral("F1  Inserer les symboles de la bibliothèque  (pas d'espace dans les "
                           "noms de fichier, 1 attribut en ligne de commande)")},
        {2, QStringLiteral("F2  Remplacer du texte à partir d'un fichier excel (colone1:texte à "
                           "remplacer / colone2: nouveau texte)")},
        {3, QStringLiteral("F3  Extraire les attributs des blocs")},
        {4, QStringLiteral("F4 Réserve")},
        {5, QStringLiteral("F5  Compte nombre de blocs")},
        {6, QStringLiteral("F6  Efface un calque: (nom:)")},
        {7, QStringLiteral("F7  Gèle/dégèle un calque: (nom:)")},
        {8, QStringLiteral("F8  Exporte le texte du folio")},
    };
    for (const auto& [index, caption] : checks) {
        ASSERT_NE(check(index), nullptr);
        EXPECT_EQ(check(index)->text(), caption) << index;
        EXPECT_EQ(check(index)->checkState(), Qt::Unchecked) << index;
    }

    const std::vector<std::pair<int, QString>> texts = {
        {10, QStringLiteral("25")},
        {11, QStringLiteral("40")},
        {30, QStringLiteral("Disjoncteur1")},
        {31, QString()},
        {32, QString()},
        {33, QString()},
        {35, QString()},
        {36, QString()},
        {37, QString()},
        {38, QString()},
        {50, QStringLiteral("Luminaire_A")},
        {60, QStringLiteral("nuage")},
        {70, QStringLiteral("nuage")},
        {80, QStringLiteral("0")},
        {81, QStringLiteral("100")},
        {82, QStringLiteral("0")},
        {83, QStringLiteral("100")},
    };
    for (const auto& [index, text] : texts) {
        ASSERT_NE(text1(index), nullptr);
        EXPECT_EQ(text1(index)->text(), text) << index;
    }

    const std::vector<std::pair<const char*, QString>> labels = {
        {"Label1_0", QStringLiteral("X:")},
        {"Label1_1", QStringLiteral("Y:")},
        {"Label8", QStringLiteral("Nom de l'attribut / aucun:")},
        {"Label9", QStringLiteral("Format d'enregistrement:")},
        {"Label6", QStringLiteral("Nom:")},
        {"Label2", QStringLiteral("X:")},
        {"Label3", QStringLiteral("Y:")},
        {"Label4", QStringLiteral("X:")},
        {"Label5", QStringLiteral("Y:")},
        {"Label7", QStringLiteral("Transfert AUTOCAD / MICROSTATION:")},
    };
    for (const auto& [name, caption] : labels) {
        auto* label = Child<QLabel>(window.get(), QString::fromLatin1(name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), caption) << name;
    }

    // Each option in its frame, exactly one chosen per frame.
    struct OptionLayout {
        int index;
        const char* frame;
        QString caption;
        bool chosen;
    };
    const std::vector<OptionLayout> options = {
        {30, "Frame3", QStringLiteral("Tout"), true},
        {31, "Frame3", QStringLiteral("Nom :"), false},
        {50, "Frame2", QStringLiteral("Tout"), true},
        {51, "Frame2", QStringLiteral("Nom :"), false},
        {70, "Frame4", QStringLiteral("Gèle"), true},
        {71, "Frame4", QStringLiteral("Dégèle"), false},
        {80, "Frame1", QStringLiteral("Tout"), true},
        {81, "Frame1", QStringLiteral("Selection :"), false},
        {10, "Frame5", QStringLiteral("*.dwg -> *.dgn"), true},
        {11, "Frame5", QStringLiteral("*.dgn -> *.dwg"), false},
    };
    for (const OptionLayout& expected : options) {
        QRadioButton* radio = option(expected.index);
        ASSERT_NE(radio, nullptr);
        EXPECT_EQ(radio->text(), expected.caption) << expected.index;
        EXPECT_EQ(radio->isChecked(), expected.chosen) << expected.index;
        EXPECT_EQ(radio->parent()->objectName(), QString::fromLatin1(expected.frame))
            << expected.index;
    }
    // The boxes that belong to a frame sit in it.
    for (const auto& [box, frame] : std::vector<std::pair<int, const char*>>{
             {30, "Frame3"}, {38, "Frame3"}, {50, "Frame2"}, {70, "Frame4"}, {83, "Frame1"}})
        EXPECT_EQ(text1(box)->parent()->objectName(), QString::fromLatin1(frame)) << box;

    const std::vector<std::pair<const char*, QString>> buttons = {
        {"Command1", QStringLiteral("GENERER")},
        {"Command2", QStringLiteral(".....")},
        {"Command3", QStringLiteral("Executer")},
        {"Command4", QStringLiteral("Selection fichiers")},
        {"Command5", QStringLiteral("Selection avancée")},
    };
    for (const auto& [name, caption] : buttons) {
        ASSERT_NE(button(name), nullptr);
        EXPECT_EQ(button(name)->text(), caption) << name;
    }

    auto* format = Child<QComboBox>(window.get(), QStringLiteral("Combo1_30"));
    ASSERT_NE(format, nullptr);
    EXPECT_TRUE(format->isEditable());
    EXPECT_EQ(format->currentText(), QStringLiteral("Nom fichier + infos sur 1 Ligne"));
    QStringList entries;
    for (int i = 0; i < format->count(); ++i)
        entries << format->itemText(i);
    EXPECT_EQ(entries, (QStringList{QStringLiteral("Nom fichier + infos sur 1 Ligne"),
                                    QStringLiteral("Nom fichier + infos par Colone"),
                                    QStringLiteral("Par Colone"), QStringLiteral("Par Ligne")}));

    // The untouched window is the core's default job.
    const MacroJob defaults;
    const MacroJob job = window->currentJob();
    EXPECT_EQ(job.symbolStepX, defaults.symbolStepX);
    EXPECT_EQ(job.attributeBlocks, defaults.attributeBlocks);
    EXPECT_EQ(job.attributeFormat, defaults.attributeFormat);
    EXPECT_EQ(job.exportCorners, defaults.exportCorners);
}

TEST_F(MacroWindowTest, ControlsLieSideBySideWithTheirTextWhole) {
    EXPECT_EQ(LayoutFaults(window.get()), std::vector<std::string>{});
}

TEST_F(MacroWindowTest, ReadsEveryControlIntoTheJob) {
    for (int index = 1; index <= 8; ++index)
        Click(check(index));
    TypeText(text1(10), QStringLiteral("5"));
    TypeText(text1(11), QStringLiteral("7"));
    Click(option(31));
    const QStringList blocks = {QStringLiteral("B1"), QStringLiteral("B2"), QStringLiteral("B3"),
                                QStringLiteral("B4")};
    const QStringList names = {QStringLiteral("N1"), QStringLiteral("N2"), QStringLiteral("N3"),
                               QStringLiteral("N4")};
    for (int column = 0; column < 4; ++column) {
        TypeText(text1(30 + column), blocks[column]);
        TypeText(text1(35 + column), names[column]);
    }
    TypeText(Child<QComboBox>(window.get(), QStringLiteral("Combo1_30")),
             QStringLiteral("Par Ligne"));
    Click(option(51));
    TypeText(text1(50), QStringLiteral("Lampe"));
    TypeText(text1(60), QStringLiteral("cotes"));
    Click(option(71));
    TypeText(text1(70), QStringLiteral("axes"));
    Click(option(81));
    TypeText(text1(80), QStringLiteral("1"));
    TypeText(text1(81), QStringLiteral("2"));
    TypeText(text1(82), QStringLiteral("3"));
    TypeText(text1(83), QStringLiteral("4"));

    const MacroJob job = window->currentJob();
    EXPECT_TRUE(job.insertSymbols && job.startExcel && job.exportAttributes && job.countBlocks &&
                job.eraseLayer && job.freezeLayer && job.exportText);
    EXPECT_EQ(job.symbolStepX, "5");
    EXPECT_EQ(job.symbolStepY, "7");
    EXPECT_FALSE(job.attributesAllBlocks);
    EXPECT_TRUE(job.attributesNamed);
    EXPECT_EQ(job.attributeBlocks, (std::array<std::string, 4>{"B1", "B2", "B3", "B4"}));
    EXPECT_EQ(job.attributeNames, (std::array<std::string, 4>{"N1", "N2", "N3", "N4"}));
    EXPECT_EQ(job.attributeFormat, "Par Ligne");
    EXPECT_FALSE(job.countAllBlocks);
    EXPECT_TRUE(job.countNamed);
    EXPECT_EQ(job.countBlock, "Lampe");
    EXPECT_EQ(job.erasedLayer, "cotes");
    EXPECT_FALSE(job.freeze);
    EXPECT_TRUE(job.thaw);
    EXPECT_EQ(job.frozenLayer, "axes");
    EXPECT_FALSE(job.exportAllText);
    EXPECT_TRUE(job.exportWindow);
    // The boxes in their own order: 80, 81, 82, 83.
    EXPECT_EQ(job.exportCorners, (std::array<std::string, 4>{"1", "2", "3", "4"}));
}

TEST_F(MacroWindowTest, AGreyedCheckBoxDoesNotCount) {
    for (int index = 1; index <= 8; ++index) {
        check(index)->setTristate(true);
        check(index)->setCheckState(Qt::PartiallyChecked);
    }
    const MacroJob job = window->currentJob();
    EXPECT_FALSE(job.insertSymbols || job.startExcel || job.exportAttributes || job.countBlocks ||
                 job.eraseLayer || job.freezeLayer || job.exportText);
}

TEST_F(MacroWindowTest, LayerEraseAloneWritesTheExampleSection) {
    writeList({"A1.dwg"});
    Click(check(6));
    Click(button("Command1"));

    EXPECT_EQ(script(), "_.open\r\n\"C:\\plans\\A1.dwg\"\r\n_vbarun\r\nefface_calque\r\nnuage\r\n"
                        "_qsave\r\n_close\r\n");
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(excelStarts.isEmpty());
}

TEST_F(MacroWindowTest, SingleWindowAutocadGetsNoClose) {
    session.settings.setOption(slot::sdiSingle, true);
    writeList({"A1.dwg"});
    Click(button("Command1"));
    EXPECT_EQ(script(), "_.open\r\n\"C:\\plans\\A1.dwg\"\r\n_vbarun\r\n");
}

TEST_F(MacroWindowTest, AFailedRunIsReportedAndEndsMacroMode) {
    struct Case {
        const char* what;
        std::vector<std::string> names; // empty: no list at all
        QString stepX;
        QString expectedInText; // the box's text or the file that stopped the run; empty: the list
        std::string scriptAfter;
    };
    const std::vector<Case> cases = {
        // A bad step box is found before the script is emptied: the previous one stays.
        {"step not a number",
         {"A1.dwg"},
         QStringLiteral("abc"),
         QStringLiteral("abc"),
         "ancien\r\n"},
        {"step past 16 bits",
         {"A1.dwg"},
         QStringLiteral("40000"),
         QStringLiteral("40000"),
         "ancien\r\n"},
        // Found part-way: the previous script stays too, never half a new one.
        {"F1 name without .dwg",
         {"A1.dwg", "B2.dxf"},
         QStringLiteral("25"),
         QStringLiteral("B2.dxf"),
         "ancien\r\n"},
        {"no list", {}, QStringLiteral("25"), QString(), "ancien\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        session.symbols = {};
        test::TempDir listDir;
        session.programFolder = listDir.folder();
        if (!c.names.empty())
            writeList(c.names);
        WriteBytes(session.scriptPath(), "ancien\r\n");
        openWindow();
        prompts.messages.clear();
        Click(check(1));
        TypeText(text1(10), c.stepX);
        Click(button("Command1"));

        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_EQ(prompts.messages[0].title, QStringLiteral("ERREUR !!"));
        EXPECT_EQ(prompts.messages[0].buttons, gui::MessageButtons::Ok);
        const QString expected = c.expectedInText.isEmpty()
                                     ? QString::fromStdString(session.listPath())
                                     : c.expectedInText;
        EXPECT_TRUE(prompts.messages[0].text.contains(expected))
            << prompts.messages[0].text.toStdString();
        EXPECT_EQ(script(), c.scriptAfter);
    }
}

// A character AutoCAD would get as "?" stops the generation before the script is emptied,
// naming the box it was typed in.
TEST_F(MacroWindowTest, ACharacterOutsideTheCodePageNamesItsBoxAndKeepsTheScript) {
    writeList({"A1.dwg"});
    WriteBytes(session.scriptPath(), "ancien\r\n");
    Click(check(7)); // F7
    // Typed keys cannot carry a character outside Latin-1: the box is filled as a paste would.
    text1(70)->setText(QStringLiteral("cotes ☺"));
    Click(button("Command1"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].title, QStringLiteral("ERREUR !!"));
    EXPECT_EQ(prompts.messages[0].text.toStdString(),
              "Génération arrêtée. La case « F7 calque » contient un caractère qu'AutoCAD ne "
              "recevrait pas : « ☺ »\r\nLe script précédent est resté tel qu'il était.");
    EXPECT_EQ(script(), "ancien\r\n");
}

// A list line without a name: the message names the list, the line and the folder, and neither
// the script nor the symbol grid moves.
TEST_F(MacroWindowTest, ASymbolLineWithoutANameIsNamedByItsFolderAndLine) {
    WriteBytes(session.listPath(), "\vC:\\plans\\\r\n\tA1.dwg\r\n\t\r\n");
    Click(check(1));
    Click(button("Command1"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_NE(prompts.messages[0].text.toStdString().find(
                  "ligne 3 : ligne de fichier sans nom, sous le dossier « C:\\plans\\ »"),
              std::string::npos);
    EXPECT_EQ(session.symbols, SymbolGrid{});
}

TEST_F(MacroWindowTest, ASymbolThatFailsLeavesTheScriptAndTheGridAsTheyWere) {
    session.symbols = {0, 50};
    writeList({"A1.dwg", "B2.dxf"});
    Click(check(1));
    Click(button("Command1"));
    EXPECT_EQ(session.symbols, (SymbolGrid{0, 50}));
}

TEST_F(MacroWindowTest, SymbolPositionsCarryOverToTheNextWindow) {
    writeList({"S1.dwg", "S2.dwg", "S3.dwg", "S4.dwg", "S5.dwg", "S6.dwg", "S7.dwg"});
    Click(check(1));
    Click(button("Command1"));
    EXPECT_EQ(symbolPoints(), (std::vector<std::string>{"0,25", "0,50", "0,75", "0,100", "0,125",
                                                        "0,150", "0,175"}));

    // The grid lives in the session: a new window wraps into the next column.
    openWindow();
    writeList({"S8.dwg", "S9.dwg", "S10.dwg", "S11.dwg"});
    Click(check(1));
    Click(button("Command1"));
    EXPECT_EQ(symbolPoints(), (std::vector<std::string>{"0,200", "0,225", "40,0", "40,25"}));
    EXPECT_TRUE(prompts.messages.isEmpty());

    // A drawing written without F1 starts the grid again.
    openWindow();
    writeList({"A1.dwg"});
    Click(button("Command1"));
    EXPECT_EQ(session.symbols, SymbolGrid{});
    openWindow();
    Click(check(1));
    Click(button("Command1"));
    EXPECT_EQ(symbolPoints(), std::vector<std::string>{"0,25"});
}

TEST_F(MacroWindowTest, WorkbookButtonChoosesOneSpreadsheetOnlyWhileF2IsTicked) {
    Click(button("Command2"));
    EXPECT_TRUE(prompts.dialogs.isEmpty());

    Click(check(2));
    prompts.presetFiles({QString::fromStdString(dir.path("  Textes.xls  "))});
    Click(button("Command2"));
    ASSERT_EQ(prompts.dialogs.size(), 1);
    const gui::FileDialogRequest& request = prompts.dialogs[0];
    EXPECT_EQ(request.kind, gui::FileDialogKind::Open);
    EXPECT_EQ(request.title, QStringLiteral("Choisissez un fichier"));
    EXPECT_EQ(request.filter, QStringLiteral("Excel (*.xls)|*.xls|Tous (*.*)|*.*"));
    EXPECT_EQ(request.startFolder, QString::fromStdString(dir.folder()));
    const std::string chosen = dir.path("  Textes.xls");
    EXPECT_EQ(session.excelWorkbookPath, chosen);

    // A cancel keeps the workbook already chosen.
    Click(button("Command2"));
    EXPECT_EQ(prompts.dialogs.size(), 2);
    EXPECT_EQ(session.excelWorkbookPath, chosen);
}

TEST_F(MacroWindowTest, ExcelThatCannotStartIsNamedWithWhy) {
    excelStart = StartFailure(std::string(kExcelProgram), ErrorCode::PermissionDenied);
    openWindow();
    writeList({"A1.dwg"});
    Click(check(2));
    Click(button("Command1"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text.toStdString(),
              "Excel n'a pas pu être démarré : accès refusé.\r\n" + std::string(kExcelProgram));
}

TEST_F(MacroWindowTest, ExcelStartsOncePerGenerationOnTheChosenWorkbook) {
    struct Case {
        const char* what;
        bool insertSymbols;
        std::vector<std::string> names;
        int starts;
    };
    const std::vector<Case> cases = {
        {"three drawings", false, {"A1.dwg", "A2.dwg", "A3.dwg"}, 1},
        {"symbols only", true, {"A1.dwg", "A2.dwg", "A3.dwg"}, 0},
        {"empty list", false, {}, 0},
    };
    session.excelWorkbookPath = "C:\\Textes.xls";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        excelStarts.clear();
        openWindow();
        writeList(c.names);
        Click(check(2));
        if (c.insertSymbols)
            Click(check(1));
        Click(button("Command1"));
        EXPECT_EQ(excelStarts.size(), c.starts);
        for (const QString& workbook : excelStarts)
            EXPECT_EQ(workbook, QStringLiteral("C:\\Textes.xls"));
        EXPECT_TRUE(prompts.messages.isEmpty());
    }
}

TEST_F(MacroWindowTest, TheWorkbookOutlivesTheWindow) {
    Click(check(2));
    prompts.presetFiles({QStringLiteral("C:/Données/Textes.xls")});
    Click(button("Command2"));

    openWindow();
    writeList({"A1.dwg"});
    Click(check(2));
    Click(button("Command1"));
    ASSERT_EQ(excelStarts.size(), 1);
    EXPECT_EQ(excelStarts[0], QDir::toNativeSeparators(QStringLiteral("C:/Données/Textes.xls")));
}

TEST_F(MacroWindowTest, SelectionButtonsRunTheMainWindowsCommandsAndExecuterDoesNothing) {
    WriteBytes(session.scriptPath(), "before");
    Click(button("Command4"));
    Click(button("Command5"));
    Click(button("Command5"));
    Click(button("Command3"));
    EXPECT_EQ(selectFilesCalls, 1);
    EXPECT_EQ(advancedSelectionCalls, 2);
    EXPECT_EQ(script(), "before");
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(prompts.dialogs.isEmpty());
}

} // namespace
} // namespace pilotrame
