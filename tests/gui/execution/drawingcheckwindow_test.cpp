#include "gui/execution/drawingcheckwindow.h"

#include "app/transcript.h"
#include "support/guitest.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <string>

namespace pilotrame {
namespace {

using gui::DrawingCheckWindow;
using test::Child;
using test::Click;
using test::Str;

const char* const kLongFolder = "/chantiers/2024/immeuble rue des Lilas/lot 03 - plomberie/"
                                "plans d'exécution/indice C/niveau R+4/";

DrawingCheck SampleCheck() {
    return {5,
            {{"/plans/A.dwg", DrawingProblem::Missing},
             {std::string(kLongFolder) + "coupe é-è.dwg", DrawingProblem::ReadOnly},
             {"/plans/C.DWG", DrawingProblem::OpenElsewhere}}};
}

// The visible window of this type, or nullptr.
DrawingCheckWindow* ShownWindow() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<DrawingCheckWindow*>(top); window && window->isVisible())
            return window;
    return nullptr;
}

// Runs ask (which shows the window modally) and, while the window is on screen, does what the
// user does. A window the user left open is closed afterwards so that a fault fails the test
// instead of hanging it. Returns the answer and whether the window was seen modal.
struct Asked {
    DrawingCheckAnswer answer = DrawingCheckAnswer::Continue;
    bool shownModal = false;
    bool closedByUser = false;
};
Asked WhileShown(const std::function<DrawingCheckAnswer()>& ask,
                 const std::function<void(DrawingCheckWindow&)>& act) {
    Asked asked;
    QTimer::singleShot(0, [&] {
        DrawingCheckWindow* window = ShownWindow();
        asked.shownModal = window && window->isModal();
        if (!window)
            return;
        act(*window);
        asked.closedByUser = !window->isVisible();
        if (window->isVisible())
            window->done(QDialog::Rejected);
    });
    asked.answer = ask();
    return asked;
}

TEST(DrawingCheckWindow, ShowsItselfModallyUnderItsTitle) {
    std::string title;
    std::string name;
    const Asked asked =
        WhileShown([] { return DrawingCheckWindow::ask(nullptr, SampleCheck()); },
                   [&](DrawingCheckWindow& window) {
                       title = Str(window.windowTitle());
                       name = Str(window.objectName());
                       Click(Child<QPushButton>(&window, QStringLiteral("continueAnyway")));
                   });
    EXPECT_TRUE(asked.shownModal);
    EXPECT_EQ(title, "Vérification des plans");
    EXPECT_EQ(name, "DrawingCheckWindow");
    EXPECT_EQ(asked.answer, DrawingCheckAnswer::Continue);
    EXPECT_EQ(ShownWindow(), nullptr);
}

// Through the program's own prompts, as the main window asks.
TEST(DrawingCheckWindow, EachButtonClosesTheWindowWithItsAnswer) {
    struct Case {
        const char* button;
        const char* caption;
        DrawingCheckAnswer answer;
    };
    const Case cases[] = {
        {"skipProblems", "Ignorer ces plans", DrawingCheckAnswer::SkipProblems},
        {"continueAnyway", "Continuer quand même", DrawingCheckAnswer::Continue},
        {"cancel", "Annuler", DrawingCheckAnswer::Cancel},
    };
    for (const Case& c : cases) {
        gui::QtPrompts prompts;
        std::string caption;
        const Asked asked =
            WhileShown([&] { return prompts.reviewDrawings(nullptr, SampleCheck()); },
                       [&](DrawingCheckWindow& window) {
                           auto* button =
                               Child<QPushButton>(&window, QString::fromLatin1(c.button));
                           if (!button)
                               return;
                           caption = Str(button->text());
                           Click(button);
                       });
        EXPECT_TRUE(asked.shownModal) << c.button;
        EXPECT_TRUE(asked.closedByUser) << c.button;
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(asked.answer, c.answer) << c.button;
    }
}

