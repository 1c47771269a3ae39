#include "viewer/params.h"

#include <QDate>
#include <QRegularExpression>

namespace kelo::viewer {

namespace {

const QString kEditMode = QStringLiteral("/reditmode");

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// Blanks from i to the end of the text.
bool OnlyBlanksFrom(const QString &s, qsizetype i) {
    for (; i < s.size(); ++i)
        if (!IsBlank(s.at(i)))
            return false;
    return true;
}

// At i (just past a "]"): blanks, "/reditmode", blanks, the end.
bool EditModeEndAt(const QString &s, qsizetype i) {
    const qsizetype start = i;
    while (i < s.size() && IsBlank(s.at(i)))
        ++i;
    return i > start && QStringView(s).mid(i).startsWith(kEditMode) &&
           OnlyBlanksFrom(s, i + kEditMode.size());
}

// At i (just past a "]"): blanks, then "[".
bool NextValueAt(const QString &s, qsizetype i) {
    const qsizetype start = i;
    while (i < s.size() && IsBlank(s.at(i)))
        ++i;
    return i > start && i < s.size() && s.at(i) == u'[';
}

bool IsNameStart(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}
bool IsNameChar(QChar c) {
    return IsNameStart(c) || (c >= u'0' && c <= u'9');
}

// At i (just past a "]"): blanks, then NAME "["; the length of the name, 0 when none.
qsizetype NextNameAt(const QString &s, qsizetype i, qsizetype *nameStart) {
    while (i < s.size() && IsBlank(s.at(i)))
        ++i;
    if (i >= s.size() || !IsNameStart(s.at(i)))
        return 0;
    qsizetype j = i;
    while (j < s.size() && IsNameChar(s.at(j)))
        ++j;
    if (j >= s.size() || s.at(j) != u'[')
        return 0;
    *nameStart = i;
    return j - i;
}

QString CheckType(const ParameterDecl &p, const QString &value) {
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

QString Shown(const QString &v) {
    return v.size() > 60 ? v.left(60) + QStringLiteral("…") : v;
}

} // namespace

BoundParams BindParams(const QString &params, const std::vector<ParameterDecl> &declared) {
    BoundParams out;
    for (const ParameterDecl &p : declared)
        out.values.insert(p.name, QString());
    if (OnlyBlanksFrom(params, 0))
        return out;

    const bool positional = params.startsWith(QStringLiteral("/rp"));
    const bool named = params.startsWith(QStringLiteral("/rv"));
    if (!positional && !named) {
        out.error = QStringLiteral("매개변수 문자열 \"%1\"이(가) /rp나 /rv로 시작하지 않습니다")
                        .arg(Shown(params));
        return out;
    }
    qsizetype i = 3;
    if (i < params.size() && !IsBlank(params.at(i))) {
        out.error = QStringLiteral("매개변수 문자열 \"%1\"에 %2 다음의 공백이 없습니다")
                        .arg(Shown(params), params.left(3));
        return out;
    }

    if (positional) {
        QStringList values;
        while (i < params.size() && IsBlank(params.at(i)))
            ++i;
        while (i < params.size()) {
            if (params.at(i) != u'[') {
                if (values.size() > 0 && EditModeEndAt(params, i - 1))
                    break;
                out.error =
                    QStringLiteral("매개변수 문자열 \"%1\"의 %2번째 글자에 \"[\"가 없습니다")
                        .arg(Shown(params))
                        .arg(i + 1);
                return out;
            }
            const qsizetype start = i + 1;
            qsizetype end = -1;
            for (qsizetype j = start; j < params.size(); ++j)
                if (params.at(j) == u']' &&
                    (OnlyBlanksFrom(params, j + 1) || NextValueAt(params, j + 1) ||
                     EditModeEndAt(params, j + 1))) {
                    end = j;
                    break;
                }
            if (end < 0) {
                out.error = QStringLiteral("매개변수 문자열 \"%1\"에 닫는 \"]\"가 없는 값이 "
                                           "있습니다")
                                .arg(Shown(params));
                return out;
            }
            values << params.mid(start, end - start);
            i = end + 1;
            if (OnlyBlanksFrom(params, i) || EditModeEndAt(params, i))
                break;
            while (i < params.size() && IsBlank(params.at(i)))
                ++i;
        }
        int positions = 0;
        for (const ParameterDecl &p : declared)
            positions += p.position > 0 ? 1 : 0;
        if (values.size() > positions) {
            out.error = QStringLiteral("보고서의 매개변수는 %1개인데 값이 %2개 주어졌습니다")
                            .arg(positions)
                            .arg(values.size());
            return out;
        }
        for (const ParameterDecl &p : declared)
            if (p.position > 0 && p.position <= values.size())
                out.values[p.name] = values[p.position - 1];
    } else {
        QStringList seen;
        while (i < params.size() && IsBlank(params.at(i)))
            ++i;
        if (QStringView(params).mid(i).startsWith(kEditMode) &&
            OnlyBlanksFrom(params, i + kEditMode.size()))
            i = params.size();
        while (i < params.size()) {
            qsizetype nameStart = i;
            const qsizetype nameLength = NextNameAt(params, i, &nameStart);
            if (nameLength == 0 || nameStart != i) {
                out.error =
                    QStringLiteral("매개변수 문자열 \"%1\"의 %2번째 글자에 \"이름[\"이 없습니다")
                        .arg(Shown(params))
                        .arg(i + 1);
                return out;
            }
            const QString name = params.mid(i, nameLength);
            const qsizetype start = i + nameLength + 1;
            qsizetype end = -1, nextName = 0;
            for (qsizetype j = start; j < params.size(); ++j) {
                if (params.at(j) != u']')
                    continue;
                if (OnlyBlanksFrom(params, j + 1) || EditModeEndAt(params, j + 1)) {
                    end = j;
                    break;
                }
                qsizetype at = 0;
                if (NextNameAt(params, j + 1, &at) > 0) {
                    end = j;
                    nextName = at;
                    break;
                }
            }
            if (end < 0) {
                out.error = QStringLiteral("매개변수 문자열 \"%1\"에서 %2의 값에 닫는 "
                                           "\"]\"가 없습니다")
                                .arg(Shown(params), name);
                return out;
            }
            const ParameterDecl *p = nullptr;
            for (const ParameterDecl &d : declared)
                if (d.name == name)
                    p = &d;
            if (!p) {
                out.error = QStringLiteral("보고서에 매개변수 %1이(가) 없습니다").arg(name);
                return out;
            }
            if (seen.contains(name)) {
                out.error = QStringLiteral("매개변수 %1이(가) 두 번 주어졌습니다").arg(name);
                return out;
            }
            seen << name;
            out.values[name] = params.mid(start, end - start);
            i = nextName > 0 ? nextName : params.size();
        }
    }

    for (const ParameterDecl &p : declared) {
        const QString error = CheckType(p, out.values.value(p.name));
        if (!error.isEmpty()) {
            out.error = error;
            return out;
        }
    }
    return out;
}

} // namespace kelo::viewer
