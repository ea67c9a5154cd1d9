#include "check/drawingformat.h"

#include "check/drawingcheck.h"
#include "support/tempdir.h"
#include "texts/verification.h"

#include <gtest/gtest.h>

#include <string>

namespace pilotrame {
namespace {

using namespace std::string_literals;

// A text DXF as AutoCAD writes it: group codes right-aligned, CR LF.
std::string TextDxf(std::string_view header) {
    return "999\r\nfait main\r\n  0\r\nSECTION\r\n  2\r\nHEADER\r\n" + std::string(header) +
           "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
}

// Each test drawing as bytes, under a name, and what the check makes of it; the format column and
// the reason as "Vérification des plans" shows them, against an AutoCAD 2017.
TEST(DrawingFormat, EachKindOfFileAsTheCheckShowsIt) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string format; // DrawingFormatText
        std::string reason; // DescribeIssue; empty when the drawing is ready
    };
    const std::string newer = "format plus récent que Autocad 2017 (";
    const Case cases[] = {
        {"r12.dwg", "AC1009\0\0\0"s, "AutoCAD R12", ""},
        {"r13.dwg", "AC1012 ...", "AutoCAD R13", ""},
        {"r14.dwg", "AC1014", "AutoCAD R14", ""},
        {"a2000.dwg", "AC1015\x01\x02", "AutoCAD 2000", ""},
        {"a2004.dwg", "AC1018", "AutoCAD 2004", ""},
        {"a2007.dwg", "AC1021", "AutoCAD 2007", ""},
        {"a2010.dwg", "AC1024", "AutoCAD 2010", ""},
        {"a2013.DWG", "AC1027", "AutoCAD 2013", ""},
        {"a2018.dwg", "AC1032\0\0"s, "AutoCAD 2018", newer + "AutoCAD 2018)"},
        {"avenir.dwg", "AC1040", "DWG AC1040", ""},
        {"vide.dwg", "", "", "pas un plan AutoCAD (fichier vide)"},
        {"court.dwg", "AC10", "", "pas un plan AutoCAD (fichier trop court pour être reconnu)"},
        {"texte.dwg", "Bonjour, ceci est un texte.\r\n", "",
         "pas un plan AutoCAD (fichier d'un autre type)"},
        {"pdf.dwg", "%PDF-1.7\n", "", "pas un plan AutoCAD (fichier d'un autre type)"},
        {"avec.dxf", TextDxf("  9\r\n$ACADVER\r\n  1\r\nAC1032\r\n"), "AutoCAD 2018 (DXF)",
         newer + "AutoCAD 2018)"},
        {"lf.DXF", "0\nSECTION\n2\nHEADER\n9\n$INSBASE\n10\n0.0\n9\n$ACADVER\n1\nAC1015\n",
         "AutoCAD 2000 (DXF)", ""},
        {"sans.dxf", TextDxf("  9\r\n$INSBASE\r\n 10\r\n0.0\r\n"), "DXF, format non indiqué", ""},
        {"entites.dxf", "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nENDSEC\r\n",
         "DXF, format non indiqué", ""},
        {"binaire.dxf",
         "AutoCAD Binary DXF\r\n\x1a\0\0\0SECTION\0\x02\0HEADER\0\x09\0$ACADVER\0\x01\0AC1027\0"s,
         "AutoCAD 2013 (DXF binaire)", ""},
        {"binaire-court.dxf", "AutoCAD Bin", "",
         "pas un plan AutoCAD (fichier trop court pour être reconnu)"},
        {"vide.dxf", "", "", "pas un plan AutoCAD (fichier vide)"},
        {"coupe.dxf", "  0\r\nSEC", "",
         "pas un plan AutoCAD (fichier trop court pour être reconnu)"},
        {"dwg.dxf", "AC1032\0\0"s, "", "pas un plan AutoCAD (fichier d'un autre type)"},
        {"plan.dgn", "\x08\x09\xfe\x02", "DGN", ""},
    };
    test::TempDir dir;
    FileList list{{dir.folder(), {}}};
    for (const Case& c : cases) {
        test::WriteBytes(dir.path(c.name), c.bytes);
        list[0].names.push_back(c.name);
    }
    const std::optional<AutocadRelease> opener = ReleaseOfVersionSetting("Autocad 2017");
    const DrawingCheck check = CheckDrawings(list, opener);
    EXPECT_EQ(check.checked, static_cast<int>(std::size(cases)));
    std::size_t issue = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.path(c.name);
        const bool found = issue < check.issues.size() && check.issues[issue].path == path;
        ASSERT_EQ(found, !c.reason.empty());
        // Drawings that are ready are not in the check: their format is read the same way.
        const DrawingFormat format =
            FormatOfDrawing(KindOfName(c.name),
                            std::string_view(c.bytes).substr(0, BytesToRead(KindOfName(c.name))),
                            c.bytes.size() <= BytesToRead(KindOfName(c.name)));
        EXPECT_EQ(
            DrawingFormatText(IsNoDrawing(format.kind) ? std::nullopt : std::optional(format)),
            c.format);
        if (found) {
            EXPECT_EQ(DescribeIssue(check.issues[issue], check.opener), c.reason);
            ++issue;
        }
    }
}

