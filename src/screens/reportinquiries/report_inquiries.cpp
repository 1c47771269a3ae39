#include "screens/reportinquiries/report_inquiries.h"

#include "common/dates.h"
#include "common/functions.h"
#include "common/reportlocations.h"
#include "framework/screenhelpers.h"

#include <QHBoxLayout>

namespace kelo::screens {

namespace {

QLabel *captionLabel(QWidget *parent, const char *name, const QString &caption) {
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

// ---- TfrmReportInquiry ------------------------------------------------------------------

TfrmReportInquiry::TfrmReportInquiry(db::Connection &connection, const QString &programId,
                                     QWidget *parent)
    : TfrmZZS020(connection, QStringLiteral("frm") + programId, parent) {
    Rdviewer401 = new viewer::Rdviewer40(connection, panMain);
    Rdviewer401->setObjectName(QStringLiteral("Rdviewer401"));
    static_cast<QBoxLayout *>(panMain->layout())->insertWidget(0, Rdviewer401, 1);
    rgrGrid->hide();
    for (QWidget *unused : std::initializer_list<QWidget *>{bbtPrint, bbtPreview, bbtExcel,
                                                            sbtFirst, sbtPrior, sbtNext, sbtLast})
        unused->hide();
}

QString TfrmReportInquiry::searchLocation() const {
    return MainLocation(reportName());
}

QString TfrmReportInquiry::searchParams() const {
    return ViewerParams(PositionalParams(reportValues()));
}

void TfrmReportInquiry::bbtSearchClick() {
    if (m_inheritedSearch)
        TfrmZZS020::bbtSearchClick();
    const QString params = searchParams();
    Rdviewer401->setAutoAdjust(0);
    Rdviewer401->setZoomRatio(90);
    Rdviewer401->OpenReport(searchLocation(), params);
}

// ---- TfrmEventDateInquiry -----------------------------------------------------------------

TfrmEventDateInquiry::TfrmEventDateInquiry(db::Connection &connection, const QString &programId,
                                           DateInput first, const DateInput *second,
                                           const DateInput *third, QWidget *parent)
    : TfrmReportInquiry(connection, programId, parent) {
    const bool range = second == nullptr;
    lblEventDate = captionLabel(panSearch, "lblEventDate", QString::fromUtf8(first.caption));
    med_Event_From_Date = EventDateEdit(panSearch, "med_Event_From_Date");
    wlb_Event_From_Yoil = WeekdayLabel(panSearch, "wlb_Event_From_Yoil");
    lblEventToDate = captionLabel(panSearch, "lblEventToDate",
                                  range ? QStringLiteral("∼") : QString::fromUtf8(second->caption));
    med_Event_To_Date = EventDateEdit(panSearch, "med_Event_To_Date");
    wlb_Event_To_Yoil = WeekdayLabel(panSearch, "wlb_Event_To_Yoil");
    const int toDays = range ? first.daysFromToday : second->daysFromToday;
    m_dates = {{med_Event_From_Date, wlb_Event_From_Yoil, first.daysFromToday},
               {med_Event_To_Date, wlb_Event_To_Yoil, toDays}};
    int at = 0;
    for (QWidget *w :
         std::initializer_list<QWidget *>{lblEventDate, med_Event_From_Date, wlb_Event_From_Yoil,
                                          lblEventToDate, med_Event_To_Date, wlb_Event_To_Yoil})
        m_searchRow->insertWidget(at++, w);
    if (!range)
        m_searchRow->insertSpacing(3, 12);
    if (third) {
        lblThreeYearDate =
            captionLabel(panSearch, "lblThreeYearDate", QString::fromUtf8(third->caption));
        med_Three_YearDate = EventDateEdit(panSearch, "med_Three_YearDate");
        lbl_Three_YearDateYoil = WeekdayLabel(panSearch, "lbl_Three_YearDateYoil");
        at = m_searchRow->indexOf(wlb_Event_To_Yoil) + 1;
        m_searchRow->insertSpacing(at++, 12);
        for (QWidget *w : std::initializer_list<QWidget *>{lblThreeYearDate, med_Three_YearDate,
                                                           lbl_Three_YearDateYoil})
            m_searchRow->insertWidget(at++, w);
        m_dates.push_back({med_Three_YearDate, lbl_Three_YearDateYoil, third->daysFromToday});
    }
    for (const DateField &f : m_dates)
        connect(f.edit, &QLineEdit::textChanged, this,
                [this, f] { f.weekday->setText(DayNameDb(this->connection(), f.edit->value())); });
    setDefaultDates();
}

void TfrmEventDateInquiry::setDefaultDates() {
    for (const DateField &f : m_dates)
        f.edit->setValue(ShiftDays(TodayYmd(), f.daysFromToday));
}

void TfrmEventDateInquiry::showEvent(QShowEvent *event) {
    TfrmReportInquiry::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void TfrmEventDateInquiry::FormShow() {
    setDefaultDates();
    for (const DateField &f : m_dates)
        f.weekday->setText(DayNameDb(connection(), f.edit->value()));
}

QStringList TfrmEventDateInquiry::reportValues() const {
    QStringList values;
    for (const DateField &f : m_dates)
        values << f.edit->value();
    return values;
}

void TfrmEventDateInquiry::addRadioButtons(const char *first, const char *second) {
    RadioButton1 = new QRadioButton(QString::fromUtf8(first), panSearch);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QString::fromUtf8(second), panSearch);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton1->setChecked(true);
    const int at = m_searchRow->indexOf(m_dates.back().weekday) + 1;
    m_searchRow->insertSpacing(at, 16);
    m_searchRow->insertWidget(at + 1, RadioButton1);
    m_searchRow->insertWidget(at + 2, RadioButton2);
}

QCheckBox *TfrmEventDateInquiry::addCheckBox(const char *name, const char *caption, bool checked) {
    auto *box = new QCheckBox(QString::fromUtf8(caption), panSearch);
    box->setObjectName(QLatin1String(name));
    box->setChecked(checked);
    int at = m_searchRow->indexOf(m_dates.back().weekday) + 1;
    if (CheckBox1)
        at = m_searchRow->indexOf(CheckBox1) + 1;
    else
        m_searchRow->insertSpacing(at++, 16);
    m_searchRow->insertWidget(at, box);
    return box;
}

// ---- TfrmCalendarDateInquiry --------------------------------------------------------------

TfrmCalendarDateInquiry::TfrmCalendarDateInquiry(db::Connection &connection,
                                                 const QString &programId, int daysFromToday,
                                                 QWidget *parent)
    : TfrmReportInquiry(connection, programId, parent) {
    m_inheritedSearch = false;
    lblInquiryDate = captionLabel(panSearch, "lblInquiryDate", QStringLiteral("조회일자 :"));
    twDateEdit = new QDateEdit(panSearch);
    twDateEdit->setObjectName(QStringLiteral("twDateEdit"));
    twDateEdit->setCalendarPopup(true);
    twDateEdit->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    twDateEdit->setMinimumWidth(200);
    const QString ymd = ShiftDays(TodayYmd(), daysFromToday);
    twDateEdit->setDate(QDate::fromString(ymd, QStringLiteral("yyyyMMdd")));
    m_searchRow->insertWidget(0, lblInquiryDate);
    m_searchRow->insertWidget(1, twDateEdit);
}

QStringList TfrmCalendarDateInquiry::reportValues() const {
    return {DisplayToYmd(ShortDateText(twDateEdit->date()))};
}

// ---- the programs -------------------------------------------------------------------------

namespace {

using DateInput = TfrmEventDateInquiry::DateInput;

const DateInput kUseDates{"이용일자", -1};
const DateInput kThisYear{"당해년 판매일자", -1};
const DateInput kLastYear{"전년 판매일자", -365};
const DateInput kTwoYearsBack{"전전년 판매일자", -729};

QString utf8(const char *text) {
    return QString::fromUtf8(text);
}

} // namespace

TfrmSBS310::TfrmSBS310(db::Connection &connection, QWidget *parent)
    : TfrmEventDateInquiry(connection, QStringLiteral("SBS310"), kUseDates, nullptr, nullptr,
                           parent) {}

QString TfrmSBS310::reportName() const {
    return utf8("RF게이트이용집계");
}

TfrmSBS330::TfrmSBS330(db::Connection &connection, QWidget *parent)
    : TfrmEventDateInquiry(connection, QStringLiteral("SBS330"), kUseDates, nullptr, nullptr,
                           parent) {}

QString TfrmSBS330::reportName() const {
    return utf8("리프트할인별이용집계");
}

TfrmSBS340::TfrmSBS340(db::Connection &connection, QWidget *parent)
    : TfrmSBS340(connection, QStringLiteral("SBS340"), parent) {}

TfrmSBS340::TfrmSBS340(db::Connection &connection, const QString &programId, QWidget *parent)
    : TfrmEventDateInquiry(connection, programId, kUseDates, nullptr, nullptr, parent) {
    addRadioButtons("판매현황", "수수료 현황");
}

QString TfrmSBS340::reportName() const {
    return RadioButton1->isChecked() ? utf8("온라인(여행창조)리프트판매집계")
                                     : utf8("온라인(여행창조)수수료지급현황");
}

TfrmSBS341::TfrmSBS341(db::Connection &connection, QWidget *parent)
    : TfrmSBS340(connection, QStringLiteral("SBS341"), parent) {}

QString TfrmSBS341::reportName() const {
    return RadioButton1->isChecked() ? utf8("온라인(이지웰)판매현황")
                                     : utf8("온라인(이지웰)수수료지급현황");
}

TfrmSBS350::TfrmSBS350(db::Connection &connection, QWidget *parent)
    : TfrmEventDateInquiry(connection, QStringLiteral("SBS350"), kThisYear, &kLastYear, nullptr,
                           parent) {
    CheckBox1 = addCheckBox("CheckBox1", "기간", false);
    chkPkg = addCheckBox("chkPkg", "PKG포함", true);
}

// The period box wins over the package box.
QString TfrmSBS350::reportName() const {
    if (CheckBox1->isChecked())
        return utf8("리프트전년대비권종별할인율현황(기간)");
    if (chkPkg->isChecked())
        return utf8("리프트전년대비권종별할인율현황_PKG포함");
    return utf8("리프트전년대비권종별할인율현황");
}

TfrmSBS360::TfrmSBS360(db::Connection &connection, QWidget *parent)
    : TfrmEventDateInquiry(connection, QStringLiteral("SBS360"), kThisYear, &kLastYear,
                           &kTwoYearsBack, parent) {
    chkPkg = addCheckBox("chkPkg", "PKG포함", true);
}

QString TfrmSBS360::reportName() const {
    return chkPkg->isChecked() ? utf8("리프트3개년권종별할인율현황_PKG포함")
                               : utf8("리프트3개년권종별할인율현황");
}

TfrmSBS370::TfrmSBS370(db::Connection &connection, QWidget *parent)
    : TfrmEventDateInquiry(connection, QStringLiteral("SBS370"), kUseDates, nullptr, nullptr,
                           parent) {
    addRadioButtons("권종별 집계", "관광연합회 회원별 집계");
}

QString TfrmSBS370::reportName() const {
    return RadioButton1->isChecked() ? utf8("관광연합회권종별리프트발권현황")
                                     : utf8("관광연합회회원별리프트발권현황");
}

TfrmSPS010::TfrmSPS010(db::Connection &connection, QWidget *parent)
    : TfrmCalendarDateInquiry(connection, QStringLiteral("SPS010"), -1, parent) {}

QString TfrmSPS010::reportName() const {
    return QStringLiteral("P_DAY_AMT");
}

TfrmSPS050::TfrmSPS050(db::Connection &connection, QWidget *parent)
    : TfrmCalendarDateInquiry(connection, QStringLiteral("SPS050"), 0, parent) {}

QString TfrmSPS050::reportName() const {
    return QStringLiteral("P_GOLF_INQUIRY");
}

const QStringList &ReportInquiryProgramIds() {
    static const QStringList ids{"SBS310", "SBS330", "SBS340", "SBS341", "SBS350",
                                 "SBS360", "SBS370", "SPS010", "SPS050"};
    return ids;
}

TfrmReportInquiry *CreateReportInquiry(db::Connection &connection, const QString &programId,
                                       QWidget *parent) {
    if (programId == QLatin1String("SBS310"))
        return new TfrmSBS310(connection, parent);
    if (programId == QLatin1String("SBS330"))
        return new TfrmSBS330(connection, parent);
    if (programId == QLatin1String("SBS340"))
        return new TfrmSBS340(connection, parent);
    if (programId == QLatin1String("SBS341"))
        return new TfrmSBS341(connection, parent);
    if (programId == QLatin1String("SBS350"))
        return new TfrmSBS350(connection, parent);
    if (programId == QLatin1String("SBS360"))
        return new TfrmSBS360(connection, parent);
    if (programId == QLatin1String("SBS370"))
        return new TfrmSBS370(connection, parent);
    if (programId == QLatin1String("SPS010"))
        return new TfrmSPS010(connection, parent);
    if (programId == QLatin1String("SPS050"))
        return new TfrmSPS050(connection, parent);
    return nullptr;
}

} // namespace kelo::screens
