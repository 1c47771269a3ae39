#include "database/procedures.h"

#include "common/functions.h"
#include "common/numbertext.h"
#include "database/databuild.h"
#include "db/dberror.h"
#include "db/query.h"

#include <QStringList>
#include <optional>

namespace kelo::database {

namespace {

using db::ParamDirection;
using db::ProcCall;
using db::ProcParam;

enum class Kind { Text, Number, Date };

struct Column {
    QString name;
    Kind kind = Kind::Number;
    // What the screens show for the column when it is NULL or its row is missing (a
    // search's NVL); a figure shows 0.
    QString shownForNull = QString();
};

// One table written by key: inserts or updates the row of the key, or deletes it.
struct TableWrite {
    QString table;
    std::vector<Column> keys;
    std::vector<Column> values;
};

// A refusal: the text goes to AERROR_MSG (or raises where the procedure has none).
struct Refusal {
    QString message;
};

QString checkedValue(const ProcCall &call, const QString &param, const Column &column, bool key) {
    const QString raw = call.input(param);
    const QString value = column.kind == Kind::Text ? raw : raw.trimmed();
    if (key && value.trimmed().isEmpty())
        throw Refusal{QStringLiteral("필수 항목 %1의 값이 없습니다.").arg(param)};
    if (value.isEmpty())
        return value;
    switch (column.kind) {
    case Kind::Date:
        if (value.size() != 8 || !IsValidDate(value))
            throw Refusal{QStringLiteral("%1의 값 '%2'은(는) 올바른 일자(YYYYMMDD)가 아닙니다.")
                              .arg(param, value)};
        return value;
    case Kind::Number: {
        double v = 0;
        switch (ReadNumber(QString(value).remove(u','), v)) {
        case NumberReading::Number:
            return NumberToText(v);
        case NumberReading::OutOfRange:
            throw Refusal{
                QStringLiteral("%1의 값 '%2'은(는) 허용 범위를 벗어났습니다.").arg(param, value)};
        case NumberReading::NotANumber:
            break;
        }
        throw Refusal{QStringLiteral("%1의 값 '%2'은(는) 숫자가 아닙니다.").arg(param, value)};
    }
    case Kind::Text:
        return value;
    }
    return value;
}

QString editStatus(const ProcCall &call) {
    const QString status = call.input(QStringLiteral("AEDITSTATUS")).trimmed();
    if (status != QLatin1String("0") && status != QLatin1String("1") &&
        status != QLatin1String("2") && status != QLatin1String("3"))
        throw Refusal{
            QStringLiteral("처리구분(AEDITSTATUS)의 값 '%1'이(가) 올바르지 않습니다.").arg(status)};
    return status;
}

// What the caller read of the row, per value column of the table (nothing where the caller
// read no value for the column's parameter, "A" + column + suffix).
struct ReadRow {
    bool checked = false;
    bool absent = false;
    std::vector<std::optional<QString>> values;
};

ReadRow readRowOf(const ProcCall &call, const TableWrite &w, const QString &suffix = QString()) {
    const db::RowRead &read = call.rowRead();
    ReadRow r{read.checked, read.absent, {}};
    for (const Column &v : w.values) {
        const auto it = read.values.find((u'A' + v.name + suffix).toUpper());
        r.values.push_back(it == read.values.end() ? std::nullopt
                                                   : std::optional<QString>(it->second));
    }
    return r;
}

// A stored value and the value read earlier mean the same: numbers by value (an empty
// figure is 0, thousands separators aside), texts as they stand (an empty text is NULL).
bool sameValue(const Column &column, const QString &stored, const QString &read) {
    if (column.kind == Kind::Number) {
        bool storedOk = true, readOk = true;
        const QString a = QString(stored).remove(u',').trimmed();
        const QString b = QString(read).remove(u',').trimmed();
        const double x = a.isEmpty() ? 0.0 : ParseNumber(a, &storedOk);
        const double y = b.isEmpty() ? 0.0 : ParseNumber(b, &readOk);
        if (storedOk && readOk)
            return x == y;
    }
    return (stored.isEmpty() ? column.shownForNull : stored) == read || stored == read;
}

// Refuses the row when the database no longer holds what the caller read of it: another
// user saved, added or deleted it since the caller's search. On the server the row stays
// locked until the caller's transaction ends; on SQLite the save's transaction holds the
// write lock from its start.
void checkUnchanged(ProcCall &call, const TableWrite &w, const std::vector<QString> &keyValues,
                    const ReadRow &read) {
    if (!read.checked)
        return;
    db::Query q(call.connection());
    QStringList columns, where, key;
    for (const Column &v : w.values)
        columns << v.name;
    for (size_t i = 0; i < w.keys.size(); ++i) {
        where << QStringLiteral("%1 = :%1").arg(w.keys[i].name);
        key << QStringLiteral("%1 %2").arg(w.keys[i].name, keyValues[i]);
    }
    const bool server = call.connection().engine() == db::Engine::Postgres;
    q.setSql(QStringLiteral(R"sql(
            SELECT %1
            FROM %2
            WHERE %3
            %4
        )sql")
                 .arg(columns.join(QStringLiteral(", ")), w.table,
                      where.join(QStringLiteral(" AND ")),
                      server ? QStringLiteral("FOR UPDATE") : QString()));
    for (size_t i = 0; i < w.keys.size(); ++i)
        q.setParam(w.keys[i].name, keyValues[i]);
    q.open();
    const bool exists = !q.eof();
    bool changed = read.absent && exists;
    for (size_t i = 0; i < w.values.size() && !read.absent && !changed; ++i)
        changed = read.values[i] &&
                  !sameValue(w.values[i], exists ? q.text(int(i)) : QString(), *read.values[i]);
    q.close();
    if (changed)
        throw Refusal{QStringLiteral("다른 사용자가 조회 이후에 이 자료(%1)를 저장했습니다. "
                                     "다시 조회하면 바뀐 내용을 볼 수 있습니다.")
                          .arg(key.join(QStringLiteral(", ")))};
}

// Writes one row of a table from the call's parameters; keyValues and values
// may override where a parameter does not follow the "A" + column rule.
void writeRow(ProcCall &call, const TableWrite &w, const QString &status,
              const std::vector<QString> &keyValues, const std::vector<QString> &values,
              const ReadRow &read) {
    checkUnchanged(call, w, keyValues, read);
    db::Query q(call.connection());
    QStringList keyNames;
    for (const Column &k : w.keys)
        keyNames << k.name;
    if (status == QLatin1String("3")) {
        QStringList where;
        for (const Column &k : w.keys)
            where << QStringLiteral("%1 = :%1").arg(k.name);
        q.setSql(QStringLiteral(R"sql(
            DELETE FROM %1
            WHERE %2
        )sql")
                     .arg(w.table, where.join(QStringLiteral(" AND "))));
    } else {
        QStringList columns = keyNames, params, updates;
        for (const Column &v : w.values) {
            columns << v.name;
            updates << QStringLiteral("%1 = excluded.%1").arg(v.name);
        }
        for (const QString &c : columns)
            params << u':' + c;
        columns << QStringLiteral("U_EMP_NO") << QStringLiteral("U_IP") << QStringLiteral("U_DATE");
        params << QStringLiteral(":AU_EMP_NO") << QStringLiteral(":AU_IP")
               << QStringLiteral("SYSDATE()");
        updates << QStringLiteral("U_EMP_NO = excluded.U_EMP_NO")
                << QStringLiteral("U_IP = excluded.U_IP")
                << QStringLiteral("U_DATE = excluded.U_DATE");
        q.setSql(QStringLiteral(R"sql(
            INSERT INTO %1 (%2)
            VALUES (%3)
            ON CONFLICT (%4) DO UPDATE SET %5
        )sql")
                     .arg(w.table, columns.join(QStringLiteral(", ")),
                          params.join(QStringLiteral(", ")), keyNames.join(QStringLiteral(", ")),
                          updates.join(QStringLiteral(", "))));
        for (size_t i = 0; i < w.values.size(); ++i)
            q.setParam(w.values[i].name, values[i]);
        q.setParam(QStringLiteral("AU_EMP_NO"), call.input(QStringLiteral("AU_EMP_NO")));
        q.setParam(QStringLiteral("AU_IP"), call.input(QStringLiteral("AU_IP")));
    }
    for (size_t i = 0; i < w.keys.size(); ++i)
        q.setParam(w.keys[i].name, keyValues[i]);
    q.exec();
}

std::vector<ProcParam> paramsOf(const TableWrite &w, bool withErrorMsg) {
    std::vector<ProcParam> params;
    for (const Column &k : w.keys)
        params.push_back({u'A' + k.name});
    for (const Column &v : w.values)
        params.push_back({u'A' + v.name});
    params.push_back({QStringLiteral("AU_EMP_NO")});
    params.push_back({QStringLiteral("AU_IP")});
    params.push_back({QStringLiteral("AEDITSTATUS")});
    if (withErrorMsg)
        params.push_back({QStringLiteral("AERROR_MSG"), ParamDirection::Output, 2000});
    return params;
}

// A procedure that writes one row of a table by the "A" + column parameters.
db::ProcedureDef simpleWrite(const QString &name, TableWrite w, bool withErrorMsg = true) {
    db::ProcedureDef def;
    def.name = name;
    def.params = paramsOf(w, withErrorMsg);
    def.body = [w, withErrorMsg](ProcCall &call) {
        try {
            const QString status = editStatus(call);
            std::vector<QString> keys, values;
            for (const Column &k : w.keys)
                keys.push_back(checkedValue(call, u'A' + k.name, k, true));
            for (const Column &v : w.values)
                values.push_back(checkedValue(call, u'A' + v.name, v, false));
            if (status != QLatin1String("0"))
                writeRow(call, w, status, keys, values, readRowOf(call, w));
        } catch (const Refusal &r) {
            if (!withErrorMsg)
                throw db::DbError(r.message);
            call.setOutput(QStringLiteral("AERROR_MSG"), r.message);
        }
    };
    return def;
}

const QString kHotels[] = {QStringLiteral("1001"), QStringLiteral("1002"), QStringLiteral("1003")};

db::ProcedureDef roomCounts() {
    const TableWrite w{
        QStringLiteral("SA020MS"),
        {{QStringLiteral("SALE_DATE"), Kind::Date}, {QStringLiteral("UPJANG_CODE"), Kind::Text}},
        {{QStringLiteral("TOTAL_RMS")},
         {QStringLiteral("OOO_RMS")},
         {QStringLiteral("OOI_RMS")},
         {QStringLiteral("AVAILABLE_RMS")}}};
    db::ProcedureDef def;
    def.name = QStringLiteral("PR_SA020MS_01");
    def.params.push_back({QStringLiteral("ASALE_DATE")});
    for (const QString &hotel : kHotels)
        for (const Column &v : w.values)
            def.params.push_back({u'A' + v.name + u'_' + hotel});
    def.params.push_back({QStringLiteral("AU_EMP_NO")});
    def.params.push_back({QStringLiteral("AU_IP")});
    def.params.push_back({QStringLiteral("AEDITSTATUS")});
    def.params.push_back({QStringLiteral("AERROR_MSG"), ParamDirection::Output, 2000});
    def.body = [w](ProcCall &call) {
        try {
            const QString status = editStatus(call);
            const QString date = checkedValue(call, QStringLiteral("ASALE_DATE"), w.keys[0], true);
            // Every value is checked before the first row is written.
            std::vector<std::vector<QString>> rows;
            for (const QString &hotel : kHotels) {
                std::vector<QString> values;
                for (const Column &v : w.values)
                    values.push_back(checkedValue(call, u'A' + v.name + u'_' + hotel, v, false));
                rows.push_back(values);
            }
            if (status == QLatin1String("0"))
                return;
            for (size_t i = 0; i < rows.size(); ++i)
                writeRow(call, w, status, {date, kHotels[i]}, rows[i],
                         readRowOf(call, w, u'_' + kHotels[i]));
        } catch (const Refusal &r) {
            call.setOutput(QStringLiteral("AERROR_MSG"), r.message);
        }
    };
    return def;
}

// The daily report data build of one business date (databuild.h).
db::ProcedureDef dailyReportBuild() {
    db::ProcedureDef def;
    def.name = QStringLiteral("PR_SA000MS_01");
    def.params = {{QStringLiteral("ASALE_DATE")},
                  {QStringLiteral("AU_EMP_NO")},
                  {QStringLiteral("AU_IP")},
                  {QStringLiteral("AERROR_MSG"), ParamDirection::Output, 2000}};
    def.body = [](ProcCall &call) {
        try {
            const QString date = checkedValue(call, QStringLiteral("ASALE_DATE"),
                                              {QStringLiteral("SALE_DATE"), Kind::Date}, true);
            const QString refusal = DataBuildRefusal(call.connection(), date, date);
            if (!refusal.isEmpty())
                throw Refusal{refusal};
            const DataBuild build{date, date, call.input(QStringLiteral("AU_EMP_NO")),
                                  call.input(QStringLiteral("AU_IP"))};
            BuildDailyFigures(call.connection(), build);
            BuildReportFigures(call.connection(), build);
        } catch (const Refusal &r) {
            call.setOutput(QStringLiteral("AERROR_MSG"), r.message);
        }
    };
    return def;
}

// The daily sales report data build of one business date (databuild.h). AEDITSTATUS is part
// of the call and not used; a date that cannot be built is an error.
db::ProcedureDef dailySalesReportBuild() {
    db::ProcedureDef def;
    def.name = QStringLiteral("PR_SRI200_01");
    def.params = {{QStringLiteral("ASALE_DATE")},
                  {QStringLiteral("AU_EMP_NO")},
                  {QStringLiteral("AU_IP")},
                  {QStringLiteral("AEDITSTATUS")}};
    def.body = [](ProcCall &call) {
        const QString date = call.input(QStringLiteral("ASALE_DATE")).trimmed();
        const QString refusal = DataBuildRefusal(call.connection(), date, date);
        if (!refusal.isEmpty())
            throw db::DbError(refusal);
        BuildDailySalesReport(call.connection(),
                              {date, date, call.input(QStringLiteral("AU_EMP_NO")),
                               call.input(QStringLiteral("AU_IP"))});
    };
    return def;
}

} // namespace

void RegisterProcedures(db::ServerObjects &objects) {
    const Column saleDate{QStringLiteral("SALE_DATE"), Kind::Date};
    const Column upjang{QStringLiteral("UPJANG_CODE"), Kind::Text};
    auto text = [](const char *n) { return Column{QLatin1String(n), Kind::Text}; };
    auto number = [](const char *n) { return Column{QLatin1String(n), Kind::Number}; };

    objects.addProcedure(simpleWrite(QStringLiteral("PR_SA010MS_01"),
                                     {QStringLiteral("SA010MS"), {saleDate}, {text("WEATHER")}}));
    objects.addProcedure(simpleWrite(QStringLiteral("PR_SA010DT_01"),
                                     {QStringLiteral("SA010DT"),
                                      {saleDate, text("MOVEMENT"), text("ITEM_CODE")},
                                      {number("AMOUNT")}}));
    objects.addProcedure(roomCounts());
    objects.addProcedure(dailyReportBuild());
    objects.addProcedure(dailySalesReportBuild());
    objects.addProcedure(
        simpleWrite(QStringLiteral("PR_SA030MS_01"),
                    {QStringLiteral("SA030MS"),
                     {saleDate, upjang, text("DIVISION")},
                     {number("HU_RMS"), number("COMP_RMS"), number("ETC_RMS"), number("TOTAL_RMS"),
                      number("GOLF_TEAM"), number("GUESTS"), number("SALE_AMT"), number("NET_AMT"),
                      number("VAT_AMT"), number("SVC_AMT"), number("ETC_AMT")}}));
    objects.addProcedure(simpleWrite(
        QStringLiteral("PR_SA040MS_01"),
        {QStringLiteral("SA040MS"),
         {saleDate, upjang, text("GUBUN")},
         {number("IH_COVER"), number("WI_COVER"), number("TOTAL_COVER"), number("FOOD_REVENUE"),
          number("BEVERAGE_REVENUE"), number("OTHER_REVENUE"), number("TOTAL_REVENUE")}}));
    objects.addProcedure(simpleWrite(QStringLiteral("PR_STI010MS_01"),
                                     {QStringLiteral("JH040MS"),
                                      {saleDate, upjang, text("DIVISION")},
                                      {number("GUESTS"), number("SALE_AMT"), text("REMARKS")}},
                                     false));
    objects.addProcedure(
        simpleWrite(QStringLiteral("PR_FA091MS_01"),
                    {QStringLiteral("FA010DS"),
                     {text("EVENT_NO")},
                     {Column{QStringLiteral("REPORT_CHK"), Kind::Text, QStringLiteral("N")}}}));
}

} // namespace kelo::database
