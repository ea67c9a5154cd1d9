#include "texts/scripts.h"

#include "base/text.h"
#include "texts/common.h"
#include "texts/files.h"
#include "texts/lists.h"
#include "texts/programstart.h"
#include "texts/runs.h"
#include "texts/settings.h"
#include "texts/verification.h"

namespace pilotrame {

namespace {

// What all failures of a generation leave, since the script is written whole or not at all.
constexpr std::string_view kPreviousScriptKept = "Le script précédent est resté tel qu'il était.";

std::string KeptScript(std::string text) {
    return text + std::string(kCrLf) + std::string(kPreviousScriptKept);
}

// A name of a list that no script line can carry: what it holds, then the name, its control
// characters shown as "?" (a NUL would end the message).
std::string UnwritableNameText(const Error& error) {
    std::string held;
    if (!error.text.empty()) {
        held = InQuotes(error.text) + ", qu'AutoCAD recevrait comme « ? »";
    } else if (const int control = FirstControlCharacter(error.detail); control >= 0) {
        held = "un caractère de contrôle (" + ControlCode(control) + ")";
    } else {
        held = "un guillemet (\")";
    }
    return "Nom de fichier impossible à écrire dans le script : il contient " + held + " :" +
           std::string(kCrLf) + ShownText(error.detail);
}

// The text of a failed generation, without what it leaves.
std::string GenerationFailureBody(const Error& error, Engine engine) {
    switch (error.cause) {
    case Cause::InvalidName:
        return UnwritableNameText(error);
    case Cause::NotADrawingName:
        if (error.detail.empty())
            return NamelessListLineText(error);
        return "Nom de fichier sans \".dwg\" : le symbole ne peut pas être inséré." +
               std::string(kCrLf) + error.detail;
    case Cause::NotANumber:
        return "Génération arrêtée. " + BoxText(error, "ne contient pas un nombre");
    case Cause::OutOfRange:
        return "Génération arrêtée. " + BoxText(error, "contient un nombre hors limites");
    case Cause::NotAFile:
    case Cause::TooLarge:
    case Cause::Damaged:
        return UnusableFileText(error);
    case Cause::NotInCodePage:
        return "Génération arrêtée. " + CharacterOutsideAnsiText(error);
    case Cause::PastTheLimit:
        return "Génération arrêtée. " + PastTheLimitText(error);
    case Cause::ControlCharacter:
        return "Génération arrêtée. " + ControlCharacterText(error);
    case Cause::FolderRefused:
        if (error.operation == Operation::CreateScript ||
            error.operation == Operation::AppendScript)
            return FolderRefusedText(error, engine);
        break;
    case Cause::FaultyText:
    case Cause::System:
    case Cause::NotAProgram:
    case Cause::BatchFile:
        break;
    case Cause::NeedsVba:
        return std::string(kConsoleHasNoVbaText);
    }
    if (DiskFull(error))
        return "Le script n'a pas été écrit : disque plein." + std::string(kCrLf) + error.path;
    switch (error.operation) {
    case Operation::ReadList:
        return ListReadFailureText(error);
    case Operation::CreateScript:
        return "Impossible de créer le fichier script : " + std::string(kCrLf) + error.path;
    case Operation::AppendScript:
        return "Le script n'a pas pu être écrit :" + std::string(kCrLf) + error.path +
               std::string(kCrLf) + NumberAndDescription(error);
    default:
        return FileFailureText(error);
    }
}

// Whether a failed generation left a script as it was: it is written whole or not at all, so
// every failure does, but where the script's path names no file (a pipe, a device, a folder) and
// where the job cannot be run at all.
bool KeepsAScript(const Error& error) {
    const bool atTheScript =
        error.operation == Operation::CreateScript || error.operation == Operation::AppendScript;
    return error.cause != Cause::NeedsVba && !(atTheScript && error.cause == Cause::NotAFile);
}

} // namespace

std::string GenerationFailureText(const Error& error) {
    std::string text = GenerationFailureBody(error, Engine::Autocad);
    return KeepsAScript(error) ? KeptScript(std::move(text)) : text;
}

std::string ExecuteFailureText(const Error& error, Engine engine, bool renaming) {
    // Only AutoCAD's engine writes Pilotrame.scr; a run on the console or a renaming leaves it
    // alone, whatever stops them.
    if (error.operation != Operation::StartProgram)
        return engine == Engine::Autocad && !renaming ? GenerationFailureText(error)
                                                      : GenerationFailureBody(error, engine);
    if (engine != Engine::Console)
        return AutocadNotStartedText(error);
    const bool missing = error.cause == Cause::System && (error.code == ErrorCode::FileNotFound ||
                                                          error.code == ErrorCode::PathNotFound);
    if (!error.text.empty())
        return ConsoleInterpreterText(error.detail, error.text, missing);
    return missing ? ConsoleNotFoundText(error.detail) : ConsoleNotExecutableText(error.detail);
}

std::string_view NothingToExecuteText(Engine engine) {
    return engine == Engine::Console ? kNothingToRunText : kNothingToProcessText;
}

std::string AutocadNotStartedText(const Error& error) {
    const std::string& program = error.detail;
    if (program.empty())
        return "Aucun programme AutoCAD n'est réglé (menu Configuration, "
               "Autocad) : AutoCAD n'a pas été démarré.";
    if (error.cause == Cause::BatchFile)
        return BatchProgramText(program);
    return "AutoCAD n'a pas pu être démarré : " + StartFailureReason(error) + "." +
           std::string(kCrLf) + program + std::string(kCrLf) + std::string(kChooseAutocadText);
}

std::string DrawingsNotReadyText(const DrawingCheck& check, Engine engine) {
    const int problems = static_cast<int>(check.issues.size());
    return engine == Engine::Console
               ? DrawingsNotReadyForRunText(check.checked, problems, DrawingCheckText(check))
               : DrawingsNotReadyText(check.checked, problems, DrawingCheckText(check));
}

std::string DrawingsNotReadyText(int checked, int problems, const std::string& issueLines) {
    return "Vérification des plans : " + DrawingCheckSummaryText(checked, problems) + "." +
           std::string(kCrLf) + issueLines + "AutoCAD n'a pas été démarré.";
}

} // namespace pilotrame
