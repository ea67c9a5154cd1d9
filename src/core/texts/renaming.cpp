#include "texts/renaming.h"

#include "base/text.h"
#include "texts/common.h"
#include "texts/files.h"
#include "texts/lists.h"

namespace pilotrame {

namespace {

// "Aucun fichier n'a été renommé.", "1 fichier a été renommé avant cette erreur." …
std::string RenamedBeforeText(int renamedBefore) {
    if (renamedBefore == 0)
        return "Aucun fichier n'a été renommé.";
    if (renamedBefore == 1)
        return "1 fichier a été renommé avant cette erreur.";
    return std::to_string(renamedBefore) + " fichiers ont été renommés avant cette erreur.";
}

} // namespace

std::string RenameFailureText(const std::string& oldPath, int renamedBefore) {
    std::string text =
        "Erreur! fichier en lecture seule ou inexistant: " + std::string(kCrLf) + oldPath;
    text += std::string(kCrLf) + std::string(kCrLf);
    if (renamedBefore == 0)
        text += "Aucun fichier n'a été renommé.";
    else if (renamedBefore == 1)
        text += "1 fichier a été renommé avant cette erreur.";
    else
        text += std::to_string(renamedBefore) + " fichiers ont été renommés avant cette erreur.";
    return text;
}

std::string RenameStopText(const Error& failure, int renamedBefore) {
    const std::string count =
        std::string(kCrLf) + std::string(kCrLf) + RenamedBeforeText(renamedBefore);
    switch (failure.cause) {
    case Cause::NotInCodePage:
        return "Le nouveau nom " + InQuotes(failure.detail) + " " +
               std::string(kUnreceivedCharacter) + " : " + InQuotes(failure.text) +
               std::string(kCrLf) +
               "Les listes et les scripts ne pourraient plus nommer ce fichier : " + failure.path +
               count;
    case Cause::NotANumber:
        return BoxText(failure, "ne contient pas un nombre entier") + count;
    case Cause::OutOfRange:
        return BoxText(failure, "contient un nombre hors limites") + count;
    case Cause::NotAFile:
    case Cause::TooLarge:
        return UnusableFileText(failure);
    case Cause::InvalidName:
        if (failure.code == ErrorCode::InvalidName)
            return "Le nouveau nom " + InQuotes(failure.detail) +
                   " n'est pas un nom de fichier que Windows accepte (vide, « . », « .. », "
                   "caractère \\ / : * ? \" < > | ou de contrôle, espace ou point à la fin, nom "
                   "de périphérique comme CON ou NUL) :" +
                   std::string(kCrLf) + failure.path + count;
        return "La règle ne peut pas renommer ce fichier (nom de moins de quatre caractères, ou "
               "qui n'est pas un simple nom de fichier) :" +
               std::string(kCrLf) + failure.path + count;
    default:
        break;
    }
    if (failure.operation == Operation::ReadList)
        return ListReadFailureText(failure);
    // The file or folder the failure concerns, when it is not the file being renamed.
    const std::string& concerned = failure.text.empty() ? failure.path : failure.text;
    switch (failure.code) {
    case ErrorCode::FileExists:
        return "Le nouveau nom existe déjà, ce fichier n'a pas été renommé :" + std::string(kCrLf) +
               failure.path + std::string(kCrLf) + "Fichier existant : " + concerned + count;
    case ErrorCode::PermissionDenied:
        if (concerned == failure.path)
            break;
        return "Le dossier ne peut pas être modifié (lecture seule ou accès refusé), ce fichier "
               "n'a pas été renommé :" +
               std::string(kCrLf) + failure.path + std::string(kCrLf) + "Dossier : " + concerned +
               count;
    case ErrorCode::FileNotFound:
        break;
    default:
        return "Ce fichier n'a pas pu être renommé :" + std::string(kCrLf) + failure.path +
               std::string(kCrLf) + NumberAndDescription(failure) + count;
    }
    return RenameFailureText(failure.path, renamedBefore);
}

} // namespace pilotrame
