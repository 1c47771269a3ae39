#pragma once

#include "framework/reportframe.h"

namespace kelo::screens {

// "DIVISION STATISTICS - Leports": per area (golf 30, leisure sports 40, others 90) a
// block per summary outlet (revenue per division and in total, average rate per guest,
// guests, and for the golf course 2001 its teams), then revenue-only lines for the
// guest-activity outlets (sports code 99) and the other outlets, from a new page.
class TfrmSRP040 : public TfrmZZP020 {
    Q_OBJECT
public:
    TfrmSRP040(db::Connection &connection, const QString &saleDate);

    void openData() override;

    report::DataSet cdsList;   // outlet blocks
    report::DataSet cdsSubSum; // revenue-only lines
    report::Band &QRBand2;
    report::Band &DetailBand1;
    report::Band &QRSubDetail1;
    report::Band &QRSubDetail2;

    void QRSubDetail1BeforePrint(report::BandPrint &bp);
    void QRSubDetail2BeforePrint(report::BandPrint &bp);

private:
    QString m_lastName1, m_lastRow1;
    bool m_revenueLinesStarted = false;
};

} // namespace kelo::screens
