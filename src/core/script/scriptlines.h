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

// Succeeds when the text of a box can be a script line, or part of one: no control character
// (below U+0020, or U+007F), which would end the line or answer AutoCAD with what the user never
// saw, fails with ControlCharacter (number: its code); no character that the script's code page
// cannot hold, which AutoCAD would get as "?", fails as CheckFitsAnsi does. box names the box.
inline Status CheckScriptValue(std::string_view text, BoxRef box) {
    if (const int control = FirstControlCharacter(text); control >= 0)
        return ControlCharacterError(box, control);
    return CheckFitsAnsi(text, box);
}

// Appends the text of a box as a script line when CheckScriptValue accepts it; else fails as it
// does and appends nothing.
inline Status AppendBoxLine(std::string& script, std::string_view text, BoxRef box) {
    if (Status fits = CheckScriptValue(text, box); !fits)
        return fits;
    AppendLine(script, text);
    return Success();
}

// The opening of a drawing's section: the line "_.open", then a line of the drawing's path in
// double quotes (a space in the path would otherwise end AutoCAD's answer). These parts come
// before and after the path.
inline constexpr std::string_view kOpeningBeforePath = "_.open\r\n\"";
inline constexpr std::string_view kOpeningAfterPath = "\"\r\n";

// Appends the opening of the drawing folder + name.
inline void AppendOpening(std::string& script, std::string_view folder, std::string_view name) {
    script += kOpeningBeforePath;
    script += folder;
    script += name;
    script += kOpeningAfterPath;
}

// Appends a point line "X,Y".
inline void AppendPointLine(std::string& script, std::string_view x, std::string_view y) {
    script += x;
    script += ',';
    script += y;
    script += kCrLf;
}

} // namespace pilotrame
