#include "common/functions.h"

#include "common/clock.h"

#include <QDate>
#include <QHostAddress>
#include <QHostInfo>

namespace kelo {

const std::array<QString, 8> WeekdayNames = {
    QString(),
    QStringLiteral("일요일"),
    QStringLiteral("월요일"),
    QStringLiteral("화요일"),
    QStringLiteral("수요일"),
    QStringLiteral("목요일"),
    QStringLiteral("금요일"),
    QStringLiteral("토요일"),
};

const std::array<QString, 4> EditStatusTexts = {
    QStringLiteral("0"),
    QStringLiteral("1"),
    QStringLiteral("2"),
    QStringLiteral("3"),
};

bool IsValidYmdParts(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int last = month == 2 && leap ? 29 : days[month - 1];
    return day <= last;
}

QString DigitsOnly(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c >= u'0' && c <= u'9')
            out.append(c);
        else if (c == u'-' && i == 0)
            out.append(c);
    }
    return out;
}

namespace {

// Reads exactly n ASCII digits starting at pos; -1 when any is not a digit.
int readDigits(const QString &s, qsizetype pos, int n) {
    int v = 0;
    for (int i = 0; i < n; ++i) {
        const QChar c = s.at(pos + i);
        if (c < u'0' || c > u'9')
            return -1;
        v = v * 10 + (c.unicode() - u'0');
    }
    return v;
}

bool isValidYmd8(const QString &d) {
    if (d.size() != 8)
        return false;
    const int y = readDigits(d, 0, 4), m = readDigits(d, 4, 2), day = readDigits(d, 6, 2);
    return y >= 0 && m >= 0 && day >= 0 && IsValidYmdParts(y, m, day);
}

} // namespace

QString YmdToDisplay(const QString &text) {
    const QString d = DigitsOnly(text);
    if (!isValidYmd8(d))
        return text;
    return d.left(4) + u'-' + d.mid(4, 2) + u'-' + d.mid(6, 2);
}

QString DisplayToYmd(const QString &text) {
    if (text.size() != 10 || text.at(4) != u'-' || text.at(7) != u'-')
        return text;
    const QString ymd = text.left(4) + text.mid(5, 2) + text.mid(8, 2);
    return isValidYmd8(ymd) ? ymd : text;
}

bool IsValidDate(const QString &text) {
    return isValidYmd8(DigitsOnly(text));
}

QString WeekdayName(const QString &ymd) {
    if (ymd.size() != 8 || !IsValidDate(ymd))
        return QString();
    const QDate date(ymd.left(4).toInt(), ymd.mid(4, 2).toInt(), ymd.mid(6, 2).toInt());
    // QDate: 1 Monday .. 7 Sunday; the table: 1 Sunday .. 7 Saturday.
    return WeekdayNames[date.dayOfWeek() % 7 + 1];
}

int64_t StrToInt64Def0(const QString &text) {
    qsizetype b = 0, e = text.size();
    while (b < e && text.at(b).unicode() <= 32)
        ++b;
    while (e > b && text.at(e - 1).unicode() <= 32)
        --e;
    if (b == e)
        return 0;
    // The unchanged text converts: leading blanks are fine, anything after the
    // digits (trailing blanks included) is not.
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    if (i >= text.size())
        return 0;
    uint64_t v = 0;
    const uint64_t limit = negative ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX);
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < u'0' || c > u'9')
            return 0;
        const uint64_t digit = c.unicode() - u'0';
        if (v > (limit - digit) / 10)
            return 0; // out of range
        v = v * 10 + digit;
    }
    return negative ? int64_t(0 - v) : int64_t(v);
}

QString TodayYmd() {
    return Now().date().toString(QStringLiteral("yyyyMMdd"));
}

QString GetClientIP() {
    const QString host = QHostInfo::localHostName().left(255);
    if (host.isEmpty())
        return QString();
    const QHostInfo info = QHostInfo::fromName(host);
    for (const QHostAddress &a : info.addresses()) {
        bool ok = false;
        const quint32 v4 = a.toIPv4Address(&ok);
        if (ok)
            return QStringLiteral("%1.%2.%3.%4")
                .arg((v4 >> 24) & 0xff)
                .arg((v4 >> 16) & 0xff)
                .arg((v4 >> 8) & 0xff)
                .arg(v4 & 0xff);
    }
    return QString();
}

} // namespace kelo
