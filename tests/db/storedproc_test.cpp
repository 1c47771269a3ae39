#include "db/query.h"
#include "db/serverobjects.h"
#include "db/storedproc.h"
#include "db/transaction.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

using namespace kelo;

namespace {

// A procedure that writes one row and refuses a negative amount after writing
// (so that the refusal has something to undo).
db::ServerObjects testObjects() {
    db::ServerObjects objects;
    objects.addProcedure(
        {QStringLiteral("PR_TEST_01"),
         {{QStringLiteral("AKEY")},
          {QStringLiteral("AAMOUNT")},
          {QStringLiteral("AERROR_MSG"), db::ParamDirection::Output, 2000}},
         [](db::ProcCall &call) {
             db::Query q(call.connection());
             q.setSql(QStringLiteral("INSERT INTO T (K, AMOUNT) VALUES (:K, :A)"));
             q.setParam(QStringLiteral("K"), call.input(QStringLiteral("AKEY")));
             q.setParam(QStringLiteral("A"), call.input(QStringLiteral("AAMOUNT")));
             q.exec();
             if (call.input(QStringLiteral("AAMOUNT")).startsWith(u'-'))
                 call.setOutput(QStringLiteral("AERROR_MSG"), QStringLiteral("금액이 음수입니다."));
         }});
    return objects;
}

class StoredProcTest : public ::testing::Test {
protected:
    void SetUp() override {
        database.connection().setServerObjects(objects);
        database.exec(QStringLiteral("CREATE TABLE T (K TEXT PRIMARY KEY, AMOUNT REAL)"));
    }
    int rows() {
        db::Query q(database.connection());
        q.setSql(QStringLiteral("SELECT COUNT(*) FROM T"));
        q.open();
        return int(q.integer(0));
    }
    db::ServerObjects objects = testObjects();
    test::TempDatabase database;
};

TEST_F(StoredProcTest, ParametersComeFromTheDatabaseDescription) {
    db::StoredProc proc(database.connection());
    proc.setProcName(QStringLiteral("pr_test_01"));
    proc.refreshParams();
    ASSERT_EQ(proc.params().size(), 3u);
    EXPECT_EQ(proc.params()[2].name, QStringLiteral("AERROR_MSG"));
    EXPECT_EQ(proc.params()[2].direction, db::ParamDirection::Output);
    EXPECT_EQ(proc.params()[2].size, 2000);

    db::Transaction t(database.connection());
    t.begin();
    proc.setParam(QStringLiteral("AKEY"), QStringLiteral("a"));
    proc.setParam(QStringLiteral("AAMOUNT"), QStringLiteral("10"));
    proc.execute();
    EXPECT_EQ(proc.param(QStringLiteral("AERROR_MSG")), QString());
    t.commit();
    EXPECT_EQ(rows(), 1);
}

TEST_F(StoredProcTest, ARefusalUndoesThatCallOnlyAndReportsItsText) {
    db::StoredProc proc(database.connection());
    proc.setProcName(QStringLiteral("PR_TEST_01"));
    proc.addParam(QStringLiteral("AKEY"), db::ParamDirection::Input);
    proc.addParam(QStringLiteral("AAMOUNT"), db::ParamDirection::Input);
    proc.addParam(QStringLiteral("AERROR_MSG"), db::ParamDirection::Output, 2000);
    db::Transaction t(database.connection());
    t.begin();
    proc.setParam(QStringLiteral("AKEY"), QStringLiteral("a"));
    proc.setParam(QStringLiteral("AAMOUNT"), QStringLiteral("10"));
    proc.execute();
    proc.setParam(QStringLiteral("AKEY"), QStringLiteral("b"));
    proc.setParam(QStringLiteral("AAMOUNT"), QStringLiteral("-1"));
    proc.execute();
    EXPECT_EQ(proc.param(QStringLiteral("AERROR_MSG")), QStringLiteral("금액이 음수입니다."));
    EXPECT_EQ(rows(), 1); // the first call stands, the refused one wrote nothing
    EXPECT_TRUE(database.connection().inTransaction());
    t.rollback();
    EXPECT_EQ(rows(), 0);
}

TEST_F(StoredProcTest, AnEngineErrorInTheBodyUndoesItsWritesAndRaises) {
    db::StoredProc proc(database.connection());
    proc.setProcName(QStringLiteral("PR_TEST_01"));
    proc.setParam(QStringLiteral("AKEY"), QStringLiteral("a"));
    proc.setParam(QStringLiteral("AAMOUNT"), QStringLiteral("1"));
    proc.execute();                            // outside a transaction: the call commits on its own
    EXPECT_THROW(proc.execute(), db::DbError); // duplicate key
    EXPECT_EQ(rows(), 1);
    EXPECT_FALSE(database.connection().inTransaction());
}

TEST_F(StoredProcTest, UnknownProcedureOrParameterIsAnError) {
    db::StoredProc proc(database.connection());
    proc.setProcName(QStringLiteral("PR_NONE"));
    EXPECT_THROW(proc.execute(), db::DbError);
    proc.setProcName(QStringLiteral("PR_TEST_01"));
    proc.addParam(QStringLiteral("AWRONG"), db::ParamDirection::Input);
    EXPECT_THROW(proc.execute(), db::DbError);
    EXPECT_EQ(rows(), 0);
}

} // namespace
