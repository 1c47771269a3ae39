#include "screens/targets/target_input.h"

#include <QBoxLayout>

namespace kelo::screens {

namespace {

// An outlet's daily targets of the month; the outlet is compared without an "all".
const QString kStatement = QStringLiteral(R"sql(
    SELECT SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT
    FROM JH040MS
    WHERE UPJANG_CODE = :UPJANG_CODE
        AND SUBSTR(SALE_DATE, 1, 6) = :SALE_MONTH
    ORDER BY SALE_DATE
)sql");

// The outlet's monthly totals of the month's year.
const QString kMonthTotals = QStringLiteral(R"sql(
    SELECT SUBSTR(SALE_DATE, 1, 6),
        SUM(GUESTS) AS GUESTS,
        SUM(SALE_AMT) AS SALE_AMT
    FROM JH040MS
    WHERE SALE_DATE BETWEEN SUBSTR(:SALE_MONTH, 1, 4) || '0101' AND SUBSTR(:SALE_MONTH, 1, 4) || '1231'
        AND UPJANG_CODE = :UPJANG_CODE
    GROUP BY SUBSTR(SALE_DATE, 1, 6)
)sql");

} // namespace

TfrmSTI010::TfrmSTI010(db::Connection &connection, QWidget *parent)
    : TfrmTargetInquiry(connection, QStringLiteral("frmSTI010"),
                        Setup{.dates = Dates::Month,
                              .kind = CodeKind::Outlet,
                              .codeCaption = QStringLiteral("영업장"),
                              .paintColumn = -1,
                              .clearCodeOnCancel = false,
                              .dateKeys = true,
                              .dateCaption = QStringLiteral("목표등록 월"),
                              .writes = true},
                        parent) {
    setWindowTitle(QStringLiteral("frmSTI010"));
    controls::GridColumn date = TextColumn("SALE_DATE", "목표등록일자", 100, {});
    date.alignment = Qt::AlignCenter;
    controls::GridColumn outlet = TextColumn("UPJANG_CODE", "업장코드", 60, {});
    outlet.visible = false;
    controls::GridColumn division = TextColumn("DIVISION", "Division", 70, {});
    division.alignment = Qt::AlignCenter;
    std::vector<controls::GridColumn> columns{date, outlet, division,
                                              FigureColumn("GUESTS", "Guests", 90, {}),
                                              FigureColumn("SALE_AMT", "목표금액", 130, {})};
    // The grid takes no typing (its editing is off), but Ctrl-fill copies into every column.
    for (controls::GridColumn &c : columns)
        c.readOnly = false;
    rgrGrid->setColumns(columns);
    qryQuery->setSql(kStatement);
    prcProc->setProcName(QStringLiteral("PR_STI010MS_01"));

    // The month grid beside the day grid.
    rgrMonth = new controls::Grid(Panel1);
    rgrMonth->setObjectName(QStringLiteral("rgrMonth"));
    controls::GridColumn month = TextColumn("SALE_MONTH", "목표 월", 80, {});
    month.alignment = Qt::AlignCenter;
    std::vector<controls::GridColumn> monthColumns{
        month, FigureColumn("GUESTS", "월 Guests", 90, {}),
        FigureColumn("SALE_AMT", "월 목표금액", 130, {})};
    for (controls::GridColumn &c : monthColumns)
        c.readOnly = true;
    rgrMonth->setColumns(monthColumns);
    controls::GridOptions o = rgrMonth->options();
    o.editing = false;
    o.inserting = true;
    o.deleting = true;
    o.confirmDelete = true;
    o.rowIndicator = true;
    o.rowHeight = 25;
    o.headerRowHeight = 30;
    o.lineColor = QColor(Qt::lightGray);
    rgrMonth->setOptions(o);
    rgrMonth->setFixedWidth(340);
    if (auto *box = qobject_cast<QBoxLayout *>(Panel1->layout())) {
        box->setDirection(QBoxLayout::LeftToRight);
        box->addWidget(rgrMonth);
    }
    // Removing a month row (once the user agreed) changes only the screen, which Cancel then
    // asks about.
    connect(rgrMonth, &controls::Grid::rowDeleting, this, [this](int) { Changed = true; });
    SetSearchMode(true);
}

void TfrmSTI010::setParameters() {
    qryQuery->setParam(QStringLiteral("SALE_MONTH"), workDate());
    qryQuery->setParam(QStringLiteral("UPJANG_CODE"), code());
}

void TfrmSTI010::bbtSearchClick() {
    TfrmTargetInquiry::bbtSearchClick();
    qryTemp->close();
    qryTemp->setSql(kMonthTotals);
    qryTemp->setParam(QStringLiteral("SALE_MONTH"), workDate());
    qryTemp->setParam(QStringLiteral("UPJANG_CODE"), code());
    rgrMonth->setPlain();
    for (qryTemp->open(); !qryTemp->eof(); qryTemp->next()) {
        const int row = rgrMonth->gridModel()->appendRow();
        for (int f = 0; f < 3; ++f)
            rgrMonth->setValue(row, f, qryTemp->text(f));
    }
    qryTemp->close();
}

} // namespace kelo::screens
