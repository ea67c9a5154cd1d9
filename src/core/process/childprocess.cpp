#include "process/childprocess.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>

#ifdef _WIN32
#include "base/utf8.h"

#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace pilotrame {

namespace {

using Clock = std::chrono::steady_clock;

// How often a waiting run looks at the stop request: a user who presses "Arrêter" or Ctrl-C sees
// the consoles end within this time. The end of a program itself is seen at once.
constexpr std::chrono::milliseconds kStopPoll{100};

// Hands output on to the sink, when there is one.
void Pass(const ChildOutputSink& onOutput, const char* bytes, std::size_t size) {
    if (onOutput && size > 0)
        onOutput(std::string_view(bytes, size));
}

std::chrono::milliseconds WaitFor(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return std::clamp(left, std::chrono::milliseconds(0), kStopPoll);
}

// How a child still running must end now: Stopped when asked to stop, TimedOut past its
// deadline; nothing while it may go on.
std::optional<ChildEnd> StoppedOrLate(const std::function<bool()>& stopRequested,
                                      Clock::time_point deadline) {
    if (stopRequested && stopRequested())
        return ChildEnd::Stopped;
    if (Clock::now() >= deadline)
        return ChildEnd::TimedOut;
    return std::nullopt;
}

#ifdef _WIN32

std::string SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = length > 0 ? WideToUtf8(std::wstring_view(text, length)) : std::string();
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message.empty() ? "erreur " + std::to_string(error) : message;
}

// The handles a run owns, closed whatever way it ends.
struct Handles {
    HANDLE job = nullptr;
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
    HANDLE outputRead = nullptr;
    HANDLE outputWrite = nullptr;
    HANDLE input = nullptr;
    ~Handles() {
        for (HANDLE handle : {thread, process, outputRead, outputWrite, input, job})
            if (handle && handle != INVALID_HANDLE_VALUE)
                CloseHandle(handle);
    }
};

// Inheritable handles are made and handed to a child one start at a time: a start on another
// thread must not pass them on to its own child, which would keep the pipe open after this
// child ends.
std::mutex& StartMutex() {
    static std::mutex mutex;
    return mutex;
}

bool StartSuspended(const ProgramStart& start, Handles& handles, std::string& reason) {
    std::lock_guard lock(StartMutex());
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (!CreatePipe(&handles.outputRead, &handles.outputWrite, &inheritable, 0)) {
        reason = SystemMessage(GetLastError());
        return false;
    }
    SetHandleInformation(handles.outputRead, HANDLE_FLAG_INHERIT, 0);
    handles.input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inheritable, OPEN_EXISTING, 0, nullptr);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = handles.input;
    startup.hStdOutput = handles.outputWrite;
    startup.hStdError = handles.outputWrite;

    std::wstring commandLine = Utf8ToWide(start.windowsCommandLine.empty()
                                              ? WindowsCommandLine(start.program, start.arguments)
                                              : start.windowsCommandLine);
    const std::wstring program = Utf8ToWide(start.program);
    const std::wstring folder = Utf8ToWide(start.workingFolder);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), commandLine.data(), nullptr,
                        nullptr, TRUE,
                        CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        reason = SystemMessage(GetLastError());
        return false;
    }
    handles.process = process.hProcess;
    handles.thread = process.hThread;
    // The child holds its own copies now: the pipe ends when the child and what it starts end.
    CloseHandle(handles.outputWrite);
    handles.outputWrite = nullptr;
    CloseHandle(handles.input);
    handles.input = nullptr;
    return true;
}

ChildOutcome RunChildHere(const ProgramStart& start, Clock::time_point deadline,
                          const std::function<bool()>& stopRequested,
                          const ChildOutputSink& onOutput) {
    ChildOutcome outcome;
    Handles handles;
    // Every process the program starts joins its job, and the job ends them all when it is
    // closed: by us at the end of the run, or by the system should this program die.
    handles.job = CreateJobObjectW(nullptr, nullptr);
    if (handles.job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(handles.job, JobObjectExtendedLimitInformation, &limits,
                                sizeof limits);
    }
    if (!StartSuspended(start, handles, outcome.reason)) {
        outcome.end = ChildEnd::NotStarted;
        return outcome;
    }
    if (handles.job)
        AssignProcessToJobObject(handles.job, handles.process);
    ResumeThread(handles.thread);

    // Anonymous pipes have no waiting with a time limit: a thread of its own reads the output
    // until every holder of the pipe has ended.
    std::thread reader([&onOutput, pipe = handles.outputRead] {
        char buffer[16384];
        DWORD got = 0;
        while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
            Pass(onOutput, buffer, got);
    });

    outcome.end = ChildEnd::Exited;
    while (true) {
        const DWORD waited =
            WaitForSingleObject(handles.process, static_cast<DWORD>(WaitFor(deadline).count()));
        if (waited == WAIT_OBJECT_0)
            break;
        if (const std::optional<ChildEnd> end = StoppedOrLate(stopRequested, deadline)) {
            outcome.end = *end;
            break;
        }
    }
    // What the program left running ends with it; a program stopped or late ends here.
    if (handles.job)
        TerminateJobObject(handles.job, 1);
    if (outcome.end != ChildEnd::Exited && !handles.job)
        TerminateProcess(handles.process, 1);
    WaitForSingleObject(handles.process, INFINITE);
    if (outcome.end == ChildEnd::Exited) {
        DWORD code = 0;
        GetExitCodeProcess(handles.process, &code);
        outcome.exitCode = static_cast<long long>(code);
    }
    reader.join();
    return outcome;
}

