#include "script/macrosection.h"

#include "base/numbers.h"
#include "base/text.h"
#include "script/scriptlines.h"

#include <cstdint>
#include <limits>

namespace pilotrame {

namespace {

constexpr std::string_view kStepXBox = "F1 pas X";
constexpr std::string_view kStepYBox = "F1 pas Y";

// The next symbol position, or the step box whose addition leaves the 16-bit range.
Result<SymbolGrid> NextPosition(SymbolGrid grid, const MacroJob& job) {
    // The positions are 16-bit, so a step must fit there too.
    const Result<std::int16_t> stepX = ReadShortBox(job.symbolStepX, kStepXBox);
    if (!stepX)
        return stepX.error();
    // Checked even when no wrap follows, so that a bad box stops the first drawing rather than
    // the tenth.
    const Result<std::int16_t> stepY = ReadShortBox(job.symbolStepY, kStepYBox);
    if (!stepY)
        return stepY.error();

    const std::int64_t row = std::int64_t{grid.row} + *stepX;
    if (row < kInt16Min || row > kInt16Max)
        return BoxError(Cause::OutOfRange, kStepXBox, job.symbolStepX);
    grid.row = static_cast<std::int16_t>(row);
    if (grid.row > 240) {
        grid.row = 0;
        const std::int64_t column = std::int64_t{grid.column} + *stepY;
        if (column < kInt16Min || column > kInt16Max)
            return BoxError(Cause::OutOfRange, kStepYBox, job.symbolStepY);
        grid.column = static_cast<std::int16_t>(column);
    }
    return grid;
}

Status WriteSymbolInsertion(std::string& section, const MacroJob& job, SymbolGrid& grid,
                            const ListPosition& position) {
    const std::string& name = position.currentFileName;
    const std::size_t extension = FindIgnoringCase(name, ".dwg");
    if (extension == std::string::npos) {
        Error error = NameError(ErrorCode::BadFileName, name, position.currentFolder + name);
        error.cause = Cause::NotADrawingName;
        return error;
    }
    const Result<SymbolGrid> next = NextPosition(grid, job);
    if (!next)
        return next.error();
    grid = *next;

    section += "-inserer ";
    section += position.currentFolder;
    AppendLine(section, name);
    AppendPointLine(section, std::to_string(grid.column), std::to_string(grid.row));
    AppendLine(section, "1");
    AppendLine(section, "1");
    AppendLine(section, "0");
    // The block's one attribute: the symbol's name.
    AppendLine(section, std::string_view(name).substr(0, extension));
    return Success();
}

// The format code of the F3 combo; empty when its text is none of the list entries.
std::string_view AttributeFormatCode(std::string_view format) {
    if (format == "Nom fichier + infos sur 1 Ligne")
        return "FL";
    if (format == "Nom fichier + infos par Colone")
        return "FC";
    if (format == "Par Colone")
        return "C";
    if (format == "Par Ligne")
        return "L";
    return {};
}

void AppendIfNotEmpty(std::string& section, std::string_view line) {
    if (!line.empty())
        AppendLine(section, line);
}

void WriteAttributeExport(std::string& section, const MacroJob& job) {
    AppendLine(section, "export_attribut");
    if (job.attributesAllBlocks)
        AppendLine(section, "tout");
    else if (job.attributesNamed)
        AppendLine(section, TrimSpaces(job.attributeBlocks[0]));

    const auto& names = job.attributeNames;
    AppendIfNotEmpty(section, TrimSpaces(names[0]));
    if (TrimSpaces(names[0]).empty() && TrimSpaces(names[1]).empty() &&
        TrimSpaces(names[2]).empty())
        AppendLine(section, "");

    const std::string_view format = AttributeFormatCode(job.attributeFormat);
    AppendIfNotEmpty(section, format);
    for (std::size_t column = 1; column < 4; ++column) {
        AppendIfNotEmpty(section, TrimSpaces(job.attributeBlocks[column]));
        AppendIfNotEmpty(section, TrimSpaces(names[column]));
        AppendIfNotEmpty(section, format);
    }
    AppendLine(section, "fin");
}

void WriteBlockCount(std::string& section, const MacroJob& job) {
    AppendLine(section, "compte_bloc");
    if (job.countAllBlocks)
        AppendLine(section, "tout");
    if (job.countNamed)
        AppendLine(section, TrimSpaces(job.countBlock));
}

void WriteLayerErase(std::string& section, const MacroJob& job) {
    AppendLine(section, "efface_calque");
    AppendLine(section, TrimSpaces(job.erasedLayer));
    AppendLine(section, "_qsave");
}

void WriteLayerFreeze(std::string& section, const MacroJob& job) {
    if (job.freeze)
        AppendLine(section, "gele_calque");
    if (job.thaw)
        AppendLine(section, "degele_calque");
    AppendLine(section, TrimSpaces(job.frozenLayer));
    AppendLine(section, "_qsave");
}

void WriteTextExport(std::string& section, const MacroJob& job) {
    AppendLine(section, "texte_export");
    if (job.exportAllText) {
        AppendLine(section, "tout");
        AppendLine(section, "");
    }
    if (job.exportWindow) {
        const auto& c = job.exportCorners;
        AppendLine(section, "fenetre");
        // The boxes go in pairs as the macro reads them: both X boxes, then both Y boxes.
        AppendPointLine(section, TrimSpaces(c[0]), TrimSpaces(c[1]));
        AppendPointLine(section, TrimSpaces(c[2]), TrimSpaces(c[3]));
        AppendLine(section, "");
    }
}

void WriteMacroRun(std::string& section, const MacroJob& job, bool sdiMultiple,
                   const ListPosition& position) {
    AppendLine(section, "_.open");
    section += '"';
    section += position.currentFolder;
    section += position.currentFileName;
    section += '"';
    section += kCrLf;
    AppendLine(section, "_vbarun");
    if (job.exportAttributes)
        WriteAttributeExport(section, job);
    if (job.countBlocks)
        WriteBlockCount(section, job);
    if (job.eraseLayer)
        WriteLayerErase(section, job);
    if (job.freezeLayer)
        WriteLayerFreeze(section, job);
    if (job.exportText)
        WriteTextExport(section, job);
    if (sdiMultiple)
        AppendLine(section, "_close");
}

} // namespace

Status WriteMacroSection(std::string& section, const MacroJob& job, SymbolGrid& grid,
                         bool sdiMultiple, const ListPosition& position) {
    if (job.insertSymbols)
        return WriteSymbolInsertion(section, job, grid, position);
    grid = SymbolGrid{};
    WriteMacroRun(section, job, sdiMultiple, position);
    return Success();
}

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
