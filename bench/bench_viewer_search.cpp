// Find over a report of about 100 pages, median of 5 (after a warming run).
//
// Usage: bench_viewer_search [PAGES]
// A definition of rooms (five fields a line) laid out to PAGES pages (100 by default) on a
// temporary SQLite database; times the search of the page texts (FindText) for a word on
// every line, a value on a few and one on none, and the find bar's whole step in the
// viewer's page browser (the search, the jump to the first hit and the repaint of the
// pages in sight).

#include "bench_timing.h"
#include "common/application.h"
#include "common/fonts.h"
#include "database/schema.h"
#include "report/pagebrowser.h"
#include "viewer/execution.h"
#include "viewer/params.h"

#include <QTemporaryDir>
#include <cstdio>

using namespace kelo;

namespace {

QByteArray Definition(int rows) {
    return QStringLiteral(R"xml(<?xml version="1.0" encoding="UTF-8"?>
<report name="ROOMS" title="객실 이용 내역">
  <dataset name="rows">
    <sql><![CDATA[
WITH RECURSIVE N(I) AS (
SELECT 1
UNION ALL
SELECT I + 1
FROM N
WHERE I < %1
)
SELECT '객실 ' || I AS ROOM_NAME,
       '20240' || (I % 9 + 1) || '15' AS USE_DATE,
       CASE I % 3 WHEN 0 THEN '베로호텔' WHEN 1 THEN '가족호텔' ELSE '유스호스텔' END AS HOTEL,
       I * 1000 AS AMT,
       I % 4 + 1 AS GUESTS
FROM N
    ]]></sql>
    <format field="AMT" display=",0"/>
  </dataset>
  <band kind="title" height="10">
    <label x="0" y="0" w="100" h="8" text="객실 이용 내역"/>
  </band>
  <band kind="detail" dataset="rows" height="6">
    <field x="0" y="0" w="40" h="6" field="ROOM_NAME"/>
    <field x="40" y="0" w="30" h="6" field="USE_DATE"/>
    <field x="70" y="0" w="40" h="6" field="HOTEL"/>
    <field x="110" y="0" w="40" h="6" field="AMT" align="right"/>
    <field x="150" y="0" w="20" h="6" field="GUESTS" align="right"/>
  </band>
  <band kind="pagefooter" height="6">
    <system x="150" y="0" w="40" h="5" value="page" text="Page "/>
  </band>
</report>
)xml")
        .arg(rows)
        .toUtf8();
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    const int wanted = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    InstallFontSubstitutions();
    database::Install();
    QTemporaryDir dir;
    db::Connection c;
    db::Connection::createSqliteFile(dir.filePath(QStringLiteral("bench.db")));
    c.setSqliteFile(dir.filePath(QStringLiteral("bench.db")));
    c.open();

    // About 45 lines a page on A4.
    viewer::ParseResult parsed = viewer::ParseDefinition(Definition(wanted * 45), "ROOMS.mrd", c);
    if (!parsed.report) {
        std::fprintf(stderr, "%s\n", qPrintable(parsed.error));
        return 1;
    }
    const viewer::BoundParams bound = viewer::BindParams(QString(), parsed.report->parameters);
    const viewer::RunResult run =
        viewer::RunReport(*parsed.report, bound.values, [] { return true; });
    if (!run.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(run.error));
        return 1;
    }
    const report::Document &doc = run.document;
    qsizetype texts = 0;
    for (const report::Page &p : doc.pages)
        texts += p.items.size();

    report::PageBrowser browser(nullptr);
    browser.resize(1000, 800);
    browser.show();
    browser.setDocument(&doc);
    QCoreApplication::processEvents();

    std::printf("%zu pages, %lld items; median of 5 (ms)\n", doc.pages.size(),
                static_cast<long long>(texts));
    for (const QString needle : {QStringLiteral("객실"), QStringLiteral("가족호텔"),
                                 QStringLiteral("객실 2718"), QStringLiteral("없는 말")}) {
        std::vector<double> search, step;
        size_t hits = 0;
        for (int round = 0; round < 6; ++round) {
            const double s = bench::Millis([&] { hits = report::FindText(doc, needle).size(); });
            browser.showPage(doc.pages.size() / 2);
            const double b = bench::Millis([&] {
                browser.find(needle);
                browser.repaint();
            });
            if (round > 0) {
                search.push_back(s);
                step.push_back(b);
            }
        }
        std::printf("  %-12s %6zu hits   FindText %7.2f   find bar step %7.2f\n",
                    qPrintable(needle), hits, bench::Median(search), bench::Median(step));
    }
    return 0;
}
