#include "usecases/scriptrun.h"

#include "support/recordingstarter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pilotrame {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Answers the check as a test tells it to, and keeps what it was shown.
class ScriptedReview final : public DrawingReview {
public:
    explicit ScriptedReview(DrawingCheckAnswer answer) : m_answer(answer) {}
    DrawingCheckAnswer review(const DrawingCheck& check) override {
        shown.push_back(check);
        return m_answer;
    }
    std::vector<DrawingCheck> shown;

private:
    DrawingCheckAnswer m_answer;
};

struct WriteScriptTest : ::testing::Test {
    TempDir dir;
    ScriptRequest request;
    ListPosition position;

    WriteScriptTest() {
        request.listPath = dir.path("Liste01.txt");
        request.scriptPath = dir.path("Pilotrame.scr");
        request.job.plot = false;
        request.job.zoomExtents = true;
        request.settings = DefaultSettings(ProposeSettingValues({"P1"}, FolderStyle::Windows, ""));
        WriteBytes(request.listPath, "\v" + dir.folder() + "\r\n\ta.dwg\r\n\tb.dwg\r\n");
        WriteBytes(dir.path("a.dwg"), test::kDrawingBytes);
        WriteBytes(request.scriptPath, "previous\r\n");
    }

    // The drawings the script opens, in order.
    std::vector<std::string> opened() {
        std::vector<std::string> names;
        const std::string script = ReadBytes(request.scriptPath);
        for (std::size_t at = script.find(dir.folder()); at != std::string::npos;
             at = script.find(dir.folder(), at + 1))
            names.push_back(script.substr(at + dir.folder().size(), 5));
        return names;
    }
};

// b.dwg is missing: the answer decides what the script holds, and a cancel leaves it alone.
TEST_F(WriteScriptTest, TheAnswerToTheCheckDecidesWhatIsWritten) {
    struct Case {
        DrawingCheckAnswer answer;
        std::vector<std::string> opened;
        RunStop stop;
        int skipped;
    };
    const Case cases[] = {
        {DrawingCheckAnswer::SkipProblems, {"a.dwg"}, RunStop::None, 1},
        {DrawingCheckAnswer::Continue, {"a.dwg", "b.dwg"}, RunStop::None, 0},
        {DrawingCheckAnswer::KeepAutocadStopped, {"a.dwg", "b.dwg"}, RunStop::DrawingsNotReady, 0},
        {DrawingCheckAnswer::Cancel, {}, RunStop::Cancelled, 0},
    };
    for (const Case& c : cases) {
        WriteBytes(request.scriptPath, "previous\r\n");
        ScriptedReview review(c.answer);
        const Result<WrittenScript> written = WriteScript(request, position, &review);
        ASSERT_TRUE(written);
        EXPECT_EQ(written->stop, c.stop);
        EXPECT_EQ(written->skipped, c.skipped);
        ASSERT_TRUE(written->problems);
        ASSERT_EQ(review.shown.size(), 1u);
        EXPECT_EQ(review.shown[0].checked, 2);
        ASSERT_EQ(review.shown[0].issues.size(), 1u);
        EXPECT_EQ(review.shown[0].issues[0].path, dir.path("b.dwg"));
        if (c.stop == RunStop::Cancelled)
            EXPECT_EQ(ReadBytes(request.scriptPath), "previous\r\n");
        else
            EXPECT_EQ(opened(), c.opened);
    }
}

TEST_F(WriteScriptTest, NobodyIsAskedWhenEveryDrawingIsReadyOrNoCheckIsWanted) {
    WriteBytes(dir.path("b.dwg"), test::kDrawingBytes);
    ScriptedReview review(DrawingCheckAnswer::Cancel);
    ASSERT_TRUE(WriteScript(request, position, &review));
    EXPECT_TRUE(review.shown.empty());
    std::filesystem::remove(dir.path("b.dwg"));
    ASSERT_TRUE(WriteScript(request, position, nullptr));
    EXPECT_EQ(opened(), (std::vector<std::string>{"a.dwg", "b.dwg"}));
}

