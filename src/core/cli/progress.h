#pragma once

#include "batch/runner.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

namespace pilotrame {

// The line the command line prints when a drawing is finished: "[12/200] réussi   A01.dwg   3,2 s".
std::string FinishedDrawingLine(int finished, int total, const DrawingRun& run);

// The line of --run when a drawing starts, where standard error is no terminal:
// "lancé   A01.dwg   (3/200 lancés)".
std::string StartedDrawingLine(int started, int total, const DrawingRun& run);

// The status line of --run on a terminal: finished out of all, the count of each state met so
// far, the time spent and the time left.
std::string StatusLineText(const BatchCounts& counts, int total, double elapsedSeconds);

// What --run shows on standard error while its batch runs. On a terminal of columns columns: a
// status line redrawn in place every second and at every start and end (StatusLineText, cut to
// the width of the terminal), with the line of each finished drawing printed above it. Elsewhere
// (columns 0: a file, a pipe): a line when a drawing starts and one when it ends. Output that
// cannot be written (a closed pipe) is dropped: it never stops the run.
class RunProgress final : public BatchObserver {
public:
    RunProgress(std::ostream& err, int columns, int total);
    ~RunProgress() override;
    RunProgress(const RunProgress&) = delete;
    RunProgress& operator=(const RunProgress&) = delete;

    void drawingStarted(std::size_t index, const DrawingRun& run) override;
    void drawingFinished(std::size_t index, const DrawingRun& run) override;
    // The batch is over: the status line is cleared for what follows.
    void end();

private:
    void redraw(); // with m_mutex held
    void clearStatus();

    std::ostream& m_err;
    const int m_columns;
    const int m_total;
    const std::chrono::steady_clock::time_point m_began = std::chrono::steady_clock::now();
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_ended = false;
    BatchCounts m_counts;
    int m_started = 0;
    std::size_t m_shown = 0; // characters of the status line on the terminal
    std::thread m_ticker;
};

// For as long as it lives, a write to a closed pipe fails rather than ending the program (POSIX:
// SIGPIPE ignored, then set back): `pilotrame --generate --run … 2>&1 | head -3` runs to its end.
class ClosedPipesIgnored {
public:
    ClosedPipesIgnored();
    ~ClosedPipesIgnored();
    ClosedPipesIgnored(const ClosedPipesIgnored&) = delete;
    ClosedPipesIgnored& operator=(const ClosedPipesIgnored&) = delete;

private:
    bool m_restore = false;
    void (*m_previous)(int) = nullptr;
};

} // namespace pilotrame
