#include "db/query.h"
#include "screens/reports/reports.h"
#include "screens/reports/srp080_guest_activities.h"
#include "screens/reports/srp090_tour_gondola.h"

#include <gtest/gtest.h>

#include "report_prints.h"
#include "support/schema_database.h"

using namespace kelo;
using namespace kelo::screens;
using report::Document;
using report::Primitive;

namespace {

using test::Print;
using test::Prints;

// The fields of a row in print order, as printed.
QStringList Row(const Print &p, std::initializer_list<const char *> fields) {
    QStringList out;
    for (const char *f : fields)
        out << p.figure(f);
    return out;
}

// A database as the project makes them with guest-activity outlets of the gondola area
// (group 40, division 410, sports code 99) added; figures added by each test.
class GuestActivitiesTest : public ::testing::Test {
protected:
    void exec(const QString &sql) { connection.executeScript(sql); }
    // An outlet of group 40 with its division, sports code and guest-activity category.
    void outlet(const char *code, const char *name, const char *division, const char *sports,
                const char *category) {
        db::Query q(connection);
        q.setSql(QStringLiteral(R"sql(
            INSERT INTO JA010MS (UPJANG_CODE, UPJANG_ENG_NAME, MIS_UPJANG_GUBUN1,
                MIS_UPJANG_GUBUN2, MIS_SPORTS_SUM_CODE, GA_GUBUN_CODE)
            VALUES (:C, :N, '40', :D, :S, :G)
        )sql"));
        q.setParam(QStringLiteral("C"), QLatin1String(code));
        q.setParam(QStringLiteral("N"), QLatin1String(name));
        q.setParam(QStringLiteral("D"), QLatin1String(division));
        q.setParam(QStringLiteral("S"), QLatin1String(sports));
        q.setParam(QStringLiteral("G"), QLatin1String(category));
        q.exec();
    }
    // A sales summary row: net revenue and guests.
    void sale(const char *date, const char *outlet, const char *division, double net,
              double guests = 0) {
        db::Query q(connection);
        q.setSql(QStringLiteral(R"sql(
            INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, NET_AMT)
            VALUES (:D, :U, :V, :G, :N)
        )sql"));
        q.setParam(QStringLiteral("D"), QLatin1String(date));
        q.setParam(QStringLiteral("U"), QLatin1String(outlet));
        q.setParam(QStringLiteral("V"), QLatin1String(division));
        q.setParam(QStringLiteral("G"), QString::number(guests));
        q.setParam(QStringLiteral("N"), QString::number(net, 'f', 0));
        q.exec();
    }
    void budget(const char *date, const char *outlet, const char *division, double amount) {
        db::Query q(connection);
        q.setSql(QStringLiteral(R"sql(
            INSERT INTO JH010MS (SALE_DATE, UPJANG_CODE, DIVISION, SALE_AMT)
            VALUES (:D, :U, :V, :A)
        )sql"));
        q.setParam(QStringLiteral("D"), QLatin1String(date));
        q.setParam(QStringLiteral("U"), QLatin1String(outlet));
        q.setParam(QStringLiteral("V"), QLatin1String(division));
        q.setParam(QStringLiteral("A"), QString::number(amount, 'f', 0));
        q.exec();
    }
    void clearFigures() { exec(QStringLiteral("DELETE FROM SA030MS; DELETE FROM JH010MS;")); }

    template <typename Screen> std::vector<Print> rows(const char *date) {
        Screen screen(connection, QLatin1String(date));
        screen.openData();
        return Prints(screen.paginate(), screen.programId(), QStringLiteral("DetailBand1"));
    }

    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
};

TEST_F(GuestActivitiesTest, BudgetRatiosAndAverageRatesOnTheirZeroDivisors) {
    outlet("4101", "Pool A", "410", "99", "10");
    struct Case {
        const char *name;
        double monthBudget, revenue, guests;
        const char *ratio, *average;
    };
    // Revenue on the 10th of April, the budget on the 30th: the month's whole budget
    // counts on the 15th. Revenue of March keeps the outlet listed when April has none.
    const Case cases[] = {
        {"a third of the budget", 3000000, 1000000, 3, "33.3%", "333,333"},
        {"no budget", 0, 500000, 4, "100%", "125,000"},
        {"neither budget nor revenue", 0, 0, 0, "0%", "0"},
        {"half a percent", 2000000, 10000, 1, ".5%", "10,000"},
        {"revenue without guests", 1000000, 1000000, 0, "100%", "1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        clearFigures();
        sale("20040310", "4101", "60", 1);
        if (c.revenue != 0)
            sale("20040410", "4101", "60", c.revenue, c.guests);
        if (c.monthBudget != 0)
            budget("20040430", "4101", "60", c.monthBudget);
        const auto printed = rows<TfrmSRP080>("20040415");
        ASSERT_EQ(printed.size(), 3u); // the outlet, its sub-total, the grand total
        for (const Print &r : printed) {
            SCOPED_TRACE(r.text("QRDBText2").toStdString());
            EXPECT_EQ(r.figure("BGT_MTD"), QLatin1String(c.ratio));
            EXPECT_EQ(r.figure("AVG_MTD"), QString::fromUtf8(c.average));
        }
    }
}

TEST_F(GuestActivitiesTest, OutletsByCategoryWithSubTotalsAndTheGrandTotal) {
    outlet("4101", "Pool A", "410", "99", "10");
    outlet("4102", "Pool B", "410", "99", "10");
    outlet("4103", "Bowling Hall", "410", "99", "20");
    outlet("4104", "No Category", "410", "99", "");
    outlet("4105", "Unknown Category", "410", "99", "77");
    outlet("4106", "Not Guest Activity", "410", "20", "10");
    sale("20040415", "4101", "60", 100000, 10);
    sale("20040415", "4102", "50", 30000, 2);
    sale("20040415", "4102", "60", 20000, 3);
    sale("20040415", "4103", "60", 7000, 1);
    budget("20040401", "4103", "60", 14000);
    for (const char *other : {"4104", "4105", "4106", "4053"}) // 4053: the sauna, 420
        sale("20040415", other, "60", 999999, 1);

    const auto printed = rows<TfrmSRP080>("20040415");
    QStringList lines;
    for (const Print &r : printed)
        lines << r.text("QRDBText1") + u'/' + r.text("QRDBText2") + u'=' +
                     Row(r, {"ACTUAL_TODAY", "GUEST_TODAY", "AVG_TODAY", "BUDGET_MTD", "BGT_MTD"})
                         .join(u' ') +
                     u' ' + r.rules().join(u'+');
    EXPECT_EQ(lines, QStringList({
                         "수영장/Pool A=100,000 10 10,000 0 100% ",
                         "/Pool B=50,000 5 10,000 0 100% ",
                         "/<Sub Total>=150,000 15 10,000 0 100% bottom",
                         "볼링/Bowling Hall=7,000 1 7,000 14,000 50% ",
                         "/<Sub Total>=7,000 1 7,000 14,000 50% bottom",
                         "/<Grand Total>=157,000 16 9,813 14,000 1121.4% bottom",
                     }));
}

TEST_F(GuestActivitiesTest, TheGondolaPrintsEachDivisionOnceThenItsSubTotalBetweenRules) {
    sale("20040415", "5002", "40", 800000, 40); // 리프트
    budget("20040402", "5002", "40", 1000000);
    sale("20040415", "5002", "50", 90000, 3); // 대여
    budget("20040402", "5002", "50", 60000);
    budget("20040402", "5002", "90", 5000);    // 기타: a budget only
    sale("20040415", "5001", "40", 123456, 9); // the ski lift: another outlet

    const auto printed = rows<TfrmSRP090>("20040415");
    QStringList lines;
    for (const Print &r : printed)
        lines << r.text("QRDBText1") + u'/' + r.text("QRDBText2") + u'=' +
                     Row(r, {"ACTUAL_TODAY", "BUDGET_MTD", "BGT_MTD", "ACTUAL_MTD", "GUEST_MTD",
                             "AVG_MTD"})
                         .join(u' ') +
                     u' ' + r.rules().join(u'+');
    EXPECT_EQ(lines, QStringList({
                         "Gondola/리프트=800,000 1,000,000 80% 800,000 40 20,000 ",
                         "/대여=90,000 60,000 150% 90,000 3 30,000 ",
                         "/기타=0 5,000 0% 0 0 0 ",
                         "/<Sub Total>=890,000 1,065,000 83.6% 890,000 43 20,698 top+bottom",
                     }));
}

TEST_F(GuestActivitiesTest, LastYearEndsAtTheCalendarsDateAYearBefore) {
    budget("20040110", "5002", "40", 1000);
    for (const char *day : {"20040201", "20040215", "20040229"})
        budget(day, "5002", "40", 10);
    sale("20021231", "5002", "40", 90000, 9); // before last year's business year
    sale("20030105", "5002", "40", 40000, 4);
    sale("20030201", "5002", "40", 3000, 1);
    sale("20030228", "5002", "40", 7000, 1);
    sale("20030301", "5002", "40", 80000, 8); // after the last year's day
    sale("20040110", "5002", "40", 5000, 1);
    sale("20040215", "5002", "40", 20000, 2);
    sale("20040229", "5002", "40", 100000, 2);
    struct Case {
        const char *date;
        QStringList figures; // budgets, this year's and last year's month and year
    };
    const Case cases[] = {
        // 29 February: last year's day is the 28th; the month's whole budget.
        {"20040229",
         {"30", "1,030", "120,000", "10,000", "4", "2", "30,000", "5,000", "125,000", "50,000"}},
        // The 15th: the month's budget still whole; the year's to the day.
        {"20040215",
         {"30", "1,020", "20,000", "3,000", "2", "1", "10,000", "3,000", "25,000", "43,000"}},
        // 28 February after a leap year: last year's day is the 29th.
        {"20050228", {"0", "0", "0", "120,000", "0", "4", "0", "30,000", "0", "125,000"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.date);
        const auto printed = rows<TfrmSRP090>(c.date);
        ASSERT_EQ(printed.size(), 2u);
        EXPECT_EQ(Row(printed[0], {"BUDGET_MTD", "BUDGET_YTD", "ACTUAL_MTD", "LAST_YEAR_MTD",
                                   "GUEST_MTD", "LAST_YEAR_GUEST_MTD", "AVG_MTD",
                                   "LAST_YEAR_AVG_MTD", "ACTUAL_YTD", "LAST_YEAR_YTD"}),
                  c.figures);
    }
}

TEST_F(GuestActivitiesTest, HeadingsStandOverTheirColumns) {
    for (const char *id : {"SRP080", "SRP090"}) {
        SCOPED_TRACE(id);
        auto screen = CreateReport(QLatin1String(id), connection, QStringLiteral("20040415"));
        ASSERT_TRUE(screen);
        screen->openData();
        const Document doc = screen->paginate();
        EXPECT_EQ(doc.title, QStringLiteral("Daily Guest Actives Report"));
        const auto header = Prints(doc, QLatin1String(id), QStringLiteral("QRBand2"));
        const auto total = Prints(doc, QLatin1String(id), QStringLiteral("DetailBand1"));
        ASSERT_EQ(header.size(), 1u);
        ASSERT_EQ(total.size(), 1u); // the total of nothing
        QStringList groups;
        for (const Primitive &p : header[0].items)
            if (p.kind == Primitive::Kind::Text && p.rect.top() == header[0].band.rect.top())
                groups << p.text;
        EXPECT_EQ(groups, QStringList({"DIVISION", "TODAY", "M.T.D", "Y.T.D"}));
        // The headings fill the width between the margins, none past it.
        double right = 0;
        for (const Primitive &p : header[0].items)
            right = std::max(right, p.rect.right());
        EXPECT_NEAR(right, header[0].band.rect.right(), 0.01);

        // Each figure right-aligned in 6 pt inside the heading that stands lowest over
        // it: the sub-heading, or its pair's "T.Y.M" ... "L.Y".
        QStringList under;
        for (const Primitive &figure : total[0].items) {
            if (figure.kind != Primitive::Kind::Text || !figure.item.startsWith(u"txt"))
                continue;
            EXPECT_EQ(figure.font.pointSize, 6);
            EXPECT_TRUE(figure.alignment & Qt::AlignRight);
            const Primitive *lowest = nullptr;
            for (const Primitive &h : header[0].items)
                if (h.kind == Primitive::Kind::Text && h.rect.left() <= figure.rect.left() &&
                    figure.rect.right() <= h.rect.right() &&
                    (!lowest || h.rect.bottom() > lowest->rect.bottom() ||
                     (h.rect.bottom() == lowest->rect.bottom() &&
                      h.rect.top() > lowest->rect.top())))
                    lowest = &h;
            under << (lowest ? lowest->text : QStringLiteral("?"));
        }
        EXPECT_EQ(under, QStringList({"REVENUE", "NO.GUEST", "AVG.RATE", "BUDGET", "vs %", "T.Y.M",
                                      "L.Y.M", "T.Y.M", "L.Y.M", "T.Y.M", "L.Y.M", "BUDGET", "vs %",
                                      "T.Y", "L.Y", "T.Y", "L.Y", "T.Y", "L.Y"}));
    }
}

} // namespace
