#include "batch/journal.h"

#include "base/fileio.h"
#include "base/numbers.h"
#include "base/paths.h"
#include "base/systemerror.h"
#include "base/text.h"
#include "selection/filelist.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pilotrame {

namespace {

std::tm LocalTime(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    return local;
}

std::string Formatted(std::chrono::system_clock::time_point when, const char* format) {
    const std::tm local = LocalTime(when);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, format, &local);
    return std::string(text, length);
}

// A field of resume.csv, quoted when it holds the separator, a quote or a line break.
void AppendField(std::string& line, std::string_view field) {
    if (field.find_first_of(";\"\r\n") == std::string_view::npos) {
        line += field;
        return;
    }
    line += '"';
    for (const char c : field) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

} // namespace

DrawingLog::DrawingLog(std::string path, const DrawingRun& run, std::string_view commandLine,
                       const JournalWords& words)
    : m_words(&words), m_path(std::move(path)) {
#ifdef _WIN32
    m_file = _wfopen(ToFsPath(m_path).c_str(), L"wbN"); // N: not inherited
#else
    // Not handed on to the programs this one starts.
    const int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    m_file = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (fd >= 0 && !m_file)
        ::close(fd);
#endif
    if (!m_file) {
        fail(errno);
        return;
    }
    put(words.logHead(run, commandLine, LocalTimeText(run.startedAt)));
    flush();
}

DrawingLog::~DrawingLog() {
    if (m_file)
        std::fclose(m_file);
}

void DrawingLog::fail(int error) {
    if (!m_failure)
        m_failure = InOperation(ErrorFromErrno(error, m_path), Operation::WriteJournal);
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
}

void DrawingLog::put(std::string_view bytes) {
    if (m_file && std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        fail(errno != 0 ? errno : EIO);
}

void DrawingLog::write(std::string_view text) {
    const std::uint64_t room = kLogOutputLimit - std::min(kLogOutputLimit, m_written);
    std::size_t kept = static_cast<std::size_t>(std::min<std::uint64_t>(room, text.size()));
    // The log's whole part ends on a whole character.
    while (kept > 0 && kept < text.size() &&
           (static_cast<unsigned char>(text[kept]) & 0xC0u) == 0x80u)
        --kept;
    m_seen += text.size();
    m_written += kept;
    put(text.substr(0, kept));
}

void DrawingLog::flush() {
    if (m_file && std::fflush(m_file) != 0)
        fail(errno != 0 ? errno : EIO);
}

void DrawingLog::finish(const DrawingRun& run, std::string_view tail) {
    if (!m_file)
        return; // no log, or one that failed and takes nothing more
    if (m_seen > m_written) {
        // The output's end, past what the log kept whole.
        const std::uint64_t left = m_seen - m_written;
        std::size_t shown = static_cast<std::size_t>(std::min<std::uint64_t>(left, tail.size()));
        std::string_view end = tail.substr(tail.size() - shown);
        while (!end.empty() && (static_cast<unsigned char>(end.front()) & 0xC0u) == 0x80u)
            end.remove_prefix(1);
        put(m_words->outputCut(kLogOutputLimit / (1024 * 1024), end.size(), left - end.size()));
        put(end);
    }
    put(m_words->logEnd(run));
    if (m_file) {
        const bool flushed = std::fflush(m_file) == 0;
        const int error = errno;
        const bool closed = std::fclose(m_file) == 0;
        m_file = nullptr;
        if (!flushed || !closed)
            fail(!flushed ? error : errno);
    }
}

std::string RunFolderName(std::chrono::system_clock::time_point when) {
    return Formatted(when, "%Y-%m-%d_%H-%M-%S");
}

std::string LocalTimeText(std::chrono::system_clock::time_point when) {
    return Formatted(when, "%Y-%m-%d %H:%M:%S");
}

Result<std::string> CreateRunFolder(const std::string& scriptFolder,
                                    std::chrono::system_clock::time_point when,
                                    std::string_view suffix) {
    namespace fs = std::filesystem;
    const std::string journal =
        WithTrailingSeparator(scriptFolder + std::string(kJournalFolderName));
    std::error_code ec;
    fs::create_directories(ToFsPath(journal), ec);
    if (ec)
        return ErrorFromErrno(ec.value(), journal);
    const std::string base = journal + RunFolderName(when);
    for (int attempt = 1; attempt < 1000; ++attempt) {
        std::string folder = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        folder += suffix;
        // create_directory says whether it made the folder: two runs of one second each get one.
        if (fs::create_directory(ToFsPath(folder), ec))
            return WithTrailingSeparator(folder);
        if (ec)
            return ErrorFromErrno(ec.value(), folder);
    }
    return FileError(ErrorCode::FileExists, base);
}

std::string LogName(std::size_t index, std::size_t count, const DrawingRun& run) {
    const int width = std::max<int>(4, static_cast<int>(std::to_string(count).size()));
    char number[32];
    std::snprintf(number, sizeof number, "%0*zu", width, index + 1);
    return std::string(number) + "_" + run.name + ".log";
}

std::string SummaryCsv(const std::vector<DrawingRun>& runs, const JournalWords& words) {
    std::string text = "\xEF\xBB\xBF";
    text += kSummaryCsvHeader;
    text += kCrLf;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const DrawingRun& run = runs[i];
        const bool ran =
            run.state != DrawingState::NotStarted && run.state != DrawingState::NotReady;
        const bool coded = run.state == DrawingState::Succeeded ||
                           run.state == DrawingState::ScriptError ||
                           (run.state == DrawingState::Failed && !run.noExitCode);
        std::string line;
        AppendField(line, run.path());
        line += ';';
        AppendField(line, words.state(run.state));
        line += ';';
        if (coded)
            AppendField(line, words.exitCode(run.exitCode));
        line += ';';
        if (ran)
            line += LocalTimeText(run.startedAt);
        line += ';';
        if (ran)
            line += SecondsText(run.seconds);
        line += ';';
        if (ran)
            AppendField(line, LogName(i, runs.size(), run));
        line += ';';
        AppendField(line, words.failureReason(run));
        text += line;
        text += kCrLf;
    }
    return text;
}

std::vector<Error> WriteRunSummary(const std::string& runFolder,
                                   const std::vector<DrawingRun>& runs, const JournalWords& words) {
    std::vector<Error> failures;
    if (Status written =
            ReplaceFileContent(runFolder + std::string(kSummaryFileName), SummaryCsv(runs, words));
        !written)
        failures.push_back(InOperation(written.error(), Operation::WriteJournal));
    FileList notSucceeded;
    for (const DrawingRun& run : runs) {
        if (run.state == DrawingState::Succeeded)
            continue;
        if (notSucceeded.empty() || notSucceeded.back().folder != run.folder)
            notSucceeded.push_back(ListedFolder{run.folder, {}});
        notSucceeded.back().names.push_back(run.name);
    }
    if (Result<int> listed =
            WriteFileList(runFolder + std::string(kFailuresFileName), notSucceeded);
        !listed)
        failures.push_back(InOperation(listed.error(), Operation::WriteJournal));
    return failures;
}

} // namespace pilotrame
