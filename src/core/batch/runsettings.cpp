#include "batch/runsettings.h"

#include "base/fileio.h"
#include "base/numbers.h"
#include "base/text.h"

namespace pilotrame {

namespace {

constexpr std::string_view kEngineKey = "moteur";
constexpr std::string_view kConsoleKey = "console";
constexpr std::string_view kWorkersKey = "plans-simultanes";
constexpr std::string_view kTimeoutKey = "delai";
constexpr std::string_view kLanguageKey = "langue";

Result<int> WholeNumber(std::string_view key, std::string_view value, int low, int high) {
    const std::optional<std::int64_t> number = ParseInteger(value);
    if (!number)
        return KeyValueError(Cause::NotANumber, key, value);
    if (*number < low || *number > high)
        return KeyValueError(Cause::OutOfRange, key, value);
    return static_cast<int>(*number);
}

} // namespace

std::string ConsoleProgram(const RunSettings& run, std::string_view acadPath) {
    if (!run.consolePath.empty())
        return run.consolePath;
    const std::size_t separator = acadPath.find_last_of("\\/");
    std::string folder(separator == std::string_view::npos ? std::string_view()
                                                           : acadPath.substr(0, separator + 1));
    return folder + std::string(kConsoleProgramName);
}

std::string WriteRunSettings(const RunSettings& run) {
    std::string text;
    const auto line = [&text](std::string_view key, std::string_view value) {
        text.append(key).append("=").append(value).append("\n");
    };
    line(kEngineKey, run.engine == Engine::Console ? "console" : "autocad");
    line(kConsoleKey, run.consolePath);
    line(kWorkersKey, std::to_string(run.workers));
    line(kTimeoutKey, std::to_string(run.timeoutSeconds));
    line(kLanguageKey, run.language);
    return text;
}

Result<RunSettings> ParseRunSettings(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    RunSettings run;
    int lineNumber = 0;
    for (const std::string_view line : SplitLines(text)) {
        ++lineNumber;
        const std::size_t equals = line.find('=');
        if (line.empty() || line.front() == '#')
            continue;
        if (equals == std::string_view::npos)
            return TextError(TextFault::MissingEquals, lineNumber);
        const std::string_view key = line.substr(0, equals);
        const std::string_view value = line.substr(equals + 1);
        if (key == kEngineKey) {
            if (value != "autocad" && value != "console") {
                Error error = TextError(TextFault::NotAWord, lineNumber, key, value);
                error.allowed = {"autocad", "console"};
                return error;
            }
            run.engine = value == "console" ? Engine::Console : Engine::Autocad;
        } else if (key == kConsoleKey) {
            run.consolePath = std::string(value);
        } else if (key == kWorkersKey) {
            const Result<int> workers = WholeNumber(key, value, kMinWorkers, kMaxWorkers);
            if (!workers)
                return workers.error();
            run.workers = *workers;
        } else if (key == kTimeoutKey) {
            const Result<int> timeout = WholeNumber(key, value, kMinTimeout, kMaxTimeout);
            if (!timeout)
                return timeout.error();
            run.timeoutSeconds = *timeout;
        } else if (key == kLanguageKey) {
            run.language = std::string(value);
        }
    }
    return run;
}

Result<RunSettings> LoadRunSettings(const std::string& path) {
    Result<std::string> bytes = ReadFileBytes(path, kRunSettingsSizeLimit);
    if (!bytes) {
        const ErrorCode code = bytes.error().code;
        if (bytes.error().cause == Cause::System &&
            (code == ErrorCode::FileNotFound || code == ErrorCode::PathNotFound))
            return RunSettings{};
        return InOperation(bytes.error(), Operation::ReadSettings);
    }
    Result<RunSettings> run = ParseRunSettings(*bytes);
    if (!run) {
        Error error = InOperation(run.error(), Operation::ReadSettings);
        error.path = path;
        return error;
    }
    return run;
}

Status SaveRunSettings(const std::string& path, const RunSettings& run) {
    if (Status saved = ReplaceFileContent(path, WriteRunSettings(run)); !saved)
        return InOperation(saved.error(), Operation::SaveSettings);
    return Success();
}

} // namespace pilotrame
