#include "process/process.h"

#include "support/tempdir.h"
#include "usecases/autocadcommand.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

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

// Why a program did not start is told apart: missing, refused, or no program at all.
TEST(SystemProgramStarter, AProgramThatCannotStartIsReportedWithWhy) {
    TempDir dir;
    WriteBytes(dir.path("texte.txt"), "pas un programme");
    WriteBytes(dir.path("texte.sh"), "pas un programme");
    std::filesystem::permissions(dir.path("texte.sh"), std::filesystem::perms::owner_all);
    std::filesystem::create_directory(dir.path("dossier"));
    const std::tuple<std::string, ErrorCode, Cause> cases[] = {
        {dir.path("absent.exe"), ErrorCode::FileNotFound, Cause::System},
        {dir.path("nulle-part/absent.exe"), ErrorCode::PathNotFound, Cause::System},
        {dir.path("dossier"), ErrorCode::PathFileAccess, Cause::NotAProgram},
        {std::string(), ErrorCode::FileNotFound, Cause::System},
        // No permission to run it where the system has such permissions; a text all the same.
        {dir.path("texte.txt"),
         kWindowsNames ? ErrorCode::PathFileAccess : ErrorCode::PermissionDenied,
         kWindowsNames ? Cause::NotAProgram : Cause::System},
        {dir.path("texte.sh"), ErrorCode::PathFileAccess, Cause::NotAProgram},
    };
    for (const auto& [program, code, cause] : cases) {
        const Status started = SystemProgramStarter().startDetached({program, {"/B"}, false});
        ASSERT_FALSE(started) << program;
        EXPECT_EQ(started.error().code, code) << program;
        EXPECT_EQ(started.error().cause, cause) << program;
        EXPECT_EQ(started.error().detail, program);
    }
}

} // namespace
} // namespace pilotrame
