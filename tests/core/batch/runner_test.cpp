#include "batch/runner.h"

#include "base/numbers.h"
#include "base/paths.h"
#include "batch/console.h"
#include "batch/journal.h"
#include "process/childprocess.h"
#include "support/processes.h"
#include "support/tempdir.h"
#include "texts/journal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <numeric>
#include <thread>

#include <unistd.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pilotrame {
namespace {

using namespace std::chrono_literals;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Keeps the order of the calls, and can stop the batch once some have started.
class Recorder final : public BatchObserver {
public:
    void drawingStarted(std::size_t index, const DrawingRun&) override {
        std::lock_guard lock(mutex);
        started.push_back(index);
        if (onStart)
            onStart(started.size());
    }
    void drawingFinished(std::size_t index, const DrawingRun& run) override {
        std::lock_guard lock(mutex);
        finished.push_back(index);
        EXPECT_NE(run.state, DrawingState::Running);
    }
    std::mutex mutex;
    std::vector<std::size_t> started;
    std::vector<std::size_t> finished;
    std::function<void(std::size_t)> onStart;
};

struct BatchRunTest : ::testing::Test {
    TempDir dir;
    BatchRequest request;
    BatchControl control;
    Recorder recorder;

    BatchRunTest() {
        request.consolePath = test::InstallHelperProgram(dir, PILOTRAME_STANDIN_CONSOLE);
        request.scriptPath = dir.path("console.scr");
        request.language = "fr-FR";
        request.timeout = 30s;
        WriteBytes(request.scriptPath, "zoom\r\net\r\n_qsave\r\n");
    }
    ~BatchRunTest() override { EXPECT_EQ(test::ProcessesLeftOf(request.consolePath), 0); }

    void addDrawings(const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            WriteBytes(dir.path(name), "");
            DrawingRun run;
            run.folder = dir.folder();
            run.name = name;
            request.drawings.push_back(run);
        }
    }
    std::vector<DrawingRun> run() { return RunBatch(request, JournalTexts(), recorder, control); }
    // How many times the console worked on the drawing.
    std::size_t doneCount(const std::string& name) {
        const std::string text = ReadBytes(dir.path(name));
        return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    }
};

TEST_F(BatchRunTest, EveryDrawingIsDoneExactlyOnceWhateverTheNumberAtOnce) {
    std::vector<std::string> names;
    for (int i = 0; i < 24; ++i)
        names.push_back("p" + std::to_string(i) + "_sleep" + std::to_string(i % 3 * 20) + ".dwg");
    addDrawings(names);
    for (const int workers : {1, 2, 8}) {
        SCOPED_TRACE(workers);
        for (const std::string& name : names)
            WriteBytes(dir.path(name), "");
        recorder.started.clear();
        recorder.finished.clear();
        request.workers = workers;
        const std::vector<DrawingRun> runs = run();
        ASSERT_EQ(runs.size(), names.size());
        for (std::size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(runs[i].state, DrawingState::Succeeded) << names[i] << runs[i].outputTail;
            EXPECT_EQ(doneCount(names[i]), 1u) << names[i];
        }
        // Started in list order, each once; each finished once.
        std::vector<std::size_t> inOrder(names.size());
        std::iota(inOrder.begin(), inOrder.end(), 0);
        EXPECT_EQ(recorder.started, inOrder);
        std::sort(recorder.finished.begin(), recorder.finished.end());
        EXPECT_EQ(recorder.finished, inOrder);
    }
}

