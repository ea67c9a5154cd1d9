#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// How AutoCAD is started on the script: the program of acadPath, "/B" and the script path.
struct AutocadCommand {
    std::string program;                // acadPath, unchanged
    std::vector<std::string> arguments; // "/B" and the script path
};

// Whether file names on this system follow the Windows rules (not case-sensitive).
#ifdef _WIN32
inline constexpr bool kWindowsNames = true;
#else
inline constexpr bool kWindowsNames = false;
#endif

// The command for acadPath and the script folder (ending in its separator). The script is named
// "pilotrame.scr" with Windows names, which are not case-sensitive; elsewhere the same name as
// the generated "Pilotrame.scr" is used so that the file is found.
AutocadCommand BuildAutocadCommand(std::string_view acadPath, std::string_view scriptFolder,
                                   bool windowsNames = kWindowsNames);

} // namespace pilotrame
