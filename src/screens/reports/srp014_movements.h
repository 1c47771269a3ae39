#pragma once

#include "framework/reportframe.h"

namespace kelo::screens {

// The day's accounting movements, five movement groups side by side: the groups' names
// (the row with ITEM_CODE 00) as the section's headings, on every page the section stands
// on, then per item code the item's name and the day's amount in each group that has the
// item.
class TfrmSRP014 : public TfrmZZP020 {
    Q_OBJECT
public:
    explicit TfrmSRP014(db::Connection &connection, const QString &saleDate = QString());

    report::Band &QRBand2;     // the groups' names, bold and underlined
    report::Band &DetailBand1; // one row per item code
    report::Band &QRBand1;     // a line under the section

    void QRBand2BeforePrint(report::BandPrint &bp);
    void DetailBand1BeforePrint(report::BandPrint &bp);
};

} // namespace kelo::screens
