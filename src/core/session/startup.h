#pragma once

#include "base/paths.h"
#include "base/result.h"
#include "config/settingsfile.h"

#include <optional>
#include <string>
#include <string_view>

namespace pilotrame {

inline constexpr std::string_view kSettingsFileName = "savescript.txt";

// The folder that holds savescript.txt and Liste01.txt, ending in one separator: the program's
// own folder when files can be created there, else appDataFolder (created when missing), so that
// a copy installed under a system folder still works.
std::string ResolveProgramFolder(std::string_view executableFolder, std::string_view appDataFolder,
                                 char separator = kNativeSeparator);

// What establishing the settings at start-up did.
struct SettingsStartup {
    bool created = false;         // first start: the file was created with the default settings
    std::optional<Error> failure; // loading or creating failed; settings hold what was applied
};

// Loads the settings file into settings, or on a first start (no file) applies defaults and
// creates the file with them.
SettingsStartup EstablishSettings(SettingsFile& file, Settings& settings, const Settings& defaults);

// The script folder after start-up: the script folder setting with one separator at its end, or
// empty when the settings could not be established (the script then goes to the current folder).
std::string ResolveScriptFolder(const SettingsStartup& startup, const Settings& settings,
                                char separator = kNativeSeparator);

} // namespace pilotrame
