#include "common/appdir.h"
#include "common/dates.h"
#include "common/functions.h"
#include "common/globals.h"
#include "common/silentstop.h"
#include "database/codes.h"
#include "database/schema.h"
#include "db/query.h"
#include "framework/lookupdialogs.h"
#include "screens/registerscreens.h"
#include "screens/viewer/report_viewers.h"
#include "screens/viewer/sri200_daily_sales_report.h"
#include "shell/datamodule.h"
#include "shell/mainwindow.h"
#include "shell/registry.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"

#include <QFile>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QUuid>
#include <functional>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::screens;

namespace {

const QString kMain = QStringLiteral("http://main:8001/REPORT/경영정보관리/");
const QString kSecond = QStringLiteral("http://second\\REPORT\\경영정보관리/");
const QString kThird = QStringLiteral("http://third:8003/REPORT/경영정보관리/");

// Marks a viewer property the member does not write. Before a search the test puts
// AutoAdjust 0 and ZoomRatio 77 (values no member writes together), which a member that
// writes neither leaves so.
constexpr short kUntouched = -7;
constexpr short kPresetAutoAdjust = 0, kPresetZoom = 77;

void writeServers() {
    QFile ini(AppFile(QStringLiteral("Kelo_S.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[ReportServer]\nMain=http://main:8001\nSecond=http://second\n"
              "Third=http://third:8003\n");
}

void resetHandover() {
    HandoverWorkDate().clear();
    HandoverToDate().clear();
    sri100::HandoverDeptItem().clear();
    sri120::HandoverDeptItem().clear();
    sri220::HandoverDeptItem().clear();
}

class ViewerScreensTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeServers();
        resetHandover();
        Globals() = GlobalValues{};
        Globals().empNo = QStringLiteral("20000001");
        Globals().clientIP = QStringLiteral("10.1.2.3");
    }
    void TearDown() override { resetHandover(); }

    std::unique_ptr<TfrmReportViewer> create(const QString &id) {
        QWidget *w = CreateViewerScreen(connection, id);
        auto *screen = qobject_cast<TfrmReportViewer *>(w);
        EXPECT_NE(screen, nullptr) << id.toStdString();
        return std::unique_ptr<TfrmReportViewer>(screen);
    }
    // A search with the dates (or month) given, from untouched viewer properties.
    static void search(TfrmReportViewer &s, const QString &from, const QString &to) {
        s.FromDate->setValue(from);
        s.ToDate->setValue(to);
        if (s.medMonth)
            s.medMonth->setValue(from.left(6));
        s.Rdviewer401->setAutoAdjust(kPresetAutoAdjust);
        s.Rdviewer401->setZoomRatio(kPresetZoom);
        s.BitBtn1->click();
    }
    int count(const QString &sql) {
        db::Query q(connection);
        q.setSql(sql);
        q.open();
        return int(q.integer(0));
    }

    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
    test::ScriptedDialogsScope dialogs;
};

// Every member's search with F = 20240101, T = 20240131 (M = 202401): location, parameter
// string and the viewer properties written.
TEST_F(ViewerScreensTest, EveryMembersSearch) {
    using Setup = std::function<void(TfrmReportViewer &)>;
    struct Case {
        const char *id;
        Setup setup;
        QString location;
        const char *params;
        short autoAdjust, zoom;
    };
    const short u = kUntouched;
    const Setup none;
    // clang-format off
    const Case cases[] = {
        {"SBS010", none, kMain + "객실판매총괄.mrd", "/rp [20240101] [20240131]", 2, u},
        {"SBS030", none, kMain + "직원영업활동현황집계.mrd", "/rp [20240101]", 2, u},
        {"SBS060", none, kMain + "직원영업예약및실적집계.mrd", "/rp [20240101] [20240131]", 2, u},
        {"SBS070", none, kMain + "영업활동직원단체실적조회.mrd", "/rp [20240101] [20240131] []", 2, u},
        {"SBS110", none, kMain + "곤도라발권및Gate통과현황.mrd", "/rp [20240101] [20240131]", 2, u},
        {"SBS120", none, kMain + "곤도라할인구분별매출집계.mrd", "/rp [20240101] [20240131]", 2, u},
        {"SBS130", none, kMain + "곤도라할인구분별매출집계2.mrd", "/rp [20240101] [20240131]", 2, u},
        {"SBS140", none, kMain + "곤도라이용실적현황.mrd", "/rp [20240101] [20240131]", 2, u},
        {"SBS210", none, kMain + "켈로펠모라CC기간별매출현황.mrd", "/rp [20240101] [20240131]", 2, u},
        {"SBS320", none, kMain + "세계태권도WTF객실이용현황.mrd", "/rp [20240101] ", u, u},
        {"SQR050", none, kMain + "파트장팀장일일근태현황.mrd", "/rp [20240101] []", 0, 90},
        {"SRI060", none, kMain + "MIS(SRI060).mrd", "/rv  AFromDate[20240101]AToDATE[20240131] /reditmode", u, u},
        {"SRI070", none, kMain + "MIS(SRI070).mrd", "/rv  AFromDate[20240101]AToDATE[20240131] /reditmode", u, u},
        {"SRI080", none, kSecond + "영업현황일보(총괄).mrd", "/rp [20240101] []", 2, u},
        {"SRI090", none, kMain + "MIS(SRI9999).mrd", "/rv  ATASK_DATE[20240101]ADEPT_ITEM1[] /reditmode", u, u},
        {"SRI100", [](auto &) { sri100::HandoverDeptItem() = "D100"; }, kMain + "MIS(SRI100).mrd", "/rv  ATASK_DATE[20240101]ADEPT_ITEM1[D100] /reditmode", u, u},
        {"SRI110", none, kMain + "MIS(SRI180).mrd", "/rv  ATASK_DATE[20240101] /reditmode", u, u},
        {"SRI120", [](auto &) { sri120::HandoverDeptItem() = "D120"; }, kMain + "MIS(SRI120).mrd", "/rv  AFROM_DATE[20240101]ATO_DATE[20240131]ADEPT_ITEM1[D120] /reditmode", u, u},
        {"SRI130", none, kMain + "Daily_Night_Shift.mrd", "/rp [20240101] ", u, u},
        {"SRI140", none, kMain + "Daily_Gondora_Chk.mrd", "/rp [20240101] ", u, u},
        {"SRI220", [](auto &) { sri220::HandoverDeptItem() = "D220"; }, kMain + "MIS(SRI120).mrd", "/rv  AFROM_DATE[20240101]ATO_DATE[20240131]ADEPT_ITEM1[D220] /reditmode", u, u},
        {"SRI230", none, kMain + "MIS(SRI190).mrd", "/rv  AFROM_DATE[20240101]ATO_DATE[20240131]ADEPT_ITEM1[] /reditmode", u, u},
        {"SRS150", none, kMain + "곤도라시간대별예약발권현황.mrd", "/rp [20240101] ", 1, u},
        {"SRS151", none, kMain + "곤도라시간대별예약발권현황(비수기).mrd", "/rp [20240101] ", 1, u},
        {"SRS170", none, kMain + "켈로펠모라리조트객단가현황.mrd", "/rp [202401]", 0, 130},
        {"SRS180", none, kMain + "일일객단가현황1(결재본).mrd", "/rp [20240101]", 1, u},
        {"SRS180", [](auto &s) { s.RadioButton2->setChecked(true); }, kMain + "일일객단가현황2(결재본).mrd", "/rp [20240101]", 1, u},
        {"SRS180", [](auto &s) { s.RadioButton3->setChecked(true); }, kMain + "일일객단가현황3(결재본).mrd", "/rp [20240101]", 1, u},
        {"SRS181", none, kMain + "일일객단가현황(호텔별).mrd", "/rp [20240101] []", 1, u},
        {"SRS181", [](auto &s) { s.edt_Upjang_No->setText("1002"); }, kMain + "일일객단가현황(호텔별).mrd", "/rp [20240101] [1002]", 1, u},
        {"SRS182", [](auto &s) { s.cmbMemGubun->setCurrentText("회원"); }, kMain + "일일객단가고객구분세부집계.mrd", "/rp [20240101] [20240131] [가족호텔] [회원]", 1, u},
        {"SRS183", [](auto &s) { s.CmbWeekGubun->setCurrentText("주말"); }, kMain + "일일객단가현황(세부현황2).mrd", "/rp [20240101] [20240131] [가족호텔] [주말]", 1, u},
        {"SRS185", none, kMain + "전년대비일자별매출현황.mrd", "/rp [20240101]", 1, u},
        {"SRS186", none, kMain + "객실일자별객실타입별객단가현황.mrd", "/rp [202401]", 0, 130},
        {"SRS187", [](auto &s) { s.cmbHotel->setCurrentText("유스호스텔"); }, kMain + "전년대비주중주말구분객실판매현황.mrd", "/rp [20240101] [20240131] [유스호스텔]", 1, u},
        {"SRS320", none, kSecond + "영업매출상세현황.mrd", "/rp [20240101] ", 2, u},
        {"SRS410", none, kMain + "M_Daily_Sale_REPORT3_유스호스텔추가.mrd", "/rp [20240101] ", 2, u},
        {"SRS420", none, kMain + "영업현황일보(총괄)2.mrd", "/rp [20240101] []", 2, u},
        {"SRS430", none, kMain + "영업매출상세현황2.mrd", "/rp [20240101] ", 2, u},
        {"SRS450", none, kMain + "영업현황일보(총괄)3.mrd", "/rp [20240101] []", 2, u},
        {"SRS460", none, kThird + "영업매출상세현황3.mrd", "/rp [20240101] ", 2, u},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        auto screen = create(QLatin1String(c.id));
        ASSERT_TRUE(screen);
        if (c.setup)
            c.setup(*screen);
        search(*screen, QStringLiteral("20240101"), QStringLiteral("20240131"));
        EXPECT_EQ(screen->Rdviewer401->location(), c.location);
        EXPECT_EQ(screen->Rdviewer401->params(), QString::fromUtf8(c.params));
        EXPECT_EQ(screen->Rdviewer401->AutoAdjust(),
                  c.autoAdjust == kUntouched ? kPresetAutoAdjust : c.autoAdjust);
        EXPECT_EQ(screen->Rdviewer401->ZoomRatio(), c.zoom == kUntouched ? kPresetZoom : c.zoom);
    }
}

// Defaults, which inputs show, and what the creation opens (with the hand-over values of
// a target inquiry for the pop-ups).
TEST_F(ViewerScreensTest, CreationOfEveryMember) {
    HandoverWorkDate() = QStringLiteral("20240105");
    HandoverToDate() = QStringLiteral("20240110");
    const QString y = QStringLiteral("20261209"), t = QStringLiteral("20261210");
    enum Shown { FromOnly, FromTo, NoTilde, Month };
    struct Case {
        const char *id;
        QString from, to;
        Shown shown;
        QString opened;                   // location opened on creation; empty: none
        short autoAdjust = 0, zoom = 100; // the stand-in control starts at 0 and 100
        const char *closeButton = "bbtClose";
    };
    const Case cases[] = {
        {"SBS010", y, y, FromTo, {}},
        {"SBS030", t, t, FromOnly, {}},
        {"SBS070", t, t, FromTo, {}},
        {"SBS320", y, y, FromOnly, kMain + "세계태권도WTF객실이용현황.mrd"},
        {"SQR050", y, y, FromOnly, kMain + "파트장팀장일일근태현황.mrd", 0, 90},
        {"SRI060", y, y, FromTo, kMain + "MIS(SRI060).mrd", 0, 100, "BitBtn3"},
        {"SRI080", y, y, FromOnly, kSecond + "영업현황일보(총괄).mrd", 2},
        {"SRI090", y, y, FromOnly, kMain + "MIS(SRI9999).mrd", 2, 100, "BitBtn3"},
        {"SRI100", "20240105", {}, FromOnly, kMain + "MIS(SRI100).mrd", 0, 100, "BitBtn3"},
        {"SRI110", "20240105", "20240110", FromOnly, kMain + "MIS(SRI180).mrd", 0, 100, "BitBtn3"},
        {"SRI120", "20240105", "20240110", NoTilde, kMain + "MIS(SRI120).mrd", 0, 100, "BitBtn3"},
        {"SRI130", t, t, FromOnly, kMain + "Daily_Night_Shift.mrd"},
        {"SRI230", "20240105", "20240110", NoTilde, kMain + "MIS(SRI230).mrd", 0, 100, "BitBtn3"},
        {"SRS150", t, t, FromOnly, kMain + "곤도라시간대별예약발권현황.mrd", 1},
        {"SRS151", t, t, FromOnly, kMain + "곤도라시간대별발권현황(비수기).mrd", 1},
        {"SRS170", {}, {}, Month, {}},
        {"SRS180", y, t, FromOnly, {}},
        {"SRS182", t, t, FromTo, {}},
        {"SRS183", y, y, FromTo, {}},
        {"SRS185", y, t, FromOnly, {}},
        {"SRS320", y, y, FromOnly, kSecond + "영업매출상세현황.mrd", 2},
        {"SRS460", y, y, FromOnly, kMain + "영업매출상세현황3.mrd", 2},
        {"SRI200", y, y, FromOnly, {}},
        {"SRS410", y, y, FromOnly, {}},
        {"SRS440", y, y, FromOnly, {}},
    };
    const viewer::Rdviewer40 fresh(connection); // a control nobody has written to
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        auto screen = create(QLatin1String(c.id));
        ASSERT_TRUE(screen);
        EXPECT_EQ(screen->objectName(), QStringLiteral("frm") + QLatin1String(c.id));
        EXPECT_EQ(screen->windowTitle(), screen->objectName());
        EXPECT_EQ(screen->Panel1->height(), 41);
        EXPECT_EQ(screen->FromDate->editMask(), QStringLiteral("9999-99-99;0;"));
        EXPECT_EQ(screen->BitBtn1->text(), QStringLiteral("조회"));
        EXPECT_EQ(screen->BitBtn2->text(), QStringLiteral("출력"));
        auto *close = screen->findChild<QPushButton *>(QLatin1String(c.closeButton));
        ASSERT_NE(close, nullptr);
        EXPECT_EQ(close->text(), QStringLiteral("종료"));
        EXPECT_EQ(screen->bbtClose == nullptr, screen->BitBtn3 != nullptr);
        if (c.shown == Month) {
            EXPECT_EQ(screen->medMonth->value(), t.left(6));
            EXPECT_EQ(screen->medMonth->editMask(), QStringLiteral("!9999-99;0;"));
            EXPECT_TRUE(screen->FromDate->isHidden());
        } else {
            EXPECT_EQ(screen->fromDate(), c.from);
            EXPECT_EQ(screen->toDate(), c.to);
            EXPECT_EQ(screen->Label1->isHidden(), c.shown != FromTo);
            EXPECT_EQ(screen->ToDate->isHidden(), c.shown == FromOnly);
        }
        EXPECT_EQ(screen->Rdviewer401->location(), c.opened);
        EXPECT_EQ(screen->Rdviewer401->AutoAdjust(),
                  c.autoAdjust == kUntouched ? fresh.AutoAdjust() : c.autoAdjust);
        EXPECT_EQ(screen->Rdviewer401->ZoomRatio(),
                  c.zoom == kUntouched ? fresh.ZoomRatio() : c.zoom);
    }
}

