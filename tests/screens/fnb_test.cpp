#include "db/query.h"
#include "report/textfit.h"
#include "screens/reports/srp050_fnb_index.h"
#include "screens/reports/srp060_fnb_report.h"

#include <gtest/gtest.h>

#include "support/schema_database.h"

using namespace kelo;
using namespace kelo::screens;
using report::Document;

namespace {

// One print of a sub-detail band: its page (from 1), its texts and its bottom line.
struct Line {
    int page = 0;
    QMap<QString, QString> texts;
    QString text(const char *item) const { return texts.value(QLatin1String(item)); }
    QString figure(const char *field) const {
        return texts.value(QStringLiteral("txt") + QLatin1String(field));
    }
};

std::vector<Line> Lines(const Document &doc, const char *band) {
    std::vector<Line> out;
    for (size_t p = 0; p < doc.pages.size(); ++p)
        for (int b : doc.pages[p].bandsNamed(QLatin1String(band)))
            out.push_back({int(p) + 1, doc.pages[p].bandTexts(b)});
    return out;
}

// The divisions' names on the pages, by page.
QStringList Masters(const Document &doc) {
    QStringList out;
    for (const Line &l : Lines(doc, "DetailBand1"))
        out << QString::number(l.page) + u' ' + l.text("qrdName");
    return out;
}

// F&B index figures of the Korean restaurant (3001, division 210), the Japanese
// restaurant (3002, 210) and the banquet (3004, 220) around 15 April 2004.
class FnbReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Korean restaurant, breakfast: today, earlier this month, later this month,
        // this business year, the same day last year and last business year.
        index("20040415", "3001", "10", 30, 70, 800000, 200000, 0);
        index("20040401", "3001", "10", 40, 60, 1500000, 500000, 0);
        index("20040420", "3001", "10", 4, 6, 400000, 100000, 0);
        index("20040110", "3001", "10", 0, 0, 4000000, 0, 0);
        index("20030415", "3001", "10", 0, 0, 10000000, 0, 0);
        index("20030102", "3001", "10", 0, 0, 1000000, 0, 0);
        // Lunch: food revenue without covers.
        index("20040415", "3001", "20", 0, 0, 50000, 0, 0);
        // A category the code set does not know.
        index("20040415", "3001", "77", 5, 5, 9999, 0, 0);
        // Covers without revenue; the banquet with revenue and no budget.
        index("20040415", "3002", "10", 2, 3, 0, 0, 0);
        index("20040415", "3004", "30", 10, 0, 300000, 0, 12345);
        // The Korean restaurant's budget: 500,000,000 up to the 15th, 710,000,000 in April.
        budget("20040410", "3001", 500000000);
        budget("20040425", "3001", 210000000);
    }

    void index(const char *date, const char *outlet, const char *gubun, double ih, double wi,
               double food, double beverage, double other) {
        db::Query q(connection);
        q.setSql(QStringLiteral(
            "INSERT INTO SA040MS (SALE_DATE, UPJANG_CODE, GUBUN, IH_COVER, WI_COVER, TOTAL_COVER, "
            "FOOD_REVENUE, BEVERAGE_REVENUE, OTHER_REVENUE, TOTAL_REVENUE) "
            "VALUES (:D, :U, :G, :IH, :WI, :TC, :F, :B, :O, :T)"));
        q.setParam(QStringLiteral("D"), QLatin1String(date));
        q.setParam(QStringLiteral("U"), QLatin1String(outlet));
        q.setParam(QStringLiteral("G"), QLatin1String(gubun));
        q.setParam(QStringLiteral("IH"), QString::number(ih, 'f', 0));
        q.setParam(QStringLiteral("WI"), QString::number(wi, 'f', 0));
        q.setParam(QStringLiteral("TC"), QString::number(ih + wi, 'f', 0));
        q.setParam(QStringLiteral("F"), QString::number(food, 'f', 0));
        q.setParam(QStringLiteral("B"), QString::number(beverage, 'f', 0));
        q.setParam(QStringLiteral("O"), QString::number(other, 'f', 0));
        q.setParam(QStringLiteral("T"), QString::number(food + beverage + other, 'f', 0));
        q.exec();
    }
    void budget(const char *date, const char *outlet, double amount) {
        connection.executeScript(
            QStringLiteral("INSERT INTO JH010MS (SALE_DATE, UPJANG_CODE, DIVISION, SALE_AMT) "
                           "VALUES ('%1', '%2', '20', %3)")
                .arg(QLatin1String(date), QLatin1String(outlet))
                .arg(amount, 0, 'f', 0));
    }
    template <typename Screen> Document run() {
        Screen screen(connection, QStringLiteral("20040415"));
        screen.openData();
        return screen.paginate();
    }

    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
};

