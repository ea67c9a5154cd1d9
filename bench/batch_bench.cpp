// Batch runs on AutoCAD's console, with the stand-in console of the tests:
// - BM_BatchRun/N: 200 drawings whose console works 50 ms each, N at once. The wall time is held
//   against the least it can be, 200 x 50 ms / N: target at most 1.1 times that.
// - BM_BatchRunner against BM_BaselineStartAndWait: 100 drawings whose console ends at once, one
//   at a time, against a bare loop that starts and waits for the same processes and does nothing
//   else. Target: at most 1.1 times the baseline: the runner's own cost per drawing (watching,
//   output, time limit) stays small beside the start of a process. Since a guard process stands
//   between the program and each console on POSIX, BM_BaselineGuardedStartAndWait does the same
//   with a guard forked for each console, and the runner is held against it too.
// - BM_ConsoleOutput/M: 10 MB of a console's UTF-16LE output read as it comes, in pieces of 64
//   KiB, decoded for the log and, with M = 1, searched for the default failure messages in every
//   reading its bytes allow; M = 0 decodes only. No target: what the search costs beside the
//   decoding, per byte of output.
// - The peak memory of a batch whose every console writes 10 MB, measured apart when asked for
//   (MeasureBatchMemory, --batch-memory): the output goes to the logs as it comes, so the peak
//   stays flat whatever the number of drawings, under 100 MiB for 10,000 of them.

#include "batch/runner.h"

#include "base/paths.h"
#include "batch/console.h"
#include "batch/journal.h"
#include "batch/runsettings.h"
#include "texts/journal.h"

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

namespace fs = std::filesystem;
using pilotrame::bench::FixtureOnce;
using pilotrame::bench::RunIterations;

constexpr int kSlowDrawings = 200;
constexpr int kWorkMs = 50;
constexpr int kQuickDrawings = 100;

class BatchFixture : public pilotrame::bench::FolderFixture {
public:
    BatchFixture() : FolderFixture("pilotrame-batch-bench-") {
        if (!m_error.empty())
            return;
        std::error_code ec;
        const fs::path console = root() / fs::path(PILOTRAME_STANDIN_CONSOLE).filename();
        fs::copy_file(PILOTRAME_STANDIN_CONSOLE, console, ec);
        std::ofstream(root() / "console.scr") << "zoom\r\net\r\n_qsave\r\n";
        m_slow.consolePath = m_quick.consolePath = pilotrame::FromFsPath(console);
        m_slow.scriptPath = m_quick.scriptPath = pathOf("console.scr");
        m_slow.language = m_quick.language = "fr-FR";
        const std::string folder = pilotrame::FromFsPath(root()) + pilotrame::kNativeSeparator;
        const auto add = [&](pilotrame::BatchRequest& request, const std::string& name) {
            std::ofstream(root() / name).flush();
            pilotrame::DrawingRun run;
            run.folder = folder;
            run.name = name;
            request.drawings.push_back(run);
        };
        for (int i = 0; i < kSlowDrawings; ++i)
            add(m_slow, "p" + std::to_string(i) + "_sleep" + std::to_string(kWorkMs) + ".dwg");
        for (int i = 0; i < kQuickDrawings; ++i)
            add(m_quick, "q" + std::to_string(i) + ".dwg");
        m_quick.workers = 1;
        if (ec)
            m_error = "cannot install the stand-in console: " + ec.message();
    }
    pilotrame::BatchRequest slow(int workers) const {
        pilotrame::BatchRequest request = m_slow;
        request.workers = workers;
        return request;
    }
    const pilotrame::BatchRequest& quick() const { return m_quick; }

private:
    pilotrame::BatchRequest m_slow;
    pilotrame::BatchRequest m_quick;
};

class Silent final : public pilotrame::BatchObserver {
public:
    void drawingStarted(std::size_t, const pilotrame::DrawingRun&) override {}
    void drawingFinished(std::size_t, const pilotrame::DrawingRun&) override {}
};

bool AllSucceeded(const std::vector<pilotrame::DrawingRun>& runs) {
    for (const pilotrame::DrawingRun& run : runs)
        if (run.state != pilotrame::DrawingState::Succeeded)
            return false;
    return true;
}

