#include "db/dialect_formats.h"

#include "common/numbertext.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace kelo::db::dialect {

namespace {

// Days from 1970-01-01 to a proleptic Gregorian date, and back.
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (long long)doe - 719468;
}

void civilFromDays(long long z, int &y, int &m, int &d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = (long long)yoe + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yy + (m <= 2));
}

constexpr long long kSerialEpoch = 25569; // days from 1899-12-30 to 1970-01-01

const char *const kDayNames[] = {"일요일", "월요일", "화요일", "수요일",
                                 "목요일", "금요일", "토요일"};
const char *const kDayShort[] = {"일", "월", "화", "수", "목", "금", "토"};

bool startsWithCI(std::string_view s, size_t pos, std::string_view token) {
    if (pos + token.size() > s.size())
        return false;
    for (size_t i = 0; i < token.size(); ++i)
        if (std::toupper((unsigned char)s[pos + i]) != token[i])
            return false;
    return true;
}

// Format tokens, longest first so that greedy matching is right.
const char *const kTokens[] = {"HH24", "HH12", "YYYY", "RRRR", "MONTH", "DDD", "DAY", "YYY",
                               "MON",  "FM",   "YY",   "RR",   "MM",    "DD",  "DY",  "HH",
                               "MI",   "SS",   "AM",   "PM",   "WW",    "Y",   "D",   "Q"};

std::string_view matchToken(std::string_view f, size_t pos) {
    for (const char *t : kTokens)
        if (startsWithCI(f, pos, t))
            return t;
    return {};
}

void appendNumber(std::string &out, int value, int width, bool fill) {
    char buf[16];
    if (fill)
        std::snprintf(buf, sizeof buf, "%0*d", width, value);
    else
        std::snprintf(buf, sizeof buf, "%d", value);
    out += buf;
}

bool validParts(const DateParts &p) {
    return p.year >= 1 && p.year <= 9999 && p.month >= 1 && p.month <= 12 && p.day >= 1 &&
           p.day <= daysInMonth(p.year, p.month) && p.hour >= 0 && p.hour < 24 && p.minute >= 0 &&
           p.minute < 60 && p.second >= 0 && p.second < 60;
}

} // namespace

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

double serialFromParts(const DateParts &p) {
    const long long days = daysFromCivil(p.year, unsigned(p.month), unsigned(p.day)) + kSerialEpoch;
    return double(days) + (p.hour * 3600 + p.minute * 60 + p.second) / 86400.0;
}

DateParts partsFromSerial(double serial) {
    DateParts p;
    double whole = std::floor(serial);
    // Seconds of the day, rounded so that 0.99999999 of a second is not lost.
    long long secs = llround((serial - whole) * 86400.0);
    if (secs >= 86400) {
        whole += 1;
        secs -= 86400;
    }
    civilFromDays((long long)whole - kSerialEpoch, p.year, p.month, p.day);
    p.hour = int(secs / 3600);
    p.minute = int(secs / 60 % 60);
    p.second = int(secs % 60);
    return p;
}

int weekdayOfSerial(double serial) {
    // 1899-12-30 (serial 0) was a Saturday.
    long long d = (long long)std::floor(serial);
    int w = int(((d + 6) % 7 + 7) % 7); // 0 Sunday
    return w + 1;
}

bool parseImplicitDate(std::string_view text, double &serial) {
    auto digits = [&](size_t pos, size_t n, int &out) {
        out = 0;
        for (size_t i = 0; i < n; ++i) {
            const char c = text[pos + i];
            if (c < '0' || c > '9')
                return false;
            out = out * 10 + (c - '0');
        }
        return true;
    };
    DateParts p;
    bool ok = false;
    if (text.size() == 8 || text.size() == 14) {
        ok = digits(0, 4, p.year) && digits(4, 2, p.month) && digits(6, 2, p.day);
        if (ok && text.size() == 14)
            ok = digits(8, 2, p.hour) && digits(10, 2, p.minute) && digits(12, 2, p.second);
    } else if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
        ok = digits(0, 4, p.year) && digits(5, 2, p.month) && digits(8, 2, p.day);
    } else if (text.size() == 19 && text[4] == '-' && text[7] == '-' && text[10] == ' ' &&
               text[13] == ':' && text[16] == ':') {
        ok = digits(0, 4, p.year) && digits(5, 2, p.month) && digits(8, 2, p.day) &&
             digits(11, 2, p.hour) && digits(14, 2, p.minute) && digits(17, 2, p.second);
    }
    if (!ok || !validParts(p))
        return false;
    serial = serialFromParts(p);
    return true;
}

