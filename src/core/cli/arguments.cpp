#include "cli/arguments.h"

#include "base/numbers.h"
#include "batch/runsettings.h"
#include "usecases/trial.h"

namespace pilotrame {

namespace {

Error BadArguments(TextFault fault, std::string_view argument = {}) {
    return InOperation(TextError(fault, 0, argument), Operation::ReadArguments);
}

// The number of "--workers N" or "--timeout S": a whole number from low to high.
Result<int> OptionNumber(const std::string& option, const std::string& value, int low, int high) {
    if (value.empty())
        return BadArguments(TextFault::MissingNumber, option);
    const std::optional<std::int64_t> number = ParseInteger(value);
    if (!number)
        return InOperation(TextError(TextFault::NotAWholeNumber, 0, option, value),
                           Operation::ReadArguments);
    if (*number < low || *number > high) {
        Error error = TextError(TextFault::NumberOutOfRange, 0, option, value);
        error.allowed = {std::to_string(low), std::to_string(high)};
        return InOperation(std::move(error), Operation::ReadArguments);
    }
    return static_cast<int>(*number);
}

} // namespace

Result<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine command;
    bool generate = false;
    bool verify = false;
    bool help = false;
    bool version = false;
    auto once = [](bool& seen, const std::string& option) -> Status {
        if (seen)
            return BadArguments(TextFault::RepeatedOption, option);
        seen = true;
        return Success();
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string option = argument;
        std::optional<std::string> attached;
        if (argument.rfind("--", 0) == 0) {
            if (const std::size_t equals = argument.find('='); equals != std::string::npos) {
                option = argument.substr(0, equals);
                attached = argument.substr(equals + 1);
            }
        }
        if (option == "--job" || option == "--list") {
            std::optional<std::string>& target =
                option == "--job" ? command.jobPath : command.listPath;
            if (target)
                return BadArguments(TextFault::RepeatedOption, option);
            std::string file;
            if (attached) {
                file = *attached;
            } else if (i + 1 < arguments.size() && arguments[i + 1].rfind("--", 0) != 0) {
                file = arguments[++i];
            }
            if (file.empty())
                return BadArguments(TextFault::MissingFileName, option);
            target = std::move(file);
            continue;
        }
        if (option == "--workers" || option == "--timeout" || option == "--essai") {
            const bool workers = option == "--workers";
            const bool trial = option == "--essai";
            std::optional<int>& target = workers ? command.workers
                                         : trial ? command.trialDrawings
                                                 : command.timeoutSeconds;
            if (target)
                return BadArguments(TextFault::RepeatedOption, option);
            std::string value;
            if (attached) {
                value = *attached;
            } else if (i + 1 < arguments.size() && arguments[i + 1].rfind("--", 0) != 0) {
                value = arguments[++i];
            }
            const Result<int> number =
                workers ? OptionNumber(option, value, kMinWorkers, kMaxWorkers)
                : trial ? OptionNumber(option, value, kMinTrialDrawings, kMaxTrialDrawings)
                        : OptionNumber(option, value, kMinTimeout, kMaxTimeout);
            if (!number)
                return number.error();
            target = *number;
            continue;
        }
        if (attached)
            return BadArguments(TextFault::ValueNotTaken, option);
        Status seen = Success();
        if (option == "--generate")
            seen = once(generate, option);
        else if (option == "--verifier")
            seen = once(verify, option);
        else if (option == "--execute")
            seen = once(command.execute, option);
        else if (option == "--run")
            seen = once(command.run, option);
        else if (option == "--skip-unready")
            seen = once(command.skipUnready, option);
        else if (option == "--help" || option == "-h" || option == "/?")
            seen = once(help, option);
        else if (option == "--version")
            seen = once(version, option);
        else if (!option.empty() && (option.front() == '-' || option.front() == '/'))
            return BadArguments(TextFault::UnknownOption, option);
        else
            return BadArguments(TextFault::UnexpectedArgument, option);
        if (!seen)
            return seen.error();
    }
    if (help) {
        command.action = CommandAction::Help;
        return command;
    }
    if (version) {
        command.action = CommandAction::Version;
        return command;
    }
    // The first option of a run given without --run.
    const std::string_view runOption = command.workers          ? "--workers"
                                       : command.timeoutSeconds ? "--timeout"
                                       : command.skipUnready    ? "--skip-unready"
                                                                : "";
    if (verify) {
        // The first option that --verifier does not take.
        const std::string_view other = generate                ? "--generate"
                                       : command.execute       ? "--execute"
                                       : command.run           ? "--run"
                                       : command.trialDrawings ? "--essai"
                                                               : runOption;
        if (!other.empty())
            return BadArguments(TextFault::VerifyAlone, other);
        command.action = CommandAction::Verify;
        return command;
    }
    if (!generate) {
        if (command.jobPath || command.listPath || command.execute || command.run ||
            command.trialDrawings)
            return BadArguments(TextFault::OnlyWithGenerate);
        if (!runOption.empty())
            return BadArguments(TextFault::OnlyWithRun, runOption);
        return command;
    }
    if (command.run && command.execute)
        return BadArguments(TextFault::RunAndExecute);
    if (!runOption.empty() && !command.run)
        return BadArguments(TextFault::OnlyWithRun, runOption);
    command.action = CommandAction::Generate;
    return command;
}

} // namespace pilotrame
