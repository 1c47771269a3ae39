#include "screens/reports/reports.h"

#include "screens/reports/srp010_division_statistics.h"
#include "screens/reports/srp020_division_rooms.h"
#include "screens/reports/srp030_division_fnb.h"
#include "screens/reports/srp040_division_leports.h"
#include "screens/reports/srp050_fnb_index.h"
#include "screens/reports/srp060_fnb_report.h"
#include "screens/reports/srp070_fnb_function_guf.h"
#include "screens/reports/srp080_guest_activities.h"
#include "screens/reports/srp090_tour_gondola.h"

#include "db/dberror.h"
#include "framework/screenhelpers.h"
#include "report/paginator.h"

#include <QElapsedTimer>

#include <stdexcept>

namespace kelo::screens {

QStringList PrintedReportIds() {
    return {QStringLiteral("SRP010"), QStringLiteral("SRP020"), QStringLiteral("SRP030"),
            QStringLiteral("SRP040"), QStringLiteral("SRP050"), QStringLiteral("SRP060"),
            QStringLiteral("SRP070"), QStringLiteral("SRP080"), QStringLiteral("SRP090")};
}

const std::vector<DailyReportStep> &DailyReportSteps() {
    static const std::vector<DailyReportStep> steps = {
        {1, QStringLiteral("  Daily Report"), {QStringLiteral("SRP010")}},
        {2, QStringLiteral("  Division Statistics - Room"), {QStringLiteral("SRP020")}},
        {3, QStringLiteral("  Division Statistics - F&&B"), {QStringLiteral("SRP030")}},
        {4, QStringLiteral("  Division Statistics - Leports"), {QStringLiteral("SRP040")}},
        {5, QStringLiteral("  F&&B Index"), {QStringLiteral("SRP050")}},
        {6, QStringLiteral("  F&&B Report"), {QStringLiteral("SRP060"), QStringLiteral("SRP070")}},
        {8, QStringLiteral("  Daily Guest Activties Report"), {QStringLiteral("SRP080")}},
        {9, QStringLiteral("  Tour-Gondola Report"), {QStringLiteral("SRP090")}},
    };
    return steps;
}

std::unique_ptr<TfrmZZP010> CreateReport(const QString &programId, db::Connection &connection,
                                         const QString &saleDate) {
    const QString id = programId.toUpper();
    if (id == QLatin1String("SRP010"))
        return std::make_unique<TfrmSRP010>(connection, saleDate);
    if (id == QLatin1String("SRP020"))
        return std::make_unique<TfrmSRP020>(connection, saleDate);
    if (id == QLatin1String("SRP030"))
        return std::make_unique<TfrmSRP030>(connection, saleDate);
    if (id == QLatin1String("SRP040"))
        return std::make_unique<TfrmSRP040>(connection, saleDate);
    if (id == QLatin1String("SRP050"))
        return std::make_unique<TfrmSRP050>(connection, saleDate);
    if (id == QLatin1String("SRP060"))
        return std::make_unique<TfrmSRP060>(connection, saleDate);
    if (id == QLatin1String("SRP070"))
        return std::make_unique<TfrmSRP070>(connection, saleDate);
    if (id == QLatin1String("SRP080"))
        return std::make_unique<TfrmSRP080>(connection, saleDate);
    if (id == QLatin1String("SRP090"))
        return std::make_unique<TfrmSRP090>(connection, saleDate);
    return nullptr;
}

void PrepareDataBuild(db::StoredProc &proc) {
    proc.setProcName(QStringLiteral("PR_SA000MS_01"));
    proc.clearParams();
    proc.addParam(QStringLiteral("ASALE_DATE"), db::ParamDirection::Input);
    proc.addParam(QStringLiteral("AU_EMP_NO"), db::ParamDirection::Input);
    proc.addParam(QStringLiteral("AU_IP"), db::ParamDirection::Input);
    proc.addParam(QStringLiteral("AERROR_MSG"), db::ParamDirection::Output, 2000);
}

void RunDataBuild(db::StoredProc &proc, const QString &saleDate, const QString &empNo,
                  const QString &ip) {
    proc.setParam(QStringLiteral("ASALE_DATE"), saleDate);
    ExecuteWrite(proc, empNo, ip);
}

report::Document LayOutDailySet(
    db::Connection &connection, const QString &saleDate, const QList<int> &boxes,
    const std::function<void(const QString &id, const QString &caption, double seconds)> &done) {
    std::vector<std::unique_ptr<TfrmZZP010>> reports;
    std::vector<report::ReportDefinition *> definitions;
    for (const DailyReportStep &step : DailyReportSteps()) {
        if (!boxes.isEmpty() && !boxes.contains(step.box))
            continue;
        for (const QString &id : step.programIds) {
            QElapsedTimer clock;
            clock.start();
            std::unique_ptr<TfrmZZP010> screen = CreateReport(id, connection, saleDate);
            screen->openData();
            for (report::ReportDefinition *d : screen->definitions())
                definitions.push_back(d);
            if (done)
                done(id, screen->caption(), clock.elapsed() / 1000.0);
            reports.push_back(std::move(screen));
        }
    }
    return report::Paginate(definitions, QStringLiteral("Daily reports ") + saleDate);
}

report::PrintOutcome RunReport(const QString &programId, db::Connection &connection,
                               const QString &saleDate, ReportOutput output,
                               const QString &pdfPath) {
    std::unique_ptr<TfrmZZP010> screen = CreateReport(programId, connection, saleDate);
    if (!screen)
        throw std::invalid_argument(
            QStringLiteral("%1 is no printed report").arg(programId).toStdString());
    screen->openData();
    report::PrintOutcome outcome;
    switch (output) {
    case ReportOutput::Print:
        outcome = screen->print();
        break;
    case ReportOutput::Preview:
        screen->preview();
        break;
    case ReportOutput::Pdf:
        screen->writePdf(pdfPath);
        outcome.pdfPath = pdfPath;
        break;
    }
    return outcome;
}

} // namespace kelo::screens
