#include "script/drawingsection.h"

#include "support/lines.h"
#include "support/tempdir.h"
#include "texts/common.h"
#include "texts/files.h"
#include "texts/scripts.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

using test::SplitLines;
using Lines = std::vector<std::string>;

Settings BaseSettings() {
    return DefaultSettings(ProposeSettingValues({"P1"}, FolderStyle::Windows, ""));
}

DrawingJob PanelJob() {
    DrawingJob job;
    job.plot = false;
    return job;
}

const ListPosition kPlan{"C:\\plans\\", "A01.dwg"};

Lines Section(const DrawingJob& job, const Settings& settings, char separator = ',') {
    std::string script;
    const Status written = WriteDrawingSection(script, job, settings, kPlan, separator);
    EXPECT_TRUE(written);
    return SplitLines(script);
}

Lines Concat(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Lines kOpen{"_.open", "\"C:\\plans\\A01.dwg\""};

TEST(DrawingSection, PurgeAllAndZoomExample) {
    DrawingJob job = PanelJob();
    job.purge = true;
    job.purgeAll = true;
    job.zoomExtents = true;
    EXPECT_EQ(Section(job, BaseSettings()),
              Concat(kOpen, {"zoom", "et", "purger", "to", "", "n", "_qsave", "_close"}));
}

TEST(DrawingSection, OperationsInTheirFixedOrder) {
    struct Case {
        const char* name;
        void (*setUp)(DrawingJob&, Settings&);
        Lines body;
    };
    const Case cases[] = {
        {"nothing", [](DrawingJob&, Settings&) {}, {"_qsave", "_close"}},
        {"single window",
         [](DrawingJob&, Settings& s) { s.setOption(slot::sdiSingle, true); },
         {"_qsave"}},
        {"object snap off",
         [](DrawingJob&, Settings& s) { s.check[1] = 1; },
         {"osmode", "0", "_qsave", "_close"}},
        {"purge blocks",
         [](DrawingJob& j, Settings&) { j.purge = true; },
         {"purger", "bl", "", "n", "_qsave", "_close"}},
        {"erase fence",
         [](DrawingJob& j, Settings&) {
             j.erase = true;
             j.eraseSelection = EraseSelection::Fence;
             j.erasePoints = {"0", "0", "10", "5,5"};
         },
         {"effacer", "t", "0,0", "10,5.5", "", "", "_qsave", "_close"}},
        {"erase crossing with decimal comma",
         [](DrawingJob& j, Settings&) {
             j.erase = true;
             j.eraseSelection = EraseSelection::Crossing;
             j.erasePoints = {"0,5", "-0,25", "1e20", "100"};
         },
         {"effacer", "c", ".5,-.25", "1E+20,100", "", "_qsave", "_close"}},
        {"erase window",
         [](DrawingJob& j, Settings&) { j.erase = true; },
         {"effacer", "f", "0,0", "0,0", "", "_qsave", "_close"}},
        {"paste clipboard",
         [](DrawingJob& j, Settings&) { j.insert = true; },
         {"_pasteclip", "0,0", "_qsave", "_close"}},
        {"insert file, AutoCAD 14",
         [](DrawingJob& j, Settings& s) {
             j.insert = true;
             j.insertFile = true;
             j.insertPath = "C:\\blocs\\cartouche A3.dwg";
             s.combo[slot::acadVersion] = "Autocad 14";
         },
         {"inserer", "C:\\blocs\\cartouche A3.dwg", "0,0", "1", "1", "0", "_qsave", "_close"}},
        {"insert file, AutoCAD 2004",
         [](DrawingJob& j, Settings& s) {
             j.insert = true;
             j.insertFile = true;
             s.combo[slot::acadVersion] = "Autocad 2004";
         },
         {"-inserer", "Fichier", "0,0", "1", "1", "0", "_qsave", "_close"}},
        {"replace attribute",
         [](DrawingJob& j, Settings&) {
             j.replaceAttribute = true;
             j.attributeCorners = {"1", "2", "3.5", "4"};
             j.attributeOld = "IND A";
             j.attributeNew = "IND B";
         },
         {"-attedit", "N", "O", "", "", "", "Fenetre", "1,2", "3.5,4", "IND A", "IND B", "_qsave",
          "_close"}},
        {"replace text, second column only",
         [](DrawingJob& j, Settings&) {
             j.replaceText = true;
             j.replaceTexts = {"", "ignored", "ancien", "nouveau"};
         },
         {"-vbarun", "ancien", "nouveau", "_qsave", "_close"}},
        {"replace text, both columns",
         [](DrawingJob& j, Settings&) {
             j.replaceText = true;
             j.replaceTexts = {"a", "b", "c", ""};
         },
         {"-vbarun", "a", "b", "-vbarun", "c", "", "_qsave", "_close"}},
        {"DWG to DXF",
         [](DrawingJob& j, Settings&) {
             j.transfer = true;
             j.dwgToDxf = true;
         },
         {"_saveas", "DXF", "", "", "_qsave", "_close"}},
        {"DXF to DWG",
         [](DrawingJob& j, Settings&) { j.transfer = true; },
         {"_qsave", "r14", "", "_close"}},
        {"custom script",
         [](DrawingJob& j, Settings&) {
             j.customScript = true;
             j.scriptText = "zoom\r\net\r\n\r\n";
         },
         {"zoom", "et", "_qsave", "_close"}},
        {"custom script typed in a Qt box",
         [](DrawingJob& j, Settings&) {
             j.customScript = true;
             j.scriptText = "zoom\net\n\ncalque\n\n";
         },
         {"zoom", "et", "", "calque", "_qsave", "_close"}},
        {"empty custom script",
         [](DrawingJob& j, Settings&) { j.customScript = true; },
         {"", "_qsave", "_close"}},
    };
    for (const auto& c : cases) {
        DrawingJob job = PanelJob();
        Settings settings = BaseSettings();
        c.setUp(job, settings);
        EXPECT_EQ(Section(job, settings), Concat(kOpen, c.body)) << c.name;
    }
}

TEST(DrawingSection, PlotSavingRules) {
    const Lines plotLines{"-traceur", "o", "Model", "P1", "A4", "m", "a", "n", "e",
                          "p",        "c", "n",     ".",  "o",  "n", "n", "n", "o"};
    DrawingJob job; // plot ticked
    job.transfer = true;
    job.dwgToDxf = true;
    Settings settings = BaseSettings();
    EXPECT_EQ(Section(job, settings),
              Concat(Concat(kOpen, plotLines), {"_saveas", "DXF", "", "", "_close", "o"}));
    settings.check[0] = 1; // keep the plot set-up in the drawing
    EXPECT_EQ(Section(job, settings), Concat(Concat(kOpen, plotLines), {"_qsave", "_close"}));
    settings.check[0] = 0;
    job.transfer = false;
    settings.setOption(slot::sdiSingle, true);
    EXPECT_EQ(Section(job, settings), Concat(Concat(kOpen, plotLines), {"o"}));
}

TEST(DrawingSection, CoordinatesThatAreNotNumbersFail) {
    DrawingJob job = PanelJob();
    job.erase = true;
    job.erasePoints = {"0", "", "1", "1"};
    std::string script;
    const Status written = WriteDrawingSection(script, job, BaseSettings(), kPlan, ',');
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().code, ErrorCode::TypeMismatch);

    job = PanelJob();
    job.replaceAttribute = true;
    job.attributeCorners = {"1", "2", "x", "4"};
    EXPECT_FALSE(WriteDrawingSection(script, job, BaseSettings(), kPlan, ','));

    // Boxes of unticked operations are not read.
    job = PanelJob();
    job.erasePoints = {"", "", "", ""};
    EXPECT_TRUE(WriteDrawingSection(script, job, BaseSettings(), kPlan, ','));
}

