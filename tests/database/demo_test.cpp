#include "common/clock.h"
#include "database/demo.h"
#include "database/schema.h"
#include "db/query.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelo;

namespace {

// The clock as SYSDATE() reads it: days since 1899-12-30, whole seconds as the fraction.
double clockSerial() {
    const QDateTime now = Now();
    return QDate(1899, 12, 30).daysTo(now.date()) +
           (now.time().msecsSinceStartOfDay() / 1000) / 86400.0;
}

// SHA-256 of every table's rows, ordered by all their columns: values as text, pictures as
// their bytes. Stamps the database took from the clock (SYSDATE()) between clockFrom and
// clockTo count as one value, so that the digest depends on the data alone.
std::string contentHash(db::Connection &c, double clockFrom, double clockTo) {
    QStringList tables;
    db::Query list(c);
    list.setSql(QStringLiteral(R"sql(
SELECT NAME
FROM SQLITE_MASTER
WHERE TYPE = 'table'
  AND NAME NOT LIKE 'sqlite%'
ORDER BY NAME
)sql"));
    for (list.open(); !list.eof(); list.next())
        tables << list.text(0);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &table : tables) {
        db::Query columns(c);
        columns.setSql(QStringLiteral(R"sql(
SELECT COUNT(*)
FROM PRAGMA_TABLE_INFO(:TABLE_NAME)
)sql"));
        columns.setParam(QStringLiteral("TABLE_NAME"), table);
        columns.open();
        QStringList order;
        for (int i = 1; i <= columns.integer(0); ++i)
            order << QString::number(i);
        db::Query rows(c);
        rows.setSql(QStringLiteral(R"sql(
SELECT *
FROM %1
ORDER BY %2
)sql")
                        .arg(table, order.join(QStringLiteral(", "))));
        hash.addData(table.toUtf8() + '\n');
        for (rows.open(); !rows.eof(); rows.next()) {
            for (int i = 0; i < rows.fieldCount(); ++i) {
                const QVariant v = rows.value(i);
                if (v.typeId() == QMetaType::QByteArray)
                    hash.addData(v.toByteArray());
                else if (v.typeId() == QMetaType::Double && v.toDouble() >= clockFrom &&
                         v.toDouble() <= clockTo)
                    hash.addData("SYSDATE()");
                else
                    hash.addData(rows.text(i).toUtf8());
                hash.addData(v.isNull() ? "\x1d" : "\x1f");
            }
            hash.addData("\x1e");
        }
    }
    return hash.result().toHex().toStdString();
}

// A month of demo data, made once for the suite.
class DemoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        database::DemoOptions options;
        options.path = dir->filePath(QStringLiteral("demo.db"));
        options.days = 40;
        options.endDate = QStringLiteral("20040229");
        options.seed = 7;
        database::GenerateDemo(options);
        connection = new db::Connection;
        connection->setSqliteFile(options.path);
        connection->open();
    }
    static void TearDownTestSuite() {
        delete connection;
        delete dir;
    }
    static QString value(const QString &sql, const QStringList &params = {}) {
        db::Query q(*connection);
        q.setSql(sql);
        for (int i = 0; i < params.size(); ++i)
            q.setParam(i, params.at(i));
        q.open();
        return q.text(0);
    }
    static QTemporaryDir *dir;
    static db::Connection *connection;
};

QTemporaryDir *DemoTest::dir = nullptr;
db::Connection *DemoTest::connection = nullptr;

