#include "batch/journal.h"

#include "base/fileio.h"
#include "base/paths.h"
#include "base/text.h"
#include "selection/filelist.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

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
    case DrawingState::Failed:
        return "échec";
    case DrawingState::TimedOut:
        return "délai dépassé";
    case DrawingState::Stopped:
        return "arrêté";
    }
    return {};
}

std::string SecondsText(double seconds) {
    const long long tenths = std::llround(std::max(seconds, 0.0) * 10);
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10);
}

std::string DrawingFailureDetail(const DrawingRun& run) {
    if (run.state != DrawingState::Failed)
        return {};
    return run.reason.empty() ? " (code de sortie " + std::to_string(run.exitCode) + ")"
                              : " (" + run.reason + ")";
}

std::string DrawingLogHead(const DrawingRun& run, std::string_view commandLine) {
    std::string head = "Plan : " + run.path() + "\r\nCommande : " + std::string(commandLine) +
                       "\r\nEtat : " + std::string(DrawingStateText(run.state)) +
                       DrawingFailureDetail(run);
    head += "\r\nDurée : " + SecondsText(run.seconds) + " s\r\n";
    if (run.outputCut)
        head += "La sortie de la console était trop longue : seul son début est gardé.\r\n";
    head += "\r\n--- Sortie de la console ---\r\n";
    return head;
}

std::string RunFolderName(std::chrono::system_clock::time_point when) {
    return Formatted(when, "%Y-%m-%d_%H-%M-%S");
}

std::string LocalTimeText(std::chrono::system_clock::time_point when) {
    return Formatted(when, "%Y-%m-%d %H:%M:%S");
}

Result<std::string> CreateRunFolder(const std::string& scriptFolder,
                                    std::chrono::system_clock::time_point when) {
    namespace fs = std::filesystem;
    const std::string journal =
        WithTrailingSeparator(scriptFolder + std::string(kJournalFolderName));
    std::error_code ec;
    fs::create_directories(ToFsPath(journal), ec);
    if (ec)
        return ErrorFromErrno(ec.value(), journal);
    const std::string base = journal + RunFolderName(when);
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::string folder = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        // create_directory says whether it made the folder: two runs of one second each get one.
        if (fs::create_directory(ToFsPath(folder), ec))
            return WithTrailingSeparator(folder);
        if (ec)
            return ErrorFromErrno(ec.value(), folder);
    }
    return FileError(ErrorCode::FileExists, base);
}

std::string LogName(std::size_t index, const DrawingRun& run) {
    char number[16];
    std::snprintf(number, sizeof number, "%04zu", index + 1);
    return std::string(number) + "_" + run.name + ".log";
}

Status WriteDrawingLog(const std::string& runFolder, std::size_t index, const DrawingRun& run,
                       std::string_view commandLine) {
    return ReplaceFileContent(runFolder + LogName(index, run),
                              DrawingLogHead(run, commandLine) + run.output);
}

std::string SummaryCsv(const std::vector<DrawingRun>& runs) {
    std::string text = "\xEF\xBB\xBF";
    text += kSummaryCsvHeader;
    text += kCrLf;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const DrawingRun& run = runs[i];
        const bool ran = run.state != DrawingState::NotStarted;
        const bool coded = run.state == DrawingState::Succeeded ||
                           (run.state == DrawingState::Failed && run.reason.empty());
        std::string line;
        AppendField(line, run.path());
        line += ';';
        AppendField(line, DrawingStateText(run.state));
        line += ';';
        if (coded)
            line += std::to_string(run.exitCode);
        line += ';';
        if (ran)
            line += LocalTimeText(run.startedAt);
        line += ';';
        if (ran)
            line += SecondsText(run.seconds);
        line += ';';
        if (ran)
            AppendField(line, LogName(i, run));
        text += line;
        text += kCrLf;
    }
    return text;
}

Status WriteRunSummary(const std::string& runFolder, const std::vector<DrawingRun>& runs) {
    if (Status written =
            ReplaceFileContent(runFolder + std::string(kSummaryFileName), SummaryCsv(runs));
        !written)
        return written;
    FileList failures;
    for (const DrawingRun& run : runs) {
        if (run.state == DrawingState::Succeeded)
            continue;
        if (failures.empty() || failures.back().folder != run.folder)
            failures.push_back(ListedFolder{run.folder, {}});
        failures.back().names.push_back(run.name);
    }
    if (Result<int> listed = WriteFileList(runFolder + std::string(kFailuresFileName), failures);
        !listed)
        return listed.error();
    return Success();
}

} // namespace pilotrame
