#include "texts/messages.h"

#include "base/fileio.h"
#include "base/systemerror.h"
#include "selection/droppeditems.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

Error Failure(ErrorCode code, Operation operation, std::string path) {
    return InOperation(FileError(code, path), operation);
}

// The operation chooses the message: the same low-level failure reads differently by what it hit.
TEST(Messages, GenerationFailuresNameWhatFailed) {
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

// Why a failure happened wins over where: a full disk is told as such whatever was being
// written, and a name no line can carry stays that in every operation.
TEST(Messages, TheCauseWinsOverTheOperation) {
    for (const Operation operation : {Operation::CreateScript, Operation::AppendScript})
        EXPECT_EQ(GenerationFailureText(Failure(ErrorCode::DiskFull, operation, "/s/P.scr")),
                  "Le script n'a pas été écrit : disque plein.\r\n/s/P.scr\r\nLe script "
                  "précédent est resté tel qu'il était.");
    EXPECT_EQ(FileFailureText(Failure(ErrorCode::DiskFull, Operation::ReadList, "/p/L.txt")),
              "Disque plein : le fichier n'a pas pu être écrit entièrement.\r\n/p/L.txt");
    const Error name =
        InOperation(NameError(ErrorCode::InvalidName, "a\r\nb", "/s"), Operation::WriteList);
    EXPECT_EQ(ListWriteFailureText(name),
              "Nom de fichier impossible à écrire dans la liste : \r\na\r\nb");
    EXPECT_EQ(FileFailureText(name), "Nom de fichier impossible à écrire : \r\na\r\nb");
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
    const Error denied = FileError(ErrorCode::PermissionDenied, "/s/perso.scr");
    EXPECT_EQ(ScriptFileReadFailureText(denied),
              "Impossible de lire le fichier : \r\n/s/perso.scr");
    EXPECT_EQ(ScriptFileSaveFailureText(denied),
              "Impossible d'enregistrer le fichier : \r\n/s/perso.scr\r\n70 " +
                  DescribeErrorCode(ErrorCode::PermissionDenied));
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

// ---- Files that are not ordinary files, too large, or damaged ----

Error WithCause(Cause cause, Operation operation, std::string path, int number = 0) {
    Error error = InOperation(FileError(ErrorCode::PathFileAccess, path), operation);
    error.cause = cause;
    error.number = number;
    return error;
}

// The text names the file, says what is wrong with it and what was therefore not done.
TEST(Messages, UnusableFilesAreNamedWithWhatWasNotDone) {
    constexpr int kMebibytes4 = 4 * 1024 * 1024;
    struct Case {
        Error error;
        std::string text;
    };
    const Case cases[] = {
        {WithCause(Cause::NotAFile, Operation::ReadJob, "/t/tube"),
         "« /t/tube » n'est pas un fichier ordinaire (tube, périphérique ou dossier) : le travail "
         "n'a pas été chargé."},
        {WithCause(Cause::NotAFile, Operation::ReadList, "/dev/zero"),
         "« /dev/zero » n'est pas un fichier ordinaire (tube, périphérique ou dossier) : la liste "
         "des plans n'a pas été lue."},
        {WithCause(Cause::NotAFile, Operation::ReadSettings, "/p/savescript.txt"),
         "« /p/savescript.txt » n'est pas un fichier ordinaire (tube, périphérique ou dossier) : "
         "les réglages n'ont pas été lus."},
        {WithCause(Cause::NotAFile, Operation::SaveSettings, "/p/savescript.txt"),
         "« /p/savescript.txt » n'est pas un fichier ordinaire (tube, périphérique ou dossier) : "
         "les réglages n'ont pas été enregistrés."},
        {WithCause(Cause::NotAFile, Operation::None, "NUL"),
         "« NUL » n'est pas un fichier ordinaire (tube, périphérique ou dossier) : il n'a pas été "
         "lu."},
        {WithCause(Cause::TooLarge, Operation::ReadJob, "/t/j.pilotrame", kMebibytes4),
         "« /t/j.pilotrame » est trop grand pour un fichier de travail (plus de 4 Mio) : le "
         "travail n'a pas été chargé."},
        {WithCause(Cause::TooLarge, Operation::SaveSettings, "/p/savescript.txt", 1024 * 1024),
         "« /p/savescript.txt » est trop grand pour un fichier de réglages (plus de 1 Mio) : les "
         "réglages n'ont pas été enregistrés."},
        {WithCause(Cause::TooLarge, Operation::None, "/s/x.scr", 1000),
         "« /s/x.scr » est trop grand pour ce genre de fichier (plus de 1000 octets) : il n'a pas "
         "été lu."},
        {WithCause(Cause::Damaged, Operation::ReadSettings, "/p/savescript.txt"),
         "Le fichier de réglages « /p/savescript.txt » est endommagé : il s'arrête avant la fin "
         "des réglages."},
        {FileError(ErrorCode::FileNotFound, "/p/absent"), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UnusableFileText(c.error), c.text);
}

// Every box and the command line show that text rather than the generic one of the operation.
TEST(Messages, EveryFailureTextTellsOfAnUnusableFile) {
    using TextOf = std::string (*)(const Error&);
    const std::pair<const char*, TextOf> texts[] = {
        {"GenerationFailureText", GenerationFailureText},
        {"FileFailureText", FileFailureText},
        {"JobFileFailureText", JobFileFailureText},
        {"ScriptFileReadFailureText", ScriptFileReadFailureText},
        {"SettingsFailureText", SettingsFailureText},
        {"SettingsLoadFailureText", SettingsLoadFailureText},
    };
    for (const Cause cause : {Cause::NotAFile, Cause::TooLarge}) {
        for (const Operation operation :
             {Operation::None, Operation::ReadList, Operation::ReadJob, Operation::ReadSettings}) {
            const Error error = WithCause(cause, operation, "/x/f", 1024 * 1024);
            for (const auto& [name, text] : texts) {
                // A generation says too that it left the script as it was.
                const std::string kept = text == GenerationFailureText
                                             ? "\r\nLe script précédent est resté tel qu'il était."
                                             : "";
                EXPECT_EQ(text(error), UnusableFileText(error) + kept) << name;
            }
        }
    }
}

// A damaged settings file: the window goes on with first-run values, the command line stops;
// each says how to write the file whole again. Other failures keep their number, and every one
// names the file.
TEST(Messages, ADamagedSettingsFileIsToldByWhoReadIt) {
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

// Nothing dropped goes unmentioned: each item not taken is named with why, and the way to take
// it is told once for its kind.
TEST(Messages, DroppedItemsNotTakenAreNamedWithWhyAndHowToTakeThem) {
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

// ---- Renaming, patterns, boxes and cells ----

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
TEST(Messages, BoxesCellsTablesAndGridsAreNamed) {
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

// The box of a renaming that stopped says why, which file and how many were renamed.
TEST(Messages, RenameStopTextSaysWhyTheRenamingStopped) {
    Error box = BoxError(Cause::NotANumber, Box::RenameStart, "abc");
    box.operation = Operation::RenameFile;
    box.path = "/p/a.dwg";
    const Error list = Failure(ErrorCode::FileNotFound, Operation::ReadList, "/p/Liste01.txt");
    Error denied = Failure(ErrorCode::PermissionDenied, Operation::RenameFile, "/p/b.dwg");
    EXPECT_EQ(RenameStopText(box, 0),
              "La case « Début » ne contient pas un nombre entier : \"abc\"\r\n\r\nAucun fichier "
              "n'a été renommé.");
    EXPECT_EQ(RenameStopText(list, 0), ListFailureText("/p/Liste01.txt"));
    EXPECT_EQ(RenameStopText(denied, 12), RenameFailureText("/p/b.dwg", 12));
}

} // namespace
} // namespace pilotrame
