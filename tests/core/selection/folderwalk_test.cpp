#include "selection/folderwalk.h"

#include "base/paths.h"
#include "base/utf8.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pilotrame {
namespace {

namespace fs = std::filesystem;
using test::MakeTree;
using test::Native;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

WalkResult Walk(const std::string& folder, WalkMode mode, std::string pattern = "*.dwg",
                const std::function<bool()>& keepGoing = nullptr) {
    return WalkFolder(WalkRequest{folder, mode, std::move(pattern)}, keepGoing);
}

TEST(FolderWalk, PatternsMatchAsOnWindows) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"PLAN.DWG", "*.dwg", true},
        {"plan.dwg", "*.DWG", true},
        {"plan.Dwg", "*.dwg", true},
        {"plan.dxf", "*.dwg", false},
        {"plan.dwgx", "*.dwg", false},
        {"plan.dwg.bak", "*.dwg", false},
        {"plan.dwg", "*.dwg*", true},
        {"Façade É.dwg", "façade é.DWG", true},
        {"ÉTÉ.dwg", "été*", true},
        {"ŒUVRE.dwg", "œuvre.dwg", true},
        {"Ÿ.dwg", "ÿ.dwg", true},
        {"é.dwg", "e.dwg", false},
        {"Ä.dwg", "?.dwg", true},    // one letter, two bytes
        {"\xff.dwg", "?.dwg", true}, // a stray byte is one character too
        {"sans-extension", "*.*", true},
        {"plan", "plan.*", true},
        {"plan.dwg", "plan.*", true},
        {"plans", "plan.*", false},
        {"a1.dwg", "a?.dwg", true},
        {"a.dwg", "a?.dwg", false},
        {"a12.dwg", "a?.dwg", false},
        {"abc", "a*b*c", true},
        {"ab", "a*b*c", false},
        {"ab", "a**b", true},
        {"aaaaaaaaaaab", "*a*a*a*b", true},
        {"aaaaaaaaaaaa", "*a*a*a*b", false},
        {"a.dwg.dwg", "*.dwg", true},
        {"dwg", "*.dwg", false},
        {"x.dwg", "*?dwg", true},
        {"ab.c", "a*?.c", true},
        {"a.c", "a*?.c", false},
        {"plan", "p*n.*", true},
        {"plan.dwg", "p*n.*", true},
        {"", "*", true},
        {"x", "", false},
        // A final "." asks for names without an extension, as "dir *." does on Windows.
        {"plan", "*.", true},
        {"PLAN", "*.", true},
        {"plan.dwg", "*.", false},
        {"plan.dwg.bak", "*.", false},
        {"plan.", "*.", true}, // a name that ends in its dot matches it as it stands
        {"plan01", "plan*.", true},
        {"plan", "plan*.", true},
        {"Plan01", "PLAN*.", true},
        {"plan01.dwg", "plan*.", false},
        {"plan.01", "plan*.", false},
        {"coupe", "plan*.", false},
        {"a", "?.", true},
        {"é", "?.", true},
        {"ab", "?.", false},
        {"a.b", "?.", false},
        {"a.", "?.", true},
        {"ab", "a?.", true},
        {"a.dwg", "a?.", false},
        {"a.b", "a.b.", true},   // the final dot is the end of the name, whatever comes before
        {"x.b", "*.b.", true},   // a "*" that is not just before the final dot keeps its reach
        {"x.y.b", "*.b.", true}, // ... over dots too
        {"plan.dwg", "*?.", true},
        {"plan", "plan.", true},
        {"plans", "plan.", false},
        {"plan.dwg", "plan.", false},
        {"x", ".", false},
        // "*" then ASCII, the usual pattern, is settled on the name's last bytes when they are
        // ASCII, and the long way otherwise.
        {"Été.DwG", "*.dwg", true},
        {"\xff.dwg", "*.DWG", true},
        {".dwg", "*.dwg", true},
        {"wg", "*.dwg", false},
        {"plan.dwgé", "*.dwg", false},
        {"plan.dwÉ", "*.dwé", true},
        {"plan.dẃg", "*.dwg", false},
        {"é.dwg", "*é.dwg", true},
    };
    // Each name the only file of a folder of its own, so that names the same but for case do not
    // meet. A name the system cannot hold, or hides (a leading dot, on POSIX and under Wine), is
    // left out on it.
    for (const Case& c : cases) {
        const std::string name = c.name;
        if (name.empty() || name.front() == '.')
            continue;
#ifdef _WIN32
        if (!IsUtf8(name) || name.back() == '.')
            continue;
#endif
        TempDir dir;
        WriteBytes(dir.path(name), "");
        EXPECT_EQ(!Walk(dir.folder(), WalkMode::CurrentFolder, c.pattern).list.empty(), c.matches)
            << c.name << " / " << c.pattern;
    }
}

