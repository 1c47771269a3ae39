#include "viewer/location.h"

#include "common/reportlocations.h"

namespace kelo::viewer {

namespace {

QString LastPart(const QString &path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? path : path.mid(slash + 1);
}

} // namespace

ResolvedLocation ResolveLocation(const QString &location) {
    ResolvedLocation out;
    QString loc = location.trimmed();
    loc.replace(u'\\', u'/');
    if (loc.isEmpty()) {
        out.error = QStringLiteral("보고서 위치가 주어지지 않았습니다");
        return out;
    }

    for (const QString &scheme : {QStringLiteral("http://"), QStringLiteral("https://")}) {
        if (!loc.startsWith(scheme, Qt::CaseInsensitive))
            continue;
        const QString rest = loc.mid(scheme.size());
        const qsizetype slash = rest.indexOf(u'/');
        const QString authority = slash < 0 ? rest : rest.left(slash);
        QString path = slash < 0 ? QStringLiteral("/") : rest.mid(slash);
        QString query;
        const qsizetype question = path.indexOf(u'?');
        if (question >= 0) {
            query = path.mid(question + 1);
            path = path.left(question);
        }
        QUrl url;
        url.setScheme(scheme.left(scheme.size() - 3).toLower());
        url.setAuthority(authority, QUrl::StrictMode);
        // The path as written: every character that needs it percent-encoded (UTF-8).
        url.setPath(path, QUrl::DecodedMode);
        if (question >= 0)
            url.setQuery(query, QUrl::TolerantMode);
        if (!url.isValid() || url.host().isEmpty()) {
            out.error = QStringLiteral("보고서 위치가 올바른 주소가 아닙니다");
            return out;
        }
        out.url = url;
        out.name = LastPart(path);
        return out;
    }

    if (IsLocalReportLocation(loc)) {
        out.path = LocalReportFile(loc);
        if (out.path.isEmpty()) {
            out.error = QStringLiteral("보고서 위치가 로컬 보고서 폴더 밖을 가리킵니다");
            return out;
        }
    } else if (loc.startsWith(QStringLiteral("file://"), Qt::CaseInsensitive)) {
        out.path = QUrl(loc).toLocalFile();
    } else {
        out.path = loc;
    }
    out.name = LastPart(out.path);
    return out;
}

} // namespace kelo::viewer
