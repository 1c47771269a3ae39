#include "screens/mis/sri040_sales_summary.h"

#include "common/dialogs.h"
#include "common/silentstop.h"
#include "db/query.h"
#include "framework/screenhelpers.h"

#include <QButtonGroup>
#include <QHBoxLayout>

namespace kelo::screens {

namespace {

const char *kUpjangList040 = R"sql(
    SELECT A.UPJANG_CODE, UPJANG_NAME, REPLACE(B.DETAIL_NAME, '&', '&&') AS DETAIL_NAME
    FROM JA010MS A
    JOIN ZX010MS B ON B.HEAD = 'S0002' AND B.DETAIL = A.MIS_UPJANG_GUBUN1
    WHERE A.USE_YN = 'Y'
        AND A.MIS_UPJANG_GUBUN1 IS NOT NULL
    ORDER BY A.MIS_UPJANG_GUBUN1, UPJANG_CODE
)sql";
const char *kUpjangList050 = R"sql(
    SELECT A.UPJANG_CODE, UPJANG_NAME, REPLACE(B.DETAIL_NAME, '&', '&&') AS DETAIL_NAME
    FROM JA010MS A
    JOIN ZX010MS B ON B.HEAD = 'S0002' AND B.DETAIL = A.MIS_UPJANG_GUBUN1
    WHERE A.USE_YN = 'Y'
        AND A.MIS_UPJANG_GUBUN1 = '20'
    ORDER BY A.MIS_UPJANG_GUBUN1, UPJANG_CODE
)sql";

// The rows of SA030MS: every outlet-division pair crossed with the calendar.
QString sales(const char *where, const char *rank) {
    return QStringLiteral(R"sql(
        SELECT B.CALN_DATE AS SALE_DATE, X.UPJANG_CODE, J.UPJANG_NAME, J.UPJANG_ENG_NAME,
            X.DIVISION, D.DETAIL_NAME AS DIVISION_NAME,
            NVL(S.HU_RMS, 0) AS HU_RMS, NVL(S.COMP_RMS, 0) AS COMP_RMS,
            NVL(S.ETC_RMS, 0) AS ETC_RMS, NVL(S.TOTAL_RMS, 0) AS TOTAL_RMS,
            NVL(S.GOLF_TEAM, 0) AS GOLF_TEAM, NVL(S.GUESTS, 0) AS GUESTS,
            NVL(S.SALE_AMT, 0) AS SALE_AMT, NVL(S.NET_AMT, 0) AS NET_AMT,
            NVL(S.VAT_AMT, 0) AS VAT_AMT, NVL(S.SVC_AMT, 0) AS SVC_AMT,
            NVL(S.ETC_AMT, 0) AS ETC_AMT,
            DENSE_RANK() OVER (%2) AS RANKED
        FROM SX030MS X
        JOIN JA010MS J ON J.UPJANG_CODE = X.UPJANG_CODE
        JOIN ZX010MS D ON D.HEAD = 'S0008' AND D.DETAIL = X.DIVISION
        CROSS JOIN ZX020MS B
        LEFT JOIN SA030MS S ON S.SALE_DATE = B.CALN_DATE
            AND S.UPJANG_CODE = X.UPJANG_CODE
            AND S.DIVISION = X.DIVISION
        WHERE %1
        ORDER BY SALE_DATE, X.UPJANG_CODE, X.DIVISION
    )sql")
        .arg(QLatin1String(where), QLatin1String(rank));
}

