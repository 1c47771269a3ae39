// kelo-reports: the daily report set of a business date without the client, for cron and
// for looking at it.
//
//   kelo-reports ALIAS --date YYYYMMDD [--build] [--reports 1,2,3,4,5,6,8,9]
//                (--pdf FILE | --print | --preview)
//
// ALIAS is a database of Databases.ini (or the path of a SQLite file, db::ResolveDatabase). The
// report numbers are those of the report output screen's boxes, run in the screen's order (6, the
// F&B report, includes the function/GUF composite); all of them when --reports is not given.
// --build runs the day's data build (PR_SA000MS_01) first, in a transaction of its own.
// --pdf writes the set as one PDF (put in place only when whole, with the mode of the file it
// replaces or 0666 less the umask; a FILE that is not a regular file, a symbolic link among
// them, is refused with exit code 4 and left as it is); --print prints each report
// on the default printer (as a PDF in the report folder when the machine has none);
// --preview shows each in the preview window. Progress on standard error, a line a report.
//
// Exit codes: 0 done; 2 bad arguments or date; 3 a database error (its text on standard
// error); 4 the output cannot be written.

#include "common/appdir.h"
#include "common/application.h"
#include "common/fonts.h"
#include "common/functions.h"
#include "common/outputfile.h"
#include "database/schema.h"
#include "db/dberror.h"
#include "db/storedproc.h"
#include "db/transaction.h"
#include "report/render.h"
#include "screens/reports/reports.h"
#include "tools/targets.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

using namespace kelo;

