#include "screens/reports/srp070_fnb_function_guf.h"

namespace kelo::screens {

TfrmSRP070::TfrmSRP070(db::Connection &connection, const QString &saleDate)
    : TfrmZZP020(connection, QStringLiteral("SRP070"), saleDate,
                 QStringLiteral("F&B Fuction/Guf(%)")),
      frmSRP071(std::make_unique<TfrmSRP071>(connection)),
      frmSRP072(std::make_unique<TfrmSRP072>(connection)) {
    qrbFooter.enabled = false;
}

TfrmSRP070::~TfrmSRP070() = default;

void TfrmSRP070::QRCompositeReport1AddReports() {
    m_reports.clear();
    m_reports = JoinMembers({frmSRP071.get(), frmSRP072.get()}, saleDate());
}

std::vector<report::ReportDefinition *> TfrmSRP070::definitions() {
    if (m_reports.empty())
        QRCompositeReport1AddReports();
    return m_reports;
}

} // namespace kelo::screens
