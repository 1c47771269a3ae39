#pragma once

// What the guest activity reports ("Daily Guest Actives Report" and "Tour-Gondola
// Report") share: their figures per key, the row columns with averages and budget
// ratios, and their one layout on A4 landscape.
//
// Periods (the common table P of division_sql.h): Today, MTD and YTD of D; last year's
// MTD and YTD end at the date a year before D as the calendar gives it (LY_DATE: 28
// February 2003 for 29 February 2004). Budgets: the whole of D's month (not prorated)
// and the first day of the business year to D.
//
// Ratios:
//   average rate  revenue / guests, rounded to a whole number; 0 without guests
//   budget ratio  ROUND(revenue / budget, 3) x 100 as text with "%" ("33.3%", ".5%");
//                 without budget 100% when there is revenue, 0% when there is none

#include "framework/reportframe.h"

#include <QString>

namespace kelo::screens::guest {

// The common tables P, ACTUALS, BUDGETS and F (after "WITH "), F with one row per key
// that has figures: K (the key), A_T .. A_LY (NET_AMT of SA030MS), G_T .. G_LY
// (GUESTS), B_MONTH and B_YEAR (SALE_AMT of JH010MS), 0 where there are none.
//   keyColumn: a column of both tables (UPJANG_CODE, DIVISION)
//   rows: the condition on the rows of either table, "%1" standing for its alias
QString KeyedFigures(const QString &keyColumn, const QString &rows);

// The pattern once per figure column of F, "%1" replaced by the column's name, joined
// as a column list: EachFigure("NVL(SUM(F.%1), 0) AS %1").
QString EachFigure(const QString &pattern);

// The nineteen columns ACTUAL_TODAY .. LAST_YEAR_AVG_YTD of a row of alias R that has
// F's figure columns.
QString RowColumns();

} // namespace kelo::screens::guest

namespace kelo::screens {

// The report screen both reports are (caption "Daily Guest Actives Report"): the title
// band with the report's title, the column headings QRBand2 and a row DetailBand1 per
// main row: two names, QRDBText1 (the group's, printed through QRDBText1Print) and
// QRDBText2, then the nineteen figures txtACTUAL_TODAY .. txtLAST_YEAR_AVG_YTD,
// right-aligned in 6 pt. The main rows are the statement's.
class TfrmGuestReport : public TfrmZZP020 {
    Q_OBJECT
public:
    void openData() override;

    report::Band &QRBand2;
    report::Band &DetailBand1;

    virtual void DetailBand1BeforePrint(report::BandPrint &bp) = 0;
    virtual void QRDBText1Print(report::Item &item, QString &text) = 0;

protected:
    // nameFields: the fields of the main rows that QRDBText1 and QRDBText2 print.
    TfrmGuestReport(db::Connection &connection, const QString &programId, const QString &saleDate,
                    const QString &title, const QString &sql, const char *const (&nameFields)[2]);
};

} // namespace kelo::screens
