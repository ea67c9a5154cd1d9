#include "selection/filelist.h"

#include "support/tempdir.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
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
        {"C:\\plans\0a.dwg\0b.dwg\0c.dwg"s, "\vC:\\plans\\\r\n\ta.dwg\r\n\tb.dwg\r\n\tc.dwg\r\n",
         3},
        // The dialog reports a drive root with its separator: the folder line doubles it.
        {"C:\\\0a.dwg\0b.dwg"s, "\vC:\\\\\r\n\ta.dwg\r\n\tb.dwg\r\n", 2},
        // Long names are kept whole, alone or in a multiple selection.
        {"C:\\p\\" + longName, "\vC:\\p\\\r\n\t" + longName + "\r\n", 1},
        {"C:\\p\0"s + longName + "\0x.dwg"s, "\vC:\\p\\\r\n\t" + longName + "\r\n\tx.dwg\r\n", 2},
    };
    for (const auto& c : cases) {
        const FileList model = FileListFromSelection(c.selection, '\\');
        EXPECT_EQ(*FileListText(model), c.list);
        EXPECT_EQ(CountFiles(model), c.count);
    }
    EXPECT_EQ(*FileListText(FileListFromSelection("/home/u/plans/a.dwg", '/')),
              "\v/home/u/plans/\r\n\ta.dwg\r\n");
    // Nothing chosen names no file: a list line without a name would open its folder.
    EXPECT_FALSE(FileListText(FileListFromSelection("", '\\')));
}

