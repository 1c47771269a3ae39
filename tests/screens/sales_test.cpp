#include "common/globals.h"
#include "common/silentstop.h"
#include "database/schema.h"
#include "db/query.h"
#include "screens/sales/sales_inquiries.h"
#include "support/scripted_dialogs.h"

#include <QAbstractButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::screens;

namespace {

// A small database whose figures are known by construction.
class SalesTest : public ::testing::Test {
protected:
    void SetUp() override {
        database::Install();
        database::CreateDatabase(dir.filePath(QStringLiteral("s.db")), false);
        connection.setSqliteFile(dir.filePath(QStringLiteral("s.db")));
        connection.open();
        connection.executeScript(QStringLiteral(
            // Division 1 (condo): 1000 + tip 100 today, 500 earlier this month; last year the same
            // day 800.
            "INSERT INTO KF060MS VALUES ('20040407', '1', '11', '111', 1000, 100);"
            "INSERT INTO KF060MS VALUES ('20040402', '1', '11', '111', 500, NULL);"
            "INSERT INTO KF060MS VALUES ('20030407', '1', '11', '111', 800, 0);"
            "INSERT INTO KF060MS VALUES ('20030403', '1', '11', '111', 200, 0);"
            // Division 2 (hotel): sales this year only: the growth on a zero base is 0.
            "INSERT INTO KF060MS VALUES ('20040407', '2', '21', '211', 300, 0);"
            // 29 February 2004 and the days of February 2003.
            "INSERT INTO KF060MS VALUES ('20040229', '1', '11', '111', 10, 0);"
            "INSERT INTO KF060MS VALUES ('20030228', '1', '11', '111', 7, 0);"
            "INSERT INTO KF060MS VALUES ('20030201', '1', '11', '111', 3, 0);"));
    }
    template <typename Screen> void search(Screen &s, const char *date) {
        s.dedSaleDate->setYmd(QLatin1String(date));
        QTest::mouseClick(s.bbtSearch, Qt::LeftButton);
    }
    QStringList row(const controls::Grid *grid, int r) {
        QStringList out;
        for (int c = 0; c < int(grid->columns().size()); ++c)
            out << grid->gridModel()->text(r, c);
        return out;
    }
    QStringList footer(const controls::Grid *grid) {
        QStringList out;
        for (int c = 0; c < int(grid->columns().size()); ++c)
            out << grid->footerText(c);
        return out;
    }
    QTemporaryDir dir;
    db::Connection connection;
    test::ScriptedDialogsScope dialogs;
};

TEST_F(SalesTest, SalesByDivisionAgainstLastYear) {
    TfrmSAS010 screen(connection);
    screen.show();
    search(screen, "20040407");
    EXPECT_TRUE(dialogs->errors().isEmpty()) << dialogs->errors().join(u'|').toStdString();
    ASSERT_EQ(screen.rgrGrid->rowCountFetched(),
              7); // every division, with zeros where nothing sold
    EXPECT_EQ(row(screen.rgrGrid, 0),
              (QStringList{"1", "콘도사업부", "1100", "800", "137.5", "1600", "1000", "160"}));
    EXPECT_EQ(row(screen.rgrGrid, 1),
              (QStringList{"2", "호텔사업부", "300", "0", "0", "300", "0", "0"}));
    EXPECT_EQ(row(screen.rgrGrid, 2),
              (QStringList{"3", "골프사업부", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(footer(screen.rgrGrid),
              (QStringList{"", "", "1,400", "800", "175", "1,900", "1,000", "190"}));
}

TEST_F(SalesTest, TheTwentyNinthOfFebruaryHasNoSameDayLastYear) {
    TfrmSAS010 screen(connection);
    screen.show();
    search(screen, "20040229");
    // The same day last year (29 February 2003) matches nothing; its month covers 1 to 28 February.
    EXPECT_EQ(row(screen.rgrGrid, 0),
              (QStringList{"1", "콘도사업부", "10", "0", "0", "10", "10", "100"}));
}

TEST_F(SalesTest, HubHoldsTheSevenViewsInOrder) {
    TfrmSAS000 hub(connection);
    EXPECT_EQ(hub.subScreenCount(), 7);
    EXPECT_EQ(hub.rgrMenu->text(3, 1), QStringLiteral("가족호텔 객실판매현황"));
    EXPECT_EQ(qobject_cast<TfrmSAS030 *>(hub.subScreen(4))->upjangCode(), QStringLiteral("1003"));
    EXPECT_EQ(hub.lblNetSvc->text(), QStringLiteral("** NET + SVC"));
}

} // namespace
