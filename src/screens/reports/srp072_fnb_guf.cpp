#include "screens/reports/srp072_fnb_guf.h"

#include "screens/common/periods.h"

#include <QStringList>

namespace kelo::screens {

using namespace report;

namespace {

// The three periods: the prefix of their result columns and the suffix of their sums.
struct Period {
    const char *prefix, *suffix, *heading;
};
const Period kPeriods[] = {
    {"TODAY", "T", "TODAY"},
    {"MTD", "M", "M.T.D"},
    {"YTD", "Y", "Y.T.D"},
};

// GUF of a period: the covers as a percentage of the room guests, the ratio rounded to
// two decimals first (1 of 3 is 33%); without room guests 0% when there are no covers
// and 100% otherwise.
QString GufColumns() {
    QStringList columns;
    for (const Period &p : kPeriods)
        columns << QString::fromUtf8(R"sql(
R.GST_%2 AS %1_GST_IH,
       G.RMS_%2 AS %1_TOTAL_RMS,
       TO_CHAR(CASE
                   WHEN G.RMS_%2 = 0 AND R.GST_%2 = 0 THEN 0
                   WHEN G.RMS_%2 = 0 THEN 1
                   ELSE ROUND(R.GST_%2 / G.RMS_%2, 2)
               END * 100) || '%' AS %1_GUF
)sql")
                       .trimmed()
                       .arg(QLatin1String(p.prefix), QLatin1String(p.suffix));
    return columns.join(QStringLiteral(",\n       "));
}

// Per category with an S0009 entry the in-house covers of every outlet, and their total;
// the room guests of the three hotels on every row.
QString MainSql() {
    return QString::fromUtf8(R"sql(
WITH %1,
COVERS AS (
    SELECT A.GUBUN,
           C.DETAIL_NAME AS GUBUN_NAME,
           SUM(CASE WHEN A.SALE_DATE = P.D THEN NVL(A.IH_COVER, 0) ELSE 0 END) AS GST_T,
           SUM(CASE WHEN SUBSTR(A.SALE_DATE, 1, 6) = P.MON THEN NVL(A.IH_COVER, 0) ELSE 0 END) AS GST_M,
           SUM(NVL(A.IH_COVER, 0)) AS GST_Y
    FROM P
    JOIN SA040MS A ON A.SALE_DATE BETWEEN P.Y_FROM AND P.Y_TO
    JOIN ZX010MS C ON C.HEAD = 'S0009' AND C.DETAIL = A.GUBUN AND C.DETAIL > ' '
    GROUP BY A.GUBUN, C.DETAIL_NAME
),
CATEGORIES AS (
    SELECT 1 AS LVL,
           GUBUN,
           GUBUN_NAME,
           GST_T,
           GST_M,
           GST_Y
    FROM COVERS
    UNION ALL
    SELECT 2,
           '9',
           '<Total F&B>',
           NVL(SUM(GST_T), 0),
           NVL(SUM(GST_M), 0),
           NVL(SUM(GST_Y), 0)
    FROM COVERS
),
ROOM_GUESTS AS (
    SELECT NVL(SUM(CASE WHEN S.SALE_DATE = P.D THEN NVL(S.GUESTS, 0) ELSE 0 END), 0) AS RMS_T,
           NVL(SUM(CASE WHEN SUBSTR(S.SALE_DATE, 1, 6) = P.MON THEN NVL(S.GUESTS, 0) ELSE 0 END), 0) AS RMS_M,
           NVL(SUM(NVL(S.GUESTS, 0)), 0) AS RMS_Y
    FROM P
    JOIN SA030MS S ON S.SALE_DATE BETWEEN P.Y_FROM AND P.Y_TO
    WHERE S.UPJANG_CODE IN ('1001', '1002', '1003')
)
SELECT 'GUF (%)' AS GUF_NAME,
       R.GUBUN,
       R.GUBUN_NAME,
       %2
FROM CATEGORIES R
CROSS JOIN ROOM_GUESTS G
ORDER BY R.LVL, R.GUBUN
)sql")
        .arg(periods::Table(), GufColumns());
}

// Across the page: "GUF (%)" at the left, then per period the category, the covers and
// the GUF.
constexpr double kNameWidth = 28; // mm
constexpr double kCategoryWidth = 33;
constexpr double kFigureWidth = 25;
constexpr double kPeriodWidth = kCategoryWidth + 2 * kFigureWidth; // 3 x 83 + 28 = 277
constexpr double kRowHeight = 6;

double PeriodX(int period) {
    return kNameWidth + period * kPeriodWidth;
}

Item Box(const QString &name, const QRectF &rect, const QString &text) {
    Item box = Label(name, rect, text, Font(8, true), Qt::AlignCenter);
    box.frame.setAll(true);
    return box;
}

} // namespace

TfrmSRP072::TfrmSRP072(db::Connection &connection, const QString &saleDate)
    : TfrmZZP020(connection, QStringLiteral("SRP072"), saleDate, QStringLiteral("F&B - GUF (%)")),
      QRBand2(
          qrpReport.addBand(QStringLiteral("QRBand2"), BandKind::ColumnHeader, 2 * kRowHeight + 1)),
      DetailBand1(qrpReport.addBand(QStringLiteral("DetailBand1"), BandKind::Detail, 6)) {
    qrbFooter.enabled = false;
    useReportTitle(QStringLiteral("F&B Report - GUF (%)"));
    qrbHeader.item(QStringLiteral("qrlResort")).enabled = false; // no resort line
    cdsQuery.query().setSql(MainSql());
    for (const Period &p : kPeriods)
        for (const char *field : {"_GST_IH", "_TOTAL_RMS"})
            cdsQuery.setDisplayFormat(QLatin1String(p.prefix) + QLatin1String(field),
                                      QStringLiteral("0,"));

    int n = 0;
    auto headingName = [&n] { return QStringLiteral("qrlHeading%1").arg(++n); };
    QRBand2.addItem(
        Box(headingName(), {0, 0, kNameWidth, 2 * kRowHeight}, QStringLiteral("GUF (%)")));
    for (int i = 0; i < 3; ++i) {
        const Period &p = kPeriods[i];
        const double x = PeriodX(i);
        QRBand2.addItem(
            Box(headingName(), {x, 0, kPeriodWidth, kRowHeight}, QLatin1String(p.heading)));
        // "RM Guest" and the period's room guests in one box.
        QRBand2.addItem(Box(headingName(), {x, kRowHeight, kCategoryWidth, kRowHeight}, {}));
        QRBand2.addItem(Label(headingName(), {x, kRowHeight, kCategoryWidth / 2, kRowHeight},
                              QStringLiteral("RM Guest"), Font(8, true), Qt::AlignCenter));
        QRBand2.addItem(
            DataText(QStringLiteral("txt%1_TOTAL_RMS").arg(QLatin1String(p.prefix)),
                     {x + kCategoryWidth / 2, kRowHeight, kCategoryWidth / 2, kRowHeight}, cdsQuery,
                     QLatin1String(p.prefix) + QStringLiteral("_TOTAL_RMS"), Font(8, true),
                     Qt::AlignCenter));
        QRBand2.addItem(Box(headingName(),
                            {x + kCategoryWidth, kRowHeight, kFigureWidth, kRowHeight},
                            QStringLiteral("F&B I/H Cover")));
        QRBand2.addItem(
            Box(headingName(),
                {x + kCategoryWidth + kFigureWidth, kRowHeight, kFigureWidth, kRowHeight},
                QStringLiteral("GUF (%)")));
    }

    const double h = DetailBand1.height;
    const FontSpec row = Font(8);
    Item name = DataText(QStringLiteral("QRDBText19"), {0, 0, kNameWidth, h}, cdsQuery,
                         QStringLiteral("GUF_NAME"), Font(8, true), Qt::AlignCenter);
    name.onPrint = [this](Item &i, QString &text) { QRDBText19Print(i, text); };
    DetailBand1.addItem(name);
    for (int i = 0; i < 3; ++i) {
        const QString prefix = QLatin1String(kPeriods[i].prefix);
        const double x = PeriodX(i);
        DetailBand1.addItem(DataText(QStringLiteral("txt%1_GUBUN_NAME").arg(prefix),
                                     {x, 0, kCategoryWidth, h}, cdsQuery,
                                     QStringLiteral("GUBUN_NAME"), row, Qt::AlignCenter));
        DetailBand1.addItem(DataText(QStringLiteral("txt%1_GST_IH").arg(prefix),
                                     {x + kCategoryWidth, 0, kFigureWidth, h}, cdsQuery,
                                     prefix + QStringLiteral("_GST_IH"), row, Qt::AlignCenter));
        DetailBand1.addItem(DataText(QStringLiteral("txt%1_GUF").arg(prefix),
                                     {x + kCategoryWidth + kFigureWidth, 0, kFigureWidth, h},
                                     cdsQuery, prefix + QStringLiteral("_GUF"), row,
                                     Qt::AlignCenter));
    }
    DetailBand1.frame.bottom = true;
}

void TfrmSRP072::openData() {
    openInOrder({&cdsQuery, &qrySys});
}

void TfrmSRP072::QRDBText19Print(Item &item, QString &text) {
    SuppressRepeats(m_lastGufName)(item, text);
}

} // namespace kelo::screens
