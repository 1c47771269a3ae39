#include "database/schema.h"
#include "db/query.h"
#include "db/storedproc.h"
#include "db/transaction.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/schema_database.h"

using namespace kelo;

namespace {

// A database made as the project makes every database: schema, codes, calendar.
class ProcedureTest : public ::testing::Test {
protected:
    void SetUp() override {}

    // Calls a procedure with NAME=VALUE inputs in its own transaction; the AERROR_MSG text.
    QString call(const QString &proc, const QStringList &inputs) {
        db::StoredProc p(connection);
        p.setProcName(proc);
        p.setParam(QStringLiteral("AU_EMP_NO"), QStringLiteral("20000001"));
        p.setParam(QStringLiteral("AU_IP"), QStringLiteral("10.0.0.7"));
        for (const QString &in : inputs)
            p.setParam(in.section(u'=', 0, 0), in.section(u'=', 1));
        db::Transaction t(connection);
        t.begin();
        p.execute();
        t.commit();
        return p.hasParam(QStringLiteral("AERROR_MSG")) ? p.param(QStringLiteral("AERROR_MSG"))
                                                        : QString();
    }

    QString value(const QString &sql) {
        db::Query q(connection);
        q.setSql(sql);
        q.open();
        return q.eof() ? QStringLiteral("<none>") : q.text(0);
    }

    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
};

TEST_F(ProcedureTest, ParameterListsAreTheDocumentedOnes) {
    db::StoredProc p(connection);
    p.setProcName(QStringLiteral("PR_SA020MS_01"));
    p.refreshParams();
    QStringList names;
    for (const auto &param : p.params())
        names << param.name;
    EXPECT_EQ(names.join(u','),
              QStringLiteral(
                  "ASALE_DATE,ATOTAL_RMS_1001,AOOO_RMS_1001,AOOI_RMS_1001,AAVAILABLE_RMS_1001,"
                  "ATOTAL_RMS_1002,AOOO_RMS_1002,AOOI_RMS_1002,AAVAILABLE_RMS_1002,ATOTAL_RMS_1003,"
                  "AOOO_RMS_1003,AOOI_RMS_1003,AAVAILABLE_RMS_1003,AU_EMP_NO,AU_IP,AEDITSTATUS,"
                  "AERROR_MSG"));
    EXPECT_EQ(p.params().back().direction, db::ParamDirection::Output);
    EXPECT_EQ(p.params().back().size, 2000);

    p.setProcName(QStringLiteral("PR_STI010MS_01"));
    p.refreshParams();
    EXPECT_FALSE(p.hasParam(QStringLiteral("AERROR_MSG")));
    EXPECT_TRUE(p.hasParam(QStringLiteral("AREMARKS")));

    p.setProcName(QStringLiteral("PR_SA000MS_01"));
    p.refreshParams();
    names.clear();
    for (const auto &param : p.params())
        names << param.name;
    EXPECT_EQ(names.join(u','), QStringLiteral("ASALE_DATE,AU_EMP_NO,AU_IP,AERROR_MSG"));
    EXPECT_EQ(p.params().back().direction, db::ParamDirection::Output);
    EXPECT_EQ(p.params().back().size, 2000);
}

TEST_F(ProcedureTest, InsertThenUpdateThenDeleteWithAuditStamps) {
    const QString key = QStringLiteral("ASALE_DATE=20040407");
    // '1' on a calendar row that does not exist yet inserts it.
    EXPECT_EQ(call(QStringLiteral("PR_SA010MS_01"),
                   {key, QStringLiteral("AWEATHER=01"), QStringLiteral("AEDITSTATUS=1")}),
              QString());
    EXPECT_EQ(
        value(QStringLiteral("SELECT WEATHER || '/' || U_EMP_NO || '/' || U_IP FROM SA010MS")),
        QStringLiteral("01/20000001/10.0.0.7"));
    EXPECT_EQ(value(QStringLiteral("SELECT TO_CHAR(U_DATE, 'YYYYMMDD') FROM SA010MS")),
              QStringLiteral("20261210")); // the tests' clock
    // '2' on an existing row updates it; an empty weather is stored as NULL.
    EXPECT_EQ(call(QStringLiteral("PR_SA010MS_01"),
                   {key, QStringLiteral("AWEATHER="), QStringLiteral("AEDITSTATUS=2")}),
              QString());
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) || NVL(MAX(WEATHER), '-') FROM SA010MS")),
              QStringLiteral("1-"));
    // '0' writes nothing, '3' deletes.
    EXPECT_EQ(call(QStringLiteral("PR_SA010MS_01"),
                   {key, QStringLiteral("AWEATHER=05"), QStringLiteral("AEDITSTATUS=0")}),
              QString());
    EXPECT_EQ(value(QStringLiteral("SELECT NVL(WEATHER, '-') FROM SA010MS")), QStringLiteral("-"));
    EXPECT_EQ(call(QStringLiteral("PR_SA010MS_01"), {key, QStringLiteral("AEDITSTATUS=3")}),
              QString());
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM SA010MS")), QStringLiteral("0"));
}

