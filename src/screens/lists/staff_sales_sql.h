#pragma once

// What the staff sales-activity lists SBS040 and SBS050 share: who a member number is and
// which department it belongs to today.
//
// A staff member number has ten characters beginning with "10": the first eight are the
// employee number (QA010MS.EMP_NO), the last two "00" for the employee's own number; any
// other ending is one of the head office's numbers.

#include <QString>

namespace kelo::screens::staff {

// The comparison of a member number's last two characters with '00': the staff's
// numbers (=) or the head office's (<>).
inline QString MemberTest(bool headOffice) {
    return headOffice ? QStringLiteral("<>") : QStringLiteral("=");
}

// The team code of a department of the dated tree (QA160MS_DATE.R_CODE, the codes of the
// department and its parents, four characters a level): the code at the position, or at the
// fallback position when the tree is not that deep.
inline QString TeamCode(int at, int fallback) {
    return QStringLiteral("DECODE(SUBSTR(R_CODE, %1, 4), '', SUBSTR(R_CODE, %2, 4), "
                          "SUBSTR(R_CODE, %1, 4))")
        .arg(at)
        .arg(fallback);
}

} // namespace kelo::screens::staff
