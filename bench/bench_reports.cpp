// The printed reports from creation to a written PDF, and the engine against a bare
// QPainter loop, median of 5.
//
// Usage: bench_reports DB [YYYYMMDD] [OUT.pdf]
//   DB: a database of kelo-db demo (--years 5 --scale 4 for the large one)
//   1. the daily report set SRP010 to SRP090 for the date as one job, as kelo-reports
//      writes it: statements (creating the screens and opening their data), pagination,
//      PDF writing (goal: the whole under 3 s); then per report its statements and its
//      pagination alone. OUT.pdf keeps the PDF.
//   2. a synthetic report of 1,000 rows of twelve texts: pagination and drawing on a
//      QPdfWriter against a bare loop drawing the same texts on a QPdfWriter (goal: at
//      most twice the loop's time).

#include "common/application.h"
#include "common/fonts.h"
#include "database/schema.h"
#include "report/paginator.h"
#include "report/render.h"
#include "screens/reports/reports.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace kelo;

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Ms(QElapsedTimer &t) {
    return t.nsecsElapsed() / 1e6;
}

struct JobTimes {
    double statements = 0, pagination = 0, pdf = 0;
    int pages = 0;
    std::vector<double> reportStatements, reportPagination; // per report, in run order
};

JobTimes RunJob(db::Connection &c, const QString &date, const QString &pdf) {
    JobTimes out;
    QElapsedTimer t;
    t.start();
    std::vector<std::unique_ptr<TfrmZZP010>> screens;
    std::vector<report::ReportDefinition *> definitions;
    for (const QString &id : screens::PrintedReportIds()) {
        QElapsedTimer r;
        r.start();
        screens.push_back(screens::CreateReport(id, c, date));
        screens.back()->openData();
        for (report::ReportDefinition *d : screens.back()->definitions())
            definitions.push_back(d);
        out.reportStatements.push_back(Ms(r));
    }
    out.statements = Ms(t);
    t.restart();
    const report::Document doc = report::Paginate(definitions, QStringLiteral("Daily reports"));
    out.pagination = Ms(t);
    out.pages = int(doc.pages.size());
    t.restart();
    report::WritePdf(doc, pdf);
    out.pdf = Ms(t);
    for (auto &screen : screens) {
        QElapsedTimer r;
        r.start();
        screen->paginate();
        out.reportPagination.push_back(Ms(r));
    }
    return out;
}

// 1,000 rows of a name and eleven figures, 4 mm each, on A4 landscape.
struct Synthetic {
    report::DataSet rows{QStringLiteral("rows")};
    report::ReportDefinition def;

    Synthetic() {
        QStringList columns{QStringLiteral("NAME")};
        for (int f = 0; f < 11; ++f)
            columns << QStringLiteral("F%1").arg(f);
        rows.rows().setColumns(columns);
        for (int r = 0; r < 1000; ++r) {
            const int row = rows.rows().appendRow();
            rows.rows().setValue(row, 0, QStringLiteral("Outlet %1 Revenue").arg(r));
            for (int f = 0; f < 11; ++f)
                rows.rows().setValue(row, f + 1, double((r + 1) * 12345.0 * (f + 1)));
            for (int f = 0; f < 11; ++f)
                rows.setDisplayFormat(columns[f + 1], QStringLiteral(",0"));
        }
        def.page.orientation = report::Orientation::Landscape;
        def.mainData = &rows;
        report::Band &detail = def.addBand(QStringLiteral("detail"), report::BandKind::Detail, 4);
        detail.addItem(report::DataText(QStringLiteral("name"), {1, 0, 60, 4}, rows,
                                        QStringLiteral("NAME"), report::Font(7)));
        for (int f = 0; f < 11; ++f)
            detail.addItem(report::DataText(QStringLiteral("f%1").arg(f), {68.0 + f * 19, 0, 18, 4},
                                            rows, columns[f + 1], report::Font(7),
                                            Qt::AlignRight | Qt::AlignVCenter));
    }
};

double EngineRun(Synthetic &s, const QString &path) {
    QElapsedTimer t;
    t.start();
    const report::Document doc = report::Paginate(s.def);
    report::WritePdf(doc, path);
    return Ms(t);
}

