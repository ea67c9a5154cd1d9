#pragma once

#include "base/text.h"

#include <string>
#include <string_view>

namespace pilotrame {

inline constexpr std::string_view kScriptFileName = "Pilotrame.scr";

// Appends one script line: its text and CR LF, which AutoCAD takes as Enter.
inline void AppendLine(std::string& script, std::string_view line) {
    script += line;
    script += kCrLf;
}

// Appends a point line "X,Y".
inline void AppendPointLine(std::string& script, std::string_view x, std::string_view y) {
    script += x;
    script += ',';
    script += y;
    script += kCrLf;
}

} // namespace pilotrame
