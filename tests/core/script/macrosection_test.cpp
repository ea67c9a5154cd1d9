#include "script/macrosection.h"

#include "script/generation.h"
#include "support/lines.h"
#include "support/tempdir.h"
#include "texts/common.h"
#include "usecases/macrogeneration.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

using test::Joined;
using test::SplitLines;
using Lines = std::vector<std::string>;

const ListPosition kA1{"C:\\plans\\", "A1.dwg"};
const Lines kOpenA1{"_.open", "\"C:\\plans\\A1.dwg\"", "_vbarun"};

Lines Concat(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Lines Section(const MacroJob& job, bool sdiMultiple = true, const ListPosition& at = kA1) {
    SymbolGrid grid;
    std::string text;
    EXPECT_TRUE(WriteMacroSection(text, job, grid, sdiMultiple, at));
    return SplitLines(text);
}

MacroJob Symbols() {
    MacroJob job;
    job.insertSymbols = true;
    return job;
}

// The point line of each drawing inserted one after the other from grid.
Lines Points(const MacroJob& job, SymbolGrid& grid, int count) {
    Lines out;
    for (int i = 0; i < count; ++i) {
        std::string text;
        EXPECT_TRUE(WriteMacroSection(text, job, grid, true, kA1));
        out.push_back(SplitLines(text).at(1));
    }
    return out;
}

TEST(MacroSection, EraseLayerExample) {
    MacroJob job;
    job.eraseLayer = true;
    std::string text;
    SymbolGrid grid;
    ASSERT_TRUE(WriteMacroSection(text, job, grid, true, kA1));
    EXPECT_EQ(text, "_.open\r\n\"C:\\plans\\A1.dwg\"\r\n_vbarun\r\nefface_calque\r\nnuage\r\n"
                    "_qsave\r\n_close\r\n");
}

TEST(MacroSection, NoFunctionStillOpensTheDrawing) {
    EXPECT_EQ(Section(MacroJob{}, true), Concat(kOpenA1, {"_close"}));
    EXPECT_EQ(Section(MacroJob{}, false), kOpenA1);
}

TEST(MacroSection, SectionIsAppendedAfterWhatTheBufferHolds) {
    std::string text = "avant\r\n";
    SymbolGrid grid;
    ASSERT_TRUE(WriteMacroSection(text, MacroJob{}, grid, false, kA1));
    EXPECT_EQ(text, "avant\r\n" + Joined(kOpenA1));
}

TEST(MacroSection, SymbolInsertionLines) {
    std::string text;
    SymbolGrid grid;
    ASSERT_TRUE(WriteMacroSection(text, Symbols(), grid, true, {"C:\\sym\\", "Prise.dwg"}));
    EXPECT_EQ(text, "-inserer C:\\sym\\Prise.dwg\r\n0,25\r\n1\r\n1\r\n0\r\nPrise\r\n");
    EXPECT_EQ(grid, (SymbolGrid{0, 25}));
}

TEST(MacroSection, SymbolsFillColumnsOfTenAfterAFirstOfNine) {
    SymbolGrid grid;
    const Lines got = Points(Symbols(), grid, 21);
    const Lines expected{"0,25",   "0,50",   "0,75",   "0,100",  "0,125",  "0,150", "0,175",
                         "0,200",  "0,225",  "40,0",   "40,25",  "40,50",  "40,75", "40,100",
                         "40,125", "40,150", "40,175", "40,200", "40,225", "80,0",  "80,25"};
    EXPECT_EQ(got, expected);
}

TEST(MacroSection, SymbolStepsAreTheBoxes) {
    MacroJob job = Symbols();
    job.symbolStepX = " +100 ";
    job.symbolStepY = "-30";
    SymbolGrid grid;
    EXPECT_EQ(Points(job, grid, 4), (Lines{"0,100", "0,200", "-30,0", "-30,100"}));
    // A row of exactly 240 does not wrap yet.
    job.symbolStepX = "240";
    grid = {};
    EXPECT_EQ(Points(job, grid, 3), (Lines{"0,240", "-30,0", "-30,240"}));
}

TEST(MacroSection, OnlyTheSymbolLinesWhateverElseIsTicked) {
    MacroJob job = Symbols();
    job.exportAttributes = job.countBlocks = job.eraseLayer = job.freezeLayer = job.exportText =
        true;
    job.startExcel = true;
    EXPECT_EQ(Section(job, true),
              (Lines{"-inserer C:\\plans\\A1.dwg", "0,25", "1", "1", "0", "A1"}));
}

TEST(MacroSection, AttributeIsTheNameCutAtItsFirstDwg) {
    const struct {
        const char* name;
        const char* attribute;
    } cases[] = {
        {"PLAN.DWG", "PLAN"}, {"a.dwg.dwg", "a"}, {"Tableau.Dwg.bak", "Tableau"},
        {".dwg", ""},         {"été.dwg", "été"},
    };
    for (const auto& c : cases) {
        const Lines got = Section(Symbols(), true, {"D:\\", c.name});
        ASSERT_EQ(got.size(), 6u) << c.name;
        EXPECT_EQ(got[0], std::string("-inserer D:\\") + c.name);
        EXPECT_EQ(got[5], c.attribute) << c.name;
    }
}

TEST(MacroSection, SymbolNameWithoutDwgFailsAndChangesNothing) {
    std::string text = "avant\r\n";
    SymbolGrid grid{40, 50};
    const Status written =
        WriteMacroSection(text, Symbols(), grid, true, {"C:\\sym\\", "Prise.dxf"});
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().cause, Cause::NotADrawingName);
    EXPECT_EQ(written.error().detail, "Prise.dxf");
    EXPECT_EQ(written.error().path, "C:\\sym\\Prise.dxf");
    EXPECT_EQ(text, "avant\r\n");
    EXPECT_EQ(grid, (SymbolGrid{40, 50}));
}

