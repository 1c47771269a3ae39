#include "database/masking.h"
#include "database/schema.h"
#include "database/serverfunctions.h"
#include "db/query.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/schema_database.h"

using namespace kelo;

namespace {

TEST(Masking, PersonalDataRules) {
    const struct {
        const char *input, *shown;
    } cases[] = {
        {"800101-1234567", "800101-1******"},
        {"8001011234567", "8001011******"},
        {"010-1234-5678", "010-****-5678"},
        {"02-123-4567", "02-***-4567"},
        {"033)330-1234", "033)***-1234"},
        {"01012345678", "010****5678"},
        {"hong@kelo-resort.kr", "ho**@kelo-resort.kr"},
        {"a@b.kr", "a@b.kr"},
        {"서울특별시 강남구 테헤란로 152 101동 1203호",
         "서울특별시 강남구 테헤란로 *** **** *****"},
        {"강원도 평창군 대관령면", "강원도 평창군 대관령면"}, // three words: nothing beyond them
        {"홍길동", "홍길동"},
        {"", ""},
        {"Sales Team Report Draft",
         "Sales Team Report Draft"}, // words without Korean letters or digits
    };
    for (const auto &c : cases)
        EXPECT_EQ(database::MaskPersonalData(QString::fromUtf8(c.input)).toStdString(), c.shown)
            << c.input;
}

TEST(BusinessYear, BoundsForAStartMonth) {
    const struct {
        const char *date;
        int startMonth;
        const char *first, *last;
    } cases[] = {
        {"20040229", 1, "20040101", "20041231"},
        {"20040229", 3, "20030301", "20040229"},
        {"20040301", 3, "20040301", "20050228"},
        {"20041231", 12, "20041201", "20051130"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(database::BusinessYearBound(QLatin1String(c.date), c.startMonth, false),
                  QLatin1String(c.first));
        EXPECT_EQ(database::BusinessYearBound(QLatin1String(c.date), c.startMonth, true),
                  QLatin1String(c.last));
    }
    EXPECT_EQ(database::BusinessYearBound(QStringLiteral("20040230"), 1, false), QString());
}

TEST(ServerFunctions, YearToDateFollowsTheStoredSettings) {
    test::SchemaDatabase schemaDb;
    db::Connection &c = schemaDb.connection();
    db::Query q(c);
    q.setSql(QStringLiteral(
        "SELECT FN_GET_YTD_DATE(:D, 'F'), FN_GET_YTD_DATE(:D, 'T'), FN_GET_YTD1_DATE(:D, 'F'), "
        "FN_GET_YTD_DATE(TO_CHAR(TO_DATE(:D), 'YYYYMMDD'), 'F'), FN_ZA010MS_04('800101-1234567') "
        "FROM DUAL"));
    q.setParam(QStringLiteral("D"), QStringLiteral("20040229"));
    q.open();
    EXPECT_EQ(q.text(0), QStringLiteral("20040101"));
    EXPECT_EQ(q.text(1), QStringLiteral("20041231"));
    EXPECT_EQ(q.text(2), QStringLiteral("20040101"));
    EXPECT_EQ(q.text(3), QStringLiteral("20040101"));
    EXPECT_EQ(q.text(4), QStringLiteral("800101-1******"));

    c.executeScript(QStringLiteral(
        "UPDATE KELO_SETTINGS SET VALUE = '03' WHERE NAME = 'BUSINESS_YEAR_START_MONTH'"));
    q.open();
    EXPECT_EQ(q.text(0), QStringLiteral("20030301"));
    EXPECT_EQ(q.text(1), QStringLiteral("20040229"));
    EXPECT_EQ(q.text(2), QStringLiteral("20040101")); // the target year keeps its own setting

    q.setSql(QStringLiteral("SELECT FN_GET_YTD_DATE('2004-13-01', 'F') FROM DUAL"));
    EXPECT_THROW(q.open(), db::DbError);
}

} // namespace