// The rows of SA040MS: every F&B outlet (or the chosen one) crossed with the categories and the
// calendar.
QString fnb(const char *where, const char *rank) {
    return QStringLiteral(R"sql(
        SELECT B.CALN_DATE AS SALE_DATE, J.UPJANG_CODE, J.UPJANG_NAME, J.UPJANG_ENG_NAME,
            G.DETAIL AS GUBUN, G.DETAIL_NAME AS GUBUN_NAME,
            NVL(SUM(S.IH_COVER), 0) AS IH_COVER, NVL(SUM(S.WI_COVER), 0) AS WI_COVER,
            NVL(SUM(S.TOTAL_COVER), 0) AS TOTAL_COVER,
            NVL(SUM(S.FOOD_REVENUE), 0) AS FOOD_REVENUE,
            NVL(SUM(S.BEVERAGE_REVENUE), 0) AS BEVERAGE_REVENUE,
            NVL(SUM(S.OTHER_REVENUE), 0) AS OTHER_REVENUE,
            NVL(SUM(S.TOTAL_REVENUE), 0) AS TOTAL_REVENUE,
            DENSE_RANK() OVER (%2) AS RANKED
        FROM JA010MS J
        JOIN ZX010MS G ON G.HEAD = 'S0009' AND G.DETAIL > ' '
        CROSS JOIN ZX020MS B
        LEFT JOIN SA040MS S ON S.SALE_DATE = B.CALN_DATE
            AND S.UPJANG_CODE = J.UPJANG_CODE
            AND S.GUBUN = G.DETAIL
        WHERE J.MIS_UPJANG_GUBUN1 = '20'
            AND %1
        GROUP BY B.CALN_DATE, J.UPJANG_CODE, J.UPJANG_NAME, J.UPJANG_ENG_NAME, G.DETAIL,
            G.DETAIL_NAME
        ORDER BY SALE_DATE, J.UPJANG_CODE, J.UPJANG_NAME, J.UPJANG_ENG_NAME, GUBUN
    )sql")
        .arg(QLatin1String(where), QLatin1String(rank));
}

const char *kPerDate = "B.CALN_DATE = :ASALE_DATE";
const char *kPerUpjang040 =
    "B.CALN_DATE BETWEEN SUBSTR(:ASALE_DATE, 1, 6) || '01' AND "
    "TO_CHAR(LAST_DAY(TO_DATE(:ASALE_DATE)), 'YYYYMMDD') AND X.UPJANG_CODE = :AUPJANG_CODE";
const char *kPerUpjang050 =
    "B.CALN_DATE BETWEEN SUBSTR(:ASALE_DATE, 1, 6) || '01' AND "
    "TO_CHAR(LAST_DAY(TO_DATE(:ASALE_DATE)), 'YYYYMMDD') AND J.UPJANG_CODE = :AUPJANG_CODE";

std::vector<controls::GridColumn> leadingColumns(const char *codeField, const char *nameField,
                                                 const char *title) {
    controls::GridColumn date = Column("SALE_DATE", "영업일자", 90);
    date.displayMask = QStringLiteral("9999-99-99;0;");
    date.alignment = Qt::AlignCenter;
    date.repeatBlank = true;
    controls::GridColumn code = Column("UPJANG_CODE", "영업장", 50);
    code.visible = false;
    controls::GridColumn name = Column("UPJANG_NAME", "한글명", 130);
    name.repeatBlank = true;
    name.groups = {QStringLiteral("영업장")};
    controls::GridColumn eng = Column("UPJANG_ENG_NAME", "영문명", 130);
    eng.repeatBlank = true;
    eng.groups = {QStringLiteral("영업장")};
    controls::GridColumn division = Column(codeField, "구분", 40);
    division.visible = false;
    controls::GridColumn divisionName = Column(nameField, title, 90);
    divisionName.groups = {QStringLiteral("구분")};
    return {date, code, name, eng, division, divisionName};
}

controls::GridColumn figure(const char *field, const char *title, const char *group, int digits,
                            bool editable = true) {
    controls::GridColumn c = NumberColumn(field, title, digits > 6 ? 95 : 62, editable, digits);
    c.groups = {QString::fromUtf8(group)};
    return c;
}

controls::GridColumn rank() {
    controls::GridColumn c = Column("RANKED", "RANK", 30);
    c.visible = false;
    return c;
}

} // namespace

