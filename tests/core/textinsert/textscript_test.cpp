#include "textinsert/textscript.h"

#include "support/lines.h"
#include "support/tempdir.h"
#include "texts/common.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

using test::Joined;
using test::ReadBytes;
using test::SplitLines;
using test::TempDir;
using test::WriteBytes;
using Lines = std::vector<std::string>;

const Lines kSetup{"osmode", "0", "snapmode", "0"};

Lines WithSetup(const Lines& body) {
    Lines all = kSetup;
    all.insert(all.end(), body.begin(), body.end());
    return all;
}

struct TextScript : ::testing::Test {
    TempDir dir;
    std::string script = dir.path("pilotrame.scr");
};

TEST_F(TextScript, DefaultsExample) {
    TextInsertionJob job;
    job.table = "Repere\tPoteau\r\n";
    const Result<TextInsertionOutcome> written = WriteTextInsertionScript(script, job);
    ASSERT_TRUE(written);
    EXPECT_EQ(ReadBytes(script), "osmode\r\n0\r\nsnapmode\r\n0\r\n"
                                 "texte style STANDARD 0,10 2.5 0 Repere\r\n"
                                 "texte style STANDARD 10,10 2.5 0 Poteau\r\n");
    EXPECT_EQ(written->rows, 1);
    EXPECT_EQ(written->columns, 2);
    EXPECT_FALSE(written->tooManyColumns);
}

TEST_F(TextScript, TablesAndBoxes) {
    struct Case {
        const char* name;
        void (*setUp)(TextInsertionJob&);
        Lines body;
        int rows;
        int columns;
    };
    const Case cases[] = {
        {"two rows",
         [](TextInsertionJob& j) { j.table = "a\tb\r\nc\td\r\n"; },
         {"texte style STANDARD 0,10 2.5 0 a", "texte style STANDARD 10,10 2.5 0 b",
          "texte style STANDARD 0,20 2.5 0 c", "texte style STANDARD 10,20 2.5 0 d"},
         2,
         2},
        {"rows ended by LF",
         [](TextInsertionJob& j) { j.table = "a\tb\nc\td\n"; },
         {"texte style STANDARD 0,10 2.5 0 a", "texte style STANDARD 10,10 2.5 0 b",
          "texte style STANDARD 0,20 2.5 0 c", "texte style STANDARD 10,20 2.5 0 d"},
         2,
         2},
        {"last row without a line end",
         [](TextInsertionJob& j) { j.table = "a\r\nb"; },
         {"texte style STANDARD 0,10 2.5 0 a", "texte style STANDARD 0,20 2.5 0 b"},
         2,
         1},
        {"single cell without a line end",
         [](TextInsertionJob& j) { j.table = "seul"; },
         {"texte style STANDARD 0,10 2.5 0 seul"},
         1,
         1},
        {"empty cells",
         [](TextInsertionJob& j) { j.table = "a\t\tc\r\n\tb\t\r\n"; },
         {"texte style STANDARD 0,10 2.5 0 a", "texte style STANDARD 10,10 2.5 0 .",
          "texte style STANDARD 20,10 2.5 0 c", "texte style STANDARD 0,20 2.5 0 .",
          "texte style STANDARD 10,20 2.5 0 b", "texte style STANDARD 20,20 2.5 0 ."},
         2,
         3},
        {"empty row in the middle",
         [](TextInsertionJob& j) { j.table = "a\tb\r\n\r\nc\td\r\n"; },
         {"texte style STANDARD 0,10 2.5 0 a", "texte style STANDARD 10,10 2.5 0 b",
          "texte style STANDARD 0,20 2.5 0 .", "texte style STANDARD 0,30 2.5 0 c",
          "texte style STANDARD 10,30 2.5 0 d"},
         3,
         2},
        {"short row writes its own cells only",
         [](TextInsertionJob& j) { j.table = "a\tb\tc\r\nd\r\ne\tf\r\n"; },
         {"texte style STANDARD 0,10 2.5 0 a", "texte style STANDARD 10,10 2.5 0 b",
          "texte style STANDARD 20,10 2.5 0 c", "texte style STANDARD 0,20 2.5 0 d",
          "texte style STANDARD 0,30 2.5 0 e", "texte style STANDARD 10,30 2.5 0 f"},
         3,
         3},
        {"long row stops at the count",
         [](TextInsertionJob& j) { j.table = "a\r\nb\tc\td\r\n"; },
         {"texte style STANDARD 0,10 2.5 0 a", "texte style STANDARD 0,20 2.5 0 b"},
         2,
         1},
        {"surrounding spaces of the table go, those inside cells stay",
         [](TextInsertionJob& j) { j.table = "   a b \t c \r\n  "; },
         {"texte style STANDARD 0,10 2.5 0 a b ", "texte style STANDARD 10,10 2.5 0  c "},
         1,
         2},
        {"negative row step",
         [](TextInsertionJob& j) {
             j.rowStep = "-10";
             j.table = "a\r\nb\r\nc\r\n";
         },
         {"texte style STANDARD 0,-10 2.5 0 a", "texte style STANDARD 0,-20 2.5 0 b",
          "texte style STANDARD 0,-30 2.5 0 c"},
         3,
         1},
        {"user style, height, rotation and positions",
         [](TextInsertionJob& j) {
             j.style = "Mon style";
             j.height = "3,5";
             j.rotation = "90";
             j.rowStep = " +7 ";
             j.columnX[0] = "-5";
             j.columnX[1] = "0015";
             j.table = "x\ty\r\n";
         },
         {"texte style Mon style -5,7 3,5 90 x", "texte style Mon style 15,7 3,5 90 y"},
         1,
         2},
        {"empty table", [](TextInsertionJob& j) { j.table = ""; }, {}, 0, 0},
        {"table of spaces", [](TextInsertionJob& j) { j.table = "    "; }, {}, 0, 0},
    };
    for (const Case& c : cases) {
        TextInsertionJob job;
        c.setUp(job);
        const Result<TextInsertionOutcome> written = WriteTextInsertionScript(script, job);
        ASSERT_TRUE(written) << c.name;
        EXPECT_EQ(SplitLines(ReadBytes(script)), WithSetup(c.body)) << c.name;
        EXPECT_EQ(written->rows, c.rows) << c.name;
        EXPECT_EQ(written->columns, c.columns) << c.name;
        EXPECT_FALSE(written->tooManyColumns) << c.name;
    }
}

