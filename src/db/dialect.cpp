#include "db/dialect.h"

#include "common/clock.h"
#include "common/numbertext.h"
#include "db/dialect_formats.h"

#include <QDateTime>
#include <QString>

#include <cmath>
#include <cstring>
#include <sqlite3.h>
#include <string>

namespace kelo::db {

namespace {

using namespace dialect;

// ---- reading arguments -----------------------------------------------------

// NULL, or an empty text (which the suite's database treats as NULL).
bool isNullish(sqlite3_value *v) {
    const int t = sqlite3_value_type(v);
    return t == SQLITE_NULL || (t == SQLITE_TEXT && sqlite3_value_bytes(v) == 0);
}

bool isNumeric(sqlite3_value *v) {
    const int t = sqlite3_value_type(v);
    return t == SQLITE_INTEGER || t == SQLITE_FLOAT;
}

// The text of a value, numbers under the number-to-text rule.
std::string textOf(sqlite3_value *v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return std::to_string(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return NumberToTextUtf8(sqlite3_value_double(v));
    case SQLITE_NULL:
        return std::string();
    default:
        return std::string(reinterpret_cast<const char *>(sqlite3_value_text(v)),
                           size_t(sqlite3_value_bytes(v)));
    }
}

// A number from a value; false for NULL or a text that is not a number.
bool numberOf(sqlite3_value *v, double &out) {
    if (isNumeric(v)) {
        out = sqlite3_value_double(v);
        return true;
    }
    if (isNullish(v))
        return false;
    const std::string t = textOf(v);
    return ParseNumberChars(t.data(), t.size(), out);
}

enum class DateRead { Ok, Null, Invalid };

// A date from a value: a day number, or a text of the implicit forms.
DateRead dateOf(sqlite3_value *v, double &serial) {
    if (isNullish(v))
        return DateRead::Null;
    if (isNumeric(v)) {
        serial = sqlite3_value_double(v);
        return DateRead::Ok;
    }
    return parseImplicitDate(textOf(v), serial) ? DateRead::Ok : DateRead::Invalid;
}

void resultText(sqlite3_context *ctx, const std::string &s) {
    if (s.empty())
        sqlite3_result_null(ctx);
    else
        sqlite3_result_text(ctx, s.data(), int(s.size()), SQLITE_TRANSIENT);
}

void resultNumber(sqlite3_context *ctx, double v) {
    // Whole numbers stay integers so that keys and counts compare as the text they show.
    if (std::fabs(v) < 9.0e15 && v == std::floor(v))
        sqlite3_result_int64(ctx, sqlite3_int64(v));
    else
        sqlite3_result_double(ctx, v);
}

void invalidDate(sqlite3_context *ctx, const char *fn, sqlite3_value *v) {
    const std::string msg = std::string(fn) + ": '" + textOf(v) + "' is not a valid date";
    sqlite3_result_error(ctx, msg.c_str(), -1);
}

bool readDateArg(sqlite3_context *ctx, const char *fn, sqlite3_value *v, double &serial) {
    switch (dateOf(v, serial)) {
    case DateRead::Ok:
        return true;
    case DateRead::Null:
        sqlite3_result_null(ctx);
        return false;
    default:
        invalidDate(ctx, fn, v);
        return false;
    }
}

bool readNumberArg(sqlite3_context *ctx, const char *fn, sqlite3_value *v, double &out) {
    if (isNullish(v)) {
        sqlite3_result_null(ctx);
        return false;
    }
    if (!numberOf(v, out)) {
        const std::string msg = std::string(fn) + ": '" + textOf(v) + "' is not a number";
        sqlite3_result_error(ctx, msg.c_str(), -1);
        return false;
    }
    return true;
}

// UTF-8 code point boundaries of a text.
std::vector<size_t> charStarts(const std::string &s) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < s.size(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    return starts;
}

// ---- the functions -----------------------------------------------------------

void fnNvl(sqlite3_context *ctx, int, sqlite3_value **argv) {
    sqlite3_result_value(ctx, isNullish(argv[0]) ? argv[1] : argv[0]);
}

void fnNvl2(sqlite3_context *ctx, int, sqlite3_value **argv) {
    sqlite3_result_value(ctx, isNullish(argv[0]) ? argv[2] : argv[1]);
}

bool decodeMatches(sqlite3_value *a, sqlite3_value *b) {
    const bool an = isNullish(a), bn = isNullish(b);
    if (an || bn)
        return an && bn;
    if (isNumeric(a) || isNumeric(b)) {
        double x, y;
        if (numberOf(a, x) && numberOf(b, y))
            return x == y;
    }
    return textOf(a) == textOf(b);
}

// a || b, which the layer writes a ->> b: SQLite parses ->> with the precedence of ||
// and runs it as the function of that name, which this one replaces. NULL is the
// empty text and a result without characters is NULL; other values turn into text
// as SQLite's own || turns them.
void fnConcat(sqlite3_context *ctx, int, sqlite3_value **argv) {
    const auto *a = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const sqlite3_uint64 na = a ? sqlite3_uint64(sqlite3_value_bytes(argv[0])) : 0;
    const auto *b = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
    const sqlite3_uint64 nb = b ? sqlite3_uint64(sqlite3_value_bytes(argv[1])) : 0;
    if (na + nb == 0) {
        sqlite3_result_null(ctx);
        return;
    }
    if (nb == 0 || na == 0) {
        sqlite3_result_text64(ctx, na ? a : b, na ? na : nb, SQLITE_TRANSIENT, SQLITE_UTF8);
        return;
    }
    char *out = static_cast<char *>(sqlite3_malloc64(na + nb));
    if (!out) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    std::memcpy(out, a, size_t(na));
    std::memcpy(out + na, b, size_t(nb));
    sqlite3_result_text64(ctx, out, na + nb, sqlite3_free, SQLITE_UTF8);
}

void fnDecode(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    if (argc < 3) {
        sqlite3_result_error(ctx, "DECODE: not enough arguments", -1);
        return;
    }
    int i = 1;
    for (; i + 1 < argc; i += 2) {
        if (decodeMatches(argv[0], argv[i])) {
            sqlite3_result_value(ctx, argv[i + 1]);
            return;
        }
    }
    if (i < argc)
        sqlite3_result_value(ctx, argv[i]);
    else
        sqlite3_result_null(ctx);
}

void fnToChar(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    if (isNullish(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    if (argc == 1 || isNullish(argv[1])) {
        resultText(ctx, textOf(argv[0]));
        return;
    }
    const std::string format = textOf(argv[1]);
    if (isNumberFormat(format)) {
        double v;
        if (readNumberArg(ctx, "TO_CHAR", argv[0], v))
            resultText(ctx, formatNumber(v, format));
        return;
    }
    double serial;
    if (readDateArg(ctx, "TO_CHAR", argv[0], serial))
        resultText(ctx, formatDate(serial, format));
}

void fnToDate(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    if (isNullish(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    const std::string text = textOf(argv[0]);
    double serial = 0;
    if (argc == 1 || isNullish(argv[1])) {
        if (!parseImplicitDate(text, serial)) {
            invalidDate(ctx, "TO_DATE", argv[0]);
            return;
        }
    } else {
        std::string error;
        if (!parseDate(text, textOf(argv[1]), serial, error)) {
            sqlite3_result_error(ctx, ("TO_DATE: " + error).c_str(), -1);
            return;
        }
    }
    sqlite3_result_double(ctx, serial);
}

void fnToNumber(sqlite3_context *ctx, int, sqlite3_value **argv) {
    double v;
    if (readNumberArg(ctx, "TO_NUMBER", argv[0], v))
        resultNumber(ctx, v);
}

void fnAddMonths(sqlite3_context *ctx, int, sqlite3_value **argv) {
    double serial, months;
    if (!readDateArg(ctx, "ADD_MONTHS", argv[0], serial) ||
        !readNumberArg(ctx, "ADD_MONTHS", argv[1], months))
        return;
    sqlite3_result_double(ctx, addMonths(serial, int(std::trunc(months))));
}

void fnLastDay(sqlite3_context *ctx, int, sqlite3_value **argv) {
    double serial;
    if (readDateArg(ctx, "LAST_DAY", argv[0], serial))
        sqlite3_result_double(ctx, lastDay(serial));
}

void fnSysdate(sqlite3_context *ctx, int, sqlite3_value **) {
    const QDateTime now = Now();
    const QDate d = now.date();
    const QTime t = now.time();
    sqlite3_result_double(
        ctx, serialFromParts({d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()}));
}

void fnInitcap(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (isNullish(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    std::string s = textOf(argv[0]);
    bool start = true;
    for (char &c : s) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x80 && std::isalnum(u)) {
            c = char(start ? std::toupper(u) : std::tolower(u));
            start = false;
        } else if (u >= 0x80) {
            start = false; // letters of other scripts belong to the word
        } else {
            start = true;
        }
    }
    resultText(ctx, s);
}

void pad(sqlite3_context *ctx, int argc, sqlite3_value **argv, bool left) {
    double width;
    if (isNullish(argv[0]) || (argc == 3 && isNullish(argv[2]))) {
        sqlite3_result_null(ctx);
        return;
    }
    if (!readNumberArg(ctx, left ? "LPAD" : "RPAD", argv[1], width))
        return;
    const std::string s = textOf(argv[0]);
    const std::string fill = argc == 3 ? textOf(argv[2]) : std::string(" ");
    const long n = long(std::trunc(width));
    if (n <= 0) {
        sqlite3_result_null(ctx);
        return;
    }
    const std::vector<size_t> cs = charStarts(s);
    if (long(cs.size()) >= n) {
        resultText(ctx, s.substr(0, size_t(n) < cs.size() ? cs[size_t(n)] : s.size()));
        return;
    }
    const std::vector<size_t> fs = charStarts(fill);
    std::string padding;
    long need = n - long(cs.size());
    for (long i = 0; i < need; ++i) {
        const size_t k = size_t(i) % fs.size();
        const size_t end = k + 1 < fs.size() ? fs[k + 1] : fill.size();
        padding.append(fill, fs[k], end - fs[k]);
    }
    resultText(ctx, left ? padding + s : s + padding);
}

void fnLpad(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    pad(ctx, argc, argv, true);
}
void fnRpad(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    pad(ctx, argc, argv, false);
}

// ROUND and TRUNC take a number with decimals, or a date with a format.
void roundOrTrunc(sqlite3_context *ctx, int argc, sqlite3_value **argv, bool round) {
    const char *fn = round ? "ROUND" : "TRUNC";
    if (isNullish(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    double ignored;
    const bool dateByUnit = argc == 2 && sqlite3_value_type(argv[1]) == SQLITE_TEXT &&
                            !isNullish(argv[1]) && !numberOf(argv[1], ignored);
    if (dateByUnit) {
        // dates: truncate or round to the day, month or year
        double serial;
        if (!readDateArg(ctx, fn, argv[0], serial))
            return;
        std::string unit = argc == 2 ? textOf(argv[1]) : std::string("DD");
        for (char &c : unit)
            c = char(std::toupper(static_cast<unsigned char>(c)));
        DateParts p = partsFromSerial(serial);
        double result;
        if (unit == "DD" || unit == "DDD" || unit == "J")
            result = round ? std::floor(serial + 0.5) : std::floor(serial);
        else if (unit == "MM" || unit == "MONTH" || unit == "MON")
            result = serialFromParts({p.year, p.month, 1, 0, 0, 0});
        else if (unit == "YYYY" || unit == "YEAR" || unit == "YY" || unit == "Y")
            result = serialFromParts({p.year, 1, 1, 0, 0, 0});
        else {
            sqlite3_result_error(ctx, (std::string(fn) + ": unknown date unit " + unit).c_str(),
                                 -1);
            return;
        }
        sqlite3_result_double(ctx, result);
        return;
    }
    double v, places = 0;
    if (!readNumberArg(ctx, fn, argv[0], v))
        return;
    if (argc == 2 && !readNumberArg(ctx, fn, argv[1], places))
        return;
    const int decimals = int(std::trunc(places));
    const double r = round ? RoundHalfAway(v, decimals) : TruncDecimals(v, decimals);
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && decimals >= 0)
        sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
    else if (decimals <= 0)
        resultNumber(ctx, r);
    else
        sqlite3_result_double(ctx, r);
}

void fnRound(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    roundOrTrunc(ctx, argc, argv, true);
}
void fnTrunc(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    roundOrTrunc(ctx, argc, argv, false);
}

void fnSubstr(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    double posArg, lenArg = 0;
    if (isNullish(argv[0]) || !readNumberArg(ctx, "SUBSTR", argv[1], posArg) ||
        (argc == 3 && !readNumberArg(ctx, "SUBSTR", argv[2], lenArg))) {
        if (isNullish(argv[0]))
            sqlite3_result_null(ctx);
        return;
    }
    const std::string s = textOf(argv[0]);
    const std::vector<size_t> cs = charStarts(s);
    const long n = long(cs.size());
    long pos = long(std::trunc(posArg));
    if (pos == 0)
        pos = 1;
    if (pos < 0)
        pos = n + pos + 1;
    if (pos < 1 || pos > n) {
        sqlite3_result_null(ctx);
        return;
    }
    long len = argc == 3 ? long(std::trunc(lenArg)) : n;
    if (len < 1) {
        sqlite3_result_null(ctx);
        return;
    }
    const long last = std::min(n, pos - 1 + len);
    const size_t from = cs[size_t(pos - 1)];
    const size_t to = last < n ? cs[size_t(last)] : s.size();
    resultText(ctx, s.substr(from, to - from));
}

void fnLength(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (isNullish(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int64(ctx, sqlite3_int64(charStarts(textOf(argv[0])).size()));
}

void fnTrim(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (isNullish(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    const std::string s = textOf(argv[0]);
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) {
        sqlite3_result_null(ctx);
        return;
    }
    const size_t e = s.find_last_not_of(' ');
    resultText(ctx, s.substr(b, e - b + 1));
}

void fnReplace(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    if (isNullish(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    std::string s = textOf(argv[0]);
    if (isNullish(argv[1])) {
        resultText(ctx, s);
        return;
    }
    const std::string from = textOf(argv[1]);
    const std::string to = argc == 3 ? textOf(argv[2]) : std::string();
    std::string out;
    size_t pos = 0;
    for (size_t hit; (hit = s.find(from, pos)) != std::string::npos; pos = hit + from.size())
        out.append(s, pos, hit - pos).append(to);
    out.append(s, pos, std::string::npos);
    resultText(ctx, out);
}

void fnInstr(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    if (isNullish(argv[0]) || isNullish(argv[1])) {
        sqlite3_result_null(ctx);
        return;
    }
    const std::string s = textOf(argv[0]), what = textOf(argv[1]);
    double startArg = 1;
    if (argc == 3 && !readNumberArg(ctx, "INSTR", argv[2], startArg))
        return;
    const std::vector<size_t> cs = charStarts(s);
    long start = long(std::trunc(startArg));
    if (start < 1 || start > long(cs.size())) {
        sqlite3_result_int64(ctx, 0);
        return;
    }
    const size_t hit = s.find(what, cs[size_t(start - 1)]);
    if (hit == std::string::npos) {
        sqlite3_result_int64(ctx, 0);
        return;
    }
    sqlite3_result_int64(ctx, sqlite3_int64(charStarts(s.substr(0, hit)).size() + 1));
}

void extreme(sqlite3_context *ctx, int argc, sqlite3_value **argv, bool greatest) {
    int best = 0;
    for (int i = 0; i < argc; ++i)
        if (isNullish(argv[i])) {
            sqlite3_result_null(ctx);
            return;
        }
    const bool numeric = isNumeric(argv[0]);
    for (int i = 1; i < argc; ++i) {
        bool better;
        if (numeric) {
            double a, b;
            numberOf(argv[i], a);
            numberOf(argv[best], b);
            better = greatest ? a > b : a < b;
        } else {
            const int c = textOf(argv[i]).compare(textOf(argv[best]));
            better = greatest ? c > 0 : c < 0;
        }
        if (better)
            best = i;
    }
    sqlite3_result_value(ctx, argv[best]);
}

void fnGreatest(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    extreme(ctx, argc, argv, true);
}
void fnLeast(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    extreme(ctx, argc, argv, false);
}

void fnMod(sqlite3_context *ctx, int, sqlite3_value **argv) {
    double a, b;
    if (!readNumberArg(ctx, "MOD", argv[0], a) || !readNumberArg(ctx, "MOD", argv[1], b))
        return;
    resultNumber(ctx, b == 0 ? a : a - b * std::trunc(a / b));
}

template <double (*F)(double)> void unaryMath(sqlite3_context *ctx, int, sqlite3_value **argv) {
    double v;
    if (readNumberArg(ctx, "numeric function", argv[0], v))
        resultNumber(ctx, F(v));
}

double signOf(double v) {
    return v > 0 ? 1 : v < 0 ? -1 : 0;
}
double ceilOf(double v) {
    return std::ceil(v);
}
double floorOf(double v) {
    return std::floor(v);
}

struct FunctionDef {
    const char *name;
    int args;
    void (*fn)(sqlite3_context *, int, sqlite3_value **);
    bool deterministic = true;
};

const FunctionDef kFunctions[] = {
    {"->>", 2, fnConcat},
    {"NVL", 2, fnNvl},
    {"NVL2", 3, fnNvl2},
    {"DECODE", -1, fnDecode},
    {"TO_CHAR", 1, fnToChar},
    {"TO_CHAR", 2, fnToChar},
    {"TO_DATE", 1, fnToDate},
    {"TO_DATE", 2, fnToDate},
    {"TO_NUMBER", 1, fnToNumber},
    {"ADD_MONTHS", 2, fnAddMonths},
    {"LAST_DAY", 1, fnLastDay},
    {"SYSDATE", 0, fnSysdate, false},
    {"INITCAP", 1, fnInitcap},
    {"LPAD", 2, fnLpad},
    {"LPAD", 3, fnLpad},
    {"RPAD", 2, fnRpad},
    {"RPAD", 3, fnRpad},
    {"ROUND", 1, fnRound},
    {"ROUND", 2, fnRound},
    {"TRUNC", 1, fnTrunc},
    {"TRUNC", 2, fnTrunc},
    {"SUBSTR", 2, fnSubstr},
    {"SUBSTR", 3, fnSubstr},
    {"LENGTH", 1, fnLength},
    {"TRIM", 1, fnTrim},
    {"REPLACE", 2, fnReplace},
    {"REPLACE", 3, fnReplace},
    {"INSTR", 2, fnInstr},
    {"INSTR", 3, fnInstr},
    {"GREATEST", -1, fnGreatest},
    {"LEAST", -1, fnLeast},
    {"MOD", 2, fnMod},
    {"CEIL", 1, unaryMath<ceilOf>},
    {"FLOOR", 1, unaryMath<floorOf>},
    {"SIGN", 1, unaryMath<signOf>},
};

} // namespace

void installDialect(sqlite3 *handle) {
    for (const FunctionDef &f : kFunctions) {
        const int flags = SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
        sqlite3_create_function_v2(handle, f.name, f.args, flags, nullptr, f.fn, nullptr, nullptr,
                                   nullptr);
    }
    // LIKE tells capitals from small letters ('MALLIN' LIKE 'Ma%' is false).
    sqlite3_exec(handle, "PRAGMA case_sensitive_like = ON", nullptr, nullptr, nullptr);
}

} // namespace kelo::db
