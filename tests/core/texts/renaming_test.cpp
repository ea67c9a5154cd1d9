#include "texts/renaming.h"

#include "base/fileio.h"
#include "base/systemerror.h"
#include "texts/lists.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

Error Failure(ErrorCode code, Operation operation, std::string path) {
    return InOperation(FileError(code, path), operation);
}

TEST(RenamingTexts, RenameFailureTellsHowManyWereRenamed) {
    EXPECT_EQ(RenameFailureText("/p/b.dwg", 0),
              "Erreur! fichier en lecture seule ou inexistant: \r\n/p/b.dwg\r\n\r\n"
              "Aucun fichier n'a été renommé.");
    EXPECT_EQ(RenameFailureText("/p/b.dwg", 1).substr(58),
              "\r\n\r\n1 fichier a été renommé avant cette erreur.");
    EXPECT_NE(RenameFailureText("/p/b.dwg", 12).find("12 fichiers ont été renommés"),
              std::string::npos);
}

// The box of a renaming that stopped says why, which file and how many were renamed.
TEST(RenamingTexts, RenameStopTextSaysWhyTheRenamingStopped) {
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
