#include "db/query.h"
#include "screens/reports/reports.h"
#include "screens/reports/srp070_fnb_function_guf.h"

#include <gtest/gtest.h>

#include "report_prints.h"
#include "support/schema_database.h"

using namespace kelo;
using namespace kelo::screens;
using report::Document;
using report::Primitive;
using test::Print;
using test::Prints;

namespace {

// The F&B function and GUF composite on a database as the project makes them (code set
// S0009 holds the categories 10 BREAKFAST, 20 LUNCH, 30 DINNER, 40 LATE; the business
// year starts in January) with the covers and guests each test adds.
class FnbGufTest : public ::testing::Test {
protected:
    // An F&B index row: in-house covers of an outlet and category.
    void covers(const char *date, const char *outlet, const char *category, double inHouse) {
        db::Query q(connection);
        q.setSql(QStringLiteral(R"sql(
            INSERT INTO SA040MS (SALE_DATE, UPJANG_CODE, GUBUN, IH_COVER)
            VALUES (:D, :U, :G, :C)
        )sql"));
        q.setParam(QStringLiteral("D"), QLatin1String(date));
        q.setParam(QStringLiteral("U"), QLatin1String(outlet));
        q.setParam(QStringLiteral("G"), QLatin1String(category));
        q.setParam(QStringLiteral("C"), QString::number(inHouse));
        q.exec();
    }
    // A sales summary row with guests.
    void guests(const char *date, const char *outlet, const char *division, double count) {
        db::Query q(connection);
        q.setSql(QStringLiteral(R"sql(
            INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS)
            VALUES (:D, :U, :V, :G)
        )sql"));
        q.setParam(QStringLiteral("D"), QLatin1String(date));
        q.setParam(QStringLiteral("U"), QLatin1String(outlet));
        q.setParam(QStringLiteral("V"), QLatin1String(division));
        q.setParam(QStringLiteral("G"), QString::number(count));
        q.exec();
    }
    Document composite(const char *date) {
        TfrmSRP070 screen(connection, QLatin1String(date));
        screen.openData();
        return screen.paginate();
    }
    std::vector<Print> functionRows(const Document &doc) {
        return Prints(doc, QStringLiteral("SRP071"), QStringLiteral("DetailBand1"));
    }
    std::vector<Print> gufRows(const Document &doc) {
        return Prints(doc, QStringLiteral("SRP072"), QStringLiteral("DetailBand1"));
    }
    // A GUF row as "category: covers GUF" per period, today, month, year.
    static QStringList Periods(const Print &row) {
        QStringList out;
        for (const char *p : {"TODAY", "MTD", "YTD"})
            out << QStringLiteral("%1: %2 %3")
                       .arg(row.texts.value(QStringLiteral("txt%1_GUBUN_NAME").arg(p)),
                            row.texts.value(QStringLiteral("txt%1_GST_IH").arg(p)),
                            row.texts.value(QStringLiteral("txt%1_GUF").arg(p)));
        return out;
    }

    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
};

TEST_F(FnbGufTest, GufIsCoversOverRoomGuestsRoundedToWholePercents) {
    struct Case {
        double covers, guests;
        const char *guf;
    };
    const Case cases[] = {
        {120, 400, "30%"}, {1, 3, "33%"},    // the ratio is rounded to two decimals first
        {2, 3, "67%"},     {57, 100, "57%"}, // .57 x 100 is no whole binary number
        {10, 0, "100%"},                     // no room guests
        {0, 0, "0%"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.guf);
        connection.executeScript(QStringLiteral("DELETE FROM SA040MS; DELETE FROM SA030MS;"));
        covers("20040415", "3001", "10", c.covers);
        if (c.guests > 0) {
            // The room guests of the three hotels, in any division.
            guests("20040415", "1001", "10", c.guests - 2);
            guests("20040415", "1002", "90", 1);
            guests("20040415", "1003", "10", 1);
        }
        guests("20040415", "3001", "20", 1000); // an F&B outlet's guests are no room guests

        const Document doc = composite("20040415");
        const auto rows = gufRows(doc);
        ASSERT_EQ(rows.size(), 2u);
        for (const Print &row : rows)
            EXPECT_EQ(row.text("txtTODAY_GUF"), QLatin1String(c.guf))
                << row.text("txtTODAY_GUBUN_NAME").toStdString();
        EXPECT_EQ(rows[1].text("txtTODAY_GUBUN_NAME"), QStringLiteral("<Total F&B>"));
        const auto header = Prints(doc, QStringLiteral("SRP072"), QStringLiteral("QRBand2"));
        ASSERT_EQ(header.size(), 1u);
        EXPECT_EQ(header[0].text("txtTODAY_TOTAL_RMS"), QString::number(c.guests));
    }
}

TEST_F(FnbGufTest, TheMonthIsTheWholeCalendarMonthAndTheYearTheWholeBusinessYear) {
    // Covers of the banquet and room guests of a hotel on 15 April 2004 and around it.
    struct Day {
        const char *date;
        double covers, guests;
    };
    const Day days[] = {
        {"20040415", 5, 50},   // the business date
        {"20040430", 7, 70},   // later in its month
        {"20040331", 11, 110}, // the month before
        {"20041231", 13, 130}, // the end of the year
        {"20030415", 17, 170}, // last year
        {"20050101", 19, 190}, // next year
    };
    for (const Day &d : days) {
        covers(d.date, "3004", "20", d.covers);
        guests(d.date, "1001", "10", d.guests);
    }
    const Document doc = composite("20040415");

    const auto function = functionRows(doc);
    ASSERT_EQ(function.size(), 1u);
    EXPECT_EQ(function[0].text("txtTODAY_GST_IH"), QStringLiteral("5"));
    EXPECT_EQ(function[0].text("txtMTD_GST_IH"), QStringLiteral("12"));
    EXPECT_EQ(function[0].text("txtYTD_GST_IH"), QStringLiteral("36"));

    const auto rows = gufRows(doc);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(Periods(rows[0]), QStringList({"LUNCH: 5 10%", "LUNCH: 12 10%", "LUNCH: 36 10%"}));
    const auto header = Prints(doc, QStringLiteral("SRP072"), QStringLiteral("QRBand2"));
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header[0].text("txtTODAY_TOTAL_RMS"), QStringLiteral("50"));
    EXPECT_EQ(header[0].text("txtMTD_TOTAL_RMS"), QStringLiteral("120"));
    EXPECT_EQ(header[0].text("txtYTD_TOTAL_RMS"), QStringLiteral("360"));
}

TEST_F(FnbGufTest, FunctionCountsTheBanquetAndBothLeaveOutCategoriesWithoutAName) {
    covers("20040415", "3004", "10", 20);
    covers("20040415", "3004", "20", 30);
    covers("20040415", "3004", "99", 1000); // no S0009 entry
    covers("20040415", "3001", "10", 400);  // not the banquet
    covers("20040415", "3005", "40", 1600);
    guests("20040415", "1001", "10", 4000);
    const Document doc = composite("20040415");

    const auto function = functionRows(doc);
    ASSERT_EQ(function.size(), 1u);
    EXPECT_EQ(function[0].text("QRDBText1"), QStringLiteral("Function"));
    EXPECT_EQ(function[0].text("txtTODAY_GST_IH"), QStringLiteral("50"));

    QStringList today;
    for (const Print &row : gufRows(doc))
        today << Periods(row).at(0);
    EXPECT_EQ(today, QStringList({"BREAKFAST: 420 11%", "LUNCH: 30 1%", "LATE: 1,600 40%",
                                  "<Total F&B>: 2,050 51%"}));
}

TEST_F(FnbGufTest, WithoutFiguresTheFunctionRowAndTheTotalPrintZeros) {
    const Document doc = composite("20040415");
    const auto function = functionRows(doc);
    ASSERT_EQ(function.size(), 1u);
    EXPECT_EQ(function[0].text("txtTODAY_GST_IH"), QStringLiteral("0"));
    const auto rows = gufRows(doc);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Periods(rows[0]),
              QStringList({"<Total F&B>: 0 0%", "<Total F&B>: 0 0%", "<Total F&B>: 0 0%"}));
}

