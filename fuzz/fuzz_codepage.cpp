// The ANSI conversion: any bytes of the code page come back unchanged through UTF-8, and UTF-8
// text that fits the code page comes back unchanged through it.

#include "base/codepage.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pilotrame;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string utf8 = FromAnsi(bytes);
    if (ToAnsi(utf8) != bytes)
        fuzz::Violated("code-page bytes do not round-trip");
    const std::string ansi = ToAnsi(bytes);
    if (FitsAnsi(bytes) && FromAnsi(ansi) != bytes)
        fuzz::Violated("text that fits the code page changed");
    if (ansi.size() > bytes.size())
        fuzz::Violated("conversion to the code page grew the text");
    return 0;
}
