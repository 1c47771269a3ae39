#pragma once

#include "framework/reportframe.h"
#include "screens/reports/srp071_fnb_function.h"
#include "screens/reports/srp072_fnb_guf.h"

#include <memory>

namespace kelo::screens {

// "F&B Fuction/Guf(%)": the composite of "F&B Report - Function" and "F&B Report - GUF
// (%)", printed one after the other as one job. Its own definition is never printed.
class TfrmSRP070 : public TfrmZZP020 {
    Q_OBJECT
public:
    TfrmSRP070(db::Connection &connection, const QString &saleDate);
    ~TfrmSRP070() override;

    // The members open their data when the composite is printed.
    void openData() override {}
    std::vector<report::ReportDefinition *> definitions() override;

    // Gives the members the business date and opens their data, in print order.
    void QRCompositeReport1AddReports();

    std::unique_ptr<TfrmSRP071> frmSRP071;
    std::unique_ptr<TfrmSRP072> frmSRP072;

private:
    std::vector<report::ReportDefinition *> m_reports; // QRCompositeReport1's list
};

} // namespace kelo::screens
