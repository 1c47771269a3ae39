#include "screens/datagrids/sri210_event_checks.h"

#include "common/dates.h"
#include "common/functions.h"
#include "framework/screenhelpers.h"

namespace kelo::screens {

namespace {

// The confirmed events that are not cancelled, began at most nine days before the report date
// D and run on the day after it, numbered by their start and, within a start, the larger party
// first. An event without a mark yet is listed with "N".
const QString kEvents = QStringLiteral(R"sql(
SELECT ROW_NUMBER() OVER (ORDER BY E.DATE_FROM, E.INWON DESC) AS SEQ_NO,
       :FROM_DATE AS CALN_DATE, E.EVENT_NO, E.TERM_DATE, E.INWON, E.EVENT_NAME, E.REPORT_CHK
FROM (
    SELECT A.EVENT_NAME, A.EVENT_NO, MAX(A.DATE_FROM) AS DATE_FROM,
           MAX(NVL(A.ADULT_CNT, 0) + NVL(A.CHILD_CNT, 0)) AS INWON,
           MAX(SUBSTR(A.DATE_FROM, 5, 2) || '/' || SUBSTR(A.DATE_FROM, 7, 2) || ' ~ ' || SUBSTR(A.DATE_TO, 5, 2) || '/' || SUBSTR(A.DATE_TO, 7, 2)) AS TERM_DATE,
           NVL(MAX(C.REPORT_CHK), 'N') AS REPORT_CHK
    FROM FA010MS A
    JOIN ZX020MS B ON B.CALN_DATE >= A.DATE_FROM
        AND B.CALN_DATE <= A.DATE_TO
    LEFT JOIN FA010DS C ON C.EVENT_NO = A.EVENT_NO
    WHERE A.CANCEL_DATE IS NULL
        AND A.CONFIRM_DATE IS NOT NULL
        AND A.DATE_FROM >= TO_CHAR(TO_DATE(:FROM_DATE) - 9, 'YYYYMMDD')
        AND B.CALN_DATE IN (TO_CHAR(TO_DATE(:FROM_DATE) + 1, 'YYYYMMDD'))
    GROUP BY A.EVENT_NAME, A.EVENT_NO
) E
ORDER BY E.DATE_FROM, E.INWON DESC
)sql");

} // namespace

const QString &TfrmSRI210::Statement() {
    return kEvents;
}

TfrmSRI210::TfrmSRI210(db::Connection &connection, QWidget *parent)
    : TfrmZZI090(connection, QStringLiteral("frmSRI210"), parent) {
    setWindowTitle(QStringLiteral("frmSRI210"));
    const EventDates dates = AddEventDates(panSearch, m_searchRow, QStringLiteral("영업일보일자"));
    med_Event_From_Date = dates.med_Event_From_Date;
    med_Event_From_Date->setFixedWidth(71);
    wlb_Event_From_Yoil = dates.wlb_Event_From_Yoil;
    lblTilde = dates.tilde;
    med_Event_To_Date = dates.med_Event_To_Date;
    wlb_Event_To_Yoil = dates.wlb_Event_To_Yoil;
    lblTilde->hide();
    med_Event_To_Date->hide();
    wlb_Event_To_Yoil->hide();
    attachField(med_Event_From_Date);
    attachField(med_Event_To_Date);
    connect(med_Event_From_Date, &QLineEdit::textChanged, this,
            [this] { med_Event_From_DateChange(); });
    connect(med_Event_To_Date, &QLineEdit::textChanged, this,
            [this] { med_Event_To_DateChange(); });

    // Only the marks change: no New, no Delete (a deleted row would remove the event's mark).
    bbtAdd->hide();
    bbtDelete->hide();
    controls::GridOptions o = rgrGrid->options();
    o.inserting = false;
    o.deleting = false;
    rgrGrid->setOptions(o);
    ckbAllYn = new QCheckBox(QStringLiteral("Y/N All Check"), panButtons);
    ckbAllYn->setObjectName(QStringLiteral("ckbAllYn"));
    ckbAllYn->setFixedWidth(106);
    m_buttonRow->insertWidget(m_buttonRow->indexOf(bbtSave), ckbAllYn);
    connect(ckbAllYn, &QCheckBox::clicked, this, [this] { ckbAllYnClick(); });
    ckbAllYn->setEnabled(false); // search mode

    using controls::Column;
    auto centred = [](controls::GridColumn c) {
        c.alignment = Qt::AlignCenter;
        return c;
    };
    controls::GridColumn people = controls::NumberColumn("INWON", "인원", 60);
    controls::GridColumn check = Column("REPORT_CHK", "체크", 50, true);
    check.checkBox = true;
    check.checkedValue = QStringLiteral("Y");
    check.uncheckedValue = QStringLiteral("N");
    check.alignment = Qt::AlignCenter;
    rgrGrid->setColumns(
        {centred(Column("SEQ_NO", "순번", 40)), centred(Column("CALN_DATE", "일    자", 80)),
         centred(Column("EVENT_NO", "연회번호", 90)), centred(Column("TERM_DATE", "행사기간", 110)),
         people, Column("EVENT_NAME", "주요단체 연회명", 310), check});
}

void TfrmSRI210::showEvent(QShowEvent *event) {
    TfrmZZI090::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmSRI210::FormShow() {
    med_Event_From_Date->setValue(AddDays(TodayYmd(), -1));
    med_Event_To_Date->setValue(TodayYmd());
    med_Event_From_DateChange();
    med_Event_To_DateChange();
}

void TfrmSRI210::med_Event_From_DateChange() {
    wlb_Event_From_Yoil->setText(DayNameDb(connection(), med_Event_From_Date->value()));
}

void TfrmSRI210::med_Event_To_DateChange() {
    wlb_Event_To_Yoil->setText(DayNameDb(connection(), med_Event_To_Date->value()));
}

void TfrmSRI210::bbtSearchClick() {
    qryQuery->setSql(kEvents);
    qryQuery->setParam(QStringLiteral("FROM_DATE"), med_Event_From_Date->value());
    TfrmZZI090::bbtSearchClick();
}

void TfrmSRI210::ckbAllYnClick() {
    const QString value = ckbAllYn->isChecked() ? QStringLiteral("Y") : QStringLiteral("N");
    const int rows = rgrGrid->rowCountFetched();
    for (int row = 0; row < rows; ++row) {
        // Each row is entered, marked and left as the user would: posting logs it.
        if (!rgrGrid->setCurrentCell(row, kCheckColumn))
            break;
        rgrGrid->setValue(row, kCheckColumn, value);
    }
    rgrGrid->postEdit();
}

void TfrmSRI210::bbtSaveClick() {
    prcProc->setProcName(QStringLiteral("PR_FA091MS_01"));
    TfrmZZI090::bbtSaveClick();
}

} // namespace kelo::screens
