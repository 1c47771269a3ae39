#include "screens/personnel/personnel_inquiries.h"

#include "common/dialogs.h"
#include "common/silentstop.h"
#include "db/query.h"
#include "framework/lookupdialogs.h"
#include "framework/screenhelpers.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

namespace kelo::screens {

namespace {

// The department condition of the headcount and chart views: the choice and the name of its
// division beside it.
void addDepartmentChoice(QWidget *panel, QHBoxLayout *row, controls::ChoiceBox *&choice,
                         QLabel *&divisionName) {
    auto *label = new QLabel(QStringLiteral("* 부 서 선 택"), panel);
    choice = new controls::ChoiceBox(panel);
    choice->setObjectName(QStringLiteral("cboDept"));
    choice->setFixedWidth(150);
    divisionName = new controls::ValueLabel(panel);
    divisionName->setObjectName(QStringLiteral("wlbRName"));
    divisionName->setFixedWidth(350);
    row->insertWidget(0, label);
    row->insertWidget(1, choice);
    row->insertWidget(2, divisionName);
}

QString valid(const char *alias) {
    return QStringLiteral(
               "TO_CHAR(SYSDATE(), 'YYYYMMDD') BETWEEN TO_CHAR(%1.BGN_DATE, 'YYYYMMDD') AND "
               "TO_CHAR(%1.END_DATE, 'YYYYMMDD') AND %1.DEPT_AFF_YN = 'Y'")
        .arg(QLatin1String(alias));
}

// Headcounts per department of the employees in service.
const char *kHeadcounts = R"sql(
    SELECT EMP_AFF_DEPT_CODE,
        SUM(OFFICER_CNT) AS OFFICER_CNT, SUM(REGUALR_CNT) AS REGUALR_CNT,
        SUM(NON_REGUALR_CNT) AS NON_REGUALR_CNT, SUM(ETC_CNT) AS ETC_CNT,
        SUM(OFFICER_CNT) + SUM(REGUALR_CNT) + SUM(NON_REGUALR_CNT) + SUM(ETC_CNT) AS TOTAL_CNT
    FROM (
        SELECT EMP_AFF_DEPT_CODE, EMP_KIND_CODE,
            DECODE(EMP_KIND_CODE, '01', COUNT(*), 0) AS OFFICER_CNT,
            DECODE(EMP_KIND_CODE, '02', COUNT(*), 0) AS REGUALR_CNT,
            DECODE(EMP_KIND_CODE, '03', COUNT(*), 0) AS NON_REGUALR_CNT,
            DECODE(EMP_KIND_CODE, '01', 0, '02', 0, '03', 0, COUNT(*)) AS ETC_CNT
        FROM QA010MS
        WHERE EMP_STAY_CODE = '01'
        GROUP BY EMP_AFF_DEPT_CODE, EMP_KIND_CODE
    )
    GROUP BY EMP_AFF_DEPT_CODE
)sql";

const char *kCounts[] = {"OFFICER_CNT", "REGUALR_CNT", "NON_REGUALR_CNT", "ETC_CNT", "TOTAL_CNT"};

QString countsOf(const char *alias, bool nvl, bool sum) {
    QStringList out;
    for (const char *c : kCounts) {
        QString e = QStringLiteral("%1.%2").arg(QLatin1String(alias), QLatin1String(c));
        if (sum)
            e = QStringLiteral("SUM(%1)").arg(e);
        if (nvl)
            e = QStringLiteral("NVL(%1, 0)").arg(e);
        out << e + QStringLiteral(" AS ") + QLatin1String(c);
    }
    return out.join(QStringLiteral(", "));
}

std::vector<controls::GridColumn> headcountColumns() {
    std::vector<controls::GridColumn> cols;
    auto add = [&](const char *field, const char *title, int width, bool figure, bool visible) {
        controls::GridColumn c = figure ? controls::NumberColumn(field, title, width)
                                        : controls::Column(field, title, width);
        c.visible = visible;
        if (figure)
            c.footer.style = controls::FooterStyle::Down;
        cols.push_back(c);
    };
    add("R_CODE", "R_CODE", 60, false, false);
    add("DEPT_CODE", "부서코드", 60, false, false);
    add("DEPT_NAME", "부서명", 300, false, true);
    add("OFFICER_CNT", "임원", 90, true, true);
    add("REGUALR_CNT", "정규직", 90, true, true);
    add("NON_REGUALR_CNT", "비정규직", 90, true, true);
    add("ETC_CNT", "기타", 90, true, true);
    add("TOTAL_CNT", "합계", 90, true, true);
    return cols;
}

// Fills a department box from a statement (entry text, value, R_NAME).
void fillDepartments(db::Connection &c, controls::ChoiceBox *box, QStringList &rNames,
                     const QString &sql) {
    db::Query q(c);
    q.setSql(sql);
    for (q.open(); !q.eof(); q.next()) {
        box->addItem(q.text(1), q.text(0));
        rNames << q.text(2);
    }
}

} // namespace

