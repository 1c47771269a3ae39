#include "viewer/execution.h"

#include "common/appdir.h"
#include "db/connection.h"
#include "db/dialect.h"
#include "db/query.h"
#include "report/paginator.h"

#include <QAtomicInt>
#include <QSet>
#include <QSettings>
#include <sqlite3.h>

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

// The statement with NULL for every :NAME parameter, for a parse of its own: the
// parameters are untyped there as they are when the statement is prepared.
QString WithoutParameters(const QString &sql) {
    const QStringView s(sql);
    QString out;
    out.reserve(sql.size());
    auto isNameChar = [](QChar c) {
        return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#';
    };
    qsizetype i = 0;
    while (i < s.size()) {
        const qsizetype skipped = db::SkipLiteralOrComment(s, i);
        if (skipped != i) {
            out += s.mid(i, skipped - i);
            i = skipped;
            continue;
        }
        if (s.at(i) == u':' && i + 1 < s.size() && isNameChar(s.at(i + 1)) &&
            (i == 0 || s.at(i - 1) != u':')) {
            qsizetype j = i + 1;
            while (j < s.size() && isNameChar(s.at(j)))
                ++j;
            out += QStringLiteral("NULL");
            i = j;
            continue;
        }
        out += s.at(i);
        ++i;
    }
    return out;
}

// The report role cannot be taken: missing, not granted to the signed-in role, or
// holding more rights than a report needs.
class ReportRoleError : public db::DbError {
public:
    using DbError::DbError;
};

// Inside a transaction or savepoint of the caller: the statements after it run as the
// report role, until the transaction or savepoint ends.
void SwitchToReportRole(db::Connection &connection) {
    try {
        connection.executeScript(QStringLiteral("SET LOCAL ROLE ") + db::ReportRole());
    } catch (const db::DbError &e) {
        throw ReportRoleError(
            QStringLiteral("보고서의 문장을 실행할 서버 역할 %1(으)로 바꿀 수 없어 실행하지 "
                           "않았습니다. 서버 관리자가 역할을 만들고 이 사용자에게 주어야 "
                           "합니다(kelo-db upgrade, docs/postgres.md). (%2)")
                .arg(db::ReportRole(), e.message()));
    }
    db::Query q(connection);
    q.setSql(QStringLiteral(R"sql(
        SELECT COUNT(*)
        FROM pg_roles R
        WHERE R.rolname = current_user
            AND (R.rolsuper OR R.rolcreaterole OR R.rolcreatedb OR R.rolbypassrls
                OR EXISTS (SELECT 1 FROM pg_auth_members M WHERE M.member = R.oid))
    )sql"));
    q.open();
    if (q.integer(0) > 0)
        throw ReportRoleError(
            QStringLiteral("서버 역할 %1에 보고서에 필요한 것보다 많은 권한이 있어(다른 역할의 "
                           "구성원이거나 관리 권한) 보고서의 문장을 실행하지 않았습니다. 서버 "
                           "관리자가 docs/postgres.md대로 다시 만들어야 합니다.")
                .arg(db::ReportRole()));
}

} // namespace

ReportLimits ReportLimits::FromSettings() {
    QSettings ini(AppFile(QStringLiteral("Kelo_S.ini")), QSettings::IniFormat);
    ReportLimits limits;
    auto read = [&ini](const char *key, int fallback) {
        bool ok = false;
        const int v = ini.value(QStringLiteral("Report/") + QLatin1String(key))
                          .toString()
                          .trimmed()
                          .toInt(&ok);
        return ok && v >= 0 ? v : fallback;
    };
    limits.timeLimitSeconds = read("TimeLimit", limits.timeLimitSeconds);
    limits.memoryLimitMb = read("MemoryLimit", limits.memoryLimitMb);
    limits.dataSetLimitMb = read("DataSetLimit", limits.dataSetLimitMb);
    return limits;
}

db::StatementLimits ReportLimits::statementLimits(const std::function<bool()> &tick) const {
    db::StatementLimits limits;
    limits.timeLimitMs = timeLimitSeconds * 1000;
    limits.memoryLimitBytes = qint64(memoryLimitMb) * 1024 * 1024;
    limits.resultLimitBytes = qint64(dataSetLimitMb) * 1024 * 1024;
    limits.tick = tick;
    return limits;
}

