#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pilotrame::fuzz {

// Stops the run with a message: a property did not hold.
[[noreturn]] void Violated(std::string_view what, std::string_view detail = {});

// A folder of this process for the files a target reads and writes, made once.
const std::string& ScratchFolder();

// Splits fuzz input into fields at each byte 0xFF, so that one input drives several values.
class Fields {
public:
    Fields(const std::uint8_t* data, std::size_t size)
        : m_rest(reinterpret_cast<const char*>(data), size) {}
    // The next field, empty when none is left.
    std::string next();
    // The next field read as one flag byte (its low bit).
    bool flag();
    bool empty() const { return m_rest.empty(); }

private:
    std::string_view m_rest;
};

} // namespace pilotrame::fuzz
