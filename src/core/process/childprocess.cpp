#include "process/childprocess.h"

#include <optional>

#include <algorithm>
#include <cstring>
#include <mutex>
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

// Keeps what fits of the output and counts the rest as cut.
void Keep(ChildOutcome& outcome, const char* bytes, std::size_t size) {
    const std::size_t room = kMaxChildOutput - std::min(kMaxChildOutput, outcome.output.size());
    outcome.output.append(bytes, std::min(room, size));
    if (size > room)
        outcome.outputCut = true;
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
                          const std::function<bool()>& stopRequested) {
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
    std::thread reader([&outcome, pipe = handles.outputRead] {
        char buffer[16384];
        DWORD got = 0;
        while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
            Keep(outcome, buffer, got);
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

// The read end of the output, and the process as a descriptor, waited on together.
struct Descriptors {
    int output = -1;
    int process = -1;
    ~Descriptors() {
        for (int fd : {output, process})
            if (fd >= 0)
                ::close(fd);
    }
};

// Reads what the pipe holds now; false once it is closed.
bool ReadAvailable(int fd, ChildOutcome& outcome) {
    char buffer[16384];
    while (true) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            Keep(outcome, buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (got == 0)
            return false;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
}

// True once the process has ended; it stays a zombie, so that its process group cannot be taken
// by another process before what it left behind is killed.
bool HasEnded(pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

// A child that writes its errno here when exec fails; exec closes the pipe otherwise. It runs
// between vfork and exec, in this program's memory while the parent waits: only system calls,
// nothing that allocates, locks or returns.
[[noreturn]] void RunInChild(const char* file, char* const* argv, const char* folder, int output,
                             int report, pid_t parent) {
    ::setpgid(0, 0);
    // Killed with this program: no console outlives the run, even when the program crashes.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
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
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT})
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

// Starts the child; its process id, or -1. vfork rather than fork: the page tables of a large
// program are not copied for a child that execs at once, which makes a console's start as cheap
// as posix_spawn's. A function of its own, so that no variable of the caller lives across vfork.
[[gnu::noinline]] pid_t StartChild(const char* file, char* const* argv, const char* folder,
                                   int output, int report, pid_t parent) {
    const pid_t pid = ::vfork();
    if (pid == 0)
        RunInChild(file, argv, folder, output, report, parent);
    return pid;
}

ChildOutcome RunChildHere(const ProgramStart& start, Clock::time_point deadline,
                          const std::function<bool()>& stopRequested) {
    ChildOutcome outcome;
    ExecArguments exec(start);
    if (exec.file().empty()) {
        outcome.reason = SystemMessage(ENOENT);
        return outcome;
    }

    int output[2];
    int report[2];
    if (::pipe2(output, O_CLOEXEC) != 0) {
        outcome.reason = SystemMessage(errno);
        return outcome;
    }
    if (::pipe2(report, O_CLOEXEC) != 0) {
        outcome.reason = SystemMessage(errno);
        ::close(output[0]);
        ::close(output[1]);
        return outcome;
    }
    const pid_t parent = ::getpid();
    const pid_t pid =
        StartChild(exec.file().c_str(), exec.argv(), exec.folder(), output[1], report[1], parent);
    ::close(output[1]);
    ::close(report[1]);
    Descriptors fds;
    fds.output = output[0];
    if (pid < 0) {
        outcome.reason = SystemMessage(errno);
        ::close(report[0]);
        return outcome;
    }
    ::setpgid(pid, pid); // also here, so that a kill of the group right away finds it

    const int error = ReadExecReport(report[0]);
    if (error != 0) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        outcome.reason = SystemMessage(error);
        return outcome;
    }

    ::fcntl(fds.output, F_SETFL, ::fcntl(fds.output, F_GETFL) | O_NONBLOCK);
    // The end of the process is seen at once through a descriptor where the system has one;
    // elsewhere it is looked at every few milliseconds.
#ifdef SYS_pidfd_open
    fds.process = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#endif
    outcome.end = ChildEnd::Exited;
    bool outputOpen = true;
    while (!HasEnded(pid)) {
        if (const std::optional<ChildEnd> end = StoppedOrLate(stopRequested, deadline)) {
            outcome.end = *end;
            break;
        }
        pollfd waits[2];
        nfds_t count = 0;
        if (outputOpen)
            waits[count++] = pollfd{fds.output, POLLIN, 0};
        if (fds.process >= 0)
            waits[count++] = pollfd{fds.process, POLLIN, 0};
        const auto timeout = fds.process >= 0
                                 ? WaitFor(deadline)
                                 : std::min(WaitFor(deadline), std::chrono::milliseconds(5));
        ::poll(waits, count, static_cast<int>(timeout.count()));
        if (outputOpen && !ReadAvailable(fds.output, outcome))
            outputOpen = false;
    }
    // Whatever it started ends with it; a program stopped or late ends here.
    ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (outcome.end == ChildEnd::Exited)
        outcome.exitCode = WIFEXITED(status)     ? WEXITSTATUS(status)
                           : WIFSIGNALED(status) ? 128 + WTERMSIG(status)
                                                 : -1;
    // What is left in the pipe, now that every writer of the group is gone. A process that left
    // the group could keep the pipe open for ever: it gets a moment, not more.
    const Clock::time_point drained = Clock::now() + std::chrono::seconds(1);
    while (outputOpen && ReadAvailable(fds.output, outcome) && Clock::now() < drained) {
        pollfd wait{fds.output, POLLIN, 0};
        ::poll(&wait, 1, 100);
    }
    return outcome;
}

#endif

} // namespace

ChildOutcome RunChild(const ProgramStart& start, std::chrono::steady_clock::time_point deadline,
                      const std::function<bool()>& stopRequested) {
    return RunChildHere(start, deadline, stopRequested);
}

} // namespace pilotrame
