#include "rename/renaming.h"

#include "base/codepage.h"
#include "base/paths.h"

#include "support/tempdir.h"
#include "texts/common.h"
#include "texts/renaming.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pilotrame {
namespace {

namespace fs = std::filesystem;

using test::FileExists;
using test::ReadBytes;
using test::SetReadOnly;
using test::TempDir;
using test::WriteBytes;
using namespace std::string_literals;

RenameJob Deleting(std::string start, std::string length) {
    RenameJob job;
    job.rule = RenameRule::Delete;
    job.start = std::move(start);
    job.length = std::move(length);
    return job;
}

RenameJob Inserting(std::string start, std::string text) {
    RenameJob job;
    job.rule = RenameRule::Insert;
    job.start = std::move(start);
    job.text = std::move(text);
    return job;
}

RenameJob NewExtension(std::string extension, std::string start = "0") {
    RenameJob job;
    job.rule = RenameRule::Extension;
    job.start = std::move(start);
    job.newExtension = std::move(extension);
    return job;
}

TEST(RenamedName, FollowsTheRuleOfThePanel) {
    struct Case {
        std::string name;
        RenameJob job;
        std::string renamed;
    };
    const Case cases[] = {
        {"plan01.dwg", Deleting("0", "1"), "lan01.dwg"},
        {"plan01.dwg", Deleting("4", "2"), "plan.dwg"},
        {"plan01.dwg", Inserting("0", "A-"), "A-plan01.dwg"},
        {"plan01.dwg", Inserting("4", "_"), "plan_01.dwg"},
        {"plan01.dwg", NewExtension(".dxf"), "plan01.dxf"},
        {"plan01.dwg", NewExtension("dxf"), "plan01dxf"},
        {"plan01.dwg", RenameJob{RenameRule::Extension, "0", "1", "", ".xls"}, "plan01.xls"},
        // Past the end of the base: nothing to delete, the text goes last; the extension stays.
        {"plan01.dwg", Deleting("10", "1"), "plan01.dwg"},
        {"plan01.dwg", Deleting("4", "100"), "plan.dwg"},
        {"plan01.dwg", Deleting("6", "1"), "plan01.dwg"},
        {"plan01.dwg", Deleting("2", "0"), "plan01.dwg"},
        {"plan01.dwg", Inserting("6", "-B"), "plan01-B.dwg"},
        {"plan01.dwg", Inserting("32767", "-B"), "plan01-B.dwg"},
        {"plan01.dwg", Inserting("0", ""), "plan01.dwg"},
        // The start box is read by every rule, its value changes only the first two.
        {"plan01.dwg", NewExtension(".dxf", "12"), "plan01.dxf"},
        // The extension is the last four characters, whatever they are.
        {"notes", Deleting("0", "1"), "otes"},
        {"notes", NewExtension(".xls"), "n.xls"},
        {"abcd", Inserting("0", "x"), "xabcd"},
        {"plan.dwg.bak", NewExtension(".dwg"), "plan.dwg.dwg"},
        // Characters, not bytes: accented letters count one each, in the base as in the
        // extension.
        {"Façade.dwg", Deleting("2", "1"), "Faade.dwg"},
        {"Façade.dwg", Inserting("3", "é"), "Façéade.dwg"},
        {"Plan.déf", NewExtension(".dwg"), "Plan.dwg"},
        {"éèàç", Inserting("0", "x"), "xéèàç"},
        {"Réseau€1.dwg", Deleting("6", "1"), "Réseau1.dwg"},
        // Fractions round to the nearest whole number, halves to the even one.
        {"plan01.dwg", Inserting("2.5", "_"), "pl_an01.dwg"},
        {"plan01.dwg", Inserting("3,5", "_"), "plan_01.dwg"},
        {"plan01.dwg", Inserting("3.4", "_"), "pla_n01.dwg"},
        {"plan01.dwg", Inserting("0,5", "_"), "_plan01.dwg"},
        {"plan01.dwg", Inserting("1,5", "_"), "pl_an01.dwg"},
        {"plan01.dwg", Inserting("-0.5", "_"), "_plan01.dwg"},
        {"plan01.dwg", Inserting(" 1 ", "_"), "p_lan01.dwg"},
        {"plan01.dwg", Deleting("0", "1,5"), "an01.dwg"},
        {"plan01.dwg", Deleting("0", "0.5"), "plan01.dwg"},
        // The length box does not matter to the other rules.
        {"plan01.dwg", RenameJob{RenameRule::Insert, "0", "abc", "x", ".xls"}, "xplan01.dwg"},
        {"plan01.dwg", RenameJob{RenameRule::Extension, "0", "-5", "", ".dxf"}, "plan01.dxf"},
    };
    for (const Case& c : cases) {
        const Result<std::string> renamed = RenamedName(c.name, c.job, ',');
        ASSERT_TRUE(renamed) << c.name << " start " << c.job.start << ": "
                             << renamed.error().detail;
        EXPECT_EQ(*renamed, c.renamed) << c.name << " start " << c.job.start;
    }
}

TEST(RenamedName, RefusesBoxesThatHoldNoWholeNumberInRange) {
    struct Case {
        RenameJob job;
        char separator;
        Cause cause;
        std::string box;
        std::string text;
    };
    const Case cases[] = {
        {Inserting("", "_"), ',', Cause::NotANumber, "Début", ""},
        {Inserting("   ", "_"), ',', Cause::NotANumber, "Début", "   "},
        {Inserting("abc", "_"), ',', Cause::NotANumber, "Début", "abc"},
        {Inserting("2a", "_"), ',', Cause::NotANumber, "Début", "2a"},
        // A comma is the decimal separator only where the user's settings make it so.
        {Inserting("3,5", "_"), '.', Cause::NotANumber, "Début", "3,5"},
        {Inserting("1 000", "_"), ',', Cause::NotANumber, "Début", "1 000"},
        {Inserting("40000", "_"), ',', Cause::OutOfRange, "Début", "40000"},
        {Inserting("32767.5", "_"), ',', Cause::OutOfRange, "Début", "32767.5"},
        {Inserting("-40000", "_"), ',', Cause::OutOfRange, "Début", "-40000"},
        {Inserting("-1", "_"), ',', Cause::OutOfRange, "Début", "-1"},
        {Inserting("-0,6", "_"), ',', Cause::OutOfRange, "Début", "-0,6"},
        {NewExtension(".dxf", "-1"), ',', Cause::OutOfRange, "Début", "-1"},
        {NewExtension(".dxf", ""), ',', Cause::NotANumber, "Début", ""},
        {Deleting("0", ""), ',', Cause::NotANumber, "Longeur", ""},
        {Deleting("0", "un"), ',', Cause::NotANumber, "Longeur", "un"},
        {Deleting("0", "-1"), ',', Cause::OutOfRange, "Longeur", "-1"},
        {Deleting("0", "32768"), ',', Cause::OutOfRange, "Longeur", "32768"},
        // The start is read first.
        {Deleting("x", "y"), ',', Cause::NotANumber, "Début", "x"},
    };
    for (const Case& c : cases) {
        const Result<std::string> renamed = RenamedName("plan01.dwg", c.job, c.separator);
        ASSERT_FALSE(renamed) << c.job.start << " / " << c.job.length;
        EXPECT_EQ(renamed.error().cause, c.cause) << c.job.start << " / " << c.job.length;
        EXPECT_EQ(BoxName(renamed.error()), c.box) << c.job.start << " / " << c.job.length;
        EXPECT_EQ(renamed.error().text, c.text) << c.job.start << " / " << c.job.length;
    }
    EXPECT_TRUE(RenamedName("plan01.dwg", Inserting("32766.5", "_")));
    EXPECT_TRUE(RenamedName("plan01.dwg", Inserting("1e1", "_")));
}

TEST(RenamedName, RefusesNamesShorterThanAnExtension) {
    for (const std::string name : {"", "a", "dwg", "éèà"}) {
        const Result<std::string> renamed = RenamedName(name, Inserting("0", "x"));
        ASSERT_FALSE(renamed) << name;
        EXPECT_EQ(renamed.error().cause, Cause::InvalidName) << name;
        EXPECT_EQ(renamed.error().detail, name);
    }
}

TEST(RenamedName, NeverNamesAFileOutsideItsFolder) {
    struct Case {
        std::string name;
        RenameJob job;
    };
    std::vector<Case> cases = {
        {"plan01.dwg", Inserting("0", "../")}, {"plan01.dwg", Inserting("0", "/")},
        {"plan01.dwg", NewExtension("/x")},    {"abcd", NewExtension("")},
        {"abcd", NewExtension(".")},           {"abcd", NewExtension("..")},
        {"..abcd", NewExtension("")},          {"plan01.dwg", Inserting("2", std::string(1, '\0'))},
    };
#ifdef _WIN32
    cases.push_back({"plan01.dwg", Inserting("0", "..\\")});
    cases.push_back({"plan01.dwg", Inserting("0", "C:")});
    cases.push_back({"plan01.dwg", NewExtension(".dwg:flux")});
    cases.push_back({"plan01.dwg", Inserting("0", "?")});
#endif
    for (const Case& c : cases) {
        const Result<std::string> renamed = RenamedName(c.name, c.job);
        ASSERT_FALSE(renamed) << c.name << " + " << c.job.text << c.job.newExtension;
        EXPECT_EQ(renamed.error().cause, Cause::InvalidName);
        EXPECT_EQ(renamed.error().code, ErrorCode::InvalidName);
    }
}

// A new name that the lists and scripts cannot write would leave a file no list could name again.
TEST(RenamedName, RefusesNewNamesOutsideTheCodePage) {
    struct Case {
        RenameJob job;
        std::string renamed;   // the new name the failure names
        std::string character; // the first character that does not fit
    };
    const Case cases[] = {
        {Inserting("0", "☺"), "☺plan01.dwg", "☺"},
        {Inserting("4", "-Ω-☺"), "plan-Ω-☺01.dwg", "Ω"},
        {NewExtension(".dwg✓"), "plan01.dwg✓", "✓"},
        {Inserting("0", "e\u0301"), "e\u0301plan01.dwg", "\u0301"}, // a combining accent
        {Inserting("0", "\xff"), "\xffplan01.dwg", "\uFFFD"},       // not UTF-8 at all
    };
    for (const Case& c : cases) {
        const Result<std::string> renamed = RenamedName("plan01.dwg", c.job);
        ASSERT_FALSE(renamed) << c.renamed;
        EXPECT_EQ(renamed.error().cause, Cause::NotInCodePage) << c.renamed;
        EXPECT_EQ(renamed.error().detail, c.renamed);
        EXPECT_EQ(renamed.error().text, c.character) << c.renamed;
    }
    // The code page's own letters are welcome.
    for (const std::string text : {"œ-", "€", "Ÿé", "ß"})
        EXPECT_TRUE(RenamedName("plan01.dwg", Inserting("0", text))) << text;
}

// The names in a folder, sorted.
std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(ToFsPath(folder)))
        names.push_back(FromFsPath(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

struct Renaming : ::testing::Test {
    TempDir dir;
    std::string list = dir.path("Liste01.txt");
    std::string folder = WithTrailingSeparator(dir.path("plans"));
    ListPosition position;

    Renaming() { fs::create_directories(ToFsPath(folder)); }

    // Creates each file with its own name as content, and lists them.
    void listFiles(const std::vector<std::string>& names) {
        for (const std::string& name : names)
            WriteBytes(folder + name, name);
        ASSERT_TRUE(WriteFileList(list, FileList{{folder, names}}));
    }

    RenameReport run(const RenameJob& job, char separator = ',') {
        return RenameListedFiles(list, job, position, separator);
    }

    // The failure of report, checked to be a renaming failure on the file name of the folder.
    void expectFailureOn(const RenameReport& report, const std::string& name, ErrorCode code) {
        ASSERT_TRUE(report.failure.has_value());
        EXPECT_EQ(report.failure->operation, Operation::RenameFile);
        EXPECT_EQ(report.failure->code, code);
        EXPECT_EQ(report.failure->path, folder + name);
    }
};

TEST_F(Renaming, RenamesEveryListedFileInItsOwnFolderAndLeavesTheListAlone) {
    const std::string other = WithTrailingSeparator(dir.path("Façades"));
    fs::create_directories(ToFsPath(other));
    for (const char* name : {"plan01.dwg", "plan02.dwg"})
        WriteBytes(folder + name, name);
    WriteBytes(other + "coupé.dxf", "coupé.dxf");
    ASSERT_TRUE(WriteFileList(
        list, FileList{{folder, {"plan01.dwg", "plan02.dwg"}}, {other, {"coupé.dxf"}}}));
    const std::string listBefore = ReadBytes(list);

    const RenameReport report = run(Inserting("4", "_"));

    EXPECT_FALSE(report.failure.has_value());
    EXPECT_EQ(report.renamed, 3);
    EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"plan_01.dwg", "plan_02.dwg"}));
    EXPECT_EQ(NamesIn(other), (std::vector<std::string>{"coup_é.dxf"}));
    EXPECT_EQ(ReadBytes(folder + "plan_02.dwg"), "plan02.dwg");
    EXPECT_EQ(ReadBytes(other + "coup_é.dxf"), "coupé.dxf");
    EXPECT_EQ(ReadBytes(list), listBefore);
    EXPECT_EQ(position.currentFolder, other);
    // The name split into base and extension leaves the base as the current file name.
    EXPECT_EQ(position.currentFileName, "coupé");
}

