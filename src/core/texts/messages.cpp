#include "texts/messages.h"

#include "base/text.h"
#include "batch/journal.h"
#include "selection/droppeditems.h"
#include "texts/configuration.h"
#include "texts/programstart.h"
#include "texts/runs.h"
#include "texts/scriptcheck.h"
#include "texts/verification.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pilotrame {

namespace {

// What is wrong with a line of a job file, a list or an argument of the command line.
std::string TextFaultText(const Error& error);

// "« text »" with the French quotation marks.
std::string InQuotes(std::string_view text) {
    return "\xC2\xAB " + std::string(text) + " \xC2\xBB";
}

// "La case « EFFACER, 1er point X » ne contient pas un nombre : "abc"".
std::string BoxText(const Error& error, std::string_view problem) {
    return "La case " + InQuotes(BoxName(error)) + " " + std::string(problem) + " : \"" +
           error.text + "\"";
}

// "code 9, tabulation": a control character as the messages name it.
std::string ControlCode(int code) {
    std::string text = "code " + std::to_string(code);
    if (code == '\t')
        text += ", tabulation";
    return text;
}

// "La case « INSERER, fichier » contient un caractère de contrôle (code 9, tabulation) …".
std::string ControlCharacterText(const Error& error) {
    return "La case " + InQuotes(BoxName(error)) + " contient un caractère de contrôle (" +
           ControlCode(error.number) + ") qu'un script ne peut pas porter";
}

// What all failures of a generation leave, since the script is written whole or not at all.
constexpr std::string_view kPreviousScriptKept = "Le script précédent est resté tel qu'il était.";

std::string KeptScript(std::string text) {
    return text + std::string(kCrLf) + std::string(kPreviousScriptKept);
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

std::string ListReadFailureText(const Error& error) {
    if (error.cause != Cause::FaultyText)
        return ListFailureText(error.path);
    return "Liste des fichiers incorrecte, elle n'a pas été lue : " + std::string(kCrLf) +
           error.path + std::string(kCrLf) + "ligne " + std::to_string(error.line) + " : " +
           TextFaultText(error);
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

namespace {

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
    if (error.cause == Cause::Damaged)
        return UnusableFileText(error) + std::string(kCrLf) +
               "Enregistrez la configuration dans la fenêtre (« Sauvegarder et Quitter ») pour "
               "le réécrire en entier.";
    if (std::string text = UnusableFileText(error); !text.empty())
        return text;
    std::string text = NumberAndDescription(error) + "\n" + error.path;
    if (error.cause == Cause::FaultyText)
        text += std::string(kCrLf) + BadSettingText(error);
    return text;
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

std::string WalkProgressText(int folders) {
    return "Recherche des fichiers…\n" + std::to_string(folders) + " répertoires parcourus";
}

std::string FolderCountText(int count) {
    return std::to_string(count) + " Répertoires";
}

// --- Main window and configuration dialog ---

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
    case TextFault::NotAWholeNumber:
        return InQuotes(key) + " vaut " + InQuotes(error.text) + " : un nombre entier attendu";
    case TextFault::NumberOutOfRange:
        if (error.allowed.size() != 2)
            return InQuotes(key) + " vaut " + InQuotes(error.text) + " : nombre hors limites";
        return InQuotes(key) + " vaut " + InQuotes(error.text) + " : un nombre entier de " +
               error.allowed[0] + " à " + error.allowed[1] + " attendu";
    case TextFault::NotALanguage:
        return InQuotes(key) + " vaut " + InQuotes(error.text) +
               " : une langue s'écrit en lettres, chiffres et « - » seulement (fr-FR par exemple)";
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
        return "--execute, --run et --essai ne vont qu'avec --generate ; --job et --list, "
               "qu'avec --generate ou --verifier";
    case TextFault::VerifyAlone:
        return "--verifier ne va qu'avec --job et --list, pas avec " + InQuotes(key) +
               " : il vérifie sans rien écrire ni lancer";
    case TextFault::TrialNeedsRun:
        return "--essai va avec --run ou --execute, qui disent comment essayer les plans ; "
               "sans eux, seulement avec un travail qui renomme des fichiers";
    case TextFault::MissingNumber:
        return "l'option " + InQuotes(key) + " attend un nombre";
    case TextFault::OnlyWithRun:
        if (key == "--skip-unready")
            return "--skip-unready ne va qu'avec --generate --run";
        return "--workers et --timeout ne vont qu'avec --generate --run";
    case TextFault::RunAndExecute:
        return "--run et --execute ne vont pas ensemble : --execute démarre AutoCAD sur un "
               "script pour tous les plans, --run lance la console d'AutoCAD plan par plan";
    case TextFault::FileBeforeFolder:
        return "le fichier " + InQuotes(error.text) +
               " vient avant toute ligne de dossier : la liste ne dit pas dans quel dossier il est";
    case TextFault::NamelessFile:
        return "ligne de fichier sans nom, sous le dossier " + InQuotes(error.detail) +
               " : aucun plan ne peut y être ouvert";
    case TextFault::LineTooLong:
        return "ligne de plus de " + std::to_string(error.number) +
               " octets, ce qu'aucune liste de plans ne contient ; elle commence par " +
               InQuotes(error.text);
    case TextFault::ControlInValue:
        return InQuotes(key) + " contient un caractère de contrôle (code " +
               std::to_string(error.number) + ") qu'un script ne peut pas porter";
    }
    return NumberAndDescription(error);
}

} // namespace

std::string JobFileFailureText(const Error& error) {
    if (std::string text = UnusableFileText(error); !text.empty())
        return text;
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

std::string UnknownJobKeysText(const std::string& path, const std::vector<JobKeyLine>& keys) {
    std::string text = keys.size() == 1
                           ? "Ce travail contient une clé que cette version ne connaît pas : elle "
                             "n'a pas été lue (elle sera gardée à l'enregistrement du travail)."
                           : "Ce travail contient des clés que cette version ne connaît pas : "
                             "elles n'ont pas été lues (elles seront gardées à l'enregistrement "
                             "du travail).";
    text += std::string(kCrLf) + path;
    for (const JobKeyLine& key : keys)
        text +=
            std::string(kCrLf) + "ligne " + std::to_string(key.line) + " : " + InQuotes(key.key);
    return text;
}

std::string CommandLineFailureText(const Error& error) {
    return TextFaultText(error) + std::string(kCrLf) + "Pour l'aide : pilotrame --help";
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

// ---- "Executer script", from the window and the command line ----

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

std::string DrawingsNotReadyText(const DrawingCheck& check, Engine engine) {
    const int problems = static_cast<int>(check.issues.size());
    return engine == Engine::Console
               ? DrawingsNotReadyForRunText(check.checked, problems, DrawingCheckText(check))
               : DrawingsNotReadyText(check.checked, problems, DrawingCheckText(check));
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

std::string DrawingCheckText(const DrawingCheck& check) {
    std::string text;
    for (const DrawingIssue& issue : check.issues) {
        text += issue.path;
        text += '\t';
        text += DescribeIssue(issue, check.opener);
        text += kCrLf;
    }
    return text;
}

// ---- Files that are not ordinary files, too large, or damaged ----

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

std::string SettingsLoadFailureText(const Error& error) {
    if (error.cause == Cause::Damaged)
        return UnusableFileText(error) + std::string(kCrLf) +
               "Les réglages manquants ont repris leur valeur de départ. « Sauvegarder et "
               "Quitter » dans la configuration réécrira le fichier en entier.";
    if (std::string text = UnusableFileText(error); !text.empty())
        return text;
    std::string text = "Erreur sur le fichier de réglages : " + std::string(kCrLf) + error.path +
                       std::string(kCrLf) + NumberAndDescription(error);
    if (error.cause == Cause::FaultyText)
        text += std::string(kCrLf) + BadSettingText(error);
    return text;
}

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
// (end of the section on drag and drop)

// ---- Renaming, patterns, boxes and cells ----
// (texts of the section on renaming, boxes and cells, declared in messages.h)

namespace {

constexpr std::string_view kUnreceivedCharacter =
    "contient un caractère qu'AutoCAD ne recevrait pas";

// "Aucun fichier n'a été renommé.", "1 fichier a été renommé avant cette erreur." …
std::string RenamedBeforeText(int renamedBefore) {
    if (renamedBefore == 0)
        return "Aucun fichier n'a été renommé.";
    if (renamedBefore == 1)
        return "1 fichier a été renommé avant cette erreur.";
    return std::to_string(renamedBefore) + " fichiers ont été renommés avant cette erreur.";
}

} // namespace

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

std::string NamelessListLineText(const Error& error) {
    const std::string where =
        error.path.empty() ? std::string() : ", sous le dossier " + InQuotes(error.path);
    return "Ligne sans nom de fichier dans la liste" + where + " (ligne " +
           std::to_string(error.line) + ") : le symbole ne peut pas être inséré.";
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

// (end of the section on renaming, boxes and cells)

// ---- Batch runs on AutoCAD's console ----

std::string FinishedDrawingLine(int finished, int total, const DrawingRun& run) {
    std::string line = "[" + std::to_string(finished) + "/" + std::to_string(total) + "] " +
                       std::string(DrawingStateText(run.state)) + "   " + run.name + "   " +
                       DurationText(run.seconds);
    if (const std::string detail = DrawingFailureDetail(run); !detail.empty())
        line += "  " + detail;
    return line;
}

std::string StartedDrawingLine(int started, int total, const DrawingRun& run) {
    return "lancé   " + run.name + "   (" + std::to_string(started) + "/" + std::to_string(total) +
           " lancés)";
}

std::string ConsoleRefusalsText(const std::vector<ConsoleRefusal>& refusals) {
    std::string text = "La console AutoCAD ne peut pas exécuter ce travail, aucun plan n'a été "
                       "lancé :";
    for (const ConsoleRefusal& refusal : refusals)
        text += std::string(kCrLf) + refusal.box + " : " + InQuotes(refusal.word) + " : " +
                std::string(ConsoleLimitText(refusal.limit));
    return text + "." + std::string(kCrLf) +
           "Retirez ces lignes, ou choisissez le moteur « AutoCAD, un script pour tous les "
           "plans » dans la configuration : il les exécute.";
}

std::string SkippedDrawingsText(const DrawingCheck& check) {
    std::string lines = DrawingCheckText(check);
    if (lines.ends_with(kCrLf))
        lines.resize(lines.size() - kCrLf.size());
    return "Vérification des plans : " +
           DrawingCheckSummaryText(check.checked, static_cast<int>(check.issues.size())) +
           " ; ces plans sont laissés de côté :" + std::string(kCrLf) + lines;
}

std::string DuplicatesLeftOutText(int duplicates) {
    if (duplicates <= 0)
        return {};
    return Counted(duplicates, "plan listé une seconde fois laissé",
                   "plans listés une seconde fois laissés") +
           " de côté : chaque plan n'est lancé qu'une fois.";
}

std::string DrawingTipText(const DrawingRun& run) {
    const std::string tip = DrawingFailureReason(run);
    if (run.outputTail.empty())
        return tip;
    return tip + (tip.empty() ? "" : "\n\n") + "Fin de la sortie de la console :\n" +
           ToLf(run.outputTail);
}

std::string JournalFailureText(const std::vector<Error>& failures) {
    std::string text = "Le journal n'a pas pu être écrit en entier :";
    for (const Error& failure : failures)
        text += std::string(kCrLf) + failure.path + " : " +
                (failure.cause == Cause::System ? NumberAndDescription(failure)
                                                : FileFailureText(failure));
    return text;
}

std::string DurationText(double seconds) {
    return SecondsText(seconds) + " s";
}

std::string BatchCountsText(const BatchCounts& counts) {
    const auto count = [](DrawingState state, int n) {
        return std::string(DrawingStateText(state)) + " : " + std::to_string(n);
    };
    std::string text = count(DrawingState::Running, counts.running) + "   " +
                       count(DrawingState::Succeeded, counts.succeeded) + "   " +
                       count(DrawingState::ScriptError, counts.scriptErrors) + "   " +
                       count(DrawingState::Failed, counts.failed) + "   " +
                       count(DrawingState::TimedOut, counts.timedOut) + "   " +
                       count(DrawingState::Stopped, counts.stopped) + "   " +
                       count(DrawingState::NotStarted, counts.notStarted);
    if (counts.notReady > 0)
        text += "   " + count(DrawingState::NotReady, counts.notReady);
    return text;
}

namespace {
std::string Clock(double seconds) {
    const long long whole = std::llround(std::max(seconds, 0.0));
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                  whole % 60);
    return text;
}
} // namespace

std::string StatusLineText(const BatchCounts& counts, int total, double elapsedSeconds) {
    std::string line = "[" + std::to_string(counts.finished()) + "/" + std::to_string(total) + "]";
    const auto count = [&line](DrawingState state, int n, bool always = false) {
        if (n > 0 || always)
            line += "  " + std::string(DrawingStateText(state)) + " " + std::to_string(n);
    };
    count(DrawingState::Succeeded, counts.succeeded, true);
    count(DrawingState::ScriptError, counts.scriptErrors);
    count(DrawingState::Failed, counts.failed);
    count(DrawingState::TimedOut, counts.timedOut);
    count(DrawingState::Stopped, counts.stopped);
    count(DrawingState::NotReady, counts.notReady);
    count(DrawingState::Running, counts.running);
    line += "  " + Clock(elapsedSeconds);
    const int finished = counts.finished();
    if (finished > 0 && finished < total)
        line += ", reste " + Clock(elapsedSeconds / finished * (total - finished));
    return line;
}

std::string BatchTimeText(double elapsedSeconds, const BatchCounts& counts, int total) {
    std::string text = "Temps écoulé : " + Clock(elapsedSeconds);
    const int finished = counts.finished();
    if (finished > 0 && finished < total && counts.running + counts.notStarted > 0)
        text +=
            "   Temps restant estimé : " + Clock(elapsedSeconds / finished * (total - finished));
    return text;
}

namespace {
// What is wrong with execution.txt.
std::string RunSettingsFault(const Error& error) {
    if (std::string text = UnusableFileText(error); !text.empty())
        return text;
    if (error.cause == Cause::FaultyText)
        return "ligne " + std::to_string(error.line) + " : " + TextFaultText(error);
    return NumberAndDescription(error);
}
} // namespace

std::string RunSettingsFailureText(const Error& error) {
    return "Réglages d'exécution illisibles, les valeurs par défaut restent : " +
           std::string(kCrLf) + error.path + std::string(kCrLf) + RunSettingsFault(error);
}

std::string BatchSummaryText(const BatchCounts& counts, double elapsedSeconds,
                             const std::string& runFolder) {
    std::string text =
        std::to_string(counts.succeeded) + " réussi(s), " + std::to_string(counts.scriptErrors) +
        " erreur(s) de script, " + std::to_string(counts.failed) + " échec(s), " +
        std::to_string(counts.timedOut) + " délai(s) dépassé(s), " +
        std::to_string(counts.stopped) + " arrêté(s), " + std::to_string(counts.notStarted) +
        " non lancé(s), " +
        (counts.notReady > 0 ? std::to_string(counts.notReady) + " non prêt(s), " : "") + "en " +
        Clock(elapsedSeconds) + ".";
    text += std::string(kCrLf) + "Journal : " + runFolder;
    if (counts.succeeded < counts.finished() + counts.notStarted + counts.running + counts.notReady)
        text += std::string(kCrLf) + "Les plans qui n'ont pas réussi sont listés dans " +
                runFolder + std::string(kFailuresFileName) +
                ", à donner à --list pour les relancer.";
    return text;
}

// ---- The command line's --run ----

std::string RunSettingsRefusedText(const Error& error) {
    return "Réglages d'exécution illisibles, aucun plan n'a été lancé : " + std::string(kCrLf) +
           error.path + std::string(kCrLf) + RunSettingsFault(error);
}

std::string ConsoleNotFoundText(const std::string& program) {
    return "Console d'AutoCAD introuvable, aucun plan n'a été lancé : " + std::string(kCrLf) +
           program + std::string(kCrLf) +
           "Choisissez le « Programme console » dans la configuration (Exécution des plans), ou "
           "donnez-le à la clé console= de execution.txt ou execution.console= du travail.";
}

std::string ConsoleNotExecutableText(const std::string& program) {
    return "La console d'AutoCAD n'est pas un programme exécutable, aucun plan n'a été lancé : " +
           std::string(kCrLf) + program + std::string(kCrLf) +
           "Choisissez le « Programme console » dans la configuration (Exécution des plans), ou "
           "donnez-le à la clé console= de execution.txt ou execution.console= du travail.";
}

std::string DrawingsNotReadyForRunText(int checked, int problems, const std::string& issueLines) {
    return "Vérification des plans : " + DrawingCheckSummaryText(checked, problems) + "." +
           std::string(kCrLf) + issueLines + "Aucun plan n'a été lancé.";
}

std::string BatchStartText(const BatchRequest& batch, const std::string& runFolder) {
    const int total = CountStates(batch.drawings).toRun(static_cast<int>(batch.drawings.size()));
    return "Console : " + batch.consolePath + std::string(kCrLf) + Counted(total, "plan", "plans") +
           ", " + std::to_string(batch.workers) + " à la fois, délai de " +
           std::to_string(batch.timeout.count()) + " s par plan." + std::string(kCrLf) +
           "Journal : " + runFolder;
}

} // namespace pilotrame
