#include "screens/reports/fnb_layout.h"

#include "screens/reports/fnb_sql.h"

namespace kelo::screens::fnb {

using namespace report;

namespace {

constexpr double kPageWidth = 277; // A4 landscape between 10 mm margins
constexpr double kHeadingRow = 5;

} // namespace

Layout::Layout(std::vector<ColumnGroup> groups, double headingPoints)
    : m_groups(std::move(groups)), m_headingPoints(headingPoints) {
    double used = 0;
    for (const ColumnGroup &g : m_groups)
        for (const Column &c : g.columns)
            used += c.width;
    m_description = kPageWidth - used;
}

void Layout::addHeadings(Band &band) const {
    auto box = [&band](const QString &name, const QRectF &rect, const QString &text,
                       const FontSpec &font) {
        Item item = Label(name, rect, text, font, Qt::AlignCenter);
        item.wordWrap = true;
        item.frame.setAll(true);
        band.addItem(item);
    };
    box(QStringLiteral("qrlDescription"), {0, 0, m_description, 2 * kHeadingRow},
        QStringLiteral("Description"), Font(7, true));
    double x = m_description;
    int g = 0, c = 0;
    for (const ColumnGroup &group : m_groups) {
        double width = 0;
        for (const Column &column : group.columns) {
            box(QStringLiteral("qrlColumn%1").arg(++c),
                {x + width, kHeadingRow, column.width, kHeadingRow}, column.heading,
                Font(m_headingPoints, true));
            width += column.width;
        }
        box(QStringLiteral("qrlGroup%1").arg(++g), {x, 0, width, kHeadingRow}, group.heading,
            Font(7, true));
        x += width;
    }
}

void Layout::addMaster(Band &band, DataSet &set, const QString &nameField) const {
    band.addItem(ShapeItem(QStringLiteral("qrsRule"), {0, 0, kPageWidth, 1},
                           ShapeKind::HorizontalLine, Qt::black, Qt::transparent, 0.5));
    Item name = DataText(QStringLiteral("qrdName"), {0, 1.5, 60, band.height - 2}, set, nameField,
                         Font(8, true));
    name.color = Qt::white;
    name.background = Qt::black;
    band.addItem(name);
    double x = m_description;
    int n = 17;
    for (const ColumnGroup &group : m_groups)
        for (const Column &column : group.columns) {
            if (column.shaded) {
                Item block =
                    Label(QStringLiteral("QRLabel%1").arg(n++),
                          {x, 1.5, column.width, band.height - 1.5}, column.heading, Font(6));
                block.background = kButtonFace;
                block.onPrint = [](Item &, QString &text) { text.clear(); }; // QRLabel17Print
                band.addItem(block);
            }
            x += column.width;
        }
}

void Layout::addRows(Band &band, DataSet &set, const QString &nameItem, QString &last) const {
    band.dataSet = &set;
    band.detailFields = QStringList{QStringLiteral("MIS_UPJANG_GUBUN2")};
    band.masterFields = QStringList{QStringLiteral("DETAIL")};
    double x = m_description;
    for (const ColumnGroup &group : m_groups)
        for (const Column &column : group.columns) {
            if (column.shaded)
                band.addItem(ShapeItem(QStringLiteral("shp") + column.field,
                                       {x, 0, column.width, band.height}, ShapeKind::Rectangle,
                                       Qt::transparent, kButtonFace));
            x += column.width;
        }
    const FontSpec row = Font(6);
    const FontSpec figures = Font(6, false, QStringLiteral("Arial Narrow"));
    // The category's name takes 13 mm; the outlet's name ends 1 mm before it (a longer
    // name is set smaller or cut within its column).
    const double nameWidth = m_description - 13;
    Item outlet = DataText(nameItem, {1, 0, nameWidth - 2, band.height}, set,
                           QStringLiteral("UPJANG_NAME"), row);
    outlet.onPrint = [&last](Item &i, QString &text) { SuppressRepeats(last)(i, text); };
    band.addItem(outlet);
    band.addItem(DataText(QStringLiteral("qrdGubunName"),
                          {nameWidth, 0, m_description - nameWidth, band.height}, set,
                          QStringLiteral("GUBUN_NAME"), row));
    x = m_description;
    for (const ColumnGroup &group : m_groups)
        for (const Column &column : group.columns) {
            band.addItem(DataText(QStringLiteral("txt") + column.field,
                                  {x, 0, column.width - 0.6, band.height}, set, column.field,
                                  figures, Qt::AlignRight | Qt::AlignVCenter));
            x += column.width;
        }
}

void Layout::setFormats(DataSet &set, const QString &format) const {
    for (const ColumnGroup &group : m_groups)
        for (const Column &column : group.columns)
            if (!column.field.endsWith(QLatin1String("VARIANCE")))
                set.setDisplayFormat(column.field, format);
}

void MarkSubTotal(BandPrint &bp, const DataSet &set) {
    bp.band.frame.bottom = set.text(QStringLiteral("GUBUN")) == QStringLiteral("9");
}

} // namespace kelo::screens::fnb

namespace kelo::screens {

using namespace report;

TfrmFnbBlocks::TfrmFnbBlocks(db::Connection &connection, const QString &programId,
                             const QString &saleDate, const QString &caption,
                             const fnb::Layout &layout, const QString &listSql,
                             const QString &subSumSql, const QString &format)
    : TfrmZZP020(connection, programId, saleDate, caption),
      cdsList(connection, QStringLiteral("cdsList")),
      cdsSubSum(connection, QStringLiteral("cdsSubSum")),
      QRBand2(qrpReport.addBand(QStringLiteral("QRBand2"), BandKind::ColumnHeader, 11)),
      DetailBand1(qrpReport.addBand(QStringLiteral("DetailBand1"), BandKind::Detail, 7)),
      QRSubDetail1(qrpReport.addBand(QStringLiteral("QRSubDetail1"), BandKind::SubDetail, 4)),
      QRSubDetail2(qrpReport.addBand(QStringLiteral("QRSubDetail2"), BandKind::SubDetail, 4)) {
    qrbFooter.enabled = false;
    useReportTitle(caption);
    cdsQuery.query().setSql(fnb::DivisionRows());
    cdsList.query().setSql(listSql);
    cdsSubSum.query().setSql(subSumSql);
    layout.setFormats(cdsList, format);
    layout.setFormats(cdsSubSum, format);

    layout.addHeadings(QRBand2);
    DetailBand1.forceNewPage = true;
    layout.addMaster(DetailBand1, cdsQuery, QStringLiteral("DETAIL_NAME"));
    layout.addRows(QRSubDetail1, cdsList, QStringLiteral("QRDBText12"), m_lastName1);
    layout.addRows(QRSubDetail2, cdsSubSum, QStringLiteral("QRDBText55"), m_lastName2);
    QRSubDetail1.beforePrint = [this](BandPrint &bp) { QRSubDetail1BeforePrint(bp); };
    QRSubDetail2.beforePrint = [this](BandPrint &bp) { QRSubDetail2BeforePrint(bp); };
}

void TfrmFnbBlocks::openData() {
    openInOrder({&cdsQuery, &cdsList, &cdsSubSum, &qrySys});
}

void TfrmFnbBlocks::QRSubDetail1BeforePrint(BandPrint &bp) {
    fnb::MarkSubTotal(bp, cdsList);
}

void TfrmFnbBlocks::QRSubDetail2BeforePrint(BandPrint &bp) {
    fnb::MarkSubTotal(bp, cdsSubSum);
}

} // namespace kelo::screens
