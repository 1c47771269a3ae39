// The roll-up levels of the target inquiries on a small table of known figures: every level's
// keys and sums, the total only when there are rows, and a roll-up that stops above it.

#include "screens/targets/rollup.h"
#include "support/schema_database.h"

#include <gtest/gtest.h>

using namespace kelo;

namespace {

TEST(RollUp, EveryLevelSumsTheRowsOfTheKeysItKeeps) {
    test::SchemaDatabase schemaDb;
    db::Connection &c = schemaDb.connection();
    const QString levels = screens::RollUpLevels({QStringLiteral("A"), QStringLiteral("B")},
                                                 {QStringLiteral("X"), QStringLiteral("Y")});
    const QString statement = QStringLiteral(R"sql(
WITH W AS (
    %1
),
L AS (
%2
)
SELECT LVL, NVL(A, '-'), NVL(B, '-'), X, Y
FROM L
ORDER BY LVL DESC, A, B
)sql");
    const QString rows = QStringLiteral(R"sql(
    SELECT '1' AS A, 'a' AS B, 1 AS X, 10 AS Y FROM DUAL
    UNION ALL SELECT '1', 'b', 2, 20 FROM DUAL
    UNION ALL SELECT '2', 'a', 4, 40 FROM DUAL)sql");
    EXPECT_EQ(test::QueryText(c, statement.arg(rows, levels)),
              QStringLiteral("2|1|a|1|10,2|1|b|2|20,2|2|a|4|40,"
                             "1|1|-|3|30,1|2|-|4|40,"
                             "0|-|-|7|70"));
    // No rows: no total either.
    const QString none = QStringLiteral("SELECT '1' AS A, 'a' AS B, 1 AS X, 10 AS Y FROM DUAL "
                                        "WHERE 1 = 0");
    EXPECT_EQ(test::QueryText(c, statement.arg(none, levels)), QString());
    // Down to level 1: the departments' subtotals, no total.
    const QString toOne = screens::RollUpLevels({QStringLiteral("A"), QStringLiteral("B")},
                                                {QStringLiteral("X"), QStringLiteral("Y")}, 1);
    EXPECT_EQ(test::QueryText(c, statement.arg(rows, toOne)),
              QStringLiteral("2|1|a|1|10,2|1|b|2|20,2|2|a|4|40,1|1|-|3|30,1|2|-|4|40"));
}

} // namespace
