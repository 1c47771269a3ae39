#pragma once

#include "framework/reportframe.h"

namespace kelo::screens {

// "DAILY REPORT": revenue per division group and division with group totals (199
// "(Room Total)", 299 "(F&B Total)", grey) and the grand total of every outlet.
class TfrmSRP011 : public TfrmZZP020 {
    Q_OBJECT
public:
    explicit TfrmSRP011(db::Connection &connection, const QString &saleDate = QString());

    void openData() override;

    report::DataSet cdsSum;    // the grand total (qrySum)
    report::Band &QRBand2;     // column header
    report::Band &DetailBand1; // one row per group and division
    report::Band &QRBand1;     // the grand total

    void DetailBand1BeforePrint(report::BandPrint &bp);
    void QRDBText12Print(report::Item &item, QString &text);
    void QRBand1BeforePrint(report::BandPrint &bp);

private:
    QString m_lastGroupName;
};

} // namespace kelo::screens