TEST_F(Renaming, EachExampleOfThePanelOnRealFiles) {
    struct Case {
        RenameJob job;
        std::string renamed;
    };
    const Case cases[] = {
        {Deleting("0", "1"), "lan01.dwg"},
        {Deleting("4", "2"), "plan.dwg"},
        {Inserting("0", "A-"), "A-plan01.dwg"},
        {Inserting("4", "_"), "plan_01.dwg"},
        {NewExtension(".dxf"), "plan01.dxf"},
        {NewExtension("dxf"), "plan01dxf"},
        {Deleting("10", "1"), "plan01.dwg"},
        {Inserting("0", ""), "plan01.dwg"},
        {RenameJob{}, "lan01.dwg"},
    };
    for (const Case& c : cases) {
        fs::remove_all(ToFsPath(folder));
        fs::create_directories(ToFsPath(folder));
        listFiles({"plan01.dwg"});
        const RenameReport report = run(c.job);
        EXPECT_FALSE(report.failure.has_value()) << c.renamed;
        // A file that keeps its name is not counted as renamed.
        EXPECT_EQ(report.renamed, c.renamed == "plan01.dwg" ? 0 : 1) << c.renamed;
        EXPECT_EQ(NamesIn(folder), std::vector<std::string>{c.renamed});
        EXPECT_EQ(ReadBytes(folder + c.renamed), "plan01.dwg");
    }
}

