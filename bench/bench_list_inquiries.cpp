// Each list inquiry's search on its screen, as the user starts it: from the click on Search to
// the first packet of rows painted in the grid (median of 5, after one warming search), and
// the walk through all of its rows for comparison. SBS040 and SBS050 are timed with the staff
// and with the head-office statement.
//
// Usage: bench_list_inquiries DB|ALIAS [FROM TO] [--screenshot PNG]
//   FROM TO: the month searched (default 20261101 20261130); the one-day lists take TO.
//   --screenshot: after the timing, SBS050 searched for the month is saved as a picture.
//   e.g. a database of kelo-db demo --years 5 --scale 4 --end 20261209

#include "common/application.h"
#include "common/fonts.h"
#include "database/schema.h"
#include "db/rowset.h"
#include "screens/lists/list_inquiries.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace kelo;
using namespace kelo::screens;

namespace {

double firstRowsOnScreen(TfrmListInquiry &s) {
    QElapsedTimer t;
    t.start();
    s.bbtSearchClick();
    s.rgrGrid->viewport()->repaint();
    return t.nsecsElapsed() / 1e6;
}

double allRows(TfrmListInquiry &s) {
    QElapsedTimer t;
    t.start();
    s.bbtSearchClick();
    s.cdsQuery->fetchAll();
    return t.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

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

    struct List {
        const char *name;
        std::unique_ptr<TfrmListInquiry> screen;
        std::function<void()> choose; // the statement's choice before the searches
    };
    std::vector<List> lists;
    lists.push_back({"SBS020 free room nights", std::make_unique<TfrmSBS020>(c), {}});
    auto sbs040 = std::make_unique<TfrmSBS040>(c);
    auto sbs040b = std::make_unique<TfrmSBS040>(c);
    TfrmSBS040 *headOffice040 = sbs040b.get();
    lists.push_back({"SBS040 staff sales, staff", std::move(sbs040), {}});
    lists.push_back({"SBS040 staff sales, head office", std::move(sbs040b),
                     [headOffice040] { headOffice040->RadioButton2->setChecked(true); }});
    auto sbs050 = std::make_unique<TfrmSBS050>(c);
    auto sbs050b = std::make_unique<TfrmSBS050>(c);
    TfrmSBS050 *staff050 = sbs050.get(), *headOffice050 = sbs050b.get();
    lists.push_back({"SBS050 staff bookings, staff", std::move(sbs050), {}});
    lists.push_back({"SBS050 staff bookings, head office", std::move(sbs050b),
                     [headOffice050] { headOffice050->RadioButton2->setChecked(true); }});
    lists.push_back({"SRS330 day sales", std::make_unique<TfrmSRS330>(c), {}});
    lists.push_back({"SRS340 rooms in the house", std::make_unique<TfrmSRS340>(c), {}});

    std::printf("database %s (%s), range %s-%s (one-day lists: %s)\n", qPrintable(target),
                file ? qPrintable(QStringLiteral("%1 MB").arg(QFileInfo(target).size() / 1048576))
                     : "PostgreSQL",
                qPrintable(from), qPrintable(to), qPrintable(to));
    for (List &l : lists) {
        TfrmListInquiry &s = *l.screen;
        s.resize(1280, 720);
        s.show(); // the defaults and SBS050's lists
        QCoreApplication::processEvents();
        if (l.choose)
            l.choose();
        s.med_Event_From_Date->setValue(s.med_Event_To_Date->isHidden() ? to : from);
        s.med_Event_To_Date->setValue(to);
        firstRowsOnScreen(s); // warm the cache
        std::vector<double> first, all;
        for (int i = 0; i < 5; ++i)
            first.push_back(firstRowsOnScreen(s));
        for (int i = 0; i < 5; ++i)
            all.push_back(allRows(s));
        std::printf("%-32s first rows on screen: median %7.1f ms (goal < 300 ms); all %6d rows: "
                    "median %7.1f ms\n",
                    l.name, median(first), s.cdsQuery->fetchedRows(), median(all));
        s.hide();
    }

    if (!screenshot.isEmpty()) {
        TfrmSBS050 &s = *staff050;
        s.resize(1280, 640);
        s.show();
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