// A stray Enter chooses nothing, wherever the focus is; Escape and closing the window cancel.
TEST(DrawingCheckWindow, EnterChoosesNothingEscapeAndClosingCancel) {
    const std::function<void(DrawingCheckWindow&)> leaves[] = {
        [](DrawingCheckWindow& window) { QTest::keyClick(&window, Qt::Key_Escape); },
        [](DrawingCheckWindow& window) { window.close(); },
    };
    for (const auto& leave : leaves) {
        bool stayedAfterEnter = true;
        const Asked asked = WhileShown(
            [] { return DrawingCheckWindow::ask(nullptr, SampleCheck()); },
            [&](DrawingCheckWindow& window) {
                for (const char* name : {"drawings", "skipProblems", "continueAnyway", "cancel"}) {
                    QWidget* control = Child<QWidget>(&window, QString::fromLatin1(name));
                    if (!control)
                        continue;
                    control->setFocus();
                    QTest::keyClick(control, Qt::Key_Return);
                    QTest::keyClick(control, Qt::Key_Enter);
                    stayedAfterEnter = stayedAfterEnter && window.isVisible();
                }
                leave(window);
            });
        EXPECT_TRUE(stayedAfterEnter);
        EXPECT_TRUE(asked.closedByUser);
        EXPECT_EQ(asked.answer, DrawingCheckAnswer::Cancel);
    }
}

TEST(DrawingCheckWindow, SummaryCountsDrawingsAndProblems) {
    struct Case {
        int checked;
        int problems;
        const char* summary;
    };
    const Case cases[] = {
        {1, 1, "1 plan vérifié, 1 problème"},
        {2, 1, "2 plans vérifiés, 1 problème"},
        {3, 2, "3 plans vérifiés, 2 problèmes"},
        {10000, 1, "10000 plans vérifiés, 1 problème"},
        {10000, 10000, "10000 plans vérifiés, 10000 problèmes"},
    };
    for (const Case& c : cases) {
        DrawingCheck check{c.checked, {}};
        for (int i = 0; i < c.problems; ++i)
            check.issues.push_back({"/p/" + std::to_string(i) + ".dwg", DrawingProblem::Missing});
        const DrawingCheckWindow window(check);
        auto* summary = Child<QLabel>(&window, QStringLiteral("summary"));
        ASSERT_NE(summary, nullptr);
        EXPECT_EQ(Str(summary->text()), c.summary);
        auto* list = Child<QTreeView>(&window, QStringLiteral("drawings"));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->model()->rowCount(), c.problems);
    }
}

TEST(DrawingCheckWindow, ListsEveryDrawingWithItsReasonInListOrder) {
    const DrawingCheck check = SampleCheck();
    const DrawingCheckWindow window(check);
    auto* list = Child<QTreeView>(&window, QStringLiteral("drawings"));
    ASSERT_NE(list, nullptr);
    const QAbstractItemModel* rows = list->model();
    EXPECT_EQ(Str(rows->headerData(0, Qt::Horizontal).toString()), "Plan");
    EXPECT_EQ(Str(rows->headerData(2, Qt::Horizontal).toString()), "Problème");
    const char* const reasons[] = {"introuvable", "en lecture seule",
                                   "ouvert ailleurs (fichier .dwl présent)"};
    ASSERT_EQ(rows->rowCount(), 3);
    ASSERT_EQ(rows->columnCount(), 3);
    for (int row = 0; row < 3; ++row) {
        const std::string& path = check.issues[static_cast<std::size_t>(row)].path;
        const QModelIndex cell = rows->index(row, 0);
        EXPECT_EQ(Str(cell.data().toString()), path);
        EXPECT_EQ(Str(cell.data(Qt::ToolTipRole).toString()), path);
        EXPECT_EQ(Str(rows->index(row, 2).data().toString()), reasons[row]);
        EXPECT_FALSE(rows->flags(cell) & Qt::ItemIsEditable);
        EXPECT_TRUE(rows->flags(cell) & Qt::ItemIsSelectable);
    }
}

