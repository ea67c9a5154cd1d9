#include "process/process.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pilotrame {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WaitForFile;
using test::WriteBytes;

// The quoting the C runtime undoes: what a program reads as its arguments is what was given.
TEST(WindowsCommandLine, QuotesEverythingButSwitchWords) {
    struct Case {
        std::vector<std::string> arguments;
        std::string line;
    };
    const Case cases[] = {
        {{"/B", "C:\\s\\p.scr", "fr-FR"}, "\"acad.exe\" /B \"C:\\s\\p.scr\" fr-FR"},
        {{""}, "\"acad.exe\" \"\""},
        {{"a\"b"}, "\"acad.exe\" \"a\\\"b\""},
        {{"C:\\fin avec\\"}, "\"acad.exe\" \"C:\\fin avec\\\\\""},
        {{"a\\\\\"b"}, "\"acad.exe\" \"a\\\\\\\\\\\"b\""},
        {{"fr-FR\" /s \"C:\\x.scr"}, "\"acad.exe\" \"fr-FR\\\" /s \\\"C:\\x.scr\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WindowsCommandLine("acad.exe", c.arguments), c.line) << c.line;
}

// The program runs on its own and gets its arguments whole, spaces, quotes and accents included.
TEST(SystemProgramStarter, StartsTheProgramWithItsArguments) {
    TempDir dir;
    const std::string recorder = test::InstallHelperProgram(dir, PILOTRAME_ARGRECORDER);
    ProgramStart start;
    start.program = recorder;
    start.arguments = {"/B", dir.path("mes plans\\façade \"A\".scr"), ""};
    start.maximised = true;
    ASSERT_TRUE(SystemProgramStarter().startDetached(start));
    EXPECT_EQ(WaitForFile(dir.path("arguments.txt")),
              "/B\n" + dir.path("mes plans\\façade \"A\".scr") + "\n\n");
}

#ifdef _WIN32
// AutoCAD and Excel read their command line themselves: they get it exactly as given.
TEST(SystemProgramStarter, GivesAWindowsCommandLineAsItIs) {
    TempDir dir;
    const std::string recorder = test::InstallHelperProgram(dir, PILOTRAME_ARGRECORDER);
    ProgramStart start;
    start.program = recorder;
    start.arguments = {"/B", dir.path("p.scr")};
    ASSERT_TRUE(SystemProgramStarter().startDetached(start));
    EXPECT_EQ(WaitForFile(dir.path("arguments.txt")), "/B\n" + dir.path("p.scr") + "\n");
    EXPECT_EQ(ReadBytes(dir.path("commandline.txt")), WindowsCommandLine(start));
}
#endif

TEST(SystemProgramStarter, AProgramThatCannotStartIsReported) {
    TempDir dir;
    WriteBytes(dir.path("texte.txt"), "pas un programme");
    std::filesystem::create_directory(dir.path("dossier"));
    for (const std::string& program :
         {dir.path("absent.exe"), dir.path("texte.txt"), dir.path("dossier"), std::string()}) {
        ProgramStart start;
        start.program = program;
        start.arguments = {"/B"};
        EXPECT_FALSE(SystemProgramStarter().startDetached(start)) << program;
    }
}

} // namespace
} // namespace pilotrame
