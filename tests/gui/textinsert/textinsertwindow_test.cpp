#include "gui/textinsert/textinsertwindow.h"

#include "support/guitest.h"
#include "support/lines.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>
#include <string>
#include <vector>

namespace pilotrame {
namespace {

using gui::TextInsertionWindow;
using test::Child;
using test::Click;
using test::LayoutFaults;
using test::ReadBytes;
using test::TypeText;
using test::WriteBytes;

const std::vector<std::string> kSetup = {"osmode", "0", "snapmode", "0"};

std::vector<std::string> WithSetup(const std::vector<std::string>& body) {
    std::vector<std::string> all = kSetup;
    all.insert(all.end(), body.begin(), body.end());
    return all;
}

class TextInsertionWindowTest : public ::testing::Test {
protected:
    TextInsertionWindowTest() : window(session) {
        session.programFolder = dir.folder();
        session.scriptFolder = dir.folder();
        window.show();
    }
    ~TextInsertionWindowTest() override { QGuiApplication::clipboard()->clear(); }

    QPushButton* button(const char* name) {
        return Child<QPushButton>(&window, QString::fromLatin1(name));
    }
    QComboBox* combo(int index) {
        return Child<QComboBox>(&window, QStringLiteral("Combo1_%1").arg(index));
    }
    QLineEdit* text4(int index) {
        return Child<QLineEdit>(&window, QStringLiteral("Text4_%1").arg(index));
    }
    QPlainTextEdit* table() { return Child<QPlainTextEdit>(&window, QStringLiteral("Text2")); }

    void paste(const QString& clipboardText) {
        QGuiApplication::clipboard()->setText(clipboardText);
        Click(button("Command2"));
    }
    void generate() { Click(button("Command1")); }
    std::string script() { return ReadBytes(session.scriptPath()); }

    test::TempDir dir;
    test::ScriptedPrompts prompts;
    Session session;
    TextInsertionWindow window;
};

TEST_F(TextInsertionWindowTest, ShowsEveryControlWithItsCaptionAndDefault) {
    EXPECT_EQ(window.objectName(), QStringLiteral("Form3"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Inserer texte"));

    const std::vector<std::pair<const char*, QString>> buttons = {
        {"Command1", QStringLiteral("Générer script")},
        {"Command2", QStringLiteral("Coller tableau")},
    };
    for (const auto& [name, caption] : buttons) {
        ASSERT_NE(button(name), nullptr);
        EXPECT_EQ(button(name)->text(), caption) << name;
    }
    ASSERT_NE(table(), nullptr);
    EXPECT_TRUE(table()->toPlainText().isEmpty());

    struct ComboLayout {
        int index;
        QString label;
        QStringList entries; // the first one shown
    };
    const std::vector<ComboLayout> combos = {
        {0,
         QStringLiteral("Style texte :"),
         {QStringLiteral("STANDARD"), QStringLiteral("vaxo"), QStringLiteral("style1")}},
        {1,
         QStringLiteral("Justifier :"),
         {QStringLiteral("Gauche"), QStringLiteral("Milieu"), QStringLiteral("Droite"),
          QStringLiteral("Milieu Gauche"), QStringLiteral("Milieu Centre"),
          QStringLiteral("Milieu Droite")}},
        {2,
         QStringLiteral("Hauteur :"),
         {QStringLiteral("2.5"), QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2"),
          QStringLiteral("3")}},
        {3,
         QStringLiteral("Rotation :"),
         {QStringLiteral("0"), QStringLiteral("90"), QStringLiteral("180"), QStringLiteral("270")}},
    };
    for (const ComboLayout& expected : combos) {
        QComboBox* box = combo(expected.index);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isEditable()) << expected.index;
        EXPECT_EQ(box->currentText(), expected.entries.front()) << expected.index;
        QStringList entries;
        for (int i = 0; i < box->count(); ++i)
            entries << box->itemText(i);
        EXPECT_EQ(entries, expected.entries) << expected.index;
        auto* label = Child<QLabel>(&window, QStringLiteral("Label1_%1").arg(expected.index));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), expected.label);
    }

    auto* check1 = Child<QCheckBox>(&window, QStringLiteral("Check1"));
    ASSERT_NE(check1, nullptr);
    EXPECT_EQ(check1->text(), QStringLiteral("Inversion ordre"));
    EXPECT_FALSE(check1->isChecked());

