#include "report/output.h"

#include "common/appdir.h"
#include "common/clock.h"
#include "report/render.h"

#include <QDir>
#include <QPrinter>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <stdexcept>

namespace kelo::report {

QPrinterInfo DefaultPrinter() {
    QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (!printer.isNull())
        return printer;
    const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
    return all.isEmpty() ? QPrinterInfo() : all.front();
}

QString PdfFolder() {
    QSettings ini(AppFile(QStringLiteral("Kelo_S.ini")), QSettings::IniFormat);
    const QString folder = ini.value(QStringLiteral("Report/PdfFolder")).toString().trimmed();
    if (!folder.isEmpty())
        return QDir(AppDir()).absoluteFilePath(folder);
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .absoluteFilePath(QStringLiteral("Reports"));
}

QString NewPdfPath(const QString &title) {
    QDir dir(PdfFolder());
    if (!dir.mkpath(QStringLiteral(".")))
        throw std::runtime_error(
            QStringLiteral("The report folder %1 cannot be made.").arg(dir.path()).toStdString());
    // The report's own title, Korean and brackets kept; only what a file name cannot hold
    // (or a shell reads awkwardly: blanks) becomes "_", and a leading dot would hide it.
    QString base = title;
    base.replace(QRegularExpression(QStringLiteral("[\\s/\\\\:*?\"<>|\\x00-\\x1f]+")),
                 QStringLiteral("_"));
    while (base.startsWith(u'.'))
        base.remove(0, 1);
    if (base.isEmpty())
        base = QStringLiteral("report");
    base += Now().toString(QStringLiteral("_yyyyMMdd_HHmmss"));
    QString path = dir.filePath(base + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1_%2.pdf").arg(base).arg(n));
    return path;
}

PrintOutcome PrintDocument(const Document &document, const QPrinterInfo &printerInfo,
                           const QString &pdfName) {
    PrintOutcome outcome;
    if (printerInfo.isNull()) {
        outcome.pdfPath = NewPdfPath(pdfName.isEmpty() ? document.title : pdfName);
        WritePdf(document, outcome.pdfPath);
        return outcome;
    }
    QPrinter printer(printerInfo, QPrinter::HighResolution);
    printer.setCopyCount(1);
    PrintPages(document, printer);
    outcome.printer = printerInfo.printerName();
    return outcome;
}

std::optional<PrintChoice> AskPrint(const Document &document) {
    return PrintSetup(QPrinterInfo::availablePrinterNames(), DefaultPrinter().printerName(),
                      int(document.pages.size()));
}

PrintOutcome PrintDocument(const Document &document, const PrintChoice &choice,
                           const QString &pdfName) {
    QPrinterInfo printer;
    if (!choice.printer.isEmpty()) {
        printer = QPrinterInfo::printerInfo(choice.printer);
        if (printer.isNull())
            throw std::runtime_error(
                QStringLiteral("프린터 %1이(가) 없습니다.").arg(choice.printer).toStdString());
    }
    // The copies are made here rather than left to the printer's driver, so that every
    // queue (and the PDF) gets them alike.
    const int count = int(document.pages.size());
    const int from = std::clamp(choice.fromPage, 1, std::max(1, count));
    const int to = std::clamp(choice.toPage, from, std::max(1, count));
    Document chosen;
    chosen.title = document.title;
    chosen.cutTexts = document.cutTexts;
    for (int copy = 0; copy < std::max(1, choice.copies); ++copy)
        for (int page = from; page <= to && page <= count; ++page)
            chosen.pages.push_back(document.pages[size_t(page - 1)]);
    return PrintDocument(chosen, printer, pdfName);
}

} // namespace kelo::report