// Each drawing ends in the state that tells what happened, with its code or its reason, and the
// run goes on past a console that hangs, crashes or leaves a child behind.
TEST_F(BatchRunTest, EachWayOfEndingIsTold) {
    request.timeout = 2s;
    request.logFolder = dir.folder();
    request.workers = 2;
    addDrawings({"a_hang.dwg", "b.dwg", "c_exit3.dwg", "d_crash.dwg", "e_child.dwg",
                 "f_child_hang.dwg", "g.dwg", "h_leak" + std::to_string(getpid()) + ".dwg"});
    DrawingRun missing;
    missing.folder = dir.folder();
    missing.name = "absent.dwg";
    request.drawings.push_back(missing);
    const std::vector<DrawingRun> runs = run();
    std::map<std::string, DrawingRun> byName;
    for (const DrawingRun& r : runs)
        byName[r.name] = r;

    EXPECT_EQ(byName["a_hang.dwg"].state, DrawingState::TimedOut);
    EXPECT_GE(byName["a_hang.dwg"].seconds, 1.5);
    EXPECT_EQ(byName["b.dwg"].state, DrawingState::Succeeded);
    EXPECT_EQ(byName["c_exit3.dwg"].state, DrawingState::Failed);
    EXPECT_EQ(byName["c_exit3.dwg"].exitCode, 3);
    EXPECT_EQ(byName["d_crash.dwg"].state, DrawingState::Failed);
    EXPECT_NE(byName["d_crash.dwg"].exitCode, 0);
    EXPECT_EQ(byName["e_child.dwg"].state, DrawingState::Succeeded);
    EXPECT_EQ(byName["f_child_hang.dwg"].state, DrawingState::TimedOut);
    EXPECT_EQ(byName["g.dwg"].state, DrawingState::Succeeded);
    // Its pipe kept open by a process outside its job does not hold the run.
    EXPECT_LT(runs[7].seconds, 3);
    // The console refuses a drawing that does not exist, with a code of its own.
    EXPECT_EQ(byName["absent.dwg"].state, DrawingState::Failed);
    EXPECT_EQ(byName["absent.dwg"].exitCode, 2);
    for (const char* name : {"a_hang.dwg", "b.dwg", "c_exit3.dwg", "e_child.dwg", "g.dwg"})
        EXPECT_EQ(doneCount(name), 1u) << name;
    // The console's UTF-16LE output arrives in the log as UTF-8, accents whole.
    const std::string log = ReadBytes(request.logFolder + LogName(1, runs.size(), runs[1]));
    EXPECT_NE(log.find("Exécution du script " + request.scriptPath + "\r\n"), std::string::npos)
        << log;
    EXPECT_NE(log.find("(fr-FR)"), std::string::npos);
    EXPECT_EQ(CountStates(runs).timedOut, 2);
}

TEST_F(BatchRunTest, AConsoleThatCannotStartFailsWithItsReason) {
    request.consolePath = dir.path("pas-de-console.exe");
    addDrawings({"a.dwg", "b.dwg"});
    const std::vector<DrawingRun> runs = run();
    for (const DrawingRun& r : runs) {
        EXPECT_EQ(r.state, DrawingState::Failed);
        ASSERT_TRUE(r.noExitCode);
        EXPECT_EQ(r.noExitCode->end, ChildEnd::NotStarted);
        EXPECT_FALSE(r.noExitCode->reason.empty());
        EXPECT_EQ(doneCount(r.name), 0u);
    }
}

// Paths reach the console word for word, and on Windows the journal's command line is the one
// it gets; no file this program holds open, even inheritable, reaches it.
TEST_F(BatchRunTest, PathsReachTheConsoleWordForWord) {
    std::FILE* held = std::fopen(dir.path("tenu.txt").c_str(), "w");
    request.logFolder = dir.folder();
    const std::pair<std::string, std::string> cases[] = {
        {"mes plans", "A 01.dwg"},
        {"Façade été", "coupé.dwg"},
        {"-n", "-a.dwg"},
        {"d'Alès & Cie", "100% ^plan (2).dwg"},
        {"dossier", ""}}; // "": ends in a backslash
    for (const auto& [folder, name] : cases) {
        std::filesystem::create_directory(ToFsPath(dir.path(folder)));
        DrawingRun drawing;
        drawing.folder = WithTrailingSeparator(dir.path(folder));
        drawing.name = name;
        request.drawings = {drawing};
        request.scriptPath = drawing.folder + "fichiers ouverts d'été & 50%.scr";
        WriteBytes(request.scriptPath, "zoom\r\n");
        if (!name.empty())
            WriteBytes(drawing.path(), "");
        const DrawingRun ran = run().front();
        const ProgramStart start =
            ConsoleStart(request.consolePath, drawing.path(), request.scriptPath, request.language);
        std::string said = kNativeSeparator == '\\'
                               ? "Ligne de commande : " + WindowsCommandLine(start) + "\r\n"
                               : "";
        for (const std::string& argument : start.arguments)
            said += "Argument : " + argument + "\r\n";
        const std::string log = ReadBytes(request.logFolder + LogName(0, 1, ran));
        EXPECT_NE(log.find(said), std::string::npos) << log;
        EXPECT_EQ(log.find("tenu.txt"), std::string::npos) << log;
    }
    std::fclose(held);
}

