#include "common/dates.h"
#include "common/functions.h"
#include "common/globals.h"
#include "db/query.h"
#include "framework/lookupdialogs.h"
#include "screens/registerscreens.h"
#include "screens/targets/target_inquiries.h"
#include "screens/viewer/report_viewers.h"
#include "shell/registry.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace kelo;
using namespace kelo::screens;

namespace {

// Department 1 '10' with department 2 '110' (outlets 1101, 1102) and '120' (1201, 1202).
// Each outlet has a target on the business date 20240315 (guests n, amount 100 n), one
// earlier in the month, one in January and one in the year before.
class TargetInquiryTest : public ::testing::Test {
protected:
    void SetUp() override {
        Globals() = GlobalValues{};
        const QStringList outlets{"1101", "1102", "1201", "1202"};
        exec("DELETE FROM ZX010MS WHERE HEAD IN ('J0091', 'J0092', 'S0018')");
        exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('J0092', '10', '호텔부문')");
        exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('J0091', '110', '객실')");
        exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('J0091', '120', '식음')");
        exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('S0018', '10', '호텔')");
        exec("DELETE FROM JH040MS");
        int n = 0;
        for (const QString &o : outlets) {
            ++n;
            exec(QStringLiteral("DELETE FROM JA010MS WHERE UPJANG_CODE = '%1'").arg(o));
            exec(QStringLiteral("DELETE FROM JA011MS WHERE UPJANG_CODE = '%1'").arg(o));
            exec(QStringLiteral("INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME) VALUES ('%1', "
                                "'영업장%1')")
                     .arg(o));
            exec(QStringLiteral("INSERT INTO JA011MS (UPJANG_CODE, DEPT_ITEM1, DEPT_ITEM2) VALUES "
                                "('%1', '10', '%2')")
                     .arg(o, o.left(2) + u'0'));
            for (const char *date : {"20240315", "20240301", "20240110", "20231215"})
                exec(QStringLiteral("INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, "
                                    "GUESTS, SALE_AMT) VALUES ('%1', '%2', '1', %3, %4)")
                         .arg(QLatin1String(date), o)
                         .arg(n)
                         .arg(100 * n));
        }
        HandoverWorkDate().clear();
        HandoverToDate().clear();
        sri100::HandoverDeptItem().clear();
    }
    void TearDown() override {
        HandoverWorkDate().clear();
        HandoverToDate().clear();
        sri100::HandoverDeptItem().clear();
        sri120::HandoverDeptItem().clear();
        sri220::HandoverDeptItem().clear();
    }
    void exec(const QString &sql) {
        db::Query q(connection);
        q.setSql(sql);
        q.exec();
    }
    template <class Screen> std::unique_ptr<Screen> open() {
        auto screen = std::make_unique<Screen>(connection);
        screen->resize(1028, 600);
        screen->show();
        return screen;
    }
    // The grid's rows, cells joined by '|' (the first count columns).
    static QStringList rows(TfrmTargetInquiry &s, int count) {
        QStringList out;
        for (int r = 0; r < s.rgrGrid->rowCountFetched(); ++r) {
            QStringList cells;
            for (int c = 0; c < count; ++c)
                cells << s.rgrGrid->text(r, c);
            out << cells.join(u'|');
        }
        return out;
    }
    // A search on the business date, or on the period from the first of its month to it.
    static void search(TfrmTargetInquiry &s, const QString &date, const QString &code) {
        if (!s.isSearchMode())
            QTest::mouseClick(s.bbtCancel, Qt::LeftButton);
        if (s.mdtWorkDate) {
            s.mdtWorkDate->setValue(date);
        } else {
            s.mdtFrom_Date->setValue(date.left(6) + QStringLiteral("01"));
            s.mdtTo_Date->setValue(date);
        }
        s.edt_Upjang_No->setText(code);
        QTest::mouseClick(s.bbtSearch, Qt::LeftButton);
    }

    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
    test::ScriptedDialogsScope dialogs;
};

TEST_F(TargetInquiryTest, Sts010RollsUpOutletsUnderTheirDepartments) {
    auto s = open<TfrmSTS010>();
    const struct {
        const char *code;
        QStringList rows;
    } cases[] = {
        {"",
         {"호텔부문|객실|영업장1101|1|100|2|200|3|300", "||영업장1102|2|200|4|400|6|600",
          "||소 계|3|300|6|600|9|900", "|식음|영업장1201|3|300|6|600|9|900",
          "||영업장1202|4|400|8|800|12|1200", "||소 계|7|700|14|1400|21|2100",
          "||소 계|10|1000|20|2000|30|3000", "||합 계|10|1000|20|2000|30|3000"}},
        {"1201",
         {"호텔부문|식음|영업장1201|3|300|6|600|9|900", "||소 계|3|300|6|600|9|900",
          "||소 계|3|300|6|600|9|900", "||합 계|3|300|6|600|9|900"}},
    };
    for (const auto &c : cases) {
        search(*s, QStringLiteral("20240315"), QString::fromUtf8(c.code));
        EXPECT_EQ(rows(*s, 9), c.rows) << c.code;
    }
    // Only the total rows are grey.
    search(*s, QStringLiteral("20240315"), QString());
    const QColor white(Qt::white), sub(216, 216, 216), total(192, 192, 192);
    const std::vector<QColor> colours{white, white, sub, white, white, sub, sub, total};
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(s->rowColour(r), colours[size_t(r)]) << r;
}

// A department 1 whose code has no name keeps its outlet and subtotal labels; only the
// grand total reads "합 계".
TEST_F(TargetInquiryTest, AnUnnamedDepartmentKeepsItsRowLabels) {
    exec("DELETE FROM ZX010MS WHERE HEAD = 'J0092'");
    auto s = open<TfrmSTS010>();
    search(*s, QStringLiteral("20240315"), QString());
    EXPECT_EQ(rows(*s, 3),
              (QStringList{"|객실|영업장1101", "||영업장1102", "||소 계", "|식음|영업장1201",
                           "||영업장1202", "||소 계", "||소 계", "||합 계"}));
    const QColor white(Qt::white), sub(216, 216, 216), total(192, 192, 192);
    const std::vector<QColor> colours{white, white, sub, white, white, sub, sub, total};
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(s->rowColour(r), colours[size_t(r)]) << r;
}

TEST_F(TargetInquiryTest, Sts010ShowsNoRowsForAnEmptyDay) {
    auto s = open<TfrmSTS010>();
    search(*s, QStringLiteral("20220101"), QString());
    EXPECT_EQ(s->rgrGrid->rowCountFetched(), 0);
    EXPECT_EQ(s->stbMessage->panelText(1), QStringLiteral("조회할 내용이 없습니다."));
}

TEST_F(TargetInquiryTest, Sts060RollsUpDepartments) {
    auto s = open<TfrmSTS060>();
    const struct {
        const char *code;
        QStringList rows;
    } cases[] = {
        {"",
         {"호텔부문|객실|객실|3|300|6|600|9|900", "|식음|식음|7|700|14|1400|21|2100",
          "||소 계|10|1000|20|2000|30|3000", "||합 계|10|1000|20|2000|30|3000"}},
        {"10",
         {"호텔부문|객실|객실|3|300|6|600|9|900", "|식음|식음|7|700|14|1400|21|2100",
          "||소 계|10|1000|20|2000|30|3000", "||합 계|10|1000|20|2000|30|3000"}},
        {"20", {}},
    };
    for (const auto &c : cases) {
        search(*s, QStringLiteral("20240315"), QString::fromUtf8(c.code));
        EXPECT_EQ(rows(*s, 9), c.rows) << c.code;
    }
}

// Actual sales of the business date: guests 10 n, net 10,000 n with service 1,000 n, shown
// in thousands; outlet 1704 never counts, department 1 '60' is never shown.
TEST_F(TargetInquiryTest, Sts070AndSts080SetTargetsAgainstActuals) {
    exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('J0092', '60', '기타')");
    for (const char *o : {"1704", "6001"}) {
        exec(QStringLiteral("DELETE FROM JA011MS WHERE UPJANG_CODE = '%1'").arg(QLatin1String(o)));
        exec(QStringLiteral("INSERT INTO JA011MS (UPJANG_CODE, DEPT_ITEM1, DEPT_ITEM2) VALUES "
                            "('%1', '%2', '110')")
                 .arg(QLatin1String(o), QLatin1String(o[0] == '1' ? "10" : "60")));
        exec(QStringLiteral("INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, "
                            "SALE_AMT) VALUES ('20240310', '%1', '1', 1000, 1000)")
                 .arg(QLatin1String(o)));
    }
    exec("DELETE FROM SA090MS_NEW_2012");
    int n = 0;
    for (const char *o : {"1101", "1102", "1201", "1202", "1704", "6001"}) {
        ++n;
        exec(QStringLiteral("INSERT INTO SA090MS_NEW_2012 (SALE_DATE, UPJANG_CODE, D_GUESTS, "
                            "D_NET_AMT, D_SVC_AMT) VALUES ('20240315', '%1', %2, %3, %4)")
                 .arg(QLatin1String(o))
                 .arg(10 * n)
                 .arg(10000 * n)
                 .arg(1000 * n));
    }
    // 1704's target stays (only its actuals are left out); it has no name.
    auto sts070 = open<TfrmSTS070>();
    auto sts080 = open<TfrmSTS080>();
    const struct {
        TfrmTargetInquiry *screen;
        const char *code;
        QStringList rows;
    } cases[] = {
        {sts070.get(),
         "",
         {"호텔부문|객실|객실|1006|1600|30|33", "|식음|식음|14|1400|70|77",
          "||소 계|1020|3000|100|110"}},
        {sts070.get(), "60", {}},
        {sts080.get(),
         "1102",
         {"호텔부문|객실|영업장1102|4|400|20|22", "||소 계|4|400|20|22", "||소 계|4|400|20|22"}},
        {sts080.get(),
         "",
         {"호텔부문|객실|영업장1101|2|200|10|11", "||영업장1102|4|400|20|22", "|||1000|1000|0|0",
          "||소 계|1006|1600|30|33", "|식음|영업장1201|6|600|30|33", "||영업장1202|8|800|40|44",
          "||소 계|14|1400|70|77", "||소 계|1020|3000|100|110"}},
    };
    for (const auto &c : cases) {
        search(*c.screen, QStringLiteral("20240315"), QString::fromUtf8(c.code));
        EXPECT_EQ(rows(*c.screen, 7), c.rows) << c.screen->objectName().toStdString() << c.code;
    }
    EXPECT_EQ(sts080->rowColour(3), QColor(216, 216, 216));
    EXPECT_EQ(sts080->rowColour(2), QColor(Qt::white));
}

// STS060, STS070 and STS080 keep the column that names a row hidden: a subtotal or total row
// still reads "소 계" or "합 계" in a column the user sees (and so does no other row).
TEST_F(TargetInquiryTest, TotalRowsShowTheirLabelInAVisibleColumn) {
    auto sts060 = open<TfrmSTS060>();
    auto sts070 = open<TfrmSTS070>();
    auto sts080 = open<TfrmSTS080>();
    for (TfrmTargetInquiry *s : {static_cast<TfrmTargetInquiry *>(sts060.get()),
                                 static_cast<TfrmTargetInquiry *>(sts070.get()),
                                 static_cast<TfrmTargetInquiry *>(sts080.get())}) {
        SCOPED_TRACE(s->objectName().toStdString());
        search(*s, QStringLiteral("20240315"), QString());
        int totals = 0;
        for (int r = 0; r < s->rgrGrid->rowCountFetched(); ++r) {
            const QString label = s->rgrGrid->text(r, 2);
            const bool total = label == QStringLiteral("소 계") || label == QStringLiteral("합 계");
            QStringList shown;
            for (int c = 0; c < int(s->rgrGrid->columns().size()); ++c)
                if (s->rgrGrid->columns().at(size_t(c)).visible && !s->rgrGrid->isColumnHidden(c))
                    shown << s->rgrGrid->cellStyle(r, c).text;
            if (total) {
                ++totals;
                EXPECT_TRUE(shown.contains(label)) << r << ": " << shown.join(u'|').toStdString();
            } else {
                EXPECT_FALSE(shown.contains(QStringLiteral("소 계")) ||
                             shown.contains(QStringLiteral("합 계")))
                    << r << ": " << shown.join(u'|').toStdString();
            }
        }
        EXPECT_GE(totals, 1);
    }
}

// Food ('31'), beverage ('33') and other sales with service of the flagged outlets; 2003 to
// 2005 are shown as 2002.
TEST_F(TargetInquiryTest, Sts090SplitsFoodBeverageAndOther) {
    exec("DELETE FROM ZX010MS WHERE HEAD IN ('J0096', 'J0098')");
    exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('J0096', '20', '식음부문')");
    exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('J0098', '21', '한식')");
    exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('J0098', '22', '바')");
    exec("DELETE FROM SA030MS");
    const struct {
        const char *outlet, *dept3, *flag;
    } outlets[] = {{"2002", "21", "Y"}, {"2003", "21", "Y"}, {"2004", "21", "Y"},
                   {"2005", "21", "Y"}, {"2101", "22", "Y"}, {"2201", "22", "N"}};
    for (const auto &o : outlets) {
        const QString code = QLatin1String(o.outlet);
        exec(QStringLiteral("DELETE FROM JA010MS WHERE UPJANG_CODE = '%1'").arg(code));
        exec(QStringLiteral("DELETE FROM JA011MS WHERE UPJANG_CODE = '%1'").arg(code));
        exec(QStringLiteral("INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME) VALUES ('%1', "
                            "'영업장%1')")
                 .arg(code));
        exec(QStringLiteral("INSERT INTO JA011MS (UPJANG_CODE, DEPT_ITEM1, DEPT_ITEM3, "
                            "DEPT_ITEM4) VALUES ('%1', '20', '%2', '%3')")
                 .arg(code, QLatin1String(o.dept3), QLatin1String(o.flag)));
        if (code.startsWith(QLatin1String("20")))
            exec(QStringLiteral("INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, NET_AMT, "
                                "SVC_AMT) VALUES ('20240315', '%1', '31', 100, 10)")
                     .arg(code));
    }
    exec("INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, NET_AMT, SVC_AMT) VALUES "
         "('20240315', '2003', '33', 200, 20)");
    exec("INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, NET_AMT, SVC_AMT) VALUES "
         "('20240314', '2101', '40', 50, 5)");
    exec("INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, NET_AMT, SVC_AMT) VALUES "
         "('20240315', '2201', '31', 1000, 0)");
    exec("INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, NET_AMT, SVC_AMT) VALUES "
         "('20240229', '2002', '31', 1000, 0)");
    auto s = open<TfrmSTS090>();
    const struct {
        const char *code;
        QStringList rows;
    } cases[] = {
        {"",
         {"식음부문|한식|영업장2002|440|220||660", "||소 계|440|220||660", "|바|영업장2101|||55|55",
          "||소 계|||55|55", "||소 계|440|220|55|715", "||합 계|440|220|55|715"}},
        {"2003",
         {"식음부문|한식|영업장2002|110|220||330", "||소 계|110|220||330", "||소 계|110|220||330",
          "||합 계|110|220||330"}},
    };
    for (const auto &c : cases) {
        search(*s, QStringLiteral("20240315"), QString::fromUtf8(c.code));
        EXPECT_EQ(rows(*s, 7), c.rows) << c.code;
    }
    EXPECT_EQ(s->rowColour(3), QColor(192, 192, 192));
    EXPECT_EQ(s->rowColour(1), QColor(216, 216, 216));
}

// The day's figures of SA090MS for the outlets with a target that day: 1101 and 1102 under
// department 2 '110' (rooms), 1201 and 1202 under '120'; 1301 has no target. Guests n (target
// 2 n), amounts 1,000 n with service 100 n (target 2,000 n), in thousands.
TEST_F(TargetInquiryTest, Sts020SetsTheDaysFiguresOnTwoLines) {
    exec("DELETE FROM ZX010MS WHERE HEAD IN ('J0096', 'J0097')");
    exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('J0096', '10', '호텔')");
    exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('J0097', '110', '객실')");
    exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('J0097', '120', '식음')");
    exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('J0097', '130', '기타')");
    exec("DELETE FROM SA090MS");
    // A second division's target of 1101 does not count its figures twice.
    exec("INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT) VALUES "
         "('20240315', '1101', '2', 1, 1)");
    int n = 0;
    for (const char *o : {"1101", "1102", "1201", "1202", "1301"}) {
        ++n;
        const QString code = QLatin1String(o);
        exec(QStringLiteral("DELETE FROM JA011MS_TS WHERE UPJANG_CODE = '%1'").arg(code));
        exec(QStringLiteral("INSERT INTO JA011MS_TS (UPJANG_CODE, DEPT_ITEM1, DEPT_ITEM2) VALUES "
                            "('%1', '10', '%2')")
                 .arg(code, code.left(2) + u'0'));
        exec(QStringLiteral("INSERT INTO SA090MS (SALE_DATE, UPJANG_CODE, D_GUESTS, D_NET_AMT, "
                            "D_SVC_AMT, DB_GUESTS, DB_NET_AMT) VALUES ('20240315', '%1', %2, %3, "
                            "%4, %5, %6)")
                 .arg(code)
                 .arg(n)
                 .arg(1000 * n)
                 .arg(100 * n)
                 .arg(2 * n)
                 .arg(2000 * n));
    }
    auto s = open<TfrmSTS020>();
    EXPECT_EQ(s->bbtSearch->text(), QStringLiteral("조회(F3)"));
    EXPECT_EQ(s->bbtClose->text(), QStringLiteral("종료(F12)"));
    const struct {
        const char *code;
        QStringList rows;
    } cases[] = {
        {"",
         {"호텔|객실|객실|객실수|매출액 |6|3|0|0|6|3", "|식음|식음|이용객|매출액 |14|7|0|0|14|8",
          "||소 계|이용객|매출액 |20|10|0|0|20|11", "||합 계|이용객|매출액 |20|10|0|0|20|11"}},
        {"20", {}},
    };
    for (const auto &c : cases) {
        search(*s, QStringLiteral("20240315"), QString::fromUtf8(c.code));
        EXPECT_EQ(rows(*s, 11), c.rows) << c.code;
    }
    search(*s, QStringLiteral("20240315"), QString());
    // The amounts stand on the second line under the guests.
    const controls::GridModel *m = s->rgrGrid->gridModel();
    EXPECT_EQ(m->secondLineText(0, 3), QStringLiteral("매출액 "));
    EXPECT_EQ(m->secondLineText(1, 5), QStringLiteral("14"));
    EXPECT_EQ(m->secondLineText(1, 6), QStringLiteral("8"));
    EXPECT_EQ(s->rowColour(2), QColor(216, 216, 216));
    EXPECT_EQ(s->rowColour(3), QColor(192, 192, 192));
    // Cancel keeps the code here.
    s->edt_Upjang_No->setText(QStringLiteral("10"));
    QTest::mouseClick(s->bbtCancel, Qt::LeftButton);
    EXPECT_EQ(s->edt_Upjang_No->text(), QStringLiteral("10"));
}

// Amounts in the tens of millions at the screens' own column widths: every figure is drawn
// whole (9,308,792 read "308,792" and 26,118,000 read "6,118,000").
TEST_F(TargetInquiryTest, Sts020AndSts030DrawEveryFigureWhole) {
    exec("DELETE FROM SA090MS");
    exec("INSERT INTO SA090MS (SALE_DATE, UPJANG_CODE, D_GUESTS, D_NET_AMT, D_SVC_AMT, "
         "DB_GUESTS, DB_NET_AMT) VALUES ('20240315', '1101', 1234, 9308792, 930879, 2000, "
         "26118000)");
    exec("INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT) VALUES "
         "('20240315', '1102', '2', 1000, 26118000)");
    const auto expectWhole = [](controls::Grid *g) {
        ASSERT_GT(g->rowCountFetched(), 0);
        for (int r = 0; r < g->rowCountFetched(); ++r)
            for (int c = 0; c < int(g->columns().size()); ++c)
                if (!g->isColumnHidden(c) &&
                    (controls::Grid::isFigureText(g->gridModel()->displayText(r, c)) ||
                     controls::Grid::isFigureText(g->gridModel()->secondLineText(r, c))))
                    EXPECT_LE(g->figureWidth(r, c), g->columnWidth(c))
                        << r << "," << c << " " << g->gridModel()->displayText(r, c).toStdString();
    };
    auto sts020 = open<TfrmSTS020>();
    search(*sts020, QStringLiteral("20240315"), QString());
    expectWhole(sts020->rgrGrid);
    auto sts030 = open<TfrmSTS030>();
    search(*sts030, QStringLiteral("20240315"), QString());
    expectWhole(sts030->rgrGrid);
}

// Sections 11 (outlets 1101, 1102) and 12 (1201, 1202) under section 10; the month and the
// year are whole (a target after the business date counts).
TEST_F(TargetInquiryTest, Sts040RollsUpManagementSections) {
    exec("DELETE FROM ZX010MS WHERE HEAD = 'S0019'");
    exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('S0019', '11', '객실')");
    exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('S0019', '12', '식음')");
    for (const char *o : {"1101", "1102", "1201", "1202"}) {
        const QString code = QLatin1String(o);
        exec(QStringLiteral("DELETE FROM JA010MS_TS WHERE UPJANG_CODE = '%1'").arg(code));
        exec(QStringLiteral("INSERT INTO JA010MS_TS (UPJANG_CODE, MIS_UPJANG_CODE1, "
                            "MIS_UPJANG_CODE2) VALUES ('%1', '10', '%2')")
                 .arg(code, code.left(2)));
    }
    exec("INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT) VALUES "
         "('20240320', '1101', '1', 5, 500)");
    auto s = open<TfrmSTS040>();
    EXPECT_TRUE(s->rgrGrid->options().editing);
    EXPECT_FALSE(s->bbtSave->isVisible());
    const struct {
        const char *code;
        QStringList rows;
    } cases[] = {
        {"",
         {"1|10|호텔|11|객실|11|3|300|11|1100|14|1400",
          "2|10|호텔|12|식음|12|7|700|14|1400|21|2100",
          "3|10|호텔|||Sub Total|10|1000|25|2500|35|3500", "1|||||Total|10|1000|25|2500|35|3500"}},
        {"20", {}},
    };
    for (const auto &c : cases) {
        search(*s, QStringLiteral("20240315"), QString::fromUtf8(c.code));
        EXPECT_EQ(rows(*s, 12), c.rows) << c.code;
    }
    search(*s, QStringLiteral("20240315"), QStringLiteral("10"));
    const QColor white(Qt::white), sub(216, 216, 216), total(192, 192, 192);
    const std::vector<QColor> colours{white, white, sub, total};
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(s->rowColour(r), colours[size_t(r)]) << r;
    // Cancel empties the section with the work area.
    EXPECT_EQ(s->wlb_Upjang_No->text(), QStringLiteral("호텔"));
    QTest::mouseClick(s->bbtCancel, Qt::LeftButton);
    EXPECT_EQ(s->edt_Upjang_No->text(), QString());
    EXPECT_EQ(s->wlb_Upjang_No->text(), QString());
    EXPECT_EQ(s->rgrGrid->rowCountFetched(), 0);
}

// Per outlet, every division: the day, the whole month and the whole year fill the first eight
// columns; there is nothing to print.
TEST_F(TargetInquiryTest, Sts030ListsOutletTargets) {
    exec("INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT) VALUES "
         "('20240320', '1101', '1', 5, 500)");
    exec("INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT) VALUES "
         "('20240315', '1102', '2', 1, 10)");
    auto s = open<TfrmSTS030>();
    EXPECT_TRUE(s->rgrGrid->options().editing);
    const QString rest = QStringLiteral("||||||||");
    const struct {
        const char *code;
        QStringList rows;
    } cases[] = {
        {"",
         {"1101|영업장1101|1|100|7|700|8|800" + rest, "1102|영업장1102|3|210|5|410|7|610" + rest,
          "1201|영업장1201|3|300|6|600|9|900" + rest,
          "1202|영업장1202|4|400|8|800|12|1200" + rest}},
        {"1201", {"1201|영업장1201|3|300|6|600|9|900" + rest}},
    };
    for (const auto &c : cases) {
        search(*s, QStringLiteral("20240315"), QString::fromUtf8(c.code));
        EXPECT_EQ(rows(*s, 16), c.rows) << c.code;
    }
    EXPECT_EQ(s->rowColour(0), QColor(Qt::white));
    QTest::mouseClick(s->bbtPrint, Qt::LeftButton);
    QTest::mouseClick(s->bbtPreview, Qt::LeftButton);
    EXPECT_EQ(s->Rdviewer401->location(), QString());
    EXPECT_EQ(s->popup, nullptr);
}

// Section targets per section 1, section 2 and outlet; an empty figure stays blank.
TEST_F(TargetInquiryTest, Sts050ListsSectionTargets) {
    exec("DELETE FROM ZX010MS WHERE HEAD = 'S0019'");
    exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('S0019', '11', '객실')");
    exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('S0019', '12', '식음')");
    exec("DELETE FROM JH060MS");
    for (const char *values :
         {"'20240315', '1101', '10', '11', 1, 100", "'20240301', '1101', '10', '11', 2, 200",
          "'20230315', '1101', '10', '11', 9, 900", "'20240315', '1201', '10', '12', 3, 300",
          "'20240310', '9901', '20', '21', 4, 400"})
        exec(QStringLiteral("INSERT INTO JH060MS (SALE_DATE, UPJANG_CODE, MIS_UPJANG_CODE1, "
                            "MIS_UPJANG_CODE2, GUESTS, SALE_AMT) VALUES (%1)")
                 .arg(QLatin1String(values)));
    auto s = open<TfrmSTS050>();
    const struct {
        const char *code;
        QStringList rows;
    } cases[] = {
        {"",
         {"10|호텔|11|객실|1101|영업장1101|1|100|3|300|3|300",
          "10|호텔|12|식음|1201|영업장1201|3|300|3|300|3|300", "20||21||9901||||4|400|4|400"}},
        {"10",
         {"10|호텔|11|객실|1101|영업장1101|1|100|3|300|3|300",
          "10|호텔|12|식음|1201|영업장1201|3|300|3|300|3|300"}},
    };
    for (const auto &c : cases) {
        search(*s, QStringLiteral("20240315"), QString::fromUtf8(c.code));
        EXPECT_EQ(rows(*s, 12), c.rows) << c.code;
    }
    QTest::mouseClick(s->bbtCancel, Qt::LeftButton);
    EXPECT_EQ(s->edt_Upjang_No->text(), QString());
}

// The help of each kind: its caption and rows; the code picked goes into the field, a
// cancelled help empties it.
TEST_F(TargetInquiryTest, HelpFillsTheCodeOrEmptiesItWhenCancelled) {
    db::Query outlets(connection);
    outlets.setSql(QStringLiteral(R"sql(
        SELECT COUNT(*)
        FROM JA010MS
        WHERE UPJANG_CODE <> '6001'
            AND UPJANG_TYPE IS NOT NULL
    )sql"));
    outlets.open();
    const int outletCount = int(outlets.integer(0));
    exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('S0018', '05', '제외')");
    exec("INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('S0018', '20', '레저')");
    auto outlet = open<TfrmSTS010>();
    auto section = open<TfrmSTS060>();
    const struct {
        TfrmTargetInquiry *screen;
        const char *caption;
        int rows;
        const char *second, *name;
    } cases[] = {
        {section.get(), "경영정보", 2, "20", "레저"},
        {outlet.get(), "영업장", outletCount, nullptr, nullptr},
    };
    for (const auto &c : cases) {
        QString picked;
        QTimer::singleShot(0, [&] {
            auto *help = qobject_cast<TfrmSAH090 *>(QApplication::activeModalWidget());
            ASSERT_NE(help, nullptr);
            EXPECT_EQ(help->lbl_Help_Form->text(), QString::fromUtf8(c.caption));
            EXPECT_EQ(help->grdR_Help->rowCountFetched(), c.rows);
            help->grdR_Help->setCurrentCell(1, 0);
            picked = help->grdR_Help->text(1, 0);
            help->bbtOK->click();
        });
        c.screen->bbt_Upjang_No->click();
        EXPECT_EQ(c.screen->edt_Upjang_No->text(), picked);
        if (c.second) {
            EXPECT_EQ(picked, QString::fromUtf8(c.second));
            EXPECT_EQ(c.screen->wlb_Upjang_No->text(), QString::fromUtf8(c.name));
        } else {
            EXPECT_FALSE(c.screen->wlb_Upjang_No->text().isEmpty());
        }
        QTimer::singleShot(
            0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
        c.screen->bbt_Upjang_No->click();
        EXPECT_EQ(c.screen->edt_Upjang_No->text(), QString());
        EXPECT_EQ(c.screen->wlb_Upjang_No->text(), QString());
    }
}

// Enter in the date field of STS010 and STS020 goes on to the code field, Enter in STS020's
// code field to Search; the other screens' fields have no key handling.
TEST_F(TargetInquiryTest, EnterMovesOnInStS010AndSts020Only) {
    auto sts010 = open<TfrmSTS010>();
    auto sts020 = open<TfrmSTS020>();
    auto sts060 = open<TfrmSTS060>();
    const struct {
        TfrmTargetInquiry *screen;
        QWidget *from, *to;
    } cases[] = {
        {sts010.get(), sts010->mdtWorkDate, sts010->edt_Upjang_No},
        {sts020.get(), sts020->mdtWorkDate, sts020->edt_Upjang_No},
        {sts020.get(), sts020->edt_Upjang_No, sts020->bbtSearch},
        {sts010.get(), sts010->edt_Upjang_No, sts010->edt_Upjang_No},
        {sts060.get(), sts060->mdtWorkDate, sts060->mdtWorkDate},
    };
    for (const auto &c : cases) {
        c.screen->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(c.screen));
        c.from->setFocus();
        QTest::keyClick(c.from, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), c.to)
            << c.screen->objectName().toStdString() << ' ' << c.from->objectName().toStdString();
    }
}

TEST_F(TargetInquiryTest, Sts010ExcelSavesTheGrid) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("targets.xls"));
    auto s = open<TfrmSTS010>();
    EXPECT_FALSE(s->bbtExcel->isEnabled());
    search(*s, QStringLiteral("20240315"), QString());
    EXPECT_TRUE(s->bbtExcel->isEnabled());
    dialogs->answerFile(path);
    QTest::mouseClick(s->bbtExcel, Qt::LeftButton);
    EXPECT_GT(QFileInfo(path).size(), 0);
    EXPECT_EQ(dialogs->errors(), QStringList());
    // A cancelled save dialog says nothing.
    dialogs->answerFile(QString());
    QTest::mouseClick(s->bbtExcel, Qt::LeftButton);
    EXPECT_EQ(dialogs->errors(), QStringList());
}

