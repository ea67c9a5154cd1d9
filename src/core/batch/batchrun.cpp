#include "batch/batchrun.h"

#include "base/codepage.h"
#include "base/utf8.h"
#include "launch/childprocess.h"

#include <algorithm>
#include <mutex>
#include <thread>

namespace pilotrame {

namespace {

using Clock = std::chrono::steady_clock;

// Appends the UTF-8 of UTF-16LE bytes; an unpaired surrogate becomes U+FFFD.
std::string FromUtf16Le(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    const auto unit = [&bytes](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    };
    std::size_t i = bytes.substr(0, 2) == "\xFF\xFE" ? 2 : 0;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = 0xFFFD;
        AppendUtf8(out, cp);
    }
    return out;
}

// UTF-16LE text of Latin letters has a zero in most odd places; no 8-bit text has.
bool LooksUtf16Le(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE")
        return true;
    if (bytes.size() < 2)
        return false;
    std::size_t zeros = 0;
    for (std::size_t i = 1; i < bytes.size(); i += 2)
        zeros += bytes[i] == '\0';
    return zeros * 2 >= bytes.size() / 2;
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    quoted += text;
    quoted += '"';
    return quoted;
}

} // namespace

ProgramStart ConsoleStart(std::string_view console, std::string_view drawing,
                          std::string_view script, std::string_view language) {
    ProgramStart start;
    start.program = std::string(console);
    start.arguments = {"/i", std::string(drawing), "/s", std::string(script)};
    start.windowsCommandLine = Quoted(console) + " /i " + Quoted(drawing) + " /s " + Quoted(script);
    if (!language.empty()) {
        start.arguments.push_back("/l");
        start.arguments.emplace_back(language);
        start.windowsCommandLine += " /l ";
        start.windowsCommandLine += language;
    }
    return start;
}

std::string DecodeConsoleOutput(std::string_view bytes) {
    if (LooksUtf16Le(bytes))
        return FromUtf16Le(bytes);
    if (IsUtf8(bytes))
        return std::string(bytes);
    return FromAnsi(bytes);
}

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
                run.reason = outcome.reason;
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
