#include "database/schema.h"
#include "db/dberror.h"
#include "db/query.h"
#include "screens/reports/reports.h"
#include "screens/reports/srp010_division_statistics.h"
#include "screens/reports/srp020_division_rooms.h"
#include "screens/reports/srp030_division_fnb.h"
#include "screens/reports/srp040_division_leports.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

#include <sys/stat.h>

#include "report_prints.h"
#include "support/schema_database.h"

using namespace kelo;
using namespace kelo::screens;
using report::Document;
using report::Primitive;
using test::Print;
using test::Prints;

namespace {

// The texts of the figure cells in print order.
QStringList Figures(const Print &p) {
    QStringList out;
    for (const char *f : {"ACTUAL_TODAY", "ACTUAL_MTD", "BUDGET_MTD", "VARIANCE_MTD1",
                          "VARIANCE_MTD2", "ACTUAL_YTD", "BUDGET_YTD", "VARIANCE_YTD1",
                          "VARIANCE_YTD2", "LAST_YEAR_MTD", "LAST_YEAR_YTD"})
        out << p.texts.value(QStringLiteral("txt") + QLatin1String(f));
    return out;
}

// A database as the project makes them (schema, code sets, outlets, calendar) with
// figures added by each test.
class ReportsTest : public ::testing::Test {
protected:
    void SetUp() override {}
    void exec(const QString &sql) { connection.executeScript(sql); }
    QString value(const QString &sql) {
        db::Query q(connection);
        q.setSql(sql);
        q.open();
        return q.eof() ? QStringLiteral("<none>") : q.text(0);
    }
    // A sales summary row: net revenue, guests, rooms sold, golf teams.
    void sale(const char *date, const char *outlet, const char *division, double net,
              double guests = 0, double rooms = 0, double teams = 0) {
        db::Query q(connection);
        q.setSql(QStringLiteral(
            "INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, ETC_RMS, GOLF_TEAM, GUESTS, "
            "NET_AMT) VALUES (:D, :U, :V, :R, :T, :G, :N)"));
        q.setParam(QStringLiteral("D"), QLatin1String(date));
        q.setParam(QStringLiteral("U"), QLatin1String(outlet));
        q.setParam(QStringLiteral("V"), QLatin1String(division));
        q.setParam(QStringLiteral("R"), QString::number(rooms));
        q.setParam(QStringLiteral("T"), QString::number(teams));
        q.setParam(QStringLiteral("G"), QString::number(guests));
        q.setParam(QStringLiteral("N"), QString::number(net, 'f', 0));
        q.exec();
    }
    // The same budget on every day of a month (YYYYMM).
    void dailyBudget(const char *month, const char *outlet, const char *division, double amount,
                     double guests = 0, double rooms = 0) {
        exec(QStringLiteral("INSERT INTO JH010MS SELECT CALN_DATE, '%1', '%2', %3, %4, %5 FROM "
                            "ZX020MS WHERE SUBSTR(CALN_DATE, 1, 6) = '%6'")
                 .arg(QLatin1String(outlet), QLatin1String(division))
                 .arg(amount, 0, 'f', 0)
                 .arg(guests)
                 .arg(rooms)
                 .arg(QLatin1String(month)));
    }
    template <typename Screen> Document run(Screen &screen) {
        screen.openData();
        return screen.paginate();
    }
    Document composite(const char *date) {
        TfrmSRP010 screen(connection, QLatin1String(date));
        return run(screen);
    }

    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
};

// Revenue of the hotels (group 10) and two F&B outlets (group 20) on 15 April 2004.
class DailyReportTest : public ReportsTest {
protected:
    void SetUp() override {
        ReportsTest::SetUp();
        sale("20040415", "1001", "10", 1000000);
        sale("20040401", "1001", "10", 500000);
        sale("20040110", "1001", "10", 2000000);
        sale("20040415", "1002", "10", 300000);
        sale("20040415", "3001", "20", 200000);
        sale("20040415", "3004", "20", 100000);
        sale("20040415", "3004", "90", 50000);
        sale("20030415", "1001", "10", 700000); // the same day last year
        sale("20030416", "1001", "10", 11);     // after it
        sale("20030105", "1001", "10", 40000);  // last year to date only
        sale("20021231", "1001", "10", 99999);  // before last year's business year
        // 30 a day in April: 900 for the month, 450 to the 15th; 1,000 in March.
        dailyBudget("200404", "1001", "10", 30000);
        dailyBudget("200404", "1002", "10", 20000);
        exec(
            QStringLiteral("INSERT INTO JH010MS VALUES ('20040310', '1001', '10', 1000000, 0, 0)"));
    }
};

TEST_F(DailyReportTest, RowsPerDivisionWithShadedGroupTotalsAndTheGrandTotal) {
    const Document doc = composite("20040415");
    EXPECT_EQ(doc.title, QStringLiteral("Division Statistics"));
    const auto rows = Prints(doc, QStringLiteral("SRP011"), QStringLiteral("DetailBand1"));
    QStringList names;
    for (const Print &r : rows)
        names << r.text("QRDBText12") + u'/' + r.text("QRDBText13");
    // The group's name only on its first row.
    EXPECT_EQ(names, QStringList({"객실/호텔객실", "/콘도객실", "/(Room Total)", "식음/레스토랑",
                                  "/연회", "/(F&B Total)"}));
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(Figures(rows[0]),
              QStringList({"1,000,000", "1,500,000", "450,000", "1,050,000", "333", "3,500,000",
                           "1,450,000", "2,050,000", "241", "700,000", "740,000"}));
    EXPECT_EQ(Figures(rows[1]), QStringList({"300,000", "300,000", "300,000", "0", "100", "300,000",
                                             "300,000", "0", "100", "0", "0"}));
    // The group total prorates the group's month budget: 1,500,000 / 30 * 15.
    EXPECT_EQ(Figures(rows[2]),
              QStringList({"1,300,000", "1,800,000", "750,000", "1,050,000", "240", "3,800,000",
                           "1,750,000", "2,050,000", "217", "700,000", "740,000"}));
    // No budget: the percentage is 0.
    EXPECT_EQ(Figures(rows[4]), QStringList({"150,000", "150,000", "0", "150,000", "0", "150,000",
                                             "0", "150,000", "0", "0", "0"}));
    for (const Print &r : rows)
        EXPECT_EQ(r.band.color,
                  r.text("QRDBText13").startsWith(u'(') ? QColor(223, 223, 223) : QColor(Qt::white))
            << r.text("QRDBText13").toStdString();

    const auto total = Prints(doc, QStringLiteral("SRP011"), QStringLiteral("QRBand1"));
    ASSERT_EQ(total.size(), 1u);
    EXPECT_EQ(total[0].text("qrlGrandTotal"), QStringLiteral("Grand Total"));
    EXPECT_EQ(Figures(total[0]),
              QStringList({"1,650,000", "2,150,000", "750,000", "1,400,000", "287", "4,150,000",
                           "1,750,000", "2,400,000", "237", "700,000", "740,000"}));
    EXPECT_EQ(total[0].band.color, kButtonFace);
}

TEST_F(DailyReportTest, OutletsWithoutGroupOrDivisionNamesCountOnlyInTheirTotals) {
    // A group without an S0002 name; a division without an S0003 name in group 10; golf
    // (group 30) with a total code of its own in S0003.
    exec(QStringLiteral(
        "INSERT INTO JA010MS (UPJANG_CODE, UPJANG_ENG_NAME, MIS_UPJANG_GUBUN1, MIS_UPJANG_GUBUN2) "
        "VALUES ('9001', 'Nameless', '80', '800'), ('9002', 'New Wing', '10', '150');"
        "INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('S0003', '399', '골프 계');"));
    sale("20040415", "9001", "90", 5000);
    sale("20040415", "9002", "10", 7000);
    sale("20040415", "2001", "30", 20000);
    const Document doc = composite("20040415");
    const auto rows = Prints(doc, QStringLiteral("SRP011"), QStringLiteral("DetailBand1"));
    QStringList lines;
    for (const Print &r : rows)
        lines << r.text("QRDBText13") + u'=' + r.text("txtACTUAL_TODAY");
    EXPECT_EQ(lines, QStringList({"호텔객실=1,000,000", "콘도객실=300,000",
                                  "(Room Total)=1,307,000", "레스토랑=200,000", "연회=150,000",
                                  "(F&B Total)=350,000", "골프코스=20,000", "골프 계=20,000"}));
    EXPECT_EQ(rows.back().band.color, QColor(Qt::white)); // a total of another group: not shaded
    const auto total = Prints(doc, QStringLiteral("SRP011"), QStringLiteral("QRBand1"));
    EXPECT_EQ(total.at(0).text("txtACTUAL_TODAY"), QStringLiteral("1,682,000"));
}

TEST_F(DailyReportTest, AGroupNameIsNotRepeatedAfterAPageBreak) {
    // Forty more divisions of the rooms group, one outlet each: the group runs onto the
    // second page.
    QString script;
    for (int i = 0; i < 40; ++i) {
        script += QStringLiteral("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES "
                                 "('S0003', '1%1', 'Wing %1');")
                      .arg(20 + i);
        script += QStringLiteral("INSERT INTO JA010MS (UPJANG_CODE, UPJANG_ENG_NAME, "
                                 "MIS_UPJANG_GUBUN1, MIS_UPJANG_GUBUN2) VALUES ('8%1', 'W', '10', "
                                 "'1%2');")
                      .arg(100 + i)
                      .arg(20 + i);
        script += QStringLiteral("INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, NET_AMT) "
                                 "VALUES ('20040415', '8%1', '10', 1);")
                      .arg(100 + i);
    }
    exec(script);
    const Document doc = composite("20040415");
    const auto rows = Prints(doc, QStringLiteral("SRP011"), QStringLiteral("DetailBand1"));
    ASSERT_GT(rows.size(), 40u);
    size_t firstOnTwo = 0;
    while (firstOnTwo < rows.size() && rows[firstOnTwo].page == 1)
        ++firstOnTwo;
    ASSERT_LT(firstOnTwo, rows.size());
    EXPECT_GT(firstOnTwo, 10u);
    // The column headings repeat on the new page; the group's name does not.
    EXPECT_EQ(Prints(doc, QStringLiteral("SRP011"), QStringLiteral("QRBand2")).size(), 2u);
    EXPECT_EQ(rows[firstOnTwo].text("QRDBText12"), QString());
    EXPECT_FALSE(rows[firstOnTwo].text("QRDBText13").isEmpty());
    EXPECT_EQ(rows[firstOnTwo - 1].texts.value(QStringLiteral("QRDBText12")), QString());
    EXPECT_EQ(rows[0].text("QRDBText12"), QStringLiteral("객실"));
    // The next group prints its name again.
    const auto food = std::find_if(rows.begin(), rows.end(), [](const Print &r) {
        return r.text("QRDBText13") == QStringLiteral("레스토랑");
    });
    ASSERT_NE(food, rows.end());
    EXPECT_EQ(food->text("QRDBText12"), QStringLiteral("식음"));
}

TEST_F(ReportsTest, BudgetMonthToDateAtTheMonthsEdges) {
    // 10 a day in February 2004 and 30 a day in April 2004; sales on days of February
    // 2003 and on 1 April 2004.
    dailyBudget("200402", "1001", "10", 10);
    dailyBudget("200404", "1001", "10", 30);
    sale("20030201", "1001", "10", 3);
    sale("20030228", "1001", "10", 7);
    sale("20040229", "1001", "10", 100);
    sale("20040401", "1001", "10", 40);
    sale("20040331", "1001", "10", 5);
    struct Case {
        const char *date;
        QStringList hotel; // Actual Today, Actual MTD, Budget MTD, .., Last Year MTD
    };
    const Case cases[] = {
        // 29 February: the whole month's budget (x 29 / 29); last year's month to date
        // runs to the "29th" of February 2003, the whole month.
        {"20040229", {"100", "100", "290", "-190", "35", "100", "290", "-190", "35", "10", "10"}},
        // The 1st: one day's share of the month; the month to date is the day.
        {"20040401", {"40", "40", "30", "10", "133", "145", "320", "-175", "45", "0", "10"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.date);
        const auto rows =
            Prints(composite(c.date), QStringLiteral("SRP011"), QStringLiteral("DetailBand1"));
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows[0].text("QRDBText13"), QStringLiteral("호텔객실"));
        EXPECT_EQ(Figures(rows[0]), c.hotel);
    }
}

TEST_F(ReportsTest, APercentageOf9535IsRoundedBy95Point4AndPrintedAs95) {
    sale("20040430", "1001", "10", 9535);
    exec(QStringLiteral("INSERT INTO JH010MS VALUES ('20040401', '1001', '10', 10000, 0, 0)"));
    TfrmSRP010 screen(connection, QStringLiteral("20040430"));
    const Document doc = run(screen);
    const auto rows = Prints(doc, QStringLiteral("SRP011"), QStringLiteral("DetailBand1"));
    ASSERT_FALSE(rows.empty());
    screen.frmSRP011->cdsQuery.moveTo(0);
    EXPECT_DOUBLE_EQ(screen.frmSRP011->cdsQuery.number(QStringLiteral("VARIANCE_MTD2")), 95.4);
    EXPECT_EQ(rows[0].text("txtVARIANCE_MTD2"), QStringLiteral("95"));
}

TEST_F(ReportsTest, HotelRoomsDivisionCountsOccupancyAndAverageRate) {
    exec(QStringLiteral(
        "INSERT INTO SA020MS (SALE_DATE, UPJANG_CODE, TOTAL_RMS, OOO_RMS, OOI_RMS, AVAILABLE_RMS) "
        "VALUES ('20040415', '1001', 110, 4, 6, 100), ('20040401', '1001', 110, 0, 10, 100);"
        "INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, HU_RMS, COMP_RMS, ETC_RMS, "
        "NET_AMT) "
        "VALUES ('20040415', '1001', '10', 2, 3, 80, 8000000), "
        "('20040401', '1001', '10', 0, 0, 70, 6300000);"
        // Budgeted rooms and revenue on the 1st and the 15th, and one day after the date.
        "INSERT INTO JH010MS VALUES ('20040401', '1001', '10', 7500000, 0, 75), "
        "('20040415', '1001', '10', 7500000, 0, 75), ('20040420', '1001', '10', 7500000, 0, 75);"
        "INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('S0010', '8', 'Memo');"));
    const auto rows =
        Prints(composite("20040415"), QStringLiteral("SRP013"), QStringLiteral("DetailBand1"));
    QStringList lines;
    for (const Print &r : rows)
        lines << r.text("QRDBText12") + u':' + Figures(r).mid(0, 5).join(u' ');
    EXPECT_EQ(lines, QStringList({
                         "Rooms Available:100 200 220 -20 91",
                         "House Use:2 2 0 2 0",
                         "Complimentary:3 3 0 3 0",
                         "Out of Order:10 20 0 20 0",
                         "Rooms Sold:80 150 150 0 100",
                         // rooms sold x 100 / rooms available; budget: budgeted rooms x 100 /
                         // rooms available
                         "Occupancy (%):80 75 75 0 100",
                         // revenue / rooms sold; budget: budgeted revenue / budgeted rooms
                         "Average Rate:100,000 95,333 100,000 -4,667 95",
                         "Memo:0 0 0 0 0",
                     }));
    ASSERT_EQ(rows.size(), 8u);
    for (const Print &r : rows)
        EXPECT_EQ(r.item("QRDBText12")->font.bold,
                  r.text("QRDBText12").startsWith(QStringLiteral("Occupancy")) ||
                      r.text("QRDBText12").startsWith(QStringLiteral("Average")));
}

TEST_F(ReportsTest, MovementsStandInPairsPerGroupWithTheirHeading) {
    exec(QStringLiteral(
        "DELETE FROM SX020MS;"
        "INSERT INTO SX020MS VALUES ('10', '01', '현금 입금'), ('30', '01', '기업 외상'), "
        "('20', '02', '신용카드');"
        "INSERT INTO SA010DT (SALE_DATE, MOVEMENT, ITEM_CODE, AMOUNT) VALUES "
        "('20040415', '10', '01', 1500000), ('20040414', '30', '01', 9);"));
    const Document doc = composite("20040415");
    const auto rows = Prints(doc, QStringLiteral("SRP014"), QStringLiteral("DetailBand1"));
    ASSERT_EQ(rows.size(), 2u);
    auto pairs = [](const Print &p) {
        QStringList out;
        for (int i = 1; i <= 5; ++i)
            out << p.texts.value(QStringLiteral("txtITEM_NAME%1").arg(i)) + u'=' +
                       p.texts.value(QStringLiteral("txtMOVEMENT%1").arg(i));
        return out;
    };
    // The groups' names head the section, bold and underlined.
    const auto headings = Prints(doc, QStringLiteral("SRP014"), QStringLiteral("QRBand2"));
    ASSERT_EQ(headings.size(), 1u);
    EXPECT_EQ(headings[0].texts.values(), QStringList({"현금", "카드", "외상", "선수금", "기타"}));
    EXPECT_TRUE(headings[0].item("qrlGroup1")->font.bold);
    EXPECT_TRUE(headings[0].item("qrlGroup1")->font.underline);
    // An item of two groups fills those two pairs; no entry for the day prints 0.
    EXPECT_EQ(pairs(rows[0]), QStringList({"현금 입금=1,500,000", "=", "기업 외상=0", "=", "="}));
    EXPECT_EQ(pairs(rows[1]), QStringList({"=", "신용카드=0", "=", "=", "="}));
    EXPECT_FALSE(rows[0].item("txtITEM_NAME1")->font.bold);
    EXPECT_FALSE(rows[0].item("txtITEM_NAME3")->font.underline);
}

// A movements section that runs onto further pages repeats the groups' names at the top of
// each, above its first line there.
TEST_F(ReportsTest, AMovementsSectionContinuedOnANewPageRepeatsItsHeadings) {
    QStringList items;
    for (int i = 1; i <= 60; ++i)
        items << QStringLiteral("('%1', '%2', '항목 %2')")
                     .arg(i % 2 ? QStringLiteral("10") : QStringLiteral("40"))
                     .arg(i, 2, 10, QLatin1Char('0'));
    exec(QStringLiteral("DELETE FROM SX020MS; INSERT INTO SX020MS VALUES %1;")
             .arg(items.join(QStringLiteral(", "))));
    const Document doc = composite("20040415");
    std::map<int, double> firstLine; // page -> top of the section's first line there
    for (const Print &row : Prints(doc, QStringLiteral("SRP014"), QStringLiteral("DetailBand1")))
        if (!firstLine.count(row.page))
            firstLine[row.page] = row.band.rect.top();
    ASSERT_GE(firstLine.size(), 2u);
    for (const auto &[page, top] : firstLine) {
        SCOPED_TRACE(page);
        bool headed = false;
        for (const Print &h : Prints(doc, QStringLiteral("SRP014"), QStringLiteral("QRBand2")))
            if (h.page == page && h.band.rect.bottom() <= top + 1e-6)
                headed =
                    h.texts.values() == QStringList({"현금", "카드", "외상", "선수금", "기타"});
        EXPECT_TRUE(headed);
    }
}

TEST_F(ReportsTest, TheCompositePrintsItsFourSectionsInOrderAsOneJob) {
    sale("20040415", "4053", "60", 10000);
    const Document doc = composite("20040415");
    const QStringList texts = doc.texts();
    const qsizetype daily = texts.indexOf(QStringLiteral("DAILY REPORT"));
    const qsizetype leports = texts.indexOf(QStringLiteral("Leports"));
    const qsizetype rooms = texts.indexOf(QStringLiteral("Hotel Rooms Division"));
    const qsizetype movements = texts.indexOf(QStringLiteral("현금 입금"));
    EXPECT_GE(daily, 0);
    EXPECT_LT(daily, leports);
    EXPECT_LT(leports, rooms);
    EXPECT_LT(rooms, movements);
    const auto sports = Prints(doc, QStringLiteral("SRP012"), QStringLiteral("DetailBand1"));
    ASSERT_EQ(sports.size(), 1u);
    EXPECT_EQ(sports[0].text("QRDBText13"), QStringLiteral("사우나"));
    EXPECT_EQ(sports[0].text("txtACTUAL_TODAY"), QStringLiteral("10,000"));
    // Only the first section has a title.
    for (const char *member : {"SRP012", "SRP013", "SRP014"})
        EXPECT_TRUE(Prints(doc, QLatin1String(member), QStringLiteral("qrbHeader")).empty());
}

TEST_F(ReportsTest, TheHeaderLinesShowTheDateWeekdayAndWeather) {
    exec(QStringLiteral("INSERT INTO SA010MS (SALE_DATE, WEATHER) VALUES ('20040416', '04');"));
    struct Case {
        const char *date, *dateLine, *weather;
    };
    const Case cases[] = {
        {"20040416", "Date: 2004 | 04 | 16 Friday", "Weather : Rainy"},
        {"20040415", "Date: 2004 | 04 | 15 Thursday", "Weather : "}, // no weather entered
        {"19991231", "", ""},                                        // no calendar row
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.date);
        TfrmSRP020 screen(connection, QLatin1String(c.date));
        const auto title =
            Prints(run(screen), QStringLiteral("SRP020"), QStringLiteral("qrbHeader"));
        ASSERT_EQ(title.size(), 1u);
        EXPECT_EQ(title[0].text("qrlTitle"), QStringLiteral("DIVISION STATISTICS - ROOM"));
        EXPECT_EQ(title[0].text("qrlResort"), QStringLiteral("Kelo Resort"));
        EXPECT_EQ(title[0].text("qrlSaleDate"), QLatin1String(c.dateLine));
        EXPECT_EQ(title[0].text("qrlWeather"), QLatin1String(c.weather));
    }
}