TEST_F(Renaming, AReadOnlyFileStopsTheRunThereEvenForRoot) {
    listFiles({"a01.dwg", "b01.dwg", "c01.dwg"});
    SetReadOnly(folder + "b01.dwg", true);

    const RenameReport report = run(Deleting("0", "1"));

    expectFailureOn(report, "b01.dwg", ErrorCode::PermissionDenied);
    EXPECT_EQ(report.renamed, 1);
    EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"01.dwg", "b01.dwg", "c01.dwg"}));
    EXPECT_EQ(RenameFailureText(report.failure->path, report.renamed),
              "Erreur! fichier en lecture seule ou inexistant: \r\n" + folder +
                  "b01.dwg\r\n\r\n1 fichier a été renommé avant cette erreur.");
}

TEST_F(Renaming, AnExistingFileOfTheNewNameIsNeverReplaced) {
    listFiles({"plan01.dwg"});
    WriteBytes(folder + "lan01.dwg", "already there");

    const RenameReport report = run(Deleting("0", "1"));

    expectFailureOn(report, "plan01.dwg", ErrorCode::FileExists);
    EXPECT_EQ(report.renamed, 0);
    EXPECT_EQ(ReadBytes(folder + "lan01.dwg"), "already there");
    EXPECT_EQ(ReadBytes(folder + "plan01.dwg"), "plan01.dwg");
}

