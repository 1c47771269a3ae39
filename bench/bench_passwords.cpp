// The web sign-in's check of a password: how long each kind of answer takes, median of 9.
// A sign-in that cannot succeed (unknown employee, no password, not in service) should take
// as long as a wrong password, so that the time of the answer tells nothing.
//
// Usage: bench_passwords FILE   a database of kelo-db demo; a copy is used.

#include "bench_timing.h"
#include "database/demo.h"
#include "database/schema.h"
#include "db/query.h"
#include "web/passwords.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

using namespace kelo;

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: bench_passwords FILE   (a demo database; a copy is used)\n", stderr);
        return 2;
    }
    database::Install();
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("passwords.db"));
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), copy)) {
        std::fprintf(stderr, "cannot copy %s\n", argv[1]);
        return 1;
    }
    db::Connection c;
    c.setSqliteFile(copy);
    c.open();
    database::CheckSchema(c, database::OlderSchema::Upgrade);
    db::Query leaver(c);
    leaver.setSql(QStringLiteral(R"sql(
SELECT MIN(EMP_NO)
FROM QA010MS
WHERE EMP_STAY_CODE = '02'
)sql"));
    leaver.open();
    const QString left = leaver.text(0);
    leaver.close();
    const QString user = database::DemoUsers().at(0).empNo;
    const QString other = database::DemoUsers().at(1).empNo;
    const QString password = QStringLiteral("correct horse battery");

    std::vector<double> hashing;
    for (int i = 0; i < 9; ++i)
        hashing.push_back(bench::Millis([&] { web::HashPassword(password); }));
    std::printf("%-42s %8.1f ms\n", "HashPassword", bench::Median(hashing));
    web::SetPassword(c, user, password);
    web::ClearPassword(c, other);

    const struct {
        const char *what;
        QString empNo, password;
    } cases[] = {
        {"right password", user, password},
        {"wrong password", user, QStringLiteral("correct horse battery!")},
        {"unknown employee", QStringLiteral("99999999"), password},
        {"employee without password", other, password},
        {"employee not in service", left, password},
        {"wrong, 1 MB long", user, QString(1 << 20, u'x')},
        {"unknown, 1 MB long", QStringLiteral("99999999"), QString(1 << 20, u'x')},
    };
    for (const auto &k : cases) {
        std::vector<double> runs;
        for (int i = 0; i < 9; ++i)
            runs.push_back(bench::Millis([&] { web::CheckPassword(c, k.empNo, k.password); }));
        std::printf("CheckPassword %-28s %8.1f ms\n", k.what, bench::Median(runs));
    }
    return 0;
}
