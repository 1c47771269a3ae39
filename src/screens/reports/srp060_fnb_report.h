#pragma once

#include "screens/reports/fnb_layout.h"

namespace kelo::screens {

// "F&B Report": a page per F&B division with a block per summary outlet and the
// division's total block (on the page of division 220 also the total of all divisions):
// today's covers and average checks, today's revenue against the same day last year,
// the month against last year's month and the budget, the year to date against last
// year and the budget.
class TfrmSRP060 : public TfrmFnbBlocks {
    Q_OBJECT
public:
    TfrmSRP060(db::Connection &connection, const QString &saleDate);
};

} // namespace kelo::screens
