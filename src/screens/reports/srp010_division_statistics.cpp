#include "screens/reports/srp010_division_statistics.h"

namespace kelo::screens {

TfrmSRP010::TfrmSRP010(db::Connection &connection, const QString &saleDate)
    : TfrmZZP020(connection, QStringLiteral("SRP010"), saleDate,
                 QStringLiteral("Division Statistics")),
      frmSRP011(std::make_unique<TfrmSRP011>(connection)),
      frmSRP012(std::make_unique<TfrmSRP012>(connection)),
      frmSRP013(std::make_unique<TfrmSRP013>(connection)),
      frmSRP014(std::make_unique<TfrmSRP014>(connection)) {
    qrbFooter.enabled = false;
}

TfrmSRP010::~TfrmSRP010() = default;

void TfrmSRP010::QRCompositeReport1AddReports() {
    m_reports.clear();
    m_reports = JoinMembers({frmSRP011.get(), frmSRP012.get(), frmSRP013.get(), frmSRP014.get()},
                            saleDate());
}

std::vector<report::ReportDefinition *> TfrmSRP010::definitions() {
    if (m_reports.empty())
        QRCompositeReport1AddReports();
    return m_reports;
}

} // namespace kelo::screens
