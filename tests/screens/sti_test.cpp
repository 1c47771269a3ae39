#include "common/dates.h"
#include "common/functions.h"
#include "common/globals.h"
#include "db/query.h"
#include "screens/targets/target_input.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::screens;

namespace {

// Outlet 1101 with a target on 1–3 March 2024 (guests 10 n, amount 1000 n), one in
// January and one in the year before; outlet 1102 with one in March.
class TargetInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        Globals() = GlobalValues{};
        Globals().empNo = QStringLiteral("20000001");
        Globals().clientIP = QStringLiteral("10.0.0.7");
        exec("DELETE FROM JH040MS");
        exec("DELETE FROM JA010MS WHERE UPJANG_CODE IN ('1101', '1102')");
        exec("INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME) VALUES ('1101', '베로호텔 객실')");
        exec("INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME) VALUES ('1102', '가족호텔 객실')");
        for (int n = 1; n <= 3; ++n)
            target(QStringLiteral("2024030%1").arg(n), "1101", 10 * n, 1000 * n);
        target("20240115", "1101", 7, 700);
        target("20231231", "1101", 5, 500);
        target("20240302", "1102", 9, 900);
    }
    void target(const QString &date, const char *outlet, int guests, int amount) {
        exec(QStringLiteral("INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, "
                            "SALE_AMT) VALUES ('%1', '%2', '11', %3, %4)")
                 .arg(date, QLatin1String(outlet))
                 .arg(guests)
                 .arg(amount));
    }
    void exec(const QString &sql) {
        db::Query q(connection);
        q.setSql(sql);
        q.exec();
    }
    QString query(const QString &sql) { return test::QueryText(connection, sql); }
    static QStringList rows(controls::Grid *g, int columns) {
        QStringList out;
        for (int r = 0; r < g->rowCountFetched(); ++r) {
            QStringList cells;
            for (int c = 0; c < columns; ++c)
                cells << g->text(r, c);
            out << cells.join(u'|');
        }
        return out;
    }
    std::unique_ptr<TfrmSTI010> openSti010() {
        auto s = std::make_unique<TfrmSTI010>(connection);
        s->resize(1028, 600);
        s->show();
        return s;
    }
    void search(TfrmSTI010 &s, const char *month, const char *outlet) {
        s.mdtWorkDate->setValue(QLatin1String(month));
        s.edt_Upjang_No->setText(QLatin1String(outlet));
        QTest::mouseClick(s.bbtSearch, Qt::LeftButton);
    }

    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
    test::ScriptedDialogsScope dialogs;
};

TEST_F(TargetInputTest, Sti010ShowsTheMonthBesideTheYearsMonthTotals) {
    auto s = openSti010();
    EXPECT_EQ(s->mdtWorkDate->value(), QStringLiteral("202612")); // the current month when shown
    EXPECT_EQ(s->lblWorkDate->text(), QStringLiteral("목표등록 월"));
    search(*s, "202403", "1101");
    EXPECT_EQ(s->wlb_Upjang_No->text(), QStringLiteral("베로호텔 객실"));
    EXPECT_EQ(rows(s->rgrGrid, 5),
              (QStringList{"20240301|1101|11|10|1000", "20240302|1101|11|20|2000",
                           "20240303|1101|11|30|3000"}));
    // The year's months of the outlet only, the year before left out.
    EXPECT_EQ(rows(s->rgrMonth, 3), (QStringList{"202401|7|700", "202403|60|6000"}));
    EXPECT_FALSE(s->isSearchMode());

    // Cancel empties both grids; an empty outlet selects nothing.
    QTest::mouseClick(s->bbtCancel, Qt::LeftButton);
    EXPECT_EQ(s->rgrMonth->rowCountFetched(), 0);
    search(*s, "202403", "");
    EXPECT_EQ(s->rgrGrid->rowCountFetched(), 0);
    EXPECT_EQ(s->rgrMonth->rowCountFetched(), 0);
    EXPECT_EQ(s->stbMessage->panelText(1), QStringLiteral("조회할 내용이 없습니다."));
    EXPECT_TRUE(dialogs->errors().isEmpty());
}

