#pragma once

#include "base/error.h"
#include "selection/droppeditems.h"
#include "selection/folderwalk.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// The texts of the file list Liste01.txt, of the advanced selection that makes it, and of what a
// drop on the main window adds to it.

// "Liste des fichiers sélectionnés en lecture seule ou inexistant: ", CR LF and the list path.
std::string ListFailureText(const std::string& listPath);

// The text for a list that could not be read: for a faulty one (FileBeforeFolder, LineTooLong),
// the list, the line and what is wrong with it; else ListFailureText.
std::string ListReadFailureText(const Error& error);

// The text of the box for a file list that could not be written.
std::string ListWriteFailureText(const Error& error);

// A symbol of F1 that cannot be inserted because its list line has no file name
// (NotADrawingName with an empty detail): path is the folder the line comes under, line the
// line of the list.
std::string NamelessListLineText(const Error& error);

// The files left out of a selection because their name holds a character the ANSI code page
// cannot hold, one per line.
std::string NamesOutsideAnsiText(const std::vector<std::string>& paths);

// ---- Advanced selection ----

inline constexpr std::string_view kNoSubFolderText = "Aucun sous répertoire";

inline constexpr std::string_view kDriveNotReadyText = "Lecteur non prêt";

inline constexpr std::string_view kDriveNotReadyTitle = "Erreur de lecture";

// The folders a walk could not read, one per line.
std::string UnreadableFoldersText(const std::vector<std::string>& folders);

// While a walk lasts: "Recherche des fichiers…" and the folders walked so far.
std::string WalkProgressText(int folders);

// The sub-folders a walk collected, as the main window's count shows them: "12 Répertoires".
std::string FolderCountText(int count);

// The walk modes of the advanced selection's list, in its order (WalkMode).
inline constexpr std::array<std::string_view, 4> kWalkModeTexts = {
    "Répertoire courant", "Les 1er sous répertoires", "Le Courant et les 1er",
    "Le Courant, les 1er, les 2ème"};

// The mode named by a text of the list, compared exactly; None for any other text.
WalkMode WalkModeFromText(std::string_view text);

// ---- Drag and drop ----

// The items of a drop that were not taken, one per line with why, then how to take what can be
// taken another way (a folder dropped alone, a file saved on this computer first).
std::string DroppedItemsNotTakenText(const std::vector<DroppedItem>& items);

} // namespace pilotrame
