// The editable data grids: the gondola reservation reports (SRS160) beside the viewer, the
// room sales list (SRS184) with its filters and Excel file, and the event marks (SRI210)
// saved through PR_FA091MS_01. On the engine of the tests.

#include "common/appdir.h"
#include "common/functions.h"
#include "common/globals.h"
#include "common/reportlocations.h"
#include "controls/formats.h"
#include "database/demo.h"
#include "db/query.h"
#include "framework/lookupdialogs.h"
#include "framework/screenhelpers.h"
#include "screens/datagrids/sri210_event_checks.h"
#include "screens/datagrids/srs160_gondola_reports.h"
#include "screens/datagrids/srs184_room_sales.h"
#include "screens/registerscreens.h"
#include "screens/report_server.h"
#include "shell/registry.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

using namespace kelo;
using namespace kelo::screens;

namespace {

// What a user does: clicks a cell, types into a field, clicks a button.
void clickCell(controls::Grid *grid, int row, int column) {
    const QModelIndex index = grid->model()->index(row, column);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
}

void typeInto(QLineEdit *field, const QString &text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

QString value(db::Connection &c, const QString &sql) {
    db::Query q(c);
    q.setSql(sql);
    q.open();
    return q.eof() ? QString() : q.text(0);
}

// The row whose column holds the text; -1 when none does.
int rowOf(controls::Grid *grid, int column, const QString &text) {
    for (int r = 0; r < grid->rowCountFetched(); ++r)
        if (grid->text(r, column) == text)
            return r;
    return -1;
}

class DataGridsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Globals() = GlobalValues{};
        Globals().empNo = QStringLiteral("20000001");
        Globals().clientIP = QStringLiteral("10.0.0.7");
    }
    void exec(const QString &sql) {
        db::Query q(connection);
        q.setSql(sql);
        q.exec();
    }
    template <class Screen> std::unique_ptr<Screen> open() {
        auto screen = std::make_unique<Screen>(connection);
        screen->resize(1200, 800);
        screen->show();
        screen->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(screen.get()));
        return screen;
    }

    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
    test::ScriptedDialogsScope dialogs;
};

TEST_F(DataGridsTest, TheThreeProgramsOpenFromTheMenu) {
    shell::ProgramRegistry registry;
    RegisterScreens(registry);
    for (const char *id : {"SRS160", "SRS184", "SRI210"}) {
        std::unique_ptr<QWidget> screen(registry.create(QLatin1String(id), connection));
        ASSERT_TRUE(screen) << id;
        EXPECT_EQ(screen->objectName(), QStringLiteral("frm") + QLatin1String(id));
        EXPECT_TRUE(qobject_cast<TfrmZZI090 *>(screen.get())) << id;
    }
}

// ---- SRS160 -------------------------------------------------------------------------

TEST_F(DataGridsTest, Srs160OpensTheReportOfTheRowChosenForTheSearchedDates) {
    exec(QStringLiteral("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('S0021', '8', "
                        "'8.없는보고서')"));
    auto s = open<TfrmSRS160>();
    EXPECT_EQ(s->FromDate->value(), QStringLiteral("20261210")); // today
    EXPECT_FALSE(s->Label1->isVisible());
    typeInto(s->FromDate, QStringLiteral("20240101"));
    typeInto(s->ToDate, QStringLiteral("20240131"));
    QTest::mouseClick(s->bbtSearch, Qt::LeftButton);
    // The set's rows as they are: its title row (code ' '), the seven reports and code 8.
    ASSERT_EQ(s->rgrGrid->rowCountFetched(), 9);
    EXPECT_FALSE(s->rgrGrid->column(0).visible);
    EXPECT_FALSE(s->FromDate->isEnabled());
    // The search opened the report of the first row, if it has one.
    const QString first = TfrmSRS160::ReportName(s->rgrGrid->text(0, 0));
    EXPECT_EQ(s->Rdviewer401->location(), first.isEmpty() ? QString() : MainLocation(first));

    const QString params = QStringLiteral("/rp [20240101] [20240131]");
    const struct {
        const char *code, *report; // report: null when the code opens nothing
    } moves[] = {
        {"3", "3.관광곤도라예약연령대별현황"},
        {"5", "5.관광곤도라예약시간대별발권현황"},
        {"8", nullptr},
        {" ", nullptr},
        {"1", "1.관광곤도라예약일자별현황"},
        {"7", "7.예약취소및노쇼분석현황"},
    };
    QString shown;
    for (const auto &m : moves) {
        SCOPED_TRACE(m.code);
        const int row = rowOf(s->rgrGrid, 0, QLatin1String(m.code));
        ASSERT_GE(row, 0);
        clickCell(s->rgrGrid, row, 1);
        EXPECT_EQ(s->rgrGrid->currentRow(), row);
        if (m.report)
            shown = MainLocation(QString::fromUtf8(m.report));
        EXPECT_EQ(s->Rdviewer401->location(), shown);
        EXPECT_EQ(s->Rdviewer401->params(), params);
        EXPECT_EQ(s->Rdviewer401->AutoAdjust(), 2);
    }
    // The dates change only after Cancel; the viewer keeps its report.
    QTest::mouseClick(s->bbtCancel, Qt::LeftButton);
    EXPECT_EQ(s->rgrGrid->rowCountFetched(), 0);
    EXPECT_EQ(s->Rdviewer401->location(), shown);
    EXPECT_EQ(dialogs->errors(), QStringList());
}

