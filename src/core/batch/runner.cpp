#include "batch/runner.h"

#include "batch/console.h"
#include "process/childprocess.h"

#include <algorithm>
#include <mutex>
#include <thread>

namespace pilotrame {

namespace {

using Clock = std::chrono::steady_clock;

} // namespace

std::vector<DrawingRun> RunBatch(const BatchRequest& request, BatchObserver& observer,
                                 BatchControl& control) {
    std::vector<DrawingRun> runs = request.drawings;
    std::mutex mutex; // guards runs, next and the observer
    std::size_t next = 0;

    const auto work = [&] {
        while (true) {
            std::size_t index = 0;
            DrawingRun run;
            {
                std::lock_guard lock(mutex);
                if (next >= runs.size() || control.noMoreStarts || control.endRunning)
                    return;
                index = next++;
                runs[index].state = DrawingState::Running;
                runs[index].startedAt = std::chrono::system_clock::now();
                run = runs[index];
                observer.drawingStarted(index, run);
            }
            const Clock::time_point began = Clock::now();
            const ChildOutcome outcome = RunChild(
                ConsoleStart(request.consolePath, run.path(), request.scriptPath, request.language),
                began + request.timeout, [&control] { return control.endRunning.load(); });
            run.seconds = std::chrono::duration<double>(Clock::now() - began).count();
            run.output = DecodeConsoleOutput(outcome.output);
            run.outputCut = outcome.outputCut;
            switch (outcome.end) {
            case ChildEnd::Exited:
                run.exitCode = outcome.exitCode;
                run.state = outcome.exitCode == 0 ? DrawingState::Succeeded : DrawingState::Failed;
                break;
            case ChildEnd::NotStarted:
                run.state = DrawingState::Failed;
                run.reason = "la console n'a pas pu être lancée : " + outcome.reason;
                break;
            case ChildEnd::ExitUnknown:
                // Never "réussi" on a code that was not read.
                run.state = DrawingState::Failed;
                run.reason =
                    "le code de sortie de la console n'a pas pu être lu : " + outcome.reason;
                break;
            case ChildEnd::TimedOut:
                run.state = DrawingState::TimedOut;
                break;
            case ChildEnd::Stopped:
                run.state = DrawingState::Stopped;
                break;
            }
            std::lock_guard lock(mutex);
            runs[index] = run;
            observer.drawingFinished(index, run);
        }
    };

    const int workers = std::clamp(request.workers, 1, 16);
    std::vector<std::thread> threads;
    for (int i = 1; i < workers && static_cast<std::size_t>(i) < runs.size(); ++i)
        threads.emplace_back(work);
    work();
    for (std::thread& thread : threads)
        thread.join();
    return runs;
}

BatchCounts CountStates(const std::vector<DrawingRun>& runs) {
    BatchCounts counts;
    for (const DrawingRun& run : runs) {
        switch (run.state) {
        case DrawingState::NotStarted:
            ++counts.notStarted;
            break;
        case DrawingState::Running:
            ++counts.running;
            break;
        case DrawingState::Succeeded:
            ++counts.succeeded;
            break;
        case DrawingState::Failed:
            ++counts.failed;
            break;
        case DrawingState::TimedOut:
            ++counts.timedOut;
            break;
        case DrawingState::Stopped:
            ++counts.stopped;
            break;
        }
    }
    return counts;
}

std::vector<DrawingRun> DrawingsToRunAgain(const std::vector<DrawingRun>& runs) {
    std::vector<DrawingRun> again;
    for (const DrawingRun& run : runs) {
        if (run.state == DrawingState::Succeeded || run.state == DrawingState::Running)
            continue;
        DrawingRun fresh;
        fresh.folder = run.folder;
        fresh.name = run.name;
        again.push_back(std::move(fresh));
    }
    return again;
}

} // namespace pilotrame
