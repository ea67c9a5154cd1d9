#pragma once

#include "app/startup.h"
#include "script/scriptlines.h"
#include "selection/filelist.h"

#include <string>

namespace pilotrame {

// Program-wide values of one run, fixed at start-up or carried from one command to the next.
struct Session {
    std::string programFolder;   // holds savescript.txt and Liste01.txt; ends in a separator
    std::string scriptFolder;    // fixed at start-up; empty when the settings failed to load
    ListPosition position;       // currentFolder and currentFileName
    bool macroMode = false;      // a generation started from the macro-functions window
    std::string dialogSelection; // the last selection of the file dialog
    bool spreadsheetMode = false;

    std::string listPath() const { return programFolder + std::string(kFileListName); }
    std::string settingsPath() const { return programFolder + std::string(kSettingsFileName); }
    std::string scriptPath() const { return scriptFolder + std::string(kScriptFileName); }
};

} // namespace pilotrame
