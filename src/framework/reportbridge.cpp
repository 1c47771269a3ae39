#include "framework/reportbridge.h"

#include "common/appdir.h"
#include "common/cp949.h"
#include "common/functions.h"
#include "common/reportservers.h"

#include <stdexcept>

namespace kelo {

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

QString ReportServerBase(ReportServer server) {
    return kelo::ReportServerBase(int(server) + 1);
}

QString ReportLocation(ReportServer server, const QString &name) {
    switch (server) {
    case ReportServer::Second:
        return SecondReportLocation(name);
    case ReportServer::Third:
        return ThirdReportLocation(name);
    default:
        return MainReportLocation(name);
    }
}

QString MainLocation(const QString &name) {
    return ReportLocation(ReportServer::Main, name);
}

QString SecondLocation(const QString &name) {
    return ReportLocation(ReportServer::Second, name);
}

QString ThirdLocation(const QString &name) {
    return ReportLocation(ReportServer::Third, name);
}

QString PositionalParams(const QStringList &values, bool trailingBlank) {
    QString out = QStringLiteral("/rp");
    for (const QString &value : values)
        out += QStringLiteral(" [") + value + u']';
    if (trailingBlank)
        out += u' ';
    return out;
}

QString NamedParams(const std::vector<NamedValue> &values) {
    QString out = QStringLiteral("/rv  ");
    for (const auto &[name, value] : values)
        out += name + u'[' + value + u']';
    return out + QStringLiteral(" /reditmode");
}

QString ViewerParams(const QString &params) {
    return FromCp949(ToCp949(params));
}

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
