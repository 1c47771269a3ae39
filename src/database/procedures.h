#pragma once

#include "db/serverobjects.h"

namespace kelo::database {

// The write procedures of the management figures, each registered with its
// parameter list:
//   PR_SA010MS_01  SA010MS   daily main information (weather)
//   PR_SA010DT_01  SA010DT   accounting movement items
//   PR_SA020MS_01  SA020MS   room counts of the hotels 1001, 1002, 1003 (one row each)
//   PR_SA030MS_01  SA030MS   sales summary per outlet and division
//   PR_SA040MS_01  SA040MS   F&B index per outlet and category
//   PR_STI010MS_01 JH040MS   outlet targets (no AERROR_MSG: a refusal is an error)
//   PR_FA091MS_01  FA010DS   event report marks
//   PR_SA000MS_01  the daily report data build of ASALE_DATE (databuild.h): the date's
//                  SA020MS, SA030MS, SA040MS, SA090MS_NEW_2012 and SA090MS replaced; no
//                  AEDITSTATUS; an invalid date or one outside the calendar is refused
//   PR_SRI200_01   the daily sales report data of ASALE_DATE (databuild.h): the date's SA093MS
//                  replaced and the date recorded in SA091MS and SA092MS; AEDITSTATUS unused;
//                  a date that cannot be built is an error (no AERROR_MSG)
// AEDITSTATUS '1' or '2' inserts the row or updates it when it exists, '3'
// deletes it, '0' writes nothing. Every write stamps U_EMP_NO, U_IP and U_DATE.
// A missing key, a value that is not a number where one is due or an unknown
// status refuses the row through AERROR_MSG, and nothing is written for it.
void RegisterProcedures(db::ServerObjects &objects);

} // namespace kelo::database
