#include "usecases/autocadcommand.h"

#include "process/process.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

// The program is quoted too: a folder with a space must not split it.
TEST(AutocadCommand, QuotedProgramThenSwitchThenQuotedScript) {
    const AutocadCommand command =
        BuildAutocadCommand("C:\\Program Files\\AutoCAD 2004\\acad.exe", "c:\\", true);
    EXPECT_EQ(WindowsCommandLine(command.program, command.arguments),
              "\"C:\\Program Files\\AutoCAD 2004\\acad.exe\" /B \"c:\\pilotrame.scr\"");
    EXPECT_EQ(command.program, "C:\\Program Files\\AutoCAD 2004\\acad.exe");
    EXPECT_EQ(command.arguments, (std::vector<std::string>{"/B", "c:\\pilotrame.scr"}));
}

TEST(AutocadCommand, CaseSensitiveSystemsUseTheGeneratedName) {
    const AutocadCommand command = BuildAutocadCommand("/opt/acad", "/home/u/scripts/", false);
    EXPECT_EQ(command.arguments, (std::vector<std::string>{"/B", "/home/u/scripts/Pilotrame.scr"}));
}

TEST(AutocadCommand, EmptyScriptFolderNamesTheFileAlone) {
    const AutocadCommand command = BuildAutocadCommand("", "", true);
    EXPECT_EQ(WindowsCommandLine(command.program, command.arguments), "\"\" /B \"pilotrame.scr\"");
}

TEST(AutocadCommand, ByDefaultTheScriptIsNamedAsThisSystemFindsIt) {
    // A case-sensitive system only finds the file under the name the generator gave it.
    const std::string expected = kWindowsNames ? "s/pilotrame.scr" : "s/Pilotrame.scr";
    EXPECT_EQ(BuildAutocadCommand("acad", "s/").arguments.back(), expected);
}

} // namespace
} // namespace pilotrame
