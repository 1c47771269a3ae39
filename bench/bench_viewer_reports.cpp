// Every viewer program's report through a report server, as a user opens it: the screen's
// search on the date, the definition fetched from kelo-report-server on loopback, read,
// bound, its statements run and every page laid out; then the first page drawn. Median of
// 5 after one warming round, per program; the slowest five at the end.
//
// Usage: bench_viewer_reports DB [YYYYMMDD]
//   DB: a database file of kelo-db demo (--years 5 --scale 4 for the large one). Day
//   members get the date, range members the first of its month to the date, month members
//   its month. The server (built beside this program) serves the repository's reports/.

#include "common/appdir.h"
#include "common/application.h"
#include "common/dates.h"
#include "common/fonts.h"
#include "database/schema.h"
#include "report/render.h"
#include "screens/reportinquiries/report_inquiries.h"
#include "screens/viewer/report_viewers.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace kelo;

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Ms(const QElapsedTimer &t) {
    return t.nsecsElapsed() / 1e6;
}

// One GET of the location, in ms.
double Fetch(QNetworkAccessManager &net, const QString &location) {
    QString url = location;
    url.replace(u'\\', u'/');
    QElapsedTimer t;
    t.start();
    QNetworkReply *reply = net.get(QNetworkRequest(QUrl(url)));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->readAll();
    reply->deleteLater();
    return Ms(t);
}

struct Result {
    QString id, location;
    double loaded = 0, first = 0, fetch = 0;
    int pages = 0;
    bool shown = false;
};

} // namespace

int main(int argc, char **argv) {
    Application app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: bench_viewer_reports DB [YYYYMMDD]\n", stderr);
        return 2;
    }
    InstallFontSubstitutions();
    database::Install();
    const QString date = argc > 2 ? QString::fromLatin1(argv[2]) : QStringLiteral("20261209");

    QProcess server;
    server.start(QStringLiteral(KELO_REPORT_SERVER_PROGRAM),
                 {QStringLiteral("--port"), QStringLiteral("0")});
    server.waitForStarted();
    while (!server.canReadLine() && server.waitForReadyRead(10000)) {
    }
    const QString base = QString::fromUtf8(server.readLine()).trimmed().mid(13);
    if (!base.startsWith(QLatin1String("http://"))) {
        std::fputs("the report server did not start\n", stderr);
        return 1;
    }
    QTemporaryDir dir;
    SetAppDir(dir.path());
    QFile ini(dir.filePath(QStringLiteral("Kelo_S.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write(QStringLiteral("[ReportServer]\nMain=%1\nSecond=%1\nThird=%1\n").arg(base).toUtf8());
    ini.close();

    db::Connection c;
    c.setSqliteFile(QString::fromLocal8Bit(argv[1]));
    c.open();
    QNetworkAccessManager net;
    std::printf("database %s, date %s, server %s\n", argv[1], qPrintable(date), qPrintable(base));
    std::printf("%-8s %8s %8s %8s %5s  %s\n", "program", "loaded", "page 1", "fetch", "pages",
                "report");

    std::vector<Result> results;
    // Six searches of one screen's report (the first one not counted).
    auto measure = [&](const QString &id, viewer::Rdviewer40 *v,
                       const std::function<void()> &search) {
        Result r;
        r.id = id;
        std::vector<double> loaded, first, fetch;
        for (int round = 0; round < 6; ++round) {
            QElapsedTimer t;
            t.start();
            search();
            v->waitForLoaded(60000);
            const double l = Ms(t);
            const report::Document *doc = v->document();
            r.shown = doc && !doc->pages.empty();
            double f = 0;
            if (r.shown) {
                QElapsedTimer p;
                p.start();
                report::RenderPage(doc->pages.front(), 96);
                f = Ms(p);
                r.pages = int(doc->pages.size());
            }
            r.location = v->location();
            if (round == 0)
                continue;
            loaded.push_back(l);
            first.push_back(l + f);
            fetch.push_back(Fetch(net, r.location));
        }
        r.loaded = Median(loaded);
        r.first = Median(first);
        r.fetch = Median(fetch);
        std::printf("%-8s %8.1f %8.1f %8.1f %5d  %s%s\n", qPrintable(r.id), r.loaded, r.first,
                    r.fetch, r.pages, qPrintable(r.location.section(u'/', -1)),
                    r.shown ? "" : "  NOT SHOWN");
        std::fflush(stdout);
        results.push_back(r);
    };
    for (const QString &id : screens::ViewerProgramIds()) {
        std::unique_ptr<QWidget> screen(screens::CreateViewerScreen(c, id));
        auto *frame = qobject_cast<screens::TfrmReportViewer *>(screen.get());
        if (!frame)
            continue; // the parameter-only members open what their callers give them
        frame->Rdviewer401->waitForLoaded(60000); // what the creation opened
        measure(id, frame->Rdviewer401, [&] {
            frame->FromDate->setValue(date.left(6) + QStringLiteral("01"));
            frame->ToDate->setValue(date);
            if (frame->ToDate->isHidden())
                frame->FromDate->setValue(date);
            if (frame->medMonth)
                frame->medMonth->setValue(date.left(6));
            frame->BitBtn1Click();
        });
    }
    // The report inquiries: the month to the date, or the date against 365 and 729 days before;
    // every report a screen can choose.
    for (const QString &id : screens::ReportInquiryProgramIds()) {
        std::unique_ptr<screens::TfrmReportInquiry> s(screens::CreateReportInquiry(c, id));
        auto *dates = qobject_cast<screens::TfrmEventDateInquiry *>(s.get());
        std::vector<std::function<void()>> variants{[] {}};
        if (dates && dates->RadioButton2)
            variants.push_back([dates] { dates->RadioButton2->setChecked(true); });
        if (dates && dates->chkPkg)
            variants.push_back([dates] { dates->chkPkg->setChecked(false); });
        if (dates && dates->CheckBox1)
            variants.push_back([dates] { dates->CheckBox1->setChecked(true); });
        for (const auto &choose : variants) {
            choose();
            measure(id, s->Rdviewer401, [&] {
                if (auto *day = qobject_cast<screens::TfrmCalendarDateInquiry *>(s.get())) {
                    day->twDateEdit->setDate(QDate::fromString(date, QStringLiteral("yyyyMMdd")));
                } else if (dates->med_Three_YearDate || dates->CheckBox1) {
                    dates->med_Event_From_Date->setValue(date);
                    dates->med_Event_To_Date->setValue(ShiftDays(date, -365));
                    if (dates->med_Three_YearDate)
                        dates->med_Three_YearDate->setValue(ShiftDays(date, -729));
                } else {
                    dates->med_Event_From_Date->setValue(date.left(6) + QStringLiteral("01"));
                    dates->med_Event_To_Date->setValue(date);
                }
                s->bbtSearchClick();
            });
        }
    }
    std::sort(results.begin(), results.end(),
              [](const Result &a, const Result &b) { return a.loaded > b.loaded; });
    std::printf("slowest five (whole report laid out, ms; goal < 2000; first page goal < 300):\n");
    for (size_t i = 0; i < results.size() && i < 5; ++i)
        std::printf("  %-8s %8.1f  first page %8.1f  fetch %6.1f\n", qPrintable(results[i].id),
                    results[i].loaded, results[i].first, results[i].fetch);
    server.kill();
    server.waitForFinished();
    return 0;
}
