#include "common/appdir.h"
#include "common/dates.h"
#include "common/functions.h"
#include "framework/reportbridge.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelo;

namespace {

TEST(ReportBridge, PositionalParameterStrings) {
    struct Case {
        QStringList values;
        bool trailingBlank;
        const char *expected;
    };
    const Case cases[] = {
        {{"20240101", "20240131"}, false, "/rp [20240101] [20240131]"},
        {{"20240131", ""}, false, "/rp [20240131] []"},
        {{"20240131"}, true, "/rp [20240131] "},
        {{"20240131"}, false, "/rp [20240131]"},
        // Values go in verbatim: blanks, brackets and Korean words.
        {{"a]b", "[c", " 가족호텔 "}, false, "/rp [a]b] [[c] [ 가족호텔 ]"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PositionalParams(c.values, c.trailingBlank), QString::fromUtf8(c.expected))
            << c.values.join(u',').toStdString();
}

TEST(ReportBridge, NamedParameterStrings) {
    EXPECT_EQ(NamedParams({{"AFromDate", "20240101"}, {"AToDATE", "20240131"}}),
              QStringLiteral("/rv  AFromDate[20240101]AToDATE[20240131] /reditmode"));
    EXPECT_EQ(NamedParams({{"ATASK_DATE", "20240101"}, {"ADEPT_ITEM1", ""}}),
              QStringLiteral("/rv  ATASK_DATE[20240101]ADEPT_ITEM1[] /reditmode"));
    EXPECT_EQ(NamedParams({{"AUPJANG_CODE", "1]0["}}),
              QStringLiteral("/rv  AUPJANG_CODE[1]0[] /reditmode"));
}

TEST(ReportBridge, ParametersPassTheSystemCodePage) {
    EXPECT_EQ(ViewerParams(QStringLiteral("/rp [가족호텔] [유스호스텔]")),
              QStringLiteral("/rp [가족호텔] [유스호스텔]"));
    // A character the code page lacks arrives as '?'.
    EXPECT_EQ(ViewerParams(QStringLiteral("/rp [กa]")), QStringLiteral("/rp [?a]"));
}

TEST(ReportBridge, LocationsOnTheThreeServers) {
    QTemporaryDir dir;
    const QString previous = AppDir();
    SetAppDir(dir.path());
    const QString name = QStringLiteral("영업현황일보(총괄)");
    EXPECT_EQ(MainLocation(name),
              QStringLiteral("http://127.0.0.1:8080/REPORT/경영정보관리/영업현황일보(총괄).mrd"));
    QFile ini(dir.filePath(QStringLiteral("Kelo_S.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[ReportServer]\nMain=http://10.0.0.1:8001\nSecond=http://10.0.0.2\n"
              "Third=http://10.0.0.3:8003\n");
    ini.close();
    EXPECT_EQ(MainLocation(name),
              QStringLiteral("http://10.0.0.1:8001/REPORT/경영정보관리/영업현황일보(총괄).mrd"));
    EXPECT_EQ(SecondLocation(name),
              QStringLiteral("http://10.0.0.2\\REPORT\\경영정보관리/영업현황일보(총괄).mrd"));
    EXPECT_EQ(ThirdLocation(name),
              QStringLiteral("http://10.0.0.3:8003/REPORT/경영정보관리/영업현황일보(총괄).mrd"));
    SetAppDir(previous);
}

TEST(ReportBridge, StepMonth) {
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

TEST(ReportBridge, DateTextsOfTheParameters) {
    EXPECT_EQ(ShiftDays(QStringLiteral("20240301"), -1), QStringLiteral("20240229"));
    EXPECT_EQ(ShiftDays(QStringLiteral("20231231"), 1), QStringLiteral("20240101"));
    EXPECT_EQ(ShiftDays(QString(), -1, QStringLiteral("kept")), QStringLiteral("kept"));
    EXPECT_EQ(ShiftDays(QStringLiteral("20261210"), 0), QStringLiteral("20261210"));
    EXPECT_EQ(DisplayToYmd(QStringLiteral("2024-02-30")), QStringLiteral("2024-02-30"));
    EXPECT_EQ(YmdToDisplay(QStringLiteral("20241301")), QStringLiteral("20241301"));
}

} // namespace
