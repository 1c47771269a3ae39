#include "common/globals.h"
#include "db/serverobjects.h"
#include "framework/editablegrid.h"
#include "support/scripted_dialogs.h"
#include "support/temp_database.h"

#include <QLineEdit>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace kelo;

namespace {

// An editable grid over T (K, V) written through PR_T_01, whose calls are recorded as
// "status:K:V"; a V of "refuse" is refused in AERROR_MSG.
class Screen : public TfrmSZI040 {
public:
    explicit Screen(db::Connection &c) : TfrmSZI040(c, QStringLiteral("frmTST040")) {
        controls::GridColumn k = controls::Column("K", "코드", 60, true);
        controls::GridColumn v = controls::NumberColumn("V", "금액", 80, true);
        v.footer.text = QStringLiteral("");
        rgrGrid->setColumns({k, v});
        controls::GridOptions o = rgrGrid->options();
        o.footerHeight = 25;
        rgrGrid->setOptions(o);
        qryQuery->setSql(QStringLiteral(R"sql(
SELECT K, V
FROM T
ORDER BY K
)sql"));
        prcProc->setProcName(QStringLiteral("PR_T_01"));
    }
    void CalcFooters() override { rgrGrid->setFooterText(1, footer); }
    QString footer = QStringLiteral("0");
};

class EditableGridTest : public ::testing::Test {
public:
    void SetUp() override {
        database.exec(QStringLiteral("CREATE TABLE T (K TEXT PRIMARY KEY, V REAL)"));
        objects = db::ServerObjects::standard();
        db::ProcedureDef def;
        def.name = QStringLiteral("PR_T_01");
        for (const char *p : {"AK", "AV", "AU_EMP_NO", "AU_IP", "AEDITSTATUS"})
            def.params.push_back({QLatin1String(p)});
        def.params.push_back({QStringLiteral("AERROR_MSG"), db::ParamDirection::Output, 2000});
        def.body = [this](db::ProcCall &call) {
            const QString k = call.input(QStringLiteral("AK")),
                          v = call.input(QStringLiteral("AV"));
            calls << call.input(QStringLiteral("AEDITSTATUS")) + u':' + k + u':' + v;
            if (v == QLatin1String("refuse")) {
                call.setOutput(QStringLiteral("AERROR_MSG"), QStringLiteral("%1 거부").arg(k));
                return;
            }
            db::Query q(call.connection());
            q.setSql(call.input(QStringLiteral("AEDITSTATUS")) == QLatin1String("3")
                         ? QStringLiteral("DELETE FROM T WHERE K = :K")
                         : QStringLiteral(R"sql(
INSERT INTO T (K, V)
VALUES (:K, TO_NUMBER(:V))
ON CONFLICT (K) DO UPDATE SET V = excluded.V
)sql"));
            q.setParam(QStringLiteral("K"), k);
            if (q.hasParam(QStringLiteral("V")))
                q.setParam(QStringLiteral("V"), v);
            q.exec();
        };
        objects.addProcedure(def);
        database.connection().setServerObjects(objects);
        screen = std::make_unique<Screen>(database.connection());
        screen->resize(1028, 600);
        screen->show();
        reload(3);
    }
    // T holds rows a=1, b=2 ... (or k01=0 ... when keyed), searched again.
    void reload(int count, bool keyed = false) {
        database.exec(QStringLiteral("DELETE FROM T"));
        for (int i = 1; i <= count; ++i)
            database.exec(
                keyed ? QStringLiteral("INSERT INTO T VALUES ('k%1', 0)").arg(i, 2, 10, QChar(u'0'))
                      : QStringLiteral("INSERT INTO T VALUES ('%1', %2)")
                            .arg(QChar(u'a' + i - 1))
                            .arg(i));
        if (!screen->isSearchMode())
            QTest::mouseClick(screen->bbtCancel, Qt::LeftButton);
        QTest::mouseClick(screen->bbtSearch, Qt::LeftButton);
        calls.clear();
        ASSERT_EQ(screen->rgrGrid->rowCountFetched(), count);
    }
    // Types into a cell as a user does and leaves the row, which posts it.
    void type(int row, int column, const QString &text) {
        controls::Grid *g = screen->rgrGrid;
        ASSERT_TRUE(g->setCurrentCell(row, column));
        if (!g->openEditor())
            g->edit(g->model()->index(row, column));
        auto *editor = qobject_cast<QLineEdit *>(g->openEditor());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        g->postEdit();
    }
    // Ctrl+Delete where the user presses it: in the open editor, or on the grid.
    void ctrlDelete() {
        controls::Grid *g = screen->rgrGrid;
        QTest::keyClick(g->openEditor() ? g->openEditor() : g, Qt::Key_Delete, Qt::ControlModifier);
    }
    void save() {
        dialogs->answer(true); // "저장 하시겠습니까?"
        QTest::mouseClick(screen->bbtSave, Qt::LeftButton);
    }
    QString rows() {
        db::Query q(database.connection());
        q.setSql(QStringLiteral(R"sql(
SELECT GROUP_CONCAT(K || '=' || TO_CHAR(V), ',')
FROM (
    SELECT K, V
    FROM T
    ORDER BY K
) X
)sql"));
        q.open();
        return q.text(0);
    }

    test::TempDatabase database;
    test::ScriptedDialogsScope dialogs;
    db::ServerObjects objects;
    QStringList calls;
    std::unique_ptr<Screen> screen;
};

// What the change log sends for what the user did: one entry per row with its latest
// state, a deleted row's entry after it.
TEST_F(EditableGridTest, TheLogSendsEachRowsLatestStateOnce) {
    const struct {
        const char *name;
        std::function<void(EditableGridTest &)> act;
        QStringList sent;
        const char *stored;
    } cases[] = {
        {"edited three times",
         [](EditableGridTest &t) {
             for (const char *v : {"10", "11", "12"})
                 t.type(0, 1, QLatin1String(v));
         },
         {"1:a:12"},
         "a=12,b=2,c=3"},
        {"loaded and deleted",
         [](EditableGridTest &t) {
             t.screen->rgrGrid->setCurrentCell(1, 0);
             t.dialogs->answer(true);
             QTest::mouseClick(t.screen->bbtDelete, Qt::LeftButton);
         },
         {"3:b:2"},
         "a=1,c=3"},
        {"loaded, edited, deleted",
         [](EditableGridTest &t) {
             t.type(2, 1, QStringLiteral("7"));
             t.screen->rgrGrid->setCurrentCell(2, 0);
             t.dialogs->answer(true);
             QTest::mouseClick(t.screen->bbtDelete, Qt::LeftButton);
         },
         {"1:c:7", "3:c:7"},
         "a=1,b=2"},
        {"Ctrl+Delete answered No, then edited",
         [](EditableGridTest &t) {
             t.screen->rgrGrid->setCurrentCell(1, 0);
             t.dialogs->answer(false); // "선택한 자료를 삭제하시겠습니까?"
             t.ctrlDelete();
             t.type(0, 1, QStringLiteral("9"));
         },
         {"1:a:9"},
         "a=9,b=2,c=3"},
        {"Ctrl+Delete answered Yes",
         [](EditableGridTest &t) {
             t.screen->rgrGrid->setCurrentCell(1, 0);
             t.dialogs->answer(true);
             t.ctrlDelete();
         },
         {"3:b:2"},
         "a=1,c=3"},
        {"added and deleted",
         [](EditableGridTest &t) {
             QTest::mouseClick(t.screen->bbtAdd, Qt::LeftButton);
             t.type(3, 0, QStringLiteral("z"));
             t.type(3, 1, QStringLiteral("5"));
             t.screen->rgrGrid->setCurrentCell(3, 0);
             t.dialogs->answer(true);
             QTest::mouseClick(t.screen->bbtDelete, Qt::LeftButton);
         },
         {},
         "a=1,b=2,c=3"},
        {"added",
         [](EditableGridTest &t) {
             QTest::mouseClick(t.screen->bbtAdd, Qt::LeftButton);
             t.type(3, 0, QStringLiteral("d"));
             t.type(3, 1, QStringLiteral("4"));
         },
         {"2:d:4"},
         "a=1,b=2,c=3,d=4"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        reload(3);
        c.act(*this);
        save();
        EXPECT_EQ(calls, c.sent);
        EXPECT_EQ(rows(), QLatin1String(c.stored));
        EXPECT_TRUE(screen->changeLog().empty());
        EXPECT_EQ(screen->stbMessage->panelText(1), QStringLiteral("자료를 저장하였습니다."));
        EXPECT_TRUE(dialogs->errors().isEmpty()) << dialogs->errors().join(u'|').toStdString();
        EXPECT_FALSE(dialogs->unansweredLeft());
    }
}

TEST_F(EditableGridTest, NothingChangedAnEmptyNewRowAndCtrlDownIntoAnUnpostedRow) {
    // An empty new row disappears when it is left; nothing is then to be saved.
    QTest::mouseClick(screen->bbtAdd, Qt::LeftButton);
    ASSERT_EQ(screen->rgrGrid->rowCountFetched(), 4);
    screen->rgrGrid->setCurrentCell(0, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(screen->rgrGrid->rowCountFetched(), 3);
    QTest::mouseClick(screen->bbtSave, Qt::LeftButton);
    EXPECT_EQ(dialogs->errors(), QStringList{QStringLiteral("변경된 내용이 없습니다.")});
    EXPECT_TRUE(calls.isEmpty());

    // Ctrl+Down from a posted row into a row never posted copies nothing into it.
    QTest::mouseClick(screen->bbtAdd, Qt::LeftButton);
    screen->rgrGrid->setCurrentCell(2, 1);
    QTest::keyPress(screen->rgrGrid, Qt::Key_Down, Qt::ControlModifier);
    ASSERT_EQ(screen->rgrGrid->currentRow(), 3);
    QTest::keyRelease(screen->rgrGrid, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(screen->rgrGrid->text(3, 1), QString());
    EXPECT_TRUE(screen->changeLog().empty());
    QTest::keyRelease(screen->rgrGrid, Qt::Key_Control, Qt::NoModifier);

    // Ctrl+Down into a loaded row copies the start row's value and logs the row.
    screen->rgrGrid->setCurrentCell(0, 1);
    QTest::keyPress(screen->rgrGrid, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyRelease(screen->rgrGrid, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(screen->rgrGrid->text(1, 1), QStringLiteral("1"));
    ASSERT_EQ(screen->changeLog().size(), 1u);
    EXPECT_EQ(screen->changeLog().front().status, controls::RowStatus::Changed);
}

TEST_F(EditableGridTest, FootersReadAsWholeNumbers) {
    for (const auto &[raw, shown] : {std::pair{"1234", "1,234"}, {"1234.5", "0"}, {"x", "0"}}) {
        screen->footer = QLatin1String(raw);
        screen->rgrGrid->recalculateFooter();
        EXPECT_EQ(screen->rgrGrid->footerText(1), QLatin1String(shown)) << raw;
    }
}

// The tenth of twenty rows refused: nothing is stored, the message names the refusal,
// the refused entry leaves the log and a second save sends the rest once.
TEST_F(EditableGridTest, ARefusedRowRollsTheSaveBackAndLeavesTheLog) {
    reload(20, true);
    for (int r = 0; r < 20; ++r)
        type(r, 1, r == 9 ? QStringLiteral("refuse") : QString::number(r + 1));
    ASSERT_EQ(screen->changeLog().size(), 20u);
    save();
    EXPECT_EQ(calls.size(), 10);
    ASSERT_GE(dialogs->errors().size(), 1);
    EXPECT_EQ(dialogs->errors().first(),
              QStringLiteral("자료를 저장하지 못했습니다.\r\r에러내용:\rk10 거부"));
    EXPECT_EQ(rows().count(QStringLiteral("=0")), 20); // nothing stored
    EXPECT_EQ(screen->changeLog().size(), 19u);

    calls.clear();
    save();
    EXPECT_EQ(calls.size(), 19);
    EXPECT_FALSE(calls.contains(QStringLiteral("1:k10:refuse")));
    EXPECT_EQ(rows().count(QStringLiteral("=0")), 1); // k10 kept its value
}

// A statement that fails goes to the general error box with the database's text; the
// screen does not add "no rows", and a good search afterwards loads as usual.
TEST_F(EditableGridTest, AFailedSearchShowsTheDatabasesTextOnly) {
    QTest::mouseClick(screen->bbtCancel, Qt::LeftButton);
    const QString good = screen->qryQuery->sql();
    screen->qryQuery->setSql(QStringLiteral("SELECT K, V FROM NO_SUCH_TABLE"));
    QTest::mouseClick(screen->bbtSearch, Qt::LeftButton);
    ASSERT_EQ(dialogs->errors().size(), 1);
    EXPECT_TRUE(
        dialogs->errors().first().contains(QStringLiteral("no_such_table"), Qt::CaseInsensitive))
        << dialogs->errors().first().toStdString();
    EXPECT_NE(screen->stbMessage->panelText(1), QStringLiteral("조회할 내용이 없습니다."));
    EXPECT_TRUE(screen->changeLog().empty());

    screen->qryQuery->setSql(good);
    if (!screen->isSearchMode())
        QTest::mouseClick(screen->bbtCancel, Qt::LeftButton);
    QTest::mouseClick(screen->bbtSearch, Qt::LeftButton);
    EXPECT_EQ(screen->rgrGrid->rowCountFetched(), 3);
    EXPECT_EQ(dialogs->errors().size(), 1);
}

} // namespace