TEST_F(TextScript, TenColumnsWriteNineAndTellIt) {
    TextInsertionJob job;
    job.table = "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\r\n";
    const Result<TextInsertionOutcome> written = WriteTextInsertionScript(script, job);
    ASSERT_TRUE(written);
    EXPECT_TRUE(written->tooManyColumns);
    EXPECT_EQ(written->columns, 9);
    Lines body;
    for (int i = 1; i <= 9; ++i)
        body.push_back("texte style STANDARD " + std::to_string((i - 1) * 10) + ",10 2.5 0 " +
                       std::to_string(i));
    EXPECT_EQ(SplitLines(ReadBytes(script)), WithSetup(body));
}

TEST_F(TextScript, NineColumnsAreNotTooMany) {
    TextInsertionJob job;
    job.table = "1\t2\t3\t4\t5\t6\t7\t8\t9\r\n";
    const Result<TextInsertionOutcome> written = WriteTextInsertionScript(script, job);
    ASSERT_TRUE(written);
    EXPECT_FALSE(written->tooManyColumns);
    EXPECT_EQ(written->columns, 9);
    EXPECT_EQ(SplitLines(ReadBytes(script)).back(), "texte style STANDARD 80,10 2.5 0 9");
}

TEST_F(TextScript, ReplacesALongerScriptAndWritesTheAnsiCodePage) {
    WriteBytes(script, std::string(500, 'x') + "\r\n");
    TextInsertionJob job;
    job.table = "C\xC3\xA2"
                "ble \xE2\x82\xAC\r\n";
    ASSERT_TRUE(WriteTextInsertionScript(script, job));
    EXPECT_EQ(ReadBytes(script), Joined(WithSetup({"texte style STANDARD 0,10 2.5 0 C\xE2"
                                                   "ble \x80"})));
}

