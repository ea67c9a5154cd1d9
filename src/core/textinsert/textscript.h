#pragma once

#include "base/result.h"

#include <array>
#include <string>

namespace pilotrame {

// The text-insertion window Form3 as its controls stand when "Générer script" is pressed.
struct TextInsertionJob {
    std::string table;              // Text2: rows end with CR LF or LF, cells split by tabs
    std::string style = "STANDARD"; // Combo1(0)
    std::string height = "2.5";     // Combo1(2)
    std::string rotation = "0";     // Combo1(3)
    std::string rowStep = "10";     // Text4(20): Y of the first row and step between rows
    std::array<std::string, 9> columnX{"0", "10", "20", "30", "40", "50", "60", "70", "80"};
    // Text4(1) to Text4(9): X of columns 1 to 9

    bool operator==(const TextInsertionJob&) const = default;
};

// At most nine columns have an X position.
inline constexpr int kMaxTextColumns = 9;

// Number of cells of the first row of the table without its surrounding spaces: its tabs plus
// one; 0 for an empty table.
int CountTableColumns(const std::string& table);

// What a written text-insertion script held.
struct TextInsertionOutcome {
    int rows = 0;
    int columns = 0;             // columns written, at most kMaxTextColumns
    bool tooManyColumns = false; // the first row had more: the user is told, nine are written
};

// Writes the text-insertion script at scriptPath, replacing it: "osmode", "0", "snapmode", "0",
// then per row and per cell "texte style <style> <X>,<Y> <height> <rotation> <cell>", "." for an
// empty cell. The table loses its surrounding spaces; LF or CR LF ends a row, and a last row
// without one counts. Rows lie at Y = step, 2 step ...; a row writes its own cells only, up to the
// column count. Every box and cell is checked before the file is touched, the file left as it
// was: a position or step that is not a whole number of 16 bits fails with NotANumber or
// OutOfRange naming the box (ColumnX 1 to 9, RowStep); a table whose rows would go past the
// signed 16-bit range at this step fails with PastTheLimit (box: Table, text: the step, number:
// the limit, line: the first row past it); a text setting or a written cell holding a control
// character or a character the ANSI code page cannot hold fails as CheckScriptValue does (box:
// TextStyle, TextHeight, TextRotation, or the cell, TableCell with its row and column). A failed
// write also leaves the previous file whole, and comes back as
// ScriptNotWritable (DiskFull for a full disk).
Result<TextInsertionOutcome> WriteTextInsertionScript(const std::string& scriptPath,
                                                      const TextInsertionJob& job);

} // namespace pilotrame
