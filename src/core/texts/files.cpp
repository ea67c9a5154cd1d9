#include "texts/files.h"

#include "base/text.h"
#include "texts/common.h"
#include "texts/lists.h"
#include "texts/settings.h"

namespace pilotrame {

namespace {

// "4 Mio" for a whole number of mebibytes, else the bytes.
std::string SizeText(int bytes) {
    constexpr int kMebibyte = 1024 * 1024;
    if (bytes > 0 && bytes % kMebibyte == 0)
        return std::to_string(bytes / kMebibyte) + " Mio";
    return std::to_string(bytes) + " octets";
}

// What a file refused before it was read leaves undone, by the operation that wanted it.
std::string NotDoneText(Operation operation) {
    switch (operation) {
    case Operation::ReadJob:
        return "le travail n'a pas été chargé.";
    case Operation::ReadList:
        return "la liste des plans n'a pas été lue.";
    case Operation::ReadSettings:
        return "les réglages n'ont pas été lus.";
    case Operation::SaveSettings:
        return "les réglages n'ont pas été enregistrés.";
    case Operation::CreateScript:
    case Operation::AppendScript:
        return "le script n'y a pas été écrit.";
    case Operation::WriteList:
        return "la liste n'y a pas été écrite.";
    case Operation::SaveJob:
        return "le travail n'y a pas été enregistré.";
    default:
        return "il n'a pas été lu.";
    }
}

std::string_view KindText(Operation operation) {
    switch (operation) {
    case Operation::ReadJob:
        return "un fichier de travail";
    case Operation::ReadSettings:
    case Operation::SaveSettings:
        return "un fichier de réglages";
    default:
        return "ce genre de fichier";
    }
}

} // namespace

std::string FileFailureText(const Error& error) {
    switch (error.cause) {
    case Cause::NotANumber:
        return BoxText(error, "ne contient pas un nombre entier");
    case Cause::OutOfRange:
        return BoxText(error, "contient un nombre hors limites");
    case Cause::InvalidName:
    case Cause::NotADrawingName:
        return "Nom de fichier impossible à écrire : " + std::string(kCrLf) + error.detail;
    case Cause::NotAFile:
    case Cause::TooLarge:
    case Cause::Damaged:
        return UnusableFileText(error);
    case Cause::NotInCodePage:
        return CharacterOutsideAnsiText(error);
    case Cause::PastTheLimit:
        return PastTheLimitText(error);
    case Cause::ControlCharacter:
        return ControlCharacterText(error);
    case Cause::FaultyText:
    case Cause::System:
    case Cause::NeedsVba:
    case Cause::FolderRefused:
    case Cause::NotAProgram:
    case Cause::BatchFile:
        break;
    }
    if (DiskFull(error))
        return "Disque plein : le fichier n'a pas pu être écrit entièrement." + std::string(kCrLf) +
               error.path;
    switch (error.operation) {
    case Operation::ReadList:
        return ListReadFailureText(error);
    case Operation::WriteList:
        return ListWriteFailureText(error);
    case Operation::ReadSettings:
    case Operation::SaveSettings:
        return SettingsFailureText(error);
    default:
        break;
    }
    return "Erreur sur le fichier : " + std::string(kCrLf) + error.path + std::string(kCrLf) +
           NumberAndDescription(error);
}

std::string UnusableFileText(const Error& error) {
    switch (error.cause) {
    case Cause::NotAFile:
        return InQuotes(error.path) +
               " n'est pas un fichier ordinaire (tube, périphérique ou dossier) : " +
               NotDoneText(error.operation);
    case Cause::TooLarge:
        return InQuotes(error.path) + " est trop grand pour " +
               std::string(KindText(error.operation)) + " (plus de " + SizeText(error.number) +
               ") : " + NotDoneText(error.operation);
    case Cause::Damaged:
        if (error.operation == Operation::ReadSettings)
            return "Le fichier de réglages " + InQuotes(error.path) +
                   " est endommagé : il s'arrête avant la fin des réglages.";
        return InQuotes(error.path) +
               " est endommagé : il s'arrête avant la fin de ce qu'il doit contenir.";
    default:
        return {};
    }
}

std::string ScriptFileReadFailureText(const Error& error) {
    if (std::string text = UnusableFileText(error); !text.empty())
        return text;
    return "Impossible de lire le fichier : " + std::string(kCrLf) + error.path;
}

std::string ScriptFileSaveFailureText(const Error& error) {
    if (error.cause == Cause::NotInCodePage)
        return "Le script n'a pas été enregistré. " + CharacterOutsideAnsiText(error);
    return "Impossible d'enregistrer le fichier : " + std::string(kCrLf) + error.path +
           std::string(kCrLf) + NumberAndDescription(error);
}

std::string ReplaceFileQuestion(const std::string& path) {
    return "Le fichier " + path + " existe déjà." + std::string(kCrLf) +
           "Voulez-vous le remplacer ?";
}

} // namespace pilotrame
