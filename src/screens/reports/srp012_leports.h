#pragma once

#include "framework/reportframe.h"

namespace kelo::screens {

// "Leports" section of the division statistics: revenue of the leisure-sports group
// (40) per sports summary code.
class TfrmSRP012 : public TfrmZZP020 {
    Q_OBJECT
public:
    explicit TfrmSRP012(db::Connection &connection, const QString &saleDate = QString());

    report::Band &QRBand2;     // the section caption
    report::Band &DetailBand1; // one row per sports summary code
    report::Band &QRBand1;     // a line under the section
};

} // namespace kelo::screens
