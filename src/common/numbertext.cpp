#include "common/numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kelo {

namespace {

// The fifteen significant digits of a finite, non-zero magnitude and its decimal
// exponent: value = 0.d1d2..d15 * 10^(exp + 1).
struct Decimal {
    char digits[16];
    int exp;
};

Decimal decompose(double magnitude) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", magnitude);
    Decimal d{};
    int n = 0;
    const char *p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            d.digits[n++] = *p;
    d.digits[n] = 0;
    d.exp = *p == 'e' ? std::atoi(p + 1) : 0;
    // The largest doubles round up past the range; their text rounds down so that it reads back.
    if (d.exp == 308 && std::strcmp(d.digits, "179769313486231") > 0)
        std::memcpy(d.digits, "179769313486231", 16);
    return d;
}

double scaledInteger(long long mantissa, int exp10) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%llde%d", mantissa, exp10);
    return std::strtod(buf, nullptr);
}

double roundDecimal(double value, int decimals, bool roundHalfUp) {
    if (!std::isfinite(value) || value == 0)
        return value;
    const bool negative = value < 0;
    const Decimal d = decompose(std::fabs(value));
    const int keep = d.exp + 1 + decimals; // significant digits kept
    if (keep >= 15)
        return value;
    double result = 0;
    if (keep < 0) {
        result = 0;
    } else if (keep == 0) {
        result = roundHalfUp && d.digits[0] >= '5' ? std::pow(10.0, -decimals) : 0;
    } else {
        long long m = 0;
        for (int i = 0; i < keep; ++i)
            m = m * 10 + (d.digits[i] - '0');
        if (roundHalfUp && d.digits[keep] >= '5')
            ++m;
        result = scaledInteger(m, -decimals);
    }
    return negative ? -result : result;
}

} // namespace

int NumberToChars(double value, char *out) {
    if (!std::isfinite(value)) {
        out[0] = 0;
        return 0;
    }
    if (value == 0) {
        out[0] = '0';
        out[1] = 0;
        return 1;
    }
    const bool negative = value < 0;
    const double magnitude = std::fabs(value);
    // Fast path: whole numbers and figures with up to four decimals that are
    // exact at that scale (amounts, rates, counts) format as scaled integers.
    static const double scales[] = {1, 10, 100, 1000, 10000};
    for (int decimals = 0; decimals <= 4; ++decimals) {
        const double scaled = magnitude * scales[decimals];
        if (scaled >= 1e15)
            break;
        if (scaled != std::floor(scaled) || scaled / scales[decimals] != magnitude)
            continue;
        char digits[24];
        int n = 0;
        for (auto v = static_cast<unsigned long long>(scaled); v; v /= 10)
            digits[n++] = char('0' + v % 10);
        int len = 0;
        if (negative)
            out[len++] = '-';
        // digits[] holds the figures in reverse; the last 'decimals' are the fraction.
        for (int i = n - 1; i >= decimals; --i)
            out[len++] = digits[i];
        if (decimals > 0) {
            out[len++] = '.';
            for (int i = decimals - 1; i >= n; --i)
                out[len++] = '0';
            for (int i = std::min(decimals, n) - 1; i >= 0; --i)
                out[len++] = digits[i];
            while (out[len - 1] == '0')
                --len;
            if (out[len - 1] == '.')
                --len;
        }
        out[len] = 0;
        return len;
    }
    Decimal d = decompose(magnitude);
    int n = int(std::strlen(d.digits));
    while (n > 1 && d.digits[n - 1] == '0')
        --n;
    int len = 0;
    if (negative)
        out[len++] = '-';
    // Plain form: the integer digits (padded with zeros) or the leading zeros of
    // the fraction; past kNumberPlainMax characters the scientific form instead.
    const int plainLength =
        d.exp >= 0 ? std::max(d.exp + 1, n) + (n > d.exp + 1 ? 1 : 0) : 1 + (-d.exp - 1) + n;
    if (plainLength > kNumberPlainMax) {
        out[len++] = d.digits[0];
        if (n > 1) {
            out[len++] = '.';
            for (int i = 1; i < n; ++i)
                out[len++] = d.digits[i];
        }
        len += std::snprintf(out + len, size_t(kNumberTextMax - len), "E%+d", d.exp);
        return len;
    }
    if (d.exp >= 0) {
        const int intDigits = d.exp + 1;
        for (int i = 0; i < intDigits; ++i)
            out[len++] = i < n ? d.digits[i] : '0';
        if (n > intDigits) {
            out[len++] = '.';
            for (int i = intDigits; i < n; ++i)
                out[len++] = d.digits[i];
        }
    } else {
        out[len++] = '.';
        for (int i = 0; i < -d.exp - 1; ++i)
            out[len++] = '0';
        for (int i = 0; i < n; ++i)
            out[len++] = d.digits[i];
    }
    out[len] = 0;
    return len;
}

