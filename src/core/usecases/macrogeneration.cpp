#include "usecases/macrogeneration.h"

namespace pilotrame {

std::string ExcelCommandLine(std::string_view workbookPath) {
    return "C:\\Program Files\\Microsoft Office\\Office\\excel.exe /B " + std::string(workbookPath);
}

ProgramStart ExcelStart(std::string_view workbookPath) {
    ProgramStart start;
    start.windowsCommandLine = ExcelCommandLine(workbookPath);
    start.maximised = true;
    return start;
}

} // namespace pilotrame