TEST_F(ViewerScreensTest, PopUpsOpenWithTheHandOverValuesAndWriteThemBack) {
    // SRI100 from the menu before any target screen handed a date over.
    auto sri100 = create(QStringLiteral("SRI100"));
    EXPECT_EQ(sri100->fromDate(), QString());
    EXPECT_EQ(sri100->Rdviewer401->params(),
              QStringLiteral("/rv  ATASK_DATE[]ADEPT_ITEM1[] /reditmode"));

    HandoverWorkDate() = QStringLiteral("20240105");
    HandoverToDate() = QStringLiteral("20240110");
    sri120::HandoverDeptItem() = QStringLiteral("3001");
    auto sri120 = create(QStringLiteral("SRI120"));
    EXPECT_EQ(sri120->Rdviewer401->params(),
              QStringLiteral("/rv  AFROM_DATE[20240105]ATO_DATE[20240110]ADEPT_ITEM1[3001] "
                             "/reditmode"));
    search(*sri120, QStringLiteral("20240201"), QStringLiteral("20240229"));
    EXPECT_EQ(HandoverWorkDate(), QStringLiteral("20240201"));
    EXPECT_EQ(HandoverToDate(), QStringLiteral("20240229"));
    // SRI100 has no to-date: its search leaves the to-date as it was.
    search(*sri100, QStringLiteral("20240301"), QStringLiteral("20240331"));
    EXPECT_EQ(HandoverWorkDate(), QStringLiteral("20240301"));
    EXPECT_EQ(HandoverToDate(), QStringLiteral("20240229"));
    // The outlet code survives the pop-up for the next one.
    sri120.reset();
    EXPECT_TRUE(create(QStringLiteral("SRI120"))->Rdviewer401->params().contains(u"[3001]"));
}