// Print opens the report with its parameters in the screen's viewer control (a report that
// cannot be had is the viewer's business) and works only after a search.
TEST_F(TargetInquiryTest, PrintOpensTheReportInTheViewerControl) {
    auto sts010 = open<TfrmSTS010>();
    auto sts040 = open<TfrmSTS040>();
    for (TfrmTargetInquiry *s : {static_cast<TfrmTargetInquiry *>(sts010.get()),
                                 static_cast<TfrmTargetInquiry *>(sts040.get())}) {
        s->edt_Upjang_No->setText(QStringLiteral("10"));
        QTest::mouseClick(s->bbtPrint, Qt::LeftButton);
        EXPECT_EQ(s->Rdviewer401->location(), QString()) << s->objectName().toStdString();
        search(*s, QStringLiteral("20240315"), QStringLiteral("10"));
        QTest::mouseClick(s->bbtPrint, Qt::LeftButton);
        EXPECT_EQ(s->Rdviewer401->location(), s->printLocation());
        EXPECT_EQ(s->Rdviewer401->params(), s->printParams());
        EXPECT_EQ(s->Rdviewer401->size(), QSize(72, 1));
    }
    // STS040 prints without handing over.
    EXPECT_EQ(sri100::HandoverDeptItem(), QString());
    EXPECT_EQ(HandoverWorkDate(), QStringLiteral("20240315"));
}

