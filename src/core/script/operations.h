#pragma once

#include "script/drawingsection.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace pilotrame {

// One drawing operation of the main window's panel: everything of it that is not its parameters.
// The panel makes its check boxes from this table and places them at their rows, the script text
// covering every row; the tab order takes its check box by number; the job file writes its tick
// under its key, in the order of the table; the switch rules untick every operation in it, and
// a run on AutoCAD's console refuses those the console cannot do ("Adding an operation" in
// CONTRIBUTING.md).
struct DrawingOperation {
    int box = 0;                        // its check box, Check4(box)
    std::string_view caption;           // the check box's caption
    bool DrawingJob::*ticked = nullptr; // where the job holds its tick
    int row = 0;                        // its row of the panel, from the top
    std::string_view jobKey;            // the key of its tick in a job file
    bool onConsole = true;              // false: AutoCAD's console cannot do it (a VBA macro)
};

// "RENOMMER FICHIERS" of the panel, Check4(6) on row 6, belongs to the renaming panel; its keys
// come in the job file where its box number puts them.
inline constexpr int kRenameOperationBox = 6;
inline constexpr int kRenameOperationRow = 6;

// In the order of their check boxes, which is that of their keys in a job file. The rows are
// those of the form: "INSERER" lies above "EFFACER" although it comes after it.
inline constexpr std::array<DrawingOperation, 7> kDrawingOperations{{
    {0, "PURGER", &DrawingJob::purge, 0, "purger"},
    {1, "ZOOM etendue", &DrawingJob::zoomExtents, 1, "zoom"},
    {2, "TRANSFERT", &DrawingJob::transfer, 2, "transfert"},
    {3, "EFFACER", &DrawingJob::erase, 4, "effacer"},
    {4, "INSERER", &DrawingJob::insert, 3, "inserer"},
    {5, "REMPLACER ATTRIBUT", &DrawingJob::replaceAttribute, 5, "attribut"},
    {7, "REMPLACE TEXTE (vba)", &DrawingJob::replaceText, 7, "remplacer-texte", false},
}};

// The rows of the panel, the renaming row included: the script text lies over all of them.
constexpr int OperationPanelRows() {
    int rows = kRenameOperationRow + 1;
    for (const DrawingOperation& operation : kDrawingOperations)
        rows = std::max(rows, operation.row + 1);
    return rows;
}

// The highest check box number of the panel, the renaming box included: the boxes Check4(0) to
// Check4(this) come one after the other in the tab order.
constexpr int LastOperationBox() {
    int last = kRenameOperationBox;
    for (const DrawingOperation& operation : kDrawingOperations)
        last = std::max(last, operation.box);
    return last;
}

} // namespace pilotrame