bool parseDate(std::string_view text, std::string_view format, double &serial, std::string &error) {
    DateParts p;
    p.year = -1;
    p.month = -1;
    p.day = 1;
    size_t t = 0;
    size_t f = 0;
    bool pm = false, twelveHour = false;
    auto readNumber = [&](size_t maxDigits, int &out) {
        size_t n = 0;
        out = 0;
        while (n < maxDigits && t < text.size() && std::isdigit((unsigned char)text[t])) {
            out = out * 10 + (text[t] - '0');
            ++t;
            ++n;
        }
        return n > 0;
    };
    while (f < format.size()) {
        const std::string_view tok = matchToken(format, f);
        if (tok.empty() || tok == "FM") {
            if (tok == "FM") {
                f += 2;
                continue;
            }
            const char fc = format[f];
            if (fc == '"') { // quoted literal
                const size_t end = format.find('"', f + 1);
                const size_t len = (end == std::string_view::npos ? format.size() : end) - f - 1;
                t += std::min(len, text.size() - std::min(t, text.size()));
                f = end == std::string_view::npos ? format.size() : end + 1;
                continue;
            }
            // A separator in the model matches any one non-alphanumeric character, or none.
            if (t < text.size() && !std::isalnum((unsigned char)text[t]))
                ++t;
            ++f;
            continue;
        }
        f += tok.size();
        int v = 0;
        bool ok = true;
        if (tok == "YYYY" || tok == "RRRR") {
            ok = readNumber(4, v);
            p.year = v;
        } else if (tok == "YY" || tok == "RR") {
            ok = readNumber(2, v);
            p.year = 2000 + v;
            if (tok == "RR" && v >= 50)
                p.year = 1900 + v;
        } else if (tok == "MM") {
            ok = readNumber(2, v);
            p.month = v;
        } else if (tok == "DD") {
            ok = readNumber(2, v);
            p.day = v;
        } else if (tok == "HH24") {
            ok = readNumber(2, v);
            p.hour = v;
        } else if (tok == "HH" || tok == "HH12") {
            ok = readNumber(2, v);
            p.hour = v;
            twelveHour = true;
        } else if (tok == "MI") {
            ok = readNumber(2, v);
            p.minute = v;
        } else if (tok == "SS") {
            ok = readNumber(2, v);
            p.second = v;
        } else if (tok == "AM" || tok == "PM") {
            if (t + 2 <= text.size() &&
                (startsWithCI(text, t, "PM") || startsWithCI(text, t, "AM"))) {
                pm = startsWithCI(text, t, "PM");
                t += 2;
            } else if (text.substr(t, 6) == "오후" || text.substr(t, 6) == "오전") {
                pm = text.substr(t, 6) == "오후";
                t += 6;
            }
        } else {
            error = "format element " + std::string(tok) + " is not accepted by TO_DATE";
            return false;
        }
        if (!ok) {
            error = "'" + std::string(text) + "' does not match the format '" +
                    std::string(format) + "'";
            return false;
        }
    }
    if (t != text.size()) {
        error =
            "'" + std::string(text) + "' does not match the format '" + std::string(format) + "'";
        return false;
    }
    if (twelveHour) {
        if (p.hour < 1 || p.hour > 12) {
            error = "hour must be between 1 and 12";
            return false;
        }
        p.hour = p.hour % 12 + (pm ? 12 : 0);
    }
    if (p.year < 0 || p.month < 0) {
        // The current year and month stand in for the ones the model leaves out.
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        if (p.year < 0)
            p.year = local.tm_year + 1900;
        if (p.month < 0)
            p.month = local.tm_mon + 1;
    }
    if (!validParts(p)) {
        error = "'" + std::string(text) + "' is not a valid date";
        return false;
    }
    serial = serialFromParts(p);
    return true;
}

