#include "base/messages.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

// The kind chooses the message: the same low-level failure reads differently by what it hit.
TEST(Messages, GenerationFailuresNameWhatFailed) {
    struct Case {
        Error error;
        std::string text;
    };
    const Case cases[] = {
        {{ErrorCode::FileNotFound, ErrorKind::ListUnreadable, "/p/Liste01.txt", {}, {}},
         "Liste des fichiers sélectionnés en lecture seule ou inexistant: \r\n/p/Liste01.txt"},
        {{ErrorCode::PathNotFound, ErrorKind::ScriptNotWritable, "/gone/Pilotrame.scr", {}, {}},
         "Impossible de créer le fichier script : \r\n/gone/Pilotrame.scr"},
        {{ErrorCode::DiskFull, ErrorKind::DiskFull, "/s/Pilotrame.scr", {}, {}},
         "Le script est incomplet : disque plein.\r\n/s/Pilotrame.scr"},
        {{ErrorCode::DeviceIo, ErrorKind::ScriptIncomplete, "/s/Pilotrame.scr", {}, {}},
         "Le script est incomplet : impossible d'écrire dans le fichier.\r\n/s/Pilotrame.scr\r\n"
         "57 Erreur d'entrée/sortie de périphérique"},
        {{ErrorCode::TypeMismatch, ErrorKind::NotANumber, {}, "EFFACER, 1er point X", "1,2,3"},
         "Génération arrêtée. La case « EFFACER, 1er point X » ne contient pas un nombre : "
         "\"1,2,3\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GenerationFailureText(c.error), c.text);
}

TEST(Messages, AFullDiskStaysAFullDiskWhateverWasWritten) {
    const Error full{ErrorCode::DiskFull, ErrorKind::DiskFull, "/s/Pilotrame.scr", {}, {}};
    EXPECT_EQ(WithKind(full, ErrorKind::ScriptIncomplete).kind, ErrorKind::DiskFull);
    const Error other{ErrorCode::DeviceIo, ErrorKind::Other, "/s/Pilotrame.scr", {}, {}};
    EXPECT_EQ(WithKind(other, ErrorKind::ScriptIncomplete).kind, ErrorKind::ScriptIncomplete);
    const Error name{ErrorCode::InvalidName, ErrorKind::InvalidName, "/s", "a\r\nb", {}};
    EXPECT_EQ(WithKind(name, ErrorKind::ListNotWritable).kind, ErrorKind::InvalidName);
}

TEST(Messages, RenameFailureTellsHowManyWereRenamed) {
    EXPECT_EQ(RenameFailureText("/p/b.dwg", 0),
              "Erreur! fichier en lecture seule ou inexistant: \r\n/p/b.dwg\r\n\r\n"
              "Aucun fichier n'a été renommé.");
    EXPECT_EQ(RenameFailureText("/p/b.dwg", 1).substr(58),
              "\r\n\r\n1 fichier a été renommé avant cette erreur.");
    EXPECT_NE(RenameFailureText("/p/b.dwg", 12).find("12 fichiers ont été renommés"),
              std::string::npos);
}

// --- Main window and configuration dialog ---

TEST(Messages, ScriptFileFailuresNameTheFile) {
    const Error denied{ErrorCode::PermissionDenied, ErrorKind::Other, "/s/perso.scr", {}, {}};
    EXPECT_EQ(ScriptFileReadFailureText(denied),
              "Impossible de lire le fichier : \r\n/s/perso.scr");
    EXPECT_EQ(ScriptFileSaveFailureText(denied),
              "Impossible d'enregistrer le fichier : \r\n/s/perso.scr\r\n70 " +
                  Describe(ErrorCode::PermissionDenied));
    EXPECT_EQ(ReplaceFileQuestion("/s/perso.scr"),
              "Le fichier /s/perso.scr existe déjà.\r\nVoulez-vous le remplacer ?");
}

TEST(Messages, TooLongSettingsQuestionListsEveryValue) {
    EXPECT_EQ(TooLongSettingsQuestion({"Chemin autocad.exe", "Echelle"}),
              "Ces valeurs dépassent 60 caractères et seront coupées à 60 caractères dans le "
              "fichier de configuration :\n- Chemin autocad.exe\n- Echelle\n\nSauvegarder "
              "quand même ?");
}

// --- Command line: the check of the drawings before --execute ---

TEST(Messages, DrawingsNotReadyCountsInFrenchAndListsTheDrawings) {
    struct Case {
        int checked;
        int problems;
        const char* counts;
    };
    const Case cases[] = {{1, 1, "1 plan vérifié, 1 problème"},
                          {2, 1, "2 plans vérifiés, 1 problème"},
                          {5, 3, "5 plans vérifiés, 3 problèmes"}};
    for (const Case& c : cases) {
        EXPECT_EQ(DrawingsNotReadyText(c.checked, c.problems, "/p/a.dwg\tintrouvable\r\n"),
                  std::string("Vérification des plans : ") + c.counts +
                      ".\r\n/p/a.dwg\tintrouvable\r\nAutoCAD n'a pas été démarré.");
    }
}

} // namespace
} // namespace pilotrame
