#pragma once

#include "base/result.h"
#include "selection/filelist.h"

#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// Why AutoCAD could not work on a listed drawing. Each would make it answer a prompt that the
// script does not expect, and every later line of the script would go to the wrong prompt.
enum class DrawingProblem {
    Missing,       // no such file, or not an ordinary file
    ReadOnly,      // the file or its folder is read-only
    OpenElsewhere, // AutoCAD's lock file (same base name, ".dwl") lies beside it
};

struct DrawingIssue {
    std::string path; // folder + name, as the script would open it
    DrawingProblem problem = DrawingProblem::Missing;

    bool operator==(const DrawingIssue&) const = default;
};

// What to do when drawings of the list have problems: the script without them, the script with
// every drawing, nothing at all (the window's three buttons), or the script with every drawing
// for the user to look at but AutoCAD left stopped (the command line, where nobody can answer).
enum class DrawingCheckAnswer { SkipProblems, Continue, Cancel, KeepAutocadStopped };

struct DrawingCheck {
    int checked = 0;                  // drawings looked at
    std::vector<DrawingIssue> issues; // in list order, one per drawing at most
};

// Looks at every drawing of the list: exists as an ordinary file, writable with its folder, and
// without a lock file. Writable is what the system allows the user who runs the program, and
// for root, whom it allows everything, also the owner's write permission; on Windows it is the
// file's read-only attribute alone (a folder's attribute forbids nothing and is not looked at).
DrawingCheck CheckDrawings(const FileList& list);

// The same for the list file at listPath; fails when the list cannot be read.
Result<DrawingCheck> CheckDrawings(const std::string& listPath);

} // namespace pilotrame
