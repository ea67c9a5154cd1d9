#pragma once

#include "selection/filelist.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// The walk modes of the advanced selection, in the order of its list; their words are in
// texts/lists.h.
enum class WalkMode {
    CurrentFolder,      // "Répertoire courant"
    FirstSubFolders,    // "Les 1er sous répertoires"
    CurrentAndFirst,    // "Le Courant et les 1er"
    CurrentFirstSecond, // "Le Courant, les 1er, les 2ème"
    None,               // any other text: nothing is listed
};

// The entries of one folder, hidden ones left out (names starting with "." on POSIX systems, the
// hidden and system attributes on Windows), sorted by name without regard to case, then exactly.
struct FolderEntries {
    std::vector<std::string> folders; // sub-folder names, without separator
    std::vector<std::string> files;   // ordinary file names
};
// Fails when the folder cannot be read.
Result<FolderEntries> ListFolder(const std::string& folder);

struct WalkRequest {
    std::string folder; // the chosen folder; a separator is added when missing
    WalkMode mode = WalkMode::CurrentAndFirst;
    std::string pattern = "*.dwg"; // Combo2

    bool operator==(const WalkRequest&) const = default;
};

struct WalkResult {
    FileList list; // one entry per folder with at least one matching file, in walk order
    // The sub-folders counted as the folder count shows them: those of the first level, or in
    // the two-level mode those of the second level; set only when a mode collects sub-folders.
    int subFolderCount = 0;
    bool collectedSubFolders = false;
    // A pass that collects sub-folders found none while none had been found yet.
    bool noSubFolder = false;
    // Folders that could not be read; the walk went on without them.
    std::vector<std::string> unreadableFolders;
    // walkFolder after the walk: the chosen folder, or in the two-level mode the chosen folder
    // followed by the last first-level name walked.
    std::string walkFolder;
    bool cancelled = false; // keepGoing returned false: the result is incomplete
};

// Walks the request's folder by its mode and lists the files that match the pattern: "*" any run
// of characters, "?" any one character, every other character itself, letters without regard to
// case (ASCII, Latin-1 and Latin Extended-A letters). As in a Windows listing, a final "."
// followed only by "*" also matches the end of a name, so "*.*" matches names without a dot; and
// a final "." matches the end of a name as well, a "*" just before it then stopping short of the
// name's last dot, so "*." and "plan*." match names without an extension ("plan", "plan01", not
// "plan.dwg"). keepGoing is asked before each folder is read; when it returns false the walk
// stops and the result is marked cancelled. There is no limit on the number of folders or files.
WalkResult WalkFolder(const WalkRequest& request, const std::function<bool()>& keepGoing = nullptr);

} // namespace pilotrame
