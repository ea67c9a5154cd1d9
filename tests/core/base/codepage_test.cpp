#include "base/codepage.h"

#include <gtest/gtest.h>

#include <iterator>

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

// Long texts are converted a block at a time: a character cut by the end of a block, at any
// place, converts as it does alone, and ASCII runs copied eight bytes at a time stop at the
// first byte that is not ASCII.
TEST(CodePage, LongTextsConvertAsTheirCharactersDoAlone) {
    const std::string characters[] = {
        "a", "é", "€", "\xE6\xBC\xA2", "\xF0\x9F\x98\x80", "\xFF", "\xC3", "\x7F", "ÿ", "Œ"};
    for (std::size_t shift = 0; shift < 12; ++shift) {
        std::string utf8(shift, 'x');
        std::string ansi(shift, 'x');
        for (int i = 0; i < 700; ++i) {
            const std::string& character = characters[(i * 7 + shift) % std::size(characters)];
            utf8 += character;
            ansi += Utf8ToCp1252(character);
        }
        ASSERT_EQ(Utf8ToCp1252(utf8), ansi) << shift;
        std::string appended = "début ";
        AppendToAnsi(appended, utf8);
        EXPECT_EQ(appended, "début " + ToAnsi(utf8));
    }
    std::string bytes;
    std::string utf8;
    for (int round = 0; round < 9; ++round) {
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<char>((b * 37 + round) % 256);
            bytes += byte;
            utf8 += Cp1252ToUtf8(std::string(1, byte));
        }
    }
    EXPECT_EQ(Cp1252ToUtf8(bytes), utf8);
    std::string appended = "é";
    AppendFromAnsi(appended, bytes);
    EXPECT_EQ(appended, "é" + FromAnsi(bytes));
}

TEST(CodePage, AsciiPrefixStopsAtTheFirstHighByte) {
    for (std::size_t at = 0; at < 20; ++at) {
        std::string text(20, 'a');
        text[at] = '\xC3';
        EXPECT_EQ(AsciiPrefixLength(text), at);
    }
    EXPECT_EQ(AsciiPrefixLength(std::string(21, 'a')), 21u);
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
        const Status checked = CheckFitsAnsi(c.text, Box::ErasedLayer);
        ASSERT_EQ(checked.ok(), c.character.empty()) << c.text;
        if (!checked) {
            EXPECT_EQ(checked.error().cause, Cause::NotInCodePage);
            EXPECT_EQ(checked.error().box, BoxRef(Box::ErasedLayer));
            EXPECT_EQ(checked.error().text, c.character);
        }
    }
}

} // namespace
} // namespace pilotrame
