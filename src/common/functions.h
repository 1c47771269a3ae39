#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// Free functions that every screen uses: the two date forms of the system
// (YYYYMMDD stored, YYYY-MM-DD shown), weekday names, a tolerant text-to-number
// conversion, today's date and the client's network address. None of them
// throws: invalid input comes back unchanged, as empty text or as 0.
namespace kelo {

// Weekday names indexed 1 (Sunday) to 7 (Saturday); index 0 is empty.
extern const std::array<QString, 8> WeekdayNames;

// Row edit status texts "0" unchanged, "1" changed, "2" new, "3" deleted,
// indexed by the grid row's edit status; the value of AEDITSTATUS.
extern const std::array<QString, 4> EditStatusTexts;

enum class EditStatus { Unchanged = 0, Changed = 1, New = 2, Deleted = 3 };

inline const QString &EditStatusText(EditStatus s) {
    return EditStatusTexts[int(s)];
}

// The digits of the text in order, with a '-' kept only as the first character.
QString DigitsOnly(const QString &text);

// YYYYMMDD (or any text holding those digits) to YYYY-MM-DD; the input unchanged
// when it does not hold a valid date.
QString YmdToDisplay(const QString &text);

// YYYY-MM-DD to YYYYMMDD; the input unchanged unless it is a valid ten-character date.
QString DisplayToYmd(const QString &text);

// True when the digits of the text form a valid YYYYMMDD date.
bool IsValidDate(const QString &text);

// Weekday name of an eight-character YYYYMMDD date, or empty text.
QString WeekdayName(const QString &ymd);

// Signed decimal 64-bit integer; 0 for blank text or text that does not convert.
// Leading blanks are accepted, trailing blanks are not.
int64_t StrToInt64Def0(const QString &text);

// Today's local date as YYYYMMDD.
QString TodayYmd();

// The dotted IPv4 address of the machine's own host name, or empty text.
QString GetClientIP();

// True when year, month and day form a date of the Gregorian calendar (years 1 to 9999).
bool IsValidYmdParts(int year, int month, int day);

} // namespace kelo
