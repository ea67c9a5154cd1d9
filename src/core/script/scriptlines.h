#pragma once

#include "base/codepage.h"
#include "base/result.h"
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

// Appends the text of a box as a script line, unless it holds a character that the script's code
// page cannot hold: AutoCAD would get "?" in its place. Fails then as CheckFitsAnsi does, box
// naming the box or cell as the user knows it, and appends nothing.
inline Status AppendBoxLine(std::string& script, std::string_view text, std::string_view box) {
    if (Status fits = CheckFitsAnsi(text, box); !fits)
        return fits;
    AppendLine(script, text);
    return Success();
}

// Appends a point line "X,Y".
inline void AppendPointLine(std::string& script, std::string_view x, std::string_view y) {
    script += x;
    script += ',';
    script += y;
    script += kCrLf;
}

} // namespace pilotrame
