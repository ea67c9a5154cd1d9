// The macro sections. With F1 a section is exactly the six lines of one symbol at the grid point
// moved by the steps, or a failure that leaves section and grid as they were: the grid named
// when it is the position that leaves the 16-bit range. Without F1 the section opens the drawing
// by its quoted path and starts "_vbarun", resets the grid, holds the lines of the ticked
// functions, and ends with "_close" just when AutoCAD has several windows; unless a box it
// writes holds a character the ANSI code page cannot hold, when it fails naming the first such
// box and leaves section and grid as they were. The check before a generation fails exactly
// for the boxes the sections would fail for. Every line ends with CR LF.

#include "base/codepage.h"
#include "base/numbers.h"
#include "base/text.h"
#include "fuzzsupport.h"
#include "script/macrosection.h"
#include "texts/common.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace pilotrame;

// Box texts hold one line, and the generation driver refuses a name with a control character:
// the section writer never sees a line end in what it writes.
std::string OneLine(std::string text) {
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    return text;
}

std::optional<std::int64_t> StepBox(const std::string& text) {
    const std::optional<std::int64_t> value = ParseInteger(text);
    if (!value || *value < -32768 || *value > 32767)
        return std::nullopt;
    return value;
}

// The lines of a CR LF text, after checking that CR and LF only come as that pair and that the
// text ends with it.
std::vector<std::string> CrLfLines(std::string_view text) {
    std::vector<std::string> lines;
    if (!text.empty() && (text.size() < 2 || text.substr(text.size() - 2) != "\r\n"))
        fuzz::Violated("a section does not end with CR LF", text);
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        const std::string_view line = text.substr(0, end);
        if (line.find_first_of("\r\n") != std::string_view::npos)
            fuzz::Violated("a line holds a lone CR or LF", line);
        lines.emplace_back(line);
        text.remove_prefix(end + 2);
    }
    return lines;
}

bool Filled(std::string_view text) {
    return !TrimSpaces(text).empty();
}

// Number of lines the ticked functions add after "_vbarun", counted from the job.
std::size_t FunctionLines(const MacroJob& job) {
    std::size_t count = 0;
    if (job.exportAttributes) {
        const std::string& format = job.attributeFormat;
        const std::size_t formatLine = format == "Nom fichier + infos sur 1 Ligne" ||
                                               format == "Nom fichier + infos par Colone" ||
                                               format == "Par Colone" || format == "Par Ligne"
                                           ? 1
                                           : 0;
        const auto& names = job.attributeNames;
        count += 1 + (job.attributesAllBlocks || job.attributesNamed ? 1 : 0) + Filled(names[0]) +
                 (!Filled(names[0]) && !Filled(names[1]) && !Filled(names[2]) ? 1 : 0) +
                 formatLine + 1;
        for (std::size_t column = 1; column < 4; ++column)
            count += Filled(job.attributeBlocks[column]) + Filled(names[column]) + formatLine;
    }
    if (job.countBlocks)
        count += 1 + job.countAllBlocks + job.countNamed;
    if (job.eraseLayer)
        count += 3;
    if (job.freezeLayer)
        count += job.freeze + job.thaw + 2;
    if (job.exportText)
        count += 1 + (job.exportAllText ? 2 : 0) + (job.exportWindow ? 4 : 0);
    return count;
}