// "Version autocad": the values of its list, a year written out, anything else not compared.
TEST(DrawingFormat, TheAutocadOfEachVersionSetting) {
    struct Case {
        const char* value;
        std::optional<DwgFormat> newest;
    };
    const Case cases[] = {
        {"Autocad LT 2000", DwgFormat::A2000},
        {"Autocad 2004", DwgFormat::A2004},
        {"Autocad 2002", DwgFormat::A2000},
        {"Autocad 2000 i", DwgFormat::A2000},
        {"Autocad LT 97/98", DwgFormat::R14},
        {"Autocad 14", DwgFormat::R14},
        {"Autocad 2017", DwgFormat::A2013},
        {"AutoCAD LT 2018", DwgFormat::A2018},
        {"Autocad 2024", DwgFormat::A2018},
        {"Autocad 2009 Map", DwgFormat::A2007},
        {"Autocad", std::nullopt},
        {"R14", std::nullopt},
        {"Autocad 12024", std::nullopt},
        {"Autocad 1999", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const std::optional<AutocadRelease> release = ReleaseOfVersionSetting(c.value);
        ASSERT_EQ(release.has_value(), c.newest.has_value());
        if (release) {
            EXPECT_EQ(release->newestFormat, *c.newest);
            EXPECT_EQ(release->name, c.value);
        }
    }
}

// The console's product version, as its version resource gives it.
TEST(DrawingFormat, TheAutocadOfEachConsoleVersion) {
    struct Case {
        int major;
        int minor;
        std::optional<std::string> name;
        DwgFormat newest;
    };
    const Case cases[] = {
        {18, 2, std::nullopt, DwgFormat::A2010},   {19, 0, "AutoCAD 2013", DwgFormat::A2013},
        {21, 0, "AutoCAD 2017", DwgFormat::A2013}, {22, 0, "AutoCAD 2018", DwgFormat::A2018},
        {24, 3, "AutoCAD 2024", DwgFormat::A2018}, {24, 9, "AutoCAD 2024", DwgFormat::A2018},
        {25, 0, "AutoCAD 2025", DwgFormat::A2018}, {26, 1, "AutoCAD 26.1", DwgFormat::A2018},
        {1, 0, std::nullopt, DwgFormat::A2018},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor));
        const std::optional<AutocadRelease> release = ReleaseOfProductVersion(c.major, c.minor);
        ASSERT_EQ(release.has_value(), c.name.has_value());
        if (release) {
            EXPECT_EQ(release->name, *c.name);
            EXPECT_EQ(release->newestFormat, c.newest);
        }
    }
}

} // namespace
} // namespace pilotrame