TEST_F(Renaming, RenamingToTheOwnNameSucceedsAndChangesNothing) {
    listFiles({"plan01.dwg", "plan02.dwg"});
    // Nothing changes, so even a read-only file takes its own name.
    SetReadOnly(folder + "plan02.dwg", true);

    const RenameReport report = run(Deleting("10", "1"));

    EXPECT_FALSE(report.failure.has_value());
    // Neither file was renamed, and the count says so.
    EXPECT_EQ(report.renamed, 0);
    EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"plan01.dwg", "plan02.dwg"}));
    EXPECT_EQ(ReadBytes(folder + "plan01.dwg"), "plan01.dwg");
}

// True when the Windows build runs under Wine rather than on Windows.
bool UnderWine() {
#ifdef _WIN32
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

TEST_F(Renaming, AChangeOfCaseOnlyRenamesTheFile) {
    listFiles({"Plan.dwg"});
    const RenameReport report = run(NewExtension(".DWG"));
    EXPECT_FALSE(report.failure.has_value());
    EXPECT_EQ(report.renamed, 1);
    // Wine finds the new name as the same file and leaves its case; Windows changes it.
    if (UnderWine())
        EXPECT_EQ(NamesIn(folder).size(), 1u);
    else
        EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"Plan.DWG"});
}