TEST(FolderWalk, ListFolderSortsWithoutRegardToCaseThenExactly) {
    TempDir dir;
    MakeTree(dir, {"b.dwg", "A.dwg", "C.dwg", "é.dwg", "f.dwg", "E.dwg", "zeta/", "Alpha/", "beta/",
                   "zeta/inner.dwg"});
#ifndef _WIN32
    // Names that differ only in case can live side by side here: the exact order decides.
    MakeTree(dir, {"a.dwg", "ALPHA/"});
#endif
    const Result<FolderEntries> entries = ListFolder(dir.folder());
    ASSERT_TRUE(entries);
#ifdef _WIN32
    const std::vector<std::string> files = {"A.dwg", "b.dwg", "C.dwg", "E.dwg", "f.dwg", "é.dwg"};
    const std::vector<std::string> folders = {"Alpha", "beta", "zeta"};
#else
    const std::vector<std::string> files = {"A.dwg", "a.dwg", "b.dwg", "C.dwg",
                                            "E.dwg", "f.dwg", "é.dwg"};
    const std::vector<std::string> folders = {"ALPHA", "Alpha", "beta", "zeta"};
#endif
    EXPECT_EQ(entries->files, files);
    EXPECT_EQ(entries->folders, folders);
    // The same tree always gives the same list.
    EXPECT_EQ(Walk(dir.folder(), WalkMode::CurrentAndFirst).list,
              Walk(dir.folder(), WalkMode::CurrentAndFirst).list);
}

#ifndef _WIN32
// Accented letters and bytes that are not UTF-8, which only POSIX names can hold side by side.
TEST(FolderWalk, AccentsAndStrayBytesSortTheSameEveryTime) {
    TempDir dir;
    const std::vector<std::string> sorted = {"e", "f", "É", "é", "éa", "ÉB", "\xC3", "\xC3x"};
    for (auto name = sorted.rbegin(); name != sorted.rend(); ++name)
        WriteBytes(dir.path(*name), "");
    const Result<FolderEntries> entries = ListFolder(dir.folder());
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->files, sorted);
}

TEST(FolderWalk, LinksCountAsWhatTheyLeadTo) {
    TempDir dir;
    MakeTree(dir, {"ailleurs/a.dwg", "ici/plan.dwg"});
    fs::create_directory_symlink(ToFsPath(dir.path("ailleurs")), ToFsPath(dir.path("ici/lien")));
    fs::create_symlink(ToFsPath(dir.path("ici/plan.dwg")), ToFsPath(dir.path("ici/copie.dwg")));
    fs::create_symlink(ToFsPath(dir.path("absent.dwg")), ToFsPath(dir.path("ici/casse.dwg")));
    fs::create_directory_symlink(ToFsPath(dir.path("absent")), ToFsPath(dir.path("ici/vide")));
    const WalkResult result = Walk(dir.path("ici"), WalkMode::CurrentAndFirst);
    const FileList expected = {{dir.path("ici/"), {"copie.dwg", "plan.dwg"}},
                               {dir.path("ici/lien/"), {"a.dwg"}}};
    EXPECT_EQ(result.list, expected);
    EXPECT_EQ(result.subFolderCount, 1);
    EXPECT_TRUE(result.unreadableFolders.empty());
}
#endif

