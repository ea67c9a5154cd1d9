#pragma once

#include <string>
#include <string_view>

namespace pilotrame {

// The French help: usage, options and exit codes.
std::string HelpText();

// "Pilotrame V3.5", as the about box names the version.
std::string VersionText();

// The about box of the "&Aide" menu: its title and its text.
inline constexpr std::string_view kAboutTitle = "Version";
inline constexpr std::string_view kAboutText = "Version V3.5 En cours de développement\r\n"
                                               "Nouvelles versions : voir le site de Pilotrame.";

} // namespace pilotrame
