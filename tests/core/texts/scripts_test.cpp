#include "texts/scripts.h"

#include "base/fileio.h"
#include "base/systemerror.h"
#include "texts/common.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

Error Failure(ErrorCode code, Operation operation, std::string path) {
    return InOperation(FileError(code, path), operation);
}

// The operation chooses the message: the same low-level failure reads differently by what it hit.
TEST(ScriptTexts, GenerationFailuresNameWhatFailed) {
    struct Case {
        Error error;
        std::string text;
    };
    const Case cases[] = {
        {Failure(ErrorCode::FileNotFound, Operation::ReadList, "/p/Liste01.txt"),
         "Liste des fichiers sélectionnés en lecture seule ou inexistant: \r\n/p/Liste01.txt\r\nLe "
         "script précédent est resté tel qu'il était."},
        {Failure(ErrorCode::PathNotFound, Operation::CreateScript, "/gone/Pilotrame.scr"),
         "Impossible de créer le fichier script : \r\n/gone/Pilotrame.scr\r\nLe script précédent "
         "est resté tel qu'il était."},
        {Failure(ErrorCode::DiskFull, Operation::AppendScript, "/s/Pilotrame.scr"),
         "Le script n'a pas été écrit : disque plein.\r\n/s/Pilotrame.scr\r\nLe script précédent "
         "est resté tel qu'il était."},
        {Failure(ErrorCode::DeviceIo, Operation::AppendScript, "/s/Pilotrame.scr"),
         "Le script n'a pas pu être écrit :\r\n/s/Pilotrame.scr\r\n57 Erreur d'entrée/sortie de "
         "périphérique\r\nLe script précédent est resté tel qu'il était."},
        {BoxError(Cause::NotANumber, Box::EraseFirstX, "1,2,3"),
         "Génération arrêtée. La case « EFFACER, 1er point X » ne contient pas un nombre : "
         "\"1,2,3\"\r\nLe script précédent est resté tel qu'il était."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GenerationFailureText(c.error), c.text);
}

TEST(ScriptTexts, DrawingsNotReadyCountsInFrenchAndListsTheDrawings) {
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
