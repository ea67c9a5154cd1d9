#include "script/plotsequence.h"

#include "script/scriptlines.h"

namespace pilotrame {

void WritePlotSequence(std::string& script, const Settings& settings) {
    const bool layout = settings.plotPaperSpace();
    AppendLine(script, "-traceur");
    AppendLine(script, "o");
    AppendLine(script, layout ? std::string_view(settings.layoutName()) : "Model");
    AppendLine(script, settings.printerName());
    AppendLine(script, settings.paperFormat());
    AppendLine(script, "m");
    AppendLine(script, settings.landscape() ? "a" : "p");
    AppendLine(script, "n");
    AppendLine(script, "e");
    AppendLine(script, layout ? std::string_view(settings.plotScale()) : "p");
    if (settings.offsetX() == "Centrer" || settings.offsetY() == "Centrer")
        AppendLine(script, "c");
    else
        AppendPointLine(script, settings.offsetX(), settings.offsetY());
    if (settings.plotStyleTable() == "Aucune") {
        AppendLine(script, "n");
        AppendLine(script, ".");
    } else {
        AppendLine(script, "o");
        AppendLine(script, settings.plotStyleTable());
    }
    for (const char* answer : {"o", "n", "n", "n"})
        AppendLine(script, answer);
    if (layout) {
        AppendLine(script, "n");
        AppendLine(script, "n");
    }
    AppendLine(script, "o");
}

} // namespace pilotrame
