#pragma once

#include "db/connection.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

namespace kelo::db {

// A parameterised statement on a connection.
//
// The text is set as lines. Parameters are written :NAME in the text; they are
// reachable by name (without regard to case) and by position (0 is the first
// named in the text); every occurrence of a name takes the same value. Values
// are set as text, and an empty text binds as NULL. After open() the first
// row, if any, is current; next() moves on, eof() tells when the rows are done.
//
// Numbers read as text follow the database's number-to-text rule (1500, .5).
class Query : private Connection::Statement {
public:
    explicit Query(Connection &connection);
    ~Query() override;
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    Connection &connection() const;

    // Statement text; changing it closes an open query.
    void clearSql();
    void addSql(const QString &line);
    void setSql(const QString &text);
    void setSql(const QStringList &lines);
    QString sql() const;

    // Parameters.
    int paramCount() const;
    QString paramName(int position) const;
    bool hasParam(const QString &name) const;
    void setParam(const QString &name, const QString &value);
    void setParam(int position, const QString &value);
    QString param(const QString &name) const;
    // A binary value (a photograph); an empty array binds as NULL.
    void setParamBlob(const QString &name, const QByteArray &value);

    // Runs a statement that returns rows; the first row is current.
    void open();
    // Runs a statement that returns no rows; the number of rows it changed.
    int exec();
    bool isActive() const;
    bool eof() const;
    bool next();
    void close();

    // Fields of the current row.
    int fieldCount() const;
    QString fieldName(int index) const;
    int fieldIndex(const QString &name) const; // -1 when there is none
    bool isNull(int index) const;
    QVariant value(int index) const;
    QString text(int index) const;
    double number(int index) const;
    qint64 integer(int index) const;
    QByteArray bytes(int index) const;

    bool isNull(const QString &name) const { return isNull(requireField(name)); }
    QVariant value(const QString &name) const { return value(requireField(name)); }
    QString text(const QString &name) const { return text(requireField(name)); }
    double number(const QString &name) const { return number(requireField(name)); }
    qint64 integer(const QString &name) const { return integer(requireField(name)); }
    QByteArray bytes(const QString &name) const { return bytes(requireField(name)); }

    // Index of a field by name; a DbError when the result has no such field.
    int requireField(const QString &name) const;

private:
    void releaseStatement() override;
    void prepare();
    void preparePostgres();
    std::shared_ptr<Connection::PreparedStatement> preparePostgresText(pg_conn *c,
                                                                       const QByteArray &text);
    void runPostgres();
    pg_result *runPostgresLimited(const char *const *values, const int *lengths,
                                  const int *formats);
    int stepLimited(const StatementLimits &limits);
    void bindAll();
    void step();

    struct Private;
    std::unique_ptr<Private> d;
};

// The statement as an engine runs it: every division made a decimal division
// (a / b reads a * 1.0 / b); || an operator of ours that takes NULL as the empty
// text; the literal '' NULL; MINUS written EXCEPT and SYSDATE SYSDATE(); and on
// PostgreSQL the :NAME parameters numbered $1, $2 ... in the order of paramNames.
// Other literals, quoted names and comments stay.
QString EngineStatement(const QString &sql, Engine engine, const QStringList &paramNames);

// One past the literal, quoted name or comment that starts at i of a statement text
// ('..' with '' inside, "..", -- to the line's end, /* */), or i when none starts there.
qsizetype SkipLiteralOrComment(QStringView sql, qsizetype i);

// The :NAME parameters of a statement text in order of first appearance,
// upper-cased; colons in literals, quoted names and comments do not count.
QStringList ParseParamNames(const QString &sql);

} // namespace kelo::db
