#include "base/codepage.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

struct Case {
    const char* utf8;
    const char* ansi;
};

TEST(CodePage, Utf8ToCp1252MapsWesternCharactersAndSubstitutesTheRest) {
    const Case cases[] = {
        {"plan", "plan"},
        {"Présentation1", "Pr\xE9sentation1"},
        {"\xE2\x82\xAC", "\x80"},     // euro sign
        {"\xC5\x93uvre", "\x9Cuvre"}, // oe ligature
        {"\xE6\xBC\xA2", "?"},        // a CJK ideograph has no byte
        {"\xF0\x9F\x98\x80", "?"},    // an emoji neither
        {"a\xFF"
         "b",
         "a?b"},            // malformed UTF-8 byte
        {"\xC3", "?"},      // truncated sequence
        {"\xC0\xAF", "??"}, // overlong form is refused byte by byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.ansi) << c.utf8;
        EXPECT_EQ(ToAnsi(c.utf8), c.ansi) << c.utf8;
    }
}

TEST(CodePage, EveryCp1252ByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
    EXPECT_EQ(FromAnsi(all), utf8);
    EXPECT_EQ(ToAnsi(utf8), all);
}

TEST(CodePage, DecodesAccentsToUtf8) {
    EXPECT_EQ(Cp1252ToUtf8("S\xE9lection \x80"), "Sélection €");
    EXPECT_EQ(FromAnsi(std::string("a\0b", 3)), std::string("a\0b", 3));
}

// The first character a box or cell cannot hand to AutoCAD, named as the user typed it.
TEST(CodePage, FindsTheFirstCharacterOutsideTheCodePage) {
    struct Sample {
        std::string text;
        std::string character; // empty: every character fits
    };
    const Sample cases[] = {
        {"", ""},
        {"plan 01", ""},
        {"Façade œuvre € Ÿ", ""},
        {"a☺b✓", "☺"},
        {"é✓☺", "✓"},
        {"Ω", "Ω"},
        {"😀 plan", "😀"},       // beyond the 16-bit range
        {"e\u0301", "\u0301"}, // a combining accent, not the letter é
        {"ab\xff", "\uFFFD"},  // a byte that is not UTF-8
        {"ab\xC3", "\uFFFD"},  // a character cut short
        {"\xC2\x81", ""},      // a byte the code page leaves undefined round-trips
    };
    for (const Sample& c : cases) {
        EXPECT_EQ(FirstCharacterOutsideAnsi(c.text), c.character) << c.text;
        EXPECT_EQ(FitsAnsi(c.text), c.character.empty()) << c.text;
        const Status checked = CheckFitsAnsi(c.text, "Calque");
        ASSERT_EQ(checked.ok(), c.character.empty()) << c.text;
        if (!checked) {
            EXPECT_EQ(checked.error().cause, Cause::NotInCodePage);
            EXPECT_EQ(checked.error().detail, "Calque");
            EXPECT_EQ(checked.error().text, c.character);
        }
    }
}

} // namespace
} // namespace pilotrame
