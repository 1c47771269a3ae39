#pragma once

// Back-ends that draw a page document: any QPainter (the preview, images), a PDF file
// and a printer.

#include "report/document.h"

class QIODevice;
class QPainter;
class QPrinter;

namespace kelo::report {

// Draws a page with its top left corner at the painter's origin, dpi device pixels to
// the inch. Fonts keep their point sizes whatever the device's own resolution.
void DrawPage(QPainter &painter, const Page &page, double dpi);

// The page as a picture on white paper.
QImage RenderPage(const Page &page, double dpi);

// Writes the document as a PDF with its fonts embedded (texts stay selectable), through
// OutputFile: a target that is not a regular file is refused, the file is written under a
// temporary name beside the target and renamed when complete (a failure never leaves a
// partial file under the name), with the mode of the file it replaces or 0666 less the
// umask. Failures raise std::runtime_error naming the file.
void WritePdf(const Document &document, const QString &path);
// The same into an open device (kelo-reports writes into its OutputFile).
void WritePdf(const Document &document, QIODevice &device);

// Draws the document on a printer set up by the caller (printer name, copies); the
// pages take their own paper orientation. A printer that does not start raises
// std::runtime_error.
void PrintPages(const Document &document, QPrinter &printer);

} // namespace kelo::report
