#include "usecases/trial.h"

#include "base/fileio.h"
#include "base/paths.h"
#include "base/systemerror.h"
#include "base/text.h"
#include "batch/journal.h"
#include "script/scriptlines.h"

#include <filesystem>
#include <map>
#include <set>
#include <system_error>
#include <unordered_set>

namespace pilotrame {

namespace {

namespace fs = std::filesystem;

std::string FoldedName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

bool IsDwgName(std::string_view name) {
    return name.size() > 4 && EqualsIgnoringCase(name.substr(name.size() - 4), ".dwg");
}

// True when folder holds a DWG other than name, which name may refer to by a relative path.
bool HoldsOtherDrawings(const std::string& folder, std::string_view name) {
    std::error_code ec;
    fs::directory_iterator entries(ToFsPath(folder), ec);
    if (ec)
        return false;
    const std::string own = FoldedName(name);
    for (; entries != fs::directory_iterator(); entries.increment(ec)) {
        if (ec)
            return false;
        const std::string other = FromFsPath(entries->path().filename());
        if (IsDwgName(other) && FoldedName(other) != own)
            return true;
    }
    return false;
}

// The bytes of the drawings to copy; fails naming the first that is no ordinary file.
Result<std::uint64_t> BytesToCopy(const FileList& drawings) {
    std::uint64_t bytes = 0;
    for (const ListedFolder& folder : drawings) {
        for (const std::string& name : folder.names) {
            const std::string path = folder.folder + name;
            std::error_code ec;
            const fs::file_status status = fs::status(ToFsPath(path), ec);
            if (!fs::exists(status))
                return InOperation(FileError(ErrorCode::FileNotFound, path),
                                   Operation::CopyDrawing);
            if (!fs::is_regular_file(status))
                return InOperation(NotAFileError(path), Operation::CopyDrawing);
            const std::uintmax_t size = fs::file_size(ToFsPath(path), ec);
            if (!ec)
                bytes += size;
        }
    }
    return bytes;
}

// The copies, made whole each, after the room for them was found.
Status MakeCopies(const std::vector<TrialCopy>& copies) {
    std::set<std::string> folders;
    for (const TrialCopy& copy : copies) {
        const std::string folder = copy.copy.substr(0, FolderPartLength(copy.copy));
        if (folders.insert(folder).second) {
            std::error_code ec;
            fs::create_directories(ToFsPath(folder), ec);
            if (ec)
                return InOperation(ErrorFromErrno(ec.value(), folder), Operation::CopyDrawing);
        }
        if (Status copied = CopyFileWhole(copy.original, copy.copy); !copied)
            return InOperation(copied.error(), Operation::CopyDrawing);
    }
    return Success();
}

// The drawings of the trial as the list of its copies.
FileList ListOfCopies(const std::vector<TrialCopy>& copies) {
    FileList list;
    for (const TrialCopy& copy : copies) {
        const std::size_t folderLength = FolderPartLength(copy.copy);
        const std::string folder = copy.copy.substr(0, folderLength);
        if (list.empty() || list.back().folder != folder)
            list.push_back(ListedFolder{folder, {}});
        list.back().names.push_back(copy.copy.substr(folderLength));
    }
    return list;
}

} // namespace

Result<FileList> TrialDrawings(const std::string& listPath, int count) {
    FileList drawings;
    std::unordered_set<std::string> seen;
    int taken = 0;
    bool enough = false;
    ListPosition position;
    const Status walked = WalkFileList(listPath, position, [&](const ListPosition& at) -> Status {
        const std::string path = at.currentFolder + at.currentFileName;
        if (!seen.insert(DrawingKey(path)).second)
            return Success();
        if (drawings.empty() || drawings.back().folder != at.currentFolder)
            drawings.push_back(ListedFolder{at.currentFolder, {}});
        drawings.back().names.push_back(at.currentFileName);
        if (++taken < count)
            return Success();
        // Enough: the rest of the list is not read.
        enough = true;
        return Error{};
    });
    if (!walked && !enough)
        return InOperation(walked.error(), Operation::ReadList);
    return drawings;
}

std::vector<TrialCopy> PlanTrialCopies(const FileList& drawings, const std::string& plansFolder,
                                       char separator) {
    std::vector<TrialCopy> copies;
    std::map<std::string, int> named; // how many drawings of each name were placed
    for (const ListedFolder& folder : drawings) {
        for (const std::string& name : folder.names) {
            const int seen = ++named[FoldedName(name)];
            std::string copy = plansFolder;
            if (seen > 1)
                copy += std::to_string(seen) + separator;
            copy += name;
            copies.push_back(TrialCopy{folder.folder + name, std::move(copy)});
        }
    }
    return copies;
}

std::uint64_t TrialRoomNeeded(std::uint64_t bytes) {
    return bytes * 2;
}

Result<Trial> RunTrial(const ExecuteRequest& request, int count, const ExecuteHooks& hooks,
                       std::chrono::system_clock::time_point now) {
    const ScriptRequest& script = request.script;
    if (Status readable = CheckReadable(script.listPath); !readable)
        return InOperation(readable.error(), Operation::ReadList);
    Trial trial;
    if (request.rename) {
        trial.renaming = PreviewRenaming(script.listPath, *request.rename, script.decimalSeparator);
        return trial;
    }

    // Whatever would stop the run stops it before anything is made.
    const bool console = request.run.engine == Engine::Console;
    std::string consoleScript;
    if (console) {
        if (Status ready = CheckConsoleRun(request); !ready)
            return ready.error();
        Result<std::string> made = ConsoleScriptOf(script, trial.refusals);
        if (!made)
            return made.error();
        if (!trial.refusals.empty()) {
            trial.stop = RunStop::NotForConsole;
            return trial;
        }
        consoleScript = std::move(*made);
    } else {
        DrawingSectionWriter sections(script.job, script.settings, script.decimalSeparator);
        if (Status prepared = sections.prepare(); !prepared)
            return prepared.error();
    }

    Result<FileList> drawings = TrialDrawings(script.listPath, count);
    if (!drawings)
        return drawings.error();
    if (hooks.review) {
        const DrawingCheck check = CheckDrawings(*drawings, OpenerOfRun(request));
        if (!check.issues.empty()) {
            trial.problems = check;
            const ReviewedDrawings reviewed = ReviewDrawings(check, *hooks.review);
            if (reviewed.stop != RunStop::None) {
                trial.stop = reviewed.stop;
                return trial;
            }
            trial.skipped = reviewed.leftOut;
            for (ListedFolder& folder : *drawings)
                std::erase_if(folder.names, [&](const std::string& name) {
                    return reviewed.skipped.contains(folder.folder + name);
                });
        }
    }
    if (CountFiles(*drawings) == 0) {
        trial.stop = RunStop::NothingToProcess;
        return trial;
    }

    // The copies keep the names whose folders and names fill the markers.
    if (console) {
        ConsoleRunPlan originals;
        for (const ListedFolder& listed : *drawings)
            for (const std::string& name : listed.names) {
                DrawingRun drawing;
                drawing.folder = listed.folder;
                drawing.name = name;
                originals.batch.drawings.push_back(std::move(drawing));
            }
        if (Status fits = CheckMarkedPaths(originals, script, request.scriptFolder); !fits)
            return fits.error();
    }

    // The room first: a trial never fills the disk.
    const Result<std::uint64_t> bytes = BytesToCopy(*drawings);
    if (!bytes)
        return bytes.error();
    const std::string journal =
        WithTrailingSeparator(request.scriptFolder + std::string(kJournalFolderName));
    {
        std::error_code ec;
        fs::create_directories(ToFsPath(journal), ec);
        const fs::space_info space = fs::space(ToFsPath(journal), ec);
        if (!ec && space.available < TrialRoomNeeded(*bytes))
            return InOperation(FileError(ErrorCode::DiskFull, journal), Operation::CopyDrawing);
    }
    const Result<std::string> folder = NewRunFolder(request.scriptFolder, now, kTrialFolderSuffix);
    if (!folder)
        return folder.error();
    trial.folder = *folder;
    const std::string plans =
        WithTrailingSeparator(trial.folder + std::string(kTrialDrawingsFolderName));
    trial.copies = PlanTrialCopies(*drawings, plans);
    std::set<std::string> lookedAt;
    for (const ListedFolder& listed : *drawings) {
        if (!lookedAt.insert(listed.folder).second)
            continue;
        for (const std::string& name : listed.names) {
            if (HoldsOtherDrawings(listed.folder, name)) {
                trial.sharedFolders.push_back(listed.folder);
                break;
            }
        }
    }
    if (Status copied = MakeCopies(trial.copies); !copied)
        return copied.error();
    const std::string listPath = trial.folder + std::string(kTrialListName);
    if (Result<int> listed = WriteFileList(listPath, ListOfCopies(trial.copies)); !listed)
        return InOperation(listed.error(), Operation::CreateScript);

    if (console) {
        ConsoleRunPlan plan;
        plan.batch = ConsoleBatch(request.run, script.settings.acadPath());
        for (const TrialCopy& copy : trial.copies) {
            DrawingRun drawing;
            const std::size_t folderLength = FolderPartLength(copy.copy);
            drawing.folder = copy.copy.substr(0, folderLength);
            drawing.name = copy.copy.substr(folderLength);
            plan.batch.drawings.push_back(std::move(drawing));
        }
        plan.skipped = trial.skipped;
        plan.problems = trial.problems;
        if (Status placed = PlaceConsoleRun(plan, trial.folder, script, consoleScript); !placed)
            return placed.error();
        if (hooks.batch)
            hooks.batch->run(std::move(plan));
        return trial;
    }

    ScriptRequest copies = script;
    copies.listPath = listPath;
    copies.scriptPath = trial.folder + std::string(kScriptFileName);
    // The copies have their own position: a trial moves nothing of the session's generation.
    ListPosition position;
    const Result<WrittenScript> written = WriteScript(copies, position, nullptr);
    if (!written)
        return written.error();
    if (Status started = StartAutocad(script.settings.acadPath(), trial.folder, StarterOf(hooks),
                                      request.windowsNames);
        !started)
        return started.error();
    trial.autocadStarted = true;
    return trial;
}

} // namespace pilotrame
