#include "batch/runsettings.h"

#include "base/fileio.h"
#include "base/numbers.h"
#include "base/text.h"

#include <algorithm>

namespace pilotrame {

namespace {

constexpr std::string_view kEngineWords[] = {"autocad", "console"};

Result<int> WholeNumber(std::string_view key, std::string_view value, int line, int low, int high) {
    const std::optional<std::int64_t> number = ParseInteger(value);
    if (!number)
        return TextError(TextFault::NotAWholeNumber, line, key, value);
    if (*number < low || *number > high) {
        Error error = TextError(TextFault::NumberOutOfRange, line, key, value);
        error.allowed = {std::to_string(low), std::to_string(high)};
        return error;
    }
    return static_cast<int>(*number);
}

} // namespace

bool IsLanguageTag(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-';
    });
}

std::string ConsoleProgram(const RunSettings& run, std::string_view acadPath) {
    if (!run.consolePath.empty())
        return run.consolePath;
    const std::size_t separator = acadPath.find_last_of("\\/");
    std::string folder(separator == std::string_view::npos ? std::string_view()
                                                           : acadPath.substr(0, separator + 1));
    return folder + std::string(kConsoleProgramName);
}

std::string RunSettingValue(const RunSettings& run, std::string_view key) {
    if (key == kRunSettingKeys[0])
        return std::string(kEngineWords[run.engine == Engine::Console ? 1 : 0]);
    if (key == kRunSettingKeys[1])
        return run.consolePath;
    if (key == kRunSettingKeys[2])
        return std::to_string(run.workers);
    if (key == kRunSettingKeys[3])
        return std::to_string(run.timeoutSeconds);
    if (key == kRunSettingKeys[4])
        return run.language;
    return {};
}

Status ReadRunSetting(RunSettings& run, std::string_view key, std::string_view value, int line) {
    if (key == kRunSettingKeys[0]) {
        if (value != kEngineWords[0] && value != kEngineWords[1]) {
            Error error = TextError(TextFault::NotAWord, line, key, value);
            error.allowed.assign(std::begin(kEngineWords), std::end(kEngineWords));
            return error;
        }
        run.engine = value == kEngineWords[1] ? Engine::Console : Engine::Autocad;
    } else if (key == kRunSettingKeys[1]) {
        run.consolePath = std::string(value);
    } else if (key == kRunSettingKeys[2]) {
        const Result<int> workers = WholeNumber(key, value, line, kMinWorkers, kMaxWorkers);
        if (!workers)
            return workers.error();
        run.workers = *workers;
    } else if (key == kRunSettingKeys[3]) {
        const Result<int> timeout = WholeNumber(key, value, line, kMinTimeout, kMaxTimeout);
        if (!timeout)
            return timeout.error();
        run.timeoutSeconds = *timeout;
    } else if (key == kRunSettingKeys[4]) {
        if (!IsLanguageTag(value))
            return TextError(TextFault::NotALanguage, line, key, value);
        run.language = std::string(value);
    }
    return Success();
}

std::string WriteRunSettings(const RunSettings& run) {
    std::string text;
    for (const std::string_view key : kRunSettingKeys)
        text.append(key).append("=").append(RunSettingValue(run, key)).append("\n");
    return text;
}

Result<RunSettings> ParseRunSettings(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    RunSettings run;
    int lineNumber = 0;
    for (const std::string_view line : SplitLines(text)) {
        ++lineNumber;
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return TextError(TextFault::MissingEquals, lineNumber);
        if (Status read =
                ReadRunSetting(run, line.substr(0, equals), line.substr(equals + 1), lineNumber);
            !read)
            return read.error();
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
