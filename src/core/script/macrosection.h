#pragma once

#include "base/result.h"
#include "selection/filelist.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pilotrame {

// The insertion point of the next symbol of function F1; kept for the whole run of the program
// as signed 16-bit values, so that a second generation goes on where the first one stopped.
struct SymbolGrid {
    std::int16_t column = 0; // symbolColumn
    std::int16_t row = 0;    // symbolRow

    bool operator==(const SymbolGrid&) const = default;
};

// The job composed in the macro-functions window Form5, read from its controls when "GENERER"
// is pressed. Each field names its control; the defaults are the window's.
struct MacroJob {
    bool insertSymbols = false;     // Check1(1) F1
    std::string symbolStepX = "25"; // Text1(10): added to the row position for every symbol
    std::string symbolStepY = "40"; // Text1(11): added to the column position at each wrap
    bool startExcel = false;        // Check1(2) F2

    bool exportAttributes = false;                                          // Check1(3) F3
    bool attributesAllBlocks = true;                                        // Option1(30) "Tout"
    bool attributesNamed = false;                                           // Option1(31) "Nom :"
    std::array<std::string, 4> attributeBlocks{"Disjoncteur1", "", "", ""}; // Text1(30..33)
    std::array<std::string, 4> attributeNames{};                            // Text1(35..38)
    std::string attributeFormat = "Nom fichier + infos sur 1 Ligne";        // Combo1(30)

    bool countBlocks = false;               // Check1(5) F5
    bool countAllBlocks = true;             // Option1(50) "Tout"
    bool countNamed = false;                // Option1(51) "Nom :"
    std::string countBlock = "Luminaire_A"; // Text1(50)

    bool eraseLayer = false;           // Check1(6) F6
    std::string erasedLayer = "nuage"; // Text1(60)

    bool freezeLayer = false;          // Check1(7) F7
    bool freeze = true;                // Option1(70) "Gèle"
    bool thaw = false;                 // Option1(71) "Dégèle"
    std::string frozenLayer = "nuage"; // Text1(70)

    bool exportText = false;   // Check1(8) F8
    bool exportAllText = true; // Option1(80) "Tout"
    bool exportWindow = false; // Option1(81) "Selection :"
    // Text1(80) X and Text1(82) Y of the first corner, Text1(81) X and Text1(83) Y of the second,
    // in the order of the boxes: 80, 81, 82, 83.
    std::array<std::string, 4> exportCorners{"0", "100", "0", "100"};

    bool operator==(const MacroJob&) const = default;
};

// Appends the macro section of the drawing position.currentFolder + currentFileName to section:
// with F1, the six lines of a symbol insertion at the next point of grid (moved first); without
// it, the grid reset to 0,0 and "_.open", the quoted path, "_vbarun" and the lines of F3, F5, F6,
// F7 and F8 in that order, then "_close" when sdiMultiple. With F1, fails with NotANumber or
// OutOfRange (box: SymbolStepX or SymbolStepY, text: its content) for a step that is not a whole
// number of 16 bits, with PastTheLimit (box: SymbolGrid, text: the step, number: the limit) for a
// next position past the 16-bit range, and with NotADrawingName and BadFileName (detail: the
// name, path: folder and name, line: the list line) for a file name without ".dwg". Without F1,
// fails as CheckScriptValue does (box: the box, ErasedLayer …) for a box written to the script
// that holds a control character or a character the ANSI code page cannot hold. Section and grid
// are then left as they were. Excel (F2) is not started here: the window starts it.
Status WriteMacroSection(std::string& section, const MacroJob& job, SymbolGrid& grid,
                         bool sdiMultiple, const ListPosition& position);

// The failures of the job's boxes that WriteMacroSection would meet at every drawing, found
// before the script is emptied: the F1 step boxes, or the texts of F3 to F8. The grid passing
// its limit depends on how many symbols come before, and is found only at the drawing that
// takes it there.
Status CheckMacroJob(const MacroJob& job);

} // namespace pilotrame
