#include "base/fileio.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace pilotrame {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

TEST(FileIo, ReadMissingFileNamesThePath) {
    TempDir dir;
    const std::string path = dir.path("absent.txt");
    const auto read = readFileBytes(path);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().code, ErrorCode::FileNotFound);
    EXPECT_EQ(read.error().path, path);
    EXPECT_EQ(checkReadable(path).error().code, ErrorCode::FileNotFound);
}

TEST(FileIo, MissingFolderIsAPathError) {
    TempDir dir;
    const std::string path = dir.path("nowhere") + "/x.txt";
    EXPECT_EQ(readFileBytes(path).error().code, ErrorCode::PathNotFound);
    EXPECT_FALSE(truncateFile(path));
    EXPECT_FALSE(appendToFile(path, "a"));
    const Status replaced = replaceFileContent(path, "a");
    ASSERT_FALSE(replaced);
    EXPECT_EQ(replaced.error().code, ErrorCode::PathNotFound);
}

TEST(FileIo, AFileWhereAFolderShouldBeIsAPathError) {
    TempDir dir;
    writeBytes(dir.path("plan.txt"), "x");
    const std::string path = dir.path("plan.txt") + "/x.txt";
    const auto read = readFileBytes(path);
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
        EXPECT_EQ(codeFromErrno(c.error, c.path), c.code) << c.error << ' ' << c.path;
        EXPECT_EQ(folderCodeFromErrno(c.error, c.path), c.folderCode) << c.error << ' ' << c.path;
        const Error error = errorFromErrno(c.error, c.path);
        EXPECT_EQ(error.code, c.code) << c.error;
        EXPECT_EQ(error.path, c.path);
        // A full disk is told as such whatever was being written.
        EXPECT_EQ(error.kind,
                  c.code == ErrorCode::DiskFull ? ErrorKind::DiskFull : ErrorKind::Other)
            << c.error;
    }
}

TEST(FileIo, AFolderIsNotAFile) {
    TempDir dir;
    EXPECT_EQ(readFileBytes(dir.folder()).error().code, ErrorCode::PathFileAccess);
    EXPECT_FALSE(checkReadable(dir.folder()));
}

TEST(FileIo, AppendTruncateAndReplaceKeepBytesExact) {
    TempDir dir;
    const std::string path = dir.path("f.bin");
    const std::string binary("a\0\r\n\xE9", 5);
    ASSERT_TRUE(appendToFile(path, binary));
    ASSERT_TRUE(appendToFile(path, "z"));
    EXPECT_EQ(readBytes(path), binary + "z");
    ASSERT_TRUE(truncateFile(path));
    EXPECT_EQ(readBytes(path), "");
    ASSERT_TRUE(replaceFileContent(path, "new"));
    EXPECT_EQ(*readFileBytes(path), "new");
    EXPECT_FALSE(test::fileExists(path + ".~nouveau"));
}

TEST(FileIo, ReplacingAReadOnlyFileFailsAndKeepsIt) {
    TempDir dir;
    const std::string path = dir.path("ro.txt");
    writeBytes(path, "old");
    test::setReadOnly(path, true);
    const Status replaced = replaceFileContent(path, "new");
    ASSERT_FALSE(replaced);
    EXPECT_EQ(replaced.error().code, ErrorCode::PermissionDenied);
    EXPECT_EQ(readBytes(path), "old");
    EXPECT_FALSE(test::fileExists(path + ".~nouveau"));
}

// Failures that happen whoever runs the tests, root included: a path through a file, a folder
// in place of a file, and (where the device exists) a disk that is full.
TEST(FileIo, AppendingFailsAndNamesThePath) {
    TempDir dir;
    const std::string file = dir.path("plain.txt");
    writeBytes(file, "old");
    for (const std::string& path : {file + "/inside.txt", dir.folder()}) {
        const Status appended = appendToFile(path, "more");
        ASSERT_FALSE(appended) << path;
        EXPECT_EQ(appended.error().path, path);
        EXPECT_NE(appended.error().kind, ErrorKind::DiskFull) << path;
    }
    EXPECT_EQ(readBytes(file), "old");
}

#ifndef _WIN32
TEST(FileIo, AFullDiskIsReportedAsSuch) {
    if (!test::fileExists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    const Status appended = appendToFile("/dev/full", std::string(100000, 'x'));
    ASSERT_FALSE(appended);
    EXPECT_EQ(appended.error().code, ErrorCode::DiskFull);
    EXPECT_EQ(appended.error().kind, ErrorKind::DiskFull);
    EXPECT_EQ(appended.error().path, "/dev/full");
}
#endif

TEST(FileIo, WritableFolderProbeLeavesTheFolderAsItWas) {
    TempDir dir;
    // A file of the user's with the name an earlier probe used is neither emptied nor removed.
    writeBytes(dir.path(".pilotrame-essai"), "mine");
    EXPECT_TRUE(isFolderWritable(dir.folder()));
    EXPECT_EQ(readBytes(dir.path(".pilotrame-essai")), "mine");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.folder()))
        ++entries;
    EXPECT_EQ(entries, 1u);
    EXPECT_FALSE(isFolderWritable(dir.path("missing")));
}

#ifndef _WIN32
// Replacing a file keeps what the user set up around it.
TEST(FileIo, ReplacingKeepsLinksAndPermissions) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string real = dir.path("real.txt");
    const std::string link = dir.path("link.txt");
    writeBytes(real, "old");
    fs::create_symlink(real, link);
    ASSERT_TRUE(replaceFileContent(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readBytes(real), "new");

    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(replaceFileContent(real, "newer"));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // A hard-linked file is written where it stands, so every name sees the new content.
    const std::string other = dir.path("other-name.txt");
    fs::create_hard_link(real, other);
    ASSERT_TRUE(replaceFileContent(real, "shared and longer"));
    EXPECT_EQ(readBytes(other), "shared and longer");
    ASSERT_TRUE(replaceFileContent(other, "short"));
    EXPECT_EQ(readBytes(real), "short");
    EXPECT_EQ(fs::hard_link_count(real), 2u);
}
#endif

} // namespace
} // namespace pilotrame
