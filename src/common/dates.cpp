#include "common/dates.h"

#include "common/functions.h"

#include <QDate>
#include <stdexcept>

namespace kelo {

bool IsValidYmd(const QString &text) {
    QString t = text;
    t.remove(u' ');
    if (t.size() != 8)
        return false;
    bool y = false, m = false, d = false;
    const int year = t.left(4).toInt(&y), month = t.mid(4, 2).toInt(&m),
              day = t.mid(6, 2).toInt(&d);
    return y && m && d && IsValidYmdParts(year, month, day);
}

QString AddDays(const QString &ymd, int days, const QString &fallback) {
    if (ymd.isEmpty() || !IsValidDate(ymd))
        return fallback;
    const QString d = DigitsOnly(ymd);
    const QDate date(d.left(4).toInt(), d.mid(4, 2).toInt(), d.mid(6, 2).toInt());
    return date.addDays(days).toString(QStringLiteral("yyyyMMdd"));
}

QString ShiftDays(const QString &ymd, int days, const QString &fallback) {
    if (ymd.isEmpty())
        return fallback;
    const QString display = YmdToDisplay(ymd);
    const QDate date = QDate::fromString(display, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        throw std::invalid_argument(
            QStringLiteral("'%1' is not a valid date").arg(ymd).toStdString());
    return DisplayToYmd(ShortDateText(date.addDays(days)));
}

QString ShortDateText(const QDate &date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString &HandoverWorkDate() {
    static QString value;
    return value;
}

QString &HandoverToDate() {
    static QString value;
    return value;
}

const std::array<QString, 4> EditStatusTexts2 = {QStringLiteral("0"), QStringLiteral("1"),
                                                 QStringLiteral("2"), QStringLiteral("3")};

namespace {

// A whole number of decimal digits with an optional sign, as the conversion accepts it.
int toInt(const QString &text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        throw std::invalid_argument(
            QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    return value;
}

} // namespace

QString StepMonth(const QString &monthText, int direction) {
    QString text = monthText.trimmed();
    if (text.isEmpty())
        text = TodayYmd();
    int year = toInt(text.left(4));
    int month = toInt(text.mid(4, 2));
    if (direction < 0) {
        if (month == 1) {
            month = 12;
            --year;
        } else {
            --month;
        }
    } else if (++month > 12) {
        month = 1;
        ++year;
    }
    return QStringLiteral("%1%2").arg(year, 4, 10, QChar(u'0')).arg(month, 2, 10, QChar(u'0'));
}

} // namespace kelo
