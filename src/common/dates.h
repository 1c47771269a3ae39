#pragma once

#include <QDate>
#include <QString>
#include <array>

// Date helpers of the screens' date fields, and the hand-over texts.
namespace kelo {

// True when the text, without its blanks, is eight characters forming a valid YYYYMMDD date.
bool IsValidYmd(const QString &text);

// The date n days later as YYYYMMDD; the fallback (the caller's current value)
// when the date is empty or not valid.
QString AddDays(const QString &ymd, int days, const QString &fallback = QString());

// A date in the system's short date format (yyyy-mm-dd), the form DisplayToYmd reads.
QString ShortDateText(const QDate &date);

// The date n days later through its display form; an empty date gives the
// fallback; a date that is not valid is a std::invalid_argument.
QString ShiftDays(const QString &ymd, int days, const QString &fallback = QString());

// The month before (direction -1) or after (+1) a month edit's text, as yyyymm. The text is
// trimmed; an empty one stands for this month. Year and month are the numbers of its
// characters 1-4 and 5-6; a text where either is not a number is a std::invalid_argument
// (the number-conversion error the general error handling shows).
QString StepMonth(const QString &monthText, int direction);

// Dates the target inquiries hand to their report pop-ups.
QString &HandoverWorkDate();
QString &HandoverToDate();

// The second copy of the edit-status texts, used by the editable grid template with print.
extern const std::array<QString, 4> EditStatusTexts2;

} // namespace kelo
