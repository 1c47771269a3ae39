#pragma once

// The screens' searches as the benchmarks time them, on any connection: the list inquiries,
// the target inquiries and the viewer's reports. bench_list_inquiries, bench_targets and
// bench_viewer_reports print them for one database; bench_engines for two engines.

#include "bench_timing.h"
#include "common/appdir.h"
#include "common/dates.h"
#include "db/connection.h"
#include "db/rowset.h"
#include "report/render.h"
#include "screens/lists/list_inquiries.h"
#include "screens/reportinquiries/report_inquiries.h"
#include "screens/targets/target_inquiries.h"
#include "screens/viewer/report_viewers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

namespace kelo::bench {

// ---- the list inquiries -------------------------------------------------------------------

struct ListRun {
    QString name;
    double firstRows = 0; // from the click on Search to the first packet painted, median of 5
    double allRows = 0;   // the search and the walk through all rows, median of 5
    int rows = 0;
};

// Each list inquiry searched for FROM to TO (the one-day lists for TO) after one warming
// search; SBS040 and SBS050 with the staff and with the head-office statement. walkAll
// times the walk through all rows too.
inline std::vector<ListRun> RunListInquiries(db::Connection &c, const QString &from,
                                             const QString &to, bool walkAll) {
    using namespace screens;
    struct List {
        const char *name;
        std::function<TfrmListInquiry *()> make;
        bool headOffice; // the second radio button: the head office's statement
    };
    const std::vector<List> lists = {
        {"SBS020 free room nights", [&] { return new TfrmSBS020(c); }, false},
        {"SBS040 staff sales, staff", [&] { return new TfrmSBS040(c); }, false},
        {"SBS040 staff sales, head office", [&] { return new TfrmSBS040(c); }, true},
        {"SBS050 staff bookings, staff", [&] { return new TfrmSBS050(c); }, false},
        {"SBS050 staff bookings, head office", [&] { return new TfrmSBS050(c); }, true},
        {"SRS330 day sales", [&] { return new TfrmSRS330(c); }, false},
        {"SRS340 rooms in the house", [&] { return new TfrmSRS340(c); }, false},
    };
    auto firstRows = [](TfrmListInquiry &s) {
        return Millis([&] {
            s.bbtSearchClick();
            s.rgrGrid->viewport()->repaint();
        });
    };
    std::vector<ListRun> out;
    for (const List &l : lists) {
        std::unique_ptr<TfrmListInquiry> screen(l.make());
        TfrmListInquiry &s = *screen;
        s.resize(1280, 720);
        s.show(); // the defaults and SBS050's lists
        QCoreApplication::processEvents();
        if (l.headOffice)
            qobject_cast<TfrmStaffSalesInquiry *>(&s)->RadioButton2->setChecked(true);
        s.med_Event_From_Date->setValue(s.med_Event_To_Date->isHidden() ? to : from);
        s.med_Event_To_Date->setValue(to);
        firstRows(s); // warm the cache
        ListRun run{QString::fromUtf8(l.name)};
        std::vector<double> first, all;
        for (int i = 0; i < 5; ++i)
            first.push_back(firstRows(s));
        for (int i = 0; walkAll && i < 5; ++i)
            all.push_back(Millis([&] {
                s.bbtSearchClick();
                s.cdsQuery->fetchAll();
            }));
        run.firstRows = Median(first);
        run.allRows = walkAll ? Median(all) : 0;
        run.rows = s.cdsQuery->fetchedRows();
        out.push_back(run);
        s.hide();
    }
    return out;
}

// ---- the target inquiries -----------------------------------------------------------------

struct TargetRun {
    QString id;
    double search = 0; // the search through the screen, median of 5
    QStringList rows;  // the grid as shown, cells by '|'
};

// Each target inquiry searched for the month to DATE (the one-day ones for DATE), every
// outlet.
inline std::vector<TargetRun> RunTargetInquiries(db::Connection &c, const QString &date) {
    using namespace screens;
    const std::vector<std::pair<const char *, std::function<TfrmTargetInquiry *()>>> screens{
        {"STS010", [&] { return new TfrmSTS010(c); }},
        {"STS020", [&] { return new TfrmSTS020(c); }},
        {"STS030", [&] { return new TfrmSTS030(c); }},
        {"STS040", [&] { return new TfrmSTS040(c); }},
        {"STS050", [&] { return new TfrmSTS050(c); }},
        {"STS060", [&] { return new TfrmSTS060(c); }},
        {"STS070", [&] { return new TfrmSTS070(c); }},
        {"STS080", [&] { return new TfrmSTS080(c); }},
        {"STS090", [&] { return new TfrmSTS090(c); }},
    };
    std::vector<TargetRun> out;
    for (const auto &[id, make] : screens) {
        std::unique_ptr<TfrmTargetInquiry> s(make());
        s->resize(1028, 600);
        s->show();
        if (s->mdtWorkDate)
            s->mdtWorkDate->setValue(date);
        else {
            s->mdtFrom_Date->setValue(date.left(6) + QStringLiteral("01"));
            s->mdtTo_Date->setValue(date);
        }
        s->edt_Upjang_No->clear();
        std::vector<double> times;
        for (int run = 0; run < 5; ++run) {
            if (!s->isSearchMode())
                s->bbtCancelClick();
            times.push_back(Millis([&] { s->bbtSearchClick(); }));
        }
        TargetRun run{QString::fromLatin1(id), Median(times)};
        const int columns = int(s->rgrGrid->columns().size());
        for (int r = 0; r < s->rgrGrid->rowCountFetched(); ++r) {
            QStringList cells;
            for (int col = 0; col < columns; ++col)
                cells << s->rgrGrid->text(r, col);
            run.rows << cells.join(u'|');
        }
        out.push_back(run);
    }
    return out;
}

// ---- the viewer's reports -----------------------------------------------------------------

// kelo-report-server on a free loopback port, serving the repository's reports/, and the
// settings folder that points the viewer at it (the program's settings folder while it
// lives).
class BenchReportServer {
public:
    explicit BenchReportServer(const QString &program) {
        m_server.start(program, {QStringLiteral("--port"), QStringLiteral("0")});
        m_server.waitForStarted();
        while (!m_server.canReadLine() && m_server.waitForReadyRead(10000)) {
        }
        m_base = QString::fromUtf8(m_server.readLine()).trimmed().mid(13);
        if (!m_base.startsWith(QLatin1String("http://"))) {
            m_base.clear();
            return;
        }
        SetAppDir(m_dir.path());
        QFile ini(m_dir.filePath(QStringLiteral("Kelo_S.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write(
            QStringLiteral("[ReportServer]\nMain=%1\nSecond=%1\nThird=%1\n").arg(m_base).toUtf8());
    }
    ~BenchReportServer() {
        m_server.kill();
        m_server.waitForFinished();
    }
    // Empty when the server did not start.
    QString base() const { return m_base; }

private:
    QProcess m_server;
    QTemporaryDir m_dir;
    QString m_base;
};

// One viewer report of a program: its viewer and the search that opens it for the date.
using ViewerReportVisitor = std::function<void(const QString &id, viewer::Rdviewer40 *viewer,
                                               const std::function<void()> &search)>;

// Every viewer program's report for DATE and every report a report inquiry can choose, in a
// fixed order (the n-th call is the same report on every connection). Day members get the
// date, range members the first of its month to the date, month members its month; the
// report inquiries the month to the date, or the date against 365 and 729 days before.
inline void ForEachViewerReport(db::Connection &c, const QString &date,
                                const ViewerReportVisitor &visit) {
    using namespace screens;
    for (const QString &id : ViewerProgramIds()) {
        std::unique_ptr<QWidget> screen(CreateViewerScreen(c, id));
        auto *frame = qobject_cast<TfrmReportViewer *>(screen.get());
        if (!frame)
            continue; // the parameter-only members open what their callers give them
        frame->Rdviewer401->waitForLoaded(60000); // what the creation opened
        visit(id, frame->Rdviewer401, [&] {
            frame->FromDate->setValue(date.left(6) + QStringLiteral("01"));
            frame->ToDate->setValue(date);
            if (frame->ToDate->isHidden())
                frame->FromDate->setValue(date);
            if (frame->medMonth)
                frame->medMonth->setValue(date.left(6));
            frame->BitBtn1Click();
        });
    }
    for (const QString &id : ReportInquiryProgramIds()) {
        std::unique_ptr<TfrmReportInquiry> s(CreateReportInquiry(c, id));
        auto *dates = qobject_cast<TfrmEventDateInquiry *>(s.get());
        std::vector<std::function<void()>> variants{[] {}};
        if (dates && dates->RadioButton2)
            variants.push_back([dates] { dates->RadioButton2->setChecked(true); });
        if (dates && dates->chkPkg)
            variants.push_back([dates] { dates->chkPkg->setChecked(false); });
        if (dates && dates->CheckBox1)
            variants.push_back([dates] { dates->CheckBox1->setChecked(true); });
        for (const auto &choose : variants) {
            choose();
            visit(id, s->Rdviewer401, [&] {
                if (auto *day = qobject_cast<TfrmCalendarDateInquiry *>(s.get())) {
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
}

struct ViewerRun {
    double loaded = 0; // the search to every page laid out, median
    double first = 0;  // the same and the first page drawn, median
    int pages = 0;
    bool shown = false;
    QString location;
};

// ROUNDS searches of one report, the first one not counted.
inline ViewerRun RunViewerReport(viewer::Rdviewer40 *v, const std::function<void()> &search,
                                 int rounds,
                                 const std::function<void(const QString &)> &counted = {}) {
    ViewerRun r;
    std::vector<double> loaded, first;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer t;
        t.start();
        search();
        v->waitForLoaded(60000);
        const double l = t.nsecsElapsed() / 1e6;
        const report::Document *doc = v->document();
        r.shown = doc && !doc->pages.empty();
        double f = 0;
        if (r.shown) {
            f = Millis([&] { report::RenderPage(doc->pages.front(), 96); });
            r.pages = int(doc->pages.size());
        }
        r.location = v->location();
        if (round == 0)
            continue;
        loaded.push_back(l);
        first.push_back(l + f);
        if (counted)
            counted(r.location);
    }
    r.loaded = loaded.empty() ? 0 : Median(loaded);
    r.first = first.empty() ? 0 : Median(first);
    return r;
}

} // namespace kelo::bench
