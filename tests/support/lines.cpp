#include "support/lines.h"

#include <gtest/gtest.h>

namespace pilotrame::test {

std::vector<std::string> SplitLines(std::string_view script) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < script.size()) {
        const auto end = script.find("\r\n", start);
        if (end == std::string_view::npos) {
            ADD_FAILURE() << "text does not end with CR LF";
            out.emplace_back(script.substr(start));
            break;
        }
        out.emplace_back(script.substr(start, end - start));
        start = end + 2;
    }
    for (const auto& line : out)
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "lone line break in " << line;
    return out;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines)
        out += line + "\r\n";
    return out;
}

} // namespace pilotrame::test
