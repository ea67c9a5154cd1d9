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

Result<int>
GenerateMacroScript(const MacroRequest& request, ListPosition& position, SymbolGrid& symbols,
                    const std::function<void(const std::string& workbook)>& startExcel) {
    const MacroJob& job = request.job;
    // A box that cannot be written stops the generation before the script is emptied.
    if (Status checked = CheckMacroJob(job); !checked)
        return checked.error();
    // The script is written whole or not at all: the grid moves, and Excel starts, only with a
    // script written, so that the next symbol follows the last one the script places.
    SymbolGrid grid = symbols;
    const SectionWriter writeSection = [&](std::string& section, const ListPosition& at) -> Status {
        SymbolGrid next = grid;
        if (Status written = WriteMacroSection(section, job, next, request.sdiMultiple, at);
            !written)
            return written;
        grid = next;
        return Success();
    };
    const Result<int> sections =
        GenerateScript(request.listPath, request.scriptPath, position, writeSection);
    if (!sections)
        return sections;
    symbols = grid;
    // Excel is wanted once for the batch, not once per drawing; symbol insertion never asks for
    // it.
    if (job.startExcel && !job.insertSymbols && *sections > 0 && startExcel)
        startExcel(request.workbookPath);
    return sections;
}

} // namespace pilotrame
