#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

inline constexpr std::string_view kCrLf = "\r\n";

// The text without leading and trailing spaces (0x20 only; tabs and other characters stay).
std::string_view TrimSpaces(std::string_view text);

// True when a and b are equal, ASCII letters compared without regard to case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Position of the first needle in text, ASCII letters compared without regard to case; npos if
// none.
std::size_t FindIgnoringCase(std::string_view text, std::string_view needle);

// Every line break (CR LF, a lone LF or a lone CR) turned into CR LF.
std::string ToCrLf(std::string_view text);

// Every CR LF turned into LF, for showing file text in a Qt text box.
std::string ToLf(std::string_view text);

// The lines of a text whose lines end in CR LF, LF alone or CR alone, as a list edited on any
// system may. A final line without a line end counts; a text ending in one has no empty line
// after it.
std::vector<std::string_view> SplitLines(std::string_view text);

// True when the text holds a character below 0x20, DEL, or also (DEL itself when not given).
bool HasControlCharacter(std::string_view text, char also = '\x7F');

// The code of the first character below 0x20 or equal to DEL; -1 when there is none.
int FirstControlCharacter(std::string_view text);

// The text with each character below 0x20 and DEL as "?", to be shown in a message: a NUL would
// end it, a line break split it.
std::string ShownText(std::string_view text);

} // namespace pilotrame
