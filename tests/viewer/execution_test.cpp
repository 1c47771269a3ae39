#include "db/dberror.h"
#include "db/query.h"
#include "report/chart.h"
#include "report/textfit.h"
#include "support/schema_database.h"
#include "support/temp_database.h"
#include "viewer/execution.h"
#include "viewer/fixtures.h"

#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::viewer;

namespace {

QString CountOutlets(db::Connection &c) {
    db::Query q(c);
    q.setSql(QStringLiteral("SELECT COUNT(*) FROM JA010MS"));
    q.open();
    return q.text(0);
}

std::unique_ptr<LoadedReport> Load(const QByteArray &xml, db::Connection &c) {
    ParseResult r = ParseDefinition(xml, QStringLiteral("MIS(TEST).mrd"), c);
    EXPECT_NE(r.report, nullptr) << r.error.toStdString();
    return std::move(r.report);
}

// The sales fixture with another statement for its data set.
QByteArray WithStatement(const char *sql) {
    QByteArray xml = test::SalesDefinition();
    const int from = int(xml.indexOf("<![CDATA[")) + 9;
    xml.replace(from, int(xml.indexOf("]]>")) - from, QByteArray(sql));
    return xml;
}

const QHash<QString, QString> kJanuary = {{QStringLiteral("AFromDate"), QStringLiteral("20240101")},
                                          {QStringLiteral("AToDATE"), QStringLiteral("20240131")}};

TEST(WritingReason, OnlyOneReadingStatementPasses) {
    struct {
        const char *sql;
        const char *reason; // empty: it only reads
    } cases[] = {
        {"SELECT 1 FROM DUAL", ""},
        {"  -- the outlets\n /* all */ WITH A AS (SELECT 1 X FROM DUAL) SELECT * FROM A", ""},
        {"SELECT 'DELETE; x', \"UPDATE\" FROM DUAL;  -- done", ""},
        {"SELECT UPDATE_DATE, U_IP FROM JA010MS", ""},
        {"(SELECT 1 FROM DUAL) UNION ALL (SELECT 2 FROM DUAL)", ""},
        {"INSERT INTO JA010MS (UPJANG_CODE) VALUES ('W')",
         "it begins with INSERT, not SELECT or WITH"},
        {"WITH X AS (DELETE FROM JA010MS RETURNING *) SELECT * FROM X", "it holds DELETE"},
        {"SELECT 1 FROM DUAL; DELETE FROM JA010MS", "a second statement follows the \";\""},
        {"SELECT * INTO COPY_T FROM JA010MS", "it holds INTO"},
        {"SELECT * FROM JA010MS FOR UPDATE", "it holds UPDATE"},
        {"-- nothing", "the statement is empty"},
        {"PRAGMA query_only = OFF", "it begins with PRAGMA, not SELECT or WITH"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(WritingReason(QString::fromUtf8(c.sql)), QString::fromUtf8(c.reason)) << c.sql;
}

TEST(RunReport, FiguresOfTheDatabaseOnThePage) {
    test::SchemaDatabase db;
    db.exec(QString::fromUtf8(test::SalesRows()));
    auto rep = Load(test::SalesDefinition(), db.connection());
    ASSERT_TRUE(rep);
    const RunResult run = RunReport(*rep, kJanuary);
    ASSERT_TRUE(run.error.isEmpty()) << run.error.toStdString();
    ASSERT_EQ(run.document.pages.size(), 1u);
    const report::Page &page = run.document.pages[0];
    const auto details = page.bandsNamed(QStringLiteral("detail3"));
    ASSERT_EQ(details.size(), 2u);
    EXPECT_EQ(page.bandTexts(details[0]).values(),
              (QStringList{QStringLiteral("가든"), QStringLiteral("1,500,000")}));
    EXPECT_EQ(page.bandTexts(details[1]).values(),
              (QStringList{QStringLiteral("라운지"), QStringLiteral("250,000")}));
    const auto title = page.bandTexts(page.bandsNamed(QStringLiteral("title1")).front());
    EXPECT_EQ(title.value(QStringLiteral("param3")), QStringLiteral("2024-01-01"));
    const auto summary = page.bandTexts(page.bandsNamed(QStringLiteral("summary4")).front());
    EXPECT_EQ(summary.value(QStringLiteral("field2")), QStringLiteral("1,750,000"));
    EXPECT_EQ(run.document.title, QStringLiteral("기간별 영업장 매출"));

    // The chart: one bar per outlet, 1,500,000 six times as tall as 250,000, under its
    // title, with the outlets and the legend as texts.
    std::vector<QRectF> bars;
    QStringList texts;
    for (const report::Primitive &p : page.items) {
        if (p.item != QLatin1String("chart3"))
            continue;
        if (p.kind == report::Primitive::Kind::Rect && p.rect.width() > 5)
            bars.push_back(p.rect);
        if (p.kind == report::Primitive::Kind::Text)
            texts << p.text;
    }
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_NEAR(bars[0].height() / bars[1].height(), 6.0, 0.01);
    EXPECT_NEAR(bars[0].bottom(), bars[1].bottom(), 0.001);
    for (const char *t : {"영업장별 순매출", "순매출", "가든", "라운지", "0", "1,500,000"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(t))) << t;
}

TEST(RunReport, NullParametersAndFieldsTheSetLacks) {
    test::SchemaDatabase db;
    db.exec(QString::fromUtf8(test::SalesRows()));
    auto rep = Load(test::SalesDefinition(), db.connection());
    ASSERT_TRUE(rep);
    // No dates: NULL, no rows, the fixed bands still print.
    const RunResult empty = RunReport(*rep, {});
    ASSERT_TRUE(empty.error.isEmpty()) << empty.error.toStdString();
    EXPECT_TRUE(empty.document.pages[0].bandsNamed(QStringLiteral("detail3")).empty());

    QByteArray xml = test::SalesDefinition();
    xml.replace("field=\"UPJANG_NAME\"/>", "field=\"UPJANG_NAM\"/>");
    auto wrong = Load(xml, db.connection());
    ASSERT_TRUE(wrong);
    const RunResult run = RunReport(*wrong, kJanuary);
    EXPECT_TRUE(run.error.startsWith(QStringLiteral("MIS(TEST).mrd:33:5: the data set rows has no "
                                                    "field UPJANG_NAM")))
        << run.error.toStdString();
}

TEST(RunReport, AWritingDefinitionIsRefusedAndWritesNothing) {
    test::SchemaDatabase db;
    db.exec(QString::fromUtf8(test::SalesRows()));
    const QString before = CountOutlets(db.connection());
    for (const char *sql :
         {"INSERT INTO JA010MS (UPJANG_CODE) VALUES ('W1')",
          "WITH X AS (DELETE FROM JA010MS WHERE UPJANG_CODE = 'T01' RETURNING *) SELECT * FROM X",
          "SELECT 1 AS A FROM DUAL; DELETE FROM JA010MS"}) {
        SCOPED_TRACE(sql);
        auto rep = Load(WithStatement(sql), db.connection());
        ASSERT_TRUE(rep);
        const RunResult run = RunReport(*rep, kJanuary);
        EXPECT_TRUE(run.error.startsWith(
            QStringLiteral("MIS(TEST).mrd: the data set rows does not only read: ")))
            << run.error.toStdString();
        EXPECT_TRUE(run.document.pages.empty());
    }
    EXPECT_EQ(CountOutlets(db.connection()), before);
}

// The web sign-in's password hashes are out of every definition's reach, on both engines, and
// the program reads them as before once the report is done.
TEST(RunReport, NoDefinitionReadsThePasswordHashes) {
    test::SchemaDatabase db;
    db.exec(QString::fromUtf8(test::SalesRows()));
    db.exec(QStringLiteral("INSERT INTO WEB_PASSWORD (EMP_NO, PASSWORD_HASH) "
                           "VALUES ('20000001', '$argon2id$secret')"));
    for (const char *sql :
         {"SELECT PASSWORD_HASH AS UPJANG_NAME FROM WEB_PASSWORD",
          "SELECT UPJANG_NAME FROM JA010MS WHERE EXISTS (SELECT 1 FROM web_password)",
          "WITH P AS (SELECT EMP_NO FROM WEB_PASSWORD) SELECT EMP_NO AS UPJANG_NAME FROM P"}) {
        SCOPED_TRACE(sql);
        auto rep = Load(WithStatement(sql), db.connection());
        ASSERT_TRUE(rep);
        const RunResult run = RunReport(*rep, {});
        EXPECT_FALSE(run.error.isEmpty());
        EXPECT_TRUE(run.document.pages.empty());
        EXPECT_FALSE(run.document.texts().join(u' ').contains(QStringLiteral("secret")));
    }
    EXPECT_EQ(
        test::QueryText(db.connection(), QStringLiteral("SELECT PASSWORD_HASH FROM WEB_PASSWORD")),
        QStringLiteral("$argon2id$secret"));
}

// What the statement check lets through, the database refuses: writes fail inside the
// scope, and the connection writes again after it, also inside the caller's transaction.
TEST(ReadOnlyScope, TheDatabaseRefusesWritesAndTheCallerGoesOn) {
    test::SchemaDatabase db;
    db::Connection &c = db.connection();
    auto insert = [&](const QString &code) {
        db::Query q(c);
        q.setSql(QStringLiteral("INSERT INTO JA010MS (UPJANG_CODE) VALUES (:C)"));
        q.setParam(QStringLiteral("C"), code);
        q.exec();
    };
    const int before = CountOutlets(c).toInt();
    {
        ReadOnlyScope readOnly(c);
        EXPECT_THROW(insert(QStringLiteral("W1")), db::DbError);
    }
    EXPECT_FALSE(c.inTransaction());
    insert(QStringLiteral("W2"));

    c.startTransaction();
    insert(QStringLiteral("W3"));
    {
        ReadOnlyScope readOnly(c);
        EXPECT_THROW(insert(QStringLiteral("W4")), db::DbError);
    }
    ASSERT_TRUE(c.inTransaction());
    insert(QStringLiteral("W5"));
    c.commit();
    EXPECT_EQ(CountOutlets(c).toInt(), before + 3); // W2, W3, W5
}

TEST(Chart, StepsOfTheValueAxis) {
    struct {
        double top;
        double step;
    } cases[] = {{1500000, 500000}, {100, 20}, {7, 2}, {0.3, 0.1}, {0, 1}};
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(report::ChartStep(c.top, 5), c.step) << c.top;
}

// A value axis of billions is as wide as its widest figure: every figure stands whole left of
// the axis line, inside the chart, whatever the scale or the sign of the values.
TEST(Chart, TheValueAxisHoldsItsWidestFigure) {
    struct Case {
        const char *values; // of the two months
        const char *widest; // the figure the axis must hold
    } cases[] = {
        {"1500000000, 1800000000", "2,000,000,000"},
        {"15000000000, 19000000000", "20,000,000,000"},
        {"-1500000000, 900000000", "-1,500,000,000"},
        {"120, 80", "150"},
    };
    test::SchemaDatabase db;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.values);
        const QStringList v = QString::fromUtf8(c.values).split(QStringLiteral(", "));
        const QByteArray xml = QString::fromUtf8(R"xml(<?xml version="1.0" encoding="UTF-8"?>
<report name="MIS(TEST)" orientation="landscape">
  <dataset name="months">
    <sql><![CDATA[SELECT '2026-01' AS MONTH_LABEL, %1 AS SALE_AMT FROM DUAL
UNION ALL SELECT '2026-02', %2 FROM DUAL]]></sql>
  </dataset>
  <band kind="summary" height="70">
    <chart x="0" y="0" w="277" h="65" dataset="months" type="bars" category="MONTH_LABEL" series="SALE_AMT"/>
  </band>
</report>
)xml")
                                   .arg(v[0], v[1])
                                   .toUtf8();
        auto rep = Load(xml, db.connection());
        ASSERT_TRUE(rep);
        const RunResult run = RunReport(*rep, {});
        ASSERT_TRUE(run.error.isEmpty()) << run.error.toStdString();
        const report::Page &page = run.document.pages.at(0);
        // The axis line: the vertical black line of the chart.
        double axis = -1;
        for (const report::Primitive &p : page.items)
            if (p.kind == report::Primitive::Kind::Line && p.rect.width() == 0 &&
                p.pen == QColor(Qt::black))
                axis = p.rect.left();
        ASSERT_GT(axis, 10); // the margin
        QStringList figures;
        for (const report::Primitive &p : page.items) {
            if (p.kind != report::Primitive::Kind::Text || p.rect.left() >= axis)
                continue;
            figures << p.text;
            const QRectF bounds = report::TextBounds(p);
            EXPECT_GE(bounds.left(), 10 - 0.05) << p.text.toStdString();
            EXPECT_LE(bounds.right(), axis) << p.text.toStdString();
            EXPECT_DOUBLE_EQ(p.font.pointSize, 6.5) << p.text.toStdString(); // not set smaller
        }
        EXPECT_TRUE(figures.contains(QString::fromUtf8(c.widest)))
            << figures.join(u' ').toStdString();
    }
}

} // namespace
