#include "database/schema.h"
#include "report/output.h"
#include "screens/reports/reports.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

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
    QString written, printed;
    QElapsedTimer waited;
    waited.start();
    while (!printed.contains(QStringLiteral("DAILY REPORT")) && waited.elapsed() < 60000) {
        QThread::msleep(250);
        for (const QString &f : Pdfs(out))
            if (!before.contains(f))
                written = out.filePath(f);
        if (!written.isEmpty())
            printed = Text(written);
    }
    ASSERT_FALSE(written.isEmpty())
        << "no PDF from the print queue in " << out.path().toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("DAILY REPORT"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("Date: 2004 | 04 | 15 Thursday")));
    EXPECT_TRUE(printed.contains(QStringLiteral("Weather : Partly Cloudy")));
    EXPECT_TRUE(printed.contains(QStringLiteral("1,234,567")));
    QFile::remove(written);
}

} // namespace
