#pragma once

#include "process/process.h"

#include <string>
#include <string_view>

namespace pilotrame {

// The use case of the macro-functions window's "GENERER".

// Excel's fixed program path.
inline constexpr std::string_view kExcelProgram =
    "C:\\Program Files\\Microsoft Office\\Office\\excel.exe";

// What the program hands to the system to start Excel on the F2 workbook: the fixed program, "/B"
// and the workbook, maximised.
ProgramStart ExcelStart(std::string_view workbookPath);

// Its Windows command line (WindowsCommandLine).
std::string ExcelCommandLine(std::string_view workbookPath);

} // namespace pilotrame
