#pragma once

#include <QString>

namespace kelo {

// The report servers the viewer screens open report definitions (.mrd) from, and the local
// folder of the one report read from a file. All are settings of Kelo_S.ini in AppDir:
//
//   [ReportServer]
//   Main=http://127.0.0.1:8080      the main report server
//   Second=http://127.0.0.1:8080    the second report server
//   Third=http://127.0.0.1:8080     the third report server
//   LocalFolder=reports/local       where "C:/켈로리조트/RD레포트/" is (relative to AppDir)
//
// Absent keys read as the defaults shown. A base is used without its trailing slashes.

enum ReportServerNumber { MainReportServer = 1, SecondReportServer = 2, ThirdReportServer = 3 };

// The base ("http://host:port") of a report server, 1 to 3; std::out_of_range otherwise.
QString ReportServerBase(int which);

// main base + "/REPORT/경영정보관리/" + name + ".mrd"
QString MainReportLocation(const QString &name);
// second base + "\REPORT\경영정보관리/" + name + ".mrd": backslashes around REPORT
QString SecondReportLocation(const QString &name);
// third base + "/REPORT/경영정보관리/" + name + ".mrd"
QString ThirdReportLocation(const QString &name);

// The folder "C:/켈로리조트/RD레포트/" stands for, absolute.
QString LocalReportFolder();

// The local location one print button opens.
QString LocalReportLocation();

// The file a location under "C:/켈로리조트/RD레포트/" names (either separator) inside
// LocalReportFolder(); empty when the location is not under it or would leave it ("..").
QString LocalReportFile(const QString &location);

} // namespace kelo
