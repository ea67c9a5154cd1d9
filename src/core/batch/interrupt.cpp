#include "batch/interrupt.h"

#include <atomic>

#ifdef _WIN32
#include <thread>

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

// A program that loads user32.dll, as this one does for its windows, gets no log-off nor
// shutdown event on its console: Windows asks its top-level windows instead
// (WM_QUERYENDSESSION), and ends it once they answer. A hidden window of the run's own, with a
// thread of its own, takes the question as the console's handler takes a log-off.
constexpr wchar_t kSessionWindowClass[] = L"PilotrameSessionEnd";

LRESULT CALLBACK OnSessionMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_QUERYENDSESSION:
        HandleConsoleEvent(CTRL_LOGOFF_EVENT);
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

std::thread g_sessionWatch;
HWND g_sessionWindow = nullptr;

void WatchSessionEnd() {
    const HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_sessionWatch = std::thread([ready] {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW type{};
        type.lpfnWndProc = OnSessionMessage;
        type.hInstance = instance;
        type.lpszClassName = kSessionWindowClass;
        RegisterClassW(&type); // fails harmlessly when an earlier run registered it
        // Never shown; not a message-only window, which would get no broadcast. Without a
        // desktop (a service) there is none, and the console's events stand alone.
        g_sessionWindow = CreateWindowExW(0, kSessionWindowClass, L"", WS_OVERLAPPED, 0, 0, 0, 0,
                                          nullptr, nullptr, instance, nullptr);
        SetEvent(ready);
        MSG message;
        while (g_sessionWindow && GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
    });
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
}

void StopWatchingSessionEnd() {
    if (g_sessionWindow)
        PostMessageW(g_sessionWindow, WM_CLOSE, 0, 0);
    if (g_sessionWatch.joinable())
        g_sessionWatch.join();
    g_sessionWindow = nullptr;
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
    WatchSessionEnd();
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
    StopWatchingSessionEnd();
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
