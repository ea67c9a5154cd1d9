#include "texts/common.h"

#include "texts/files.h"
#include "texts/scripts.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

Error CharacterOutside(std::string box, std::string character) {
    Error error;
    error.cause = Cause::NotInCodePage;
    error.detail = std::move(box);
    error.text = std::move(character);
    return error;
}

Error PastTheLimit(std::string what, std::string step, int limit, int line) {
    Error error;
    error.cause = Cause::PastTheLimit;
    error.detail = std::move(what);
    error.text = std::move(step);
    error.number = limit;
    error.line = line;
    return error;
}

// Each of these names the box, cell, table, grid or line concerned, never only a number.
TEST(CommonTexts, BoxesCellsTablesAndGridsAreNamed) {
    struct Case {
        Error error;
        std::string text;
    };
    Error nameless;
    nameless.cause = Cause::NotADrawingName;
    nameless.path = "C:\\plans\\";
    nameless.line = 7;
    Error namelessFirst = nameless;
    namelessFirst.path.clear();
    namelessFirst.line = 1;
    const Case cases[] = {
        {CharacterOutside("REMPLACER ATTRIBUT, ancienne valeur", "☺"),
         "Génération arrêtée. La case « REMPLACER ATTRIBUT, ancienne valeur » contient un "
         "caractère qu'AutoCAD ne recevrait pas : « ☺ »"},
        {PastTheLimit("tableau", "10", 32767, 3277),
         "Génération arrêtée. Le tableau est trop long pour son décalage de 10 : à partir de sa "
         "ligne 3277, les lignes iraient au-delà de la position 32767, la dernière qu'un script "
         "puisse placer. Réduisez le décalage ou partagez le tableau."},
        {PastTheLimit("grille des symboles F1", "-20000", -32768, 0),
         "Génération arrêtée. La grille des symboles F1 est pleine : au pas de -20000, le symbole "
         "suivant irait au-delà de la position -32768, la dernière qu'un script puisse placer. "
         "Réduisez les pas, ou générez une fois sans F1 pour ramener la grille à 0,0."},
        {nameless, "Ligne sans nom de fichier dans la liste, sous le dossier « C:\\plans\\ » "
                   "(ligne 7) : le symbole ne peut pas être inséré."},
        {namelessFirst, "Ligne sans nom de fichier dans la liste (ligne 1) : le symbole ne peut "
                        "pas être inséré."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GenerationFailureText(c.error),
                  c.text + "\r\nLe script précédent est resté tel qu'il était.");
    // Outside a generation, the same without its first words.
    const std::size_t stopped = std::string_view("Génération arrêtée. ").size();
    EXPECT_EQ(FileFailureText(cases[0].error), cases[0].text.substr(stopped));
    EXPECT_EQ(FileFailureText(cases[1].error), cases[1].text.substr(stopped));
}

} // namespace
} // namespace pilotrame
