#include "usecases/macrogeneration.h"

namespace pilotrame {

ProgramStart ExcelStart(std::string_view workbookPath) {
    ProgramStart start;
    start.program = std::string(kExcelProgram);
    start.arguments = {"/B", std::string(workbookPath)};
    start.maximised = true;
    return start;
}

std::string ExcelCommandLine(std::string_view workbookPath) {
    return WindowsCommandLine(ExcelStart(workbookPath));
}

} // namespace pilotrame