TEST_F(ReportsTest, AnEmptyResultPrintsTheFixedBandsOnly) {
    QStringList bands;
    TfrmSRP010 screen(connection, QStringLiteral("20040415"));
    const Document daily = run(screen);
    for (const report::PlacedBand &b : daily.pages.at(0).bands)
        if (b.report == QStringLiteral("SRP011"))
            bands << b.name;
    EXPECT_EQ(bands, QStringList({"qrbHeader", "QRBand2", "QRBand1"}));

    exec(QStringLiteral("UPDATE JA010MS SET MIS_UPJANG_GUBUN1 = '11' WHERE MIS_UPJANG_GUBUN1 = "
                        "'10'"));
    TfrmSRP020 rooms(connection, QStringLiteral("20040415"));
    bands.clear();
    const Document empty = run(rooms);
    for (const report::PlacedBand &b : empty.pages.at(0).bands)
        bands << b.name;
    EXPECT_EQ(bands, QStringList({"qrbHeader", "QRBand2"}));
}

TEST_F(ReportsTest, ReportScreensCarryTheirProgramIds) {
    for (const QString &id : PrintedReportIds()) {
        auto screen = CreateReport(id, connection, QStringLiteral("20040415"));
        ASSERT_TRUE(screen) << id.toStdString();
        EXPECT_EQ(screen->objectName(), QStringLiteral("frm") + id);
        EXPECT_EQ(screen->qrbFooter.item(QStringLiteral("qrlProgramID")).text, id);
        EXPECT_FALSE(screen->qrbFooter.enabled);
    }
    TfrmSRP010 composite(connection, QStringLiteral("20040415"));
    EXPECT_EQ(composite.frmSRP014->qrbFooter.item(QStringLiteral("qrlProgramID")).text,
              QStringLiteral("SRP014"));
    EXPECT_FALSE(CreateReport(QStringLiteral("SRP999"), connection, QStringLiteral("20040415")));
}

