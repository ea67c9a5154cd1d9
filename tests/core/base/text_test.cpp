#include "base/text.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

TEST(Text, TrimSpacesRemovesOnlySpaces) {
    EXPECT_EQ(trimSpaces("  A4  "), "A4");
    EXPECT_EQ(trimSpaces("\tA4 "), "\tA4");
    EXPECT_EQ(trimSpaces("      "), "");
    EXPECT_EQ(trimSpaces(std::string_view("\0\0 ", 3)), std::string_view("\0\0", 2));
}

TEST(Text, CaseInsensitiveComparisonIsAsciiOnly) {
    EXPECT_TRUE(equalsIgnoringCase("TRUE", "true"));
    EXPECT_FALSE(equalsIgnoringCase("True", "Tru"));
    EXPECT_EQ(findIgnoringCase("PLAN.DWG", ".dwg"), 4u);
    EXPECT_EQ(findIgnoringCase("a.dwg.dwg", ".DWG"), 1u);
    EXPECT_EQ(findIgnoringCase("plan.dxf", ".dwg"), std::string_view::npos);
    EXPECT_EQ(findIgnoringCase("dw", ".dwg"), std::string_view::npos);
}

TEST(Text, LineBreakConversions) {
    EXPECT_EQ(toCrLf("zoom\net\n"), "zoom\r\net\r\n");
    EXPECT_EQ(toCrLf("a\r\nb\rc"), "a\r\nb\r\nc");
    EXPECT_EQ(toCrLf("\n\n"), "\r\n\r\n");
    EXPECT_EQ(toLf("zoom\r\net\r\n"), "zoom\net\n");
    EXPECT_EQ(toLf("a\rb"), "a\rb");
}

TEST(Text, SplitKeepsLoneBreaksInsideTheirLine) {
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(splitCrLfLines(""), Lines{});
    EXPECT_EQ(splitCrLfLines("\r\n"), Lines{""});
    EXPECT_EQ(splitCrLfLines("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(splitCrLfLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(splitCrLfLines("a\nb\r\nc\rd\r\n"), (Lines{"a\nb", "c\rd"}));
    EXPECT_EQ(splitCrLfLines("\r\n\r\n"), (Lines{"", ""}));
}

TEST(Text, ControlCharacters) {
    EXPECT_FALSE(hasControlCharacter("plan é.dwg"));
    EXPECT_TRUE(hasControlCharacter("a\nb"));
    EXPECT_TRUE(hasControlCharacter("a\tb"));
    EXPECT_TRUE(hasControlCharacter("a\x7F"));
}

} // namespace
} // namespace pilotrame
