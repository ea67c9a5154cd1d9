#include "batch/runner.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/paths.h"
#include "batch/console.h"
#include "batch/journal.h"
#include "process/childprocess.h"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <thread>
#include <unordered_set>

#ifdef _WIN32
#include "base/utf8.h"

#include <windows.h>
#endif

namespace pilotrame {

namespace {

using Clock = std::chrono::steady_clock;

// How often what a console wrote goes from the log's buffer to its file, at most.
constexpr std::chrono::milliseconds kLogFlushEvery{1000};

// How often a batch whose starts are held looks whether it may go on.
constexpr std::chrono::milliseconds kHoldPoll{20};

// The end of the output a drawing that did not succeed keeps for the window: its last lines. Ten
// thousand drawings that fail keep 10 MiB of it.
constexpr std::size_t kTailKept = 1024;

// The last bytes of text, at most size, cut at a character's start.
std::string LastBytes(const std::string& text, std::size_t size) {
    std::size_t start = text.size() > size ? text.size() - size : 0;
    while (start < text.size() && (static_cast<unsigned char>(text[start]) & 0xC0u) == 0x80u)
        ++start;
    return text.substr(start);
}

// The console script is at most some megabytes: the script text of "SCRIPT FICHIER" is.
constexpr std::uint64_t kScriptSizeLimit = 16 * 1024 * 1024;

// What a file was before a console ran, to tell whether the console wrote it.
struct FileStamp {
    bool exists = false;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type time{};
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path file = ToFsPath(path);
    FileStamp stamp;
    stamp.time = fs::last_write_time(file, ec);
    if (ec)
        return {};
    stamp.size = fs::file_size(file, ec);
    stamp.exists = !ec;
    return stamp;
}

// The files that show each save of the script for one drawing, and what they were before.
struct SaveWatch {
    std::vector<std::vector<std::string>> files;
    std::vector<std::vector<FileStamp>> before;

