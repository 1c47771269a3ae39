// The figures of the repository's report definitions, run on a small fixture whose figures
// are known, read back from the laid-out page.
#include "support/schema_database.h"
#include "viewer/definition_parser.h"
#include "viewer/execution.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <algorithm>
#include <cmath>
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
    // The definition to run for name: a variant's base, the values the variant fixes put
    // over values as the viewer does.
    std::unique_ptr<viewer::LoadedReport> loadToRun(const QString &name,
                                                    QHash<QString, QString> &values) {
        auto report = load(name);
        QHash<QString, QString> fixed;
        while (report && report->isVariant()) {
            for (auto it = report->fixedValues.cbegin(); it != report->fixedValues.cend(); ++it)
                if (!fixed.contains(it.key()))
                    fixed.insert(it.key(), it.value());
            report = load(report->extends + QStringLiteral(".mrd"));
        }
        values.insert(fixed);
        return report;
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
    // The text printed under the nth header `label` (left to right) on the line of the row
    // whose first text is `row` (blanks trimmed); for an empty row, the text printed right of
    // the label on its own line (the figures of a title band). Empty when there is none.
    static QString figure(const report::Document &document, const QString &row,
                          const QString &label, int nth) {
        using report::Primitive;
        for (const report::Page &page : document.pages) {
            std::vector<const Primitive *> labels;
            for (const Primitive &p : page.items)
                if (p.kind == Primitive::Kind::Text && p.text.trimmed() == label)
                    labels.push_back(&p);
            std::sort(labels.begin(), labels.end(),
                      [](auto *a, auto *c) { return a->rect.left() < c->rect.left(); });
            if (int(labels.size()) <= nth)
                continue;
            const Primitive *head = labels[size_t(nth)];
            auto sameLine = [](const Primitive &a, const Primitive &c) {
                return a.band == c.band && std::abs(a.rect.center().y() - c.rect.center().y()) < 1;
            };
            if (row.isEmpty()) {
                const Primitive *next = nullptr;
                for (const Primitive &p : page.items)
                    if (p.kind == Primitive::Kind::Text && &p != head && sameLine(p, *head) &&
                        p.rect.left() >= head->rect.right() - 0.1 &&
                        (!next || p.rect.left() < next->rect.left()))
                        next = &p;
                if (next)
                    return next->text;
                continue;
            }
            for (const Primitive &key : page.items) {
                if (key.kind != Primitive::Kind::Text || key.text.trimmed() != row ||
                    key.band == head->band)
                    continue;
                for (const Primitive &p : page.items)
                    if (p.kind == Primitive::Kind::Text && sameLine(p, key) &&
                        p.rect.left() <= head->rect.center().x() &&
                        head->rect.center().x() <= p.rect.right())
                        return p.text;
            }
        }
        return {};
    }
    // The values of parameters given as (name, value) pairs.
    static QHash<QString, QString>
    Values(const std::vector<std::pair<const char *, const char *>> &parameters) {
        QHash<QString, QString> values;
        for (const auto &[name, value] : parameters)
            values.insert(QString::fromUtf8(name), QString::fromUtf8(value));
        return values;
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

// The gondola's achievement is sales without VAT against the budget, as the daily business
// report has it; sales with VAT overstate it (104.8 for 95.2).
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

// One business day of a hotel (1001) and an F&B outlet whose figures are known: 68 rooms sold, of
// them 60 paid, 5 complimentary (guest type 910) and 3 house use (900); 126 guests; room
// revenue 8,400,000 without service charge (840,000) and VAT. The outlet: 50 guests, net
// 1,500,000, service charge 150,000, VAT 165,000.
class ReportFiguresOfOneDayTest : public ReportFiguresTest {
protected:
    void SetUp() override {
        db.exec(QStringLiteral(R"sql(
INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME, MIS_UPJANG_GUBUN1)
VALUES ('9001', '가든', '20');
INSERT INTO CX011MS (UPJANG_CODE, USE_DATE, WEEK_CODE)
VALUES ('1001', '20261208', '1');
INSERT INTO DE020MS (UPJANG_CODE, TASK_DATE, ROOM_TYPE, ROOM_CNT, BROKEN_CNT, INVENTORY_CNT)
VALUES ('1001', '20261208', 'ST', 100, 2, 8);
INSERT INTO DE030MS (UPJANG_CODE, TASK_DATE, ROOM_TYPE, GUEST_TYPE, ROOMS, GUESTS, NET_AMT, SVC_AMT)
VALUES ('1001', '20261208', 'ST', '100', 40, 70, 6000000, 600000),
    ('1001', '20261208', 'ST', '300', 20, 45, 2400000, 240000),
    ('1001', '20261208', 'ST', '910', 5, 8, 0, 0),
    ('1001', '20261208', 'ST', '900', 3, 3, 0, 0);
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, HU_RMS, COMP_RMS, ETC_RMS, TOTAL_RMS,
    GUESTS, SALE_AMT, NET_AMT, VAT_AMT, SVC_AMT)
VALUES ('20261208', '1001', '10', 3, 5, 60, 68, 126, 10164000, 8400000, 924000, 840000),
    ('20261208', '9001', '20', 0, 0, 0, 0, 50, 1815000, 1500000, 165000, 150000)
)sql"));
    }
    struct Case {
        const char *file;
        std::vector<std::pair<const char *, const char *>> parameters;
        const char *row; // the row's first text; empty: the label's own line
        const char *label;
        int nth; // which of the labels so named, left to right
    };
    // Runs each case's definition for the day and compares the figure under its label.
    void check(const std::vector<Case> &cases, const QString &expected) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.file) + " " + c.row + " " + c.label);
            QHash<QString, QString> values = Values(c.parameters);
            auto report = loadToRun(QString::fromUtf8(c.file), values);
            ASSERT_TRUE(report);
            const viewer::RunResult run = viewer::RunReport(*report, values);
            ASSERT_TRUE(run.error.isEmpty()) << run.error.toStdString();
            EXPECT_EQ(
                figure(run.document, QString::fromUtf8(c.row), QString::fromUtf8(c.label), c.nth),
                expected);
        }
    }
};

