#include "screens/targets/rollup.h"

namespace kelo::screens {

namespace {

const QString kIndent = QStringLiteral("        ");

// "A, B,\n    C" as the statements lay out a column list: up to 90 characters a line.
QString ColumnList(const QString &head, const QStringList &columns) {
    QString out = kIndent + head;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QString piece =
            columns[i] + (i + 1 < columns.size() ? QStringLiteral(",") : QString());
        if (out.size() - lineStart + 1 + piece.size() > 90) {
            out += u'\n';
            lineStart = out.size();
            out += kIndent + QStringLiteral("    ") + piece;
        } else {
            out += u' ' + piece;
        }
    }
    return out;
}

} // namespace

QString RollUpLevels(const QStringList &keys, const QStringList &measures, int lowest,
                     const QString &from) {
    QStringList levels;
    for (int level = int(keys.size()); level >= lowest; --level) {
        QStringList columns;
        const bool deepest = level == keys.size();
        columns << (deepest ? QStringLiteral("%1 AS LVL,").arg(level)
                            : QStringLiteral("%1,").arg(level));
        const QStringList kept = keys.mid(0, level);
        for (qsizetype k = 0; k < keys.size(); ++k)
            columns << (k < level ? keys[k] : QStringLiteral("NULL"));
        for (const QString &m : measures)
            columns << (deepest ? m : QStringLiteral("SUM(%1)").arg(m));
        // The level number ends with its own comma: the list joins the rest.
        const QString lvl = columns.takeFirst();
        QString text = ColumnList(QStringLiteral("SELECT ") + lvl, columns) + u'\n' + kIndent +
                       QStringLiteral("FROM ") + from;
        if (level == 0)
            text += u'\n' + kIndent + QStringLiteral("HAVING COUNT(*) > 0");
        else if (!deepest)
            text += u'\n' + kIndent + QStringLiteral("GROUP BY ") + kept.join(QStringLiteral(", "));
        levels << text;
    }
    return levels.join(u'\n' + kIndent + QStringLiteral("UNION ALL\n"));
}

} // namespace kelo::screens
