#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pilotrame {

// A number typed by the user: optional spaces around it, an optional sign, digits with at most
// one decimal separator (the user's own or a full stop) and an optional exponent. Nothing else.
std::optional<double> parseNumber(std::string_view text, char userDecimalSeparator);

// A number as a script writes it: full stop, no leading zero before it (".5", "-.25"), at most
// 15 significant digits, exponent form ("1E+16") only for very large or very small values.
std::string formatNumber(double value);

// Decimal integer text with an optional sign and spaces around it; nullopt when not an integer
// or beyond the range of a 64-bit integer.
std::optional<std::int64_t> parseInteger(std::string_view text);

} // namespace pilotrame
