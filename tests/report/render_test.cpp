#include "common/appdir.h"
#include "report/output.h"
#include "report/paginator.h"
#include "report/render.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::report;

namespace {

// The standard output of a poppler tool run on a file.
QString Poppler(const QString &tool, const QStringList &args) {
    QProcess p;
    p.start(tool, args);
    EXPECT_TRUE(p.waitForFinished(30000)) << tool.toStdString();
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Two pages: a portrait page with an English and a Korean line and a grey band, then a
// landscape page.
Document TwoPages() {
    ReportDefinition first, second;
    first.name = QStringLiteral("first");
    Band &title = first.addBand(QStringLiteral("title"), BandKind::Title, 20);
    title.color = QColor(223, 223, 223);
    title.addItem(Label(QStringLiteral("en"), {0, 0, 120, 8}, QStringLiteral("DAILY REPORT"),
                        Font(12, true)));
    title.addItem(Label(QStringLiteral("ko"), {0, 10, 120, 8}, QStringLiteral("켈로펠모라리조트"),
                        Font(10, true)));
    first.addBand(QStringLiteral("summary"), BandKind::Summary, 10)
        .addItem(ShapeItem(QStringLiteral("rule"), {0, 0, 190, 2}, ShapeKind::HorizontalLine,
                           Qt::black, Qt::transparent, 0.5));
    second.name = QStringLiteral("second");
    second.page.orientation = Orientation::Landscape;
    second.addBand(QStringLiteral("title"), BandKind::Title, 20)
        .addItem(Label(QStringLiteral("en"), {0, 0, 120, 8}, QStringLiteral("Leports")));
    return Paginate({&first, &second}, QStringLiteral("Division Statistics"));
}

TEST(Render, APageIsDrawnAtItsPlaceInMillimetres) {
    const Document doc = TwoPages();
    const double dpi = 254; // ten pixels to the millimetre
    const QImage image = RenderPage(doc.pages.at(0), dpi);
    EXPECT_EQ(image.size(), QSize(2100, 2970));
    // The grey title band from 10 mm to 200 mm across, 10 mm to 30 mm down; white paper
    // outside it.
    EXPECT_EQ(image.pixelColor(1500, 250), QColor(223, 223, 223));
    EXPECT_EQ(image.pixelColor(50, 250), QColor(Qt::white));
    // The rule of the summary band, 1 mm below its top at 30 mm.
    EXPECT_EQ(image.pixelColor(1000, 310), QColor(Qt::black));
    // Some dark ink where the title text stands.
    int dark = 0;
    for (int x = 100; x < 800; ++x)
        for (int y = 100; y < 180; ++y)
            dark += qGray(image.pixel(x, y)) < 100;
    EXPECT_GT(dark, 500);
}

TEST(Render, APdfEmbedsItsFontsKeepsTextsSelectableAndTurnsPages) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.pdf"));
    WritePdf(TwoPages(), path);
    const QString info = Poppler(QStringLiteral("pdfinfo"), {path});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))))
        << info.toStdString();
    EXPECT_TRUE(
        info.contains(QRegularExpression(QStringLiteral("Title:\\s+Division Statistics\\n"))));
    const QString page2 =
        Poppler(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("2"),
                                            QStringLiteral("-l"), QStringLiteral("2"), path});
    EXPECT_TRUE(page2.contains(QRegularExpression(QStringLiteral("Page\\s+2 size:\\s+842 x 595"))))
        << page2.toStdString();
    const QString text = Poppler(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("DAILY REPORT")));
    EXPECT_TRUE(text.contains(QStringLiteral("켈로펠모라리조트")));
    EXPECT_TRUE(text.contains(QStringLiteral("Leports")));
    const QStringList fonts =
        Poppler(QStringLiteral("pdffonts"), {path}).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(fonts.size(), 2); // two heading lines, then a font a line
    for (const QString &line : fonts.mid(2))
        // emb yes (sub either way) uni yes: embedded, with the map back to the characters.
        EXPECT_TRUE(
            line.contains(QRegularExpression(QStringLiteral("\\byes\\s+(yes|no)\\s+yes\\b"))))
            << "not embedded: " << line.toStdString();
}

