// The POSIX implementation of the process module: programs started detached, and consoles
// watched in a process group of their own.
#ifndef _WIN32
#include "process/childprocess.h"
#include "process/process.h"
#include "process/watch.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/close_range.h>
#include <poll.h>
#include <sys/prctl.h>
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

class PosixStarter final : public ProgramStarter {
public:
    bool startDetached(const ProgramStart& start) override {
        ExecArguments exec(start);
        if (exec.file().empty())
            return false;

        // The child tells through this pipe why exec failed; a successful exec closes it.
        int report[2];
        if (::pipe2(report, O_CLOEXEC) != 0)
            return false;
        const pid_t middle = ::fork();
        if (middle < 0) {
            ::close(report[0]);
            ::close(report[1]);
            return false;
        }
        if (middle == 0) {
            // A session of its own, then a second fork: the program is reparented away from
            // this one and never becomes a zombie it must wait for.
            ::setsid();
            const pid_t program = ::fork();
            if (program != 0)
                ::_exit(program < 0 ? 1 : 0);
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
        while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
        }
        const bool forked = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        return ReadExecReport(report[0]) == 0 && forked;
    }
};

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
// as posix_spawn's. A function of its own, so that no variable of the caller lives across
// vfork.
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

} // namespace

ProgramStarter& SystemProgramStarter() {
    static PosixStarter starter;
    return starter;
}

ChildOutcome RunChild(const ProgramStart& start, std::chrono::steady_clock::time_point deadline,
                      const std::function<bool()>& stopRequested) {
    return RunChildHere(start, deadline, stopRequested);
}

} // namespace pilotrame

#endif