TEST_F(ViewerScreensTest, CreationReportGivesWayToTheSearchReport) {
    struct Case {
        const char *id;
        QString created, searched;
    };
    const Case cases[] = {
        {"SRI230", kMain + "MIS(SRI230).mrd", kMain + "MIS(SRI190).mrd"},
        {"SRS151", kMain + "곤도라시간대별발권현황(비수기).mrd",
         kMain + "곤도라시간대별예약발권현황(비수기).mrd"},
        {"SRS460", kMain + "영업매출상세현황3.mrd", kThird + "영업매출상세현황3.mrd"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        auto screen = create(QLatin1String(c.id));
        EXPECT_EQ(screen->Rdviewer401->location(), c.created);
        screen->BitBtn1->click();
        EXPECT_EQ(screen->Rdviewer401->location(), c.searched);
    }
    // SRI090 fits the page on creation only.
    auto sri090 = create(QStringLiteral("SRI090"));
    EXPECT_EQ(sri090->Rdviewer401->AutoAdjust(), 2);
    search(*sri090, QStringLiteral("20240101"), QString());
    EXPECT_EQ(sri090->Rdviewer401->AutoAdjust(), kPresetAutoAdjust);
}

TEST_F(ViewerScreensTest, Srs183ChoosesOneOfSixReportsByTheExactHotelText) {
    struct Case {
        const char *hotel;
        bool comp, pkg;
        const char *report;
    };
    const Case cases[] = {
        {"가족호텔", false, false, "일일객단가현황(세부현황2)"},
        {"가족호텔", true, false, "일일객단가현황(세부현황2_Comp분리)"},
        {"가족호텔", false, true, "일일객단가현황(세부현황2_PKG분리)"},
        {"가족호텔 ", false, false, "일일객단가현황(세부현황)"},
        {"가족호텔 ", false, true, "일일객단가현황(세부현황_PKG분리)"},
        {"베로호텔", true, false, "일일객단가현황(세부현황_Comp분리)"},
        {"", false, false, "일일객단가현황(세부현황)"},
    };
    auto screen = create(QStringLiteral("SRS183"));
    EXPECT_EQ(screen->cmbHotel->currentText(), QStringLiteral("가족호텔"));
    EXPECT_EQ(screen->CmbWeekGubun->currentText(), QString());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.report);
        screen->cmbHotel->setCurrentText(QString::fromUtf8(c.hotel));
        screen->ChkComp->setChecked(c.comp);
        screen->chkPkg->setChecked(c.pkg);
        search(*screen, QStringLiteral("20240101"), QStringLiteral("20240107"));
        EXPECT_EQ(screen->Rdviewer401->location(), kMain + QString::fromUtf8(c.report) + ".mrd");
        EXPECT_EQ(screen->Rdviewer401->params(), QStringLiteral("/rp [20240101] [20240107] [") +
                                                     QString::fromUtf8(c.hotel) +
                                                     QStringLiteral("] []"));
        EXPECT_EQ(screen->Rdviewer401->AutoAdjust(), 1);
    }
}

