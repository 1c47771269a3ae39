#include "fixture.h"
#include "framework/lookupdialogs.h"
#include "support/scripted_dialogs.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kelo;

namespace {

// Runs an action on the modal dialog once it shows.
void whenModal(std::function<void(QDialog *)> action) {
    QTimer::singleShot(0, [action] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        action(dialog);
    });
}

QStringList column(const controls::Grid *grid, int c) {
    QStringList out;
    for (int r = 0; r < grid->rowCountFetched(); ++r)
        out << grid->gridModel()->text(r, c);
    return out;
}

TEST(CodeLookup, FilterByTheStartOfTheNameAndTheWeatherSet) {
    CodesDatabase db;
    TfrmSZP900 dialog(db.connection, false, QStringLiteral("Q005"), nullptr);
    dialog.show(); // searches at once
    EXPECT_EQ(dialog.wlbDetail->text(), QStringLiteral("직위"));
    EXPECT_EQ(dialog.rgrGrid->rowCountFetched(), 8);
    dialog.wlbDetailName->setText(QStringLiteral("사"));
    dialog.bbtSearch->click();
    EXPECT_EQ(column(dialog.rgrGrid, 1), (QStringList{"사장", "사원"}));

    TfrmSZP900 weather(db.connection, true, QStringLiteral("E0029"), nullptr);
    weather.show();
    // ITEM1 is the name, and the used-only flag is ignored.
    EXPECT_EQ(column(weather.rgrGrid, 1).first(), QStringLiteral("Sunny"));
    EXPECT_EQ(weather.rgrGrid->rowCountFetched(), 7);

    whenModal([](QDialog *d) {
        auto *lookup = qobject_cast<TfrmSZP900 *>(d);
        lookup->rgrGrid->setCurrentCell(3, 0);
        QTest::keyClick(lookup->rgrGrid, Qt::Key_Return); // Enter in the grid: OK
    });
    const PickedCode picked = PickCode(db.connection, QStringLiteral("E0029"), false);
    EXPECT_TRUE(picked.chosen);
    EXPECT_EQ(picked.code, QStringLiteral("04"));
    EXPECT_EQ(picked.name, QStringLiteral("Rainy"));
}

TEST(CodeLookup, SpeedButtonsMoveThroughTheRowsInTheCurrentColumn) {
    CodesDatabase db;
    TfrmSZP900 dialog(db.connection, false, QStringLiteral("Q005"), nullptr);
    dialog.show();
    dialog.rgrGrid->setCurrentCell(2, 1);
    auto at = [&] {
        return std::pair{dialog.rgrGrid->currentRow(), dialog.rgrGrid->currentColumn()};
    };
    dialog.sbtNext->click();
    EXPECT_EQ(at(), std::pair(3, 1));
    dialog.sbtPrior->click();
    EXPECT_EQ(at(), std::pair(2, 1));
    dialog.sbtLast->click();
    EXPECT_EQ(at(), std::pair(7, 1));
    dialog.sbtFirst->click();
    EXPECT_EQ(at(), std::pair(0, 1));
    dialog.sbtPrior->click(); // nothing before the first row
    EXPECT_EQ(at(), std::pair(0, 1));
}

TEST(EmployeeSearch, NamesThatBeginWithTheFilter) {
    CodesDatabase db;
    db.exec(QStringLiteral(
        "INSERT INTO QA160MS_DATE (DEPT_CODE, DEPT_NAME, BGN_DATE, END_DATE) VALUES ('1110', "
        "'객실팀', TO_DATE('20000101'), TO_DATE('99991231'));"
        "INSERT INTO QA010MS (EMP_NO, EMP_K_NAME, EMP_STAY_CODE, EMP_POS_CODE, EMP_AFF_DEPT_CODE) "
        "VALUES "
        "('20000001', '김관리', '01', '30', '1110'), ('20000002', '김조회', '02', '60', '1110'),"
        "('20000003', '박입력', '01', '80', '9999');"));
    whenModal([](QDialog *d) {
        auto *search = qobject_cast<TfrmSQH010 *>(d);
        search->wedEmpName->setText(QStringLiteral("김"));
        search->bbtSearch->click();
        EXPECT_EQ(search->rgrGrid->rowCountFetched(), 1); // the one in service
        EXPECT_EQ(search->rgrGrid->gridModel()->text(0, 0), QStringLiteral("객실팀"));
        EXPECT_EQ(search->rgrGrid->gridModel()->text(0, 1), QStringLiteral("부장"));
        search->bbtOK->click();
    });
    EXPECT_EQ(PickEmployee(db.connection, QStringLiteral("old")), QStringLiteral("20000001"));
    whenModal([](QDialog *d) { QTest::keyClick(d, Qt::Key_Escape); });
    EXPECT_EQ(PickEmployee(db.connection, QStringLiteral("old")), QStringLiteral("old"));
}

const char *kOutletHelp = "SELECT '영업장 코드' AS C1, '영업장 명' AS C2 FROM DUAL UNION ALL "
                          "SELECT * FROM (SELECT UPJANG_CODE, UPJANG_NAME FROM JA010MS WHERE "
                          "UPJANG_CODE LIKE :param || '%' AND "
                          "UPJANG_NAME LIKE :aParam ORDER BY UPJANG_CODE)";

