#include "script/macrosection.h"

#include "base/codepage.h"
#include "base/numbers.h"
#include "base/text.h"
#include "script/scriptlines.h"

#include <cstdint>
#include <limits>

namespace pilotrame {

namespace {

// The two step boxes of F1.
struct SymbolSteps {
    std::int16_t x = 0;
    std::int16_t y = 0;
};

Result<SymbolSteps> ReadSteps(const MacroJob& job) {
    // The positions are 16-bit, so a step must fit there too.
    const Result<std::int16_t> stepX = ReadShortBox(job.symbolStepX, Box::SymbolStepX);
    if (!stepX)
        return stepX.error();
    // Checked even when no wrap follows, so that a bad box stops the first drawing rather than
    // the tenth.
    const Result<std::int16_t> stepY = ReadShortBox(job.symbolStepY, Box::SymbolStepY);
    if (!stepY)
        return stepY.error();
    return SymbolSteps{*stepX, *stepY};
}

// The grid has gone as far as a 16-bit position goes: the boxes are right, the grid is full.
Error GridPastTheLimit(std::int16_t step, std::int64_t position) {
    Error error;
    error.code = ErrorCode::Overflow;
    error.cause = Cause::PastTheLimit;
    error.box = Box::SymbolGrid;
    error.text = std::to_string(step);
    error.number = static_cast<int>(position > kInt16Max ? kInt16Max : kInt16Min);
    return error;
}

// The next symbol position, or the failure of a step box or of the grid past the 16-bit range.
Result<SymbolGrid> NextPosition(SymbolGrid grid, const MacroJob& job) {
    const Result<SymbolSteps> steps = ReadSteps(job);
    if (!steps)
        return steps.error();
    const std::int64_t row = std::int64_t{grid.row} + steps->x;
    if (row < kInt16Min || row > kInt16Max)
        return GridPastTheLimit(steps->x, row);
    grid.row = static_cast<std::int16_t>(row);
    if (grid.row > 240) {
        grid.row = 0;
        const std::int64_t column = std::int64_t{grid.column} + steps->y;
        if (column < kInt16Min || column > kInt16Max)
            return GridPastTheLimit(steps->y, column);
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
        // A line without a name names nothing by itself: the message names its folder and line.
        error.line = position.line;
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

// The F3 boxes of a column, from 0.
BoxRef BlockBox(std::size_t column) {
    return BoxRef(Box::AttributeBlock, static_cast<int>(column) + 1);
}
BoxRef NameBox(std::size_t column) {
    return BoxRef(Box::AttributeName, static_cast<int>(column) + 1);
}

Status AppendBoxIfNotEmpty(std::string& section, std::string_view line, BoxRef box) {
    if (line.empty())
        return Success();
    return AppendBoxLine(section, line, box);
}

Status WriteAttributeExport(std::string& section, const MacroJob& job) {
    AppendLine(section, "export_attribut");
    if (job.attributesAllBlocks)
        AppendLine(section, "tout");
    else if (job.attributesNamed) {
        if (Status s = AppendBoxLine(section, TrimSpaces(job.attributeBlocks[0]), BlockBox(0)); !s)
            return s;
    }

    const auto& names = job.attributeNames;
    if (Status s = AppendBoxIfNotEmpty(section, TrimSpaces(names[0]), NameBox(0)); !s)
        return s;
    if (TrimSpaces(names[0]).empty() && TrimSpaces(names[1]).empty() &&
        TrimSpaces(names[2]).empty())
        AppendLine(section, "");

    const std::string_view format = AttributeFormatCode(job.attributeFormat);
    if (!format.empty())
        AppendLine(section, format);
    for (std::size_t column = 1; column < 4; ++column) {
        if (Status s = AppendBoxIfNotEmpty(section, TrimSpaces(job.attributeBlocks[column]),
                                           BlockBox(column));
            !s)
            return s;
        if (Status s = AppendBoxIfNotEmpty(section, TrimSpaces(names[column]), NameBox(column)); !s)
            return s;
        if (!format.empty())
            AppendLine(section, format);
    }
    AppendLine(section, "fin");
    return Success();
}

Status WriteBlockCount(std::string& section, const MacroJob& job) {
    AppendLine(section, "compte_bloc");
    if (job.countAllBlocks)
        AppendLine(section, "tout");
    if (job.countNamed)
        return AppendBoxLine(section, TrimSpaces(job.countBlock), Box::CountedBlock);
    return Success();
}

Status WriteLayerErase(std::string& section, const MacroJob& job) {
    AppendLine(section, "efface_calque");
    if (Status s = AppendBoxLine(section, TrimSpaces(job.erasedLayer), Box::ErasedLayer); !s)
        return s;
    AppendLine(section, "_qsave");
    return Success();
}

Status WriteLayerFreeze(std::string& section, const MacroJob& job) {
    if (job.freeze)
        AppendLine(section, "gele_calque");
    if (job.thaw)
        AppendLine(section, "degele_calque");
    if (Status s = AppendBoxLine(section, TrimSpaces(job.frozenLayer), Box::FrozenLayer); !s)
        return s;
    AppendLine(section, "_qsave");
    return Success();
}

Status WriteTextExport(std::string& section, const MacroJob& job) {
    AppendLine(section, "texte_export");
    if (job.exportAllText) {
        AppendLine(section, "tout");
        AppendLine(section, "");
    }
    if (job.exportWindow) {
        const auto& c = job.exportCorners;
        // The corner boxes are written as typed, never read as numbers: only the check of a
        // script's values stands between them and the script.
        for (std::size_t box = 0; box < c.size(); ++box) {
            if (Status fits =
                    CheckScriptValue(c[box], BoxRef(Box::ExportCorner, static_cast<int>(box) + 1));
                !fits)
                return fits;
        }
        AppendLine(section, "fenetre");
        // The boxes go in pairs as the macro reads them: both X boxes, then both Y boxes.
        AppendPointLine(section, TrimSpaces(c[0]), TrimSpaces(c[1]));
        AppendPointLine(section, TrimSpaces(c[2]), TrimSpaces(c[3]));
        AppendLine(section, "");
    }
    return Success();
}

Status WriteMacroRun(std::string& section, const MacroJob& job, bool sdiMultiple,
                     const ListPosition& position) {
    AppendOpening(section, position.currentFolder, position.currentFileName);
    AppendLine(section, "_vbarun");
    if (job.exportAttributes) {
        if (Status s = WriteAttributeExport(section, job); !s)
            return s;
    }
    if (job.countBlocks) {
        if (Status s = WriteBlockCount(section, job); !s)
            return s;
    }
    if (job.eraseLayer) {
        if (Status s = WriteLayerErase(section, job); !s)
            return s;
    }
    if (job.freezeLayer) {
        if (Status s = WriteLayerFreeze(section, job); !s)
            return s;
    }
    if (job.exportText) {
        if (Status s = WriteTextExport(section, job); !s)
            return s;
    }
    if (sdiMultiple)
        AppendLine(section, "_close");
    return Success();
}

} // namespace

Status CheckMacroJob(const MacroJob& job) {
    if (job.insertSymbols) {
        const Result<SymbolSteps> steps = ReadSteps(job);
        if (!steps)
            return steps.error();
        return Success();
    }
    // The boxes are the same in every section: one written aside fails as every one would.
    std::string aside;
    return WriteMacroRun(aside, job, false, ListPosition{});
}

Status WriteMacroSection(std::string& section, const MacroJob& job, SymbolGrid& grid,
                         bool sdiMultiple, const ListPosition& position) {
    if (job.insertSymbols)
        return WriteSymbolInsertion(section, job, grid, position);
    // A section that fails leaves nothing of itself in the buffer, as a symbol's does.
    const std::size_t before = section.size();
    if (Status written = WriteMacroRun(section, job, sdiMultiple, position); !written) {
        section.resize(before);
        return written;
    }
    grid = SymbolGrid{};
    return Success();
}

} // namespace pilotrame