// The chosen folder holds x.dwg and a sub-folder B holding y.dwg, with neighbours that must not
// show: an empty sub-folder, one without drawings, files of other types.
TEST(FolderWalk, EachModeListsItsFolders) {
    TempDir dir;
    MakeTree(dir, {"A/x.dwg", "A/notes.txt", "A/B/y.dwg", "A/B/y.dxf", "A/C/", "A/D/z.txt"});
    const std::string chosen = dir.path("A");
    const std::string a = dir.path(Native("A/"));
    const std::string b = dir.path(Native("A/B/"));
    struct Case {
        WalkMode mode;
        FileList list;
        int count;
        bool collected;
        bool noSubFolder;
    };
    const Case cases[] = {
        {WalkMode::CurrentFolder, {{a, {"x.dwg"}}}, 0, false, false},
        {WalkMode::FirstSubFolders, {{b, {"y.dwg"}}}, 3, true, false},
        {WalkMode::CurrentAndFirst, {{a, {"x.dwg"}}, {b, {"y.dwg"}}}, 3, true, false},
        // No first-level folder has one of its own: the second level finds none.
        {WalkMode::CurrentFirstSecond, {{a, {"x.dwg"}}, {b, {"y.dwg"}}}, 0, true, true},
        {WalkMode::None, {}, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        const WalkResult result = Walk(chosen, c.mode);
        EXPECT_EQ(result.list, c.list);
        EXPECT_EQ(result.subFolderCount, c.count);
        EXPECT_EQ(result.collectedSubFolders, c.collected);
        EXPECT_EQ(result.noSubFolder, c.noSubFolder);
        EXPECT_EQ(result.walkFolder,
                  c.mode == WalkMode::CurrentFirstSecond ? dir.path(Native("A/D/")) : a);
        EXPECT_TRUE(result.unreadableFolders.empty());
        EXPECT_FALSE(result.cancelled);
    }
}

TEST(FolderWalk, TheListOfTheWalk) {
    TempDir dir;
    MakeTree(dir, {"A/x.dwg", "A/B/y.dwg"});
    const std::string a = dir.path(Native("A/"));
    const std::string b = dir.path(Native("A/B/"));
    const WalkResult result = Walk(dir.path("A"), WalkMode::CurrentAndFirst);
    EXPECT_EQ(result.subFolderCount, 1);
    const std::string listPath = dir.path("Liste01.txt");
    ASSERT_EQ(*WriteFileList(listPath, result.list), 2);
    EXPECT_EQ(ReadBytes(listPath), "\v" + a + "\r\n\tx.dwg\r\n\v" + b + "\r\n\ty.dwg\r\n");
}

TEST(FolderWalk, PatternAndCaseChooseTheFiles) {
    TempDir dir;
    MakeTree(dir, {"PLAN.DWG", "b.dwg", "c.dxf", "d.Dwg", "sans-extension", "dossier.dwg/",
                   "Façade É.dwg"});
    const std::string top = dir.folder();
    struct Case {
        const char* pattern;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"*.dwg", {"b.dwg", "d.Dwg", "Façade É.dwg", "PLAN.DWG"}},
        {"*.DXF", {"c.dxf"}},
        {"*é.dwg", {"Façade É.dwg"}},
        {"*.*", {"b.dwg", "c.dxf", "d.Dwg", "Façade É.dwg", "PLAN.DWG", "sans-extension"}},
        {"*.dgn", {}},
    };
    for (const Case& c : cases) {
        const WalkResult result = Walk(top, WalkMode::CurrentFolder, c.pattern);
        const FileList expected =
            c.names.empty() ? FileList{} : FileList{ListedFolder{top, c.names}};
        EXPECT_EQ(result.list, expected) << c.pattern;
    }
}

TEST(FolderWalk, SecondLevelListsSameNamesUnderEachParent) {
    TempDir dir;
    MakeTree(dir, {"P/p.dwg", "P/Commun/a.dwg", "Q/Commun/b.dwg", "Q/Autre/c.dwg", "Q/Vide/"});
    const std::string top = dir.folder();
    const WalkResult result = Walk(top, WalkMode::CurrentFirstSecond);
    const FileList expected = {
        {dir.path(Native("P/")), {"p.dwg"}},
        {dir.path(Native("P/Commun/")), {"a.dwg"}},
        {dir.path(Native("Q/Autre/")), {"c.dwg"}},
        {dir.path(Native("Q/Commun/")), {"b.dwg"}},
    };
    EXPECT_EQ(result.list, expected);
    EXPECT_EQ(result.subFolderCount, 4); // Commun; Autre, Commun, Vide
    EXPECT_FALSE(result.noSubFolder);
    EXPECT_EQ(result.walkFolder, dir.path(Native("Q/")));
}

TEST(FolderWalk, NoSubFolderOnlyWhileNoneHasBeenFound) {
    struct Case {
        std::initializer_list<std::string_view> tree;
        WalkMode mode;
        bool noSubFolder;
        int count;
    };
    const Case cases[] = {
        {{"x.dwg"}, WalkMode::FirstSubFolders, true, 0},
        {{"x.dwg"}, WalkMode::CurrentFirstSecond, true, 0},
        // The first parent has none while the count is still 0; the second then has one.
        {{"P/", "Q/R/"}, WalkMode::CurrentFirstSecond, true, 1},
        // Once one is found, a parent without any does not warn.
        {{"P/R/", "Q/"}, WalkMode::CurrentFirstSecond, false, 1},
        {{"P/"}, WalkMode::CurrentAndFirst, false, 1},
    };
    for (const Case& c : cases) {
        TempDir dir;
        MakeTree(dir, c.tree);
        const WalkResult result = Walk(dir.folder(), c.mode);
        EXPECT_EQ(result.noSubFolder, c.noSubFolder) << *c.tree.begin();
        EXPECT_EQ(result.subFolderCount, c.count) << *c.tree.begin();
        EXPECT_TRUE(result.collectedSubFolders);
    }
}