namespace {

const char *kUsage =
    "usage:\n"
    "  kelo-reports ALIAS --date YYYYMMDD [--build] [--reports 1,2,3,4,5,6,8,9]\n"
    "               (--pdf FILE | --print | --preview)\n"
    "ALIAS: a database of Databases.ini, or the path of a SQLite file (a text with a '/',\n"
    "  an existing file, or a name ending in .db)\n"
    "reports: 1 Daily Report, 2 Division Statistics - Room, 3 - F&B, 4 - Leports,\n"
    "  5 F&B Index, 6 F&B Report with Function/GUF, 8 Daily Guest Activities,\n"
    "  9 Tour-Gondola (all when not given)\n"
    "options: --emp EMPNO  who the data build stamps (default kelo-reports)\n"
    "         --app-dir DIR  where Databases.ini and Kelo_S.ini are (default: beside the\n"
    "                        program, then ~/.config/kelo, then /etc/kelo)\n"
    "         --help         this text\n"
    "exit codes: 0 done, 2 bad arguments or date, 3 database error, 4 output not writable\n";

enum Exit { Done = 0, BadArguments = 2, DatabaseError = 3, OutputError = 4 };

int Usage(const QString &why = QString()) {
    if (!why.isEmpty())
        std::fprintf(stderr, "kelo-reports: %s\n", why.toUtf8().constData());
    std::fputs(kUsage, stderr);
    return BadArguments;
}

void Say(const QString &text) {
    std::fputs(("kelo-reports: " + text + u'\n').toUtf8().constData(), stderr);
    std::fflush(stderr);
}

// An output failure: exit 4.
struct OutputFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Options {
    QString target, date, pdf, emp = QStringLiteral("kelo-reports");
    bool build = false, print = false, preview = false;
    QList<int> boxes;
};

// The arguments; an empty text, or why they are wrong.
QString Parse(QStringList args, Options &o) {
    auto value = [&args](const QString &option, QString &into) {
        const qsizetype at = args.indexOf(option);
        if (at < 0)
            return true;
        if (at + 1 >= args.size() || args.at(at + 1).startsWith(QLatin1String("--")))
            return false;
        into = args.at(at + 1);
        args.remove(at, 2);
        return true;
    };
    QString appDir, reports;
    if (!value(QStringLiteral("--app-dir"), appDir) || !value(QStringLiteral("--date"), o.date) ||
        !value(QStringLiteral("--reports"), reports) || !value(QStringLiteral("--pdf"), o.pdf) ||
        !value(QStringLiteral("--emp"), o.emp))
        return QStringLiteral("an option without its value");
    if (!appDir.isEmpty())
        SetAppDir(appDir);
    for (const QString &flag :
         {QStringLiteral("--build"), QStringLiteral("--print"), QStringLiteral("--preview")}) {
        const bool given = args.removeAll(flag) > 0;
        if (flag == QLatin1String("--build"))
            o.build = given;
        else if (flag == QLatin1String("--print"))
            o.print = given;
        else
            o.preview = given;
    }
    // What is left is the database; an option no one took is named alone.
    for (const QString &a : std::as_const(args))
        if (a.startsWith(QLatin1String("--")))
            return QStringLiteral("not understood: ") + a;
    if (args.isEmpty())
        return QStringLiteral("no database named");
    if (args.size() > 1)
        return QStringLiteral("not understood: ") + args.mid(1).join(u' ');
    o.target = args.front();
    if (int(!o.pdf.isEmpty()) + int(o.print) + int(o.preview) != 1)
        return QStringLiteral("one of --pdf FILE, --print and --preview");
    if (o.date.isEmpty())
        return QStringLiteral("no --date");
    if (o.date.size() != 8 || !IsValidDate(o.date))
        return o.date + QStringLiteral(" is not a date YYYYMMDD");
    QList<int> known;
    for (const screens::DailyReportStep &step : screens::DailyReportSteps())
        known << step.box;
    if (reports.isEmpty()) {
        o.boxes = known;
    } else {
        for (const QString &part : reports.split(u',')) {
            bool ok = false;
            const int box = part.trimmed().toInt(&ok);
            if (!ok || !known.contains(box))
                return part.trimmed() + QStringLiteral(" is no report number (1-6, 8, 9)");
            if (!o.boxes.contains(box))
                o.boxes << box;
        }
    }
    return QString();
}

void BuildDay(db::Connection &connection, const Options &o) {
    QElapsedTimer clock;
    clock.start();
    db::StoredProc proc(connection);
    screens::PrepareDataBuild(proc);
    db::Transaction transaction(connection);
    transaction.begin();
    screens::RunDataBuild(proc, o.date, o.emp, GetClientIP()); // a failure rolls back
    transaction.commit();
    Say(QStringLiteral("data build of %1 done (%2 s)")
            .arg(o.date)
            .arg(clock.elapsed() / 1000.0, 0, 'f', 2));
}

// The reports of the ticked boxes in the run's order.
QStringList Reports(const Options &o) {
    QStringList ids;
    for (const screens::DailyReportStep &step : screens::DailyReportSteps())
        if (o.boxes.contains(step.box))
            ids += step.programIds;
    return ids;
}

int Run(const Options &o) {
    // The PDF is written beside its final name and put in place when whole; a target that
    // is not a regular file is refused before any work.
    std::unique_ptr<OutputFile> pdf;
    if (!o.pdf.isEmpty()) {
        pdf = std::make_unique<OutputFile>(o.pdf);
        if (!pdf->open())
            throw OutputFailure(pdf->errorString().toStdString());
    }

    db::Connection connection;
    connection.setParams(tools::TargetParams(o.target));
    connection.open();
    database::CheckSchema(connection, database::OlderSchema::Refuse);
    if (o.build)
        BuildDay(connection, o);

    QElapsedTimer total;
    total.start();
    if (pdf) {
        int n = 0;
        const int count = int(Reports(o).size());
        const report::Document document =
            screens::LayOutDailySet(connection, o.date, o.boxes,
                                    [&](const QString &id, const QString &caption, double seconds) {
                                        Say(QStringLiteral("[%1/%2] %3 %4 (%5 s)")
                                                .arg(++n)
                                                .arg(count)
                                                .arg(id, caption)
                                                .arg(seconds, 0, 'f', 2));
                                    });
        QElapsedTimer clock;
        clock.start();
        try {
            report::WritePdf(document, pdf->device());
        } catch (const std::exception &e) {
            throw OutputFailure(
                QStringLiteral("%1: %2").arg(o.pdf, QString::fromUtf8(e.what())).toStdString());
        }
        if (!pdf->commit())
            throw OutputFailure(pdf->errorString().toStdString());
        Say(QStringLiteral("%1: %2 pages (%3 s; %4 s in all)")
                .arg(o.pdf)
                .arg(document.pages.size())
                .arg(clock.elapsed() / 1000.0, 0, 'f', 2)
                .arg(total.elapsed() / 1000.0, 0, 'f', 2));
        return Done;
    }
    const QStringList ids = Reports(o);
    int n = 0;
    for (const QString &id : ids) {
        QElapsedTimer clock;
        clock.start();
        std::unique_ptr<TfrmZZP010> screen = screens::CreateReport(id, connection, o.date);
        screen->openData();
        const QString caption = screen->caption();
        QString outcome;
        if (o.preview) {
            screen->preview();
        } else {
            const report::PrintOutcome printed = screen->print();
            outcome = printed.printer.isEmpty() ? QStringLiteral(", no printer: ") + printed.pdfPath
                                                : QStringLiteral(", printed on ") + printed.printer;
        }
        Say(QStringLiteral("[%1/%2] %3 %4 (%5 s%6)")
                .arg(++n)
                .arg(ids.size())
                .arg(id, caption)
                .arg(clock.elapsed() / 1000.0, 0, 'f', 2)
                .arg(outcome));
    }
    return Done;
}

} // namespace

int main(int argc, char **argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(kUsage, stdout);
        return Done;
    }
    if (!args.contains(QStringLiteral("--preview")) &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PrepareRuntimeDir();
    Application app(argc, argv);
    InstallFontSubstitutions();
    Options options;
    const QString wrong = Parse(app.arguments().mid(1), options);
    if (!wrong.isEmpty())
        return Usage(wrong);

    database::Install();
    try {
        return Run(options);
    } catch (const OutputFailure &e) {
        std::fprintf(stderr, "kelo-reports: %s\n", e.what());
        return OutputError;
    } catch (const db::DbError &e) {
        std::fprintf(stderr, "kelo-reports: %s\n", e.message().toUtf8().constData());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "kelo-reports: %s\n", e.what());
    }
    return DatabaseError;
}
