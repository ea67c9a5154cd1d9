#include "base/codepage.h"

#include "base/utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pilotrame {

namespace {

// Code points of the bytes 0x80 to 0x9F; the other bytes are their own code points.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int CodePointToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
        if (kCp1252High[i] == cp)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

} // namespace

char32_t Cp1252CodePoint(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80u] : byte;
}

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// Copies the ASCII bytes at the start of [from, end) to to, eight at a time while it can, and
// moves both past them.
inline void CopyAscii(const char*& from, const char* end, char*& to) {
    while (end - from >= 8) {
        std::uint64_t word;
        std::memcpy(&word, from, sizeof word);
        if ((word & kHighBits) != 0)
            break;
        std::memcpy(to, &word, sizeof word);
        from += 8;
        to += 8;
    }
    while (from < end && static_cast<unsigned char>(*from) < 0x80)
        *to++ = *from++;
}

// The converters below write into a buffer on the stack and append it to the string a block at a
// time: names and sections are short, and a string grown byte by byte or resized for the worst
// case costs more than the conversion.
constexpr std::size_t kBlockRoom = 512;

void AppendUtf8AsCp1252(std::string& out, std::string_view utf8) {
    // A name without accents, the most usual, is appended as it stands.
    if (AsciiPrefixLength(utf8) == utf8.size()) {
        out += utf8;
        return;
    }
    char block[kBlockRoom];
    const char* from = utf8.data();
    const char* const end = from + utf8.size();
    while (from < end) {
        // One byte for each character, and for each malformed byte: never more than the UTF-8.
        // A character begun before stop may end past it: room is left for it.
        const char* const stop =
            from + std::min<std::size_t>(static_cast<std::size_t>(end - from), kBlockRoom - 4);
        char* to = block;
        while (from < stop) {
            // ASCII, most of a script, is copied a run at a time.
            CopyAscii(from, stop, to);
            if (from == stop)
                break;
            // The accented letters of Latin-1 take two bytes: decoded here without a call.
            const auto lead = static_cast<unsigned char>(*from);
            if ((lead == 0xC2 || lead == 0xC3) && end - from >= 2 && IsContinuationByte(from[1])) {
                const char32_t cp =
                    ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(from[1]) & 0x3Fu);
                from += 2;
                const int mapped = cp >= 0xA0 ? static_cast<int>(cp) : CodePointToCp1252(cp);
                *to++ = mapped < 0 ? '?' : static_cast<char>(mapped);
                continue;
            }
            std::size_t i = static_cast<std::size_t>(from - utf8.data());
            const int mapped = CodePointToCp1252(NextCodePoint(utf8, i));
            from = utf8.data() + i;
            *to++ = mapped < 0 ? '?' : static_cast<char>(mapped);
        }
        out.append(block, static_cast<std::size_t>(to - block));
    }
}

// The UTF-8 form of each byte from 0x80 on, its length in the last byte.
using Utf8Form = std::array<char, 4>;
constexpr std::array<Utf8Form, 128> MakeHighForms() {
    std::array<Utf8Form, 128> forms{};
    for (std::size_t b = 0; b < forms.size(); ++b) {
        const char32_t cp = b < 32 ? kCp1252High[b] : static_cast<char32_t>(0x80 + b);
        if (cp < 0x800) {
            forms[b] = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F)),
                        0, 2};
        } else {
            forms[b] = {static_cast<char>(0xE0 | (cp >> 12)),
                        static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                        static_cast<char>(0x80 | (cp & 0x3F)), 3};
        }
    }
    return forms;
}
constexpr std::array<Utf8Form, 128> kHighForms = MakeHighForms();

void AppendCp1252AsUtf8(std::string& out, std::string_view bytes) {
    if (AsciiPrefixLength(bytes) == bytes.size()) {
        out += bytes;
        return;
    }
    char block[kBlockRoom];
    const char* from = bytes.data();
    const char* const end = from + bytes.size();
    while (from < end) {
        // At most three bytes for each.
        const char* const stop =
            from + std::min<std::size_t>(static_cast<std::size_t>(end - from), kBlockRoom / 3);
        char* to = block;
        while (from < stop) {
            CopyAscii(from, stop, to);
            if (from == stop)
                break;
            const Utf8Form& form = kHighForms[static_cast<unsigned char>(*from++) - 0x80];
            std::memcpy(to, form.data(), 3); // a third byte of 0 is overwritten or left out
            to += form[3];
        }
        out.append(block, static_cast<std::size_t>(to - block));
    }
}

} // namespace