TEST_F(TextScript, BadBoxesFailAndLeaveTheFileAsItWas) {
    struct Case {
        const char* name;
        void (*setUp)(TextInsertionJob&);
        Cause cause;
        const char* box;
        const char* text;
    };
    const Case cases[] = {
        {"letters in column 3", [](TextInsertionJob& j) { j.columnX[2] = "abc"; },
         Cause::NotANumber, "Colonne 3", "abc"},
        {"fraction in column 1", [](TextInsertionJob& j) { j.columnX[0] = "2.5"; },
         Cause::NotANumber, "Colonne 1", "2.5"},
        {"empty column 9 although unused", [](TextInsertionJob& j) { j.columnX[8] = ""; },
         Cause::NotANumber, "Colonne 9", ""},
        {"column 2 past 16 bits", [](TextInsertionJob& j) { j.columnX[1] = "32768"; },
         Cause::OutOfRange, "Colonne 2", "32768"},
        {"column 4 below 16 bits", [](TextInsertionJob& j) { j.columnX[3] = "-32769"; },
         Cause::OutOfRange, "Colonne 4", "-32769"},
        {"step not a number", [](TextInsertionJob& j) { j.rowStep = "dix"; }, Cause::NotANumber,
         "Décalage", "dix"},
        {"step of huge digits", [](TextInsertionJob& j) { j.rowStep = "123456789012345678901"; },
         Cause::OutOfRange, "Décalage", "123456789012345678901"},
        // The step is a good number: it is the table that is too long for it.
        {"last row past 16 bits",
         [](TextInsertionJob& j) {
             j.rowStep = "10000";
             j.table = "a\r\nb\r\nc\r\nd\r\n";
         },
         Cause::PastTheLimit, "tableau", "10000"},
        {"last row below 16 bits",
         [](TextInsertionJob& j) {
             j.rowStep = "-16385";
             j.table = "a\r\nb";
         },
         Cause::PastTheLimit, "tableau", "-16385"},
        // Characters AutoCAD would get as "?", in a setting or a cell.
        {"style", [](TextInsertionJob& j) { j.style = "Ω"; }, Cause::NotInCodePage, "Style texte",
         "Ω"},
        {"height", [](TextInsertionJob& j) { j.height = "2½☺"; }, Cause::NotInCodePage, "Hauteur",
         "☺"},
        {"rotation", [](TextInsertionJob& j) { j.rotation = "90✓"; }, Cause::NotInCodePage,
         "Rotation", "✓"},
        {"first cell", [](TextInsertionJob& j) { j.table = "☺\tb"; }, Cause::NotInCodePage,
         "tableau, ligne 1, colonne 1", "☺"},
        {"cell of a later row",
         [](TextInsertionJob& j) { j.table = "a\tb\r\n\r\nc\td\ne\tfé✓\r\n"; },
         Cause::NotInCodePage, "tableau, ligne 4, colonne 2", "✓"},
    };
    for (const Case& c : cases) {
        WriteBytes(script, "ancien\r\n");
        TextInsertionJob job;
        job.table = "a\tb\r\n";
        c.setUp(job);
        const Result<TextInsertionOutcome> written = WriteTextInsertionScript(script, job);
        ASSERT_FALSE(written) << c.name;
        EXPECT_EQ(written.error().cause, c.cause) << c.name;
        if (c.cause != Cause::NotInCodePage) {
            EXPECT_EQ(written.error().code,
                      c.cause == Cause::NotANumber ? ErrorCode::TypeMismatch : ErrorCode::Overflow)
                << c.name;
        }
        EXPECT_EQ(BoxName(written.error()), c.box) << c.name;
        EXPECT_EQ(written.error().text, c.text) << c.name;
        EXPECT_EQ(ReadBytes(script), "ancien\r\n") << c.name;
    }
}