// ---- SQS010 ------------------------------------------------------------------------

TfrmSQS010::TfrmSQS010(db::Connection &connection, TfrmSQS000 *hub)
    : TfrmSZS020(connection, QStringLiteral("frmSQS010"), hub) {
    setWindowTitle(QStringLiteral("인원현황"));
    rgrGrid->setColumns(headcountColumns());
    controls::GridOptions o = rgrGrid->options();
    o.rowHeight = 22;
    rgrGrid->setOptions(o);
    qryQuery->setSql(QStringLiteral(R"sql(
        SELECT D.R_CODE, D.DEPT_CODE,
            REPLACE(SUBSTR(D.L_NAME, 2, LENGTH(D.L_NAME)), ' ', '    ') AS DEPT_NAME, %1
        FROM (
            SELECT SUBSTR(A.R_CODE, 1, 12) AS R_CODE, %2
            FROM QA160MS_DATE A
            JOIN (%3) B ON A.DEPT_CODE = B.EMP_AFF_DEPT_CODE
            WHERE %4
            GROUP BY SUBSTR(A.R_CODE, 1, 12)
        ) C
        JOIN QA160MS_DATE D ON C.R_CODE = D.R_CODE
            AND %5
        ORDER BY D.SORT_ORD
    )sql")
                         .arg(countsOf("C", false, false), countsOf("B", false, true),
                              QLatin1String(kHeadcounts), valid("A"), valid("D")));
    qryFooter->setSql(QStringLiteral(R"sql(
        SELECT %1
        FROM (%2) B
    )sql")
                          .arg(countsOf("B", false, true), QLatin1String(kHeadcounts)));
    connect(rgrGrid, &controls::Grid::cellDoubleClicked, this, [this, hub](int row, int) {
        if (hub)
            hub->OpenDepartmentHeadcount(rgrGrid->text(row, 0));
    });
}

// ---- SQS020 ------------------------------------------------------------------------

TfrmSQS020::TfrmSQS020(db::Connection &connection, TfrmSQS000 *hub)
    : TfrmSZS020(connection, QStringLiteral("frmSQS020"), hub) {
    setWindowTitle(QStringLiteral("부서별 인원현황"));
    addDepartmentChoice(panSearch, m_searchRow, cboDept, wlbRName);
    rgrGrid->setColumns(headcountColumns());
    controls::GridOptions o = rgrGrid->options();
    o.rowHeight = 22;
    rgrGrid->setOptions(o);
    fillDepartments(connection, cboDept, m_rNames,
                    QStringLiteral(R"sql(
                        SELECT R_CODE, DEPT_NAME, R_NAME
                        FROM QA160MS_DATE X
                        WHERE %1
                            AND LENGTH(R_CODE) <= 12
                        ORDER BY SORT_ORD
                    )sql")
                        .arg(valid("X")));
    connect(cboDept, &QComboBox::currentIndexChanged, this,
            [this](int i) { wlbRName->setText(m_rNames.value(i)); });
    cboDept->setCurrentIndex(cboDept->count() > 0 ? 0 : -1);
    wlbRName->setText(m_rNames.value(cboDept->currentIndex()));
    qryQuery->setSql(QStringLiteral(R"sql(
        SELECT D.R_CODE, D.DEPT_CODE,
            REPLACE(SUBSTR(D.L_NAME, 1, LENGTH(D.L_NAME)), ' ', '    ') AS DEPT_NAME, %1
        FROM QA160MS_DATE D
        LEFT JOIN (
            SELECT SUBSTR(A.R_CODE, 1, 20) AS R_CODE, %2
            FROM QA160MS_DATE A
            JOIN (%3) B ON A.DEPT_CODE = B.EMP_AFF_DEPT_CODE
            WHERE %4
            GROUP BY SUBSTR(A.R_CODE, 1, 20)
        ) C ON C.R_CODE = D.R_CODE
        WHERE %5
            AND D.R_CODE LIKE :AR_CODE || '%'
        ORDER BY D.SORT_ORD
    )sql")
                         .arg(countsOf("C", true, false), countsOf("B", false, true),
                              QLatin1String(kHeadcounts), valid("A"), valid("D")));
    qryFooter->setSql(QStringLiteral(R"sql(
        SELECT %1
        FROM (%2) B
        JOIN QA160MS_DATE A ON A.DEPT_CODE = B.EMP_AFF_DEPT_CODE
        WHERE %3
            AND A.R_CODE LIKE :AR_CODE || '%'
    )sql")
                          .arg(countsOf("B", false, true), QLatin1String(kHeadcounts), valid("A")));
    connect(rgrGrid, &controls::Grid::cellDoubleClicked, this, [this, hub](int row, int) {
        if (hub)
            hub->OpenDepartmentChart(rgrGrid->text(row, 1));
    });
}

void TfrmSQS020::SelectDepartment(const QString &code) {
    if (!cboDept->setValue(code))
        cboDept->setCurrentIndex(-1);
    bbtSearch->click();
}

