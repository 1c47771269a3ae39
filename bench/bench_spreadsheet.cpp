// The spreadsheet reader of the import screens on generated target sheets.
//
// Writes a 10,000-row x 6-column .xlsx with shared strings and a 100,000-row one in
// libxlsxwriter's constant-memory mode (inline strings), converts the 10,000-row workbook to
// .xls and .ods with LibreOffice when `soffice` is on the PATH, then reads each file five
// times: open() (which counts the used rows) and readRows() over columns A-F. Prints the
// median time per file and how far the resident memory rose above where it was before the
// read (VmHWM after resetting it, less VmRSS before), each file in a process of its own.
// Each .xlsx is then read by Python's openpyxl in read-only mode, every value of every row
// (the median of three runs, timed inside Python from load_workbook to the last row), and
// the ratio of its time to ours is printed. Ratios are of processor times: the machine may
// be shared.
//
// Goals: 10,000 rows under 1 s each; memory growth under 50 MB; the .xlsx files at least
// 5 times as fast as openpyxl; .xls and .ods within twice the 10,000-row .xlsx.
//
// Usage: bench_spreadsheet [DIR]

#include "spreadsheet/spreadsheet.h"

#include "bench_memory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace kelo;

namespace {

using bench::ResetPeak;
using bench::StatusKb;

bool WriteBook(const QString &path, int rows, bool constantMemory) {
    lxw_workbook_options options{};
    options.constant_memory = constantMemory;
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook *book = workbook_new_opt(file.constData(), &options);
    if (!book)
        return false;
    lxw_worksheet *sheet = workbook_add_worksheet(book, "목표");
    lxw_format *date = workbook_add_format(book);
    format_set_num_format(date, "yyyy-mm-dd");
    lxw_format *amount = workbook_add_format(book);
    format_set_num_format(amount, "#,##0");
    const char *heads[] = {"목표등록일자", "업장코드", "Division", "Guests", "목표금액", "REMARK"};
    for (int c = 0; c < 6; ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), heads[c], nullptr);
    const char *divisions[] = {"객실", "식음", "골프", "스키"};
    for (int r = 1; r <= rows; ++r) {
        const lxw_row_t row = lxw_row_t(r);
        worksheet_write_number(sheet, row, 0, 46392 + r % 365, date);
        worksheet_write_string(sheet, row, 1, QByteArray::number(3001 + r % 40).constData(),
                               nullptr);
        worksheet_write_string(sheet, row, 2, divisions[r % 4], nullptr);
        worksheet_write_number(sheet, row, 3, r % 300, nullptr);
        worksheet_write_number(sheet, row, 4, 1500000.0 + r * 250, amount);
        worksheet_write_string(
            sheet, row, 5, QStringLiteral("비고 %1번째 목표").arg(r).toUtf8().constData(), nullptr);
    }
    return workbook_close(book) == LXW_NO_ERROR;
}

// LibreOffice's conversion of a workbook; empty when it is not there or failed.
QString Convert(const QString &soffice, const QString &source, const QString &format) {
    const QString dir = QFileInfo(source).absolutePath();
    QProcess p;
    p.start(soffice, {QStringLiteral("--headless"), QStringLiteral("--convert-to"), format,
                      QStringLiteral("--outdir"), dir, source});
    if (!p.waitForFinished(180000) || p.exitCode() != 0)
        return QString();
    const QString out = QDir(dir).filePath(QFileInfo(source).completeBaseName() + u'.' + format);
    return QFileInfo::exists(out) ? out : QString();
}

// The processor time of the process in ms: the machine may be shared, so wall time alone
// says little.
double CpuMs() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// openpyxl's read-only reading of every value of the active sheet: its processor time in
// ms (the median of three runs); negative when python3 with openpyxl is not there.
double OpenpyxlMs(const QString &path) {
    static const char *script = R"(
import sys, time
from openpyxl import load_workbook
times = []
for run in range(3):
    start = time.process_time()
    book = load_workbook(sys.argv[1], read_only=True)
    cells = 0
    for row in book.active.iter_rows(values_only=True):
        for value in row:
            cells += 1
    book.close()
    times.append((time.process_time() - start) * 1000)
print(sorted(times)[1])
)";
    // the system's python3, where python3-openpyxl is installed
    QString python = QStringLiteral("/usr/bin/python3");
    if (!QFileInfo::exists(python))
        python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        return -1;
    QProcess p;
    p.start(python, {QStringLiteral("-c"), QString::fromUtf8(script), path});
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
        return -1;
    bool ok = false;
    const double ms = p.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? ms : -1;
}

