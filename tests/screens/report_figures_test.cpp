// The figures of the repository's report definitions, run on a small fixture whose figures
// are known, read back from the laid-out page.
#include "support/schema_database.h"
#include "viewer/definition_parser.h"
#include "viewer/execution.h"

#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>

using namespace kelo;

namespace {

class ReportFiguresTest : public ::testing::Test {
protected:
    std::unique_ptr<viewer::LoadedReport> load(const QString &name) {
        QFile file(QStringLiteral(KELO_REPORTS_DIR "/") + name);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        viewer::ParseResult r = viewer::ParseDefinition(file.readAll(), name, db.connection());
        EXPECT_NE(r.report, nullptr) << r.error.toStdString();
        return std::move(r.report);
    }
    // The texts of each print of the detail bands, left to right.
    static QList<QStringList> detailRows(const report::Document &document) {
        QList<QStringList> rows;
        for (const report::Page &page : document.pages)
            for (size_t b = 0; b < page.bands.size(); ++b) {
                if (page.bands[b].kind != report::BandKind::Detail)
                    continue;
                std::vector<const report::Primitive *> texts;
                for (const report::Primitive &p : page.items)
                    if (p.band == int(b) && p.kind == report::Primitive::Kind::Text)
                        texts.push_back(&p);
                std::sort(texts.begin(), texts.end(),
                          [](auto *a, auto *c) { return a->rect.left() < c->rect.left(); });
                QStringList row;
                for (const report::Primitive *p : texts)
                    row << p->text;
                rows << row;
            }
        return rows;
    }
    test::SchemaDatabase db;
};

// The month to date against the same days of last year's month: nine days of December 2026
// against December 1 to 9 of 2025, not against the whole of last December.
TEST_F(ReportFiguresTest, SpendPerGuestComparesTheMonthToDateWithTheSameDaysOfLastYear) {
    db.exec(QStringLiteral(R"sql(
INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME, MIS_UPJANG_GUBUN1)
VALUES ('9001', '가든', '20')
)sql"));
    // 10 guests and 100,000 a day this year to the 9th; 8 guests and 96,000 a day all of last
    // December.
    for (int day = 1; day <= 31; ++day) {
        const QString dd = QStringLiteral("%1").arg(day, 2, 10, QLatin1Char('0'));
        if (day <= 9)
            db.exec(QStringLiteral(R"sql(
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, NET_AMT, SVC_AMT)
VALUES ('202612%1', '9001', '20', 10, 90000, 10000)
)sql")
                        .arg(dd));
        db.exec(QStringLiteral(R"sql(
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, NET_AMT, SVC_AMT)
VALUES ('202512%1', '9001', '20', 8, 96000, 0)
)sql")
                    .arg(dd));
    }
    auto report = load(QStringLiteral("켈로펠모라리조트객단가현황.mrd"));
    ASSERT_TRUE(report);
    const viewer::RunResult run =
        viewer::RunReport(*report, {{QStringLiteral("AMONTH"), QStringLiteral("202612")}});
    ASSERT_TRUE(run.error.isEmpty()) << run.error.toStdString();
    const QList<QStringList> rows = detailRows(run.document);
    ASSERT_EQ(rows.size(), 2); // the outlet, then its division's subtotal
    EXPECT_EQ(rows[1].mid(1), rows[0].mid(1));
    // Guests, sales, spend per guest this year; the same last year; the differences.
    EXPECT_EQ(rows[0], (QStringList{"가든", "90", "900,000", "10,000", "72", "864,000", "12,000",
                                    "-2,000", "4.2"}));

    // A month that is over compares whole months, February's last day included.
    db.exec(QStringLiteral(R"sql(
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, NET_AMT, SVC_AMT)
VALUES ('20250228', '9001', '20', 5, 50000, 0),
    ('20240228', '9001', '20', 4, 40000, 0),
    ('20240229', '9001', '20', 6, 60000, 0)
)sql"));
    const viewer::RunResult february =
        viewer::RunReport(*report, {{QStringLiteral("AMONTH"), QStringLiteral("202502")}});
    ASSERT_TRUE(february.error.isEmpty()) << february.error.toStdString();
    const QList<QStringList> february_rows = detailRows(february.document);
    ASSERT_EQ(february_rows.size(), 2);
    EXPECT_EQ(february_rows[0].mid(0, 7),
              (QStringList{"가든", "5", "50,000", "10,000", "10", "100,000", "10,000"}));
}

// The gondola's achievement is net sales against the budget, as the daily business report
// has it: budgets are net amounts, and sales with VAT would overstate it (104.8 for 95.2).
TEST_F(ReportFiguresTest, TheGondolasAchievementIsNetSalesAgainstTheBudget) {
    db.exec(QStringLiteral(R"sql(
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, NET_AMT, SALE_AMT)
VALUES ('20261208', '5002', '40', 100, 1000000, 1100000);
INSERT INTO JH010MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT)
VALUES ('20261208', '5002', '40', 90, 1050000)
)sql"));
    auto report = load(QStringLiteral("곤도라이용실적현황.mrd"));
    ASSERT_TRUE(report);
    const viewer::RunResult run =
        viewer::RunReport(*report, {{QStringLiteral("AFROM_DATE"), QStringLiteral("20261208")},
                                    {QStringLiteral("ATO_DATE"), QStringLiteral("20261208")}});
    ASSERT_TRUE(run.error.isEmpty()) << run.error.toStdString();
    const QList<QStringList> rows = detailRows(run.document);
    ASSERT_EQ(rows.size(), 1);
    // Date, weekday, guests, budget guests, net, gross, budget, achievement.
    EXPECT_EQ(rows[0].mid(2, 6),
              (QStringList{"100", "90", "1,000,000", "1,100,000", "1,050,000", "95.2"}));
    EXPECT_TRUE(run.document.pages[0].texts().contains(QStringLiteral("95.2")));
}

} // namespace
