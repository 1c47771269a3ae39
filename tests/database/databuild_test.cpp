// The daily report data build PR_SA000MS_01 on a small fixture whose operating lines give
// known figures, on a generated demo period, and when it fails or is refused.

#include "database/demo.h"
#include "database/schema.h"
#include "db/query.h"
#include "db/storedproc.h"
#include "db/transaction.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

#include "support/schema_database.h"

using namespace kelo;

namespace {

// The business date of the fixture.
const QString kDate = QStringLiteral("20040302");

// Items, lines and rooms of 20040302 and the figures around it. Every figure the tests expect
// is worked out in their comments from these rows.
const char *const kFixture[] = {
    // Sale items with their revenue division; F9001 changes division on 20040301 while its old
    // row stays valid: the row in force is the later one.
    "INSERT INTO JB010MS (UPJANG_CODE, MENU_CODE, MENU_GUBUN_CODE, DATE_FROM, DATE_TO, DIVISION) "
    "VALUES ('1001', 'D1001', '30', '20000101', '99991231', '10'), "
    "('1001', 'D2001', '11', '20000101', '99991231', '90'), "
    "('2001', 'G0101', '01', '20000101', '99991231', '30'), "
    "('2001', 'G0201', '02', '20000101', '99991231', '50'), "
    "('3001', 'F1001', '10', '20000101', '99991231', '20'), "
    "('3001', 'F2001', '11', '20000101', '99991231', '20'), "
    "('3001', 'F3001', '12', '20000101', '99991231', '20'), "
    "('3001', 'F9001', '90', '20000101', '99991231', '90'), "
    "('3001', 'F9001', '10', '20040301', '99991231', '20')",
    // Point-of-sale lines: SALE_DATE, outlet, bill, line, item, net, tip, VAT, head count
    // (Korean, foreign, in-house), meal period. X999 is an item nobody knows.
    "INSERT INTO IA010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, MENU_CODE, NET_AMT, TIP_AMT, "
    "VAT_AMT, KOREAN_QTY, FOREIGN_QTY, INHOUSE_QTY, MEAL_GUBUN) VALUES "
    "('20040302', '1001', 'H1', 1, 'D1001', 300000, 30000, 30000, 5, 1, 0, NULL), "
    "('20040302', '1001', 'H2', 1, 'D2001', 15000, 0, 1500, 0, 0, 0, NULL), "
    "('20040302', '2001', 'G1', 1, 'G0101', 720000, 0, 72000, 4, 0, 0, NULL), "
    "('20040302', '2001', 'G1', 2, 'G0201', 90000, 0, 9000, 0, 0, 0, NULL), "
    "('20040302', '2001', 'G2', 1, 'G0101', 720000, 0, 72000, 3, 1, 0, NULL), "
    "('20040302', '3001', 'F1', 1, 'F1001', 105000, 10500, 10500, 3, 0, 1, '20'), "
    "('20040302', '3001', 'F1', 2, 'F2001', 14000, 1400, 1400, 0, 0, 0, '20'), "
    "('20040302', '3001', 'F2', 1, 'F3001', 36000, 3600, 3600, 2, 0, 0, '30'), "
    "('20040302', '3001', 'F2', 2, 'F9001', 20000, 2000, 2000, 0, 0, 0, '30'), "
    "('20040302', '3001', 'F2', 3, 'X999', 5000, 0, 500, 0, 0, 0, '30'), "
    "('20040301', '3001', 'F0', 1, 'F1001', 35000, 3500, 3500, 1, 0, 0, '10')",
    // Room inventory and rooms sold (guest types 900 house use, 910 complimentary).
    "INSERT INTO DE020MS (UPJANG_CODE, TASK_DATE, ROOM_TYPE, ROOM_CNT, BROKEN_CNT, "
    "INVENTORY_CNT) VALUES ('1001', '20040302', 'ST', 10, 1, 1), "
    "('1001', '20040302', 'DX', 5, 0, 1), ('1002', '20040301', 'ST', 7, 0, 0)",
    "INSERT INTO DE030MS (UPJANG_CODE, TASK_DATE, ROOM_TYPE, GUEST_TYPE, ROOMS, GUESTS) VALUES "
    "('1001', '20040302', 'ST', '100', 3, 5), ('1001', '20040302', 'ST', '900', 1, 1), "
    "('1001', '20040302', 'DX', '910', 1, 2)",
    // Figures of the date entered by hand, which the build replaces.
    "INSERT INTO SA020MS (SALE_DATE, UPJANG_CODE, TOTAL_RMS, U_EMP_NO) VALUES "
    "('20040302', '1002', 99, 'HAND')",
    "INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, NET_AMT, U_EMP_NO) VALUES "
    "('20040302', '5001', '40', 999, 999, 'HAND'), ('20040302', '2001', '30', 1, 1, 'HAND')",
    "INSERT INTO SA040MS (SALE_DATE, UPJANG_CODE, GUBUN, TOTAL_COVER, U_EMP_NO) VALUES "
    "('20040302', '3002', '10', 99, 'HAND')",
    "INSERT INTO SA090MS (SALE_DATE, UPJANG_CODE, D_GUESTS) VALUES ('20040302', '5001', 999)",
    "INSERT INTO SA090MS_NEW_2012 (SALE_DATE, UPJANG_CODE, D_GUESTS) VALUES "
    "('20040302', '5001', 999)",
    // Entered by hand and never built.
    "INSERT INTO SA010MS (SALE_DATE, WEATHER, U_EMP_NO) VALUES ('20040302', '01', 'HAND')",
    "INSERT INTO SA010DT (SALE_DATE, MOVEMENT, ITEM_CODE, AMOUNT, U_EMP_NO) VALUES "
    "('20040302', '10', '101', 5000, 'HAND')",
    // Earlier figures of the golf course: this month, this year, last year; a sauna with last
    // year's figures only; a ski lift whose figures are all before the windows.
    "INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, NET_AMT, SVC_AMT, U_EMP_NO) "
    "VALUES ('20040301', '2001', '30', 10, 1000, 100, 'HAND'), "
    "('20040215', '2001', '30', 20, 2000, 0, 'HAND'), "
    "('20031231', '2001', '30', 40, 4000, 0, 'HAND'), "
    "('20030302', '2001', '30', 7, 700, 0, 'HAND'), "
    "('20030105', '2001', '30', 1, 100, 0, 'HAND'), "
    "('20030303', '2001', '30', 50, 5000, 0, 'HAND'), "
    "('20030210', '4053', '60', 2, 200, 20, 'HAND'), "
    "('20031220', '5001', '40', 3, 300, 0, 'HAND')",
    // Budgets and targets of the golf course.
    "INSERT INTO JH010MS (SALE_DATE, UPJANG_CODE, DIVISION, SALE_AMT, GUESTS) VALUES "
    "('20040302', '2001', '30', 900, 9), ('20040302', '2001', '50', 100, 0), "
    "('20040301', '2001', '30', 500, 5), ('20040110', '2001', '30', 300, 3), "
    "('20031231', '2001', '30', 7777, 77)",
    "INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT) VALUES "
    "('20040302', '2001', '30', 11, 1100), ('20040302', '2001', '50', 0, 50), "
    "('20040301', '2001', '30', 99, 9900)",
};

// The rows of a statement, each its fields joined by '|'.
QStringList rowsOf(db::Connection &c, const QString &sql) {
    db::Query q(c);
    q.setSql(sql);
    QStringList out;
    for (q.open(); !q.eof(); q.next()) {
        QStringList fields;
        for (int i = 0; i < q.fieldCount(); ++i)
            fields << q.text(i);
        out << fields.join(u'|');
    }
    return out;
}

// Every row of the figure tables, without the time of the write, each after its table's name.
QStringList figureRows(db::Connection &c) {
    const char *const tables[][2] = {
        {"SA010MS", "SALE_DATE, WEATHER, U_EMP_NO, U_IP"},
        {"SA010DT", "SALE_DATE, MOVEMENT, ITEM_CODE, AMOUNT, U_EMP_NO, U_IP"},
        {"SA020MS",
         "SALE_DATE, UPJANG_CODE, TOTAL_RMS, OOO_RMS, OOI_RMS, AVAILABLE_RMS, U_EMP_NO, U_IP"},
        {"SA030MS", "SALE_DATE, UPJANG_CODE, DIVISION, HU_RMS, COMP_RMS, ETC_RMS, TOTAL_RMS, "
                    "GOLF_TEAM, GUESTS, SALE_AMT, NET_AMT, VAT_AMT, SVC_AMT, ETC_AMT, U_EMP_NO, "
                    "U_IP"},
        {"SA040MS", "SALE_DATE, UPJANG_CODE, GUBUN, IH_COVER, WI_COVER, TOTAL_COVER, "
                    "FOOD_REVENUE, BEVERAGE_REVENUE, OTHER_REVENUE, TOTAL_REVENUE, U_EMP_NO, U_IP"},
        {"SA090MS_NEW_2012", "*"},
        {"SA090MS", "*"},
    };
    QStringList all;
    for (const auto &[table, columns] : tables)
        all << QLatin1String(table)
            << rowsOf(c, QStringLiteral("SELECT %1 FROM %2 ORDER BY 1, 2, 3")
                             .arg(QLatin1String(columns), QLatin1String(table)));
    return all;
}

class DataBuildTest : public ::testing::Test {
protected:
    void fill() {
        for (const char *sql : kFixture)
            schemaDb.exec(QString::fromUtf8(sql));
    }