TEST_F(ProcedureTest, RoomCountsWriteOneRowPerHotel) {
    QStringList inputs = {QStringLiteral("ASALE_DATE=20040407"), QStringLiteral("AEDITSTATUS=2")};
    int n = 0;
    for (const char *hotel : {"1001", "1002", "1003"})
        for (const char *column : {"ATOTAL_RMS_", "AOOO_RMS_", "AOOI_RMS_", "AAVAILABLE_RMS_"})
            inputs << QStringLiteral("%1%2=%3")
                          .arg(QLatin1String(column), QLatin1String(hotel))
                          .arg(++n);
    EXPECT_EQ(call(QStringLiteral("PR_SA020MS_01"), inputs), QString());
    EXPECT_EQ(value(QStringLiteral("SELECT GROUP_CONCAT(UPJANG_CODE || ':' || TO_CHAR(TOTAL_RMS) "
                                   "|| ',' || TO_CHAR(AVAILABLE_RMS), ' ') "
                                   "FROM (SELECT * FROM SA020MS ORDER BY UPJANG_CODE)")),
              QStringLiteral("1001:1,4 1002:5,8 1003:9,12"));
}

TEST_F(ProcedureTest, RefusedRowsWriteNothing) {
    const struct {
        const char *what;
        QStringList inputs;
        const char *messagePart;
    } cases[] = {
        {"a number that is not one",
         {"ASALE_DATE=20040407", "AUPJANG_CODE=1001", "ADIVISION=10", "ANET_AMT=12a",
          "AEDITSTATUS=2"},
         "ANET_AMT의 값 '12a'은(는) 숫자가 아닙니다."},
        {"a number beyond the range of a figure",
         {"ASALE_DATE=20040407", "AUPJANG_CODE=1001", "ADIVISION=10", "ASALE_AMT=1e309",
          "AEDITSTATUS=2"},
         "ASALE_AMT의 값 '1e309'은(는) 허용 범위를 벗어났습니다."},
        {"a missing key",
         {"ASALE_DATE=20040407", "AUPJANG_CODE=", "ADIVISION=10", "AEDITSTATUS=2"},
         "AUPJANG_CODE"},
        {"an invalid date",
         {"ASALE_DATE=20040230", "AUPJANG_CODE=1001", "ADIVISION=10", "AEDITSTATUS=2"},
         "ASALE_DATE"},
        {"an unknown status",
         {"ASALE_DATE=20040407", "AUPJANG_CODE=1001", "ADIVISION=10", "AEDITSTATUS=9"},
         "AEDITSTATUS"},
        {"an empty status",
         {"ASALE_DATE=20040407", "AUPJANG_CODE=1001", "ADIVISION=10"},
         "AEDITSTATUS"},
    };
    for (const auto &c : cases) {
        const QString message = call(QStringLiteral("PR_SA030MS_01"), c.inputs);
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.messagePart)))
            << c.what << ": " << message.toStdString();
    }
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM SA030MS")), QStringLiteral("0"));
    // Negative and formatted figures are figures.
    EXPECT_EQ(call(QStringLiteral("PR_SA030MS_01"),
                   {QStringLiteral("ASALE_DATE=20040407"), QStringLiteral("AUPJANG_CODE=1001"),
                    QStringLiteral("ADIVISION=10"), QStringLiteral("ANET_AMT=-1,500"),
                    QStringLiteral("AEDITSTATUS=2")}),
              QString());
    EXPECT_EQ(value(QStringLiteral("SELECT NET_AMT FROM SA030MS")), QStringLiteral("-1500"));
}

TEST_F(ProcedureTest, RoomCountsAreCheckedBeforeAnyHotelIsWritten) {
    const QString message =
        call(QStringLiteral("PR_SA020MS_01"),
             {QStringLiteral("ASALE_DATE=20040407"), QStringLiteral("ATOTAL_RMS_1001=5"),
              QStringLiteral("ATOTAL_RMS_1003=x"), QStringLiteral("AEDITSTATUS=2")});
    EXPECT_TRUE(message.contains(QStringLiteral("ATOTAL_RMS_1003")));
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM SA020MS")), QStringLiteral("0"));
}

TEST_F(ProcedureTest, TargetProcedureWithoutErrorOutputRaisesItsRefusal) {
    EXPECT_THROW(call(QStringLiteral("PR_STI010MS_01"),
                      {QStringLiteral("ASALE_DATE=20040407"), QStringLiteral("AUPJANG_CODE=1001"),
                       QStringLiteral("ADIVISION=11"), QStringLiteral("AGUESTS=many"),
                       QStringLiteral("AEDITSTATUS=2")}),
                 db::DbError);
    EXPECT_EQ(call(QStringLiteral("PR_STI010MS_01"),
                   {QStringLiteral("ASALE_DATE=20040407"), QStringLiteral("AUPJANG_CODE=1001"),
                    QStringLiteral("ADIVISION=11"), QStringLiteral("AGUESTS=12"),
                    QStringLiteral("ASALE_AMT=3000"), QStringLiteral("AREMARKS=주말 행사"),
                    QStringLiteral("AEDITSTATUS=2")}),
              QString());
    EXPECT_EQ(
        value(QStringLiteral(
            "SELECT TO_CHAR(GUESTS) || '/' || TO_CHAR(SALE_AMT) || '/' || REMARKS FROM JH040MS")),
        QStringLiteral("12/3000/주말 행사"));
}

