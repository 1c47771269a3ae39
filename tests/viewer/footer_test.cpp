// Footers that compute their figures over the rows they close, and styles by condition.

#include "report/render.h"
#include "support/schema_database.h"
#include "viewer/execution.h"
#include "viewer/fixtures.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::viewer;

namespace {

RunResult LoadAndRun(const QByteArray &xml, test::SchemaDatabase &db,
                     std::unique_ptr<LoadedReport> &keep) {
    ParseResult parsed = ParseDefinition(xml, QStringLiteral("MIS(TEST).mrd"), db.connection());
    EXPECT_NE(parsed.report, nullptr) << parsed.error.toStdString();
    if (!parsed.report)
        return {};
    keep = std::move(parsed.report);
    return RunReport(*keep, {});
}

// The texts of one print of a footer: sum, count, avg, min, max, min and max of the words,
// printed by the items named field<first> onwards.
QStringList FooterTexts(const report::Page &page, int band, int first) {
    const auto texts = page.bandTexts(band);
    QStringList out;
    for (int i = first; i < first + 7; ++i)
        out << texts.value(QStringLiteral("field%1").arg(i));
    return out;
}

TEST(FooterAggregates, EachGroupAndTheReport) {
    struct Case {
        const char *what;
        const char *filter;
        const char *band;
        int print;
        int first;         // the name of its first aggregate: field1, field2
        QStringList texts; // sum, count, avg, min, max, min word, max word
    } cases[] = {
        {"a group with a NULL",
         "1 = 1",
         "groupfooter3",
         0,
         1,
         {"5", "2", "2.5", "-5", "10", "a", "b"}},
        // No values: the figures show 0 through their number formats, the words nothing.
        {"a group of NULLs only",
         "1 = 1",
         "groupfooter3",
         1,
         1,
         {"0", "0", "0.0", "0", "0", "", ""}},
        {"a one-row group",
         "1 = 1",
         "groupfooter3",
         2,
         1,
         {"1,200", "1", "1,200.0", "1,200", "1,200", "z", "z"}},
        {"the report", "1 = 1", "summary4", 0, 2, {"1,205", "3", "401.7", "-5", "1,200", "a", "z"}},
        {"a report without rows", "1 = 0", "summary4", 0, 2, {"0", "0", "0.0", "0", "0", "", ""}},
    };
    test::SchemaDatabase db;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<LoadedReport> rep;
        const RunResult run = LoadAndRun(test::FooterDefinition(c.filter), db, rep);
        ASSERT_TRUE(run.error.isEmpty()) << run.error.toStdString();
        ASSERT_EQ(run.document.pages.size(), 1u);
        const report::Page &page = run.document.pages[0];
        const auto prints = page.bandsNamed(QString::fromUtf8(c.band));
        ASSERT_GT(int(prints.size()), c.print);
        EXPECT_EQ(FooterTexts(page, prints[size_t(c.print)], c.first), c.texts);
    }
}

TEST(FooterAggregates, ASumOfTextsStopsTheLayoutNamingTheItem) {
    test::SchemaDatabase db;
    QByteArray xml = test::FooterDefinition("1 = 1");
    xml.replace(R"(field="AMT" aggregate="sum")", R"(field="WORD" aggregate="sum")");
    std::unique_ptr<LoadedReport> rep;
    const RunResult run = LoadAndRun(xml, db, rep);
    EXPECT_EQ(run.error, QStringLiteral("MIS(TEST).mrd: the report cannot be laid out: item "
                                        "field1: the sum of WORD meets a value that is not a "
                                        "number: \"b\""));
}

TEST(ConditionalStyle, OnlyThePrintsWhoseConditionHolds) {
    test::SchemaDatabase db;
    std::unique_ptr<LoadedReport> rep;
    const RunResult run = LoadAndRun(test::FooterDefinition("1 = 1"), db, rep);
    ASSERT_TRUE(run.error.isEmpty()) << run.error.toStdString();
    const report::Page &page = run.document.pages.at(0);

    // The figures of the details: red only on the negative one.
    QMap<QString, QColor> amounts;
    for (const report::Primitive &p : page.items)
        if (p.kind == report::Primitive::Kind::Text && p.item == QLatin1String("field2") &&
            page.bands[size_t(p.band)].name == QLatin1String("detail2"))
            amounts.insert(p.text, p.color);
    EXPECT_EQ(amounts.value(QStringLiteral("-5")), QColor(0xc0, 0, 0));
    EXPECT_EQ(amounts.value(QStringLiteral("10")), QColor(Qt::black));
    EXPECT_EQ(amounts.value(QStringLiteral("1,200")), QColor(Qt::black));

    // The band shaded on the rows of C only.
    QStringList shaded;
    for (const int b : page.bandsNamed(QStringLiteral("detail2")))
        if (page.bands[size_t(b)].color == QColor(0xe0, 0xe0, 0xe0))
            shaded << page.bandTexts(b).value(QStringLiteral("field1"));
    EXPECT_EQ(shaded, QStringList{QStringLiteral("c1")});

    // A footer's count in bold where it is 0: the group of NULLs.
    QStringList bold;
    for (const report::Primitive &p : page.items)
        if (p.kind == report::Primitive::Kind::Text && p.item == QLatin1String("field2") &&
            page.bands[size_t(p.band)].name == QLatin1String("groupfooter3") && p.font.bold)
            bold << p.text;
    EXPECT_EQ(bold, QStringList{QStringLiteral("0")});

    // The look of it, for whoever wants to see the page.
    if (const QByteArray dir = qgetenv("KELO_TEST_PICTURES"); !dir.isEmpty())
        report::RenderPage(page, 100).save(
            QDir(QString::fromUtf8(dir)).filePath(QStringLiteral("footer-aggregates.png")));
}

} // namespace
