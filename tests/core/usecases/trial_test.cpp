#include "usecases/trial.h"

#include "base/paths.h"
#include "batch/journal.h"
#include "support/keptbatch.h"
#include "support/recordingstarter.h"
#include "support/tempdir.h"
#include "texts/verification.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace pilotrame {
namespace {

namespace fs = std::filesystem;
using test::FileExists;
using test::ReadBytes;
using test::WriteBytes;

using test::KeptBatch;

class Answering final : public DrawingReview {
public:
    explicit Answering(DrawingCheckAnswer answer) : m_answer(answer) {}
    DrawingCheckAnswer review(const DrawingCheck&) override { return m_answer; }

private:
    DrawingCheckAnswer m_answer;
};

// Two folders, each with an A.dwg; the first also holds B.dwg, which A may refer to.
struct TrialTest : ::testing::Test {
    test::TempDir dir;
    std::string first = WithTrailingSeparator(dir.path("lot 1"));
    std::string second = WithTrailingSeparator(dir.path("lot 2"));
    ExecuteRequest request;
    test::RecordingStarter starter;
    KeptBatch batch;
    const std::chrono::system_clock::time_point now{std::chrono::hours(500000)};

    TrialTest() {
        fs::create_directories(ToFsPath(first));
        fs::create_directories(ToFsPath(second));
        WriteBytes(first + "A.dwg", "AC1015 premier");
        WriteBytes(first + "B.dwg", "AC1015 B");
        WriteBytes(second + "a.DWG", "AC1015 second");
        WriteBytes(second + "C.dwg", "AC1015 C");
        request.script.listPath = dir.path("Liste01.txt");
        request.script.scriptPath = dir.path("Pilotrame.scr");
        request.script.job.plot = false;
        request.script.job.zoomExtents = true;
        request.script.settings =
            DefaultSettings(ProposeSettingValues({"P1"}, FolderStyle::Windows, ""));
        request.script.settings.combo[slot::acadPath] = dir.path("acad");
        request.scriptFolder = dir.folder();
        request.windowsNames = false;
        WriteBytes(request.script.listPath, "\v" + first + "\r\n\tA.dwg\r\n\tA.dwg\r\n\v" + second +
                                                "\r\n\ta.DWG\r\n\v" + first + "\r\n\tB.dwg\r\n\v" +
                                                second + "\r\n\tC.dwg\r\n");
    }