TEST_F(FnbReportTest, TheIndexSumsThePeriodsPerOutletAndCategoryWithSubTotals) {
    const Document doc = run<TfrmSRP050>();
    EXPECT_EQ(doc.title, QStringLiteral("F&B Index"));
    // A page per F&B division, in code order.
    EXPECT_EQ(Masters(doc), QStringList({"1 F&B (레스토랑)", "2 F&B (연회)", "3 F&B (라운지)",
                                         "4 F&B (골프식음)", "5 F&B (스키식음)"}));
    const auto rows = Lines(doc, "QRSubDetail1");
    QStringList lines;
    for (const Line &l : rows)
        lines << QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
                     .arg(l.page)
                     .arg(l.text("QRDBText12"), l.text("qrdGubunName"), l.figure("TODAY_GST_TOTAL"),
                          l.figure("TODAY_RVN_TOTAL"), l.figure("TODAY_AVG"),
                          l.figure("MTD_RVN_TOTAL"), l.figure("YTD_RVN_TOTAL"));
    // The outlet's name on its first line only; no covers: an average spend of 0; the
    // unknown category nowhere; the later day of the month not in the month to date.
    EXPECT_EQ(lines, QStringList({
                         "1|Korean Restaurant|BREAKFAST|100|1,000,000|10,000|3,000,000|7,000,000",
                         "1||LUNCH|0|50,000|0|50,000|50,000",
                         "1||<Sub Total>|100|1,050,000|10,500|3,050,000|7,050,000",
                         "1|Japanese Restaurant|BREAKFAST|5|0|0|0|0",
                         "1||<Sub Total>|5|0|0|0|0",
                         "2|Banquet|DINNER|10|312,345|31,235|312,345|312,345",
                         "2||<Sub Total>|10|312,345|31,235|312,345|312,345",
                     }));
    const auto totals = Lines(doc, "QRSubDetail2");
    ASSERT_EQ(totals.size(), 5u);
    EXPECT_EQ(totals[0].text("QRDBText55"), QStringLiteral("레스토랑 Total"));
    EXPECT_EQ(totals[2].text("qrdGubunName"), QStringLiteral("<Sub Total>"));
    EXPECT_EQ(totals[2].figure("TODAY_GST_TOTAL"), QStringLiteral("105"));
    EXPECT_EQ(totals[2].figure("MTD_GST_IH"), QStringLiteral("72"));
    EXPECT_EQ(totals[3].text("QRDBText55"), QStringLiteral("연회 Total"));
}

