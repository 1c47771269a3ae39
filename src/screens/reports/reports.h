#pragma once

// The printed reports: not menu programs, but created for a business date, printed,
// previewed or written as a PDF, and freed.

#include "db/storedproc.h"
#include "framework/reportframe.h"

#include <functional>
#include <memory>
#include <vector>

namespace kelo::screens {

// The program IDs of the printed reports, in the order of the daily run.
QStringList PrintedReportIds();

// A step of the daily report run: the report box it belongs to (1 to 6, 8, 9), the box's
// caption and the reports it prints one after another (the F&B report is followed by the
// function and GUF composite).
struct DailyReportStep {
    int box;
    QString caption;
    QStringList programIds;
};
// The steps in the order they run.
const std::vector<DailyReportStep> &DailyReportSteps();

// The report screen of a program ID for a business date (YYYYMMDD); null for an ID
// that is no printed report.
std::unique_ptr<TfrmZZP010> CreateReport(const QString &programId, db::Connection &connection,
                                         const QString &saleDate);

// The day's data build PR_SA000MS_01: the call with its parameters declared, then run for a
// business date stamped with the employee and the client address, inside the caller's
// transaction. A text in AERROR_MSG is raised as a db::DbError with that text.
void PrepareDataBuild(db::StoredProc &proc);
void RunDataBuild(db::StoredProc &proc, const QString &saleDate, const QString &empNo,
                  const QString &ip);

// The daily report set of a business date as one document: the reports of the boxes given
// (every box when none), created, their data opened and laid out together in the run's order
// (the handlers' remembered values, repeat suppression and page breaks, belong to one
// pagination). done, when given, hears of each report as its data is open: its program ID,
// caption and seconds taken. A database error is a db::DbError with the database's text.
report::Document
LayOutDailySet(db::Connection &connection, const QString &saleDate, const QList<int> &boxes = {},
               const std::function<void(const QString &id, const QString &caption, double seconds)>
                   &done = {});

enum class ReportOutput { Print, Preview, Pdf };

// Creates the report, opens its data and prints it (the outcome names the printer,
// or the PDF written when there is no printer), previews it (returns when the preview
// is closed) or writes it to pdfPath. A database error is a db::DbError with the
// database's text, an output failure a std::runtime_error; nothing is written then.
report::PrintOutcome RunReport(const QString &programId, db::Connection &connection,
                               const QString &saleDate, ReportOutput output,
                               const QString &pdfPath = QString());

} // namespace kelo::screens
