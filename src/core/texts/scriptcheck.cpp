#include "texts/scriptcheck.h"

#include "base/text.h"

#include <optional>

namespace pilotrame {

namespace {

std::string InQuotes(std::string_view text) {
    return "\xC2\xAB " + std::string(text) + " \xC2\xBB";
}

std::string CharacterText(std::string_view character) {
    if (character.size() == 1 &&
        (static_cast<unsigned char>(character[0]) < 0x20 || character[0] == '\x7F')) {
        std::string code = "code " + std::to_string(static_cast<int>(character[0]));
        if (character[0] == '\t')
            code += ", tabulation";
        return "caractère de contrôle (" + code + ") qu'un script ne peut pas porter";
    }
    return "caractère qu'AutoCAD ne recevrait pas : " + InQuotes(character);
}

std::string SectionCommandText(const ScriptFinding& finding) {
    const std::string command = CommandWord(finding.found);
    std::string why;
    if (command == "open" || command == "ouvrir")
        why = "la section de chaque plan ouvre déjà son plan ; un autre plan ouvert ici recevrait "
              "la suite du script";
    else if (command == "close" || command == "fermer")
        why = "la section de chaque plan enregistre et ferme déjà son plan ; fermé ici, il ne "
              "serait pas enregistré et la suite du script ne trouverait plus de plan";
    else if (command == "quit" || command == "quitter")
        why = "AutoCAD s'arrêterait ici, avant les plans suivants";
    else
        why = "la section de chaque plan enregistre déjà son plan";
    return InQuotes(finding.found) + " : " + why;
}

} // namespace

std::string_view ScriptSeverityText(ScriptSeverity severity) {
    return severity == ScriptSeverity::Error ? "erreur" : "attention";
}

std::string_view ConsoleLimitText(ConsoleLimit limit) {
    switch (limit) {
    case ConsoleLimit::OpensDrawing:
        return "la console ouvre elle-même le plan qu'elle traite et n'en ouvre pas d'autre";
    case ConsoleLimit::ClosesDrawing:
        return "la console ferme elle-même le plan à la fin du script (« _qsave » l'enregistre)";
    case ConsoleLimit::Quits:
        return "la console s'arrête d'elle-même à la fin du script";
    case ConsoleLimit::RunsVba:
        return "la console n'exécute pas les macros VBA";
    case ConsoleLimit::UsesClipboard:
        return "la console n'a pas accès au presse-papiers";
    }
    return {};
}

std::string ScriptFindingText(const ScriptFinding& finding) {
    switch (finding.kind) {
    case ScriptFindingKind::DialogCommand:
        return InQuotes(finding.found) +
               " ouvre une boîte de dialogue, qui arrête un traitement sans surveillance : "
               "écrivez " +
               InQuotes(finding.fix) + ", sa forme en ligne de commande";
    case ScriptFindingKind::UnclosedParenthesis:
        return "l'expression AutoLISP qui commence ici ne se ferme pas : AutoCAD prendrait toutes "
               "les lignes suivantes pour la suite de l'expression";
    case ScriptFindingKind::UnclosedString:
        return "la chaîne AutoLISP qui commence ici par " + InQuotes("\"") +
               " ne se ferme pas : AutoCAD prendrait toutes les lignes suivantes pour la suite de "
               "l'expression";
    case ScriptFindingKind::StrayParenthesis:
        return "cette " + InQuotes(")") + " ne ferme aucune parenthèse";
    case ScriptFindingKind::TrailingSpace:
        return std::string(finding.found.find('\t') == std::string::npos
                               ? "espace en fin de ligne"
                               : "espace ou tabulation en fin de ligne") +
               " : AutoCAD le prend pour une Entrée de plus";
    case ScriptFindingKind::EmptyLines:
        return std::to_string(finding.count) +
               " lignes vides de suite : chacune est une Entrée, et une Entrée à l'invite de "
               "commande répète la dernière commande";
    case ScriptFindingKind::NotOnConsole: {
        const std::optional<ConsoleLimit> limit = ConsoleLimitOf(CommandWord(finding.found));
        return InQuotes(finding.found) + " : " +
               std::string(limit ? ConsoleLimitText(*limit) : std::string_view()) +
               " ; le moteur « AutoCAD, un script pour tous les plans » l'exécute";
    }
    case ScriptFindingKind::SectionCommand:
        return SectionCommandText(finding);
    case ScriptFindingKind::UnknownMarker: {
        std::string text = InQuotes(finding.found) + " n'est pas un repère et sera écrit tel quel";
        if (!finding.fix.empty())
            return text + " : écrivez " + InQuotes(finding.fix);
        text += " ; les repères sont";
        for (std::size_t i = 0; i < kMarkers.size(); ++i)
            text += std::string(i == 0                     ? " "
                                : i + 1 == kMarkers.size() ? " et "
                                                           : ", ") +
                    std::string(kMarkers[i].text);
        return text;
    }
    case ScriptFindingKind::UnwritableCharacter:
        return CharacterText(finding.found);
    }
    return {};
}

std::string ScriptFindingLineText(const ScriptFinding& finding) {
    return "ligne " + std::to_string(finding.line) + " : " + ScriptFindingText(finding);
}

std::string MoreFindingsText(int more) {
    return "\xE2\x80\xA6 et " + std::to_string(more) + (more == 1 ? " autre" : " autres");
}

std::string ScriptFindingCommandLineText(const ScriptFinding& finding) {
    return std::string(ScriptSeverityText(finding.severity)) + " : script, " +
           ScriptFindingLineText(finding);
}

std::string ScriptErrorsQuestionText(const std::vector<ScriptFinding>& findings) {
    std::string text = "Le texte de « SCRIPT FICHIER » contient ce qui fera échouer le script :";
    int shown = 0;
    int more = 0;
    for (const ScriptFinding& finding : findings) {
        if (finding.severity != ScriptSeverity::Error)
            continue;
        // A question stays readable: the first findings, then how many others.
        if (shown == 10) {
            ++more;
            continue;
        }
        text += std::string(kCrLf) + ScriptFindingLineText(finding) + ".";
        ++shown;
    }
    if (more > 0)
        text += std::string(kCrLf) + "… et " + std::to_string(more) +
                (more == 1 ? " autre erreur." : " autres erreurs.");
    return text + std::string(kCrLf) + std::string(kCrLf) + "Exécuter le script quand même ?";
}

std::string_view MarkerMeaningText(Marker marker) {
    switch (marker) {
    case Marker::Path:
        return "le chemin complet du plan, sans guillemets";
    case Marker::Folder:
        return "son dossier, avec le séparateur final";
    case Marker::Name:
        return "son nom de fichier sans l'extension";
    case Marker::Extension:
        return "son extension, avec le point";
    case Marker::Number:
        return "son rang dans le traitement (1, 2, …)";
    }
    return {};
}

std::string MarkersToolTipText() {
    std::string text = "Insère à la place du curseur un repère que chaque plan remplace par :";
    for (const MarkerForm& form : kMarkers)
        text += "\n" + std::string(form.text) + " : " + std::string(MarkerMeaningText(form.marker));
    return text + "\nUn chemin qui contient des espaces s'écrit entre guillemets : "
                  "\"<DOSSIER><NOM>.pdf\".";
}

} // namespace pilotrame
