#include "app/prompts.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace pilotrame::gui {
namespace {

// The patterns Qt reads from a name filter: those in the parentheses at its end.
QStringList patternsOf(const QString& qtFilter) {
    static const QRegularExpression lastParentheses(QStringLiteral("\\(([^()]*)\\)$"));
    return lastParentheses.match(qtFilter).captured(1).split(QLatin1Char(' '));
}

TEST(Prompts, NameFiltersShowEachLabelOnce) {
    struct Case {
        QString filter;
        QStringList qtFilters;
    };
    const Case cases[] = {
        {QStringLiteral("Executable (*.exe)|*.exe|Executable (*.bat)|*.bat|Tout (*.*)|*.*"),
         {QStringLiteral("Executable (*.exe)"), QStringLiteral("Executable (*.bat)"),
          QStringLiteral("Tout (*.*) (*)")}},
        {QStringLiteral("Autocad (*.dwg)|*.dwg|Echange (*.dxf)|*.dxf|Microstation (*.dng)|*.dgn|"
                        "Excel (*.xls)|*.xls|Tous (*.*)|*.*"),
         {QStringLiteral("Autocad (*.dwg)"), QStringLiteral("Echange (*.dxf)"),
          QStringLiteral("Microstation (*.dng) (*.dgn)"), QStringLiteral("Excel (*.xls)"),
          QStringLiteral("Tous (*.*) (*)")}},
        {QStringLiteral("Script (*.scr)|*.scr|Texte (*.txt)|*.txt|Tout les fichiers (*.*)|*.*"),
         {QStringLiteral("Script (*.scr)"), QStringLiteral("Texte (*.txt)"),
          QStringLiteral("Tout les fichiers (*.*) (*)")}},
        {QStringLiteral("Plans|*.dwg"), {QStringLiteral("Plans (*.dwg)")}},
        {QString(), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qtNameFilters(c.filter), c.qtFilters) << c.filter.toStdString();
}

// "Tout (*.*)" means every file, as on Windows: a program file without a dot in its name too.
TEST(Prompts, EveryFileEntryMatchesNamesWithoutADot) {
    const QStringList filters = qtNameFilters(
        QStringLiteral("Executable (*.exe)|*.exe|Executable (*.bat)|*.bat|Tout (*.*)|*.*"));
    ASSERT_EQ(filters.size(), 3);
    EXPECT_TRUE(QDir::match(patternsOf(filters[2]), QStringLiteral("acad")));
    EXPECT_TRUE(QDir::match(patternsOf(filters[2]), QStringLiteral("acad.exe")));
    EXPECT_FALSE(QDir::match(patternsOf(filters[0]), QStringLiteral("acad")));
    EXPECT_TRUE(QDir::match(patternsOf(filters[0]), QStringLiteral("acad.exe")));
}

} // namespace
} // namespace pilotrame::gui
