#pragma once

#include "base/paths.h"
#include "base/result.h"
#include "batch/runsettings.h"
#include "config/settingsfile.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

inline constexpr std::string_view kSettingsFileName = "savescript.txt";

// The folders under which the system or a package manager installs programs: on POSIX /usr (and
// /usr/local), /bin, /sbin, /lib, /lib64, /opt, /snap, /app (Flatpak), /nix/store, /gnu/store and
// /var/lib/flatpak; on Windows the Program Files folders that the environment names
// (ProgramFiles, ProgramFiles(x86), ProgramW6432), or "C:\Program Files" and
// "C:\Program Files (x86)" when it names none.
std::vector<std::string> SystemProgramFolders();

// True when folder is one of roots or lies inside one. Paths are compared name by name, after
// "." and ".." are resolved, so "/usr/local/bin" is inside "/usr" and "/usrlocal" is not; with
// the separator '\' the comparison ignores case and takes "/" as a separator too. A root without
// any name ("" or "/") stands for no folder.
bool IsInsideFolder(std::string_view folder, const std::vector<std::string>& roots,
                    char separator = kNativeSeparator);

// The folder that holds savescript.txt and Liste01.txt, ending in one separator. A copy installed
// under one of installFolders (see SystemProgramFolders) keeps its files in appDataFolder, the
// user's own, whoever runs it and even when it could write beside itself: files of one user
// must not land in a system folder. Any other copy (a build tree, a USB stick, a user's folder)
// keeps them in its own folder when files can be created there, else in appDataFolder too.
// appDataFolder is created when missing; an empty one leaves the program's own folder.
std::string ResolveProgramFolder(std::string_view executableFolder, std::string_view appDataFolder,
                                 const std::vector<std::string>& installFolders,
                                 char separator = kNativeSeparator);

// What establishing the settings at start-up did.
struct SettingsStartup {
    bool created = false;         // first start: the file was created with the default settings
    std::optional<Error> failure; // loading or creating failed; settings hold what was applied
};

// How start-up uses savescript.txt: the window creates it on a first start; the command line
// never writes it.
enum class SettingsUse { CreateWhenMissing, ReadOnly };

// Loads the settings file into settings, or on a first start (no file) applies defaults and,
// unless use is ReadOnly, creates the file with them (created is set either way). A file that is
// read starts from defaults too: a damaged file (cut short) is reported as the failure, the
// settings it lacks keep their first-run values, and it is not written over: it is written again
// only when the user saves the configuration.
SettingsStartup EstablishSettings(SettingsFile& file, Settings& settings, const Settings& defaults,
                                  SettingsUse use = SettingsUse::CreateWhenMissing);

// The script folder after start-up, for the window and the command line alike: the script
// folder setting with one separator at its end. An empty setting gives programFolder: an empty
// folder would otherwise put the script at the root of the file system. Empty when the settings
// could not be established (the script then goes to the current folder); a damaged settings
// file, completed with first-run values, counts as established.
std::string ResolveScriptFolder(const SettingsStartup& startup, const Settings& settings,
                                std::string_view programFolder, char separator = kNativeSeparator);

// The settings a first start creates, for StartSettings: DefaultSettings of the lists that lists
// proposes. Of these values only the printer needs the system's printers, slow to ask for (the
// print system answers), and they stay only when the settings file at settingsPath does not hold
// every setting (HoldsEverySetting): a whole file replaces each of them. So lists is told to take
// the printers only then; otherwise it proposes the lists without them.
Settings FirstRunSettings(const std::string& settingsPath,
                          const std::function<ProposedValues(bool withPrinters)>& lists);

// The settings of a session as start-up leaves them.
struct StartupSettings {
    Settings settings;
    SettingsStartup startup;
    std::string scriptFolder;                // as ResolveScriptFolder gives it
    Result<RunSettings> run = RunSettings{}; // execution.txt, or why it could not be read
};

// Start-up's settings for the window and the command line alike: savescript.txt (file) as
// EstablishSettings establishes it from firstRun, a single-window version locking its window
// mode (ApplySingleWindowRule), the script folder, and the settings of the run of execution.txt
// in programFolder (LoadRunSettings). Each caller decides what a failure stops: the window goes
// on with the values established, the command line refuses to run.
StartupSettings StartSettings(SettingsFile& file, const std::string& programFolder,
                              const Settings& firstRun, SettingsUse use,
                              char separator = kNativeSeparator);

} // namespace pilotrame
