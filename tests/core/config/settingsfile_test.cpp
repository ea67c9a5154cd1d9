#include "base/fileio.h"
#include "config/settingsfile.h"

#include "support/childprocess.h"
#include "support/tempdir.h"
#include "texts/common.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

namespace pilotrame {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr std::size_t kOffset = SettingsFile::kRecordOffset;

std::string SlotBytes(const std::string& file, int slotNumber) {
    return file.substr(kOffset + static_cast<std::size_t>(slotNumber) * 60, 60);
}

std::string Padded(std::string text) {
    text.resize(60, ' ');
    return text;
}

Settings FirstRun() {
    return DefaultSettings(ProposeSettingValues({}, FolderStyle::Windows, ""));
}

TEST(SettingsFile, FirstSaveWritesTheRecordByteForByte) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    ASSERT_TRUE(file.SaveSettings(FirstRun()));
    const std::string bytes = ReadBytes(file.path());
    ASSERT_EQ(bytes.size(), 60600u);
    EXPECT_EQ(bytes.substr(0, 54540), std::string(54540, '\0'));
    EXPECT_EQ(SlotBytes(bytes, 0), std::string(60, ' '));
    EXPECT_EQ(SlotBytes(bytes, 1), Padded("A4"));
    EXPECT_EQ(SlotBytes(bytes, 12), Padded("Pr\xE9sentation1"));
    EXPECT_EQ(SlotBytes(bytes, 14), Padded("True"));
    EXPECT_EQ(SlotBytes(bytes, 15), Padded("False"));
    EXPECT_EQ(SlotBytes(bytes, 16), Padded("True"));
    EXPECT_EQ(SlotBytes(bytes, 17), Padded("False"));
    for (int s = 18; s <= 20; ++s)
        EXPECT_EQ(SlotBytes(bytes, s), Padded("0"));
    EXPECT_EQ(bytes.substr(kOffset + 21 * 60), std::string(80 * 60, '\0'));
}

TEST(SettingsFile, RoundTripTrimsAndCutsAndSubstitutes) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    Settings saved = FirstRun();
    saved.combo[slot::printerName] = "  \\\\serveur\\Traceur A0  ";
    saved.combo[slot::acadPath] = std::string(75, 'x');
    saved.combo[slot::layoutName] = "Plan 漢";
    saved.check[2] = 1;
    saved.setOption(slot::portrait, true);
    ASSERT_TRUE(file.SaveSettings(saved));

    Settings loaded;
    SettingsFile reader(file.path());
    ASSERT_TRUE(reader.LoadSettings(loaded));
    EXPECT_EQ(loaded.printerName(), "\\\\serveur\\Traceur A0");
    EXPECT_EQ(loaded.acadPath(), std::string(60, 'x'));
    EXPECT_EQ(loaded.layoutName(), "Plan ?");
    EXPECT_TRUE(loaded.plotPaperSpace());
    EXPECT_FALSE(loaded.landscape());
    EXPECT_TRUE(loaded.optionState(slot::portrait));
    EXPECT_EQ(loaded.paperFormat(), "A4");
}

TEST(SettingsFile, BytesOutsideTheSettingsSurviveEverySave) {
    TempDir dir;
    const std::string path = dir.path("savescript.txt");
    std::string original(70000, '\0');
    for (std::size_t i = 0; i < original.size(); ++i)
        original[i] = static_cast<char>('A' + i % 26);
    WriteBytes(path, original);

    SettingsFile file(path);
    Settings settings;
    ASSERT_FALSE(file.LoadSettings(settings)); // slot 14 holds letters: loading stops there
    ASSERT_TRUE(file.SaveSettings(FirstRun()));
    const std::string after = ReadBytes(path);
    ASSERT_EQ(after.size(), original.size());
    EXPECT_EQ(after.substr(0, kOffset), original.substr(0, kOffset));
    EXPECT_EQ(after.substr(kOffset + 21 * 60), original.substr(kOffset + 21 * 60));
    EXPECT_EQ(SlotBytes(after, 1), Padded("A4"));
}

