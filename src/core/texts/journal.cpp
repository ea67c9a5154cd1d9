#include "texts/journal.h"

#include "base/numbers.h"

#include <string>

namespace pilotrame {

namespace {

class FrenchJournalWords final : public JournalWords {
public:
    std::string_view state(DrawingState state) const override { return DrawingStateText(state); }
    std::string exitCode(long long code) const override { return ExitCodeText(code); }
    std::string failureReason(const DrawingRun& run) const override {
        return DrawingFailureReason(run);
    }
    std::string logHead(const DrawingRun& run, std::string_view commandLine,
                        std::string_view startedAt) const override {
        return "Plan : " + run.path() + "\r\nCommande : " + std::string(commandLine) +
               "\r\nDébut : " + std::string(startedAt) + "\r\n\r\n--- Sortie de la console ---\r\n";
    }
    std::string logEnd(const DrawingRun& run) const override {
        return "\r\n--- Fin de la sortie de la console ---\r\nEtat : " +
               std::string(DrawingStateText(run.state)) + DrawingFailureDetail(run) +
               "\r\nDurée : " + SecondsText(run.seconds) + " s\r\n";
    }
    std::string outputCut(std::uint64_t keptMebibytes, std::size_t endBytes,
                          std::uint64_t omittedBytes) const override {
        return "\r\n\r\n[La sortie de la console était trop longue : seuls ses " +
               std::to_string(keptMebibytes) + " premiers Mio et ses " + std::to_string(endBytes) +
               " derniers octets sont gardés, " + std::to_string(omittedBytes) +
               " octets sont omis.]\r\n\r\n";
    }
};

} // namespace

std::string_view DrawingStateText(DrawingState state) {
    switch (state) {
    case DrawingState::NotStarted:
        return "non lancé";
    case DrawingState::Running:
        return "en cours";
    case DrawingState::Succeeded:
        return "réussi";
    case DrawingState::ScriptError:
        return "erreur de script";
    case DrawingState::Failed:
        return "échec";
    case DrawingState::TimedOut:
        return "délai dépassé";
    case DrawingState::Stopped:
        return "arrêté";
    case DrawingState::NotReady:
        return "non prêt";
    }
    return {};
}

std::string_view DescribeProblem(DrawingProblem problem) {
    switch (problem) {
    case DrawingProblem::Missing:
        return "introuvable";
    case DrawingProblem::ReadOnly:
        return "en lecture seule";
    case DrawingProblem::OpenElsewhere:
        return "ouvert ailleurs (fichier .dwl présent)";
    case DrawingProblem::NotADrawing:
        return "pas un plan AutoCAD";
    case DrawingProblem::NewerFormat:
        return "format plus récent";
    case DrawingProblem::Unreadable:
        return "illisible";
    }
    return {};
}

std::string ExitCodeText(long long code) {
    if (code < 0xC0000000LL || code > 0xFFFFFFFFLL)
        return std::to_string(code);
    struct Named {
        long long code;
        std::string_view name;
    };
    static constexpr Named kNames[] = {
        {0xC0000005, "violation d'accès"},
        {0xC0000006, "erreur de page en lecture"},
        {0xC0000017, "mémoire insuffisante"},
        {0xC000001D, "instruction non valide"},
        {0xC0000022, "accès refusé"},
        {0xC000007B, "programme ou bibliothèque non valide"},
        {0xC000008C, "indice de tableau hors limites"},
        {0xC000008E, "division par zéro en virgule flottante"},
        {0xC0000094, "division entière par zéro"},
        {0xC0000095, "dépassement de capacité d'un entier"},
        {0xC0000096, "instruction privilégiée"},
        {0xC00000FD, "dépassement de pile"},
        {0xC000013A, "arrêt par Ctrl-C"},
        {0xC0000135, "bibliothèque DLL introuvable"},
        {0xC0000139, "point d'entrée introuvable dans une DLL"},
        {0xC0000142, "échec de l'initialisation d'une DLL"},
        {0xC0000374, "tas corrompu"},
        {0xC0000409, "dépassement de mémoire tampon détecté"},
        {0xC0000417, "paramètre non valide passé à la bibliothèque C"},
    };
    std::string hex = "0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        hex += "0123456789ABCDEF"[(code >> shift) & 0xF];
    for (const Named& named : kNames)
        if (named.code == code)
            return hex + " " + std::string(named.name);
    return hex;
}

std::string ChildFailureText(const ChildOutcome& outcome) {
    const std::string words =
        outcome.reason.empty() ? "erreur " + std::to_string(outcome.systemError) : outcome.reason;
    switch (outcome.failedStep) {
    case ChildStep::Program:
        break;
    case ChildStep::MakeJob:
        return "objet de tâche impossible à créer : " + words;
    case ChildStep::IntoJob:
        return "impossible de la placer dans un objet de tâche, qui l'arrêterait avec tout ce "
               "qu'elle lance : " +
               words;
    }
    return words;
}

std::string DrawingFailureReason(const DrawingRun& run) {
    switch (run.state) {
    case DrawingState::ScriptError:
        return run.failureMessage.empty() ? "plan non enregistré : " + run.unsavedFile
                                          : "message \xC2\xAB " + run.failureMessage +
                                                " \xC2\xBB dans la sortie de la console";
    case DrawingState::Failed:
        if (!run.noExitCode)
            return "code de sortie " + ExitCodeText(run.exitCode);
        return (run.noExitCode->end == ChildEnd::NotStarted
                    ? "la console n'a pas pu être lancée : "
                    : "le code de sortie de la console n'a pas pu être lu : ") +
               ChildFailureText(*run.noExitCode);
    case DrawingState::NotReady:
        return std::string(DescribeProblem(run.problem));
    default:
        return {};
    }
}

std::string DrawingFailureDetail(const DrawingRun& run) {
    const std::string reason = DrawingFailureReason(run);
    return reason.empty() ? reason : " (" + reason + ")";
}

const JournalWords& JournalTexts() {
    static const FrenchJournalWords words;
    return words;
}

} // namespace pilotrame