    const std::vector<std::pair<int, QString>> boxes = {
        {20, QStringLiteral("10")}, {1, QStringLiteral("0")},  {0, QStringLiteral("0")},
        {2, QStringLiteral("10")},  {3, QStringLiteral("20")}, {4, QStringLiteral("30")},
        {5, QStringLiteral("40")},  {6, QStringLiteral("50")}, {7, QStringLiteral("60")},
        {8, QStringLiteral("70")},  {9, QStringLiteral("80")},
    };
    for (const auto& [index, text] : boxes) {
        ASSERT_NE(text4(index), nullptr);
        EXPECT_EQ(text4(index)->text(), text) << index;
    }

    std::vector<std::pair<int, QString>> labels = {
        {0, QStringLiteral("Point de départ :")},
        {1, QStringLiteral("Décalage : ")},
        {2, QStringLiteral("Décalage : ")},
    };
    for (int column = 1; column <= 9; ++column)
        labels.emplace_back(column + 2, QStringLiteral("Colonne %1").arg(column));
    for (const auto& [index, caption] : labels) {
        auto* label = Child<QLabel>(&window, QStringLiteral("Label4_%1").arg(index));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), caption) << index;
    }
}

TEST_F(TextInsertionWindowTest, ControlsLieSideBySideWithTheirTextWhole) {
    EXPECT_EQ(LayoutFaults(&window), std::vector<std::string>{});
}

TEST_F(TextInsertionWindowTest, PastedSpreadsheetRangeBecomesOneTextPerCell) {
    paste(QStringLiteral("Poteau\tCâble\r\n1\t\r\n"));
    EXPECT_EQ(table()->toPlainText(), QStringLiteral("Poteau\tCâble\n1\t\n"));
    generate();

    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(script(), "osmode\r\n0\r\nsnapmode\r\n0\r\n"
                        "texte style STANDARD 0,10 2.5 0 Poteau\r\n"
                        "texte style STANDARD 10,10 2.5 0 C\xE2"
                        "ble\r\n"
                        "texte style STANDARD 0,20 2.5 0 1\r\n"
                        "texte style STANDARD 10,20 2.5 0 .\r\n");
}

TEST_F(TextInsertionWindowTest, AnEmptyClipboardEmptiesTheTable) {
    table()->setPlainText(QStringLiteral("ancien\ttableau\n"));
    QGuiApplication::clipboard()->clear();
    Click(button("Command2"));
    EXPECT_TRUE(table()->toPlainText().isEmpty());
    generate();
    EXPECT_EQ(test::SplitLines(script()), kSetup);
}

TEST_F(TextInsertionWindowTest, TypedValuesGoIntoEveryLineAndShownOnlyControlsChangeNothing) {
    paste(QStringLiteral("a\tb\tc\r\nd\te\tf\r\n"));
    TypeText(combo(0), QStringLiteral("Mon style"));
    TypeText(combo(2), QStringLiteral("3.5"));
    TypeText(combo(3), QStringLiteral("90"));
    TypeText(text4(20), QStringLiteral("-10"));
    TypeText(text4(1), QStringLiteral("5"));
    TypeText(text4(2), QStringLiteral("105"));
    TypeText(text4(3), QStringLiteral("-20"));
    // Shown only: justification, order inversion and the box beside the start point.
    TypeText(combo(1), QStringLiteral("Droite"));
    Click(Child<QCheckBox>(&window, QStringLiteral("Check1")));
    TypeText(text4(0), QStringLiteral("999"));
    generate();

    EXPECT_EQ(test::SplitLines(script()), WithSetup({
                                              "texte style Mon style 5,-10 3.5 90 a",
                                              "texte style Mon style 105,-10 3.5 90 b",
                                              "texte style Mon style -20,-10 3.5 90 c",
                                              "texte style Mon style 5,-20 3.5 90 d",
                                              "texte style Mon style 105,-20 3.5 90 e",
                                              "texte style Mon style -20,-20 3.5 90 f",
                                          }));
}

