#include "script/macrosection.h"

#include "base/numbers.h"
#include "base/text.h"
#include "script/scriptlines.h"

#include <cstdint>
#include <limits>

namespace pilotrame {

namespace {

constexpr std::int64_t kInt16Min = std::numeric_limits<std::int16_t>::min();
constexpr std::int64_t kInt16Max = std::numeric_limits<std::int16_t>::max();

constexpr std::string_view kStepXBox = "F1 pas X";
constexpr std::string_view kStepYBox = "F1 pas Y";

// The next symbol position, or the step box whose addition leaves the 16-bit range.
Result<SymbolGrid> nextPosition(SymbolGrid grid, const MacroJob& job) {
    // The positions are 16-bit, so a step must fit there too.
    const Result<std::int16_t> stepX = readShortBox(job.symbolStepX, kStepXBox);
    if (!stepX)
        return stepX.error();
    // Checked even when no wrap follows, so that a bad box stops the first drawing rather than
    // the tenth.
    const Result<std::int16_t> stepY = readShortBox(job.symbolStepY, kStepYBox);
    if (!stepY)
        return stepY.error();

    const std::int64_t row = std::int64_t{grid.row} + *stepX;
    if (row < kInt16Min || row > kInt16Max)
        return numberBoxError(ErrorKind::OutOfRange, kStepXBox, job.symbolStepX);
    grid.row = static_cast<std::int16_t>(row);
    if (grid.row > 240) {
        grid.row = 0;
        const std::int64_t column = std::int64_t{grid.column} + *stepY;
        if (column < kInt16Min || column > kInt16Max)
            return numberBoxError(ErrorKind::OutOfRange, kStepYBox, job.symbolStepY);
        grid.column = static_cast<std::int16_t>(column);
    }
    return grid;
}

Status writeSymbolInsertion(std::string& section, const MacroJob& job, SymbolGrid& grid,
                            const ListPosition& position) {
    const std::string& name = position.currentFileName;
    const std::size_t extension = findIgnoringCase(name, ".dwg");
    if (extension == std::string::npos)
        return Error{ErrorCode::BadFileName,
                     ErrorKind::NotADrawingName,
                     position.currentFolder + name,
                     name,
                     {}};
    const Result<SymbolGrid> next = nextPosition(grid, job);
    if (!next)
        return next.error();
    grid = *next;

    section += "-inserer ";
    section += position.currentFolder;
    appendLine(section, name);
    appendPointLine(section, std::to_string(grid.column), std::to_string(grid.row));
    appendLine(section, "1");
    appendLine(section, "1");
    appendLine(section, "0");
    // The block's one attribute: the symbol's name.
    appendLine(section, std::string_view(name).substr(0, extension));
    return success();
}

// The format code of the F3 combo; empty when its text is none of the list entries.
std::string_view attributeFormatCode(std::string_view format) {
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

void appendIfNotEmpty(std::string& section, std::string_view line) {
    if (!line.empty())
        appendLine(section, line);
}

void writeAttributeExport(std::string& section, const MacroJob& job) {
    appendLine(section, "export_attribut");
    if (job.attributesAllBlocks)
        appendLine(section, "tout");
    else if (job.attributesNamed)
        appendLine(section, trimSpaces(job.attributeBlocks[0]));

    const auto& names = job.attributeNames;
    appendIfNotEmpty(section, trimSpaces(names[0]));
    if (trimSpaces(names[0]).empty() && trimSpaces(names[1]).empty() &&
        trimSpaces(names[2]).empty())
        appendLine(section, "");

    const std::string_view format = attributeFormatCode(job.attributeFormat);
    appendIfNotEmpty(section, format);
    for (std::size_t column = 1; column < 4; ++column) {
        appendIfNotEmpty(section, trimSpaces(job.attributeBlocks[column]));
        appendIfNotEmpty(section, trimSpaces(names[column]));
        appendIfNotEmpty(section, format);
    }
    appendLine(section, "fin");
}

void writeBlockCount(std::string& section, const MacroJob& job) {
    appendLine(section, "compte_bloc");
    if (job.countAllBlocks)
        appendLine(section, "tout");
    if (job.countNamed)
        appendLine(section, trimSpaces(job.countBlock));
}

void writeLayerErase(std::string& section, const MacroJob& job) {
    appendLine(section, "efface_calque");
    appendLine(section, trimSpaces(job.erasedLayer));
    appendLine(section, "_qsave");
}

void writeLayerFreeze(std::string& section, const MacroJob& job) {
    if (job.freeze)
        appendLine(section, "gele_calque");
    if (job.thaw)
        appendLine(section, "degele_calque");
    appendLine(section, trimSpaces(job.frozenLayer));
    appendLine(section, "_qsave");
}

void writeTextExport(std::string& section, const MacroJob& job) {
    appendLine(section, "texte_export");
    if (job.exportAllText) {
        appendLine(section, "tout");
        appendLine(section, "");
    }
    if (job.exportWindow) {
        const auto& c = job.exportCorners;
        appendLine(section, "fenetre");
        // The boxes go in pairs as the macro reads them: both X boxes, then both Y boxes.
        appendPointLine(section, trimSpaces(c[0]), trimSpaces(c[1]));
        appendPointLine(section, trimSpaces(c[2]), trimSpaces(c[3]));
        appendLine(section, "");
    }
}

void writeMacroRun(std::string& section, const MacroJob& job, bool sdiMultiple,
                   const ListPosition& position) {
    appendLine(section, "_.open");
    section += '"';
    section += position.currentFolder;
    section += position.currentFileName;
    section += '"';
    section += kCrLf;
    appendLine(section, "_vbarun");
    if (job.exportAttributes)
        writeAttributeExport(section, job);
    if (job.countBlocks)
        writeBlockCount(section, job);
    if (job.eraseLayer)
        writeLayerErase(section, job);
    if (job.freezeLayer)
        writeLayerFreeze(section, job);
    if (job.exportText)
        writeTextExport(section, job);
    if (sdiMultiple)
        appendLine(section, "_close");
}

} // namespace

Status WriteMacroSection(std::string& section, const MacroJob& job, SymbolGrid& grid,
                         bool sdiMultiple, const ListPosition& position) {
    if (job.insertSymbols)
        return writeSymbolInsertion(section, job, grid, position);
    grid = SymbolGrid{};
    writeMacroRun(section, job, sdiMultiple, position);
    return success();
}

std::string ExcelCommandLine(std::string_view workbookPath) {
    return "C:\\Program Files\\Microsoft Office\\Office\\excel.exe /B " + std::string(workbookPath);
}

} // namespace pilotrame