TEST(SettingsFile, ABadStateStopsLoadingAtItsSlot) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    Settings stored = FirstRun();
    stored.combo[slot::plotScale] = "1:5";
    ASSERT_TRUE(file.SaveSettings(stored));
    std::string bytes = ReadBytes(file.path());
    bytes.replace(kOffset + 15 * 60, 60, Padded("peut-etre"));
    bytes.replace(kOffset + 20 * 60, 60, Padded("1"));
    WriteBytes(file.path(), bytes);

    Settings live;
    live.check[2] = 0;
    live.option = {false, true, false, true};
    const Status loaded = file.LoadSettings(live);
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.error().code, ErrorCode::TypeMismatch);
    EXPECT_EQ(NumberAndDescription(loaded.error()), "13 Incompatibilité de type");
    EXPECT_EQ(live.plotScale(), "1:5"); // slots before it applied
    EXPECT_TRUE(live.landscape());      // slot 14 applied
    EXPECT_EQ(live.option[2], false);   // slot 16 not reached
    EXPECT_EQ(live.check[2], 0);        // slot 20 not reached
}

TEST(SettingsFile, StateConversions) {
    struct Case {
        const char* text;
        std::optional<bool> state;
    };
    const Case cases[] = {{"True", true},
                          {"TRUE", true},
                          {"false", false},
                          {"Vrai", true},
                          {"faux", false},
                          {"0", false},
                          {"1", true},
                          {"-1", true},
                          {"2", true},
                          {"", std::nullopt},
                          {"yes", std::nullopt},
                          {"1.5", std::nullopt},
                          // Integers of any length, beyond 64 bits too.
                          {"12345678901234567890", true},
                          {"-99999999999999999999", true},
                          {"00000000000000000000", false},
                          {"1 2", std::nullopt}};
    for (const auto& c : cases) {
        const Result<bool> parsed = ParseSettingBoolean(c.text);
        EXPECT_EQ(parsed.ok(), c.state.has_value()) << c.text;
        if (parsed && c.state) {
            EXPECT_EQ(*parsed, *c.state) << c.text;
        }
    }
}

TEST(SettingsFile, CheckBoxSlotsTakeIntegersOnly) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    ASSERT_TRUE(file.SaveSettings(FirstRun()));
    const std::string base = ReadBytes(file.path());
    struct Case {
        const char* text;
        std::optional<int> state;
        ErrorCode code;
    };
    const Case cases[] = {{"1", 1, {}},
                          {"  0  ", 0, {}},
                          {"True", std::nullopt, ErrorCode::TypeMismatch},
                          {"5", std::nullopt, ErrorCode::InvalidPropertyValue}};
    for (const auto& c : cases) {
        std::string bytes = base;
        bytes.replace(kOffset + 19 * 60, 60, Padded(c.text));
        WriteBytes(file.path(), bytes);
        Settings s;
        const Status loaded = file.LoadSettings(s);
        ASSERT_EQ(loaded.ok(), c.state.has_value()) << c.text;
        if (c.state) {
            EXPECT_EQ(s.check[1], *c.state);
        } else {
            EXPECT_EQ(loaded.error().code, c.code);
        }
    }
}