TEST_F(ReportsTest, ADatabaseErrorEndsTheRunWithItsTextAndWritesNoPdf) {
    exec(QStringLiteral("DROP TABLE SA010DT"));
    const QString pdf = schemaDb.dir() + QStringLiteral("/daily.pdf");
    try {
        RunReport(QStringLiteral("SRP010"), connection, QStringLiteral("20040415"),
                  ReportOutput::Pdf, pdf);
        FAIL() << "no error";
    } catch (const db::DbError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("SA010DT"), Qt::CaseInsensitive))
            << e.message().toStdString();
    }
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(QDir(schemaDb.dir()).entryList({QStringLiteral("*.pdf")}, QDir::Files).size(), 0);
}

// A hotel with two divisions (10 rooms, 90 others) on 15 April 2004.
TEST_F(ReportsTest, AHotelBlockPrintsRevenueStatusAverageRateAndGuests) {
    sale("20040415", "1001", "10", 900000, 15, 9);
    sale("20040415", "1001", "90", 100000, 0, 1);
    exec(QStringLiteral("INSERT INTO SA020MS (SALE_DATE, UPJANG_CODE, AVAILABLE_RMS) VALUES "
                        "('20040415', '1001', 20)"));
    dailyBudget("200404", "1001", "10", 90000, 3, 1);
    TfrmSRP020 screen(connection, QStringLiteral("20040415"));
    const Document doc = run(screen);
    const auto hotels = Prints(doc, QStringLiteral("SRP020"), QStringLiteral("DetailBand1"));
    QStringList names;
    for (const Print &h : hotels)
        names << h.text("qrdName");
    EXPECT_EQ(names, QStringList({"Bero Hotel", "Family Hotel", "National Hotel"}));
    EXPECT_TRUE(hotels[0].texts.value(QStringLiteral("QRLabel17")).isEmpty());

    const auto rows = Prints(doc, QStringLiteral("SRP020"), QStringLiteral("QRSubDetail1"));
    struct Line {
        const char *kind, *division, *today;
        bool indented, bold, rule, grey, closing;
    };
    const Line expected[] = {
        {"Revenue", "객실", "900,000", false, false, false, false, false},
        {"", "기타", "100,000", false, false, false, false, false},
        {"", "<Revenue Total>", "1,000,000", false, false, true, true, false},
        {"Status", "Room Available", "20", false, false, false, false, false},
        {"", "No of Room Occupied", "10", false, false, false, false, false},
        {"", "객실", "9", true, false, false, false, false},
        {"", "기타", "1", true, false, false, false, false},
        {"", "Occupied %", "50", false, true, true, false, false},
        {"Average Rate", "객실", "100,000", false, false, false, false, false},
        {"", "기타", "100,000", false, false, false, false, false},
        {"", "<Average Rate Total>", "100,000", false, false, true, false, false},
        {"Guest", "<Guest Total>", "15", false, false, false, false, true},
    };
    ASSERT_EQ(rows.size(), std::size(expected));
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        const Print &r = rows[i];
        const Line &e = expected[i];
        EXPECT_EQ(r.text("QRDBText12"), QLatin1String(e.kind));
        EXPECT_EQ(r.text("QRDBText13"), QString::fromUtf8(e.division));
        EXPECT_EQ(r.text("txtACTUAL_TODAY"), QLatin1String(e.today));
        EXPECT_DOUBLE_EQ(r.item("QRDBText13")->rect.left() - r.band.rect.left(),
                         e.indented ? 28 : 24);
        EXPECT_EQ(r.item("QRDBText13")->font.bold, e.bold);
        EXPECT_EQ(r.has("qrsRowRule"), e.rule);
        EXPECT_EQ(r.band.color, e.grey ? QColor(223, 223, 223) : QColor(Qt::white));
        // The closing line of the block is the band's bottom frame.
        bool closing = false;
        for (const Primitive &p : r.items)
            closing |= p.item == QStringLiteral("QRSubDetail1") && p.kind == Primitive::Kind::Line;
        EXPECT_EQ(closing, e.closing);
    }
    // Budgets: revenue prorated (90,000 x 30 / 30 x 15); the average rate's budget from
    // the budgeted revenue and rooms (90,000 / 1).
    EXPECT_EQ(rows[0].text("txtBUDGET_MTD"), QStringLiteral("1,350,000"));
    EXPECT_EQ(rows[8].text("txtBUDGET_MTD"), QStringLiteral("90,000"));
    EXPECT_EQ(rows[8].text("txtBUDGET_YTD"), QStringLiteral("90,000"));
}