void TfrmSQS020::bbtSearchClick() {
    if (cboDept->currentIndex() < 0)
        return; // no department: nothing to search
    qryQuery->setParam(QStringLiteral("AR_CODE"), cboDept->value());
    qryFooter->setParam(QStringLiteral("AR_CODE"), cboDept->value());
    TfrmSZS020::bbtSearchClick();
    if (cboDept->isEnabled())
        cboDept->setFocus();
}

// ---- SQS031 ------------------------------------------------------------------------

TfrmSQS031::TfrmSQS031(db::Connection &connection, QWidget *parent)
    : QFrame(parent), m_connection(connection) {
    setFrameShape(QFrame::Box);
    resize(148, 240);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    panWorkCode = new QLabel(this);
    panWorkCode->setObjectName(QStringLiteral("panWorkCode"));
    panWorkCode->setFixedHeight(30);
    panWorkCode->setAlignment(Qt::AlignCenter);
    panWorkCode->setAutoFillBackground(true);
    panWorkCode->setBackgroundRole(QPalette::Button);
    layout->addWidget(panWorkCode);
    rgrEmpList = new controls::Grid(this);
    rgrEmpList->setObjectName(QStringLiteral("rgrEmpList"));
    controls::GridColumn no, pos, name;
    no.field = QStringLiteral("EMP_NO");
    no.title = QStringLiteral("사원번호");
    no.visible = false;
    pos.field = QStringLiteral("DETAIL_NAME");
    pos.title = QStringLiteral("직위");
    pos.width = 60;
    pos.footer.fontColor = Qt::blue;
    pos.footer.alignment = Qt::AlignCenter;
    name.field = QStringLiteral("EMP_K_NAME");
    name.title = QStringLiteral("사원성명");
    name.width = 84;
    for (auto *c : {&no, &pos, &name})
        c->readOnly = true;
    rgrEmpList->setColumns({no, pos, name});
    controls::GridOptions o;
    o.editing = false;
    o.showHeaders = false;
    o.scrollBars = false;
    o.rowSelect = true;
    o.rowHeight = 20;
    o.footerHeight = 20;
    rgrEmpList->setOptions(o);
    QFont bold = rgrEmpList->footer()->font();
    bold.setBold(true);
    rgrEmpList->footer()->setFont(bold);
    layout->addWidget(rgrEmpList);
    connect(rgrEmpList, &controls::Grid::cellDoubleClicked, this,
            [this](int row, int) { emit employeeChosen(rgrEmpList->text(row, 0)); });
}

void TfrmSQS031::FillWorkGroup(const QString &deptCode, const QString &workCode) {
    StyleForm(this);
    const QString name = CodeName(m_connection, QStringLiteral("Q009"), workCode);
    panWorkCode->setText(name.isEmpty() ? QStringLiteral("직무없음") : name);
    db::Query q(m_connection);
    q.setSql(QStringLiteral(R"sql(
        SELECT EMP_NO, DETAIL_NAME, EMP_K_NAME
        FROM QA010MS A
        LEFT JOIN ZX010MS B ON B.HEAD = 'Q005' AND B.DETAIL = A.EMP_POS_CODE
        WHERE EMP_STAY_CODE = '01'
            AND EMP_AFF_DEPT_CODE = :ADEPT_CODE
            AND %1
        ORDER BY EMP_POS_CODE, EMP_NO
    )sql")
                 .arg(workCode.isEmpty() ? QStringLiteral("TRIM(EMP_WORK_CODE) IS NULL")
                                         : QStringLiteral("EMP_WORK_CODE = :AWORK_CODE")));
    q.setParam(QStringLiteral("ADEPT_CODE"), deptCode);
    if (!workCode.isEmpty())
        q.setParam(QStringLiteral("AWORK_CODE"), workCode);
    for (q.open(); !q.eof(); q.next()) {
        const int row = rgrEmpList->gridModel()->appendRow();
        for (int c = 0; c < 3; ++c)
            rgrEmpList->setValue(row, c, q.text(c));
    }
    rgrEmpList->gridModel()->clearStatus();
    const int rows = rgrEmpList->rowCountFetched();
    rgrEmpList->setFooterText(1, QString::number(rows));
    rgrEmpList->recalculateFooter();
    setFixedHeight(20 + 30 + rows * 20 + 8 + rgrEmpList->horizontalHeader()->height());
    setFixedWidth(148);
}

// ---- SQS030 ------------------------------------------------------------------------

namespace {

constexpr int kGroupWidth = 148; // a work-group panel
constexpr int kMinGap = 8;       // between two panels, and before the first
constexpr int kAreaMinimum = 400;

} // namespace