void BM_BatchRun(benchmark::State& state) {
    const BatchFixture& data = FixtureOnce<BatchFixture>();
    const int workers = static_cast<int>(state.range(0));
    const pilotrame::BatchRequest request = data.slow(workers);
    Silent silent;
    RunIterations(state, data.error(), "a drawing of the batch did not succeed", [&] {
        pilotrame::BatchControl control;
        return AllSucceeded(
            pilotrame::RunBatch(request, pilotrame::JournalTexts(), silent, control));
    });
    const double ideal = kSlowDrawings * kWorkMs / 1000.0 / workers;
    state.counters["ideal_s"] = ideal;
    pilotrame::bench::SetCounters(state, kSlowDrawings, 0, {});
}
BENCHMARK(BM_BatchRun)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_BatchRunner(benchmark::State& state) {
    const BatchFixture& data = FixtureOnce<BatchFixture>();
    Silent silent;
    RunIterations(state, data.error(), "a drawing of the batch did not succeed", [&] {
        pilotrame::BatchControl control;
        return AllSucceeded(
            pilotrame::RunBatch(data.quick(), pilotrame::JournalTexts(), silent, control));
    });
    pilotrame::bench::SetCounters(state, kQuickDrawings, 0, {});
}
BENCHMARK(BM_BatchRunner)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ConsoleOutput(benchmark::State& state) {
    std::string line;
    for (const char c :
         std::string("Regeneration du modele, 0123456789 0123456789 0123456789\r\n")) {
        line += c;
        line += '\0';
    }
    std::string piece;
    while (piece.size() < 65536)
        piece += line;
    constexpr int kPieces = 160; // 10 MB
    const std::vector<std::string> messages =
        state.range(0) != 0 ? pilotrame::DefaultFailureMessages() : std::vector<std::string>();
    RunIterations(state, "", "", [&] {
        std::size_t text = 0;
        pilotrame::ConsoleOutputReader reader(
            messages, [&text](std::string_view part) { text += part.size(); });
        for (int i = 0; i < kPieces; ++i)
            reader.add(piece);
        reader.finish();
        return text > 0 && reader.messageFound().empty();
    });
    pilotrame::bench::SetCounters(state, 1, static_cast<std::int64_t>(kPieces * piece.size()), {});
}
BENCHMARK(BM_ConsoleOutput)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

#ifndef _WIN32
// The words of the console's command line for run, as the runner gives them.
std::vector<std::string> ConsoleWords(const pilotrame::BatchRequest& request,
                                      const pilotrame::DrawingRun& run) {
    return {request.consolePath, "/i", run.path(),      "/s",
            request.scriptPath,  "/l", request.language};
}

// The argument vector of words, ended by a null pointer; it points into words.
std::vector<char*> Argv(std::vector<std::string>& words) {
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    return argv;
}

// Starts argv[0] with its output thrown away and waits for it: its exit code, or -1 when it could
// not be started or did not exit.
int SpawnAndWait(const std::vector<char*>& argv) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// The least a batch must do: start each console on its drawing and wait for it.
void BM_BaselineStartAndWait(benchmark::State& state) {
    const BatchFixture& data = FixtureOnce<BatchFixture>();
    const pilotrame::BatchRequest& request = data.quick();
    RunIterations(state, data.error(), "a console did not end well", [&] {
        for (const pilotrame::DrawingRun& run : request.drawings) {
            std::vector<std::string> words = ConsoleWords(request, run);
            const std::vector<char*> argv = Argv(words);
            if (SpawnAndWait(argv) != 0)
                return false;
        }
        return true;
    });
    pilotrame::bench::SetCounters(state, kQuickDrawings, 0, {});
}
BENCHMARK(BM_BaselineStartAndWait)->Unit(benchmark::kMillisecond)->UseRealTime();

