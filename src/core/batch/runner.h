#pragma once

#include "base/error.h"
#include "check/drawingcheck.h"
#include "process/childprocess.h"
#include "process/process.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// A batch on AutoCAD's console: one console per drawing, several at once, each with a time limit.

// Where a drawing of a batch stands. The order is that of the summary's counts.
enum class DrawingState {
    NotStarted,  // "non lancé": the batch ended or was stopped before its turn
    Running,     // a console works on it
    Succeeded,   // "réussi": the console ended with code 0, no failure message, every save made
    ScriptError, // "erreur de script": code 0, but a failure message in the output or a save the
                 // script asks for that did not happen
    Failed,      // "échec": another code, or the console could not be started
    TimedOut,    // "délai dépassé": ended at the time limit
    Stopped,     // "arrêté": ended because the user stopped the batch
    NotReady,    // "non prêt": left out at the check of the drawings (problem says why), never
                 // started
};

// One drawing of a batch and what became of it.
struct DrawingRun {
    std::string folder; // as the list names it, ending in its separator
    std::string name;
    std::string scriptPath; // the drawing's own console script; empty: the batch's
    DrawingState state = DrawingState::NotStarted;
    long long exitCode = 0; // of a console that ended by itself
    // Failed without an exit code: how its console ended (NotStarted, ExitUnknown) and why.
    std::optional<ChildOutcome> noExitCode;
    std::chrono::system_clock::time_point startedAt{};
    double seconds = 0;         // how long its console ran
    std::string failureMessage; // ScriptError: the failure message found in the output
    std::string unsavedFile;    // ScriptError without a message: the file the script did not save
    std::string outputTail;     // a drawing that did not succeed: the last KiB of its output
    std::optional<Error> logFailure;                  // its log could not be written whole
    DrawingProblem problem = DrawingProblem::Missing; // NotReady: why
    std::string path() const { return folder + name; }
};

// What a batch runs.
struct BatchRequest {
    std::vector<DrawingRun> drawings; // in list order, NotStarted, or NotReady: never started
    std::string consolePath;          // accoreconsole.exe
    std::string scriptPath;           // the console script of every drawing without its own
    std::string language;             // given with /l; empty: no /l
    int workers = 2;                  // consoles at once, 1 to 16
    std::chrono::seconds timeout{600};
    // The messages that make a drawing whose console ended with code 0 an "erreur de script".
    std::vector<std::string> failureMessages;
    // Where each drawing's log is written as its console runs (LogName); empty: no logs.
    std::string logFolder;
};

// Steers a running batch from another thread: no more starts, and the running consoles ended;
// holdStarts keeps new consoles from starting while it is set (while a question is asked), and
// the batch goes on when it is cleared.
struct BatchControl {
    std::atomic<bool> noMoreStarts{false};
    std::atomic<bool> endRunning{false};
    std::atomic<bool> holdStarts{false};
};

// Told of a batch's progress, from the batch's own threads (one call at a time).
class BatchObserver {
public:
    virtual ~BatchObserver() = default;
    virtual void drawingStarted(std::size_t index, const DrawingRun& run) = 0;
    virtual void drawingFinished(std::size_t index, const DrawingRun& run) = 0;
};

class JournalWords; // batch/journal.h

// Runs the batch: up to request.workers consoles at once, each started as ConsoleStart words it,
// ended with everything it started at the time limit, and every drawing run at most once, in list
// order of starting; a drawing NotReady is passed over and stays so. Each console's output goes to
// the drawing's log as it comes (what it holds reaches the file once a second and when the
// console ends), and only its end is kept in memory. A console that ends with code 0 has succeeded
// only when its output holds none of request.failureMessages and every file its script saves
// (ScriptSaves) was written while it ran. Returns when every console has ended, with every
// drawing's outcome (those never started NotStarted). control may stop it from another thread.
// The logs are written in words.
std::vector<DrawingRun> RunBatch(const BatchRequest& request, const JournalWords& words,
                                 BatchObserver& observer, BatchControl& control);

// The counts of a batch, by state.
struct BatchCounts {
    int notStarted = 0;
    int running = 0;
    int succeeded = 0;
    int scriptErrors = 0;
    int failed = 0;
    int timedOut = 0;
    int stopped = 0;
    int notReady = 0;
    // The drawings that ran and ended; the NotReady ones never run.
    int finished() const { return succeeded + scriptErrors + failed + timedOut + stopped; }
    // The drawings of a batch of total that run or may.
    int toRun(int total) const { return total - notReady; }
};
BatchCounts CountStates(const std::vector<DrawingRun>& runs);

// The drawings to run again: those that ended in a script error, failed, timed out, were stopped,
// never started or were not ready, as they were before they ran (NotStarted, their own scripts
// kept).
std::vector<DrawingRun> DrawingsToRunAgain(const std::vector<DrawingRun>& runs);

// Leaves out of drawings each one that is the same file as one listed before, whatever the paths
// that reach it (FileIdentity: "x/../a/", a link to its folder, another name of a hard link), or,
// for a file that cannot be reached, the same path once its folder and name are made plain
// (DrawingKey), so that no drawing is run twice at once and two consoles never save one file
// together. Returns how many were left out.
std::size_t RemoveDuplicateDrawings(std::vector<DrawingRun>& drawings);

// The key under which RemoveDuplicateDrawings compares the path of a file it cannot reach:
// repeated separators and "." folders removed; on Windows, "/" taken for "\" and letters compared
// without regard to case.
std::string DrawingKey(std::string_view path);

} // namespace pilotrame
