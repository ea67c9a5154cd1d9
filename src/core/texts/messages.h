#pragma once

#include "base/error.h"
#include "batch/console.h"
#include "batch/journal.h"
#include "batch/runsettings.h"
#include "check/drawingcheck.h"
#include "job/jobfile.h"

#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// Every text the program shows about a failure or asks before acting, in one place. The windows
// show these; they never compose or compare message texts themselves.

inline constexpr std::string_view kErrorTitle = "ERREUR !!";
inline constexpr std::string_view kWarningTitle = "Avertissement";
inline constexpr std::string_view kInformationTitle = "INFORMATION";
inline constexpr std::string_view kProgramTitle = "Pilotrame";

// The French description of an error number, as shown after the number.
std::string DescribeErrorCode(ErrorCode code);

// "13 Incompatibilité de type": the number, one space, the description.
std::string NumberAndDescription(const Error& error);

// "Liste des fichiers sélectionnés en lecture seule ou inexistant: ", CR LF and the list path.
std::string ListFailureText(const std::string& listPath);

// The text for a list that could not be read: for a faulty one (FileBeforeFolder, LineTooLong),
// the list, the line and what is wrong with it; else ListFailureText.
std::string ListReadFailureText(const Error& error);

// The French name of a box, as its window shows it: "EFFACER, 1er point X", "SCRIPT FICHIER,
// ligne 2", "tableau, ligne 3, colonne 2" …; empty for Box::None.
std::string BoxName(const BoxRef& box);
// The name of the box an error concerns; its detail when it names no box (a key of a file).
std::string BoxName(const Error& error);

// The text of the "ERREUR !!" box for a failed generation of the script: what failed, and the
// file or box concerned, then, since the script is written whole or not at all, "Le script
// précédent est resté tel qu'il était." (but where the script's path names no file).
std::string GenerationFailureText(const Error& error);

// The text of the box for a file list that could not be written.
std::string ListWriteFailureText(const Error& error);

// The text of the box for the settings file that could not be read or saved: the error number,
// its description and the file.
std::string SettingsFailureText(const Error& error);

// The text of the box for any other failure of a file operation: what the cause or the operation
// says, the path, the error number and its description.
std::string FileFailureText(const Error& error);

// Batch renaming: the question asked before, and the failure of a file that is read-only or
// missing that ends it. renamedBefore is the number of files renamed before the failure.
inline constexpr std::string_view kRenameConfirmation =
    "Attention !! Vos fichiers sélectionnés vont être renomés. ";
std::string RenameFailureText(const std::string& oldPath, int renamedBefore);

// Advanced selection.
inline constexpr std::string_view kNoSubFolderText = "Aucun sous répertoire";
inline constexpr std::string_view kDriveNotReadyText = "Lecteur non prêt";
inline constexpr std::string_view kDriveNotReadyTitle = "Erreur de lecture";
// The folders a walk could not read, one per line.
std::string UnreadableFoldersText(const std::vector<std::string>& folders);
// While a walk lasts: "Recherche des fichiers…" and the folders walked so far.
std::string WalkProgressText(int folders);
// The sub-folders a walk collected, as the main window's count shows them: "12 Répertoires".
std::string FolderCountText(int count);

// The files left out of a selection because their name holds a character the ANSI code page
// cannot hold, one per line.
std::string NamesOutsideAnsiText(const std::vector<std::string>& paths);

// Text insertion.
inline constexpr std::string_view kTooManyColumnsText = "Il y a trop de colonne";
inline constexpr std::string_view kTooManyColumnsTitle = "Erreur";

// --- Main window and configuration dialog ---

// A script file chosen in the main window that could not be read, or saved.
std::string ScriptFileReadFailureText(const Error& error);
std::string ScriptFileSaveFailureText(const Error& error);
// The question asked before a save replaces an existing file.
std::string ReplaceFileQuestion(const std::string& path);
// The question asked before settings are saved cut to 60 characters; fieldNames name the values
// that are too long.
std::string TooLongSettingsQuestion(const std::vector<std::string>& fieldNames);
// A drive of the configuration dialog's folder picker that cannot be read.
inline constexpr std::string_view kDriveUnavailableText = " Lecteur non disponible ";

// ---- Job files and the command line ----

// The text of the box for a job file that could not be loaded: the file and, for a faulty text,
// the line and what is wrong with it ("ligne 3 : ..."), else the error number and description.
std::string JobFileFailureText(const Error& error);

