#include "base/numbers.h"

#include <gtest/gtest.h>

namespace pilotrame {
namespace {

TEST(Numbers, ParseAcceptsTheUsersSeparatorAndTheFullStop) {
    struct Case {
        const char* text;
        char separator;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"0", ',', 0.0},
        {"10", ',', 10.0},
        {"0,5", ',', 0.5},
        {"0.5", ',', 0.5},
        {"5.5", '.', 5.5},
        {" -0,25 ", ',', -0.25},
        {"+3", '.', 3.0},
        {",5", ',', 0.5},
        {"1e3", '.', 1000.0},
        {"2,5E-1", ',', 0.25},
        {"1,5", '.', std::nullopt}, // a comma is no separator for this user
        {"", ',', std::nullopt},
        {"   ", ',', std::nullopt},
        {"abc", ',', std::nullopt},
        {"1.2.3", '.', std::nullopt},
        {"1e", '.', std::nullopt},
        {"-", '.', std::nullopt},
        {"12abc", '.', std::nullopt},
        {"1e999", '.', std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseNumber(c.text, c.separator), c.expected) << '"' << c.text << '"';
}

TEST(Numbers, FormatIsInvariantWithoutLeadingZero) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {0.5, ".5"},
        {-0.25, "-.25"},
        {10.0, "10"},
        {5.5, "5.5"},
        {-12.75, "-12.75"},
        {0.1 + 0.2, ".3"},
        {1e16, "1E+16"},
        {1e-5, "1E-05"},
        {0.0001, ".0001"},
        {123456.789, "123456.789"},
        {100000000000000.0, "100000000000000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatNumber(c.value), c.text) << c.value;
}

TEST(Numbers, ParseInteger) {
    EXPECT_EQ(ParseInteger("0"), 0);
    EXPECT_EQ(ParseInteger(" 12 "), 12);
    EXPECT_EQ(ParseInteger("-1"), -1);
    EXPECT_EQ(ParseInteger("+7"), 7);
    EXPECT_EQ(ParseInteger(""), std::nullopt);
    EXPECT_EQ(ParseInteger("1.5"), std::nullopt);
    EXPECT_EQ(ParseInteger("+-1"), std::nullopt);
    EXPECT_EQ(ParseInteger("True"), std::nullopt);
    EXPECT_EQ(ParseInteger("99999999999999999999"), std::nullopt);
}

// What a box read as a number gives: the value, or the error's kind and code.
struct BoxCase {
    const char* text;
    std::optional<std::int16_t> value;
    Cause cause = Cause::System;
};

void ExpectBox(const Result<std::int16_t>& read, const BoxCase& c) {
    if (c.value) {
        ASSERT_TRUE(read) << '"' << c.text << '"';
        EXPECT_EQ(*read, *c.value) << '"' << c.text << '"';
        return;
    }
    ASSERT_FALSE(read) << '"' << c.text << '"';
    EXPECT_EQ(read.error().cause, c.cause) << '"' << c.text << '"';
    EXPECT_EQ(read.error().code,
              c.cause == Cause::OutOfRange ? ErrorCode::Overflow : ErrorCode::TypeMismatch)
        << '"' << c.text << '"';
    EXPECT_EQ(read.error().box, BoxRef(Box::RowStep));
    EXPECT_EQ(read.error().text, c.text);
    EXPECT_TRUE(read.error().path.empty());
}

TEST(Numbers, ShortBoxTakesWholeNumbersOf16Bits) {
    const BoxCase cases[] = {
        {"0", 0},
        {" 25 ", 25},
        {"+7", 7},
        {"-0", 0},
        {"32767", 32767},
        {"-32768", -32768},
        {"32768", std::nullopt, Cause::OutOfRange},
        {"-32769", std::nullopt, Cause::OutOfRange},
        // Digits alone are a number, only one far too large.
        {"99999999999999999999999", std::nullopt, Cause::OutOfRange},
        {"-99999999999999999999999", std::nullopt, Cause::OutOfRange},
        {"", std::nullopt, Cause::NotANumber},
        {"   ", std::nullopt, Cause::NotANumber},
        {"-", std::nullopt, Cause::NotANumber},
        {"2.5", std::nullopt, Cause::NotANumber},
        {"1e2", std::nullopt, Cause::NotANumber},
        {"+-3", std::nullopt, Cause::NotANumber},
        {"4 0", std::nullopt, Cause::NotANumber},
        {"dix", std::nullopt, Cause::NotANumber},
    };
    for (const BoxCase& c : cases)
        ExpectBox(ReadShortBox(c.text, Box::RowStep), c);
}

TEST(Numbers, RoundedShortBoxRoundsHalvesToEven) {
    const BoxCase cases[] = {
        {"3", 3},
        {" 2,4 ", 2},
        {"2,5", 2},
        {"3,5", 4},
        {"2.6", 3},
        {"-0,4", 0},
        {"-2,5", -2},
        {"-1", -1},
        {"1e2", 100},
        {"32767,4", 32767},
        {"32767,5", std::nullopt, Cause::OutOfRange},
        {"-32768,5", -32768},
        {"-32769", std::nullopt, Cause::OutOfRange},
        {"1e300", std::nullopt, Cause::OutOfRange},
        {"", std::nullopt, Cause::NotANumber},
        {"2a", std::nullopt, Cause::NotANumber},
        {"1 000", std::nullopt, Cause::NotANumber},
    };
    for (const BoxCase& c : cases)
        ExpectBox(ReadRoundedShortBox(c.text, Box::RowStep, ','), c);
    // The separator is the user's: a comma is no separator where it is a full stop.
    ExpectBox(ReadRoundedShortBox("3,5", Box::RowStep, '.'),
              {"3,5", std::nullopt, Cause::NotANumber});
}

} // namespace
} // namespace pilotrame
