#include "framework/lookupdialogs.h"

#include "common/cp949.h"
#include "common/dates.h"
#include "common/dialogs.h"
#include "common/functions.h"
#include "common/silentstop.h"
#include "controls/formats.h"
#include "framework/inquiry.h"
#include "framework/screenhelpers.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace kelo {

namespace {

controls::GridColumn column(const char *field, const char *title, int width,
                            Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    controls::GridColumn c = controls::Column(field, title, width);
    c.alignment = alignment;
    return c;
}

} // namespace

// ---- TfrmZZH000 ------------------------------------------------------------------

TfrmZZH000::TfrmZZH000(db::Connection &connection, const QString &name, QWidget *parent)
    : QDialog(parent), m_connection(connection) {
    setObjectName(name);
    BuildFormFrame(this, m_rows, panMain, bvlButtons, panButtons, m_buttonRow);
    bbtOK = FormButton(panButtons, "bbtOK", QStringLiteral("확인(F10)"));
    bbtOK->setFocusPolicy(Qt::NoFocus); // not a tab stop
    bbtOK->setDefault(true);
    bbtClose = FormButton(panButtons, "bbtClose", QStringLiteral("종료(F12)"));
    m_buttonRow->addWidget(bbtOK);
    m_buttonRow->addWidget(bbtClose);
    connect(bbtOK, &QPushButton::clicked, this, [this] { bbtOKClick(); });
    connect(bbtClose, &QPushButton::clicked, this, [this] { bbtCloseClick(); });
    addHotkey(QKeySequence(Qt::Key_F10), [this] { bbtOKClick(); });
    addHotkey(QKeySequence(Qt::Key_F12), [this] { bbtCloseClick(); });
}

void TfrmZZH000::bbtOKClick() {
    RequireActive(bbtOK);
    accept();
}

void TfrmZZH000::bbtCloseClick() {
    RequireActive(bbtClose);
    QDialog::reject();
}

void TfrmZZH000::reject() {
    try {
        bbtCloseClick();
    } catch (const SilentStop &) {
    }
}

// ---- TfrmZZH010 ------------------------------------------------------------------

TfrmZZH010::TfrmZZH010(db::Connection &connection, const QString &name, QWidget *parent)
    : TfrmZZH000(connection, name, parent), m_query(std::make_unique<db::Query>(connection)) {
    qryQuery = m_query.get();
    const SearchPanel search = BuildSearchPanel(this, m_rows);
    panSearch = search.panel;
    m_searchRow = search.row;
    bbtSearch = search.search;
    connect(bbtSearch, &QPushButton::clicked, this, [this] { bbtSearchClick(); });
    addHotkey(QKeySequence(Qt::Key_F3), [this] { bbtSearchClick(); });
}

void TfrmZZH010::bbtSearchClick() {
    RequireActive(bbtSearch);
}

// ---- TfrmZZH020 ------------------------------------------------------------------

TfrmZZH020::TfrmZZH020(db::Connection &connection, const QString &name, QWidget *parent)
    : TfrmZZH010(connection, name, parent) {
    controls::GridOptions o = ResultGrid::BaseOptions();
    o.rowHeight = 18;
    m_result = std::make_unique<ResultGrid>(connection, panMain, QBoxLayout::TopToBottom, 0, o);
    rgrGrid = m_result->grid;
    cdsQuery = m_result->rows;
    qryQuery = &cdsQuery->query();
    bbtOK->setDefault(false); // Enter in the grid is the grid's
    std::tie(sbtFirst, sbtPrior, sbtNext, sbtLast) =
        m_result->addNavigation(panButtons, m_buttonRow);
    stbMessage = new PanelStatusBar(2, this);
    stbMessage->setObjectName(QStringLiteral("stbMessage"));
    stbMessage->setFixedHeight(23);
    stbMessage->setPanelWidth(0, 120);
    stbMessage->setPanelWidth(1, 650);
    stbMessage->setPanelAlignment(0, Qt::AlignHCenter);
    stbMessage->setPanelText(0, name.mid(3));
    m_rows->addWidget(stbMessage);
    connect(rgrGrid, &controls::Grid::cellDoubleClicked, this,
            [this](int, int) { rgrGridDblClick(); });
    rgrGrid->onKeyDown = [this](QKeyEvent *e) {
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            rgrGridDblClick(); // Enter in the grid is a double click
            return true;
        }
        return false;
    };
}

