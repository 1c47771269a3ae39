// Definitions written to hurt: what a report's statements may not reach on the server,
// and the limits every statement runs under, on both engines.

#include "common/appdir.h"
#include "db/dberror.h"
#include "db/query.h"
#include "support/schema_database.h"
#include "viewer/execution.h"
#include "viewer/fixtures.h"
#include "viewer/rdviewer.h"

#include <QFile>
#include <QSettings>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::viewer;

namespace {

// A report of one data set whose field A a detail band prints.
QByteArray OneSetDefinition(const QString &sql) {
    return QStringLiteral(R"xml(<?xml version="1.0" encoding="UTF-8"?>
<report name="MIS(TEST)">
  <dataset name="rows">
    <sql><![CDATA[%1]]></sql>
  </dataset>
  <band kind="detail" dataset="rows" height="5">
    <field x="0" y="0" w="80" h="5" field="A"/>
  </band>
</report>
)xml")
        .arg(sql)
        .toUtf8();
}

RunResult RunDefinition(db::Connection &c, const QString &sql) {
    ParseResult parsed = ParseDefinition(OneSetDefinition(sql), QStringLiteral("MIS(TEST).mrd"), c);
    if (!parsed.report) {
        RunResult failed;
        failed.error = parsed.error;
        return failed;
    }
    return RunReport(*parsed.report, {});
}

// Kelo_S.ini of the test's AppDir with only the given [Report] setting.
void SetReportLimit(const char *key, int value) {
    QFile::remove(AppFile(QStringLiteral("Kelo_S.ini")));
    QSettings ini(AppFile(QStringLiteral("Kelo_S.ini")), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Report/") + QLatin1String(key), value);
}

const QString kStopped =
    QStringLiteral("MIS(TEST).mrd: 데이터 집합 rows을(를) 읽다가 멈췄습니다: ");

// A desk signs in as a login role that is no superuser, as on a resort's server; a
// second desk's session stands for the other users.
class ReportRole : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::OnPostgres())
            GTEST_SKIP() << "the server's sessions, locks and roles";
        db.emplace();
        db->exec(QString::fromUtf8(test::SalesRows()));
        desk.setParams(test::DeskLoginParams());
        desk.open();
        other.setParams(test::DeskLoginParams());
        other.open();
        otherPid = test::QueryText(other, QStringLiteral("SELECT pg_backend_pid()"));
    }
    bool OtherAlive() {
        return test::QueryText(desk, QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity "
                                                    "WHERE pid = %1")
                                         .arg(otherPid)) == QLatin1String("1");
    }
    std::optional<test::SchemaDatabase> db;
    db::Connection desk, other;
    QString otherPid;
};