TEST(TargetInquiryRegistry, EveryScreenIsRegistered) {
    test::SchemaDatabase db;
    shell::ProgramRegistry registry;
    RegisterScreens(registry);
    for (const char *id : {"STS010", "STS020", "STS030", "STS040", "STS050", "STS060", "STS070",
                           "STS080", "STS090"}) {
        std::unique_ptr<QWidget> screen(registry.create(QLatin1String(id), db.connection()));
        ASSERT_NE(screen, nullptr) << id;
        EXPECT_EQ(screen->objectName(), QStringLiteral("frm") + QLatin1String(id));
        EXPECT_NE(qobject_cast<TfrmTargetInquiry *>(screen.get()), nullptr) << id;
    }
}

TEST_F(TargetInquiryTest, CodeLabelsAndDefaultDate) {
    auto outlet = open<TfrmSTS010>();
    auto section = open<TfrmSTS060>();
    EXPECT_EQ(outlet->workDate(), QStringLiteral("20261209")); // yesterday
    outlet->edt_Upjang_No->setText(QStringLiteral("1102"));
    EXPECT_EQ(outlet->wlb_Upjang_No->text(), QStringLiteral("영업장1102"));
    section->edt_Upjang_No->setText(QStringLiteral("10"));
    EXPECT_EQ(section->wlb_Upjang_No->text(), QStringLiteral("호텔"));
    section->edt_Upjang_No->setText(QStringLiteral("99"));
    EXPECT_EQ(section->wlb_Upjang_No->text(), QString());
    outlet->mdtWorkDate->setValue(QStringLiteral("20240315"));
    EXPECT_FALSE(outlet->wlbYoil->text().isEmpty());
    outlet->mdtWorkDate->setValue(QStringLiteral("20241345"));
    EXPECT_TRUE(outlet->wlbYoil->text().isEmpty());
}

