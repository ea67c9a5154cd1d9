// The settings file reader: whatever bytes savescript.txt holds, loading never crashes, and
// settings that loaded are saved and loaded again to the same record.

#include "config/settingsfile.h"
#include "fuzzsupport.h"

#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pilotrame;
    const std::string first = fuzz::scratchFolder() + "savescript.txt";
    const std::string second = fuzz::scratchFolder() + "savescript-again.txt";
    std::ofstream(first, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    std::remove(second.c_str());

    SettingsFile file(first);
    Settings loaded;
    if (!file.LoadSettings(loaded))
        return 0;
    SettingsFile copy(second);
    if (!copy.SaveSettings(loaded))
        fuzz::violated("loaded settings could not be saved");
    Settings again;
    if (!SettingsFile(second).LoadSettings(again))
        fuzz::violated("saved settings do not load");
    if (!(again == loaded))
        fuzz::violated("settings saved and loaded differ");
    return 0;
}
