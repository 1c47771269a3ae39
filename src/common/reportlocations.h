#pragma once

// Where the viewer screens' reports are and what they are handed: the locations of a report
// definition (.mrd) on the report servers and in the local report folder, and the parameter
// strings in the viewer's two syntaxes with their reading. All settings are of Kelo_S.ini in
// AppDir:
//
//   [ReportServer]
//   Main=http://127.0.0.1:8080      the main report server
//   Second=http://127.0.0.1:8080    the second report server
//   Third=http://127.0.0.1:8080     the third report server
//   LocalFolder=reports/local       where "C:/켈로리조트/RD레포트/" is (relative to AppDir)
//
// Absent keys read as the defaults shown. A base is used without its trailing slashes.

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace kelo {

// The port kelo-report-server listens on unless told otherwise: the one of the clients'
// default base.
inline constexpr quint16 kDefaultReportServerPort = 8080;
// The folder of the definitions on a report server, as the main form of a location names
// it after the base: "REPORT/경영정보관리/".
QString ReportServerFolder();

enum class ReportServer { Main, Second, Third };
// The base ("http://host:port") of a report server.
QString ReportServerBase(ReportServer server);
// main and third: base + "/REPORT/경영정보관리/" + name + ".mrd"; second: base +
// "\REPORT\경영정보관리/" + name + ".mrd" (backslashes around REPORT, a forward slash
// before the report name).
QString ReportLocation(ReportServer server, const QString &name);
QString MainLocation(const QString &name);
// The report catalogue's index on the main server: base + "/REPORT/경영정보관리/index.json".
QString ReportIndexLocation();
// The file name of the index in the server's folder.
QString ReportIndexFile();
QString SecondLocation(const QString &name);
QString ThirdLocation(const QString &name);

// The folder "C:/켈로리조트/RD레포트/" stands for, absolute.
QString LocalReportFolder();
// The local location the section targets print from.
QString LocalReportLocation();
// Whether a location is under "C:/켈로리조트/RD레포트/" (either separator, any case).
bool IsLocalReportLocation(const QString &location);
// The file a local location names inside LocalReportFolder(); empty when the location is not
// local or would leave the folder (IsPathInFolder).
QString LocalReportFile(const QString &location);
// Whether a relative path (either separator) names a file inside the folder it is read
// from: no "..", "." or empty segment, so no leading separator either.
bool IsPathInFolder(const QString &path);

// "/rp [v1] [v2] ...": each value verbatim in brackets (no trimming, no escaping, an empty
// value gives "[]"), one blank between pairs; trailingBlank adds one blank after the last
// "]".
QString PositionalParams(const QStringList &values, bool trailingBlank = false);
// "/rv  NAME1[v1]NAME2[v2] /reditmode": two blanks after "/rv", no blank between a "]" and
// the next name, the values verbatim.
using NamedValue = std::pair<QString, QString>;
QString NamedParams(const std::vector<NamedValue> &values);
// The parameter string as the viewer receives it: built in the system code page (CP949)
// and read back from it, so a character CP949 lacks arrives as '?'.
QString ViewerParams(const QString &params);

// A parameter string read back: positional values in order, or named values in the order
// given. A value is verbatim up to the "]" that ends the string, comes before the next
// value ("] [" positional, "]NAME[" named, blanks allowed) or before " /reditmode".
struct ReportParams {
    enum class Kind { None, Positional, Named };
    Kind kind = Kind::None;        // None: an empty (or blank) string
    QStringList positional;        // Kind::Positional
    std::vector<NamedValue> named; // Kind::Named
    QString error;                 // why the string cannot be read; empty when read
    bool ok() const { return error.isEmpty(); }
};
ReportParams ReadReportParams(const QString &params);

} // namespace kelo
