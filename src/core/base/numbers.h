#pragma once

#include "base/result.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace pilotrame {

// The range of the boxes that hold whole numbers in 16 bits, as the earlier tools kept them.
inline constexpr std::int64_t kInt16Min = std::numeric_limits<std::int16_t>::min();
inline constexpr std::int64_t kInt16Max = std::numeric_limits<std::int16_t>::max();

// A number typed by the user: optional spaces around it, an optional sign, digits with at most
// one decimal separator (the user's own or a full stop) and an optional exponent. Nothing else.
std::optional<double> ParseNumber(std::string_view text, char userDecimalSeparator);

// A number as a script writes it: full stop, no leading zero before it (".5", "-.25"), at most
// 15 significant digits, exponent form ("1E+16") only for very large or very small values.
std::string FormatNumber(double value);

// Decimal integer text with an optional sign and spaces around it; nullopt when not an integer
// or beyond the range of a 64-bit integer.
std::optional<std::int64_t> ParseInteger(std::string_view text);

// A box holding a whole number of the signed 16-bit range, as ParseInteger reads it. Digits
// alone are a number however many there are: too many make it OutOfRange, not NotANumber.
Result<std::int16_t> ReadShortBox(std::string_view text, BoxRef box);

// A box holding any number as ParseNumber reads it, rounded to a whole one (a half to the even
// neighbour, as these boxes always rounded), which must be in the signed 16-bit range.
Result<std::int16_t> ReadRoundedShortBox(std::string_view text, BoxRef box,
                                         char userDecimalSeparator);

// Seconds as the journal, the window and the command line show a drawing's time: one decimal,
// after a comma ("3,2"); a negative time is 0.
std::string SecondsText(double seconds);

// A time as a clock shows it, "00:01:23", to the nearest second; a negative time is 0.
std::string ClockText(double seconds);

} // namespace pilotrame