    Result<Trial> run(int count, DrawingReview* review = nullptr) {
        return RunTrial(request, count, ExecuteHooks{review, &starter, &batch, {}}, now);
    }
};

// The first drawings, each once, copied whole beside each other; the originals only read; AutoCAD
// started on a script of the copies in the trial's folder, the session's script untouched.
TEST_F(TrialTest, CopiesTheFirstDrawingsAndRunsAutocadOnThem) {
    const auto modified = fs::last_write_time(ToFsPath(first + "A.dwg"));
    const Result<Trial> trial = run(3);
    ASSERT_TRUE(trial) << TrialFailureText(trial.error(), Engine::Autocad);
    EXPECT_EQ(trial->stop, RunStop::None);
    EXPECT_TRUE(trial->folder.starts_with(dir.folder() + std::string(kJournalFolderName)));
    EXPECT_TRUE(trial->folder.ends_with(std::string(kTrialFolderSuffix) + kNativeSeparator));
    const std::string plans = trial->folder + "plans" + kNativeSeparator;
    const std::vector<TrialCopy> expected = {
        {first + "A.dwg", plans + "A.dwg"},
        {second + "a.DWG", plans + "2" + kNativeSeparator + "a.DWG"},
        {first + "B.dwg", plans + "B.dwg"},
    };
    EXPECT_EQ(trial->copies, expected);
    for (const TrialCopy& copy : expected)
        EXPECT_EQ(ReadBytes(copy.copy), ReadBytes(copy.original));
    EXPECT_EQ(ReadBytes(first + "A.dwg"), "AC1015 premier");
    EXPECT_EQ(fs::last_write_time(ToFsPath(first + "A.dwg")), modified);
    EXPECT_FALSE(FileExists(plans + "C.dwg"));
    EXPECT_EQ(trial->sharedFolders, (std::vector<std::string>{first, second}));

    ASSERT_TRUE(trial->autocadStarted);
    ASSERT_EQ(starter.started.size(), 1u);
    EXPECT_EQ(starter.started[0].arguments.back(), trial->folder + "Pilotrame.scr");
    const std::string script = ReadBytes(trial->folder + "Pilotrame.scr");
    EXPECT_NE(script.find("\"" + plans + "A.dwg\""), std::string::npos) << script;
    EXPECT_EQ(script.find(first), std::string::npos);
    EXPECT_FALSE(FileExists(request.script.scriptPath));
}

// With the console engine the batch runs the copies, its journal in the trial's folder.
TEST_F(TrialTest, OnTheConsoleTheBatchRunsTheCopies) {
    request.run.engine = Engine::Console;
    request.run.consolePath = test::InstallHelperProgram(dir, PILOTRAME_STANDIN_CONSOLE);
    const Result<Trial> trial = run(1);
    ASSERT_TRUE(trial) << TrialFailureText(trial.error(), Engine::Console);
    ASSERT_EQ(batch.plans.size(), 1u);
    const ConsoleRunPlan& plan = batch.plans[0];
    EXPECT_EQ(plan.runFolder, trial->folder);
    ASSERT_EQ(plan.batch.drawings.size(), 1u);
    EXPECT_EQ(plan.batch.drawings[0].path(), trial->copies[0].copy);
    EXPECT_EQ(plan.batch.scriptPath, trial->folder + "console.scr");
    EXPECT_TRUE(FileExists(plan.batch.scriptPath));
}

// The answer to the check: a drawing left out is not copied, Cancel makes nothing, and what is no
// ordinary file is never copied.
TEST_F(TrialTest, TheCheckComesBeforeAnyCopy) {
    WriteBytes(first + "A.dwg", "");
    Answering skip(DrawingCheckAnswer::SkipProblems);
    const Result<Trial> skipped = run(2, &skip);
    ASSERT_TRUE(skipped);
    EXPECT_EQ(skipped->skipped, 1);
    ASSERT_EQ(skipped->copies.size(), 1u);
    EXPECT_EQ(skipped->copies[0].original, second + "a.DWG");

    Answering cancel(DrawingCheckAnswer::Cancel);
    fs::remove_all(ToFsPath(dir.path(std::string(kJournalFolderName))));
    const Result<Trial> cancelled = run(2, &cancel);
    ASSERT_TRUE(cancelled);
    EXPECT_EQ(cancelled->stop, RunStop::Cancelled);
    EXPECT_FALSE(FileExists(dir.path(std::string(kJournalFolderName))));

#ifndef _WIN32
    fs::remove(ToFsPath(first + "A.dwg"));
    ASSERT_EQ(::mkfifo((first + "A.dwg").c_str(), 0600), 0);
    Answering proceed(DrawingCheckAnswer::Continue);
    const Result<Trial> refused = run(2, &proceed);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().operation, Operation::CopyDrawing);
    EXPECT_EQ(refused.error().cause, Cause::NotAFile);
    EXPECT_EQ(TrialFailureText(refused.error(), Engine::Autocad),
              "L'essai n'a pas été lancé : ce plan n'est pas un fichier ordinaire, il n'a pas été "
              "copié :\r\n" +
                  first + "A.dwg");
#endif
}

// With the renaming row ticked nothing is copied nor renamed: the names are shown.
TEST_F(TrialTest, ARenamingIsOnlyShown) {
    request.rename = RenameJob{RenameRule::Insert, "0", "1", "x-", ".xls"};
    const Result<Trial> trial = run(3);
    ASSERT_TRUE(trial);
    ASSERT_TRUE(trial->renaming);
    EXPECT_EQ(trial->renaming->rows.size(), 5u);
    EXPECT_EQ(trial->renaming->rows[0].newName, "x-A.dwg");
    EXPECT_TRUE(FileExists(first + "A.dwg"));
    EXPECT_FALSE(FileExists(dir.path(std::string(kJournalFolderName))));
}

} // namespace
} // namespace pilotrame