bool isNumberFormat(std::string_view format) {
    bool digit = false;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = char(std::toupper((unsigned char)format[i]));
        if (c == '9' || c == '0')
            digit = true;
        else if (c == 'F' && i + 1 < format.size() &&
                 std::toupper((unsigned char)format[i + 1]) == 'M')
            ++i;
        else if (!std::strchr(",.$SGL", c))
            return false;
    }
    return digit;
}

std::string formatDate(double serial, std::string_view format) {
    const DateParts p = partsFromSerial(serial);
    std::string out;
    bool fill = true;
    size_t f = 0;
    while (f < format.size()) {
        const std::string_view tok = matchToken(format, f);
        if (tok.empty()) {
            const char c = format[f];
            if (c == '"') {
                const size_t end = format.find('"', f + 1);
                out.append(format.substr(
                    f + 1, (end == std::string_view::npos ? format.size() : end) - f - 1));
                f = end == std::string_view::npos ? format.size() : end + 1;
            } else {
                out += c;
                ++f;
            }
            continue;
        }
        f += tok.size();
        if (tok == "FM")
            fill = !fill;
        else if (tok == "YYYY" || tok == "RRRR")
            appendNumber(out, p.year, 4, fill);
        else if (tok == "YYY")
            appendNumber(out, p.year % 1000, 3, true);
        else if (tok == "YY" || tok == "RR")
            appendNumber(out, p.year % 100, 2, true);
        else if (tok == "Y")
            appendNumber(out, p.year % 10, 1, true);
        else if (tok == "MM")
            appendNumber(out, p.month, 2, fill);
        else if (tok == "MON" || tok == "MONTH") {
            appendNumber(out, p.month, 2, false);
            out += "월";
        } else if (tok == "DD")
            appendNumber(out, p.day, 2, fill);
        else if (tok == "DDD") {
            const int doy = int(serialFromParts({p.year, p.month, p.day, 0, 0, 0}) -
                                serialFromParts({p.year, 1, 1, 0, 0, 0})) +
                            1;
            appendNumber(out, doy, 3, fill);
        } else if (tok == "D")
            appendNumber(out, weekdayOfSerial(serial), 1, true);
        else if (tok == "DAY")
            out += kDayNames[weekdayOfSerial(serial) - 1];
        else if (tok == "DY")
            out += kDayShort[weekdayOfSerial(serial) - 1];
        else if (tok == "HH24")
            appendNumber(out, p.hour, 2, fill);
        else if (tok == "HH" || tok == "HH12")
            appendNumber(out, p.hour % 12 == 0 ? 12 : p.hour % 12, 2, fill);
        else if (tok == "MI")
            appendNumber(out, p.minute, 2, fill);
        else if (tok == "SS")
            appendNumber(out, p.second, 2, fill);
        else if (tok == "AM" || tok == "PM")
            out += p.hour < 12 ? "오전" : "오후";
        else if (tok == "Q")
            appendNumber(out, (p.month - 1) / 3 + 1, 1, true);
        else if (tok == "WW") {
            const int doy = int(serialFromParts({p.year, p.month, p.day, 0, 0, 0}) -
                                serialFromParts({p.year, 1, 1, 0, 0, 0}));
            appendNumber(out, doy / 7 + 1, 2, fill);
        }
    }
    return out;
}

