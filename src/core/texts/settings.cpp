#include "texts/settings.h"

#include "base/text.h"
#include "config/settings.h"
#include "texts/common.h"
#include "texts/files.h"

namespace pilotrame {

namespace {

constexpr std::string_view kChooseScriptFolder =
    "Choisissez un dossier des scripts où vous pouvez écrire (menu Configuration, Général, "
    "« Chemin ouverture SCR : ») ; il sert dès le prochain démarrage de Pilotrame.";

// "Le dossier « C:\ » n'existe pas", "Vous n'avez pas le droit d'écrire dans le dossier …".
std::string WhyRefused(const Error& error, bool scriptFolder) {
    const std::string named =
        std::string(scriptFolder ? "dossier des scripts " : "dossier ") + InQuotes(error.detail);
    if (error.code == ErrorCode::PathNotFound)
        return "Le " + named + " n'existe pas";
    return "Vous n'avez pas le droit d'écrire dans le " + named;
}

} // namespace

std::string_view SettingName(int slotNumber) {
    constexpr std::string_view kSwitches[] = {"Paysage",
                                              "Portrait",
                                              "SDI = 0 Fenetre multiple",
                                              "SDI = 1 Fenetre unique",
                                              "Sauvgarde configuration impression dans *.DWG",
                                              "Désactiver accrochage aux objets dans script",
                                              "Impression: espace papier"};
    if (slotNumber >= kComboCount && slotNumber < kSettingCount)
        return kSwitches[slotNumber - kComboCount];
    return TextSettingName(slotNumber);
}

std::string BadSettingText(const Error& error) {
    const std::string_view expected = error.number < kComboCount + kOptionCount
                                          ? "True, False, Vrai, Faux ou un nombre entier"
                                          : "0, 1 ou 2";
    return "Réglage " + std::to_string(error.number) + ", " + InQuotes(SettingName(error.number)) +
           ", illisible : " + InQuotes(ShownText(error.text)) + " au lieu de " +
           std::string(expected) + ".";
}

std::string FolderRefusedText(const Error& error, Engine engine) {
    const std::string what =
        engine == Engine::Console
            ? "le journal de l'exécution n'a pas pu y être créé, aucun plan n'a été lancé."
            : "le script " + InQuotes(error.path) + " n'a pas pu y être écrit.";
    return WhyRefused(error, false) + " : " + what + std::string(kCrLf) +
           std::string(kChooseScriptFolder);
}

std::string ScriptFolderQuestion(const Error& error) {
    return WhyRefused(error, true) +
           " (« Chemin ouverture SCR : ») : ni les scripts ni les journaux des exécutions n'y "
           "pourront être écrits. Choisissez un dossier où vous pouvez écrire." +
           std::string(kCrLf) + std::string(kCrLf) + "Sauvegarder quand même ?";
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

std::string TooLongSettingsQuestion(const std::vector<std::string>& fieldNames) {
    std::string text = "Ces valeurs dépassent 60 caractères et seront coupées à 60 caractères "
                       "dans le fichier de configuration :\n";
    for (const std::string& name : fieldNames)
        text += "- " + name + "\n";
    return text + "\nSauvegarder quand même ?";
}

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

} // namespace pilotrame