TEST_F(ReportRole, ADefinitionCannotEndSessionsHoldLocksOrChangeSettings) {
    struct {
        const char *sql;
        const char *refused; // empty: the report runs
    } cases[] = {
        {"SELECT UPJANG_NAME AS A FROM JA010MS ORDER BY 1", ""},
        {"SELECT CAST(pg_terminate_backend(pid) AS TEXT) AS A FROM pg_stat_activity "
         "WHERE usename = session_user AND pid <> pg_backend_pid()",
         "pg_terminate_backend(integer,bigint)"},
        {"SELECT CAST(pg_cancel_backend(pid) AS TEXT) AS A FROM pg_stat_activity "
         "WHERE usename = session_user",
         "pg_cancel_backend(integer)"},
        {"SELECT CAST(pg_advisory_lock(4242) AS TEXT) AS A FROM DUAL", "pg_advisory_lock(bigint)"},
        {"SELECT 1 AS A FROM \"pg_catalog\".pg_try_advisory_lock(4242)",
         "pg_try_advisory_lock(bigint)"},
        {"SELECT set_config('role', session_user, false) AS A FROM DUAL",
         "set_config(text,text,boolean)"},
        {"SELECT set_config('statement_timeout', '0', false) AS A FROM DUAL",
         "set_config(text,text,boolean)"},
        {"SELECT CAST(query_to_xml('SELECT pg_advisory_lock(4242)', true, false, NULL) AS TEXT) "
         "AS A FROM DUAL",
         "query_to_xml(text,boolean,boolean,text)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sql);
        const RunResult run = RunDefinition(desk, QString::fromUtf8(c.sql));
        if (!*c.refused) {
            EXPECT_TRUE(run.error.isEmpty()) << run.error.toStdString();
            EXPECT_TRUE(run.document.texts().contains(QStringLiteral("가든")));
        } else {
            EXPECT_TRUE(run.error.startsWith(QStringLiteral(
                "MIS(TEST).mrd: 데이터 집합 rows은(는) 보고서가 부를 수 없는 함수를 부릅니다: ")))
                << run.error.toStdString();
            EXPECT_TRUE(run.error.contains(QString::fromUtf8(c.refused)))
                << run.error.toStdString();
        }
        EXPECT_TRUE(OtherAlive());
        EXPECT_EQ(test::QueryText(desk, QStringLiteral("SELECT COUNT(*) FROM pg_locks "
                                                       "WHERE locktype = 'advisory'")),
                  QStringLiteral("0"));
        EXPECT_EQ(test::QueryText(desk, QStringLiteral("SELECT current_user")),
                  QStringLiteral("kelo_desk"));
    }
}

// Beneath the check of the calls: while the statements run, the session is the report
// role, which may read the tables but has none of the desk's rights over its sessions.
TEST_F(ReportRole, TheStatementsRunAsARoleThatMayOnlyRead) {
    {
        ReadOnlyScope scope(desk, 5000);
        EXPECT_EQ(test::QueryText(desk, QStringLiteral("SELECT current_user")),
                  QStringLiteral("kelo_report"));
        EXPECT_EQ(
            test::QueryText(desk, QStringLiteral("SELECT current_setting('statement_timeout')")),
            QStringLiteral("5s"));
        EXPECT_EQ(test::QueryText(desk, QStringLiteral("SELECT COUNT(*) FROM JA010MS "
                                                       "WHERE UPJANG_CODE IN ('T01', 'T02')")),
                  QStringLiteral("2"));
        db::Query q(desk);
        q.setSql(QStringLiteral("SELECT CAST(pg_terminate_backend(:APID) AS TEXT)"));
        q.setParam(QStringLiteral("APID"), otherPid);
        EXPECT_THROW(q.open(), db::DbError);
    }
    EXPECT_TRUE(OtherAlive());
    EXPECT_EQ(test::QueryText(desk, QStringLiteral("SELECT current_user")),
              QStringLiteral("kelo_desk"));
    EXPECT_EQ(test::QueryText(desk, QStringLiteral("SELECT current_setting('statement_timeout')")),
              QStringLiteral("0"));
}

// A statement that runs past the time limit is stopped with the report's name, and the
// connection is as it was.
TEST(ReportLimits, AStatementPastItsTimeLimitIsStopped) {
    test::TempDatabase db;
    SetReportLimit("TimeLimit", 1);
    QStringList statements = {
        QStringLiteral("WITH RECURSIVE R(N) AS (SELECT 1 FROM DUAL UNION ALL SELECT N + 1 FROM R "
                       "WHERE N < 2000000000) SELECT COUNT(*) AS A FROM R")};
    if (test::OnPostgres())
        statements << QStringLiteral("SELECT CAST(pg_sleep(30) AS TEXT) AS A FROM DUAL");
    for (const QString &sql : statements) {
        SCOPED_TRACE(sql.toStdString());
        const RunResult run = RunDefinition(db.connection(), sql);
        EXPECT_EQ(run.error, kStopped + QStringLiteral("시간 한도 1초를 넘어 중단했습니다."));
        EXPECT_EQ(test::QueryText(db.connection(), QStringLiteral("SELECT 1 FROM DUAL")),
                  QStringLiteral("1"));
        EXPECT_FALSE(db.connection().inTransaction());
        if (test::OnPostgres()) {
            EXPECT_EQ(
                test::QueryText(db.connection(),
                                QStringLiteral("SELECT current_setting('statement_timeout')")),
                QStringLiteral("0"));
        }
    }
}

// The memory a statement takes on SQLite and what one data set may hold, on both
// engines: a huge value and rows without end.
TEST(ReportLimits, MemoryAndWhatADataSetHolds) {
    test::TempDatabase db;
    struct {
        bool sqliteOnly;
        const char *key;
        int megabytes;
        const char *sql;
        const char *stopped;
    } cases[] = {
        {true, "MemoryLimit", 64, "SELECT LENGTH(printf('%.*c', 100000000, 'x')) AS A FROM DUAL",
         "메모리 한도 64MB를 넘어 중단했습니다."},
        {false, "DataSetLimit", 1, "SELECT RPAD('x', 3000000, 'x') AS A FROM DUAL",
         "읽은 자료가 한도 1MB를 넘어 중단했습니다."},
        {false, "DataSetLimit", 1,
         "WITH RECURSIVE R(N) AS (SELECT 1 FROM DUAL UNION ALL SELECT N + 1 FROM R) "
         "SELECT N AS A FROM R",
         "읽은 자료가 한도 1MB를 넘어 중단했습니다."},
    };
    for (const auto &c : cases) {
        if (c.sqliteOnly && test::OnPostgres())
            continue;
        SCOPED_TRACE(c.sql);
        SetReportLimit(c.key, c.megabytes);
        const RunResult run = RunDefinition(db.connection(), QString::fromUtf8(c.sql));
        EXPECT_EQ(run.error, kStopped + QString::fromUtf8(c.stopped));
        EXPECT_EQ(test::QueryText(db.connection(), QStringLiteral("SELECT 1 FROM DUAL")),
                  QStringLiteral("1"));
    }
}

class ViewerLimits : public ::testing::Test {
protected:
    // Opens the definition from a file, as a screen does, in a viewer on the screen.
    void Open(const QString &sql) {
        const QString path = db.dir() + QStringLiteral("/MIS(TEST).mrd");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(OneSetDefinition(sql));
        f.close();
        viewer.OpenReport(path, QString());
    }
    test::TempDatabase db;
    Rdviewer40 viewer{db.connection()};
};

// A value of 300,000,000 characters ended the client inside the text layout; now the
// data set refuses it, and a long value that fits is drawn cut, and the viewer says so.
TEST_F(ViewerLimits, AHugeTextValueIsRefusedAndALongOneIsDrawnCut) {
    viewer.resize(800, 600);
    viewer.show();
    Open(test::OnPostgres()
             ? QStringLiteral("SELECT repeat('x', 300000000) AS A FROM DUAL")
             : QStringLiteral("SELECT printf('%.*c', 300000000, 'x') AS A FROM DUAL"));
    viewer.grab();
    EXPECT_EQ(viewer.state(), Rdviewer40::State::Failed);
    // SQLite's own memory for the text passes its limit first; the server's value comes
    // whole and passes what one data set may hold.
    EXPECT_TRUE(viewer.message().endsWith(
        kStopped + (test::OnPostgres()
                        ? QStringLiteral("읽은 자료가 한도 256MB를 넘어 중단했습니다.")
                        : QStringLiteral("메모리 한도 512MB를 넘어 중단했습니다."))))
        << viewer.message().toStdString();

    Open(QStringLiteral("SELECT RPAD('x', 1000000, 'x') AS A FROM DUAL"));
    viewer.grab();
    ASSERT_EQ(viewer.state(), Rdviewer40::State::Shown) << viewer.message().toStdString();
    const QStringList texts = viewer.document()->texts();
    ASSERT_EQ(texts.size(), 1);
    // The first 10,000 characters, cut further to the item's width as every text is.
    EXPECT_TRUE(texts.front().endsWith(QChar(0x2026)));
    EXPECT_LE(texts.front().size(), 10001);
    EXPECT_EQ(texts.front().chopped(1), QString(texts.front().size() - 1, u'x'));
    EXPECT_EQ(viewer.status(),
              QStringLiteral("10,000자가 넘는 값(1개)은 앞의 10,000자만 보입니다."));
}

// A report that runs without end: the viewer keeps painting, offers its cancel button
// and keeps every other statement off the connection until the user cancels.
TEST_F(ViewerLimits, TheUserCancelsARunningReport) {
    viewer.resize(800, 600);
    viewer.show();
    auto *cancel = viewer.findChild<QToolButton *>(QStringLiteral("bbtCancelReport"));
    ASSERT_TRUE(cancel);
    QString busy;
    QTimer user;
    user.setInterval(20);
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (!cancel->isVisible())
            return;
        try {
            test::QueryText(db.connection(), QStringLiteral("SELECT 1 FROM DUAL"));
        } catch (const db::DbError &e) {
            busy = e.message();
        }
        user.stop();
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    user.start();
    Open(QStringLiteral("WITH RECURSIVE R(N) AS (SELECT 1 FROM DUAL UNION ALL SELECT N + 1 "
                        "FROM R) SELECT COUNT(*) AS A FROM R"));
    EXPECT_EQ(viewer.state(), Rdviewer40::State::Failed);
    EXPECT_TRUE(
        viewer.message().endsWith(kStopped + QStringLiteral("사용자가 취소하여 중단했습니다.")))
        << viewer.message().toStdString();
    EXPECT_EQ(busy, QStringLiteral("보고서의 자료를 읽는 중입니다. 끝나거나 취소된 뒤에 다시 "
                                   "시도하십시오."));
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_EQ(test::QueryText(db.connection(), QStringLiteral("SELECT 1 FROM DUAL")),
              QStringLiteral("1"));
}

} // namespace