// The first box, in the order the section writes them, whose text would reach the script with
// "?" in it; nothing when every written box fits the code page.
std::optional<std::string> FirstBoxOutsideAnsi(const MacroJob& job) {
    std::vector<std::pair<std::string_view, std::string>> written;
    if (job.exportAttributes) {
        if (!job.attributesAllBlocks && job.attributesNamed)
            written.emplace_back(job.attributeBlocks[0], "F3 nom du bloc 1");
        if (Filled(job.attributeNames[0]))
            written.emplace_back(job.attributeNames[0], "F3 nom de l'attribut 1");
        for (std::size_t column = 1; column < 4; ++column) {
            const std::string number = std::to_string(column + 1);
            if (Filled(job.attributeBlocks[column]))
                written.emplace_back(job.attributeBlocks[column], "F3 nom du bloc " + number);
            if (Filled(job.attributeNames[column]))
                written.emplace_back(job.attributeNames[column], "F3 nom de l'attribut " + number);
        }
    }
    if (job.countBlocks && job.countNamed)
        written.emplace_back(job.countBlock, "F5 nom du bloc");
    if (job.eraseLayer)
        written.emplace_back(job.erasedLayer, "F6 calque");
    if (job.freezeLayer)
        written.emplace_back(job.frozenLayer, "F7 calque");
    if (job.exportText && job.exportWindow) {
        const char* names[4] = {"F8 1er point X", "F8 2em point X", "F8 1er point Y",
                                "F8 2em point Y"};
        for (std::size_t box = 0; box < 4; ++box)
            written.emplace_back(job.exportCorners[box], names[box]);
    }
    // A control character, or a character the code page cannot hold, as CheckScriptValue says.
    for (const auto& [text, box] : written)
        if (HasControlCharacter(text) || !FitsAnsi(text))
            return box;
    return std::nullopt;
}

void CheckSymbol(const MacroJob& job, SymbolGrid grid, const ListPosition& at,
                 const std::string& before) {
    // Where the symbol should go, or nothing when it cannot.
    std::optional<SymbolGrid> next;
    bool pastTheLimit = false;
    const std::size_t dwg = FindIgnoringCase(at.currentFileName, ".dwg");
    const auto stepX = StepBox(job.symbolStepX);
    const auto stepY = StepBox(job.symbolStepY);
    if (static_cast<bool>(CheckMacroJob(job)) != (stepX && stepY))
        fuzz::Violated("the check of the steps differs from the steps");
    if (dwg != std::string::npos && stepX && stepY) {
        // The row is a 16-bit value: the sum must fit before it is compared with the width.
        std::int64_t row = grid.row + *stepX;
        std::int64_t column = grid.column;
        const bool rowFits = row >= -32768 && row <= 32767;
        if (row > 240) {
            row = 0;
            column += *stepY;
        }
        if (rowFits && column >= -32768 && column <= 32767)
            next = SymbolGrid{static_cast<std::int16_t>(column), static_cast<std::int16_t>(row)};
        else
            pastTheLimit = true;
    }

    const SymbolGrid was = grid;
    std::string section = before;
    const Status written = WriteMacroSection(section, job, grid, true, at);
    if (!written) {
        if (next)
            fuzz::Violated("a symbol that has its place failed");
        if (section != before || !(grid == was))
            fuzz::Violated("a failed symbol changed the section or the grid");
        if (pastTheLimit != (written.error().cause == Cause::PastTheLimit))
            fuzz::Violated("a grid past its limit is not named as such");
        if (at.currentFileName.empty() && written.error().cause == Cause::NotADrawingName &&
            written.error().path != at.currentFolder)
            fuzz::Violated("a line without a name does not name its folder");
        return;
    }
    if (!next)
        fuzz::Violated("a symbol was written that has no place");
    if (!(grid == *next))
        fuzz::Violated("the grid did not move by the steps");
    if (section.compare(0, before.size(), before) != 0)
        fuzz::Violated("a symbol changed what the section held");
    const std::vector<std::string> lines =
        CrLfLines(std::string_view(section).substr(before.size()));
    const std::vector<std::string> expected{"-inserer " + at.currentFolder + at.currentFileName,
                                            std::to_string(next->column) + "," +
                                                std::to_string(next->row),
                                            "1",
                                            "1",
                                            "0",
                                            at.currentFileName.substr(0, dwg)};
    if (lines != expected)
        fuzz::Violated("a symbol is not its six lines", section);
}

