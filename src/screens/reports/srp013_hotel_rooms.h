#pragma once

#include "framework/reportframe.h"

namespace kelo::screens {

// "Hotel Rooms Division": the rooms statistics of the hotels, one row per S0010 entry:
// 1 rooms available, 2 house use, 3 complimentary, 4 out of order, 5 rooms sold,
// 6 occupancy (%), 7 average rate; any other entry prints its name with zeros.
class TfrmSRP013 : public TfrmZZP020 {
    Q_OBJECT
public:
    explicit TfrmSRP013(db::Connection &connection, const QString &saleDate = QString());

    report::Band &QRBand2;     // the section caption
    report::Band &DetailBand1; // one row per statistic
    report::Band &QRBand1;     // a line under the section

    void QRDBText12Print(report::Item &item, QString &text);
};

} // namespace kelo::screens