// Long paths are cut in the middle, never the reasons nor the buttons.
TEST(DrawingCheckWindow, ReasonsAndButtonsStayWholeBesideLongPaths) {
    DrawingCheck check = SampleCheck();
    check.issues.push_back(
        {std::string(kLongFolder) + kLongFolder + "x.dwg", DrawingProblem::OpenElsewhere});
    DrawingCheckWindow window(check);
    window.show();
    QApplication::processEvents();
    auto* list = Child<QTreeView>(&window, QStringLiteral("drawings"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->textElideMode(), Qt::ElideMiddle);
    const int widestReason = list->fontMetrics().horizontalAdvance(
        QStringLiteral("ouvert ailleurs (fichier .dwl présent)"));
    EXPECT_GE(list->columnWidth(2), widestReason);
    EXPECT_GT(list->columnWidth(0), widestReason); // most of the room goes to the paths
    EXPECT_LE(list->columnWidth(0) + list->columnWidth(1) + list->columnWidth(2),
              list->viewport()->width());
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        const QRect inWindow(button->mapTo(&window, QPoint(0, 0)), button->size());
        EXPECT_TRUE(window.rect().contains(inWindow)) << Str(button->text());
        EXPECT_GE(button->width(), button->sizeHint().width()) << Str(button->text());
    }
    window.hide();
}

TEST(DrawingCheckWindow, CopyPutsTheListOnTheClipboardAndKeepsTheWindowOpen) {
    QGuiApplication::clipboard()->setText(QStringLiteral("avant"));
    const Asked asked =
        WhileShown([] { return DrawingCheckWindow::ask(nullptr, SampleCheck()); },
                   [](DrawingCheckWindow& window) {
                       Click(Child<QPushButton>(&window, QStringLiteral("copyList")));
                       EXPECT_TRUE(window.isVisible());
                       EXPECT_EQ(window.answer(), DrawingCheckAnswer::Cancel);
                       Click(Child<QPushButton>(&window, QStringLiteral("skipProblems")));
                   });
    EXPECT_EQ(asked.answer, DrawingCheckAnswer::SkipProblems);
    const std::string expected = "/plans/A.dwg\tintrouvable\r\n" + std::string(kLongFolder) +
                                 "coupe é-è.dwg\ten lecture seule\r\n"
                                 "/plans/C.DWG\touvert ailleurs (fichier .dwl présent)\r\n";
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), expected);
    QGuiApplication::clipboard()->clear();
}

TEST(DrawingCheckPrompts, ScriptedPromptsAnswerFromPresetsThenCancel) {
    test::ScriptedPrompts prompts;
    prompts.presetDrawingAnswer(DrawingCheckAnswer::SkipProblems);
    prompts.presetDrawingAnswer(DrawingCheckAnswer::Continue);
    gui::Prompts& installed = gui::Prompts::instance();
    EXPECT_EQ(installed.reviewDrawings(nullptr, {1, {}}), DrawingCheckAnswer::SkipProblems);
    EXPECT_EQ(installed.reviewDrawings(nullptr, {2, {}}), DrawingCheckAnswer::Continue);
    EXPECT_EQ(installed.reviewDrawings(nullptr, SampleCheck()), DrawingCheckAnswer::Cancel);
    ASSERT_EQ(prompts.drawingChecks.size(), 3);
    EXPECT_EQ(prompts.drawingChecks[0].checked, 1);
    EXPECT_EQ(prompts.drawingChecks[2].issues, SampleCheck().issues);
    EXPECT_EQ(ShownWindow(), nullptr);
}

TEST(DrawingCheckPrompts, TranscriptRecordsTheCountsAndCancels) {
    test::TempDir dir;
    const std::string path = dir.path("transcript.txt");
    app::TranscriptPrompts transcript(QString::fromStdString(path));
    transcript.message(nullptr, {QStringLiteral("Pilotrame"), QStringLiteral("a\r\nb")});
    EXPECT_EQ(transcript.reviewDrawings(nullptr, SampleCheck()), DrawingCheckAnswer::Cancel);
    EXPECT_EQ(test::ReadBytes(path), "message|Pilotrame|a\\nb\ndrawings|5|3\n");
}

} // namespace
} // namespace pilotrame