TEST(MacroSection, BadStepsFailNamingTheBox) {
    const struct {
        const char* stepX;
        const char* stepY;
        Cause cause;
        const char* box;
        const char* text;
    } cases[] = {
        {"abc", "40", Cause::NotANumber, "F1 pas X", "abc"},
        {"", "40", Cause::NotANumber, "F1 pas X", ""},
        {"   ", "40", Cause::NotANumber, "F1 pas X", "   "},
        {"2.5", "40", Cause::NotANumber, "F1 pas X", "2.5"},
        {"2,5", "40", Cause::NotANumber, "F1 pas X", "2,5"},
        {"1e2", "40", Cause::NotANumber, "F1 pas X", "1e2"},
        {"+-3", "40", Cause::NotANumber, "F1 pas X", "+-3"},
        {"25", "4 0", Cause::NotANumber, "F1 pas Y", "4 0"},
        {"25", "\t40", Cause::NotANumber, "F1 pas Y", "\t40"},
        {"32768", "40", Cause::OutOfRange, "F1 pas X", "32768"},
        {"-32769", "40", Cause::OutOfRange, "F1 pas X", "-32769"},
        {"99999999999999999999999", "40", Cause::OutOfRange, "F1 pas X", "99999999999999999999999"},
        // The Y step is checked at the first symbol, not only at the first wrap.
        {"25", "40000", Cause::OutOfRange, "F1 pas Y", "40000"},
    };
    for (const auto& c : cases) {
        MacroJob job = Symbols();
        job.symbolStepX = c.stepX;
        job.symbolStepY = c.stepY;
        std::string text;
        SymbolGrid grid{3, 4};
        const Status written = WriteMacroSection(text, job, grid, true, kA1);
        ASSERT_FALSE(written) << c.stepX << " / " << c.stepY;
        EXPECT_EQ(written.error().cause, c.cause) << c.stepX << " / " << c.stepY;
        EXPECT_EQ(written.error().code,
                  c.cause == Cause::OutOfRange ? ErrorCode::Overflow : ErrorCode::TypeMismatch);
        EXPECT_EQ(BoxName(written.error()), c.box);
        EXPECT_EQ(written.error().text, c.text);
        EXPECT_EQ(text, "");
        EXPECT_EQ(grid, (SymbolGrid{3, 4}));
    }
}

