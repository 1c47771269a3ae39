#include "common/reportlocations.h"

#include "common/appdir.h"
#include "common/cp949.h"

#include <QDir>
#include <QSettings>

namespace kelo {

namespace {

const QString kDefaultBase = QStringLiteral("http://127.0.0.1:%1").arg(kDefaultReportServerPort);
const QString kLocalRoot = QStringLiteral("C:/켈로리조트/RD레포트/");
const QString kEditMode = QStringLiteral("/reditmode");

QString Setting(const QString &key) {
    QSettings ini(AppFile(QStringLiteral("Kelo_S.ini")), QSettings::IniFormat);
    return ini.value(QStringLiteral("ReportServer/") + key).toString().trimmed();
}

QString LocalPart(const QString &location) {
    QString path = location;
    path.replace(u'\\', u'/');
    if (!path.startsWith(kLocalRoot, Qt::CaseInsensitive))
        return {};
    return path.mid(kLocalRoot.size());
}

// --- reading parameter strings

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

QString Shown(const QString &v) {
    return v.size() > 60 ? v.left(60) + QStringLiteral("…") : v;
}

// "/rp [v1] [v2] ..." from i, just past the blanks after "/rp".
void ReadPositional(const QString &params, qsizetype i, ReportParams &out) {
    while (i < params.size()) {
        if (params.at(i) != u'[') {
            if (out.positional.size() > 0 && EditModeEndAt(params, i - 1))
                return;
            out.error = QStringLiteral("매개변수 문자열 \"%1\"의 %2번째 글자에 \"[\"가 없습니다")
                            .arg(Shown(params))
                            .arg(i + 1);
            return;
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
            out.error = QStringLiteral("매개변수 문자열 \"%1\"에 닫는 \"]\"가 없는 값이 있습니다")
                            .arg(Shown(params));
            return;
        }
        out.positional << params.mid(start, end - start);
        i = end + 1;
        if (OnlyBlanksFrom(params, i) || EditModeEndAt(params, i))
            return;
        while (i < params.size() && IsBlank(params.at(i)))
            ++i;
    }
}

// "/rv  NAME[v]NAME[v] /reditmode" from i, just past the blanks after "/rv".
void ReadNamed(const QString &params, qsizetype i, ReportParams &out) {
    if (QStringView(params).mid(i).startsWith(kEditMode) &&
        OnlyBlanksFrom(params, i + kEditMode.size()))
        return;
    while (i < params.size()) {
        qsizetype nameStart = i;
        const qsizetype nameLength = NextNameAt(params, i, &nameStart);
        if (nameLength == 0 || nameStart != i) {
            out.error =
                QStringLiteral("매개변수 문자열 \"%1\"의 %2번째 글자에 \"이름[\"이 없습니다")
                    .arg(Shown(params))
                    .arg(i + 1);
            return;
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
            out.error = QStringLiteral("매개변수 문자열 \"%1\"에서 %2의 값에 닫는 \"]\"가 없습니다")
                            .arg(Shown(params), name);
            return;
        }
        out.named.emplace_back(name, params.mid(start, end - start));
        i = nextName > 0 ? nextName : params.size();
    }
}

} // namespace

QString ReportServerFolder() {
    return QStringLiteral("REPORT/경영정보관리/");
}

QString ReportServerBase(ReportServer server) {
    static const char *const keys[] = {"Main", "Second", "Third"};
    QString base = Setting(QString::fromLatin1(keys[int(server)]));
    if (base.isEmpty())
        return kDefaultBase;
    while (base.endsWith(u'/'))
        base.chop(1);
    return base;
}

QString ReportLocation(ReportServer server, const QString &name) {
    QString folder = u'/' + ReportServerFolder();
    if (server == ReportServer::Second)
        folder.replace(QStringLiteral("/REPORT/"), QStringLiteral("\\REPORT\\"));
    return ReportServerBase(server) + folder + name + QStringLiteral(".mrd");
}

QString MainLocation(const QString &name) {
    return ReportLocation(ReportServer::Main, name);
}
QString ReportIndexFile() {
    return QStringLiteral("index.json");
}
QString ReportIndexLocation() {
    return ReportServerBase(ReportServer::Main) + u'/' + ReportServerFolder() + ReportIndexFile();
}
QString SecondLocation(const QString &name) {
    return ReportLocation(ReportServer::Second, name);
}
QString ThirdLocation(const QString &name) {
    return ReportLocation(ReportServer::Third, name);
}

QString LocalReportFolder() {
    const QString folder = Setting(QStringLiteral("LocalFolder"));
    return QDir::cleanPath(QDir(AppDir()).absoluteFilePath(
        folder.isEmpty() ? QStringLiteral("reports/local") : folder));
}

QString LocalReportLocation() {
    return kLocalRoot + QStringLiteral("경영정보관리(071224)/TTP070.mrd");
}

bool IsLocalReportLocation(const QString &location) {
    QString path = location;
    path.replace(u'\\', u'/');
    return path.startsWith(kLocalRoot, Qt::CaseInsensitive);
}

QString LocalReportFile(const QString &location) {
    if (!IsLocalReportLocation(location))
        return {};
    const QString rest = LocalPart(location);
    if (!IsPathInFolder(rest))
        return {};
    return LocalReportFolder() + u'/' + rest;
}

bool IsPathInFolder(const QString &path) {
    QString slashed = path;
    slashed.replace(u'\\', u'/');
    for (const QString &segment : slashed.split(u'/'))
        if (segment.isEmpty() || segment == u"." || segment == u"..")
            return false;
    return true;
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
    return out + u' ' + kEditMode;
}

QString ViewerParams(const QString &params) {
    return FromCp949(ToCp949(params));
}

ReportParams ReadReportParams(const QString &params) {
    ReportParams out;
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
    while (i < params.size() && IsBlank(params.at(i)))
        ++i;
    out.kind = positional ? ReportParams::Kind::Positional : ReportParams::Kind::Named;
    if (positional)
        ReadPositional(params, i, out);
    else
        ReadNamed(params, i, out);
    return out;
}

} // namespace kelo
