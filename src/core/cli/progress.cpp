#include "cli/progress.h"

#include "base/numbers.h"
#include "base/utf8.h"
#include "texts/journal.h"
#include "texts/runs.h"

#include <csignal>

namespace pilotrame {

namespace {

constexpr std::chrono::seconds kTick{1};

// The text cut to at most columns characters.
std::string CutTo(const std::string& text, std::size_t columns, std::size_t& characters) {
    characters = 0;
    std::size_t i = 0;
    while (i < text.size() && characters < columns) {
        NextCodePoint(text, i);
        ++characters;
    }
    return text.substr(0, i);
}

} // namespace

std::string FinishedDrawingLine(int finished, int total, const DrawingRun& run) {
    std::string line = "[" + std::to_string(finished) + "/" + std::to_string(total) + "] " +
                       std::string(DrawingStateText(run.state)) + "   " + run.name + "   " +
                       DurationText(run.seconds);
    if (const std::string detail = DrawingFailureDetail(run); !detail.empty())
        line += "  " + detail;
    return line;
}

std::string StartedDrawingLine(int started, int total, const DrawingRun& run) {
    return "lancé   " + run.name + "   (" + std::to_string(started) + "/" + std::to_string(total) +
           " lancés)";
}

std::string StatusLineText(const BatchCounts& counts, int total, double elapsedSeconds) {
    std::string line = "[" + std::to_string(counts.finished()) + "/" + std::to_string(total) + "]";
    const auto count = [&line](DrawingState state, int n, bool always = false) {
        if (n > 0 || always)
            line += "  " + std::string(DrawingStateText(state)) + " " + std::to_string(n);
    };
    count(DrawingState::Succeeded, counts.succeeded, true);
    count(DrawingState::ScriptError, counts.scriptErrors);
    count(DrawingState::Failed, counts.failed);
    count(DrawingState::TimedOut, counts.timedOut);
    count(DrawingState::Stopped, counts.stopped);
    count(DrawingState::NotReady, counts.notReady);
    count(DrawingState::Running, counts.running);
    line += "  " + ClockText(elapsedSeconds);
    const int finished = counts.finished();
    if (finished > 0 && finished < total)
        line += ", reste " + ClockText(elapsedSeconds / finished * (total - finished));
    return line;
}

RunProgress::RunProgress(std::ostream& err, int columns, int total)
    : m_err(err), m_columns(columns), m_total(total) {
    m_counts.notStarted = total;
    if (m_columns <= 0)
        return;
    m_ticker = std::thread([this] {
        std::unique_lock lock(m_mutex);
        while (!m_wake.wait_for(lock, kTick, [this] { return m_ended; }))
            redraw();
    });
}

RunProgress::~RunProgress() {
    end();
}

void RunProgress::end() {
    {
        std::lock_guard lock(m_mutex);
        if (m_ended)
            return;
        m_ended = true;
        clearStatus();
        m_err.flush();
    }
    m_wake.notify_all();
    if (m_ticker.joinable())
        m_ticker.join();
}

void RunProgress::clearStatus() {
    if (m_shown == 0)
        return;
    m_err << '\r' << std::string(m_shown, ' ') << '\r';
    m_shown = 0;
}

void RunProgress::redraw() {
    if (m_columns <= 0 || m_ended)
        return;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_began).count();
    std::size_t characters = 0;
    const std::string status = CutTo(StatusLineText(m_counts, m_total, elapsed),
                                     static_cast<std::size_t>(m_columns - 1), characters);
    // Spaces over what a longer line before left.
    m_err << '\r' << status << std::string(m_shown > characters ? m_shown - characters : 0, ' ')
          << std::flush;
    m_shown = characters;
}

void RunProgress::drawingStarted(std::size_t, const DrawingRun& run) {
    std::lock_guard lock(m_mutex);
    ++m_started;
    --m_counts.notStarted;
    ++m_counts.running;
    if (m_columns > 0)
        redraw();
    else
        m_err << StartedDrawingLine(m_started, m_total, run) << '\n' << std::flush;
}

void RunProgress::drawingFinished(std::size_t, const DrawingRun& run) {
    std::lock_guard lock(m_mutex);
    --m_counts.running;
    const BatchCounts one = CountStates({run});
    m_counts.succeeded += one.succeeded;
    m_counts.scriptErrors += one.scriptErrors;
    m_counts.failed += one.failed;
    m_counts.timedOut += one.timedOut;
    m_counts.stopped += one.stopped;
    clearStatus();
    m_err << FinishedDrawingLine(m_counts.finished(), m_total, run) << '\n' << std::flush;
    redraw();
}

ClosedPipesIgnored::ClosedPipesIgnored() {
#ifdef SIGPIPE
    m_previous = std::signal(SIGPIPE, SIG_IGN);
    m_restore = m_previous != SIG_ERR;
#endif
}

ClosedPipesIgnored::~ClosedPipesIgnored() {
#ifdef SIGPIPE
    if (m_restore)
        std::signal(SIGPIPE, m_previous);
#endif
}

} // namespace pilotrame
