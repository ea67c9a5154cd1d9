#include "gui/prompts.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace pilotrame::gui {
namespace {

// The patterns Qt reads from a name filter: those in the parentheses at its end.
QStringList PatternsOf(const QString& qtFilter) {
    static const QRegularExpression lastParentheses(QStringLiteral("\\(([^()]*)\\)$"));
    return lastParentheses.match(qtFilter).captured(1).split(QLatin1Char(' '));
}

TEST(Prompts, NameFiltersCarryTheirPatternAfterTheLabel) {
    struct Case {
        QString filter;
        QStringList qtFilters;
    };
    const Case cases[] = {
        {QStringLiteral("Executable (*.exe)|*.exe|Executable (*.bat)|*.bat|Tout (*.*)|*.*"),
         {QStringLiteral("Executable (*.exe) (*.exe)"),
          QStringLiteral("Executable (*.bat) (*.bat)"), QStringLiteral("Tout (*.*) (*)")}},
        {QStringLiteral("Microstation (*.dng)|*.dgn"),
         {QStringLiteral("Microstation (*.dng) (*.dgn)")}},
        {QStringLiteral("Plans|*.dwg"), {QStringLiteral("Plans (*.dwg)")}},
        {QString(), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QtNameFilters(c.filter), c.qtFilters) << c.filter.toStdString();
}

// What the user reads in the dialog's list of types: each caption exactly once, as written.
TEST(Prompts, TheDialogShowsEachCaptionAsWritten) {
    const std::pair<QString, QStringList> dialogs[] = {
        {QStringLiteral("Executable (*.exe)|*.exe|Executable (*.bat)|*.bat|Tout (*.*)|*.*"),
         {QStringLiteral("Executable (*.exe)"), QStringLiteral("Executable (*.bat)"),
          QStringLiteral("Tout (*.*)")}},
        {QStringLiteral("Autocad (*.dwg)|*.dwg|Echange (*.dxf)|*.dxf|Microstation (*.dng)|*.dgn|"
                        "Excel (*.xls)|*.xls|Tous (*.*)|*.*"),
         {QStringLiteral("Autocad (*.dwg)"), QStringLiteral("Echange (*.dxf)"),
          QStringLiteral("Microstation (*.dng)"), QStringLiteral("Excel (*.xls)"),
          QStringLiteral("Tous (*.*)")}},
    };
    for (const auto& [filter, captions] : dialogs) {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        ConfigureFileDialog(dialog, FileDialogRequest{FileDialogKind::Open, QStringLiteral("t"),
                                                      filter, QString(), QString()});
        auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        QStringList shown;
        for (int i = 0; i < types->count(); ++i)
            shown << types->itemText(i).trimmed();
        EXPECT_EQ(shown, captions);
        EXPECT_EQ(types->currentIndex(), 0);
    }
}

// "Tout (*.*)" means every file, as on Windows: a program file without a dot in its name too.
TEST(Prompts, EveryFileEntryMatchesNamesWithoutADot) {
    const QStringList filters = QtNameFilters(
        QStringLiteral("Executable (*.exe)|*.exe|Executable (*.bat)|*.bat|Tout (*.*)|*.*"));
    ASSERT_EQ(filters.size(), 3);
    EXPECT_TRUE(QDir::match(PatternsOf(filters[2]), QStringLiteral("acad")));
    EXPECT_TRUE(QDir::match(PatternsOf(filters[2]), QStringLiteral("acad.exe")));
    EXPECT_FALSE(QDir::match(PatternsOf(filters[0]), QStringLiteral("acad")));
    EXPECT_TRUE(QDir::match(PatternsOf(filters[0]), QStringLiteral("acad.exe")));
}

} // namespace
} // namespace pilotrame::gui
