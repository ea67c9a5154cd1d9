#include "job/switchrules.h"

#include "script/operations.h"

namespace pilotrame {

TopRow SetTopSwitch(TopRow row, TopSwitch which, bool ticked) {
    bool& box = which == TopSwitch::Plot         ? row.plot
                : which == TopSwitch::ScriptFile ? row.scriptFile
                                                 : row.renameSwitch;
    if (box == ticked)
        return row;
    box = ticked;
    switch (which) {
    case TopSwitch::Plot:
        if (ticked) {
            row.panelEnabled = false;
            row = SetTopSwitch(row, TopSwitch::ScriptFile, false);
            row = SetTopSwitch(row, TopSwitch::RenameSwitch, false);
        }
        break;
    case TopSwitch::ScriptFile:
        // The other switches first: unticking the renaming switch disables the script commands,
        // which script-file mode enables.
        if (ticked) {
            row.panelEnabled = false;
            row = SetTopSwitch(row, TopSwitch::Plot, false);
            row = SetTopSwitch(row, TopSwitch::RenameSwitch, false);
        }
        row.scriptCommandsEnabled = ticked;
        break;
    case TopSwitch::RenameSwitch:
        row.scriptCommandsEnabled = false;
        break;
    }
    if (!row.plot && !row.scriptFile && !row.renameSwitch)
        row.panelEnabled = true;
    return row;
}

void ApplySwitchRules(MainJob& job) {
    // The clicks that show a job: the mode, the operations, the renaming switch last.
    TopRow row;
    if (job.mode() != JobMode::Operations)
        row = SetTopSwitch(
            row, job.mode() == JobMode::Plot ? TopSwitch::Plot : TopSwitch::ScriptFile, true);
    if (!row.panelEnabled) {
        for (const DrawingOperation& operation : kDrawingOperations)
            job.drawing.*operation.ticked = false;
        job.renameTicked = false;
    }
    row = SetTopSwitch(row, TopSwitch::RenameSwitch, job.renameSwitch);
    job.drawing.plot = row.plot;
    job.drawing.customScript = row.scriptFile;
}

} // namespace pilotrame
