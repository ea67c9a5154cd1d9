#include "usecases/autocadcommand.h"

#include "script/scriptlines.h"

namespace pilotrame {

AutocadCommand BuildAutocadCommand(std::string_view acadPath, std::string_view scriptFolder,
                                   bool windowsNames) {
    AutocadCommand command;
    command.program = std::string(acadPath);
    const std::string script =
        std::string(scriptFolder) + (windowsNames ? "pilotrame.scr" : std::string(kScriptFileName));
    command.arguments = {"/B", script};
    return command;
}

} // namespace pilotrame