TEST_F(ViewerScreensTest, CompAndPackageSplitsExcludeEachOther) {
    auto screen = create(QStringLiteral("SRS183"));
    screen->ChkComp->click();
    EXPECT_TRUE(screen->ChkComp->isChecked());
    screen->chkPkg->click();
    EXPECT_TRUE(screen->chkPkg->isChecked());
    EXPECT_FALSE(screen->ChkComp->isChecked());
    screen->ChkComp->click();
    EXPECT_TRUE(screen->ChkComp->isChecked());
    EXPECT_FALSE(screen->chkPkg->isChecked());
    screen->ChkComp->click(); // unticking leaves the other as it is
    EXPECT_FALSE(screen->ChkComp->isChecked());
    EXPECT_FALSE(screen->chkPkg->isChecked());
}

TEST_F(ViewerScreensTest, Srs410ChoosesTheVersionByTheMonthAsText) {
    const QString older = kMain + "M_Daily_Sale_REPORT3_유스호스텔추가2.mrd";
    const QString newer = kMain + "M_Daily_Sale_REPORT3_유스호스텔추가.mrd";
    const std::pair<const char *, QString> cases[] = {{"20181031", older},
                                                      {"20181101", newer},
                                                      {"2018", older},
                                                      {"", older},
                                                      {"20240101", newer}};
    auto screen = create(QStringLiteral("SRS410"));
    for (const auto &[date, location] : cases) {
        search(*screen, QLatin1String(date), QString());
        EXPECT_EQ(screen->Rdviewer401->location(), location) << date;
        EXPECT_EQ(screen->Rdviewer401->params(),
                  QStringLiteral("/rp [") + QLatin1String(date) + QStringLiteral("] "));
        EXPECT_EQ(screen->Rdviewer401->AutoAdjust(), 2);
    }
}

