#include "texts/faults.h"

#include "texts/common.h"
#include "texts/jobs.h"

namespace pilotrame {

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

} // namespace pilotrame
