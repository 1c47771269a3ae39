// The report inquiries SBS310 to SPS050: which report a search opens with which parameter
// string, their dates, and every one of their reports fetched from a real report server and run
// on a generated demo (on the engine of the tests), its totals checked against direct queries.

#include "common/appdir.h"
#include "common/dates.h"
#include "common/functions.h"
#include "common/reportlocations.h"
#include "common/silentstop.h"
#include "controls/formats.h"
#include "database/demo.h"
#include "database/schema.h"
#include "db/query.h"
#include "framework/screenhelpers.h"
#include "screens/registerscreens.h"
#include "screens/report_server.h"
#include "screens/reportinquiries/report_inquiries.h"
#include "shell/registry.h"
#include "support/scripted_dialogs.h"
#include "support/temp_database.h"

#include <QFile>
#include <QProcess>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::screens;

namespace {

// A demo of 20251226 to 20260305 (the ski season with its lift tickets, the first golf days of
// March) and a report server on the repository's definitions.
class ReportInquiriesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tempDb = new test::TempDatabase;
        database::Install();
        test::GenerateDemoInto(*tempDb, 70, QStringLiteral("20260305"));
        server = new test::ReportServerProcess;
        server->writeSettings(tempDb->dir());
    }
    static void TearDownTestSuite() {
        delete server;
        delete tempDb;
        server = nullptr;
        tempDb = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(server->started()) << server->base().toStdString(); }

    static db::Connection &connection() { return tempDb->connection(); }

    static std::unique_ptr<TfrmReportInquiry> open(const char *id) {
        std::unique_ptr<TfrmReportInquiry> s(
            CreateReportInquiry(connection(), QString::fromLatin1(id)));
        s->show();
        return s;
    }

    // One number of a direct query, as the reports show it (",0").
    static QString figure(const QString &sql) {
        db::Query q(connection());
        q.setSql(sql);
        q.open();
        return controls::FormatNumberText(q.number(0), QStringLiteral(",0"));
    }

    // The texts of the report's summary bands (its totals).
    static QStringList summaryTexts(const viewer::Rdviewer40 *v) {
        QStringList out;
        for (const report::Page &page : v->document()->pages)
            for (size_t b = 0; b < page.bands.size(); ++b)
                if (page.bands[b].kind == report::BandKind::Summary)
                    out += page.bandTexts(int(b)).values();
        return out;
    }

    static void expectShown(viewer::Rdviewer40 *v) {
        ASSERT_TRUE(v->waitForLoaded(60000));
        ASSERT_EQ(v->state(), viewer::Rdviewer40::State::Shown)
            << v->location().toStdString() << " " << v->params().toStdString() << ": "
            << v->message().toStdString();
        ASSERT_NE(v->document(), nullptr);
        EXPECT_GE(v->document()->pages.size(), 1u);
    }

    static test::TempDatabase *tempDb;
    static test::ReportServerProcess *server;
    test::ScriptedDialogsScope dialogs;
};

test::TempDatabase *ReportInquiriesTest::tempDb = nullptr;
test::ReportServerProcess *ReportInquiriesTest::server = nullptr;

// Sets a screen's dates (from/this year, to/last year, two years back) and its choices.
struct Choice {
    const char *id;
    std::function<void(TfrmReportInquiry &)> choose;
    const char *report;
    const char *params;
};

void dates(TfrmReportInquiry &s, const QString &a, const QString &b, const QString &c = {}) {
    auto &e = static_cast<TfrmEventDateInquiry &>(s);
    e.med_Event_From_Date->setValue(a);
    e.med_Event_To_Date->setValue(b);
    if (e.med_Three_YearDate)
        e.med_Three_YearDate->setValue(c);
}

void range(TfrmReportInquiry &s) {
    dates(s, QStringLiteral("20260201"), QStringLiteral("20260228"));
}

void radio2(TfrmReportInquiry &s) {
    range(s);
    static_cast<TfrmEventDateInquiry &>(s).RadioButton2->setChecked(true);
}

std::function<void(TfrmReportInquiry &)> boxes(bool period, bool pkg) {
    return [=](TfrmReportInquiry &s) {
        auto &e = static_cast<TfrmEventDateInquiry &>(s);
        dates(s, QStringLiteral("20260301"), QStringLiteral("20260104"),
              QStringLiteral("20251228"));
        if (e.CheckBox1)
            e.CheckBox1->setChecked(period);
        e.chkPkg->setChecked(pkg);
    };
}

void day(TfrmReportInquiry &s) {
    static_cast<TfrmCalendarDateInquiry &>(s).twDateEdit->setDate(QDate(2026, 3, 4));
}

