// The text-table script. A written script starts with the four setup lines and holds one text
// line per cell written, each starting with "texte style ": min(cells of the row, columns) per
// row, at most nine columns, the whole worked out here a second, plainer way, every character of
// it in the ANSI code page. A table or a box that cannot be written leaves the previous script
// as it was, and the failure names it: a box, the table too long for its step, or the first box
// or written cell holding a character the code page cannot hold.

#include "base/codepage.h"
#include "base/numbers.h"
#include "base/text.h"
#include "fuzzsupport.h"
#include "textinsert/textscript.h"
#include "texts/common.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace pilotrame;

constexpr std::string_view kSetup = "osmode\r\n0\r\nsnapmode\r\n0\r\n";

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.emplace_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + separator.size());
    }
}

// The rows of the table, each cut into its cells.
std::vector<std::vector<std::string>> TableCells(std::string_view table) {
    while (!table.empty() && table.front() == ' ')
        table.remove_prefix(1);
    while (!table.empty() && table.back() == ' ')
        table.remove_suffix(1);
    std::vector<std::vector<std::string>> rows;
    if (table.empty())
        return rows;
    std::vector<std::string> lines = Split(table, "\n");
    if (lines.back().empty())
        lines.pop_back(); // nothing after the final line end
    for (std::string& line : lines) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        rows.push_back(Split(line, "\t"));
    }
    return rows;
}

std::optional<std::int64_t> Position(const std::string& text) {
    const std::optional<std::int64_t> value = ParseInteger(text);
    if (!value || *value < -32768 || *value > 32767)
        return std::nullopt;
    return value;
}

// Removes line ends from a combo text, which holds one line.
std::string OneLine(std::string text) {
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    return text;
}

// True when a text setting or cell can go into a script line: no control character, nothing the
// code page cannot hold.
bool ScriptValue(std::string_view text) {
    return !HasControlCharacter(text) && FitsAnsi(text);
}

} // namespace