TfrmZZH020::~TfrmZZH020() = default;

void TfrmZZH020::ShowStatusMessage(const QString &text) {
    if (stbMessage->panelText(1) != text) {
        stbMessage->setPanelText(1, text);
        stbMessage->repaint();
    }
}

void TfrmZZH020::bbtSearchClick() {
    ShowStatusMessage(QString());
    TfrmZZH010::bbtSearchClick();
}

void TfrmZZH020::bbtOKClick() {
    ShowStatusMessage(QString());
    TfrmZZH010::bbtOKClick();
}

void TfrmZZH020::bbtCloseClick() {
    ShowStatusMessage(QString());
    TfrmZZH010::bbtCloseClick();
}

void TfrmZZH020::rgrGridDblClick() {
    const int row = rgrGrid->currentRow();
    if (isResultOpen() && row >= 0 && !cdsQuery->isNull(row, 0))
        bbtOK->click();
}

QString TfrmZZH020::currentField(const QString &field) const {
    const int row = rgrGrid->currentRow();
    return row < 0 ? QString() : db::ValueText(rgrGrid->fieldValue(row, field));
}

// ---- TfrmSZP900 ------------------------------------------------------------------

TfrmSZP900::TfrmSZP900(db::Connection &connection, bool usedOnly, const QString &head,
                       QWidget *parent)
    : TfrmZZH020(connection, QStringLiteral("frmSZP900"), parent), m_usedOnly(usedOnly) {
    setWindowTitle(QStringLiteral("공통코드 조회"));
    resize(536, 713);
    panSearch->setFixedHeight(60);
    auto *fields = new QGridLayout;
    auto *mainClass = new QLabel(QStringLiteral("대  분  류"), panSearch);
    wlbHead = new controls::ValueLabel(panSearch);
    wlbHead->setObjectName(QStringLiteral("wlbHead"));
    wlbHead->setText(head);
    wlbHead->setFixedWidth(60);
    wlbDetail = new controls::ValueLabel(panSearch);
    wlbDetail->setObjectName(QStringLiteral("wlbDetail"));
    auto *subClass = new QLabel(QStringLiteral("소  분  류"), panSearch);
    wlbDetailName = new QLineEdit(panSearch);
    wlbDetailName->setObjectName(QStringLiteral("wlbDetailName"));
    fields->addWidget(mainClass, 0, 0);
    fields->addWidget(wlbHead, 0, 1);
    fields->addWidget(wlbDetail, 0, 2);
    fields->addWidget(subClass, 1, 0);
    fields->addWidget(wlbDetailName, 1, 1, 1, 2);
    m_searchRow->insertLayout(0, fields, 1);
    bbtSearch->setFixedHeight(56);
    rgrGrid->setColumns(
        {column("DETAIL", "소분류", 100, Qt::AlignCenter), column("DETAIL_NAME", "소분류명", 350)});
    StyleForm(this);
    connect(wlbDetailName, &QLineEdit::returnPressed, this, [this] { bbtSearch->click(); });
}

void TfrmSZP900::showEvent(QShowEvent *event) {
    TfrmZZH020::showEvent(event);
    if (!m_searched) { // FormActivate: the list fills as soon as the dialog shows
        m_searched = true;
        bbtSearch->click();
    }
}

void TfrmSZP900::bbtSearchClick() {
    const QString head = wlbHead->text();
    wlbDetail->setText(CodeName(connection(), head, QStringLiteral(" ")));
    const bool weather = head == QLatin1String("E0029");
    // The weather set keeps its names in ITEM1, so the flag in ITEM1 does not filter it.
    const QString statement =
        QStringLiteral(R"sql(
            SELECT DETAIL, %1
            FROM ZX010MS
            WHERE HEAD = :AHEAD
                AND DETAIL > ' '
                AND DETAIL_NAME LIKE :ADETAIL_NAME
                %2
            ORDER BY DETAIL
        )sql")
            .arg(weather ? QStringLiteral("ITEM1 AS DETAIL_NAME") : QStringLiteral("DETAIL_NAME"),
                 m_usedOnly && !weather ? QStringLiteral("AND ITEM1 = 'Y'") : QString());
    rgrGrid->setRowSet(nullptr);
    cdsQuery->close();
    qryQuery->setSql(statement);
    qryQuery->setParam(QStringLiteral("AHEAD"), head);
    qryQuery->setParam(QStringLiteral("ADETAIL_NAME"), wlbDetailName->text() + u'%');
    TfrmZZH020::bbtSearchClick();
    OpenResult();
    if (rgrGrid->rowCountFetched() > 0)
        rgrGrid->setFocus();
}

