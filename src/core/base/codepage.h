#pragma once

#include "base/result.h"

#include <string>
#include <string_view>

namespace pilotrame {

// Text is UTF-8 in memory; files (list, scripts, settings) hold the ANSI code page, one byte a
// character. A character the code page cannot hold becomes "?", as does a malformed UTF-8 byte.

// UTF-8 to Windows-1252.
std::string Utf8ToCp1252(std::string_view utf8);
// Windows-1252 to UTF-8; the five bytes the code page leaves undefined map to U+0081 and the like,
// as Windows itself maps them, so every byte round-trips.
std::string Cp1252ToUtf8(std::string_view bytes);

// The code point of one Windows-1252 byte, as Cp1252ToUtf8 reads it.
char32_t Cp1252CodePoint(unsigned char byte);

// UTF-8 to the system's ANSI code page (GetACP on Windows, Windows-1252 elsewhere).
std::string ToAnsi(std::string_view utf8);
// The system's ANSI code page to UTF-8.
std::string FromAnsi(std::string_view bytes);

// ToAnsi and FromAnsi appending to out, for text converted a line or a section at a time into a
// buffer that is kept: converting pieces that each hold whole characters gives the bytes that
// converting them joined gives.
void AppendToAnsi(std::string& out, std::string_view utf8);
void AppendFromAnsi(std::string& out, std::string_view bytes);

// The number of bytes below 0x80 at the start of text.
std::size_t AsciiPrefixLength(std::string_view text);

// True when every character of the text survives the ANSI code page unchanged: a name that does
// not would reach AutoCAD with "?" in it.
bool FitsAnsi(std::string_view utf8);

// The first character of the text that the ANSI code page cannot hold, as UTF-8 (U+FFFD for a
// byte that is not UTF-8); empty when FitsAnsi.
std::string FirstCharacterOutsideAnsi(std::string_view utf8);

// Succeeds when FitsAnsi(text); otherwise fails with NotInCodePage, box: the box or cell the text
// comes from, text: the first character that does not fit. A script carries its texts in the
// ANSI code page: such a character would reach AutoCAD as "?".
Status CheckFitsAnsi(std::string_view text, BoxRef box);

// The same failure for a text named otherwise than by a box: detail names it.
Error OutsideAnsiError(std::string_view text, std::string_view detail);

} // namespace pilotrame