// The seven reports from a real report server on a generated demo: each lays out pages whose
// detail lines and totals agree with a direct count of the reservations.
class GondolaReportsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        database::Install();
        db = new test::TempDatabase;
        test::GenerateDemoInto(*db, 40, QStringLiteral("20261209"));
        server = new test::ReportServerProcess;
        server->writeSettings(db->dir());
    }
    static void TearDownTestSuite() {
        delete server;
        delete db;
        server = nullptr;
        db = nullptr;
    }

    void SetUp() override { ASSERT_TRUE(server->started()) << server->base().toStdString(); }

    static test::TempDatabase *db;
    static test::ReportServerProcess *server;
    test::ScriptedDialogsScope dialogs;
};

test::TempDatabase *GondolaReportsTest::db = nullptr;
test::ReportServerProcess *GondolaReportsTest::server = nullptr;

TEST_F(GondolaReportsTest, EveryReportAgreesWithTheReservations) {
    db::Connection &c = db->connection();
    const QString period = QStringLiteral(
        " FROM GA020MS WHERE UPJANG_CODE = '5002' AND USE_DATE BETWEEN '20261101' AND '20261209'");
    ASSERT_GT(value(c, QStringLiteral("SELECT COUNT(*)") + period).toInt(), 30);
    auto count = [&](const char *select) {
        return controls::FormatNumberText(value(c, QLatin1String(select) + period).toDouble(),
                                          QStringLiteral(",0"));
    };
    auto rows = [&](const char *select) {
        return value(c, QLatin1String(select) + period).toInt();
    };
    const QString passes = controls::FormatNumberText(
        value(c, QStringLiteral("SELECT SUM(PASS_CNT) FROM GA010MS WHERE UPJANG_CODE = '5002' "
                                "AND SALE_DATE BETWEEN '20261101' AND '20261209'"))
            .toDouble(),
        QStringLiteral(",0"));
    const QString noShowRate = controls::FormatNumberText(
        value(c, QStringLiteral("SELECT ROUND(SUM(DECODE(STATUS_CODE, 'N', 1, 0)) * 100 / "
                                "SUM(DECODE(STATUS_CODE, 'C', 0, 1)), 1)") +
                     period)
            .toDouble(),
        QStringLiteral("#,##0.0"));
    const QString lostRate = controls::FormatNumberText(
        value(c, QStringLiteral("SELECT ROUND(SUM(DECODE(STATUS_CODE, 'I', 0, RSV_CNT)) * 100 / "
                                "SUM(RSV_CNT), 1)") +
                     period)
            .toDouble(),
        QStringLiteral("#,##0.0"));
    const struct {
        const char *code;
        int details;
        QStringList totals; // texts the summary shows
    } cases[] = {
        {"1",
         rows("SELECT COUNT(DISTINCT USE_DATE)"),
         {count("SELECT COUNT(*)"), count("SELECT SUM(RSV_CNT)"), count("SELECT SUM(ISSUE_CNT)"),
          count("SELECT SUM(ISSUE_AMT)")}},
        {"2",
         rows("SELECT COUNT(DISTINCT USE_HOUR)"),
         {count("SELECT SUM(RSV_CNT)"), count("SELECT SUM(DECODE(STATUS_CODE, 'N', RSV_CNT, 0))")}},
        {"3",
         rows("SELECT COUNT(DISTINCT AGE_GUBUN)"),
         {count("SELECT COUNT(*)"), count("SELECT SUM(DECODE(STATUS_CODE, 'C', RSV_CNT, 0))")}},
        {"4",
         7,
         {count("SELECT SUM(DECODE(STATUS_CODE, 'C', 0, 1))"),
          count("SELECT SUM(DECODE(STATUS_CODE, 'N', RSV_CNT, 0))"), noShowRate}},
        {"5", 10, {count("SELECT SUM(ISSUE_CNT)"), count("SELECT SUM(ISSUE_AMT)"), passes}},
        {"6",
         rows("SELECT COUNT(*)"),
         {count("SELECT SUM(RSV_CNT)"), count("SELECT SUM(ISSUE_AMT)")}},
        {"7",
         rows("SELECT COUNT(DISTINCT USE_DATE)"),
         {count("SELECT SUM(DECODE(STATUS_CODE, 'C', 1, 0))"),
          count("SELECT SUM(CASE WHEN STATUS_CODE = 'C' AND CANCEL_DATE = USE_DATE THEN 1 ELSE "
                "0 END)"),
          count("SELECT SUM(DECODE(STATUS_CODE, 'C', RSV_CNT, 'N', RSV_CNT, 0))"), lostRate}},
    };

    TfrmSRS160 s(c);
    s.resize(1200, 800);
    s.show();
    typeInto(s.FromDate, QStringLiteral("20261101"));
    typeInto(s.ToDate, QStringLiteral("20261209"));
    QTest::mouseClick(s.bbtSearch, Qt::LeftButton);
    for (const auto &k : cases) {
        SCOPED_TRACE(k.code);
        const int row = rowOf(s.rgrGrid, 0, QLatin1String(k.code));
        ASSERT_GE(row, 0);
        if (s.rgrGrid->currentRow() == row)
            s.rgrGridRowChange();
        else
            clickCell(s.rgrGrid, row, 1);
        viewer::Rdviewer40 *v = s.Rdviewer401;
        ASSERT_TRUE(v->waitForLoaded(60000));
        ASSERT_EQ(v->state(), viewer::Rdviewer40::State::Shown)
            << v->location().toStdString() << ": " << v->message().toStdString();
        const report::Document *doc = v->document();
        ASSERT_NE(doc, nullptr);
        ASSERT_GE(doc->pages.size(), 1u);
        int details = 0;
        QStringList summary;
        for (const report::Page &p : doc->pages)
            for (int b = 0; b < int(p.bands.size()); ++b) {
                if (p.bands[size_t(b)].kind == report::BandKind::Detail)
                    ++details;
                if (p.bands[size_t(b)].kind == report::BandKind::Summary)
                    summary += p.bandTexts(b).values();
            }
        EXPECT_EQ(details, k.details);
        // With no dates the report still lays out (its totals empty).
        const QString location = v->location();
        v->OpenReport(location, QStringLiteral("/rp [] []"));
        ASSERT_TRUE(v->waitForLoaded(60000));
        EXPECT_EQ(v->state(), viewer::Rdviewer40::State::Shown) << v->message().toStdString();
        for (const QString &t : k.totals)
            EXPECT_TRUE(summary.contains(t))
                << t.toStdString() << " not in " << summary.join(u'|').toStdString();
    }
    EXPECT_EQ(dialogs->errors(), QStringList());
}

