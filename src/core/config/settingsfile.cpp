#include "config/settingsfile.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/numbers.h"
#include "base/systemerror.h"
#include "base/text.h"

#include <algorithm>

namespace pilotrame {

namespace {

constexpr std::size_t kFirstOption = kComboCount;
constexpr std::size_t kFirstCheck = kComboCount + kOptionCount;

std::string SlotText(const Settings& settings, int index) {
    if (index < kComboCount)
        return ToAnsi(settings.combo[index]);
    if (index < kComboCount + kOptionCount)
        return settings.option[index - kComboCount] ? "True" : "False";
    return std::to_string(settings.check[index - kFirstCheck]);
}

// A slot whose stored text its setting cannot take: number is the slot, text what it holds.
Error BadSlot(ErrorCode code, const std::string& path, std::size_t index, std::string_view stored) {
    Error error = InOperation(FileError(code, path), Operation::ReadSettings);
    error.cause = Cause::FaultyText;
    error.fault = TextFault::NotAWord;
    error.number = static_cast<int>(index);
    error.text = FromAnsi(stored);
    return error;
}

} // namespace

Result<bool> ParseSettingBoolean(std::string_view text) {
    if (EqualsIgnoringCase(text, "True") || EqualsIgnoringCase(text, "Vrai"))
        return true;
    if (EqualsIgnoringCase(text, "False") || EqualsIgnoringCase(text, "Faux"))
        return false;
    // Integer text of any length: zero is false, any other integer true.
    std::string_view digits = TrimSpaces(text);
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
        digits.remove_prefix(1);
    if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos)
        return digits.find_first_not_of('0') != std::string_view::npos;
    return KeyValueError(Cause::NotANumber, {}, text);
}

SettingsFile::SettingsFile(std::string path)
    : m_path(std::move(path)), m_record(kRecordLength, '\0') {}

Status SettingsFile::LoadSettings(Settings& settings) {
    // Record 10 alone: the rest of a file of any size is never read.
    Result<std::string> content = ReadFilePart(m_path, kRecordOffset, kRecordLength);
    if (!content)
        return InOperation(content.error(), Operation::ReadSettings);
    const std::size_t available = content->size();
    m_record.assign(kRecordLength, ' ');
    m_record.replace(0, available, *content);

    std::size_t wholeSlots = 0;
    for (std::size_t index = 0; index < static_cast<std::size_t>(kSettingCount); ++index) {
        // A slot cut short holds no value: its setting keeps the one it had.
        if ((index + 1) * kSlotLength > available)
            break;
        ++wholeSlots;
        const std::string_view stored =
            TrimSpaces(std::string_view(m_record).substr(index * kSlotLength, kSlotLength));
        if (index < kFirstOption) {
            settings.combo[index] = FromAnsi(stored);
        } else if (index < kFirstCheck) {
            const Result<bool> parsed = ParseSettingBoolean(stored);
            if (!parsed)
                return BadSlot(ErrorCode::TypeMismatch, m_path, index, stored);
            settings.setOption(static_cast<int>(index), *parsed);
        } else {
            const auto parsed = ParseInteger(stored);
            if (!parsed)
                return BadSlot(ErrorCode::TypeMismatch, m_path, index, stored);
            // A check box holds 0, 1 or 2 (greyed); anything else is no state of it.
            if (*parsed < 0 || *parsed > 2)
                return BadSlot(ErrorCode::InvalidPropertyValue, m_path, index, stored);
            settings.check[index - kFirstCheck] = static_cast<int>(*parsed);
        }
    }
    if (wholeSlots < static_cast<std::size_t>(kSettingCount)) {
        Error damaged =
            InOperation(FileError(ErrorCode::DeviceIo, m_path), Operation::ReadSettings);
        damaged.cause = Cause::Damaged;
        damaged.number = static_cast<int>(wholeSlots);
        return damaged;
    }
    return Success();
}

std::string SettingsFile::encodeRecord(const Settings& settings) const {
    std::string record = m_record;
    for (int index = 0; index < kSettingCount; ++index) {
        std::string text = SlotText(settings, index);
        text.resize(kSlotLength, ' ');
        record.replace(static_cast<std::size_t>(index) * kSlotLength, kSlotLength, text);
    }
    return record;
}

Status SettingsFile::SaveSettings(const Settings& settings) {
    std::string bytes;
    Result<std::string> existing = ReadFileBytes(m_path, kFileSizeLimit);
    if (existing) {
        bytes = std::move(*existing);
    } else if (existing.error().code != ErrorCode::FileNotFound) {
        return InOperation(existing.error(), Operation::SaveSettings);
    }
    if (bytes.size() < kFileLength)
        bytes.resize(kFileLength, '\0');
    std::string record = encodeRecord(settings);
    bytes.replace(kRecordOffset, kRecordLength, record);
    if (Status written = ReplaceFileContent(m_path, bytes); !written)
        return InOperation(written.error(), Operation::SaveSettings);
    m_record = std::move(record);
    return Success();
}

bool HoldsEverySetting(const std::string& path) {
    const Result<std::string> settings =
        ReadFilePart(path, SettingsFile::kRecordOffset,
                     SettingsFile::kSettingsEnd - SettingsFile::kRecordOffset);
    return settings && settings->size() == SettingsFile::kSettingsEnd - SettingsFile::kRecordOffset;
}

std::vector<int> SettingsFile::slotsTooLong(const Settings& settings) {
    std::vector<int> slots;
    for (int index = 0; index < kComboCount; ++index) {
        if (ToAnsi(settings.combo[index]).size() > kSlotLength)
            slots.push_back(index);
    }
    return slots;
}

} // namespace pilotrame
