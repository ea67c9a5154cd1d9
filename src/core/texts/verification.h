#pragma once

#include "check/drawingcheck.h"
#include "rename/renaming.h"
#include "usecases/trial.h"
#include "usecases/verify.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// The texts of the formats of the drawings, of the trial on copies and of --verifier.

// ---- The formats of the drawings ----

// A drawing's format as "Vérification des plans" shows it: "AutoCAD 2018", "AutoCAD 2013 (DXF)",
// "AutoCAD 2018 (DXF binaire)", "DXF, format non indiqué", "DWG AC1040", "DGN"; empty for what is
// no drawing or was not read.
std::string DrawingFormatText(const std::optional<DrawingFormat>& format);

// "3 plans vérifiés, 2 problèmes": the drawings checked and those AutoCAD could not work on,
// the singular below two.
std::string DrawingCheckSummaryText(int checked, int problems);

std::string DrawingCheckText(const DrawingCheck& check);

// Why AutoCAD could not work on the drawing, in full: DescribeProblem, and for a file that is no
// drawing which one it is ("pas un plan AutoCAD (fichier vide)"), for a newer format the AutoCAD
// compared with and the drawing's format ("format plus récent que Autocad 2004 (AutoCAD 2018)").
std::string DescribeIssue(const DrawingIssue& issue, const std::optional<AutocadRelease>& opener);

// ---- The trial on copies ----

inline constexpr std::string_view kTrialTitle = "Essai sur copies";
// The question of how many drawings to try.
inline constexpr std::string_view kTrialCountQuestion =
    "Nombre de plans à essayer : copiés depuis le début de la liste, ils sont traités comme "
    "« Executer script » les traiterait ; les originaux ne sont pas touchés.";

// Why a trial failed: a copy that could not be made, the room it lacks, else ExecuteFailureText.
std::string TrialFailureText(const Error& error, Engine engine);

// The relative external references that do not follow the copies: the folders of originals that
// hold other drawings; empty for none.
std::string SharedFoldersText(const std::vector<std::string>& folders);

// Where the copies of a trial are, and what ran on them: how many, the folder, AutoCAD started on
// them or their console run ended, and SharedFoldersText.
std::string TrialDoneText(const Trial& trial, Engine engine);

// The question asked at the end of a trial in the window: TrialDoneText, then whether to open
// its folder.
std::string OpenTrialFolderQuestion(const Trial& trial, Engine engine);

// ---- The trial of a renaming ----

inline constexpr std::string_view kRenamePreviewTitle = "Essai du renommage";

// Where the renaming would stop and why (the file, the count renamed before), or that every file
// would take its new name; nothing is renamed by a trial.
std::string RenamePreviewStopText(const RenamePreview& preview);

// The preview as text, for the command line and the clipboard: "ancien nom<TAB>nouveau nom", one
// line per listed file (the old name with its folder), then RenamePreviewStopText.
std::string RenamePreviewText(const RenamePreview& preview);

// ---- --verifier ----

// The report of --verifier, one finding a line: "erreur" or "attention", where ("SCRIPT FICHIER,
// ligne 3, colonne 1", a drawing's path) and what, separated by tabs; then a summary line of the
// drawings and the script.
std::string VerificationReportText(const Verification& verification);

} // namespace pilotrame