const char *const kRange = "/rp [20260201] [20260228]";
const char *const kTwoYears = "/rp [20260301] [20260104]";
const char *const kThreeYears = "/rp [20260301] [20260104] [20251228]";

const Choice kChoices[] = {
    {"SBS310", range, "RF게이트이용집계", kRange},
    {"SBS330", range, "리프트할인별이용집계", kRange},
    {"SBS340", range, "온라인(여행창조)리프트판매집계", kRange},
    {"SBS340", radio2, "온라인(여행창조)수수료지급현황", kRange},
    {"SBS341", range, "온라인(이지웰)판매현황", kRange},
    {"SBS341", radio2, "온라인(이지웰)수수료지급현황", kRange},
    {"SBS350", boxes(false, false), "리프트전년대비권종별할인율현황", kTwoYears},
    {"SBS350", boxes(false, true), "리프트전년대비권종별할인율현황_PKG포함", kTwoYears},
    {"SBS350", boxes(true, false), "리프트전년대비권종별할인율현황(기간)", kTwoYears},
    {"SBS350", boxes(true, true), "리프트전년대비권종별할인율현황(기간)", kTwoYears},
    {"SBS360", boxes(false, false), "리프트3개년권종별할인율현황", kThreeYears},
    {"SBS360", boxes(false, true), "리프트3개년권종별할인율현황_PKG포함", kThreeYears},
    {"SBS370", range, "관광연합회권종별리프트발권현황", kRange},
    {"SBS370", radio2, "관광연합회회원별리프트발권현황", kRange},
    {"SPS010", day, "P_DAY_AMT", "/rp [20260304]"},
    {"SPS050", day, "P_GOLF_INQUIRY", "/rp [20260304]"},
};

// A search opens the chosen report of the main server with the dates, zoomed to 90 per cent
// without fitting; the report loads, runs and lays out pages.
TEST_F(ReportInquiriesTest, TheSearchOpensTheChosenReportWithTheDates) {
    for (const Choice &c : kChoices) {
        SCOPED_TRACE(std::string(c.id) + " " + c.report);
        auto s = open(c.id);
        c.choose(*s);
        s->bbtSearch->click();
        EXPECT_EQ(s->Rdviewer401->location(), MainLocation(QString::fromUtf8(c.report)));
        EXPECT_EQ(s->Rdviewer401->params(), QString::fromUtf8(c.params));
        EXPECT_EQ(s->Rdviewer401->AutoAdjust(), 0);
        EXPECT_EQ(s->Rdviewer401->ZoomRatio(), 90);
        expectShown(s->Rdviewer401);
    }
    EXPECT_EQ(dialogs->errors(), QStringList());
}

// The menu opens each through the registry; the grid and its buttons give way to the viewer.
TEST_F(ReportInquiriesTest, TheMenuOpensEachWithTheViewerInPlaceOfTheGrid) {
    shell::ProgramRegistry registry;
    RegisterScreens(registry);
    EXPECT_EQ(ReportInquiryProgramIds().size(), 9);
    for (const QString &id : ReportInquiryProgramIds()) {
        SCOPED_TRACE(id.toStdString());
        EXPECT_TRUE(shell::ProgramRegistry::ProgramIds().contains(id));
        std::unique_ptr<QWidget> created(registry.create(id, connection()));
        auto *s = qobject_cast<TfrmReportInquiry *>(created.get());
        ASSERT_NE(s, nullptr);
        s->show();
        EXPECT_EQ(s->objectName(), QStringLiteral("frm") + id);
        EXPECT_TRUE(s->Rdviewer401->isVisible());
        EXPECT_TRUE(s->bbtSearch->isVisible());
        for (QWidget *w : std::initializer_list<QWidget *>{s->rgrGrid, s->bbtPrint, s->bbtPreview,
                                                           s->bbtExcel, s->sbtFirst})
            EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
        EXPECT_EQ(s->Rdviewer401->location(), QString()); // nothing opens before a search
    }
}

// SBS310 to SBS370 run the template's search step, which stops silently while the search
// button is disabled; SPS010 and SPS050 open their report without it.
TEST_F(ReportInquiriesTest, OnlyTheSbsScreensStopWithADisabledSearchButton) {
    for (const auto &[id, opens] : {std::pair{"SBS330", false}, std::pair{"SPS050", true}}) {
        auto s = open(id);
        s->bbtSearch->setEnabled(false);
        if (opens)
            s->bbtSearchClick();
        else
            EXPECT_THROW(s->bbtSearchClick(), SilentStop) << id;
        EXPECT_EQ(s->Rdviewer401->location().isEmpty(), !opens) << id;
    }
}