TfrmSQS030::TfrmSQS030(db::Connection &connection, TfrmSQS000 *hub)
    : TfrmSZS030(connection, QStringLiteral("frmSQS030"), hub), m_hub(hub) {
    setWindowTitle(QStringLiteral("부서별 조직현황"));
    addDepartmentChoice(panSearch, m_searchRow, cboDept, wlbRName);
    attachConditionField(cboDept);
    auto *layout = new QVBoxLayout(panMain);
    layout->setContentsMargins(0, 0, 0, 0);
    ScrollBox1 = new QScrollArea(panMain);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    groupArea = new QWidget;
    groupArea->setMinimumSize(kAreaMinimum, kAreaMinimum);
    ScrollBox1->setWidget(groupArea);
    ScrollBox1->setWidgetResizable(true);
    layout->addWidget(ScrollBox1);
    StyleForm(this);
    fillDepartments(connection, cboDept, m_rNames,
                    QStringLiteral(R"sql(
                        SELECT DEPT_CODE, L_NAME, R_NAME
                        FROM QA160MS_DATE X
                        WHERE %1
                        ORDER BY SORT_ORD
                    )sql")
                        .arg(valid("X")));
    connect(cboDept, &QComboBox::currentIndexChanged, this,
            [this](int i) { wlbRName->setText(m_rNames.value(i)); });
    cboDept->setCurrentIndex(cboDept->count() > 0 ? 0 : -1);
    wlbRName->setText(m_rNames.value(cboDept->currentIndex()));
}

QList<TfrmSQS031 *> TfrmSQS030::workGroups() const {
    return groupArea->findChildren<TfrmSQS031 *>();
}

void TfrmSQS030::SelectDepartment(const QString &code) {
    if (!cboDept->setValue(code))
        cboDept->setCurrentIndex(-1);
    bbtSearch->click();
}

