#include "texts/lists.h"

#include "selection/droppeditems.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

// Nothing dropped goes unmentioned: each item not taken is named with why, and the way to take
// it is told once for its kind.
TEST(ListTexts, DroppedItemsNotTakenAreNamedWithWhyAndHowToTakeThem) {
    const std::string folderHint = "Un répertoire déposé seul, sans fichier, ouvre la sélection "
                                   "avancée sur lui ; « Selection avancée » en choisit un aussi.";
    const std::string notLocalHint = "Enregistrez d'abord sur cet ordinateur un fichier venu "
                                     "d'ailleurs, puis déposez-le.";
    struct Case {
        std::vector<DroppedItem> items;
        std::string text;
    };
    const Case cases[] = {
        {{{DroppedKind::Missing, "/p/a.dwg"}},
         "Cet élément déposé n'a pas été pris :\r\n/p/a.dwg (n'existe plus)"},
        {{{DroppedKind::Folder, "/p"}, {DroppedKind::Folder, "/q"}},
         "2 éléments déposés n'ont pas été pris :\r\n/p (répertoire)\r\n/q (répertoire)\r\n" +
             folderHint},
        {{{DroppedKind::NotLocal, "https://x.org/a.dwg"},
          {DroppedKind::Other, "/dev/null"},
          {DroppedKind::Folder, "/p"}},
         "3 éléments déposés n'ont pas été pris :\r\nhttps://x.org/a.dwg (pas un fichier de cet "
         "ordinateur)\r\n/dev/null (ni un fichier ni un répertoire)\r\n/p (répertoire)\r\n" +
             folderHint + "\r\n" + notLocalHint},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DroppedItemsNotTakenText(c.items), c.text);
}

TEST(ListTexts, WalkModeFromItsExactText) {
    EXPECT_EQ(WalkModeFromText("Répertoire courant"), WalkMode::CurrentFolder);
    EXPECT_EQ(WalkModeFromText("Les 1er sous répertoires"), WalkMode::FirstSubFolders);
    EXPECT_EQ(WalkModeFromText("Le Courant et les 1er"), WalkMode::CurrentAndFirst);
    EXPECT_EQ(WalkModeFromText("Le Courant, les 1er, les 2ème"), WalkMode::CurrentFirstSecond);
    for (const char* other : {"", "répertoire courant", "Le Courant et les 1er ",
                              "Le Courant, les 1er, les 2eme", "Répertoire"})
        EXPECT_EQ(WalkModeFromText(other), WalkMode::None) << other;
}

} // namespace
} // namespace pilotrame
