#include "check/drawingcheck.h"

#include "script/generation.h"
#include "support/childprocess.h"
#include "support/tempdir.h"
#include "texts/verification.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace pilotrame {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
namespace fs = std::filesystem;

// What the check reads from test::kDrawingBytes.
const DrawingFormat kRead{DrawingKind::Dwg, DwgFormat::R14, "AC1014"};

TEST(DrawingCheck, FindsEachProblemOnRealFiles) {
    TempDir dir;
    const std::string folder = dir.folder();
    const std::string locked = dir.path("locked") + "/";
    fs::create_directory(locked);
    for (const char* name : {"ok.dwg", "ro.dwg", "open.dwg", "OPEN2.DWG"})
        WriteBytes(folder + name, test::kDrawingBytes);
    WriteBytes(folder + "open.dwl", "lock");
    WriteBytes(folder + "OPEN2.DWL", "lock");
    test::SetReadOnly(folder + "ro.dwg", true);
    fs::create_directory(folder + "folder.dwg");
    WriteBytes(locked + "in-ro-folder.dwg", test::kDrawingBytes);
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
        {folder + "ro.dwg", DrawingProblem::ReadOnly, kRead},
        {folder + "open.dwg", DrawingProblem::OpenElsewhere, kRead},
        {folder + "OPEN2.DWG", DrawingProblem::OpenElsewhere, kRead},
        {folder + "folder.dwg", DrawingProblem::Missing},
    };
#ifndef _WIN32
    expected.push_back({locked + "in-ro-folder.dwg", DrawingProblem::ReadOnly, kRead});
#endif
    EXPECT_EQ(check.issues, expected);
    EXPECT_EQ(DrawingCheckText({1, {expected[2]}}),
              folder + "open.dwg\touvert ailleurs (fichier .dwl présent)\r\n");
}

#ifndef _WIN32
// The check asks the system for the user who runs the program: a drawing is read-only to a user
// who may not write it or its folder, whoever else may. Root may write anything, so for root the
// owner's write permission decides.
TEST(DrawingCheck, AsksTheSystemForTheUserWhoRunsIt) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can run the check as another user";
    constexpr unsigned kRoot = 0;
    constexpr unsigned kUser = test::kNobody;
    struct Case {
        const char* folder;
        unsigned folderOwner;
        unsigned folderMode;
        unsigned fileOwner;
        unsigned fileMode;
        bool readOnlyToUser;
        bool readOnlyToRoot;
    };
    const Case cases[] = {
        {"root-root", kRoot, 0755, kRoot, 0644, true, false},
        {"open-open", kRoot, 0777, kRoot, 0666, false, false},
        {"root-open", kRoot, 0755, kRoot, 0666, true, false},
        {"open-root", kRoot, 0777, kRoot, 0644, true, false},
        {"user-user", kUser, 0755, kUser, 0644, false, false},
        {"user-marked", kUser, 0755, kUser, 0444, true, true},
        {"open-user", kRoot, 0777, kUser, 0644, false, false},
        // The user's group may write both.
        {"group-group", kRoot, 0775, kRoot, 0664, false, false},
    };
    TempDir dir;
    fs::permissions(dir.folder(), static_cast<fs::perms>(0755));
    FileList list;
    std::vector<DrawingIssue> toUser;
    std::vector<DrawingIssue> toRoot;
    for (const Case& c : cases) {
        const std::string folder = dir.path(c.folder) + "/";
        const std::string drawing = folder + "plan.dwg";
        fs::create_directory(folder);
        WriteBytes(drawing, test::kDrawingBytes);
        // The group is the user's own for both, so that only the group permissions let it in.
        ASSERT_EQ(::chown(folder.c_str(), c.folderOwner, kUser), 0);
        ASSERT_EQ(::chown(drawing.c_str(), c.fileOwner, kUser), 0);
        fs::permissions(folder, static_cast<fs::perms>(c.folderMode));
        fs::permissions(drawing, static_cast<fs::perms>(c.fileMode));
        list.push_back({folder, {"plan.dwg"}});
        if (c.readOnlyToUser)
            toUser.push_back({drawing, DrawingProblem::ReadOnly, kRead});
        if (c.readOnlyToRoot)
            toRoot.push_back({drawing, DrawingProblem::ReadOnly, kRead});
    }
    // The folders above the test's own must let the user through.
    if (const std::optional<std::string> reach = test::RunAsUser(
            kUser, kUser,
            [&] { return std::string(::access(dir.folder().c_str(), X_OK) == 0 ? "yes" : "no"); });
        reach != "yes")
        GTEST_SKIP() << "the temporary folder is closed to other users";

    const std::optional<std::string> asUser = test::RunAsUser(kUser, kUser, [&] {
        const DrawingCheck check = CheckDrawings(list);
        return std::to_string(check.checked) + "\n" + DrawingCheckText(check);
    });
    ASSERT_TRUE(asUser.has_value());
    EXPECT_EQ(*asUser, "8\n" + DrawingCheckText({8, toUser}));

    const DrawingCheck asRoot = CheckDrawings(list);
    EXPECT_EQ(asRoot.checked, 8);
    EXPECT_EQ(asRoot.issues, toRoot);
}
#endif

TEST(DrawingCheck, ReadsTheListFile) {
    TempDir dir;
    WriteBytes(dir.path("a.dwg"), test::kDrawingBytes);
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
