#pragma once

#include "framework/reportframe.h"

namespace kelo::screens {

// "DIVISION STATISTICS - F&B": a page per F&B division (codes 200 to 299 of group 20)
// with a block per summary outlet (revenue per division and in total, average rate per
// guest, guests) and the division's total block.
class TfrmSRP030 : public TfrmZZP020 {
    Q_OBJECT
public:
    TfrmSRP030(db::Connection &connection, const QString &saleDate);

    void openData() override;

    report::DataSet cdsList;   // per summary outlet
    report::DataSet cdsSubSum; // per division
    report::Band &QRBand2;
    report::Band &DetailBand1;
    report::Band &QRSubDetail1;
    report::Band &QRSubDetail2;

    void QRSubDetail1BeforePrint(report::BandPrint &bp);
    void QRSubDetail2BeforePrint(report::BandPrint &bp);

private:
    QString m_lastName1, m_lastRow1, m_lastName2, m_lastRow2;
};

} // namespace kelo::screens