TEST_F(FnbReportTest, TheReportSetsMonthYearAndBudgetAgainstLastYear) {
    const Document doc = run<TfrmSRP060>();
    EXPECT_EQ(doc.title, QStringLiteral("F&B Report"));
    const auto rows = Lines(doc, "QRSubDetail1");
    ASSERT_EQ(rows.size(), 7u);
    const char *fields[] = {"TODAY_GST_TOTAL",  "MTD_GST_TOTAL",      "TODAY_FOOD_AVG",
                            "TODAY_TOTAL_AVG",  "MTD_RVN_AVG",        "TODAY_RVN_TOTAL",
                            "LYT_RVN_TOTAL",    "TYM_M_RVN_TOTAL",    "LYM_M_RVN_TOTAL",
                            "MTD_RVN_VARIANCE", "MTD_BUDGET_TOTAL",   "MTD_BUDGET_VARIANCE",
                            "YTD_RVN_TOTAL",    "LTD_RVN_TOTAL",      "YTD_RVN_VARIANCE",
                            "YTD_BUDGET_TOTAL", "YTD_BUDGET_VARIANCE"};
    auto figures = [&fields](const Line &l) {
        QStringList out{l.text("qrdGubunName")};
        for (const char *f : fields)
            out << l.figure(f);
        return out.join(u'|');
    };
    // Breakfast: the month's revenue is the whole of April (3,000,000 and the 20th's
    // 500,000) against last April; category lines show "-" for the budget variances.
    EXPECT_EQ(figures(rows[0]), QStringLiteral("BREAKFAST|100|200|8,000|10,000|15,000|1,000,000|"
                                               "10,000,000|3,500,000|10,000,000|35%||-|7,000,000|"
                                               "11,000,000|63.6%||-"));
    // Food revenue without covers: an average check of 1; nothing last year: 100%.
    EXPECT_EQ(figures(rows[1]), QStringLiteral("LUNCH|0|0|1|1|1|50,000|0|50,000|0|100%||-|50,000|"
                                               "0|100%||-"));
    // The sub-total carries the budget: April's 710,000,000 gives .5%, the year's
    // 500,000,000 to the 15th 1.4%.
    EXPECT_EQ(figures(rows[2]),
              QStringLiteral("<Sub Total>|100|200|8,500|10,500|15,250|1,050,000|10,000,000|"
                             "3,550,000|10,000,000|35.5%|710,000,000|.5%|7,050,000|11,000,000|"
                             "64.1%|500,000,000|1.4%"));
    // No revenue and no budget: 0%; revenue without a budget: 100%.
    EXPECT_EQ(rows[4].figure("MTD_BUDGET_VARIANCE"), QStringLiteral("0%"));
    EXPECT_EQ(rows[4].figure("MTD_RVN_VARIANCE"), QStringLiteral("0%"));
    EXPECT_EQ(rows[6].figure("MTD_BUDGET_VARIANCE"), QStringLiteral("100%"));
    EXPECT_EQ(rows[6].figure("YTD_BUDGET_VARIANCE"), QStringLiteral("100%"));
}

TEST_F(FnbReportTest, SubTotalsCloseTheirBlockAndTheGrandTotalStandsOnTheBanquetPage) {
    const Document doc = run<TfrmSRP060>();
    // The sub-total lines draw a line under themselves, the category lines none.
    for (size_t p = 0; p < doc.pages.size(); ++p)
        for (const char *band : {"QRSubDetail1", "QRSubDetail2"})
            for (int b : doc.pages[p].bandsNamed(QLatin1String(band))) {
                const QString name =
                    doc.pages[p].bandTexts(b).value(QStringLiteral("qrdGubunName"));
                bool line = false;
                const QRectF r = doc.pages[p].bands[size_t(b)].rect;
                for (const report::Primitive &i : doc.pages[p].items)
                    if (i.band == b && i.kind == report::Primitive::Kind::Line &&
                        qAbs(i.rect.top() - r.bottom()) < 0.5 && i.rect.width() > 200)
                        line = true;
                EXPECT_EQ(line, name == QStringLiteral("<Sub Total>")) << name.toStdString();
            }

    QStringList blocks;
    for (const Line &l : Lines(doc, "QRSubDetail2"))
        blocks << QStringLiteral("%1 %2 %3")
                      .arg(l.page)
                      .arg(l.text("QRDBText55"), l.text("qrdGubunName"));
    EXPECT_EQ(blocks, QStringList({"1 레스토랑 Total BREAKFAST", "1  LUNCH", "1  <Sub Total>",
                                   "2 연회 Total DINNER", "2  <Sub Total>", "2 Total BREAKFAST",
                                   "2  LUNCH", "2  DINNER", "2  <Sub Total>"}));
    const auto totals = Lines(doc, "QRSubDetail2");
    EXPECT_EQ(totals.back().figure("TODAY_RVN_TOTAL"), QStringLiteral("1,362,345"));
    EXPECT_EQ(totals.back().figure("MTD_BUDGET_TOTAL"), QStringLiteral("710,000,000"));

    // Without a master row for division 220 the grand total has no page.
    connection.executeScript(
        QStringLiteral("DELETE FROM ZX010MS WHERE HEAD = 'S0003' AND DETAIL = '220'"));
    QStringList names;
    for (const Line &l : Lines(run<TfrmSRP060>(), "QRSubDetail2"))
        names << l.text("QRDBText55");
    EXPECT_FALSE(names.contains(QStringLiteral("Total")));
    EXPECT_TRUE(names.contains(QStringLiteral("레스토랑 Total")));
}

