#include "script/markers.h"

#include "base/codepage.h"
#include "script/drawingsection.h"
#include "script/generation.h"
#include "support/lines.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace pilotrame {
namespace {

using Lines = std::vector<std::string>;

// The lines a script text gives the second drawing of a run, C:\plans\A 01.dwg, on both engines:
// the section of Pilotrame.scr and the console's script of its own.
TEST(Markers, EachDrawingFillsInItsOwnValues) {
    struct Case {
        const char* text;
        Lines lines;
    };
    const Case cases[] = {
        {"_saveas DXF \"<DOSSIER><NOM>.dxf\"", {"_saveas DXF \"C:\\plans\\A 01.dxf\""}},
        // In an AutoLISP string a backslash starts an escape: the path's are doubled.
        {"(command \"_.-export\" \"_pdf\" \"\" \"<DOSSIER><NOM>.pdf\") ; <NOM>",
         {"(command \"_.-export\" \"_pdf\" \"\" \"C:\\\\plans\\\\A 01.pdf\") ; A 01"}},
        {"<nom> <NOM><EXT> n<NUMERO> <<CHEMIN>> <NOM_>",
         {"<nom> A 01.dwg n2 <C:\\plans\\A 01.dwg> <NOM_>"}},
        {"zoom\n<EXT>\n\n", {"zoom", ".dwg"}},
    };
    test::TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    test::WriteBytes(list, "\vC:\\plans\\\r\n\tx.dwg\r\n\tA 01.dwg\r\n");
    Settings settings = DefaultSettings(ProposeSettingValues({"P1"}, FolderStyle::Windows, ""));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        DrawingJob job;
        job.plot = false;
        job.customScript = true;
        job.scriptText = c.text;

        DrawingSectionWriter writer(job, settings, ',');
        ListPosition position;
        ASSERT_TRUE(GenerateScript(list, dir.path("Pilotrame.scr"), position, writer));
        Lines expected = {"_.open", "\"C:\\plans\\A 01.dwg\""};
        expected.insert(expected.end(), c.lines.begin(), c.lines.end());
        expected.insert(expected.end(), {"_qsave", "_close"});
        const Lines script = test::SplitLines(FromAnsi(test::ReadBytes(dir.path("Pilotrame.scr"))));
        EXPECT_EQ(Lines(script.end() - static_cast<std::ptrdiff_t>(expected.size()), script.end()),
                  expected);

        const MarkerValues values = DrawingMarkerValues("C:\\plans\\", "A 01.dwg", 2);
        const Result<std::string> console = WriteConsoleScript(job, settings, ',', &values);
        ASSERT_TRUE(console);
        expected.erase(expected.begin(), expected.begin() + 2);
        expected.pop_back();
        EXPECT_EQ(test::SplitLines(*console), expected);
    }
}

// A drawing's number is its place among the drawings the script opens: one left out by the check
// of the drawings takes none.
TEST(Markers, NumbersFollowTheDrawingsWritten) {
    test::TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    test::WriteBytes(list, "\vC:\\p\\\r\n\ta.dwg\r\n\tb.dwg\r\n\tc.dwg\r\n");
    DrawingJob job;
    job.plot = false;
    job.customScript = true;
    job.scriptText = "<NUMERO>";
    DrawingSectionWriter writer(
        job, DefaultSettings(ProposeSettingValues({"P1"}, FolderStyle::Windows, "")), ',');
    ListPosition position;
    const std::unordered_set<std::string> skipped{"C:\\p\\b.dwg"};
    ASSERT_TRUE(GenerateScript(list, dir.path("Pilotrame.scr"), position, writer, &skipped));
    const Lines script = test::SplitLines(test::ReadBytes(dir.path("Pilotrame.scr")));
    EXPECT_EQ(script, (Lines{"_.open", "\"C:\\p\\a.dwg\"", "1", "_qsave", "_close", "_.open",
                             "\"C:\\p\\c.dwg\"", "2", "_qsave", "_close"}));

    // The name and the extension of names without one, with several dots, or a dot first.
    const std::pair<const char*, std::pair<const char*, const char*>> names[] = {
        {"plan", {"plan", ""}}, {"v1.2.dxf", {"v1.2", ".dxf"}}, {".dwg", {".dwg", ""}}};
    for (const auto& [file, parts] : names) {
        const MarkerValues values = DrawingMarkerValues("/p/", file, 1);
        EXPECT_EQ(values.name, parts.first) << file;
        EXPECT_EQ(values.extension, parts.second) << file;
    }
}

} // namespace
} // namespace pilotrame
