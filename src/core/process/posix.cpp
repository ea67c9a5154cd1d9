// The POSIX implementation of the process module: programs started detached, and consoles
// watched in a process group of their own.
#ifndef _WIN32
#include "base/fileio.h"
#include "base/systemerror.h"
#include "process/childprocess.h"
#include "process/process.h"
#include "process/systemstarter.h"
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
#include <time.h>
#include <unistd.h>

namespace pilotrame {

using namespace watch;

namespace {

// Reads and closes the read end of the pipe through which a child reports why exec failed: the
// child's errno, or 0 when exec closed the pipe.
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

// The file a program name stands for: itself when it names a path, else the first executable file
// of that name in PATH, as a shell would find it; the name itself when none is found. Looked up
// before a fork, where the child may call nothing that allocates.
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

// What execv needs to start a program, made before the fork, where the child may call nothing
// that allocates: the file to run (ResolveProgramPath), and the program's name followed by its
// arguments as a null-ended vector. The program cannot be found when file is empty. argv points
// into the words the object holds: it is neither copied nor moved.
class ExecArguments {
public:
    explicit ExecArguments(const ProgramStart& start) : m_file(ResolveProgramPath(start.program)) {
        m_words.push_back(start.program);
        m_words.insert(m_words.end(), start.arguments.begin(), start.arguments.end());
        for (std::string& word : m_words)
            m_argv.push_back(word.data());
        m_argv.push_back(nullptr);
    }
    ExecArguments(const ExecArguments&) = delete;
    ExecArguments& operator=(const ExecArguments&) = delete;

    const std::string& file() const { return m_file; }
    char* const* argv() { return m_argv.data(); }

private:
    std::string m_file;
    std::vector<std::string> m_words;
    std::vector<char*> m_argv;
};

// How long a guard is given to end everything once let go of, before it is killed.
constexpr std::chrono::seconds kGuardEndWait{5};
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

} // namespace

Status SystemStarter::startDetached(const ProgramStart& start) {
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
        ::execv(exec.file().c_str(), exec.argv());
        const int error = errno;
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

namespace {

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

// The design on POSIX. This program forks a guard; the guard starts the program as the leader of
// a new process group, so that the program and all it starts, unless they leave the group on
// purpose, are in that group. The guard is also a child subreaper: whatever the program starts
// and leaves behind, also what left its group or its session (setsid), comes back to the guard as
// its child when its parent ends. The guard holds the read end of a "lifeline" pipe whose only
// writer is this program: when this program lets go of it, ending the run, or dies, whatever the
// way, the system closes it, and the guard kills the program's group, then every child it has,
// again and again as their own children come back to it, until none is left. The guard also
// reports the program's exit code on a pipe of its own. A parent death signal alone would not do:
// it reaches the program but not what the program started.
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

// The program, between vfork and exec: leads a group of its own, writes its errno on report when
// exec fails (exec closes the pipe otherwise). It runs in the guard's memory while the guard
// waits: only system calls, nothing that allocates, locks or returns.
[[noreturn]] void RunInChild(const char* file, char* const* argv, int output, int report,
                             pid_t guard) {
    ::setpgid(0, 0);
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
    ::execv(file, argv);
    const int error = errno;
    [[maybe_unused]] const ssize_t written = ::write(report, &error, sizeof error);
    ::_exit(127);
}

// Starts the program from the guard; its process id, or -1. vfork: the guard's pages are not
// copied for a child that execs at once. A function of its own, so that no variable of the caller
// lives across vfork.
[[gnu::noinline]] pid_t StartChild(const char* file, char* const* argv, int output, int report,
                                   pid_t guard) {
    const pid_t pid = ::vfork();
    if (pid == 0)
        RunInChild(file, argv, output, report, guard);
    return pid;
}

// Calls onChild with the process id of each child of the calling thread, as the system lists
// them; false when it cannot list them. No allocation: a guard calls it.
template <typename OnChild> bool ForEachChild(OnChild onChild) {
    const int list = ::open("/proc/thread-self/children", O_RDONLY | O_CLOEXEC);
    if (list < 0)
        return false;
    char buffer[4096];
    pid_t pid = 0;
    ssize_t got = 0;
    while ((got = ::read(list, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
        for (ssize_t i = 0; i < got; ++i) {
            if (buffer[i] >= '0' && buffer[i] <= '9') {
                pid = pid * 10 + (buffer[i] - '0');
            } else if (pid > 0) {
                onChild(pid);
                pid = 0;
            }
        }
    }
    if (pid > 0)
        onChild(pid);
    ::close(list);
    return got == 0;
}

// The exit code of a process that ended, as siginfo gives it.
int ExitCodeOf(const siginfo_t& ended) {
    return ended.si_code == CLD_EXITED ? ended.si_status : 128 + ended.si_status;
}

// Reaps the children of the guard that have ended, all but the program: kept unreaped, its process
// id stays its group's and cannot be given to another process before the group is killed.
void ReapOrphans(pid_t program) {
    ForEachChild([program](pid_t pid) {
        int status = 0;
        if (pid != program)
            ::waitpid(pid, &status, WNOHANG);
    });
}

// Ends every process the program left: its group, then every child of the guard, until it has
// none. A child's own children come back to the guard before it can be reaped, so none is missed.
void EndEverything(pid_t program) {
    ::kill(-program, SIGKILL);
    ::kill(program, SIGKILL);
    while (true) {
        if (!ForEachChild([](pid_t pid) { ::kill(pid, SIGKILL); })) {
            // Without the list of children, those that left the group cannot be found.
            int status = 0;
            while (::waitpid(-1, &status, WNOHANG) > 0) {
            }
            return;
        }
        int status = 0;
        if (::waitpid(-1, &status, 0) < 0 && errno == ECHILD)
            return;
    }
}

// The guard, from fork to its end; see the design above.
[[noreturn]] void RunGuard(const char* file, char* const* argv, const GuardEnds& ends, int limit) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    CloseAllBut(ends, limit);
    // Terminal signals and a closed pipe do not end the guard; its own children are waited for
    // here.
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
    const pid_t child = StartChild(file, argv, ends.output, ends.report, guard);
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
    // What ended of what the program left is reaped about once a second.
    constexpr int kReapMs = 1000;
    constexpr int kLookMs = 5; // without a descriptor for the process
    int sinceReaped = 0;
    bool running = true;
    while (true) {
        pollfd waits[2] = {{ends.lifeline, POLLIN, 0}, {process, POLLIN, 0}};
        const nfds_t count = running && process >= 0 ? 2 : 1;
        const int timeout = running && process < 0 ? kLookMs : kReapMs;
        const int ready = ::poll(waits, count, timeout);
        if (ready > 0 && waits[0].revents != 0)
            break; // this program let go of the lifeline, or died
        siginfo_t ended{};
        if (running &&
            ::waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            ended.si_pid == child) {
            running = false;
            const int code = ExitCodeOf(ended);
            [[maybe_unused]] const ssize_t written = ::write(ends.status, &code, sizeof code);
        }
        sinceReaped += ready == 0 ? timeout : 0;
        if (sinceReaped >= kReapMs) {
            sinceReaped = 0;
            ReapOrphans(child);
        }
    }
    EndEverything(child);
    ::_exit(0);
}

// The most descriptors a process may have, for a system without close_range.
int DescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return 65536;
    return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 1 << 20));
}

} // namespace