// ---- SRS184 -------------------------------------------------------------------------

// Two nights at the family hotel 1002 (Friday 1 March 2024 a weekday, Saturday a weekend day)
// and one at 1001: stays of every guest kind by member number, a complimentary night of a
// government type, an exclusive membership, a minibar charge, additional sales and an
// adjustment.
class RoomSalesTest : public DataGridsTest {
protected:
    void SetUp() override {
        DataGridsTest::SetUp();
        const char *stays[][8] = {
            // outlet, stay, date, type, amount, guest type, member, room type
            {"1002", "R001", "20240301", "D1001", "100000", "100", "0012345678", "ST"},
            {"1002", "R002", "20240301", "D1001", "120000", "400", "2300000001", "FM"},
            {"1002", "R003", "20240302", "D1001", "0", "005", "4100000002", "ST"},
            {"1002", "R004", "20240302", "D1001", "90000", "100", "1012345600", "ST"},
            {"1002", "R005", "20240302", "D1001", "80000", "100", "9912345678", "ST"},
            {"1002", "R006", "20240301", "D1001", "70000", "100", "12345", "FM"},
            {"1002", "R001", "20240301", "B100", "15000", "100", "0012345678", "ST"},
            {"1001", "R101", "20240301", "D1001", "200000", "100", "0012345678", "ST"},
        };
        for (const auto &r : stays) {
            const bool room = QLatin1String(r[3]) == QLatin1String("D1001");
            exec(QStringLiteral("INSERT INTO DA030SS (UPJANG_CODE, RSV_NO, MANAGE_NO, TASK_DATE, "
                                "MENU_CODE, ROOMS, SALE_AMT, GUEST_TYPE, MEMBER_NO, ROOM_TYPE, "
                                "REMARKS) VALUES ('%1', '%2', '01', '%3', '%4', %5, %6, '%7', "
                                "'%8', '%9', '')")
                     .arg(QLatin1String(r[0]), QLatin1String(r[1]), QLatin1String(r[2]),
                          QLatin1String(r[3]), room ? QStringLiteral("1") : QStringLiteral("0"),
                          QLatin1String(r[4]), QLatin1String(r[5]), QLatin1String(r[6]),
                          QLatin1String(r[7])));
            if (room)
                exec(QStringLiteral("INSERT INTO DA010MS (UPJANG_CODE, RSV_NO, MANAGE_NO, ROOM_NO) "
                                    "VALUES ('%1', '%2', '01', '%3') ON CONFLICT DO NOTHING")
                         .arg(QLatin1String(r[0]), QLatin1String(r[1]),
                              QStringLiteral("3") + QLatin1String(r[1]).right(2)));
        }
        exec(QStringLiteral("INSERT INTO JB010MS (UPJANG_CODE, MENU_CODE, MENU_NAME, DATE_FROM) "
                            "VALUES ('1002', 'B100', '미니바', '20000101')"));
        exec(QStringLiteral(
            "INSERT INTO AA010MS (MEMBER_NO, EXCLUSIVE_CODE) VALUES ('0012345678', 'F')"));
        exec(QStringLiteral(
            "INSERT INTO BB010MS (MEMBER_NO, MEMBER_NAME) VALUES ('0012345678', '김회원')"));
        exec(QStringLiteral("INSERT INTO KE030MS VALUES ('20240301', '1002', 50000)"));
        exec(QStringLiteral("INSERT INTO KE040MS VALUES ('20240301', '1002', -20000)"));
        for (const char *day : {"('1002', '20240301', '1')", "('1002', '20240302', '2')",
                                "('1001', '20240301', '1')"})
            exec(QStringLiteral("INSERT INTO CX011MS (UPJANG_CODE, USE_DATE, WEEK_CODE) VALUES ") +
                 QLatin1String(day));
    }

