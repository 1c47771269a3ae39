#include "screens/datagrids/srs160_gondola_reports.h"

#include "common/functions.h"
#include "common/reportlocations.h"
#include "framework/screenhelpers.h"

#include <QHBoxLayout>
#include <QScopeGuard>

namespace kelo::screens {

TfrmSRS160::TfrmSRS160(db::Connection &connection, QWidget *parent)
    : TfrmZZI090(connection, QStringLiteral("frmSRS160"), parent) {
    setWindowTitle(QStringLiteral("frmSRS160"));
    lblDate = new QLabel(QStringLiteral("영업일자"), panSearch);
    lblDate->setObjectName(QStringLiteral("lblDate"));
    FromDate = DateField(panSearch, "FromDate");
    Label1 = new QLabel(QStringLiteral("~"), panSearch);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->hide();
    ToDate = DateField(panSearch, "ToDate");
    int at = 0;
    for (QWidget *w : {static_cast<QWidget *>(lblDate), static_cast<QWidget *>(FromDate),
                       static_cast<QWidget *>(Label1), static_cast<QWidget *>(ToDate)})
        m_searchRow->insertWidget(at++, w);

    // Nothing is written here: no New, Delete or Save.
    bbtAdd->hide();
    bbtDelete->hide();
    bbtSave->hide();

    // The narrow list on the left, the viewer filling the rest.
    controls::GridOptions o = rgrGrid->options();
    o.headerRowHeight = 41;
    o.rowHeight = 37;
    rgrGrid->setOptions(o);
    controls::GridColumn code = controls::Column("DETAIL", "Code", 40);
    code.visible = false;
    controls::GridColumn name = controls::Column("DETAIL_NAME", "곤도라 예약 Report", 272);
    rgrGrid->setColumns({code, name});
    rgrGrid->setFixedWidth(312);
    delete Panel1->layout();
    auto *row = new QHBoxLayout(Panel1);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(rgrGrid);
    Rdviewer401 = new viewer::Rdviewer40(connection, Panel1);
    Rdviewer401->setObjectName(QStringLiteral("Rdviewer401"));
    row->addWidget(Rdviewer401, 1);

    qryQuery->setSql(QStringLiteral(R"sql(
        SELECT DETAIL, DETAIL_NAME
        FROM ZX010MS
        WHERE HEAD = 'S0021'
    )sql"));
    connect(rgrGrid, &controls::Grid::rowChanged, this, [this](int, int) {
        if (!m_searching)
            rgrGridRowChange();
    });
    FormCreate();
}

void TfrmSRS160::FormCreate() {
    FromDate->setValue(TodayYmd());
    ToDate->setValue(TodayYmd());
}

QString TfrmSRS160::ReportName(const QString &code) {
    static const char *const names[] = {
        "1.관광곤도라예약일자별현황",       "2.관광곤도라예약시간대별현황",
        "3.관광곤도라예약연령대별현황",     "4.관광곤도라예약NoShow분석",
        "5.관광곤도라예약시간대별발권현황", "6.관광곤도라당일예약자현황",
        "7.예약취소및노쇼분석현황"};
    if (code.size() != 1 || code.at(0) < u'1' || code.at(0) > u'7')
        return QString();
    return QString::fromUtf8(names[code.at(0).unicode() - u'1']);
}

void TfrmSRS160::bbtSearchClick() {
    {
        // The rows the search loads open no report one by one; the current row's opens after.
        m_searching = true;
        auto done = qScopeGuard([this] { m_searching = false; });
        TfrmZZI090::bbtSearchClick();
    }
    rgrGridRowChange();
}

void TfrmSRS160::rgrGridRowChange() {
    const int row = rgrGrid->currentRow();
    if (rgrGrid->rowCountFetched() == 0 || row < 0)
        return;
    const QString F = FromDate->value(), T = ToDate->value();
    Rdviewer401->setAutoAdjust(2);
    const QString report = ReportName(rgrGrid->text(row, 0));
    if (report.isEmpty())
        return; // the viewer keeps what it shows
    Rdviewer401->OpenReport(MainLocation(report), ViewerParams(PositionalParams({F, T})));
}

} // namespace kelo::screens
