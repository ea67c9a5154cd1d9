#include "texts/configuration.h"

#include "base/text.h"
#include "config/settings.h"
#include "texts/messages.h"

namespace pilotrame {

namespace {

std::string InQuotes(std::string_view text) {
    return "\xC2\xAB " + std::string(text) + " \xC2\xBB";
}

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

} // namespace pilotrame