    // PR_SA000MS_01 in a transaction of its own, committed; the AERROR_MSG text.
    QString build(const QString &date, const QString &emp = QStringLiteral("20000001"),
                  const QString &ip = QStringLiteral("10.0.0.7")) {
        db::StoredProc p(connection);
        p.setProcName(QStringLiteral("PR_SA000MS_01"));
        p.setParam(QStringLiteral("ASALE_DATE"), date);
        p.setParam(QStringLiteral("AU_EMP_NO"), emp);
        p.setParam(QStringLiteral("AU_IP"), ip);
        db::Transaction t(connection);
        t.begin();
        p.execute();
        t.commit();
        return p.param(QStringLiteral("AERROR_MSG"));
    }

    QStringList rows(const QString &sql) { return rowsOf(connection, sql); }
    QStringList figures() { return figureRows(connection); }

    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
};

TEST_F(DataBuildTest, KnownLinesGiveKnownFiguresOfTheDay) {
    fill();
    ASSERT_EQ(build(kDate), QString());
    // Rooms: ST 10 - 1 - 1 and DX 5 - 0 - 1; hotel 1002's row of the day entered by hand goes.
    EXPECT_EQ(rows(QStringLiteral("SELECT UPJANG_CODE, TOTAL_RMS, OOO_RMS, OOI_RMS, AVAILABLE_RMS "
                                  "FROM SA020MS WHERE SALE_DATE = '20040302'")),
              QStringList{QStringLiteral("1001|15|1|2|12")});
    // Per outlet and division: rooms HU, COMP, sold (ETC) and all; teams, guests, sale (net +
    // VAT + service), net, VAT, service, other. The golf course's two bills with a green fee
    // are two teams of 4 and 3 + 1 guests. At 3001 F9001 counts under the division of its row
    // in force (20) and X999 under the others (90). The ski lift's row entered by hand goes.
    EXPECT_EQ(rows(QStringLiteral(
                  "SELECT UPJANG_CODE, DIVISION, HU_RMS, COMP_RMS, ETC_RMS, TOTAL_RMS, GOLF_TEAM, "
                  "GUESTS, SALE_AMT, NET_AMT, VAT_AMT, SVC_AMT, ETC_AMT FROM SA030MS "
                  "WHERE SALE_DATE = '20040302' ORDER BY UPJANG_CODE, DIVISION")),
              (QStringList{
                  QStringLiteral("1001|10|1|1|3|5|0|6|360000|300000|30000|30000|0"),
                  QStringLiteral("1001|90|0|0|0|0|0|0|16500|15000|1500|0|0"),
                  QStringLiteral("2001|30|0|0|0|0|2|8|1584000|1440000|144000|0|0"),
                  QStringLiteral("2001|50|0|0|0|0|0|0|99000|90000|9000|0|0"),
                  // 105000 + 14000 + 36000 + 20000, VAT and service a tenth each.
                  QStringLiteral("3001|20|0|0|0|0|0|5|210000|175000|17500|17500|0"),
                  QStringLiteral("3001|90|0|0|0|0|0|0|5500|5000|500|0|0"),
              }));
    // The F&B index per meal period: in-house, walk-in and all covers; food (group 10),
    // beverage (11, 12), other (the unknown item) and all revenue.
    EXPECT_EQ(rows(QStringLiteral(
                  "SELECT UPJANG_CODE, GUBUN, IH_COVER, WI_COVER, TOTAL_COVER, FOOD_REVENUE, "
                  "BEVERAGE_REVENUE, OTHER_REVENUE, TOTAL_REVENUE FROM SA040MS "
                  "WHERE SALE_DATE = '20040302' ORDER BY UPJANG_CODE, GUBUN")),
              (QStringList{QStringLiteral("3001|20|1|2|3|105000|14000|0|119000"),
                           QStringLiteral("3001|30|0|2|2|20000|36000|5000|61000")}));
    EXPECT_EQ(
        rows(QStringLiteral("SELECT UPJANG_CODE, D_GUESTS, D_NET_AMT, D_SVC_AMT "
                            "FROM SA090MS_NEW_2012 WHERE SALE_DATE = '20040302' "
                            "ORDER BY UPJANG_CODE")),
        (QStringList{QStringLiteral("1001|6|315000|30000"), QStringLiteral("2001|8|1530000|0"),
                     QStringLiteral("3001|5|180000|17500")}));
    // Every built row carries the caller's stamps and the time of the build.
    EXPECT_EQ(rows(QStringLiteral(
                  "SELECT DISTINCT U_EMP_NO, U_IP, TO_CHAR(U_DATE, 'YYYYMMDD') "
                  "FROM (SELECT U_EMP_NO, U_IP, U_DATE FROM "
                  "SA020MS UNION ALL SELECT U_EMP_NO, U_IP, U_DATE FROM SA030MS UNION ALL "
                  "SELECT U_EMP_NO, U_IP, U_DATE FROM SA040MS) A WHERE U_EMP_NO <> 'HAND'")),
              QStringList{QStringLiteral("20000001|10.0.0.7|20261210")}); // the tests' clock
    // Other days and the figures entered by hand stay as they were.
    EXPECT_EQ(rows(QStringLiteral("SELECT SALE_DATE, UPJANG_CODE FROM SA030MS WHERE "
                                  "SALE_DATE <> '20040302' AND U_EMP_NO <> 'HAND'")),
              QStringList{});
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM SA020MS WHERE UPJANG_CODE = '1002'")),
              QStringList{QStringLiteral("0")});
    EXPECT_EQ(rows(QStringLiteral("SELECT WEATHER, U_EMP_NO FROM SA010MS UNION ALL "
                                  "SELECT TO_CHAR(AMOUNT), U_EMP_NO FROM SA010DT")),
              (QStringList{QStringLiteral("01|HAND"), QStringLiteral("5000|HAND")}));
}

