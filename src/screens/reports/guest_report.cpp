#include "screens/reports/guest_report.h"

#include "screens/reports/division_sql.h"

namespace kelo::screens::guest {

using namespace report;

namespace {

QString Sql(const char *text) {
    return QString::fromUtf8(text).trimmed();
}

QStringList FigureColumns() {
    return division::PeriodColumns({QStringLiteral("A"), QStringLiteral("G")}) +
           QStringList{QStringLiteral("B_MONTH"), QStringLiteral("B_YEAR")};
}

// Revenue per guest of a period (%1: T, M, Y, LM, LY); without guests 0 when there is
// no revenue either and 1 otherwise, the rule of the budget ratios.
QString Average(const char *period) {
    return Sql(R"sql(
CASE WHEN R.G_%1 = 0 THEN DECODE(R.A_%1, 0, 0, 1) ELSE ROUND(R.A_%1 / R.G_%1) END
)sql")
        .arg(QLatin1String(period));
}

// Revenue of a period (%1) against a budget (%2: MONTH, YEAR) as text: the number as
// the database writes it (no leading zero, no trailing zeros) and "%".
QString Ratio(const char *period, const char *budget) {
    return Sql(R"sql(
TO_CHAR(CASE WHEN R.B_%2 = 0 THEN DECODE(R.A_%1, 0, 0, 1) ELSE ROUND(R.A_%1 / R.B_%2, 3) END * 100) || '%'
)sql")
        .arg(QLatin1String(period), QLatin1String(budget));
}

// The columns fill the 277 mm between the margins of A4 landscape.
constexpr double kNameWidth = 38; // mm: the two names
constexpr double kRowHeight = 4;
constexpr double kHeadingRow = 4;

// Amounts, counts and averages, ratios; the counts of TODAY stand under headings of
// their own and take the width of them.
enum class Cell { Amount, Count, TodayCount, Ratio };

struct Column {
    const char *field;
    Cell cell;
};

// The figures in print order.
const Column kColumns[] = {
    {"ACTUAL_TODAY", Cell::Amount},
    {"GUEST_TODAY", Cell::TodayCount},
    {"AVG_TODAY", Cell::TodayCount},
    {"BUDGET_MTD", Cell::Amount},
    {"BGT_MTD", Cell::Ratio},
    {"ACTUAL_MTD", Cell::Amount},
    {"LAST_YEAR_MTD", Cell::Amount},
    {"GUEST_MTD", Cell::Count},
    {"LAST_YEAR_GUEST_MTD", Cell::Count},
    {"AVG_MTD", Cell::Count},
    {"LAST_YEAR_AVG_MTD", Cell::Count},
    {"BUDGET_YTD", Cell::Amount},
    {"BGT_YTD", Cell::Ratio},
    {"ACTUAL_YTD", Cell::Amount},
    {"LAST_YEAR_YTD", Cell::Amount},
    {"GUEST_YTD", Cell::Count},
    {"LAST_YEAR_GUEST_YTD", Cell::Count},
    {"AVG_YTD", Cell::Count},
    {"LAST_YEAR_AVG_YTD", Cell::Count},
};
constexpr int kColumnCount = int(std::size(kColumns));

double CellWidth(Cell cell) {
    switch (cell) {
    case Cell::Amount:
        return 16; // up to 999,999,999,999 in 6 pt
    case Cell::Count:
        return 10.5;
    case Cell::TodayCount:
        return 12.5;
    case Cell::Ratio:
        return 9;
    }
    return 0;
}

// The left edge of figure column i; i = kColumnCount: the right edge of the last.
double ColumnX(int index) {
    double x = kNameWidth;
    for (int i = 0; i < index; ++i)
        x += CellWidth(kColumns[i].cell);
    return x;
}

void SetFigureFormats(DataSet &set) {
    for (const Column &c : kColumns)
        if (c.cell != Cell::Ratio)
            set.setDisplayFormat(QLatin1String(c.field), QStringLiteral(",0"));
}

void AddColumnHeadings(Band &band) {
    struct Heading {
        const char *text;
        int first, columns; // figure columns; -1: the names
        int row, rows;      // of the three heading rows
    };
    static const Heading headings[] = {
        {"DIVISION", -1, 0, 0, 3}, {"TODAY", 0, 3, 0, 1},     {"REVENUE", 0, 1, 1, 2},
        {"NO.GUEST", 1, 1, 1, 2},  {"AVG.RATE", 2, 1, 1, 2},  {"M.T.D", 3, 8, 0, 1},
        {"BUDGET", 3, 1, 1, 2},    {"BGT", 4, 1, 1, 1},       {"vs %", 4, 1, 2, 1},
        {"REVENUE", 5, 2, 1, 1},   {"T.Y.M", 5, 1, 2, 1},     {"L.Y.M", 6, 1, 2, 1},
        {"NO.GUEST", 7, 2, 1, 1},  {"T.Y.M", 7, 1, 2, 1},     {"L.Y.M", 8, 1, 2, 1},
        {"AVG.RATE", 9, 2, 1, 1},  {"T.Y.M", 9, 1, 2, 1},     {"L.Y.M", 10, 1, 2, 1},
        {"Y.T.D", 11, 8, 0, 1},    {"BUDGET", 11, 1, 1, 2},   {"BGT", 12, 1, 1, 1},
        {"vs %", 12, 1, 2, 1},     {"REVENUE", 13, 2, 1, 1},  {"T.Y", 13, 1, 2, 1},
        {"L.Y", 14, 1, 2, 1},      {"NO.GUEST", 15, 2, 1, 1}, {"T.Y", 15, 1, 2, 1},
        {"L.Y", 16, 1, 2, 1},      {"AVG.RATE", 17, 2, 1, 1}, {"T.Y", 17, 1, 2, 1},
        {"L.Y", 18, 1, 2, 1},
    };
    int n = 0;
    for (const Heading &h : headings) {
        const double left = h.first < 0 ? 0 : ColumnX(h.first);
        const double right = h.first < 0 ? kNameWidth : ColumnX(h.first + h.columns);
        Item item = Label(QStringLiteral("qrlHeading%1").arg(++n),
                          {left, h.row * kHeadingRow, right - left, h.rows * kHeadingRow},
                          QString::fromLatin1(h.text), Font(6, true), Qt::AlignCenter);
        item.frame.setAll(true);
        band.addItem(item);
    }
}

void AddRowItems(Band &band, DataSet &set, const char *const (&fields)[2]) {
    const FontSpec font = Font(6);
    band.addItem(DataText(QStringLiteral("QRDBText1"), {1, 0, 15, kRowHeight}, set,
                          QLatin1String(fields[0]), font));
    band.addItem(DataText(QStringLiteral("QRDBText2"), {16, 0, kNameWidth - 16, kRowHeight}, set,
                          QLatin1String(fields[1]), font));
    for (int i = 0; i < kColumnCount; ++i) {
        const QString field = QLatin1String(kColumns[i].field);
        const double left = ColumnX(i);
        band.addItem(DataText(QStringLiteral("txt") + field,
                              {left, 0, ColumnX(i + 1) - left - 1, kRowHeight}, set, field, font,
                              Qt::AlignRight | Qt::AlignVCenter));
    }
}

} // namespace

QString KeyedFigures(const QString &keyColumn, const QString &rows) {
    return Sql(R"sql(
ACTUALS AS (
    SELECT S.%1 AS K,
           %2,
           %3
    FROM P
    JOIN SA030MS S ON S.SALE_DATE BETWEEN P.LY_FROM AND P.D
    WHERE %4
    GROUP BY S.%1
),
BUDGETS AS (
    SELECT B.%1 AS K,
           NVL(SUM(CASE WHEN B.SALE_DATE >= P.M_FROM THEN NVL(B.SALE_AMT, 0) ELSE 0 END), 0) AS B_MONTH,
           NVL(SUM(CASE WHEN B.SALE_DATE <= P.D THEN NVL(B.SALE_AMT, 0) ELSE 0 END), 0) AS B_YEAR
    FROM P
    JOIN JH010MS B ON B.SALE_DATE BETWEEN P.Y_FROM AND P.M_TO
    WHERE %5
    GROUP BY B.%1
),
F AS (
    SELECT K.K,
           %6,
           %7
    FROM (SELECT K FROM ACTUALS UNION SELECT K FROM BUDGETS) K
    LEFT JOIN ACTUALS A ON A.K = K.K
    LEFT JOIN BUDGETS B ON B.K = K.K
)
)sql")
        .arg(keyColumn,
             division::PeriodSums(QStringLiteral("S.NET_AMT"), QStringLiteral("A"),
                                  QStringLiteral("LY_DATE")),
             division::PeriodSums(QStringLiteral("S.GUESTS"), QStringLiteral("G"),
                                  QStringLiteral("LY_DATE")),
             QString(rows).replace(QStringLiteral("%1"), QStringLiteral("S")),
             QString(rows).replace(QStringLiteral("%1"), QStringLiteral("B")),
             division::Each(QStringLiteral("NVL(A.%1, 0) AS %1"),
                            division::PeriodColumns({QStringLiteral("A"), QStringLiteral("G")})),
             division::Each(QStringLiteral("NVL(B.%1, 0) AS %1"),
                            {QStringLiteral("B_MONTH"), QStringLiteral("B_YEAR")}));
}

QString EachFigure(const QString &pattern) {
    return division::Each(pattern, FigureColumns());
}

QString RowColumns() {
    return Sql(R"sql(
R.A_T AS ACTUAL_TODAY,
       R.G_T AS GUEST_TODAY,
       %1 AS AVG_TODAY,
       R.B_MONTH AS BUDGET_MTD,
       %2 AS BGT_MTD,
       R.A_M AS ACTUAL_MTD,
       R.A_LM AS LAST_YEAR_MTD,
       R.G_M AS GUEST_MTD,
       R.G_LM AS LAST_YEAR_GUEST_MTD,
       %3 AS AVG_MTD,
       %4 AS LAST_YEAR_AVG_MTD,
       R.B_YEAR AS BUDGET_YTD,
       %5 AS BGT_YTD,
       R.A_Y AS ACTUAL_YTD,
       R.A_LY AS LAST_YEAR_YTD,
       R.G_Y AS GUEST_YTD,
       R.G_LY AS LAST_YEAR_GUEST_YTD,
       %6 AS AVG_YTD,
       %7 AS LAST_YEAR_AVG_YTD
)sql")
        .arg(Average("T"), Ratio("M", "MONTH"), Average("M"), Average("LM"), Ratio("Y", "YEAR"),
             Average("Y"), Average("LY"));
}

} // namespace kelo::screens::guest