TEST(Render, APdfThatCannotBeWrittenRaisesAndLeavesNoFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/job.pdf"));
    EXPECT_THROW(WritePdf(TwoPages(), path), std::runtime_error);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(Render, WithoutAPrinterAPrintIsWrittenAsAPdfInTheReportFolder) {
    QTemporaryDir app;
    SetAppDir(app.path());
    {
        QSettings ini(app.filePath(QStringLiteral("Kelo_S.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Report/PdfFolder"), QStringLiteral("out/reports"));
    }
    EXPECT_EQ(PdfFolder(), app.filePath(QStringLiteral("out/reports")));
    const PrintOutcome first = PrintDocument(TwoPages(), QPrinterInfo());
    const PrintOutcome second = PrintDocument(TwoPages(), QPrinterInfo());
    const QString folder = PdfFolder();
    SetAppDir(QString());
    EXPECT_TRUE(first.printer.isEmpty());
    EXPECT_EQ(QFileInfo(first.pdfPath).absolutePath(), app.filePath(QStringLiteral("out/reports")));
    EXPECT_TRUE(
        QFileInfo(first.pdfPath).fileName().startsWith(QStringLiteral("Division_Statistics_")));
    EXPECT_NE(first.pdfPath, second.pdfPath); // the same second: a second file, not an overwrite
    EXPECT_TRUE(Poppler(QStringLiteral("pdftotext"), {first.pdfPath, QStringLiteral("-")})
                    .contains(QStringLiteral("DAILY REPORT")));
    // Only the finished PDFs stand in the folder.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2);
}

// The file of a report printed without a printer carries the report's title as it reads.
TEST(Render, APdfWithoutAPrinterIsNamedAfterTheReportsTitle) {
    QTemporaryDir app;
    SetAppDir(app.path());
    QSettings(app.filePath(QStringLiteral("Kelo_S.ini")), QSettings::IniFormat)
        .setValue(QStringLiteral("Report/PdfFolder"), QStringLiteral("pdf"));
    const struct {
        const char *title, *name;
    } cases[] = {
        {"영업현황일보(총괄)", "영업현황일보(총괄)_"},
        {"Daily Sales / Rooms: 12*", "Daily_Sales_Rooms_12_"},
        {"../..", "_.._"},
        {"", "report_"},
    };
    for (const auto &c : cases) {
        const QString path = NewPdfPath(QString::fromUtf8(c.title));
        EXPECT_EQ(QFileInfo(path).absolutePath(), app.filePath(QStringLiteral("pdf"))) << c.title;
        EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QString::fromUtf8(c.name)))
            << c.title << " " << path.toStdString();
    }
    SetAppDir(QString());
}

TEST(Render, TheDefaultReportFolderIsReportsInTheUsersDocuments) {
    QTemporaryDir app;
    SetAppDir(app.path());
    const QString folder = PdfFolder();
    SetAppDir(QString());
    EXPECT_TRUE(folder.endsWith(QStringLiteral("/Reports")));
    EXPECT_EQ(QFileInfo(folder).absolutePath(),
              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

// A line a little wider than its item on the device (as a screen's rounded advances make a
// fitted line) is drawn narrowed into the item: no ink beside it, ink at both its ends.
TEST(Render, ALineALittleWiderThanItsItemIsDrawnNarrowedIntoIt) {
    for (const char *text : {"8,012,682,000", "Japanese Restaurant"}) {
        SCOPED_TRACE(text);
        Page page;
        Primitive p;
        p.text = QString::fromUtf8(text);
        p.font = Font(10);
        p.alignment = Qt::AlignRight | Qt::AlignVCenter;
        const QImage probe = RenderPage(page, 254);
        QFont font(QStringLiteral("굴림"));
        font.setPointSizeF(10);
        const double width =
            QFontMetricsF(font, &probe).horizontalAdvance(p.text) / 10; // mm at 254 dpi
        p.rect = QRectF(50, 20, width * 0.92, 8);
        page.items.push_back(p);
        const QImage image = RenderPage(page, 254);
        auto inkIn = [&](int from, int to) {
            int dark = 0;
            for (int x = from; x < to; ++x)
                for (int y = 200; y < 280; ++y)
                    dark += qGray(image.pixel(x, y)) < 128;
            return dark;
        };
        const int left = qRound(p.rect.left() * 10), right = qRound(p.rect.right() * 10);
        EXPECT_EQ(inkIn(0, left - 1), 0);
        EXPECT_EQ(inkIn(right + 1, image.width()), 0);
        EXPECT_GT(inkIn(left, left + 15), 0);
        EXPECT_GT(inkIn(right - 15, right), 0);
    }
}

} // namespace
