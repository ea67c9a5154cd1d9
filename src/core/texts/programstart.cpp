#include "texts/programstart.h"

#include "base/text.h"

namespace pilotrame {

std::string StartFailureReason(const Error& error) {
    if (error.cause == Cause::NotAProgram)
        return "ce fichier n'est pas un programme que le système sait exécuter";
    switch (error.code) {
    case ErrorCode::FileNotFound:
    case ErrorCode::PathNotFound:
        return "programme introuvable";
    case ErrorCode::PermissionDenied:
        return "accès refusé";
    default:
        break;
    }
    if (!error.text.empty())
        return ShownText(error.text);
    // The system's number of a failure it has no description for.
    if (error.number != 0)
        return "erreur " + std::to_string(static_cast<unsigned>(error.number));
    return "le système a refusé de le démarrer";
}

std::string BatchProgramText(const std::string& program) {
    return "Le programme d'AutoCAD est un fichier de commandes (.bat ou .cmd) : Windows le ferait "
           "lire par cmd.exe, qui change ce qui s'écrit entre deux « % » dans le chemin du "
           "script. AutoCAD n'a pas été démarré." +
           std::string(kCrLf) + program + std::string(kCrLf) +
           "Choisissez le programme d'AutoCAD lui-même, acad.exe (menu Configuration, Autocad, "
           "« Chemin autocad.exe »).";
}

std::string ExcelNotStartedText(const Error& error) {
    return "Excel n'a pas pu être démarré : " + StartFailureReason(error) + "." +
           std::string(kCrLf) + error.detail;
}

} // namespace pilotrame
