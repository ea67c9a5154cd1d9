#include "texts/common.h"

namespace pilotrame {

std::string DescribeErrorCode(ErrorCode code) {
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

std::string NumberAndDescription(const Error& error) {
    return std::to_string(static_cast<int>(error.code)) + " " + DescribeErrorCode(error.code);
}

std::string BoxName(const BoxRef& box) {
    const std::string index = std::to_string(box.index);
    switch (box.box) {
    case Box::None:
        return {};
    case Box::EraseFirstX:
        return "EFFACER, 1er point X";
    case Box::EraseFirstY:
        return "EFFACER, 1er point Y";
    case Box::EraseSecondX:
        return "EFFACER, 2em point X";
    case Box::EraseSecondY:
        return "EFFACER, 2em point Y";
    case Box::InsertFile:
        return "INSERER, fichier";
    case Box::AttributeFirstX:
        return "REMPLACER ATTRIBUT, 1er point X";
    case Box::AttributeFirstY:
        return "REMPLACER ATTRIBUT, 1er point Y";
    case Box::AttributeSecondX:
        return "REMPLACER ATTRIBUT, 2em point X";
    case Box::AttributeSecondY:
        return "REMPLACER ATTRIBUT, 2em point Y";
    case Box::AttributeOld:
        return "REMPLACER ATTRIBUT, ancienne valeur";
    case Box::AttributeNew:
        return "REMPLACER ATTRIBUT, nouvelle valeur";
    case Box::ReplaceOld1:
        return "REMPLACE TEXTE, 1er ancien texte";
    case Box::ReplaceNew1:
        return "REMPLACE TEXTE, 1er nouveau texte";
    case Box::ReplaceOld2:
        return "REMPLACE TEXTE, 2em ancien texte";
    case Box::ReplaceNew2:
        return "REMPLACE TEXTE, 2em nouveau texte";
    case Box::ScriptTextLine:
        return "SCRIPT FICHIER, ligne " + index;
    case Box::RenameStart:
        return "Début";
    case Box::RenameLength:
        return "Longeur";
    case Box::SymbolStepX:
        return "F1 pas X";
    case Box::SymbolStepY:
        return "F1 pas Y";
    case Box::SymbolGrid:
        return "grille des symboles F1";
    case Box::AttributeBlock:
        return "F3 nom du bloc " + index;
    case Box::AttributeName:
        return "F3 nom de l'attribut " + index;
    case Box::CountedBlock:
        return "F5 nom du bloc";
    case Box::ErasedLayer:
        return "F6 calque";
    case Box::FrozenLayer:
        return "F7 calque";
    case Box::ExportCorner:
        // In the order of the boxes: both X, then both Y.
        return std::string("F8 ") + (box.index % 2 == 1 ? "1er" : "2em") + " point " +
               (box.index <= 2 ? "X" : "Y");
    case Box::ColumnX:
        return "Colonne " + index;
    case Box::RowStep:
        return "Décalage";
    case Box::TextStyle:
        return "Style texte";
    case Box::TextHeight:
        return "Hauteur";
    case Box::TextRotation:
        return "Rotation";
    case Box::Table:
        return "tableau";
    case Box::TableCell:
        return "tableau, ligne " + index + ", colonne " + std::to_string(box.column);
    }
    return {};
}

std::string BoxName(const Error& error) {
    return error.box.box == Box::None ? error.detail : BoxName(error.box);
}

std::string InQuotes(std::string_view text) {
    return "\xC2\xAB " + std::string(text) + " \xC2\xBB";
}

std::string Counted(int count, std::string_view singular, std::string_view plural) {
    // French puts the singular below two.
    return std::to_string(count) + " " + std::string(count < 2 ? singular : plural);
}

std::string Alternatives(const std::vector<std::string>& words) {
    std::string list;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            list += i + 1 == words.size() ? " ou " : ", ";
        list += words[i];
    }
    return list;
}

std::string ControlCode(int code) {
    std::string text = "code " + std::to_string(code);
    if (code == '\t')
        text += ", tabulation";
    return text;
}

std::string BoxText(const Error& error, std::string_view problem) {
    return "La case " + InQuotes(BoxName(error)) + " " + std::string(problem) + " : \"" +
           error.text + "\"";
}

std::string ControlCharacterText(const Error& error) {
    return "La case " + InQuotes(BoxName(error)) + " contient un caractère de contrôle (" +
           ControlCode(error.number) + ") qu'un script ne peut pas porter";
}

bool DiskFull(const Error& error) {
    return error.cause == Cause::System && error.code == ErrorCode::DiskFull;
}

std::string CharacterOutsideAnsiText(const Error& error) {
    return "La case " + InQuotes(BoxName(error)) + " " + std::string(kUnreceivedCharacter) + " : " +
           InQuotes(error.text);
}

std::string PastTheLimitText(const Error& error) {
    const std::string limit = std::to_string(error.number);
    if (error.line > 0)
        return "Le " + BoxName(error) + " est trop long pour son décalage de " + error.text +
               " : à partir de sa ligne " + std::to_string(error.line) +
               ", les lignes iraient au-delà de la position " + limit +
               ", la dernière qu'un script puisse placer. Réduisez le décalage ou partagez le "
               "tableau.";
    return "La " + BoxName(error) + " est pleine : au pas de " + error.text +
           ", le symbole suivant irait au-delà de la position " + limit +
           ", la dernière qu'un script puisse placer. Réduisez les pas, ou générez une fois sans "
           "F1 pour ramener la grille à 0,0.";
}

} // namespace pilotrame
