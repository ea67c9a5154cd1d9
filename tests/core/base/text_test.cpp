#include "base/text.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

TEST(Text, TrimSpacesRemovesOnlySpaces) {
    EXPECT_EQ(TrimSpaces("  A4  "), "A4");
    EXPECT_EQ(TrimSpaces("\tA4 "), "\tA4");
    EXPECT_EQ(TrimSpaces("      "), "");
    EXPECT_EQ(TrimSpaces(std::string_view("\0\0 ", 3)), std::string_view("\0\0", 2));
}

TEST(Text, CaseInsensitiveComparisonIsAsciiOnly) {
    EXPECT_TRUE(EqualsIgnoringCase("TRUE", "true"));
    EXPECT_FALSE(EqualsIgnoringCase("True", "Tru"));
    EXPECT_EQ(FindIgnoringCase("PLAN.DWG", ".dwg"), 4u);
    EXPECT_EQ(FindIgnoringCase("a.dwg.dwg", ".DWG"), 1u);
    EXPECT_EQ(FindIgnoringCase("plan.dxf", ".dwg"), std::string_view::npos);
    EXPECT_EQ(FindIgnoringCase("dw", ".dwg"), std::string_view::npos);
}

TEST(Text, LineBreakConversions) {
    EXPECT_EQ(ToCrLf("zoom\net\n"), "zoom\r\net\r\n");
    EXPECT_EQ(ToCrLf("a\r\nb\rc"), "a\r\nb\r\nc");
    EXPECT_EQ(ToCrLf("\n\n"), "\r\n\r\n");
    EXPECT_EQ(ToLf("zoom\r\net\r\n"), "zoom\net\n");
    EXPECT_EQ(ToLf("a\rb"), "a\rb");
}

TEST(Text, SplitKeepsLoneBreaksInsideTheirLine) {
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines("\r\n"), Lines{""});
    EXPECT_EQ(SplitLines("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitLines("a\nb\r\nc\rd\r\n"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(SplitLines("a\n\nb\r\rc\n\r"), (Lines{"a", "", "b", "", "c", ""}));
}

TEST(Text, ControlCharacters) {
    EXPECT_FALSE(HasControlCharacter("plan é.dwg"));
    EXPECT_TRUE(HasControlCharacter("a\nb"));
    EXPECT_TRUE(HasControlCharacter("a\tb"));
    EXPECT_TRUE(HasControlCharacter("a\x7F"));
}

// Names are looked at eight bytes at a time: every byte, at every place of a word and of the
// bytes after the last whole word, among plain letters and among accented ones.
TEST(Text, ControlCharactersAnywhereInALongName) {
    for (const char filler : {'a', '\xE9', '\x80', '\x7E', '\x20'}) {
        for (int byte = 0; byte < 256; ++byte) {
            const bool control = byte < 0x20 || byte == 0x7F;
            for (std::size_t at = 0; at < 19; ++at) {
                std::string name(19, filler);
                name[at] = static_cast<char>(byte);
                ASSERT_EQ(HasControlCharacter(name), control)
                    << "byte " << byte << " at " << at << " among " << int(filler);
            }
        }
    }
}

} // namespace
} // namespace pilotrame