ChildOutcome RunChild(const ProgramStart& start, Clock::time_point deadline,
                      const std::function<bool()>& stopRequested, const ChildOutputSink& onOutput) {
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
        RunGuard(exec.file().c_str(), exec.argv(),
                 GuardEnds{output.write, report.write, status.write, lifeline.read}, limit);
    if (guard < 0) {
        outcome.reason = SystemMessage(errno);
        return outcome;
    }
    ::setpgid(guard, guard); // also here: no signal to this program's group reaches it
    Pipe::closeEnd(output.write);
    Pipe::closeEnd(report.write);
    Pipe::closeEnd(status.write);
    Pipe::closeEnd(lifeline.read);
    // Lets go of the lifeline: the guard ends everything the program left, then itself. A guard
    // that does not end in time (a process it waits for that cannot die) is killed, and the
    // program with it (its parent death signal). The guard's wait status, none when the system
    // gives none.
    int guardEnd = -1; // readable once the guard has ended
#ifdef SYS_pidfd_open
    guardEnd = static_cast<int>(::syscall(SYS_pidfd_open, guard, 0));
#endif
    const auto endGroup = [guard, guardEnd, &lifeline]() -> std::optional<int> {
        Pipe::closeEnd(lifeline.write);
        int ended = 0;
        pid_t waited = ::waitpid(guard, &ended, WNOHANG);
        const Clock::time_point late = Clock::now() + kGuardEndWait;
        while (waited == 0 && Clock::now() < late) {
            if (guardEnd >= 0) {
                pollfd wait{guardEnd, POLLIN, 0};
                ::poll(&wait, 1, static_cast<int>(WaitFor(late).count()));
            } else {
                timespec pause{0, 2'000'000};
                ::nanosleep(&pause, nullptr);
            }
            waited = ::waitpid(guard, &ended, WNOHANG);
        }
        if (guardEnd >= 0)
            ::close(guardEnd);
        if (waited == 0)
            ::kill(guard, SIGKILL);
        while (waited == 0 || (waited < 0 && errno == EINTR))
            waited = ::waitpid(guard, &ended, 0);
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
    std::optional<int> exitCode;
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
                exitCode = value;
            break; // the program ended, or its guard did
        }
    }
    // Whatever it started ends with it; a program stopped or late ends here.
    const int lastError = errno;
    const std::optional<int> guardStatus = endGroup();
    if (outcome.end == ChildEnd::Exited) {
        if (exitCode) {
            outcome.exitCode = *exitCode;
        } else if (guardStatus && WIFSIGNALED(*guardStatus)) {
            // Without the program's code, the guard's end tells how the run ended: killed.
            outcome.exitCode = 128 + WTERMSIG(*guardStatus);
        } else {
            outcome.end = ChildEnd::ExitUnknown;
            outcome.reason = SystemMessage(guardStatus ? EIO : lastError);
        }
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

} // namespace pilotrame

#endif
