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

} // namespace
} // namespace pilotrame
