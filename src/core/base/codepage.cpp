#include "base/codepage.h"

#include "base/utf8.h"

#include <array>
#include <cstdint>

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

char32_t Cp1252ToCodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return kCp1252High[byte - 0x80];
    return byte;
}

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

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        // ASCII, most of a script, is copied a run at a time.
        std::size_t end = i;
        while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) < 0x80)
            ++end;
        out.append(utf8, i, end - i);
        i = end;
        if (i == utf8.size())
            break;
        const int mapped = CodePointToCp1252(NextCodePoint(utf8, i));
        out += mapped < 0 ? '?' : static_cast<char>(mapped);
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes)
        AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

namespace {

// U+FFFD, which stands for a character that cannot be shown.
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
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

Status CheckFitsAnsi(std::string_view text, std::string_view box) {
    if (FitsAnsi(text))
        return Success();
    std::string character = FirstCharacterOutsideAnsi(text);
    // A code page where characters fit one by one but not together: say so by the sign of a
    // character that could not be shown.
    if (character.empty())
        character = kReplacementCharacter;
    Error error;
    error.code = ErrorCode::InvalidPropertyValue;
    error.cause = Cause::NotInCodePage;
    error.detail = box;
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

#endif

} // namespace pilotrame