// "Arrêter": no new console starts; with endRunning the running ones end at once, every process
// they started with them.
TEST_F(BatchRunTest, StoppingEndsTheRunningConsolesAndStartsNoOther) {
    request.workers = 2;
    addDrawings({"a_child_hang.dwg", "b_hang.dwg", "c.dwg", "d.dwg"});
    recorder.onStart = [this](std::size_t started) {
        if (started == 2) {
            std::thread([this] {
                std::this_thread::sleep_for(300ms);
                control.noMoreStarts = true;
                control.endRunning = true;
            }).detach();
        }
    };
    const std::vector<DrawingRun> runs = run();
    EXPECT_EQ(runs[0].state, DrawingState::Stopped);
    EXPECT_EQ(runs[1].state, DrawingState::Stopped);
    EXPECT_EQ(runs[2].state, DrawingState::NotStarted);
    EXPECT_EQ(runs[3].state, DrawingState::NotStarted);
    EXPECT_EQ(doneCount("c.dwg"), 0u);
    EXPECT_EQ(test::ProcessesLeftOf(request.consolePath), 0);

    const std::vector<DrawingRun> again = DrawingsToRunAgain(runs);
    ASSERT_EQ(again.size(), 4u);
    EXPECT_EQ(again[2].state, DrawingState::NotStarted);
}

