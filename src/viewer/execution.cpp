#include "viewer/execution.h"

#include "db/connection.h"
#include "db/query.h"
#include "report/paginator.h"

#include <QAtomicInt>
#include <QSet>

namespace kelo::viewer {

namespace {

// The words of a statement outside literals, quoted names and comments, upper-cased,
// and where its first ";" stands (-1 without).
struct Scan {
    QStringList words;
    qsizetype semicolon = -1;
};

Scan ScanStatement(const QString &sql) {
    Scan scan;
    const QStringView s(sql);
    qsizetype i = 0;
    while (i < s.size()) {
        const qsizetype skipped = db::SkipLiteralOrComment(s, i);
        if (skipped != i) {
            if (scan.semicolon < 0)
                scan.words << QStringLiteral("'"); // something stands here
            i = skipped;
            continue;
        }
        const QChar c = s.at(i);
        if (c.isLetter() || c == u'_') {
            qsizetype j = i;
            while (j < s.size() && (s.at(j).isLetterOrNumber() || s.at(j) == u'_' ||
                                    s.at(j) == u'$' || s.at(j) == u'#'))
                ++j;
            scan.words << s.mid(i, j - i).toString().toUpper();
            i = j;
            continue;
        }
        if (c == u';' && scan.semicolon < 0)
            scan.semicolon = i;
        else if (!c.isSpace() && scan.semicolon >= 0)
            scan.words << QString(c);
        ++i;
    }
    return scan;
}

bool IsComment(QStringView s, qsizetype i) {
    return i + 1 < s.size() &&
           ((s.at(i) == u'-' && s.at(i + 1) == u'-') || (s.at(i) == u'/' && s.at(i + 1) == u'*'));
}

// After position i: only blanks and comments.
bool NothingFrom(const QString &sql, qsizetype i) {
    const QStringView s(sql);
    while (i < s.size()) {
        if (s.at(i).isSpace()) {
            ++i;
        } else if (IsComment(s, i)) {
            i = db::SkipLiteralOrComment(s, i);
        } else {
            return false;
        }
    }
    return true;
}

bool IsReadOnlyViolation(const QString &engineText) {
    const QString t = engineText.toLower();
    return t.contains(QLatin1String("read-only")) || t.contains(QLatin1String("readonly")) ||
           t.contains(QLatin1String("read only"));
}

} // namespace

QString StatementText(const QString &sql) {
    const qsizetype semicolon = ScanStatement(sql).semicolon;
    if (semicolon >= 0 && NothingFrom(sql, semicolon + 1))
        return sql.left(semicolon);
    return sql;
}

QString WritingReason(const QString &sql) {
    static const QSet<QString> writing = {
        QStringLiteral("INSERT"),   QStringLiteral("UPDATE"),  QStringLiteral("DELETE"),
        QStringLiteral("MERGE"),    QStringLiteral("UPSERT"),  QStringLiteral("TRUNCATE"),
        QStringLiteral("DROP"),     QStringLiteral("ALTER"),   QStringLiteral("CREATE"),
        QStringLiteral("GRANT"),    QStringLiteral("REVOKE"),  QStringLiteral("INTO"),
        QStringLiteral("COPY"),     QStringLiteral("CALL"),    QStringLiteral("EXECUTE"),
        QStringLiteral("ATTACH"),   QStringLiteral("DETACH"),  QStringLiteral("PRAGMA"),
        QStringLiteral("VACUUM"),   QStringLiteral("REINDEX"), QStringLiteral("LOCK"),
        QStringLiteral("SET"),      QStringLiteral("DO"),      QStringLiteral("COMMIT"),
        QStringLiteral("ROLLBACK"), QStringLiteral("BEGIN"),   QStringLiteral("SAVEPOINT"),
        QStringLiteral("RELEASE"),  QStringLiteral("NOTIFY"),  QStringLiteral("LISTEN"),
        QStringLiteral("NEXTVAL"),  QStringLiteral("SETVAL")};
    const Scan scan = ScanStatement(sql);
    if (scan.semicolon >= 0 && !NothingFrom(sql, scan.semicolon + 1))
        return QStringLiteral("a second statement follows the \";\"");
    QStringList words;
    for (const QString &w : scan.words)
        if (w != QLatin1String("'"))
            words << w;
    if (words.isEmpty())
        return QStringLiteral("the statement is empty");
    // A statement may open with parentheses: "(SELECT ...) UNION ALL (SELECT ...)".
    const QString first = words.front();
    if (first != QLatin1String("SELECT") && first != QLatin1String("WITH"))
        return QStringLiteral("it begins with %1, not SELECT or WITH").arg(first);
    for (const QString &w : words)
        if (writing.contains(w))
            return QStringLiteral("it holds %1").arg(w);
    if (words.contains(QLatin1String("FOR")) &&
        (words.contains(QLatin1String("SHARE")) || words.contains(QLatin1String("NOWAIT"))))
        return QStringLiteral("it locks rows");
    return QString();
}

ReadOnlyScope::ReadOnlyScope(db::Connection &connection) : m_connection(connection) {
    if (connection.engine() == db::Engine::Sqlite) {
        db::Query q(connection);
        q.setSql(QStringLiteral("PRAGMA query_only"));
        q.open();
        m_sqlitePrevious = q.eof() ? QStringLiteral("0") : q.text(0);
        q.close();
        connection.executeScript(QStringLiteral("PRAGMA query_only = ON"));
        return;
    }
    if (!connection.inTransaction()) {
        connection.startTransaction();
        m_ownTransaction = true;
    } else {
        static QAtomicInt counter;
        m_savepoint = QStringLiteral("KELO_VIEW_%1").arg(counter.fetchAndAddRelaxed(1));
        connection.executeScript(QStringLiteral("SAVEPOINT ") + m_savepoint);
    }
    try {
        connection.executeScript(QStringLiteral("SET TRANSACTION READ ONLY"));
    } catch (...) {
        if (m_ownTransaction)
            connection.rollback();
        else
            connection.executeScript(QStringLiteral("ROLLBACK TO SAVEPOINT ") + m_savepoint);
        throw;
    }
}

ReadOnlyScope::~ReadOnlyScope() {
    try {
        if (m_connection.engine() == db::Engine::Sqlite) {
            m_connection.executeScript(QStringLiteral("PRAGMA query_only = %1")
                                           .arg(m_sqlitePrevious == QLatin1String("1")
                                                    ? QStringLiteral("ON")
                                                    : QStringLiteral("OFF")));
        } else if (m_ownTransaction) {
            m_connection.rollback();
        } else {
            m_connection.executeScript(QStringLiteral("ROLLBACK TO SAVEPOINT ") + m_savepoint);
            m_connection.executeScript(QStringLiteral("RELEASE SAVEPOINT ") + m_savepoint);
        }
    } catch (const std::exception &) {
        // A lost session: nothing of the reads is kept either way.
    }
}

QString RunStatements(LoadedReport &report, const QHash<QString, QString> &values) {
    report.values = values;
    for (const DataSetDecl &d : report.dataSets) {
        const QString reason = WritingReason(d.sql);
        if (!reason.isEmpty())
            return QStringLiteral("%1: the data set %2 does not only read: %3")
                .arg(report.fileName, d.name, reason);
    }
    if (report.dataSets.empty())
        return QString();
    db::Connection &connection = report.dataSets.front().set->query().connection();
    QString current;
    try {
        ReadOnlyScope readOnly(connection);
        for (const DataSetDecl &d : report.dataSets) {
            current = d.name;
            db::Query &q = d.set->query();
            q.setSql(StatementText(d.sql));
            for (const QString &param : db::ParseParamNames(d.sql)) {
                QString value;
                for (auto it = values.constBegin(); it != values.constEnd(); ++it)
                    if (it.key().compare(param, Qt::CaseInsensitive) == 0)
                        value = it.value();
                q.setParam(param, value);
            }
            d.set->open();
        }
    } catch (const std::exception &e) {
        const QString text = QString::fromUtf8(e.what());
        if (IsReadOnlyViolation(text))
            return QStringLiteral("%1: the data set %2 does not only read: %3")
                .arg(report.fileName, current, text);
        if (current.isEmpty())
            return QStringLiteral("%1: the database cannot be read: %2").arg(report.fileName, text);
        return QStringLiteral("%1: the data set %2 cannot be read: %3")
            .arg(report.fileName, current, text);
    }
    for (const FieldUse &use : report.fieldUses)
        if (use.set && use.set->isOpen() && !use.set->hasField(use.field))
            return report.message(
                use.place,
                QStringLiteral("the data set %1 has no field %2").arg(use.set->name(), use.field));
    return QString();
}

RunResult LayOut(LoadedReport &report) {
    RunResult result;
    try {
        result.document = report::Paginate(report.definition);
        result.document.title = report.title;
    } catch (const std::exception &e) {
        result.error = QStringLiteral("%1: the report cannot be laid out: %2")
                           .arg(report.fileName, QString::fromUtf8(e.what()));
    }
    return result;
}

RunResult RunReport(LoadedReport &report, const QHash<QString, QString> &values) {
    const QString error = RunStatements(report, values);
    if (!error.isEmpty()) {
        RunResult result;
        result.error = error;
        return result;
    }
    return LayOut(report);
}

} // namespace kelo::viewer
