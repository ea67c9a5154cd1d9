#pragma once

#include "base/result.h"
#include "selection/filelist.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// The renaming rule of the main window's renaming panel: Option1(9) "Supprimer",
// Option1(10) "Ajouter", Option1(11) "Extension:".
enum class RenameRule { Delete, Insert, Extension };

// The renaming panel as its controls stand when "Executer script" is pressed.
struct RenameJob {
    RenameRule rule = RenameRule::Delete;
    std::string start = "0";           // Text4(10) "Début:"
    std::string length = "1";          // Text4(11) "Longeur:"
    std::string text;                  // Text4(12) "Texte:"
    std::string newExtension = ".xls"; // Text4(13) "Nouveau:"

    bool operator==(const RenameJob&) const = default;
};

// The new name of one file by the rule. The last four characters (not bytes) of the name are its
// extension, the rest its base. Start and length are read as signed 16-bit whole numbers, a
// fraction rounded with halves to the even neighbour; the length box is read by "Supprimer" only.
// Fails with NotANumber or OutOfRange (detail: the box, text: its content) for a start or length
// that is empty, not a number, out of range or below 0, and with InvalidName (detail: the name)
// for a name shorter than four characters or a new name that is empty, "." or "..", or holds a
// separator or a character the system refuses in a name; and with NotInCodePage (detail: the new
// name, text: the character) for a new name holding a character the ANSI code page cannot hold,
// which no list or script could name.
Result<std::string> RenamedName(std::string_view name, const RenameJob& job,
                                char userDecimalSeparator = ',');

// What a renaming run did.
struct RenameReport {
    int renamed = 0;              // files that took a new name; not those that kept theirs
    std::optional<Error> failure; // the failure that ended the run; path is the old path
};

// Renames every file of the list at listPath by the rule, in list order, each within its folder,
// and stops at the first failure. Every new name is made first, as RenamedName makes it: a
// failure there (a box, a listed name too short or not a bare name, a new name that is not one
// or that the code page cannot hold) renames no file at all. A rename never replaces an
// existing file; a read-only file or folder fails even where the process could rename it
// anyway. Renaming a file to its own name succeeds, changes nothing and is not counted. The list
// itself is not changed. position follows the list as the generation's does, except that the
// current file name is cut to its base once split, and stays at the file that failed. A listed
// name that is not a bare name (a separator or a NUL in it, or a NUL in its folder) fails rather
// than reach a file elsewhere. Every failure of a file has the operation RenameFile, keeps its
// code and detail, and has the old path; when what is at fault is another file or a folder, text
// names it: the file that already has the new name (FileExists), the folder that cannot be
// written (PermissionDenied). A new name that Windows could not hold (IsWindowsFileName) is
// refused on every system, before any file is renamed.
RenameReport RenameListedFiles(const std::string& listPath, const RenameJob& job,
                               ListPosition& position, char userDecimalSeparator = ',');

// One listed file and the name a renaming would give it.
struct RenamePreviewRow {
    std::string folder;  // ends in its separator
    std::string name;    // as the list names it
    std::string newName; // empty when the rule cannot make one

    bool operator==(const RenamePreviewRow&) const = default;
};

// What a renaming would do, worked out without renaming anything.
struct RenamePreview {
    std::vector<RenamePreviewRow> rows; // every listed file, in list order
    // Where the renaming would stop, as RenameListedFiles would report it; none when every file
    // would take its new name.
    std::optional<Error> stop;
    std::size_t stopRow = 0; // the row of the file it would stop at
    int renamedBefore = 0;   // the files it would rename before it stops
};

// RenameListedFiles without renaming anything: every listed file with the name the rule makes
// for it, and where the renaming would stop. At the first name that cannot be made it stops
// before any file is renamed, as the run does; else the renames are played in order against the
// files as they stand, each taking its place in the folder for those after it: the first that
// the run would refuse (a file missing or read-only, a folder read-only, a new name that exists)
// is the stop, its failure as the run would give it. A list that cannot be read stops with its
// failure (operation ReadList), with the rows read before.
RenamePreview PreviewRenaming(const std::string& listPath, const RenameJob& job,
                              char userDecimalSeparator = ',');

// Renames the file at from to to, refusing to replace an existing file (FileExists) and refusing
// a read-only file or folder (PermissionDenied). The same path succeeds without touching the
// file, as long as it exists.
Status RenameWithoutReplacing(const std::string& from, const std::string& to);

} // namespace pilotrame
