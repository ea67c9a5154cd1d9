#pragma once

#include <string>
#include <string_view>

namespace pilotrame {

// The one reader and writer of UTF-8 in the program: text is UTF-8 in memory, and every part that
// looks at characters rather than bytes goes through these.

// Returned by NextCodePoint for a byte that does not start a well-formed sequence.
inline constexpr char32_t kInvalidCodePoint = 0xFFFFFFFF;

// Decodes the character at text[i] and moves i past it. A byte that does not start a well-formed
// sequence (overlong forms, surrogates and values past U+10FFFF included) gives kInvalidCodePoint
// and moves i past that one byte only. i must be below text.size().
char32_t NextCodePoint(std::string_view text, std::size_t& i);

// Appends the UTF-8 form of cp, a code point up to U+10FFFF.
void AppendUtf8(std::string& out, char32_t cp);

// True when every byte of text belongs to a well-formed sequence.
bool IsUtf8(std::string_view text);

// The small letter of a capital of the Latin-1 letters and of those Windows-1252 adds (Œ, Š, Ž,
// Ÿ), ASCII included: "É" gives "é", "Œ" gives "œ"; any other code point is itself. Enough to
// compare French texts without regard to case, the same on every system. Inline: output is folded
// a character at a time.
inline char32_t FoldLatinCase(char32_t cp) {
    if ((cp >= 'A' && cp <= 'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7))
        return cp + 0x20;
    switch (cp) {
    case 0x152: // Œ
    case 0x160: // Š
    case 0x17D: // Ž
        return cp + 1;
    case 0x178: // Ÿ
        return 0xFF;
    default:
        return cp;
    }
}

// True for the bytes that continue a sequence (10xxxxxx).
inline bool IsContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0u) == 0x80u;
}

#ifdef _WIN32
// UTF-16 of the system's wide calls, to and from UTF-8; malformed input becomes U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
#endif

} // namespace pilotrame