TEST_F(TargetInquiryTest, ColumnGroupsFollowTheGridWidth) {
    auto sts010 = open<TfrmSTS010>();
    sts010->applyColumnWidths(1010);
    const std::vector<int> w010{106, 106, 106, 213, 213, 213};
    for (int g = 0; g < 6; ++g)
        EXPECT_EQ(sts010->groupWidth(g), w010[size_t(g)]) << g;
    // A resize of the screen sets them from the grid's new width.
    sts010->resize(1300, 600);
    QCoreApplication::processEvents();
    const int u = (sts010->rgrGrid->width() - 50) / 6;
    ASSERT_GT(u, 160);
    EXPECT_EQ(sts010->groupWidth(0), 2 * (u / 3));
    EXPECT_EQ(sts010->groupWidth(5), u + u / 3);
    // The first search sets the columns anew; the rule's widths stay.
    search(*sts010, QStringLiteral("20240315"), QString());
    EXPECT_EQ(sts010->groupWidth(0), 2 * (u / 3));
    EXPECT_EQ(sts010->groupWidth(5), u + u / 3);
    auto sts020 = open<TfrmSTS020>();
    sts020->applyColumnWidths(1050);
    const std::vector<int> w020{40, 100, 40, 220, 300, 300};
    for (int g = 0; g < 6; ++g)
        EXPECT_EQ(sts020->groupWidth(g), w020[size_t(g)]) << g;
    auto sts060 = open<TfrmSTS060>();
    sts060->applyColumnWidths(1034);
    // Group 2 is the hidden outlet name.
    const std::vector<std::pair<int, int>> w060{{0, 266}, {2, 200}, {3, 200}, {4, 200}};
    for (const auto &[g, w] : w060)
        EXPECT_EQ(sts060->groupWidth(g), w) << g;
}