// A text of a ticked operation that AutoCAD would get with "?" in it stops the section, naming
// the box and the character; the same text in a box whose operation is not ticked goes nowhere.
TEST(DrawingSection, TextsAScriptCannotCarryFailNamingTheirBox) {
    struct Case {
        void (*set)(DrawingJob& job, const std::string& text);
        void (*tick)(DrawingJob& job);
        std::string box;
    };
    const Case cases[] = {
        {[](DrawingJob& j, const std::string& t) { j.scriptText = "zoom\r\net\r\n" + t; },
         [](DrawingJob& j) { j.customScript = true; }, "SCRIPT FICHIER, ligne 3"},
        {[](DrawingJob& j, const std::string& t) { j.scriptText = t + "\nzoom"; },
         [](DrawingJob& j) { j.customScript = true; }, "SCRIPT FICHIER, ligne 1"},
        {[](DrawingJob& j, const std::string& t) { j.insertPath = "C:\\blocs\\" + t + ".dwg"; },
         [](DrawingJob& j) { j.insert = j.insertFile = true; }, "INSERER, fichier"},
        {[](DrawingJob& j, const std::string& t) { j.attributeOld = t; },
         [](DrawingJob& j) { j.replaceAttribute = true; }, "REMPLACER ATTRIBUT, ancienne valeur"},
        {[](DrawingJob& j, const std::string& t) { j.attributeNew = "Réf. " + t; },
         [](DrawingJob& j) { j.replaceAttribute = true; }, "REMPLACER ATTRIBUT, nouvelle valeur"},
        {[](DrawingJob& j, const std::string& t) {
             j.replaceTexts = {t, "b", "", ""};
         },
         [](DrawingJob& j) { j.replaceText = true; }, "REMPLACE TEXTE, 1er ancien texte"},
        {[](DrawingJob& j, const std::string& t) {
             j.replaceTexts = {"a", t, "", ""};
         },
         [](DrawingJob& j) { j.replaceText = true; }, "REMPLACE TEXTE, 1er nouveau texte"},
        {[](DrawingJob& j, const std::string& t) {
             j.replaceTexts = {"", "", t, "d"};
         },
         [](DrawingJob& j) { j.replaceText = true; }, "REMPLACE TEXTE, 2em ancien texte"},
        {[](DrawingJob& j, const std::string& t) {
             j.replaceTexts = {"a", "b", "c", t};
         },
         [](DrawingJob& j) { j.replaceText = true; }, "REMPLACE TEXTE, 2em nouveau texte"},
    };
    for (const Case& c : cases) {
        DrawingJob job = PanelJob();
        c.set(job, "é☺");
        // Not ticked: the box is not written, so it is not looked at.
        std::string script;
        EXPECT_TRUE(WriteDrawingSection(script, job, BaseSettings(), kPlan, ',')) << c.box;
        c.tick(job);
        script.clear();
        const Status written = WriteDrawingSection(script, job, BaseSettings(), kPlan, ',');
        ASSERT_FALSE(written) << c.box;
        EXPECT_EQ(written.error().cause, Cause::NotInCodePage) << c.box;
        EXPECT_EQ(BoxName(written.error()), c.box);
        EXPECT_EQ(written.error().text, "☺") << c.box;
        // The code page's own letters go through.
        c.set(job, "é€œ");
        script.clear();
        EXPECT_TRUE(WriteDrawingSection(script, job, BaseSettings(), kPlan, ',')) << c.box;
        // A control character does not, as in a path: it would answer AutoCAD unseen.
        for (const char control : {'\t', '\x01', '\0', '\x7F'}) {
            c.set(job, std::string("a") + control);
            script.clear();
            const Status refused = WriteDrawingSection(script, job, BaseSettings(), kPlan, ',');
            ASSERT_FALSE(refused) << c.box;
            EXPECT_EQ(refused.error().cause, Cause::ControlCharacter) << c.box;
            EXPECT_EQ(BoxName(refused.error()), c.box);
            EXPECT_EQ(refused.error().number, control);
        }
    }
    EXPECT_EQ(GenerationFailureText(ControlCharacterError(Box::InsertFile, '\t')),
              "Génération arrêtée. La case « INSERER, fichier » contient un caractère de contrôle "
              "(code 9, tabulation) qu'un script ne peut pas porter\r\nLe script précédent est "
              "resté tel qu'il était.");
    // The first pair's empty old text leaves both of its boxes out of the script.
    DrawingJob job = PanelJob();
    job.replaceText = true;
    job.replaceTexts = {"", "☺", "a", "b"};
    std::string script;
    EXPECT_TRUE(WriteDrawingSection(script, job, BaseSettings(), kPlan, ','));
}