TEST_F(Renaming, AMissingFileStopsTheRun) {
    listFiles({"a01.dwg", "c01.dwg"});
    ASSERT_TRUE(WriteFileList(list, FileList{{folder, {"a01.dwg", "b01.dwg", "c01.dwg"}}}));

    const RenameReport report = run(Inserting("0", "x"));

    expectFailureOn(report, "b01.dwg", ErrorCode::FileNotFound);
    EXPECT_EQ(report.renamed, 1);
    EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"c01.dwg", "xa01.dwg"}));
}

TEST_F(Renaming, AMissingFolderStopsTheRun) {
    const std::string missing = WithTrailingSeparator(dir.path("absent"));
    ASSERT_TRUE(WriteFileList(list, FileList{{missing, {"a01.dwg"}}}));
    const RenameReport report = run(Inserting("0", "x"));
    ASSERT_TRUE(report.failure.has_value());
    EXPECT_EQ(report.failure->operation, Operation::RenameFile);
    EXPECT_EQ(report.failure->path, missing + "a01.dwg");
}

TEST_F(Renaming, AReadOnlyFolderStopsTheRunEvenForRoot) {
#ifdef _WIN32
    GTEST_SKIP() << "A folder's read-only attribute forbids nothing on Windows.";
#else
    listFiles({"a01.dwg", "b01.dwg"});
    fs::permissions(ToFsPath(folder),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);

    const RenameReport report = run(Inserting("0", "x"));
    fs::permissions(ToFsPath(folder), fs::perms::owner_write, fs::perm_options::add);

    expectFailureOn(report, "a01.dwg", ErrorCode::PermissionDenied);
    EXPECT_EQ(report.renamed, 0);
    EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"a01.dwg", "b01.dwg"}));
#endif
}

TEST_F(Renaming, AMissingListRenamesNothing) {
    const RenameReport report = run(Inserting("0", "x"));
    ASSERT_TRUE(report.failure.has_value());
    EXPECT_EQ(report.failure->operation, Operation::ReadList);
    EXPECT_EQ(report.failure->path, list);
    EXPECT_EQ(report.renamed, 0);
}

TEST_F(Renaming, ABadBoxStopsTheRunAtTheFirstFile) {
    listFiles({"a01.dwg", "b01.dwg"});

    const RenameReport report = run(Deleting("abc", "1"));

    expectFailureOn(report, "a01.dwg", ErrorCode::TypeMismatch);
    EXPECT_EQ(BoxName(*report.failure), "Début");
    EXPECT_EQ(report.failure->text, "abc");
    EXPECT_EQ(report.renamed, 0);
    EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"a01.dwg", "b01.dwg"}));
}

TEST_F(Renaming, AnEmptyListReadsNoBox) {
    ASSERT_TRUE(WriteFileList(list, FileList{{folder, {}}}));
    const RenameReport report = run(Deleting("abc", "1"));
    EXPECT_FALSE(report.failure.has_value());
    EXPECT_EQ(report.renamed, 0);
}

TEST_F(Renaming, AShortNameStopsTheRun) {
    listFiles({"a01.dwg", "xyz", "c01.dwg"});

    const RenameReport report = run(Inserting("0", "_"));

    // Every new name is made before the first rename: none of the files is renamed.
    expectFailureOn(report, "xyz", ErrorCode::BadFileName);
    EXPECT_EQ(report.renamed, 0);
    EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"a01.dwg", "c01.dwg", "xyz"}));
    EXPECT_EQ(position.currentFolder, folder);
    EXPECT_EQ(position.currentFileName, "xyz");
}

// A file that keeps its name is not counted: the box that tells of a failure must not claim files
// were renamed when none was.
TEST_F(Renaming, OnlyTheFilesThatTookANewNameAreCounted) {
    listFiles({"plan01.dwg", "plan001.dwg", "plan02.dwg", "plan002.dwg"});
    SetReadOnly(folder + "plan002.dwg", true);

    // The sixth character is deleted: the names of six characters before the extension keep
    // theirs.
    const RenameReport report = run(Deleting("6", "1"));

    expectFailureOn(report, "plan002.dwg", ErrorCode::PermissionDenied);
    EXPECT_EQ(report.renamed, 1);
    EXPECT_EQ(NamesIn(folder),
              (std::vector<std::string>{"plan00.dwg", "plan002.dwg", "plan01.dwg", "plan02.dwg"}));
    EXPECT_EQ(RenameStopText(*report.failure, report.renamed),
              "Erreur! fichier en lecture seule ou inexistant: \r\n" + folder +
                  "plan002.dwg\r\n\r\n1 fichier a été renommé avant cette erreur.");
    EXPECT_EQ(position.currentFolder, folder);
    EXPECT_EQ(position.currentFileName, "plan002");
}

