// The period bounds of the printed reports and the sales inquiries over the dates where they
// turn: 28 and 29 February, month and year ends, a business year that starts in March. Each
// bound is read both from the table P and as the scalar the sales inquiries use.

#include "db/query.h"
#include "screens/common/periods.h"
#include "support/schema_database.h"

#include <gtest/gtest.h>

using namespace kelo;
using screens::periods::All;
using screens::periods::Bound;

namespace {

struct Case {
    const char *date;
    const char *startMonth; // of the business year
    // D MON M_FROM M_TO PM_TO Y_FROM Y_TO LY_DATE LY_DAY LY_MON LM_FROM LY_FROM MONTH_DAYS DAY_NO
    const char *bounds;
};

const Case kCases[] = {
    {"20240229", "01",
     "20240229 202402 20240201 20240229 20240131 20240101 20241231 "
     "20230228 20230229 202302 20230201 20230101 29 29"},
    {"20240228", "01",
     "20240228 202402 20240201 20240229 20240131 20240101 20241231 "
     "20230228 20230228 202302 20230201 20230101 29 28"},
    // The last day of February a year after a leap day: last year's last day of February.
    {"20250228", "01",
     "20250228 202502 20250201 20250228 20250131 20250101 20251231 "
     "20240229 20240228 202402 20240201 20240101 28 28"},
    {"20241231", "01",
     "20241231 202412 20241201 20241231 20241130 20240101 20241231 "
     "20231231 20231231 202312 20231201 20230101 31 31"},
    {"20250101", "01",
     "20250101 202501 20250101 20250131 20241231 20250101 20251231 "
     "20240101 20240101 202401 20240101 20240101 31 1"},
    {"20240229", "03",
     "20240229 202402 20240201 20240229 20240131 20230301 20240229 "
     "20230228 20230229 202302 20230201 20220301 29 29"},
    {"20240301", "03",
     "20240301 202403 20240301 20240331 20240229 20240301 20250228 "
     "20230301 20230301 202303 20230301 20230301 31 1"},
};

TEST(Periods, EveryBoundOverFebruaryAndTheYearsEnds) {
    test::SchemaDatabase schemaDb;
    db::Connection &c = schemaDb.connection();
    QStringList scalars;
    for (const Bound b : All())
        scalars << screens::periods::Scalar(b);
    db::Query table(c), scalar(c);
    table.setSql(QStringLiteral("WITH %1\nSELECT *\nFROM P").arg(screens::periods::Table()));
    scalar.setSql(QStringLiteral("SELECT %1\nFROM DUAL").arg(scalars.join(QStringLiteral(",\n"))));
    for (const Case &k : kCases) {
        c.executeScript(QStringLiteral("UPDATE KELO_SETTINGS SET VALUE = '%1' WHERE NAME = "
                                       "'BUSINESS_YEAR_START_MONTH'")
                            .arg(QLatin1String(k.startMonth)));
        const QStringList expected = QString::fromLatin1(k.bounds).split(u' ');
        for (db::Query *q : {&table, &scalar}) {
            q->setParam(QStringLiteral("ASALE_DATE"), QString::fromLatin1(k.date));
            q->open();
            int i = 0;
            for (const Bound b : All()) {
                const QString got = q == &table ? q->text(screens::periods::Column(b)) : q->text(i);
                EXPECT_EQ(got, expected.value(i))
                    << k.date << " (year from month " << k.startMonth
                    << "): " << screens::periods::Column(b).toStdString()
                    << (q == &table ? " in P" : " as a scalar");
                ++i;
            }
            q->close();
        }
    }
}

} // namespace
