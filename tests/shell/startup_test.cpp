#include "database/schema.h"
#include "db/connection.h"
#include "shell/password.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>
#include <gtest/gtest.h>

namespace {

namespace database = kelo::database;

// The client as the launcher starts it, in a folder of its own settings files.
class ClientProcess : public ::testing::Test {
protected:
    void SetUp() override {
        suffix = QUuid::createUuid().toString(QUuid::Id128).left(12);
        database::CreateDatabase(dir.filePath(QStringLiteral("c.db")), false);
        write(QStringLiteral("Databases.ini"), "[DEMO]\nDriver=SQLITE\nDatabase=c.db\n");
    }
    void write(const QString &name, const QByteArray &text) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QProcessEnvironment environment(bool quitWhenShown) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KELO_APP_DIR"), dir.path());
        env.insert(QStringLiteral("KELO_DIALOGS"), QStringLiteral("stderr"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("KELO_IPC_SUFFIX"), suffix);
        if (quitWhenShown)
            env.insert(QStringLiteral("KELO_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
        return env;
    }
    struct Result {
        int code;
        QString out, err;
    };
    Result run(const QStringList &args) {
        QProcess p;
        p.setProcessEnvironment(environment(true));
        p.start(QStringLiteral(KELO_CLIENT_PROGRAM), args);
        EXPECT_TRUE(p.waitForFinished(30000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    QTemporaryDir dir;
    QString suffix;
};

TEST_F(ClientProcess, OnlyFourArgumentsStartIt) {
    const QStringList four = {QStringLiteral("DEMO"), QStringLiteral("KLUSER"),
                              QStringLiteral("20000001"), QStringLiteral("관리자")};
    for (const QStringList &args : {four.mid(0, 3), four + QStringList{QStringLiteral("x")}}) {
        const Result r = run(args);
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("이 프로그램은 단독으로 실행되지 않습니다.\n메인 "
                                                  "프로그램(Kelo.exe)으로 실행하십시오.")))
            << r.err.toStdString();
        EXPECT_FALSE(r.out.contains(QStringLiteral("main window shown")));
    }
    const Result ok = run(four);
    EXPECT_EQ(ok.code, 0) << ok.err.toStdString();
    EXPECT_TRUE(ok.out.contains(QStringLiteral("main window shown"))) << ok.out.toStdString();
    // Four empty arguments go on to the connection (and fail there).
    const Result empty = run({QString(), QString(), QString(), QString()});
    EXPECT_EQ(empty.code, 1);
    EXPECT_TRUE(empty.err.contains(QStringLiteral("데이터베이스와 연결할 수 없습니다.")))
        << empty.err.toStdString();
}

TEST_F(ClientProcess, ConnectionFailuresAreNamed) {
    const Result alias = run({QStringLiteral("NOSUCH"), QStringLiteral("KLUSER"),
                              QStringLiteral("1"), QStringLiteral("x")});
    EXPECT_EQ(alias.code, 1);
    EXPECT_TRUE(
        alias.err.contains(QStringLiteral("에러내용:\nThe database alias 'NOSUCH' is not defined")))
        << alias.err.toStdString();

    write(QStringLiteral("Databases.ini"), "[DEMO]\nDriver=SQLITE\nDatabase=gone.db\n");
    const Result missing = run({QStringLiteral("DEMO"), QStringLiteral("KLUSER"),
                                QStringLiteral("1"), QStringLiteral("x")});
    EXPECT_TRUE(missing.err.contains(QStringLiteral("does not exist")))
        << missing.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("gone.db"))));

    write(QStringLiteral("Databases.ini"), "[DEMO]\nDriver=SQLITE\nDatabase=c.db\n");
    write(QStringLiteral("SBUpdate.ini"), "[PROGRAM]\nPASS=12345XYZ\n");
    const Result pass = run({QStringLiteral("DEMO"), QStringLiteral("KLUSER"), QStringLiteral("1"),
                             QStringLiteral("x")});
    EXPECT_EQ(pass.code, 1);
    EXPECT_TRUE(pass.err.contains(QStringLiteral("PASS"))) << pass.err.toStdString();

