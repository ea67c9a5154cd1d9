#include "usecases/macrogeneration.h"

#include "script/generation.h"

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

Result<int>
GenerateMacroScript(const MacroRequest& request, ListPosition& position, SymbolGrid& symbols,
                    const std::function<void(const std::string& workbook)>& startExcel) {
    const MacroJob& job = request.job;
    // A box that cannot be written stops the generation before the script is emptied.
    if (Status checked = CheckMacroJob(job); !checked)
        return checked.error();
    // Excel is wanted once for the batch, not once per drawing; symbol insertion never asks for
    // it.
    bool excelWanted = job.startExcel && !job.insertSymbols;
    const SectionWriter writeSection = [&](std::string& section, const ListPosition& at) -> Status {
        // A section that fails leaves the grid where the last symbol went.
        SymbolGrid grid = symbols;
        if (Status written = WriteMacroSection(section, job, grid, request.sdiMultiple, at);
            !written)
            return written;
        symbols = grid;
        if (excelWanted) {
            excelWanted = false;
            if (startExcel)
                startExcel(request.workbookPath);
        }
        return Success();
    };
    return GenerateScript(request.listPath, request.scriptPath, position, writeSection);
}

} // namespace pilotrame