#else

std::string SystemMessage(int error) {
    return std::strerror(error);
}

// A pipe whose ends are closed when it goes, unless closed before.
struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() = default;
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    ~Pipe() {
        Close(read);
        Close(write);
    }
    bool open() {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return false;
        read = ends[0];
        write = ends[1];
        return true;
    }
    static void Close(int& fd) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

// Reads what the pipe holds now into onOutput; false once it is closed.
bool ReadAvailable(int fd, const ChildOutputSink& onOutput) {
    char buffer[65536];
    while (true) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            Pass(onOutput, buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (got == 0)
            return false;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
}

// The design on POSIX. This program forks a guard; the guard leads a new process group and starts
// the program in it, so that the program and all it starts, unless they leave the group on
// purpose, are in the guard's group. The guard holds the read end of a "lifeline" pipe whose only
// writer is this program: when this program dies, whatever the way, the system closes it, and the
// guard kills its whole group. The guard also reports the program's wait status on a pipe of its
// own; this program then kills the group itself, as it does at a time limit or a stop. A parent
// death signal alone would not do: it reaches the program but not what the program started.
//
// The guard is a copy of this program, which has threads, and never runs another program: from
// fork to _exit it makes only system calls that are safe after fork (no allocation, no lock).

// The pipes a guard works with: the program's output, its exec report, the status it ended with,
// and the lifeline.
struct GuardEnds {
    int output;
    int report;
    int status;
    int lifeline;
};

// Closes the descriptors from first to last, inclusive, below limit where the system cannot close
// a range in one call.
void CloseRange(int first, int last, int limit) {
    if (first > last)
        return;
#ifdef SYS_close_range
    if (::syscall(SYS_close_range, static_cast<unsigned>(first), static_cast<unsigned>(last), 0) ==
        0)
        return;
#endif
    for (int fd = first; fd <= last && fd < limit; ++fd)
        ::close(fd);
}

// Closes every descriptor from 3 on but those of ends: a guard must not hold the pipes of other
// runs, whose own guards would wait on them for ever.
void CloseAllBut(const GuardEnds& ends, int limit) {
    int keep[] = {ends.output, ends.report, ends.status, ends.lifeline};
    std::sort(std::begin(keep), std::end(keep));
    int next = 3;
    for (const int fd : keep) {
        CloseRange(next, fd - 1, limit);
        next = std::max(next, fd + 1);
    }
    CloseRange(next, std::numeric_limits<int>::max(), limit);
}

// The program, between vfork and exec: joins the guard's group, writes its errno on report when
// exec fails (exec closes the pipe otherwise). It runs in the guard's memory while the guard
// waits: only system calls, nothing that allocates, locks or returns.
[[noreturn]] void RunInChild(const char* file, char* const* argv, const char* folder, int output,
                             int report, pid_t guard) {
    ::setpgid(0, guard);
    // Killed with the guard, should the guard itself be killed alone.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != guard)
        ::_exit(127);
    const int input = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (input >= 0)
        ::dup2(input, STDIN_FILENO);
    ::dup2(output, STDOUT_FILENO);
    ::dup2(output, STDERR_FILENO);
    // The program starts with the signals a shell would give it.
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT, SIGCHLD})
        ::sigaction(signal, &standard, nullptr);
    int error = 0;
    if (folder && ::chdir(folder) != 0)
        error = errno;
    else {
        ::execv(file, argv);
        error = errno;
    }
    [[maybe_unused]] const ssize_t written = ::write(report, &error, sizeof error);
    ::_exit(127);
}

// Starts the program from the guard; its process id, or -1. vfork: the guard's pages are not
// copied for a child that execs at once. A function of its own, so that no variable of the caller
// lives across vfork.
[[gnu::noinline]] pid_t StartChild(const char* file, char* const* argv, const char* folder,
                                   int output, int report, pid_t guard) {
    const pid_t pid = ::vfork();
    if (pid == 0)
        RunInChild(file, argv, folder, output, report, guard);
    return pid;
}

// The guard, from fork to its end; see the design above.
[[noreturn]] void RunGuard(const char* file, char* const* argv, const char* folder,
                           const GuardEnds& ends, int limit) {
    ::setpgid(0, 0);
    CloseAllBut(ends, limit);
    // Terminal signals and a closed pipe do not end the guard; its own child is waited for here.
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE})
        ::sigaction(signal, &action, nullptr);
    action.sa_handler = SIG_DFL;
    ::sigaction(SIGCHLD, &action, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);

    const pid_t guard = ::getpid();
    const pid_t child = StartChild(file, argv, folder, ends.output, ends.report, guard);
    if (child < 0) {
        const int error = errno;
        [[maybe_unused]] const ssize_t written = ::write(ends.report, &error, sizeof error);
        ::_exit(127);
    }
    ::close(ends.output);
    ::close(ends.report);
    int process = -1;