TEST_F(DataBuildTest, ReportFiguresAgainstBudgetsTargetsAndLastYear) {
    fill();
    ASSERT_EQ(build(kDate), QString());
    const QString columns = QStringLiteral(
        "UPJANG_CODE, D_GUESTS, D_NET_AMT, M_GUESTS, M_NET_AMT, Y_GUESTS, Y_NET_AMT, DB_GUESTS, "
        "DB_NET_AMT, MB_GUESTS, MB_NET_AMT, YB_GUESTS, YB_NET_AMT, TB_GUESTS, TB_NET_AMT, "
        "LM_GUESTS, LM_NET_AMT, LY_GUESTS, LY_NET_AMT, D_DIFF_GUESTS, D_DIFF_NET_AMT, "
        "M_DIFF_GUESTS, M_DIFF_NET_AMT, Y_DIFF_GUESTS, Y_DIFF_NET_AMT, LM_DIFF_GUESTS, "
        "LM_DIFF_NET_AMT, LY_DIFF_GUESTS, LY_DIFF_NET_AMT, D_SVC_AMT, M_SVC_AMT, Y_SVC_AMT");
    const QStringList got = rows(
        QStringLiteral("SELECT %1 FROM SA090MS WHERE SALE_DATE = '20040302' ORDER BY UPJANG_CODE")
            .arg(columns));
    // The golf course. Day: the lines, 8 guests and 1440000 + 90000. Month: 20040301's 10 and
    // 1000 more (service 100); year: 20040215's 20 and 2000 more (20031231 is last year).
    // Budgets of both divisions: day 9 and 900 + 100, month 20040301's 5 and 500 more, year
    // 20040110's 3 and 300 more. Target of the day 11 and 1100 + 50. Last year's month to
    // 20030302: 7 and 700; last year's year: 20030105's 1 and 100 more (20030303 is too late).
    const QString golf = QStringLiteral("2001|8|1530000|18|1531000|38|1533000|9|1000|14|1500|17|"
                                        "1800|11|1150|7|700|8|800|-1|1529000|4|1529500|21|"
                                        "1531200|11|1530300|30|1532200|0|100|100");
    // The sauna has last year's figures only; the ski lift's are before every window: no row.
    const QString sauna = QStringLiteral("4053|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|2|200|0|0|0|0|0|0|"
                                         "0|0|-2|-200|0|0|0");
    ASSERT_EQ(got.size(), 4) << got.join(u'\n').toStdString();
    EXPECT_TRUE(got[0].startsWith(QStringLiteral("1001|6|315000|6|315000|6|315000|")));
    EXPECT_EQ(got[1], golf);
    EXPECT_TRUE(got[2].startsWith(QStringLiteral("3001|5|180000|5|180000|5|180000|")));
    EXPECT_EQ(got[3], sauna);
}

