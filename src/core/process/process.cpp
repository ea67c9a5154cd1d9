#include "process/process.h"

#include "process/systemstarter.h"

#include <algorithm>

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

class RefuseEveryStart final : public ProgramStarter {
public:
    Status startDetached(const ProgramStart& start) override {
        return StartFailure(start.program, ErrorCode::FileNotFound);
    }
};

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

Error StartFailure(const std::string& program, ErrorCode code, Cause cause,
                   std::string systemText) {
    Error error;
    error.code = code;
    error.cause = cause;
    error.operation = Operation::StartProgram;
    error.path = program;
    error.detail = program;
    error.text = std::move(systemText);
    return error;
}

ProgramStarter& SystemProgramStarter() {
    static SystemStarter starter;
    return starter;
}

ProgramStarter& NoProgramStarter() {
    static RefuseEveryStart starter;
    return starter;
}

} // namespace pilotrame
