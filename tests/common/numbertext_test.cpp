#include "common/numbertext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <regex>

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

TEST(NumberText, ExtremeValuesFitAndTakeTheScientificFormPastFortyCharacters) {
    const struct {
        double value;
        const char *text;
    } cases[] = {
        {1e80, "1E+80"},
        {-1.5e-300, "-1.5E-300"},
        {1e300, "1E+300"},
        {1e39, "1000000000000000000000000000000000000000"},
        {1e40, "1E+40"},
        {1.234e-38, "1.234E-38"},
        {1e-37, ".0000000000000000000000000000000000001"},
        {std::numeric_limits<double>::max(), "1.79769313486231E+308"},
        {-std::numeric_limits<double>::denorm_min(), "-4.94065645841247E-324"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(NumberToText(c.value).toStdString(), c.text) << c.value;
    EXPECT_EQ(NumberToText(std::numeric_limits<double>::infinity()), QString());
    EXPECT_EQ(NumberToText(std::numeric_limits<double>::quiet_NaN()), QString());
}

TEST(NumberText, ParseNumberRefusesWhatIsNotADecimalNumber) {
    for (const char *text :
         {"inf",    "-inf",  "INF", "infinity", "nan", "NaN", "-nan", "0x10", "1e400",
          "-1e400", "1e",    "e5",  ".",        "-",   "+",   "",     "  ",   "1.2.3",
          "1,000",  "1 000", "--1", "1e+",      "abc", "12a", "١٢"}) {
        bool ok = true;
        EXPECT_EQ(ParseNumber(QString::fromUtf8(text), &ok), 0) << text;
        EXPECT_FALSE(ok) << text;
    }
    const struct {
        const char *text;
        double value;
    } accepted[] = {{"+12", 12},       {"-.5", -0.5},      {"5.", 5},
                    {"1E3", 1000},     {"1e-400", 0},      {"-0", 0},
                    {" 1e+80 ", 1e80}, {"00012.50", 12.5}, {"1e-320", 1e-320}};
    for (const auto &c : accepted) {
        bool ok = false;
        EXPECT_EQ(ParseNumber(QString::fromLatin1(c.text), &ok), c.value) << c.text;
        EXPECT_TRUE(ok) << c.text;
    }
    // The largest double written out in full: 309 digits.
    bool ok = false;
    EXPECT_EQ(ParseNumber(QStringLiteral("17976931348623157") + QString(292, u'0'), &ok),
              std::numeric_limits<double>::max());
    EXPECT_TRUE(ok);
}

// Any double and any text: no crash, a text that always reads back, a refusal for
// everything that is not a decimal number.
TEST(NumberText, ConversionsHoldForRandomAndExtremeInput) {
    std::mt19937_64 random(20261210);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::max(),
                                  -std::numeric_limits<double>::max(),
                                  1e308,
                                  -1e308,
                                  0.1 + 0.2,
                                  1.0 / 3,
                                  123456789012345678.0,
                                  9007199254740993.0};
    for (int i = 0; i < 100000; ++i) {
        const uint64_t bits = random();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        values.push_back(v);
    }
    std::uniform_real_distribution<double> figure(-1e9, 1e9);
    for (int i = 0; i < 20000; ++i)
        values.push_back(std::round(figure(random) * 100) / 100);
    for (double v : values) {
        char buf[kNumberTextMax];
        const int n = NumberToChars(v, buf);
        ASSERT_LT(n, kNumberTextMax);
        ASSERT_EQ(int(std::strlen(buf)), n);
        if (!std::isfinite(v)) {
            EXPECT_EQ(n, 0);
            continue;
        }
        bool ok = false;
        const double back = ParseNumber(QString::fromLatin1(buf, n), &ok);
        ASSERT_TRUE(ok) << buf;
        // Fifteen significant digits: the text is stable and close to the value.
        EXPECT_EQ(NumberToText(back), QString::fromLatin1(buf, n)) << buf;
        if (std::fabs(v) >= std::numeric_limits<double>::min()) {
            EXPECT_LE(std::fabs(back - v), std::fabs(v) * 1e-14) << buf;
        }
    }

    const std::regex decimal(R"(^[ \t]*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?[ \t]*$)");
    const std::string alphabet = "0123456789.eE+- xainf,";
    std::uniform_int_distribution<int> length(0, 14), pick(0, int(alphabet.size()) - 1);
    for (int i = 0; i < 50000; ++i) {
        std::string text(size_t(length(random)), ' ');
        for (char &c : text)
            c = alphabet[size_t(pick(random))];
        bool ok = false;
        const double v = ParseNumber(QString::fromLatin1(text.c_str()), &ok);
        const bool wellFormed = std::regex_match(text, decimal);
        if (ok) {
            EXPECT_TRUE(wellFormed) << text;
            EXPECT_TRUE(std::isfinite(v)) << text;
        } else {
            EXPECT_EQ(v, 0) << text;
            // A well-formed text is refused only when it is out of range.
            if (wellFormed) {
                EXPECT_TRUE(std::isinf(std::strtod(text.c_str(), nullptr))) << text;
            }
        }
    }
}
