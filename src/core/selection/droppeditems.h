#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// What one item dropped from a file manager is, as the window found it when it was dropped.
enum class DroppedKind {
    File,     // a file of this computer
    Folder,   // a folder of this computer
    NotLocal, // an address that names no file of this computer (a web page, a remote share)
    Missing,  // a path of this computer where nothing is any more
    Other,    // neither a file nor a folder (a device, a socket, a pipe)
};

struct DroppedItem {
    DroppedKind kind = DroppedKind::File;
    std::string name; // the full native path; for NotLocal, the address as the user would read it

    bool operator==(const DroppedItem&) const = default;
};

// What a drop on the main window does.
struct DropPlan {
    std::string folder; // the advanced selection opens on it; empty: it does not open
    std::vector<std::string>
        files; // listed as "Selection fichiers" lists them, in the order dropped
    std::vector<DroppedItem> notTaken; // named to the user in one message, in the order dropped

    bool operator==(const DropPlan&) const = default;
};

// The rule of a drop: one folder dropped without any file opens the advanced selection on it, since
// a folder is walked with the options chosen there; otherwise the files are listed, and every
// folder (a walk takes one, with its options) is named with the other items that cannot be taken.
// Nothing dropped is left without a word.
DropPlan PlanDrop(const std::vector<DroppedItem>& items);

// Whether a drop is taken at all: it is when it holds a file or a folder of this computer, which
// the drop lists, opens or names. Addresses from elsewhere and vanished paths alone are refused
// while they are dragged, which the cursor shows.
bool AcceptsDrop(const std::vector<DroppedItem>& items);

// The text a path dropped on the script text gives: the path itself, in double quotes when it holds
// a space, since a space ends an answer in an AutoCAD script.
std::string DroppedPathText(std::string_view path);

} // namespace pilotrame