TEST(FileList, EachChosenFileGoesUnderItsOwnFolder) {
    struct Case {
        std::vector<std::string> paths;
        std::string list;
    };
    const Case cases[] = {
        // Full paths typed from two folders: a folder line for each, in the order chosen.
        {{"/p/A/x.dwg", "/p/B/x.dwg"}, "\v/p/A/\r\n\tx.dwg\r\n\v/p/B/\r\n\tx.dwg\r\n"},
        // A sub-folder and a plain name: the plain name stays in the dialog's folder.
        {{"/p/sub/a.dwg", "/p/b.dwg", "/p/c.dwg"},
         "\v/p/sub/\r\n\ta.dwg\r\n\v/p/\r\n\tb.dwg\r\n\tc.dwg\r\n"},
        // Back to an earlier folder: a new folder line, the order kept.
        {{"/p/A/1.dwg", "/p/B/2.dwg", "/p/A/3.dwg"},
         "\v/p/A/\r\n\t1.dwg\r\n\v/p/B/\r\n\t2.dwg\r\n\v/p/A/\r\n\t3.dwg\r\n"},
        {{"/a.dwg", "/b.dwg"}, "\v//\r\n\ta.dwg\r\n\tb.dwg\r\n"},
        {{"/p/one.dwg"}, "\v/p/\r\n\tone.dwg\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(*FileListText(FileListFromPaths(c.paths, '/')), c.list) << c.list;
    EXPECT_EQ(*FileListText(FileListFromPaths({"C:\\a.dwg", "C:\\b.dwg"}, '\\')),
              "\vC:\\\\\r\n\ta.dwg\r\n\tb.dwg\r\n");
}

TEST(FileList, NamesOutsideTheCodePageAreLeftOut) {
    FileList list = {{"/p/", {"a.dwg", "plan \xE2\x86\x92 2.dwg", "\xC3\xA9t\xC3\xA9.dwg"}},
                     {"/\xE6\x97\xA5\xE6\x9C\xAC/", {"b.dwg", "c.dwg"}},
                     {"/q/", {"d?.dwg"}}};
    const std::vector<std::string> removed = RemoveNamesOutsideAnsi(list);
    const FileList kept = {{"/p/", {"a.dwg", "\xC3\xA9t\xC3\xA9.dwg"}}, {"/q/", {"d?.dwg"}}};
    EXPECT_EQ(list, kept);
    EXPECT_EQ(removed, (std::vector<std::string>{"/p/plan \xE2\x86\x92 2.dwg",
                                                 "/\xE6\x97\xA5\xE6\x9C\xAC/b.dwg",
                                                 "/\xE6\x97\xA5\xE6\x9C\xAC/c.dwg"}));
}

// Both selections list through ListChosenFiles: a choice whose every file is refused leaves the
// previous list alone, any other choice replaces it.
TEST(FileList, ListingChosenFilesKeepsThePreviousListWhenNothingCanBeTaken) {
    const std::string previous = "\v/old/\r\n\told.dwg\r\n";
    const std::string refused = "/p/\xE6\x97\xA5.dwg";
    struct Case {
        const char* what;
        FileList chosen;
        std::string list; // the list afterwards
        int count;
        bool written;
        std::vector<std::string> leftOut;
    };
    const Case cases[] = {
        {"every file refused", {{"/p/", {"\xE6\x97\xA5.dwg"}}}, previous, 0, false, {refused}},
        {"some refused",
         {{"/p/", {"\xE6\x97\xA5.dwg", "a.dwg"}}},
         "\v/p/\r\n\ta.dwg\r\n",
         1,
         true,
         {refused}},
        {"none refused",
         {{"/p/", {"a.dwg", "b.dwg"}}},
         "\v/p/\r\n\ta.dwg\r\n\tb.dwg\r\n",
         2,
         true,
         {}},
        {"nothing chosen", {}, "", 0, true, {}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string list = dir.path("Liste01.txt");
        WriteBytes(list, previous);
        const ChosenFilesListing listing = ListChosenFiles(list, c.chosen);
        EXPECT_EQ(ReadBytes(list), c.list) << c.what;
        EXPECT_EQ(listing.count, c.count) << c.what;
        EXPECT_EQ(listing.written, c.written) << c.what;
        EXPECT_EQ(listing.leftOut, c.leftOut) << c.what;
        EXPECT_FALSE(listing.failure) << c.what;
    }
}

TEST(FileList, ListingIntoAMissingFolderFailsWithoutWriting) {
    TempDir dir;
    const ChosenFilesListing listing =
        ListChosenFiles(dir.path("gone") + "/Liste01.txt", {{"/p/", {"a.dwg"}}});
    ASSERT_TRUE(listing.failure);
    EXPECT_EQ(listing.failure->operation, Operation::WriteList);
    EXPECT_FALSE(listing.written);
    EXPECT_EQ(listing.count, 0);
}

TEST(FileList, ModelReadBack) {
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    const FileList model = {
        {"C:\\A\\", {"x.dwg"}}, {"C:\\A\\B\\", {}}, {"C:\\A\\C\\", {"y.dwg", "z.dwg"}}};
    ASSERT_EQ(*WriteFileList(list, model), 3);
    const FileList expected = {{"C:\\A\\", {"x.dwg"}}, {"C:\\A\\C\\", {"y.dwg", "z.dwg"}}};
    EXPECT_EQ(*ReadFileList(list), expected);
}

TEST(FileList, WriteReplacesTheWholeListInTheAnsiCodePage) {
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    WriteBytes(list, "\vold\\\r\n\told1\r\n\told2\r\n\told3\r\n");
    const Result<int> written =
        WriteFileList(list, FileListFromSelection("C:\\é\0plan1.dwg\0plan2.dwg"s, '\\'));
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, 2);
    EXPECT_EQ(ReadBytes(list), "\vC:\\\xE9\\\r\n\tplan1.dwg\r\n\tplan2.dwg\r\n");
}

TEST(FileList, ANameWithALineBreakIsRefusedAndTheListKept) {
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    WriteBytes(list, "\vC:\\\r\n\ta.dwg\r\n");
    const Result<int> written =
        WriteFileList(list, FileListFromSelection("C:\\p\0ok.dwg\0bad\r\nname.dwg"s, '\\'));
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().code, ErrorCode::InvalidName);
    EXPECT_EQ(written.error().detail, "bad\r\nname.dwg");
    EXPECT_EQ(ReadBytes(list), "\vC:\\\r\n\ta.dwg\r\n");
}

// A CR or an LF anywhere in a folder or a name, among the first bytes or the last, is refused.
TEST(FileList, ALineBreakAnywhereIsRefused) {
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    for (const char lineEnd : {'\r', '\n'}) {
        for (std::size_t at = 0; at < 19; ++at) {
            std::string name = "plan_é_0123456.dwg";
            name.insert(at, 1, lineEnd);
            for (const bool inFolder : {false, true}) {
                const FileList files = inFolder ? FileList{{"C:\\" + name + "\\", {"a.dwg"}}}
                                                : FileList{{"C:\\", {"a.dwg", name}}};
                const Result<int> written = WriteFileList(list, files);
                ASSERT_FALSE(written) << at;
                EXPECT_EQ(written.error().code, ErrorCode::InvalidName);
                EXPECT_NE(written.error().detail.find(name), std::string::npos);
            }
        }
    }
}

TEST(FileList, WriteIntoAMissingFolderFails) {
    TempDir dir;
    const Result<int> written =
        WriteFileList(dir.path("gone") + "/Liste01.txt", FileListFromSelection("a.dwg"));
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().code, ErrorCode::PathNotFound);
}