// A table too long for its step names its first row past the limit, whichever way it goes.
TEST_F(TextScript, ATableTooLongForItsStepNamesItsFirstRowPastTheLimit) {
    struct Case {
        const char* step;
        int rows;
        int firstRowPast; // 0: the table fits
        int limit;
    };
    const Case cases[] = {
        {"10", 3300, 3277, 32767}, {"10", 3276, 0, 0},         {"-10", 3277, 3277, -32768},
        {"-10", 3276, 0, 0},       {"1", 32768, 32768, 32767}, {"-1", 32769, 32769, -32768},
        {"-1", 32768, 0, 0},       {"32767", 2, 2, 32767},     {"0", 40000, 0, 0},
    };
    for (const Case& c : cases) {
        TextInsertionJob job;
        job.rowStep = c.step;
        job.table.reserve(static_cast<std::size_t>(c.rows) * 3);
        for (int row = 0; row < c.rows; ++row)
            job.table += "a\r\n";
        const Result<TextInsertionOutcome> written = WriteTextInsertionScript(script, job);
        if (c.firstRowPast == 0) {
            EXPECT_TRUE(written) << c.step << " x " << c.rows;
            continue;
        }
        ASSERT_FALSE(written) << c.step << " x " << c.rows;
        EXPECT_EQ(written.error().cause, Cause::PastTheLimit);
        EXPECT_EQ(BoxName(written.error()), "tableau");
        EXPECT_EQ(written.error().text, c.step);
        EXPECT_EQ(written.error().line, c.firstRowPast) << c.step << " x " << c.rows;
        EXPECT_EQ(written.error().number, c.limit) << c.step << " x " << c.rows;
    }
}

// Only what goes into the script is looked at: cells past the ninth column, and the settings of
// an empty table, are not written.
TEST_F(TextScript, CharactersThatAreNotWrittenAreNotLookedAt) {
    TextInsertionJob job;
    job.table = "1\t2\t3\t4\t5\t6\t7\t8\t9\t☺\r\n";
    ASSERT_TRUE(WriteTextInsertionScript(script, job));
    job.table = "  ";
    job.style = "☺";
    EXPECT_TRUE(WriteTextInsertionScript(script, job));
    job.table = "Façade œuvre 12 €";
    job.style = "Étiquettes";
    ASSERT_TRUE(WriteTextInsertionScript(script, job));
    EXPECT_EQ(SplitLines(ReadBytes(script)).back(), "texte style \xC9tiquettes 0,10 2.5 0 Fa\xE7"
                                                    "ade \x9C"
                                                    "uvre 12 \x80");
}

TEST_F(TextScript, RowsUpToTheSixteenBitLimitAreWritten) {
    TextInsertionJob job;
    job.rowStep = "-16384";
    job.table = "a\r\nb\r\n";
    ASSERT_TRUE(WriteTextInsertionScript(script, job));
    EXPECT_EQ(SplitLines(ReadBytes(script)).back(), "texte style STANDARD 0,-32768 2.5 0 b");
}

TEST_F(TextScript, MissingFolderFailsAsAnIncompleteScript) {
    TextInsertionJob job;
    job.table = "a\r\n";
    const Result<TextInsertionOutcome> written =
        WriteTextInsertionScript(dir.path("absent/pilotrame.scr"), job);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().operation, Operation::CreateScript);
    EXPECT_FALSE(test::FileExists(dir.path("absent/pilotrame.scr")));
}

TEST_F(TextScript, ReadOnlyScriptIsLeftWhole) {
    WriteBytes(script, "ancien\r\n");
    test::SetReadOnly(script, true);
    TextInsertionJob job;
    job.table = "a\r\n";
    const Result<TextInsertionOutcome> written = WriteTextInsertionScript(script, job);
    test::SetReadOnly(script, false);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().operation, Operation::CreateScript);
    EXPECT_EQ(ReadBytes(script), "ancien\r\n");
}

TEST(CountTableColumns, CountsTheCellsOfTheFirstRow) {
    const struct {
        const char* table;
        int columns;
    } cases[] = {
        {"", 0},
        {"   ", 0},
        {"a", 1},
        {"a\tb\r\n", 2},
        {"a\tb\nc\td\te\n", 2},
        {"a\r\nb\tc\td\r\n", 1},
        {"\t\t\r\n", 3},
        {"  a\tb\tc  ", 3},
        {"\r\na\tb", 1},
        {"1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11", 11},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CountTableColumns(c.table), c.columns) << c.table;
}

} // namespace
} // namespace pilotrame
