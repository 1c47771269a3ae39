#include "screens/registerscreens.h"

#include "screens/datagrids/sri210_event_checks.h"
#include "screens/datagrids/srs160_gondola_reports.h"
#include "screens/datagrids/srs184_room_sales.h"
#include "screens/lists/list_inquiries.h"
#include "screens/mis/sri010_main_information.h"
#include "screens/mis/sri020_accounting.h"
#include "screens/mis/sri030_room_counts.h"
#include "screens/mis/sri040_sales_summary.h"
#include "screens/personnel/personnel_inquiries.h"
#include "screens/reportinquiries/report_inquiries.h"
#include "screens/reports/srs010_report_output.h"
#include "screens/sales/sales_inquiries.h"
#include "screens/targets/target_import.h"
#include "screens/targets/target_input.h"
#include "screens/targets/target_inquiries.h"
#include "screens/viewer/report_viewers.h"
#include "screens/viewer/srs900_report_catalogue.h"
#include "shell/registry.h"

namespace kelo::screens {

void RegisterScreens(shell::ProgramRegistry &registry) {
    registry.add(QStringLiteral("SAS000"), [](db::Connection &c) { return new TfrmSAS000(c); });
    registry.add(QStringLiteral("SQS000"), [](db::Connection &c) { return new TfrmSQS000(c); });
    registry.add(QStringLiteral("SBS020"), [](db::Connection &c) { return new TfrmSBS020(c); });
    registry.add(QStringLiteral("SBS040"), [](db::Connection &c) { return new TfrmSBS040(c); });
    registry.add(QStringLiteral("SBS050"), [](db::Connection &c) { return new TfrmSBS050(c); });
    registry.add(QStringLiteral("SRS330"), [](db::Connection &c) { return new TfrmSRS330(c); });
    registry.add(QStringLiteral("SRS340"), [](db::Connection &c) { return new TfrmSRS340(c); });
    registry.add(QStringLiteral("SRI010"), [](db::Connection &c) { return new TfrmSRI010(c); });
    registry.add(QStringLiteral("SRI020"), [](db::Connection &c) { return new TfrmSRI020(c); });
    registry.add(QStringLiteral("SRI030"), [](db::Connection &c) { return new TfrmSRI030(c); });
    registry.add(QStringLiteral("SRI040"), [](db::Connection &c) { return new TfrmSRI040(c); });
    registry.add(QStringLiteral("SRI050"), [](db::Connection &c) { return new TfrmSRI050(c); });
    registry.add(QStringLiteral("SRI210"), [](db::Connection &c) { return new TfrmSRI210(c); });
    registry.add(QStringLiteral("SRS010"), [](db::Connection &c) { return new TfrmSRS010(c); });
    registry.add(QStringLiteral("SRS160"), [](db::Connection &c) { return new TfrmSRS160(c); });
    registry.add(QStringLiteral("SRS184"), [](db::Connection &c) { return new TfrmSRS184(c); });
    registry.add(QStringLiteral("STS010"), [](db::Connection &c) { return new TfrmSTS010(c); });
    registry.add(QStringLiteral("STS020"), [](db::Connection &c) { return new TfrmSTS020(c); });
    registry.add(QStringLiteral("STS030"), [](db::Connection &c) { return new TfrmSTS030(c); });
    registry.add(QStringLiteral("STS040"), [](db::Connection &c) { return new TfrmSTS040(c); });
    registry.add(QStringLiteral("STS050"), [](db::Connection &c) { return new TfrmSTS050(c); });
    registry.add(QStringLiteral("STS060"), [](db::Connection &c) { return new TfrmSTS060(c); });
    registry.add(QStringLiteral("STS070"), [](db::Connection &c) { return new TfrmSTS070(c); });
    registry.add(QStringLiteral("STS080"), [](db::Connection &c) { return new TfrmSTS080(c); });
    registry.add(QStringLiteral("STS090"), [](db::Connection &c) { return new TfrmSTS090(c); });
    registry.add(QStringLiteral("STI010"), [](db::Connection &c) { return new TfrmSTI010(c); });
    registry.add(QStringLiteral("STI020"), [](db::Connection &c) { return new TfrmSTI020(c); });
    registry.add(QStringLiteral("SRS900"), [](db::Connection &c) { return new TfrmSRS900(c); });
    for (const QString &id : ReportInquiryProgramIds())
        registry.add(id, [id](db::Connection &c) { return CreateReportInquiry(c, id); });
    for (const QString &id : ViewerProgramIds())
        registry.add(id, [id](db::Connection &c) { return CreateViewerScreen(c, id); });
}

} // namespace kelo::screens
