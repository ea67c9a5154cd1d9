#include "script/plotsequence.h"

#include "script/scriptlines.h"

namespace pilotrame {

void WritePlotSequence(std::string& script, const Settings& settings) {
    const bool layout = settings.plotPaperSpace();
    appendLine(script, "-traceur");
    appendLine(script, "o");
    appendLine(script, layout ? std::string_view(settings.layoutName()) : "Model");
    appendLine(script, settings.printerName());
    appendLine(script, settings.paperFormat());
    appendLine(script, "m");
    appendLine(script, settings.landscape() ? "a" : "p");
    appendLine(script, "n");
    appendLine(script, "e");
    appendLine(script, layout ? std::string_view(settings.plotScale()) : "p");
    if (settings.offsetX() == "Centrer" || settings.offsetY() == "Centrer")
        appendLine(script, "c");
    else
        appendPointLine(script, settings.offsetX(), settings.offsetY());
    if (settings.plotStyleTable() == "Aucune") {
        appendLine(script, "n");
        appendLine(script, ".");
    } else {
        appendLine(script, "o");
        appendLine(script, settings.plotStyleTable());
    }
    for (const char* answer : {"o", "n", "n", "n"})
        appendLine(script, answer);
    if (layout) {
        appendLine(script, "n");
        appendLine(script, "n");
    }
    appendLine(script, "o");
}

} // namespace pilotrame
