#pragma once

#include "batch/runsettings.h"
#include "config/settings.h"
#include "script/macrosection.h"
#include "script/scriptlines.h"
#include "selection/filelist.h"
#include "session/startup.h"

#include <string>

namespace pilotrame {

// Program-wide values of one run, fixed at start-up or carried from one command to the next.
struct Session {
    std::string programFolder;     // holds savescript.txt and Liste01.txt; ends in a separator
    std::string scriptFolder;      // fixed at start-up; empty when the settings failed to load
    ListPosition position;         // currentFolder and currentFileName
    Settings settings;             // the live settings of the run, as the configuration dialog
                                   // last left them
    std::string walkFolder;        // the last folder walked by the advanced selection
    SymbolGrid symbols;            // where the next F1 symbol goes
    std::string excelWorkbookPath; // the F2 workbook
    RunSettings runSettings;       // how "Executer script" runs, as execution.txt holds it

    std::string listPath() const { return joined(programFolder, kFileListName); }
    std::string settingsPath() const { return joined(programFolder, kSettingsFileName); }
    std::string scriptPath() const { return joined(scriptFolder, kScriptFileName); }
    std::string runSettingsPath() const { return joined(programFolder, kRunSettingsFileName); }

private:
    static std::string joined(const std::string& folder, std::string_view name) {
        std::string path = folder;
        path.append(name);
        return path;
    }
};

} // namespace pilotrame
