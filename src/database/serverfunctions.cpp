#include "database/serverfunctions.h"

#include "database/masking.h"
#include "db/connection.h"
#include "db/dialect_formats.h"

#include <QDate>
#include <sqlite3.h>
#include <string>

namespace kelo::database {

QString BusinessYearBound(const QString &ymd, int startMonth, bool last) {
    if (ymd.size() != 8)
        return QString();
    const QDate d(ymd.left(4).toInt(), ymd.mid(4, 2).toInt(), ymd.mid(6, 2).toInt());
    if (!d.isValid())
        return QString();
    if (startMonth < 1 || startMonth > 12)
        startMonth = 1;
    const int year = d.month() >= startMonth ? d.year() : d.year() - 1;
    const QDate first(year, startMonth, 1);
    const QDate result = last ? first.addYears(1).addDays(-1) : first;
    return result.toString(QStringLiteral("yyyyMMdd"));
}

namespace {

int startMonthSetting(sqlite3 *h, const char *name) {
    sqlite3_stmt *st = nullptr;
    int month = 1;
    const char *statement = R"sql(
        SELECT VALUE
        FROM KELO_SETTINGS
        WHERE NAME = ?
    )sql";
    if (sqlite3_prepare_v2(h, statement, -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(st, 1, name, -1, SQLITE_STATIC);
        if (sqlite3_step(st) == SQLITE_ROW)
            month = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
    }
    return month >= 1 && month <= 12 ? month : 1;
}

void ytd(sqlite3_context *ctx, sqlite3_value **argv, const char *setting) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    QString ymd;
    if (sqlite3_value_type(argv[0]) == SQLITE_FLOAT ||
        sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        const double v = sqlite3_value_double(argv[0]);
        // A day number (a date value) or an eight-digit business date written as a number.
        ymd = v > 10000000 ? QString::number(qint64(v))
                           : QString::fromStdString(db::dialect::formatDate(v, "YYYYMMDD"));
    } else {
        ymd = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])));
    }
    const QString which =
        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[1])))
            .trimmed()
            .toUpper();
    if (which != QLatin1String("F") && which != QLatin1String("T")) {
        sqlite3_result_error(ctx, "FN_GET_YTD_DATE: the second argument is 'F' or 'T'", -1);
        return;
    }
    const int month = startMonthSetting(sqlite3_context_db_handle(ctx), setting);
    const QString bound = BusinessYearBound(ymd, month, which == QLatin1String("T"));
    if (bound.isEmpty()) {
        const std::string msg = "FN_GET_YTD_DATE: '" + ymd.toStdString() + "' is not a valid date";
        sqlite3_result_error(ctx, msg.c_str(), -1);
        return;
    }
    const QByteArray utf8 = bound.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void fnYtd(sqlite3_context *ctx, int, sqlite3_value **argv) {
    ytd(ctx, argv, "BUSINESS_YEAR_START_MONTH");
}
void fnYtd1(sqlite3_context *ctx, int, sqlite3_value **argv) {
    ytd(ctx, argv, "TARGET_YEAR_START_MONTH");
}

void fnMask(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])));
    const QByteArray utf8 = MaskPersonalData(text).toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

} // namespace

void RegisterServerFunctions(db::ServerObjects &objects) {
    objects.addFunctions(QStringLiteral("kelo-server-functions"), [](db::Connection &c) {
        sqlite3 *h = c.sqliteHandle();
        const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
        sqlite3_create_function_v2(h, "FN_GET_YTD_DATE", 2, flags, nullptr, fnYtd, nullptr, nullptr,
                                   nullptr);
        sqlite3_create_function_v2(h, "FN_GET_YTD1_DATE", 2, flags, nullptr, fnYtd1, nullptr,
                                   nullptr, nullptr);
        sqlite3_create_function_v2(h, "FN_ZA010MS_04", 1, flags, nullptr, fnMask, nullptr, nullptr,
                                   nullptr);
    });
}

} // namespace kelo::database
