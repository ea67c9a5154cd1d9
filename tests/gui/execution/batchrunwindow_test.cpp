#include "gui/execution/batchrunwindow.h"

#include "support/guitest.h"
#include "support/processes.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "texts/runs.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pilotrame {
namespace {

using test::Child;
using test::Click;
using test::ReadBytes;
using test::Str;
using test::WriteBytes;

class BatchRunWindowTest : public ::testing::Test {
protected:
    BatchRunWindowTest() {
        request.listPath = dir.path("Liste01.txt");
        request.scriptPath = dir.path("Pilotrame.scr");
        request.settings = DefaultSettings(ProposeSettingValues({"P1"}, kNativeFolderStyle, ""));
        request.job.plot = false;
        request.job.zoomExtents = true;
        run.engine = Engine::Console;
        run.consolePath = test::InstallHelperProgram(dir, PILOTRAME_STANDIN_CONSOLE);
        run.timeoutSeconds = 2;
        run.workers = 2;
    }
    ~BatchRunWindowTest() override {
        window.reset();
        EXPECT_EQ(test::ProcessesLeftOf(run.consolePath), 0);
    }

    // Lists the drawings, prepares the batch and starts it in a shown window.
    void start(const std::vector<std::string>& names) {
        std::string text = "\v" + dir.folder() + "\r\n";
        for (const std::string& name : names) {
            text += "\t" + name + "\r\n";
            WriteBytes(dir.path(name), test::kDrawingBytes);
        }
        WriteBytes(request.listPath, text);
        const Result<ConsoleRunPlan> plan = PrepareConsoleRun(request, run, dir.folder(), nullptr,
                                                              std::chrono::system_clock::now());
        ASSERT_TRUE(plan);
        window = std::make_unique<gui::BatchRunWindow>(*plan, dir.folder());
        window->show();
        window->start();
    }
    // Lets the window's events run until condition holds (at most 20 s).
    bool waitFor(const std::function<bool()>& condition) {
        QElapsedTimer timer;
        timer.start();
        while (!condition() && timer.elapsed() < 20000)
            QTest::qWait(20);
        return condition();
    }
    bool waitForEnd() {
        return waitFor([this] { return !window->running(); });
    }
    DrawingState state(std::size_t row) { return window->model().runs().at(row).state; }
    QPushButton* button(const char* name) {
        return Child<QPushButton>(window.get(), QString::fromLatin1(name));
    }
    std::size_t doneCount(const std::string& name) {
        const std::string bytes = ReadBytes(dir.path(name));
        return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    }