// A hotel's block (its name and its lines) stands on one page: a block that does not fit
// below the blocks before it begins the next page, under the column headings.
TEST_F(ReportsTest, AHotelsBlockIsKeptOnOnePageUnderTheHeadings) {
    exec(QStringLiteral(
        "INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME, UPJANG_ENG_NAME, MIS_UPJANG_GUBUN1, "
        "MIS_UPJANG_GUBUN2, MIS_SUM_UPJANG_CODE, MIS_DISPLAY_SEQ) VALUES "
        "('1091', '별관', 'Annex', '10', '110', '1091', 40), "
        "('1092', '콘도', 'Condo', '10', '110', '1092', 50);"));
    for (const char *hotel : {"1001", "1002", "1003", "1091", "1092"}) {
        sale("20040415", hotel, "10", 900000, 15, 9);
        sale("20040415", hotel, "90", 100000, 0, 1);
    }
    TfrmSRP020 screen(connection, QStringLiteral("20040415"));
    const Document doc = run(screen);
    const auto hotels = Prints(doc, QStringLiteral("SRP020"), QStringLiteral("DetailBand1"));
    const auto rows = Prints(doc, QStringLiteral("SRP020"), QStringLiteral("QRSubDetail1"));
    ASSERT_EQ(hotels.size(), 5u);
    ASSERT_EQ(rows.size(), 5u * 12);
    ASSERT_GE(doc.pages.size(), 2u);
    for (size_t h = 0; h < hotels.size(); ++h) {
        SCOPED_TRACE(hotels[h].text("qrdName").toStdString());
        for (size_t r = h * 12; r < (h + 1) * 12; ++r)
            EXPECT_EQ(rows[r].page, hotels[h].page);
    }
    // Each further page begins with the headings, then a hotel's name.
    for (size_t p = 1; p < doc.pages.size(); ++p) {
        const auto &bands = doc.pages[p].bands;
        ASSERT_GE(bands.size(), 2u);
        EXPECT_EQ(bands[0].name, QStringLiteral("QRBand2"));
        EXPECT_EQ(bands[1].name, QStringLiteral("DetailBand1"));
    }
}