TEST_F(DataBuildTest, LastYearKeepsTheDayNumberAndTheYearIsTheTargetYear) {
    // A leisure outlet's guests on days around the end of February; those of 20040229, a day
    // that is built, from its line.
    schemaDb.exec(
        QStringLiteral("INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS) VALUES "
                       "('20030201', '4001', '60', 1), ('20030228', '4001', '60', 2), "
                       "('20040228', '4001', '60', 4), ('20040229', '4001', '60', 8), "
                       "('20040301', '4001', '60', 16)"));
    schemaDb.exec(QStringLiteral(
        "INSERT INTO IA010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, KOREAN_QTY) VALUES "
        "('20040229', '4001', 'L1', 1, 8)"));
    const struct {
        const char *startMonth, *date;
        const char *monthYearLastMonthLastYear;
    } cases[] = {
        // Last year's day of 20040229 is "20030229", the whole of February 2003.
        {"01", "20040229", "12|12|3|3"},
        // ... and of 20050228 the 28th of February 2004, without the 29th.
        {"01", "20050228", "0|0|4|4"},
        {"01", "20050301", "0|0|16|28"},
        // A target year from March: the year of 20050228 began on 20040301.
        {"03", "20050228", "0|16|4|4"},
    };
    for (const auto &c : cases) {
        schemaDb.exec(QStringLiteral("UPDATE KELO_SETTINGS SET VALUE = '%1' WHERE NAME = "
                                     "'TARGET_YEAR_START_MONTH'")
                          .arg(QLatin1String(c.startMonth)));
        ASSERT_EQ(build(QLatin1String(c.date)), QString());
        EXPECT_EQ(rows(QStringLiteral("SELECT M_GUESTS, Y_GUESTS, LM_GUESTS, LY_GUESTS FROM "
                                      "SA090MS WHERE SALE_DATE = '%1' AND UPJANG_CODE = '4001'")
                           .arg(QLatin1String(c.date))),
                  QStringList{QLatin1String(c.monthYearLastMonthLastYear)})
            << c.startMonth << " " << c.date;
    }
}