// The text of the box for a job file that could not be saved.
std::string JobFileSaveFailureText(const Error& error);

// The keys of the job file at path that this version does not know, with their lines: kept and
// saved again, but not read. The window shows it once when it opens the job; the command line
// prints it as a warning.
std::string UnknownJobKeysText(const std::string& path, const std::vector<JobKeyLine>& keys);

// Arguments that the command line refuses: what is wrong, and where the help is.
std::string CommandLineFailureText(const Error& error);

// Why --generate refuses a job that has "RENOMMER FICHIERS" ticked in its operation panel.
inline constexpr std::string_view kRenameNotFromCommandLineText =
    "Le travail demande de renommer les fichiers (« RENOMMER FICHIERS » coché) : "
    "la ligne de commande ne renomme pas de fichiers. Aucun script n'a été "
    "écrit.";

// "Executer script" on a list that leaves no drawing to process: AutoCAD is not started.
inline constexpr std::string_view kNothingToProcessText =
    "Aucun plan à traiter : le script n'ouvre aucun plan, AutoCAD n'a pas été démarré.";

// AutoCAD could not be started on the script (a failure of StartAutocad): why, its program and
// where it is chosen; an empty program means none is configured.
std::string AutocadNotStartedText(const Error& error);

// ---- "Executer script", from the window and the command line ----

// Why it failed: the program that could not be started (AutoCAD, or the console program of a
// run on the console), else what GenerationFailureText says; that the previous script was kept
// only where Pilotrame.scr was to be written (AutoCAD's engine, no renaming).
std::string ExecuteFailureText(const Error& error, Engine engine, bool renaming = false);
// A list that leaves no drawing to process: nothing was started.
std::string_view NothingToExecuteText(Engine engine);
// Why nothing was started after the check of the drawings, as the command line says it.
std::string DrawingsNotReadyText(const DrawingCheck& check, Engine engine);

// ---- Command line: the check of the drawings before --execute starts AutoCAD ----

// Why AutoCAD was not started: how many drawings were checked and how many are not ready, then
// issueLines (one "path<TAB>reason" line per drawing, CR LF ended), then that AutoCAD was not
// started.
std::string DrawingsNotReadyText(int checked, int problems, const std::string& issueLines);

// ---- Configuration dialog and drawing check window ----

// The title of the question asked before settings are saved cut to 60 characters.
inline constexpr std::string_view kConfigurationTitle = "Configuration";
// How that question names the text setting of slotNumber (0 to 13); empty for any other number.
std::string_view TextSettingName(int slotNumber);

// The check as text, for the clipboard: one line per drawing, its path, a tab and its reason
// (DescribeIssue).
std::string DrawingCheckText(const DrawingCheck& check);

// "3 plans vérifiés, 2 problèmes": the drawings checked and those AutoCAD could not work on,
// the singular below two.
std::string DrawingCheckSummaryText(int checked, int problems);

// ---- Files that are not ordinary files, too large, or damaged ----
// A pipe, a device or a folder where a file was expected, a file larger than its kind can hold,
// a settings file cut short.

// The text for a failure of cause NotAFile, TooLarge or Damaged: the file, what is wrong with it,
// and what was therefore not done (not read, not loaded, not saved). Empty for any other cause.
std::string UnusableFileText(const Error& error);

// The box shown when the settings could not be loaded at start-up or when the configuration
// opens: for a damaged file, that the missing settings took their first-run values and how to
// write the file whole again; for a file that is no ordinary file, UnusableFileText; else the
// error number and its description.
std::string SettingsLoadFailureText(const Error& error);
// (end of the section on files)

// ---- Job files ----
// What the job-file format refuses beyond the faults of its lines, and how a job is loaded.

// Why a job file was refused, for the faults that concern the file as a whole or a value's
// length rather than the shape of a line: "ligne N : " comes before each.
std::string JobValueTooLongText(const Error& error);
std::string JobCutShortText(const Error& error);
std::string JobTextAfterEndText(const Error& error);
// (end of the section on job files)

// ---- Drag and drop ----
// What the main window tells about dropped files and folders it did not take.

struct DroppedItem; // selection/droppeditems.h

// The items of a drop that were not taken, one per line with why, then how to take what can be
// taken another way (a folder dropped alone, a file saved on this computer first).
std::string DroppedItemsNotTakenText(const std::vector<DroppedItem>& items);
// (end of the section on drag and drop)

