// Each list inquiry's search on its screen, as the user starts it: from the click on Search to
// the first packet of rows painted in the grid (median of 5, after one warming search), and
// the walk through all of its rows for comparison. SBS040 and SBS050 are timed with the staff
// and with the head-office statement.
//
// Usage: bench_list_inquiries DB|ALIAS [FROM TO] [--screenshot PNG]
//   FROM TO: the month searched (default 20261101 20261130); the one-day lists take TO.
//   --screenshot: after the timing, SBS050 searched for the month is saved as a picture.
//   e.g. a database of kelo-db demo --years 5 --scale 4 --end 20261209

#include "bench_screen_runs.h"
#include "common/application.h"
#include "common/fonts.h"
#include "database/schema.h"

#include <QFileInfo>
#include <QPixmap>

#include <cstdio>

using namespace kelo;
using namespace kelo::screens;

int main(int argc, char **argv) {
    if (!DisplayAvailable("bench_list_inquiries"))
        return 2;
    Application app(argc, argv);
    InstallFontSubstitutions(); // the faces the program shows
    QStringList args = app.arguments().mid(1);
    QString screenshot;
    if (const qsizetype at = args.indexOf(QStringLiteral("--screenshot")); at >= 0) {
        screenshot = args.value(at + 1);
        args.remove(at, std::min<qsizetype>(2, args.size() - at));
    }
    if (args.isEmpty()) {
        std::fputs("usage: bench_list_inquiries FILE|ALIAS [FROM TO] [--screenshot PNG]\n"
                   "  an ALIAS of Databases.ini in KELO_APP_DIR names a server database; the user\n"
                   "  and password come from KELO_PG_USER and PGPASSWORD\n",
                   stderr);
        return 2;
    }
    database::Install();
    db::Connection c;
    const QString target = args.at(0);
    const bool file = QFileInfo(target).isFile();
    if (file)
        c.setSqliteFile(target);
    else
        c.setParams({QStringLiteral("DATABASE=") + target,
                     QStringLiteral("USER_NAME=") + qEnvironmentVariable("KELO_PG_USER", "kelo"),
                     QStringLiteral("PASSWORD=") + qEnvironmentVariable("PGPASSWORD")});
    c.open();
    const QString from = args.value(1, QStringLiteral("20261101"));
    const QString to = args.value(2, QStringLiteral("20261130"));

    std::printf("database %s (%s), range %s-%s (one-day lists: %s)\n", qPrintable(target),
                file ? qPrintable(QStringLiteral("%1 MB").arg(QFileInfo(target).size() / 1048576))
                     : "PostgreSQL",
                qPrintable(from), qPrintable(to), qPrintable(to));
    for (const bench::ListRun &l : bench::RunListInquiries(c, from, to, true))
        std::printf("%-34s first rows on screen: median %7.1f ms (goal < 300 ms); all %6d rows: "
                    "median %7.1f ms\n",
                    qPrintable(l.name), l.firstRows, l.rows, l.allRows);

    if (!screenshot.isEmpty()) {
        TfrmSBS050 s(c);
        s.resize(1280, 640);
        s.show();
        QCoreApplication::processEvents();
        s.med_Event_From_Date->setValue(from);
        s.med_Event_To_Date->setValue(to);
        s.bbtSearchClick();
        QCoreApplication::processEvents();
        if (!s.grab().save(screenshot)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(screenshot));
            return 1;
        }
        std::printf("screenshot of SBS050 written to %s\n", qPrintable(screenshot));
    }
    return 0;
}
