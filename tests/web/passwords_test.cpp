// The passwords of the web sign-in: the rule, the hash, the store on the engine the tests run
// on, kelo-db's commands, and the report role kept out of the table.

#include "web/passwords.h"

#include "database/demo.h"
#include "database/schema.h"
#include "db/dialect.h"
#include "db/query.h"
#include "support/demo_database.h"
#include "support/schema_database.h"
#include "tools/tool_support.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace kelo;

const QString kShort = QStringLiteral("비밀번호는 8자 이상이어야 합니다.");
const QString kLong = QStringLiteral("비밀번호는 128자를 넘을 수 없습니다.");
const QString kControl = QStringLiteral("비밀번호에 제어 문자(탭, 줄바꿈 등)를 쓸 수 없습니다.");
const QString kBroken = QStringLiteral("비밀번호에 올바르지 않은 문자가 있습니다.");

QString repeated(char32_t c, int times) {
    return QString::fromUcs4(std::u32string(size_t(times), c).data(), times);
}

// "한" written as its three jamo, as some systems send it.
const QString kDecomposedHan = QString::fromUcs4(U"\u1112\u1161\u11AB");

TEST(PasswordRule, CountsCharactersAndRefusesControlCharacters) {
    const struct {
        const char *what;
        QString password;
        QString refusal; // empty: accepted
    } cases[] = {
        {"seven characters", QStringLiteral("abcdefg"), kShort},
        {"eight characters", QStringLiteral("abcdefgh"), QString()},
        {"eight Hangul syllables", QStringLiteral("비밀번호비밀번호"), QString()},
        {"blanks are characters", QStringLiteral("pass wor"), QString()},
        {"four keys beyond the basic plane (eight UTF-16 units)", repeated(U'\U0001F511', 4),
         kShort},
        {"jamo counted as the syllable they compose", QStringLiteral("abcdef") + kDecomposedHan,
         kShort},
        {"128 characters", QString(128, u'a'), QString()},
        {"129 characters", QString(129, u'a'), kLong},
        {"65 keys beyond the basic plane (130 UTF-16 units)", repeated(U'\U0001F511', 65),
         QString()},
        {"a tab", QStringLiteral("pass\tword"), kControl},
        {"a trailing line end", QStringLiteral("password\n"), kControl},
        {"a carriage return", QStringLiteral("password\r"), kControl},
        {"a NUL", QStringLiteral("pass") + QChar(u'\0') + QStringLiteral("word"), kControl},
        {"DEL", QStringLiteral("password") + QChar(0x7f), kControl},
        {"a C1 control (NEL)", QStringLiteral("password") + QChar(0x85), kControl},
        {"a lone surrogate", QStringLiteral("password") + QChar(0xD800), kBroken},
    };
    for (const auto &c : cases)
        EXPECT_EQ(web::PasswordRuleError(c.password), c.refusal) << c.what;
}

TEST(PasswordHash, SaltedArgon2idThatVerifiesOnlyThePassword) {
    const QString password = QStringLiteral("한라산 correct horse");
    const QByteArray first = web::HashPassword(password);
    const QByteArray second = web::HashPassword(password);
    EXPECT_NE(first, second) << "a salt of its own each time";
    for (const QByteArray &hash : {first, second}) {
        EXPECT_TRUE(hash.startsWith("$argon2id$v=19$m=65536,t=2,p=1$")) << hash.toStdString();
        EXPECT_FALSE(hash.contains(password.toUtf8()));
        EXPECT_FALSE(hash.contains("correct horse"));
        EXPECT_TRUE(web::PasswordMatches(hash, password));
        EXPECT_FALSE(web::PasswordMatches(hash, password + u'!'));
        EXPECT_FALSE(web::PasswordMatches(hash, QStringLiteral("한라산 correct hors")));
        EXPECT_FALSE(web::PasswordMatches(hash, QString()));
    }
    // The same Hangul in its decomposed form is the same password.
    EXPECT_TRUE(web::PasswordMatches(web::HashPassword(QStringLiteral("한라산한라산")),
                                     kDecomposedHan + QStringLiteral("라산한라산")));

    const struct {
        const char *what;
        QByteArray hash;
    } notHashes[] = {
        {"empty", QByteArray()},
        {"the password itself", password.toUtf8()},
        {"cut short", first.left(first.size() - 5)},
        {"followed by a NUL and more", first + QByteArray(1, '\0') + "x"},
        {"longer than any hash", first + QByteArray(200, 'A')},
        {"another kind of hash",
         QByteArray("$2y$10$abcdefghijklmnopqrstuuJ8Ld7nLhV5sDS0hJmLTRCFJ0lpq")},
    };
    for (const auto &n : notHashes)
        EXPECT_FALSE(web::PasswordMatches(n.hash, password)) << n.what;
}

