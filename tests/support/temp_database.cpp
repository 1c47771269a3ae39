#include "support/temp_database.h"

#include "common/appdir.h"
#include "db/dialect.h"
#include "db/query.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <QThread>
#include <QUuid>

namespace kelo::test {

bool OnPostgres() {
    return qgetenv("KELO_TEST_ENGINE") == "postgres";
}

namespace {

QString pgSetting(const char *name, const char *fallback) {
    const QByteArray v = qgetenv(name);
    return QString::fromLocal8Bit(v.isEmpty() ? QByteArray(fallback) : v);
}

QStringList credentials() {
    return {QStringLiteral("USER_NAME=") + pgSetting("KELO_PG_USER", "kelo"),
            QStringLiteral("PASSWORD=") + pgSetting("KELO_PG_PASSWORD", "kelo")};
}

// An alias of Databases.ini for a database of the test server.
QString pgAlias(const QString &alias, const QString &database) {
    return QStringLiteral("[%1]\nDriver=POSTGRES\nHost=%2\nPort=%3\nDatabase=%4\n")
        .arg(alias, pgSetting("KELO_PG_HOST", "127.0.0.1"), pgSetting("KELO_PG_PORT", "5432"),
             database);
}

// The version of the scripts the template database is made from.
size_t TemplateHash() {
    return qHash(db::PostgresDialectScript() + db::PostgresReportRoleScript());
}

// Runs statements on the server's maintenance database.
void admin(const QString &sql) {
    db::Connection c;
    c.setParams(QStringList{QStringLiteral("DATABASE=KELO_ADMIN")} + credentials());
    c.open();
    c.executeScript(sql);
}

bool exists(const QString &database) {
    db::Connection c;
    c.setParams(QStringList{QStringLiteral("DATABASE=KELO_ADMIN")} + credentials());
    c.open();
    db::Query q(c);
    q.setSql(QStringLiteral(R"sql(
SELECT COUNT(*)
FROM pg_database
WHERE datname = :NAME
)sql"));
    q.setParam(QStringLiteral("NAME"), database);
    q.open();
    return q.integer(0) > 0;
}

// The template every test database is copied from: the dialect, made once per
// version of its script.
QString pgTemplate() {
    // The database user of the client's launch arguments in the tests, its password
    // the user name as the client reads it without SBUpdate.ini.
    static const bool roles = [] {
        admin(QStringLiteral(R"sql(
DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'kluser') THEN
        CREATE ROLE kluser LOGIN SUPERUSER PASSWORD 'kluser';
    END IF;
EXCEPTION WHEN duplicate_object OR unique_violation THEN
    NULL; -- another test made it at the same moment
END $$
)sql"));
        return true;
    }();
    Q_UNUSED(roles);
    const QString name = QStringLiteral("kelo_template_%1").arg(TemplateHash(), 0, 16);
    if (exists(name))
        return name;
    const QString building = name + QStringLiteral("_%1").arg(QCoreApplication::applicationPid());
    admin(QStringLiteral("CREATE DATABASE %1").arg(building));
    {
        db::Connection c;
        c.setParams(QStringList{QStringLiteral("DATABASE=KELO_BUILD")} + credentials());
        c.open();
        c.executeScript(db::PostgresDialectScript());
        c.executeScript(db::PostgresReportRoleScript());
    }
    try {
        admin(QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(building, name));
    } catch (const db::DbError &) {
        admin(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(building)); // another made it
    }
    return name;
}

} // namespace

QStringList DeskLoginParams() {
    static const bool made = [] {
        admin(QStringLiteral(R"sql(
DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'kelo_desk') THEN
        CREATE ROLE kelo_desk LOGIN NOSUPERUSER NOCREATEROLE NOCREATEDB PASSWORD 'kelo_desk';
    END IF;
    IF NOT pg_has_role('kelo_desk', 'kelo_report', 'MEMBER') THEN
        GRANT kelo_report TO kelo_desk;
    END IF;
EXCEPTION WHEN duplicate_object OR unique_violation OR internal_error THEN
    NULL; -- another test made it at the same moment
END $$
)sql"));
        return true;
    }();
    Q_UNUSED(made);
    return {QStringLiteral("DATABASE=TESTDB"), QStringLiteral("USER_NAME=kelo_desk"),
            QStringLiteral("PASSWORD=kelo_desk")};
}

TempDatabase::TempDatabase(const std::function<void(db::Connection &)> &fill) {
    SetAppDir(m_dir.path());
    QFile ini(m_dir.filePath(QStringLiteral("Databases.ini")));
    if (OnPostgres()) {
        m_pgName = QStringLiteral("kt_") + QUuid::createUuid().toString(QUuid::Id128).left(16);
        if (ini.open(QIODevice::WriteOnly | QIODevice::Text)) {
            QTextStream out(&ini);
            const QString building = QStringLiteral("kelo_template_%1_%2")
                                         .arg(TemplateHash(), 0, 16)
                                         .arg(QCoreApplication::applicationPid());
            out << pgAlias(QStringLiteral("TESTDB"), m_pgName)
                << pgAlias(QStringLiteral("KELO_ADMIN"), QStringLiteral("postgres"))
                << pgAlias(QStringLiteral("KELO_BUILD"), building);
        }
        ini.close();
        const QString from = pgTemplate();
        for (int attempt = 0;; ++attempt) {
            try {
                admin(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(m_pgName, from));
                break;
            } catch (const db::DbError &) {
                if (attempt >= 20)
                    throw;
                QThread::msleep(100); // the template is being copied by another test
            }
        }
    } else {
        db::Connection::createSqliteFile(file());
        if (ini.open(QIODevice::WriteOnly | QIODevice::Text)) {
            QTextStream out(&ini);
            out << "[TESTDB]\nDriver=SQLITE\nDatabase=test.db\n";
        }
        ini.close();
    }
    m_connection = std::make_unique<db::Connection>();
    m_connection->setParams(QStringList{QStringLiteral("DATABASE=TESTDB")} +
                            (OnPostgres() ? credentials()
                                          : QStringList{QStringLiteral("USER_NAME=KLUSER"),
                                                        QStringLiteral("PASSWORD=KLUSER")}));
    m_connection->open();
    if (fill)
        fill(*m_connection);
}

TempDatabase::~TempDatabase() {
    m_connection.reset();
    if (!m_pgName.isEmpty()) {
        try {
            admin(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_pgName));
        } catch (const db::DbError &) {
        }
    }
    SetAppDir(QString());
}

QString TempDatabase::file() const {
    return m_dir.filePath(QStringLiteral("test.db"));
}

void TempDatabase::exec(const QString &sql) {
    m_connection->executeScript(sql);
}

QString QueryText(db::Connection &connection, const QString &sql) {
    db::Query q(connection);
    q.setSql(sql);
    q.open();
    QStringList rows;
    for (; !q.eof(); q.next()) {
        QStringList cells;
        for (int f = 0; f < q.fieldCount(); ++f)
            cells << q.text(f);
        rows << cells.join(u'|');
    }
    return rows.join(u',');
}

} // namespace kelo::test