// A list that is not an ordinary file is refused as every reading of it is, naming it: not passed
// off as a read-only drawing.
TEST_F(Renaming, AListThatIsNotAFileIsNamedAsSuch) {
    std::filesystem::create_directory(list);
    const RenameReport report = run(Deleting("1", "1"));
    ASSERT_TRUE(report.failure);
    EXPECT_EQ(report.renamed, 0);
    EXPECT_EQ(RenameStopText(*report.failure, report.renamed),
              "« " + list +
                  " » n'est pas un fichier ordinaire (tube, périphérique ou dossier) : la liste "
                  "des plans n'a pas été lue.");
}

// A new name that cannot be made, or that the lists and scripts could not write, is found before
// any file is renamed: the folder is left as it was, whichever file it comes from.
TEST_F(Renaming, ANameThatCannotBeMadeRenamesNoFile) {
    const std::string sep(1, kNativeSeparator);
    struct Case {
        std::vector<std::string> names;
        RenameJob job;
        std::string failingName;
        Cause cause;
        std::string detail;
    };
    const Case cases[] = {
        {{"a01.dwg", "b01.dwg"}, Inserting("0", "☺"), "a01.dwg", Cause::NotInCodePage, "☺a01.dwg"},
        {{"a01.dwg", "b01.dwg"},
         NewExtension(".dwg☺"),
         "a01.dwg",
         Cause::NotInCodePage,
         "a01.dwg☺"},
        {{"a01.dwg", "b01.dwg", "xyz"}, Inserting("0", "_"), "xyz", Cause::InvalidName, "xyz"},
        {{"a01.dwg", "b01.dwg"},
         Inserting("0", "x" + sep),
         "a01.dwg",
         Cause::InvalidName,
         "x" + sep + "a01.dwg"},
        {{"a01.dwg", "b01.dwg"}, Deleting("0", "-1"), "a01.dwg", Cause::OutOfRange, "Longeur"},
        // Names Windows cannot hold, refused on every system.
        {{"a01.dwg", "b01.dwg"}, Inserting("1", "\""), "a01.dwg", Cause::InvalidName, "a\"01.dwg"},
        {{"a01.dwg", "b01.dwg"}, Inserting("1", "\t"), "a01.dwg", Cause::InvalidName, "a\t01.dwg"},
        {{"a01.dwg", "b01.dwg"}, Inserting("3", ":"), "a01.dwg", Cause::InvalidName, "a01:.dwg"},
        {{"a01.dwg", "b01.dwg"}, NewExtension(". "), "a01.dwg", Cause::InvalidName, "a01. "},
        {{"b01.dwg", "xcon.dwg"}, Deleting("0", "1"), "xcon.dwg", Cause::InvalidName, "con.dwg"},
    };
    for (const Case& c : cases) {
        fs::remove_all(ToFsPath(folder));
        fs::create_directories(ToFsPath(folder));
        listFiles(c.names);
        std::vector<std::string> before = c.names;
        std::sort(before.begin(), before.end());

        const RenameReport report = run(c.job);

        ASSERT_TRUE(report.failure.has_value()) << c.detail;
        EXPECT_EQ(report.failure->operation, Operation::RenameFile) << c.detail;
        EXPECT_EQ(report.failure->cause, c.cause) << c.detail;
        EXPECT_EQ(report.failure->path, folder + c.failingName) << c.detail;
        EXPECT_EQ(BoxName(*report.failure), c.detail);
        EXPECT_EQ(report.renamed, 0) << c.detail;
        EXPECT_EQ(NamesIn(folder), before) << c.detail;
    }
}

TEST_F(Renaming, ANewNameWithASeparatorIsRefused) {
    listFiles({"plan01.dwg"});
    fs::create_directories(ToFsPath(folder + "sous"));
    std::string text = "sous";
    text += kNativeSeparator;

    const RenameReport report = run(Inserting("0", text));

    expectFailureOn(report, "plan01.dwg", ErrorCode::InvalidName);
    EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"plan01.dwg", "sous"}));
    EXPECT_TRUE(NamesIn(folder + "sous").empty());
}