// Ctrl-fill copies the first row's figures down and logs the rows as changed; Delete logs
// status 3; Save sends each row once through PR_STI010MS_01. New adds no row.
TEST_F(TargetInputTest, Sti010SavesCtrlFillAndDelete) {
    auto s = openSti010();
    search(*s, "202403", "1101");
    controls::Grid *g = s->rgrGrid;

    QTest::mouseClick(s->bbtAdd, Qt::LeftButton); // New
    EXPECT_EQ(g->rowCountFetched(), 3);

    ASSERT_TRUE(g->setCurrentCell(0, 3));
    // Ctrl held down through Right and Down, then let go.
    auto send = [g](QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent e(type, key, modifiers);
        QApplication::sendEvent(g, &e);
    };
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Down}) {
        send(QEvent::KeyPress, key, Qt::ControlModifier);
        send(QEvent::KeyRelease, key, Qt::ControlModifier);
    }
    send(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(rows(g, 5)[1], QStringLiteral("20240302|1101|11|10|1000"));
    ASSERT_EQ(s->changeLog().size(), 1u);
    EXPECT_EQ(s->changeLog().front().status, controls::RowStatus::Changed);

    g->setCurrentCell(2, 0);
    dialogs->answer(true); // "현재 자료를 삭제하시겠습니까?"
    QTest::mouseClick(s->bbtDelete, Qt::LeftButton);
    EXPECT_EQ(g->rowCountFetched(), 2);

    dialogs->answer(true); // "저장 하시겠습니까?"
    QTest::mouseClick(s->bbtSave, Qt::LeftButton);
    EXPECT_TRUE(dialogs->errors().isEmpty()) << dialogs->errors().join(u'|').toStdString();
    EXPECT_EQ(s->stbMessage->panelText(1), QStringLiteral("자료를 저장하였습니다."));
    EXPECT_EQ(query(QStringLiteral(R"sql(
SELECT SALE_DATE, GUESTS, SALE_AMT, U_EMP_NO, U_IP
FROM JH040MS
WHERE UPJANG_CODE = '1101'
    AND SALE_DATE LIKE '202403%'
ORDER BY SALE_DATE
)sql")),
              QStringLiteral("20240301|10|1000||,20240302|10|1000|20000001|10.0.0.7"));
    EXPECT_FALSE(dialogs->unansweredLeft());
}

TEST_F(TargetInputTest, Sti010MonthRowsGoFromTheScreenOnly) {
    auto s = openSti010();
    search(*s, "202403", "1101");
    s->rgrMonth->setCurrentCell(0, 0);
    dialogs->answer(false); // the grid's own question: No keeps the row and changes nothing
    EXPECT_FALSE(s->rgrMonth->deleteCurrentRow());
    EXPECT_EQ(s->rgrMonth->rowCountFetched(), 2);
    QTest::mouseClick(s->bbtCancel, Qt::LeftButton); // nothing to ask about
    EXPECT_TRUE(s->isSearchMode());
    EXPECT_EQ(dialogs->questions().size(), 1);
    search(*s, "202403", "1101");
    s->rgrMonth->setCurrentCell(0, 0);
    dialogs->answer(true);
    ASSERT_TRUE(s->rgrMonth->deleteCurrentRow());
    EXPECT_EQ(s->rgrMonth->rowCountFetched(), 1);
    EXPECT_EQ(query(QStringLiteral("SELECT COUNT(*) FROM JH040MS WHERE SALE_DATE = '20240115'")),
              QStringLiteral("1"));
    dialogs->answer(false); // Cancel asks, and No keeps the screen
    QTest::mouseClick(s->bbtCancel, Qt::LeftButton);
    EXPECT_FALSE(s->isSearchMode());
    EXPECT_EQ(dialogs->questions().last(),
              QStringLiteral("변경된 내용이 존재합니다. 정말 취소하시겠습니까?"));
}

} // namespace
