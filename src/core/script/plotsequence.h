#pragma once

#include "config/settings.h"

#include <string>

namespace pilotrame {

// Appends the "-traceur" answers that plot the open drawing with the plot settings: 18 lines for
// the model, 20 for a layout. Texts are written as the settings hold them.
void WritePlotSequence(std::string& script, const Settings& settings);

} // namespace pilotrame