TEST_F(ViewerScreensTest, MonthButtonsStepTheMonthWithoutOpening) {
    auto screen = create(QStringLiteral("SRS186"));
    EXPECT_EQ(screen->Rdviewer401->location(), QString());
    screen->medMonth->setValue(QStringLiteral("202401"));
    screen->btnMinus->click();
    EXPECT_EQ(screen->month(), QStringLiteral("202312"));
    screen->btnPlus->click();
    screen->btnPlus->click();
    EXPECT_EQ(screen->month(), QStringLiteral("202402"));
    EXPECT_EQ(screen->Rdviewer401->location(), QString());
    // A month that is not a number: the conversion error, and the edit keeps its text.
    screen->medMonth->setValue(QStringLiteral("2024"));
    EXPECT_THROW(screen->btnPlusClick(), std::invalid_argument);
    EXPECT_EQ(screen->month(), QStringLiteral("2024"));
}

TEST_F(ViewerScreensTest, PrintGoesToTheViewerEvenBeforeAReport) {
    auto screen = create(QStringLiteral("SBS010"));
    screen->BitBtn2->click();
    EXPECT_EQ(screen->Rdviewer401->location(), QString());
    EXPECT_FALSE(screen->Rdviewer401->message().isEmpty()); // the viewer says there is none
}

