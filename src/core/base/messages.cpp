#include "base/messages.h"

#include "base/text.h"

namespace pilotrame {

namespace {

std::string Numbered(const Error& error) {
    return error.numberAndDescription();
}

// "La case « EFFACER, 1er point X » ne contient pas un nombre : "abc"".
std::string BoxText(const Error& error, std::string_view problem) {
    return "La case \xC2\xAB " + error.detail + " \xC2\xBB " + std::string(problem) + " : \"" +
           error.text + "\"";
}

} // namespace

std::string ListFailureText(const std::string& listPath) {
    return "Liste des fichiers sélectionnés en lecture seule ou inexistant: " + std::string(kCrLf) +
           listPath;
}

std::string FileFailureText(const Error& error) {
    switch (error.kind) {
    case ErrorKind::ListUnreadable:
        return ListFailureText(error.path);
    case ErrorKind::ListNotWritable:
        return ListWriteFailureText(error);
    case ErrorKind::SettingsUnreadable:
    case ErrorKind::SettingsNotWritable:
        return SettingsFailureText(error);
    case ErrorKind::DiskFull:
        return "Disque plein : le fichier n'a pas pu être écrit entièrement." + std::string(kCrLf) +
               error.path;
    case ErrorKind::NotANumber:
        return BoxText(error, "ne contient pas un nombre entier");
    case ErrorKind::OutOfRange:
        return BoxText(error, "contient un nombre hors limites");
    case ErrorKind::InvalidName:
    case ErrorKind::NotADrawingName:
        return "Nom de fichier impossible à écrire : " + std::string(kCrLf) + error.detail;
    case ErrorKind::ScriptNotWritable:
    case ErrorKind::ScriptIncomplete:
    case ErrorKind::RenameFailed:
    case ErrorKind::Cancelled:
    case ErrorKind::Other:
        break;
    }
    return "Erreur sur le fichier : " + std::string(kCrLf) + error.path + std::string(kCrLf) +
           Numbered(error);
}

std::string GenerationFailureText(const Error& error) {
    const std::string incomplete = "Le script est incomplet : ";
    switch (error.kind) {
    case ErrorKind::ListUnreadable:
        return ListFailureText(error.path);
    case ErrorKind::InvalidName:
        return "Nom de fichier impossible à écrire dans le script (retour à la ligne, caractère "
               "de contrôle ou guillemet) : " +
               std::string(kCrLf) + error.detail;
    case ErrorKind::NotADrawingName:
        return "Nom de fichier sans \".dwg\" : le symbole ne peut pas être inséré." +
               std::string(kCrLf) + error.detail;
    case ErrorKind::DiskFull:
        return incomplete + "disque plein." + std::string(kCrLf) + error.path;
    case ErrorKind::ScriptNotWritable:
        return "Impossible de créer le fichier script : " + std::string(kCrLf) + error.path;
    case ErrorKind::ScriptIncomplete:
        return incomplete + "impossible d'écrire dans le fichier." + std::string(kCrLf) +
               error.path + std::string(kCrLf) + Numbered(error);
    case ErrorKind::NotANumber:
        return "Génération arrêtée. " + BoxText(error, "ne contient pas un nombre");
    case ErrorKind::OutOfRange:
        return "Génération arrêtée. " + BoxText(error, "contient un nombre hors limites");
    default:
        return FileFailureText(error);
    }
}

std::string ListWriteFailureText(const Error& error) {
    if (error.kind == ErrorKind::InvalidName)
        return "Nom de fichier impossible à écrire dans la liste : " + std::string(kCrLf) +
               error.detail;
    if (error.kind == ErrorKind::DiskFull)
        return "Disque plein : la liste des fichiers n'a pas été changée." + std::string(kCrLf) +
               error.path;
    return "Impossible d'écrire la liste des fichiers : " + std::string(kCrLf) + error.path +
           std::string(kCrLf) + Numbered(error);
}

std::string SettingsFailureText(const Error& error) {
    return Numbered(error) + "\n" + error.path;
}

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

// --- Main window and configuration dialog ---

std::string ScriptFileReadFailureText(const Error& error) {
    return "Impossible de lire le fichier : " + std::string(kCrLf) + error.path;
}

std::string ScriptFileSaveFailureText(const Error& error) {
    return "Impossible d'enregistrer le fichier : " + std::string(kCrLf) + error.path +
           std::string(kCrLf) + Numbered(error);
}

std::string ReplaceFileQuestion(const std::string& path) {
    return "Le fichier " + path + " existe déjà." + std::string(kCrLf) +
           "Voulez-vous le remplacer ?";
}

std::string TooLongSettingsQuestion(const std::vector<std::string>& fieldNames) {
    std::string text = "Ces valeurs dépassent 60 caractères et seront coupées à 60 caractères "
                       "dans le fichier de configuration :\n";
    for (const std::string& name : fieldNames)
        text += "- " + name + "\n";
    return text + "\nSauvegarder quand même ?";
}

// ---- Job files and the command line ----

std::string JobFileFailureText(const Error& error) {
    if (error.code == ErrorCode::InvalidPropertyValue && !error.detail.empty())
        return "Fichier de travail incorrect, il n'a pas été chargé : " + std::string(kCrLf) +
               error.path + std::string(kCrLf) + error.detail;
    return "Impossible de lire le fichier de travail : " + std::string(kCrLf) + error.path +
           std::string(kCrLf) + Numbered(error);
}

std::string JobFileSaveFailureText(const Error& error) {
    if (error.kind == ErrorKind::DiskFull || error.code == ErrorCode::DiskFull)
        return "Disque plein : le fichier de travail n'a pas été enregistré." + std::string(kCrLf) +
               error.path;
    return "Impossible d'enregistrer le fichier de travail : " + std::string(kCrLf) + error.path +
           std::string(kCrLf) + Numbered(error);
}

std::string CommandLineFailureText(const Error& error) {
    return error.detail + std::string(kCrLf) + "Pour l'aide : pilotrame --help";
}

std::string AutocadNotStartedText(const std::string& program) {
    if (program.empty())
        return "Aucun programme AutoCAD n'est réglé (menu Configuration, "
               "Autocad) : AutoCAD n'a pas été démarré.";
    return "AutoCAD n'a pas pu être démarré : " + std::string(kCrLf) + program;
}

// ---- Command line: the check of the drawings before --execute starts AutoCAD ----

namespace {
std::string Counted(int count, std::string_view singular, std::string_view plural) {
    // French puts the singular below two.
    return std::to_string(count) + " " + std::string(count < 2 ? singular : plural);
}
} // namespace

std::string DrawingsNotReadyText(int checked, int problems, const std::string& issueLines) {
    return "Vérification des plans : " + DrawingCheckSummaryText(checked, problems) + "." +
           std::string(kCrLf) + issueLines + "AutoCAD n'a pas été démarré.";
}

// ---- Configuration dialog and drawing check window ----

std::string_view TextSettingName(int slotNumber) {
    constexpr std::string_view kNames[] = {"Choix imprimante",
                                           "Format impression",
                                           "Type de style de tracé",
                                           "Valeur réservée 3",
                                           "Décalage X",
                                           "Décalage Y",
                                           "Chemin autocad.exe",
                                           "Version autocad",
                                           "Valeur réservée 8",
                                           "Valeur réservée 9",
                                           "Chemin ouverture DWG",
                                           "Chemin ouverture SCR",
                                           "Définir onglet",
                                           "Echelle"};
    if (slotNumber < 0 || slotNumber >= static_cast<int>(std::size(kNames)))
        return {};
    return kNames[slotNumber];
}

std::string DrawingCheckSummaryText(int checked, int problems) {
    return Counted(checked, "plan vérifié", "plans vérifiés") + ", " +
           Counted(problems, "problème", "problèmes");
}

} // namespace pilotrame