TEST_F(ReportsTest, FnbBlocksSumOutletsUnderTheirSummaryOutletAndTotalTheDivision) {
    sale("20040415", "3005", "20", 60000, 6); // coffee shop
    sale("20040415", "3006", "20", 40000, 4); // lobby lounge, summed under the coffee shop
    sale("20040415", "3001", "20", 30000, 1); // restaurants
    sale("20040415", "3002", "20", 10000, 3);
    TfrmSRP030 screen(connection, QStringLiteral("20040415"));
    const Document doc = run(screen);
    const auto divisions = Prints(doc, QStringLiteral("SRP030"), QStringLiteral("DetailBand1"));
    ASSERT_GE(divisions.size(), 2u);
    EXPECT_EQ(divisions[0].text("qrdName"), QStringLiteral("F&B (레스토랑)"));
    // Each division on a page of its own.
    for (size_t i = 0; i < divisions.size(); ++i)
        EXPECT_EQ(divisions[i].page, int(i) + 1);

    auto lines = [&](const QString &band, const char *name, const char *kind) {
        QStringList out;
        for (const Print &r : Prints(doc, QStringLiteral("SRP030"), band))
            out << QStringList{r.text(name), r.text(kind), r.text("qrdDivisionName"),
                               r.text("txtACTUAL_TODAY")}
                       .join(u'|');
        return out;
    };
    const QStringList outlets = lines(QStringLiteral("QRSubDetail1"), "QRDBText12", "QRDBText15");
    EXPECT_EQ(outlets,
              QStringList({"Korean Restaurant|Revenue|식음|30,000", "||<Total>|30,000",
                           "|Average Rate||30,000", "|Guest||1",
                           "Japanese Restaurant|Revenue|식음|10,000", "||<Total>|10,000",
                           "|Average Rate||3,333", "|Guest||3", "Coffee Shop|Revenue|식음|100,000",
                           "||<Total>|100,000", "|Average Rate||10,000", "|Guest||10"}));
    // The division's total takes its ratio from the division's revenue and guests.
    const QStringList totals = lines(QStringLiteral("QRSubDetail2"), "QRDBText28", "QRDBText29");
    ASSERT_GE(totals.size(), 4);
    EXPECT_EQ(totals.mid(0, 4),
              QStringList({"레스토랑 Total|Revenue|식음|40,000", "||<Total>|40,000",
                           "|Average Rate||10,000", "|Guest||4"}));
}

