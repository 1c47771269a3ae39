#pragma once

#include "framework/reportframe.h"
#include "screens/reports/srp011_daily_report.h"
#include "screens/reports/srp012_leports.h"
#include "screens/reports/srp013_hotel_rooms.h"
#include "screens/reports/srp014_movements.h"

#include <memory>

namespace kelo::screens {

// "Division Statistics": the composite of "DAILY REPORT", "Leports", "Hotel Rooms
// Division" and the movements, printed one after another as one job. Its own
// definition is never printed.
class TfrmSRP010 : public TfrmZZP020 {
    Q_OBJECT
public:
    TfrmSRP010(db::Connection &connection, const QString &saleDate);
    ~TfrmSRP010() override;

    // The members open their data when the composite is printed.
    void openData() override {}
    std::vector<report::ReportDefinition *> definitions() override;

    // Gives the members the business date and opens their data, in print order.
    void QRCompositeReport1AddReports();

    std::unique_ptr<TfrmSRP011> frmSRP011;
    std::unique_ptr<TfrmSRP012> frmSRP012;
    std::unique_ptr<TfrmSRP013> frmSRP013;
    std::unique_ptr<TfrmSRP014> frmSRP014;

private:
    std::vector<report::ReportDefinition *> m_reports; // QRCompositeReport1's list
};

} // namespace kelo::screens