    // The rows shown: stay|room|sale kind|detail|guest kind|exclusive|amount, sorted.
    static QStringList shown(TfrmSRS184 &s) {
        QStringList out;
        for (int r = 0; r < s.rgrGrid->rowCountFetched(); ++r) {
            QStringList cells;
            for (int c : {0, 2, 4, 5, 6, 11})
                cells << s.rgrGrid->text(r, c);
            cells << controls::FormatNumberText(s.rgrGrid->value(r, 15), QStringLiteral("0,"));
            out << cells.join(u'|');
        }
        out.sort();
        return out;
    }
};

TEST_F(RoomSalesTest, FiltersChooseTheRows) {
    const QStringList rooms = {
        "R001|301|객실료||회원|전용|100,000",  "R002|302|객실료||여행사|비전용|120,000",
        "R003|303|객실료||단체|비전용|0",      "R004|304|객실료||임직원|비전용|90,000",
        "R005|305|객실료||기타|비전용|80,000", "R006|306|객실료||일반|비전용|70,000"};
    auto without = [&](std::initializer_list<int> gone) {
        QStringList out;
        for (int i = 0; i < rooms.size(); ++i)
            if (std::find(gone.begin(), gone.end(), i + 1) == gone.end())
                out << rooms.at(i);
        return out;
    };
    QStringList all = rooms;
    all << "||기타매출|매출조정|일반|비전용|-20,000"
        << "||기타매출|추가매출|일반|비전용|50,000"
        << "R001|301|기타매출|미니바|회원|전용|15,000";
    all.sort();
    const struct {
        const char *name;
        std::function<void(TfrmSRS184 &)> set;
        QStringList rows;
    } cases[] = {
        {"defaults: room charges only", [](TfrmSRS184 &) {}, rooms},
        {"other sales included",
         [](TfrmSRS184 &s) { QTest::mouseClick(s.ChkSaleGubun, Qt::LeftButton); }, all},
        {"exclusive use left out",
         [](TfrmSRS184 &s) { QTest::mouseClick(s.ChkExCode, Qt::LeftButton); }, without({1})},
        {"complimentary only",
         [](TfrmSRS184 &s) { QTest::mouseClick(s.ChkCompOnly, Qt::LeftButton); },
         {rooms.at(2)}},
        {"government agencies only",
         [](TfrmSRS184 &s) { QTest::mouseClick(s.CheckBox1, Qt::LeftButton); },
         {rooms.at(2)}},
        {"staff",
         [](TfrmSRS184 &s) { s.cmbMemGubun->setCurrentText(QStringLiteral("임직원")); },
         {rooms.at(3)}},
        {"weekend",
         [](TfrmSRS184 &s) { s.CmbWeekGubun->setCurrentText(QStringLiteral("주말")); },
         {rooms.at(2), rooms.at(3), rooms.at(4)}},
        {"room type FM",
         [](TfrmSRS184 &s) { typeInto(s.edt_Room_Type, QStringLiteral("FM")); },
         {rooms.at(1), rooms.at(5)}},
        {"another hotel: never exclusive",
         [](TfrmSRS184 &s) { typeInto(s.edt_Upjang_No, QStringLiteral("1001")); },
         {"R101|301|객실료||회원|비전용|200,000"}},
        {"no outlet lists nothing",
         [](TfrmSRS184 &s) { typeInto(s.edt_Upjang_No, QString()); },
         {}},
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(k.name);
        auto s = open<TfrmSRS184>();
        EXPECT_EQ(s->edt_Upjang_No->text(), QStringLiteral("1002"));
        EXPECT_TRUE(s->ChkSaleGubun->isChecked());
        typeInto(s->med_Event_From_Date, QStringLiteral("20240301"));
        typeInto(s->med_Event_To_Date, QStringLiteral("20240302"));
        k.set(*s);
        QTest::keyClick(s->med_Event_To_Date, Qt::Key_F3);
        EXPECT_EQ(shown(*s), k.rows);
        if (k.rows.isEmpty()) {
            EXPECT_EQ(s->stbMessage->panelText(1), QStringLiteral("조회할 내용이 없습니다."));
        }
        EXPECT_EQ(dialogs->errors(), QStringList());
    }
}