// A demo database (its three sign-in users and the staff), made once for the suite.
class WebPasswords : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        demo = std::make_unique<test::TempDatabase>();
        test::GenerateDemoInto(*demo, 1, QStringLiteral("20261209"));
    }
    static void TearDownTestSuite() { demo.reset(); }
    static db::Connection &c() { return demo->connection(); }
    static QString user(int i) { return database::DemoUsers().at(size_t(i)).empNo; }
    static QString userName(int i) { return database::DemoUsers().at(size_t(i)).name; }
    // The first employee who has left, and the first one in service who is no sign-in user.
    static QString leaver() {
        return test::QueryText(
            c(), QStringLiteral("SELECT MIN(EMP_NO) FROM QA010MS WHERE EMP_STAY_CODE = '02'"));
    }
    static QString staff() {
        return test::QueryText(c(), QStringLiteral("SELECT MIN(EMP_NO) FROM QA010MS WHERE "
                                                   "EMP_STAY_CODE = '01' AND EMP_NO LIKE '10%'"));
    }
    static QString storedRows(const QString &empNo) {
        return test::QueryText(c(), QStringLiteral("SELECT COUNT(*) FROM WEB_PASSWORD WHERE "
                                                   "EMP_NO = '%1'")
                                        .arg(empNo));
    }
    static std::unique_ptr<test::TempDatabase> demo;
};
std::unique_ptr<test::TempDatabase> WebPasswords::demo;

TEST_F(WebPasswords, SetOnlyForEmployeesInServiceAndByTheRule) {
    ASSERT_FALSE(leaver().isEmpty());
    const struct {
        const char *what;
        QString empNo, password, refusal;
    } cases[] = {
        {"in service", user(0), QStringLiteral("first password"), QString()},
        {"replaced", user(0), QStringLiteral("second password"), QString()},
        {"unknown", QStringLiteral("99999999"), QStringLiteral("first password"),
         QStringLiteral("사번 99999999인 직원이 없습니다.")},
        {"no number", QString(), QStringLiteral("first password"),
         QStringLiteral("사번이 비어 있습니다.")},
        {"left", leaver(), QStringLiteral("first password"),
         QStringLiteral("사번 %1인 직원(%2)은 재직 중이 아닙니다.")
             .arg(leaver(), test::QueryText(c(), QStringLiteral("SELECT EMP_K_NAME FROM QA010MS "
                                                                "WHERE EMP_NO = '%1'")
                                                     .arg(leaver())))},
        {"too short", user(1), QStringLiteral("short"), kShort},
    };
    for (const auto &s : cases)
        EXPECT_EQ(web::SetPassword(c(), s.empNo, s.password), s.refusal) << s.what;
    EXPECT_EQ(storedRows(user(0)), QStringLiteral("1"));
    for (const QString &refused : {leaver(), user(1), QStringLiteral("99999999")})
        EXPECT_EQ(storedRows(refused), QStringLiteral("0")) << refused.toStdString();
    const QString stored = test::QueryText(
        c(),
        QStringLiteral("SELECT PASSWORD_HASH FROM WEB_PASSWORD WHERE EMP_NO = '%1'").arg(user(0)));
    EXPECT_TRUE(stored.startsWith(QStringLiteral("$argon2id$"))) << stored.toStdString();
    EXPECT_FALSE(stored.contains(QStringLiteral("password")));
    EXPECT_FALSE(c().inTransaction());
}

