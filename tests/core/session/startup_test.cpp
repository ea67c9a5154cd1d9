#include "session/startup.h"

#include "support/tempdir.h"
#include "texts/common.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(Startup, ProgramFolderIsTheOwnFolderWhenWritable) {
    TempDir dir;
    std::string own = dir.folder();
    own.pop_back();
    EXPECT_EQ(ResolveProgramFolder(own, dir.path("appdata"), SystemProgramFolders()), dir.folder());
    EXPECT_FALSE(test::FileExists(dir.path("appdata")));
}

TEST(Startup, ProgramFolderFallsBackToApplicationData) {
    TempDir dir;
    const std::string fallback =
        dir.path("appdata") + std::string(1, kNativeSeparator) + "Pilotrame";
    EXPECT_EQ(ResolveProgramFolder(dir.path("not-writable"), fallback, SystemProgramFolders()),
              fallback + std::string(1, kNativeSeparator));
    EXPECT_TRUE(test::FileExists(fallback));
}

// An installed copy keeps its files in the user's folder even where it could write (run by
// root, or by an administrator on Windows); a copy anywhere else keeps the rule above.
TEST(Startup, AnInstalledCopyKeepsItsFilesInTheUsersFolder) {
    TempDir dir;
    std::string own = dir.folder();
    own.pop_back();
    const std::string appData = dir.path("appdata");
    const std::string appDataFolder = appData + std::string(1, kNativeSeparator);
    struct Case {
        std::vector<std::string> installFolders;
        std::string appData;
        std::string expected;
    };
    const Case cases[] = {
        {{own}, appData, appDataFolder},           // installed, writable: the user's folder
        {{dir.folder()}, appData, appDataFolder},  // the same, the root written with its end
        {{own + "-other"}, appData, dir.folder()}, // a folder whose name only starts the same
        {{}, appData, dir.folder()},               // nothing installed: its own folder
        {{own}, "", dir.folder()},                 // no user's folder: its own, as before
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.installFolders.empty() ? std::string("-") : c.installFolders.front());
        EXPECT_EQ(ResolveProgramFolder(own, c.appData, c.installFolders), c.expected);
    }
    EXPECT_TRUE(test::FileExists(appData));
}

TEST(Startup, InstallFoldersAreComparedNameByName) {
    const std::vector<std::string> posix = {"/usr", "/opt/", "/nix/store"};
    const std::vector<std::string> windows = {"C:\\Program Files", "C:\\Program Files (x86)"};
    struct Case {
        std::string folder;
        const std::vector<std::string>& roots;
        char separator;
        bool inside;
    };
    const Case cases[] = {
        {"/usr/bin", posix, '/', true},
        {"/usr/local/bin", posix, '/', true},
        {"/usr", posix, '/', true},
        {"/usr/", posix, '/', true},
        {"/opt/pilotrame", posix, '/', true},
        {"/nix/store/abc-pilotrame-3.5/bin", posix, '/', true},
        {"//usr//./bin", posix, '/', true},
        {"/home/u/../../usr/bin", posix, '/', true},
        {"/usr/../home/u/build", posix, '/', false},
        {"/usrlocal/bin", posix, '/', false},
        {"/home/u/opt/pilotrame", posix, '/', false},
        {"/home/u/build/src/app", posix, '/', false},
        {"/media/u/CLE/pilotrame", posix, '/', false},
        {"/nix", posix, '/', false},
        {"C:\\Program Files\\Pilotrame", windows, '\\', true},
        {"c:\\PROGRAM FILES\\pilotrame\\", windows, '\\', true},
        {"C:/Program Files/Pilotrame", windows, '\\', true},
        {"C:\\Program Files (x86)\\Pilotrame", windows, '\\', true},
        {"C:\\Program Files2\\Pilotrame", windows, '\\', false},
        {"D:\\Program Files\\Pilotrame", windows, '\\', false},
        {"E:\\Pilotrame", windows, '\\', false},
        {"C:\\Users\\u\\Pilotrame", windows, '\\', false},
        // The POSIX rule neither takes "\\" for a separator nor ignores case.
        {"/USR/bin", posix, '/', false},
        {"C:\\Program Files\\Pilotrame", windows, '/', false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsInsideFolder(c.folder, c.roots, c.separator), c.inside) << c.folder;
    // An empty root names no folder, not every folder.
    EXPECT_FALSE(IsInsideFolder("/home/u", {""}, '/'));
    EXPECT_FALSE(IsInsideFolder("/home/u", {"/"}, '/'));
}

// The system's own list finds a program installed there, and not the folders tests run in.
TEST(Startup, SystemProgramFoldersHoldInstalledProgramsOnly) {
    const std::vector<std::string> folders = SystemProgramFolders();
    ASSERT_FALSE(folders.empty());
    for (const std::string& folder : folders) {
        EXPECT_FALSE(folder.empty());
        const std::string program =
            WithTrailingSeparator(folder) + "Pilotrame" + std::string(1, kNativeSeparator) + "bin";
        EXPECT_TRUE(IsInsideFolder(program, folders)) << program;
    }
#ifndef _WIN32
    EXPECT_TRUE(IsInsideFolder("/usr/bin", folders));
    EXPECT_TRUE(IsInsideFolder("/opt/pilotrame/bin", folders));
#endif
    TempDir dir;
    EXPECT_FALSE(IsInsideFolder(dir.folder(), folders)) << dir.folder();
}

Settings Defaults() {
    return DefaultSettings(ProposeSettingValues({}, FolderStyle::Windows, ""));
}

TEST(Startup, FirstStartCreatesTheFileWithDefaults) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    Settings settings;
    const SettingsStartup startup = EstablishSettings(file, settings, Defaults());
    EXPECT_TRUE(startup.created);
    EXPECT_FALSE(startup.failure);
    EXPECT_EQ(settings, Defaults());
    EXPECT_EQ(ReadBytes(file.path()).size(), 60600u);
    EXPECT_EQ(ResolveScriptFolder(startup, settings, "c:\\prog\\", '\\'), "c:\\");
}