    write(QStringLiteral("SBUpdate.ini"),
          "[PROGRAM]\nPASS=" + kelo::shell::EncodePassword(QStringLiteral("secret")).toLatin1() +
              "\n");
    EXPECT_EQ(run({QStringLiteral("DEMO"), QStringLiteral("KLUSER"), QStringLiteral("1"),
                   QStringLiteral("x")})
                  .code,
              0);
}

// Files that are no database of this system end the start with the reason, not an abort.
TEST_F(ClientProcess, EmptyAndForeignFilesAreNamedAtStartUp) {
    QFile empty(dir.filePath(QStringLiteral("empty.db")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    kelo::db::Connection::createSqliteFile(dir.filePath(QStringLiteral("foreign.db")));
    for (const char *file : {"empty.db", "foreign.db"}) {
        write(QStringLiteral("Databases.ini"),
              QByteArray("[DEMO]\nDriver=SQLITE\nDatabase=") + file + "\n");
        const Result r = run({QStringLiteral("DEMO"), QStringLiteral("KLUSER"), QStringLiteral("1"),
                              QStringLiteral("x")});
        EXPECT_EQ(r.code, 1) << file;
        EXPECT_TRUE(r.err.contains(QStringLiteral("데이터베이스와 연결할 수 없습니다.")))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("이 시스템의 데이터베이스가 아닙니다")))
            << r.err.toStdString();
    }
}

// Without a display the programs say so and end, instead of Qt's abort.
TEST_F(ClientProcess, WithoutADisplayTheProgramSaysSo) {
    QProcessEnvironment env = environment(true);
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KELO_CLIENT_PROGRAM), {QStringLiteral("DEMO"), QStringLiteral("KLUSER"),
                                                  QStringLiteral("1"), QStringLiteral("x")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardError().contains("needs a graphical display"));
}

// The demo's photograph hook opens a program and presses its search button: bbtSearch on the
// inquiry screens, BitBtn1 on the report viewer programs.
TEST_F(ClientProcess, TheScreenshotHookSearchesInEveryKindOfProgram) {
    write(QStringLiteral("Kelo_S.ini"), "[ReportServer]\nMain=http://127.0.0.1:9\n");
    const struct {
        const char *program, *button;
    } cases[] = {{"SRS170", "BitBtn1"}, {"SBS020", "bbtSearch"}};
    for (const auto &c : cases) {
        QProcessEnvironment env = environment(false);
        env.insert(QStringLiteral("KELO_SCREENSHOT"), dir.filePath(QStringLiteral("shot.png")));
        env.insert(QStringLiteral("KELO_OPEN_PROGRAM"), QLatin1String(c.program));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KELO_CLIENT_PROGRAM),
                {QStringLiteral("DEMO"), QStringLiteral("KLUSER"), QStringLiteral("20000001"),
                 QStringLiteral("관리자")});
        ASSERT_TRUE(p.waitForFinished(30000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_EQ(p.exitCode(), 0) << c.program;
        EXPECT_TRUE(out.contains(QStringLiteral("searched with ") + QLatin1String(c.button)))
            << c.program << ": " << out.toStdString();
        EXPECT_TRUE(QFile::remove(dir.filePath(QStringLiteral("shot.png")))) << c.program;
    }
}

TEST_F(ClientProcess, ASecondStartOnlyBringsTheFirstForward) {
    QProcess first;
    first.setProcessEnvironment(environment(false));
    first.start(QStringLiteral(KELO_CLIENT_PROGRAM),
                {QStringLiteral("DEMO"), QStringLiteral("KLUSER"), QStringLiteral("20000001"),
                 QStringLiteral("x")});
    ASSERT_TRUE(first.waitForStarted(10000));
    // Wait until the first copy's main window listens.
    QElapsedTimer t;
    t.start();
    bool up = false;
    while (!up && t.elapsed() < 20000) {
        QLocalSocket probe;
        probe.connectToServer(QStringLiteral("TfrmS0Main") + suffix);
        up = probe.waitForConnected(200);
        if (!up)
            QThread::msleep(100);
    }
    ASSERT_TRUE(up);
    QProcess second;
    second.setProcessEnvironment(environment(false));
    second.start(QStringLiteral(KELO_CLIENT_PROGRAM),
                 {QStringLiteral("DEMO"), QStringLiteral("KLUSER"), QStringLiteral("20000001"),
                  QStringLiteral("x")});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(second.readAllStandardError().contains("ERROR"), false);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    first.waitForFinished(10000);
}

} // namespace
