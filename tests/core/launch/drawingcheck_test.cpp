#include "launch/drawingcheck.h"

#include "base/messages.h"

#include "script/generation.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pilotrame {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
namespace fs = std::filesystem;

TEST(DrawingCheck, FindsEachProblemOnRealFiles) {
    TempDir dir;
    const std::string folder = dir.folder();
    const std::string locked = dir.path("locked") + "/";
    fs::create_directory(locked);
    for (const char* name : {"ok.dwg", "ro.dwg", "open.dwg", "OPEN2.DWG"})
        WriteBytes(folder + name, "x");
    WriteBytes(folder + "open.dwl", "lock");
    WriteBytes(folder + "OPEN2.DWL", "lock");
    test::SetReadOnly(folder + "ro.dwg", true);
    fs::create_directory(folder + "folder.dwg");
    WriteBytes(locked + "in-ro-folder.dwg", "x");
    fs::permissions(locked,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);

    const FileList list = {
        {folder, {"ok.dwg", "missing.dwg", "ro.dwg", "open.dwg", "OPEN2.DWG", "folder.dwg"}},
        {locked, {"in-ro-folder.dwg"}}};
    const DrawingCheck check = CheckDrawings(list);
    fs::permissions(locked, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(check.checked, 7);
    std::vector<DrawingIssue> expected = {
        {folder + "missing.dwg", DrawingProblem::Missing},
        {folder + "ro.dwg", DrawingProblem::ReadOnly},
        {folder + "open.dwg", DrawingProblem::OpenElsewhere},
        {folder + "OPEN2.DWG", DrawingProblem::OpenElsewhere},
        {folder + "folder.dwg", DrawingProblem::Missing},
    };
#ifndef _WIN32
    expected.push_back({locked + "in-ro-folder.dwg", DrawingProblem::ReadOnly});
#endif
    EXPECT_EQ(check.issues, expected);
    EXPECT_EQ(DrawingCheckText({1, {expected[2]}}),
              folder + "open.dwg\touvert ailleurs (fichier .dwl présent)\r\n");
}

TEST(DrawingCheck, ReadsTheListFile) {
    TempDir dir;
    WriteBytes(dir.path("a.dwg"), "x");
    const std::string list = dir.path("Liste01.txt");
    ASSERT_TRUE(WriteFileList(list, {{dir.folder(), {"a.dwg", "b.dwg"}}}));
    const Result<DrawingCheck> check = CheckDrawings(list);
    ASSERT_TRUE(check);
    EXPECT_EQ(check->checked, 2);
    ASSERT_EQ(check->issues.size(), 1u);
    EXPECT_EQ(check->issues[0].path, dir.folder() + "b.dwg");
    EXPECT_EQ(CheckDrawings(dir.path("none.txt")).error().operation, Operation::ReadList);
}

TEST(DrawingCheck, GenerationSkipsTheDrawingsLeftOut) {
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    const std::string script = dir.path("Pilotrame.scr");
    WriteBytes(list, "\v/p/\r\n\ta.dwg\r\n\tb.dwg\r\n\v/q/\r\n\tb.dwg\r\n");
    const std::unordered_set<std::string> skipped = {"/p/b.dwg"};
    ListPosition position;
    ASSERT_TRUE(GenerateScript(
        list, script, position,
        [](std::string& section, const ListPosition& at) {
            section += at.currentFolder + at.currentFileName + "\r\n";
            return Success();
        },
        &skipped));
    EXPECT_EQ(ReadBytes(script), "/p/a.dwg\r\n/q/b.dwg\r\n");
    EXPECT_EQ(ReadBytes(list), "\v/p/\r\n\ta.dwg\r\n\tb.dwg\r\n\v/q/\r\n\tb.dwg\r\n");
}

} // namespace
} // namespace pilotrame
