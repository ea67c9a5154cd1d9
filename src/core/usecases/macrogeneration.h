#pragma once

#include "base/result.h"
#include "process/process.h"
#include "script/macrosection.h"
#include "selection/filelist.h"

#include <functional>
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

// What "GENERER" writes the macro script from.
struct MacroRequest {
    std::string listPath;   // the list of drawings
    std::string scriptPath; // Pilotrame.scr in the script folder
    MacroJob job;
    bool sdiMultiple = true;  // "SDI = 0 Fenetre multiple": each drawing is closed after its macros
    std::string workbookPath; // the F2 workbook
};

// "GENERER": checks the boxes of the job before the script is touched (CheckMacroJob), then
// writes one macro section per listed drawing (WriteMacroSection) as GenerateScript does, whole
// or not at all. Only once the script is written do symbols move to where its last symbol left
// them and, with F2 ticked and F1 not and some drawing listed, is startExcel called, once, with
// the workbook. Returns the number of sections; fails as CheckMacroJob and GenerateScript do,
// symbols then left as they were.
Result<int> GenerateMacroScript(const MacroRequest& request, ListPosition& position,
                                SymbolGrid& symbols,
                                const std::function<void(const std::string& workbook)>& startExcel);

} // namespace pilotrame
