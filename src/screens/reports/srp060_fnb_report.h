#pragma once

#include "framework/reportframe.h"

namespace kelo::screens {

// "F&B Report": a page per F&B division with a block per summary outlet and the
// division's total block (on the page of division 220 also the total of all divisions):
// today's covers and average checks, today's revenue against the same day last year,
// the month against last year's month and the budget, the year to date against last
// year and the budget.
class TfrmSRP060 : public TfrmZZP020 {
    Q_OBJECT
public:
    TfrmSRP060(db::Connection &connection, const QString &saleDate);

    void openData() override;

    report::DataSet cdsList;   // per summary outlet and category
    report::DataSet cdsSubSum; // per division and category, and over all divisions
    report::Band &QRBand2;
    report::Band &DetailBand1;
    report::Band &QRSubDetail1;
    report::Band &QRSubDetail2;

    void QRSubDetail1BeforePrint(report::BandPrint &bp);
    void QRSubDetail2BeforePrint(report::BandPrint &bp);

private:
    QString m_lastName1, m_lastName2;
};

} // namespace kelo::screens
