#pragma once

#include "screens/reports/guest_report.h"

namespace kelo::screens {

// "Tour-Gondola Report": the gondola outlet 5002 per revenue division (S0008), budget and
// actual figures side by side on one row, and their sub-total.
class TfrmSRP090 : public TfrmGuestReport {
    Q_OBJECT
public:
    TfrmSRP090(db::Connection &connection, const QString &saleDate);

    // Rules above and under the sub-total.
    void DetailBand1BeforePrint(report::BandPrint &bp) override;
    // The outlet's name on the first row only.
    void QRDBText1Print(report::Item &item, QString &text) override;

private:
    QString m_lastOutlet;
};

} // namespace kelo::screens