// The boxes hold good numbers: it is the grid that has gone as far as a position goes, and the
// failure names it, with the step that took it there and the limit.
TEST(MacroSection, PositionsLeavingSixteenBitsFailNamingTheGrid) {
    const struct {
        const char* name;
        SymbolGrid grid;
        const char* stepX;
        const char* stepY;
        const char* step;
        int limit;
    } cases[] = {
        {"row past the top", {0, 1}, "32767", "40", "32767", 32767},
        {"row past the bottom", {0, -32768}, "-1", "40", "-1", -32768},
        {"column past the top at a wrap", {32767, 240}, "25", "1", "1", 32767},
        {"column past the bottom at a wrap", {-32760, 230}, " 25", "-9 ", "-9", -32768},
    };
    for (const auto& c : cases) {
        MacroJob job = Symbols();
        job.symbolStepX = c.stepX;
        job.symbolStepY = c.stepY;
        std::string text;
        SymbolGrid grid = c.grid;
        const Status written = WriteMacroSection(text, job, grid, true, kA1);
        ASSERT_FALSE(written) << c.name;
        EXPECT_EQ(written.error().cause, Cause::PastTheLimit) << c.name;
        EXPECT_EQ(written.error().code, ErrorCode::Overflow) << c.name;
        EXPECT_EQ(BoxName(written.error()), "grille des symboles F1") << c.name;
        EXPECT_EQ(written.error().text, c.step) << c.name;
        EXPECT_EQ(written.error().number, c.limit) << c.name;
        EXPECT_EQ(text, "") << c.name;
        EXPECT_EQ(grid, c.grid) << c.name;
        // The boxes themselves are good: the check before a generation lets them through.
        EXPECT_TRUE(CheckMacroJob(job)) << c.name;
    }
}

// A box written to the script that holds a character the code page cannot hold stops the
// section, naming the box and the character, and leaves nothing of the section behind; the
// check before a generation finds the same. A box whose function or option is not chosen is
// not written, and not looked at.
TEST(MacroSection, BoxesOutsideTheCodePageFailNamingTheBox) {
    struct Case {
        void (*set)(MacroJob& job, const std::string& text);
        void (*choose)(MacroJob& job);
        std::string box;
    };
    const Case cases[] = {
        {[](MacroJob& j, const std::string& t) { j.attributeBlocks[0] = t; },
         [](MacroJob& j) {
             j.exportAttributes = j.attributesNamed = true;
             j.attributesAllBlocks = false;
         },
         "F3 nom du bloc 1"},
        {[](MacroJob& j, const std::string& t) { j.attributeBlocks[2] = t; },
         [](MacroJob& j) { j.exportAttributes = true; }, "F3 nom du bloc 3"},
        {[](MacroJob& j, const std::string& t) { j.attributeNames[0] = " " + t; },
         [](MacroJob& j) { j.exportAttributes = true; }, "F3 nom de l'attribut 1"},
        {[](MacroJob& j, const std::string& t) { j.attributeNames[3] = t; },
         [](MacroJob& j) { j.exportAttributes = true; }, "F3 nom de l'attribut 4"},
        {[](MacroJob& j, const std::string& t) { j.countBlock = t; },
         [](MacroJob& j) {
             j.countBlocks = j.countNamed = true;
             j.countAllBlocks = false;
         },
         "F5 nom du bloc"},
        {[](MacroJob& j, const std::string& t) { j.erasedLayer = "nuage " + t; },
         [](MacroJob& j) { j.eraseLayer = true; }, "F6 calque"},
        {[](MacroJob& j, const std::string& t) { j.frozenLayer = t; },
         [](MacroJob& j) { j.freezeLayer = true; }, "F7 calque"},
        {[](MacroJob& j, const std::string& t) { j.exportCorners[1] = t; },
         [](MacroJob& j) {
             j.exportText = j.exportWindow = true;
             j.exportAllText = false;
         },
         "F8 2em point X"},
        {[](MacroJob& j, const std::string& t) { j.exportCorners[2] = t; },
         [](MacroJob& j) {
             j.exportText = j.exportWindow = true;
             j.exportAllText = false;
         },
         "F8 1er point Y"},
    };
    for (const Case& c : cases) {
        MacroJob job;
        c.set(job, "Ω☺");
        std::string text = "avant\r\n";
        SymbolGrid grid{3, 4};
        EXPECT_TRUE(WriteMacroSection(text, job, grid, true, kA1)) << c.box;
        EXPECT_TRUE(CheckMacroJob(job)) << c.box;
        c.choose(job);
        text = "avant\r\n";
        grid = {3, 4};
        const Status written = WriteMacroSection(text, job, grid, true, kA1);
        ASSERT_FALSE(written) << c.box;
        EXPECT_EQ(written.error().cause, Cause::NotInCodePage) << c.box;
        EXPECT_EQ(BoxName(written.error()), c.box);
        EXPECT_EQ(written.error().text, "Ω") << c.box;
        EXPECT_EQ(text, "avant\r\n") << c.box;
        EXPECT_EQ(grid, (SymbolGrid{3, 4})) << c.box;
        const Status checked = CheckMacroJob(job);
        ASSERT_FALSE(checked) << c.box;
        EXPECT_EQ(BoxName(checked.error()), c.box);
        // The code page's own letters go through.
        c.set(job, "Éœ€");
        EXPECT_TRUE(CheckMacroJob(job)) << c.box;
    }
    // With F1 only the symbol lines are written: the other boxes are not looked at.
    MacroJob job = Symbols();
    job.eraseLayer = true;
    job.erasedLayer = "☺";
    EXPECT_TRUE(CheckMacroJob(job));
    job.symbolStepY = "☺";
    const Status checked = CheckMacroJob(job);
    ASSERT_FALSE(checked);
    EXPECT_EQ(checked.error().cause, Cause::NotANumber);
    EXPECT_EQ(BoxName(checked.error()), "F1 pas Y");
}

