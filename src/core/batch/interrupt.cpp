#include "batch/interrupt.h"

#include <atomic>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

namespace pilotrame {

namespace {

// Read and written from a signal handler: only lock-free atomics.
std::atomic<BatchControl*> g_control{nullptr};
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<BatchControl*>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);

void Stop() {
    g_interrupted = true;
    if (BatchControl* control = g_control.load()) {
        control->noMoreStarts = true;
        control->endRunning = true;
    }
}

#ifdef _WIN32
// Windows ends the program once the handler of a closed console, a log-off or a shutdown
// returns, and some five seconds after the event at the latest: the handler holds it until the
// run has ended its consoles and written its journal, within that time.
constexpr DWORD kEndOfSessionWaitMs = 4500;

// Set while no run is going on, and once the run has written its journal.
HANDLE RunEnded() {
    static const HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    return event;
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
    return HandleConsoleEvent(event) ? TRUE : FALSE;
}
#else
void OnSignal(int) {
    Stop();
}
#endif

} // namespace

#ifdef _WIN32
bool HandleConsoleEvent(unsigned long event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        Stop();
        return true;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        Stop();
        WaitForSingleObject(RunEnded(), kEndOfSessionWaitMs);
        return true;
    default:
        return false;
    }
}
#endif

void StopOnInterrupt(BatchControl& control) {
    g_interrupted = false;
    g_control = &control;
#ifdef _WIN32
    ResetEvent(RunEnded());
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
#endif
}

void StopOnInterruptEnd() {
#ifdef _WIN32
    // Before the handler is taken away: the system may hold its list while a handler waits.
    g_control = nullptr;
    SetEvent(RunEnded());
    SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
#else
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
#endif
    g_control = nullptr;
}

bool Interrupted() {
    return g_interrupted;
}

} // namespace pilotrame