QStringList RefusedFunctions(db::Connection &connection, const QString &sql) {
    if (connection.engine() != db::Engine::Postgres)
        return {};
    static QAtomicInt counter;
    const bool own = !connection.inTransaction();
    const QString savepoint = QStringLiteral("KELO_CHECK_%1").arg(counter.fetchAndAddRelaxed(1));
    if (own)
        connection.startTransaction();
    else
        connection.executeScript(QStringLiteral("SAVEPOINT ") + savepoint);
    auto undo = [&] {
        try {
            if (own) {
                connection.rollback();
            } else {
                connection.executeScript(QStringLiteral("ROLLBACK TO SAVEPOINT ") + savepoint);
                connection.executeScript(QStringLiteral("RELEASE SAVEPOINT ") + savepoint);
            }
        } catch (const std::exception &) {
            // A lost session: the view went with it.
        }
    };
    QStringList refused;
    try {
        SwitchToReportRole(connection);
        db::Query view(connection);
        view.setSql(
            QStringLiteral("CREATE TEMP VIEW KELO_REPORT_CHECK AS\nSELECT 1 AS X\nFROM (\n") +
            WithoutParameters(StatementText(sql)) + QStringLiteral("\n) AS KELO_CHECK"));
        view.exec();
        // Every call of the parsed statement: functions, aggregates, window functions and
        // the functions behind its operators (comparisons of sorts and groups too).
        db::Query calls(connection);
        calls.setSql(QStringLiteral(R"sql(
            WITH TREE AS (
                SELECT CAST(R.ev_action AS TEXT) AS T
                FROM pg_rewrite R
                WHERE R.ev_class = CAST('kelo_report_check' AS REGCLASS)
            ),
            CALLED AS (
                SELECT CAST(M[2] AS OID) AS FN
                FROM TREE
                CROSS JOIN LATERAL regexp_matches(TREE.T, ':(funcid|opfuncid|aggfnoid|winfnoid) ([0-9]+)', 'g') AS M
                UNION
                SELECT O.oprcode
                FROM TREE
                CROSS JOIN LATERAL regexp_matches(TREE.T, ':(opno|eqop|sortop) ([0-9]+)', 'g') AS M
                JOIN pg_operator O ON O.oid = CAST(M[2] AS OID)
                UNION
                SELECT O.oprcode
                FROM TREE
                CROSS JOIN LATERAL regexp_matches(TREE.T, ':opnos \(o ([0-9 ]+)\)', 'g') AS M
                CROSS JOIN LATERAL unnest(string_to_array(M[1], ' ')) AS N (OP)
                JOIN pg_operator O ON O.oid = CAST(N.OP AS OID)
            )
            SELECT DISTINCT CAST(CAST(P.oid AS REGPROCEDURE) AS TEXT)
            FROM CALLED C
            JOIN pg_proc P ON P.oid = C.FN
            JOIN pg_namespace S ON S.oid = P.pronamespace
            WHERE S.nspname <> 'kelo'
                AND NOT (S.nspname = 'pg_catalog'
                    AND (P.provolatile <> 'v'
                        OR P.proname IN ('random', 'clock_timestamp', 'timeofday',
                                         'gen_random_uuid', 'pg_sleep', 'pg_sleep_for',
                                         'pg_sleep_until')))
            ORDER BY 1
        )sql"));
        for (calls.open(); !calls.eof(); calls.next())
            refused << calls.text(0);
    } catch (...) {
        undo();
        throw;
    }
    undo();
    return refused;
}

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

namespace {

// SQLite's authorizer while a report's statements are prepared: no column of a hidden table
// is read (the statement fails to prepare, naming the column).
int RefuseHiddenTables(void *, int action, const char *table, const char *, const char *,
                       const char *) {
    if (action != SQLITE_READ || !table)
        return SQLITE_OK;
    static const QStringList hidden = db::ReportHiddenTables();
    return hidden.contains(QString::fromUtf8(table), Qt::CaseInsensitive) ? SQLITE_DENY : SQLITE_OK;
}

} // namespace

ReadOnlyScope::ReadOnlyScope(db::Connection &connection, int timeLimitMs)
    : m_connection(connection) {
    if (connection.engine() == db::Engine::Sqlite) {
        sqlite3_set_authorizer(connection.sqliteHandle(), RefuseHiddenTables, nullptr);
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
        if (timeLimitMs > 0)
            connection.executeScript(
                QStringLiteral("SET LOCAL statement_timeout = %1").arg(timeLimitMs));
        SwitchToReportRole(connection);
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
            if (m_connection.isOpen())
                sqlite3_set_authorizer(m_connection.sqliteHandle(), nullptr, nullptr);
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

QString RunStatements(LoadedReport &report, const QHash<QString, QString> &values,
                      const std::function<bool()> &tick) {
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
    const ReportLimits limits = ReportLimits::FromSettings();
    QString current;
    try {
        for (const DataSetDecl &d : report.dataSets) {
            current = d.name;
            const QStringList refused = RefusedFunctions(connection, d.sql);
            if (!refused.isEmpty())
                return QStringLiteral("%1: 데이터 집합 %2은(는) 보고서가 부를 수 없는 함수를 "
                                      "부릅니다: %3. 보고서는 자료를 읽기만 하며, 다른 "
                                      "사용자의 세션, 잠금과 서버의 설정에는 손댈 수 없습니다.")
                    .arg(report.fileName, d.name, refused.join(QStringLiteral(", ")));
        }
        current.clear();
        ReadOnlyScope readOnly(connection, limits.timeLimitSeconds * 1000);
        db::StatementLimitScope limited(connection, limits.statementLimits(tick));
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
    } catch (const ReportRoleError &e) {
        return QStringLiteral("%1: %2").arg(report.fileName, e.message());
    } catch (const db::StatementStopped &e) {
        return QStringLiteral("%1: 데이터 집합 %2을(를) 읽다가 멈췄습니다: %3")
            .arg(report.fileName, current, e.message());
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

Choices RunChoices(db::Connection &connection, const QString &fileName,
                   const ParameterDecl &parameter) {
    Choices out;
    const auto refuse = [&](const QString &why) {
        out.items.clear();
        out.error = QStringLiteral("%1: 매개변수 %2의 선택 목록을 읽을 수 없습니다: %3")
                        .arg(fileName, parameter.name, why);
        return out;
    };
    const QString reason = WritingReason(parameter.choicesSql);
    if (!reason.isEmpty())
        return refuse(reason);
    const ReportLimits limits = ReportLimits::FromSettings();
    try {
        const QStringList refused = RefusedFunctions(connection, parameter.choicesSql);
        if (!refused.isEmpty())
            return refuse(QStringLiteral("보고서가 부를 수 없는 함수를 부릅니다: %1")
                              .arg(refused.join(QStringLiteral(", "))));
        ReadOnlyScope readOnly(connection, limits.timeLimitSeconds * 1000);
        db::StatementLimitScope limited(connection, limits.statementLimits({}));
        db::Query q(connection);
        q.setSql(StatementText(parameter.choicesSql));
        for (q.open(); !q.eof(); q.next()) {
            if (int(out.items.size()) == kMaxChoices)
                return refuse(QStringLiteral("%1개보다 많습니다").arg(kMaxChoices));
            const QString value = q.text(0);
            out.items.emplace_back(value, q.fieldCount() > 1 ? q.text(1) : value);
        }
    } catch (const ReportRoleError &e) {
        return refuse(e.message());
    } catch (const std::exception &e) {
        return refuse(QString::fromUtf8(e.what()));
    }
    return out;
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

RunResult RunReport(LoadedReport &report, const QHash<QString, QString> &values,
                    const std::function<bool()> &tick) {
    const QString error = RunStatements(report, values, tick);
    if (!error.isEmpty()) {
        RunResult result;
        result.error = error;
        return result;
    }
    return LayOut(report);
}

} // namespace kelo::viewer
