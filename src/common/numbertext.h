#pragma once

#include <QString>
#include <string>

namespace kelo {

// The database's number-to-text rule, used wherever a number is read as text:
// no trailing zeros, no decimal point for whole numbers and no leading zero
// before the decimal point (1500, .5, -.25, 12.5). Fifteen significant digits,
// so that 0.1 + 0.2 reads .3.
QString NumberToText(double value);
// Past kNumberPlainMax characters (1E+80, 1.5E-300) the text takes the scientific
// form, so that every double fits.
// The same into a buffer of at least kNumberTextMax characters; the length written.
constexpr int kNumberTextMax = 48;
constexpr int kNumberPlainMax = 40;
int NumberToChars(double value, char *out);
std::string NumberToTextUtf8(double value);

// Rounds half away from zero to the given number of decimals (negative rounds to
// tens, hundreds ...), working on the decimal digits so that 2.675 rounds to 2.68.
double RoundHalfAway(double value, int decimals);
// Cuts to the given number of decimals, toward zero.
double TruncDecimals(double value, int decimals);

// Tolerant text-to-number conversion: leading and trailing blanks allowed;
// ok is false for anything that is not a decimal number ([+-]digits[.digits][E[+-]digits]):
// inf, nan, hexadecimal and numbers beyond the range of a double are refused,
// numbers too small for it read as 0. Independent of the locale.
double ParseNumber(const QString &text, bool *ok = nullptr);
// The same over characters; false (out unchanged) when the text is not a number.
bool ParseNumberChars(const char *text, size_t size, double &out);

// What a text read as a number gave: a number (in out), no number at all, or a number
// written correctly but beyond the range of a double (1e400; out unchanged).
enum class NumberReading { Number, NotANumber, OutOfRange };
NumberReading ReadNumber(const QString &text, double &out);

} // namespace kelo
