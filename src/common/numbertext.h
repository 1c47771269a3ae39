#pragma once

#include <QString>
#include <string>

namespace kelo {

// The database's number-to-text rule, used wherever a number is read as text:
// no trailing zeros, no decimal point for whole numbers and no leading zero
// before the decimal point (1500, .5, -.25, 12.5). Fifteen significant digits,
// so that 0.1 + 0.2 reads .3.
QString NumberToText(double value);
// The same into a buffer of at least kNumberTextMax characters; the length written.
constexpr int kNumberTextMax = 48;
int NumberToChars(double value, char *out);
std::string NumberToTextUtf8(double value);

// Rounds half away from zero to the given number of decimals (negative rounds to
// tens, hundreds ...), working on the decimal digits so that 2.675 rounds to 2.68.
double RoundHalfAway(double value, int decimals);
// Cuts to the given number of decimals, toward zero.
double TruncDecimals(double value, int decimals);

// Tolerant text-to-number conversion: leading and trailing blanks allowed;
// ok is false for anything that is not a decimal number.
double ParseNumber(const QString &text, bool *ok = nullptr);

} // namespace kelo