TEST_F(TargetInquiryTest, PrintAndPreviewHandOver) {
    const QString base = QStringLiteral("/REPORT/경영정보관리/");
    auto sts010 = open<TfrmSTS010>();
    auto sts020 = open<TfrmSTS020>();
    auto sts040 = open<TfrmSTS040>();
    auto sts060 = open<TfrmSTS060>();
    auto sts070 = open<TfrmSTS070>();
    auto sts080 = open<TfrmSTS080>();
    auto sts090 = open<TfrmSTS090>();
    const struct {
        TfrmTargetInquiry *screen;
        const char *code, *report, *params, *popup, *deptItem, *toDate;
    } cases[] = {
        {sts010.get(), "1101", "MIS(SRI110)",
         "/rv  ATASK_DATE[20240315]AUPJANG_CODE[1101] /reditmode", "frmSRI200", ""},
        {sts060.get(), "10", "MIS(SRI100)", "/rv  ATASK_DATE[20240315]ADEPT_ITEM1[10] /reditmode",
         "frmSRI100", "10", ""},
        {sts020.get(), "10", "MIS(SRI180)", "/rv  ATASK_DATE[20240315] /reditmode", "frmSRI110", "",
         ""},
        {sts040.get(), "10", "", "/rv SALE_DATE[20240315] MIS_UPJANG_CODE1[10]", "frmSRI100", "10",
         ""},
        {sts070.get(), "10", "MIS(SRI130)",
         "/rv  AFROM_DATE[20240301]ATO_DATE[20240315]ADEPT_ITEM1[10] /reditmode", "frmSRI120", "10",
         "20240315"},
        {sts080.get(), "1101", "MIS(SRI120)",
         "/rv  AFROM_DATE[20240301]ATO_DATE[20240315]ADEPT_ITEM1[1101] /reditmode", "frmSRI220",
         "1101", "20240315"},
        {sts090.get(), "2002", "MIS(SRI230)",
         "/rv  AFROM_DATE[20240301]ATO_DATE[20240315]ADEPT_ITEM1[] /reditmode", "frmSRI230", "",
         "20240315"},
    };
    for (const auto &c : cases) {
        HandoverWorkDate().clear();
        HandoverToDate().clear();
        sri100::HandoverDeptItem().clear();
        sri120::HandoverDeptItem().clear();
        sri220::HandoverDeptItem().clear();
        search(*c.screen, QStringLiteral("20240315"), QString::fromUtf8(c.code));
        if (*c.report)
            EXPECT_TRUE(c.screen->printLocation().endsWith(base + QString::fromUtf8(c.report) +
                                                           QStringLiteral(".mrd")))
                << c.report;
        else
            EXPECT_EQ(c.screen->printLocation(),
                      QStringLiteral("C:/켈로리조트/RD레포트/경영정보관리(071224)/TTP070.mrd"));
        EXPECT_EQ(c.screen->printParams(), QString::fromUtf8(c.params));
        QTest::mouseClick(c.screen->bbtPreview, Qt::LeftButton);
        ASSERT_NE(c.screen->popup, nullptr);
        EXPECT_EQ(c.screen->popup->objectName(), QString::fromUtf8(c.popup));
        EXPECT_TRUE(c.screen->popup->isWindow());
        const QString id = c.screen->objectName();
        EXPECT_EQ(HandoverWorkDate(),
                  c.screen->mdtWorkDate ? QStringLiteral("20240315") : QStringLiteral("20240301"));
        EXPECT_EQ(HandoverToDate(), QString::fromUtf8(c.toDate));
        const QString deptItem = id == u"frmSTS060" || id == u"frmSTS040"
                                     ? sri100::HandoverDeptItem()
                                 : id == u"frmSTS070" ? sri120::HandoverDeptItem()
                                 : id == u"frmSTS080" ? sri220::HandoverDeptItem()
                                                      : QString();
        EXPECT_EQ(deptItem, QString::fromUtf8(c.deptItem)) << id.toStdString();
        delete c.screen->popup.data();
    }
}

} // namespace
