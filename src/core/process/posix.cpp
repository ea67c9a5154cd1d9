// The POSIX implementation of the process module: programs started detached, and consoles
// watched in a process group of their own.
#ifndef _WIN32
#include "base/fileio.h"
#include "process/childprocess.h"
#include "process/process.h"
#include "process/watch.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <limits>
#include <linux/close_range.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pilotrame {

using namespace watch;

ExecArguments::ExecArguments(const ProgramStart& start)
    : m_file(ResolveProgramPath(start.program)), m_folder(start.workingFolder) {
    m_words.push_back(start.program);
    m_words.insert(m_words.end(), start.arguments.begin(), start.arguments.end());
    for (std::string& word : m_words)
        m_argv.push_back(word.data());
    m_argv.push_back(nullptr);
}

int ReadExecReport(int fd) {
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(fd, &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(fd);
    // A pipe closed by a successful exec gives nothing; a read that failed tells nothing either.
    return got > 0 ? (error != 0 ? error : EIO) : 0;
}

// Looked up before a fork, where the child may call nothing that allocates.
std::string ResolveProgramPath(const std::string& program) {
    if (program.empty() || program.find('/') != std::string::npos)
        return program;
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "/usr/bin:/bin";
    while (true) {
        const std::size_t end = folders.find(':');
        std::string candidate(folders.substr(0, end));
        candidate += candidate.empty() ? "./" : "/";
        candidate += program;
        struct stat status {};
        if (::stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (end == std::string_view::npos)
            return program;
        folders.remove_prefix(end + 1);
    }
}

namespace {

std::string SystemMessage(int error) {
    return std::strerror(error);
}

// Why exec, or the start before it, failed with errno error.
Error StartFailureFromErrno(int error, const std::string& program) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return StartFailure(program, CodeFromErrno(error, program));
    case EACCES:
    case EPERM:
        return StartFailure(program, ErrorCode::PermissionDenied);
    case ENOEXEC:
    case EISDIR:
    case ELIBBAD:
        return StartFailure(program, ErrorCode::PathFileAccess, Cause::NotAProgram);
    default:
        return StartFailure(program, ErrorCode::DeviceIo, Cause::System, SystemMessage(error));
    }
}

class PosixStarter final : public ProgramStarter {
public:
    Status startDetached(const ProgramStart& start) override {
        ExecArguments exec(start);
        if (exec.file().empty())
            return StartFailure(start.program, ErrorCode::FileNotFound);
        // exec refuses a folder as a file it may not run: it is said for what it is.
        struct stat named {};
        if (::stat(exec.file().c_str(), &named) == 0 && S_ISDIR(named.st_mode))
            return StartFailureFromErrno(EISDIR, start.program);

        // The program, or the process that starts it, tells through this pipe why it could not;
        // a successful exec closes it.
        int report[2];
        if (::pipe2(report, O_CLOEXEC) != 0)
            return StartFailureFromErrno(errno, start.program);
        const pid_t middle = ::fork();
        if (middle < 0) {
            const int error = errno;
            ::close(report[0]);
            ::close(report[1]);
            return StartFailureFromErrno(error, start.program);
        }
        if (middle == 0) {
            // A session of its own, then a second fork: the program is reparented away from
            // this one and never becomes a zombie it must wait for.
            ::setsid();
            const pid_t program = ::fork();
            if (program < 0) {
                const int error = errno;
                [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
                ::_exit(1);
            }
            if (program != 0)
                ::_exit(0);
            int error = 0;
            if (exec.folder() && ::chdir(exec.folder()) != 0)
                error = errno;
            else {
                ::execv(exec.file().c_str(), exec.argv());
                error = errno;
            }
            [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
            ::_exit(127);
        }
        ::close(report[1]);
        int status = 0;
        pid_t waited = 0;
        while ((waited = ::waitpid(middle, &status, 0)) < 0 && errno == EINTR) {
        }
        const int waitError = waited == middle ? 0 : errno;
        if (const int error = ReadExecReport(report[0]); error != 0)
            return StartFailureFromErrno(error, start.program);
        // Without the status of the process that starts it, nothing tells that the program
        // started.
        if (waitError != 0)
            return StartFailureFromErrno(waitError, start.program);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return StartFailureFromErrno(ECHILD, start.program);
        return Success();
    }
};

// A pipe whose ends are closed when it goes, unless closed before.
struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() = default;
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    ~Pipe() {
        closeEnd(read);
        closeEnd(write);
    }
    bool open() {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return false;
        read = ends[0];
        write = ends[1];
        return true;
    }
    static void closeEnd(int& fd) {
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
    Pipe::closeEnd(output.write);
    Pipe::closeEnd(report.write);
    Pipe::closeEnd(status.write);
    Pipe::closeEnd(lifeline.read);
    // Kills the group; the guard's wait status, none when the system gives none.
    const auto endGroup = [guard]() -> std::optional<int> {
        ::kill(-guard, SIGKILL);
        int ended = 0;
        pid_t waited = 0;
        while ((waited = ::waitpid(guard, &ended, 0)) < 0 && errno == EINTR) {
        }
        return waited == guard ? std::optional<int>(ended) : std::nullopt;
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
    const std::optional<int> guardStatus = endGroup();
    if (outcome.end == ChildEnd::Exited && !waitStatus && !guardStatus) {
        outcome.end = ChildEnd::ExitUnknown;
        outcome.reason = SystemMessage(errno);
    } else if (outcome.end == ChildEnd::Exited) {
        // Without the program's status, the guard's tells how the run ended (a guard killed).
        outcome.exitCode = ExitCodeOf(waitStatus ? *waitStatus : *guardStatus);
    }
    // What is left in the pipe, now that every writer of the group is gone. A process that left
    // the group could keep the pipe open for ever: it gets a moment, not more.
    const Clock::time_point drained = Clock::now() + std::chrono::seconds(1);
    while (outputOpen && ReadAvailable(output.read, onOutput) && Clock::now() < drained) {
        pollfd wait{output.read, POLLIN, 0};
        ::poll(&wait, 1, 100);
    }
    return outcome;
}

} // namespace

ProgramStarter& SystemProgramStarter() {
    static PosixStarter starter;
    return starter;
}

ChildOutcome RunChild(const ProgramStart& start, std::chrono::steady_clock::time_point deadline,
                      const std::function<bool()>& stopRequested, const ChildOutputSink& onOutput) {
    return RunChildHere(start, deadline, stopRequested, onOutput);
}

} // namespace pilotrame

#endif
