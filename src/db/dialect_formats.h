#pragma once

#include <string>
#include <string_view>

// Date values and the format models of the dialect's TO_CHAR and TO_DATE.
//
// A server date value is a number: days since 1899-12-30 with the time of day
// as the fraction, so that "date + n" and "date - n" move by days, the
// difference of two dates is a number of days, and TRUNC of a date is its
// midnight. Texts of the forms YYYYMMDD, YYYY-MM-DD and YYYYMMDDHH24MISS are
// read as dates wherever a date is due.
namespace kelo::db::dialect {

struct DateParts {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
};

double serialFromParts(const DateParts &p);
DateParts partsFromSerial(double serial);
// 1 Sunday .. 7 Saturday.
int weekdayOfSerial(double serial);
int daysInMonth(int year, int month);

// Reads a date text of the implicit forms; false when it is none of them or not a valid date.
bool parseImplicitDate(std::string_view text, double &serial);

// Reads text by a format model (YYYY, YY, RRRR, RR, MM, DD, HH24, HH, MI, SS and
// separators); false with a reason when it does not match or is not a valid date.
bool parseDate(std::string_view text, std::string_view format, double &serial, std::string &error);

// True when the format model is a number model (9, 0, comma, period, FM, $, S).
bool isNumberFormat(std::string_view format);

// Formats a date by a format model; Korean day and month names.
std::string formatDate(double serial, std::string_view format);

// Formats a number by a number model: 9 a digit or a blank, 0 a digit or zero,
// ',' a group separator, '.' the decimal point, FM without padding. A value too
// wide for the model gives '#' characters, as the database does.
std::string formatNumber(double value, std::string_view format);

// ADD_MONTHS: the same day n months later; the last day of a month, or a day
// beyond the target month's length, gives the target month's last day.
double addMonths(double serial, int months);
double lastDay(double serial);

} // namespace kelo::db::dialect
