#include "base/numbers.h"

#include "base/text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace pilotrame {

std::optional<double> parseNumber(std::string_view text, char userDecimalSeparator) {
    const std::string_view trimmed = trimSpaces(text);
    std::string normalised;
    normalised.reserve(trimmed.size());
    std::size_t i = 0;
    if (i < trimmed.size() && (trimmed[i] == '+' || trimmed[i] == '-')) {
        if (trimmed[i] == '-')
            normalised += '-';
        ++i;
    }
    bool digits = false;
    bool separator = false;
    for (; i < trimmed.size(); ++i) {
        const char c = trimmed[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            normalised += c;
        } else if ((c == '.' || c == userDecimalSeparator) && !separator) {
            separator = true;
            normalised += '.';
        } else {
            break;
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < trimmed.size() && (trimmed[i] == 'e' || trimmed[i] == 'E')) {
        normalised += 'e';
        ++i;
        if (i < trimmed.size() && (trimmed[i] == '+' || trimmed[i] == '-'))
            normalised += trimmed[i++];
        bool exponentDigits = false;
        for (; i < trimmed.size() && trimmed[i] >= '0' && trimmed[i] <= '9'; ++i) {
            exponentDigits = true;
            normalised += trimmed[i];
        }
        if (!exponentDigits)
            return std::nullopt;
    }
    if (i != trimmed.size())
        return std::nullopt;
    double value = 0;
    const char* begin = normalised.data();
    const char* end = begin + normalised.size();
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string formatNumber(double value) {
    if (value == 0 || !std::isfinite(value))
        return "0";
    char buffer[64];
    const auto [ptr, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, ec == std::errc() ? ptr : buffer);
    // "1e+16" -> "1E+16"; "1e-05" -> "1E-05"
    if (const auto e = text.find('e'); e != std::string::npos)
        text[e] = 'E';
    if (text.rfind("0.", 0) == 0)
        text.erase(0, 1);
    else if (text.rfind("-0.", 0) == 0)
        text.erase(1, 1);
    return text;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    std::string_view trimmed = trimSpaces(text);
    if (!trimmed.empty() && trimmed.front() == '+')
        trimmed.remove_prefix(1);
    if (trimmed.empty() || trimmed.front() == '+' ||
        (trimmed.front() == '-' && text.find('+') != text.npos))
        return std::nullopt;
    std::int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    if (ec != std::errc() || ptr != trimmed.data() + trimmed.size())
        return std::nullopt;
    return value;
}

} // namespace pilotrame