TEST(BasicHelp, TitleRowWidthsAndResult) {
    CodesDatabase db;
    whenModal([](QDialog *d) {
        auto *help = qobject_cast<TfrmSAH090 *>(d);
        EXPECT_EQ(help->grdR_Help->columns().at(0).title, QStringLiteral("영업장 코드"));
        EXPECT_EQ(help->grdR_Help->rowCountFetched(), 3);
        EXPECT_EQ(help->grdR_Help->columns().at(0).width, 118); // at most 19 bytes
        EXPECT_EQ(help->width(), 2 * 118 + 50);
        help->grdR_Help->setCurrentCell(1, 0);
        help->bbtOK->click();
    });
    HelpResult r = ShowHelpDialog(db.connection, QStringLiteral("영업장"),
                                  QString::fromUtf8(kOutletHelp), QStringLiteral("100"));
    EXPECT_TRUE(r.confirmed);
    EXPECT_EQ(r.code, QStringLiteral("1002"));
    EXPECT_EQ(r.name, QStringLiteral("가족호텔"));

    // A longest value of 40 bytes gives columns 250 wide; a title row alone gives no rows.
    TfrmSAH090 wide(db.connection, QStringLiteral("x"),
                    QStringLiteral("SELECT 'A', 'B' FROM DUAL UNION ALL SELECT '1', "
                                   "'가나다라마바사아자차카타파하가나다라마바' FROM DUAL"),
                    QString());
    wide.show();
    EXPECT_EQ(wide.grdR_Help->columns().at(0).width, 250);
    TfrmSAH090 titlesOnly(db.connection, QStringLiteral("x"),
                          QStringLiteral("SELECT 'A', 'B' FROM DUAL"), QString());
    titlesOnly.show();
    EXPECT_EQ(titlesOnly.grdR_Help->rowCountFetched(), 0);
    EXPECT_FALSE(titlesOnly.bbtOK->isEnabled());

    whenModal([](QDialog *d) { QTest::keyClick(d, Qt::Key_Escape); });
    r = ShowHelpDialog(db.connection, QStringLiteral("영업장"), QString::fromUtf8(kOutletHelp),
                       QStringLiteral("100"));
    EXPECT_FALSE(r.confirmed);
    EXPECT_EQ(r.code, QString());
}

TEST(LookupDialogs, EscapeCancelsEachDialog) {
    CodesDatabase db;
    std::vector<std::unique_ptr<QDialog>> dialogs;
    dialogs.push_back(std::make_unique<TfrmZZH000>(db.connection, QStringLiteral("frmZZH000")));
    dialogs.push_back(std::make_unique<TfrmSZP900>(db.connection, false, QStringLiteral("Q005")));
    dialogs.push_back(std::make_unique<TfrmSQH010>(db.connection));
    dialogs.push_back(std::make_unique<TfrmSZP000>(db.connection, QStringLiteral("frmSZP000"),
                                                   QString(), QStringLiteral("20040407")));
    dialogs.push_back(std::make_unique<TfrmSAH090>(
        db.connection, QStringLiteral("x"), QStringLiteral("SELECT 'A' FROM DUAL"), QString()));
    for (auto &d : dialogs) {
        whenModal([](QDialog *shown) { QTest::keyClick(shown, Qt::Key_Escape); });
        EXPECT_EQ(d->exec(), QDialog::Rejected) << d->objectName().toStdString();
    }
}

// A drill-down that counts its searches, opening a nested one from a button.
TEST(DrillDown, SearchesOnEveryActivationAndOnACalendarPick) {
    CodesDatabase db;
    test::ScriptedDialogsScope messages;
    TfrmSZP000 outer(db.connection, QStringLiteral("frmTSP001"), QStringLiteral("1001"),
                     QStringLiteral("20040407"));
    outer.qryQuery->setSql(QStringLiteral(
        "SELECT UPJANG_CODE, UPJANG_NAME FROM JA010MS WHERE UPJANG_CODE = :AUPJANG_CODE"));
    outer.rgrGrid->setColumns({});
    outer.show();
    outer.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&outer));
    QTRY_COMPARE(outer.searches(), 1);
    EXPECT_EQ(outer.rgrGrid->rowCountFetched(), 1);
    {
        TfrmSZP000 inner(db.connection, QStringLiteral("frmTSP002"), QStringLiteral("1002"),
                         QStringLiteral("20040407"), &outer);
        inner.qryQuery->setSql(QStringLiteral("SELECT 1 FROM DUAL"));
        inner.show();
        inner.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&inner));
        QTRY_COMPARE(inner.searches(), 1);
        inner.close();
    }
    outer.activateWindow();
    QTRY_COMPARE(outer.searches(), 2); // closing the nested dialog searches again
    emit outer.dedSaleDate->closeUp();
    EXPECT_EQ(outer.searches(), 3);
    EXPECT_TRUE(messages->errors().isEmpty());
}

} // namespace
