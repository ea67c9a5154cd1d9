#include "process/process.h"

#include <algorithm>

#ifdef _WIN32
#include "base/utf8.h"

#include <windows.h>
#else
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace pilotrame {

namespace {

bool IsBareWord(std::string_view argument) {
    return !argument.empty() && std::all_of(argument.begin(), argument.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '/' || c == '-';
    });
}

void AppendQuoted(std::string& line, std::string_view argument) {
    if (IsBareWord(argument)) {
        line += argument;
        return;
    }
    line += '"';
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped; elsewhere they stand.
        line.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, '\\'); // before the closing quote
    line += '"';
}

#ifdef _WIN32

class WindowsStarter final : public ProgramStarter {
public:
    bool startDetached(const ProgramStart& start) override {
        std::wstring commandLine = Utf8ToWide(WindowsCommandLine(start));
        const std::wstring program = Utf8ToWide(start.program);
        const std::wstring folder = Utf8ToWide(start.workingFolder);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (start.maximised) {
            startup.dwFlags |= STARTF_USESHOWWINDOW;
            startup.wShowWindow = SW_SHOWMAXIMIZED;
        }
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), commandLine.data(),
                            nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT, nullptr,
                            folder.empty() ? nullptr : folder.c_str(), &startup, &process))
            return false;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return true;
    }
};

#else

} // namespace

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

#endif

} // namespace

std::string WindowsCommandLine(std::string_view program,
                               const std::vector<std::string>& arguments) {
    // The C runtime reads the program's name up to the next quote, without escapes: a Windows
    // path cannot hold a double quote.
    std::string line = "\"";
    line += program;
    line += '"';
    for (const std::string& argument : arguments) {
        line += ' ';
        AppendQuoted(line, argument);
    }
    return line;
}

std::string WindowsCommandLine(const ProgramStart& start) {
    return WindowsCommandLine(start.program, start.arguments);
}

ProgramStarter& SystemProgramStarter() {
#ifdef _WIN32
    static WindowsStarter starter;
#else
    static PosixStarter starter;
#endif
    return starter;
}

} // namespace pilotrame