TEST(Startup, LaterStartLoadsTheFile) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    Settings stored = Defaults();
    stored.combo[slot::scriptFolder] = "c:\\Pilotrame";
    ASSERT_TRUE(file.SaveSettings(stored));
    Settings settings = Defaults();
    const SettingsStartup startup = EstablishSettings(file, settings, Defaults());
    EXPECT_FALSE(startup.created);
    EXPECT_FALSE(startup.failure);
    EXPECT_EQ(ResolveScriptFolder(startup, settings, "c:\\prog\\", '\\'), "c:\\Pilotrame\\");
}

// An empty script folder setting would put the script at the root of the file system ("\" or
// "/"); the program folder, where the list and the settings are, takes its place. The window and
// the command line both ask here.
TEST(Startup, AnEmptyScriptFolderGivesTheProgramFolder) {
    Settings settings = Defaults();
    settings.combo[slot::scriptFolder] = "";
    const SettingsStartup loaded;
    SettingsStartup damaged;
    damaged.failure = Error{};
    damaged.failure->cause = Cause::Damaged;
    struct Case {
        const SettingsStartup& startup;
        std::string programFolder;
        char separator;
        std::string expected;
    };
    const Case cases[] = {
        {loaded, "c:\\prog\\", '\\', "c:\\prog\\"},
        {loaded, "c:\\prog", '\\', "c:\\prog\\"},
        {loaded, "/home/u/pilotrame/", '/', "/home/u/pilotrame/"},
        {damaged, "/home/u/pilotrame/", '/', "/home/u/pilotrame/"},
        // No program folder at all: the current folder, never the root.
        {loaded, "", '/', ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveScriptFolder(c.startup, settings, c.programFolder, c.separator),
                  c.expected)
            << c.programFolder;
}

TEST(Startup, UnreadableStateLeavesTheScriptFolderEmpty) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    ASSERT_TRUE(file.SaveSettings(Defaults()));
    std::string bytes = ReadBytes(file.path());
    bytes.replace(SettingsFile::kRecordOffset + 16 * 60, 5, "Hmmm ");
    WriteBytes(file.path(), bytes);
    Settings settings;
    const SettingsStartup startup = EstablishSettings(file, settings, Defaults());
    ASSERT_TRUE(startup.failure);
    EXPECT_EQ(NumberAndDescription(*startup.failure), "13 Incompatibilité de type");
    EXPECT_EQ(ResolveScriptFolder(startup, settings, "c:\\prog\\", '\\'), "");
}

// A file cut short is reported, the settings it lacks take their first-run values, the window
// goes on with them, and the file stays as it is until the user saves the configuration.
TEST(Startup, ADamagedFileIsReportedCompletedAndLeftAsItIs) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    Settings stored = Defaults();
    stored.combo[slot::printerName] = "Traceur";
    stored.combo[slot::scriptFolder] = "d:\\scripts";
    stored.setOption(slot::portrait, true);
    ASSERT_TRUE(file.SaveSettings(stored));
    const std::string whole = ReadBytes(file.path());
    struct Case {
        std::size_t length;
        std::string printer;
        std::string scriptFolder;
    };
    const Case cases[] = {
        {0, "", "c:\\"},
        {SettingsFile::kRecordOffset + 30, "", "c:\\"},
        {SettingsFile::kRecordOffset + 12 * 60, "Traceur", "d:\\scripts\\"},
        {SettingsFile::kRecordOffset + 15 * 60 - 1, "Traceur", "d:\\scripts\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string cut = whole.substr(0, c.length);
        WriteBytes(file.path(), cut);
        Settings settings;
        const SettingsStartup startup = EstablishSettings(file, settings, Defaults());
        EXPECT_FALSE(startup.created);
        ASSERT_TRUE(startup.failure);
        EXPECT_EQ(startup.failure->cause, Cause::Damaged);
        EXPECT_EQ(startup.failure->operation, Operation::ReadSettings);
        EXPECT_EQ(startup.failure->path, file.path());
        EXPECT_EQ(settings.printerName(), c.printer);
        // Slot 14 onwards is missing in every case: the first-run landscape stays.
        EXPECT_TRUE(settings.landscape());
        EXPECT_EQ(ResolveScriptFolder(startup, settings, "c:\\prog\\", '\\'), c.scriptFolder);
        EXPECT_EQ(ReadBytes(file.path()), cut);
    }
}

TEST(Startup, FirstStartInAReadOnlyPlaceReportsButKeepsDefaults) {
    TempDir dir;
    SettingsFile file(dir.path("gone") + "/savescript.txt");
    Settings settings;
    const SettingsStartup startup = EstablishSettings(file, settings, Defaults());
    EXPECT_TRUE(startup.created);
    EXPECT_TRUE(startup.failure);
    EXPECT_EQ(settings, Defaults());
    EXPECT_EQ(ResolveScriptFolder(startup, settings, "c:\\prog\\", '\\'), "c:\\");
}

} // namespace
} // namespace pilotrame