TEST_F(FnbReportTest, TwentyNinthOfFebruaryComparesWithTheTwentyEighth) {
    index("20040229", "3001", "10", 1, 1, 100, 0, 0);
    index("20030228", "3001", "10", 1, 1, 400, 0, 0);
    index("20030301", "3001", "10", 1, 1, 99, 0, 0);
    TfrmSRP060 screen(connection, QStringLiteral("20040229"));
    screen.openData();
    screen.cdsList.moveTo(0);
    EXPECT_EQ(screen.cdsList.text(QStringLiteral("GUBUN_NAME")), QStringLiteral("BREAKFAST"));
    EXPECT_EQ(screen.cdsList.number(QStringLiteral("LYT_RVN_TOTAL")), 400);
    EXPECT_EQ(screen.cdsList.number(QStringLiteral("LYM_M_RVN_TOTAL")), 400);
    EXPECT_EQ(screen.cdsList.text(QStringLiteral("MTD_RVN_VARIANCE")), QStringLiteral("25%"));
}

// Every text of both reports stands inside its item, and an item inside its column: the
// Japanese restaurant's name is set smaller or cut within its column, clear of the category
// beside it, and the headings ("Variance(%)" among them) fit their boxes whole.
TEST_F(FnbReportTest, TextsStayInsideTheirColumns) {
    index("20040415", "3002", "20", 1, 1, 100, 0, 0);
    for (const Document &doc : {run<TfrmSRP050>(), run<TfrmSRP060>()}) {
        SCOPED_TRACE(doc.title.toStdString());
        int names = 0, headings = 0;
        for (const report::Page &page : doc.pages)
            for (size_t b = 0; b < page.bands.size(); ++b) {
                std::vector<const report::Primitive *> texts;
                for (const report::Primitive &p : page.items)
                    if (p.band == int(b) && p.kind == report::Primitive::Kind::Text)
                        texts.push_back(&p);
                for (const report::Primitive *p : texts) {
                    const QRectF bounds = report::TextBounds(*p);
                    EXPECT_GE(bounds.left(), p->rect.left() - 0.05) << p->text.toStdString();
                    EXPECT_LE(bounds.right(), p->rect.right() + 0.05) << p->text.toStdString();
                    if (p->wordWrap) {
                        EXPECT_LE(bounds.height(), p->rect.height() + 0.05)
                            << p->text.toStdString();
                    }
                    if (p->item.startsWith(QLatin1String("qrlColumn"))) {
                        ++headings;
                        EXPECT_FALSE(p->text.contains(u'…')) << p->text.toStdString();
                    }
                }
                // The outlet's name ends before the category's column begins, with a gap.
                const report::Primitive *name = nullptr, *category = nullptr;
                for (const report::Primitive *p : texts) {
                    if (p->item == QLatin1String("QRDBText12") ||
                        p->item == QLatin1String("QRDBText55"))
                        name = p;
                    if (p->item == QLatin1String("qrdGubunName"))
                        category = p;
                }
                if (name && category) {
                    ++names;
                    EXPECT_LE(report::TextBounds(*name).right() + 1, category->rect.left())
                        << name->text.toStdString();
                }
            }
        EXPECT_GT(names, 0);
        EXPECT_GT(headings, 0);
    }
}

} // namespace