OutletInputScreen::OutletInputScreen(db::Connection &connection, const QString &name,
                                     const QString &caption, const QString &procedure,
                                     const QString &outletListSql, const QString &perDateSql,
                                     const QString &perUpjangSql)
    : MisInputScreen(connection, name, caption, procedure), m_perDate(perDateSql),
      m_perUpjang(perUpjangSql) {
    auto *method = new QLabel(QStringLiteral("* 입력방법 선택"), panSearch);
    rbtPerDate = new QRadioButton(QStringLiteral("일자지정"), panSearch);
    rbtPerDate->setObjectName(QStringLiteral("rbtPerDate"));
    rbtPerUpjang = new QRadioButton(QStringLiteral("업장지정"), panSearch);
    rbtPerUpjang->setObjectName(QStringLiteral("rbtPerUpjang"));
    auto *group = new QButtonGroup(this);
    group->addButton(rbtPerDate);
    group->addButton(rbtPerUpjang);
    rbtPerDate->setChecked(true);
    lblUpjang = new QLabel(QStringLiteral("* 업 장 선 택"), panSearch);
    lblUpjang->setObjectName(QStringLiteral("lblUpjang"));
    cboUpjang = new controls::ChoiceBox(panSearch);
    cboUpjang->setObjectName(QStringLiteral("cboUpjang"));
    cboUpjang->setMinimumWidth(160);
    wlbMisUpjangGubun1 = new QLabel(panSearch);
    wlbMisUpjangGubun1->setObjectName(QStringLiteral("wlbMisUpjangGubun1"));
    int at = 2;
    for (QWidget *w : std::initializer_list<QWidget *>{method, rbtPerDate, rbtPerUpjang, lblUpjang,
                                                       cboUpjang, wlbMisUpjangGubun1})
        m_searchRow->insertWidget(at++, w);
    attachField(cboUpjang);

    // The outlet list: a first entry with no code, then the outlets with their division group.
    cboUpjang->addItem(QStringLiteral("* 업 장 선 택 *"), QString());
    m_groupNames << QString();
    db::Query list(connection);
    list.setSql(outletListSql);
    for (list.open(); !list.eof(); list.next()) {
        cboUpjang->addItem(list.text(QStringLiteral("UPJANG_NAME")),
                           list.text(QStringLiteral("UPJANG_CODE")));
        m_groupNames << list.text(QStringLiteral("DETAIL_NAME"));
    }
    cboUpjang->setCurrentIndex(0);
    connect(rbtPerDate, &QRadioButton::clicked, this, [this] { rbtPerDateClick(); });
    connect(rbtPerUpjang, &QRadioButton::clicked, this, [this] { rbtPerDateClick(); });
    connect(cboUpjang, &QComboBox::currentIndexChanged, this, [this] { cboUpjangValueChange(); });
    rbtPerDateClick();
    // Totals follow as soon as a cell is left, and before a row is posted.
    connect(rgrGrid, &controls::Grid::valueChanged, this,
            [this](int row, int) { recalculate(row); });
    rgrGrid->beforePost = [this](int row) {
        recalculate(row);
        return true;
    };
}

void OutletInputScreen::rbtPerDateClick() {
    const bool perOutlet = rbtPerUpjang->isChecked();
    lblUpjang->setVisible(perOutlet);
    cboUpjang->setVisible(perOutlet);
    cboUpjang->setEnabled(perOutlet);
    wlbMisUpjangGubun1->setVisible(perOutlet);
    if (perOutlet)
        cboUpjang->setCurrentIndex(0);
}

void OutletInputScreen::cboUpjangValueChange() {
    // The label shows "&" as it is: the list keeps it doubled.
    wlbMisUpjangGubun1->setText(m_groupNames.value(cboUpjang->currentIndex()));
}

void OutletInputScreen::bindSearch() {
    qryQuery->setParam(QStringLiteral("ASALE_DATE"), saleDate());
    if (qryQuery->hasParam(QStringLiteral("AUPJANG_CODE")))
        qryQuery->setParam(QStringLiteral("AUPJANG_CODE"), cboUpjang->value());
}

void OutletInputScreen::bbtSearchClick() {
    RequireActive(bbtSearch);
    if (rbtPerDate->isChecked()) {
        qryQuery->setSql(m_perDate);
    } else {
        if (cboUpjang->currentIndex() <= 0) {
            ShowError(QStringLiteral("영업장을 선택하여 주십시요."));
            cboUpjang->setFocus();
            throw SilentStop();
        }
        qryQuery->setSql(m_perUpjang);
    }
    MisInputScreen::bbtSearchClick();
}

bool OutletInputScreen::isYellowRow(int row) const {
    return rgrGrid->text(row, m_rankColumn).toInt() % 2 == 1;
}

