#include "base/fileio.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

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

TEST(FileIo, AppendingToAReadOnlyFileFails) {
    if (!test::readOnlyIsEnforced())
        GTEST_SKIP() << "this user writes read-only files";
    TempDir dir;
    const std::string path = dir.path("ro.txt");
    writeBytes(path, "old");
    test::setReadOnly(path, true);
    const Status appended = appendToFile(path, "more");
    ASSERT_FALSE(appended);
    EXPECT_EQ(appended.error().code, ErrorCode::PermissionDenied);
    EXPECT_EQ(readBytes(path), "old");
}

TEST(FileIo, WritableFolderProbe) {
    TempDir dir;
    EXPECT_TRUE(isFolderWritable(dir.folder()));
    EXPECT_FALSE(isFolderWritable(dir.path("missing")));
}

} // namespace
} // namespace pilotrame
