#include "script/markers.h"

#include "base/codepage.h"
#include "script/drawingsection.h"
#include "script/generation.h"
#include "support/lines.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace pilotrame