    test::TempDir dir;
    test::ScriptedPrompts prompts;
    ScriptRequest request;
    RunSettings run;
    std::unique_ptr<gui::BatchRunWindow> window;
};

TEST_F(BatchRunWindowTest, ShowsEachDrawingAsItEndsThenOffersWhatIsLeft) {
    start({"a.dwg", "b_exit2.dwg", "c_hang.dwg"});
    EXPECT_FALSE(button("RunAgain")->isEnabled());
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(state(0), DrawingState::Succeeded);
    EXPECT_EQ(state(1), DrawingState::Failed);
    EXPECT_EQ(state(2), DrawingState::TimedOut);
    const auto* progress = Child<QProgressBar>(window.get(), QStringLiteral("Progress"));
    EXPECT_EQ(progress->value(), 3);
    EXPECT_EQ(progress->maximum(), 3);
    const std::string counts = Str(Child<QLabel>(window.get(), QStringLiteral("Counts"))->text());
    EXPECT_EQ(counts, BatchCountsText(CountStates(window->model().runs())));
    EXPECT_NE(counts.find("réussi : 1"), std::string::npos) << counts;
    EXPECT_EQ(
        window->model().data(window->model().index(2, gui::BatchRunModel::State), Qt::DisplayRole),
        QStringLiteral("délai dépassé"));
    EXPECT_FALSE(button("Stop")->isEnabled());
    EXPECT_TRUE(button("RunAgain")->isEnabled());

    Click(button("OpenJournal"));
    ASSERT_EQ(prompts.openedFolders.size(), 1);
    EXPECT_EQ(Str(prompts.openedFolders[0]), window->plan().runFolder);
    EXPECT_TRUE(test::FileExists(window->plan().runFolder + "resume.csv"));
}

TEST_F(BatchRunWindowTest, RunningAgainRunsOnlyWhatDidNotSucceed) {
    start({"a.dwg", "b_exit2.dwg", "c.dwg", "d_exit5.dwg"});
    ASSERT_TRUE(waitForEnd());
    const std::string firstFolder = window->plan().runFolder;
    Click(button("RunAgain"));
    ASSERT_TRUE(waitForEnd());
    ASSERT_EQ(window->model().runs().size(), 2u);
    EXPECT_EQ(window->model().runs()[0].name, "b_exit2.dwg");
    EXPECT_EQ(window->model().runs()[1].name, "d_exit5.dwg");
    EXPECT_NE(window->plan().runFolder, firstFolder);
    EXPECT_EQ(doneCount("a.dwg"), 1u);
    EXPECT_EQ(doneCount("c.dwg"), 1u);
    EXPECT_EQ(doneCount("b_exit2.dwg"), 2u);
    EXPECT_EQ(doneCount("d_exit5.dwg"), 2u);
}

TEST_F(BatchRunWindowTest, StoppingAsksWhetherToEndTheRunningConsoles) {
    run.timeoutSeconds = 60;
    start({"a_hang.dwg", "b_child_hang.dwg", "c.dwg"});
    ASSERT_TRUE(waitFor([this] { return CountStates(window->model().runs()).running == 2; }));
    prompts.presetAnswer(gui::Answer::Yes);
    Click(button("Stop"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(Str(prompts.messages[0].text), kStopRunningQuestion);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(state(0), DrawingState::Stopped);
    EXPECT_EQ(state(1), DrawingState::Stopped);
    EXPECT_EQ(state(2), DrawingState::NotStarted);
    EXPECT_EQ(test::ProcessesLeftOf(run.consolePath), 0);
}

// Closing the window while consoles run asks first: "Non" keeps them running and the window
// open, "Oui" ends them all and closes.
TEST_F(BatchRunWindowTest, ClosingWhileRunningEndsEveryConsole) {
    run.timeoutSeconds = 60;
    start({"a_child_hang.dwg", "b_hang.dwg"});
    ASSERT_TRUE(waitFor([this] { return CountStates(window->model().runs()).running == 2; }));
    prompts.presetAnswer(gui::Answer::No);
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->running());
    prompts.presetAnswer(gui::Answer::Yes);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(test::ProcessesLeftOf(run.consolePath), 0);
}

// While the close question is open no console starts; "Non" lets the batch go on.
TEST_F(BatchRunWindowTest, NoConsoleStartsWhileTheCloseQuestionIsOpen) {
    start({"a_sleep200.dwg", "b_sleep200.dwg", "c.dwg"});
    ASSERT_TRUE(waitFor([this] { return CountStates(window->model().runs()).running == 2; }));
    prompts.whileAsked = [this] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        EXPECT_EQ(doneCount("c.dwg"), 0u);
    };
    window->close();
    prompts.whileAsked = nullptr;
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(state(2), DrawingState::Succeeded);
}

#ifdef _WIN32
// Windows asks before a log-off or a shutdown: the run is stopped and its journal written first.
TEST_F(BatchRunWindowTest, TheEndOfTheSessionStopsTheRunAndWritesItsJournal) {
    if (QGuiApplication::platformName() != QStringLiteral("windows"))
        GTEST_SKIP() << "a native window: Qt's windows platform (tests/gui.cmake)";
    run.timeoutSeconds = 60;
    start({"a_hang.dwg", "b_child_hang.dwg", "c.dwg"});
    ASSERT_TRUE(waitFor([this] { return CountStates(window->model().runs()).running == 2; }));
    EXPECT_EQ(SendMessageW(reinterpret_cast<HWND>(window->winId()), WM_QUERYENDSESSION, 0,
                           ENDSESSION_LOGOFF),
              TRUE);
    EXPECT_EQ(test::ProcessesLeftOf(run.consolePath), 0);
    const std::string summary = ReadBytes(window->plan().runFolder + "resume.csv");
    EXPECT_NE(summary.find("a_hang.dwg;arrêté;"), std::string::npos) << summary;
    EXPECT_NE(summary.find("c.dwg;non lancé;"), std::string::npos) << summary;
    EXPECT_NE(ReadBytes(window->plan().runFolder + "echecs.txt").find("c.dwg"), std::string::npos);
}
#endif

} // namespace
} // namespace pilotrame