// The least a batch must do when no console may outlive a crash of the program: a guard process
// forked for each console, which starts it and waits for it, waited for in turn.
void BM_BaselineGuardedStartAndWait(benchmark::State& state) {
    const BatchFixture& data = FixtureOnce<BatchFixture>();
    const pilotrame::BatchRequest& request = data.quick();
    RunIterations(state, data.error(), "a console did not end well", [&] {
        for (const pilotrame::DrawingRun& run : request.drawings) {
            std::vector<std::string> words = ConsoleWords(request, run);
            const std::vector<char*> argv = Argv(words);
            const pid_t guard = ::fork();
            if (guard == 0)
                ::_exit(SpawnAndWait(argv) == 0 ? 0 : 1);
            int status = 0;
            if (guard < 0 || waitpid(guard, &status, 0) != guard || !WIFEXITED(status) ||
                WEXITSTATUS(status) != 0)
                return false;
        }
        return true;
    });
    pilotrame::bench::SetCounters(state, kQuickDrawings, 0, {});
}
BENCHMARK(BM_BaselineGuardedStartAndWait)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

} // namespace

namespace pilotrame::bench {

BatchMemory MeasureBatchMemory(const std::vector<int>& drawingCounts, int megabytes) {
    BatchMemory measured;
#ifdef _WIN32
    (void)drawingCounts;
    (void)megabytes;
    measured.error = "measured on POSIX systems only";
#else
    struct Folder : FolderFixture {
        Folder() : FolderFixture("pilotrame-batch-memory-") {}
        using FolderFixture::pathOf;
        using FolderFixture::root;
    } folder;
    if (!folder.error().empty()) {
        measured.error = folder.error();
        return measured;
    }
    std::error_code ec;
    const fs::path console = folder.root() / fs::path(PILOTRAME_STANDIN_CONSOLE).filename();
    fs::copy_file(PILOTRAME_STANDIN_CONSOLE, console, ec);
    fs::create_directory(folder.root() / "logs", ec);
    std::ofstream(folder.root() / "console.scr") << "zoom\r\net\r\n_qsave\r\n";
    if (ec) {
        measured.error = "cannot install the stand-in console: " + ec.message();
        return measured;
    }
    // Each log is removed once written: the batch writes 4 MiB of log a drawing, which the
    // measure does not need to keep.
    class LogRemover final : public pilotrame::BatchObserver {
    public:
        LogRemover(std::string folder, std::size_t count)
            : m_folder(std::move(folder)), m_count(count) {}
        void drawingStarted(std::size_t, const pilotrame::DrawingRun&) override {}
        void drawingFinished(std::size_t index, const pilotrame::DrawingRun& run) override {
            std::remove((m_folder + pilotrame::LogName(index, m_count, run)).c_str());
        }

    private:
        std::string m_folder;
        std::size_t m_count;
    };
    for (const int count : drawingCounts) {
        pilotrame::BatchRequest request;
        request.consolePath = pilotrame::FromFsPath(console);
        request.scriptPath = folder.pathOf("console.scr");
        request.logFolder = folder.pathOf("logs") + pilotrame::kNativeSeparator;
        request.failureMessages = {"Commande inconnue", "Unknown command"};
        const std::string drawingFolder =
            pilotrame::FromFsPath(folder.root()) + pilotrame::kNativeSeparator;
        for (int i = 0; i < count; ++i) {
            pilotrame::DrawingRun run;
            run.folder = drawingFolder;
            run.name = "p" + std::to_string(i) + "_big" + std::to_string(megabytes) + ".dwg";
            std::ofstream(folder.root() / run.name).flush();
            request.drawings.push_back(std::move(run));
        }
        std::fflush(nullptr);
        const auto began = std::chrono::steady_clock::now();
        const pid_t child = ::fork();
        if (child < 0) {
            measured.error = "cannot fork";
            return measured;
        }
        if (child == 0) {
            LogRemover remover(request.logFolder, request.drawings.size());
            pilotrame::BatchControl control;
            const std::vector<pilotrame::DrawingRun> runs =
                pilotrame::RunBatch(request, pilotrame::JournalTexts(), remover, control);
            const bool summarised =
                pilotrame::WriteRunSummary(drawingFolder, runs, pilotrame::JournalTexts()).empty();
            ::_exit(AllSucceeded(runs) && summarised ? 0 : 1);
        }
        int status = 0;
        struct rusage usage {};
        if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            measured.error = "a batch of " + std::to_string(count) + " drawings did not succeed";
            return measured;
        }
        measured.runs.push_back(
            {count, usage.ru_maxrss,
             std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count()});
        for (const pilotrame::DrawingRun& run : request.drawings)
            fs::remove(folder.root() / run.name, ec);
    }
#endif
    return measured;
}

} // namespace pilotrame::bench
