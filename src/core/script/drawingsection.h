#pragma once

#include "base/result.h"
#include "config/settings.h"
#include "script/markers.h"
#include "selection/filelist.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace pilotrame {

// How "EFFACER" selects its area: Option1(2) "Fenêtre", Option1(3) "Trajet", Option1(8) "Capture".
enum class EraseSelection { Window, Fence, Crossing };

// The job composed in the main window, read from its controls at the moment of a generation.
struct DrawingJob {
    bool plot = true;          // Check1 "IMPRIMER"
    bool customScript = false; // Check10 "SCRIPT FICHIER"
    std::string scriptText;    // Text1, with any line breaks

    bool purge = false;    // Check4(0) "PURGER"
    bool purgeAll = false; // Option1(1) "Tout" (else Option1(0) "Bloc")

    bool zoomExtents = false; // Check4(1) "ZOOM etendue"

    bool transfer = false; // Check4(2) "TRANSFERT"
    bool dwgToDxf = false; // Option1(7) "DWG->DXF" (else Option1(6) "DXF->DWG")

    bool erase = false; // Check4(3) "EFFACER"
    EraseSelection eraseSelection = EraseSelection::Window;
    std::array<std::string, 4> erasePoints{"0", "0", "0", "0"}; // Text4(0..3): X1, Y1, X2, Y2

    bool insert = false;                // Check4(4) "INSERER"
    bool insertFile = false;            // Option1(4) "Fichier" (else Option1(5) "Presse papier")
    std::string insertPath = "Fichier"; // Text3

    bool replaceAttribute = false;                                   // Check4(5)
    std::array<std::string, 4> attributeCorners{"0", "0", "0", "0"}; // Text4(4..7)
    std::string attributeOld;                                        // Text4(8)
    std::string attributeNew;                                        // Text4(9)

    bool replaceText = false;                // Check4(7) "REMPLACE TEXTE (vba)"
    std::array<std::string, 4> replaceTexts; // Text4(14..17): old 1, new 1, old 2, new 2

    bool operator==(const DrawingJob&) const = default;
};

// The block insertion command of a version: "inserer" for the versions before AutoCAD 2000,
// "-inserer" (the command-line form) for every other one.
std::string_view InsertCommandWord(std::string_view acadVersion);

// The largest script file that "SCRIPT FICHIER" loads into its box. The text goes into the
// section of every drawing: a script text of a thousand lines is some 30 Kio, and one of 1 Mio
// already makes a script of a gigabyte for a thousand drawings. A larger file is refused before
// it is read.
inline constexpr std::uint64_t kScriptTextSizeLimit = 1024 * 1024;

// The text of the script file at path as the box shows it: ANSI read as UTF-8, lines joined by
// LF, the line break that ends the last line dropped. A file larger than kScriptTextSizeLimit
// is refused (cause TooLarge), as is anything that is no ordinary file (cause NotAFile).
Result<std::string> ReadScriptText(const std::string& path);

// Succeeds when every line of the script text fits the ANSI code page; fails as
// WriteDrawingSection does for it otherwise (NotInCodePage, detail: "SCRIPT FICHIER, ligne 2").
Status CheckScriptText(std::string_view scriptText);

// The text of the custom script as a section carries it: line breaks made CR LF, every CR LF at
// its very end removed, then one CR LF. An empty text gives one empty line.
std::string CustomScriptLines(std::string_view scriptText);

// Appends the section of one drawing (position.currentFolder + currentFileName) to script, the
// markers of the script text filled in for that drawing, number in the run (MarkedText).
// Fails, leaving script unspecified, when a coordinate of a ticked operation is not a number
// (NotANumber), or when a text of a ticked operation holds a control character or a character
// the ANSI code page cannot hold (as CheckScriptValue; box: the box, Box::ScriptTextLine with its
// line for a line of the script text).
Status WriteDrawingSection(std::string& script, const DrawingJob& job, const Settings& settings,
                           const ListPosition& position, char userDecimalSeparator, int number = 1);

// The script that AutoCAD's console runs on a drawing of a batch (UTF-8, CR LF): the lines of a
// drawing's section without its opening (the console opens the drawing itself) and without
// "_close"; where the section answers "o" to the question of saving at closing (a plot whose
// set-up is not saved in the drawing), it ends with "_qsave" instead. The markers of the script
// text are filled in with values when given, else left as they are. Fails as WriteDrawingSection
// does.
Result<std::string> WriteConsoleScript(const DrawingJob& job, const Settings& settings,
                                       char userDecimalSeparator,
                                       const MarkerValues* values = nullptr);

// True when the job's script text is ticked and holds a marker: each drawing then gets a text of
// its own.
bool HasDrawingMarkers(const DrawingJob& job);

// Writes drawing sections for one generation, numbering the drawings from 1 in the order they
// are written. Past the opening of the drawing a section depends only on the job and the
// settings, which a generation reads once: that part is built at the first drawing and reused, so
// a list of thousands of drawings costs little more than its bytes. The markers of a script text,
// when it has any, are filled in for each drawing, the rest of that part still built once.
class DrawingSectionWriter {
public:
    DrawingSectionWriter(DrawingJob job, Settings settings, char userDecimalSeparator);

    // Builds the part of every section that follows the opening, once: the failures of the
    // boxes of the job come out here, before anything is written.
    Status prepare();

    // Same output and failures as WriteDrawingSection for this job and these settings.
    Status operator()(std::string& script, const ListPosition& position);

    // The same section converted to the ANSI code page (ToAnsi), appended to ansi: the part after
    // the opening is converted once, and the folder once for the drawings that share it.
    // ansiName, when not empty, is ToAnsi(position.currentFileName), known beforehand.
    Status appendAnsi(std::string& ansi, const ListPosition& position,
                      std::string_view ansiName = {});

private:
    // m_filled: the script text of the drawing at position.
    void fillText(const ListPosition& position);

    DrawingJob m_job;
    Settings m_settings;
    char m_separator;
    bool m_prepared = false;
    Status m_bodyStatus = Success();
    std::string m_body;
    // In the ANSI code page: what a section holds before the drawing's name, for the folder of
    // the latest drawing, and what it holds after the name (with markers, up to the script text).
    std::string m_folder;
    std::string m_beforeName;
    std::string m_afterName;
    int m_number = 0; // of the latest drawing written
    // With markers: the script text's lines in m_body, cut at them, what follows them (ANSI), and
    // the text filled in for the latest drawing.
    std::optional<MarkedText> m_marked;
    std::size_t m_customStart = 0;
    std::size_t m_customEnd = 0;
    std::string m_afterText;
    std::string m_filled;
};

} // namespace pilotrame
