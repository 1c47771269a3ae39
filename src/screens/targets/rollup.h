#pragma once

#include <QString>
#include <QStringList>

namespace kelo::screens {

// The levels of a target inquiry's roll-up, the body of its common table L: the rows of
// `from` at the deepest level (LVL = the number of keys), then level by level one key fewer,
// the dropped keys NULL and every measure summed over the rows of the keys kept, down to
// level `lowest`. Level 0 is the total of all rows, present only when there are rows.
//
//   SELECT 2 AS LVL, K1, K2, M1, M2 FROM W
//   UNION ALL SELECT 1, K1, NULL, SUM(M1), SUM(M2) FROM W GROUP BY K1
//   UNION ALL SELECT 0, NULL, NULL, SUM(M1), SUM(M2) FROM W HAVING COUNT(*) > 0
QString RollUpLevels(const QStringList &keys, const QStringList &measures, int lowest = 0,
                     const QString &from = QStringLiteral("W"));

} // namespace kelo::screens