TEST(FolderWalk, NoLimitOnFoldersOrFiles) {
    TempDir dir;
    // More first-level folders than the 80 once walked at the second level, and more files in
    // one folder than the 2000 once kept.
    constexpr int kParents = 85;
#ifdef _WIN32
    // Each file costs milliseconds under Wine; the listing code does not depend on the count.
    constexpr int kFiles = 200;
#else
    constexpr int kFiles = 2001;
#endif
    for (int i = 0; i < kParents; ++i) {
        const std::string parent = "p" + std::string(i < 10 ? "0" : "") + std::to_string(i);
        MakeTree(dir, {parent + "/enfant/f.dwg"});
    }
    fs::create_directories(ToFsPath(dir.path("p00")));
    for (int i = 0; i < kFiles; ++i)
        WriteBytes(dir.path(Native("p00/n" + std::to_string(10000 + i) + ".dwg")), "");
    const WalkResult result = Walk(dir.folder(), WalkMode::CurrentFirstSecond);
    EXPECT_EQ(result.subFolderCount, kParents);
    ASSERT_EQ(result.list.size(), static_cast<std::size_t>(1 + kParents));
    EXPECT_EQ(result.list.front().names.size(), static_cast<std::size_t>(kFiles));
    EXPECT_EQ(result.list.back().folder, dir.path(Native("p84/enfant/")));
}

TEST(FolderWalk, DeepFoldersPastTheClassicPathLimit) {
    TempDir dir;
    const std::string a = dir.path(std::string(100, 'a'));
    const std::string b = a + kNativeSeparator + std::string(100, 'b');
    const std::string c = b + kNativeSeparator + std::string(100, 'c');
    const std::string plan = c + kNativeSeparator + "plan.dwg";
#ifdef _WIN32
    // The test's own tools stop at 260 characters here; the long form makes the tree.
    const auto longForm = [](const std::string& path) {
        return L"\\\\?\\" + ToFsPath(path).native();
    };
    for (const std::string& folder : {a, b, c})
        ASSERT_TRUE(CreateDirectoryW(longForm(folder).c_str(), nullptr));
    const HANDLE file = CreateFileW(longForm(plan).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
#else
    fs::create_directories(ToFsPath(c));
    WriteBytes(plan, "");
#endif
    const WalkResult result = Walk(a, WalkMode::CurrentFirstSecond);
#ifdef _WIN32
    DeleteFileW(longForm(plan).c_str());
    RemoveDirectoryW(longForm(c).c_str());
    RemoveDirectoryW(longForm(b).c_str());
#endif
    ASSERT_GT(c.size(), 300u);
    EXPECT_EQ(result.list, (FileList{{c + kNativeSeparator, {"plan.dwg"}}}));
    EXPECT_TRUE(result.unreadableFolders.empty());
}

TEST(FolderWalk, ListFolderFailsOnWhatIsNotAReadableFolder) {
    TempDir dir;
    MakeTree(dir, {"fichier.dwg"});
    for (const std::string& path :
         {dir.path("absent"), dir.path(Native("absent/")), dir.path("fichier.dwg")}) {
        const Result<FolderEntries> entries = ListFolder(path);
        ASSERT_FALSE(entries) << path;
        EXPECT_EQ(entries.error().code, ErrorCode::PathNotFound) << path;
        EXPECT_EQ(entries.error().path, path);
    }
}

TEST(FolderWalk, AFolderThatVanishesDoesNotStopTheWalk) {
    TempDir dir;
    MakeTree(dir, {"x.dwg", "B/b.dwg", "C/c.dwg"});
    // Asked before each reading: the chosen folder, then B, then C. B goes just before its turn.
    int asked = 0;
    const auto removeB = [&] {
        if (++asked == 2)
            fs::remove_all(ToFsPath(dir.path("B")));
        return true;
    };
    const WalkResult result = Walk(dir.folder(), WalkMode::CurrentAndFirst, "*.dwg", removeB);
    EXPECT_EQ(result.unreadableFolders, std::vector<std::string>{dir.path(Native("B/"))});
    const FileList expected = {{dir.folder(), {"x.dwg"}}, {dir.path(Native("C/")), {"c.dwg"}}};
    EXPECT_EQ(result.list, expected);
    EXPECT_EQ(result.subFolderCount, 2);
    EXPECT_FALSE(result.cancelled);
}

TEST(FolderWalk, AChosenFolderThatCannotBeReadListsNothing) {
    TempDir dir;
    const WalkResult result = Walk(dir.path("absent"), WalkMode::CurrentFirstSecond);
    EXPECT_TRUE(result.list.empty());
    EXPECT_EQ(result.unreadableFolders, std::vector<std::string>{dir.path(Native("absent/"))});
    EXPECT_TRUE(result.collectedSubFolders);
    EXPECT_EQ(result.subFolderCount, 0);
    EXPECT_FALSE(result.noSubFolder);
    EXPECT_EQ(result.walkFolder, dir.path(Native("absent/")));
}

#ifndef _WIN32
TEST(FolderWalk, AFolderWithoutReadPermissionIsReportedAndSkipped) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root; the vanished folder covers the case";
    TempDir dir;
    MakeTree(dir, {"B/b.dwg", "C/c.dwg"});
    ASSERT_EQ(chmod(dir.path("B").c_str(), 0), 0);
    const WalkResult result = Walk(dir.folder(), WalkMode::FirstSubFolders);
    chmod(dir.path("B").c_str(), 0700);
    EXPECT_EQ(result.unreadableFolders, std::vector<std::string>{dir.path("B/")});
    EXPECT_EQ(result.list, (FileList{{dir.path("C/"), {"c.dwg"}}}));
}
#endif

