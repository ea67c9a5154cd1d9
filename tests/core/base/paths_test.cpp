#include "base/paths.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

TEST(Paths, TrailingSeparatorIsAppendedOnce) {
    EXPECT_EQ(withTrailingSeparator("c:\\Pilotrame", '\\'), "c:\\Pilotrame\\");
    EXPECT_EQ(withTrailingSeparator("c:\\", '\\'), "c:\\");
    EXPECT_EQ(withTrailingSeparator("", '\\'), "\\");
    EXPECT_EQ(withTrailingSeparator("/home/u", '/'), "/home/u/");
    EXPECT_EQ(withTrailingSeparator("/", '/'), "/");
    // The other platform's separator is ordinary text.
    EXPECT_EQ(withTrailingSeparator("c:/", '\\'), "c:/\\");
}

TEST(Paths, FolderPartLength) {
    EXPECT_EQ(folderPartLength("C:\\plans\\A01.dwg", '\\'), 9u);
    EXPECT_EQ(folderPartLength("A01.dwg", '\\'), 0u);
    EXPECT_EQ(folderPartLength("C:\\", '\\'), 3u);
    EXPECT_EQ(folderPartLength("/tmp/a.dwg", '/'), 5u);
}

TEST(Paths, Utf8SurvivesTheFilesystemType) {
    const std::string name = "Présentation €.dwg";
    EXPECT_EQ(fromFsPath(toFsPath(name)), name);
}

TEST(Paths, DriveRootAndFallbackDrive) {
    struct Case {
        const char* drive;
        char separator;
        const char* root;
    };
    const Case cases[] = {
        {"c:\\", '\\', "c:\\"}, {"d: [DATA]", '\\', "d:\\"},        {"E:", '\\', "E:\\"},
        {"/", '/', "/"},        {"/media/usb", '/', "/media/usb/"}, {"/mnt/x/", '/', "/mnt/x/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(driveRoot(c.drive, c.separator), c.root) << c.drive;
    EXPECT_EQ(fallbackDrive('\\'), "c:\\");
    EXPECT_EQ(fallbackDrive('/'), "/");
}

TEST(Paths, FolderIsOnTheDriveThatHoldsIt) {
    struct Case {
        const char* folder;
        const char* root;
        char separator;
        bool on;
    };
    const Case cases[] = {
        {"C:\\Plans\\", "c:\\", '\\', true},      {"c:\\", "c:\\", '\\', true},
        {"d:\\Plans", "c:\\", '\\', false},       {"/home/anne/plans", "/home/anne/", '/', true},
        {"/home/anne", "/home/anne", '/', true},  {"/home/annex", "/home/anne", '/', false},
        {"/Home/anne", "/home/anne", '/', false}, {"/etc", "/", '/', true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isOnDrive(c.folder, c.root, c.separator), c.on) << c.folder << " " << c.root;
}

TEST(Paths, DriveListAddsTheHomeFolderOutsideWindows) {
    using Entries = std::vector<std::string>;
    EXPECT_EQ(driveListEntries({"c:\\", "d:\\"}, "C:\\Users\\anne", '\\'),
              (Entries{"c:\\", "d:\\"}));
    EXPECT_EQ(driveListEntries({"/"}, "/home/anne", '/'), (Entries{"/", "/home/anne"}));
    EXPECT_EQ(driveListEntries({"/", "/home/anne"}, "/home/anne", '/'),
              (Entries{"/", "/home/anne"}));
    EXPECT_EQ(driveListEntries({"/"}, "", '/'), Entries{"/"});
}

} // namespace
} // namespace pilotrame
