#include "process/childprocess.h"

#include <algorithm>
#include <cstring>
#include <optional>

#ifdef _WIN32
#include <atomic>
#include <mutex>
#include <vector>
#endif

#ifdef _WIN32
#include "base/utf8.h"

#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <linux/close_range.h>
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

std::string LastSystemMessage() {
    return SystemMessage(GetLastError());
}

// How long a process that was told to end, and then its output, are waited for: a program that
// cannot be ended, or a process outside the job that holds the pipe, must not hold the run.
constexpr DWORD kEndWaitMs = 5000;
constexpr DWORD kOutputWaitMs = 1000;

// The handles a run owns, closed whatever way it ends. The job is closed last: closing it ends
// whatever is still in it.
struct Handles {
    HANDLE job = nullptr;
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
    HANDLE outputWrite = nullptr;
    HANDLE input = nullptr;
    ~Handles() {
        for (HANDLE handle : {thread, process, outputWrite, input, job})
            if (handle && handle != INVALID_HANDLE_VALUE)
                CloseHandle(handle);
    }
};

// The read end of the child's output: a named pipe of the run's own, read with overlapped calls,
// since an anonymous pipe has no read that can be waited for with a time limit.
class OutputPipe {
public:
    OutputPipe() { m_overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~OutputPipe() {
        // A read still under way writes into this object: it is cancelled and waited for.
        if (m_pending && CancelIoEx(m_read, &m_overlapped)) {
            DWORD got = 0;
            GetOverlappedResult(m_read, &m_overlapped, &got, TRUE);
        }
        for (HANDLE handle : {m_read, m_overlapped.hEvent})
            if (handle && handle != INVALID_HANDLE_VALUE)
                CloseHandle(handle);
    }
    OutputPipe(const OutputPipe&) = delete;
    OutputPipe& operator=(const OutputPipe&) = delete;

    // Makes the pipe; the write end, inheritable, goes to the child.
    bool open(HANDLE& writeEnd, std::string& reason) {
        static std::atomic<unsigned> runs{0};
        SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        const std::wstring name =
            L"\\\\.\\pipe\\pilotrame-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(runs++) + L"-" + std::to_wstring(GetTickCount64());
        // One instance, made here first: no other program can take the name or its place.
        m_read = CreateNamedPipeW(name.c_str(),
                                  PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED |
                                      FILE_FLAG_FIRST_PIPE_INSTANCE,
                                  PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0,
                                  sizeof m_buffer, 0, nullptr);
        if (m_read != INVALID_HANDLE_VALUE)
            writeEnd = CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING, 0,
                                   nullptr);
        if (m_read == INVALID_HANDLE_VALUE || writeEnd == INVALID_HANDLE_VALUE ||
            !m_overlapped.hEvent) {
            reason = LastSystemMessage();
            return false;
        }
        return true;
    }

    // Signalled when a read has ended.
    HANDLE event() const { return m_overlapped.hEvent; }

    // Keeps what has come; false once every holder of the write end has closed it.
    bool take(ChildOutcome& outcome) {
        while (true) {
            if (!m_pending) {
                if (!ReadFile(m_read, m_buffer, sizeof m_buffer, nullptr, &m_overlapped) &&
                    GetLastError() != ERROR_IO_PENDING)
                    return false;
                m_pending = true;
            }
            DWORD got = 0;
            if (!GetOverlappedResult(m_read, &m_overlapped, &got, FALSE)) {
                if (GetLastError() == ERROR_IO_INCOMPLETE)
                    return true;
                m_pending = false;
                return false;
            }
            m_pending = false;
            Keep(outcome, m_buffer, got);
        }
    }

private:
    HANDLE m_read = INVALID_HANDLE_VALUE;
    OVERLAPPED m_overlapped{};
    bool m_pending = false;
    char m_buffer[16384];
};

// The child gets the handles of its input and output and no other, whatever this program has
// open. Where the system would pass on every inheritable handle regardless, starts also take
// turns, so that a console does not get the pipe of another and keep it open past that one's end.
std::mutex& StartMutex() {
    static std::mutex mutex;
    return mutex;
}

