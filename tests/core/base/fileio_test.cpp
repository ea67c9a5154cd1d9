#include "base/fileio.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace pilotrame {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(FileIo, ReadMissingFileNamesThePath) {
    TempDir dir;
    const std::string path = dir.path("absent.txt");
    const auto read = ReadFileBytes(path);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().code, ErrorCode::FileNotFound);
    EXPECT_EQ(read.error().path, path);
    EXPECT_EQ(CheckReadable(path).error().code, ErrorCode::FileNotFound);
}

TEST(FileIo, MissingFolderIsAPathError) {
    TempDir dir;
    const std::string path = dir.path("nowhere") + "/x.txt";
    EXPECT_EQ(ReadFileBytes(path).error().code, ErrorCode::PathNotFound);
    EXPECT_FALSE(TruncateFile(path));
    EXPECT_FALSE(AppendToFile(path, "a"));
    const Status replaced = ReplaceFileContent(path, "a");
    ASSERT_FALSE(replaced);
    EXPECT_EQ(replaced.error().code, ErrorCode::PathNotFound);
}

TEST(FileIo, AFileWhereAFolderShouldBeIsAPathError) {
    TempDir dir;
    WriteBytes(dir.path("plan.txt"), "x");
    const std::string path = dir.path("plan.txt") + "/x.txt";
    const auto read = ReadFileBytes(path);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().code, ErrorCode::PathNotFound);
    EXPECT_EQ(read.error().path, path);
}

TEST(FileIo, ErrnoGivesTheErrorNumberTheUserKnows) {
    TempDir dir;
    const std::string inFolder = dir.path("absent.txt");
    const std::string inMissingFolder = dir.path("nowhere") + "/x.txt";
    struct Case {
        int error;
        const std::string& path;
        ErrorCode code;
        ErrorCode folderCode;
    };
    const Case cases[] = {
        {ENOENT, inFolder, ErrorCode::FileNotFound, ErrorCode::PathNotFound},
        {ENOENT, inMissingFolder, ErrorCode::PathNotFound, ErrorCode::PathNotFound},
        {ENOTDIR, inFolder, ErrorCode::PathNotFound, ErrorCode::PathNotFound},
        {EEXIST, inFolder, ErrorCode::FileExists, ErrorCode::FileExists},
        {ENOTEMPTY, inFolder, ErrorCode::FileExists, ErrorCode::FileExists},
        {EACCES, inFolder, ErrorCode::PermissionDenied, ErrorCode::PermissionDenied},
        {EROFS, inFolder, ErrorCode::PermissionDenied, ErrorCode::PermissionDenied},
        {EISDIR, inFolder, ErrorCode::PathFileAccess, ErrorCode::PathFileAccess},
        {EXDEV, inFolder, ErrorCode::PathFileAccess, ErrorCode::PathFileAccess},
        {ENOSPC, inFolder, ErrorCode::DiskFull, ErrorCode::DiskFull},
        {ENAMETOOLONG, inFolder, ErrorCode::BadFileName, ErrorCode::BadFileName},
        {EIO, inFolder, ErrorCode::DeviceIo, ErrorCode::DeviceIo},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CodeFromErrno(c.error, c.path), c.code) << c.error << ' ' << c.path;
        EXPECT_EQ(FolderCodeFromErrno(c.error, c.path), c.folderCode) << c.error << ' ' << c.path;
        const Error error = ErrorFromErrno(c.error, c.path);
        EXPECT_EQ(error.code, c.code) << c.error;
        EXPECT_EQ(error.path, c.path);
        EXPECT_EQ(error.cause, Cause::System) << c.error;
    }
}

TEST(FileIo, AFolderIsNotAFile) {
    TempDir dir;
    EXPECT_EQ(ReadFileBytes(dir.folder()).error().code, ErrorCode::PathFileAccess);
    EXPECT_FALSE(CheckReadable(dir.folder()));
}

