#include "base/paths.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

TEST(Paths, TrailingSeparatorIsAppendedOnce) {
    EXPECT_EQ(WithTrailingSeparator("c:\\Pilotrame", '\\'), "c:\\Pilotrame\\");
    EXPECT_EQ(WithTrailingSeparator("c:\\", '\\'), "c:\\");
    EXPECT_EQ(WithTrailingSeparator("", '\\'), "\\");
    EXPECT_EQ(WithTrailingSeparator("/home/u", '/'), "/home/u/");
    EXPECT_EQ(WithTrailingSeparator("/", '/'), "/");
    // The other platform's separator is ordinary text.
    EXPECT_EQ(WithTrailingSeparator("c:/", '\\'), "c:/\\");
}

TEST(Paths, FolderPartLength) {
    EXPECT_EQ(FolderPartLength("C:\\plans\\A01.dwg", '\\'), 9u);
    EXPECT_EQ(FolderPartLength("A01.dwg", '\\'), 0u);
    EXPECT_EQ(FolderPartLength("C:\\", '\\'), 3u);
    EXPECT_EQ(FolderPartLength("/tmp/a.dwg", '/'), 5u);
}

TEST(Paths, Utf8SurvivesTheFilesystemType) {
    const std::string name = "Présentation €.dwg";
    EXPECT_EQ(FromFsPath(ToFsPath(name)), name);
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
        EXPECT_EQ(DriveRoot(c.drive, c.separator), c.root) << c.drive;
    EXPECT_EQ(FallbackDrive('\\'), "c:\\");
    EXPECT_EQ(FallbackDrive('/'), "/");
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
        EXPECT_EQ(IsOnDrive(c.folder, c.root, c.separator), c.on) << c.folder << " " << c.root;
}

TEST(Paths, DriveListAddsTheHomeFolderOutsideWindows) {
    using Entries = std::vector<std::string>;
    EXPECT_EQ(DriveListEntries({"c:\\", "d:\\"}, "C:\\Users\\anne", '\\'),
              (Entries{"c:\\", "d:\\"}));
    EXPECT_EQ(DriveListEntries({"/"}, "/home/anne", '/'), (Entries{"/", "/home/anne"}));
    EXPECT_EQ(DriveListEntries({"/", "/home/anne"}, "/home/anne", '/'),
              (Entries{"/", "/home/anne"}));
    EXPECT_EQ(DriveListEntries({"/"}, "", '/'), Entries{"/"});
}

} // namespace
} // namespace pilotrame