TEST_F(TextInsertionWindowTest, TooManyColumnsAreToldAndNineWritten) {
    paste(QStringLiteral("1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\r\n"));
    generate();

    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].title, QStringLiteral("Erreur"));
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Il y a trop de colonne"));
    EXPECT_EQ(prompts.messages[0].icon, gui::MessageIcon::Information);
    EXPECT_EQ(prompts.messages[0].buttons, gui::MessageButtons::Ok);
    const std::vector<std::string> written = test::SplitLines(script());
    ASSERT_EQ(written.size(), kSetup.size() + 9);
    EXPECT_EQ(written.back(), "texte style STANDARD 80,10 2.5 0 9");
}

TEST_F(TextInsertionWindowTest, ABadBoxIsShownAndTheScriptKeptAsItWas) {
    struct Case {
        const char* what;
        int box;
        QString text;
        QString table;
        QString shown; // what the message must hold; empty: nothing more than the box's text
    };
    const std::vector<Case> cases = {
        {"column X not a number", 3, QStringLiteral("abc"), QStringLiteral("a\r\n"), QString()},
        {"column X a fraction", 1, QStringLiteral("2.5"), QStringLiteral("a\r\n"), QString()},
        {"row step empty", 20, QString(), QStringLiteral("a\r\n"), QString()},
        // The step is a good number: the message names the table too long for it.
        {"last row past 16 bits", 20, QStringLiteral("20000"), QStringLiteral("a\r\nb\r\n"),
         QStringLiteral("Le tableau est trop long pour son décalage de 20000 : à partir de sa "
                        "ligne 2")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(session.scriptPath(), "ancien\r\n");
        prompts.messages.clear();
        TextInsertionWindow fresh(session);
        fresh.show();
        QGuiApplication::clipboard()->setText(c.table);
        Click(Child<QPushButton>(&fresh, QStringLiteral("Command2")));
        TypeText(Child<QLineEdit>(&fresh, QStringLiteral("Text4_%1").arg(c.box)), c.text);
        Click(Child<QPushButton>(&fresh, QStringLiteral("Command1")));

        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_EQ(prompts.messages[0].title, QStringLiteral("ERREUR !!"));
        EXPECT_EQ(prompts.messages[0].buttons, gui::MessageButtons::Ok);
        if (!c.shown.isEmpty()) {
            EXPECT_TRUE(prompts.messages[0].text.contains(c.shown))
                << prompts.messages[0].text.toStdString();
        } else if (!c.text.isEmpty()) {
            EXPECT_TRUE(prompts.messages[0].text.contains(QLatin1Char('"') + c.text))
                << prompts.messages[0].text.toStdString();
        }
        EXPECT_EQ(script(), "ancien\r\n");
    }
}

// A cell or setting AutoCAD would get as "?" is named, and the script is left as it was.
TEST_F(TextInsertionWindowTest, ACharacterOutsideTheCodePageNamesItsCellOrBox) {
    struct Case {
        QString table;
        QString style;
        std::string shown;
    };
    const Case cases[] = {
        {QStringLiteral("a\tb\r\nc\td ☺\r\n"), QStringLiteral("STANDARD"),
         "Génération arrêtée. La case « tableau, ligne 2, colonne 2 » contient un caractère "
         "qu'AutoCAD ne recevrait pas : « ☺ »"},
        {QStringLiteral("a\r\n"), QStringLiteral("Ω"),
         "Génération arrêtée. La case « Style texte » contient un caractère qu'AutoCAD ne "
         "recevrait pas : « Ω »"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        WriteBytes(session.scriptPath(), "ancien\r\n");
        prompts.messages.clear();
        paste(c.table);
        combo(0)->setEditText(c.style);
        generate();
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_EQ(prompts.messages[0].title, QStringLiteral("ERREUR !!"));
        EXPECT_EQ(prompts.messages[0].text.toStdString(),
                  c.shown + "\r\nLe script précédent est resté tel qu'il était.");
        EXPECT_EQ(script(), "ancien\r\n");
    }
}

TEST_F(TextInsertionWindowTest, AScriptThatCannotBeWrittenIsShownAsAFailure) {
    session.scriptFolder = dir.path("absent/");
    paste(QStringLiteral("a\r\n"));
    generate();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].title, QStringLiteral("ERREUR !!"));
    EXPECT_TRUE(prompts.messages[0].text.contains(QString::fromStdString(session.scriptPath())))
        << prompts.messages[0].text.toStdString();
    EXPECT_FALSE(test::FileExists(session.scriptPath()));
}

} // namespace
} // namespace pilotrame
