#include "selection/filelist.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;
using namespace std::string_literals;

TEST(FileList, BuildFromDialogSelections) {
    const std::string longName = std::string(120, 'n') + ".dwg";
    struct Case {
        std::string selection;
        std::string list;
        int count;
    };
    const Case cases[] = {
        {"C:\\plans\\A01.dwg", "\vC:\\plans\\\r\n\tA01.dwg\r\n", 1},
        {"C:\\A01.dwg", "\vC:\\\r\n\tA01.dwg\r\n", 1},
        {"A01.dwg", "\v\r\n\tA01.dwg\r\n", 1},
        {"", "\v\r\n\t\r\n", 1},
        {"C:\\plans\0a.dwg\0b.dwg\0c.dwg"s, "\vC:\\plans\\\r\n\ta.dwg\r\n\tb.dwg\r\n\tc.dwg\r\n",
         3},
        // The dialog reports a drive root with its separator: the folder line doubles it.
        {"C:\\\0a.dwg\0b.dwg"s, "\vC:\\\\\r\n\ta.dwg\r\n\tb.dwg\r\n", 2},
        // Long names are kept whole, alone or in a multiple selection.
        {"C:\\p\\" + longName, "\vC:\\p\\\r\n\t" + longName + "\r\n", 1},
        {"C:\\p\0"s + longName + "\0x.dwg"s, "\vC:\\p\\\r\n\t" + longName + "\r\n\tx.dwg\r\n", 2},
    };
    for (const auto& c : cases) {
        int count = 0;
        EXPECT_EQ(BuildFileList(c.selection, '\\', count), c.list);
        EXPECT_EQ(count, c.count);
    }
    int count = 0;
    EXPECT_EQ(BuildFileList("/home/u/plans/a.dwg", '/', count), "\v/home/u/plans/\r\n\ta.dwg\r\n");
}

TEST(FileList, WriteReplacesTheWholeListInTheAnsiCodePage) {
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    writeBytes(list, "\vold\\\r\n\told1\r\n\told2\r\n\told3\r\n");
    const Result<int> written = WriteFileList(list, "C:\\é\0plan1.dwg\0plan2.dwg"s, '\\');
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, 2);
    EXPECT_EQ(readBytes(list), "\vC:\\\xE9\\\r\n\tplan1.dwg\r\n\tplan2.dwg\r\n");
}

TEST(FileList, ANameWithALineBreakIsRefusedAndTheListKept) {
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    writeBytes(list, "\vC:\\\r\n\ta.dwg\r\n");
    const Result<int> written = WriteFileList(list, "C:\\p\0ok.dwg\0bad\r\nname.dwg"s, '\\');
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().code, ErrorCode::InvalidName);
    EXPECT_EQ(written.error().detail, "bad\r\nname.dwg");
    EXPECT_EQ(readBytes(list), "\vC:\\\r\n\ta.dwg\r\n");
}

TEST(FileList, WriteIntoAMissingFolderFails) {
    TempDir dir;
    const Result<int> written = WriteFileList(dir.path("gone") + "/Liste01.txt", "a.dwg");
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().code, ErrorCode::PathNotFound);
}

std::vector<std::string> walk(const std::string& list, ListPosition& position) {
    std::vector<std::string> seen;
    const Status walked = WalkFileList(list, position, [&](const ListPosition& at) {
        seen.push_back(at.currentFolder + "|" + at.currentFileName);
        return success();
    });
    EXPECT_TRUE(walked);
    return seen;
}

TEST(FileList, ReaderKeepsFolderAndFileOfEachLine) {
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    const std::string longName = std::string(120, 'n');
    writeBytes(list, "\vC:\\A\\\r\n\tx.dwg\r\n\vC:\\A\\B\\\r\n\ty.dwg\r\nXz.dwg\r\n\t" + longName +
                         "\r\n\r\n\ta\nb.dwg\r\n\t\xE9.dwg");
    ListPosition position;
    EXPECT_EQ(walk(list, position),
              (std::vector<std::string>{"C:\\A\\|x.dwg", "C:\\A\\B\\|y.dwg", "C:\\A\\B\\|z.dwg",
                                        "C:\\A\\B\\|" + longName, "C:\\A\\B\\|",
                                        "C:\\A\\B\\|a\nb.dwg", "C:\\A\\B\\|é.dwg"}));
    EXPECT_EQ(position.currentFolder, "C:\\A\\B\\");
    EXPECT_EQ(position.currentFileName, "é.dwg");
    EXPECT_EQ(*CountListedFiles(list), 7);
}

TEST(FileList, EmptyAndMissingLists) {
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    writeBytes(list, "");
    ListPosition position{"keep\\", "kept.dwg"};
    EXPECT_TRUE(walk(list, position).empty());
    EXPECT_EQ(position.currentFolder, "keep\\");
    EXPECT_EQ(*CountListedFiles(list), 0);

    const Status missing =
        WalkFileList(dir.path("none.txt"), position, [](const ListPosition&) { return success(); });
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, ErrorCode::FileNotFound);
}

TEST(FileList, WalkStopsAtTheFirstFailure) {
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    writeBytes(list, "\vC:\\\r\n\ta\r\n\tb\r\n\tc\r\n");
    ListPosition position;
    int calls = 0;
    const Status walked = WalkFileList(list, position, [&](const ListPosition& at) -> Status {
        ++calls;
        if (at.currentFileName == "b")
            return Error{ErrorCode::TypeMismatch, "test", {}, {}};
        return success();
    });
    EXPECT_FALSE(walked);
    EXPECT_EQ(calls, 2);
}

} // namespace
} // namespace pilotrame
