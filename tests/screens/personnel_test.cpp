#include "common/silentstop.h"
#include "database/schema.h"
#include "db/query.h"
#include "screens/personnel/personnel_inquiries.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::screens;

namespace {

// A company (1000) with a team (1100) and two parts (1110 with employees, 1120 without).
class PersonnelTest : public ::testing::Test {
protected:
    void SetUp() override {
        connection.executeScript(QStringLiteral(
            "INSERT INTO QA160MS_DATE (DEPT_CODE, DEPT_NAME, R_CODE, R_NAME, L_NAME, SORT_ORD, "
            "DEPT_AFF_YN, BGN_DATE, "
            "END_DATE) VALUES "
            "('1000', '회사', '1000', '회사', ' 회사', 1, 'Y', TO_DATE('20000101'), "
            "TO_DATE('99991231')),"
            "('1100', '객실팀', '10001100', '회사 객실팀', '  객실팀', 2, 'Y', "
            "TO_DATE('20000101'), TO_DATE('99991231')),"
            "('1110', '프론트', '100011001110', '회사 객실팀 프론트', '   프론트', 3, 'Y', "
            "TO_DATE('20000101'), "
            "TO_DATE('99991231')),"
            "('1111', '야간조', '1000110011101111', '회사 객실팀 프론트 야간조', '    야간조', 4, "
            "'Y', "
            "TO_DATE('20000101'), TO_DATE('99991231')),"
            "('1120', '하우스키핑', '100011001120', '회사 객실팀 하우스키핑', '   하우스키핑', 5, "
            "'Y', "
            "TO_DATE('20000101'), TO_DATE('99991231'));"
            "INSERT INTO QA010MS (EMP_NO, EMP_K_NAME, EMP_STAY_CODE, EMP_KIND_CODE, EMP_POS_CODE, "
            "EMP_WORK_CODE, "
            "EMP_AFF_DEPT_CODE, EMP_SOC_ID, EMP_MOBIL_NO, EMP_SEX_TYPE, EMP_BIRTH_TYPE, "
            "EMP_ENT_DATE) VALUES "
            "('20000001', '김임원', '01', '01', '20', '100', '1110', '800101-1234567', "
            "'010-1234-5678', 'M', '0', "
            "TO_DATE('20000301')),"
            "('20000002', '이정규', '01', '02', '50', '110', '1110', NULL, NULL, 'F', '1', NULL),"
            "('20000003', '박파견', '01', '07', '80', NULL, '1110', NULL, NULL, NULL, NULL, NULL),"
            "('20000004', '최퇴직', '02', '02', '80', '100', '1110', NULL, NULL, NULL, NULL, NULL);"
            "INSERT INTO QA070MS (EMP_NO, AWRD_SEQ, AWRD_DATE, AWRD_CODE, AWRD_TYPE, AWRD_REAS) "
            "VALUES "
            "('20000001', 1, TO_DATE('20030101'), '01', '1', '유공'), ('20000001', 2, "
            "TO_DATE('20040101'), '11', '2', "
            "'지각');"));
    }
    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
    test::ScriptedDialogsScope dialogs;
};

QStringList texts(const controls::Grid *grid, int row, int from, int to) {
    QStringList out;
    for (int c = from; c <= to; ++c)
        out << grid->gridModel()->text(row, c);
    return out;
}

TEST_F(PersonnelTest, HeadcountsByKindAndTheSubtreeWithZeros) {
    TfrmSQS000 hub(connection);
    hub.show();
    QTest::mouseClick(hub.sqs010->bbtSearch, Qt::LeftButton);
    const controls::Grid *g = hub.sqs010->rgrGrid;
    ASSERT_EQ(g->rowCountFetched(),
              1); // only departments with somebody in service, three levels deep
    EXPECT_EQ(g->gridModel()->text(0, 2),
              QStringLiteral("        프론트")); // the level name less its first blank, widened
    EXPECT_EQ(texts(g, 0, 3, 7), (QStringList{"1", "1", "0", "1", "3"}));
    EXPECT_EQ(g->footerText(7), QStringLiteral("3"));

    // A double click leads to the department's headcount by sub-department.
    hub.OpenDepartmentHeadcount(QStringLiteral("10001100"));
    EXPECT_EQ(hub.PageControl1->currentIndex(), 1);
    const controls::Grid *sub = hub.sqs020->rgrGrid;
    ASSERT_EQ(sub->rowCountFetched(), 4); // 객실팀, 프론트, 야간조, 하우스키핑
    EXPECT_EQ(texts(sub, 3, 2, 7),
              (QStringList{"            하우스키핑", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(hub.sqs020->wlbRName->text(), QStringLiteral("회사 객실팀"));
    EXPECT_EQ(sub->footerText(7), QStringLiteral("3"));
    // A department the box does not hold searches nothing.
    hub.sqs020->SelectDepartment(QStringLiteral("99999999"));
    EXPECT_EQ(hub.sqs020->cboDept->currentIndex(), -1);
}

TEST_F(PersonnelTest, WorkGroupsAreLaidOutByTheQuotedArithmetic) {
    TfrmSQS000 hub(connection);
    hub.resize(1200, 800);
    hub.show();
    hub.ShowSubScreen(2);
    TfrmSQS030 *chart = hub.sqs030;
    chart->ScrollBox1->setFixedWidth(814 + 2 * chart->ScrollBox1->frameWidth());
    QApplication::processEvents();
    ASSERT_EQ(chart->ScrollBox1->viewport()->width(), 814);
    hub.OpenDepartmentChart(QStringLiteral("1110"));
    QList<TfrmSQS031 *> groups = chart->workGroups();
    ASSERT_EQ(groups.size(), 3);
    std::sort(groups.begin(), groups.end(),
              [](auto *a, auto *b) { return a->objectName() < b->objectName(); });
    EXPECT_EQ(groups[0]->x(), 92);
    EXPECT_EQ(groups[1]->x(), 332);
    EXPECT_EQ(groups[2]->x(), 572);
    EXPECT_EQ(groups[0]->y(), 30);
    EXPECT_EQ(groups[2]->panWorkCode->text(), QStringLiteral("직무없음"));
    EXPECT_EQ(groups[0]->panWorkCode->text(), QStringLiteral("객실관리"));
    EXPECT_EQ(groups[0]->rgrEmpList->footerText(1), QStringLiteral("1"));
    EXPECT_EQ(groups[0]->rgrEmpList->gridModel()->text(0, 2), QStringLiteral("김임원"));
}

TEST_F(PersonnelTest, AFailingWorkGroupStatementIsShownAsAnError) {
    TfrmSQS000 hub(connection);
    hub.show();
    hub.ShowSubScreen(2);
    TfrmSQS030 *chart = hub.sqs030;
    ASSERT_TRUE(chart->cboDept->setValue(QStringLiteral("1110")));
    // The work codes still read; the employees of a group no longer do.
    connection.executeScript(
        QStringLiteral("ALTER TABLE QA010MS RENAME COLUMN EMP_K_NAME TO EMP_NAME;"));
    QTest::mouseClick(chart->bbtSearch, Qt::LeftButton); // through the general error handling
    ASSERT_EQ(dialogs->errors().size(), 1);
    EXPECT_TRUE(
        dialogs->errors().first().contains(QStringLiteral("EMP_K_NAME"), Qt::CaseInsensitive))
        << dialogs->errors().first().toStdString();
}

TEST_F(PersonnelTest, PersonnelCardMasksPersonalDataAndShowsTheTabs) {
    TfrmSQS000 hub(connection);
    hub.show();
    hub.OpenEmployeeCard(QStringLiteral("20000001"));
    TfrmSQS040 *card = hub.sqs040;
    EXPECT_EQ(hub.PageControl1->currentIndex(), 3);
    EXPECT_EQ(card->cardText(QStringLiteral("EMP_K_NAME")), QStringLiteral("김임원"));
    EXPECT_EQ(card->cardText(QStringLiteral("EMP_SOC_ID")), QStringLiteral("800101-1******"));
    EXPECT_EQ(card->cardText(QStringLiteral("EMP_MOBIL_NO")), QStringLiteral("010-****-5678"));
    EXPECT_EQ(card->cardText(QStringLiteral("EMP_KIND_NAME")), QStringLiteral("임원"));
    EXPECT_EQ(card->cardText(QStringLiteral("EMP_SEX_TYPE")), QStringLiteral("남"));
    EXPECT_EQ(card->cardText(QStringLiteral("EMP_BIRTH_TYPE")), QStringLiteral("양력"));
    EXPECT_EQ(card->cardText(QStringLiteral("EMP_ENT_DATE")), QStringLiteral("2000-03-01"));
    EXPECT_EQ(card->grdAward->rowCountFetched(), 2);
    EXPECT_EQ(texts(card->grdAward, 0, 0, 2), (QStringList{"2004-01-01", "견책", "벌"}));
    EXPECT_EQ(texts(card->grdAward, 1, 2, 2), QStringList{"상"});
    EXPECT_TRUE(dialogs->errors().isEmpty());

    // A number that does not exist empties the card.
    card->wedEmpNo->setText(QStringLiteral("99999999"));
    QTest::mouseClick(card->bbtSearch, Qt::LeftButton);
    EXPECT_EQ(dialogs->errors().last(), QStringLiteral("조회할 내용이 없습니다."));
    EXPECT_EQ(card->cardText(QStringLiteral("EMP_K_NAME")), QString());
    EXPECT_EQ(card->grdAward->rowCountFetched(), 0);
    // F1 in the number field searches; an empty number is refused.
    card->wedEmpNo->clear();
    card->wedEmpNo->setFocus();
    QTest::keyClick(card->wedEmpNo, Qt::Key_F1);
    EXPECT_EQ(dialogs->errors().last(), QStringLiteral("조회할 사원번호를 입력하여 주십시요."));
}

// Ctrl+F11 in the personnel hub saves the grid in front: a list page's result, the card's
// tab grid that holds the focus.
TEST_F(PersonnelTest, CtrlF11SavesTheGridInFront) {
    QTemporaryDir dir;
    TfrmSQS000 hub(connection);
    hub.resize(1200, 760);
    hub.show();
    hub.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&hub));
    hub.OpenEmployeeCard(QStringLiteral("20000001"));
    TfrmSQS040 *card = hub.sqs040;
    for (int i = 0; i < card->tabs->count(); ++i)
        if (card->tabs->widget(i)->isAncestorOf(card->grdAward))
            card->tabs->setCurrentIndex(i);
    card->grdAward->setFocus();
    const QString file = dir.filePath(QStringLiteral("card.xls"));
    dialogs->answerFile(file);
    dialogs->answer(false);
    QTest::keyClick(card->grdAward, Qt::Key_F11, Qt::ControlModifier);
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_TRUE(dialogs->errors().isEmpty()) << dialogs->errors().join(u'|').toStdString();
    // The list page before a search has nothing to save and says so on the hub's bar.
    hub.ShowSubScreen(0);
    QTest::keyClick(hub.rgrMenu, Qt::Key_F11, Qt::ControlModifier);
    EXPECT_EQ(hub.stbMessage->panelText(1),
              QStringLiteral("조회 결과가 없습니다. 조회를 먼저 하십시오."));
}

TEST_F(PersonnelTest, OnlyJpegPhotographsMarkedOnTheSeventhByteAreShown) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    ASSERT_EQ(jpeg.at(6), 'J');
    EXPECT_FALSE(TfrmSQS040::PhotoOf(jpeg).isNull());
    QByteArray exif = jpeg;
    exif[6] = 'E'; // an Exif header carries "Exif" from the seventh byte
    EXPECT_TRUE(TfrmSQS040::PhotoOf(exif).isNull());
    EXPECT_TRUE(TfrmSQS040::PhotoOf(QByteArray("short")).isNull());
}

} // namespace