std::vector<std::string> Walk(const std::string& list, ListPosition& position) {
    std::vector<std::string> seen;
    const Status walked = WalkFileList(list, position, [&](const ListPosition& at) {
        seen.push_back(at.currentFolder + "|" + at.currentFileName);
        return Success();
    });
    EXPECT_TRUE(walked);
    return seen;
}

TEST(FileList, ReaderKeepsFolderAndFileOfEachLine) {
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    const std::string longName = std::string(120, 'n');
    WriteBytes(list, "\vC:\\A\\\r\n\tx.dwg\r\n\vC:\\A\\B\\\r\n\ty.dwg\r\nXz.dwg\r\n\t" + longName +
                         "\r\n\r\n\ta\nb.dwg\r\n\t\xE9.dwg");
    ListPosition position;
    EXPECT_EQ(Walk(list, position),
              (std::vector<std::string>{"C:\\A\\|x.dwg", "C:\\A\\B\\|y.dwg", "C:\\A\\B\\|z.dwg",
                                        "C:\\A\\B\\|" + longName, "C:\\A\\B\\|a", "C:\\A\\B\\|.dwg",
                                        "C:\\A\\B\\|é.dwg"}));
    EXPECT_EQ(position.currentFolder, "C:\\A\\B\\");
    EXPECT_EQ(position.currentFileName, "é.dwg");
}

// A list edited on another system, or by hand: any line end ends a line, and a folder line
// without its final separator still names a folder, so that every reader opens the same file.
TEST(FileList, AnyLineEndAndAFolderWithoutItsSeparator) {
    struct Case {
        std::string text;
        std::vector<std::string> seen;
    };
    const Case cases[] = {
        {"\v/p/A/\n\ta.dwg\n\tb.dwg\n", {"/p/A/|a.dwg", "/p/A/|b.dwg"}},
        {"\v/p/A/\r\ta.dwg\r\tb.dwg", {"/p/A/|a.dwg", "/p/A/|b.dwg"}},
        {"\v/p/A/\r\n\ta.dwg\n\vC:\\B\r\tb.dwg\r\n", {"/p/A/|a.dwg", "C:\\B\\|b.dwg"}},
        {"\v/p/A\r\n\ta.dwg\r\n", {"/p/A/|a.dwg"}},
        {"\vC:\r\n\ta.dwg\r\n", {std::string("C:") + kNativeSeparator + "|a.dwg"}},
    };
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    for (const Case& c : cases) {
        WriteBytes(list, c.text);
        ListPosition position;
        EXPECT_EQ(Walk(list, position), c.seen) << c.text;
    }
}

