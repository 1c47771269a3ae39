#pragma once

// What the screens hand the report viewer control: report locations on the report servers
// and parameter strings in the viewer's two syntaxes, plus the month stepping of the viewer
// screens' month edits.
//
// The report-server bases are read from Kelo_S.ini in AppDir, section [ReportServer], keys
// Main, Second and Third (each "http://address[:port]"); an absent key reads as
// http://127.0.0.1:8080. Only the paths after the base are fixed.

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace kelo {

enum class ReportServer { Main, Second, Third };

QString ReportServerBase(ReportServer server);

// base + "/REPORT/경영정보관리/" + name + ".mrd"
QString MainLocation(const QString &name);
// base + "\REPORT\경영정보관리/" + name + ".mrd": the second server's path has backslashes
// around REPORT and a forward slash before the report name.
QString SecondLocation(const QString &name);
// Like the main location, on the third server.
QString ThirdLocation(const QString &name);
QString ReportLocation(ReportServer server, const QString &name);

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

// The month before (direction -1) or after (+1) a month edit's text, as yyyymm. The text is
// trimmed; an empty one stands for this month. Year and month are the numbers of its
// characters 1-4 and 5-6; a text where either is not a number is a std::invalid_argument
// (the number-conversion error the general error handling shows).
QString StepMonth(const QString &monthText, int direction);

} // namespace kelo