TEST_F(Renaming, AListedNameThatReachesAnotherFolderIsRefused) {
    // Each listed name leads out of the folder, and the rule would make a bare name of it: the
    // file elsewhere must not be moved into the folder.
    const std::string sep(1, kNativeSeparator);
    fs::create_directories(ToFsPath(folder + "sous"));
    WriteBytes(dir.path("dehors.dwg"), "dehors");
    WriteBytes(folder + "sous" + sep + "dedans.dwg", "dedans");
    const struct {
        std::string name;
        RenameJob job;
    } cases[] = {
        {".." + sep + "dehors.dwg", Deleting("0", "3")},
        {"sous" + sep + "dedans.dwg", Deleting("0", "5")},
    };
    for (const auto& c : cases) {
        WriteBytes(list, ToAnsi("\v" + folder + "\r\n\t" + c.name + "\r\n"));
        const RenameReport report = run(c.job);
        ASSERT_NO_FATAL_FAILURE(expectFailureOn(report, c.name, ErrorCode::BadFileName));
        EXPECT_EQ(report.failure->detail, c.name);
        EXPECT_EQ(report.renamed, 0);
        EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"sous"}));
    }
    EXPECT_EQ(ReadBytes(dir.path("dehors.dwg")), "dehors");
    EXPECT_EQ(ReadBytes(folder + "sous" + sep + "dedans.dwg"), "dedans");
}

TEST_F(Renaming, ANulInAListedNameOrFolderRenamesNoOtherFile) {
    // The system calls stop at a NUL: "plan\0x.dwg" would reach the file "plan", and a folder
    // cut there the folder before it.
    listFiles({"plan", "plan01.dwg"});
    const std::string withNul = "plan"s + '\0' + "x.dwg";
    WriteBytes(list, ToAnsi("\v" + folder + "\r\n\t" + withNul + "\r\n"));
    const RenameReport named = run(Deleting("4", "2"));
    expectFailureOn(named, withNul, ErrorCode::BadFileName);

    const std::string cutFolder = folder + '\0' + "autre" + kNativeSeparator;
    WriteBytes(list, ToAnsi("\v" + cutFolder + "\r\n\tplan01.dwg\r\n"));
    const RenameReport inFolder = run(Inserting("0", "x"));
    ASSERT_TRUE(inFolder.failure.has_value());
    EXPECT_EQ(inFolder.failure->operation, Operation::RenameFile);
    EXPECT_EQ(inFolder.failure->path, cutFolder + "plan01.dwg");
    EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"plan", "plan01.dwg"}));
}

struct RenameWithoutReplacingTest : ::testing::Test {
    TempDir dir;
    std::string from = dir.path("plan01.dwg");
    std::string to = dir.path("plan02.dwg");
};

TEST_F(RenameWithoutReplacingTest, MovesTheFileToItsNewName) {
    WriteBytes(from, "dessin");
    ASSERT_TRUE(RenameWithoutReplacing(from, to));
    EXPECT_FALSE(FileExists(from));
    EXPECT_EQ(ReadBytes(to), "dessin");
}

TEST_F(RenameWithoutReplacingTest, RefusesWhatItMustNotDo) {
    WriteBytes(from, "dessin");
    WriteBytes(to, "autre");

    const Status replaced = RenameWithoutReplacing(from, to);
    ASSERT_FALSE(replaced);
    EXPECT_EQ(replaced.error().code, ErrorCode::FileExists);
    EXPECT_EQ(ReadBytes(from), "dessin");
    EXPECT_EQ(ReadBytes(to), "autre");

    const Status missing = RenameWithoutReplacing(dir.path("absent.dwg"), dir.path("x.dwg"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, ErrorCode::FileNotFound);
    const Status missingItself =
        RenameWithoutReplacing(dir.path("absent.dwg"), dir.path("absent.dwg"));
    ASSERT_FALSE(missingItself);
    EXPECT_EQ(missingItself.error().code, ErrorCode::FileNotFound);

    SetReadOnly(from, true);
    const Status readOnly = RenameWithoutReplacing(from, dir.path("plan03.dwg"));
    ASSERT_FALSE(readOnly);
    EXPECT_EQ(readOnly.error().code, ErrorCode::PermissionDenied);
    EXPECT_FALSE(FileExists(dir.path("plan03.dwg")));
    // Its own name changes nothing, read-only or not.
    EXPECT_TRUE(RenameWithoutReplacing(from, from));
    EXPECT_EQ(ReadBytes(from), "dessin");
}

TEST_F(RenameWithoutReplacingTest, APathWithANulRenamesNoOtherFile) {
    WriteBytes(dir.path("plan"), "dessin");
    const Status moved = RenameWithoutReplacing(dir.path("plan") + '\0' + "01.dwg", to);
    ASSERT_FALSE(moved);
    EXPECT_EQ(moved.error().code, ErrorCode::BadFileName);
    EXPECT_FALSE(RenameWithoutReplacing(dir.path("plan"), to + '\0' + "x"));
    EXPECT_EQ(ReadBytes(dir.path("plan")), "dessin");
    EXPECT_FALSE(FileExists(to));
}

#ifndef _WIN32
TEST_F(RenameWithoutReplacingTest, RefusesAReadOnlyTargetFolder) {
    WriteBytes(from, "dessin");
    const std::string closed = WithTrailingSeparator(dir.path("fermé"));
    fs::create_directories(ToFsPath(closed));
    fs::permissions(ToFsPath(closed), fs::perms::owner_read | fs::perms::owner_exec);

    const Status moved = RenameWithoutReplacing(from, closed + "plan01.dwg");
    fs::permissions(ToFsPath(closed), fs::perms::owner_all);

    ASSERT_FALSE(moved);
    EXPECT_EQ(moved.error().code, ErrorCode::PermissionDenied);
    EXPECT_TRUE(FileExists(from));
    EXPECT_FALSE(FileExists(closed + "plan01.dwg"));
}
#endif

} // namespace
} // namespace pilotrame

