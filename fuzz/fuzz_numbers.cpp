// Coordinate and whole-number parsing: a number that parses is written in a form that parses back
// to the same value; integer text parses to the value its digits name.

#include "base/numbers.h"
#include "fuzzsupport.h"

#include <cmath>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pilotrame;
    if (size == 0)
        return 0;
    const char separator = static_cast<char>(data[0]);
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (const auto value = ParseNumber(text, separator); value && std::isfinite(*value)) {
        const std::string written = FormatNumber(*value);
        const auto back = ParseNumber(written, '.');
        if (!back)
            fuzz::Violated("a written number does not parse", written);
        const double scale = std::max(1.0, std::fabs(*value));
        if (std::fabs(*back - *value) > scale * 1e-14)
            fuzz::Violated("a written number parses to another value", written);
        if (written.find_first_of(", ") != std::string::npos)
            fuzz::Violated("a written number holds a comma or a space", written);
    }
    if (const auto integer = ParseInteger(text)) {
        const auto asNumber = ParseNumber(text, '.');
        if (!asNumber || *asNumber != static_cast<double>(*integer))
            fuzz::Violated("an integer is not the same number", text);
    }
    return 0;
}