bool OutletInputScreen::ValidateRow() {
    const int row = rgrGrid->currentRow();
    if (row < 0)
        return true;
    recalculate(row);
    const int empty = firstEmpty(row, m_firstFigure, m_lastFigure);
    // A computed total is left empty only when its sum passes the range of a figure.
    if (empty >= 0 && rgrGrid->columns().at(size_t(empty)).readOnly)
        return refuse(row, empty, QStringLiteral("이(가) 허용 범위를 벗어났습니다."));
    if (empty >= 0)
        return refuse(row, empty, QStringLiteral("을(를) 입력하여 주십시요."));
    rgrGrid->postEdit();
    return true;
}

TfrmSRI040::TfrmSRI040(db::Connection &connection)
    : OutletInputScreen(connection, QStringLiteral("frmSRI040"),
                        QStringLiteral("경영정보관리 매출집계정보"),
                        QStringLiteral("PR_SA030MS_01"), QLatin1String(kUpjangList040),
                        sales(kPerDate, "PARTITION BY B.CALN_DATE ORDER BY X.UPJANG_CODE"),
                        sales(kPerUpjang040, "PARTITION BY X.UPJANG_CODE ORDER BY B.CALN_DATE")) {
    std::vector<controls::GridColumn> columns = leadingColumns("DIVISION", "DIVISION_NAME", "구분");
    columns.push_back(figure("HU_RMS", "H/U", "ROOMS", 4));
    columns.push_back(figure("COMP_RMS", "COMP", "ROOMS", 4));
    columns.push_back(figure("ETC_RMS", "ETC", "ROOMS", 4));
    columns.push_back(figure("TOTAL_RMS", "TTL", "ROOMS", 4, false));
    columns.push_back(figure("GOLF_TEAM", "TEAM", "GOLF", 4));
    columns.push_back(figure("GUESTS", "GSTS", "GUESTS", 6));
    columns.push_back(figure("SALE_AMT", "TTL", "REVENUE", 10, false));
    columns.push_back(figure("NET_AMT", "NET", "REVENUE", 10));
    columns.push_back(figure("VAT_AMT", "VAT", "REVENUE", 10));
    columns.push_back(figure("SVC_AMT", "SVC", "REVENUE", 10));
    columns.push_back(figure("ETC_AMT", "ETC", "REVENUE", 10));
    columns.push_back(rank());
    rgrGrid->setColumns(columns);
    StyleForm(this);
    m_firstFigure = 6;
    m_lastFigure = 16;
    m_rankColumn = 17;
}

void TfrmSRI040::recalculate(int row) {
    setComputed(row, 9, number(row, 6) + number(row, 7) + number(row, 8)); // rooms
    setComputed(row, 12,
                number(row, 13) + number(row, 14) + number(row, 15) + number(row, 16)); // revenue
}

TfrmSRI050::TfrmSRI050(db::Connection &connection)
    : OutletInputScreen(connection, QStringLiteral("frmSRI050"),
                        QStringLiteral("경영정보관리 F&B Index"), QStringLiteral("PR_SA040MS_01"),
                        QLatin1String(kUpjangList050),
                        fnb(kPerDate, "PARTITION BY B.CALN_DATE ORDER BY J.UPJANG_CODE"),
                        fnb(kPerUpjang050, "PARTITION BY J.UPJANG_CODE ORDER BY B.CALN_DATE")) {
    std::vector<controls::GridColumn> columns = leadingColumns("GUBUN", "GUBUN_NAME", "구분");
    columns.push_back(figure("IH_COVER", "I/H", "COVER", 5));
    columns.push_back(figure("WI_COVER", "W/I", "COVER", 5));
    columns.push_back(figure("TOTAL_COVER", "TTL", "COVER", 5, false));
    columns.push_back(figure("FOOD_REVENUE", "FOOD", "REVENUE", 9));
    columns.push_back(figure("BEVERAGE_REVENUE", "BEVERAGE", "REVENUE", 9));
    columns.push_back(figure("OTHER_REVENUE", "OTHER", "REVENUE", 9));
    columns.push_back(figure("TOTAL_REVENUE", "TTL", "REVENUE", 9, false));
    columns.push_back(rank());
    rgrGrid->setColumns(columns);
    StyleForm(this);
    m_firstFigure = 6;
    m_lastFigure = 12;
    m_rankColumn = 13;
}

void TfrmSRI050::recalculate(int row) {
    setComputed(row, 8, number(row, 6) + number(row, 7));                     // covers
    setComputed(row, 12, number(row, 9) + number(row, 10) + number(row, 11)); // revenue
}

} // namespace kelo::screens