TEST_F(WebPasswords, SignInOnlyWithTheRightPasswordOfAnEmployeeInService) {
    const QString goner = staff();
    ASSERT_EQ(web::SetPassword(c(), user(0), QStringLiteral("old password")), QString());
    ASSERT_EQ(web::SetPassword(c(), user(0), QStringLiteral("right password")), QString());
    ASSERT_EQ(web::SetPassword(c(), goner, QStringLiteral("right password")), QString());
    // The employee leaves after the password was set.
    c().executeScript(
        QStringLiteral("UPDATE QA010MS SET EMP_STAY_CODE = '02' WHERE EMP_NO = '%1'").arg(goner));

    const struct {
        const char *what;
        QString empNo, password;
        bool ok;
    } cases[] = {
        {"right", user(0), QStringLiteral("right password"), true},
        {"wrong", user(0), QStringLiteral("right passwore"), false},
        {"the one replaced", user(0), QStringLiteral("old password"), false},
        {"too long to be one", user(0), QStringLiteral("right password") + QString(200, u'x'),
         false},
        {"unknown employee", QStringLiteral("99999999"), QStringLiteral("right password"), false},
        {"no number", QString(), QStringLiteral("right password"), false},
        {"no password set", user(2), QStringLiteral("right password"), false},
        {"no longer in service", goner, QStringLiteral("right password"), false},
    };
    for (const auto &s : cases) {
        const web::SignInCheck check = web::CheckPassword(c(), s.empNo, s.password);
        EXPECT_EQ(check.ok, s.ok) << s.what;
        EXPECT_EQ(check.name, s.ok ? userName(0) : QString()) << s.what;
    }

    EXPECT_TRUE(web::ClearPassword(c(), user(0)));
    EXPECT_FALSE(web::CheckPassword(c(), user(0), QStringLiteral("right password")).ok);
    EXPECT_FALSE(web::ClearPassword(c(), user(0))) << "there was none any more";
    EXPECT_FALSE(web::ClearPassword(c(), QStringLiteral("99999999")));
    EXPECT_FALSE(c().inTransaction());
}

