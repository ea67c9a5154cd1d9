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
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
        Stop();
        return TRUE;
    }
    return FALSE;
}
#else
void OnSignal(int) {
    Stop();
}
#endif

} // namespace

void StopOnInterrupt(BatchControl& control) {
    g_interrupted = false;
    g_control = &control;
#ifdef _WIN32
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
