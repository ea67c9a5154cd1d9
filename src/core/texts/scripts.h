#pragma once

#include "base/error.h"
#include "batch/runsettings.h"
#include "check/drawingcheck.h"

#include <string>
#include <string_view>

namespace pilotrame {

// The texts of the script: its generation, "Executer script" from the window and the command
// line, AutoCAD started on it, and the text insertion's table.

// The text of the "ERREUR !!" box for a failed generation of the script: what failed, and the
// file or box concerned, then, since the script is written whole or not at all, "Le script
// précédent est resté tel qu'il était." (but where the script's path names no file).
std::string GenerationFailureText(const Error& error);

// Why it failed: the program that could not be started (AutoCAD, or the console program of a
// run on the console), else what GenerationFailureText says; that the previous script was kept
// only where Pilotrame.scr was to be written (AutoCAD's engine, no renaming).
std::string ExecuteFailureText(const Error& error, Engine engine, bool renaming = false);

// A list that leaves no drawing to process: nothing was started.
std::string_view NothingToExecuteText(Engine engine);

// "Executer script" on a list that leaves no drawing to process: AutoCAD is not started.
inline constexpr std::string_view kNothingToProcessText =
    "Aucun plan à traiter : le script n'ouvre aucun plan, AutoCAD n'a pas été démarré.";

// AutoCAD could not be started on the script (a failure of StartAutocad): why, its program and
// where it is chosen; an empty program means none is configured.
std::string AutocadNotStartedText(const Error& error);

// Why nothing was started after the check of the drawings, as the command line says it.
std::string DrawingsNotReadyText(const DrawingCheck& check, Engine engine);

// Why AutoCAD was not started: how many drawings were checked and how many are not ready, then
// issueLines (one "path<TAB>reason" line per drawing, CR LF ended), then that AutoCAD was not
// started.
std::string DrawingsNotReadyText(int checked, int problems, const std::string& issueLines);

// ---- Text insertion ----

// Text insertion.
inline constexpr std::string_view kTooManyColumnsText = "Il y a trop de colonne";

inline constexpr std::string_view kTooManyColumnsTitle = "Erreur";

} // namespace pilotrame
