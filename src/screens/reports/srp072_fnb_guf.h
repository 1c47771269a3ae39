#pragma once

#include "framework/reportframe.h"

namespace kelo::screens {

// "F&B Report - GUF (%)": the guest utilisation factor, F&B in-house covers as a
// percentage of the hotels' room guests, per F&B index category and in total
// ("<Total F&B>"), today, in the business date's calendar month and in its business year.
class TfrmSRP072 : public TfrmZZP020 {
    Q_OBJECT
public:
    explicit TfrmSRP072(db::Connection &connection, const QString &saleDate = QString());

    void openData() override;

    report::Band &QRBand2;     // column header, with the room guests of each period
    report::Band &DetailBand1; // per category, then the total

    // Repeat suppression of GUF_NAME: printed on the first row only.
    void QRDBText19Print(report::Item &item, QString &text);

private:
    QString m_lastGufName;
};

} // namespace kelo::screens