TEST_F(DemoTest, DailyFiguresAgreeWithTheOperatingData) {
    // Net sales per outlet and day: the management figures against the point-of-sale lines.
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM (SELECT SALE_DATE, UPJANG_CODE, "
                                   "SUM(NET_AMT) AS NET FROM SA030MS GROUP BY "
                                   "SALE_DATE, UPJANG_CODE) A FULL JOIN (SELECT SALE_DATE, "
                                   "UPJANG_CODE, SUM(NET_AMT) AS NET FROM "
                                   "IA010MS GROUP BY SALE_DATE, UPJANG_CODE) B ON B.SALE_DATE = "
                                   "A.SALE_DATE AND B.UPJANG_CODE = "
                                   "A.UPJANG_CODE WHERE NVL(A.NET, -1) <> NVL(B.NET, -1)")),
              QStringLiteral("0"));
    // Business-area sales against the lines.
    EXPECT_EQ(value(QStringLiteral(
                  "SELECT (SELECT SUM(NET_AMT) FROM KF060MS) - (SELECT SUM(NET_AMT) FROM IA010MS) "
                  "FROM DUAL")),
              QStringLiteral("0"));
    // Rooms sold per hotel, day and type: the summary against the stay-nights.
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM (SELECT UPJANG_CODE, TASK_DATE, "
                                   "ROOM_TYPE, SUM(ROOMS) AS R, SUM(NET_AMT) AS N "
                                   "FROM DE030MS GROUP BY UPJANG_CODE, TASK_DATE, ROOM_TYPE) A "
                                   "JOIN (SELECT UPJANG_CODE, TASK_DATE, "
                                   "ROOM_TYPE, COUNT(*) AS R, SUM(SALE_AMT) AS N FROM DA030SS "
                                   "GROUP BY UPJANG_CODE, TASK_DATE, "
                                   "ROOM_TYPE) B USING (UPJANG_CODE, TASK_DATE, ROOM_TYPE) WHERE "
                                   "A.R <> B.R OR A.N <> B.N")),
              QStringLiteral("0"));
    // Rooms never exceed the sellable inventory.
    EXPECT_EQ(
        value(QStringLiteral("SELECT COUNT(*) FROM DE020MS A JOIN (SELECT UPJANG_CODE, TASK_DATE, "
                             "ROOM_TYPE, SUM(ROOMS) AS R "
                             "FROM DE030MS GROUP BY UPJANG_CODE, TASK_DATE, ROOM_TYPE) B USING "
                             "(UPJANG_CODE, TASK_DATE, "
                             "ROOM_TYPE) WHERE B.R > A.ROOM_CNT - A.BROKEN_CNT - A.INVENTORY_CNT")),
        QStringLiteral("0"));
    // The F&B index revenue is the outlets' F&B sales.
    EXPECT_EQ(value(QStringLiteral("SELECT (SELECT SUM(TOTAL_REVENUE) FROM SA040MS) - (SELECT "
                                   "SUM(A.NET_AMT) FROM IA010MS A JOIN "
                                   "JA010MS B ON B.UPJANG_CODE = A.UPJANG_CODE WHERE "
                                   "B.MIS_UPJANG_GUBUN1 = '20') FROM DUAL")),
              QStringLiteral("0"));
    // A date the daily sales reports count as built holds the figures they read.
    EXPECT_EQ(value(QStringLiteral(R"sql(
SELECT COUNT(*)
FROM (SELECT SALE_DATE FROM SA091MS UNION SELECT SALE_DATE FROM SA092MS) M
WHERE NOT EXISTS (SELECT 1 FROM SA090MS S WHERE S.SALE_DATE = M.SALE_DATE)
)sql")),
              QStringLiteral("0"));
    EXPECT_NE(value(QStringLiteral("SELECT COUNT(*) FROM SA092MS")), QStringLiteral("0"));
    // Each charge line points to the first line of its stay.
    EXPECT_EQ(value(QStringLiteral(
                  "SELECT COUNT(*) FROM DC020MS A LEFT JOIN DC020MS F ON F.UPJANG_CODE = "
                  "A.FIRST_UPJANG_CODE AND "
                  "F.RSV_NO = A.FIRST_RSV_NO AND F.MANAGE_NO = A.FIRST_MANAGE_NO AND F.TASK_DATE = "
                  "A.FIRST_TASK_DATE AND F.SEQ_NO = A.FIRST_SEQ_NO WHERE F.RSV_NO IS NULL")),
              QStringLiteral("0"));
}