// kelo-db set-password with the password on standard input, as a script gives it.
test::ToolRun keloDb(const QString &appDir, const QStringList &args, const QByteArray &input) {
    QProcess p;
    p.setProcessEnvironment(test::ToolEnvironment(appDir));
    p.start(QStringLiteral(KELO_DB_PROGRAM), args);
    p.write(input);
    p.closeWriteChannel();
    test::ToolRun run;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

TEST_F(WebPasswords, KeloDbSetsAndClearsFromStandardInput) {
    test::SignInAsTestUser(demo->dir());
    const QString db = QStringLiteral("TESTDB");
    const QString empNo = user(1);
    const struct {
        const char *what;
        QStringList args;
        QByteArray input;
        int code;
        QString said;        // in stderr
        QString signsInWith; // the password that signs in afterwards, empty: none
    } steps[] = {
        {"a line",
         {"set-password", db, empNo},
         "from a script\n",
         0,
         QStringLiteral("the web sign-in password of %1 is set").arg(empNo),
         "from a script"},
        {"the first line only, its CRLF dropped",
         {"set-password", db, empNo},
         "second one here\r\nthird line\n",
         0,
         QString(),
         "second one here"},
        {"without a line end",
         {"set-password", db, empNo},
         "비밀번호비밀번호",
         0,
         QString(),
         QStringLiteral("비밀번호비밀번호")},
        {"refused by the rule",
         {"set-password", db, empNo},
         "short\n",
         1,
         kShort,
         QStringLiteral("비밀번호비밀번호")},
        {"an empty input",
         {"set-password", db, empNo},
         "",
         1,
         QStringLiteral("No password given"),
         QStringLiteral("비밀번호비밀번호")},
        {"not UTF-8",
         {"set-password", db, empNo},
         "caf\xe9 au lait\n",
         1,
         QStringLiteral("not UTF-8"),
         QStringLiteral("비밀번호비밀번호")},
        {"never on the command line",
         {"set-password", db, empNo, "on the command line"},
         "",
         2,
         QStringLiteral("not understood"),
         QStringLiteral("비밀번호비밀번호")},
        {"an unknown employee",
         {"set-password", db, "99999999"},
         "from a script\n",
         1,
         QStringLiteral("사번 99999999인 직원이 없습니다."),
         QStringLiteral("비밀번호비밀번호")},
        {"cleared",
         {"clear-password", db, empNo},
         "",
         0,
         QStringLiteral("password of %1 is removed").arg(empNo),
         QString()},
        {"cleared again",
         {"clear-password", db, empNo},
         "",
         1,
         QStringLiteral("%1 has no web sign-in password").arg(empNo),
         QString()},
    };
    for (const auto &s : steps) {
        const test::ToolRun run = keloDb(demo->dir(), s.args, s.input);
        EXPECT_EQ(run.code, s.code) << s.what << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(s.said)) << s.what << ": " << run.err.toStdString();
        if (s.signsInWith.isEmpty()) {
            EXPECT_EQ(storedRows(empNo), QStringLiteral("0")) << s.what;
        } else {
            const web::SignInCheck check = web::CheckPassword(c(), empNo, s.signsInWith);
            EXPECT_TRUE(check.ok) << s.what;
            EXPECT_EQ(check.name, userName(1)) << s.what;
        }
    }
}

// On the server, report definitions run as the report role, which reads every table but this
// one: in a new database, one brought up from the release before, and whenever the role's
// grants are given again.
TEST(WebPasswordRights, TheReportRoleCannotReadThePasswords) {
    if (!test::OnPostgres())
        GTEST_SKIP() << "the report role is the server's";
    const struct {
        const char *what;
        std::function<void(db::Connection &)> make;
    } cases[] = {
        {"a new database", [](db::Connection &) {}},
        {"upgraded from the release before",
         [](db::Connection &c) {
             c.executeScript(QStringLiteral("DROP TABLE WEB_PASSWORD; UPDATE KELO_SCHEMA_VERSION "
                                            "SET VERSION = %1")
                                 .arg(database::CurrentSchemaVersion() - 1));
             database::CheckSchema(c, database::OlderSchema::Upgrade);
         }},
        {"the role's grants given again",
         [](db::Connection &c) { c.executeScript(db::PostgresReportRoleScript()); }},
    };
    for (const auto &k : cases) {
        SCOPED_TRACE(k.what);
        test::SchemaDatabase schema;
        k.make(schema.connection());
        db::Connection desk;
        desk.setParams(test::DeskLoginParams());
        desk.open();
        desk.startTransaction();
        desk.executeScript(QStringLiteral("SET LOCAL ROLE ") + db::ReportRole());
        EXPECT_EQ(test::QueryText(desk, QStringLiteral("SELECT COUNT(*) FROM JA010MS")).isEmpty(),
                  false)
            << "the other tables are read";
        try {
            test::QueryText(desk, QStringLiteral("SELECT EMP_NO, PASSWORD_HASH FROM WEB_PASSWORD"));
            ADD_FAILURE() << "the passwords were read";
        } catch (const db::DbError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("permission denied")))
                << e.message().toStdString();
        }
        desk.rollback();
    }
}

} // namespace
