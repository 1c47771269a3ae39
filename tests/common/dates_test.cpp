#include "common/dates.h"
#include "common/functions.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace kelo;

namespace {

TEST(MonthAndDayTexts, StepMonth) {
    struct Case {
        const char *month;
        int direction;
        const char *expected;
    };
    const Case cases[] = {
        {"202401", -1, "202312"},
        {"202312", 1, "202401"},
        {"202406", -1, "202405"},
        {"202406", 1, "202407"},
        {" 202403 ", 1, "202404"},
        {"20240315", -1, "202402"}, // a longer text counts by its first six characters
    };
    for (const Case &c : cases)
        EXPECT_EQ(StepMonth(QLatin1String(c.month), c.direction), QLatin1String(c.expected))
            << c.month;
    // An empty edit steps from this month (December 2026 by the tests' clock).
    EXPECT_EQ(StepMonth(QStringLiteral("  "), 1), QStringLiteral("202701"));
    EXPECT_EQ(StepMonth(QString(), -1), QStringLiteral("202611"));
    // Year or month that is not a number: the conversion error.
    for (const char *bad : {"2024", "abcd01", "2024ab", "20"})
        EXPECT_THROW(StepMonth(QLatin1String(bad), 1), std::invalid_argument) << bad;
}

TEST(MonthAndDayTexts, DateTextsOfTheParameters) {
    EXPECT_EQ(ShiftDays(QStringLiteral("20240301"), -1), QStringLiteral("20240229"));
    EXPECT_EQ(ShiftDays(QStringLiteral("20231231"), 1), QStringLiteral("20240101"));
    EXPECT_EQ(ShiftDays(QString(), -1, QStringLiteral("kept")), QStringLiteral("kept"));
    EXPECT_EQ(ShiftDays(QStringLiteral("20261210"), 0), QStringLiteral("20261210"));
    EXPECT_EQ(DisplayToYmd(QStringLiteral("2024-02-30")), QStringLiteral("2024-02-30"));
    EXPECT_EQ(YmdToDisplay(QStringLiteral("20241301")), QStringLiteral("20241301"));
}

} // namespace