TEST(FolderWalk, KeepGoingStopsTheWalkBeforeTheNextFolder) {
    TempDir dir;
    MakeTree(dir, {"x.dwg", "B/b.dwg", "C/c.dwg", "C/D/d.dwg"});
    struct Case {
        int allowed; // readings allowed before the callback says stop
        FileList list;
        bool collected;
    };
    const Case cases[] = {
        {0, {}, false},
        {1, {{dir.folder(), {"x.dwg"}}}, true},
        {2, {{dir.folder(), {"x.dwg"}}, {dir.path(Native("B/")), {"b.dwg"}}}, true},
    };
    for (const Case& c : cases) {
        int asked = 0;
        const WalkResult result = Walk(dir.folder(), WalkMode::CurrentFirstSecond, "*.dwg",
                                       [&] { return asked++ < c.allowed; });
        EXPECT_TRUE(result.cancelled) << c.allowed;
        EXPECT_EQ(result.list, c.list) << c.allowed;
        EXPECT_EQ(result.collectedSubFolders, c.collected) << c.allowed;
        EXPECT_EQ(asked, c.allowed + 1);
    }
    int asked = 0;
    const WalkResult whole = Walk(dir.folder(), WalkMode::CurrentFirstSecond, "*.dwg", [&] {
        ++asked;
        return true;
    });
    EXPECT_FALSE(whole.cancelled);
    EXPECT_EQ(asked, 4); // the chosen folder, B, C, C/D: each read once
    EXPECT_EQ(CountFiles(whole.list), 4);
}

TEST(FolderWalk, HiddenEntriesAreLeftOut) {
    TempDir dir;
    MakeTree(dir, {"vu.dwg", "Vu/v.dwg"});
#ifdef _WIN32
    MakeTree(dir, {"cache.dwg", "systeme.dwg", "Cache/c.dwg"});
    const auto setAttribute = [&](std::string_view name, DWORD attribute) {
        const std::wstring path = ToFsPath(dir.path(name)).native();
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), GetFileAttributesW(path.c_str()) | attribute));
    };
    setAttribute("cache.dwg", FILE_ATTRIBUTE_HIDDEN);
    setAttribute("systeme.dwg", FILE_ATTRIBUTE_SYSTEM);
    setAttribute("Cache", FILE_ATTRIBUTE_HIDDEN);
#else
    MakeTree(dir, {".cache.dwg", ".Cache/c.dwg"});
#endif
    const Result<FolderEntries> entries = ListFolder(dir.folder());
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->files, std::vector<std::string>{"vu.dwg"});
    EXPECT_EQ(entries->folders, std::vector<std::string>{"Vu"});
    const FileList expected = {{dir.folder(), {"vu.dwg"}}, {dir.path(Native("Vu/")), {"v.dwg"}}};
    EXPECT_EQ(Walk(dir.folder(), WalkMode::CurrentAndFirst, "*.*").list, expected);
}

} // namespace
} // namespace pilotrame
