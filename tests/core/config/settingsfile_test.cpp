#include "config/settingsfile.h"

#include "support/childprocess.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

constexpr std::size_t kOffset = SettingsFile::kRecordOffset;

std::string slotBytes(const std::string& file, int slotNumber) {
    return file.substr(kOffset + static_cast<std::size_t>(slotNumber) * 60, 60);
}

std::string padded(std::string text) {
    text.resize(60, ' ');
    return text;
}

Settings firstRun() {
    return defaultSettings(proposedValues({}, FolderStyle::Windows, ""));
}

TEST(SettingsFile, FirstSaveWritesTheRecordByteForByte) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    ASSERT_TRUE(file.SaveSettings(firstRun()));
    const std::string bytes = readBytes(file.path());
    ASSERT_EQ(bytes.size(), 60600u);
    EXPECT_EQ(bytes.substr(0, 54540), std::string(54540, '\0'));
    EXPECT_EQ(slotBytes(bytes, 0), std::string(60, ' '));
    EXPECT_EQ(slotBytes(bytes, 1), padded("A4"));
    EXPECT_EQ(slotBytes(bytes, 12), padded("Pr\xE9sentation1"));
    EXPECT_EQ(slotBytes(bytes, 14), padded("True"));
    EXPECT_EQ(slotBytes(bytes, 15), padded("False"));
    EXPECT_EQ(slotBytes(bytes, 16), padded("True"));
    EXPECT_EQ(slotBytes(bytes, 17), padded("False"));
    for (int s = 18; s <= 20; ++s)
        EXPECT_EQ(slotBytes(bytes, s), padded("0"));
    EXPECT_EQ(bytes.substr(kOffset + 21 * 60), std::string(80 * 60, '\0'));
}

TEST(SettingsFile, RoundTripTrimsAndCutsAndSubstitutes) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    Settings saved = firstRun();
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
    writeBytes(path, original);

    SettingsFile file(path);
    Settings settings;
    ASSERT_FALSE(file.LoadSettings(settings)); // slot 14 holds letters: loading stops there
    ASSERT_TRUE(file.SaveSettings(firstRun()));
    const std::string after = readBytes(path);
    ASSERT_EQ(after.size(), original.size());
    EXPECT_EQ(after.substr(0, kOffset), original.substr(0, kOffset));
    EXPECT_EQ(after.substr(kOffset + 21 * 60), original.substr(kOffset + 21 * 60));
    EXPECT_EQ(slotBytes(after, 1), padded("A4"));
}

TEST(SettingsFile, ABadStateStopsLoadingAtItsSlot) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    Settings stored = firstRun();
    stored.combo[slot::plotScale] = "1:5";
    ASSERT_TRUE(file.SaveSettings(stored));
    std::string bytes = readBytes(file.path());
    bytes.replace(kOffset + 15 * 60, 60, padded("peut-etre"));
    bytes.replace(kOffset + 20 * 60, 60, padded("1"));
    writeBytes(file.path(), bytes);

    Settings live;
    live.check[2] = 0;
    live.option = {false, true, false, true};
    const Status loaded = file.LoadSettings(live);
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.error().code, ErrorCode::TypeMismatch);
    EXPECT_EQ(loaded.error().numberAndDescription(), "13 Incompatibilité de type");
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
        const Result<bool> parsed = parseSettingBoolean(c.text);
        EXPECT_EQ(parsed.ok(), c.state.has_value()) << c.text;
        if (parsed && c.state) {
            EXPECT_EQ(*parsed, *c.state) << c.text;
        }
    }
}

TEST(SettingsFile, CheckBoxSlotsTakeIntegersOnly) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    ASSERT_TRUE(file.SaveSettings(firstRun()));
    const std::string base = readBytes(file.path());
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
        bytes.replace(kOffset + 19 * 60, 60, padded(c.text));
        writeBytes(file.path(), bytes);
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

