#include "texts/files.h"

#include "base/fileio.h"
#include "base/systemerror.h"
#include "texts/common.h"
#include "texts/jobs.h"
#include "texts/lists.h"
#include "texts/scripts.h"
#include "texts/settings.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

Error Failure(ErrorCode code, Operation operation, std::string path) {
    return InOperation(FileError(code, path), operation);
}

Error WithCause(Cause cause, Operation operation, std::string path, int number = 0) {
    Error error = InOperation(FileError(ErrorCode::PathFileAccess, path), operation);
    error.cause = cause;
    error.number = number;
    return error;
}

// Why a failure happened wins over where: a full disk is told as such whatever was being
// written, and a name no line can carry stays that in every operation.
TEST(Files, TheCauseWinsOverTheOperation) {
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

TEST(Files, ScriptFileFailuresNameTheFile) {
    const Error denied = FileError(ErrorCode::PermissionDenied, "/s/perso.scr");
    EXPECT_EQ(ScriptFileReadFailureText(denied),
              "Impossible de lire le fichier : \r\n/s/perso.scr");
    EXPECT_EQ(ScriptFileSaveFailureText(denied),
              "Impossible d'enregistrer le fichier : \r\n/s/perso.scr\r\n70 " +
                  DescribeErrorCode(ErrorCode::PermissionDenied));
    EXPECT_EQ(ReplaceFileQuestion("/s/perso.scr"),
              "Le fichier /s/perso.scr existe déjà.\r\nVoulez-vous le remplacer ?");
}

// The text names the file, says what is wrong with it and what was therefore not done.
TEST(Files, UnusableFilesAreNamedWithWhatWasNotDone) {
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
TEST(Files, EveryFailureTextTellsOfAnUnusableFile) {
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

} // namespace
} // namespace pilotrame