TEST_F(ViewerScreensTest, OutletHelpFillsTheOutletOrEmptiesItWhenCancelled) {
    QStringList outlets;
    for (const database::Outlet &o : database::StandardOutlets())
        if (o.code.startsWith(QLatin1String("10")) && o.code != QLatin1String("6001"))
            outlets << o.code;
    outlets.sort();
    ASSERT_GE(outlets.size(), 2);
    auto screen = create(QStringLiteral("SRS181"));
    QTimer::singleShot(0, [&] {
        auto *help = qobject_cast<TfrmSAH090 *>(QApplication::activeModalWidget());
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->lbl_Help_Form->text(), QStringLiteral("영업장"));
        EXPECT_EQ(help->grdR_Help->rowCountFetched(), outlets.size());
        help->grdR_Help->setCurrentCell(1, 0);
        help->bbtOK->click();
    });
    screen->bbt_Upjang_No->click();
    EXPECT_EQ(screen->edt_Upjang_No->text(), outlets.at(1));
    EXPECT_FALSE(screen->wlb_Upjang_No->text().isEmpty());
    search(*screen, QStringLiteral("20240101"), QString());
    EXPECT_EQ(screen->Rdviewer401->params(),
              QStringLiteral("/rp [20240101] [") + outlets.at(1) + u']');

    QTimer::singleShot(0,
                       [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
    screen->bbt_Upjang_No->click();
    EXPECT_EQ(screen->edt_Upjang_No->text(), QString());
    EXPECT_EQ(screen->wlb_Upjang_No->text(), QString());
}

// ---- the data-build members ---------------------------------------------------------

class DataBuildTest : public ViewerScreensTest {
protected:
    void SetUp() override {
        ViewerScreensTest::SetUp();
        schemaDb.exec(QStringLiteral(R"sql(
            INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT, NET_AMT,
                TOTAL_RMS)
            VALUES ('20240101', '1001', '10', 40, 1000000, 900000, 20),
                ('20240102', '1001', '10', 50, 2000000, 1800000, 25),
                ('20240102', '1001', '20', 10, 300000, 270000, 0),
                ('20240102', '3001', '30', 80, 500000, 450000, 0);
            INSERT INTO JH010MS (SALE_DATE, UPJANG_CODE, DIVISION, SALE_AMT, GUESTS, ROOMS)
            VALUES ('20240101', '1001', '10', 900000, 0, 0),
                ('20240102', '1001', '10', 1800000, 0, 0),
                ('20240102', '4001', '10', 70000, 0, 0);
            INSERT INTO SA020MS (SALE_DATE, UPJANG_CODE, AVAILABLE_RMS)
            VALUES ('20240102', '1001', 120)
        )sql"));
    }
    std::unique_ptr<TfrmDataBuildViewer> createBuild(const QString &id) {
        return std::unique_ptr<TfrmDataBuildViewer>(
            qobject_cast<TfrmDataBuildViewer *>(CreateViewerScreen(connection, id)));
    }
    // The date's figures of the daily sales report definitions.
    QStringList figures() {
        return test::QueryText(connection, QStringLiteral(R"sql(
            SELECT UPJANG_CODE, D_GUESTS, D_NET_AMT, M_GUESTS, M_NET_AMT
            FROM SA090MS
            WHERE SALE_DATE = '20240102'
            ORDER BY UPJANG_CODE
        )sql"))
            .split(u',');
    }
    QStringList reportRows() {
        db::Query q(connection);
        q.setSql(QStringLiteral(R"sql(
            SELECT UPJANG_CODE, D_GUESTS, D_SALE_AMT, D_BUDGET_AMT, M_GUESTS, M_SALE_AMT,
                M_BUDGET_AMT, SOLD_RMS, AVAILABLE_RMS, U_EMP_NO, U_IP
            FROM SA093MS
            WHERE SALE_DATE = '20240102'
            ORDER BY UPJANG_CODE
        )sql"));
        q.open();
        QStringList rows;
        while (!q.eof()) {
            QStringList row;
            for (int i = 0; i < q.fieldCount(); ++i)
                row << q.text(i);
            rows << row.join(u' ');
            q.next();
        }
        return rows;
    }
};

TEST_F(DataBuildTest, Sri200BuildsAMissingDateOnceAndSrs440FindsItToo) {
    auto sri200 = createBuild(QStringLiteral("SRI200"));
    ASSERT_TRUE(sri200);
    EXPECT_EQ(sri200->Rdviewer401->location(), QString()); // nothing before the first search
    search(*sri200, QStringLiteral("20240102"), QString());
    EXPECT_EQ(sri200->Rdviewer401->location(), kMain + "M_Daily_Sale_REPORT.mrd");
    EXPECT_EQ(sri200->Rdviewer401->params(), QStringLiteral("/rp [20240102] "));
    EXPECT_EQ(sri200->Rdviewer401->AutoAdjust(), 2);
    EXPECT_EQ(reportRows(),
              (QStringList{"1001 60 2300000 1800000 100 3300000 2700000 25 120 20000001 10.1.2.3",
                           "3001 80 500000 0 80 500000 0 0 0 20000001 10.1.2.3",
                           "4001 0 0 70000 0 0 70000 0 0 20000001 10.1.2.3"}));
    for (const char *table : {"SA091MS", "SA092MS"})
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE SALE_DATE = '20240102'")
                            .arg(QLatin1String(table))),
                  1)
            << table;
    // What the report reads is there for the date.
    EXPECT_EQ(figures(), (QStringList{"1001|60|2070000|100|2970000", "3001|80|450000|80|450000",
                                      "4001|0|0|0|0"})); // 4001 has budgets only
    EXPECT_FALSE(connection.inTransaction());

    // Found now: neither screen builds the date again.
    schemaDb.exec(QStringLiteral("DELETE FROM SA093MS"));
    search(*sri200, QStringLiteral("20240102"), QString());
    auto srs440 = createBuild(QStringLiteral("SRS440"));
    search(*srs440, QStringLiteral("20240102"), QString());
    EXPECT_EQ(reportRows(), QStringList());
    EXPECT_EQ(srs440->Rdviewer401->location(), kMain + "M_Daily_Sale_REPORT3_유스호스텔추가.mrd");
    EXPECT_EQ(srs440->Rdviewer401->params(), QStringLiteral("/rp [20240102] "));
    EXPECT_TRUE(dialogs->log().empty());
}

TEST_F(DataBuildTest, Srs440BuildsADateItsTableLacks) {
    auto srs440 = createBuild(QStringLiteral("SRS440"));
    search(*srs440, QStringLiteral("20240102"), QString());
    EXPECT_EQ(reportRows().size(), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SA092MS WHERE SALE_DATE = '20240102'")),
              1);
}

TEST_F(DataBuildTest, AFailingBuildIsSaidOnceAndLeavesTheViewerAsItWas) {
    auto sri200 = createBuild(QStringLiteral("SRI200"));
    search(*sri200, QStringLiteral("20240102"), QString());
    const QString shown = sri200->Rdviewer401->params();
    sri200->FromDate->setValue(QStringLiteral("20240230"));
    EXPECT_THROW(sri200->BitBtn1Click(), SilentStop);
    EXPECT_EQ(dialogs->errors(),
              QStringList{QStringLiteral("자료를 저장하지 못했습니다.\r\r에러내용:\r"
                                         "영업일자 '20240230'은(는) 올바른 일자(YYYYMMDD)가 "
                                         "아닙니다.")});
    EXPECT_EQ(sri200->Rdviewer401->params(), shown);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM SA092MS WHERE SALE_DATE = '20240230'")),
              0);
    EXPECT_FALSE(connection.inTransaction());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// ---- closing ---------------------------------------------------------------------------

TEST_F(ViewerScreensTest, APopUpClosesOnlyItself) {
    for (const char *id : {"SRI110", "SBS010"}) {
        SCOPED_TRACE(id);
        QPointer<QWidget> popup = CreateViewerScreen(connection, QLatin1String(id));
        QPointer<QWidget> other = CreateViewerScreen(connection, QStringLiteral("SRI120"));
        popup->show();
        other->show();
        auto *close = popup->findChild<QPushButton *>(
            QLatin1String(QLatin1String(id) == QLatin1String("SRI110") ? "BitBtn3" : "bbtClose"));
        close->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(popup.isNull());
        ASSERT_FALSE(other.isNull());
        EXPECT_TRUE(other->isVisible());
        delete other;
    }
}

const char *kMenu = R"(
INSERT INTO ZA040MS (PROJECT_ID, MENU_ID, MENU_NAME, DISPLAY_SEQ) VALUES ('KELO_S', 'M40', '보고서', 1);
INSERT INTO ZA050MS (PROJECT_ID, MENU_ID, PROGRAM_ID, PROGRAM_NAME, DISPLAY_SEQ) VALUES
  ('KELO_S', 'M40', 'SBS010', '객실 매출 보고서', 1), ('KELO_S', 'M40', 'SRI060', '일일 경영 보고서', 2),
  ('KELO_S', 'M40', 'STP010', '목표 출력', 3);
INSERT INTO ZA130MS (EMP_NO, PROJECT_ID, PROJECT_LEVEL) VALUES ('E0000001', 'KELO_S', 'L1');
INSERT INTO ZA140MS (PROJECT_ID, PROJECT_LEVEL, PROGRAM_ID) VALUES
  ('KELO_S', 'L1', 'SBS010'), ('KELO_S', 'L1', 'SRI060'), ('KELO_S', 'L1', 'STP010');
)";

