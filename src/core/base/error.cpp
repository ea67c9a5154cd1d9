#include "base/error.h"

namespace pilotrame {

std::string Describe(ErrorCode code) {
    switch (code) {
    case ErrorCode::TypeMismatch:
        return "Incompatibilité de type";
    case ErrorCode::Overflow:
        return "Dépassement de capacité";
    case ErrorCode::FileExists:
        return "Ce fichier existe déjà";
    case ErrorCode::FileNotFound:
        return "Fichier introuvable";
    case ErrorCode::PermissionDenied:
        return "Permission refusée";
    case ErrorCode::PathFileAccess:
        return "Erreur d'accès au chemin ou au fichier";
    case ErrorCode::PathNotFound:
        return "Chemin d'accès introuvable";
    case ErrorCode::DeviceIo:
        return "Erreur d'entrée/sortie de périphérique";
    case ErrorCode::DiskFull:
        return "Disque plein";
    case ErrorCode::BadFileName:
        return "Nom ou numéro de fichier incorrect";
    case ErrorCode::InvalidPropertyValue:
        return "Valeur de propriété non valide";
    case ErrorCode::InvalidName:
        return "Caractère interdit dans un nom de fichier";
    }
    return "Erreur inconnue";
}

std::string Error::numberAndDescription() const {
    return std::to_string(static_cast<int>(code)) + " " + Describe(code);
}

Error WithKind(Error error, ErrorKind kind) {
    if (error.code == ErrorCode::DiskFull)
        error.kind = ErrorKind::DiskFull;
    else if (error.kind != ErrorKind::InvalidName && error.kind != ErrorKind::NotANumber &&
             error.kind != ErrorKind::OutOfRange && error.kind != ErrorKind::NotADrawingName)
        error.kind = kind;
    return error;
}

} // namespace pilotrame
