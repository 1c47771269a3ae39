#include "controls/formats.h"

#include "common/numbertext.h"

#include <cmath>

namespace kelo::controls {

namespace {

QString groupThousands(const QString &digits) {
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        out.append(digits.at(i));
        const qsizetype left = n - i - 1;
        if (left > 0 && left % 3 == 0)
            out.append(u',');
    }
    return out;
}

} // namespace

bool IsNumberFormat(const QString &format) {
    return format.contains(u',') || format.contains(u'0') || format.contains(u'#');
}

QString FormatNumberText(const QVariant &value, const QString &format) {
    if (!value.isValid() || value.isNull())
        return QString();
    bool ok = false;
    double v = 0;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong ||
        value.typeId() == QMetaType::Int) {
        v = value.toDouble();
        ok = true;
    } else {
        const QString text = value.toString();
        if (text.isEmpty())
            return text;
        v = ParseNumber(QString(text).remove(u','), &ok);
        if (!ok)
            return text;
    }
    if (format.isEmpty())
        return NumberToText(v);
    if (!IsNumberFormat(format))
        return NumberToText(v);
    // Past fifteen digits a figure has no more significant digits to group: it
    // shows in the number-to-text form (1E+80) rather than as invented zeros.
    if (!std::isfinite(v) || std::fabs(v) >= 1e15)
        return NumberToText(v);
    int decimals = 0;
    const qsizetype point = format.indexOf(u'.');
    if (point >= 0)
        decimals = int(format.size() - point - 1);
    const double rounded = RoundHalfAway(v, decimals);
    const bool negative = rounded < 0;
    QString text = QString::number(std::fabs(rounded), 'f', decimals);
    QString whole = text.section(u'.', 0, 0);
    const QString fraction = decimals > 0 ? text.section(u'.', 1) : QString();
    if (format.contains(u','))
        whole = groupThousands(whole);
    QString out = (negative ? QStringLiteral("-") : QString()) + whole;
    if (decimals > 0)
        out += u'.' + fraction;
    return out;
}

MaskSpec ParseMask(const QString &mask) {
    MaskSpec spec;
    const QStringList parts = mask.split(u';');
    spec.pattern = parts.value(0);
    if (parts.size() > 1)
        spec.saveLiterals = parts.at(1).trimmed() != QLatin1String("0");
    if (parts.size() > 2 && !parts.at(2).isEmpty())
        spec.blank = parts.at(2).at(0);
    return spec;
}

QString ApplyDisplayMask(const QString &value, const QString &mask) {
    if (value.isEmpty() || mask.isEmpty())
        return value;
    const MaskSpec spec = ParseMask(mask);
    if (spec.saveLiterals)
        return value;
    QString out;
    qsizetype at = 0;
    for (qsizetype i = 0; i < spec.pattern.size(); ++i) {
        const QChar m = spec.pattern.at(i);
        if (m == u'!' || m == u'>' || m == u'<')
            continue;
        if (m == u'\\' && i + 1 < spec.pattern.size()) {
            out.append(spec.pattern.at(++i));
            continue;
        }
        if (m == u'9' || m == u'0' || m == u'#' || m == u'L' || m == u'l' || m == u'A' ||
            m == u'a' || m == u'C' || m == u'c') {
            if (at < value.size())
                out.append(value.at(at++));
        } else {
            out.append(m);
        }
    }
    out.append(value.mid(at)); // anything longer than the mask stays visible
    return out;
}

} // namespace kelo::controls