std::size_t AsciiPrefixLength(std::string_view text) {
    const char* const data = text.data();
    std::size_t i = 0;
    // Eight bytes at a time: lists and scripts are mostly ASCII, a few accents apart.
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, sizeof word);
        if ((word & 0x8080808080808080u) != 0)
            break;
    }
    while (i < text.size() && static_cast<unsigned char>(data[i]) < 0x80)
        ++i;
    return i;
}

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    AppendUtf8AsCp1252(out, utf8);
    return out;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    AppendCp1252AsUtf8(out, bytes);
    return out;
}

namespace {

// U+FFFD, which stands for a character that cannot be shown.
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool IsAscii(std::string_view text) {
    return AsciiPrefixLength(text) == text.size();
}

} // namespace

bool FitsAnsi(std::string_view utf8) {
    return IsAscii(utf8) || FromAnsi(ToAnsi(utf8)) == utf8;
}

std::string FirstCharacterOutsideAnsi(std::string_view utf8) {
    if (IsAscii(utf8))
        return {};
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t start = i;
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            ++i;
            continue;
        }
        const char32_t cp = NextCodePoint(utf8, i);
        if (cp == kInvalidCodePoint)
            return std::string(kReplacementCharacter);
        const std::string_view character = utf8.substr(start, i - start);
        if (FromAnsi(ToAnsi(character)) != character)
            return std::string(character);
    }
    return {};
}

Status CheckFitsAnsi(std::string_view text, BoxRef box) {
    if (FitsAnsi(text))
        return Success();
    Error error = OutsideAnsiError(text, {});
    error.box = box;
    return error;
}

Error OutsideAnsiError(std::string_view text, std::string_view detail) {
    std::string character = FirstCharacterOutsideAnsi(text);
    // A code page where characters fit one by one but not together: say so by the sign of a
    // character that could not be shown.
    if (character.empty())
        character = kReplacementCharacter;
    Error error;
    error.code = ErrorCode::InvalidPropertyValue;
    error.cause = Cause::NotInCodePage;
    error.detail = detail;
    error.text = std::move(character);
    return error;
}

#ifdef _WIN32

namespace {
std::wstring Widen(std::string_view text, UINT codePage, DWORD flags) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(const std::wstring& wide, UINT codePage) {
    if (wide.empty())
        return {};
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* substitute = utf8 ? nullptr : "?";
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, substitute, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, out.data(), length, substitute,
                        nullptr);
    return out;
}

// One U+FFFD for each surrogate pair, so that a character beyond the BMP becomes one "?" and
// not two.
std::wstring OneUnitPerCharacter(std::wstring wide) {
    std::wstring out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const wchar_t unit = wide[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            out += static_cast<wchar_t>(0xFFFD);
            ++i;
        } else {
            out += unit;
        }
    }
    return out;
}
} // namespace

std::string ToAnsi(std::string_view utf8) {
    if (IsAscii(utf8))
        return std::string(utf8);
    const UINT codePage = GetACP();
    // Malformed UTF-8 becomes U+FFFD here, which no ANSI code page holds: it ends as "?".
    std::wstring wide = Utf8ToWide(utf8);
    if (codePage != CP_UTF8)
        wide = OneUnitPerCharacter(std::move(wide));
    return Narrow(wide, codePage);
}

std::string FromAnsi(std::string_view bytes) {
    if (IsAscii(bytes))
        return std::string(bytes);
    return WideToUtf8(Widen(bytes, GetACP(), 0));
}

void AppendToAnsi(std::string& out, std::string_view utf8) {
    if (IsAscii(utf8))
        out += utf8;
    else
        out += ToAnsi(utf8);
}

void AppendFromAnsi(std::string& out, std::string_view bytes) {
    if (IsAscii(bytes))
        out += bytes;
    else
        out += FromAnsi(bytes);
}

#else

std::string ToAnsi(std::string_view utf8) {
    if (IsAscii(utf8))
        return std::string(utf8);
    return Utf8ToCp1252(utf8);
}

std::string FromAnsi(std::string_view bytes) {
    if (IsAscii(bytes))
        return std::string(bytes);
    return Cp1252ToUtf8(bytes);
}

void AppendToAnsi(std::string& out, std::string_view utf8) {
    AppendUtf8AsCp1252(out, utf8);
}

void AppendFromAnsi(std::string& out, std::string_view bytes) {
    AppendCp1252AsUtf8(out, bytes);
}

#endif

} // namespace pilotrame
