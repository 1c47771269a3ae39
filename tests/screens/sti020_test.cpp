#include "common/globals.h"
#include "db/query.h"
#include "screens/targets/target_import.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"

#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace kelo;
using namespace kelo::screens;

namespace {

// The target sheet in every format: the heading row "목표등록일자, 업장코드, Division,
// Guests, 목표금액, REMARK" and 24 targets of outlets 3001–3003 from 5 January 2027, the
// dates typed as date cells, one amount 1234567.5.
const QString kSamples = QStringLiteral(KELO_SPREADSHEETS_DIR);

class TargetImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        Globals() = GlobalValues{};
        Globals().empNo = QStringLiteral("20000001");
        Globals().clientIP = QStringLiteral("10.0.0.7");
        exec("DELETE FROM JH040MS");
        screen = std::make_unique<TfrmSTI020>(connection);
        screen->resize(1028, 600);
        screen->show();
    }
    void exec(const char *sql) {
        db::Query q(connection);
        q.setSql(QLatin1String(sql));
        q.exec();
    }
    QString query(const QString &sql) { return test::QueryText(connection, sql); }
    QStringList rows() const {
        QStringList out;
        for (int r = 0; r < screen->rgrGrid->rowCountFetched(); ++r) {
            QStringList cells;
            for (int c = 0; c < 6; ++c)
                cells << screen->rgrGrid->text(r, c);
            out << cells.join(u'|');
        }
        return out;
    }
    // Search (F3) with the file chosen in the file dialog (empty: cancelled).
    void import(const QString &path) {
        dialogs->answerFile(path);
        screen->bbtSearchClick();
    }

    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
    test::ScriptedDialogsScope dialogs;
    std::unique_ptr<TfrmSTI020> screen;
};

TEST_F(TargetImportTest, EveryFormatFillsTheSameGrid) {
    QStringList first;
    for (const char *name : {"sample.xlsx", "sample.xls", "sample.ods"}) {
        SCOPED_TRACE(name);
        import(kSamples + u'/' + QLatin1String(name));
        EXPECT_TRUE(dialogs->errors().isEmpty()) << dialogs->errors().join(u'|').toStdString();
        EXPECT_TRUE(screen->SheetLoaded);
        EXPECT_FALSE(screen->isSearchMode()); // edit mode, and F3 imports there too
        EXPECT_EQ(screen->panCnt->text(), QStringLiteral("25"));
        EXPECT_EQ(screen->panName->text(), QStringLiteral("목표"));
        EXPECT_FALSE(screen->gauge->isVisible());
        const QStringList grid = rows();
        ASSERT_EQ(grid.size(), 25);
        EXPECT_EQ(grid[0], QStringLiteral("목표등록일자|업장코드|Division|Guests|목표금액|REMARK"));
        EXPECT_EQ(grid[1], QStringLiteral("20270105|3001|객실|10|1500000|첫 줄 메모  (공백 둘)"));
        EXPECT_EQ(grid[6], QStringLiteral("20270110|3003|식음|25|1234567.5|비고 6번째 목표"));
        if (first.isEmpty())
            first = grid;
        EXPECT_EQ(grid, first);
    }
}

