// The command line's parser. Input bytes split at 0xFF are the arguments. They give a command or
// a typed refusal of ReadArguments; --help wins whenever the arguments are valid; no option is
// taken twice; --run goes with --generate and never with --execute; --workers, --timeout and
// --skip-unready go only with --run, the numbers within their ranges; and a command keeps the
// file names and numbers it was given, so that written back as arguments it is the same command.

#include "batch/runsettings.h"
#include "cli/generate.h"
#include "fuzzsupport.h"
#include "texts/commandline.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace pilotrame;

std::string Joined(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments)
        text += "[" + argument + "]";
    return text;
}

// True when one of options is among the arguments, not counting those taken as the file name of
// a "--job" or "--list" before them.
bool Holds(const std::vector<std::string>& arguments, std::initializer_list<const char*> options) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (std::find(options.begin(), options.end(), arguments[i]) != options.end())
            return true;
        if ((arguments[i] == "--job" || arguments[i] == "--list") && i + 1 < arguments.size() &&
            !arguments[i + 1].starts_with("--"))
            ++i;
    }
    return false;
}

// True when the arguments gave path to option, attached ("--job=F") or as the next argument.
bool GavePath(const std::vector<std::string>& arguments, const std::string& option,
              const std::string& path) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == option + "=" + path)
            return true;
        if (arguments[i] == option && i + 1 < arguments.size() && arguments[i + 1] == path)
            return true;
    }
    return false;
}

// The command written back as arguments, every file name attached.
std::vector<std::string> Arguments(const CommandLine& command) {
    std::vector<std::string> arguments;
    if (command.action == CommandAction::Help)
        arguments.emplace_back("--help");
    if (command.action == CommandAction::Version)
        arguments.emplace_back("--version");
    if (command.action == CommandAction::Generate)
        arguments.emplace_back("--generate");
    if (command.action == CommandAction::Verify)
        arguments.emplace_back("--verifier");
    if (command.jobPath)
        arguments.push_back("--job=" + *command.jobPath);
    if (command.listPath)
        arguments.push_back("--list=" + *command.listPath);
    if (command.execute)
        arguments.emplace_back("--execute");
    if (command.run)
        arguments.emplace_back("--run");
    if (command.workers)
        arguments.push_back("--workers=" + std::to_string(*command.workers));
    if (command.timeoutSeconds)
        arguments.push_back("--timeout=" + std::to_string(*command.timeoutSeconds));
    if (command.skipUnready)
        arguments.emplace_back("--skip-unready");
    if (command.trialDrawings)
        arguments.push_back("--essai=" + std::to_string(*command.trialDrawings));
    return arguments;
}

void ExpectRepeated(std::vector<std::string> arguments, const std::string& again) {
    arguments.push_back(again);
    const Result<CommandLine> parsed = ParseCommandLine(arguments);
    if (parsed || parsed.error().fault != TextFault::RepeatedOption)
        fuzz::Violated("an option given twice is taken", Joined(arguments));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments;
    fuzz::Fields fields(data, size);
    while (!fields.empty() && arguments.size() < 64)
        arguments.push_back(fields.next());

    const Result<CommandLine> parsed = ParseCommandLine(arguments);
    if (!parsed) {
        const Error& error = parsed.error();
        if (error.operation != Operation::ReadArguments || error.cause != Cause::FaultyText ||
            error.fault == TextFault::None)
            fuzz::Violated("an untyped refusal", Joined(arguments));
        if (CommandLineFailureText(error).empty())
            fuzz::Violated("a refusal without a message", Joined(arguments));
        return 0;
    }
    const CommandLine& command = *parsed;
    const bool help = Holds(arguments, {"--help", "-h", "/?"});
    if (help != (command.action == CommandAction::Help))
        fuzz::Violated("--help does not win", Joined(arguments));
    if (!help && Holds(arguments, {"--version"}) != (command.action == CommandAction::Version))
        fuzz::Violated("--version does not win over all but --help", Joined(arguments));
    if (command.action == CommandAction::None &&
        (command.jobPath || command.listPath || command.execute))
        fuzz::Violated("--job, --list or --execute taken without --generate", Joined(arguments));
    if (command.jobPath &&
        (command.jobPath->empty() || !GavePath(arguments, "--job", *command.jobPath)))
        fuzz::Violated("a job file that was not given", Joined(arguments));
    if (command.listPath &&
        (command.listPath->empty() || !GavePath(arguments, "--list", *command.listPath)))
        fuzz::Violated("a list file that was not given", Joined(arguments));
    if (command.action == CommandAction::None && command.run)
        fuzz::Violated("--run taken without --generate", Joined(arguments));
    if (command.action == CommandAction::Generate) {
        if (command.run && command.execute)
            fuzz::Violated("--run taken with --execute", Joined(arguments));
        if (!command.run && (command.workers || command.timeoutSeconds || command.skipUnready))
            fuzz::Violated("--workers, --timeout or --skip-unready taken without --run",
                           Joined(arguments));
    }
    if (command.workers && (*command.workers < kMinWorkers || *command.workers > kMaxWorkers))
        fuzz::Violated("a count of drawings at once out of its range", Joined(arguments));
    if (command.timeoutSeconds &&
        (*command.timeoutSeconds < kMinTimeout || *command.timeoutSeconds > kMaxTimeout))
        fuzz::Violated("a time limit out of its range", Joined(arguments));

    const Result<CommandLine> again = ParseCommandLine(Arguments(command));
    if (!again || !(*again == command))
        fuzz::Violated("a command written back as arguments differs", Joined(arguments));

    // Whatever was taken once is refused a second time.
    if (command.action == CommandAction::Help)
        ExpectRepeated(arguments, "--help");
    if (command.action == CommandAction::Generate)
        ExpectRepeated(arguments, "--generate");
    if (command.execute)
        ExpectRepeated(arguments, "--execute");
    if (command.jobPath)
        ExpectRepeated(arguments, "--job=again");
    if (command.listPath)
        ExpectRepeated(arguments, "--list=again");
    if (command.run)
        ExpectRepeated(arguments, "--run");
    if (command.workers)
        ExpectRepeated(arguments, "--workers=1");
    if (command.timeoutSeconds)
        ExpectRepeated(arguments, "--timeout=1");
    return 0;
}