// A file that stops before the end of slot 20 is damaged: the slots it holds whole are read, the
// others keep the values they had (the first-run ones at start-up), never spaces or False.
TEST(SettingsFile, AFileCutShortIsDamagedAndKeepsTheValuesItLacks) {
    TempDir dir;
    const std::string path = dir.path("savescript.txt");
    Settings stored = FirstRun();
    stored.combo[slot::printerName] = "Traceur";
    stored.combo[slot::paperFormat] = "A3";
    stored.combo[slot::plotScale] = "1:5";
    stored.setOption(slot::portrait, true);
    stored.check = {1, 1, 1};
    ASSERT_TRUE(SettingsFile(path).SaveSettings(stored));
    const std::string whole = ReadBytes(path);

    Settings given = FirstRun();
    given.combo[slot::paperFormat] = "donné";
    struct Case {
        std::size_t length;
        int wholeSlots; // -1: not damaged
    };
    const Case cases[] = {
        {0, 0},
        {kOffset - 1, 0},
        {kOffset, 0},
        {kOffset + 60, 1},
        {kOffset + 60 + 2, 1}, // "A3" of slot 1 without its padding: no value
        {kOffset + 14 * 60, 14},
        {SettingsFile::kSettingsEnd - 1, 20},
        {SettingsFile::kSettingsEnd, -1}, // slots 21 to 100 are not settings
        {SettingsFile::kFileLength, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        WriteBytes(path, whole.substr(0, c.length));
        SettingsFile file(path);
        Settings s = given;
        const Status loaded = file.LoadSettings(s);
        if (c.wholeSlots < 0) {
            ASSERT_TRUE(loaded);
            EXPECT_EQ(s, stored);
            continue;
        }
        ASSERT_FALSE(loaded);
        EXPECT_EQ(loaded.error().cause, Cause::Damaged);
        EXPECT_EQ(loaded.error().operation, Operation::ReadSettings);
        EXPECT_EQ(loaded.error().path, path);
        EXPECT_EQ(loaded.error().number, c.wholeSlots);
        for (int index = 0; index < kSettingCount; ++index) {
            const Settings& from = index < c.wholeSlots ? stored : given;
            if (index < kComboCount)
                EXPECT_EQ(s.combo[index], from.combo[index]) << index;
            else if (index < kComboCount + kOptionCount)
                EXPECT_EQ(s.optionState(index), from.optionState(index)) << index;
            else
                EXPECT_EQ(s.check[index - kComboCount - kOptionCount],
                          from.check[index - kComboCount - kOptionCount])
                    << index;
        }
        // The record in memory reads the missing bytes as spaces, as a save writes slots 21 on.
        EXPECT_EQ(file.record().size(), SettingsFile::kRecordLength);
        EXPECT_EQ(file.record().back(), ' ');
    }
}

#ifndef _WIN32
// Only record 10 is read: a settings file of gigabytes (here sparse, taking no room) loads at
// once. A save, which keeps every byte of the file, refuses it rather than take it whole.
TEST(SettingsFile, AHugeFileIsLoadedByItsRecordAloneAndNotSaved) {
    TempDir dir;
    const std::string path = dir.path("savescript.txt");
    Settings stored = FirstRun();
    stored.combo[slot::printerName] = "Traceur";
    ASSERT_TRUE(SettingsFile(path).SaveSettings(stored));
    constexpr std::uintmax_t kHuge = std::uintmax_t{8} << 30;
    std::filesystem::resize_file(path, kHuge);

    SettingsFile file(path);
    Settings s = FirstRun();
    ASSERT_TRUE(file.LoadSettings(s));
    EXPECT_EQ(s, stored);
    EXPECT_TRUE(HoldsEverySetting(path));

    Settings changed = stored;
    changed.combo[slot::printerName] = "Autre";
    const Status saved = file.SaveSettings(changed);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().cause, Cause::TooLarge);
    EXPECT_EQ(saved.error().operation, Operation::SaveSettings);
    EXPECT_EQ(saved.error().number, static_cast<int>(SettingsFile::kFileSizeLimit));
    EXPECT_EQ(std::filesystem::file_size(path), kHuge);
    const Result<std::string> head = ReadFilePart(path, 0, kOffset + 60);
    ASSERT_TRUE(head);
    EXPECT_EQ(SlotBytes(*head, 0), Padded("Traceur"));
}
#endif

TEST(SettingsFile, ASaveUpToTheLimitKeepsEveryByte) {
    TempDir dir;
    const std::string path = dir.path("savescript.txt");
    ASSERT_TRUE(SettingsFile(path).SaveSettings(FirstRun()));
    std::string bytes = ReadBytes(path);
    bytes.resize(SettingsFile::kFileSizeLimit, 'z');
    WriteBytes(path, bytes);
    Settings changed = FirstRun();
    changed.combo[slot::paperFormat] = "A3";
    ASSERT_TRUE(SettingsFile(path).SaveSettings(changed));
    const std::string after = ReadBytes(path);
    EXPECT_EQ(after.size(), bytes.size());
    EXPECT_EQ(SlotBytes(after, 1), Padded("A3"));
    EXPECT_EQ(after.substr(SettingsFile::kFileLength), bytes.substr(SettingsFile::kFileLength));

    bytes += 'z';
    WriteBytes(path, bytes);
    const Status refused = SettingsFile(path).SaveSettings(changed);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().cause, Cause::TooLarge);
    EXPECT_EQ(ReadBytes(path), bytes);
}