// The update inserts every row by itself with division '11'; the heading row is refused by
// the table, and the message says how many rows were stored and refused, and why.
TEST_F(TargetImportTest, UpdateStoresEachRowAndReportsTheRefused) {
    import(kSamples + QStringLiteral("/sample.xlsx"));
    dialogs->clear();
    QTest::mouseClick(screen->btnSave1, Qt::LeftButton);
    ASSERT_EQ(dialogs->messages().size(), 1);
    const QString message = dialogs->messages().first();
    EXPECT_TRUE(message.startsWith(QStringLiteral("업데이트가 완료 되었습니다.25\r\r저장 24건, "
                                                  "거부 1건\r1행: ")))
        << message.toStdString();
    EXPECT_EQ(screen->lastUpload.stored, 24);
    EXPECT_EQ(screen->lastUpload.refused, 1);
    EXPECT_EQ(query(QStringLiteral(R"sql(
SELECT COUNT(*), COUNT(DISTINCT DIVISION), MIN(DIVISION), SUM(SALE_AMT), MIN(U_EMP_NO)
FROM JH040MS
)sql")),
              QStringLiteral("24|1|11|103484567.5|20000001"));
    EXPECT_EQ(query(QStringLiteral(R"sql(
SELECT SALE_DATE, UPJANG_CODE, GUESTS, REMARKS, U_IP
FROM JH040MS
WHERE SALE_DATE = '20270105'
)sql")),
              QStringLiteral("20270105|3001|10|첫 줄 메모  (공백 둘)|10.0.0.7"));
    EXPECT_FALSE(screen->gauge->isVisible());

    // Pressed again, every row is a duplicate now: nothing more is stored.
    dialogs->clear();
    QTest::mouseClick(screen->btnSave1, Qt::LeftButton);
    EXPECT_EQ(screen->lastUpload.stored, 0);
    EXPECT_EQ(screen->lastUpload.refused, 25);
    EXPECT_TRUE(dialogs->messages().first().endsWith(QStringLiteral("\r…")));
    EXPECT_EQ(query(QStringLiteral("SELECT COUNT(*) FROM JH040MS")), QStringLiteral("24"));
}

TEST_F(TargetImportTest, AFileThatCannotBeReadSaysWhyAndResetsTheGrid) {
    import(kSamples + QStringLiteral("/sample.ods"));
    ASSERT_EQ(screen->rgrGrid->rowCountFetched(), 25);
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("targets.xlsx"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("SALE_DATE,UPJANG_CODE\n20270105,3001\n");
    file.close();
    // A FIFO: opening it would wait for a writer for ever.
    const QString fifo = dir.filePath(QStringLiteral("targets.ods"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QString path;
        QString message;
    } cases[] = {
        {text, QStringLiteral("스프레드시트 파일이 아닙니다: targets.xlsx")},
        {dir.filePath(QStringLiteral("missing.xls")),
         QStringLiteral("파일을 열 수 없습니다: missing.xls")},
        {fifo,
         QStringLiteral("파일을 열 수 없습니다: targets.ods (일반 파일이 아닙니다: FIFO(파이프))")},
        // 1.5 KB: a heading in A1 and one value in A1048576.
        {kSamples + QStringLiteral("/last-row.xlsx"),
         QStringLiteral("행이 너무 많습니다: last-row.xlsx (1,048,576행에 값이 있습니다. 최대 "
                        "65,536행까지 읽습니다)")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        dialogs->clear();
        import(c.path);
        ASSERT_EQ(dialogs->errors().size(), 1);
        EXPECT_TRUE(dialogs->errors().first().startsWith(c.message))
            << dialogs->errors().first().toStdString();
        EXPECT_EQ(rows(), QStringList{QStringLiteral("|||||")});
        EXPECT_EQ(screen->panCnt->text(), QStringLiteral("0"));
        EXPECT_TRUE(screen->panName->text().isEmpty());
        EXPECT_FALSE(screen->SheetLoaded);
        EXPECT_FALSE(screen->gauge->isVisible());
    }
    // Nothing to update after a failed import.
    dialogs->clear();
    QTest::mouseClick(screen->btnSave1, Qt::LeftButton);
    EXPECT_TRUE(dialogs->messages().isEmpty());

    // A cancelled chooser changes nothing and leaves the screen in edit mode.
    import(QString());
    EXPECT_FALSE(screen->isSearchMode());
    EXPECT_TRUE(dialogs->errors().isEmpty());
}

TEST_F(TargetImportTest, TheRemarkColumnTakesTheRestOfTheWidth) {
    screen->resize(1200, 600);
    QCoreApplication::processEvents();
    import(kSamples + QStringLiteral("/sample.xls")); // an import empties the grid first
    int five = 0;
    for (int c = 0; c < 5; ++c)
        five += screen->rgrGrid->columnWidth(c);
    EXPECT_EQ(five + screen->rgrGrid->columnWidth(5), screen->rgrGrid->width());
}

} // namespace
