#include "db/query.h"
#include "db/rowset.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using namespace kelo;

namespace {

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        database.exec(
            QStringLiteral("CREATE TABLE SA030MS (SALE_DATE TEXT, UPJANG_CODE TEXT, NET_AMT REAL, "
                           "PRIMARY KEY (SALE_DATE, UPJANG_CODE));"
                           "INSERT INTO SA030MS VALUES ('20040407', '1001', 1500.0);"
                           "INSERT INTO SA030MS VALUES ('20040407', '1002', 0.5);"
                           "INSERT INTO SA030MS VALUES ('20040408', '1001', NULL);"));
    }
    test::TempDatabase database;
};

TEST(ParamNames, InOrderOfFirstAppearanceSkippingLiteralsAndComments) {
    const QString sql =
        QStringLiteral("SELECT ':NOT', \"A:B\" FROM T -- :COMMENT\n"
                       "WHERE a = :asale_date AND b = :AUPJANG_CODE /* :X */ AND c = :ASALE_DATE "
                       "AND TO_CHAR(d, 'HH24:MI:SS') = :P0");
    EXPECT_EQ(db::ParseParamNames(sql),
              (QStringList{QStringLiteral("ASALE_DATE"), QStringLiteral("AUPJANG_CODE"),
                           QStringLiteral("P0")}));
}

TEST_F(QueryTest, EveryOccurrenceOfANameTakesTheSameValue) {
    db::Query q(database.connection());
    q.addSql(QStringLiteral("SELECT UPJANG_CODE, NET_AMT FROM SA030MS"));
    q.addSql(QStringLiteral("WHERE SALE_DATE = :ASALE_DATE AND SUBSTR(:ASALE_DATE, 7, 2) = '07'"));
    q.addSql(QStringLiteral("ORDER BY UPJANG_CODE"));
    ASSERT_EQ(q.paramCount(), 1);
    q.setParam(0, QStringLiteral("20040407")); // by position
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.text(QStringLiteral("upjang_code")), QStringLiteral("1001"));
    EXPECT_EQ(q.text(1), QStringLiteral("1500"));
    EXPECT_DOUBLE_EQ(q.number(QStringLiteral("NET_AMT")), 1500);
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.text(1), QStringLiteral(".5"));
    EXPECT_FALSE(q.next());
    EXPECT_TRUE(q.eof());
    // reopened with another value
    q.setParam(QStringLiteral("asale_date"), QStringLiteral("20040408"));
    q.open();
    EXPECT_TRUE(q.eof()); // the 8th is not the 7th day
}

TEST_F(QueryTest, EmptyTextBindsAsNull) {
    db::Query q(database.connection());
    q.setSql(QStringLiteral("SELECT COUNT(*) FROM SA030MS WHERE :P0 IS NULL"));
    q.setParam(QStringLiteral("P0"), QString());
    q.open();
    EXPECT_EQ(q.integer(0), 3);
    q.setParam(QStringLiteral("P0"), QStringLiteral(" "));
    q.open();
    EXPECT_EQ(q.integer(0), 0);
}

TEST_F(QueryTest, MistakesAreDbErrorsWithTheEngineText) {
    db::Query q(database.connection());
    q.setSql(QStringLiteral("SELECT * FROM SA030MS WHERE SALE_DATE = :ASALE_DATE"));
    EXPECT_THROW(q.open(), db::DbError); // no value set
    EXPECT_THROW(q.setParam(QStringLiteral("AUNKNOWN"), QStringLiteral("x")), db::DbError);
    EXPECT_THROW(q.setParam(3, QStringLiteral("x")), db::DbError);

    q.setSql(QStringLiteral("SELECT NO_SUCH_COLUMN FROM SA030MS"));
    try {
        q.open();
        FAIL();
    } catch (const db::DbError &e) {
        EXPECT_TRUE(e.message().contains(test::OnPostgres() ? QStringLiteral("does not exist")
                                                            : QStringLiteral("no such column")))
            << e.message().toStdString();
    }
    q.setSql(QStringLiteral("SELECT 1 FROM DUAL"));
    q.open();
    EXPECT_THROW(q.text(QStringLiteral("MISSING")), db::DbError);
    EXPECT_THROW(q.text(5), db::DbError);
}