// A list line without a name names nothing: the failure carries its folder and its line.
TEST(MacroSection, ASymbolLineWithoutANameNamesItsFolderAndLine) {
    ListPosition at{"C:\\plans\\", "", 7};
    std::string text;
    SymbolGrid grid{3, 4};
    const Status written = WriteMacroSection(text, Symbols(), grid, true, at);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().cause, Cause::NotADrawingName);
    EXPECT_EQ(written.error().detail, "");
    EXPECT_EQ(written.error().path, "C:\\plans\\");
    EXPECT_EQ(written.error().line, 7);
    EXPECT_EQ(text, "");
    EXPECT_EQ(grid, (SymbolGrid{3, 4}));
}

TEST(MacroSection, PositionsAtTheSixteenBitLimitsAreWritten) {
    MacroJob job = Symbols();
    job.symbolStepY = "40";
    SymbolGrid grid{32727, 230};
    EXPECT_EQ(Points(job, grid, 1), Lines{"32767,0"});
    job.symbolStepX = "-32768";
    grid = {0, 0};
    EXPECT_EQ(Points(job, grid, 1), Lines{"0,-32768"});
}

TEST(MacroSection, AttributeExportVariants) {
    struct Case {
        const char* name;
        void (*setUp)(MacroJob&);
        Lines body;
    };
    const Case cases[] = {
        {"defaults",
         [](MacroJob&) {},
         {"export_attribut", "tout", "", "FL", "FL", "FL", "FL", "fin"}},
        {"named block",
         [](MacroJob& j) {
             j.attributesAllBlocks = false;
             j.attributesNamed = true;
             j.attributeBlocks[0] = "  Disj 2  ";
         },
         {"export_attribut", "Disj 2", "", "FL", "FL", "FL", "FL", "fin"}},
        {"named block left empty",
         [](MacroJob& j) {
             j.attributesAllBlocks = false;
             j.attributesNamed = true;
             j.attributeBlocks[0] = "   ";
         },
         {"export_attribut", "", "", "FL", "FL", "FL", "FL", "fin"}},
        {"no block option",
         [](MacroJob& j) { j.attributesAllBlocks = false; },
         {"export_attribut", "", "FL", "FL", "FL", "FL", "fin"}},
        {"first attribute named",
         [](MacroJob& j) { j.attributeNames[0] = " REPERE "; },
         {"export_attribut", "tout", "REPERE", "FL", "FL", "FL", "FL", "fin"}},
        {"third attribute named only",
         [](MacroJob& j) { j.attributeNames[2] = "CALIBRE"; },
         {"export_attribut", "tout", "FL", "FL", "CALIBRE", "FL", "FL", "fin"}},
        {"fourth attribute does not drop the empty line",
         [](MacroJob& j) { j.attributeNames[3] = "NOTE"; },
         {"export_attribut", "tout", "", "FL", "FL", "FL", "NOTE", "FL", "fin"}},
        {"all columns filled",
         [](MacroJob& j) {
             j.attributeBlocks = {"B1", " B2", "B3 ", "B4"};
             j.attributeNames = {"A1", "A2", "A3", "A4"};
             j.attributeFormat = "Par Ligne";
         },
         {"export_attribut", "tout", "A1", "L", "B2", "A2", "L", "B3", "A3", "L", "B4", "A4", "L",
          "fin"}},
        {"per column with file name",
         [](MacroJob& j) { j.attributeFormat = "Nom fichier + infos par Colone"; },
         {"export_attribut", "tout", "", "FC", "FC", "FC", "FC", "fin"}},
        {"per column",
         [](MacroJob& j) { j.attributeFormat = "Par Colone"; },
         {"export_attribut", "tout", "", "C", "C", "C", "C", "fin"}},
        {"typed format matching no entry",
         [](MacroJob& j) { j.attributeFormat = "par ligne"; },
         {"export_attribut", "tout", "", "fin"}},
        {"format with a trailing space matches nothing",
         [](MacroJob& j) { j.attributeFormat = "Par Ligne "; },
         {"export_attribut", "tout", "", "fin"}},
    };
    for (const Case& c : cases) {
        MacroJob job;
        job.exportAttributes = true;
        c.setUp(job);
        EXPECT_EQ(Section(job, false), Concat(kOpenA1, c.body)) << c.name;
    }
}