TEST_F(ReportsTest, LeportsPrintsTheGolfTeamsAndStartsTheRevenueLinesOnANewPage) {
    sale("20040415", "2001", "30", 500000, 50, 0, 12); // golf course
    sale("20040415", "4053", "60", 10000, 2);          // sauna
    sale("20040415", "4058", "60", 6000, 1);           // family sauna, under the sauna
    sale("20040415", "4001", "60", 20000, 4);          // indoor pool: guest activity (99)
    sale("20040415", "5075", "90", 3000);              // gift shop (group 90)
    TfrmSRP040 screen(connection, QStringLiteral("20040415"));
    const Document doc = run(screen);
    const auto areas = Prints(doc, QStringLiteral("SRP040"), QStringLiteral("DetailBand1"));
    QStringList names;
    for (const Print &a : areas)
        names << a.text("qrdName");
    EXPECT_EQ(names, QStringList({"GOLF", "LEPORTS", "OTHERS"}));

    QStringList blocks;
    for (const Print &r : Prints(doc, QStringLiteral("SRP040"), QStringLiteral("QRSubDetail1")))
        blocks << r.text("QRDBText12") + u'|' + r.text("QRDBText15") + u'|' +
                      r.text("txtACTUAL_TODAY");
    EXPECT_EQ(blocks,
              QStringList({"Golf Course|Revenue|500,000", "||500,000", "|Average Rate|10,000",
                           "|Guest|50", "|Team|12", "Sauna|Revenue|16,000", "||16,000",
                           "|Average Rate|5,333", "|Guest|3"}));
    const auto revenue = Prints(doc, QStringLiteral("SRP040"), QStringLiteral("QRSubDetail2"));
    ASSERT_EQ(revenue.size(), 2u);
    EXPECT_EQ(revenue[0].text("qrdOutletName"), QStringLiteral("Indoor Pool"));
    EXPECT_EQ(revenue[0].text("txtACTUAL_TODAY"), QStringLiteral("20,000"));
    EXPECT_EQ(revenue[1].text("qrdOutletName"), QStringLiteral("Gift Shop"));
    // The first revenue-only line starts a page although the first had room; the next
    // one follows on the same page (after the OTHERS heading).
    EXPECT_EQ(areas[1].page, 1);
    EXPECT_EQ(revenue[0].page, 2);
    EXPECT_EQ(revenue[1].page, 2);
    EXPECT_EQ(doc.pages.size(), 2u);
}

