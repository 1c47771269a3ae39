// The target inquiries' searches through their screens (statement, grid filled, footers),
// median of 5 each, and the editable grid's save of 1,000 changed target rows through
// SaveGrid in one transaction (on a copy: the database given is not changed).
//
// Usage: bench_targets DB [YYYYMMDD] [ROWS]   e.g. a database of kelo-db demo --years 5 --scale 4
// ROWS: a file that receives every inquiry's grid as shown (cells by '|'), to compare the
// figures of two builds.

#include "bench_screen_runs.h"
#include "common/application.h"
#include "common/globals.h"
#include "database/schema.h"
#include "db/transaction.h"
#include "screens/targets/target_inquiries.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace kelo;
using namespace kelo::screens;

namespace {

// The targets of one outlet, loaded into the editable grid and saved through the target
// procedure, as the target input screen does.
class TargetRows : public TfrmSZI040 {
public:
    explicit TargetRows(db::Connection &c) : TfrmSZI040(c, QStringLiteral("frmBENCH")) {
        rgrGrid->setColumns({controls::Column("SALE_DATE", "일자", 80, true),
                             controls::Column("UPJANG_CODE", "업장", 50, true),
                             controls::Column("DIVISION", "구분", 40, true),
                             controls::NumberColumn("GUESTS", "Guests", 60, true),
                             controls::NumberColumn("SALE_AMT", "금액", 90, true)});
        qryQuery->setSql(QStringLiteral(R"sql(
SELECT SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT
FROM JH040MS
WHERE UPJANG_CODE = (
        SELECT MAX(UPJANG_CODE)
        FROM JH040MS
    )
ORDER BY SALE_DATE DESC
LIMIT 1000
)sql"));
        prcProc->setProcName(QStringLiteral("PR_STI010MS_01"));
    }
};

} // namespace

int main(int argc, char **argv) {
    Application app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: bench_targets DB [YYYYMMDD]\n", stderr);
        return 2;
    }
    database::Install();
    const QString date = argc > 2 ? QString::fromLatin1(argv[2]) : QStringLiteral("20261208");
    QFile rowsFile(argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());
    if (argc > 3 && !rowsFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 2;
    }
    Globals().empNo = QStringLiteral("20000001");
    Globals().clientIP = QStringLiteral("127.0.0.1");
    {
        db::Connection c;
        c.setSqliteFile(QString::fromLocal8Bit(argv[1]));
        c.open();
        std::printf("target inquiries on %s, business date %s (period: the month to it)\n", argv[1],
                    qPrintable(date));
        for (const bench::TargetRun &t : bench::RunTargetInquiries(c, date)) {
            std::printf("  %s search: median %6.1f ms, %d rows (goal < 300 ms)\n", qPrintable(t.id),
                        t.search, int(t.rows.size()));
            for (const QString &row : t.rows)
                if (rowsFile.isOpen())
                    rowsFile.write(QStringLiteral("%1 %2\n").arg(t.id, row).toUtf8());
        }
    }

    // The save: a copy per run, 1,000 rows changed and logged, SaveGrid in one transaction.
    QTemporaryDir dir;
    std::vector<double> times;
    size_t logged = 0;
    for (int run = 0; run < 5; ++run) {
        const QString copy = dir.filePath(QStringLiteral("run%1.db").arg(run));
        QFile::copy(QString::fromLocal8Bit(argv[1]), copy);
        db::Connection c;
        c.setSqliteFile(copy);
        c.open();
        TargetRows screen(c);
        screen.show();
        screen.bbtSearchClick();
        const int rows = screen.rgrGrid->rowCountFetched();
        TfrmZZI090::ChangeLog log;
        for (int r = 0; r < rows; ++r) {
            TfrmZZI090::LogEntry entry;
            // The row as the search read it: the save checks that no one changed it since.
            for (int col = 0; col < int(screen.rgrGrid->columns().size()); ++col)
                entry.read << screen.rgrGrid->text(r, col);
            screen.rgrGrid->setValue(r, 3, QString::number(100 + r % 50));
            for (int col = 0; col < int(screen.rgrGrid->columns().size()); ++col)
                entry.values << screen.rgrGrid->text(r, col);
            entry.status = controls::RowStatus::Changed;
            entry.rowId = r + 1;
            log.push_back(entry);
        }
        logged = log.size();
        QElapsedTimer t;
        t.start();
        db::Transaction transaction(c);
        transaction.beginIfNone(1);
        screen.SaveGrid(screen.rgrGrid, log, screen.prcProc);
        transaction.commit();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("save of %zu changed target rows through SaveGrid in one transaction: median "
                "%.0f ms (goal < 1000 ms)\n",
                logged, bench::Median(times));
    return 0;
}