TEST_F(FnbGufTest, TheCompositePrintsFunctionThenGufAsOneJob) {
    // Thirty categories more than fit on the first page with the function report.
    QString codes;
    for (int i = 50; i < 80; ++i) {
        codes += QStringLiteral("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES "
                                "('S0009', '%1', 'MEAL %1');")
                     .arg(i);
        const QByteArray code = QByteArray::number(i);
        covers("20040415", "3001", code.constData(), 1);
    }
    connection.executeScript(codes);
    covers("20040415", "3004", "10", 8);
    guests("20040415", "1001", "10", 100);

    TfrmSRP070 screen(connection, QStringLiteral("20040415"));
    EXPECT_EQ(screen.frmSRP071->qrbFooter.item(QStringLiteral("qrlProgramID")).text,
              QStringLiteral("SRP071"));
    EXPECT_EQ(screen.frmSRP072->qrbFooter.item(QStringLiteral("qrlProgramID")).text,
              QStringLiteral("SRP072"));
    screen.openData();
    const Document doc = screen.paginate();
    EXPECT_EQ(doc.title, QStringLiteral("F&B Fuction/Guf(%)"));

    const QStringList texts = doc.texts();
    const qsizetype function = texts.indexOf(QStringLiteral("F&B Report - Function"));
    const qsizetype guf = texts.indexOf(QStringLiteral("F&B Report - GUF (%)"));
    EXPECT_GE(function, 0);
    EXPECT_LT(function, guf);
    const auto functionTitle = Prints(doc, QStringLiteral("SRP071"), QStringLiteral("qrbHeader"));
    const auto gufTitle = Prints(doc, QStringLiteral("SRP072"), QStringLiteral("qrbHeader"));
    ASSERT_EQ(functionTitle.size(), 1u);
    ASSERT_EQ(gufTitle.size(), 1u);
    EXPECT_EQ(functionTitle[0].text("qrlResort"), QStringLiteral("Kelo Resort"));
    EXPECT_FALSE(gufTitle[0].texts.contains(QStringLiteral("qrlResort")));
    EXPECT_EQ(gufTitle[0].text("qrlSaleDate"), QStringLiteral("Date: 2004 | 04 | 15 Thursday"));
    // The GUF report follows the function report on its page.
    EXPECT_EQ(gufTitle[0].page, 1);

    // The banquet's covers on shaded blocks that print no text.
    const auto banquet = functionRows(doc);
    ASSERT_EQ(banquet.size(), 1u);
    EXPECT_EQ(banquet[0].text("txtTODAY_GST_IH"), QStringLiteral("8"));
    for (const char *block : {"QRLabel26", "QRLabel31", "QRLabel32"}) {
        SCOPED_TRACE(block);
        EXPECT_FALSE(banquet[0].texts.contains(QLatin1String(block)));
        const Primitive *shade = banquet[0].item(block);
        ASSERT_NE(shade, nullptr);
        EXPECT_EQ(shade->brush, kButtonFace);
    }

    // "GUF (%)" on the first row only, also after the page break; the headings with the
    // room guests repeat on the new page.
    const auto rows = gufRows(doc);
    ASSERT_EQ(rows.size(), 32u);
    EXPECT_EQ(rows.back().page, 2);
    EXPECT_EQ(rows.front().text("QRDBText19"), QStringLiteral("GUF (%)"));
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_FALSE(rows[i].texts.contains(QStringLiteral("QRDBText19"))) << i;
    const auto headers = Prints(doc, QStringLiteral("SRP072"), QStringLiteral("QRBand2"));
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers[1].page, 2);
    EXPECT_EQ(headers[1].text("txtTODAY_TOTAL_RMS"), QStringLiteral("100"));
}

} // namespace