// The dates a screen starts with: yesterday, or last year's and two years back's sales dates
// (365 and 729 days back), each with the database's weekday name; set again when shown.
TEST_F(ReportInquiriesTest, DatesStartFromToday) {
    // The tests' clock stands at 2026-12-10.
    const QString today = QStringLiteral("20261210"), yesterday = QStringLiteral("20261209"),
                  lastYear = QStringLiteral("20251210"), twoYearsBack = QStringLiteral("20241211");
    auto sbs310 = std::unique_ptr<TfrmReportInquiry>(CreateReportInquiry(connection(), "SBS310"));
    auto &range = static_cast<TfrmEventDateInquiry &>(*sbs310);
    EXPECT_EQ(range.fromDate(), yesterday); // on creation
    range.med_Event_From_Date->setValue(QStringLiteral("20200101"));
    range.show();
    EXPECT_EQ(range.fromDate(), yesterday); // and again when shown
    EXPECT_EQ(range.toDate(), yesterday);
    EXPECT_EQ(range.lblEventToDate->text(), QStringLiteral("∼"));
    EXPECT_EQ(range.wlb_Event_From_Yoil->text(), DayNameDb(connection(), range.fromDate()));
    EXPECT_FALSE(range.wlb_Event_From_Yoil->text().isEmpty());

    auto sbs360 = open("SBS360");
    auto &years = static_cast<TfrmEventDateInquiry &>(*sbs360);
    EXPECT_EQ(years.fromDate(), yesterday);
    EXPECT_EQ(years.toDate(), lastYear);
    EXPECT_EQ(years.med_Three_YearDate->value(), twoYearsBack);
    EXPECT_EQ(years.lbl_Three_YearDateYoil->text(), DayNameDb(connection(), twoYearsBack));
    EXPECT_TRUE(years.chkPkg->isChecked());
    EXPECT_EQ(years.CheckBox1, nullptr);
    // A date typed in changes its weekday.
    years.med_Three_YearDate->setValue(QStringLiteral("20240302"));
    EXPECT_EQ(years.lbl_Three_YearDateYoil->text(), DayNameDb(connection(), "20240302"));

    auto sbs350 = open("SBS350");
    auto &two = static_cast<TfrmEventDateInquiry &>(*sbs350);
    EXPECT_EQ(two.toDate(), lastYear);
    EXPECT_FALSE(two.CheckBox1->isChecked());
    EXPECT_TRUE(two.chkPkg->isChecked());
    auto sbs340 = open("SBS340");
    EXPECT_TRUE(static_cast<TfrmEventDateInquiry &>(*sbs340).RadioButton1->isChecked());

    for (const auto &[id, day] : {std::pair{"SPS010", yesterday}, std::pair{"SPS050", today}}) {
        auto s = open(id);
        auto *edit = static_cast<TfrmCalendarDateInquiry &>(*s).twDateEdit;
        EXPECT_EQ(edit->date().toString(QStringLiteral("yyyyMMdd")), day) << id;
        EXPECT_EQ(edit->displayFormat(), QLocale().dateFormat(QLocale::LongFormat));
    }
}

// SPS010's date goes out as yyyymmdd whatever the long format shows; the leap day included.
TEST_F(ReportInquiriesTest, TheCalendarDateGoesOutAsYmd) {
    auto s = open("SPS010");
    auto *edit = static_cast<TfrmCalendarDateInquiry &>(*s).twDateEdit;
    for (const auto &[date, ymd] :
         {std::pair{QDate(2024, 2, 29), "20240229"}, std::pair{QDate(2026, 12, 31), "20261231"},
          std::pair{QDate(2000, 1, 1), "20000101"}}) {
        edit->setDate(date);
        EXPECT_EQ(s->searchParams(), QStringLiteral("/rp [%1]").arg(QLatin1String(ymd)));
        EXPECT_EQ(DisplayToYmd(ShortDateText(date)), QLatin1String(ymd));
    }
}

