#include "screens/viewer/report_viewers.h"

#include "common/dates.h"
#include "common/functions.h"
#include "common/keystroke.h"
#include "framework/lookupdialogs.h"
#include "framework/screenhelpers.h"
#include "screens/viewer/sri200_daily_sales_report.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

namespace kelo::screens {

namespace sri100 {
QString &HandoverDeptItem() {
    static QString value;
    return value;
}
} // namespace sri100
namespace sri120 {
QString &HandoverDeptItem() {
    static QString value;
    return value;
}
} // namespace sri120
namespace sri220 {
QString &HandoverDeptItem() {
    static QString value;
    return value;
}
} // namespace sri220

// ---- the member table -------------------------------------------------------------

enum class Defaults { Yesterday, Today, YesterdayToday, Handover, Month };
enum class Inputs { FromOnly, FromTo, FromToNoTilde, Month };
// The viewer properties written around OpenReport: AA n after opening; AA 0 and a zoom
// before or after it; AsSearch for a creation that writes what the search writes.
enum class Fit { None, AA1, AA2, Zoom130Before, Zoom90After, AsSearch };
enum class Extra { None, Period, Outlet, Hotel, HotelClass, HotelWeek };
enum class Handover { None, WorkDate, Dates };

using ParamsFn = QString (*)(const TfrmReportViewer &);
using ReportFn = QString (*)(const TfrmReportViewer &);

struct ViewerMember {
    const char *id;
    const char *report;
    ReportServer server = ReportServer::Main;
    Defaults defaults = Defaults::Yesterday;
    Inputs inputs = Inputs::FromOnly;
    bool opensOnCreation = false;
    ParamsFn params = nullptr;
    Fit fit = Fit::None;
    Extra extra = Extra::None;
    bool closeIsBitBtn3 = false;
    Handover handover = Handover::None;
    // The creation's report where it differs from the search's.
    const char *creationReport = nullptr;
    ReportServer creationServer = ReportServer::Main;
    Fit creationFit = Fit::AsSearch;
    // The search's report where the inputs choose it.
    ReportFn chooseReport = nullptr;
};

namespace {

QString utf8(const char *text) {
    return QString::fromUtf8(text);
}

QString rpF(const TfrmReportViewer &s) {
    return PositionalParams({s.fromDate()});
}
QString rpFBlank(const TfrmReportViewer &s) {
    return PositionalParams({s.fromDate()}, true);
}
QString rpFEmpty(const TfrmReportViewer &s) {
    return PositionalParams({s.fromDate(), QString()});
}
QString rpFT(const TfrmReportViewer &s) {
    return PositionalParams({s.fromDate(), s.toDate()});
}
QString rpFTEmpty(const TfrmReportViewer &s) {
    return PositionalParams({s.fromDate(), s.toDate(), QString()});
}
QString rpM(const TfrmReportViewer &s) {
    return PositionalParams({s.month()});
}
QString rvFromTo(const TfrmReportViewer &s) {
    return NamedParams(
        {{QStringLiteral("AFromDate"), s.fromDate()}, {QStringLiteral("AToDATE"), s.toDate()}});
}
QString rvTaskDateNoDept(const TfrmReportViewer &s) {
    return NamedParams(
        {{QStringLiteral("ATASK_DATE"), s.fromDate()}, {QStringLiteral("ADEPT_ITEM1"), QString()}});
}
QString rvSri100(const TfrmReportViewer &) {
    return NamedParams({{QStringLiteral("ATASK_DATE"), HandoverWorkDate()},
                        {QStringLiteral("ADEPT_ITEM1"), sri100::HandoverDeptItem()}});
}
QString rvSri110(const TfrmReportViewer &) {
    return NamedParams({{QStringLiteral("ATASK_DATE"), HandoverWorkDate()}});
}
QString rvPeriodDept(const QString &dept) {
    return NamedParams({{QStringLiteral("AFROM_DATE"), HandoverWorkDate()},
                        {QStringLiteral("ATO_DATE"), HandoverToDate()},
                        {QStringLiteral("ADEPT_ITEM1"), dept}});
}
QString rvSri120(const TfrmReportViewer &) {
    return rvPeriodDept(sri120::HandoverDeptItem());
}
QString rvSri220(const TfrmReportViewer &) {
    return rvPeriodDept(sri220::HandoverDeptItem());
}
QString rvSri230(const TfrmReportViewer &) {
    return rvPeriodDept(QString());
}
QString rpOutlet(const TfrmReportViewer &s) {
    return PositionalParams({s.fromDate(), s.edt_Upjang_No->text()});
}
QString rpHotelClass(const TfrmReportViewer &s) {
    return PositionalParams(
        {s.fromDate(), s.toDate(), s.cmbHotel->currentText(), s.cmbMemGubun->currentText()});
}
QString rpHotelWeek(const TfrmReportViewer &s) {
    return PositionalParams(
        {s.fromDate(), s.toDate(), s.cmbHotel->currentText(), s.CmbWeekGubun->currentText()});
}
QString rpHotel(const TfrmReportViewer &s) {
    return PositionalParams({s.fromDate(), s.toDate(), s.cmbHotel->currentText()});
}

// SRS180: the period's approval copy.
QString periodReport(const TfrmReportViewer &s) {
    if (s.RadioButton2->isChecked())
        return utf8("일일객단가현황2(결재본)");
    if (s.RadioButton3->isChecked())
        return utf8("일일객단가현황3(결재본)");
    return utf8("일일객단가현황1(결재본)");
}

// SRS183: the detail report of the hotel (the family hotel has its own, chosen by the exact
// text) and the split ticked.
QString detailReport(const TfrmReportViewer &s) {
    const bool family = s.cmbHotel->currentText() == utf8("가족호텔");
    QString name = family ? utf8("일일객단가현황(세부현황2") : utf8("일일객단가현황(세부현황");
    if (s.ChkComp->isChecked())
        name += utf8("_Comp분리");
    else if (s.chkPkg->isChecked())
        name += utf8("_PKG분리");
    return name + u')';
}

// SRS410: the version before November 2018 ends in 추가2; the month compares as text, so a
// partial date counts as before.
QString dailySalesVersion(const TfrmReportViewer &s) {
    return s.fromDate().left(6) < QLatin1String("201811")
               ? utf8("M_Daily_Sale_REPORT3_유스호스텔추가2")
               : utf8("M_Daily_Sale_REPORT3_유스호스텔추가");
}

using D = Defaults;
using I = Inputs;
using R = ReportServer;

// clang-format off
const ViewerMember kMembers[] = {
    {.id = "SBS010", .report = "객실판매총괄", .inputs = I::FromTo, .params = rpFT, .fit = Fit::AA2},
    {.id = "SBS030", .report = "직원영업활동현황집계", .defaults = D::Today, .params = rpF, .fit = Fit::AA2},
    {.id = "SBS060", .report = "직원영업예약및실적집계", .defaults = D::Today, .inputs = I::FromTo, .params = rpFT, .fit = Fit::AA2},
    {.id = "SBS070", .report = "영업활동직원단체실적조회", .defaults = D::Today, .inputs = I::FromTo, .params = rpFTEmpty, .fit = Fit::AA2},
    {.id = "SBS110", .report = "곤도라발권및Gate통과현황", .inputs = I::FromTo, .params = rpFT, .fit = Fit::AA2},
    {.id = "SBS120", .report = "곤도라할인구분별매출집계", .inputs = I::FromTo, .params = rpFT, .fit = Fit::AA2},
    {.id = "SBS130", .report = "곤도라할인구분별매출집계2", .inputs = I::FromTo, .params = rpFT, .fit = Fit::AA2},
    {.id = "SBS140", .report = "곤도라이용실적현황", .inputs = I::FromTo, .params = rpFT, .fit = Fit::AA2},
    {.id = "SBS210", .report = "켈로펠모라CC기간별매출현황", .inputs = I::FromTo, .params = rpFT, .fit = Fit::AA2},
    {.id = "SBS320", .report = "세계태권도WTF객실이용현황", .opensOnCreation = true, .params = rpFBlank},
    {.id = "SQR050", .report = "파트장팀장일일근태현황", .opensOnCreation = true, .params = rpFEmpty, .fit = Fit::Zoom90After},
    {.id = "SRI060", .report = "MIS(SRI060)", .inputs = I::FromTo, .opensOnCreation = true, .params = rvFromTo, .closeIsBitBtn3 = true},
    {.id = "SRI070", .report = "MIS(SRI070)", .inputs = I::FromTo, .opensOnCreation = true, .params = rvFromTo, .closeIsBitBtn3 = true},
    {.id = "SRI080", .report = "영업현황일보(총괄)", .server = R::Second, .opensOnCreation = true, .params = rpFEmpty, .fit = Fit::AA2},
    {.id = "SRI090", .report = "MIS(SRI9999)", .opensOnCreation = true, .params = rvTaskDateNoDept, .closeIsBitBtn3 = true, .creationFit = Fit::AA2},
    {.id = "SRI100", .report = "MIS(SRI100)", .defaults = D::Handover, .opensOnCreation = true, .params = rvSri100, .closeIsBitBtn3 = true, .handover = Handover::WorkDate},
    {.id = "SRI110", .report = "MIS(SRI180)", .defaults = D::Handover, .opensOnCreation = true, .params = rvSri110, .closeIsBitBtn3 = true, .handover = Handover::Dates},
    {.id = "SRI120", .report = "MIS(SRI120)", .defaults = D::Handover, .inputs = I::FromToNoTilde, .opensOnCreation = true, .params = rvSri120, .closeIsBitBtn3 = true, .handover = Handover::Dates},
    {.id = "SRI130", .report = "Daily_Night_Shift", .defaults = D::Today, .opensOnCreation = true, .params = rpFBlank},
    {.id = "SRI140", .report = "Daily_Gondora_Chk", .defaults = D::Today, .opensOnCreation = true, .params = rpFBlank},
    {.id = "SRI220", .report = "MIS(SRI120)", .defaults = D::Handover, .inputs = I::FromToNoTilde, .opensOnCreation = true, .params = rvSri220, .closeIsBitBtn3 = true, .handover = Handover::Dates},
    {.id = "SRI230", .report = "MIS(SRI190)", .defaults = D::Handover, .inputs = I::FromToNoTilde, .opensOnCreation = true, .params = rvSri230, .closeIsBitBtn3 = true, .handover = Handover::Dates, .creationReport = "MIS(SRI230)"},
    {.id = "SRS150", .report = "곤도라시간대별예약발권현황", .defaults = D::Today, .opensOnCreation = true, .params = rpFBlank, .fit = Fit::AA1},
    {.id = "SRS151", .report = "곤도라시간대별예약발권현황(비수기)", .defaults = D::Today, .opensOnCreation = true, .params = rpFBlank, .fit = Fit::AA1, .creationReport = "곤도라시간대별발권현황(비수기)"},
    {.id = "SRS170", .report = "켈로펠모라리조트객단가현황", .defaults = D::Month, .inputs = I::Month, .params = rpM, .fit = Fit::Zoom130Before},
    {.id = "SRS180", .report = "", .defaults = D::YesterdayToday, .params = rpF, .fit = Fit::AA1, .extra = Extra::Period, .chooseReport = periodReport},
    {.id = "SRS181", .report = "일일객단가현황(호텔별)", .defaults = D::YesterdayToday, .params = rpOutlet, .fit = Fit::AA1, .extra = Extra::Outlet},
    {.id = "SRS182", .report = "일일객단가고객구분세부집계", .defaults = D::Today, .inputs = I::FromTo, .params = rpHotelClass, .fit = Fit::AA1, .extra = Extra::HotelClass},
    {.id = "SRS183", .report = "", .inputs = I::FromTo, .params = rpHotelWeek, .fit = Fit::AA1, .extra = Extra::HotelWeek, .chooseReport = detailReport},
    {.id = "SRS185", .report = "전년대비일자별매출현황", .defaults = D::YesterdayToday, .params = rpF, .fit = Fit::AA1},
    {.id = "SRS186", .report = "객실일자별객실타입별객단가현황", .defaults = D::Month, .inputs = I::Month, .params = rpM, .fit = Fit::Zoom130Before},
    {.id = "SRS187", .report = "전년대비주중주말구분객실판매현황", .inputs = I::FromTo, .params = rpHotel, .fit = Fit::AA1, .extra = Extra::Hotel},
    {.id = "SRS320", .report = "영업매출상세현황", .server = R::Second, .opensOnCreation = true, .params = rpFBlank, .fit = Fit::AA2},
    {.id = "SRS420", .report = "영업현황일보(총괄)2", .opensOnCreation = true, .params = rpFEmpty, .fit = Fit::AA2},
    {.id = "SRS430", .report = "영업매출상세현황2", .opensOnCreation = true, .params = rpFBlank, .fit = Fit::AA2},
    {.id = "SRS450", .report = "영업현황일보(총괄)3", .opensOnCreation = true, .params = rpFEmpty, .fit = Fit::AA2},
    {.id = "SRS460", .report = "영업매출상세현황3", .server = R::Third, .opensOnCreation = true, .params = rpFBlank, .fit = Fit::AA2, .creationReport = "영업매출상세현황3", .creationServer = R::Main},
    // The data-build members (sri200_daily_sales_report.h): no report before the first search.
    {.id = "SRI200", .report = "M_Daily_Sale_REPORT", .params = rpFBlank, .fit = Fit::AA2},
    {.id = "SRS440", .report = "M_Daily_Sale_REPORT3_유스호스텔추가", .params = rpFBlank, .fit = Fit::AA2},
    {.id = "SRS410", .report = "", .params = rpFBlank, .fit = Fit::AA2, .chooseReport = dailySalesVersion},
};
// clang-format on

// The parameter-only members and their reports; STP010 zooms before opening.
struct ParamMember {
    const char *id;
    const char *report;
    bool zoomBefore;
};
const ParamMember kParamMembers[] = {
    {"STP010", "목표관리조회", true},
    {"SBP040", "직원영업활동실적현황", false},
    {"SBP050", "직원영업활동예약현황", false},
};

const ViewerMember *findMember(const QString &programId) {
    for (const ViewerMember &m : kMembers)
        if (programId == QLatin1String(m.id))
            return &m;
    return nullptr;
}

const ParamMember *findParamMember(const QString &programId) {
    for (const ParamMember &m : kParamMembers)
        if (programId == QLatin1String(m.id))
            return &m;
    return nullptr;
}

QString yesterday() {
    return ShiftDays(TodayYmd(), -1);
}

QString today() {
    return ShiftDays(TodayYmd(), 0);
}

// The width of the narrowest desk the screens are laid out for.
constexpr int kNarrowestDesk = 1024;

QPushButton *panelButton(QWidget *parent, const char *name, const char *caption) {
    return FormButton(parent, name, QString::fromUtf8(caption), QSize(121, 36));
}

QLabel *label(QWidget *parent, const char *name, const char *caption) {
    auto *l = new QLabel(QString::fromUtf8(caption), parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

QComboBox *comboBox(QWidget *parent, const char *name, const QStringList &items) {
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->addItems(items);
    return box;
}

} // namespace

// The outlets of the outlet help: codes beginning with "10", without 6001; the first row
// holds the column titles.
const QString &HotelOutletHelp() {
    static const QString statement = QStringLiteral(R"sql(
    SELECT '영업장 코드', '영업장 명'
    FROM DUAL
    UNION ALL
    SELECT UPJANG_CODE, UPJANG_NAME
    FROM (
        SELECT UPJANG_CODE, UPJANG_NAME
        FROM JA010MS
        WHERE UPJANG_CODE <> '6001'
            AND SUBSTR(UPJANG_CODE, 1, 2) = '10'
            AND UPJANG_TYPE = DECODE(:param, '', UPJANG_TYPE, :param)
            AND (UPJANG_CODE LIKE DECODE(:aParam, '', UPJANG_CODE, :aParam)
                OR UPJANG_NAME LIKE DECODE(:aParam, '', UPJANG_NAME, :aParam))
        ORDER BY UPJANG_CODE
    ) T
)sql");
    return statement;
}

// ---- TfrmViewerBase -----------------------------------------------------------------

TfrmViewerBase::TfrmViewerBase(db::Connection &connection, const QString &programId,
                               QWidget *parent)
    : QWidget(parent), m_connection(connection) {
    setObjectName(QStringLiteral("frm") + programId);
    setWindowTitle(objectName());
    Rdviewer401 = new viewer::Rdviewer40(connection, this);
    Rdviewer401->setObjectName(QStringLiteral("Rdviewer401"));
    resize(1008, 670);
}

bool TfrmViewerBase::FormCloseQuery() {
    return HostedCloseRequest(this);
}

void TfrmViewerBase::closeEvent(QCloseEvent *event) {
    AnswerClose(this, event, FormCloseQuery());
}

// ---- TfrmReportViewer ---------------------------------------------------------------

TfrmReportViewer::TfrmReportViewer(db::Connection &connection, const QString &programId,
                                   QWidget *parent)
    : TfrmViewerBase(connection, programId, parent), m_member(findMember(programId)) {
    Q_ASSERT(m_member);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    outer->addWidget(Panel2);
    auto *rows = new QVBoxLayout(Panel2);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    Panel1 = new QWidget(Panel2);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(41);
    rows->addWidget(Panel1);
    Rdviewer401->setParent(Panel2);
    rows->addWidget(Rdviewer401, 1);

    auto *row = new QHBoxLayout(Panel1);
    row->setContentsMargins(8, 2, 4, 2);
    Lbl_Date = label(Panel1, "Lbl_Date", "영업일자");
    FromDate = DateField(Panel1, "FromDate");
    Label1 = label(Panel1, "Label1", "~");
    ToDate = DateField(Panel1, "ToDate");
    row->addWidget(Lbl_Date);
    row->addWidget(FromDate);
    row->addWidget(Label1);
    row->addWidget(ToDate);
    const Inputs inputs = m_member->inputs;
    Label1->setVisible(inputs == Inputs::FromTo);
    ToDate->setVisible(inputs == Inputs::FromTo || inputs == Inputs::FromToNoTilde);
    if (inputs == Inputs::Month) {
        Lbl_Date->hide();
        FromDate->hide();
        buildMonthInputs(row);
    }
    buildExtraInputs(row);
    row->addStretch(1);

    BitBtn1 = panelButton(Panel1, "BitBtn1", "조회");
    BitBtn2 = panelButton(Panel1, "BitBtn2", "출력");
    QPushButton *close = m_member->closeIsBitBtn3
                             ? (BitBtn3 = panelButton(Panel1, "BitBtn3", "종료"))
                             : (bbtClose = panelButton(Panel1, "bbtClose", "종료"));
    row->addWidget(BitBtn1);
    row->addWidget(BitBtn2);
    row->addWidget(close);
    // The narrowest desk is 1024 pixels wide: where a member's inputs leave too little room, the
    // three buttons give up width (down to 80 pixels) rather than standing over one another.
    const int over = row->minimumSize().width() - kNarrowestDesk;
    if (over > 0)
        for (QPushButton *b : {BitBtn1, BitBtn2, close})
            b->setFixedWidth(std::max(80, b->width() - (over + 2) / 3));
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    if (BitBtn3)
        connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    else
        connect(bbtClose, &QPushButton::clicked, this, [this] { bbtCloseClick(); });

    FormCreate();
}

void TfrmReportViewer::buildMonthInputs(QHBoxLayout *row) {
    lblMonth = label(Panel1, "lblMonth", "조회 년월");
    btnMinus = new QToolButton(Panel1);
    btnMinus->setObjectName(QStringLiteral("btnMinus"));
    btnMinus->setArrowType(Qt::LeftArrow);
    medMonth = DateField(Panel1, "medMonth", {.mask = "!9999-99;0;", .width = 70, .maxLength = 0});
    btnPlus = new QToolButton(Panel1);
    btnPlus->setObjectName(QStringLiteral("btnPlus"));
    btnPlus->setArrowType(Qt::RightArrow);
    row->addWidget(lblMonth);
    row->addWidget(btnMinus);
    row->addWidget(medMonth);
    row->addWidget(btnPlus);
    connect(btnMinus, &QToolButton::clicked, this, [this] { btnMinusClick(); });
    connect(btnPlus, &QToolButton::clicked, this, [this] { btnPlusClick(); });
}

void TfrmReportViewer::buildExtraInputs(QHBoxLayout *row) {
    switch (m_member->extra) {
    case Extra::None:
        return;
    case Extra::Period: {
        RadioButton1 = new QRadioButton(QStringLiteral("일간"), Panel1);
        RadioButton2 = new QRadioButton(QStringLiteral("월간"), Panel1);
        RadioButton3 = new QRadioButton(QStringLiteral("년간"), Panel1);
        RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
        RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
        RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
        RadioButton1->setChecked(true);
        row->addSpacing(16);
        for (QRadioButton *b : {RadioButton1, RadioButton2, RadioButton3})
            row->addWidget(b);
        return;
    }
    case Extra::Outlet:
        edt_Upjang_No = new QLineEdit(Panel1);
        edt_Upjang_No->setObjectName(QStringLiteral("edt_Upjang_No"));
        edt_Upjang_No->setFixedWidth(60);
        bbt_Upjang_No = new QToolButton(Panel1);
        bbt_Upjang_No->setObjectName(QStringLiteral("bbt_Upjang_No"));
        bbt_Upjang_No->setText(QStringLiteral("..."));
        wlb_Upjang_No = label(Panel1, "wlb_Upjang_No", "");
        wlb_Upjang_No->setMinimumWidth(120);
        row->addSpacing(16);
        row->addWidget(label(Panel1, "lblUpjang", "영업장"));
        row->addWidget(edt_Upjang_No);
        row->addWidget(bbt_Upjang_No);
        row->addWidget(wlb_Upjang_No);
        connect(bbt_Upjang_No, &QToolButton::clicked, this, [this] { bbt_Upjang_NoClick(); });
        return;
    case Extra::Hotel:
    case Extra::HotelClass:
    case Extra::HotelWeek:
        break;
    }
    cmbHotel = comboBox(Panel1, "cmbHotel",
                        {QStringLiteral("베로호텔"), QStringLiteral("가족호텔"),
                         QStringLiteral("국민호텔"), QStringLiteral("유스호스텔")});
    cmbHotel->setCurrentText(QStringLiteral("가족호텔"));
    row->addSpacing(16);
    row->addWidget(label(Panel1, "lblHotel", "호텔"));
    row->addWidget(cmbHotel);
    if (m_member->extra == Extra::HotelClass) {
        cmbMemGubun = comboBox(Panel1, "cmbMemGubun",
                               {QString(), QStringLiteral("회원"), QStringLiteral("일반"),
                                QStringLiteral("여행사"), QStringLiteral("단체"),
                                QStringLiteral("임직원"), QStringLiteral("기타")});
        cmbMemGubun->setCurrentIndex(0);
        row->addWidget(label(Panel1, "lblMemGubun", "고객구분"));
        row->addWidget(cmbMemGubun);
    } else if (m_member->extra == Extra::HotelWeek) {
        CmbWeekGubun = comboBox(Panel1, "CmbWeekGubun",
                                {QString(), QStringLiteral("주중"), QStringLiteral("주말")});
        CmbWeekGubun->setCurrentIndex(0);
        ChkComp = new QCheckBox(QStringLiteral("Comp분리"), Panel1);
        ChkComp->setObjectName(QStringLiteral("ChkComp"));
        chkPkg = new QCheckBox(QStringLiteral("PKG-Comp분리"), Panel1);
        chkPkg->setObjectName(QStringLiteral("chkPkg"));
        row->addWidget(label(Panel1, "lblWeekGubun", "주말구분"));
        row->addWidget(CmbWeekGubun);
        row->addWidget(ChkComp);
        row->addWidget(chkPkg);
        connect(ChkComp, &QCheckBox::clicked, this, [this] { ChkCompClick(); });
        connect(chkPkg, &QCheckBox::clicked, this, [this] { chkPkgClick(); });
    }
}

void TfrmReportViewer::FormCreate() {
    switch (m_member->defaults) {
    case Defaults::Yesterday:
        FromDate->setValue(yesterday());
        ToDate->setValue(yesterday());
        break;
    case Defaults::Today:
        FromDate->setValue(today());
        ToDate->setValue(today());
        break;
    case Defaults::YesterdayToday:
        FromDate->setValue(yesterday());
        ToDate->setValue(today());
        break;
    case Defaults::Handover:
        FromDate->setValue(HandoverWorkDate());
        if (m_member->handover == Handover::Dates)
            ToDate->setValue(HandoverToDate());
        break;
    case Defaults::Month:
        medMonth->setValue(TodayYmd().left(6));
        break;
    }
    if (m_member->opensOnCreation)
        openReport(true);
}

QString TfrmReportViewer::searchLocation() const {
    const QString name =
        m_member->chooseReport ? m_member->chooseReport(*this) : utf8(m_member->report);
    return ReportLocation(m_member->server, name);
}

QString TfrmReportViewer::searchParams() const {
    return ViewerParams(m_member->params(*this));
}

void TfrmReportViewer::openReport(bool creation) {
    const QString location =
        creation && m_member->creationReport
            ? ReportLocation(m_member->creationServer, utf8(m_member->creationReport))
            : searchLocation();
    const Fit fit =
        creation && m_member->creationFit != Fit::AsSearch ? m_member->creationFit : m_member->fit;
    if (fit == Fit::Zoom130Before) {
        Rdviewer401->setAutoAdjust(0);
        Rdviewer401->setZoomRatio(130);
    }
    Rdviewer401->OpenReport(location, searchParams());
    switch (fit) {
    case Fit::AA1:
        Rdviewer401->setAutoAdjust(1);
        break;
    case Fit::AA2:
        Rdviewer401->setAutoAdjust(2);
        break;
    case Fit::Zoom90After:
        Rdviewer401->setAutoAdjust(0);
        Rdviewer401->setZoomRatio(90);
        break;
    default:
        break;
    }
}

void TfrmReportViewer::BitBtn1Click() {
    if (m_member->handover != Handover::None) {
        HandoverWorkDate() = fromDate();
        if (m_member->handover == Handover::Dates)
            HandoverToDate() = toDate();
    }
    openReport(false);
}

void TfrmReportViewer::BitBtn2Click() {
    Rdviewer401->PrintReport();
}

void TfrmReportViewer::bbtCloseClick() {
    RequireActive(bbtClose);
    if (!isHosted()) {
        close();
        return;
    }
    // In a tab: F12 reaches the main window's close entry, which asks the active screen to close.
    SynthesizeKeyStroke(Qt::Key_F12, Qt::NoModifier, this);
}

void TfrmReportViewer::BitBtn3Click() {
    close();
}

void TfrmReportViewer::stepMonth(int direction) {
    medMonth->setValue(StepMonth(medMonth->value(), direction));
}

void TfrmReportViewer::btnMinusClick() {
    stepMonth(-1);
}

void TfrmReportViewer::btnPlusClick() {
    stepMonth(1);
}

void TfrmReportViewer::bbt_Upjang_NoClick() {
    const HelpResult r =
        ShowHelpDialog(connection(), QStringLiteral("영업장"), HotelOutletHelp(), QString(), this);
    edt_Upjang_No->setText(r.code);
    wlb_Upjang_No->setText(r.name);
    edt_Upjang_No->setFocus();
}

void TfrmReportViewer::ChkCompClick() {
    if (ChkComp->isChecked())
        chkPkg->setChecked(false);
}

void TfrmReportViewer::chkPkgClick() {
    if (chkPkg->isChecked())
        ChkComp->setChecked(false);
}

// ---- TfrmParamViewer ----------------------------------------------------------------

TfrmParamViewer::TfrmParamViewer(db::Connection &connection, const QString &programId,
                                 QWidget *parent)
    : TfrmViewerBase(connection, programId, parent) {
    Q_ASSERT(findParamMember(programId));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(Rdviewer401);
}

void TfrmParamViewer::showEvent(QShowEvent *event) {
    TfrmViewerBase::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    const ParamMember *m = findParamMember(programId());
    if (m->zoomBefore) {
        Rdviewer401->setAutoAdjust(0);
        Rdviewer401->setZoomRatio(90);
    }
    Rdviewer401->OpenReport(MainLocation(utf8(m->report)), ViewerParams(ReportParams));
}

// ---- registry -------------------------------------------------------------------------

const QStringList &ViewerProgramIds() {
    static const QStringList ids = [] {
        QStringList out;
        for (const ViewerMember &m : kMembers)
            out << QLatin1String(m.id);
        out << QStringLiteral("STP010");
        // Pop-ups of the target inquiries only.
        for (const char *popup : {"SRI110", "SRI220", "SRI230"})
            out.removeAll(QLatin1String(popup));
        return out;
    }();
    return ids;
}

QWidget *CreateViewerScreen(db::Connection &connection, const QString &programId, QWidget *parent) {
    if (programId == QLatin1String("SRI200") || programId == QLatin1String("SRS440"))
        return new TfrmDataBuildViewer(connection, programId, parent);
    if (findMember(programId))
        return new TfrmReportViewer(connection, programId, parent);
    if (findParamMember(programId))
        return new TfrmParamViewer(connection, programId, parent);
    return nullptr;
}

} // namespace kelo::screens