std::string formatNumber(double value, std::string_view format) {
    bool fm = false;
    std::string model;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = char(std::toupper((unsigned char)format[i]));
        if (c == 'F' && i + 1 < format.size() &&
            std::toupper((unsigned char)format[i + 1]) == 'M') {
            fm = true;
            ++i;
        } else {
            model += c;
        }
    }
    const size_t point = model.find('.');
    const std::string intModel = model.substr(0, point);
    const std::string fracModel =
        point == std::string::npos ? std::string() : model.substr(point + 1);
    int fracDigits = 0;
    for (char c : fracModel)
        fracDigits += c == '9' || c == '0';
    int intSlots = 0;
    for (char c : intModel)
        intSlots += c == '9' || c == '0';

    const double rounded = RoundHalfAway(value, fracDigits);
    if (!std::isfinite(rounded))
        return std::string(model.size() + 1, '#');
    const bool negative = rounded < 0;
    std::string digits(size_t(std::snprintf(nullptr, 0, "%.*f", fracDigits, std::fabs(rounded))),
                       '\0');
    std::snprintf(digits.data(), digits.size() + 1, "%.*f", fracDigits, std::fabs(rounded));
    std::string intDigits = digits.substr(0, digits.find('.'));
    std::string fracText = fracDigits > 0 ? digits.substr(digits.find('.') + 1) : std::string();
    if (intDigits == "0")
        intDigits.clear();
    if (int(intDigits.size()) > intSlots) {
        return std::string(model.size() + 1, '#');
    }
    // Integer part, right to left over the model.
    std::string intOut;
    int di = int(intDigits.size()) - 1;
    const size_t firstZero = intModel.find('0');
    for (int i = int(intModel.size()) - 1; i >= 0; --i) {
        const char c = intModel[size_t(i)];
        if (c == '9' || c == '0') {
            if (di >= 0)
                intOut.insert(intOut.begin(), intDigits[size_t(di--)]);
            else if (firstZero != std::string::npos && size_t(i) >= firstZero)
                intOut.insert(intOut.begin(), '0');
            else
                intOut.insert(intOut.begin(), ' ');
        } else if (c == ',' || c == 'G') {
            intOut.insert(
                intOut.begin(),
                di >= 0 || (firstZero != std::string::npos && size_t(i) > firstZero) ? ',' : ' ');
        } else if (c == '$') {
            intOut.insert(intOut.begin(), '$');
        }
    }
    // A zero value with no 0 in the model still shows one zero before the point.
    if (intDigits.empty() && (fracDigits == 0 || point == std::string::npos) &&
        intOut.find('0') == std::string::npos && !intOut.empty() && intOut.back() == ' ')
        intOut.back() = '0';
    std::string fracOut;
    if (point != std::string::npos) {
        fracOut = ".";
        int fi = 0;
        for (char c : fracModel)
            if (c == '9' || c == '0')
                fracOut += fracText[size_t(fi++)];
        if (fm) {
            size_t keep = fracOut.size();
            // FM trims trailing zeros that stand in 9 positions.
            int pos = int(fracModel.size()) - 1;
            while (keep > 1 && fracOut[keep - 1] == '0' && pos >= 0 &&
                   fracModel[size_t(pos)] == '9') {
                --keep;
                --pos;
            }
            fracOut.resize(keep);
        }
    }
    // Leading blanks and the sign.
    size_t lead = 0;
    while (lead < intOut.size() && intOut[lead] == ' ')
        ++lead;
    std::string body = intOut.substr(lead) + fracOut;
    std::string pad = fm ? std::string() : std::string(lead, ' ');
    return pad + (negative ? "-" : (fm ? "" : " ")) + body;
}

double addMonths(double serial, int months) {
    const DateParts p = partsFromSerial(serial);
    const double fraction = serial - std::floor(serial);
    long long total = (long long)p.year * 12 + (p.month - 1) + months;
    DateParts r = p;
    r.year = int(total / 12);
    r.month = int(total % 12) + 1;
    const int last = daysInMonth(r.year, r.month);
    if (p.day == daysInMonth(p.year, p.month) || p.day > last)
        r.day = last;
    r.hour = r.minute = r.second = 0;
    return serialFromParts(r) + fraction;
}

double lastDay(double serial) {
    DateParts p = partsFromSerial(serial);
    const double fraction = serial - std::floor(serial);
    p.day = daysInMonth(p.year, p.month);
    p.hour = p.minute = p.second = 0;
    return serialFromParts(p) + fraction;
}

} // namespace kelo::db::dialect
