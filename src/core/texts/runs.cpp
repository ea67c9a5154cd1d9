#include "texts/runs.h"

#include "base/numbers.h"
#include "base/text.h"
#include "texts/common.h"
#include "texts/faults.h"
#include "texts/files.h"
#include "texts/journal.h"
#include "texts/scriptcheck.h"
#include "texts/verification.h"

namespace pilotrame {

namespace {

// What is wrong with execution.txt.
std::string RunSettingsFault(const Error& error) {
    if (std::string text = UnusableFileText(error); !text.empty())
        return text;
    if (error.cause == Cause::FaultyText)
        return "ligne " + std::to_string(error.line) + " : " + TextFaultText(error);
    return NumberAndDescription(error);
}

} // namespace

std::string ConsoleInterpreterText(const std::string& program, const std::string& interpreter,
                                   bool missing) {
    return "La console d'AutoCAD est un script dont l'interpréteur \xC2\xAB " + interpreter +
           " \xC2\xBB " + (missing ? "est introuvable" : "ne peut pas être exécuté") +
           ", aucun plan n'a été lancé : " + std::string(kCrLf) + program + std::string(kCrLf) +
           "Choisissez le « Programme console » dans la configuration (Exécution des plans), ou "
           "donnez-le à la clé console= de execution.txt ou execution.console= du travail.";
}

std::string ConsoleRefusalsText(const std::vector<ConsoleRefusal>& refusals) {
    std::string text = "La console AutoCAD ne peut pas exécuter ce travail, aucun plan n'a été "
                       "lancé :";
    for (const ConsoleRefusal& refusal : refusals)
        text += std::string(kCrLf) + refusal.box + " : " + InQuotes(refusal.word) + " : " +
                std::string(ConsoleLimitText(refusal.limit));
    return text + "." + std::string(kCrLf) +
           "Retirez ces lignes, ou choisissez le moteur « AutoCAD, un script pour tous les "
           "plans » dans la configuration : il les exécute.";
}

std::string ConsoleNotFoundText(const std::string& program) {
    return "Console d'AutoCAD introuvable, aucun plan n'a été lancé : " + std::string(kCrLf) +
           program + std::string(kCrLf) +
           "Choisissez le « Programme console » dans la configuration (Exécution des plans), ou "
           "donnez-le à la clé console= de execution.txt ou execution.console= du travail.";
}

std::string ConsoleNotExecutableText(const std::string& program) {
    return "La console d'AutoCAD n'est pas un programme exécutable, aucun plan n'a été lancé : " +
           std::string(kCrLf) + program + std::string(kCrLf) +
           "Choisissez le « Programme console » dans la configuration (Exécution des plans), ou "
           "donnez-le à la clé console= de execution.txt ou execution.console= du travail.";
}

std::string DrawingsNotReadyForRunText(int checked, int problems, const std::string& issueLines) {
    return "Vérification des plans : " + DrawingCheckSummaryText(checked, problems) + "." +
           std::string(kCrLf) + issueLines + "Aucun plan n'a été lancé.";
}

std::string DuplicatesLeftOutText(int duplicates) {
    if (duplicates <= 0)
        return {};
    return Counted(duplicates, "plan listé une seconde fois laissé",
                   "plans listés une seconde fois laissés") +
           " de côté : chaque plan n'est lancé qu'une fois.";
}

std::string RunSettingsFailureText(const Error& error) {
    return "Réglages d'exécution illisibles, les valeurs par défaut restent : " +
           std::string(kCrLf) + error.path + std::string(kCrLf) + RunSettingsFault(error);
}

std::string RunSettingsRefusedText(const Error& error) {
    return "Réglages d'exécution illisibles, aucun plan n'a été lancé : " + std::string(kCrLf) +
           error.path + std::string(kCrLf) + RunSettingsFault(error);
}

std::string DrawingTipText(const DrawingRun& run) {
    const std::string tip = DrawingFailureReason(run);
    if (run.outputTail.empty())
        return tip;
    return tip + (tip.empty() ? "" : "\n\n") + "Fin de la sortie de la console :\n" +
           ToLf(run.outputTail);
}

std::string JournalFailureText(const std::vector<Error>& failures) {
    std::string text = "Le journal n'a pas pu être écrit en entier :";
    for (const Error& failure : failures)
        text += std::string(kCrLf) + failure.path + " : " +
                (failure.cause == Cause::System ? NumberAndDescription(failure)
                                                : FileFailureText(failure));
    return text;
}

std::string DurationText(double seconds) {
    return SecondsText(seconds) + " s";
}

std::string BatchCountsText(const BatchCounts& counts) {
    const auto count = [](DrawingState state, int n) {
        return std::string(DrawingStateText(state)) + " : " + std::to_string(n);
    };
    std::string text = count(DrawingState::Running, counts.running) + "   " +
                       count(DrawingState::Succeeded, counts.succeeded) + "   " +
                       count(DrawingState::ScriptError, counts.scriptErrors) + "   " +
                       count(DrawingState::Failed, counts.failed) + "   " +
                       count(DrawingState::TimedOut, counts.timedOut) + "   " +
                       count(DrawingState::Stopped, counts.stopped) + "   " +
                       count(DrawingState::NotStarted, counts.notStarted);
    if (counts.notReady > 0)
        text += "   " + count(DrawingState::NotReady, counts.notReady);
    return text;
}

std::string BatchTimeText(double elapsedSeconds, const BatchCounts& counts, int total) {
    std::string text = "Temps écoulé : " + ClockText(elapsedSeconds);
    const int finished = counts.finished();
    if (finished > 0 && finished < total && counts.running + counts.notStarted > 0)
        text += "   Temps restant estimé : " +
                ClockText(elapsedSeconds / finished * (total - finished));
    return text;
}

} // namespace pilotrame