TEST(MacroSection, OtherFunctionVariants) {
    struct Case {
        const char* name;
        void (*setUp)(MacroJob&);
        Lines body;
    };
    const Case cases[] = {
        {"count all", [](MacroJob& j) { j.countBlocks = true; }, {"compte_bloc", "tout"}},
        {"count named",
         [](MacroJob& j) {
             j.countBlocks = true;
             j.countAllBlocks = false;
             j.countNamed = true;
             j.countBlock = " Luminaire_B ";
         },
         {"compte_bloc", "Luminaire_B"}},
        {"count named left empty",
         [](MacroJob& j) {
             j.countBlocks = true;
             j.countAllBlocks = false;
             j.countNamed = true;
             j.countBlock = "";
         },
         {"compte_bloc", ""}},
        {"erase layer left empty",
         [](MacroJob& j) {
             j.eraseLayer = true;
             j.erasedLayer = "  ";
         },
         {"efface_calque", "", "_qsave"}},
        {"freeze", [](MacroJob& j) { j.freezeLayer = true; }, {"gele_calque", "nuage", "_qsave"}},
        {"thaw",
         [](MacroJob& j) {
             j.freezeLayer = true;
             j.freeze = false;
             j.thaw = true;
             j.frozenLayer = " cotes ";
         },
         {"degele_calque", "cotes", "_qsave"}},
        {"export all text", [](MacroJob& j) { j.exportText = true; }, {"texte_export", "tout", ""}},
        {"export a window",
         [](MacroJob& j) {
             j.exportText = true;
             j.exportAllText = false;
             j.exportWindow = true;
             j.exportCorners = {" 1 ", "2", "3", " 4"};
         },
         {"texte_export", "fenetre", "1,2", "3,4", ""}},
        {"export a window of empty boxes",
         [](MacroJob& j) {
             j.exportText = true;
             j.exportAllText = false;
             j.exportWindow = true;
             j.exportCorners = {"", " ", "", ""};
         },
         {"texte_export", "fenetre", ",", ",", ""}},
        {"Excel adds no line", [](MacroJob& j) { j.startExcel = true; }, {}},
    };
    for (const Case& c : cases) {
        MacroJob job;
        c.setUp(job);
        EXPECT_EQ(Section(job, false), Concat(kOpenA1, c.body)) << c.name;
    }
}

TEST(MacroSection, FunctionsComeInTheirFixedOrderAfterOneVbarun) {
    MacroJob job;
    job.exportText = job.freezeLayer = job.eraseLayer = job.countBlocks = job.exportAttributes =
        true;
    job.attributeFormat = "Par Colone";
    EXPECT_EQ(Section(job, true), Concat(kOpenA1, {"export_attribut",
                                                   "tout",
                                                   "",
                                                   "C",
                                                   "C",
                                                   "C",
                                                   "C",
                                                   "fin",
                                                   "compte_bloc",
                                                   "tout",
                                                   "efface_calque",
                                                   "nuage",
                                                   "_qsave",
                                                   "gele_calque",
                                                   "nuage",
                                                   "_qsave",
                                                   "texte_export",
                                                   "tout",
                                                   "",
                                                   "_close"}));
}

TEST(MacroSection, ExcelStartsOnTheFixedProgramAndTheQuotedPath) {
    EXPECT_EQ(WindowsCommandLine(ExcelStart("D:\\Mes documents\\remplace.xls")),
              "\"C:\\Program Files\\Microsoft Office\\Office\\excel.exe\" /B \"D:\\Mes "
              "documents\\remplace.xls\"");
}

