#pragma once

#include "batch/journal.h"
#include "batch/runner.h"
#include "check/drawingcheck.h"
#include "process/childprocess.h"

#include <string>
#include <string_view>

namespace pilotrame {

// The words of the journal of console runs (its logs and resume.csv), which the window and the
// command line show alike.

// "réussi", "erreur de script", "échec", "délai dépassé", "arrêté", "non lancé", "en cours", "non
// prêt": the words of the logs, of resume.csv, and of the window and the command line.
std::string_view DrawingStateText(DrawingState state);

// Why AutoCAD could not work on a drawing: "introuvable", "en lecture seule", "ouvert ailleurs
// (fichier .dwl présent)", "pas un plan AutoCAD", "format plus récent", "illisible"; the reason in
// full is DescribeIssue's (verification.h). The words of the check's window, of the command line
// and of resume.csv.
std::string_view DescribeProblem(DrawingProblem problem);

// An exit code as the window, the journal and the command line show it: in decimal, but a
// Windows status code (0xC0000000 and above: a crash) in hexadecimal, with the name of the usual
// ones: "0xC0000005 violation d'accès".
std::string ExitCodeText(long long code);

// Why a watched program could not be started or gave no exit code: the step that failed and the
// system's words ("erreur 5" where it has none).
std::string ChildFailureText(const ChildOutcome& outcome);

// Why a drawing did not succeed: "code de sortie 4", why its console could not be started or its
// code read, the failure message found in its output, the file its script did not save, or its
// problem at the check; empty for any other state.
std::string DrawingFailureReason(const DrawingRun& run);

// DrawingFailureReason in brackets after a space, " (code de sortie 4)"; empty when it is.
std::string DrawingFailureDetail(const DrawingRun& run);

// The words the journal writes its files with.
const JournalWords& JournalTexts();

} // namespace pilotrame
