#pragma once

// The periods of the F&B function and GUF reports, as the common table P holds them for
// the bound business date :ASALE_DATE:
//   Today  SALE_DATE = D
//   Month  every date of D's calendar month, also those after D     (SUBSTR(SALE_DATE, 1, 6) = YM)
//   Year   the whole business year that contains D                  (Y_FROM .. Y_TO)
// A business year is made of whole months, so the month lies inside the year.

#include <QString>

namespace kelo::screens {

inline QString FnbGufPeriods() {
    return QString::fromUtf8(R"sql(
P AS MATERIALIZED (
    SELECT :ASALE_DATE AS D,
           SUBSTR(:ASALE_DATE, 1, 6) AS YM,
           FN_GET_YTD_DATE(:ASALE_DATE, 'F') AS Y_FROM,
           FN_GET_YTD_DATE(:ASALE_DATE, 'T') AS Y_TO
    FROM DUAL
)
)sql")
        .trimmed();
}

} // namespace kelo::screens