// ADR is the room revenue without service charge and VAT per paid room: 8,400,000 / 60.
// Complimentary and house-use rooms count as sold (occupancy) but not as paid; the ADR of
// every report of rooms reads the same, whatever else the line shows.
TEST_F(ReportFiguresOfOneDayTest, AdrIsRoomRevenueWithoutServiceChargePerPaidRoom) {
    const std::vector<std::pair<const char *, const char *>> day = {{"ASALE_DATE", "20261208"}};
    const std::vector<std::pair<const char *, const char *>> period = {{"AFROM_DATE", "20261208"},
                                                                       {"ATO_DATE", "20261208"}};
    check(
        {
            {"객실판매총괄.mrd", period, "소  계", "ADR", 0},
            {"객실판매총괄.mrd", period, "총  계", "ADR", 0},
            {"영업현황일보(총괄).mrd", day, "", "ADR", 0},
            {"M_Daily_Sale_REPORT.mrd", day, "", "ADR", 0},
            {"M_Daily_Sale_REPORT3_유스호스텔추가.mrd", day, "", "ADR", 0},
            {"M_Daily_Sale_REPORT3_유스호스텔추가2.mrd", day, "", "ADR", 0},
            {"Daily_Night_Shift.mrd", day, "베로호텔", "ADR", 0},
            {"영업현황일보(총괄)2.mrd", day, "", "ADR", 0},
            {"일일객단가현황(호텔별).mrd", day, "베로호텔 계", "ADR", 0},
            {"일일객단가현황(호텔별).mrd", day, "베로호텔 계", "ADR", 1},
            {"일일객단가고객구분세부집계.mrd", period, "합계", "ADR", 0},
            {"일일객단가현황(세부현황).mrd", period, "12-08", "ADR", 0},
            {"일일객단가현황(세부현황2).mrd", period, "일계", "ADR", 0},
            {"일일객단가현황(세부현황_Comp분리).mrd", period, "12-08", "ADR", 0},
            {"일일객단가현황(세부현황_Comp분리).mrd", period, "12-08", "ADR", 1},
            {"일일객단가현황(세부현황2_Comp분리).mrd", period, "일계", "ADR", 0},
            {"일일객단가현황(세부현황2_Comp분리).mrd", period, "일계", "ADR", 1},
            {"일일객단가현황(세부현황_PKG분리).mrd", period, "12-08", "ADR", 2},
            {"일일객단가현황(세부현황2_PKG분리).mrd", period, "일계", "ADR", 2},
            {"객실일자별객실타입별객단가현황.mrd", {{"AMONTH", "202612"}}, "12-08", "ADR", 0},
            {"전년대비주중주말구분객실판매현황.mrd", period, "합계", "ADR", 0},
        },
        QStringLiteral("140,000"));
    // The split reports' individual guests (6,000,000 / 40) and groups (2,400,000 / 20).
    check({{"일일객단가현황(세부현황_PKG분리).mrd", period, "12-08", "ADR", 0},
           {"일일객단가현황(세부현황2_PKG분리).mrd", period, "일계", "ADR", 0}},
          QStringLiteral("150,000"));
    check({{"일일객단가현황(세부현황_PKG분리).mrd", period, "12-08", "ADR", 1},
           {"일일객단가현황(세부현황2_PKG분리).mrd", period, "일계", "ADR", 1}},
          QStringLiteral("120,000"));
}

