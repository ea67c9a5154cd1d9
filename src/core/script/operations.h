#pragma once

#include "script/drawingsection.h"

#include <array>
#include <string_view>

namespace pilotrame {

// One drawing operation of the main window's panel. The panel makes its check boxes from this
// table, the switch rules untick every operation in it, and a run on AutoCAD's console refuses
// those the console cannot do ("Adding an operation" in CONTRIBUTING.md).
struct DrawingOperation {
    int box = 0;                        // its check box, Check4(box)
    std::string_view caption;           // the check box's caption
    bool DrawingJob::*ticked = nullptr; // where the job holds its tick
    bool onConsole = true;              // false: AutoCAD's console cannot do it (a VBA macro)
};

// In the order of their check boxes; Check4(6) is the renaming panel's "RENOMMER FICHIERS".
inline constexpr std::array<DrawingOperation, 7> kDrawingOperations{{
    {0, "PURGER", &DrawingJob::purge},
    {1, "ZOOM etendue", &DrawingJob::zoomExtents},
    {2, "TRANSFERT", &DrawingJob::transfer},
    {3, "EFFACER", &DrawingJob::erase},
    {4, "INSERER", &DrawingJob::insert},
    {5, "REMPLACER ATTRIBUT", &DrawingJob::replaceAttribute},
    {7, "REMPLACE TEXTE (vba)", &DrawingJob::replaceText, false},
}};

} // namespace pilotrame