TEST_F(DataBuildTest, AFailedBuildLeavesTheDayAsItWas) {
    fill();
    const QStringList before = figures();
    // The build itself would change the day.
    {
        db::Transaction t(connection);
        t.begin();
        db::StoredProc p(connection);
        p.setProcName(QStringLiteral("PR_SA000MS_01"));
        p.setParam(QStringLiteral("ASALE_DATE"), kDate);
        p.execute();
        EXPECT_NE(figures(), before);
        t.rollback();
    }
    const db::ProcedureDef *real =
        db::ServerObjects::standard().procedure(QStringLiteral("PR_SA000MS_01"));
    const auto refuseAfter = [body = real->body](db::ProcCall &call) {
        body(call);
        call.setOutput(QStringLiteral("AERROR_MSG"), QStringLiteral("거부합니다."));
    };
    const auto failAfter = [body = real->body](db::ProcCall &call) {
        body(call);
        throw db::DbError(QStringLiteral("실패합니다."));
    };
    const struct {
        const char *what;
        db::ProcBody body;
        bool renameTargets; // the last step's statement fails: the targets are away
    } cases[] = {
        {"refused after the build", refuseAfter, false},
        {"an error after the build", failAfter, false},
        {"a statement failing after the first tables", real->body, true},
    };
    for (const auto &c : cases) {
        db::ServerObjects objects = db::ServerObjects::standard();
        db::ProcedureDef def = *real;
        def.body = c.body;
        objects.addProcedure(def);
        connection.setServerObjects(objects);
        if (c.renameTargets)
            schemaDb.exec(QStringLiteral("ALTER TABLE JH040MS RENAME TO JH040MS_AWAY"));
        // As the report output screen does: the transaction of the build, rolled back when the
        // procedure refuses or fails.
        QString error;
        db::Transaction t(connection);
        t.begin();
        try {
            db::StoredProc p(connection);
            p.setProcName(QStringLiteral("PR_SA000MS_01"));
            p.setParam(QStringLiteral("ASALE_DATE"), kDate);
            p.execute();
            error = p.param(QStringLiteral("AERROR_MSG"));
        } catch (const db::DbError &e) {
            error = e.message();
        }
        EXPECT_FALSE(error.isEmpty()) << c.what;
        EXPECT_EQ(figures(), before) << c.what; // the call's writes are undone at once
        t.rollback();
        EXPECT_EQ(figures(), before) << c.what;
        if (c.renameTargets) {
            EXPECT_TRUE(error.contains(QStringLiteral("JH040MS"), Qt::CaseInsensitive))
                << error.toStdString();
            schemaDb.exec(QStringLiteral("ALTER TABLE JH040MS_AWAY RENAME TO JH040MS"));
        }
        connection.setServerObjects(db::ServerObjects::standard());
    }
}

