#pragma once

#include "framework/reportframe.h"

namespace kelo::screens {

// "DIVISION STATISTICS - ROOM": a block per hotel (outlets of group 10) with revenue per
// division and in total, room status (available, occupied per division and in total,
// occupancy), average rate per division and in total, and guests.
class TfrmSRP020 : public TfrmZZP020 {
    Q_OBJECT
public:
    TfrmSRP020(db::Connection &connection, const QString &saleDate);

    void openData() override;

    report::DataSet cdsList;
    report::Band &QRBand2;      // column headings
    report::Band &DetailBand1;  // one per hotel
    report::Band &QRSubDetail1; // the hotel's rows

    void QRSubDetail1BeforePrint(report::BandPrint &bp);
    void QRDBText13Print(report::Item &item, QString &text);
    void QRDBText12Print(report::Item &item, QString &text);

private:
    QString m_lastRowName;
};

} // namespace kelo::screens