TEST_F(DemoTest, RoomsChargesAndMemberNumbersHoldTogether) {
    // Each query counts the rows that break one rule; none may.
    const struct {
        const char *rule, *sql;
    } cases[] = {
        {"an employee's member number is the employee number and two characters, with a name",
         R"sql(
SELECT COUNT(*)
FROM (
    SELECT MEMBER_NO
    FROM DA010MS
    UNION ALL
    SELECT MEMBER_NO
    FROM CA010MS
    UNION ALL
    SELECT MEMBER_NO
    FROM CA020MS
) M
WHERE M.MEMBER_NO LIKE '10%'
    AND (LENGTH(M.MEMBER_NO) <> 10
        OR NOT EXISTS (
            SELECT 1
            FROM QA010MS
            WHERE EMP_NO = SUBSTR(M.MEMBER_NO, 1, 8)
                AND EMP_STAY_CODE = '01'
        )
        OR NOT EXISTS (
            SELECT 1
            FROM BA040MS
            WHERE MEMBER_NO = M.MEMBER_NO
        ))
)sql"},
        {"the point of sale has as many room charges as there are stay-nights (each one's below)",
         R"sql(
SELECT ABS((
        SELECT COUNT(*)
        FROM IA010MS
        WHERE MENU_CODE = 'D1001'
    ) - (
        SELECT COUNT(*)
        FROM DA030MS
    ))
FROM DUAL
)sql"},
        {"a room holds one stay a night", R"sql(
SELECT COUNT(*)
FROM (
    SELECT A.UPJANG_CODE, A.ROOM_NO, B.TASK_DATE
    FROM DA010MS A
    JOIN DA030MS B ON B.UPJANG_CODE = A.UPJANG_CODE
        AND B.RSV_NO = A.RSV_NO
        AND B.MANAGE_NO = A.MANAGE_NO
    GROUP BY A.UPJANG_CODE, A.ROOM_NO, B.TASK_DATE
    HAVING COUNT(*) > 1
) X
)sql"},
        {"every stay-night has its room charge at the point of sale", R"sql(
SELECT COUNT(*)
FROM DA030MS B
JOIN DA010MS A ON A.UPJANG_CODE = B.UPJANG_CODE
    AND A.RSV_NO = B.RSV_NO
    AND A.MANAGE_NO = B.MANAGE_NO
LEFT JOIN IA010MS I ON I.SALE_DATE = B.TASK_DATE
    AND I.UPJANG_CODE = A.UPJANG_CODE
    AND I.BILL_NO = A.ROOM_NO
    AND I.MENU_CODE = 'D1001'
WHERE I.BILL_NO IS NULL
    OR I.NET_AMT <> B.UNIT_AMT
    OR NVL(I.MEMBER_NO, '-') <> NVL(A.MEMBER_NO, '-')
)sql"},
        {"a room number begins with a building of its hotel", R"sql(
SELECT COUNT(*)
FROM DA010MS A
WHERE NOT EXISTS (
    SELECT 1
    FROM DZ021MS
    WHERE UPJANG_CODE = A.UPJANG_CODE
        AND DONG_GUBUN = SUBSTR(A.ROOM_NO, 1, 2)
)
)sql"},
        {"a charge is in state N and its own first and check-out line", R"sql(
SELECT COUNT(*)
FROM DC020MS
WHERE NVL(ITEM_STAT, '-') <> 'N'
    OR NVL(FIRST_UPJANG_CODE, '-') <> UPJANG_CODE
    OR NVL(FIRST_RSV_NO, '-') <> RSV_NO
    OR NVL(FIRST_MANAGE_NO, '-') <> MANAGE_NO
    OR NVL(FIRST_TASK_DATE, '-') <> TASK_DATE
    OR NVL(FIRST_SEQ_NO, -1) <> SEQ_NO
    OR NVL(CO_UPJANG_CODE, '-') <> UPJANG_CODE
    OR NVL(CO_RSV_NO, '-') <> RSV_NO
    OR NVL(CO_MANAGE_NO, '-') <> MANAGE_NO
    OR NVL(CO_TASK_DATE, '-') <> TASK_DATE
    OR NVL(CO_SEQ_NO, -1) <> SEQ_NO
)sql"},
        {"a member number of the sales lines has its membership (its first eight characters)",
         R"sql(
SELECT COUNT(*)
FROM IA010MS A
WHERE A.MEMBER_NO IS NOT NULL
    AND A.MEMBER_NO NOT LIKE '10%'
    AND NOT EXISTS (
        SELECT 1
        FROM AA010MS
        WHERE MEMBER_NO = SUBSTR(A.MEMBER_NO, 1, 8)
    )
)sql"},
    };
    for (const auto &k : cases)
        EXPECT_EQ(value(QString::fromUtf8(k.sql)), QStringLiteral("0")) << k.rule;
    // And the rules hold on rows that exist.
    const struct {
        const char *what, *sql;
    } present[] = {
        {"stays under a staff member number",
         "SELECT COUNT(*) FROM DA010MS WHERE MEMBER_NO LIKE '10%00'"},
        {"reservations under the head office's numbers",
         "SELECT COUNT(*) FROM CA010MS WHERE MEMBER_NO LIKE '10%' AND MEMBER_NO NOT LIKE '%00'"},
        {"room charges of members", "SELECT COUNT(*) FROM IA010MS WHERE MENU_CODE = 'D1001' AND "
                                    "MEMBER_NO LIKE '2%'"},
        {"memberships of exclusive use F",
         "SELECT COUNT(*) FROM AA010MS WHERE LENGTH(MEMBER_NO) = 8 AND EXCLUSIVE_CODE = 'F'"},
        {"memberships of exclusive use M",
         "SELECT COUNT(*) FROM AA010MS WHERE LENGTH(MEMBER_NO) = 8 AND EXCLUSIVE_CODE = 'M'"},
    };
    for (const auto &p : present)
        EXPECT_GT(value(QString::fromUtf8(p.sql)).toInt(), 0) << p.what;
}

