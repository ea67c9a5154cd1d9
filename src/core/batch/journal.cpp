#include "batch/journal.h"

#include "base/fileio.h"
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

std::string_view DrawingStateText(DrawingState state) {
    switch (state) {
    case DrawingState::NotStarted:
        return "non lancé";
    case DrawingState::Running:
        return "en cours";
    case DrawingState::Succeeded:
        return "réussi";
    case DrawingState::ScriptError:
        return "erreur de script";
    case DrawingState::Failed:
        return "échec";
    case DrawingState::TimedOut:
        return "délai dépassé";
    case DrawingState::Stopped:
        return "arrêté";
    case DrawingState::NotReady:
        return "non prêt";
    }
    return {};
}

std::string_view DescribeProblem(DrawingProblem problem) {
    switch (problem) {
    case DrawingProblem::Missing:
        return "introuvable";
    case DrawingProblem::ReadOnly:
        return "en lecture seule";
    case DrawingProblem::OpenElsewhere:
        return "ouvert ailleurs (fichier .dwl présent)";
    case DrawingProblem::NotADrawing:
        return "pas un plan AutoCAD";
    case DrawingProblem::NewerFormat:
        return "format plus récent";
    case DrawingProblem::Unreadable:
        return "illisible";
    }
    return {};
}

std::string ExitCodeText(long long code) {
    if (code < 0xC0000000LL || code > 0xFFFFFFFFLL)
        return std::to_string(code);
    struct Named {
        long long code;
        std::string_view name;
    };
    static constexpr Named kNames[] = {
        {0xC0000005, "violation d'accès"},
        {0xC0000006, "erreur de page en lecture"},
        {0xC0000017, "mémoire insuffisante"},
        {0xC000001D, "instruction non valide"},
        {0xC0000022, "accès refusé"},
        {0xC000007B, "programme ou bibliothèque non valide"},
        {0xC000008C, "indice de tableau hors limites"},
        {0xC000008E, "division par zéro en virgule flottante"},
        {0xC0000094, "division entière par zéro"},
        {0xC0000095, "dépassement de capacité d'un entier"},
        {0xC0000096, "instruction privilégiée"},
        {0xC00000FD, "dépassement de pile"},
        {0xC000013A, "arrêt par Ctrl-C"},
        {0xC0000135, "bibliothèque DLL introuvable"},
        {0xC0000139, "point d'entrée introuvable dans une DLL"},
        {0xC0000142, "échec de l'initialisation d'une DLL"},
        {0xC0000374, "tas corrompu"},
        {0xC0000409, "dépassement de mémoire tampon détecté"},
        {0xC0000417, "paramètre non valide passé à la bibliothèque C"},
    };
    std::string hex = "0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        hex += "0123456789ABCDEF"[(code >> shift) & 0xF];
    for (const Named& named : kNames)
        if (named.code == code)
            return hex + " " + std::string(named.name);
    return hex;
}

std::string SecondsText(double seconds) {
    const long long tenths = std::llround(std::max(seconds, 0.0) * 10);
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10);
}

std::string DrawingFailureReason(const DrawingRun& run) {
    switch (run.state) {
    case DrawingState::ScriptError:
        return run.failureMessage.empty() ? "plan non enregistré : " + run.unsavedFile
                                          : "message \xC2\xAB " + run.failureMessage +
                                                " \xC2\xBB dans la sortie de la console";
    case DrawingState::Failed:
        return run.reason.empty() ? "code de sortie " + ExitCodeText(run.exitCode) : run.reason;
    case DrawingState::NotReady:
        return std::string(DescribeProblem(run.problem));
    default:
        return {};
    }
}

std::string DrawingFailureDetail(const DrawingRun& run) {
    const std::string reason = DrawingFailureReason(run);
    return reason.empty() ? reason : " (" + reason + ")";
}

std::string DrawingLogHead(const DrawingRun& run, std::string_view commandLine) {
    return "Plan : " + run.path() + "\r\nCommande : " + std::string(commandLine) +
           "\r\nDébut : " + LocalTimeText(run.startedAt) +
           "\r\n\r\n--- Sortie de la console ---\r\n";
}

std::string DrawingLogEnd(const DrawingRun& run) {
    return "\r\n--- Fin de la sortie de la console ---\r\nEtat : " +
           std::string(DrawingStateText(run.state)) + DrawingFailureDetail(run) +
           "\r\nDurée : " + SecondsText(run.seconds) + " s\r\n";
}

DrawingLog::DrawingLog(std::string path, const DrawingRun& run, std::string_view commandLine)
    : m_path(std::move(path)) {
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
    put(DrawingLogHead(run, commandLine));
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
    if (m_seen > m_written) {
        // The output's end, past what the log kept whole.
        const std::uint64_t left = m_seen - m_written;
        std::size_t shown = static_cast<std::size_t>(std::min<std::uint64_t>(left, tail.size()));
        std::string_view end = tail.substr(tail.size() - shown);
        while (!end.empty() && (static_cast<unsigned char>(end.front()) & 0xC0u) == 0x80u)
            end.remove_prefix(1);
        put("\r\n\r\n[La sortie de la console était trop longue : seuls ses " +
            std::to_string(kLogOutputLimit / (1024 * 1024)) + " premiers Mio et ses " +
            std::to_string(end.size()) + " derniers octets sont gardés, " +
            std::to_string(left - end.size()) + " octets sont omis.]\r\n\r\n");
        put(end);
    }
    put(DrawingLogEnd(run));
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

std::string SummaryCsv(const std::vector<DrawingRun>& runs) {
    std::string text = "\xEF\xBB\xBF";
    text += kSummaryCsvHeader;
    text += kCrLf;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const DrawingRun& run = runs[i];
        const bool ran =
            run.state != DrawingState::NotStarted && run.state != DrawingState::NotReady;
        const bool coded = run.state == DrawingState::Succeeded ||
                           run.state == DrawingState::ScriptError ||
                           (run.state == DrawingState::Failed && run.reason.empty());
        std::string line;
        AppendField(line, run.path());
        line += ';';
        AppendField(line, DrawingStateText(run.state));
        line += ';';
        if (coded)
            AppendField(line, ExitCodeText(run.exitCode));
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
        AppendField(line, DrawingFailureReason(run));
        text += line;
        text += kCrLf;
    }
    return text;
}

std::vector<Error> WriteRunSummary(const std::string& runFolder,
                                   const std::vector<DrawingRun>& runs) {
    std::vector<Error> failures;
    if (Status written =
            ReplaceFileContent(runFolder + std::string(kSummaryFileName), SummaryCsv(runs));
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
