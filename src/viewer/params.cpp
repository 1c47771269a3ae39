#include "viewer/params.h"

#include "common/reportlocations.h"

#include <QDate>
#include <QRegularExpression>

#include <algorithm>

namespace kelo::viewer {

QString ParameterTypeError(const ParameterDecl &p, const QString &value) {
    if (value.isEmpty())
        return QString();
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    switch (p.type) {
    case ParamType::Text:
        return QString();
    case ParamType::Date:
        if (value.size() == 8 && digits.match(value).hasMatch() &&
            QDate::fromString(value, QStringLiteral("yyyyMMdd")).isValid())
            return QString();
        return QStringLiteral(
                   "매개변수 %1은(는) 일자(YYYYMMDD)입니다. \"%2\"은(는) 올바른 일자가 아닙니다")
            .arg(p.name, value);
    case ParamType::Month: {
        const int month = value.mid(4).toInt();
        if (value.size() == 6 && digits.match(value).hasMatch() && month >= 1 && month <= 12)
            return QString();
        return QStringLiteral(
                   "매개변수 %1은(는) 월(YYYYMM)입니다. \"%2\"은(는) 올바른 월이 아닙니다")
            .arg(p.name, value);
    }
    case ParamType::Number: {
        bool ok = false;
        value.toDouble(&ok);
        if (ok)
            return QString();
        return QStringLiteral("매개변수 %1은(는) 숫자입니다. \"%2\"은(는) 숫자가 아닙니다")
            .arg(p.name, value);
    }
    }
    return QString();
}

QString ResolveDefault(const ParameterDecl &p, const QDate &today) {
    const QString word = p.defaultValue.trimmed().toLower();
    const QString ymd = QStringLiteral("yyyyMMdd"), ym = QStringLiteral("yyyyMM");
    if (p.type == ParamType::Date) {
        if (word == QLatin1String("today"))
            return today.toString(ymd);
        if (word == QLatin1String("yesterday"))
            return today.addDays(-1).toString(ymd);
        if (word == QLatin1String("monthstart"))
            return QDate(today.year(), today.month(), 1).toString(ymd);
        if (word == QLatin1String("yearstart"))
            return QDate(today.year(), 1, 1).toString(ymd);
    } else if (p.type == ParamType::Month) {
        if (word == QLatin1String("thismonth"))
            return today.toString(ym);
        if (word == QLatin1String("lastmonth"))
            return today.addMonths(-1).toString(ym);
    }
    if (!ParameterTypeError(p, p.defaultValue).isEmpty())
        return QString();
    return p.defaultValue.isNull() ? QStringLiteral("") : p.defaultValue;
}

QString StartingValue(const ParameterDecl &p, const QDate &today) {
    const QString value = ResolveDefault(p, today);
    if (value.isEmpty() && p.type == ParamType::Date)
        return today.toString(QStringLiteral("yyyyMMdd"));
    if (value.isEmpty() && p.type == ParamType::Month)
        return today.toString(QStringLiteral("yyyyMM"));
    return value;
}

QString DefaultWords(ParamType type) {
    switch (type) {
    case ParamType::Date:
        return QStringLiteral("today, yesterday, monthstart, yearstart");
    case ParamType::Month:
        return QStringLiteral("thismonth, lastmonth");
    default:
        return QStringLiteral("no words");
    }
}

BoundParams BindParams(const QString &params, const std::vector<ParameterDecl> &declared,
                       const QHash<QString, QString> &fixed) {
    BoundParams out;
    for (const ParameterDecl &p : declared)
        out.values.insert(p.name, QString());
    const ReportParams read = ReadReportParams(params);
    if (!read.ok()) {
        out.error = read.error;
        return out;
    }
    if (read.kind == ReportParams::Kind::Positional) {
        int positions = 0;
        for (const ParameterDecl &p : declared)
            positions += p.position > 0 ? 1 : 0;
        if (read.positional.size() > positions) {
            out.error = QStringLiteral("보고서의 매개변수는 %1개인데 값이 %2개 주어졌습니다")
                            .arg(positions)
                            .arg(read.positional.size());
            return out;
        }
        for (const ParameterDecl &p : declared)
            if (p.position > 0 && p.position <= read.positional.size())
                out.values[p.name] = read.positional[p.position - 1];
    }
    QStringList seen;
    for (const auto &[name, value] : read.named) {
        const auto declaredHere = [&name](const ParameterDecl &d) { return d.name == name; };
        if (std::none_of(declared.begin(), declared.end(), declaredHere)) {
            out.error = QStringLiteral("보고서에 매개변수 %1이(가) 없습니다").arg(name);
            return out;
        }
        if (seen.contains(name)) {
            out.error = QStringLiteral("매개변수 %1이(가) 두 번 주어졌습니다").arg(name);
            return out;
        }
        seen << name;
        out.values[name] = value;
    }
    for (auto it = fixed.begin(); it != fixed.end(); ++it) {
        if (!out.values.contains(it.key())) {
            out.error = QStringLiteral("보고서에 매개변수 %1이(가) 없습니다").arg(it.key());
            return out;
        }
        out.values[it.key()] = it.value();
    }
    for (const ParameterDecl &p : declared) {
        const QString error = ParameterTypeError(p, out.values.value(p.name));
        if (!error.isEmpty()) {
            out.error = error;
            return out;
        }
    }
    return out;
}

} // namespace kelo::viewer