TEST_F(ViewerScreensTest, ATabHostedMemberClosesItsTab) {
    qputenv("KELO_IPC_SUFFIX", QUuid::createUuid().toString(QUuid::Id128).left(12).toLatin1());
    schemaDb.exec(QString::fromUtf8(kMenu));
    shell::ProgramRegistry registry;
    RegisterScreens(registry);
    auto dm = std::make_unique<shell::TfrmZZD000>(
        QStringList{QStringLiteral("TESTDB"), QStringLiteral("kluser"), QStringLiteral("E0000001"),
                    QStringLiteral("홍길동")});
    auto window = std::make_unique<shell::TfrmS0Main>(*dm, registry, QStringLiteral("KELO_S"));
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const auto tabs = [&] {
        QStringList ids;
        for (int i = 0; i < window->pgcTabs->count(); ++i)
            ids << window->pgcTabs->tabToolTip(i);
        return ids;
    };
    for (const char *id : {"SBS010", "SRI060", "STP010"})
        ASSERT_TRUE(window->OpenProgram(QLatin1String(id), QLatin1String(id))) << id;
    EXPECT_EQ(tabs(), (QStringList{"SBS010", "SRI060", "STP010"}));
    // STP010 opened its report with the empty parameter string when it was shown.
    auto *stp010 = window->findChild<TfrmParamViewer *>(QStringLiteral("frmSTP010"));
    ASSERT_NE(stp010, nullptr);
    EXPECT_EQ(stp010->Rdviewer401->location(), kMain + "목표관리조회.mrd");
    EXPECT_EQ(stp010->Rdviewer401->params(), QString());
    EXPECT_EQ(stp010->Rdviewer401->ZoomRatio(), 90);
    EXPECT_EQ(stp010->Rdviewer401->AutoAdjust(), 0);

    // "종료" of SBS010: the F12 key stroke reaches the main window's close entry.
    window->pgcTabs->setCurrentIndex(0);
    auto *sbs010 = window->findChild<TfrmReportViewer *>(QStringLiteral("frmSBS010"));
    QPointer<TfrmReportViewer> watched = sbs010;
    sbs010->FromDate->setFocus();
    sbs010->bbtClose->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
    EXPECT_EQ(tabs(), (QStringList{"SRI060", "STP010"}));

    // "종료" of SRI060: its close request asks the main window to remove the tab.
    window->pgcTabs->setCurrentIndex(0);
    auto *sri060 = window->findChild<TfrmReportViewer *>(QStringLiteral("frmSRI060"));
    watched = sri060;
    sri060->BitBtn3->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
    EXPECT_EQ(tabs(), QStringList{"STP010"});

    window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    dm.reset();
    qunsetenv("KELO_IPC_SUFFIX");
}

