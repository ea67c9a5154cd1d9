#include "base/messages.h"
#include "session/startup.h"

#include "support/tempdir.h"

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
    EXPECT_EQ(ResolveProgramFolder(own, dir.path("appdata")), dir.folder());
    EXPECT_FALSE(test::FileExists(dir.path("appdata")));
}

TEST(Startup, ProgramFolderFallsBackToApplicationData) {
    TempDir dir;
    const std::string fallback =
        dir.path("appdata") + std::string(1, kNativeSeparator) + "Pilotrame";
    EXPECT_EQ(ResolveProgramFolder(dir.path("not-writable"), fallback),
              fallback + std::string(1, kNativeSeparator));
    EXPECT_TRUE(test::FileExists(fallback));
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
    EXPECT_EQ(ResolveScriptFolder(startup, settings, '\\'), "c:\\");
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
    EXPECT_EQ(ResolveScriptFolder(startup, settings, '\\'), "c:\\Pilotrame\\");
    settings.combo[slot::scriptFolder] = "";
    EXPECT_EQ(ResolveScriptFolder(startup, settings, '\\'), "\\");
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
    EXPECT_EQ(ResolveScriptFolder(startup, settings, '\\'), "");
}

TEST(Startup, FirstStartInAReadOnlyPlaceReportsButKeepsDefaults) {
    TempDir dir;
    SettingsFile file(dir.path("gone") + "/savescript.txt");
    Settings settings;
    const SettingsStartup startup = EstablishSettings(file, settings, Defaults());
    EXPECT_TRUE(startup.created);
    EXPECT_TRUE(startup.failure);
    EXPECT_EQ(settings, Defaults());
    EXPECT_EQ(ResolveScriptFolder(startup, settings, '\\'), "c:\\");
}

} // namespace
} // namespace pilotrame