// Messages name a line of the list by its number as an editor shows it: folder lines and empty
// lines count, whatever ends them.
TEST(FileList, EachFileComesWithItsLineNumber) {
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    WriteBytes(list, "\vC:\\A\\\r\n\tx.dwg\n\r\n\vC:\\B\\\r\tb.dwg\r\n\tc.dwg");
    ListPosition position;
    std::vector<std::string> seen;
    ASSERT_TRUE(WalkFileList(list, position, [&](const ListPosition& at) {
        seen.push_back(std::to_string(at.line) + ":" + at.currentFileName);
        return Success();
    }));
    EXPECT_EQ(seen, (std::vector<std::string>{"2:x.dwg", "5:b.dwg", "6:c.dwg"}));
    EXPECT_EQ(position.line, 6);
}

// Each drawing the walk of list gives, as "line:folder|name", then its fault as "fault LINE
// TEXT", the list read pieceSize bytes at a time.
std::vector<std::string> WalkedLines(const std::string& list, std::size_t pieceSize) {
    std::vector<std::string> seen;
    ListPosition position;
    const Status walked = WalkFileList(
        list, position,
        [&](const ListPosition& at) {
            seen.push_back(std::to_string(at.line) + ":" + at.currentFolder + "|" +
                           at.currentFileName);
            return Success();
        },
        pieceSize);
    if (!walked) {
        EXPECT_EQ(walked.error().operation, Operation::ReadList);
        EXPECT_EQ(walked.error().path, list);
        seen.push_back("fault " + std::to_string(walked.error().line) + " " + walked.error().text);
    }
    return seen;
}

// The list is read a piece at a time: whatever the size of the pieces, and so wherever a line, a
// CR LF or an accented character is cut, the same lines come with the same numbers.
TEST(FileList, PiecesOfAnySizeGiveTheSameLines) {
    const std::string texts[] = {
        "\vC:\\A\\\r\n\tx.dwg\n\r\n\vC:\\B\r\tb.dwg\r\n\tc.dwg",
        "\v/p/\xC9t\xE9/\r\n\t\xE9t\xE9.dwg\r\n\t\x80.dwg\r\n\xA5plan.dwg\r\r\n\n\r",
        "\r\n\r\n\ta\nb.dwg\r",
        "\xEF\xBB\xBF\vC:\\bom\\\r\n\tplan.dwg\r\n",
        "\t" + std::string(300, 'n') + ".dwg\r\n\t" + std::string(70, 'm'),
    };
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    for (const std::string& text : texts) {
        WriteBytes(list, text);
        const std::vector<std::string> whole = WalkedLines(list, text.size() + 1);
        EXPECT_FALSE(whole.empty());
        for (std::size_t size = 1; size <= text.size(); ++size)
            ASSERT_EQ(WalkedLines(list, size), whole) << "pieces of " << size << " bytes: " << text;
    }
}

