// The report viewer's steps for one definition, median of 5.
//
// Usage: bench_viewer DEFINITION.mrd DB [PARAMS]
//   DEFINITION.mrd: a report definition file (docs/report-definition.md)
//   DB: a SQLite database (kelo-db demo)
//   PARAMS: the parameter string, "/rp [20240101] [20240131]" or "/rv  NAME[..] /reditmode"
// Times: reading and parsing the file, binding and the statements, the layout of every
// page, drawing the first page, drawing every page (at 96 dpi, as the control shows it), the
// pages laid out as a sheet and that sheet written as an .xlsx (the viewer's "Excel").

#include "common/application.h"
#include "common/fonts.h"
#include "database/schema.h"
#include "report/render.h"
#include "report/sheet.h"
#include "viewer/execution.h"
#include "viewer/params.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kelo;

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Ms(const QElapsedTimer &t) {
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv) {
    Application app(argc, argv);
    if (argc < 3) {
        std::fputs("usage: bench_viewer DEFINITION.mrd DB [PARAMS]\n", stderr);
        return 2;
    }
    InstallFontSubstitutions();
    database::Install();
    db::Connection c;
    c.setSqliteFile(QString::fromLocal8Bit(argv[2]));
    c.open();
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QString params = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();

    QTemporaryDir out;
    std::vector<double> fetch, statements, layout, first, all, sheet, xlsx;
    int pages = 0, rows = 0;
    for (int round = 0; round < 6; ++round) { // the first round warms caches and fonts
        QElapsedTimer t;
        t.start();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s cannot be read\n", argv[1]);
            return 1;
        }
        viewer::ParseResult parsed =
            viewer::ParseDefinition(f.read(kMaxDefinitionBytes + 1), QFileInfo(path).fileName(), c);
        const double tFetch = Ms(t);
        if (!parsed.report) {
            std::fprintf(stderr, "%s\n", qPrintable(parsed.error));
            return 1;
        }
        t.restart();
        const viewer::BoundParams bound = viewer::BindParams(params, parsed.report->parameters);
        if (!bound.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(bound.error));
            return 1;
        }
        const QString error = viewer::RunStatements(*parsed.report, bound.values);
        const double tStatements = Ms(t);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        t.restart();
        const viewer::RunResult run = viewer::LayOut(*parsed.report);
        const double tLayout = Ms(t);
        if (!run.error.isEmpty() || run.document.pages.empty()) {
            std::fprintf(stderr, "%s\n", qPrintable(run.error));
            return 1;
        }
        t.restart();
        report::RenderPage(run.document.pages.front(), 96);
        const double tFirst = Ms(t);
        t.restart();
        for (const report::Page &p : run.document.pages)
            report::RenderPage(p, 96);
        const double tAll = Ms(t);
        t.restart();
        const report::SheetLayout cells = report::LayOutSheet(run.document);
        const double tSheet = Ms(t);
        t.restart();
        const report::SheetOutcome written =
            report::WriteSheet(run.document, out.filePath(QStringLiteral("report.xlsx")));
        const double tXlsx = Ms(t);
        if (written.outcome != ExcelSheet::Outcome::Written) {
            std::fprintf(stderr, "%s\n", qPrintable(written.error));
            return 1;
        }
        pages = int(run.document.pages.size());
        rows = cells.rowCount;
        if (round == 0)
            continue;
        fetch.push_back(tFetch);
        statements.push_back(tStatements);
        layout.push_back(tLayout);
        first.push_back(tFirst);
        all.push_back(tAll);
        sheet.push_back(tSheet);
        xlsx.push_back(tXlsx);
    }
    std::printf("%s, %d pages, median of 5 (ms)\n", argv[1], pages);
    std::printf("  read and parse      %8.2f\n", Median(fetch));
    std::printf("  statements          %8.2f\n", Median(statements));
    std::printf("  layout, all pages   %8.2f\n", Median(layout));
    std::printf("  first page drawn    %8.2f\n", Median(first));
    std::printf("  every page drawn    %8.2f\n", Median(all));
    std::printf("  to the first page   %8.2f\n",
                Median(fetch) + Median(statements) + Median(layout) + Median(first));
    std::printf("  laid out as a sheet %8.2f (%d rows)\n", Median(sheet), rows);
    std::printf("  sheet as .xlsx      %8.2f (layout included)\n", Median(xlsx));
    return 0;
}