// Code 0 is a success only when the output holds no failure message and the script's saves were
// made; the exit code of a console that failed wins.
TEST_F(BatchRunTest, AScriptThatFailedUnderCodeZeroIsAScriptError) {
    request.failureMessages = {"Unknown command", "Commande inconnue"};
    const std::string dxfSave = "_saveas\r\nDXF\r\n\r\n\r\n";
    struct Case {
        std::string name;
        std::string script;
        DrawingState state;
        std::string message;
        std::string unsaved;
    };
    const Case cases[] = {
        {"a_unknown.dwg", "zoom\r\n_qsave\r\n", DrawingState::ScriptError, "Commande inconnue", ""},
        {"b_nosave.dwg", "_qsave\r\n", DrawingState::ScriptError, "", "b_nosave.dwg"},
        {"c_nosave.dwg", "zoom\r\net\r\n", DrawingState::Succeeded, "", ""},
        {"d.dwg", dxfSave + "_qsave\r\n", DrawingState::Succeeded, "", ""},
        {"e_nosave.dwg", dxfSave, DrawingState::ScriptError, "", "e_nosave.dxf"},
        {"f_unknown_exit3.dwg", "_qsave\r\n", DrawingState::Failed, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(request.scriptPath, c.script);
        request.drawings.clear();
        addDrawings({c.name});
        const DrawingRun run = this->run().front();
        EXPECT_EQ(run.state, c.state);
        EXPECT_EQ(run.failureMessage, c.message);
        EXPECT_EQ(run.unsavedFile, c.unsaved.empty() ? "" : dir.path(c.unsaved));
    }
}

// A console that writes without end goes to its log as it comes: the log keeps the start and the
// end, a message at the very end is found, and memory holds only the tail.
TEST_F(BatchRunTest, ALongOutputIsLoggedAsItComesAndSearchedToItsEnd) {
    request.failureMessages = {"Commande inconnue"};
    request.logFolder = dir.folder();
    addDrawings({"a_big12_unknown.dwg"});
    const std::vector<DrawingRun> runs = run();
    EXPECT_EQ(runs[0].state, DrawingState::ScriptError);
    EXPECT_LE(runs[0].outputTail.size(), ConsoleOutputReader::kTailSize);
    const std::string log = ReadBytes(dir.path(LogName(0, 1, runs[0])));
    EXPECT_LT(log.size(), kLogOutputLimit + 2 * ConsoleOutputReader::kTailSize);
    EXPECT_TRUE(log.ends_with("Commande inconnue \"ZOOMX\". Appuyez sur F1 pour obtenir de l'aide."
                              "\r\nFin du script\r\n\r\n--- Fin de la sortie de la console "
                              "---\r\nEtat : erreur de script (message « Commande inconnue » dans "
                              "la sortie de la console)\r\nDurée : " +
                              SecondsText(runs[0].seconds) + " s\r\n"))
        << log.substr(log.size() - 400);
}

// A log that cannot be written is told for its drawing, and the batch goes on.
TEST_F(BatchRunTest, ALogThatCannotBeWrittenIsToldAndTheBatchGoesOn) {
    request.logFolder = dir.path("absent") + kNativeSeparator;
    addDrawings({"a.dwg", "b.dwg"});
    for (const DrawingRun& r : run()) {
        EXPECT_EQ(r.state, DrawingState::Succeeded);
        ASSERT_TRUE(r.logFailure);
        EXPECT_EQ(r.logFailure->operation, Operation::WriteJournal);
        EXPECT_EQ(r.logFailure->path, request.logFolder + LogName(r.name == "b.dwg", 2, r));
    }
}

// While starts are held (a question is open), no console starts; the batch then goes on.
TEST_F(BatchRunTest, HeldStartsWaitAndThenGoOn) {
    addDrawings({"a.dwg", "b.dwg"});
    control.holdStarts = true;
    std::thread releaser([this] {
        std::this_thread::sleep_for(300ms);
        std::lock_guard lock(recorder.mutex);
        EXPECT_TRUE(recorder.started.empty());
        control.holdStarts = false;
    });
    const std::vector<DrawingRun> runs = run();
    releaser.join();
    EXPECT_EQ(CountStates(runs).succeeded, 2);
}

TEST(Duplicates, AreTheSamePathOnceMadePlain) {
    struct Case {
        std::string path;
        std::string key;
    };
    const Case cases[] = {
#ifdef _WIN32
        {"C:\\Plans\\\\.\\a.DWG", "C:\\PLANS\\A.DWG"},
        {"c:/plans//A.dwg", "C:\\PLANS\\A.DWG"},
        {"\\\\srv\\p\\a.dwg", "\\\\SRV\\P\\A.DWG"},
#else
        {"/plans//./a.dwg", "/plans/a.dwg"},
        {"dwg//x.dwg", "dwg/x.dwg"},
        {"./dwg/X.dwg", "dwg/X.dwg"},
#endif
    };
    std::vector<DrawingRun> drawings;
    for (const Case& c : cases) {
        EXPECT_EQ(DrawingKey(c.path), c.key);
        drawings.push_back(DrawingRun{});
        drawings.back().name = c.path;
    }
    drawings.push_back(drawings.front());
    EXPECT_EQ(RemoveDuplicateDrawings(drawings), kNativeSeparator == '\\' ? 2u : 1u);
}

#ifdef _WIN32
// The job object ends a console and all it started when the program watching it is killed. This
// test program, started again with PILOTRAME_TEST_KILLED_RUN naming the console, watches it.
TEST(KilledRun, EndsItsConsoleAndTheConsolesChildren) {
    if (const char* console = std::getenv("PILOTRAME_TEST_KILLED_RUN")) {
        const std::string path = console;
        RunChild(ConsoleStart(path, path + "_child_hang.dwg", path + ".scr", ""),
                 std::chrono::steady_clock::now() + 60s);
        return;
    }
    if (const HANDLE probe = CreateJobObjectW(nullptr, nullptr))
        CloseHandle(probe);
    else
        GTEST_SKIP() << "no job objects here: nothing would end the consoles of a killed run";
    TempDir dir;
    const std::string console = test::InstallHelperProgram(dir, PILOTRAME_STANDIN_CONSOLE);
    WriteBytes(console + ".scr", "");
    WriteBytes(console + "_child_hang.dwg", "");
    char self[MAX_PATH * 4];
    GetModuleFileNameA(nullptr, self, sizeof self);
    SetEnvironmentVariableA("PILOTRAME_TEST_KILLED_RUN", console.c_str());
    const auto run =
        reinterpret_cast<HANDLE>(_spawnl(_P_NOWAIT, self, self, "--gtest_filter=Kill*", nullptr));
    SetEnvironmentVariableA("PILOTRAME_TEST_KILLED_RUN", nullptr);
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (test::CountProcessesOf(console) < 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(test::CountProcessesOf(console), 2); // the console and its child
    TerminateProcess(run, 9);
    WaitForSingleObject(run, INFINITE);
    CloseHandle(run);
    EXPECT_EQ(test::ProcessesLeftOf(console), 0);
}
#endif

} // namespace
} // namespace pilotrame
