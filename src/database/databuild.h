#pragma once

// The daily report data build: the management figures of business dates derived from the
// operating tables, inside the caller's transaction. PR_SA000MS_01 builds one date; the demo
// generator builds its whole period with the same statements. docs/database.md gives each
// derivation.

#include "db/connection.h"

#include <QString>

namespace kelo::database {

// The business dates to build, from and to inclusive (YYYYMMDD), and who stamps the figures.
struct DataBuild {
    QString from, to;
    QString empNo, ip;
};

// Why the dates cannot be built, as the text a refusal shows; empty when they can: from and to
// are valid business dates in order and the calendar ZX020MS holds every day between them.
QString DataBuildRefusal(db::Connection &connection, const QString &from, const QString &to);

// Replaces the dates' rows of SA020MS (room counts), SA030MS (sales per outlet and division)
// and SA040MS (F&B index) by the figures of DE020MS, DE030MS, IA010MS and JB010MS.
void BuildDailyFigures(db::Connection &connection, const DataBuild &build);

// Replaces the dates' rows of SA090MS_NEW_2012 and SA090MS (day, month and year figures per
// outlet against the budgets and last year) from SA030MS, JH010MS and JH040MS.
void BuildReportFigures(db::Connection &connection, const DataBuild &build);

// Builds the date's figures the daily sales reports read (BuildReportFigures: SA090MS and
// SA090MS_NEW_2012), replaces its rows of SA093MS (the daily sales report data per outlet)
// from SA030MS, SA020MS and JH010MS, and records the date in SA091MS and SA092MS. build.from
// is the date.
void BuildDailySalesReport(db::Connection &connection, const DataBuild &build);

} // namespace kelo::database