// 객단가 is spend per guest: sales (net amount with service charge, without VAT) per guest,
// for the rooms (9,240,000 / 126) as for an outlet (1,650,000 / 50).
TEST_F(ReportFiguresOfOneDayTest, SpendPerGuestIsSalesWithoutVatPerGuest) {
    const std::vector<std::pair<const char *, const char *>> day = {{"ASALE_DATE", "20261208"}};
    const std::vector<std::pair<const char *, const char *>> period = {{"AFROM_DATE", "20261208"},
                                                                       {"ATO_DATE", "20261208"}};
    check(
        {
            {"영업현황일보(총괄)2.mrd", day, "객실", "객단가", 0},
            {"일일객단가현황(호텔별).mrd", day, "베로호텔 계", "객단가", 0},
            {"일일객단가고객구분세부집계.mrd", period, "합계", "객단가", 0},
            {"일일객단가현황(세부현황).mrd", period, "12-08", "객단가", 0},
            {"일일객단가현황(세부현황2).mrd", period, "일계", "객단가", 0},
            {"일일객단가현황(세부현황_Comp분리).mrd", period, "12-08", "객단가", 1},
            {"일일객단가현황(세부현황_PKG분리).mrd", period, "12-08", "객단가", 2},
            {"객실일자별객실타입별객단가현황.mrd", {{"AMONTH", "202612"}}, "12-08", "객단가", 4},
            {"일일객단가현황1(결재본).mrd", day, "베로호텔", "객단가", 0},
        },
        QStringLiteral("73,333"));
    check(
        {
            {"영업현황일보(총괄)2.mrd", day, "식음", "객단가", 0},
            {"영업매출상세현황.mrd", day, "가든", "객단가", 0},
            {"일일객단가현황1(결재본).mrd", day, "가든", "객단가", 0},
            {"일일객단가현황2(결재본).mrd", day, "가든", "객단가", 0},
            {"켈로펠모라리조트객단가현황.mrd", {{"AMONTH", "202612"}}, "가든", "객단가", 0},
        },
        QStringLiteral("33,000"));
}

