// The inquiry screens' Excel export against writing the same bytes at once.
//
// 60,000 rows x 12 columns (half numbers, half Korean texts) are exported from
// a grid through the inquiry writer; then the bytes it produced are written
// with one buffered QFile::write. Medians of five, wall and processor time. The row field of the
// format has 16 bits, so 60,000 rows is about the most one sheet can address.
//
// Then 100,000 rows x 12 columns are exported as an .xlsx workbook (libxlsxwriter's
// constant-memory mode): the time per row against the .xls export's, and the growth of
// the resident memory while it is written.
//
// Usage: bench_xls [DIR]
//        bench_xls --sample FILE   (a small export: .xlsx or .xls by the name)

#include "controls/grid.h"
#include "framework/xlsexport.h"

#include "bench_memory.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <tuple>
#include <vector>

using namespace kelo;

using bench::PeakKb;
using bench::ResidentKb;

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc > 2 && QByteArray(argv[1]) == "--sample") {
        // A small export to open in a spreadsheet program.
        controls::Grid sample;
        controls::GridColumn name, amount, note;
        name.field = QStringLiteral("NAME");
        name.title = QStringLiteral("영업장");
        amount.field = QStringLiteral("AMT");
        amount.title = QStringLiteral("금액");
        amount.alignment = Qt::AlignRight | Qt::AlignVCenter;
        note.field = QStringLiteral("NOTE");
        note.title = QStringLiteral("비고");
        note.alignment = Qt::AlignRight | Qt::AlignVCenter;
        sample.setColumns({name, amount, note});
        const std::vector<std::tuple<QString, double, QString>> rows = {
            {QStringLiteral("베로호텔"), 1500, QStringLiteral("12.5")},
            {QStringLiteral("가족호텔"), -1500, QString()},
            {QStringLiteral("골프장 (F&B)"), 1234567, QStringLiteral("-20")}};
        for (const auto &[n, a, t] : rows) {
            const int r = sample.gridModel()->appendRow();
            sample.gridModel()->setValue(r, 0, n);
            sample.gridModel()->setValue(r, 1, a);
            sample.gridModel()->setValue(r, 2, t);
        }
        // An .xlsx name writes the workbook, any other the .xls file.
        const QString error = WriteInquiryExcel(QString::fromLocal8Bit(argv[2]), &sample,
                                                QStringLiteral("부문별 매출현황"));
        if (!error.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(error));
        return error.isEmpty() ? 0 : 1;
    }
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    constexpr int kRows = 60000, kColumns = 12;
    controls::Grid grid;
    std::vector<controls::GridColumn> cols;
    for (int c = 0; c < kColumns; ++c) {
        controls::GridColumn col;
        col.field = QStringLiteral("C%1").arg(c);
        col.title = QStringLiteral("항목 %1").arg(c);
        if (c % 2 == 0)
            col.alignment = Qt::AlignRight | Qt::AlignVCenter;
        cols.push_back(col);
    }
    grid.setColumns(cols);
    controls::GridModel *model = grid.gridModel();
    for (int r = 0; r < kRows; ++r) {
        const int row = model->appendRow();
        for (int c = 0; c < kColumns; ++c)
            model->setValue(row, c,
                            c % 2 == 0 ? QVariant(double((r * 7919 + c) % 1000000))
                                       : QVariant(QStringLiteral("영업장 %1").arg(r % 97)));
    }
    // Wall and processor times (of this thread: the export and the write run on it alone) in
    // ms; the machine may be shared, so wall time alone says little.
    const auto cpuMs = [] {
        timespec t;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    };
    std::vector<double> exportMs, writeMs, exportCpu, writeCpu;
    for (int run = 0; run < 5; ++run) {
        QFile file(QDir(dir).filePath(QStringLiteral("bench_xls.xls")));
        QElapsedTimer t;
        double cpu = cpuMs();
        t.start();
        const bool ok =
            WriteInquiryExcel(file.fileName(), &grid, QStringLiteral("벤치마크")).isEmpty();
        exportMs.push_back(t.nsecsElapsed() / 1e6);
        exportCpu.push_back(cpuMs() - cpu);
        if (!ok) {
            std::fprintf(stderr, "export failed\n");
            return 1;
        }
        QFile in(file.fileName());
        in.open(QIODevice::ReadOnly);
        const QByteArray bytes = in.readAll();
        in.close();
        QFile out(QDir(dir).filePath(QStringLiteral("bench_xls_raw.xls")));
        cpu = cpuMs();
        t.restart();
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        out.write(bytes);
        out.close();
        writeMs.push_back(t.nsecsElapsed() / 1e6);
        writeCpu.push_back(cpuMs() - cpu);
    }
    for (auto *v : {&exportMs, &writeMs, &exportCpu, &writeCpu})
        std::sort(v->begin(), v->end());
    const QFileInfo info(QDir(dir).filePath(QStringLiteral("bench_xls.xls")));
    std::printf(
        "export of %d rows x %d columns (%.1f MB): %.1f ms; one write of the same bytes: %.1f ms; "
        "ratio %.2f (goal <= 3); processor %.1f ms against %.1f ms: ratio %.2f\n",
        kRows, kColumns, info.size() / 1048576.0, exportMs[2], writeMs[2], exportMs[2] / writeMs[2],
        exportCpu[2], writeCpu[2], exportCpu[2] / writeCpu[2]);

    constexpr int kBookRows = 100000;
    for (int r = kRows; r < kBookRows; ++r) {
        const int row = model->appendRow();
        for (int c = 0; c < kColumns; ++c)
            model->setValue(row, c,
                            c % 2 == 0 ? QVariant(double((r * 7919 + c) % 1000000))
                                       : QVariant(QStringLiteral("영업장 %1").arg(r % 97)));
    }
    std::vector<double> bookMs;
    long grown = 0;
    for (int run = 0; run < 3; ++run) {
        const QString path = QDir(dir).filePath(QStringLiteral("bench_xls.xlsx"));
        const long before = ResidentKb();
        QElapsedTimer t;
        t.start();
        if (!WriteInquiryExcel(path, &grid, QStringLiteral("벤치마크")).isEmpty()) {
            std::fprintf(stderr, "xlsx export failed\n");
            return 1;
        }
        bookMs.push_back(t.elapsed());
        grown = std::max(grown, PeakKb() - before);
    }
    std::sort(bookMs.begin(), bookMs.end());
    const double xlsPerRow = exportMs[2] / kRows, xlsxPerRow = bookMs[1] / kBookRows;
    std::printf("xlsx export of %d rows x %d columns (%.1f MB): %.0f ms, %.4f ms a row against "
                "%.4f ms for .xls: %.2fx (goal <= 3); resident memory grew at most %ld kB\n",
                kBookRows, kColumns,
                QFileInfo(QDir(dir).filePath(QStringLiteral("bench_xls.xlsx"))).size() / 1048576.0,
                bookMs[1], xlsxPerRow, xlsPerRow, xlsxPerRow / xlsPerRow, grown);
    return 0;
}
