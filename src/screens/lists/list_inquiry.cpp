#include "common/dates.h"
#include "common/dialogs.h"
#include "common/functions.h"
#include "common/silentstop.h"
#include "framework/screenhelpers.h"
#include "screens/lists/list_inquiries.h"
#include "screens/viewer/report_viewers.h"

#include <QEventLoop>
#include <QHBoxLayout>

namespace kelo::screens {

namespace {

// The date of an edit as the statements take it: its digits without the mask's blanks.
QString dateOf(const controls::MaskedEdit *edit) {
    return QString(edit->value()).remove(u' ');
}

} // namespace

TfrmListInquiry::TfrmListInquiry(db::Connection &connection, const QString &name,
                                 const Setup &setup, QWidget *parent)
    : TfrmZZS020(connection, name, parent), m_setup(setup) {
    lbl_Event_Date = new QLabel(setup.dateCaption, panSearch);
    lbl_Event_Date->setObjectName(QStringLiteral("lbl_Event_Date"));
    med_Event_From_Date = EventDateEdit(panSearch, "med_Event_From_Date");
    wlb_Event_From_Yoil = WeekdayLabel(panSearch, "wlb_Event_From_Yoil");
    lbl_Event_Tilde = new QLabel(QStringLiteral("∼"), panSearch);
    lbl_Event_Tilde->setObjectName(QStringLiteral("lbl_Event_Tilde"));
    med_Event_To_Date = EventDateEdit(panSearch, "med_Event_To_Date");
    wlb_Event_To_Yoil = WeekdayLabel(panSearch, "wlb_Event_To_Yoil");
    int at = 0;
    for (QWidget *w :
         std::initializer_list<QWidget *>{lbl_Event_Date, med_Event_From_Date, wlb_Event_From_Yoil,
                                          lbl_Event_Tilde, med_Event_To_Date, wlb_Event_To_Yoil})
        m_searchRow->insertWidget(at++, w);
    m_searchRow->insertSpacing(1, 6);
    if (setup.singleDate) {
        lbl_Event_Tilde->hide();
        med_Event_To_Date->hide();
        wlb_Event_To_Yoil->hide();
    }
    connect(med_Event_From_Date, &QLineEdit::textChanged, this,
            [this] { med_Event_From_DateChange(); });
    connect(med_Event_To_Date, &QLineEdit::textChanged, this,
            [this] { med_Event_To_DateChange(); });
    StyleForm(this);
}

int TfrmListInquiry::conditionsAt() const {
    return m_searchRow->indexOf(wlb_Event_To_Yoil) + 1;
}

QString TfrmListInquiry::fromDate() const {
    return dateOf(med_Event_From_Date);
}

QString TfrmListInquiry::toDate() const {
    return dateOf(med_Event_To_Date);
}

void TfrmListInquiry::showEvent(QShowEvent *event) {
    TfrmZZS020::showEvent(event);
    // A screen in a tab is shown again whenever its tab comes back: only the first showing
    // sets the defaults, so that the user's conditions stay.
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void TfrmListInquiry::FormShow() {
    med_Event_From_Date->setValue(ShiftDays(TodayYmd(), m_setup.fromDays));
    med_Event_To_Date->setValue(ShiftDays(TodayYmd(), m_setup.toDays));
    med_Event_From_DateChange();
    med_Event_To_DateChange();
}

void TfrmListInquiry::med_Event_From_DateChange() {
    wlb_Event_From_Yoil->setText(DayNameDb(connection(), med_Event_From_Date->value()));
}

void TfrmListInquiry::med_Event_To_DateChange() {
    wlb_Event_To_Yoil->setText(DayNameDb(connection(), med_Event_To_Date->value()));
}

bool TfrmListInquiry::checkDates() {
    for (controls::MaskedEdit *edit : {med_Event_From_Date, med_Event_To_Date}) {
        if (edit->isHidden() || IsValidYmd(edit->value()))
            continue;
        ShowError(QStringLiteral("입력된 %1가 정확하지 않습니다.").arg(m_setup.dateCaption));
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    return true;
}

void TfrmListInquiry::bbtSearchClick() {
    TfrmZZS020::bbtSearchClick();
    // A date that cannot be searched is refused before the shown result is closed.
    if (!checkDates())
        throw SilentStop();
    if (qryQuery->isActive())
        qryQuery->close();
    rgrGrid->setRowSet(nullptr);
    cdsQuery->close();
    prepareStatement();
    if (qryQuery->sql().trimmed().isEmpty()) {
        ShowError(QStringLiteral("그리드용 조회쿼리가 없습니다."));
        throw SilentStop();
    }
    if (!m_setup.singleDate && fromDate() > toDate()) {
        // A range that ends before it begins holds nothing.
        ShowStatusMessage(QStringLiteral("조회할 내용이 없습니다."));
        med_Event_From_Date->setFocus();
        return;
    }
    BusyCursor busy;
    try {
        setParameters();
        OpenResult();
    } catch (const SilentStop &) {
        throw;
    } catch (const std::exception &e) {
        rgrGrid->setRowSet(nullptr);
        cdsQuery->close();
        ShowErrorReport(e);
        return;
    }
    if (rgrGrid->rowCountFetched() == 0)
        ShowStatusMessage(QStringLiteral("조회할 내용이 없습니다."));
}

TfrmStaffSalesInquiry::TfrmStaffSalesInquiry(db::Connection &connection, const QString &name,
                                             const QString &dateCaption,
                                             const QString &staffStatement,
                                             const QString &headOfficeStatement,
                                             const QString &previewProgram, QWidget *parent)
    : TfrmListInquiry(connection, name, {dateCaption, false, 0, 0}, parent),
      m_emp(std::make_unique<db::Query>(connection)),
      m_bonsa(std::make_unique<db::Query>(connection)), m_previewProgram(previewProgram) {
    qryEmp = m_emp.get();
    qryBonsa = m_bonsa.get();
    qryEmp->setSql(staffStatement);
    qryBonsa->setSql(headOfficeStatement);
    qryQuery->setSql(qryEmp->sql());
    RadioButton1 = new QRadioButton(QStringLiteral("직원"), panSearch);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("본사"), panSearch);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    int at = conditionsAt();
    m_searchRow->insertSpacing(at++, 16);
    m_searchRow->insertWidget(at++, RadioButton1);
    m_searchRow->insertWidget(at++, RadioButton2);
    bbtPrint->hide();
}

void TfrmStaffSalesInquiry::prepareStatement() {
    qryQuery->setSql(RadioButton2->isChecked() ? qryBonsa->sql() : qryEmp->sql());
}

void TfrmStaffSalesInquiry::setParameters() {
    qryQuery->setParam(QStringLiteral("FROM_DATE"), fromDate());
    qryQuery->setParam(QStringLiteral("TO_DATE"), toDate());
}

void TfrmStaffSalesInquiry::bbtPreviewClick() {
    TfrmListInquiry::bbtPreviewClick();
    if (!checkDates())
        throw SilentStop();
    ShowReportParamsModal(connection(), m_previewProgram, previewParams());
}

void ShowReportParamsModal(db::Connection &connection, const QString &programId,
                           const QString &params) {
    auto *screen = qobject_cast<TfrmParamViewer *>(CreateViewerScreen(connection, programId));
    if (!screen)
        return;
    screen->ReportParams = params;
    screen->setAttribute(Qt::WA_DeleteOnClose);
    screen->setWindowModality(Qt::ApplicationModal);
    screen->resize(1024, 740);
    QEventLoop loop;
    QObject::connect(screen, &QObject::destroyed, &loop, &QEventLoop::quit);
    screen->show();
    loop.exec();
}

} // namespace kelo::screens
