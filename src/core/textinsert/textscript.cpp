#include "textinsert/textscript.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/numbers.h"
#include "base/text.h"
#include "script/scriptlines.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

namespace pilotrame {

namespace {

// The rows step by step away from 0, so a table past the limit has a first row beyond it: the
// failure names the table, the step and that row, for the boxes themselves hold good numbers.
Error TablePastTheLimit(std::int16_t rowStep) {
    const bool up = rowStep > 0;
    Error error;
    error.code = ErrorCode::Overflow;
    error.cause = Cause::PastTheLimit;
    error.box = Box::Table;
    error.text = std::to_string(rowStep);
    error.number = static_cast<int>(up ? kInt16Max : kInt16Min);
    const std::int64_t reach = up ? kInt16Max : -kInt16Min;
    const std::int64_t step = up ? std::int64_t{rowStep} : -std::int64_t{rowStep};
    error.line = static_cast<int>(reach / step + 1);
    return error;
}

// A cell as the user finds it in the pasted table, row and column from 0.
BoxRef Cell(std::size_t row, std::size_t column) {
    return BoxRef(Box::TableCell, static_cast<int>(row) + 1, static_cast<int>(column) + 1);
}

// The rows of a trimmed table. Spreadsheets end rows with CR LF, a typed table may end them with
// LF alone. A last row without a line end counts; the nothing after a final line end does not.
std::vector<std::string_view> TableRows(std::string_view table) {
    std::vector<std::string_view> rows;
    while (!table.empty()) {
        const std::size_t end = table.find('\n');
        std::string_view row = table.substr(0, end);
        if (!row.empty() && row.back() == '\r')
            row.remove_suffix(1);
        rows.push_back(row);
        if (end == std::string_view::npos)
            break;
        table.remove_prefix(end + 1);
    }
    return rows;
}

} // namespace

int CountTableColumns(const std::string& table) {
    const std::string_view trimmed = TrimSpaces(table);
    if (trimmed.empty())
        return 0;
    const std::string_view first = TableRows(trimmed).front();
    return static_cast<int>(std::count(first.begin(), first.end(), '\t')) + 1;
}

Result<TextInsertionOutcome> WriteTextInsertionScript(const std::string& scriptPath,
                                                      const TextInsertionJob& job) {
    std::array<std::int16_t, kMaxTextColumns> columnX{};
    for (std::size_t i = 0; i < columnX.size(); ++i) {
        // AutoCAD gets the whole number that a 16-bit value holds.
        Result<std::int16_t> x =
            ReadShortBox(job.columnX[i], BoxRef(Box::ColumnX, static_cast<int>(i) + 1));
        if (!x)
            return x.error();
        columnX[i] = *x;
    }
    const Result<std::int16_t> rowStep = ReadShortBox(job.rowStep, Box::RowStep);
    if (!rowStep)
        return rowStep.error();

    const std::vector<std::string_view> rows = TableRows(TrimSpaces(job.table));
    const int counted = CountTableColumns(job.table);
    TextInsertionOutcome outcome;
    outcome.rows = static_cast<int>(rows.size());
    outcome.columns = std::min(counted, kMaxTextColumns);
    outcome.tooManyColumns = counted > kMaxTextColumns;

    // Rows go one step further each, so the last one is the farthest from 0.
    const std::int64_t lastY = std::int64_t{*rowStep} * outcome.rows;
    if (lastY < kInt16Min || lastY > kInt16Max)
        return TablePastTheLimit(*rowStep);

    // The text settings go into every line: a character AutoCAD would get as "?" is refused
    // once, before any line is made.
    if (!rows.empty()) {
        for (const auto& [text, box] :
             {std::pair{std::string_view(job.style), Box::TextStyle},
              std::pair{std::string_view(job.height), Box::TextHeight},
              std::pair{std::string_view(job.rotation), Box::TextRotation}}) {
            if (Status fits = CheckScriptValue(text, box); !fits)
                return fits.error();
        }
    }
    const std::string head = "texte style " + job.style + " ";
    const std::string tail = " " + job.height + " " + job.rotation + " ";

    std::string script;
    for (const char* line : {"osmode", "0", "snapmode", "0"})
        AppendLine(script, line);
    std::int64_t y = *rowStep;
    for (std::size_t rowIndex = 0; rowIndex < rows.size(); ++rowIndex) {
        std::string_view row = rows[rowIndex];
        const std::string point = "," + std::to_string(y) + tail;
        for (std::size_t column = 0; column < static_cast<std::size_t>(outcome.columns); ++column) {
            const std::size_t tab = row.find('\t');
            const std::string_view cell = row.substr(0, tab);
            script += head;
            script += std::to_string(columnX[column]);
            script += point;
            if (cell.empty())
                AppendLine(script, ".");
            else if (Status s = AppendBoxLine(script, cell, Cell(rowIndex, column)); !s)
                return s.error();
            // A short row ends here rather than repeating its last cell in the next columns.
            if (tab == std::string_view::npos)
                break;
            row.remove_prefix(tab + 1);
        }
        y += *rowStep;
    }

    // One write: a failure leaves the previous script whole rather than half of this one.
    if (Status written = ReplaceFileContent(scriptPath, ToAnsi(script)); !written)
        return InOperation(written.error(), Operation::CreateScript);
    return outcome;
}

} // namespace pilotrame