TEST(SettingsFile, ShortFileReadsMissingTextAsSpacesAndStatesAsOff) {
    TempDir dir;
    const std::string path = dir.path("savescript.txt");
    std::string bytes(kOffset, '\0');
    bytes += padded("Traceur");
    bytes += "A3";
    writeBytes(path, bytes);

    SettingsFile file(path);
    Settings s = firstRun();
    ASSERT_TRUE(file.LoadSettings(s));
    EXPECT_EQ(s.printerName(), "Traceur");
    EXPECT_EQ(s.paperFormat(), "A3");
    EXPECT_EQ(s.plotStyleTable(), "");
    EXPECT_EQ(s.option, (std::array<bool, 4>{false, false, false, false}));
    EXPECT_EQ(s.check, (std::array<int, 3>{0, 0, 0}));

    writeBytes(path, "");
    ASSERT_TRUE(file.LoadSettings(s));
    EXPECT_EQ(s.printerName(), "");
}

TEST(SettingsFile, ZeroBytesAreTextForCombos) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    ASSERT_TRUE(file.SaveSettings(firstRun()));
    std::string bytes = readBytes(file.path());
    bytes.replace(kOffset + 3 * 60, 60, std::string(60, '\0'));
    writeBytes(file.path(), bytes);
    Settings s;
    ASSERT_TRUE(file.LoadSettings(s));
    EXPECT_EQ(s.text(slot::spare3), std::string(60, '\0'));
}

TEST(SettingsFile, SlotsBeyondTheSettingsCarryOverFromTheLastRead) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    ASSERT_TRUE(file.SaveSettings(firstRun()));
    std::string bytes = readBytes(file.path());
    bytes.replace(kOffset + 50 * 60, 60, padded("gardé"));
    writeBytes(file.path(), bytes);
    Settings s;
    ASSERT_TRUE(file.LoadSettings(s));
    // Another program rewrites the slot; the record read earlier wins at the next save.
    bytes.replace(kOffset + 50 * 60, 60, padded("autre"));
    writeBytes(file.path(), bytes);
    ASSERT_TRUE(file.SaveSettings(s));
    EXPECT_EQ(slotBytes(readBytes(file.path()), 50), padded("gardé"));
}

TEST(SettingsFile, FailuresNameTheFileAndKeepItIntact) {
    TempDir dir;
    Settings s;
    SettingsFile missing(dir.path("absent.txt"));
    EXPECT_EQ(missing.LoadSettings(s).error().code, ErrorCode::FileNotFound);

    SettingsFile nowhere(dir.path("no-folder") + "/savescript.txt");
    const Status saved = nowhere.SaveSettings(firstRun());
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().path, nowhere.path());

    const std::string path = dir.path("savescript.txt");
    SettingsFile file(path);
    ASSERT_TRUE(file.SaveSettings(firstRun()));
    const std::string before = readBytes(path);
    test::setReadOnly(path, true);
    Settings changed = firstRun();
    changed.combo[slot::paperFormat] = "A3";
    const Status refused = file.SaveSettings(changed);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().code, ErrorCode::PermissionDenied);
    EXPECT_EQ(readBytes(path), before);
}

#ifndef _WIN32
TEST(SettingsFile, ASaveThatRunsOutOfRoomLeavesThePreviousFileWhole) {
    TempDir dir;
    SettingsFile file(dir.path("savescript.txt"));
    ASSERT_TRUE(file.SaveSettings(firstRun()));
    const std::string before = readBytes(file.path());
    Settings changed = firstRun();
    changed.combo[slot::paperFormat] = "A3";
    const int code = test::runWithFileSizeLimit(1024, [&] {
        const Status saved = file.SaveSettings(changed);
        return !saved && saved.error().kind == ErrorKind::DiskFull ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readBytes(file.path()), before);
    EXPECT_FALSE(test::fileExists(file.path() + ".~nouveau"));
}
#endif

TEST(SettingsFile, ReportsSlotsThatWouldBeCut) {
    Settings s = firstRun();
    EXPECT_TRUE(SettingsFile::slotsTooLong(s).empty());
    s.combo[slot::acadPath] = std::string(61, 'a');
    s.combo[slot::layoutName] = std::string(59, 'a') + "é"; // 60 bytes once encoded
    EXPECT_EQ(SettingsFile::slotsTooLong(s), std::vector<int>{slot::acadPath});
}

} // namespace
} // namespace pilotrame
