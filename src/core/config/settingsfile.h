#pragma once

#include "base/result.h"
#include "config/settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// The settings file savescript.txt: fixed records of 6060 bytes (101 slots of 60), the settings in
// record 10 alone. The store holds the record last read, so that slots 21 to 100 and every byte
// outside record 10 survive each save unchanged.
class SettingsFile {
public:
    static constexpr std::size_t kSlotLength = 60;
    static constexpr std::size_t kSlotsPerRecord = 101;
    static constexpr std::size_t kRecordLength = kSlotLength * kSlotsPerRecord;
    static constexpr std::size_t kRecordNumber = 10;
    static constexpr std::size_t kRecordOffset = (kRecordNumber - 1) * kRecordLength;
    static constexpr std::size_t kFileLength = kRecordOffset + kRecordLength;
    // The bytes from the start of the file to the end of the last setting (slot 20).
    static constexpr std::size_t kSettingsEnd =
        kRecordOffset + kSlotLength * static_cast<std::size_t>(kSettingCount);
    // A save keeps every byte of the file outside record 10, so it reads the file whole: above
    // this size (17 times what the program writes) it is no settings file, and is refused
    // rather than taken into memory.
    static constexpr std::uint64_t kFileSizeLimit = 1024 * 1024;

    explicit SettingsFile(std::string path);

    const std::string& path() const { return m_path; }

    // Reads record 10, and nothing else of the file, and applies slots 0 to 20 to settings in
    // slot order. A slot that does not convert stops the loading there: the earlier slots stay
    // applied, the error (cause FaultyText, fault NotAWord) names the slot in number and holds
    // its text. A file that ends before the end of slot 20 is damaged:
    // the slots it holds whole are applied, the others keep the values settings had (the
    // first-run ones at start-up), and the loading fails with cause Damaged (number: the slots
    // read). Slots 21 to 100 missing from the file read as spaces.
    Status LoadSettings(Settings& settings);

    // Writes settings as record 10; the rest of the file and slots 21 to 100 stay as they were.
    // A file larger than kFileSizeLimit is refused (cause TooLarge) and left as it is.
    Status SaveSettings(const Settings& settings);

    // The record bytes that save would write for these settings.
    std::string encodeRecord(const Settings& settings) const;

    // Slots (0 to 20) whose text does not fit in 60 bytes and would be cut when saved.
    static std::vector<int> slotsTooLong(const Settings& settings);

    // The in-memory record, as last read or saved (zeros before any).
    const std::string& record() const { return m_record; }

private:
    std::string m_path;
    std::string m_record;
};

// True when path is an ordinary file that holds every setting whole, so that loading it replaces
// every first-run value.
bool HoldsEverySetting(const std::string& path);

// Boolean text as the settings file accepts it: True or False in any case, the French Vrai and
// Faux, or an integer (0 false, any other true).
Result<bool> ParseSettingBoolean(std::string_view text);

} // namespace pilotrame
