#include "support/temp_database.h"

#include "common/appdir.h"

#include <QFile>
#include <QTextStream>

namespace kelo::test {

TempDatabase::TempDatabase() {
    db::Connection::createSqliteFile(file());
    QFile ini(m_dir.filePath(QStringLiteral("Databases.ini")));
    if (ini.open(QIODevice::WriteOnly | QIODevice::Text)) {
        QTextStream out(&ini);
        out << "[TESTDB]\nDriver=SQLITE\nDatabase=test.db\n";
    }
    SetAppDir(m_dir.path());
    m_connection = std::make_unique<db::Connection>();
    m_connection->setParams({QStringLiteral("DATABASE=TESTDB"), QStringLiteral("USER_NAME=KLUSER"),
                             QStringLiteral("PASSWORD=KLUSER")});
    m_connection->open();
}

TempDatabase::~TempDatabase() {
    m_connection.reset();
    SetAppDir(QString());
}

QString TempDatabase::file() const {
    return m_dir.filePath(QStringLiteral("test.db"));
}

void TempDatabase::exec(const QString &sql) {
    m_connection->executeScript(sql);
}

} // namespace kelo::test