TEST(ViewerRegistry, EveryViewerMenuProgramIsRegistered) {
    shell::ProgramRegistry registry;
    RegisterScreens(registry);
    QStringList missing;
    for (const char *id :
         {"SBS010", "SBS030", "SBS060", "SBS070", "SBS110", "SBS120", "SBS130", "SBS140",
          "SBS210", "SBS320", "SQR050", "SRI060", "SRI070", "SRI080", "SRI090", "SRI100",
          "SRI120", "SRI130", "SRI140", "SRS150", "SRS151", "SRS170", "SRS180", "SRS181",
          "SRS182", "SRS183", "SRS185", "SRS186", "SRS187", "SRS320", "SRS420", "SRS430",
          "SRS450", "SRS460", "STP010", "SRI200", "SRS410", "SRS440"})
        if (!registry.isRegistered(QLatin1String(id)))
            missing << QLatin1String(id);
    EXPECT_EQ(missing, QStringList());
    // The pop-ups of the target inquiries and list inquiries are no menu programs.
    for (const char *id : {"SRI110", "SRI220", "SRI230", "SBP040", "SBP050"})
        EXPECT_FALSE(registry.isRegistered(QLatin1String(id))) << id;
    for (const QString &id : ViewerProgramIds())
        EXPECT_TRUE(shell::ProgramRegistry::ProgramIds().contains(id)) << id.toStdString();
}

TEST_F(ViewerScreensTest, ParameterOnlyMembersOpenWhatTheirCreatorPutThere) {
    auto *w = CreateViewerScreen(connection, QStringLiteral("SBP040"));
    std::unique_ptr<TfrmParamViewer> sbp040(qobject_cast<TfrmParamViewer *>(w));
    ASSERT_TRUE(sbp040);
    sbp040->ReportParams = QStringLiteral("/rp [20240101] [20240131] [가족호텔]");
    sbp040->Rdviewer401->setAutoAdjust(1);
    sbp040->show();
    EXPECT_EQ(sbp040->Rdviewer401->location(), kMain + "직원영업활동실적현황.mrd");
    EXPECT_EQ(sbp040->Rdviewer401->params(), sbp040->ReportParams);
    EXPECT_EQ(sbp040->Rdviewer401->AutoAdjust(), 1);
}

} // namespace