TEST(DrawingSection, WriterReusesTheBodyAcrossDrawings) {
    DrawingJob job;
    job.erase = true;
    job.erasePoints = {"0,5", "1", "2", "3"};
    job.customScript = true;
    job.scriptText = "zoom\net";
    const Settings settings = BaseSettings();
    DrawingSectionWriter writer(job, settings, ',');
    for (const ListPosition& at :
         {kPlan, ListPosition{"D:\\autres\\", "B.dwg"}, ListPosition{"", ""}}) {
        std::string expected;
        ASSERT_TRUE(WriteDrawingSection(expected, job, settings, at, ','));
        std::string written;
        ASSERT_TRUE(writer(written, at));
        EXPECT_EQ(written, expected);
    }

    job.erasePoints[3] = "x";
    DrawingSectionWriter failing(job, settings, ',');
    std::string script;
    EXPECT_EQ(failing(script, kPlan).error().code, ErrorCode::TypeMismatch);
    EXPECT_FALSE(failing(script, kPlan));
}

TEST(DrawingSection, InsertWordByVersion) {
    EXPECT_EQ(InsertCommandWord("Autocad LT 2000"), "-inserer");
    EXPECT_EQ(InsertCommandWord("Autocad 2000"), "-inserer");
    EXPECT_EQ(InsertCommandWord("Autocad 2000 i"), "-inserer");
    EXPECT_EQ(InsertCommandWord("Autocad 2002"), "-inserer");
    EXPECT_EQ(InsertCommandWord("Autocad LT 97/98"), "inserer");
    EXPECT_EQ(InsertCommandWord("Autocad 14"), "inserer");
}