#ifdef SYS_pidfd_open
    process = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
#endif
    bool running = true;
    while (true) {
        pollfd waits[2] = {{ends.lifeline, POLLIN, 0}, {process, POLLIN, 0}};
        const nfds_t count = running && process >= 0 ? 2 : 1;
        // Without a descriptor for the process, its end is looked at every few milliseconds.
        const int timeout = running && process < 0 ? 5 : -1;
        if (::poll(waits, count, timeout) > 0 && waits[0].revents != 0)
            break; // this program let go of the lifeline, or died
        int status = 0;
        if (running && ::waitpid(child, &status, WNOHANG) == child) {
            running = false;
            [[maybe_unused]] const ssize_t written = ::write(ends.status, &status, sizeof status);
        }
    }
    ::kill(0, SIGKILL);
    ::_exit(0);
}

// The most descriptors a process may have, for a system without close_range.
int DescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return 65536;
    return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 1 << 20));
}

// The exit code of a wait status.
long long ExitCodeOf(int status) {
    return WIFEXITED(status)     ? WEXITSTATUS(status)
           : WIFSIGNALED(status) ? 128 + WTERMSIG(status)
                                 : -1;
}

ChildOutcome RunChildHere(const ProgramStart& start, Clock::time_point deadline,
                          const std::function<bool()>& stopRequested,
                          const ChildOutputSink& onOutput) {
    ChildOutcome outcome;
    ExecArguments exec(start);
    if (exec.file().empty()) {
        outcome.reason = SystemMessage(ENOENT);
        return outcome;
    }
    Pipe output;
    Pipe report;
    Pipe status;
    Pipe lifeline;
    if (!output.open() || !report.open() || !status.open() || !lifeline.open()) {
        outcome.reason = SystemMessage(errno);
        return outcome;
    }
    const int limit = DescriptorLimit();
    const pid_t guard = ::fork();
    if (guard == 0)
        RunGuard(exec.file().c_str(), exec.argv(), exec.folder(),
                 GuardEnds{output.write, report.write, status.write, lifeline.read}, limit);
    if (guard < 0) {
        outcome.reason = SystemMessage(errno);
        return outcome;
    }
    ::setpgid(guard, guard); // also here, so that a kill of the group right away finds it
    Pipe::Close(output.write);
    Pipe::Close(report.write);
    Pipe::Close(status.write);
    Pipe::Close(lifeline.read);
    const auto endGroup = [guard] {
        ::kill(-guard, SIGKILL);
        int ended = 0;
        while (::waitpid(guard, &ended, 0) < 0 && errno == EINTR) {
        }
        return ended;
    };

    const int error = ReadExecReport(report.read);
    report.read = -1;
    if (error != 0) {
        endGroup();
        outcome.reason = SystemMessage(error);
        return outcome;
    }

    ::fcntl(output.read, F_SETFL, ::fcntl(output.read, F_GETFL) | O_NONBLOCK);
    outcome.end = ChildEnd::Exited;
    bool outputOpen = true;
    std::optional<int> waitStatus;
    while (true) {
        if (const std::optional<ChildEnd> end = StoppedOrLate(stopRequested, deadline)) {
            outcome.end = *end;
            break;
        }
        pollfd waits[2] = {{status.read, POLLIN, 0}, {output.read, POLLIN, 0}};
        ::poll(waits, outputOpen ? 2 : 1, static_cast<int>(WaitFor(deadline).count()));
        if (outputOpen && !ReadAvailable(output.read, onOutput))
            outputOpen = false;
        if (waits[0].revents != 0) {
            int value = 0;
            ssize_t got = 0;
            do {
                got = ::read(status.read, &value, sizeof value);
            } while (got < 0 && errno == EINTR);
            if (got == static_cast<ssize_t>(sizeof value))
                waitStatus = value;
            break; // the program ended, or its guard did
        }
    }
    // Whatever it started ends with it; a program stopped or late ends here.
    const int guardStatus = endGroup();
    if (outcome.end == ChildEnd::Exited)
        outcome.exitCode = ExitCodeOf(waitStatus.value_or(guardStatus));
    // What is left in the pipe, now that every writer of the group is gone. A process that left
    // the group could keep the pipe open for ever: it gets a moment, not more.
    const Clock::time_point drained = Clock::now() + std::chrono::seconds(1);
    while (outputOpen && ReadAvailable(output.read, onOutput) && Clock::now() < drained) {
        pollfd wait{output.read, POLLIN, 0};
        ::poll(&wait, 1, 100);
    }
    return outcome;
}

#endif

} // namespace

ChildOutcome RunChild(const ProgramStart& start, std::chrono::steady_clock::time_point deadline,
                      const std::function<bool()>& stopRequested, const ChildOutputSink& onOutput) {
    return RunChildHere(start, deadline, stopRequested, onOutput);
}

} // namespace pilotrame