void TfrmSQS030::bbtSearchClick() {
    for (TfrmSQS031 *g : workGroups())
        delete g;
    groupArea->setMinimumSize(kAreaMinimum, kAreaMinimum);
    if (cboDept->currentIndex() < 0) {
        TfrmSZS030::bbtSearchClick();
        return; // no department selected: the chart stays empty
    }
    const QString dept = cboDept->value();
    QStringList codes;
    db::Query q(connection());
    q.setSql(QStringLiteral(R"sql(
        SELECT DISTINCT TRIM(EMP_WORK_CODE) AS EMP_WORK_CODE, DETAIL_NAME AS EMP_WORK_CODE_NAME
        FROM QA010MS A
        LEFT JOIN ZX010MS B ON B.HEAD = 'Q009' AND B.DETAIL = A.EMP_WORK_CODE
        WHERE EMP_STAY_CODE = '01'
            AND EMP_AFF_DEPT_CODE = :ADEPT_CODE
        ORDER BY TRIM(EMP_WORK_CODE) NULLS LAST
    )sql"));
    q.setParam(QStringLiteral("ADEPT_CODE"), dept);
    for (q.open(); !q.eof(); q.next())
        codes << q.text(0);
    // The panels share the width evenly, with a gap of at least kMinGap: when they do not fit
    // side by side the work area grows to hold them and scrolls, the first panel at its left.
    const int n = int(codes.size());
    const int width = ScrollBox1->viewport()->width();
    const int gap = n > 0 ? std::max(kMinGap, (width - kGroupWidth * n) / (n + 1)) : 0;
    int bottom = 0;
    for (int i = 0; i < n; ++i) {
        auto *group = new TfrmSQS031(connection(), groupArea);
        group->setObjectName(QStringLiteral("panDept%1").arg(i));
        group->move((i + 1) * gap + i * kGroupWidth, 30);
        group->FillWorkGroup(dept, codes.at(i));
        group->show();
        bottom = std::max(bottom, group->geometry().bottom() + 1);
        connect(group, &TfrmSQS031::employeeChosen, this, [this](const QString &empNo) {
            if (m_hub)
                m_hub->OpenEmployeeCard(empNo);
        });
    }
    groupArea->setMinimumSize(std::max(kAreaMinimum, (n + 1) * gap + n * kGroupWidth),
                              std::max(kAreaMinimum, bottom + kMinGap));
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->verticalScrollBar()->setValue(0);
    TfrmSZS030::bbtSearchClick();
    if (cboDept->isEnabled())
        cboDept->setFocus();
}

// ---- SQS040 ------------------------------------------------------------------------

namespace {

const char *kCardFields[][2] = {
    {"EMP_K_NAME", "성명(한글)"},
    {"EMP_C_NAME", "성명(한문)"},
    {"EMP_E_NAME", "성명(영어)"},
    {"EMP_KIND_NAME", "사원구분"},
    {"EMP_POS_NAME", "직      위"},
    {"EMP_CLS_NAME", "직      급"},
    {"EMP_SAL_CLS_NAME", "호      봉"},
    {"EMP_DUTY_NAME", "직      책"},
    {"EMP_WORK_NAME", "직      무"},
    {"EMP_JOB", "담당업무"},
    {"EMP_ENT_DATE", "입사일자"},
    {"EMP_SOC_ID", "주민번호"},
    {"EMP_SEX_TYPE", ""},
    {"EMP_BIRTH_DATE", "생년월일"},
    {"EMP_BIRTH_TYPE", ""},
    {"EMP_MARRY_TYPE", "혼인구분"},
    {"EMP_ZIP", "주      소"},
    {"EMP_ADDR1", ""},
    {"EMP_ADDR2", ""},
    {"EMP_PHONE_NO", "자      택"},
    {"EMP_MOBIL_NO", "휴대전화"},
    {"EMP_OFFIC_NO", "사 무 실"},
    {"EMP_EMAIL", "E-Mail"},
    {"EMP_HOBBY_NAME", "취      미"},
    {"EMP_SPC_NAME", "특      기"},
};

QString codeName(const char *set, const char *column) {
    return QStringLiteral("(SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = '%1' AND DETAIL = %2)")
        .arg(QLatin1String(set), QLatin1String(column));
}

controls::Grid *tabGrid(QTabWidget *tabs, const char *title,
                        std::vector<std::pair<const char *, const char *>> cols) {
    auto *grid = new controls::Grid(tabs);
    std::vector<controls::GridColumn> columns;
    for (const auto &[field, caption] : cols)
        columns.push_back(controls::Column(field, caption, 110));
    grid->setColumns(columns);
    controls::GridOptions o;
    o.editing = false;
    o.rowSelect = true;
    grid->setOptions(o);
    tabs->addTab(grid, QString::fromUtf8(title));
    return grid;
}

} // namespace

TfrmSQS040::TfrmSQS040(db::Connection &connection)
    : TfrmSZS030(connection, QStringLiteral("frmSQS040")) {
    setWindowTitle(QStringLiteral("개별인사기록"));
    buildSearch();
    auto *layout = new QVBoxLayout(panMain);
    layout->addLayout(buildCard());
    tabs = new QTabWidget(panMain);
    layout->addWidget(tabs, 1);
    buildRecords(connection);
    StyleForm(this);
}

// The employee number with its lookup button in the search panel.
void TfrmSQS040::buildSearch() {
    auto *label = new QLabel(QStringLiteral("* 사 원 번 호"), panSearch);
    wedEmpNo = new QLineEdit(panSearch);
    wedEmpNo->setObjectName(QStringLiteral("wedEmpNo"));
    wedEmpNo->setMaxLength(8);
    wedEmpNo->setFixedWidth(100);
    sbtSearchEmpNo = new QToolButton(panSearch);
    sbtSearchEmpNo->setObjectName(QStringLiteral("sbtSearchEmpNo"));
    sbtSearchEmpNo->setText(QStringLiteral("도움말"));
    sbtSearchEmpNo->setToolTip(QStringLiteral("도움말"));
    wlbEmpNo = new QLabel(panSearch);
    wlbEmpNo->setObjectName(QStringLiteral("wlbEmpNo"));
    wlbEmpNo->hide();
    m_searchRow->insertWidget(0, label);
    m_searchRow->insertWidget(1, wedEmpNo);
    m_searchRow->insertWidget(2, sbtSearchEmpNo);
    wedEmpNo->installEventFilter(this);
    connect(sbtSearchEmpNo, &QToolButton::clicked, this, [this] { sbtSearchEmpNoClick(); });
}

// The card stands in two blocks beside the photograph, the person and the post on the
// left, the numbers, the address and the contacts on the right (eleven rows each), so that
// the four tabs below keep most of the height for their rows.
QHBoxLayout *TfrmSQS040::buildCard() {
    auto *card = new QHBoxLayout;
    card->setSpacing(16);
    QGridLayout *blocks[2] = {new QGridLayout, new QGridLayout};
    QGridLayout *fields = blocks[0];
    int row = 0, column = 0;
    for (const auto &f : kCardFields) {
        if (QLatin1String(f[0]) == QLatin1String("EMP_SOC_ID")) {
            fields = blocks[1];
            row = 0;
            column = 0;
        }
        auto *value = new controls::ValueLabel(panMain);
        value->setObjectName(QLatin1String(f[0]));
        m_card[QLatin1String(f[0])] = value;
        if (f[1][0] != 0) {
            if (column > 0) {
                ++row;
                column = 0;
            }
            fields->addWidget(new QLabel(QString::fromUtf8(f[1]), panMain), row, 0);
            // The e-mail address has no neighbour: it takes the room of both value columns.
            const bool wide = QLatin1String(f[0]) == QLatin1String("EMP_EMAIL");
            fields->addWidget(value, row, 1, 1, wide ? 2 : 1);
            column = 1;
        } else {
            fields->addWidget(value, row, 2);
            ++row;
            column = 0;
        }
    }
    for (QGridLayout *block : blocks) {
        block->setVerticalSpacing(2);
        block->setAlignment(Qt::AlignTop);
        card->addLayout(block, 1);
    }
    blocks[0]->setColumnStretch(1, 1);
    blocks[1]->setColumnMinimumWidth(1, 140);
    blocks[1]->setColumnStretch(2, 1);
    auto *panEmpPicture = new QFrame(panMain);
    panEmpPicture->setObjectName(QStringLiteral("panEmpPicture"));
    panEmpPicture->setFrameShape(QFrame::Panel);
    panEmpPicture->setFrameShadow(QFrame::Sunken);
    panEmpPicture->setFixedSize(124, 164);
    imgEmpPicture = new QLabel(panEmpPicture);
    imgEmpPicture->setObjectName(QStringLiteral("imgEmpPicture"));
    imgEmpPicture->setGeometry(2, 2, 120, 160);
    imgEmpPicture->setScaledContents(true);
    card->addWidget(panEmpPicture, 0, Qt::AlignTop);
    return card;
}

// The four tabs of records under the card, each a grid with its statement.
void TfrmSQS040::buildRecords(db::Connection &connection) {
    grdFamily = tabGrid(tabs, "가족",
                        {{"FAM_REL_NAME", "관계"},
                         {"FAM_NAME", "성명"},
                         {"FAM_SOC_ID", "주민번호"},
                         {"FAM_SCHS_NAME", "학력"},
                         {"FAM_JOB_NAME", "직업"},
                         {"FAM_WITH_YN", "동거"}});
    grdSchool = tabGrid(tabs, "학력",
                        {{"SCHS_ENT_YM", "입학년월"},
                         {"SCHS_GRA_YM", "졸업년월"},
                         {"SCHOOL_NAME", "학교"},
                         {"MJR_CLAS_NAME", "전공계열"},
                         {"COUR_NAME", "전공분류"},
                         {"SUBJ_NAME", "전공학과"}});
    grdSchool->column(0).displayMask = QStringLiteral("9999-99;0;");
    grdSchool->column(1).displayMask = QStringLiteral("9999-99;0;");
    grdSchool->column(3).visible = false;
    grdSchool->applyColumnLayout();
    grdCareer = tabGrid(tabs, "경력",
                        {{"CARE_ENT_DATE", "입사일자"},
                         {"CARE_RET_DATE", "퇴사일자"},
                         {"CARE_COMP_NAME", "회사명"},
                         {"CARE_DEPT_NAME", "부서명"},
                         {"CARE_POS_NAME", "직위명"},
                         {"CARE_WORK_NAME", "직무명"},
                         {"CARE_YEAR", "년수"}});
    grdCareer->column(6).alignment = Qt::AlignRight | Qt::AlignVCenter;
    grdAward = tabGrid(tabs, "상벌",
                       {{"AWRD_DATE", "일자"},
                        {"AWRD_NAME", "구분"},
                        {"AWRD_TYPE", "상/벌"},
                        {"AWRD_REAS", "사유"},
                        {"AWRD_ORGN_NAME", "발령처(시행기관)"},
                        {"AWRD_END_DATE", "징계해제일자"}});
    tabs->setObjectName(QStringLiteral("pgcRecords"));
    grdFamily->setObjectName(QStringLiteral("grdFamily"));
    grdSchool->setObjectName(QStringLiteral("grdSchool"));
    grdCareer->setObjectName(QStringLiteral("grdCareer"));
    grdAward->setObjectName(QStringLiteral("grdAward"));
    const QStringList tabSql = {QStringLiteral(R"sql(
        SELECT %1 AS FAM_REL_NAME, FAM_NAME, FN_ZA010MS_04(FAM_SOC_ID) AS FAM_SOC_ID,
            %2 AS FAM_SCHS_NAME, %3 AS FAM_JOB_NAME, FAM_WITH_YN
        FROM QA020MS
        WHERE EMP_NO = :AEMP_NO
        ORDER BY QA020MS.FAM_SOC_ID
    )sql")
                                    .arg(codeName("Q018", "FAM_REL_CODE"),
                                         codeName("Q028", "FAM_SCHS_CODE"),
                                         codeName("Q029", "FAM_JOB_CODE")),
                                QStringLiteral(R"sql(
                                    SELECT SCHS_ENT_YM, SCHS_GRA_YM,
                                        (
                                            SELECT EDUC_NAME
                                            FROM QJ020MS
                                            WHERE EDUC_CLAS = SCHS_SCHL_CLAS_CODE
                                                AND AREA_CODE = SCHS_SCHL_AREA_CODE
                                                AND EDUC_CODE = SCHS_SCHL_EDUC_CODE
                                        ) AS SCHOOL_NAME,
                                        %1 AS MJR_CLAS_NAME,
                                        (
                                            SELECT COUR_NAME
                                            FROM QJ030MS
                                            WHERE CLAS_CODE = SCHS_MJR_CLAS_CODE
                                                AND COUR_CODE = SCHS_MJR_COUR_CODE
                                        ) AS COUR_NAME,
                                        (
                                            SELECT SUBJ_NAME
                                            FROM QJ030DT
                                            WHERE CLAS_CODE = SCHS_MJR_CLAS_CODE
                                                AND COUR_CODE = SCHS_MJR_COUR_CODE
                                                AND SUBJ_CODE = SCHS_MJR_SUBJ_CODE
                                        ) AS SUBJ_NAME
                                    FROM QA030MS
                                    WHERE EMP_NO = :AEMP_NO
                                    ORDER BY SCHS_ENT_YM DESC, SCHS_GRA_YM DESC
                                )sql")
                                    .arg(codeName("Q065", "SCHS_MJR_CLAS_CODE")),
                                QStringLiteral(R"sql(
                                    SELECT TO_CHAR(CARE_ENT_DATE, 'YYYY-MM-DD') AS CARE_ENT_DATE,
                                        TO_CHAR(CARE_RET_DATE, 'YYYY-MM-DD') AS CARE_RET_DATE,
                                        CARE_COMP_NAME, CARE_DEPT_NAME, CARE_POS_NAME, CARE_WORK_NAME, CARE_YEAR
                                    FROM QA040MS
                                    WHERE EMP_NO = :AEMP_NO
                                    ORDER BY QA040MS.CARE_ENT_DATE DESC, QA040MS.CARE_RET_DATE DESC
                                )sql"),
                                QStringLiteral(R"sql(
                                    SELECT TO_CHAR(AWRD_DATE, 'YYYY-MM-DD') AS AWRD_DATE, %1 AS AWRD_NAME,
                                        DECODE(AWRD_TYPE, '1', :AWRD_TYPE1, :AWRD_TYPE2) AS AWRD_TYPE,
                                        AWRD_REAS, AWRD_ORGN_NAME,
                                        TO_CHAR(AWRD_END_DATE, 'YYYY-MM-DD') AS AWRD_END_DATE
                                    FROM QA070MS
                                    WHERE EMP_NO = :AEMP_NO
                                    ORDER BY QA070MS.AWRD_DATE DESC
                                )sql")
                                    .arg(codeName("Q035", "AWRD_CODE"))};
    int i = 0;
    for (controls::Grid *grid : {grdFamily, grdSchool, grdCareer, grdAward}) {
        auto rows = std::make_unique<db::RowSet>(connection);
        rows->query().setSql(tabSql.at(i++));
        m_tabs.emplace_back(grid, std::move(rows));
    }
    m_tabs.back().second->query().setParam(QStringLiteral("AWRD_TYPE1"), QStringLiteral("상"));
    m_tabs.back().second->query().setParam(QStringLiteral("AWRD_TYPE2"), QStringLiteral("벌"));
}

QString TfrmSQS040::cardText(const QString &field) const {
    const auto it = m_card.find(field);
    return it == m_card.end() ? QString() : it->second->text();
}

bool TfrmSQS040::eventFilter(QObject *watched, QEvent *event) {
    if (watched == wedEmpNo && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1) {
        bbtSearch->click(); // F1 searches; the picker is the speed button's
        return true;
    }
    return TfrmSZS030::eventFilter(watched, event); // colour and Enter as every condition field
}

QPixmap TfrmSQS040::PhotoOf(const QByteArray &bytes) {
    if (bytes.size() < 7 || bytes.at(6) != 'J')
        return QPixmap(); // only JPEG files marked JFIF from their seventh byte
    QImage image;
    if (!image.loadFromData(bytes, "JPEG"))
        throw std::runtime_error("the JPEG data cannot be decoded");
    return QPixmap::fromImage(image);
}

void TfrmSQS040::ShowEmployee(const QString &empNo) {
    wedEmpNo->setText(empNo);
    bbtSearch->click();
}

void TfrmSQS040::sbtSearchEmpNoClick() {
    wedEmpNo->setText(PickEmployee(connection(), QString(), this));
    if (wedEmpNo->text().isEmpty())
        wedEmpNo->setFocus();
    else
        bbtSearch->click();
}

void TfrmSQS040::bbtSearchClick() {
    if (wedEmpNo->text().trimmed().isEmpty()) {
        ShowError(QStringLiteral("조회할 사원번호를 입력하여 주십시요."));
        wedEmpNo->setFocus();
        throw SilentStop();
    }
    const QString empNo = wedEmpNo->text().trimmed();
    wlbEmpNo->clear();
    for (auto &[field, label] : m_card)
        label->clear();
    {
        db::Query q(connection());
        q.setSql(QStringLiteral(R"sql(
            SELECT EMP_NO, EMP_K_NAME, EMP_C_NAME, EMP_E_NAME,
                %1 AS EMP_KIND_NAME, %2 AS EMP_POS_NAME, %3 AS EMP_CLS_NAME,
                %4 AS EMP_SAL_CLS_NAME, %5 AS EMP_DUTY_NAME, %6 AS EMP_WORK_NAME, EMP_JOB,
                TO_CHAR(EMP_ENT_DATE, 'YYYY-MM-DD') AS EMP_ENT_DATE,
                FN_ZA010MS_04(EMP_SOC_ID) AS EMP_SOC_ID,
                DECODE(EMP_SEX_TYPE, 'M', '남', 'F', '여', EMP_SEX_TYPE) AS EMP_SEX_TYPE,
                TO_CHAR(EMP_BIRTH_DATE, 'YYYY-MM-DD') AS EMP_BIRTH_DATE,
                DECODE(EMP_BIRTH_TYPE, '1', '음력', '양력') AS EMP_BIRTH_TYPE,
                DECODE(EMP_MARRY_TYPE, '1', '미혼', '2', '기혼', EMP_MARRY_TYPE) AS EMP_MARRY_TYPE,
                EMP_ZIP,
                FN_ZA010MS_04(EMP_ADDR1) AS EMP_ADDR1, FN_ZA010MS_04(EMP_ADDR2) AS EMP_ADDR2,
                FN_ZA010MS_04(EMP_PHONE_NO) AS EMP_PHONE_NO,
                FN_ZA010MS_04(EMP_MOBIL_NO) AS EMP_MOBIL_NO,
                FN_ZA010MS_04(EMP_OFFIC_NO) AS EMP_OFFIC_NO,
                FN_ZA010MS_04(EMP_EMAIL) AS EMP_EMAIL,
                %7 AS EMP_HOBBY_NAME, %8 AS EMP_SPC_NAME
            FROM QA010MS
            WHERE EMP_NO = :AEMP_NO
        )sql")
                     .arg(codeName("Q001", "EMP_KIND_CODE"), codeName("Q005", "EMP_POS_CODE"),
                          codeName("Q006", "EMP_CLS_CODE"), codeName("Q007", "EMP_SAL_CLS_CODE"),
                          codeName("Q008", "EMP_DUTY_CODE"), codeName("Q009", "EMP_WORK_CODE"),
                          codeName("Q014", "EMP_HOBBY_CODE"), codeName("Q015", "EMP_SPC_CODE")));
        q.setParam(QStringLiteral("AEMP_NO"), empNo);
        q.open();
        if (!q.eof()) {
            wlbEmpNo->setText(q.text(QStringLiteral("EMP_NO")));
            for (auto &[field, label] : m_card)
                label->setText(q.text(field));
        }
    }
    imgEmpPicture->clear();
    try {
        db::Query photo(connection());
        photo.setSql(QStringLiteral(R"sql(
            SELECT EMP_PIC
            FROM QA010DT
            WHERE EMP_NO = :AEMP_NO
        )sql"));
        photo.setParam(QStringLiteral("AEMP_NO"), empNo);
        photo.open();
        if (!photo.eof())
            imgEmpPicture->setPixmap(PhotoOf(photo.bytes(0)));
    } catch (const std::exception &e) {
        const QString message = QString::fromUtf8(e.what());
        if (!message.isEmpty())
            ShowError(QStringLiteral("그림 파일이 아니거나, 깨진 파일입니다.\r\r") + message);
    }
    for (auto &[grid, rows] : m_tabs) {
        grid->setRowSet(nullptr);
        rows->close();
        rows->query().setParam(QStringLiteral("AEMP_NO"), empNo);
        rows->open();
        grid->setRowSet(rows.get());
    }
    TfrmSZS030::bbtSearchClick();
    if (wlbEmpNo->text().isEmpty()) {
        ShowError(QStringLiteral("조회할 내용이 없습니다."));
        wedEmpNo->setFocus();
    }
}

// ---- the hub -------------------------------------------------------------------------

TfrmSQS000::TfrmSQS000(db::Connection &connection, QWidget *parent)
    : TfrmSZS000(connection, QStringLiteral("frmSQS000"), parent) {
    setWindowTitle(QStringLiteral("인사조회"));
    CreateSubScreens();
}

void TfrmSQS000::CreateSubScreens() {
    db::Connection &c = connection();
    sqs010 = new TfrmSQS010(c, this);
    AddSubScreen(QStringLiteral("인원현황"), sqs010);
    sqs020 = new TfrmSQS020(c, this);
    AddSubScreen(QStringLiteral("부서별 인원현황"), sqs020);
    sqs030 = new TfrmSQS030(c, this);
    AddSubScreen(QStringLiteral("부서별 조직현황"), sqs030);
    sqs040 = new TfrmSQS040(c);
    AddSubScreen(QStringLiteral("개별인사기록"), sqs040);
}

void TfrmSQS000::OpenDepartmentHeadcount(const QString &rCode) {
    ShowSubScreen(1);
    sqs020->SelectDepartment(rCode);
}

void TfrmSQS000::OpenDepartmentChart(const QString &deptCode) {
    ShowSubScreen(2);
    sqs030->SelectDepartment(deptCode);
}

void TfrmSQS000::OpenEmployeeCard(const QString &empNo) {
    ShowSubScreen(3);
    sqs040->ShowEmployee(empNo);
}

} // namespace kelo::screens
