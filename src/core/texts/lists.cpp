#include "texts/lists.h"

#include "base/text.h"
#include "texts/common.h"
#include "texts/faults.h"

namespace pilotrame {

std::string ListFailureText(const std::string& listPath) {
    return "Liste des fichiers sélectionnés en lecture seule ou inexistant: " + std::string(kCrLf) +
           listPath;
}

std::string ListReadFailureText(const Error& error) {
    if (error.cause != Cause::FaultyText)
        return ListFailureText(error.path);
    return "Liste des fichiers incorrecte, elle n'a pas été lue : " + std::string(kCrLf) +
           error.path + std::string(kCrLf) + "ligne " + std::to_string(error.line) + " : " +
           TextFaultText(error);
}

std::string ListWriteFailureText(const Error& error) {
    if (error.cause == Cause::InvalidName)
        return "Nom de fichier impossible à écrire dans la liste : " + std::string(kCrLf) +
               error.detail;
    if (DiskFull(error))
        return "Disque plein : la liste des fichiers n'a pas été changée." + std::string(kCrLf) +
               error.path;
    return "Impossible d'écrire la liste des fichiers : " + std::string(kCrLf) + error.path +
           std::string(kCrLf) + NumberAndDescription(error);
}

std::string NamelessListLineText(const Error& error) {
    const std::string where =
        error.path.empty() ? std::string() : ", sous le dossier " + InQuotes(error.path);
    return "Ligne sans nom de fichier dans la liste" + where + " (ligne " +
           std::to_string(error.line) + ") : le symbole ne peut pas être inséré.";
}

std::string NamesOutsideAnsiText(const std::vector<std::string>& paths) {
    std::string text =
        paths.size() == 1 ? "Ce fichier n'a pas été ajouté à la liste : son nom contient un "
                            "caractère qu'AutoCAD ne recevrait pas (il deviendrait « ? ») :"
                          : std::to_string(paths.size()) +
                                " fichiers n'ont pas été ajoutés à la liste : leur nom contient "
                                "un caractère qu'AutoCAD ne recevrait pas (il deviendrait « ? ») :";
    for (const std::string& path : paths)
        text += std::string(kCrLf) + path;
    return text;
}

std::string UnreadableFoldersText(const std::vector<std::string>& folders) {
    std::string text = folders.size() == 1 ? "Ce répertoire n'a pas pu être lu :"
                                           : "Ces répertoires n'ont pas pu être lus :";
    for (const std::string& folder : folders)
        text += std::string(kCrLf) + folder;
    return text;
}

std::string WalkProgressText(int folders) {
    return "Recherche des fichiers…\n" + std::to_string(folders) + " répertoires parcourus";
}

std::string FolderCountText(int count) {
    return std::to_string(count) + " Répertoires";
}

WalkMode WalkModeFromText(std::string_view text) {
    for (std::size_t i = 0; i < kWalkModeTexts.size(); ++i) {
        if (text == kWalkModeTexts[i])
            return static_cast<WalkMode>(i);
    }
    return WalkMode::None;
}

std::string DroppedItemsNotTakenText(const std::vector<DroppedItem>& items) {
    std::string text =
        items.size() == 1 ? "Cet élément déposé n'a pas été pris :"
                          : std::to_string(items.size()) + " éléments déposés n'ont pas été pris :";
    bool folder = false;
    bool notLocal = false;
    for (const DroppedItem& item : items) {
        std::string_view why;
        switch (item.kind) {
        case DroppedKind::Folder:
            why = "répertoire";
            folder = true;
            break;
        case DroppedKind::NotLocal:
            why = "pas un fichier de cet ordinateur";
            notLocal = true;
            break;
        case DroppedKind::Missing:
            why = "n'existe plus";
            break;
        case DroppedKind::Other:
            why = "ni un fichier ni un répertoire";
            break;
        case DroppedKind::File: // a dropped file is always taken
            why = "fichier";
            break;
        }
        text += std::string(kCrLf) + item.name + " (" + std::string(why) + ")";
    }
    if (folder)
        text += std::string(kCrLf) +
                "Un répertoire déposé seul, sans fichier, ouvre la sélection avancée sur lui ; "
                "« Selection avancée » en choisit un aussi.";
    if (notLocal)
        text += std::string(kCrLf) +
                "Enregistrez d'abord sur cet ordinateur un fichier venu d'ailleurs, puis "
                "déposez-le.";
    return text;
}

} // namespace pilotrame