TEST(FileIo, AppendTruncateAndReplaceKeepBytesExact) {
    TempDir dir;
    const std::string path = dir.path("f.bin");
    const std::string binary("a\0\r\n\xE9", 5);
    ASSERT_TRUE(AppendToFile(path, binary));
    ASSERT_TRUE(AppendToFile(path, "z"));
    EXPECT_EQ(ReadBytes(path), binary + "z");
    ASSERT_TRUE(TruncateFile(path));
    EXPECT_EQ(ReadBytes(path), "");
    ASSERT_TRUE(ReplaceFileContent(path, "new"));
    EXPECT_EQ(*ReadFileBytes(path), "new");
    EXPECT_FALSE(test::FileExists(path + ".~nouveau"));
}

TEST(FileIo, ReplacingAReadOnlyFileFailsAndKeepsIt) {
    TempDir dir;
    const std::string path = dir.path("ro.txt");
    WriteBytes(path, "old");
    test::SetReadOnly(path, true);
    const Status replaced = ReplaceFileContent(path, "new");
    ASSERT_FALSE(replaced);
    EXPECT_EQ(replaced.error().code, ErrorCode::PermissionDenied);
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_FALSE(test::FileExists(path + ".~nouveau"));
}

// Failures that happen whoever runs the tests, root included: a path through a file, a folder
// in place of a file, and (where the device exists) a disk that is full.
TEST(FileIo, AppendingFailsAndNamesThePath) {
    TempDir dir;
    const std::string file = dir.path("plain.txt");
    WriteBytes(file, "old");
    for (const std::string& path : {file + "/inside.txt", dir.folder()}) {
        const Status appended = AppendToFile(path, "more");
        ASSERT_FALSE(appended) << path;
        EXPECT_EQ(appended.error().path, path);
        EXPECT_NE(appended.error().code, ErrorCode::DiskFull) << path;
    }
    EXPECT_EQ(ReadBytes(file), "old");
}

#ifndef _WIN32
TEST(FileIo, AFullDiskIsReportedAsSuch) {
    if (!test::FileExists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    const Status appended = AppendToFile("/dev/full", std::string(100000, 'x'));
    ASSERT_FALSE(appended);
    EXPECT_EQ(appended.error().code, ErrorCode::DiskFull);
    EXPECT_EQ(appended.error().path, "/dev/full");
}
#endif

TEST(FileIo, WritableFolderProbeLeavesTheFolderAsItWas) {
    TempDir dir;
    // A file of the user's with the name an earlier probe used is neither emptied nor removed.
    WriteBytes(dir.path(".pilotrame-essai"), "mine");
    EXPECT_TRUE(IsFolderWritable(dir.folder()));
    EXPECT_EQ(ReadBytes(dir.path(".pilotrame-essai")), "mine");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.folder()))
        ++entries;
    EXPECT_EQ(entries, 1u);
    EXPECT_FALSE(IsFolderWritable(dir.path("missing")));
}

#ifndef _WIN32
// Replacing a file keeps what the user set up around it.
TEST(FileIo, ReplacingKeepsLinksAndPermissions) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string real = dir.path("real.txt");
    const std::string link = dir.path("link.txt");
    WriteBytes(real, "old");
    fs::create_symlink(real, link);
    ASSERT_TRUE(ReplaceFileContent(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), "new");

    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(ReplaceFileContent(real, "newer"));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // A hard-linked file is written where it stands, so every name sees the new content.
    const std::string other = dir.path("other-name.txt");
    fs::create_hard_link(real, other);
    ASSERT_TRUE(ReplaceFileContent(real, "shared and longer"));
    EXPECT_EQ(ReadBytes(other), "shared and longer");
    ASSERT_TRUE(ReplaceFileContent(other, "short"));
    EXPECT_EQ(ReadBytes(real), "short");
    EXPECT_EQ(fs::hard_link_count(real), 2u);
}
#endif

} // namespace
} // namespace pilotrame