// What a list may hold besides what this program writes, and what no list may hold: each gives
// its drawings with their lines, or its faulty line and the start of it, read whole or in pieces.
TEST(FileList, ListsFromElsewhereAreReadOrRefusedByTheirLine) {
    const std::string longest(kMaxListLineBytes - 1, 'n');
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::string> outcome;
    };
    const Case cases[] = {
        {"a file before any folder", "\tA01.dwg\r\n\v/d/\r\n\tB.dwg\r\n", {"fault 1 A01.dwg"}},
        {"a list for reading: folders without their marker",
         "/d/\r\n\ta.dwg\r\nC:\\e\\\r\n\tb.dwg",
         {"2:/d/|a.dwg", "4:C:\\e\\|b.dwg"}},
        {"a file line without a name", "\v/d/\r\n\ta.dwg\r\n\t\r\n", {"2:/d/|a.dwg", "fault 3 "}},
        {"a BOM, then no folder", "\xEF\xBB\xBF\tA.dwg", {"fault 1 A.dwg"}},
        {"blank lines", "\r\n\v/d/\r\n\r\n\ta.dwg\r\n\r\n", {"4:/d/|a.dwg"}},
        {"LF CR line ends", "\v/d/\n\r\ta.dwg\n\r", {"3:/d/|a.dwg"}},
        {"a final Ctrl-Z", "\v/d/\r\n\ta.dwg\r\n\x1A", {"2:/d/|a.dwg"}},
        {"a Ctrl-Z ending the last line", "\v/d/\r\n\ta.dwg\x1A", {"2:/d/|a.dwg"}},
        {"a BOM before the first folder", "\xEF\xBB\xBF\v/d/\r\n\ta.dwg", {"2:/d/|a.dwg"}},
        {"a BOM, then UTF-8",
         "\xEF\xBB\xBF\v/\xC3\xA9/\r\n\t\xC3\xA9t\xC3\xA9.dwg",
         {"2:/é/|été.dwg"}},
        {"a BOM, then a line in ANSI", "\xEF\xBB\xBF\v/d/\r\n\t\xE9t\xE9.dwg", {"2:/d/|été.dwg"}},
        {"the longest line", "\v/d/\r\n\t" + longest, {"2:/d/|" + longest}},
        {"a line too long",
         "\v/d/\r\n\t" + longest + "x\r\n\tb.dwg",
         {"fault 2 ?" + longest.substr(0, 79)}},
        {"too long without a line end",
         std::string(kMaxListLineBytes + 9, '\0'),
         {"fault 1 " + std::string(80, '?')}},
    };
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    for (const Case& c : cases) {
        WriteBytes(list, c.text);
        for (const std::size_t pieceSize : {std::size_t{5}, kReadPieceSize})
            EXPECT_EQ(WalkedLines(list, pieceSize), c.outcome)
                << c.what << ", pieces of " << pieceSize;
    }
}

#ifndef _WIN32
// A list of 8 GiB without a line end is refused at its first line, read no further: a file that
// the system holds without a byte on the disk.
TEST(FileList, AHugeLineIsRefusedWithoutReadingIt) {
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    WriteBytes(list, "\v/d/\r\n");
    std::filesystem::resize_file(ToFsPath(list), std::uint64_t{8} << 30);
    ListPosition position;
    const Status walked =
        WalkFileList(list, position, [](const ListPosition&) { return Success(); });
    ASSERT_FALSE(walked);
    EXPECT_EQ(walked.error().fault, TextFault::LineTooLong);
    EXPECT_EQ(walked.error().line, 2);
}
#endif

TEST(FileList, AFileLineMarkerOfSeveralBytesIsDroppedWhole) {
    // A list edited by hand may start a file line with any character; in memory an accented one
    // takes two bytes, and the name must not keep half of it.
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    WriteBytes(list, "\vC:\\\r\n\xA5plan.dwg\r\n\xE9\xE9t\xE9.dwg\r\n");
    ListPosition position;
    EXPECT_EQ(Walk(list, position), (std::vector<std::string>{"C:\\|plan.dwg", "C:\\|été.dwg"}));
    const Result<FileList> read = ReadFileList(list);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, (FileList{{"C:\\", {"plan.dwg", "été.dwg"}}}));
}

TEST(FileList, EmptyAndMissingLists) {
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    WriteBytes(list, "");
    ListPosition position{"keep\\", "kept.dwg"};
    EXPECT_TRUE(Walk(list, position).empty());
    EXPECT_EQ(position.currentFolder, "keep\\");

    const Status missing =
        WalkFileList(dir.path("none.txt"), position, [](const ListPosition&) { return Success(); });
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, ErrorCode::FileNotFound);
}

TEST(FileList, WalkStopsAtTheFirstFailure) {
    TempDir dir;
    const std::string list = dir.path("Liste01.txt");
    WriteBytes(list, "\vC:\\\r\n\ta\r\n\tb\r\n\tc\r\n");
    ListPosition position;
    int calls = 0;
    const Status walked = WalkFileList(list, position, [&](const ListPosition& at) -> Status {
        ++calls;
        if (at.currentFileName == "b")
            return BoxError(Cause::NotANumber, {}, {});
        return Success();
    });
    EXPECT_FALSE(walked);
    EXPECT_EQ(calls, 2);
}

} // namespace
} // namespace pilotrame