void Measure(const QString &path, const char *what) {
    std::vector<double> ms, cpu;
    long grown = 0;
    int rows = 0;
    for (int run = 0; run < 5; ++run) {
        ResetPeak();
        const long before = StatusKb("VmRSS:");
        QElapsedTimer t;
        t.start();
        const double cpuStart = CpuMs();
        SpreadsheetReader reader;
        if (!reader.open(path)) {
            std::printf("%s: %s\n", what, qPrintable(reader.error()));
            return;
        }
        qint64 chars = 0;
        rows = 0;
        reader.readRows(6, [&](int, const QStringList &cells) {
            ++rows;
            for (const QString &c : cells)
                chars += c.size();
            return true;
        });
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        cpu.push_back(CpuMs() - cpuStart);
        grown = std::max(grown, StatusKb("VmHWM:") - before);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-36s %6d rows %6.2f MB  %7.1f ms, processor %7.1f ms (medians of 5)  "
                "memory +%.1f MB\n",
                what, rows, QFileInfo(path).size() / 1048576.0, ms[2], cpu[2], grown / 1024.0);
    std::fflush(stdout);
    // for the parent: the wall time, to set against openpyxl's
    std::fprintf(stderr, "cpu=%.3f\n", cpu[2]);
}

} // namespace

// Measures one file in a process of its own, so that its memory growth starts from a heap
// the other files have not filled; our median processor time in ms (negative when it
// failed).
double MeasureApart(const QString &path, const char *what) {
    std::fflush(stdout);
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    p.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--measure"), path, QString::fromUtf8(what)});
    p.waitForFinished(-1);
    const QByteArray err = p.readAllStandardError();
    const qsizetype at = err.lastIndexOf("cpu=");
    return at < 0 ? -1 : err.mid(at + 4).trimmed().toDouble();
}

// Our time against openpyxl's on the same file.
void CompareWithOpenpyxl(const QString &path, const char *what, double ours) {
    const double theirs = OpenpyxlMs(path);
    if (theirs < 0 || ours <= 0)
        std::printf("%-36s openpyxl: not measured (python3-openpyxl is not installed)\n", what);
    else
        std::printf("%-36s processor: ours %7.1f ms, openpyxl (read-only) %7.1f ms: %.1fx as "
                    "fast (goal >= 5x)\n",
                    what, ours, theirs, theirs / ours);
}

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--measure") {
        Measure(QString::fromLocal8Bit(argv[2]), argv[3]);
        return 0;
    }
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    QDir().mkpath(dir);
    const QString small = QDir(dir).filePath(QStringLiteral("bench_targets_10k.xlsx"));
    const QString large = QDir(dir).filePath(QStringLiteral("bench_targets_100k.xlsx"));
    if (!WriteBook(small, 10000, false) || !WriteBook(large, 100000, true)) {
        std::fprintf(stderr, "cannot write the workbooks in %s\n", qPrintable(dir));
        return 1;
    }
    const double smallMs = MeasureApart(small, ".xlsx 10,000 rows (shared strings)");
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        std::printf(".xls and .ods 10,000 rows: not measured, soffice is not installed\n");
    } else {
        const QString xls = Convert(soffice, small, QStringLiteral("xls"));
        const QString ods = Convert(soffice, small, QStringLiteral("ods"));
        if (xls.isEmpty())
            std::printf(".xls 10,000 rows: soffice could not convert the workbook\n");
        else if (const double ms = MeasureApart(xls, ".xls 10,000 rows (BIFF8)"); ms > 0)
            std::printf("%-36s %.2fx the time of the .xlsx (goal <= 2)\n", ".xls 10,000 rows",
                        ms / smallMs);
        if (ods.isEmpty())
            std::printf(".ods 10,000 rows: soffice could not convert the workbook\n");
        else if (const double ms = MeasureApart(ods, ".ods 10,000 rows"); ms > 0)
            std::printf("%-36s %.2fx the time of the .xlsx (goal <= 2)\n", ".ods 10,000 rows",
                        ms / smallMs);
    }
    const double largeMs = MeasureApart(large, ".xlsx 100,000 rows (inline strings)");
    CompareWithOpenpyxl(small, ".xlsx 10,000 rows", smallMs);
    CompareWithOpenpyxl(large, ".xlsx 100,000 rows", largeMs);
    return 0;
}