// Fields: table, row step, the nine column positions, style, height, rotation; a field left out
// keeps the window's default.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    TextInsertionJob job;
    const auto take = [&](std::string& box) {
        if (!fields.empty())
            box = fields.next();
    };
    take(job.table);
    take(job.rowStep);
    for (std::string& x : job.columnX)
        take(x);
    take(job.style);
    take(job.height);
    take(job.rotation);
    job.style = OneLine(job.style);
    job.height = OneLine(job.height);
    job.rotation = OneLine(job.rotation);

    const std::string script = fuzz::ScratchFolder() + "pilotrame-table.scr";
    std::string before = ReadAll(script);
    if (before.empty()) {
        std::ofstream(script, std::ios::binary) << "previous\r\n";
        before = "previous\r\n";
    }

    // The script as it should be, or the box that should stop it.
    const std::vector<std::vector<std::string>> rows = TableCells(job.table);
    const std::size_t counted = rows.empty() ? 0 : rows.front().size();
    const std::size_t columns = std::min<std::size_t>(counted, kMaxTextColumns);
    std::optional<std::string> badBox;
    bool numberBox = false; // the bad box holds no number it can take
    std::array<std::int64_t, kMaxTextColumns> columnX{};
    for (std::size_t i = 0; i < columnX.size() && !badBox; ++i) {
        const auto x = Position(job.columnX[i]);
        if (!x)
            badBox = "Colonne " + std::to_string(i + 1);
        else
            columnX[i] = *x;
    }
    const auto step = Position(job.rowStep);
    if (!badBox && !step)
        badBox = "Décalage";
    numberBox = badBox.has_value();
    const bool tooLong = !badBox && (*step * static_cast<std::int64_t>(rows.size()) < -32768 ||
                                     *step * static_cast<std::int64_t>(rows.size()) > 32767);
    if (tooLong)
        badBox = "tableau";
    if (!badBox && !rows.empty()) {
        if (!ScriptValue(job.style))
            badBox = "Style texte";
        else if (!ScriptValue(job.height))
            badBox = "Hauteur";
        else if (!ScriptValue(job.rotation))
            badBox = "Rotation";
    }
    for (std::size_t r = 0; r < rows.size() && !badBox; ++r) {
        for (std::size_t c = 0; c < std::min(rows[r].size(), columns) && !badBox; ++c) {
            if (!ScriptValue(rows[r][c]))
                badBox = "tableau, ligne " + std::to_string(r + 1) + ", colonne " +
                         std::to_string(c + 1);
        }
    }
    std::string expected(kSetup);
    std::size_t textLines = 0;
    if (!badBox) {
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const std::string y = std::to_string(*step * static_cast<std::int64_t>(r + 1));
            for (std::size_t c = 0; c < std::min(rows[r].size(), columns); ++c) {
                expected += "texte style " + job.style + " " + std::to_string(columnX[c]) + "," +
                            y + " " + job.height + " " + job.rotation + " " +
                            (rows[r][c].empty() ? std::string(".") : rows[r][c]) + "\r\n";
                ++textLines;
            }
        }
    }

    const Result<TextInsertionOutcome> outcome = WriteTextInsertionScript(script, job);
    const std::string after = ReadAll(script);
    if (!outcome) {
        if (after != before)
            fuzz::Violated("a script that failed changed the previous file");
        if (!badBox || BoxName(outcome.error()) != *badBox)
            fuzz::Violated("a table failed for another box than expected",
                           BoxName(outcome.error()));
        const Cause cause = outcome.error().cause;
        if (numberBox && cause != Cause::NotANumber && cause != Cause::OutOfRange)
            fuzz::Violated("a box failed for another reason than its number");
        if (tooLong) {
            // The first row past the limit is named, and it is past it while the one before is not.
            const std::int64_t line = outcome.error().line;
            const std::int64_t past = *step * line;
            const std::int64_t previous = *step * (line - 1);
            if (cause != Cause::PastTheLimit || line < 1 ||
                line > static_cast<std::int64_t>(rows.size()) ||
                (past >= -32768 && past <= 32767) || previous < -32768 || previous > 32767)
                fuzz::Violated("a table too long for its step is not named by its first row past");
        }
        if (!numberBox && !tooLong && cause != Cause::ControlCharacter &&
            (cause != Cause::NotInCodePage || outcome.error().text.empty() ||
             FitsAnsi(outcome.error().text)))
            fuzz::Violated("a character outside the code page is not named");
        return 0;
    }
    if (badBox)
        fuzz::Violated("a script was written past a box that cannot be", *badBox);
    if (outcome->rows != static_cast<int>(rows.size()) ||
        outcome->columns != static_cast<int>(columns) ||
        outcome->tooManyColumns != (counted > kMaxTextColumns))
        fuzz::Violated("the counts of the table differ");
    if (outcome->columns > kMaxTextColumns)
        fuzz::Violated("more than nine columns written");

    // The properties on the file itself, then the whole of it.
    if (after.compare(0, kSetup.size(), kSetup) != 0)
        fuzz::Violated("the script does not start with the setup lines", after);
    if (after.size() < 2 || after.compare(after.size() - 2, 2, "\r\n") != 0)
        fuzz::Violated("the script does not end with CR LF", after);
    std::vector<std::string> lines = Split(std::string_view(after).substr(kSetup.size()), "\r\n");
    lines.pop_back(); // after the final CR LF
    if (lines.size() != textLines)
        fuzz::Violated("the script holds another number of text lines than of cells", after);
    for (const std::string& line : lines)
        if (line.rfind("texte style ", 0) != 0)
            fuzz::Violated("a text line does not start with the command", line);
    if (after != ToAnsi(expected))
        fuzz::Violated("the script differs from its table", after);
    if (FromAnsi(after) != expected)
        fuzz::Violated("a character of the table reached the script as \"?\"", after);
    return 0;
}
