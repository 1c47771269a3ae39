#pragma once

#include "framework/reportframe.h"

namespace kelo::screens {

// "F&B Report - Function": the in-house covers of the banquet outlet (3004) today, in the
// business date's calendar month and in its business year, in one row under a grid of
// headings whose other cells are left as empty boxes.
class TfrmSRP071 : public TfrmZZP020 {
    Q_OBJECT
public:
    explicit TfrmSRP071(db::Connection &connection, const QString &saleDate = QString());

    void openData() override;

    report::Band &QRBand2;     // column header: the grid of headings
    report::Band &DetailBand1; // the one row

    // The shaded blocks under the three cover figures (QRLabel26, QRLabel31, QRLabel32)
    // print no text.
    void QRLabel26Print(report::Item &item, QString &text);
};

} // namespace kelo::screens
