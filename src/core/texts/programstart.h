#pragma once

#include "base/error.h"

#include <string>
#include <string_view>

namespace pilotrame {

// ---- Starting AutoCAD and Excel ----
// Why a program the user set could not be started, and what to do about it.

// Why the system did not start the program of a failure of operation StartProgram:
// "programme introuvable", "accès refusé", "ce fichier n'est pas un programme …", or the
// system's own words ("erreur 1450", its number, where it has none).
std::string StartFailureReason(const Error& error);

// Where AutoCAD's program is chosen.
inline constexpr std::string_view kChooseAutocadText =
    "Choisissez le programme d'AutoCAD dans la configuration (menu Configuration, Autocad, "
    "« Chemin autocad.exe »).";

// AutoCAD's program is a batch file (.bat, .cmd): it was not started.
std::string BatchProgramText(const std::string& program);

// Excel could not be started on the workbook of F2: why, and its program.
std::string ExcelNotStartedText(const Error& error);

} // namespace pilotrame