void CheckMacroRun(const MacroJob& job, SymbolGrid grid, const ListPosition& at,
                   const std::string& before) {
    std::string single = before;
    std::string multiple = before;
    const std::optional<std::string> outside = FirstBoxOutsideAnsi(job);
    const Status checked = CheckMacroJob(job);
    if (outside) {
        const SymbolGrid was = grid;
        const Status written = WriteMacroSection(single, job, grid, true, at);
        if (written)
            fuzz::Violated("a box outside the code page was written", *outside);
        const Cause cause = written.error().cause;
        if ((cause != Cause::NotInCodePage && cause != Cause::ControlCharacter) ||
            BoxName(written.error()) != *outside)
            fuzz::Violated("a box outside the code page is not the one named",
                           BoxName(written.error()));
        if (cause == Cause::NotInCodePage &&
            (written.error().text.empty() || FitsAnsi(written.error().text)))
            fuzz::Violated("the character named fits the code page", written.error().text);
        if (single != before || !(grid == was))
            fuzz::Violated("a failed section changed the buffer or the grid");
        if (checked || BoxName(checked.error()) != *outside)
            fuzz::Violated("the check before a generation misses the box", *outside);
        return;
    }
    if (!checked)
        fuzz::Violated("the check before a generation fails a section that is written",
                       BoxName(checked.error()));
    if (!WriteMacroSection(single, job, grid, false, at))
        fuzz::Violated("a section without F1 failed");
    if (!(grid == SymbolGrid{}))
        fuzz::Violated("a section without F1 did not reset the grid");
    grid = SymbolGrid{7, 7};
    if (!WriteMacroSection(multiple, job, grid, true, at))
        fuzz::Violated("a section without F1 failed");
    if (single.compare(0, before.size(), before) != 0)
        fuzz::Violated("a section changed what the buffer held");
    const std::string_view added = std::string_view(single).substr(before.size());
    const std::string opening =
        "_.open\r\n\"" + at.currentFolder + at.currentFileName + "\"\r\n_vbarun\r\n";
    if (added.substr(0, opening.size()) != opening)
        fuzz::Violated("a section does not open its drawing", added);
    if (multiple != single + "_close\r\n")
        fuzz::Violated("several windows do not add just the closing", multiple);
    const std::vector<std::string> lines = CrLfLines(added);
    if (lines.size() != 3 + FunctionLines(job))
        fuzz::Violated("a section holds another number of lines than its functions", added);
}

} // namespace

// Fields: two bytes of ticks and options, F1 steps, folder, name, grid column and row, then the
// box texts; a field left out keeps the window's default.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    const std::string ticks = fields.next();
    const auto bit = [&](std::size_t n) {
        return n / 8 < ticks.size() && (static_cast<unsigned char>(ticks[n / 8]) >> (n % 8) & 1);
    };
    const auto take = [&](std::string& box) {
        if (!fields.empty())
            box = OneLine(fields.next());
    };
    MacroJob job;
    job.insertSymbols = bit(0);
    job.startExcel = bit(1);
    job.exportAttributes = bit(2);
    job.attributesAllBlocks = bit(3);
    job.attributesNamed = bit(4);
    job.countBlocks = bit(5);
    job.countAllBlocks = bit(6);
    job.countNamed = bit(7);
    job.eraseLayer = bit(8);
    job.freezeLayer = bit(9);
    job.freeze = bit(10);
    job.thaw = bit(11);
    job.exportText = bit(12);
    job.exportAllText = bit(13);
    job.exportWindow = bit(14);
    take(job.symbolStepX);
    take(job.symbolStepY);
    ListPosition at{"C:\\plans\\", "A1.dwg"};
    take(at.currentFolder);
    take(at.currentFileName);
    SymbolGrid grid;
    const std::string gridField = fields.next();
    if (gridField.size() >= 4) {
        const auto word = [&](std::size_t i) {
            return static_cast<std::int16_t>(static_cast<unsigned char>(gridField[i]) |
                                             static_cast<unsigned char>(gridField[i + 1]) << 8);
        };
        grid = SymbolGrid{word(0), word(2)};
    }
    for (std::string& box : job.attributeBlocks)
        take(box);
    for (std::string& box : job.attributeNames)
        take(box);
    take(job.attributeFormat);
    take(job.countBlock);
    take(job.erasedLayer);
    take(job.frozenLayer);
    for (std::string& box : job.exportCorners)
        take(box);

    const std::string before = bit(15) ? "avant\r\n" : "";
    if (job.insertSymbols)
        CheckSymbol(job, grid, at, before);
    else
        CheckMacroRun(job, grid, at, before);
    return 0;
}