TEST_F(WriteScriptTest, FailuresAreTheGenerations) {
    std::filesystem::remove(request.listPath);
    ScriptedReview review(DrawingCheckAnswer::Cancel);
    const Result<WrittenScript> written = WriteScript(request, position, &review);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().operation, Operation::ReadList);
    EXPECT_TRUE(review.shown.empty());
}

// A box that cannot be written is found before the script is touched: a run that fails never
// leaves the user without the script they had.
TEST_F(WriteScriptTest, ABadBoxFailsBeforeTheScriptIsEmptied) {
    request.job.erase = true;
    request.job.erasePoints[0] = "1,5,2";
    const Result<WrittenScript> written = WriteScript(request, position, nullptr);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().cause, Cause::NotANumber);
    EXPECT_EQ(ReadBytes(request.scriptPath), "previous\r\n");

    request.job = DrawingJob{};
    request.job.replaceAttribute = true;
    request.job.attributeNew = "☺";
    const Result<WrittenScript> outside = WriteScript(request, position, nullptr);
    ASSERT_FALSE(outside);
    EXPECT_EQ(outside.error().cause, Cause::NotInCodePage);
    EXPECT_EQ(ReadBytes(request.scriptPath), "previous\r\n");
}

// "Executer script": AutoCAD starts only on a script that opens a drawing, and only when the
// answer to the check lets it.
TEST_F(WriteScriptTest, AutocadStartsOnlyOnAScriptThatOpensADrawing) {
    request.settings.combo[slot::acadPath] = "acad";
    struct Case {
        const char* what;
        std::string list;
        DrawingCheckAnswer answer;
        RunStop stop;
        bool started;
    };
    const std::string folder = "\v" + dir.folder() + "\r\n";
    const Case cases[] = {
        {"ready", folder + "\ta.dwg\r\n", DrawingCheckAnswer::Cancel, RunStop::None, true},
        {"empty list", "", DrawingCheckAnswer::Cancel, RunStop::NothingToProcess, false},
        {"every drawing skipped", folder + "\tb.dwg\r\n", DrawingCheckAnswer::SkipProblems,
         RunStop::NothingToProcess, false},
        {"kept stopped", folder + "\ta.dwg\r\n\tb.dwg\r\n", DrawingCheckAnswer::KeepAutocadStopped,
         RunStop::DrawingsNotReady, false},
        {"continued", folder + "\tb.dwg\r\n", DrawingCheckAnswer::Continue, RunStop::None, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(request.listPath, c.list);
        test::RecordingStarter starter;
        ScriptedReview review(c.answer);
        const Result<WrittenScript> written =
            WriteScriptAndStartAutocad(request, dir.folder(), position, &review, starter);
        ASSERT_TRUE(written);
        EXPECT_EQ(written->stop, c.stop);
        EXPECT_EQ(written->autocadStarted, c.started);
        EXPECT_EQ(starter.started.size(), c.started ? 1u : 0u);
    }
}

TEST(StartAutocad, HandsTheSystemTheCommandOfTheSettings) {
    test::RecordingStarter starter;
    ASSERT_TRUE(StartAutocad("C:\\acad\\acad.exe", "C:\\s\\", starter, true));
    ASSERT_EQ(starter.started.size(), 1u);
    const ProgramStart& start = starter.started[0];
    EXPECT_EQ(start.program, "C:\\acad\\acad.exe");
    EXPECT_EQ(start.arguments, (std::vector<std::string>{"/B", "C:\\s\\pilotrame.scr"}));
    EXPECT_EQ(WindowsCommandLine(start), "\"C:\\acad\\acad.exe\" /B \"C:\\s\\pilotrame.scr\"");
    EXPECT_TRUE(start.maximised);

    starter.succeeds = false;
    const Status refused = StartAutocad("C:\\acad\\acad.exe", "C:\\s\\", starter, true);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().operation, Operation::StartProgram);
    EXPECT_EQ(refused.error().detail, "C:\\acad\\acad.exe");

    // No program set: nothing is asked of the system.
    starter.started.clear();
    EXPECT_FALSE(StartAutocad("", "C:\\s\\", starter, true));
    EXPECT_TRUE(starter.started.empty());
}

} // namespace
} // namespace pilotrame