TEST_F(QueryTest, NullAndMissingRowsReadAsEmptyAndZero) {
    db::Query q(database.connection());
    q.setSql(QStringLiteral("SELECT NET_AMT FROM SA030MS WHERE SALE_DATE = '20040408'"));
    q.open();
    EXPECT_TRUE(q.isNull(0));
    EXPECT_EQ(q.text(0), QString());
    EXPECT_EQ(q.number(0), 0);
    q.next();
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.text(0), QString());
}

TEST_F(QueryTest, ExecReportsChangedRows) {
    db::Query q(database.connection());
    q.setSql(QStringLiteral("UPDATE SA030MS SET NET_AMT = :AMT WHERE SALE_DATE = :D"));
    q.setParam(QStringLiteral("AMT"), QStringLiteral("10"));
    q.setParam(QStringLiteral("D"), QStringLiteral("20040407"));
    EXPECT_EQ(q.exec(), 2);
}

TEST(RowSet, FeedsInPacketsOf100AsItIsWalked) {
    test::TempDatabase database;
    database.exec(QStringLiteral(
        "CREATE TABLE N (I INTEGER);"
        "WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM C WHERE X < 250) "
        "INSERT INTO N SELECT X FROM C;"));
    db::RowSet rows(database.connection());
    rows.query().setSql(QStringLiteral("SELECT I, I / 2.0 AS HALF FROM N ORDER BY I"));
    rows.open();
    EXPECT_EQ(rows.fetchedRows(), 100);
    EXPECT_FALSE(rows.isComplete());
    EXPECT_EQ(rows.recNo(), 0);
    EXPECT_EQ(rows.fieldText(QStringLiteral("HALF")), QStringLiteral(".5"));

    for (int i = 0; i < 100; ++i)
        rows.next();
    EXPECT_EQ(rows.recNo(), 100);
    EXPECT_EQ(rows.fetchedRows(), 200); // the next packet came when the walk reached it
    EXPECT_EQ(rows.fieldText(QStringLiteral("I")), QStringLiteral("101"));

    rows.last();
    EXPECT_TRUE(rows.isComplete());
    EXPECT_EQ(rows.fetchedRows(), 250);
    EXPECT_EQ(rows.text(249, 0), QStringLiteral("250"));
    rows.next();
    EXPECT_TRUE(rows.eof());
    EXPECT_EQ(rows.recNo(), 249);
    EXPECT_TRUE(rows.moveTo(10));
    EXPECT_DOUBLE_EQ(rows.fieldNumber(QStringLiteral("HALF")), 5.5);
    EXPECT_FALSE(rows.moveTo(250));
}

TEST(RowSet, EmptyResult) {
    test::TempDatabase database;
    db::RowSet rows(database.connection());
    rows.query().setSql(QStringLiteral("SELECT 1 AS X FROM DUAL WHERE 1 = 0"));
    rows.open();
    EXPECT_TRUE(rows.isEmpty());
    EXPECT_TRUE(rows.eof());
    EXPECT_EQ(rows.recNo(), -1);
    EXPECT_EQ(rows.columnIndex(QStringLiteral("x")), 0);
    EXPECT_EQ(rows.fieldText(QStringLiteral("X")), QString());
}

} // namespace

