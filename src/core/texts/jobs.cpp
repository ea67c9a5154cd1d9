#include "texts/jobs.h"

#include "base/text.h"
#include "texts/common.h"
#include "texts/faults.h"
#include "texts/files.h"

namespace pilotrame {

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

} // namespace pilotrame