// Starts the program suspended, in its job, or ends it and says why.
bool StartInJob(const ProgramStart& start, Handles& handles, HANDLE outputWrite,
                std::string& reason) {
    std::lock_guard lock(StartMutex());
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    handles.input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inheritable, OPEN_EXISTING, 0, nullptr);
    if (handles.input == INVALID_HANDLE_VALUE) {
        reason = LastSystemMessage();
        return false;
    }
    HANDLE passed[] = {handles.input, outputWrite};
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> attributes(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &size)) {
        reason = LastSystemMessage();
        return false;
    }
    const bool listed = UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                                  passed, sizeof passed, nullptr, nullptr);
    if (!listed)
        reason = LastSystemMessage();

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = handles.input;
    startup.StartupInfo.hStdOutput = outputWrite;
    startup.StartupInfo.hStdError = outputWrite;
    startup.lpAttributeList = list;
    std::wstring commandLine = Utf8ToWide(WindowsCommandLine(start));
    const std::wstring program = Utf8ToWide(start.program);
    const std::wstring folder = Utf8ToWide(start.workingFolder);
    PROCESS_INFORMATION process{};
    const bool created =
        listed && CreateProcessW(program.empty() ? nullptr : program.c_str(), commandLine.data(),
                                 nullptr, nullptr, TRUE,
                                 CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW |
                                     EXTENDED_STARTUPINFO_PRESENT,
                                 nullptr, folder.empty() ? nullptr : folder.c_str(),
                                 &startup.StartupInfo, &process);
    if (listed && !created)
        reason = LastSystemMessage();
    DeleteProcThreadAttributeList(list);
    if (!created)
        return false;
    handles.process = process.hProcess;
    handles.thread = process.hThread;
    // A program that would run outside the job could outlive the run: it never runs at all.
    if (!AssignProcessToJobObject(handles.job, handles.process) ||
        ResumeThread(handles.thread) == static_cast<DWORD>(-1)) {
        reason = "impossible de la placer dans un objet de tâche, qui l'arrêterait avec tout ce "
                 "qu'elle lance : " +
                 LastSystemMessage();
        TerminateProcess(handles.process, 1);
        WaitForSingleObject(handles.process, kEndWaitMs);
        return false;
    }
    return true;
}

// The job that ends every process of the run when it is closed: by the run at its end, or by the
// system should this program die.
bool MakeJob(Handles& handles, std::string& reason) {
    handles.job = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (handles.job && SetInformationJobObject(handles.job, JobObjectExtendedLimitInformation,
                                               &limits, sizeof limits))
        return true;
    reason = "objet de tâche impossible à créer : " + LastSystemMessage();
    return false;
}

ChildOutcome RunChildHere(const ProgramStart& start, Clock::time_point deadline,
                          const std::function<bool()>& stopRequested) {
    ChildOutcome outcome;
    Handles handles;
    OutputPipe output;
    if (!MakeJob(handles, outcome.reason) || !output.open(handles.outputWrite, outcome.reason) ||
        !StartInJob(start, handles, handles.outputWrite, outcome.reason))
        return outcome;
    // The child holds its own copies now: the pipe ends when the child and what it starts end.
    CloseHandle(handles.outputWrite);
    handles.outputWrite = nullptr;
    CloseHandle(handles.input);
    handles.input = nullptr;

    outcome.end = ChildEnd::Exited;
    bool outputOpen = true;
    while (true) {
        if (outputOpen)
            outputOpen = output.take(outcome);
        const HANDLE waits[] = {handles.process, output.event()};
        const DWORD waited = WaitForMultipleObjects(outputOpen ? 2 : 1, waits, FALSE,
                                                    static_cast<DWORD>(WaitFor(deadline).count()));
        if (waited == WAIT_OBJECT_0)
            break;
        if (waited == WAIT_FAILED)
            Sleep(static_cast<DWORD>(kStopPoll.count()));
        if (const std::optional<ChildEnd> end = StoppedOrLate(stopRequested, deadline)) {
            outcome.end = *end;
            break;
        }
    }
    // What the program left running ends with it; a program stopped or late ends here.
    TerminateJobObject(handles.job, 1);
    const DWORD waited = WaitForSingleObject(handles.process, kEndWaitMs);
    if (outcome.end == ChildEnd::Exited) {
        DWORD code = 0;
        if (waited == WAIT_OBJECT_0 && GetExitCodeProcess(handles.process, &code)) {
            outcome.exitCode = static_cast<long long>(code);
        } else {
            outcome.end = ChildEnd::ExitUnknown;
            outcome.reason =
                waited == WAIT_TIMEOUT ? SystemMessage(ERROR_TIMEOUT) : LastSystemMessage();
        }
    }
    // What is left in the pipe, now that the job is empty; a holder outside it gets a moment.
    const ULONGLONG drained = GetTickCount64() + kOutputWaitMs;
    while (outputOpen && output.take(outcome)) {
        const ULONGLONG now = GetTickCount64();
        if (now >= drained)
            break;
        WaitForSingleObject(output.event(), static_cast<DWORD>(drained - now));
    }
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
#ifdef SYS_close_range
    // It gets no file of this program but its input and output, whoever opened one inheritable.
    ::syscall(SYS_close_range, 3u, ~0u, CLOSE_RANGE_CLOEXEC);
#endif
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
    pid_t waited = 0;
    while ((waited = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    if (outcome.end == ChildEnd::Exited && waited != pid) {
        outcome.end = ChildEnd::ExitUnknown;
        outcome.reason = SystemMessage(errno);
    } else if (outcome.end == ChildEnd::Exited) {
        outcome.exitCode = WIFEXITED(status)     ? WEXITSTATUS(status)
                           : WIFSIGNALED(status) ? 128 + WTERMSIG(status)
                                                 : -1;
    }
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