TEST_F(RoomSalesTest, ExcelWritesTheListWithItsFiguresAsNumbers) {
    QTemporaryDir out;
    auto s = open<TfrmSRS184>();
    EXPECT_FALSE(s->bbtExcel->isEnabled()); // search mode
    typeInto(s->med_Event_From_Date, QStringLiteral("20240301"));
    typeInto(s->med_Event_To_Date, QStringLiteral("20240302"));
    QTest::mouseClick(s->bbtSearch, Qt::LeftButton);
    ASSERT_EQ(s->rgrGrid->rowCountFetched(), 6);

    // A name without the extension gets .xls; the file is offered to open (answered No).
    dialogs->answerFile(out.filePath(QStringLiteral("rooms")));
    dialogs->answer(false);
    QTest::mouseClick(s->bbtExcel, Qt::LeftButton);
    EXPECT_EQ(dialogs->questions(), QStringList{QStringLiteral("저장한 Excel 파일을 불러올까요?")});
    QFile file(out.filePath(QStringLiteral("rooms.xls")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Records: type and length (16 bits each), then the data; number cells are 0x0203.
    int numbers = 0, texts = 0;
    for (int at = 0; at + 4 <= bytes.size();) {
        const int type = quint8(bytes[at]) | quint8(bytes[at + 1]) << 8;
        const int length = quint8(bytes[at + 2]) | quint8(bytes[at + 3]) << 8;
        numbers += type == 0x0203;
        texts += type == 0x0204;
        at += 4 + length;
    }
    EXPECT_EQ(numbers, 6 * 2); // the rooms and the amounts
    EXPECT_GT(texts, 6 * 10);

    // Without a name nothing is written, and the user is told.
    dialogs->clear();
    dialogs->answerFile(QString());
    QTest::mouseClick(s->bbtExcel, Qt::LeftButton);
    EXPECT_EQ(dialogs->errors(),
              QStringList{QStringLiteral("저장할 파일 이름을 지정하지 않았습니다.")});
    EXPECT_EQ(dialogs->questions(), QStringList());
}

TEST_F(RoomSalesTest, HelpsFillOutletAndRoomTypeOrEmptyThemWhenCancelled) {
    exec(QStringLiteral("UPDATE ZX010MS SET ITEM1 = '1002' WHERE HEAD = 'A0025' AND DETAIL IN "
                        "('ST', 'FM')"));
    auto s = open<TfrmSRS184>();
    // The outlets are the hotels only.
    QStringList listed;
    QTimer::singleShot(0, [&] {
        auto *help = qobject_cast<TfrmSAH090 *>(QApplication::activeModalWidget());
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->lbl_Help_Form->text(), QStringLiteral("영업장"));
        for (int r = 0; r < help->grdR_Help->rowCountFetched(); ++r)
            listed << help->grdR_Help->text(r, 0);
        help->grdR_Help->setCurrentCell(listed.indexOf(QStringLiteral("1001")), 0);
        help->bbtOK->click();
    });
    QTest::mouseClick(s->bbt_Upjang_No, Qt::LeftButton);
    EXPECT_FALSE(listed.isEmpty());
    for (const QString &code : listed)
        EXPECT_TRUE(code.startsWith(QLatin1String("10"))) << code.toStdString();
    EXPECT_EQ(s->edt_Upjang_No->text(), QStringLiteral("1001"));
    EXPECT_FALSE(s->wlb_Upjang_No->text().isEmpty());

    // The room types of the outlet in the field.
    typeInto(s->edt_Upjang_No, QStringLiteral("1002"));
    QTimer::singleShot(0, [&] {
        auto *help = qobject_cast<TfrmSAH090 *>(QApplication::activeModalWidget());
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->lbl_Help_Form->text(), QStringLiteral("객실타입"));
        ASSERT_EQ(help->grdR_Help->rowCountFetched(), 2);
        const int fm = help->grdR_Help->text(0, 0) == QLatin1String("FM") ? 0 : 1;
        help->grdR_Help->setCurrentCell(fm, 0);
        help->bbtOK->click();
    });
    QTest::mouseClick(s->bbt_Room_Type, Qt::LeftButton);
    EXPECT_EQ(s->edt_Room_Type->text(), QStringLiteral("FM"));
    EXPECT_EQ(s->wlbl_Room_Type->text(), QStringLiteral("패밀리"));

    QTimer::singleShot(0,
                       [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
    QTest::mouseClick(s->bbt_Room_Type, Qt::LeftButton);
    EXPECT_EQ(s->edt_Room_Type->text(), QString());
    EXPECT_EQ(s->wlbl_Room_Type->text(), QString());
}

// ---- SRI210 -------------------------------------------------------------------------

// Events around the report date 1 March 2024: listed are the confirmed ones that run on 2 March
// and began on 21 February or later.
class EventChecksTest : public DataGridsTest {
protected:
    void SetUp() override {
        DataGridsTest::SetUp();
        const char *events[][8] = {
            // number, name, from, to, adults, confirmed, cancelled, mark
            {"E1", "세미나", "20240301", "20240303", "30", "20240201", "", "Y"},
            {"E2", "동창회", "20240221", "20240302", "50", "20240110", "", "N"},
            {"E3", "장기연수", "20240220", "20240305", "80", "20240110", "", "Y"},
            {"E4", "취소된 결혼식", "20240302", "20240302", "90", "20240110", "20240220", "Y"},
            {"E5", "미확정 워크숍", "20240302", "20240302", "20", "", "", ""},
            {"E6", "골프대회", "20240303", "20240304", "40", "20240110", "", "Y"},
            {"E7", "결혼식", "20240302", "20240302", "120", "20240110", "", ""},
            {"E8", "하루 행사", "20240301", "20240301", "60", "20240110", "", "Y"},
            {"E9", "기업 행사", "20240301", "20240302", "200", "20240110", "", "N"},
        };
        auto dateOrNull = [](const char *date) {
            return *date ? u'\'' + QLatin1String(date) + u'\'' : QStringLiteral("NULL");
        };
        for (const auto &e : events) {
            exec(QStringLiteral("INSERT INTO FA010MS (EVENT_NO, EVENT_NAME, DATE_FROM, DATE_TO, "
                                "ADULT_CNT, CHILD_CNT, CONFIRM_DATE, CANCEL_DATE) VALUES ('%1', "
                                "'%2', '%3', '%4', %5, 5, %6, %7)")
                     .arg(QLatin1String(e[0]), QString::fromUtf8(e[1]), QLatin1String(e[2]),
                          QLatin1String(e[3]), QLatin1String(e[4]), dateOrNull(e[5]),
                          dateOrNull(e[6])));
            if (*e[7])
                exec(
                    QStringLiteral("INSERT INTO FA010DS (EVENT_NO, REPORT_CHK) VALUES ('%1', '%2')")
                        .arg(QLatin1String(e[0]), QLatin1String(e[7])));
        }
    }
    std::unique_ptr<TfrmSRI210> searched() {
        auto s = open<TfrmSRI210>();
        typeInto(s->med_Event_From_Date, QStringLiteral("20240301"));
        QTest::mouseClick(s->bbtSearch, Qt::LeftButton);
        return s;
    }
    static QStringList shown(TfrmSRI210 &s) {
        QStringList out;
        for (int r = 0; r < s.rgrGrid->rowCountFetched(); ++r) {
            QStringList cells;
            for (int c = 0; c <= TfrmSRI210::kCheckColumn; ++c)
                cells << s.rgrGrid->text(r, c);
            out << cells.join(u'|');
        }
        return out;
    }
    QStringList marks() {
        QStringList out;
        db::Query q(connection);
        q.setSql(QStringLiteral("SELECT EVENT_NO || '=' || REPORT_CHK || ':' || NVL(U_EMP_NO, '') "
                                "FROM FA010DS ORDER BY EVENT_NO"));
        for (q.open(); !q.eof(); q.next())
            out << q.text(0);
        return out;
    }
};

TEST_F(EventChecksTest, ListsTheConfirmedEventsOfTheNextDayNumberedByStart) {
    auto s = open<TfrmSRI210>();
    EXPECT_FALSE(s->med_Event_To_Date->isVisible());
    EXPECT_FALSE(s->ckbAllYn->isEnabled());
    typeInto(s->med_Event_From_Date, QStringLiteral("20240301"));
    EXPECT_EQ(s->wlb_Event_From_Yoil->text(), DayNameDb(connection, QStringLiteral("20240301")));
    EXPECT_FALSE(s->wlb_Event_From_Yoil->text().isEmpty());
    QTest::mouseClick(s->bbtSearch, Qt::LeftButton);
    EXPECT_EQ(shown(*s), (QStringList{"1|20240301|E2|02/21 ~ 03/02|55|동창회|N",
                                      "2|20240301|E9|03/01 ~ 03/02|205|기업 행사|N",
                                      "3|20240301|E1|03/01 ~ 03/03|35|세미나|Y",
                                      "4|20240301|E7|03/02 ~ 03/02|125|결혼식|N"}));
    EXPECT_TRUE(s->ckbAllYn->isEnabled());
    EXPECT_EQ(dialogs->errors(), QStringList());
}

TEST_F(EventChecksTest, TicksAreSavedAndReadBack) {
    auto s = searched();
    ASSERT_EQ(s->rgrGrid->rowCountFetched(), 4);
    // Tick E7 (never marked) with the space bar and clear E1 with a click, then save with F2.
    clickCell(s->rgrGrid, rowOf(s->rgrGrid, 2, QStringLiteral("E7")), 5);
    QTest::keyClick(s->rgrGrid->viewport(), Qt::Key_Right);
    ASSERT_EQ(s->rgrGrid->currentColumn(), TfrmSRI210::kCheckColumn);
    QTest::keyClick(s->rgrGrid->viewport(), Qt::Key_Space);
    clickCell(s->rgrGrid, rowOf(s->rgrGrid, 2, QStringLiteral("E1")), TfrmSRI210::kCheckColumn);
    EXPECT_EQ(s->rgrGrid->text(rowOf(s->rgrGrid, 2, QStringLiteral("E1")), 6), QStringLiteral("N"));
    EXPECT_EQ(s->rgrGrid->currentRow(), rowOf(s->rgrGrid, 2, QStringLiteral("E1")));
    dialogs->answer(true);
    QTest::keyClick(s->rgrGrid, Qt::Key_F2);
    EXPECT_EQ(dialogs->questions(), QStringList{QStringLiteral("저장 하시겠습니까?")});
    EXPECT_EQ(s->stbMessage->panelText(1), QStringLiteral("자료를 저장했습니다."));
    EXPECT_EQ(marks(), (QStringList{"E1=N:20000001", "E2=N:", "E3=Y:", "E4=Y:", "E6=Y:",
                                    "E7=Y:20000001", "E8=Y:", "E9=N:"}));
    // Read back by a new search.
    QTest::mouseClick(s->bbtCancel, Qt::LeftButton);
    QTest::mouseClick(s->bbtSearch, Qt::LeftButton);
    EXPECT_EQ(s->rgrGrid->text(rowOf(s->rgrGrid, 2, QStringLiteral("E7")), 6), QStringLiteral("Y"));
    EXPECT_EQ(s->rgrGrid->text(rowOf(s->rgrGrid, 2, QStringLiteral("E1")), 6), QStringLiteral("N"));
    // Nothing changed since: the template's message.
    dialogs->clear();
    QTest::keyClick(s->rgrGrid, Qt::Key_F2);
    EXPECT_EQ(dialogs->errors(), QStringList{QStringLiteral("변경된 데이타가 존재하지 않습니다.")});
}

TEST_F(EventChecksTest, AllCheckMarksEveryRowAndSaves) {
    auto s = searched();
    for (const auto &[tick, mark] : {std::pair{true, "Y"}, std::pair{false, "N"}}) {
        SCOPED_TRACE(mark);
        QTest::mouseClick(s->ckbAllYn, Qt::LeftButton);
        ASSERT_EQ(s->ckbAllYn->isChecked(), tick);
        for (int r = 0; r < s->rgrGrid->rowCountFetched(); ++r)
            EXPECT_EQ(s->rgrGrid->text(r, TfrmSRI210::kCheckColumn), QLatin1String(mark)) << r;
        // The marks alone are a change to save.
        dialogs->answer(true);
        QTest::mouseClick(s->bbtSave, Qt::LeftButton);
        EXPECT_EQ(dialogs->errors(), QStringList());
        for (const char *event : {"E1", "E2", "E7", "E9"})
            EXPECT_EQ(value(connection, QStringLiteral("SELECT REPORT_CHK FROM FA010DS WHERE "
                                                       "EVENT_NO = '%1'")
                                            .arg(QLatin1String(event))),
                      QLatin1String(mark))
                << event;
    }
    // Events not listed keep their marks.
    EXPECT_EQ(
        value(connection, QStringLiteral("SELECT REPORT_CHK FROM FA010DS WHERE EVENT_NO = 'E3'")),
        QStringLiteral("Y"));
}

} // namespace
