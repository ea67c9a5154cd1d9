#include "texts/commandline.h"

#include "base/numbers.h"
#include "base/text.h"
#include "batch/journal.h"
#include "texts/common.h"
#include "texts/faults.h"
#include "texts/verification.h"

namespace pilotrame {

std::string CommandLineFailureText(const Error& error) {
    return TextFaultText(error) + std::string(kCrLf) + "Pour l'aide : pilotrame --help";
}

std::string SkippedDrawingsText(const DrawingCheck& check) {
    std::string lines = DrawingCheckText(check);
    if (lines.ends_with(kCrLf))
        lines.resize(lines.size() - kCrLf.size());
    return "Vérification des plans : " +
           DrawingCheckSummaryText(check.checked, static_cast<int>(check.issues.size())) +
           " ; ces plans sont laissés de côté :" + std::string(kCrLf) + lines;
}

std::string BatchStartText(const BatchRequest& batch, const std::string& runFolder) {
    const int total = CountStates(batch.drawings).toRun(static_cast<int>(batch.drawings.size()));
    return "Console : " + batch.consolePath + std::string(kCrLf) + Counted(total, "plan", "plans") +
           ", " + std::to_string(batch.workers) + " à la fois, délai de " +
           std::to_string(batch.timeout.count()) + " s par plan." + std::string(kCrLf) +
           "Journal : " + runFolder;
}

std::string BatchSummaryText(const BatchCounts& counts, double elapsedSeconds,
                             const std::string& runFolder) {
    std::string text =
        std::to_string(counts.succeeded) + " réussi(s), " + std::to_string(counts.scriptErrors) +
        " erreur(s) de script, " + std::to_string(counts.failed) + " échec(s), " +
        std::to_string(counts.timedOut) + " délai(s) dépassé(s), " +
        std::to_string(counts.stopped) + " arrêté(s), " + std::to_string(counts.notStarted) +
        " non lancé(s), " +
        (counts.notReady > 0 ? std::to_string(counts.notReady) + " non prêt(s), " : "") + "en " +
        ClockText(elapsedSeconds) + ".";
    text += std::string(kCrLf) + "Journal : " + runFolder;
    if (counts.succeeded < counts.finished() + counts.notStarted + counts.running + counts.notReady)
        text += std::string(kCrLf) + "Les plans qui n'ont pas réussi sont listés dans " +
                runFolder + std::string(kFailuresFileName) +
                ", à donner à --list pour les relancer.";
    return text;
}

} // namespace pilotrame