    SaveWatch(const std::vector<ScriptSave>& saves, const DrawingRun& run) {
        for (const ScriptSave& save : saves) {
            files.push_back(SavedFiles(save, run.folder, run.name));
            std::vector<FileStamp>& stamps = before.emplace_back();
            for (const std::string& file : files.back())
                stamps.push_back(StampOf(file));
        }
    }
    // The first save none of whose files was written since; empty when every save was made.
    std::string unsaved() const {
        for (std::size_t i = 0; i < files.size(); ++i) {
            bool written = false;
            for (std::size_t j = 0; j < files[i].size() && !written; ++j) {
                const FileStamp now = StampOf(files[i][j]);
                written = now.exists && now != before[i][j];
            }
            if (!written)
                return files[i].front();
        }
        return {};
    }
};

std::vector<ScriptSave> SavesOfScript(const std::string& scriptPath) {
    const Result<std::string> script = ReadFileBytes(scriptPath, kScriptSizeLimit);
    return script ? ScriptSaves(FromAnsi(*script)) : std::vector<ScriptSave>();
}

} // namespace

std::vector<DrawingRun> RunBatch(const BatchRequest& request, const JournalWords& words,
                                 BatchObserver& observer, BatchControl& control) {
    std::vector<DrawingRun> runs = request.drawings;
    std::mutex mutex; // guards runs, next and the observer
    std::size_t next = 0;
    const std::vector<ScriptSave> saves = SavesOfScript(request.scriptPath);

    // The next drawing to start, or none once the batch is over or stopped.
    const auto take = [&]() -> std::optional<std::size_t> {
        while (true) {
            {
                std::lock_guard lock(mutex);
                while (next < runs.size() && runs[next].state != DrawingState::NotStarted)
                    ++next;
                if (next >= runs.size() || control.noMoreStarts || control.endRunning)
                    return std::nullopt;
                if (!control.holdStarts) {
                    const std::size_t index = next++;
                    runs[index].state = DrawingState::Running;
                    runs[index].startedAt = std::chrono::system_clock::now();
                    observer.drawingStarted(index, runs[index]);
                    return index;
                }
            }
            std::this_thread::sleep_for(kHoldPoll);
        }
    };

    const auto work = [&] {
        while (const std::optional<std::size_t> taken = take()) {
            const std::size_t index = *taken;
            DrawingRun run;
            {
                std::lock_guard lock(mutex);
                run = runs[index];
            }
            const std::string& script =
                run.scriptPath.empty() ? request.scriptPath : run.scriptPath;
            const ProgramStart start =
                ConsoleStart(request.consolePath, run.path(), script, request.language);
            // A script of the drawing's own saves what it names.
            const SaveWatch watch(run.scriptPath.empty() ? saves : SavesOfScript(script), run);
            std::optional<DrawingLog> file;
            if (!request.logFolder.empty())
                file.emplace(request.logFolder + LogName(index, runs.size(), run), run,
                             WindowsCommandLine(start), words);
            ConsoleOutputReader reader(request.failureMessages, [&file](std::string_view text) {
                if (file)
                    file->write(text);
            });
            const Clock::time_point began = Clock::now();
            // The stop request is asked a few times a second, from this thread: the log is kept
            // up there, so that what a console wrote is in its file within a second, even before
            // a crash of the program.
            Clock::time_point flushed = began;
            const auto stopRequested = [&] {
                if (Clock::now() - flushed >= kLogFlushEvery) {
                    reader.settle();
                    if (file)
                        file->flush();
                    flushed = Clock::now();
                }
                return control.endRunning.load();
            };
            const ChildOutcome outcome =
                RunChild(start, began + request.timeout, stopRequested,
                         [&reader](std::string_view bytes) { reader.add(bytes); });
            reader.finish();
            run.seconds = std::chrono::duration<double>(Clock::now() - began).count();
            switch (outcome.end) {
            case ChildEnd::Exited:
                run.exitCode = outcome.exitCode;
                if (outcome.exitCode != 0) {
                    run.state = DrawingState::Failed;
                } else if (!reader.messageFound().empty()) {
                    run.state = DrawingState::ScriptError;
                    run.failureMessage = reader.messageFound();
                } else if (std::string unsaved = watch.unsaved(); !unsaved.empty()) {
                    run.state = DrawingState::ScriptError;
                    run.unsavedFile = std::move(unsaved);
                } else {
                    run.state = DrawingState::Succeeded;
                }
                break;
            case ChildEnd::NotStarted:
            case ChildEnd::ExitUnknown:
                // Never "réussi" on a code that was not read.
                run.state = DrawingState::Failed;
                run.noExitCode = outcome;
                break;
            case ChildEnd::TimedOut:
                run.state = DrawingState::TimedOut;
                break;
            case ChildEnd::Stopped:
                run.state = DrawingState::Stopped;
                break;
            }
            if (run.state != DrawingState::Succeeded)
                run.outputTail = LastBytes(reader.tail(), kTailKept);
            if (file) {
                file->finish(run, reader.tail());
                run.logFailure = file->failure();
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
        case DrawingState::ScriptError:
            ++counts.scriptErrors;
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
        case DrawingState::NotReady:
            ++counts.notReady;
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
        fresh.scriptPath = run.scriptPath;
        again.push_back(std::move(fresh));
    }
    return again;
}

std::string DrawingKey(std::string_view path) {
#ifdef _WIN32
    std::wstring wide = Utf8ToWide(path);
    if (!wide.empty())
        CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    std::string text = WideToUtf8(wide);
    std::replace(text.begin(), text.end(), '/', '\\');
    constexpr char kSeparator = '\\';
    // A UNC path keeps the two separators it starts with.
    const std::size_t lead = text.starts_with("\\\\") ? 2 : 0;
#else
    std::string text(path);
    constexpr char kSeparator = '/';
    const std::size_t lead = 0;
#endif
    std::string key = text.substr(0, lead);
    std::size_t i = lead;
    while (i < text.size()) {
        const std::size_t end = std::min(text.find(kSeparator, i), text.size());
        const std::string_view part = std::string_view(text).substr(i, end - i);
        const bool first = i == lead;
        // An empty part (a repeated separator) and a "." folder name nothing; the root stays.
        if (first && part.empty())
            key += kSeparator;
        else if (!part.empty() && part != ".") {
            if (!key.empty() && key.back() != kSeparator)
                key += kSeparator;
            key += part;
        }
        i = end + 1;
    }
    return key;
}

std::size_t RemoveDuplicateDrawings(std::vector<DrawingRun>& drawings) {
    std::unordered_set<std::string> seen;
    const std::size_t before = drawings.size();
    std::erase_if(drawings, [&seen](const DrawingRun& run) {
        const std::string identity = FileIdentity(run.path());
        return !seen.insert(identity.empty() ? "path " + DrawingKey(run.path())
                                             : "file " + identity)
                    .second;
    });
    return before - drawings.size();
}

} // namespace pilotrame
