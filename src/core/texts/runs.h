#pragma once

#include "base/error.h"
#include "batch/console.h"
#include "batch/runner.h"

#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// The texts of the batch runs on AutoCAD's console: why one does not start, and what the window
// "Exécution des plans" shows of it. The journal's words are in journal.h, what the command line
// alone says in commandline.h.

// The console program is a script whose "#!" line names an interpreter that is missing, or that
// cannot be run: the program, the interpreter, and that nothing ran.
std::string ConsoleInterpreterText(const std::string& program, const std::string& interpreter,
                                   bool missing);

// Why a console run does not start when "REMPLACE TEXTE (vba)" is ticked.
inline constexpr std::string_view kConsoleHasNoVbaText =
    "La console AutoCAD n'exécute pas les macros VBA : « REMPLACE TEXTE (vba) » est coché, "
    "l'exécution sur la console n'a pas été lancée. Décochez-le, ou choisissez le moteur "
    "« AutoCAD, un script pour tous les plans » dans la configuration.";

// Why a console run does not start when its job holds what the console cannot run: each line
// with its box, its command and why, then what to do.
std::string ConsoleRefusalsText(const std::vector<ConsoleRefusal>& refusals);

// The console program is no file: nothing ran.
std::string ConsoleNotFoundText(const std::string& program);

// The console program is a file that cannot be run (not executable, or no program): nothing ran.
std::string ConsoleNotExecutableText(const std::string& program);

// Why no console was started: the check of the drawings, as DrawingsNotReadyText says it.
std::string DrawingsNotReadyForRunText(int checked, int problems, const std::string& issueLines);

// A list that leaves no drawing to run.
inline constexpr std::string_view kNothingToRunText =
    "Aucun plan à traiter : la liste ne laisse aucun plan, aucune console n'a été lancée.";

// How many drawings listed again under the same path were left out; empty for none.
std::string DuplicatesLeftOutText(int duplicates);

// The settings of the run (execution.txt) could not be read or saved: the file and what is wrong.
std::string RunSettingsFailureText(const Error& error);

// execution.txt could not be read, or is faulty: the file and what is wrong; nothing ran.
std::string RunSettingsRefusedText(const Error& error);

// ---- "Exécution des plans" ----

inline constexpr std::string_view kBatchWindowTitle = "Exécution des plans";

// The tip of a drawing's state in "Exécution des plans": why it did not succeed, then the end of
// its console's output; empty for a drawing without either.
std::string DrawingTipText(const DrawingRun& run);

// The journal of a run could not be written whole: each file that failed, and why.
std::string JournalFailureText(const std::vector<Error>& failures);

// A drawing's time, as the window and the command line show it: "3,2 s".
std::string DurationText(double seconds);

// The counts of a batch as the window shows them: "en cours : 2   réussi : 3   échec : 1 …", the
// drawings not ready last, when there are.
std::string BatchCountsText(const BatchCounts& counts);

// "Temps écoulé : 00:01:23   Temps restant estimé : 00:04:10" (the estimate once a drawing is
// finished and some remain).
std::string BatchTimeText(double elapsedSeconds, const BatchCounts& counts, int total);

// The question of "Arrêter" when consoles are running.
inline constexpr std::string_view kStopRunningQuestion =
    "Aucune nouvelle console ne sera lancée.\r\nArrêter aussi les plans en cours ? (Non : ils "
    "vont jusqu'au bout)";

// The question asked before the window closes while consoles are running.
inline constexpr std::string_view kCloseWhileRunningQuestion =
    "Des plans sont en cours d'exécution.\r\nLes arrêter et fermer la fenêtre ?";

} // namespace pilotrame
