#pragma once

#include "base/result.h"
#include "batch/runsettings.h"
#include "rename/renaming.h"
#include "script/drawingsection.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pilotrame {

// A job file ("travail"): everything composed in the main window, so that a batch can be set up
// once and run again, from the window or from the command line, with the settings of the run
// (execution.txt) it was saved with. It holds neither the settings of savescript.txt nor the list
// of drawings.
//
// The format is UTF-8 text of key=value lines, meant to be read and compared by people:
//
//     pilotrame-travail=2
//     mode=operations
//     renommer.haut=0
//     script.texte=
//     purger=1
//     purger.mode=tout
//     ...
//     pilotrame-travail=fin
//
// - The first line names the format and its version. A newer version is refused.
// - Then one key=value per line, in this order (defaults are those of a freshly started window):
//     mode=imprimer|script|operations  Check1 "IMPRIMER", Check10 "SCRIPT FICHIER", or neither
//     renommer.haut=0|1                Check20, the "RENOMMER FICHIERS" of the top row
//     script.texte=TEXT                Text1, the only value that may hold line breaks
//     purger=0|1, purger.mode=bloc|tout
//     zoom=0|1
//     transfert=0|1, transfert.sens=dxf-dwg|dwg-dxf
//     effacer=0|1, effacer.selection=fenetre|trajet|capture,
//         effacer.x1, effacer.y1, effacer.x2, effacer.y2
//     inserer=0|1, inserer.source=presse-papier|fichier, inserer.fichier
//     attribut=0|1, attribut.x1, attribut.y1, attribut.x2, attribut.y2, attribut.ancien,
//         attribut.nouveau
//     renommer=0|1, renommer.regle=supprimer|ajouter|extension, renommer.debut,
//         renommer.longueur, renommer.texte, renommer.extension
//     remplacer-texte=0|1, remplacer-texte.ancien1, remplacer-texte.nouveau1,
//         remplacer-texte.ancien2, remplacer-texte.nouveau2
//     execution.moteur=autocad|console, execution.console, execution.plans-simultanes,
//         execution.delai, execution.langue
//                                      the settings of the run, with the words and values of
//                                      execution.txt; written only when the job carries them
//   then the keys this version does not know, in the order they were read.
// - From version 2 the last line is the closing line "pilotrame-travail=fin", ended by its line
//   break, and nothing follows it: a file cut short by a copy, a full disk or a transfer, at any
//   byte, lacks it and is refused rather than loaded with values missing or cut. Version 1 files
//   have no closing line; they are still read, but a cut in them cannot be told.
// - A key is made of lower-case ASCII letters, digits, ".", "-" and "_". The value is everything
//   after the first "=", spaces included. In values "\\" stands for a backslash, "\n" for a line
//   feed, "\r" for a carriage return and "\t" for a tab; no other escape exists.
// - A single-line value (every value but script.texte, those of keys this version does not know
//   included) holds at most kJobLineValueLimit UTF-16 units, what the window's single-line boxes
//   hold; a longer one is refused, never cut.
// - The coordinates (effacer.x1 to y2, attribut.x1 to y2) and the counts of the renaming
//   (renommer.debut, renommer.longueur) hold numbers, written with a full stop whatever the
//   locale of the writer, so that a job runs the same under any locale (a task scheduler's
//   included). On reading, a full stop or a comma is taken as the decimal separator and the
//   number is kept with a full stop: a version 1 file saved under a French locale, "1,5", still
//   loads everywhere. A numeric box that holds no number is written and read as typed; the
//   generation refuses it.
// - Lines end in LF (CR LF is accepted). A byte-order mark is accepted. Blank lines and lines
//   whose first non-blank character is "#" are comments.
// - A missing key keeps the value of a freshly started window.
// - The settings of the run go together: a job without any execution.* key carries none, and
//   loading it leaves the settings of the run as they are (every version 1 file, and version 2
//   files saved before they were added, are such jobs). A job with some of them carries settings
//   of the run whose missing keys take the defaults, as missing keys of execution.txt do. Their
//   faults name the key: an engine other than "autocad" or "console" (NotAWord), a count of
//   drawings at once or a time limit that is no whole number (NotAWholeNumber) or is outside its
//   range (NumberOutOfRange).

