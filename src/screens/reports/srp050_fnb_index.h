#pragma once

#include "screens/reports/fnb_layout.h"

namespace kelo::screens {

// "F&B Index": a page per F&B division with a block per summary outlet (its F&B index
// categories and their sub-total) and the division's total block: covers in-house,
// walk-in and in total, revenue of food, beverage, other and in total, and the average
// spend, for today, the month and the year to date.
class TfrmSRP050 : public TfrmFnbBlocks {
    Q_OBJECT
public:
    TfrmSRP050(db::Connection &connection, const QString &saleDate);
};

} // namespace kelo::screens
