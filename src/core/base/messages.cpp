#include "base/messages.h"

#include "base/text.h"

namespace pilotrame {

namespace {

// "« text »" with the French quotation marks.
std::string InQuotes(std::string_view text) {
    return "\xC2\xAB " + std::string(text) + " \xC2\xBB";
}

// "La case « EFFACER, 1er point X » ne contient pas un nombre : "abc"".
std::string BoxText(const Error& error, std::string_view problem) {
    return "La case " + InQuotes(error.detail) + " " + std::string(problem) + " : \"" + error.text +
           "\"";
}

bool DiskFull(const Error& error) {
    return error.cause == Cause::System && error.code == ErrorCode::DiskFull;
}

} // namespace

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

std::string ListFailureText(const std::string& listPath) {
    return "Liste des fichiers sélectionnés en lecture seule ou inexistant: " + std::string(kCrLf) +
           listPath;
}

std::string FileFailureText(const Error& error) {
    switch (error.cause) {
    case Cause::NotANumber:
        return BoxText(error, "ne contient pas un nombre entier");
    case Cause::OutOfRange:
        return BoxText(error, "contient un nombre hors limites");
    case Cause::InvalidName:
    case Cause::NotADrawingName:
        return "Nom de fichier impossible à écrire : " + std::string(kCrLf) + error.detail;
    case Cause::FaultyText:
    case Cause::System:
    case Cause::NotAFile:
    case Cause::TooLarge:
    case Cause::Damaged:
    case Cause::NotInCodePage:
    case Cause::PastTheLimit:
        break;
    }
    if (DiskFull(error))
        return "Disque plein : le fichier n'a pas pu être écrit entièrement." + std::string(kCrLf) +
               error.path;
    switch (error.operation) {
    case Operation::ReadList:
        return ListFailureText(error.path);
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

std::string GenerationFailureText(const Error& error) {
    const std::string incomplete = "Le script est incomplet : ";
    switch (error.cause) {
    case Cause::InvalidName:
        return "Nom de fichier impossible à écrire dans le script (retour à la ligne, caractère "
               "de contrôle ou guillemet) : " +
               std::string(kCrLf) + error.detail;
    case Cause::NotADrawingName:
        return "Nom de fichier sans \".dwg\" : le symbole ne peut pas être inséré." +
               std::string(kCrLf) + error.detail;
    case Cause::NotANumber:
        return "Génération arrêtée. " + BoxText(error, "ne contient pas un nombre");
    case Cause::OutOfRange:
        return "Génération arrêtée. " + BoxText(error, "contient un nombre hors limites");
    case Cause::FaultyText:
    case Cause::System:
    case Cause::NotAFile:
    case Cause::TooLarge:
    case Cause::Damaged:
    case Cause::NotInCodePage:
    case Cause::PastTheLimit:
        break;
    }
    if (DiskFull(error))
        return incomplete + "disque plein." + std::string(kCrLf) + error.path;
    switch (error.operation) {
    case Operation::ReadList:
        return ListFailureText(error.path);
    case Operation::CreateScript:
        return "Impossible de créer le fichier script : " + std::string(kCrLf) + error.path;
    case Operation::AppendScript:
        return incomplete + "impossible d'écrire dans le fichier." + std::string(kCrLf) +
               error.path + std::string(kCrLf) + NumberAndDescription(error);
    default:
        return FileFailureText(error);
    }
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

std::string SettingsFailureText(const Error& error) {
    return NumberAndDescription(error) + "\n" + error.path;
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
           std::string(kCrLf) + NumberAndDescription(error);
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

namespace {

// "a, b ou c".
std::string Alternatives(const std::vector<std::string>& words) {
    std::string list;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            list += i + 1 == words.size() ? " ou " : ", ";
        list += words[i];
    }
    return list;
}

// What is wrong with a line of a job file or an argument of the command line.
std::string TextFaultText(const Error& error) {
    const std::string& key = error.detail;
    switch (error.fault) {
    case TextFault::None:
        break;
    case TextFault::NotAJobFile:
        return "la première ligne d'un fichier de travail doit être " + InQuotes(error.text);
    case TextFault::NewerFormat:
        return "ce fichier de travail est de la version " + std::to_string(error.number) +
               " du format, ce programme ne lit que la version " + Alternatives(error.allowed) +
               " : mettez Pilotrame à jour";
    case TextFault::NotUtf8:
        return "texte qui n'est pas en UTF-8";
    case TextFault::StrayCarriageReturn:
        return "retour chariot (CR) isolé au milieu de la ligne";
    case TextFault::MissingEquals:
        return InQuotes("=") + " manquant : une ligne s'écrit clé=valeur";
    case TextFault::MalformedKey:
        return "clé " + InQuotes(key) +
               " incorrecte (lettres minuscules sans accent, chiffres, « . », « - » et « _ » "
               "seulement)";
    case TextFault::RepeatedKey:
        return "la clé " + InQuotes(key) + " est déjà donnée ligne " + std::to_string(error.number);
    case TextFault::LoneBackslash:
        return "« \\ » seul en fin de ligne (une barre oblique inverse s'écrit « \\\\ »)";
    case TextFault::UnknownEscape:
        return "séquence " + InQuotes(error.text) +
               " inconnue (seules \\\\, \\n, \\r et \\t existent)";
    case TextFault::NotAFlag:
        return InQuotes(key) + " vaut " + InQuotes(error.text) + " : 0 ou 1 attendu";
    case TextFault::NotAWord:
        return InQuotes(key) + " vaut " + InQuotes(error.text) + " : " +
               Alternatives(error.allowed) + " attendu";
    case TextFault::LineBreakInLine:
        return InQuotes(key) +
               " ne peut pas contenir de retour à la ligne (case d'une seule ligne)";
    case TextFault::ValueTooLong:
        return JobValueTooLongText(error);
    case TextFault::CutShort:
        return JobCutShortText(error);
    case TextFault::TextAfterEnd:
        return JobTextAfterEndText(error);
    case TextFault::UnknownOption:
        return "option inconnue : " + InQuotes(key);
    case TextFault::RepeatedOption:
        return "option " + InQuotes(key) + " donnée deux fois";
    case TextFault::MissingFileName:
        return "l'option " + InQuotes(key) + " attend un nom de fichier";
    case TextFault::ValueNotTaken:
        return "l'option " + InQuotes(key) + " ne prend pas de valeur";
    case TextFault::UnexpectedArgument:
        return "argument inattendu : " + InQuotes(key);
    case TextFault::OnlyWithGenerate:
        return "--job, --list et --execute ne vont qu'avec --generate";
    }
    return NumberAndDescription(error);
}

} // namespace

std::string JobFileFailureText(const Error& error) {
    if (error.cause == Cause::FaultyText)
        return "Fichier de travail incorrect, il n'a pas été chargé : " + std::string(kCrLf) +
               error.path + std::string(kCrLf) + "ligne " + std::to_string(error.line) + " : " +
               TextFaultText(error);
    return "Impossible de lire le fichier de travail : " + std::string(kCrLf) + error.path +
           std::string(kCrLf) + NumberAndDescription(error);
}

std::string JobFileSaveFailureText(const Error& error) {
    if (DiskFull(error))
        return "Disque plein : le fichier de travail n'a pas été enregistré." + std::string(kCrLf) +
               error.path;
    return "Impossible d'enregistrer le fichier de travail : " + std::string(kCrLf) + error.path +
           std::string(kCrLf) + NumberAndDescription(error);
}

std::string CommandLineFailureText(const Error& error) {
    return TextFaultText(error) + std::string(kCrLf) + "Pour l'aide : pilotrame --help";
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

std::string_view DescribeProblem(DrawingProblem problem) {
    switch (problem) {
    case DrawingProblem::Missing:
        return "introuvable";
    case DrawingProblem::ReadOnly:
        return "en lecture seule";
    case DrawingProblem::OpenElsewhere:
        return "ouvert ailleurs (fichier .dwl présent)";
    }
    return {};
}

std::string DrawingCheckText(const DrawingCheck& check) {
    std::string text;
    for (const DrawingIssue& issue : check.issues) {
        text += issue.path;
        text += '\t';
        text += DescribeProblem(issue.problem);
        text += kCrLf;
    }
    return text;
}

// ---- Files that are not ordinary files, too large, or damaged ----
// (texts of the section on files, declared in messages.h)
// (end of the section on files)

// ---- Job files ----
// (texts of the section on job files, declared in messages.h)

std::string JobValueTooLongText(const Error& error) {
    return InQuotes(error.detail) + " dépasse " + std::to_string(error.number) +
           " caractères, ce que tient une case d'une seule ligne : le travail n'est pas chargé "
           "plutôt que d'en perdre la fin";
}

std::string JobCutShortText(const Error& error) {
    return "le fichier s'arrête avant sa fin, il lui manque sa dernière ligne " +
           InQuotes(error.text) + " : il a sans doute été coupé (copie interrompue, disque plein)";
}

std::string JobTextAfterEndText(const Error& error) {
    return "du texte suit la ligne de fin " + InQuotes(error.text) + " : rien ne doit la suivre";
}
// (end of the section on job files)

// ---- Drag and drop ----
// (texts of the section on drag and drop, declared in messages.h)
// (end of the section on drag and drop)

// ---- Renaming, patterns, boxes and cells ----
// (texts of the section on renaming, boxes and cells, declared in messages.h)
// (end of the section on renaming, boxes and cells)

} // namespace pilotrame