inline constexpr std::string_view kJobFileExtension = ".pilotrame";
inline constexpr std::string_view kJobFormatKey = "pilotrame-travail";
// The version written; every version from 1 up to it is read.
inline constexpr int kJobFormatVersion = 2;
// The value of the closing line "pilotrame-travail=fin" of version 2.
inline constexpr std::string_view kJobClosingValue = "fin";
// The longest single-line value, in UTF-16 units: the length a QLineEdit holds by default.
inline constexpr std::size_t kJobLineValueLimit = 32767;

// Which of the window's three modes the job is in: plot ("IMPRIMER" ticked), script text
// ("SCRIPT FICHIER" ticked) or the operation panel (neither).
enum class JobMode { Plot, ScriptText, Operations };

// The main window's job. "IMPRIMER" (Check1) and "SCRIPT FICHIER" (Check10) are drawing.plot and
// drawing.customScript, where the generation reads them, so that they are held once only.
struct MainJob {
    DrawingJob drawing;        // what every drawing's section gets; the defaults are plot mode
    bool renameSwitch = false; // Check20 "RENOMMER FICHIERS" of the top row
    bool renameTicked = false; // Check4(6) "RENOMMER FICHIERS" of the panel
    RenameJob rename;          // the renaming panel
    // The settings of the run the job was saved with; none: the job leaves them as they are.
    std::optional<RunSettings> run;
    // Keys of a newer version, in file order, values unescaped; written back unchanged.
    std::vector<std::pair<std::string, std::string>> otherKeys;

    // The mode that the two switches give; "IMPRIMER" wins should both be set.
    JobMode mode() const;
    // Sets the two switches for a mode, without the rules of ApplySwitchRules.
    void setMode(JobMode mode);

    bool operator==(const MainJob&) const = default;
};

// The job file text of the job, after ApplySwitchRules, in the current version. A numeric box
// that holds a number as the window reads it, with userDecimalSeparator or a full stop, is
// written with a full stop; any other text as it is. Other keys whose name is malformed or is a
// key of this version are left out.
std::string WriteJobFile(const MainJob& job, char userDecimalSeparator);

// A key of a job file, and the line that gives it.
struct JobKeyLine {
    std::string key;
    int line = 0;

    bool operator==(const JobKeyLine&) const = default;
};

// The job of a job file text. The whole text is checked first: a text with any fault yields
// no job but an Error (cause FaultyText, code InvalidPropertyValue) whose fault says what is
// wrong and whose line is the first faulty line; a version 2 text without its closing line at
// the very end fails as CutShort at the line where it stops, before any other fault is looked
// for. A value that goes into the script (script.texte, inserer.fichier, attribut.*,
// remplacer-texte.*, the coordinates of effacer.*) and holds a control character, line breaks of
// script.texte aside, is refused as ControlInValue (detail: the key, number: the character's
// code). Numbers come back with a full stop. The job returned has had ApplySwitchRules applied.
// The keys it does not know are kept in otherKeys and, when unknownKeys is given, appended to it
// with their lines, so that the user learns that they were not read.
Result<MainJob> ParseJobFile(std::string_view text, std::vector<JobKeyLine>* unknownKeys = nullptr);

// Writes the job file at path as WriteJobFile does; the previous file is replaced only once the
// new one is complete.
Status SaveJobFile(const std::string& path, const MainJob& job, char userDecimalSeparator);

// The largest job file read. A job is some forty lines; its one long value, the script text,
// comes from a script file of at most kScriptTextSizeLimit (1 Mio) of ANSI text, which takes at
// most three times as many bytes in UTF-8 with its escapes. A larger file is no job this program
// wrote, and is refused before it is read: a device or a runaway file would otherwise fill the
// memory.
inline constexpr std::uint64_t kJobFileSizeLimit = 4 * 1024 * 1024;

// Reads the job file at path. A file that cannot be read fails as the file operation does, one
// larger than kJobFileSizeLimit with cause TooLarge; a faulty text fails as ParseJobFile does,
// with path set. The keys it does not know are given as ParseJobFile gives them.
Result<MainJob> LoadJobFile(const std::string& path,
                            std::vector<JobKeyLine>* unknownKeys = nullptr);

} // namespace pilotrame
