#pragma once

#include "base/error.h"
#include "batch/runsettings.h"

#include <string>
#include <string_view>

namespace pilotrame {

// ---- The settings and the script folder ----
// A setting of savescript.txt that cannot be read, and a script folder where the user may not
// write (the first-run "c:\" of Windows for a user without elevation).

// How the configuration names the setting of slotNumber (0 to 20): "Chemin autocad.exe",
// "Sauvgarde configuration impression dans *.DWG" …; empty for any other number.
std::string_view SettingName(int slotNumber);

// A slot of savescript.txt that does not convert (cause FaultyText of LoadSettings): its number,
// its setting, what it holds and what it may hold.
std::string BadSettingText(const Error& error);

// A folder where the script, or the journal of a run on the console, could not be made (cause
// FolderRefused): the folder, why, and where the script folder is chosen.
std::string FolderRefusedText(const Error& error, Engine engine);

// The question of "Sauvegarder et Quitter" when the chosen script folder cannot be written
// (CheckFolderWritable).
std::string ScriptFolderQuestion(const Error& error);

} // namespace pilotrame