TEST_F(DemoTest, GatePassagesAndAttendanceFollowTheirSources) {
    // Each query counts the rows that break one rule; none may.
    const struct {
        const char *rule, *sql;
    } cases[] = {
        {"a day's passages per ticket are the head count of its ticket lines", R"sql(
SELECT COUNT(*)
FROM (
    SELECT SALE_DATE, TICKET_GUBUN, SUM(PASS_CNT) AS P
    FROM GA010MS
    GROUP BY SALE_DATE, TICKET_GUBUN
) G
FULL JOIN (
    SELECT SALE_DATE, MENU_CODE, SUM(NVL(KOREAN_QTY, 0) + NVL(FOREIGN_QTY, 0)) AS H
    FROM IA010MS
    WHERE UPJANG_CODE = '5002'
    GROUP BY SALE_DATE, MENU_CODE
    HAVING SUM(NVL(KOREAN_QTY, 0) + NVL(FOREIGN_QTY, 0)) > 0
) I ON I.SALE_DATE = G.SALE_DATE
    AND I.MENU_CODE = G.TICKET_GUBUN
WHERE NVL(G.P, -1) <> NVL(I.H, -1)
)sql"},
        {"the passages are the gondola's, in the gate hours 08 to 17", R"sql(
SELECT COUNT(*)
FROM GA010MS
WHERE UPJANG_CODE <> '5002'
    OR GATE_HOUR NOT BETWEEN '08' AND '17'
    OR LENGTH(GATE_HOUR) <> 2
    OR PASS_CNT <= 0
)sql"},
        {"a day's passages spread over more than one hour", R"sql(
SELECT COUNT(*)
FROM (
    SELECT SALE_DATE, SUM(PASS_CNT) AS P, COUNT(*) AS HOURS
    FROM GA010MS
    GROUP BY SALE_DATE
) G
WHERE G.P > 1
    AND G.HOURS < 2
)sql"},
        {"every leader in service has one row on every working day", R"sql(
SELECT COUNT(*)
FROM ZX020MS C
JOIN QA010MS Q ON Q.EMP_DUTY_CODE IN ('20', '30')
    AND NVL(Q.EMP_STAY_CODE, '01') = '01'
    AND Q.EMP_ENT_DATE <= TO_DATE(C.CALN_DATE)
LEFT JOIN QA200MS A ON A.WORK_DATE = C.CALN_DATE
    AND A.EMP_NO = Q.EMP_NO
WHERE C.CALN_DATE BETWEEN '20040121' AND '20040229'
    AND C.HOLIDAY_YN = 'N'
    AND A.EMP_NO IS NULL
)sql"},
        {"only leaders have rows, and only on working days", R"sql(
SELECT COUNT(*)
FROM QA200MS A
JOIN QA010MS Q ON Q.EMP_NO = A.EMP_NO
JOIN ZX020MS C ON C.CALN_DATE = A.WORK_DATE
WHERE Q.EMP_DUTY_CODE NOT IN ('20', '30')
    OR C.HOLIDAY_YN <> 'N'
)sql"},
        {"the attendance is a named code; times only at work, 08:xx to 18:xx", R"sql(
SELECT COUNT(*)
FROM QA200MS A
LEFT JOIN ZX010MS Z ON Z.HEAD = 'Q040'
    AND Z.DETAIL = A.ATTEND_GUBUN
WHERE Z.DETAIL_NAME IS NULL
    OR (A.ATTEND_GUBUN = '10' AND (A.IN_TIME NOT BETWEEN '0800' AND '0859'
        OR A.OUT_TIME NOT BETWEEN '1800' AND '1859'))
    OR (A.ATTEND_GUBUN <> '10' AND (A.IN_TIME IS NOT NULL OR A.OUT_TIME IS NOT NULL))
)sql"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(value(QString::fromUtf8(c.sql)), QStringLiteral("0")) << c.rule;
    // The leaders are part and team leaders, and some are away.
    EXPECT_EQ(value(QStringLiteral(R"sql(
SELECT COUNT(DISTINCT Q.EMP_DUTY_CODE) || '/' || COUNT(DISTINCT A.ATTEND_GUBUN)
FROM QA200MS A
JOIN QA010MS Q ON Q.EMP_NO = A.EMP_NO
)sql")),
              QStringLiteral("2/4"));
}

TEST_F(DemoTest, GondolaReservationsFollowTheGondolasSales) {
    // Each query counts the rows that break one rule; none may.
    const struct {
        const char *rule, *sql;
    } cases[] = {
        {"a day's tickets issued to reservations never exceed its gondola head count", R"sql(
SELECT COUNT(*)
FROM (
    SELECT USE_DATE, SUM(NVL(ISSUE_CNT, 0)) AS T
    FROM GA020MS
    GROUP BY USE_DATE
) R
LEFT JOIN (
    SELECT SALE_DATE, SUM(NVL(KOREAN_QTY, 0) + NVL(FOREIGN_QTY, 0)) AS H
    FROM IA010MS
    WHERE UPJANG_CODE = '5002'
    GROUP BY SALE_DATE
) I ON I.SALE_DATE = R.USE_DATE
WHERE R.T > NVL(I.H, 0)
)sql"},
        {"issued reservations have tickets, at most the persons booked; the others none", R"sql(
SELECT COUNT(*)
FROM GA020MS
WHERE (STATUS_CODE = 'I' AND (ISSUE_CNT IS NULL OR ISSUE_CNT < 1 OR ISSUE_CNT > RSV_CNT
        OR ISSUE_HOUR IS NULL))
    OR (STATUS_CODE <> 'I' AND (ISSUE_CNT IS NOT NULL OR ISSUE_HOUR IS NOT NULL))
    OR STATUS_CODE NOT IN ('I', 'N', 'C')
)sql"},
        {"a cancellation falls between the booking and the day booked", R"sql(
SELECT COUNT(*)
FROM GA020MS
WHERE (STATUS_CODE = 'C' AND (CANCEL_DATE < RSV_DATE OR CANCEL_DATE > USE_DATE))
    OR (STATUS_CODE <> 'C' AND CANCEL_DATE IS NOT NULL)
    OR RSV_DATE > USE_DATE
    OR USE_HOUR NOT BETWEEN '08' AND '16'
    OR AGE_GUBUN NOT IN ('10', '20', '30', '40', '50', '60')
)sql"},
    };
    for (const auto &k : cases)
        EXPECT_EQ(value(QString::fromUtf8(k.sql)), QStringLiteral("0")) << k.rule;
    // Every state occurs.
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(DISTINCT STATUS_CODE) FROM GA020MS")),
              QStringLiteral("3"));
}

TEST_F(DemoTest, LiftTicketsDetailTheLiftLinesAndTheirFigures) {
    // Each query counts the rows that break one rule; none may.
    const struct {
        const char *rule, *sql;
    } cases[] = {
        {"every lift line has its ticket row with the line's net, tickets and ticket kind, and no "
         "other line has one",
         R"sql(
SELECT COUNT(*)
FROM (
    SELECT SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, NET_AMT, SALE_QTY, TICKET_KIND
    FROM IA010MS
    WHERE UPJANG_CODE IN ('5001', '5004', '5007')
) L
FULL JOIN IB010MS I ON I.SALE_DATE = L.SALE_DATE
    AND I.UPJANG_CODE = L.UPJANG_CODE
    AND I.BILL_NO = L.BILL_NO
    AND I.SEQ_NO = L.SEQ_NO
WHERE L.SALE_DATE IS NULL
    OR I.SALE_DATE IS NULL
    OR I.NET_AMT <> L.NET_AMT
    OR I.SALE_QTY <> L.SALE_QTY
    OR I.TICKET_KIND <> L.TICKET_KIND
)sql"},
        {"net = list - discount at the kind's rate (to the 100 won); VAT a tenth of the net",
         R"sql(
SELECT COUNT(*)
FROM IB010MS I
JOIN ZX010MS D ON D.HEAD = 'I0011'
    AND D.DETAIL = I.DC_GUBUN
JOIN IA010MS L ON L.SALE_DATE = I.SALE_DATE
    AND L.UPJANG_CODE = I.UPJANG_CODE
    AND L.BILL_NO = I.BILL_NO
    AND L.SEQ_NO = I.SEQ_NO
WHERE I.NET_AMT <> I.LIST_AMT - I.DC_AMT
    OR ABS(I.DC_AMT - I.LIST_AMT * D.ITEM1 / 100) > 50
    OR L.VAT_AMT * 10 <> L.NET_AMT
)sql"},
        {"an agency exactly on online sales, a member exactly on association tickets, packages "
         "exactly on the package kind",
         R"sql(
SELECT COUNT(*)
FROM IB010MS I
LEFT JOIN ZX010MS A ON A.HEAD = 'I0012'
    AND A.DETAIL = I.AGENCY_CODE
LEFT JOIN IB030MS M ON M.ASSOC_CODE = I.ASSOC_CODE
WHERE (I.DC_GUBUN = '40') <> (A.DETAIL IS NOT NULL)
    OR (I.DC_GUBUN = '50') <> (M.ASSOC_CODE IS NOT NULL)
    OR (I.DC_GUBUN = '60') <> (I.PKG_YN = 'Y')
)sql"},
        {"the lift outlets' daily figures are the discounted nets", R"sql(
SELECT COUNT(*)
FROM (
    SELECT SALE_DATE, UPJANG_CODE, SUM(NET_AMT) AS NET_AMT
    FROM IB010MS
    GROUP BY SALE_DATE, UPJANG_CODE
) I
LEFT JOIN (
    SELECT SALE_DATE, UPJANG_CODE, SUM(NET_AMT) AS NET_AMT
    FROM SA030MS
    GROUP BY SALE_DATE, UPJANG_CODE
) S ON S.SALE_DATE = I.SALE_DATE
    AND S.UPJANG_CODE = I.UPJANG_CODE
WHERE NVL(S.NET_AMT, -1) <> I.NET_AMT
)sql"},
        {"every sale day has a commission rate for each agency", R"sql(
SELECT COUNT(*)
FROM IB010MS I
LEFT JOIN IB020MS R ON R.AGENCY_CODE = I.AGENCY_CODE
    AND I.SALE_DATE BETWEEN R.DATE_FROM AND R.DATE_TO
WHERE I.AGENCY_CODE IS NOT NULL
    AND R.COMM_RATE IS NULL
)sql"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(value(QString::fromUtf8(c.sql)), QStringLiteral("0")) << c.rule;
    // Every discount kind, both agencies and several members occur.
    EXPECT_EQ(value(QStringLiteral(R"sql(
SELECT COUNT(DISTINCT DC_GUBUN) || '/' || COUNT(DISTINCT AGENCY_CODE) || '/'
    || CASE WHEN COUNT(DISTINCT ASSOC_CODE) > 3 THEN 'members' ELSE 'few' END
FROM IB010MS
)sql")),
              QStringLiteral("7/2/members"));
}

TEST_F(DemoTest, EveryProgramIsReachableBySomeDemoEmployee) {
    // The menu's permission statement: (level programs UNION ALL added) EXCEPT removed.
    const QString permitted =
        QStringLiteral("SELECT PROGRAM_ID FROM ZA050MS WHERE PROJECT_ID = :P0 AND PROGRAM_ID IN "
                       "(SELECT PROGRAM_ID FROM ZA140MS "
                       "WHERE PROJECT_ID = :P0 AND PROJECT_LEVEL = (SELECT PROJECT_LEVEL FROM "
                       "ZA130MS WHERE EMP_NO = :P2 AND "
                       "PROJECT_ID = :P0) UNION ALL SELECT PROGRAM_ID FROM ZA150MS WHERE EMP_NO = "
                       ":P2 AND PROJECT_ID = :P0 AND "
                       "ADD_YN = 'Y' EXCEPT SELECT PROGRAM_ID FROM ZA150MS WHERE EMP_NO = :P2 AND "
                       "PROJECT_ID = :P0 AND ADD_YN = 'N') "
                       "AND DISPLAY_SEQ > 0");
    QSet<QString> reachable;
    QHash<QString, QSet<QString>> byEmployee;
    for (const database::DemoUser &u : database::DemoUsers()) {
        db::Query q(*connection);
        q.setSql(permitted);
        q.setParam(QStringLiteral("P0"), QStringLiteral("KELO_S"));
        q.setParam(QStringLiteral("P2"), u.empNo);
        for (q.open(); !q.eof(); q.next()) {
            reachable.insert(q.text(0));
            byEmployee[u.empNo].insert(q.text(0));
        }
    }
    for (const database::DemoProgram &p : database::DemoPrograms())
        EXPECT_TRUE(reachable.contains(p.id)) << p.id.toStdString();
    EXPECT_EQ(database::DemoPrograms().size(), 75u); // the menus' 74 and the report catalogue
    // The exceptions: added and removed programs.
    EXPECT_TRUE(byEmployee[QStringLiteral("20000002")].contains(QStringLiteral("SRI010")));
    EXPECT_FALSE(byEmployee[QStringLiteral("20000002")].contains(QStringLiteral("SQS000")));
    EXPECT_TRUE(byEmployee[QStringLiteral("20000003")].contains(QStringLiteral("SAS000")));
    EXPECT_FALSE(byEmployee[QStringLiteral("20000003")].contains(QStringLiteral("SBS020")));
}

TEST_F(DemoTest, PersonnelAndPhotographs) {
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM QA010MS")), QStringLiteral("300"));
    EXPECT_EQ(value(QStringLiteral(
                  "SELECT COUNT(*) FROM QA010DT WHERE SUBSTR(HEX(EMP_PIC), 1, 4) = 'FFD8'")),
              QStringLiteral("270")); // JPEG pictures for most employees
    // Four levels of the department tree valid today, four characters per level.
    EXPECT_EQ(
        value(QStringLiteral(
            "SELECT MAX(LENGTH(R_CODE)) FROM QA160MS_DATE WHERE SYSDATE() BETWEEN BGN_DATE AND "
            "END_DATE")),
        QStringLiteral("16"));
    EXPECT_EQ(value(QStringLiteral(
                  "SELECT COUNT(*) FROM QA010MS A LEFT JOIN QA160MS B ON B.AFF_DEPT_CODE = "
                  "A.EMP_AFF_DEPT_CODE WHERE B.AFF_DEPT_CODE IS NULL")),
              QStringLiteral("0"));
}

TEST_F(DemoTest, TheSameSeedGivesTheSameDatabase) {
    QTemporaryDir other;
    database::DemoOptions options;
    options.path = other.filePath(QStringLiteral("again.db"));
    options.days = 40;
    options.endDate = QStringLiteral("20040229");
    options.seed = 7;
    database::GenerateDemo(options);
    db::Connection again;
    again.setSqliteFile(options.path);
    again.open();
    const QString fingerprint =
        QStringLiteral("SELECT (SELECT COUNT(*) || ':' || SUM(NET_AMT) FROM IA010MS) || '/' || "
                       "(SELECT SUM(ROOMS) FROM DE030MS) "
                       "|| '/' || (SELECT GROUP_CONCAT(EMP_K_NAME, '') FROM QA010MS) || '/' || "
                       "(SELECT SUM(LENGTH(EMP_PIC)) FROM "
                       "QA010DT) FROM DUAL");
    db::Query q(again);
    q.setSql(fingerprint);
    q.open();
    EXPECT_EQ(q.text(0), value(fingerprint));
}

TEST_F(DemoTest, TheContentOfOneSeedIsFixed) {
    // Twenty days from February into March, when the golf course opens while the ski outlets
    // still sell, at scale 2: every part of the daily data is drawn.
    QTemporaryDir other;
    database::DemoOptions options;
    options.path = other.filePath(QStringLiteral("season.db"));
    options.days = 20;
    options.endDate = QStringLiteral("20040310");
    options.scale = 2;
    options.seed = 7;
    const double clockFrom = clockSerial();
    database::GenerateDemo(options);
    const double clockTo = clockSerial();
    db::Connection season;
    season.setSqliteFile(options.path);
    season.open();
    // The content hash of the generator's output for these options. It changes with any change
    // to the data or to the order in which the generator draws its random numbers; a change
    // meant to alter the data updates it deliberately.
    EXPECT_EQ(contentHash(season, clockFrom, clockTo),
              "57ab78b78a857082a58e206146ee916cdd14e0b47a23dadbdb9be79d91367404");
}

} // namespace