// The same texts at the same places, drawn by a plain loop.
double BareRun(Synthetic &s, const QString &path) {
    QElapsedTimer t;
    t.start();
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    QPainter p(&writer);
    QFont font(QStringLiteral("굴림"));
    font.setPointSizeF(7);
    p.setFont(font);
    const double k = writer.resolution() / 25.4;
    double y = 10;
    const report::Band &band = s.def.bands().front();
    for (int r = 0; r < s.rows.rowCount(); ++r) {
        if (y + 4 > 200) {
            writer.newPage();
            y = 10;
        }
        s.rows.moveTo(r);
        for (const report::Item &item : band.items) {
            const QRectF rect = item.rect.translated(10, y);
            p.drawText(QRectF(rect.left() * k, rect.top() * k, rect.width() * k, rect.height() * k),
                       int(item.alignment) | Qt::TextSingleLine, s.rows.displayText(item.field));
        }
        y += 4;
    }
    p.end();
    return Ms(t);
}

} // namespace

int main(int argc, char **argv) {
    Application app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: bench_reports DB [YYYYMMDD] [OUT.pdf]\n", stderr);
        return 2;
    }
    InstallFontSubstitutions();
    database::Install();
    db::Connection c;
    c.setSqliteFile(QString::fromLocal8Bit(argv[1]));
    c.open();
    const QString date = argc > 2 ? QString::fromLatin1(argv[2]) : QStringLiteral("20261206");
    QTemporaryDir dir;
    const QString pdf =
        argc > 3 ? QString::fromLocal8Bit(argv[3]) : dir.filePath(QStringLiteral("daily.pdf"));
    std::printf("database %s (%.0f MB), business date %s\n", argv[1],
                QFileInfo(QString::fromLocal8Bit(argv[1])).size() / 1048576.0, qPrintable(date));

    RunJob(c, date, pdf); // warm the cache and the fonts
    std::vector<double> statements, pagination, writing, whole;
    const QStringList ids = screens::PrintedReportIds();
    std::vector<std::vector<double>> perStatements(size_t(ids.size())),
        perPagination(size_t(ids.size()));
    int pages = 0;
    for (int i = 0; i < 5; ++i) {
        const JobTimes t = RunJob(c, date, pdf);
        for (size_t r = 0; r < size_t(ids.size()); ++r) {
            perStatements[r].push_back(t.reportStatements[r]);
            perPagination[r].push_back(t.reportPagination[r]);
        }
        statements.push_back(t.statements);
        pagination.push_back(t.pagination);
        writing.push_back(t.pdf);
        whole.push_back(t.statements + t.pagination + t.pdf);
        pages = t.pages;
    }
    std::printf("SRP010..SRP090, %d pages (%.0f kB):\n", pages, QFileInfo(pdf).size() / 1024.0);
    std::printf("  statements %7.1f ms\n  pagination %7.1f ms\n  PDF        %7.1f ms\n",
                Median(statements), Median(pagination), Median(writing));
    std::printf("  whole      %7.1f ms (goal < 3000 ms)\n", Median(whole));
    std::printf("  per report: statements / pagination alone\n");
    for (size_t r = 0; r < size_t(ids.size()); ++r)
        std::printf("    %s %7.1f ms %7.1f ms\n", qPrintable(ids[qsizetype(r)]),
                    Median(perStatements[r]), Median(perPagination[r]));

    Synthetic s;
    const QString a = dir.filePath(QStringLiteral("engine.pdf"));
    const QString b = dir.filePath(QStringLiteral("bare.pdf"));
    EngineRun(s, a);
    BareRun(s, b);
    std::vector<double> engine, bare;
    for (int i = 0; i < 5; ++i) {
        engine.push_back(EngineRun(s, a));
        bare.push_back(BareRun(s, b));
    }
    std::printf("1,000 rows x 12 texts: engine (pagination + PDF) %7.1f ms, bare QPainter loop "
                "%7.1f ms: %.2fx (goal <= 2x)\n",
                Median(engine), Median(bare), Median(engine) / Median(bare));
    return 0;
}
