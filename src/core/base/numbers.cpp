#include "base/numbers.h"

#include "base/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace pilotrame {

namespace {

// Digits with an optional sign and spaces around them: a whole number, even one far too large
// for any integer type.
bool IsSignedDigits(std::string_view text) {
    text = TrimSpaces(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-'))
        text.remove_prefix(1);
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

double RoundHalfToEven(double value) {
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return whole;
}

} // namespace

std::optional<double> ParseNumber(std::string_view text, char userDecimalSeparator) {
    const std::string_view trimmed = TrimSpaces(text);
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

std::string FormatNumber(double value) {
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

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    std::string_view trimmed = TrimSpaces(text);
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

Result<std::int16_t> ReadShortBox(std::string_view text, BoxRef box) {
    const std::optional<std::int64_t> value = ParseInteger(text);
    if (!value)
        return BoxError(IsSignedDigits(text) ? Cause::OutOfRange : Cause::NotANumber, box, text);
    if (*value < kInt16Min || *value > kInt16Max)
        return BoxError(Cause::OutOfRange, box, text);
    return static_cast<std::int16_t>(*value);
}

Result<std::int16_t> ReadRoundedShortBox(std::string_view text, BoxRef box,
                                         char userDecimalSeparator) {
    const std::optional<double> number = ParseNumber(text, userDecimalSeparator);
    if (!number)
        return BoxError(Cause::NotANumber, box, text);
    const double whole = RoundHalfToEven(*number);
    if (whole < static_cast<double>(kInt16Min) || whole > static_cast<double>(kInt16Max))
        return BoxError(Cause::OutOfRange, box, text);
    return static_cast<std::int16_t>(whole);
}

std::string SecondsText(double seconds) {
    const long long tenths = std::llround(std::max(seconds, 0.0) * 10);
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10);
}

std::string ClockText(double seconds) {
    const long long whole = std::llround(std::max(seconds, 0.0));
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                  whole % 60);
    return text;
}

} // namespace pilotrame