TEST_F(DataBuildTest, InvalidDatesAreRefused) {
    // Lines on a day beyond the calendar, which a build would otherwise sum.
    schemaDb.exec(QStringLiteral(
        "INSERT INTO IA010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, MENU_CODE, NET_AMT) "
        "VALUES ('20401231', '3001', 'F1', 1, 'F1001', 1000)"));
    const struct {
        const char *date, *messagePart;
    } cases[] = {
        {"20040230", "올바른 일자"}, {"2004023", "올바른 일자"}, {"2004-02-28", "올바른 일자"},
        {"", "필수 항목"},           {"20401231", "달력"},
    };
    for (const auto &c : cases) {
        const QString message = build(QLatin1String(c.date));
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.messagePart)))
            << c.date << ": " << message.toStdString();
    }
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM SA030MS")),
              QStringList{QStringLiteral("0")});
}

// A short demo period generated on the engine of the tests.
class DemoRebuildTest : public ::testing::Test {
protected:
    void SetUp() override {
        database::Install();
        database::DemoOptions options;
        options.days = 12;
        options.endDate = QStringLiteral("20040305");
        options.seed = 5;
        options.force = true;
        if (test::OnPostgres())
            options.connectionParams = tempDb.connection().params();
        else
            options.path = tempDb.file();
        tempDb.connection().close();
        database::GenerateDemo(options);
        tempDb.connection().open();
    }

    test::TempDatabase tempDb;
};

TEST_F(DemoRebuildTest, RebuildingADemoDayChangesNothing) {
    db::Connection &c = tempDb.connection();
    // The first day, the first of a month and the last day (left for the input screens); each
    // rebuilt as it is, and from nothing.
    for (const char *date : {"20040223", "20040301", "20040305"}) {
        const QStringList before = figureRows(c);
        // The day has figures in every table built.
        EXPECT_GT(before.filter(QRegularExpression(QStringLiteral("^%1\\|").arg(date))).size(), 40)
            << date;
        for (const bool fromNothing : {false, true}) {
            db::Transaction t(c);
            t.begin();
            if (fromNothing)
                for (const char *table :
                     {"SA020MS", "SA030MS", "SA040MS", "SA090MS_NEW_2012", "SA090MS"})
                    c.executeScript(QStringLiteral("DELETE FROM %1 WHERE SALE_DATE = '%2'")
                                        .arg(QLatin1String(table), QLatin1String(date)));
            db::StoredProc p(c);
            p.setProcName(QStringLiteral("PR_SA000MS_01"));
            p.setParam(QStringLiteral("ASALE_DATE"), QLatin1String(date));
            p.setParam(QStringLiteral("AU_EMP_NO"), QStringLiteral("SYSTEM"));
            p.setParam(QStringLiteral("AU_IP"), QStringLiteral("127.0.0.1"));
            p.execute();
            t.commit();
            EXPECT_EQ(p.param(QStringLiteral("AERROR_MSG")), QString());
            EXPECT_EQ(figureRows(c), before) << date << (fromNothing ? " from nothing" : "");
        }
    }
}

} // namespace