// The figures a band print shows as "band/item (field)" where the page has no text for
// them: the numeric fields (those with a display format) printed empty.
QStringList BlankFigures(const viewer::LoadedReport &report, const report::Document &document) {
    QStringList blank;
    for (const report::Page &page : document.pages)
        for (size_t b = 0; b < page.bands.size(); ++b) {
            if (page.bands[b].report != report.definition.name)
                continue;
            for (const report::Band &band : report.definition.bands()) {
                if (band.name != page.bands[b].name)
                    continue;
                for (const report::Item &item : band.items) {
                    if (item.field.isEmpty() || !item.dataSet ||
                        (item.displayFormat.isEmpty() &&
                         item.dataSet->displayFormat(item.field).isEmpty()))
                        continue;
                    const bool printed =
                        std::any_of(page.items.begin(), page.items.end(), [&](const auto &p) {
                            return p.band == int(b) && p.item == item.name &&
                                   p.kind == report::Primitive::Kind::Text && !p.text.isEmpty();
                        });
                    if (!printed)
                        blank << QStringLiteral("%1/%2 (%3)").arg(band.name, item.name, item.field);
                }
            }
        }
    blank.removeDuplicates();
    return blank;
}

// Totals, and the lines a report prints whatever the data, show 0 where the data has nothing:
// the golf club's sales in December, when the course is closed (only November has sales),
// the gondola's check and the night audit of a day not yet entered.
TEST_F(ReportFiguresTest, TotalsAndFixedLinesShowZeroWithoutData) {
    db.exec(QStringLiteral(R"sql(
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GOLF_TEAM, GUESTS, NET_AMT, SALE_AMT)
VALUES ('20261115', '2001', '10', 30, 120, 9000000, 9900000)
)sql"));
    const struct {
        const char *file;
        std::vector<std::pair<const char *, const char *>> parameters;
        const char *band; // whose figures are all 0
    } cases[] = {
        {"켈로펠모라CC기간별매출현황.mrd",
         {{"AFROM_DATE", "20261201"}, {"ATO_DATE", "20261209"}},
         "summary4"},
        {"Daily_Gondora_Chk.mrd", {{"ASALE_DATE", "20261210"}}, "summary4"},
        {"Daily_Night_Shift.mrd", {{"ASALE_DATE", "20261210"}}, "summary4"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        auto report = load(QString::fromUtf8(c.file));
        ASSERT_TRUE(report);
        const viewer::RunResult run = viewer::RunReport(*report, Values(c.parameters));
        ASSERT_TRUE(run.error.isEmpty()) << run.error.toStdString();
        EXPECT_EQ(BlankFigures(*report, run.document), QStringList());
        QStringList figures;
        for (const report::Page &page : run.document.pages)
            for (int b : page.bandsNamed(QLatin1String(c.band)))
                for (const report::Primitive &p : page.items)
                    if (p.band == b && p.item.startsWith(QLatin1String("field")))
                        figures << p.text;
        EXPECT_GE(figures.size(), 6);
        for (const QString &f : figures)
            EXPECT_TRUE(f == QLatin1String("0") || f == QLatin1String("0.0")) << f.toStdString();
    }
}

// The rule holds in every definition of the report folder: on a database without figures,
// with the dates and months of one day, no figure that a band prints is left empty.
TEST_F(ReportFiguresTest, NoDefinitionLeavesAFigureEmptyWithoutData) {
    QDirIterator files(QStringLiteral(KELO_REPORTS_DIR), {QStringLiteral("*.mrd")}, QDir::Files,
                       QDirIterator::Subdirectories);
    int checked = 0;
    while (files.hasNext()) {
        const QString path = files.next();
        const QString name = QDir(QStringLiteral(KELO_REPORTS_DIR)).relativeFilePath(path);
        SCOPED_TRACE(name.toStdString());
        auto report = load(name);
        ASSERT_TRUE(report);
        if (report->isVariant()) // its base is checked as itself
            continue;
        QHash<QString, QString> parameters;
        for (const viewer::ParameterDecl &p : report->parameters)
            if (p.type == viewer::ParamType::Date)
                parameters.insert(p.name, QStringLiteral("20261209"));
            else if (p.type == viewer::ParamType::Month)
                parameters.insert(p.name, QStringLiteral("202612"));
        const viewer::RunResult run = viewer::RunReport(*report, parameters);
        ASSERT_TRUE(run.error.isEmpty()) << run.error.toStdString();
        EXPECT_EQ(BlankFigures(*report, run.document), QStringList());
        ++checked;
    }
    EXPECT_GT(checked, 0); // the folder was found
}

} // namespace