// ---- Renaming, patterns, boxes and cells ----
// Renaming that would lose or hide files, characters a script cannot carry, tables and grids
// that run past their limits.

// A box or cell (detail) holding a character (text) that the ANSI code page cannot hold
// (NotInCodePage): "La case « REMPLACER ATTRIBUT, ancienne valeur » contient un caractère
// qu'AutoCAD ne recevrait pas : « ☺ »".
std::string CharacterOutsideAnsiText(const Error& error);

// Steps that take a table or a grid past the positions a script can place (PastTheLimit):
// detail names the table or grid, text is the step as typed, number the limit passed; for a
// table, line is its first row past the limit, for a grid it is 0.
std::string PastTheLimitText(const Error& error);

// A symbol of F1 that cannot be inserted because its list line has no file name
// (NotADrawingName with an empty detail): path is the folder the line comes under, line the
// line of the list.
std::string NamelessListLineText(const Error& error);

// The text of the box for a renaming run that stopped on failure (RenameReport::failure), after
// renamedBefore files were renamed: why, the file, and how many were renamed.
std::string RenameStopText(const Error& failure, int renamedBefore);

// (end of the section on renaming, boxes and cells)

// ---- Batch runs on AutoCAD's console ----

// The line the command line prints when a drawing is finished: "[12/200] réussi   A01.dwg   3,2 s".
std::string FinishedDrawingLine(int finished, int total, const DrawingRun& run);

// The line of --run when a drawing starts, where standard error is no terminal:
// "lancé   A01.dwg   (3/200 lancés)".
std::string StartedDrawingLine(int started, int total, const DrawingRun& run);

// The status line of --run on a terminal: finished out of all, the count of each state met so
// far, the time spent and the time left.
std::string StatusLineText(const BatchCounts& counts, int total, double elapsedSeconds);

// Why a console run does not start when "REMPLACE TEXTE (vba)" is ticked.
inline constexpr std::string_view kConsoleHasNoVbaText =
    "La console AutoCAD n'exécute pas les macros VBA : « REMPLACE TEXTE (vba) » est coché, "
    "l'exécution sur la console n'a pas été lancée. Décochez-le, ou choisissez le moteur "
    "« AutoCAD, un script pour tous les plans » dans la configuration.";

// Why a console run does not start when its job holds what the console cannot run: each line
// with its box, its command and why, then what to do.
std::string ConsoleRefusalsText(const std::vector<ConsoleRefusal>& refusals);

// The drawings --skip-unready leaves out: the check's count, then each drawing with its problem.
std::string SkippedDrawingsText(const DrawingCheck& check);

// How many drawings listed again under the same path were left out; empty for none.
std::string DuplicatesLeftOutText(int duplicates);

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
inline constexpr std::string_view kBatchWindowTitle = "Exécution des plans";

// The settings of the run (execution.txt) could not be read or saved: the file and what is wrong.
std::string RunSettingsFailureText(const Error& error);

// The summary of a finished batch on the command line: the counts of each state (not ready only
// when there are), the time it took, the run's folder of the journal and, when some drawing did not succeed, where they are
// listed.
std::string BatchSummaryText(const BatchCounts& counts, double elapsedSeconds,
                             const std::string& runFolder);

// ---- The command line's --run ----
// What --run says before, while and after it runs a batch on AutoCAD's console.

// execution.txt could not be read, or is faulty: the file and what is wrong; nothing ran.
std::string RunSettingsRefusedText(const Error& error);

// The console program is no file: nothing ran.
std::string ConsoleNotFoundText(const std::string& program);

// The console program is a file that cannot be run (not executable, or no program): nothing ran.
std::string ConsoleNotExecutableText(const std::string& program);

// Why no console was started: the check of the drawings, as DrawingsNotReadyText says it.
std::string DrawingsNotReadyForRunText(int checked, int problems, const std::string& issueLines);

// A list that leaves no drawing to run.
inline constexpr std::string_view kNothingToRunText =
    "Aucun plan à traiter : la liste ne laisse aucun plan, aucune console n'a été lancée.";

// Before the batch: the console, the drawings to run (not those not ready), how many at once, the
// time limit, the journal.
std::string BatchStartText(const BatchRequest& batch, const std::string& runFolder);

// The run was stopped by Ctrl-C or a request to end the program.
inline constexpr std::string_view kRunInterruptedText =
    "Exécution arrêtée : aucune nouvelle console n'a été lancée, celles en cours ont été "
    "arrêtées.";

} // namespace pilotrame
