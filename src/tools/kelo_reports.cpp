// kelo-reports: the printed reports of a business date without the client, for cron and
// for looking at them.
//
//   kelo-reports ALIAS|PATH YYYYMMDD --pdf FILE [ID ...]   the reports as one PDF
//   kelo-reports ALIAS|PATH YYYYMMDD --print [ID ...]      each report to the default
//                                                          printer (a PDF in the report
//                                                          folder when there is none)
//   kelo-reports ALIAS|PATH YYYYMMDD --preview [ID ...]    each report in the preview
//
// IDs: SRP010 SRP020 SRP030 SRP040 (all of them when none is named). Exit codes: 0 done,
// 1 a database or output error (said on standard error; no PDF is left under FILE),
// 2 wrong arguments.

#include "common/appdir.h"
#include "common/application.h"
#include "common/fonts.h"
#include "common/functions.h"
#include "database/schema.h"
#include "db/dberror.h"
#include "report/render.h"
#include "screens/reports/reports.h"

#include <QFileInfo>

#include <cstdio>

using namespace kelo;

namespace {

const char *kUsage = "usage:\n"
                     "  kelo-reports ALIAS|PATH YYYYMMDD --pdf FILE [ID ...]\n"
                     "  kelo-reports ALIAS|PATH YYYYMMDD --print [ID ...]\n"
                     "  kelo-reports ALIAS|PATH YYYYMMDD --preview [ID ...]\n"
                     "IDs: SRP010 SRP020 SRP030 SRP040 (all when none is named)\n"
                     "options: --app-dir DIR  where Databases.ini and Kelo_S.ini are\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

void Say(const QString &text) {
    std::fputs((text + u'\n').toUtf8().constData(), stdout);
}

} // namespace

int main(int argc, char **argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (!args.contains(QStringLiteral("--preview")) &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    InstallFontSubstitutions();
    const qsizetype appDirAt = args.indexOf(QStringLiteral("--app-dir"));
    if (appDirAt >= 0) {
        if (appDirAt + 1 >= args.size())
            return Usage();
        SetAppDir(args.at(appDirAt + 1));
        args.remove(appDirAt, 2);
    }
    if (args.size() < 3)
        return Usage();
    const QString target = args.takeFirst();
    const QString date = args.takeFirst();
    const QString mode = args.takeFirst();
    QString pdf;
    if (mode == QLatin1String("--pdf")) {
        if (args.isEmpty())
            return Usage();
        pdf = args.takeFirst();
    } else if (mode != QLatin1String("--print") && mode != QLatin1String("--preview")) {
        return Usage();
    }
    if (!IsValidDate(date) || date.size() != 8) {
        std::fprintf(stderr, "kelo-reports: %s is not a date YYYYMMDD\n", qPrintable(date));
        return 2;
    }
    QStringList ids = args.isEmpty() ? screens::PrintedReportIds() : args;
    for (QString &id : ids) {
        id = id.toUpper();
        if (!screens::PrintedReportIds().contains(id)) {
            std::fprintf(stderr, "kelo-reports: %s is no printed report\n", qPrintable(id));
            return 2;
        }
    }

    database::Install();
    try {
        db::Connection connection;
        if (QFileInfo(target).isFile())
            connection.setSqliteFile(target);
        else
            connection.setParam(QStringLiteral("DATABASE"), target);
        connection.open();
        database::CheckSchema(connection, database::OlderSchema::Refuse);

        if (!pdf.isEmpty()) {
            // One job: every report's definitions after one another.
            std::vector<std::unique_ptr<TfrmZZP010>> reports;
            std::vector<report::ReportDefinition *> definitions;
            for (const QString &id : ids) {
                reports.push_back(screens::CreateReport(id, connection, date));
                reports.back()->openData();
                for (report::ReportDefinition *d : reports.back()->definitions())
                    definitions.push_back(d);
            }
            const report::Document document = report::Paginate(
                definitions, ids.size() == 1 ? reports.front()->caption()
                                             : QStringLiteral("Daily reports ") + date);
            report::WritePdf(document, pdf);
            Say(QStringLiteral("%1: %2 pages").arg(pdf).arg(document.pages.size()));
            return 0;
        }
        for (const QString &id : ids) {
            if (mode == QLatin1String("--preview")) {
                screens::RunReport(id, connection, date, screens::ReportOutput::Preview);
                continue;
            }
            const report::PrintOutcome outcome =
                screens::RunReport(id, connection, date, screens::ReportOutput::Print);
            Say(outcome.printer.isEmpty()
                    ? QStringLiteral("%1: no printer, written to %2").arg(id, outcome.pdfPath)
                    : QStringLiteral("%1: printed on %2").arg(id, outcome.printer));
        }
        return 0;
    } catch (const db::DbError &e) {
        std::fprintf(stderr, "kelo-reports: %s\n", e.message().toUtf8().constData());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "kelo-reports: %s\n", e.what());
    }
    return 1;
}
