#pragma once

#include "base/error.h"
#include "batch/runner.h"
#include "check/drawingcheck.h"

#include <string>
#include <string_view>

namespace pilotrame {

// The texts of the command line: its arguments refused, and what --generate --run says before and
// after its batch. Its help is in help.h, its progress while the batch runs in cli/progress.h.

// Arguments that the command line refuses: what is wrong, and where the help is.
std::string CommandLineFailureText(const Error& error);

// Why --generate refuses a job that has "RENOMMER FICHIERS" ticked in its operation panel.
inline constexpr std::string_view kRenameNotFromCommandLineText =
    "Le travail demande de renommer les fichiers (« RENOMMER FICHIERS » coché) : "
    "la ligne de commande ne renomme pas de fichiers. Aucun script n'a été "
    "écrit.";

// The drawings --skip-unready leaves out: the check's count, then each drawing with its problem.
std::string SkippedDrawingsText(const DrawingCheck& check);

// Before the batch: the console, the drawings to run (not those not ready), how many at once, the
// time limit, the journal.
std::string BatchStartText(const BatchRequest& batch, const std::string& runFolder);

// The summary of a finished batch on the command line: the counts of each state (not ready only
// when there are), the time it took, the run's folder of the journal and, when some drawing did not
// succeed, where they are listed.
std::string BatchSummaryText(const BatchCounts& counts, double elapsedSeconds,
                             const std::string& runFolder);

// The run was stopped by Ctrl-C or a request to end the program.
inline constexpr std::string_view kRunInterruptedText =
    "Exécution arrêtée : aucune nouvelle console n'a été lancée, celles en cours ont été "
    "arrêtées.";

} // namespace pilotrame
