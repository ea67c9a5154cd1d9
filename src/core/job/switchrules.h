#pragma once

#include "job/jobfile.h"

namespace pilotrame {

// The switches of the main window's top row and what their rules leave usable around them.
struct TopRow {
    bool plot = false;                  // Check1 "IMPRIMER"
    bool scriptFile = false;            // Check10 "SCRIPT FICHIER"; its text shows while ticked
    bool renameSwitch = false;          // Check20 "RENOMMER FICHIERS"
    bool panelEnabled = true;           // false: the panel greyed, every operation unticked
    bool scriptCommandsEnabled = false; // "...", "&Ouvrir" and "&Enregistrer sous"

    bool operator==(const TopRow&) const = default;
};

enum class TopSwitch { Plot, ScriptFile, RenameSwitch };

// The top row once one switch is set, the others following as their own clicks would: ticking
// "IMPRIMER" or "SCRIPT FICHIER" greys the panel and unticks the two other switches; "SCRIPT
// FICHIER" enables the script commands while it is ticked, and any change of "RENOMMER FICHIERS"
// disables them; the panel comes back when none of the three is ticked any more. Setting a switch
// to what it holds changes nothing. The window shows what this returns; ApplySwitchRules, below,
// replays the clicks that show a job.
TopRow SetTopSwitch(TopRow row, TopSwitch which, bool ticked);

// Brings the job to the state the window's click rules (SetTopSwitch) leave: with "IMPRIMER"
// ticked, "SCRIPT FICHIER" is not; outside the operation mode every operation is unticked (their
// options and boxes stay as they are, as the window keeps them while the panel is hidden).
// A window that shows a job sets the mode first, then the operations, and Check20 last: by
// those clicks it reaches every job that has been through these rules.
void ApplySwitchRules(MainJob& job);

} // namespace pilotrame
