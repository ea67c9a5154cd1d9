#pragma once

#include "process/process.h"

#include <string>
#include <string_view>

namespace pilotrame {

// The use case of the macro-functions window's "GENERER".

// The command line that starts Excel on the F2 workbook: the fixed program path, " /B " and the
// workbook path as it stands, without quotes.
std::string ExcelCommandLine(std::string_view workbookPath);

// What the program hands to the system to start Excel on the workbook: ExcelCommandLine, the
// program found from it as a typed command line is, maximised.
ProgramStart ExcelStart(std::string_view workbookPath);

} // namespace pilotrame