TEST(SettingsFile, HoldsEverySettingOnlyWhenSlotTwentyIsWhole) {
    TempDir dir;
    const std::string path = dir.path("savescript.txt");
    EXPECT_FALSE(HoldsEverySetting(path));
    EXPECT_FALSE(HoldsEverySetting(dir.folder()));
    ASSERT_TRUE(SettingsFile(path).SaveSettings(FirstRun()));
    const std::string whole = ReadBytes(path);
    EXPECT_TRUE(HoldsEverySetting(path));
    WriteBytes(path, whole.substr(0, SettingsFile::kSettingsEnd));
    EXPECT_TRUE(HoldsEverySetting(path));
    WriteBytes(path, whole.substr(0, SettingsFile::kSettingsEnd - 1));
    EXPECT_FALSE(HoldsEverySetting(path));
}

TEST(SettingsFile, ZeroBytesAreTextForCombos) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    ASSERT_TRUE(file.SaveSettings(FirstRun()));
    std::string bytes = ReadBytes(file.path());
    bytes.replace(kOffset + 3 * 60, 60, std::string(60, '\0'));
    WriteBytes(file.path(), bytes);
    Settings s;
    ASSERT_TRUE(file.LoadSettings(s));
    EXPECT_EQ(s.text(slot::spare3), std::string(60, '\0'));
}

TEST(SettingsFile, SlotsBeyondTheSettingsCarryOverFromTheLastRead) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    ASSERT_TRUE(file.SaveSettings(FirstRun()));
    std::string bytes = ReadBytes(file.path());
    bytes.replace(kOffset + 50 * 60, 60, Padded("gardé"));
    WriteBytes(file.path(), bytes);
    Settings s;
    ASSERT_TRUE(file.LoadSettings(s));
    // Another program rewrites the slot; the record read earlier wins at the next save.
    bytes.replace(kOffset + 50 * 60, 60, Padded("autre"));
    WriteBytes(file.path(), bytes);
    ASSERT_TRUE(file.SaveSettings(s));
    EXPECT_EQ(SlotBytes(ReadBytes(file.path()), 50), Padded("gardé"));
}

TEST(SettingsFile, FailuresNameTheFileAndKeepItIntact) {
    TempDir dir;
    Settings s;
    SettingsFile missing(dir.path("absent.txt"));
    EXPECT_EQ(missing.LoadSettings(s).error().code, ErrorCode::FileNotFound);

    SettingsFile nowhere(dir.path("no-folder") + "/savescript.txt");
    const Status saved = nowhere.SaveSettings(FirstRun());
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().path, nowhere.path());

    const std::string path = dir.path("savescript.txt");
    SettingsFile file(path);
    ASSERT_TRUE(file.SaveSettings(FirstRun()));
    const std::string before = ReadBytes(path);
    test::SetReadOnly(path, true);
    Settings changed = FirstRun();
    changed.combo[slot::paperFormat] = "A3";
    const Status refused = file.SaveSettings(changed);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().code, ErrorCode::PermissionDenied);
    EXPECT_EQ(ReadBytes(path), before);
}

#ifndef _WIN32
TEST(SettingsFile, ASaveThatRunsOutOfRoomLeavesThePreviousFileWhole) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    ASSERT_TRUE(file.SaveSettings(FirstRun()));
    const std::string before = ReadBytes(file.path());
    Settings changed = FirstRun();
    changed.combo[slot::paperFormat] = "A3";
    const int code = test::RunWithFileSizeLimit(1024, [&] {
        const Status saved = file.SaveSettings(changed);
        return !saved && saved.error().code == ErrorCode::DiskFull ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadBytes(file.path()), before);
    EXPECT_FALSE(test::FileExists(file.path() + ".~nouveau"));
}
#endif

TEST(SettingsFile, ReportsSlotsThatWouldBeCut) {
    Settings s = FirstRun();
    EXPECT_TRUE(SettingsFile::slotsTooLong(s).empty());
    s.combo[slot::acadPath] = std::string(61, 'a');
    s.combo[slot::layoutName] = std::string(59, 'a') + "é"; // 60 bytes once encoded
    EXPECT_EQ(SettingsFile::slotsTooLong(s), std::vector<int>{slot::acadPath});
}

} // namespace
} // namespace pilotrame
