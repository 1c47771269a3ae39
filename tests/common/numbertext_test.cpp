#include "common/numbertext.h"

#include <gtest/gtest.h>

using namespace kelo;

TEST(NumberText, DatabaseNumberToTextRule) {
    const struct {
        double value;
        const char *text;
    } cases[] = {
        {1500.0, "1500"},
        {0.5, ".5"},
        {-0.5, "-.5"},
        {12.5, "12.5"},
        {0, "0"},
        {-0.0, "0"},
        {0.1 + 0.2, ".3"},
        {1e15, "1000000000000000"},
        {0.000001, ".000001"},
        {123456789.125, "123456789.125"},
        {-1500, "-1500"},
        {100, "100"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(NumberToText(c.value).toStdString(), c.text) << c.value;
}

TEST(NumberText, RoundsHalfAwayFromZeroOnDecimalDigits) {
    const struct {
        double value;
        int decimals;
        double expected;
    } cases[] = {
        {2.5, 0, 3},        {-2.5, 0, -3},    {2.675, 2, 2.68}, {1.005, 2, 1.01},
        {1234.5, -2, 1200}, {1250, -2, 1300}, {0.049, 1, 0},    {0.05, 1, 0.1},
        {99.95, 1, 100},    {-0.5, 0, -1},    {0.4, 0, 0},      {1e20, 2, 1e20},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(RoundHalfAway(c.value, c.decimals), c.expected)
            << c.value << " to " << c.decimals;
    EXPECT_DOUBLE_EQ(TruncDecimals(2.679, 2), 2.67);
    EXPECT_DOUBLE_EQ(TruncDecimals(-2.679, 0), -2);
    EXPECT_DOUBLE_EQ(TruncDecimals(1299, -2), 1200);
}

TEST(NumberText, ParseNumberIsTolerantOfBlanksOnly) {
    bool ok = false;
    EXPECT_DOUBLE_EQ(ParseNumber(" 12.5 ", &ok), 12.5);
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(ParseNumber(".5", &ok), 0.5);
    EXPECT_DOUBLE_EQ(ParseNumber("12a", &ok), 0);
    EXPECT_FALSE(ok);
}
