#pragma once

#include "base/result.h"
#include "rename/renaming.h"
#include "usecases/executescript.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// The use case of "Essai sur copies…" and of --essai: "Executer script" as it stands, on copies of
// the first drawings of the list, in a new folder of the journal, so that a run can be tried
// before a thousand drawings are bet on it. The originals are only ever read.

inline constexpr int kMinTrialDrawings = 1;
inline constexpr int kMaxTrialDrawings = 20;
inline constexpr int kFirstTrialDrawings = 3; // what the window proposes
// The journal's folder of a trial: <date>_<time>-essai/, the copies in its plans/.
inline constexpr std::string_view kTrialFolderSuffix = "-essai";
inline constexpr std::string_view kTrialDrawingsFolderName = "plans";
// The list of the copies, in the trial's folder, as Liste01.txt lists drawings.
inline constexpr std::string_view kTrialListName = "liste.txt";

// A drawing of the trial and its copy.
struct TrialCopy {
    std::string original;
    std::string copy;

    bool operator==(const TrialCopy&) const = default;
};

// What a trial did, when it did not fail.
struct Trial {
    RunStop stop = RunStop::None;
    // The trial's folder, ending in its separator; empty when none was made.
    std::string folder;
    std::vector<TrialCopy> copies;
    // The folders of originals that hold other drawings, which the copies may refer to by a
    // relative path: such references do not follow the copies.
    std::vector<std::string> sharedFolders;
    std::optional<DrawingCheck> problems; // the check, when it found drawings with problems
    int skipped = 0;                      // drawings left out by the answer SkipProblems
    std::vector<ConsoleRefusal> refusals; // NotForConsole: what AutoCAD's console cannot run
    // With the renaming row ticked: what the renaming would do; nothing is renamed nor copied.
    std::optional<RenamePreview> renaming;
    bool autocadStarted = false;
};

// The first count drawings of the list, each once, in list order: the drawings a trial takes.
// Fails as WalkFileList does (operation ReadList).
Result<FileList> TrialDrawings(const std::string& listPath, int count);

// Where the copy of each drawing goes in plansFolder (ending in its separator): under its own
// name, and for a second drawing of the same name (in any letter case) from another folder, in a
// numbered sub-folder, "2", "3" …, each ending in the separator.
std::vector<TrialCopy> PlanTrialCopies(const FileList& drawings, const std::string& plansFolder,
                                       char separator = kNativeSeparator);

// The room a trial asks of the disk for copies of bytes in all: the copies, and as much again for
// what the run makes beside them (a DXF of each, an export …).
std::uint64_t TrialRoomNeeded(std::uint64_t bytes);

// The trial. With the renaming row ticked (request.rename), only PreviewRenaming: nothing is
// renamed, copied nor made. Otherwise, with the same checks as ExecuteScript and before anything
// is made: a list that cannot be read (ReadList), a console program that cannot run, a job the
// console cannot run (NeedsVba; NotForConsole with refusals), a box of the job that cannot be
// written. Then the first count drawings (TrialDrawings) are checked as ExecuteScript checks them
// (OpenerOfRun) and hooks.review answers: Cancel stops (Cancelled), KeepAutocadStopped stops
// (DrawingsNotReady), SkipProblems leaves them out; none left stops with NothingToProcess. Then
// a folder "<date>_<time>-essai" is made in the journal of scriptFolder, each drawing copied into
// its plans/ (PlanTrialCopies, CopyFileWhole: whole or not at all, never an original opened for
// writing; fails with operation CopyDrawing, naming the file) once the disk has the room of
// TrialRoomNeeded (else DiskFull, path: the journal), the copies listed in its kTrialListName;
// and the copies are run: with the console engine hooks.batch runs a plan whose journal is the
// trial's folder, with the AutoCAD engine AutoCAD is started on a Pilotrame.scr of the copies
// written there. Fails as ExecuteScript does otherwise.
Result<Trial> RunTrial(const ExecuteRequest& request, int count, const ExecuteHooks& hooks,
                       std::chrono::system_clock::time_point now);

} // namespace pilotrame
