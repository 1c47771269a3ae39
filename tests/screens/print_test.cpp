#include "database/schema.h"
#include "report/output.h"
#include "screens/reports/reports.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"
#include "viewer/rdviewer.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>

using namespace kelo;

namespace {

QStringList Pdfs(const QDir &dir) {
    return dir.entryList({QStringLiteral("*.pdf")}, QDir::Files);
}

// The text of a PDF; empty while the file is not a complete PDF yet.
QString Text(const QString &pdf) {
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    text.waitForFinished(30000);
    return text.exitCode() == 0 ? QString::fromUtf8(text.readAllStandardOutput()) : QString();
}

// The job the queue writes as a new PDF into out (one not in before), waited for on the
// folder's and the file's change notifications until its text satisfies done, a minute at
// most: its path (empty when none came) and its text.
struct Printed {
    QString file, text;
};
Printed AwaitPrintedPdf(const QDir &out, const QStringList &before,
                        const std::function<bool(const QString &)> &done) {
    Printed printed;
    QFileSystemWatcher watcher({out.path()});
    QEventLoop loop;
    auto check = [&] {
        for (const QString &f : Pdfs(out))
            if (!before.contains(f))
                printed.file = out.filePath(f);
        if (printed.file.isEmpty())
            return;
        // Watched before it is read: a write after the reading is notified.
        if (!watcher.files().contains(printed.file))
            watcher.addPath(printed.file);
        printed.text = Text(printed.file);
        if (done(printed.text))
            loop.quit();
    };
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, &loop, check);
    QObject::connect(&watcher, &QFileSystemWatcher::fileChanged, &loop, check);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    check();
    if (!done(printed.text))
        loop.exec();
    return printed;
}

// The division statistics printed on the default printer, the cups-pdf queue of
// scripts/print-queue.sh, which writes the job as a PDF into ~/PDF; read back as text.
TEST(Print, TheDivisionStatisticsGoToTheDefaultPrinter) {
    const QPrinterInfo printer = report::DefaultPrinter();
    ASSERT_FALSE(printer.isNull())
        << "no printer: the print queue is set up by scripts/print-queue.sh start";

    QTemporaryDir dir;
    database::Install();
    database::CreateDatabase(dir.filePath(QStringLiteral("p.db")), false);
    db::Connection connection;
    connection.setSqliteFile(dir.filePath(QStringLiteral("p.db")));
    connection.open();
    connection.executeScript(
        QStringLiteral("INSERT INTO SA010MS (SALE_DATE, WEATHER) VALUES ('20040415', '02');"
                       "INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, NET_AMT) VALUES "
                       "('20040415', '1001', '10', 1234567);"));

    const QDir out(QDir::home().filePath(QStringLiteral("PDF")));
    const QStringList before = Pdfs(out);
    const report::PrintOutcome outcome =
        screens::RunReport(QStringLiteral("SRP010"), connection, QStringLiteral("20040415"),
                           screens::ReportOutput::Print);
    EXPECT_EQ(outcome.printer, printer.printerName());
    EXPECT_TRUE(outcome.pdfPath.isEmpty());

    // The job comes out as a new PDF in the folder; it is read until its text is complete.
    const auto [written, printed] = AwaitPrintedPdf(out, before, [](const QString &text) {
        return text.contains(QStringLiteral("DAILY REPORT"));
    });
    ASSERT_FALSE(written.isEmpty())
        << "no PDF from the print queue in " << out.path().toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("DAILY REPORT"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("Date: 2004 | 04 | 15 Thursday")));
    EXPECT_TRUE(printed.contains(QStringLiteral("Weather : Partly Cloudy")));
    EXPECT_TRUE(printed.contains(QStringLiteral("1,234,567")));
    QFile::remove(written);
}

// The viewer's Print through the print dialog on the print queue: pages 2 to 3 of a report of
// several pages, two copies, come out of the queue as one job of those four pages.
TEST(Print, TheViewerPrintsThePagesAndCopiesChosenOnThePrinter) {
    const QPrinterInfo printer = report::DefaultPrinter();
    ASSERT_FALSE(printer.isNull())
        << "no printer: the print queue is set up by scripts/print-queue.sh start";
    test::SchemaDatabase db;
    const QString path = QDir(db.dir()).filePath(QStringLiteral("ROOMS.mrd"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(R"xml(<?xml version="1.0" encoding="UTF-8"?>
<report name="ROOMS" title="PRINTED ROOMS">
  <dataset name="rows">
    <sql><![CDATA[
WITH RECURSIVE N(I) AS (
SELECT 1
UNION ALL
SELECT I + 1
FROM N
WHERE I < 120
)
SELECT 'ROOM ' || I AS ROOM_NAME
FROM N
    ]]></sql>
  </dataset>
  <band kind="detail" dataset="rows" height="8">
    <field x="10" y="0" w="60" h="8" field="ROOM_NAME"/>
  </band>
</report>
)xml");
    }
    viewer::Rdviewer40 viewer(db.connection());
    viewer.OpenReport(path, QString());
    ASSERT_EQ(viewer.state(), viewer::Rdviewer40::State::Shown) << viewer.message().toStdString();
    const report::Document &document = *viewer.document();
    ASSERT_GE(document.pages.size(), 3u);

    const QDir out(QDir::home().filePath(QStringLiteral("PDF")));
    const QStringList before = Pdfs(out);
    {
        test::ScriptedDialogsScope dialogs;
        PrintChoice choice;
        choice.printer = printer.printerName();
        choice.fromPage = 2;
        choice.toPage = 3;
        choice.copies = 2;
        dialogs->answerPrint(choice);
        viewer.findChild<QToolButton *>(QStringLiteral("bbtPrint"))->click();
        ASSERT_EQ(dialogs->printOffers().size(), 1u);
        EXPECT_EQ(dialogs->printOffers()[0].defaultPrinter, printer.printerName());
    }
    EXPECT_EQ(viewer.status(), QStringLiteral("%1(으)로 인쇄했습니다.").arg(printer.printerName()));

    // The last room of page 3 ends the job's text twice; the job is read until it is there.
    const QString last = document.pages[2].texts().filter(QStringLiteral("ROOM ")).last();
    const auto [written, printed] = AwaitPrintedPdf(
        out, before, [&last](const QString &text) { return text.count(last) >= 2; });
    ASSERT_FALSE(written.isEmpty())
        << "no PDF from the print queue in " << out.path().toStdString();
    // Pages 2, 3, 2, 3: each page's rooms, in that order.
    const QStringList pages = printed.split(u'\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 4) << printed.toStdString();
    const int order[] = {2, 3, 2, 3};
    for (int i = 0; i < 4; ++i) {
        const QStringList rooms =
            document.pages[size_t(order[i] - 1)].texts().filter(QStringLiteral("ROOM "));
        QStringList seen;
        for (const QString &line : pages[i].split(u'\n'))
            if (!line.trimmed().isEmpty())
                seen << line.trimmed();
        EXPECT_EQ(seen, rooms) << i;
    }
    QFile::remove(written);
}

} // namespace