// A script file loaded into "SCRIPT FICHIER" reads as the box shows it: ANSI made UTF-8, lines
// joined by LF, the line break that ends the last line dropped.
TEST(ScriptText, AScriptFileReadsAsTheBoxShowsIt) {
    test::TempDir dir;
    const std::string path = dir.path("perso.scr");
    struct Case {
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"", ""},
        {"\r\n", ""},
        {"zoom\r\net\r\n", "zoom\net"},
        {"zoom\r\net", "zoom\net"},
        {"zoom\r\n\r\n", "zoom\n"},
        {"zoom\net\n", "zoom\net\n"},
        {"r\xE9gen\r\n", "r\xC3\xA9gen"},
    };
    for (const Case& c : cases) {
        test::WriteBytes(path, c.bytes);
        const Result<std::string> text = ReadScriptText(path);
        ASSERT_TRUE(text) << c.bytes;
        EXPECT_EQ(*text, c.text) << c.bytes;
    }
}

// The text goes into every drawing's section: a file larger than the limit is refused whole.
TEST(ScriptText, AScriptFileLargerThanTheLimitIsRefused) {
    test::TempDir dir;
    const std::string path = dir.path("grand.scr");
    test::WriteBytes(path, std::string(kScriptTextSizeLimit, 'x'));
    const Result<std::string> atTheLimit = ReadScriptText(path);
    ASSERT_TRUE(atTheLimit);
    EXPECT_EQ(atTheLimit->size(), kScriptTextSizeLimit);

    test::WriteBytes(path, std::string(kScriptTextSizeLimit + 1, 'x'));
    const Result<std::string> refused = ReadScriptText(path);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().cause, Cause::TooLarge);
    EXPECT_EQ(refused.error().number, static_cast<int>(kScriptTextSizeLimit));
    EXPECT_EQ(refused.error().path, path);
    EXPECT_EQ(ScriptFileReadFailureText(refused.error()),
              "« " + path +
                  " » est trop grand pour ce genre de fichier (plus de 1 Mio) : il n'a "
                  "pas été lu.");
}

} // namespace
} // namespace pilotrame