TEST_F(ReportsTest, KeloReportsWritesTheChosenReportsAsOnePdfOrSaysWhyNot) {
    if (test::OnPostgres())
        GTEST_SKIP() << "the tool is run here on a database file";
    sale("20040415", "1001", "10", 1234567);
    const QString pdf = schemaDb.dir() + QStringLiteral("/out.pdf");
    const QString db = schemaDb.file();
    const QString day = QStringLiteral("SELECT COUNT(*) FROM SA030MS WHERE SALE_DATE = '20040415'");
    struct Case {
        const char *name;
        QStringList args;
        int exitCode;
        const char *said; // on standard error
        const char *printed = nullptr;
        const char *drop = nullptr; // a table dropped first
        const char *dayRows = "1";  // the day's sales rows afterwards
    };
    const mode_t umask = ::umask(022);
    auto restoreUmask = qScopeGuard([umask] { ::umask(umask); });
    const Case cases[] = {
        {"two reports",
         {db, "--date", "20040415", "--reports", "1,2", "--pdf", pdf},
         0,
         "[2/2] SRP020",
         "DIVISION STATISTICS - ROOM"},
        {"the F&B report with its composite",
         {db, "--date", "20040415", "--reports", "6", "--pdf", pdf},
         0,
         "[2/2] SRP070",
         "F&B Report - Function"},
        {"no valid date", {db, "--date", "20040230", "--pdf", pdf}, 2, "is not a date"},
        {"no report 7",
         {db, "--date", "20040415", "--reports", "1,7", "--pdf", pdf},
         2,
         "7 is no report number"},
        {"no output", {db, "--date", "20040415"}, 2, "one of --pdf"},
        {"output not writable",
         {db, "--date", "20040415", "--pdf", "/nonexistent/out.pdf"},
         4,
         "/nonexistent/out.pdf cannot be written"},
        {"database error",
         {db, "--date", "20040415", "--pdf", pdf},
         3,
         "no such table: SA010DT",
         nullptr,
         "SA010DT"},
        // The build fails at its last table: the day stays as it was.
        {"failing build",
         {db, "--date", "20040415", "--build", "--reports", "1", "--pdf", pdf},
         3,
         "SA090MS",
         nullptr,
         "SA090MS"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(pdf);
        if (c.drop)
            exec(QStringLiteral("DROP TABLE %1").arg(QLatin1String(c.drop)));
        QProcess run;
        run.start(QStringLiteral(KELO_REPORTS_PROGRAM), c.args);
        ASSERT_TRUE(run.waitForFinished(60000));
        const QString said = QString::fromUtf8(run.readAllStandardError());
        EXPECT_EQ(run.exitCode(), c.exitCode) << said.toStdString();
        EXPECT_TRUE(said.contains(QLatin1String(c.said))) << said.toStdString();
        EXPECT_EQ(QFile::exists(pdf), c.exitCode == 0);
        struct stat st;
        if (c.exitCode == 0 && ::stat(QFile::encodeName(pdf).constData(), &st) == 0) {
            EXPECT_EQ(st.st_mode & 07777, 0644u); // a new file: 0666 less the umask of 022
        }
        // Nothing half-written is left beside it.
        EXPECT_EQ(QDir(schemaDb.dir())
                      .entryList({QStringLiteral(".out.pdf*")}, QDir::Hidden | QDir::Files),
                  QStringList());
        EXPECT_EQ(value(day), QLatin1String(c.dayRows));
        if (!c.printed)
            continue;
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        ASSERT_TRUE(text.waitForFinished(30000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        EXPECT_TRUE(printed.contains(QLatin1String(c.printed))) << printed.toStdString();
    }
}

TEST_F(ReportsTest, KeloReportsBuildsTheDayFirstWhenAsked) {
    if (test::OnPostgres())
        GTEST_SKIP() << "the tool is run here on a database file";
    // A hand-made row of the day, which the build replaces (no operating lines: no rows).
    sale("20040415", "1001", "10", 1234567);
    const QString pdf = schemaDb.dir() + QStringLiteral("/built.pdf");
    QProcess run;
    run.start(QStringLiteral(KELO_REPORTS_PROGRAM),
              {schemaDb.file(), QStringLiteral("--date"), QStringLiteral("20040415"),
               QStringLiteral("--build"), QStringLiteral("--emp"), QStringLiteral("20000009"),
               QStringLiteral("--reports"), QStringLiteral("9"), QStringLiteral("--pdf"), pdf});
    ASSERT_TRUE(run.waitForFinished(60000));
    const QString said = QString::fromUtf8(run.readAllStandardError());
    EXPECT_EQ(run.exitCode(), 0) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("data build of 20040415 done")));
    EXPECT_TRUE(said.contains(QStringLiteral("[1/1] SRP090")));
    EXPECT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM SA030MS WHERE SALE_DATE = '20040415'")),
              QStringLiteral("0"));
}

} // namespace
