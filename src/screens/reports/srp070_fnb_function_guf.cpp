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
    TfrmZZP020 *members[] = {frmSRP071.get(), frmSRP072.get()};
    std::vector<report::ReportDefinition *> reports;
    for (TfrmZZP020 *member : members) {
        // The first member starts a page; the second follows on it.
        member->qrpReport.startOnNewPage = reports.empty();
        reports.push_back(&member->qrpReport);
    }
    for (TfrmZZP020 *member : members) {
        member->setSaleDate(saleDate());
        member->openData();
    }
    m_reports = reports;
}

std::vector<report::ReportDefinition *> TfrmSRP070::definitions() {
    if (m_reports.empty())
        QRCompositeReport1AddReports();
    return m_reports;
}

} // namespace kelo::screens
