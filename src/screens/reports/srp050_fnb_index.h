#pragma once

#include "framework/reportframe.h"

namespace kelo::screens {

// "F&B Index": a page per F&B division with a block per summary outlet (its F&B index
// categories and their sub-total) and the division's total block: covers in-house,
// walk-in and in total, revenue of food, beverage, other and in total, and the average
// spend, for today, the month and the year to date.
class TfrmSRP050 : public TfrmZZP020 {
    Q_OBJECT
public:
    TfrmSRP050(db::Connection &connection, const QString &saleDate);

    void openData() override;

    report::DataSet cdsList;   // per summary outlet and category
    report::DataSet cdsSubSum; // per division and category
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
