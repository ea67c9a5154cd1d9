#include "base/utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace pilotrame {
namespace {

std::vector<char32_t> Decode(std::string_view text) {
    std::vector<char32_t> out;
    std::size_t i = 0;
    while (i < text.size())
        out.push_back(NextCodePoint(text, i));
    return out;
}

// Every malformed byte reads as one invalid character and the reading goes on at the next byte,
// so that the three readers built on it (code page, folder walk, job file) agree on a name.
TEST(Utf8, DecodesWellFormedSequencesAndStepsOverEachBadByte) {
    constexpr char32_t bad = kInvalidCodePoint;
    struct Case {
        std::string text;
        std::vector<char32_t> expected;
    };
    const Case cases[] = {
        {"plan", {'p', 'l', 'a', 'n'}},
        {"\xC3\xA9t\xC3\xA9", {0xE9, 't', 0xE9}},
        {"\xE2\x82\xAC", {0x20AC}},
        {"\xF0\x9F\x98\x80", {0x1F600}},
        {"\xC3", {bad}},                            // cut short
        {"\xC3(", {bad, '('}},                      // a lead without its follower
        {"\x80", {bad}},                            // a follower alone
        {"\xC0\xAF", {bad, bad}},                   // overlong "/"
        {"\xE0\x80\xAF", {bad, bad, bad}},          // overlong, three bytes
        {"\xED\xA0\x80", {bad, bad, bad}},          // a surrogate
        {"\xF4\x90\x80\x80", {bad, bad, bad, bad}}, // past U+10FFFF
        {"\xFF"
         "a",
         {bad, 'a'}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Decode(c.text), c.expected) << c.text;
        EXPECT_EQ(IsUtf8(c.text),
                  std::find(c.expected.begin(), c.expected.end(), bad) == c.expected.end())
            << c.text;
    }
}

TEST(Utf8, WritesWhatItReads) {
    for (const char32_t cp :
         {char32_t{0}, char32_t{0x7F}, char32_t{0x80}, char32_t{0x7FF}, char32_t{0x800},
          char32_t{0xFFFF}, char32_t{0x10000}, char32_t{0x10FFFF}}) {
        std::string text;
        AppendUtf8(text, cp);
        std::size_t i = 0;
        EXPECT_EQ(NextCodePoint(text, i), cp);
        EXPECT_EQ(i, text.size());
    }
}

} // namespace
} // namespace pilotrame
