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
        EXPECT_EQ(parseNumber(c.text, c.separator), c.expected) << '"' << c.text << '"';
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
        EXPECT_EQ(formatNumber(c.value), c.text) << c.value;
}

TEST(Numbers, ParseInteger) {
    EXPECT_EQ(parseInteger("0"), 0);
    EXPECT_EQ(parseInteger(" 12 "), 12);
    EXPECT_EQ(parseInteger("-1"), -1);
    EXPECT_EQ(parseInteger("+7"), 7);
    EXPECT_EQ(parseInteger(""), std::nullopt);
    EXPECT_EQ(parseInteger("1.5"), std::nullopt);
    EXPECT_EQ(parseInteger("+-1"), std::nullopt);
    EXPECT_EQ(parseInteger("True"), std::nullopt);
    EXPECT_EQ(parseInteger("99999999999999999999"), std::nullopt);
}

} // namespace
} // namespace pilotrame
