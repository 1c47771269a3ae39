#pragma once

#include "db/serverobjects.h"

#include <QString>

namespace kelo::database {

// FN_GET_YTD_DATE(date, 'F'|'T') and FN_GET_YTD1_DATE(date, 'F'|'T'): the first
// and the last day (YYYYMMDD) of the business year that contains the date. The
// year's first month is the setting BUSINESS_YEAR_START_MONTH (target year:
// TARGET_YEAR_START_MONTH) of KELO_SETTINGS, January when absent.
// FN_ZA010MS_04(text): personal data masked for display (MaskPersonalData).
void RegisterServerFunctions(db::ServerObjects &objects);

// The first or last day of the business year starting in startMonth that
// contains the YYYYMMDD date; empty text for an invalid date.
QString BusinessYearBound(const QString &ymd, int startMonth, bool last);

} // namespace kelo::database
