#pragma once

#include "base/result.h"
#include "check/drawingcheck.h"
#include "config/settings.h"
#include "process/process.h"
#include "script/drawingsection.h"
#include "selection/filelist.h"
#include "usecases/autocadcommand.h"

#include <optional>
#include <string>
#include <unordered_set>

namespace pilotrame {

// The use case behind "Générer script" and "Executer script", and behind --generate on the
// command line: check the listed drawings, write the script, start AutoCAD. Each caller answers
// the questions in its own way: the window with its dialogs, the command line with its rules.

// Asked what to do with the drawings that AutoCAD could not work on.
class DrawingReview {
public:
    virtual ~DrawingReview() = default;
    // Called only when check.issues is not empty.
    virtual DrawingCheckAnswer review(const DrawingCheck& check) = 0;
};

// Everything one script of the main window's job is made from.
struct ScriptRequest {
    std::string listPath;   // the list of drawings
    std::string scriptPath; // Pilotrame.scr in the script folder
    DrawingJob job;
    Settings settings;
    char decimalSeparator = '.'; // the user's, accepted in coordinates

    bool operator==(const ScriptRequest&) const = default;
};

// Why a run stopped short of starting AutoCAD, when it did without failing.
enum class RunStop {
    None,
    Cancelled,        // the answer to the check was Cancel: the script was not touched
    DrawingsNotReady, // the answer was KeepAutocadStopped: the script is written, AutoCAD is not
    NothingToProcess, // the script opens no drawing: AutoCAD is not started on it
    NotForConsole,    // the job holds what AutoCAD's console cannot run: nothing was written
};

// What the answer to a check of the drawings leaves of a run.
struct ReviewedDrawings {
    // Cancelled for Cancel, DrawingsNotReady for KeepAutocadStopped, None otherwise.
    RunStop stop = RunStop::None;
    std::unordered_set<std::string> skipped; // paths left out by SkipProblems
    int leftOut = 0;                         // the drawings of the check they are
};

// Asks review about check when it found drawings with problems; nothing is asked otherwise.
ReviewedDrawings ReviewDrawings(const DrawingCheck& check, DrawingReview& review);

// What a run did.
struct WrittenScript {
    RunStop stop = RunStop::None;
    int sections = 0;                     // drawings the script opens
    int skipped = 0;                      // drawings left out by the answer SkipProblems
    std::optional<DrawingCheck> problems; // the check, when it found drawings with problems
    bool autocadStarted = false;
};

// Checks the drawings of the list when review is given, their formats against the AutoCAD of
// "Version autocad" (ReleaseOfVersionSetting), and asks it about those with problems;
// then, unless it cancels, writes the script of the drawings kept, as GenerateScript does (its
// failures are this one's). A box of the job that cannot be written, or a list that cannot be
// read (operation ReadList), fails before the script is touched.
Result<WrittenScript> WriteScript(const ScriptRequest& request, ListPosition& position,
                                  DrawingReview* review);

// Writes the script as WriteScript does, then starts AutoCAD on it ("Executer script"), unless
// the run stopped (RunStop). Fails as WriteScript does, or as StartAutocad does when AutoCAD
// could not be started.
Result<WrittenScript> WriteScriptAndStartAutocad(const ScriptRequest& request,
                                                 const std::string& scriptFolder,
                                                 ListPosition& position, DrawingReview* review,
                                                 ProgramStarter& starter,
                                                 bool windowsNames = kWindowsNames);

// Starts AutoCAD on the script of scriptFolder, maximised, as BuildAutocadCommand words it. Fails
// (operation StartProgram, detail: the program) when no program is set (FileNotFound), when it
// is a batch file (cause BatchFile, nothing started), or as the starter does.
Status StartAutocad(std::string_view acadPath, std::string_view scriptFolder,
                    ProgramStarter& starter, bool windowsNames = kWindowsNames);

// What the program hands to the system to start AutoCAD on the script of scriptFolder.
ProgramStart AutocadStart(std::string_view acadPath, std::string_view scriptFolder,
                          bool windowsNames = kWindowsNames);

} // namespace pilotrame