// Each report's totals agree with the figures the database gives directly.
TEST_F(ReportInquiriesTest, TheReportsTotalsAgreeWithTheDatabase) {
    // The commission of an agency over February: each day's net at that day's rate, to the won.
    auto commission = [](const char *agency) {
        db::Query q(connection());
        q.setSql(QStringLiteral(R"sql(
SELECT I.SALE_DATE, SUM(I.NET_AMT), MAX(R.COMM_RATE)
FROM IB010MS I
JOIN ZX010MS A ON A.HEAD = 'I0012'
    AND A.DETAIL = I.AGENCY_CODE
JOIN IB020MS R ON R.AGENCY_CODE = I.AGENCY_CODE
    AND I.SALE_DATE BETWEEN R.DATE_FROM AND R.DATE_TO
WHERE A.DETAIL_NAME = :AGENCY
    AND I.SALE_DATE BETWEEN '20260201' AND '20260228'
GROUP BY I.SALE_DATE
)sql"));
        q.setParam(QStringLiteral("AGENCY"), QString::fromUtf8(agency));
        double total = 0;
        for (q.open(); !q.eof(); q.next())
            total += std::round(q.number(1) * q.number(2) / 100);
        EXPECT_GT(total, 0) << agency;
        return controls::FormatNumberText(total, QStringLiteral(",0"));
    };
    const QString agencySales = QStringLiteral(R"sql(
SELECT SUM(I.NET_AMT)
FROM IB010MS I
JOIN ZX010MS A ON A.HEAD = 'I0012'
    AND A.DETAIL = I.AGENCY_CODE
WHERE A.DETAIL_NAME = '%1'
    AND I.SALE_DATE BETWEEN '20260201' AND '20260228'
)sql");
    const QString liftNet = QStringLiteral(R"sql(
SELECT SUM(NET_AMT)
FROM IB010MS
WHERE SALE_DATE BETWEEN '%1' AND '%2'
    %3
)sql");
    const QString noPackages = QStringLiteral("AND PKG_YN = 'N'");
    const QString associationTickets = QStringLiteral(R"sql(
SELECT SUM(I.SALE_QTY)
FROM IB010MS I
JOIN ZX010MS D ON D.HEAD = 'I0011'
    AND D.DETAIL = I.DC_GUBUN
WHERE D.DETAIL_NAME = '관광연합회'
    AND I.SALE_DATE BETWEEN '20260201' AND '20260228'
)sql");
    const struct {
        int choice; // in kChoices
        QStringList totals;
    } cases[] = {
        {0, {figure(QStringLiteral(R"sql(
SELECT SUM(PASS_CNT)
FROM GA010MS
WHERE SALE_DATE BETWEEN '20260201' AND '20260228'
)sql"))}},
        // The ticket office's nets are the lift lines' nets.
        {1, {figure(QStringLiteral(R"sql(
SELECT SUM(NET_AMT)
FROM IA010MS
WHERE UPJANG_CODE IN ('5001', '5004', '5007')
    AND SALE_DATE BETWEEN '20260201' AND '20260228'
)sql"))}},
        {2, {figure(agencySales.arg(QStringLiteral("여행창조")))}},
        {3, {commission("여행창조")}},
        {4, {figure(agencySales.arg(QStringLiteral("이지웰")))}},
        {5, {commission("이지웰")}},
        {6,
         {figure(liftNet.arg("20260301", "20260301", noPackages)),
          figure(liftNet.arg("20260104", "20260104", noPackages))}},
        {7,
         {figure(liftNet.arg("20260301", "20260301", "")),
          figure(liftNet.arg("20260104", "20260104", ""))}},
        // The season: from the 1st of November before each date.
        {8,
         {figure(liftNet.arg("20251101", "20260301", "")),
          figure(liftNet.arg("20251101", "20260104", ""))}},
        {11,
         {figure(liftNet.arg("20260301", "20260301", "")),
          figure(liftNet.arg("20260104", "20260104", "")),
          figure(liftNet.arg("20251228", "20251228", ""))}},
        {12, {figure(associationTickets)}},
        {13, {figure(associationTickets)}},
        {14, {figure(QStringLiteral(R"sql(
SELECT SUM(SALE_AMT)
FROM SA030MS
WHERE SALE_DATE = '20260304'
)sql"))}},
        {15,
         {figure(QStringLiteral(R"sql(
SELECT SUM(NET_AMT + VAT_AMT)
FROM IA010MS
WHERE UPJANG_CODE = '2001'
    AND SALE_DATE = '20260304'
)sql")),
          figure(QStringLiteral(R"sql(
SELECT COUNT(*)
FROM CA020MS
WHERE COME_DATE = '20260304'
)sql"))}},
    };
    for (const auto &c : cases) {
        const Choice &choice = kChoices[c.choice];
        SCOPED_TRACE(choice.report);
        auto s = open(choice.id);
        choice.choose(*s);
        s->bbtSearch->click();
        expectShown(s->Rdviewer401);
        const QStringList texts = summaryTexts(s->Rdviewer401);
        for (const QString &total : c.totals) {
            EXPECT_NE(total, QStringLiteral("0"));
            EXPECT_TRUE(texts.contains(total))
                << total.toStdString() << " not in " << texts.join(u' ').toStdString();
        }
    }
}

} // namespace
