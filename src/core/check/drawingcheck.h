#pragma once

#include "base/result.h"
#include "check/drawingformat.h"
#include "selection/filelist.h"

#include <optional>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pilotrame {

// Why AutoCAD could not work on a listed drawing. Each would make it answer a prompt that the
// script does not expect, and every later line of the script would go to the wrong prompt.
enum class DrawingProblem {
    Missing,       // no such file, or not an ordinary file
    ReadOnly,      // the file or its folder is read-only
    OpenElsewhere, // AutoCAD's lock file (same base name, ".dwl") lies beside it
    NotADrawing,   // its first bytes are no DWG nor DXF: format.kind says what they are
    NewerFormat,   // a format newer than the AutoCAD that will open it
    Unreadable,    // it cannot be read, by this user or at all
};

struct DrawingIssue {
    DrawingIssue() = default;
    DrawingIssue(std::string atPath, DrawingProblem itsProblem,
                 std::optional<DrawingFormat> itsFormat = std::nullopt)
        : path(std::move(atPath)), problem(itsProblem), format(std::move(itsFormat)) {}

    std::string path; // folder + name, as the script would open it
    DrawingProblem problem = DrawingProblem::Missing;
    // What its first bytes say, when they could be read.
    std::optional<DrawingFormat> format;

    bool operator==(const DrawingIssue&) const = default;
};

// What to do when drawings of the list have problems: the script without them, the script with
// every drawing, nothing at all (the window's three buttons), or the script with every drawing
// for the user to look at but AutoCAD left stopped (the command line, where nobody can answer).
enum class DrawingCheckAnswer { SkipProblems, Continue, Cancel, KeepAutocadStopped };

struct DrawingCheck {
    DrawingCheck() = default;
    DrawingCheck(int count, std::vector<DrawingIssue> found,
                 std::optional<AutocadRelease> comparedWith = std::nullopt)
        : checked(count), issues(std::move(found)), opener(std::move(comparedWith)) {}

    int checked = 0;                  // drawings looked at
    std::vector<DrawingIssue> issues; // in list order, one per drawing at most
    // The AutoCAD the formats were compared with; none when they were not.
    std::optional<AutocadRelease> opener;
};

// Looks at every drawing of the list: exists as an ordinary file, can be read, is a drawing
// (its first bytes, as FormatOfDrawing reads them: a DGN is not looked into), of a format that
// opener opens when it is given, writable with its folder, and without a lock file; the first
// of these that fails is its problem. Writable is what the system allows the user who runs the
// program, and for root, whom it allows everything, also the owner's write permission; on
// Windows it is the file's read-only attribute alone (a folder's attribute forbids nothing and is
// not looked at). Reads no more of a drawing than BytesToRead says.
DrawingCheck CheckDrawings(const FileList& list,
                           const std::optional<AutocadRelease>& opener = std::nullopt);

// The same for the list file at listPath; fails when the list cannot be read.
Result<DrawingCheck> CheckDrawings(const std::string& listPath,
                                   const std::optional<AutocadRelease>& opener = std::nullopt);

} // namespace pilotrame
