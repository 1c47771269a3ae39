#include "screens/reports/srp071_fnb_function.h"

#include "screens/common/periods.h"

#include <algorithm>

namespace kelo::screens {

using namespace report;

namespace {

// One row, also when the banquet has no figures: its in-house covers summed over the
// categories that have an S0009 entry.
QString MainSql() {
    return QString::fromUtf8(R"sql(
WITH %1
SELECT 'Function' AS FUNCTION_NAME,
       'Banquet' AS BANQUET_NAME,
       NVL(SUM(CASE WHEN A.SALE_DATE = P.D THEN NVL(A.IH_COVER, 0) ELSE 0 END), 0) AS TODAY_GST_IH,
       NVL(SUM(CASE WHEN SUBSTR(A.SALE_DATE, 1, 6) = P.MON THEN NVL(A.IH_COVER, 0) ELSE 0 END), 0) AS MTD_GST_IH,
       NVL(SUM(NVL(A.IH_COVER, 0)), 0) AS YTD_GST_IH
FROM P
JOIN SA040MS A ON A.SALE_DATE BETWEEN P.Y_FROM AND P.Y_TO
JOIN ZX010MS C ON C.HEAD = 'S0009' AND C.DETAIL = A.GUBUN AND C.DETAIL > ' '
WHERE A.UPJANG_CODE = '3004'
)sql")
        .arg(periods::Table());
}

// The grid: "Function" at the left, then nineteen cells under eight sub-headings under
// the three periods.
constexpr double kNameWidth = 30; // mm
constexpr double kCellWidth = 13; // (277 - 30) / 19
constexpr double kRowHeight = 5.5;

struct SubHeading {
    const char *text;
    int cells; // 3: Q'ty, Cover, Average; 2: Q'ty, Cover
};
const SubHeading kSubHeadings[] = {
    {"T.D.Y", 3},       {"L.Y.T", 2}, {"T.Y.M", 3}, {"L.Y.M", 2},
    {"Variance(%)", 2}, {"T.Y", 3},   {"L.Y", 2},   {"Variance(%)", 2},
};
struct Period {
    const char *text;
    int subHeadings; // how many of kSubHeadings it spans, in order
};
const Period kPeriods[] = {{"TODAY", 2}, {"M.T.D", 3}, {"Y.T.D", 3}};

// The cells of the one row that hold a figure: the Cover cells of T.D.Y, T.Y.M and T.Y,
// each on a shaded block.
struct Figure {
    int cell;
    const char *block, *field;
};
const Figure kFigures[] = {
    {1, "QRLabel26", "TODAY_GST_IH"},
    {6, "QRLabel31", "MTD_GST_IH"},
    {13, "QRLabel32", "YTD_GST_IH"},
};
constexpr int kCells = 19;

double CellX(int cell) {
    return kNameWidth + cell * kCellWidth;
}

Item Box(const QString &name, const QRectF &rect, const QString &text, const FontSpec &font) {
    Item box = Label(name, rect, text, font, Qt::AlignCenter);
    box.frame.setAll(true);
    return box;
}

} // namespace

TfrmSRP071::TfrmSRP071(db::Connection &connection, const QString &saleDate)
    : TfrmZZP020(connection, QStringLiteral("SRP071"), saleDate,
                 QStringLiteral("F&B Report - Function")),
      QRBand2(qrpReport.addBand(QStringLiteral("QRBand2"), BandKind::ColumnHeader, 3 * kRowHeight)),
      DetailBand1(qrpReport.addBand(QStringLiteral("DetailBand1"), BandKind::Detail, 6)) {
    qrbFooter.enabled = false;
    useReportTitle(QStringLiteral("F&B Report - Function"));
    cdsQuery.query().setSql(MainSql());

    const FontSpec heading = Font(8, true);
    int n = 0;
    auto headingName = [&n] { return QStringLiteral("qrlHeading%1").arg(++n); };
    QRBand2.addItem(Box(headingName(), {0, 0, kNameWidth, 3 * kRowHeight},
                        QStringLiteral("Function"), heading));
    int cell = 0;
    int sub = 0;
    for (const Period &period : kPeriods) {
        const int first = cell;
        for (int s = 0; s < period.subHeadings; ++s, ++sub) {
            const SubHeading &h = kSubHeadings[sub];
            QRBand2.addItem(Box(headingName(),
                                {CellX(cell), kRowHeight, h.cells * kCellWidth, kRowHeight},
                                QLatin1String(h.text), heading));
            const char *leaves[] = {"Q'ty", "Cover", "Average"};
            for (int l = 0; l < h.cells; ++l, ++cell)
                QRBand2.addItem(Box(headingName(),
                                    {CellX(cell), 2 * kRowHeight, kCellWidth, kRowHeight},
                                    QLatin1String(leaves[l]), Font(7.5)));
        }
        QRBand2.addItem(Box(headingName(),
                            {CellX(first), 0, (cell - first) * kCellWidth, kRowHeight},
                            QLatin1String(period.text), heading));
    }

    const double h = DetailBand1.height;
    const FontSpec row = Font(8);
    DetailBand1.addItem(Box(QStringLiteral("qrlNameCell"), {0, 0, kNameWidth, h}, {}, row));
    DetailBand1.addItem(DataText(QStringLiteral("QRDBText1"), {1.5, 0, kNameWidth - 2, h}, cdsQuery,
                                 QStringLiteral("FUNCTION_NAME"), Font(8, true)));
    for (int c = 0; c < kCells; ++c)
        if (std::none_of(std::begin(kFigures), std::end(kFigures),
                         [c](const Figure &f) { return f.cell == c; }))
            DetailBand1.addItem(
                Box(QStringLiteral("qrlCell%1").arg(c + 1), {CellX(c), 0, kCellWidth, h}, {}, row));
    for (const Figure &f : kFigures) {
        Item block = Box(QLatin1String(f.block), {CellX(f.cell), 0, kCellWidth, h},
                         QStringLiteral("Cover"), row);
        block.background = kButtonFace;
        block.onPrint = [this](Item &i, QString &text) { QRLabel26Print(i, text); };
        DetailBand1.addItem(block);
        DetailBand1.addItem(DataText(
            QStringLiteral("txt") + QLatin1String(f.field), {CellX(f.cell), 0, kCellWidth - 1, h},
            cdsQuery, QLatin1String(f.field), row, Qt::AlignRight | Qt::AlignVCenter));
    }
    DetailBand1.frame.bottom = true;
    DetailBand1.frame.width = 0.4;
}

void TfrmSRP071::openData() {
    openInOrder({&cdsQuery, &qrySys});
}

void TfrmSRP071::QRLabel26Print(Item &, QString &text) {
    text.clear();
}

} // namespace kelo::screens