std::string NumberToTextUtf8(double value) {
    char buf[kNumberTextMax];
    const int n = NumberToChars(value, buf);
    return std::string(buf, size_t(n));
}

QString NumberToText(double value) {
    char buf[kNumberTextMax];
    const int n = NumberToChars(value, buf);
    return QString::fromLatin1(buf, n);
}

double RoundHalfAway(double value, int decimals) {
    return roundDecimal(value, decimals, true);
}

double TruncDecimals(double value, int decimals) {
    return roundDecimal(value, decimals, false);
}

namespace {

// The power of ten of the first significant digit of a well-formed number text
// (1234.5 gives 3, .05 gives -2); zero for a text of zeros.
long long decimalExponent(const char *p, const char *end) {
    long long position = 0; // digits before the point, less leading zeros
    long long leadingFractionZeros = 0;
    bool significant = false, fraction = false;
    long long exponent = 0;
    for (; p < end; ++p) {
        const char c = *p;
        if (c == '.') {
            fraction = true;
        } else if (c == 'e' || c == 'E') {
            const auto r = std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
            if (r.ec == std::errc::result_out_of_range)
                exponent = p[1] == '-' ? -(1LL << 40) : (1LL << 40);
            break;
        } else if (c >= '0' && c <= '9') {
            if (c != '0')
                significant = true;
            if (!fraction && significant)
                ++position;
            else if (fraction && !significant)
                ++leadingFractionZeros;
        }
    }
    if (!significant)
        return 0;
    return exponent + (position > 0 ? position - 1 : -(leadingFractionZeros + 1));
}

// A number text's reading (see ReadNumber).
NumberReading readNumberChars(const char *text, size_t size, double &out) {
    const char *p = text, *end = text + size;
    while (p < end && (*p == ' ' || *p == '\t'))
        ++p;
    while (end > p && (end[-1] == ' ' || end[-1] == '\t'))
        --end;
    // [+-] digits [. digits] [e [+-] digits], at least one digit before the exponent.
    const char *q = p;
    if (q < end && (*q == '+' || *q == '-'))
        ++q;
    int mantissaDigits = 0;
    while (q < end && *q >= '0' && *q <= '9')
        ++q, ++mantissaDigits;
    if (q < end && *q == '.') {
        ++q;
        while (q < end && *q >= '0' && *q <= '9')
            ++q, ++mantissaDigits;
    }
    if (mantissaDigits == 0)
        return NumberReading::NotANumber;
    if (q < end && (*q == 'e' || *q == 'E')) {
        ++q;
        if (q < end && (*q == '+' || *q == '-'))
            ++q;
        const char *exponent = q;
        while (q < end && *q >= '0' && *q <= '9')
            ++q;
        if (q == exponent)
            return NumberReading::NotANumber;
    }
    if (q != end)
        return NumberReading::NotANumber;
    // from_chars takes no '+' and ignores the locale.
    const char *from = *p == '+' ? p + 1 : p;
    double v = 0;
    const auto [stop, error] = std::from_chars(from, end, v);
    if (stop != end)
        return NumberReading::NotANumber;
    if (error == std::errc::result_out_of_range) {
        // Too small for a double reads as zero; too large is no figure.
        if (decimalExponent(from, end) >= 0)
            return NumberReading::OutOfRange;
        v = 0;
    } else if (error != std::errc()) {
        return NumberReading::NotANumber;
    }
    if (!std::isfinite(v))
        return NumberReading::OutOfRange;
    out = v;
    return NumberReading::Number;
}

} // namespace

bool ParseNumberChars(const char *text, size_t size, double &out) {
    return readNumberChars(text, size, out) == NumberReading::Number;
}

NumberReading ReadNumber(const QString &text, double &out) {
    const QByteArray latin = text.toLatin1();
    return readNumberChars(latin.constData(), size_t(latin.size()), out);
}

double ParseNumber(const QString &text, bool *ok) {
    double v = 0;
    const bool converted = ReadNumber(text, v) == NumberReading::Number;
    if (ok)
        *ok = converted;
    return converted ? v : 0;
}

} // namespace kelo