// ---- TfrmSQH010 ------------------------------------------------------------------

TfrmSQH010::TfrmSQH010(db::Connection &connection, QWidget *parent)
    : TfrmZZH020(connection, QStringLiteral("frmSQH010"), parent) {
    setWindowTitle(QStringLiteral("사원조회"));
    resize(434, 547);
    auto *label = new QLabel(QStringLiteral("사 원 성 명"), panSearch);
    wedEmpName = new QLineEdit(panSearch);
    wedEmpName->setObjectName(QStringLiteral("wedEmpName"));
    m_searchRow->insertWidget(0, label);
    m_searchRow->insertWidget(1, wedEmpName, 1);
    wedEmpName->installEventFilter(this);
    rgrGrid->setColumns({column("DEPT_NAME", "부서", 160), column("EMP_POS_NAME", "직위", 70),
                         column("EMP_NO", "사원번호", 70, Qt::AlignCenter),
                         column("EMP_K_NAME", "사원성명", 100)});
    qryQuery->setSql(QStringLiteral(R"sql(
        SELECT DEPT_NAME,
            (
                SELECT DETAIL_NAME
                FROM ZX010MS
                WHERE HEAD = 'Q005'
                    AND DETAIL = EMP_POS_CODE
            ) AS EMP_POS_NAME,
            EMP_NO, EMP_K_NAME
        FROM QA010MS A
        LEFT JOIN QA160MS_DATE B ON B.DEPT_CODE = A.EMP_AFF_DEPT_CODE
            AND TO_CHAR(SYSDATE(), 'YYYYMMDD')
                BETWEEN TO_CHAR(B.BGN_DATE, 'YYYYMMDD') AND TO_CHAR(B.END_DATE, 'YYYYMMDD')
        WHERE EMP_STAY_CODE = '01'
            AND EMP_K_NAME LIKE :AEMP_NAME
        ORDER BY DEPT_CODE, EMP_K_NAME
    )sql"));
    StyleForm(this);
}

bool TfrmSQH010::eventFilter(QObject *watched, QEvent *event) {
    if (watched == wedEmpName && HandleConditionFieldEvent(wedEmpName, event, bbtSearch))
        return true;
    return TfrmZZH020::eventFilter(watched, event);
}

void TfrmSQH010::bbtSearchClick() {
    rgrGrid->setRowSet(nullptr);
    cdsQuery->close();
    qryQuery->setParam(QStringLiteral("AEMP_NAME"), wedEmpName->text() + u'%');
    OpenResult();
    TfrmZZH020::bbtSearchClick();
}

// ---- TfrmSZP000 ------------------------------------------------------------------

TfrmSZP000::TfrmSZP000(db::Connection &connection, const QString &name, const QString &upjangCode,
                       const QString &saleDate, QWidget *parent)
    : TfrmZZH020(connection, name, parent), m_footer(std::make_unique<db::Query>(connection)) {
    qryFooter = m_footer.get();
    resize(892, 573);
    const SaleDateField date = AddSaleDateField(panSearch, m_searchRow, saleDate);
    lblSaleDate = date.label;
    dedSaleDate = date.edit;
    bbtSearch->setFixedSize(100, 36);
    bbtOK->hide();
    bbtOK->setEnabled(false);
    for (QToolButton *b : {sbtFirst, sbtPrior, sbtNext, sbtLast}) {
        b->hide();
        b->setEnabled(false);
    }
    bbtClose->setFixedSize(100, 37);
    controls::GridOptions o = rgrGrid->options();
    o.footerHeight = 25;
    o.rowHeight = 25;
    o.headerRowHeight = 30;
    rgrGrid->setOptions(o);
    rgrGrid->onKeyDown = [](QKeyEvent *e) {
        return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    };
    if (!upjangCode.isEmpty())
        setProperty("AUPJANG_CODE", upjangCode);
    connect(dedSaleDate, &controls::DateEdit::closeUp, this, [this] { bbtSearch->click(); });
}

bool TfrmSZP000::event(QEvent *event) {
    const bool handled = TfrmZZH020::event(event);
    if (event->type() == QEvent::WindowActivate && isVisible()) // FormActivate: search again
        QMetaObject::invokeMethod(
            this, [this] { bbtSearch->click(); }, Qt::QueuedConnection);
    return handled;
}

void TfrmSZP000::bbtSearchClick() {
    TfrmZZH020::bbtSearchClick();
    ++m_searches;
    rgrGrid->setRowSet(nullptr);
    cdsQuery->close();
    qryFooter->close();
    BusyCursor busy;
    try {
        const QString date = DisplayToYmd(dedSaleDate->displayText());
        const QString upjang = property("AUPJANG_CODE").toString();
        for (db::Query *q : {qryQuery, qryFooter}) {
            if (q->hasParam(QStringLiteral("ASALE_DATE")))
                q->setParam(QStringLiteral("ASALE_DATE"), date);
            if (!upjang.isEmpty() && q->hasParam(QStringLiteral("AUPJANG_CODE")))
                q->setParam(QStringLiteral("AUPJANG_CODE"), upjang);
        }
        OpenResult();
        ShowFooterTotals(rgrGrid, qryFooter);
    } catch (const std::exception &e) {
        ShowErrorReport(e);
    }
}

// ---- TfrmSAH090 ------------------------------------------------------------------

TfrmSAH090::TfrmSAH090(db::Connection &connection, const QString &caption, const QString &statement,
                       const QString &param, QWidget *parent)
    : TfrmZZH010(connection, QStringLiteral("frmSAH090"), parent), m_statement(statement),
      m_param(param) {
    setWindowTitle(QStringLiteral("기본 Help"));
    resize(530, 295);
    lbl_Help_Form = new QLabel(caption, panSearch);
    lbl_Help_Form->setObjectName(QStringLiteral("lbl_Help_Form"));
    edtR_Help_Form = new QLineEdit(panSearch);
    edtR_Help_Form->setObjectName(QStringLiteral("edtR_Help_Form"));
    edtR_Help_Form->setAlignment(Qt::AlignCenter);
    m_searchRow->insertWidget(0, lbl_Help_Form);
    m_searchRow->insertWidget(1, edtR_Help_Form, 1);
    bbtCancel = FormButton(panButtons, "bbtCancel", QStringLiteral("취소(F8)"));
    m_buttonRow->insertWidget(m_buttonRow->indexOf(bbtOK), bbtCancel);
    bbtOK->setDefault(false);
    connect(bbtCancel, &QPushButton::clicked, this, [this] { bbtCancelClick(); });
    addHotkey(QKeySequence(Qt::Key_F8), [this] { bbtCancel->click(); });
    auto *layout = new QVBoxLayout(panMain);
    layout->setContentsMargins(0, 0, 0, 0);
    grdR_Help = new controls::Grid(panMain);
    grdR_Help->setObjectName(QStringLiteral("grdR_Help"));
    controls::GridOptions o;
    o.editing = false;
    o.rowSelect = true;
    o.selectionColor = QColor(193, 198, 219);
    o.selectionTextColor = Qt::black;
    grdR_Help->setOptions(o);
    layout->addWidget(grdR_Help);
    connect(grdR_Help, &controls::Grid::cellDoubleClicked, this,
            [this](int, int) { bbtOK->click(); });
    grdR_Help->onKeyDown = [this](QKeyEvent *e) {
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            bbtOK->click();
            return true;
        }
        return false;
    };
    edtR_Help_Form->installEventFilter(this);
}

