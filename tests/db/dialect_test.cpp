#include "db/query.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using namespace kelo;

namespace {

struct DialectCase {
    const char *expression;
    const char *expected; // the text the client reads; "<null>" for NULL
};

void PrintTo(const DialectCase &c, std::ostream *os) {
    *os << c.expression;
}

// A table of cases on one database for the whole table, with a few rows to read.
template <typename Case> class DialectSuite : public ::testing::TestWithParam<Case> {
protected:
    static void SetUpTestSuite() {
        database = new test::TempDatabase([](db::Connection &c) {
            c.executeScript(QStringLiteral(R"sql(
                CREATE TABLE RULE_T (CODE TEXT, NAME TEXT, SYSDATE_AT TEXT);
                INSERT INTO RULE_T VALUES ('A', 'Mallin', '20040229');
                INSERT INTO RULE_T VALUES ('B', NULL, NULL);
            )sql"));
        });
    }
    static void TearDownTestSuite() {
        delete database;
        database = nullptr;
    }
    static test::TempDatabase *database;
};

template <typename Case> test::TempDatabase *DialectSuite<Case>::database = nullptr;

using DialectTest = DialectSuite<DialectCase>;

TEST_P(DialectTest, ExpressionReadsAsText) {
    db::Query q(database->connection());
    q.setSql(QStringLiteral("SELECT %1 FROM DUAL").arg(QString::fromUtf8(GetParam().expression)));
    q.open();
    ASSERT_FALSE(q.eof());
    const QString expected = QString::fromUtf8(GetParam().expected);
    if (expected == QLatin1String("<null>"))
        EXPECT_TRUE(q.isNull(0)) << "got " << q.text(0).toStdString();
    else
        EXPECT_EQ(q.text(0), expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Functions, DialectTest, ::testing::Values(
    // NVL and DECODE: an empty text is NULL, NULL matches NULL
    DialectCase{"NVL(NULL, 0)", "0"},
    DialectCase{"NVL('', 'x')", "x"},
    DialectCase{"NVL('a', 'x')", "a"},
    DialectCase{"NVL(NULL, '') || 'b'", "b"},
    DialectCase{"DECODE(NULL, NULL, 'null', 'other')", "null"},
    DialectCase{"DECODE('', NULL, 'null', 'other')", "null"},
    DialectCase{"DECODE('B', 'A', 1, 'B', 2, 'C', 3)", "2"},
    DialectCase{"DECODE('Z', 'A', 1, 'B', 2, 9)", "9"},
    DialectCase{"DECODE('Z', 'A', 1, 'B', 2)", "<null>"},
    DialectCase{"DECODE(0, 0, 0, 10 / 4)", "0"},
    DialectCase{"DECODE(4, 0, 0, 10.0 / 4)", "2.5"},
    DialectCase{"DECODE('01', 1, 'one', 'other')", "one"},
    // numbers turn into text without trailing zeros or a leading zero
    DialectCase{"TO_CHAR(1500.0)", "1500"},
    DialectCase{"TO_CHAR(0.5)", ".5"},
    DialectCase{"TO_CHAR(-0.25)", "-.25"},
    DialectCase{"1500.0", "1500"},
    DialectCase{"1.0 / 2", ".5"},
    DialectCase{"TO_CHAR(1234567, 'FM999,999,999')", "1,234,567"},
    DialectCase{"TO_CHAR(5, '00')", " 05"},
    DialectCase{"TO_CHAR(5, 'FM00')", "05"},
    DialectCase{"TO_CHAR(-1234.5, 'FM9,999.00')", "-1,234.50"},
    DialectCase{"TO_CHAR(0, '999')", "   0"},
    DialectCase{"TO_CHAR(12345, '999')", "####"},
    DialectCase{"TO_NUMBER(' 12.50')", "12.5"},
    // dates: formats of the statements
    DialectCase{"TO_CHAR(TO_DATE('20240301'), 'YYYYMMDD')", "20240301"},
    DialectCase{"TO_CHAR(TO_DATE('20240301') - 1, 'YYYYMMDD')", "20240229"},
    DialectCase{"TO_CHAR(TO_DATE('20231231') + 1, 'YYYYMMDD')", "20240101"},
    DialectCase{"TO_CHAR(TO_DATE('20040229', 'YYYYMMDD'), 'YYYYMM')", "200402"},
    DialectCase{"TO_CHAR(TO_DATE('20040229'), 'YYYY')", "2004"},
    DialectCase{"TO_CHAR(TO_DATE('20040209'), 'MM')", "02"},
    DialectCase{"TO_CHAR(TO_DATE('20040209'), 'DD')", "09"},
    DialectCase{"TO_CHAR(TO_DATE('20040209'), 'YYYY-MM-DD')", "2004-02-09"},
    DialectCase{"TO_CHAR(TO_DATE('20040209'), 'YYYY | MM | DD')", "2004 | 02 | 09"},
    DialectCase{"TO_CHAR(TO_DATE('20030105'), 'D')", "1"},
    DialectCase{"TO_CHAR(TO_DATE('20030111'), 'D')", "7"},
    DialectCase{"TO_CHAR(TO_DATE('20030106'), 'day')", "월요일"},
    DialectCase{"TO_CHAR(TO_DATE('20030106'), 'DY')", "월"},
    DialectCase{"TO_CHAR(TO_DATE('2003-01-06 13:05:09', 'YYYY-MM-DD HH24:MI:SS'), 'YYYYMMDDHH24MISS')", "20030106130509"},
    DialectCase{"TO_CHAR('20040229', 'YYYY-MM-DD')", "2004-02-29"},
    DialectCase{"TO_DATE('20240301') - TO_DATE('20240201')", "29"},
    DialectCase{"TO_DATE(NULL)", "<null>"},
    // month arithmetic: the last day of a month maps to the last day of the target month
    DialectCase{"TO_CHAR(ADD_MONTHS(TO_DATE('20040229'), -12), 'YYYYMMDD')", "20030228"},
    DialectCase{"TO_CHAR(ADD_MONTHS('20040229', -12), 'YYYYMM')", "200302"},
    DialectCase{"TO_CHAR(ADD_MONTHS('20030228', 12), 'YYYYMMDD')", "20040229"},
    DialectCase{"TO_CHAR(ADD_MONTHS('20040131', 1), 'YYYYMMDD')", "20040229"},
    DialectCase{"TO_CHAR(ADD_MONTHS('20040115', -1), 'YYYYMMDD')", "20031215"},
    DialectCase{"TO_CHAR(LAST_DAY('20040205'), 'DD')", "29"},
    DialectCase{"TO_CHAR(LAST_DAY(ADD_MONTHS('20040315', -1)), 'YYYYMMDD')", "20040229"},
    DialectCase{"TO_CHAR(LAST_DAY(TO_DATE('20031105')), 'YYYYMMDD')", "20031130"},
    DialectCase{"TO_CHAR(TRUNC(TO_DATE('20040215123000', 'YYYYMMDDHH24MISS')), 'YYYYMMDDHH24MISS')", "20040215000000"},
    DialectCase{"TO_CHAR(TRUNC(TO_DATE('20040215'), 'MM'), 'YYYYMMDD')", "20040201"},
    DialectCase{"TO_CHAR(TRUNC(TO_DATE('20040215'), 'YYYY'), 'YYYYMMDD')", "20040101"},
    DialectCase{"LENGTH(TO_CHAR(SYSDATE(), 'YYYYMMDD'))", "8"},
    // proration as the statements write it: a text day count divides as a number
    DialectCase{"ROUND(3100.0 / TO_CHAR(LAST_DAY('20040207'), 'DD') * SUBSTR('20040207', 7, 2))", "748"},
    // texts
    DialectCase{"INITCAP('MONDAY')", "Monday"},
    DialectCase{"INITCAP('hello wORLD-x')", "Hello World-X"},
    DialectCase{"LPAD('7', 3, '0')", "007"},
    DialectCase{"LPAD('12345', 3)", "123"},
    DialectCase{"LPAD('가', 3, '*')", "**가"},
    DialectCase{"RPAD('ab', 4, '.')", "ab.."},
    DialectCase{"RPAD('ab', 0)", "<null>"},
    DialectCase{"SUBSTR('20040207', 1, 6) || '01'", "20040201"},
    DialectCase{"SUBSTR('abc', 0, 2)", "ab"},
    DialectCase{"SUBSTR('abcdef', -3)", "def"},
    DialectCase{"SUBSTR('abc', 5)", "<null>"},
    DialectCase{"SUBSTR('가나다라', 2, 2)", "나다"},
    DialectCase{"LENGTH('가나다')", "3"},
    DialectCase{"LENGTH('')", "<null>"},
    DialectCase{"TRIM('  a b  ')", "a b"},
    DialectCase{"TRIM('   ')", "<null>"},
    DialectCase{"REPLACE('2003-05-01', '-')", "20030501"},
    DialectCase{"REPLACE('a.b', '.', '::')", "a::b"},
    DialectCase{"INSTR('abcabc', 'c')", "3"},
    DialectCase{"INSTR('abcabc', 'c', 4)", "6"},
    // rounding: half away from zero, optional decimals
    DialectCase{"ROUND(2.5)", "3"},
    DialectCase{"ROUND(-2.5)", "-3"},
    DialectCase{"ROUND(2.675, 2)", "2.68"},
    DialectCase{"ROUND(1234.5678, 1)", "1234.6"},
    DialectCase{"ROUND(1250, -2)", "1300"},
    DialectCase{"ROUND(7)", "7"},
    DialectCase{"ROUND(NULL, 1)", "<null>"},
    DialectCase{"TRUNC(2.79)", "2"},
    DialectCase{"TRUNC(-2.79, 1)", "-2.7"},
    DialectCase{"NVL(ROUND(DECODE(0, 0, 0, 5 / 0 * 100), 1), 0)", "0"},
    DialectCase{"ROUND(DECODE(8.0, 0, 0, 3.0 / 8.0 * 100), 1)", "37.5"},
    DialectCase{"MOD(7, 3)", "1"},
    DialectCase{"GREATEST(1, 5, 3)", "5"},
    DialectCase{"LEAST('b', 'a')", "a"},
    DialectCase{"SIGN(-4)", "-1"},
    DialectCase{"TO_CHAR(1e300)", "1E+300"},
    DialectCase{"TO_CHAR(-1e-300)", "-1E-300"},
    DialectCase{"TO_CHAR(1e50, '9.9999999999999999999999999999999999999999999999999999999999')", "#############################################################"},
    DialectCase{"NVL(TO_NUMBER(' 12.5 '), -1)", "12.5"},
    DialectCase{"TO_CHAR(7/2)", "3.5"},
    DialectCase{"TO_CHAR(-7 / 2 * 2)", "-7"},
    DialectCase{"ROUND(10 / 4)", "3"},
    DialectCase{"(SELECT COUNT(*) FROM DUAL) / 3", ".333333333333333"},
    DialectCase{"'a/b' /* 1/2 */", "a/b"}));
// clang-format on

// Rules that statements written for the suite's database rely on, each with the
// example that shows it there. Whole statements, because the rules concern the
// statement's syntax (an operator, a literal, keywords) rather than a function.
struct StatementCase {
    const char *statement;
    const char *expected; // rows joined by ',', cells by '|'; "<null>" for NULL
};

void PrintTo(const StatementCase &c, std::ostream *os) {
    *os << c.statement;
}

using DialectStatementTest = DialectSuite<StatementCase>;

TEST_P(DialectStatementTest, StatementReadsAsText) {
    db::Query q(database->connection());
    q.setSql(QString::fromUtf8(GetParam().statement));
    q.open();
    QStringList rows;
    for (; !q.eof(); q.next()) {
        QStringList cells;
        for (int f = 0; f < q.fieldCount(); ++f)
            cells << (q.isNull(f) ? QStringLiteral("<null>") : q.text(f));
        rows << cells.join(u'|');
    }
    EXPECT_EQ(rows.join(u','), QString::fromUtf8(GetParam().expected));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rules, DialectStatementTest, ::testing::Values(
    // || takes NULL as the empty text; a result without characters is NULL
    StatementCase{"SELECT 'Weather : ' || NULL FROM DUAL", "Weather : "},
    StatementCase{"SELECT 'Weather : ' || NAME FROM RULE_T WHERE CODE = 'B'", "Weather : "},
    StatementCase{"SELECT NULL || NAME || NULL || '-' || CODE FROM RULE_T ORDER BY CODE", "Mallin-A,-B"},
    StatementCase{"SELECT NULL || NULL FROM DUAL", "<null>"},
    StatementCase{"SELECT NAME || SYSDATE_AT FROM RULE_T WHERE CODE = 'B'", "<null>"},
    StatementCase{"SELECT 'No. ' || 7 || '/' || CODE FROM RULE_T WHERE CODE = 'A'", "No. 7/A"},
    StatementCase{"SELECT COUNT(*) FROM RULE_T WHERE NAME || 'x' = 'x'", "1"},
    // a zero-length text is NULL, the literal '' too; '' inside a literal is a quote
    StatementCase{"SELECT CASE WHEN '' IS NULL THEN 'null' ELSE 'text' END FROM DUAL", "null"},
    StatementCase{"SELECT COUNT(*) FROM DUAL WHERE '' = ''", "0"},
    StatementCase{"SELECT COALESCE('', 'empty') FROM DUAL", "empty"},
    StatementCase{"SELECT '' || '' FROM DUAL", "<null>"},
    StatementCase{"SELECT 'it''s', '''', 'a''''b' FROM DUAL", "it's|'|a''b"},
    StatementCase{"SELECT COUNT(*) FROM RULE_T WHERE NAME <> ''", "0"},
    // MINUS is the set difference
    StatementCase{"SELECT CODE FROM RULE_T MINUS SELECT 'A' FROM DUAL", "B"},
    StatementCase{"SELECT 'A' FROM DUAL UNION ALL SELECT 'B' FROM DUAL MINUS SELECT 'A' FROM DUAL", "B"},
    StatementCase{"SELECT 'MINUS' FROM DUAL", "MINUS"},
    // SYSDATE without parentheses is the current date; names that contain it are names
    StatementCase{"SELECT LENGTH(TO_CHAR(SYSDATE, 'YYYYMMDDHH24MISS')) FROM DUAL", "14"},
    StatementCase{"SELECT COUNT(*) FROM DUAL WHERE SYSDATE - 1 < SYSDATE()", "1"},
    StatementCase{"SELECT SYSDATE_AT, R.SYSDATE_AT FROM RULE_T R WHERE CODE = 'A'", "20040229|20040229"},
    // LIKE tells capitals from small letters
    StatementCase{"SELECT COUNT(*) FROM DUAL WHERE 'MALLIN' LIKE 'Ma%'", "0"},
    StatementCase{"SELECT CODE FROM RULE_T WHERE NAME LIKE 'Ma%'", "A"},
    StatementCase{"SELECT COUNT(*) FROM RULE_T WHERE NAME LIKE 'MA%' OR NAME LIKE '%LIN'", "0"}));
// clang-format on

TEST(Dialect, InvalidDatesAndNumbersAreStatementErrors) {
    test::TempDatabase database;
    for (const char *expr : {"TO_DATE('20030230')", "TO_DATE('2003x', 'YYYYMMDD')",
                             "ADD_MONTHS('notadate', 1)", "ROUND('abc')"}) {
        db::Query q(database.connection());
        q.setSql(QStringLiteral("SELECT %1 FROM DUAL").arg(QLatin1String(expr)));
        EXPECT_THROW(q.open(), db::DbError) << expr;
    }
}

TEST(Dialect, DatesStoredAsDayNumbersCompareAndFormat) {
    test::TempDatabase database;
    database.exec(
        QStringLiteral("CREATE TABLE T (CODE TEXT, BGN_DATE REAL, END_DATE REAL);"
                       "INSERT INTO T VALUES ('past', TO_DATE('20000101'), TO_DATE('20001231'));"
                       "INSERT INTO T VALUES ('now', TO_DATE('20000101'), TO_DATE('99991231'));"));
    db::Query q(database.connection());
    q.setSql(QStringLiteral("SELECT CODE, TO_CHAR(BGN_DATE, 'YYYY-MM-DD') FROM T "
                            "WHERE SYSDATE() BETWEEN BGN_DATE AND END_DATE"));
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.text(0), QStringLiteral("now"));
    EXPECT_EQ(q.text(1), QStringLiteral("2000-01-01"));
    EXPECT_FALSE(q.next());
}

} // namespace
