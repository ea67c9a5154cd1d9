#pragma once

#include "base/error.h"
#include "batch/runsettings.h"

#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// The texts of the settings (savescript.txt) and of the configuration dialog.

// The text of the box for the settings file that could not be read or saved: the error number,
// its description and the file.
std::string SettingsFailureText(const Error& error);

// The box shown when the settings could not be loaded at start-up or when the configuration
// opens: for a damaged file, that the missing settings took their first-run values and how to
// write the file whole again; for a file that is no ordinary file, UnusableFileText; else the
// error number and its description.
std::string SettingsLoadFailureText(const Error& error);

// The title of the question asked before settings are saved cut to 60 characters.
inline constexpr std::string_view kConfigurationTitle = "Configuration";

// The question asked before settings are saved cut to 60 characters; fieldNames name the values
// that are too long.
std::string TooLongSettingsQuestion(const std::vector<std::string>& fieldNames);

// How that question names the text setting of slotNumber (0 to 13); empty for any other number.
std::string_view TextSettingName(int slotNumber);

// A drive of the configuration dialog's folder picker that cannot be read.
inline constexpr std::string_view kDriveUnavailableText = " Lecteur non disponible ";

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