void TfrmSAH090::showEvent(QShowEvent *event) {
    TfrmZZH010::showEvent(event);
    edtR_Help_Form->setFocus();
    bbtSearch->click();
}

bool TfrmSAH090::eventFilter(QObject *watched, QEvent *event) {
    if (watched == edtR_Help_Form && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            bbtSearch->click();
            bbtOK->click();
            return true;
        }
    }
    return TfrmZZH010::eventFilter(watched, event);
}

void TfrmSAH090::bbtCancelClick() {
    panSearch->setEnabled(true);
    bbtClose->setEnabled(true);
    grdR_Help->setColumns({});
    edtR_Help_Form->setFocus();
}

void TfrmSAH090::bbtSearchClick() {
    bbtCancelClick();
    TfrmZZH010::bbtSearchClick();
    int longest = 19;
    qryQuery->close();
    qryQuery->setSql(m_statement);
    if (qryQuery->hasParam(QStringLiteral("param")))
        qryQuery->setParam(QStringLiteral("param"), m_param);
    if (qryQuery->hasParam(QStringLiteral("aParam")))
        qryQuery->setParam(QStringLiteral("aParam"), u'%' + edtR_Help_Form->text() + u'%');
    qryQuery->open();
    // The title row first, then the rows to choose from.
    QStringList titles;
    for (int c = 0; c < qryQuery->fieldCount(); ++c)
        titles << qryQuery->text(c);
    std::vector<QStringList> rows;
    if (!qryQuery->eof())
        while (qryQuery->next()) {
            QStringList row;
            for (int c = 0; c < qryQuery->fieldCount(); ++c) {
                row << qryQuery->text(c);
                longest = std::max(longest, Cp949Length(row.back()));
            }
            rows.push_back(row);
        }
    qryQuery->close();
    bbtOK->setEnabled(!rows.empty() && !rows.front().value(0).isEmpty());
    std::vector<controls::GridColumn> columns;
    for (int c = 0; c < titles.size(); ++c) {
        controls::GridColumn col;
        col.field = QStringLiteral("F%1").arg(c);
        col.title = titles.at(c);
        col.width = 120;
        col.maxLength = 30;
        col.color = QColor(186, 235, 171);
        col.readOnly = true;
        columns.push_back(col);
    }
    grdR_Help->setColumns(columns);
    for (const QStringList &row : rows) {
        const int r = grdR_Help->gridModel()->appendRow();
        for (int c = 0; c < row.size(); ++c)
            grdR_Help->gridModel()->setValue(r, c, row.at(c));
    }
    grdR_Help->gridModel()->clearStatus();
    const int width = int(longest * 6.25);
    int total = 0;
    for (int c = 0; c < int(columns.size()); ++c) {
        grdR_Help->column(c).width = width;
        total += width;
    }
    grdR_Help->applyColumnLayout();
    resize(total + 50, height());
    if (!rows.empty())
        grdR_Help->setCurrentCell(0, 0);
}

