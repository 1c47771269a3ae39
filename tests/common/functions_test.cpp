#include "common/functions.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace kelo;

namespace {

struct TextCase {
    const char *input;
    const char *expected;
};

void PrintTo(const TextCase &c, std::ostream *os) {
    *os << '"' << c.input << '"';
}

class DigitsOnlyTest : public ::testing::TestWithParam<TextCase> {};
TEST_P(DigitsOnlyTest, KeepsDigitsAndALeadingMinus) {
    EXPECT_EQ(DigitsOnly(QString::fromUtf8(GetParam().input)),
              QString::fromUtf8(GetParam().expected));
}
INSTANTIATE_TEST_SUITE_P(Cases, DigitsOnlyTest,
                         ::testing::Values(TextCase{"2003-05-01", "20030501"},
                                           TextCase{"-12,345", "-12345"}, TextCase{"1-2", "12"},
                                           TextCase{"--5", "-5"}, TextCase{"", ""},
                                           TextCase{"가1나2", "12"}, TextCase{" -5", "5"}));

class YmdToDisplayTest : public ::testing::TestWithParam<TextCase> {};
TEST_P(YmdToDisplayTest, FormsTheDashedDateOrGivesTheInputBack) {
    EXPECT_EQ(YmdToDisplay(QString::fromUtf8(GetParam().input)),
              QString::fromUtf8(GetParam().expected));
}
INSTANTIATE_TEST_SUITE_P(
    Cases, YmdToDisplayTest,
    ::testing::Values(TextCase{"20030230", "20030230"},     // 30 February does not exist
                      TextCase{"20040229", "2004-02-29"},   // leap year
                      TextCase{"20030229", "20030229"},     // not a leap year
                      TextCase{"19000229", "19000229"},     // century, not a leap year
                      TextCase{"20000229", "2000-02-29"},   // four hundred years
                      TextCase{"2003-05-01", "2003-05-01"}, // digits formed again
                      TextCase{"2003/12/31", "2003-12-31"}, TextCase{"00000101", "00000101"},
                      TextCase{"2003051", "2003051"}, TextCase{"", ""},
                      TextCase{"-20030501", "-20030501"}));

class DisplayToYmdTest : public ::testing::TestWithParam<TextCase> {};
TEST_P(DisplayToYmdTest, TakesOnlyTenCharacterValidDates) {
    EXPECT_EQ(DisplayToYmd(QString::fromUtf8(GetParam().input)),
              QString::fromUtf8(GetParam().expected));
}
INSTANTIATE_TEST_SUITE_P(
    Cases, DisplayToYmdTest,
    ::testing::Values(TextCase{"2003-05-01", "20030501"}, TextCase{"2003-5-1", "2003-5-1"},
                      TextCase{"2003-02-30", "2003-02-30"}, TextCase{"2003/05/01", "2003/05/01"},
                      TextCase{"20030501", "20030501"}, TextCase{"2004-02-29", "20040229"},
                      TextCase{"20a3-05-01", "20a3-05-01"}));

TEST(CommonFunctions, IsValidDate) {
    EXPECT_FALSE(IsValidDate("2003-13-01"));
    EXPECT_TRUE(IsValidDate("2003-12-01"));
    EXPECT_TRUE(IsValidDate("20031201"));
    EXPECT_FALSE(IsValidDate("20031232"));
    EXPECT_FALSE(IsValidDate(""));
}

TEST(CommonFunctions, WeekdayNameOfEightCharacterDatesOnly) {
    EXPECT_EQ(WeekdayName("20030105"), QStringLiteral("일요일"));
    EXPECT_EQ(WeekdayName("20030106"), QStringLiteral("월요일"));
    EXPECT_EQ(WeekdayName("20030111"), QStringLiteral("토요일"));
    EXPECT_EQ(WeekdayName("2003-01-05"), QString());
    EXPECT_EQ(WeekdayName("20030230"), QString());
    EXPECT_EQ(WeekdayNames[1], QStringLiteral("일요일"));
    EXPECT_EQ(WeekdayNames[7], QStringLiteral("토요일"));
}

TEST(CommonFunctions, StrToInt64Def0) {
    const struct {
        const char *text;
        int64_t expected;
    } cases[] = {
        {"   ", 0},
        {"12a", 0},
        {" 12", 12},
        {"12 ", 0},
        {"", 0},
        {"-42", -42},
        {"+7", 7},
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"9223372036854775808", 0}, // out of range
        {"1,000", 0},
        {"-", 0},
        {"\t12", 0}, // a tab is not a blank the conversion skips
    };
    for (const auto &c : cases)
        EXPECT_EQ(StrToInt64Def0(QString::fromUtf8(c.text)), c.expected) << '"' << c.text << '"';
}

TEST(CommonFunctions, EditStatusTexts) {
    EXPECT_EQ(EditStatusText(EditStatus::Unchanged), QStringLiteral("0"));
    EXPECT_EQ(EditStatusText(EditStatus::Changed), QStringLiteral("1"));
    EXPECT_EQ(EditStatusText(EditStatus::New), QStringLiteral("2"));
    EXPECT_EQ(EditStatusText(EditStatus::Deleted), QStringLiteral("3"));
}

// Today is the clock's date: KELO_NOW, fixed for the tests and changed by a test that needs
// another moment.
TEST(CommonFunctions, TodayYmdIsTheClocksValidDate) {
    const QString today = TodayYmd();
    EXPECT_EQ(today.size(), 8);
    EXPECT_TRUE(IsValidDate(today));
    EXPECT_EQ(today, QStringLiteral("20261210"));
    const QByteArray fixed = qgetenv("KELO_NOW");
    for (const auto &[now, ymd] :
         {std::pair{"20240229235959", "20240229"}, std::pair{"20250101", "20250101"}}) {
        qputenv("KELO_NOW", now);
        EXPECT_EQ(TodayYmd(), QLatin1String(ymd)) << now;
    }
    qputenv("KELO_NOW", fixed);
    EXPECT_EQ(TodayYmd(), QStringLiteral("20261210"));
}

TEST(CommonFunctions, ClientIpIsDottedOrEmpty) {
    const QString ip = GetClientIP();
    if (!ip.isEmpty()) {
        EXPECT_TRUE(
            QRegularExpression(QStringLiteral("^\\d{1,3}(\\.\\d{1,3}){3}$")).match(ip).hasMatch())
            << ip.toStdString();
    }
}

} // namespace