TEST_F(ProcedureTest, EventReportMark) {
    EXPECT_EQ(call(QStringLiteral("PR_FA091MS_01"),
                   {QStringLiteral("AEVENT_NO=E0000001"), QStringLiteral("AREPORT_CHK=Y"),
                    QStringLiteral("AEDITSTATUS=2")}),
              QString());
    EXPECT_EQ(value(QStringLiteral("SELECT REPORT_CHK FROM FA010DS WHERE EVENT_NO = 'E0000001'")),
              QStringLiteral("Y"));
}

} // namespace

namespace {

// A write checks, inside the caller's transaction, that the row still holds what the
// caller read of it: a row saved, added or deleted by another user since is refused and
// nothing is written; what reads the same (figures by value, NULL as empty) is written.
TEST_F(ProcedureTest, AWriteIsRefusedWhenTheRowChangedSinceItWasRead) {
    struct Case {
        const char *name;
        const char *stored; // HU_RMS and NET_AMT of the stored row; nullptr: no row
        db::RowRead read;
        const char *status;
        bool refused;
    };
    auto read = [](const char *hu, const char *net) {
        db::RowRead r;
        r.checked = true;
        r.values = {{QStringLiteral("AHU_RMS"), QLatin1String(hu)},
                    {QStringLiteral("ANET_AMT"), QLatin1String(net)}};
        return r;
    };
    db::RowRead absent;
    absent.checked = true;
    absent.absent = true;
    const Case cases[] = {
        {"as read", "12|1000", read("12", "1,000"), "1", false},
        {"NULL read as empty", "12|", read("12", ""), "1", false},
        {"an empty figure read as 0", "12|", read("12", "0"), "1", false},
        {"another user's figure", "12|1500", read("12", "1000"), "1", true},
        {"deleted by another user", nullptr, read("12", "1000"), "1", true},
        {"a row read as nothing and still absent", nullptr, read("", ""), "1", false},
        {"added by another user", "12|1000", absent, "2", true},
        {"new and still absent", nullptr, absent, "2", false},
        {"a deletion of a changed row", "13|1000", read("12", "1000"), "3", true},
        {"a deletion as read", "12|1000", read("12", "1000"), "3", false},
        {"unchecked", "12|1500", db::RowRead(), "1", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        schemaDb.exec(QStringLiteral("DELETE FROM SA030MS"));
        QString before = QStringLiteral("<none>");
        if (c.stored) {
            const QStringList v = QString::fromLatin1(c.stored).split(u'|');
            schemaDb.exec(QStringLiteral(R"sql(
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, HU_RMS, NET_AMT)
VALUES ('20240301', '1001', '10', %1, %2)
)sql")
                              .arg(v[0], v[1].isEmpty() ? QStringLiteral("NULL") : v[1]));
            before = value(QStringLiteral(
                "SELECT CAST(HU_RMS AS INTEGER) || '/' || CAST(NVL(NET_AMT, -1) AS INTEGER) FROM SA030MS"));
        }
        db::StoredProc p(connection);
        p.setProcName(QStringLiteral("PR_SA030MS_01"));
        for (const auto &[name, v] :
             std::map<QString, QString>{{QStringLiteral("ASALE_DATE"), QStringLiteral("20240301")},
                                        {QStringLiteral("AUPJANG_CODE"), QStringLiteral("1001")},
                                        {QStringLiteral("ADIVISION"), QStringLiteral("10")},
                                        {QStringLiteral("AHU_RMS"), QStringLiteral("20")},
                                        {QStringLiteral("ANET_AMT"), QStringLiteral("2000")},
                                        {QStringLiteral("AEDITSTATUS"), QLatin1String(c.status)},
                                        {QStringLiteral("AU_EMP_NO"), QStringLiteral("20000001")}})
            p.setParam(name, v);
        p.setRowRead(c.read);
        db::Transaction t(connection);
        t.begin();
        p.execute();
        t.commit();
        const QString message = p.param(QStringLiteral("AERROR_MSG"));
        const QString after = value(QStringLiteral(
            "SELECT CAST(HU_RMS AS INTEGER) || '/' || CAST(NVL(NET_AMT, -1) AS INTEGER) FROM SA030MS"));
        if (c.refused) {
            EXPECT_EQ(message, QStringLiteral("다른 사용자가 조회 이후에 이 자료(SALE_DATE "
                                              "20240301, UPJANG_CODE 1001, DIVISION 10)를 "
                                              "저장했습니다. 다시 조회하면 바뀐 내용을 볼 수 "
                                              "있습니다."));
            EXPECT_EQ(after, before);
        } else {
            EXPECT_EQ(message, QString());
            EXPECT_EQ(after, QLatin1String(c.status) == QLatin1String("3")
                                 ? QStringLiteral("<none>")
                                 : QStringLiteral("20/2000"));
        }
    }
}

} // namespace