void TfrmSAH090::bbtOKClick() {
    const int row = grdR_Help->currentRow();
    if (grdR_Help->rowCountFetched() > 0 && row >= 0) {
        m_code = grdR_Help->text(row, 0);
        m_name = grdR_Help->columns().size() > 1 ? grdR_Help->text(row, 1) : QString();
    }
    TfrmZZH010::bbtOKClick();
}

// ---- pickers ------------------------------------------------------------------

PickedCode PickCode(db::Connection &connection, const QString &set, bool onlyFlagged,
                    QWidget *parent) {
    PickedCode result;
    auto dialog = std::make_unique<TfrmSZP900>(connection, onlyFlagged, set, parent);
    if (dialog->exec() == QDialog::Accepted) {
        result.chosen = true;
        result.code = dialog->currentField(QStringLiteral("DETAIL"));
        result.name = dialog->currentField(QStringLiteral("DETAIL_NAME"));
    }
    return result;
}

QString PickEmployee(db::Connection &connection, const QString &current, QWidget *parent) {
    auto dialog = std::make_unique<TfrmSQH010>(connection, parent);
    if (dialog->exec() == QDialog::Accepted)
        return dialog->currentField(QStringLiteral("EMP_NO"));
    return current;
}

HelpResult ShowHelpDialog(db::Connection &connection, const QString &caption,
                          const QString &statement, const QString &param, QWidget *parent) {
    HelpResult result;
    auto dialog = std::make_unique<TfrmSAH090>(connection, caption, statement, param, parent);
    result.confirmed = dialog->exec() == QDialog::Accepted;
    if (result.confirmed)
        result.code = dialog->resultCode();
    result.name = dialog->resultName();
    return result;
}

} // namespace kelo