namespace {

TEST(EngineStatement, DivisionsBecomeDecimalAndParametersAreNumberedForTheServer) {
    const QStringList names = {QStringLiteral("A"), QStringLiteral("B")};
    const struct {
        const char *sql;
        const char *sqlite;
        const char *postgres;
    } cases[] = {
        {"SELECT :A / :b FROM DUAL", "SELECT :A * 1.0 / :b FROM DUAL",
         "SELECT $1 * 1.0 / $2 FROM DUAL"},
        {"SELECT 'x/:A' || \"q/:B\" -- 1/:A\nFROM DUAL /* :B/2 */",
         "SELECT 'x/:A' ->> \"q/:B\" -- 1/:A\nFROM DUAL /* :B/2 */",
         "SELECT 'x/:A'  OPERATOR(kelo.|||)  \"q/:B\" -- 1/:A\nFROM DUAL /* :B/2 */"},
        // || and '' of the dialect, MINUS and SYSDATE: not in comments or quoted names.
        {"SELECT A||'', \"''||\", X'' -- '' || MINUS\nFROM T /* SYSDATE MINUS */ MINUS SELECT 1",
         "SELECT A->>NULL, \"''||\", X'' -- '' || MINUS\nFROM T /* SYSDATE MINUS */ EXCEPT SELECT 1",
         "SELECT A OPERATOR(kelo.|||) NULL, \"''||\", X'' -- '' || MINUS\nFROM T /* SYSDATE MINUS */ "
         "EXCEPT SELECT 1"},
        {"SELECT X::text, :a FROM T", "SELECT X::text, :a FROM T", "SELECT X::text, $1 FROM T"},
        {"SELECT 'it''s' FROM T WHERE A = :B", "SELECT 'it''s' FROM T WHERE A = :B",
         "SELECT 'it''s' FROM T WHERE A = $2"},
        // DECODE, TRIM, GREATEST and LEAST are syntax on the server: calls of ours there.
        {"SELECT DECODE(X, '1', 'a,b', DECODE(Y, :A, 2 / 3), 'c') FROM T",
         "SELECT DECODE(X, '1', 'a,b', DECODE(Y, :A, 2 * 1.0 / 3), 'c') FROM T",
         "SELECT (CASE WHEN kelo_decode_eq(X,  '1') THEN  'a,b' WHEN kelo_decode_eq(X,  "
         "(CASE WHEN kelo_decode_eq(Y,  $1) THEN  2 * 1.0 / 3 END)) THEN  'c' END) FROM T"},
        {"SELECT TRIM(A), GREATEST (1, 2), X.LEAST(3), MYTRIM(4) FROM T",
         "SELECT TRIM(A), GREATEST (1, 2), X.LEAST(3), MYTRIM(4) FROM T",
         "SELECT kelo_trim(A), kelo_greatest (1, 2), X.LEAST(3), MYTRIM(4) FROM T"},
        // The business year of a date that is no column: once per statement on the server.
        {"SELECT A FROM T WHERE D >= FN_GET_YTD_DATE(:A, 'F') AND "
         "D <= fn_get_ytd1_date(SUBSTR(:B, 1, 6) || '01', 'T')",
         "SELECT A FROM T WHERE D >= FN_GET_YTD_DATE(:A, 'F') AND "
         "D <= fn_get_ytd1_date(SUBSTR(:B, 1, 6) ->> '01', 'T')",
         "SELECT A FROM T WHERE D >= (SELECT FN_GET_YTD_DATE($1, 'F')) AND "
         "D <= (SELECT fn_get_ytd1_date(SUBSTR($2, 1, 6)  OPERATOR(kelo.|||)  '01', 'T'))"},
        {"SELECT 1, FN_GET_YTD_DATE(D, 'F'), FN_GET_YTD1_DATE(:A || X, 'F') FROM T",
         "SELECT 1, FN_GET_YTD_DATE(D, 'F'), FN_GET_YTD1_DATE(:A ->> X, 'F') FROM T",
         "SELECT 1, FN_GET_YTD_DATE(D, 'F'), FN_GET_YTD1_DATE($1  OPERATOR(kelo.|||)  X, 'F') "
         "FROM T"},
        {"SELECT FN_GET_YTD_DATE(:A, 'F') FROM DUAL", "SELECT FN_GET_YTD_DATE(:A, 'F') FROM DUAL",
         "SELECT FN_GET_YTD_DATE($1, 'F') FROM DUAL"},
        // A subquery in FROM gets a name on the server, numbered within the statement: the
        // same text is always the same statement.
        {"SELECT * FROM (SELECT 1 FROM DUAL) JOIN (SELECT 2 FROM (SELECT 3 FROM DUAL)) ON 1 = 1",
         "SELECT * FROM (SELECT 1 FROM DUAL) JOIN (SELECT 2 FROM (SELECT 3 FROM DUAL)) ON 1 = 1",
         "SELECT * FROM (SELECT 1 FROM DUAL) AS KELO_SQ1 JOIN (SELECT 2 FROM (SELECT 3 FROM DUAL) "
         "AS KELO_SQ2) AS KELO_SQ3 ON 1 = 1"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(db::EngineStatement(QString::fromUtf8(c.sql), db::Engine::Sqlite, names),
                  QString::fromUtf8(c.sqlite));
        EXPECT_EQ(db::EngineStatement(QString::fromUtf8(c.sql), db::Engine::Postgres, names),
                  QString::fromUtf8(c.postgres));
    }
}

} // namespace
