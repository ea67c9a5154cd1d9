#include "texts/settings.h"

#include "base/fileio.h"
#include "base/systemerror.h"
#include "texts/files.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

Error WithCause(Cause cause, Operation operation, std::string path, int number = 0) {
    Error error = InOperation(FileError(ErrorCode::PathFileAccess, path), operation);
    error.cause = cause;
    error.number = number;
    return error;
}

TEST(SettingsTexts, TooLongSettingsQuestionListsEveryValue) {
    EXPECT_EQ(TooLongSettingsQuestion({"Chemin autocad.exe", "Echelle"}),
              "Ces valeurs dépassent 60 caractères et seront coupées à 60 caractères dans le "
              "fichier de configuration :\n- Chemin autocad.exe\n- Echelle\n\nSauvegarder "
              "quand même ?");
}

// A damaged settings file: the window goes on with first-run values, the command line stops;
// each says how to write the file whole again. Other failures keep their number, and every one
// names the file.
TEST(SettingsTexts, ADamagedSettingsFileIsToldByWhoReadIt) {
    const Error damaged = WithCause(Cause::Damaged, Operation::ReadSettings, "/p/savescript.txt");
    const std::string what = UnusableFileText(damaged);
    EXPECT_EQ(SettingsLoadFailureText(damaged),
              what + "\r\nLes réglages manquants ont repris leur valeur de départ. « Sauvegarder "
                     "et Quitter » dans la configuration réécrira le fichier en entier.");
    EXPECT_EQ(SettingsFailureText(damaged),
              what + "\r\nEnregistrez la configuration dans la fenêtre (« Sauvegarder et "
                     "Quitter ») pour le réécrire en entier.");
    const Error denied =
        InOperation(FileError(ErrorCode::PermissionDenied, "/p/s.txt"), Operation::ReadSettings);
    EXPECT_EQ(SettingsLoadFailureText(denied),
              "Erreur sur le fichier de réglages : \r\n/p/s.txt\r\n70 Permission refusée");
    EXPECT_EQ(SettingsFailureText(denied), "70 Permission refusée\n/p/s.txt");
}

} // namespace
} // namespace pilotrame
