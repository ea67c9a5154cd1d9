#pragma once

#include <string>
#include <string_view>

namespace pilotrame {

// The French help: usage, options and exit codes.
std::string HelpText();

// The program's version, "3.5.0": the project's version, which the build gives, as the
// resource, the installer and the packages have it.
std::string_view PilotrameVersion();

// "Pilotrame 3.5.0", what --version prints.
std::string VersionText();

// The about box of the "&Aide" menu: its title and its text.
inline constexpr std::string_view kAboutTitle = "Version";
std::string AboutText();

} // namespace pilotrame
