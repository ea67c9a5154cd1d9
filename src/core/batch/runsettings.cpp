#include "batch/runsettings.h"

#include "base/fileio.h"
#include "base/numbers.h"
#include "base/text.h"

#include <algorithm>

namespace pilotrame {

namespace {

constexpr std::string_view kEngineWords[] = {"autocad", "console"};

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return {};
    return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

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

std::vector<std::string> DefaultFailureMessages() {
    return {"Commande inconnue",
            "Unknown command",
            "Le fichier de dessin n'est pas valide",
            "Drawing file is not valid",
            "Impossible d'ouvrir le dessin",
            "Cannot open drawing",
            "Impossible d'enregistrer le dessin",
            "Unable to save drawing"};
}

std::vector<std::string> SplitFailureMessages(std::string_view text) {
    std::vector<std::string> messages;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("|\r\n"), text.size());
        if (const std::string_view message = TrimBlanks(text.substr(0, end)); !message.empty())
            messages.emplace_back(message);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return messages;
}

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
    if (key == kRunSettingKeys[5]) {
        std::string joined;
        for (const std::string& message : run.failureMessages) {
            if (!joined.empty())
                joined += kFailureMessageSeparator;
            joined += message;
        }
        return joined;
    }
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
    } else if (key == kRunSettingKeys[5]) {
        run.failureMessages = SplitFailureMessages(value);
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
        if (Status read = ReadRunSetting(run, TrimBlanks(line.substr(0, equals)),
                                         TrimBlanks(line.substr(equals + 1)), lineNumber);
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
