#include "usecases/executescript.h"

#include "batch/journal.h"
#include "support/keptbatch.h"
#include "support/recordingstarter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pilotrame {
namespace {

using test::FileExists;
using test::WriteBytes;

using test::KeptBatch;

struct ExecuteScriptTest : ::testing::Test {
    test::TempDir dir;
    ExecuteRequest request;
    ListPosition position;
    test::RecordingStarter starter;
    KeptBatch batch;

    ExecuteScriptTest() {
        request.script.listPath = dir.path("Liste01.txt");
        request.script.scriptPath = dir.path("Pilotrame.scr");
        request.script.job.plot = false;
        request.script.job.zoomExtents = true;
        request.script.settings =
            DefaultSettings(ProposeSettingValues({"P1"}, FolderStyle::Windows, ""));
        request.scriptFolder = dir.folder();
        request.windowsNames = false;
        WriteBytes(request.script.listPath, "\v" + dir.folder() + "\r\n\ta.dwg\r\n");
        WriteBytes(dir.path("a.dwg"), test::kDrawingBytes);
    }

    Result<Executed> execute(bool confirmRename = true) {
        return ExecuteScript(
            request, position,
            ExecuteHooks{nullptr, &starter, &batch, [confirmRename] { return confirmRename; }});
    }
};

// The engine decides what runs; a console program that is no file stops the console's run before
// anything is written.
TEST_F(ExecuteScriptTest, TheEngineDecidesWhatRuns) {
    ASSERT_TRUE(execute());
    EXPECT_EQ(starter.started.size(), 1u);
    EXPECT_TRUE(FileExists(request.script.scriptPath));

    request.run.engine = Engine::Console;
    // A file that is no program is refused as a missing one is.
    for (const char* console : {"absent.exe", "a.dwg"}) {
        request.run.consolePath = dir.path(console);
        const Result<Executed> refused = execute();
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.error().operation, Operation::StartProgram);
        EXPECT_EQ(refused.error().detail, request.run.consolePath);
        EXPECT_FALSE(FileExists(dir.path(std::string(kJournalFolderName))));
    }

    request.run.consolePath = test::InstallHelperProgram(dir, PILOTRAME_STANDIN_CONSOLE);
    ASSERT_TRUE(execute());
    ASSERT_EQ(batch.plans.size(), 1u);
    EXPECT_EQ(batch.plans[0].batch.drawings.size(), 1u);
    EXPECT_EQ(starter.started.size(), 1u);
}

// Renaming replaces the run, and happens only once confirmed; a list that cannot be read stops
// every kind of run first.
TEST_F(ExecuteScriptTest, RenamingWaitsForItsConfirmationAndAListForNothing) {
    request.rename = RenameJob{RenameRule::Insert, "0", "1", "x", ".xls"};
    for (const bool confirmed : {false, true}) {
        const Result<Executed> executed = execute(confirmed);
        ASSERT_TRUE(executed);
        EXPECT_EQ(executed->stop, confirmed ? RunStop::None : RunStop::Cancelled);
        ASSERT_EQ(executed->renaming.has_value(), confirmed);
        EXPECT_EQ(FileExists(dir.path("xa.dwg")), confirmed);
    }
    EXPECT_TRUE(starter.started.empty());
    EXPECT_FALSE(FileExists(request.script.scriptPath));

    std::filesystem::remove(request.script.listPath);
    for (const Engine engine : {Engine::Autocad, Engine::Console}) {
        request.run.engine = engine;
        request.rename.reset();
        const Result<Executed> executed = execute();
        ASSERT_FALSE(executed);
        EXPECT_EQ(executed.error().operation, Operation::ReadList);
    }
    EXPECT_TRUE(batch.plans.empty());
}

} // namespace
} // namespace pilotrame
