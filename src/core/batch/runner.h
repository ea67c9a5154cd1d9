#pragma once

#include "process/process.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// A batch on AutoCAD's console: one console per drawing, several at once, each with a time limit.

// Where a drawing of a batch stands. The order is that of the summary's counts.
enum class DrawingState {
    NotStarted, // "non lancé": the batch ended or was stopped before its turn
    Running,    // a console works on it
    Succeeded,  // "réussi": the console ended with code 0
    Failed,     // "échec": another code, or the console could not be started
    TimedOut,   // "délai dépassé": ended at the time limit
    Stopped,    // "arrêté": ended because the user stopped the batch
};

// One drawing of a batch and what became of it.
struct DrawingRun {
    std::string folder; // as the list names it, ending in its separator
    std::string name;
    DrawingState state = DrawingState::NotStarted;
    long long exitCode = 0; // of a console that ended by itself
    std::string reason;     // why it failed without an exit code: not started, or no code read
    std::chrono::system_clock::time_point startedAt{};
    double seconds = 0;     // how long its console ran
    std::string output;     // what the console wrote, in UTF-8
    bool outputCut = false; // the console wrote more than was kept
    std::string path() const { return folder + name; }
};

// What a batch runs.
struct BatchRequest {
    std::vector<DrawingRun> drawings; // in list order, all NotStarted
    std::string consolePath;          // accoreconsole.exe
    std::string scriptPath;           // the console script, the same for every drawing
    std::string language;             // given with /l; empty: no /l
    int workers = 2;                  // consoles at once, 1 to 16
    std::chrono::seconds timeout{600};
};

// Steers a running batch from another thread: no more starts, and the running consoles ended.
struct BatchControl {
    std::atomic<bool> noMoreStarts{false};
    std::atomic<bool> endRunning{false};
};

// Told of a batch's progress, from the batch's own threads (one call at a time).
class BatchObserver {
public:
    virtual ~BatchObserver() = default;
    virtual void drawingStarted(std::size_t index, const DrawingRun& run) = 0;
    virtual void drawingFinished(std::size_t index, const DrawingRun& run) = 0;
};

// Runs the batch: up to request.workers consoles at once, each started as ConsoleStart words it,
// ended with everything it started at the time limit, and every drawing run at most once, in list
// order of starting. Returns when every console has ended, with every drawing's outcome (those
// never started NotStarted). control may stop it from another thread.
std::vector<DrawingRun> RunBatch(const BatchRequest& request, BatchObserver& observer,
                                 BatchControl& control);

// The counts of a batch, by state.
struct BatchCounts {
    int notStarted = 0;
    int running = 0;
    int succeeded = 0;
    int failed = 0;
    int timedOut = 0;
    int stopped = 0;
    int finished() const { return succeeded + failed + timedOut + stopped; }
};
BatchCounts CountStates(const std::vector<DrawingRun>& runs);

// The drawings to run again: those failed, timed out, stopped or never started, as they were
// before they ran.
std::vector<DrawingRun> DrawingsToRunAgain(const std::vector<DrawingRun>& runs);

} // namespace pilotrame
