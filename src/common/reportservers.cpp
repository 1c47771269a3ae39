#include "common/reportservers.h"

#include "common/appdir.h"

#include <QDir>
#include <QSettings>

#include <stdexcept>

namespace kelo {

namespace {

const QString kDefaultBase = QStringLiteral("http://127.0.0.1:8080");
const QString kLocalRoot = QStringLiteral("C:/켈로리조트/RD레포트/");

QString Setting(const QString &key) {
    QSettings ini(AppFile(QStringLiteral("Kelo_S.ini")), QSettings::IniFormat);
    return ini.value(QStringLiteral("ReportServer/") + key).toString().trimmed();
}

} // namespace

QString ReportServerBase(int which) {
    static const char *const keys[] = {"Main", "Second", "Third"};
    if (which < MainReportServer || which > ThirdReportServer)
        throw std::out_of_range("report server " + std::to_string(which) + " does not exist");
    QString base = Setting(QString::fromLatin1(keys[which - 1]));
    if (base.isEmpty())
        return kDefaultBase;
    while (base.endsWith(u'/'))
        base.chop(1);
    return base;
}

QString MainReportLocation(const QString &name) {
    return ReportServerBase(MainReportServer) + QStringLiteral("/REPORT/경영정보관리/") + name +
           QStringLiteral(".mrd");
}

QString SecondReportLocation(const QString &name) {
    return ReportServerBase(SecondReportServer) + QStringLiteral("\\REPORT\\경영정보관리/") + name +
           QStringLiteral(".mrd");
}

QString ThirdReportLocation(const QString &name) {
    return ReportServerBase(ThirdReportServer) + QStringLiteral("/REPORT/경영정보관리/") + name +
           QStringLiteral(".mrd");
}

QString LocalReportFolder() {
    const QString folder = Setting(QStringLiteral("LocalFolder"));
    return QDir::cleanPath(QDir(AppDir()).absoluteFilePath(
        folder.isEmpty() ? QStringLiteral("reports/local") : folder));
}

QString LocalReportLocation() {
    return kLocalRoot + QStringLiteral("경영정보관리(071224)/TTP070.mrd");
}

QString LocalReportFile(const QString &location) {
    QString path = location;
    path.replace(u'\\', u'/');
    if (!path.startsWith(kLocalRoot, Qt::CaseInsensitive))
        return {};
    const QString rest = path.mid(kLocalRoot.size());
    const QStringList segments = rest.split(u'/');
    for (const QString &segment : segments)
        if (segment.isEmpty() || segment == u"." || segment == u"..")
            return {};
    return LocalReportFolder() + u'/' + rest;
}

} // namespace kelo
