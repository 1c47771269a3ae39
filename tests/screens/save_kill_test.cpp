// A save the client reports is in the database for everyone: the client is killed with
// SIGKILL right after each kind of save, and the row is read back by this process.
#include "db/connection.h"
#include "support/schema_database.h"

#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>

using namespace kelo;

namespace {

const QString kSamples = QStringLiteral(KELO_SPREADSHEETS_DIR);

// The probe: the client's screens in a process of their own (save_probe.cpp).
class Client {
public:
    explicit Client(const QString &appDir) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KELO_APP_DIR"), appDir);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(KELO_SAVE_PROBE_PROGRAM), QStringList());
        EXPECT_EQ(readLine(), QStringLiteral("ready"));
    }
    ~Client() { kill(); }
    // Sends a command and returns what the screen said.
    QStringList run(const QString &command) {
        m_process.write(command.toUtf8() + '\n');
        m_process.waitForBytesWritten(10000);
        QStringList said;
        for (QString line = readLine(); line != QLatin1String("done"); line = readLine()) {
            if (line.isNull())
                return said << QStringLiteral("<the probe ended>");
            said << line.mid(6);
        }
        return said;
    }
    // Ends the client as a crash or a power cut would: nothing runs after the save.
    void kill() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(m_process.processId()), SIGKILL);
        m_process.waitForFinished(10000);
    }

private:
    QString readLine() {
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(60000))
                return QString();
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }
    QProcess m_process;
};

class SaveKillTest : public ::testing::Test {
protected:
    QString rows(const QString &sql) {
        // A connection of its own, opened after the kill: what every other user sees.
        db::Connection other;
        other.setParams(db.connection().params());
        other.open();
        return test::QueryText(other, sql);
    }
    test::SchemaDatabase db;
};

// Every kind of save, the client killed at once after it said so.
TEST_F(SaveKillTest, EveryReportedSaveOutlivesTheClient) {
    db.exec(QStringLiteral(R"sql(
INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME)
VALUES ('1101', '베로호텔 객실');
INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT)
VALUES ('20240301', '1101', '11', 10, 1000);
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, NET_AMT)
VALUES ('20040415', '1001', '10', 5)
)sql"));
    struct Case {
        const char *command, *said, *check, *expected;
    };
    const Case cases[] = {
        {"weather 20040407 04", "자료를 저장했습니다.",
         "SELECT WEATHER FROM SA010MS WHERE SALE_DATE = '20040407'", "04"},
        {"target 202403 1101 77", "자료를 저장하였습니다.",
         "SELECT GUESTS FROM JH040MS WHERE SALE_DATE = '20240301'", "77"},
        {"import SAMPLE", "업데이트가 완료 되었습니다.",
         "SELECT COUNT(*) FROM JH040MS WHERE SALE_DATE LIKE '2027%'", "24"},
        {"build 20040415", "자료를 저장하였습니다.",
         "SELECT COUNT(*) FROM SA030MS WHERE SALE_DATE = '20040415'", "0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        Client client(db.dir());
        const QString command = QString::fromUtf8(c.command).replace(
            QStringLiteral("SAMPLE"), kSamples + QStringLiteral("/sample.xlsx"));
        const QStringList said = client.run(command);
        ASSERT_FALSE(said.isEmpty());
        EXPECT_TRUE(said.last().startsWith(QString::fromUtf8(c.said)))
            << said.join(u'|').toStdString();
        client.kill();
        EXPECT_EQ(rows(QString::fromUtf8(c.check)), QString::fromUtf8(c.expected));
    }
}

// The file dialogs list the database's folder without touching the database file: another
// program that reads the database afterwards leaves the client's later saves in place.
TEST_F(SaveKillTest, AFileDialogInTheDatabasesFolderLosesNoLaterSave) {
    if (test::OnPostgres())
        GTEST_SKIP() << "the database is a file on SQLite only";
    // This test's own connection stays shut: the program that reads is the only other one.
    db.connection().close();
    int day = 1;
    // Both kinds of dialog cancelled, and the database itself picked as the file to import.
    for (const char *command : {"dialog open", "dialog save", "import DB"}) {
        SCOPED_TRACE(command);
        const QString date = QStringLiteral("2004040%1").arg(day++);
        Client client(db.dir());
        const QStringList said =
            client.run(QString::fromLatin1(command).replace(QStringLiteral("DB"), db.file()));
        if (QLatin1String(command).startsWith(QLatin1String("dialog")))
            EXPECT_EQ(said, QStringList{QStringLiteral("chosen ''")});
        else
            EXPECT_TRUE(said.join(u'|').contains(
                QStringLiteral("프로그램이 사용 중인 데이터베이스 파일입니다")))
                << said.join(u'|').toStdString();
        // Another program reads the database and ends (sqlite3, kelo-db, a second sign-in).
        EXPECT_EQ(rows(QStringLiteral("SELECT 1 FROM DUAL")), QStringLiteral("1"));
        EXPECT_EQ(client.run(QStringLiteral("weather %1 04").arg(date)),
                  QStringList{QStringLiteral("자료를 저장했습니다.")});
        client.kill();
        EXPECT_EQ(
            rows(QStringLiteral("SELECT WEATHER FROM SA010MS WHERE SALE_DATE = '%1'").arg(date)),
            QStringLiteral("04"));
    }
}

} // namespace
