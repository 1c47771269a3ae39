#pragma once

#include "screens/reports/guest_report.h"

namespace kelo::screens {

// "Daily Guest Actives Report": revenue, guests and average rate of the guest-activity
// outlets of the gondola area (group 40, division 410, sports code 99) against budget and
// last year, per guest-activity category (S0013) with a sub-total per category and the
// grand total. An outlet without a category is not listed.
class TfrmSRP080 : public TfrmGuestReport {
    Q_OBJECT
public:
    TfrmSRP080(db::Connection &connection, const QString &saleDate);

    // A rule under the totals.
    void DetailBand1BeforePrint(report::BandPrint &bp) override;
    // The category's name on its first row only.
    void QRDBText1Print(report::Item &item, QString &text) override;

private:
    QString m_lastCategory;
};

} // namespace kelo::screens
