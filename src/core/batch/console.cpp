#include "batch/console.h"

#include "base/codepage.h"
#include "base/utf8.h"

namespace pilotrame {

namespace {

// Appends the UTF-8 of UTF-16LE bytes; an unpaired surrogate becomes U+FFFD.
std::string FromUtf16Le(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    const auto unit = [&bytes](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    };
    std::size_t i = bytes.substr(0, 2) == "\xFF\xFE" ? 2 : 0;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = 0xFFFD;
        AppendUtf8(out, cp);
    }
    return out;
}

// UTF-16LE text of Latin letters has a zero in most odd places; no 8-bit text has.
bool LooksUtf16Le(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE")
        return true;
    if (bytes.size() < 2)
        return false;
    std::size_t zeros = 0;
    for (std::size_t i = 1; i < bytes.size(); i += 2)
        zeros += bytes[i] == '\0';
    return zeros * 2 >= bytes.size() / 2;
}

} // namespace

ProgramStart ConsoleStart(std::string_view console, std::string_view drawing,
                          std::string_view script, std::string_view language) {
    ProgramStart start;
    start.program = std::string(console);
    start.arguments = {"/i", std::string(drawing), "/s", std::string(script)};
    if (!language.empty()) {
        start.arguments.push_back("/l");
        start.arguments.emplace_back(language);
    }
    return start;
}

std::string DecodeConsoleOutput(std::string_view bytes) {
    if (LooksUtf16Le(bytes))
        return FromUtf16Le(bytes);
    if (IsUtf8(bytes))
        return std::string(bytes);
    return FromAnsi(bytes);
}

} // namespace pilotrame