namespace kelo::screens {

using namespace report;

TfrmGuestReport::TfrmGuestReport(db::Connection &connection, const QString &programId,
                                 const QString &saleDate, const QString &title, const QString &sql,
                                 const char *const (&nameFields)[2])
    : TfrmZZP020(connection, programId, saleDate, QStringLiteral("Daily Guest Actives Report")),
      QRBand2(qrpReport.addBand(QStringLiteral("QRBand2"), BandKind::ColumnHeader,
                                3 * guest::kHeadingRow)),
      DetailBand1(
          qrpReport.addBand(QStringLiteral("DetailBand1"), BandKind::Detail, guest::kRowHeight)) {
    qrbFooter.enabled = false;
    useReportTitle(title);
    cdsQuery.query().setSql(sql);
    guest::SetFigureFormats(cdsQuery);
    guest::AddColumnHeadings(QRBand2);
    guest::AddRowItems(DetailBand1, cdsQuery, nameFields);
    DetailBand1.beforePrint = [this](BandPrint &bp) { DetailBand1BeforePrint(bp); };
    DetailBand1.item(QStringLiteral("QRDBText1")).onPrint = [this](Item &i, QString &t) {
        QRDBText1Print(i, t);
    };
}

void TfrmGuestReport::openData() {
    openInOrder({&cdsQuery, &qrySys});
}

} // namespace kelo::screens
