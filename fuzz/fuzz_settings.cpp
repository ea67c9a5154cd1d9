// The settings file reader: whatever bytes savescript.txt holds, loading never crashes; a file is
// damaged exactly when it stops before the end of slot 20; settings that loaded, whole or from a
// damaged file, are saved and loaded again to the same record; and saving them over the file
// they came from changes nothing but slots 0 to 20 of record 10.

#include "config/settingsfile.h"
#include "fuzzsupport.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pilotrame;
    const std::string first = fuzz::ScratchFolder() + "savescript.txt";
    const std::string second = fuzz::ScratchFolder() + "savescript-again.txt";
    std::ofstream(first, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    std::remove(second.c_str());

    SettingsFile file(first);
    Settings loaded;
    const Status status = file.LoadSettings(loaded);
    const bool damaged = !status && status.error().cause == Cause::Damaged;
    if (damaged && size >= SettingsFile::kSettingsEnd)
        fuzz::Violated("a file that holds every setting is called damaged");
    if (status && size < SettingsFile::kSettingsEnd)
        fuzz::Violated("a file cut short loaded without a word");
    // What a damaged file held is loaded and the rest keeps its value: the window goes on with it.
    if (!status && !damaged)
        return 0;
    SettingsFile copy(second);
    if (!copy.SaveSettings(loaded))
        fuzz::Violated("loaded settings could not be saved");
    Settings again;
    if (!SettingsFile(second).LoadSettings(again))
        fuzz::Violated("saved settings do not load");
    if (!(again == loaded))
        fuzz::Violated("settings saved and loaded differ");

    // Saved over the file read, every byte it held outside the 21 slots stays; a file past the
    // size limit is refused and left as it is.
    const std::string before(reinterpret_cast<const char*>(data), size);
    const Status savedOver = file.SaveSettings(loaded);
    if (size > SettingsFile::kFileSizeLimit) {
        if (savedOver || savedOver.error().cause != Cause::TooLarge || ReadAll(first) != before)
            fuzz::Violated("a file past the size limit was not refused whole");
        return 0;
    }
    if (!savedOver)
        fuzz::Violated("loaded settings could not be saved over their file");
    const std::string after = ReadAll(first);
    if (after.size() != std::max(before.size(), SettingsFile::kFileLength))
        fuzz::Violated("saving changed the length of the file");
    const std::size_t slotsStart = SettingsFile::kRecordOffset;
    const std::size_t slotsEnd =
        slotsStart + static_cast<std::size_t>(kSettingCount) * SettingsFile::kSlotLength;
    for (std::size_t i = 0; i < before.size(); ++i)
        if ((i < slotsStart || i >= slotsEnd) && after[i] != before[i])
            fuzz::Violated("saving changed a byte outside the settings slots");
    if (after.compare(slotsStart, slotsEnd - slotsStart, copy.encodeRecord(loaded), 0,
                      slotsEnd - slotsStart) != 0)
        fuzz::Violated("the file does not hold the settings saved");
    return 0;
}