namespace pilotrame {
namespace {

// The trial of a renaming foretells what the run then does, and renames nothing itself.
TEST_F(Renaming, ItsTrialForetellsTheRunAndRenamesNothing) {
    struct Case {
        const char* what;
        std::vector<std::string> names;
        RenameJob job;
        std::vector<std::string> newNames; // as the trial shows them
        const char* readOnly = nullptr;
        const char* present = nullptr; // a file that is there without being listed
        const char* absent = nullptr;  // listed, but not there
    };
    const Case cases[] = {
        {"every one", {"a01.dwg", "b01.dwg"}, Inserting("0", "x"), {"xa01.dwg", "xb01.dwg"}},
        {"read-only",
         {"a01.dwg", "b01.dwg", "c01.dwg"},
         Deleting("0", "1"),
         {"01.dwg", "01.dwg", "01.dwg"},
         "b01.dwg"},
        {"taken", {"a01.dwg"}, Deleting("0", "1"), {"01.dwg"}, nullptr, "01.dwg"},
        {"taken by the next", {"xa01.dwg", "a01.dwg"}, Deleting("0", "1"), {"a01.dwg", "01.dwg"}},
        {"freed before", {"a01.dwg", "xa01.dwg"}, Deleting("0", "1"), {"01.dwg", "a01.dwg"}},
        {"missing",
         {"a01.dwg", "b01.dwg"},
         Inserting("0", "x"),
         {"xa01.dwg", "xb01.dwg"},
         nullptr,
         nullptr,
         "b01.dwg"},
        {"too short",
         {"a01.dwg", "b01.dwg", "ab"},
         Inserting("0", "x"),
         {"xa01.dwg", "xb01.dwg", ""}},
        {"a bad box", {"a01.dwg"}, Deleting("x", "1"), {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(ToFsPath(folder));
        fs::create_directories(ToFsPath(folder));
        listFiles(c.names);
        if (c.readOnly)
            SetReadOnly(folder + c.readOnly, true);
        if (c.present)
            WriteBytes(folder + c.present, "there");
        if (c.absent)
            fs::remove(ToFsPath(folder + c.absent));
        const std::vector<std::string> before = NamesIn(folder);

        const RenamePreview preview = PreviewRenaming(list, c.job);
        EXPECT_EQ(NamesIn(folder), before);
        ASSERT_EQ(preview.rows.size(), c.names.size());
        for (std::size_t i = 0; i < c.names.size(); ++i) {
            EXPECT_EQ(preview.rows[i].folder + preview.rows[i].name, folder + c.names[i]);
            EXPECT_EQ(preview.rows[i].newName, c.newNames[i]);
        }

        const RenameReport report = run(c.job);
        if (c.readOnly)
            SetReadOnly(folder + c.readOnly, false);
        ASSERT_EQ(preview.stop.has_value(), report.failure.has_value());
        EXPECT_EQ(preview.renamedBefore, report.renamed);
        if (report.failure) {
            EXPECT_EQ(preview.stop->code, report.failure->code);
            EXPECT_EQ(preview.stop->path, report.failure->path);
            EXPECT_EQ(preview.stop->text, report.failure->text);
            EXPECT_EQ(folder + c.names[preview.stopRow], report.failure->path);
        }
    }
}

} // namespace
} // namespace pilotrame
