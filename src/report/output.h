#pragma once

// Printing a page document: to the default printer through the system's print
// service (CUPS), or, on a machine without any printer, as a PDF in the report folder.

#include "common/dialogs.h"
#include "report/document.h"

#include <QPrinterInfo>

namespace kelo::report {

struct PrintOutcome {
    QString printer; // the printer the job went to; empty when written as a PDF
    QString pdfPath; // the PDF written in place of printing; empty when printed
};

// The default printer; the first printer when none is marked default; a null
// QPrinterInfo when the machine has none.
QPrinterInfo DefaultPrinter();

// Where a print goes as a PDF when there is no printer: Kelo_S.ini [Report]
// PdfFolder (relative to AppDir), by default the Reports folder in the user's
// documents.
QString PdfFolder();

// A file name in the report folder for a job: TITLE_yyyyMMdd_HHmmss.pdf, with a
// number added when that name is taken.
QString NewPdfPath(const QString &title);

// Prints the document on the printer, or writes it into the report folder when the
// printer is null, named after pdfName (by default the document's title). Never does
// nothing: a printer that fails or a PDF that cannot be written raises
// std::runtime_error.
PrintOutcome PrintDocument(const Document &document, const QPrinterInfo &printer,
                           const QString &pdfName = QString());

// The print dialog of the dialogs service for the document: the machine's printers with the
// default one chosen, its pages, copies. Nothing when the user cancels.
std::optional<PrintChoice> AskPrint(const Document &document);

// Prints what the user chose: the pages fromPage to toPage (cut to the document's), each copy
// whole one after another in one job, on the chosen printer, or written as one PDF in the
// report folder when the choice names none. A printer that is not there (any more) raises
// std::runtime_error, as PrintDocument above does for a failing one.
PrintOutcome PrintDocument(const Document &document, const PrintChoice &choice,
                           const QString &pdfName = QString());

} // namespace kelo::report
