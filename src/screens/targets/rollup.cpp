#include "screens/targets/rollup.h"

namespace kelo::screens {

namespace {

// "A, B,\n    C" as the statements lay out a column list: up to 90 characters a line.
QString ColumnList(const QStringList &columns) {
    QString out;
    qsizetype lineStart = -15; // "        SELECT " before the first line
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QString piece =
            columns[i] + (i + 1 < columns.size() ? QStringLiteral(",") : QString());
        if (i == 0) {
            out = piece;
        } else if (out.size() - lineStart + 1 + piece.size() > 90) {
            out += QStringLiteral("\n            ");
            lineStart = out.size() - 12;
            out += piece;
        } else {
            out += u' ' + piece;
        }
    }
    return out;
}

} // namespace

QString RollUpLevels(const QStringList &keys, const QStringList &measures, int lowest,
                     const QString &from) {
    // One level: its columns, the rows it reads and how it groups them. Made here rather than
    // at namespace scope: the inquiries' statements call this while statics are being made.
    const QString kLevel = QStringLiteral(R"sql(        SELECT %1
        FROM %2)sql");
    const QString kGroupBy = QStringLiteral(R"sql(
        GROUP BY %1)sql");
    const QString kTotal = QStringLiteral(R"sql(
        HAVING COUNT(*) > 0)sql");
    const QString kUnion = QStringLiteral(R"sql(
        UNION ALL
)sql");
    QStringList levels;
    for (int level = int(keys.size()); level >= lowest; --level) {
        const bool deepest = level == keys.size();
        QStringList columns{deepest ? QStringLiteral("%1 AS LVL").arg(level)
                                    : QString::number(level)};
        for (qsizetype k = 0; k < keys.size(); ++k)
            columns << (k < level ? keys[k] : QStringLiteral("NULL"));
        for (const QString &m : measures)
            columns << (deepest ? m : QStringLiteral("SUM(%1)").arg(m));
        QString text = kLevel.arg(ColumnList(columns), from);
        if (level == 0)
            text += kTotal;
        else if (!deepest)
            text += kGroupBy.arg(keys.mid(0, level).join(QStringLiteral(", ")));
        levels << text;
    }
    return levels.join(kUnion);
}

} // namespace kelo::screens
