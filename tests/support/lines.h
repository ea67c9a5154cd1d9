#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pilotrame::test {

// The lines of a CR LF text; fails the test when a line break is not CR LF or the text does not
// end with one.
std::vector<std::string> SplitLines(std::string_view script);

// The lines joined, each followed by CR LF.
std::string Joined(const std::vector<std::string>& lines);

} // namespace pilotrame::test
