#include "config/settings.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

using Entries = std::vector<std::string>;

TEST(Settings, ProposedValuesFollowTheTableInOrder) {
    const ProposedValues lists = ProposeSettingValues({"P1", "P2"}, FolderStyle::Windows, "");
    EXPECT_EQ(lists[slot::printerName], (Entries{"P1", "P2"}));
    EXPECT_EQ(lists[slot::paperFormat],
              (Entries{"A4", "A3", "A4 (21 x 29,7 cm)", "A3 (29,7 x 42 cm)", "A4 (210 x 297 mm)",
                       "A3 (297 x 420 mm)"}));
    EXPECT_EQ(lists[slot::plotStyleTable],
              (Entries{"Aucune", "monochrome.ctb", "aclt.ctb", "acad.ctb", "Screening 100%.ctb",
                       "Screening 25%.ctb"}));
    EXPECT_EQ(lists[slot::spare3], Entries{""});
    EXPECT_EQ(lists[slot::offsetX], (Entries{"Centrer", "0", "1", "2", "3", "4", "5"}));
    EXPECT_EQ(lists[slot::offsetY], lists[slot::offsetX]);
    EXPECT_EQ(lists[slot::acadPath], (Entries{"c:\\program files\\autocad LT 2000\\aclt.exe",
                                              "C:\\Program Files\\AutoCAD 2004\\acad.exe",
                                              "c:\\program files\\AutoCAD 2002 Fra\\acad.exe",
                                              "c:\\program files\\acad2000\\acad.exe",
                                              "c:\\program files\\acad14\\acad14.exe"}));
    EXPECT_EQ(lists[slot::acadVersion],
              (Entries{"Autocad LT 2000", "Autocad 2004", "Autocad 2002", "Autocad 2000",
                       "Autocad 2000 i", "Autocad LT 97/98", "Autocad 14"}));
    EXPECT_TRUE(lists[slot::spare8].empty());
    EXPECT_TRUE(lists[slot::spare9].empty());
    EXPECT_EQ(lists[slot::drawingFolder],
              (Entries{"c:\\", "c:\\Program Files\\pilotrame", "c:\\Pilotrame", "d:\\"}));
    EXPECT_EQ(lists[slot::scriptFolder], lists[slot::drawingFolder]);
    EXPECT_EQ(lists[slot::layoutName], (Entries{"Présentation1", "Layout1", "Layout2", "Objet"}));
    EXPECT_EQ(lists[slot::plotScale],
              (Entries{"Plein format", "1:1", "1:2", "1:5", "1:10", "1:100"}));
}

TEST(Settings, UnixFoldersOfferHomeThenRoot) {
    EXPECT_EQ(ProposeSettingValues({}, FolderStyle::Unix, "/home/ana")[slot::drawingFolder],
              (Entries{"/home/ana/", "/"}));
    EXPECT_EQ(ProposeSettingValues({}, FolderStyle::Unix, "/home/ana/")[slot::scriptFolder],
              (Entries{"/home/ana/", "/"}));
    EXPECT_EQ(ProposeSettingValues({}, FolderStyle::Unix, "")[slot::scriptFolder], Entries{"/"});
}

TEST(Settings, FirstRunValues) {
    const Settings s = DefaultSettings(ProposeSettingValues({}, FolderStyle::Windows, ""));
    EXPECT_EQ(s.printerName(), "");
    EXPECT_EQ(s.paperFormat(), "A4");
    EXPECT_EQ(s.plotStyleTable(), "Aucune");
    EXPECT_EQ(s.text(slot::spare3), "");
    EXPECT_EQ(s.offsetX(), "Centrer");
    EXPECT_EQ(s.offsetY(), "Centrer");
    EXPECT_EQ(s.acadPath(), "c:\\program files\\autocad LT 2000\\aclt.exe");
    EXPECT_EQ(s.acadVersion(), "Autocad LT 2000");
    EXPECT_EQ(s.drawingFolder(), "c:\\");
    EXPECT_EQ(s.scriptFolder(), "c:\\");
    EXPECT_EQ(s.layoutName(), "Présentation1");
    EXPECT_EQ(s.plotScale(), "Plein format");
    EXPECT_EQ(s.option, (std::array<bool, 4>{true, false, true, false}));
    EXPECT_EQ(s.check, (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(
        DefaultSettings(ProposeSettingValues({"Plotter"}, FolderStyle::Windows, "")).printerName(),
        "Plotter");
}

TEST(Settings, OptionGroupsStayExclusive) {
    Settings s;
    s.setOption(slot::portrait, true);
    EXPECT_FALSE(s.landscape());
    s.setOption(slot::landscape, true);
    EXPECT_FALSE(s.optionState(slot::portrait));
    s.setOption(slot::landscape, false); // clearing one does not choose the other
    EXPECT_FALSE(s.optionState(slot::portrait));
    s.setOption(slot::sdiSingle, true);
    EXPECT_FALSE(s.sdiMultiple());
    EXPECT_FALSE(s.landscape());
}

TEST(Settings, SingleWindowVersions) {
    EXPECT_TRUE(IsSingleWindowVersion("Autocad 14"));
    EXPECT_TRUE(IsSingleWindowVersion("Autocad LT 97/98"));
    EXPECT_FALSE(IsSingleWindowVersion("autocad 14"));
    EXPECT_FALSE(IsSingleWindowVersion("Autocad 2004"));
}

TEST(Settings, SingleWindowVersionsForceTheSingleWindowMode) {
    struct Case {
        const char* version;
        bool multiple;
    };
    const Case cases[] = {{"Autocad 14", false},
                          {"Autocad LT 97/98", false},
                          {"autocad 14", true},
                          {"Autocad 2004", true}};
    for (const Case& c : cases) {
        Settings settings;
        settings.combo[slot::acadVersion] = c.version;
        settings.setOption(slot::sdiMultiple, true);
        ApplySingleWindowRule(settings);
        EXPECT_EQ(settings.sdiMultiple(), c.multiple) << c.version;
        EXPECT_NE(settings.optionState(slot::sdiSingle), c.multiple) << c.version;
    }
}

TEST(Settings, AutocadChooserStartsOnTheSystemDriveOrAtHome) {
    EXPECT_EQ(AutocadChooserFolder(FolderStyle::Windows, "C:\\Users\\anne"), "c:\\");
    EXPECT_EQ(AutocadChooserFolder(FolderStyle::Unix, "/home/anne"), "/home/anne");
}

} // namespace
} // namespace pilotrame