// Through the driver, as the window runs it: the grid outlives one generation.
struct MacroGeneration : ::testing::Test {
    test::TempDir dir;
    std::string list = dir.path("Liste01.txt");
    std::string script = dir.path("Pilotrame.scr");
    ListPosition position;
    SymbolGrid grid;

    Result<int> run(const MacroJob& job) {
        return GenerateScript(list, script, position,
                              [&](std::string& section, const ListPosition& at) {
                                  return WriteMacroSection(section, job, grid, true, at);
                              });
    }
};

std::string SymbolLines(const std::string& path, const std::string& point,
                        const std::string& name) {
    return "-inserer " + path + "\r\n" + point + "\r\n1\r\n1\r\n0\r\n" + name + "\r\n";
}

TEST_F(MacroGeneration, SymbolsCarryOverToTheNextGenerationUntilAnotherFunctionRuns) {
    test::WriteBytes(list, "\vC:\\sym\\\r\n\ta.dwg\r\n\tb.DWG\r\n");
    MacroJob job = Symbols();
    job.symbolStepX = "100";
    ASSERT_TRUE(run(job));
    EXPECT_EQ(test::ReadBytes(script), SymbolLines("C:\\sym\\a.dwg", "0,100", "a") +
                                           SymbolLines("C:\\sym\\b.DWG", "0,200", "b"));
    ASSERT_TRUE(run(job));
    EXPECT_EQ(test::ReadBytes(script), SymbolLines("C:\\sym\\a.dwg", "40,0", "a") +
                                           SymbolLines("C:\\sym\\b.DWG", "40,100", "b"));

    MacroJob other;
    other.eraseLayer = true;
    ASSERT_TRUE(run(other));
    EXPECT_EQ(test::ReadBytes(script),
              "_.open\r\n\"C:\\sym\\a.dwg\"\r\n_vbarun\r\nefface_calque\r\nnuage\r\n_qsave\r\n"
              "_close\r\n_.open\r\n\"C:\\sym\\b.DWG\"\r\n_vbarun\r\nefface_calque\r\nnuage\r\n"
              "_qsave\r\n_close\r\n");
    ASSERT_TRUE(run(job));
    EXPECT_EQ(test::ReadBytes(script), SymbolLines("C:\\sym\\a.dwg", "0,100", "a") +
                                           SymbolLines("C:\\sym\\b.DWG", "0,200", "b"));
}

TEST_F(MacroGeneration, AFileWithoutDwgStopsTheRunAndKeepsThePreviousScript) {
    test::WriteBytes(list, "\vC:\\sym\\\r\n\ta.dwg\r\n\tnotes.txt\r\n\tc.dwg\r\n");
    test::WriteBytes(script, "old");
    const Result<int> generated = run(Symbols());
    ASSERT_FALSE(generated);
    EXPECT_EQ(generated.error().cause, Cause::NotADrawingName);
    EXPECT_EQ(generated.error().detail, "notes.txt");
    EXPECT_EQ(test::ReadBytes(script), "old");
    EXPECT_EQ(grid, (SymbolGrid{0, 25}));
}

TEST_F(MacroGeneration, ALineWithoutANameIsNamedByItsFolderAndLine) {
    test::WriteBytes(list, "\vC:\\sym\\\r\n\ta.dwg\r\n\t\r\n\tc.dwg\r\n");
    test::WriteBytes(script, "old");
    const Result<int> generated = run(Symbols());
    ASSERT_FALSE(generated);
    EXPECT_EQ(generated.error().fault, TextFault::NamelessFile);
    EXPECT_EQ(generated.error().line, 3);
    EXPECT_EQ(generated.error().detail, "C:\\sym\\");
    EXPECT_EQ(test::ReadBytes(script), "old");
}

TEST_F(MacroGeneration, AccentedNamesAreWrittenInTheAnsiCodePage) {
    test::WriteBytes(list, "\vC:\\sym\\\r\n\tT\xE9l\xE9.dwg\r\n");
    ASSERT_TRUE(run(Symbols()));
    EXPECT_EQ(test::ReadBytes(script),
              SymbolLines("C:\\sym\\T\xE9l\xE9.dwg", "0,25", "T\xE9l\xE9"));
}

} // namespace
} // namespace pilotrame
