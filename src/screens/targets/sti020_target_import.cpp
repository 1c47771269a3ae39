#include "common/dates.h"
#include "common/dialogs.h"
#include "common/functions.h"
#include "common/globals.h"
#include "common/silentstop.h"
#include "framework/screenhelpers.h"
#include "framework/statusbar.h"
#include "screens/targets/target_import.h"
#include "spreadsheet/spreadsheet.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QResizeEvent>
#include <QScopeGuard>

namespace kelo::screens {

namespace {

// Every row of the sheet as it stands; the division is always '11'. A figure that is not a
// number (a heading's "Guests") refuses its row on every engine.
const QString kInsert = QStringLiteral(R"sql(
    INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT, REMARKS, U_EMP_NO,
        U_DATE, U_IP)
    VALUES (:pSALE_DATE, :pUPJANG_CODE, '11', TO_NUMBER(:pGUESTS), TO_NUMBER(:pSALE_AMT),
        :pREMARKS, :pEMP_NO, SYSDATE(), :pU_IP)
)sql");

// How many refusals the completion message names.
constexpr int kReasonsShown = 5;

// The most rows an import takes into the grid: the row count of the older spreadsheet format,
// many times a year of daily targets for every outlet. A sheet with a value past it is
// refused with a message that names the limit.
constexpr int kMaxImportRows = 65'536;

QLabel *sunkenPanel(QWidget *parent, const char *name, int width) {
    auto *panel = new QLabel(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFixedWidth(width);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    return panel;
}

} // namespace

TfrmSTI020::TfrmSTI020(db::Connection &connection, QWidget *parent)
    : TfrmTargetInquiry(connection, QStringLiteral("frmSTI020"),
                        Setup{.dates = Dates::Month,
                              .kind = CodeKind::Outlet,
                              .codeCaption = QStringLiteral("영업장"),
                              .paintColumn = -1,
                              .clearCodeOnCancel = false,
                              .dateCaption = QStringLiteral("목표등록 월"),
                              .writes = true},
                        parent) {
    setWindowTitle(QStringLiteral("frmSTI020"));
    controls::GridColumn date = TextColumn("SALE_DATE", "목표등록일자", 100, {});
    date.alignment = Qt::AlignCenter;
    controls::GridColumn outlet = TextColumn("UPJANG_CODE", "업장코드", 70, {});
    outlet.alignment = Qt::AlignCenter;
    rgrGrid->setColumns({date, outlet, FigureColumn("DIVISION", "Division", 70, {}),
                         FigureColumn("GUESTS", "Guests", 90, {}),
                         FigureColumn("SALE_AMT", "목표금액", 130, {}),
                         TextColumn("REMARK", "REMARK", 200, {})});

    // The sheet's name in the search panel, the count and the update on the button bar.
    auto *nameCaption = new QLabel(QStringLiteral("[테이블명]"), panSearch);
    nameCaption->setObjectName(QStringLiteral("lblName"));
    panName = sunkenPanel(panSearch, "panName", 100);
    int next = m_searchRow->indexOf(wlb_Upjang_No) + 1;
    m_searchRow->insertSpacing(next++, 16);
    m_searchRow->insertWidget(next++, nameCaption);
    m_searchRow->insertWidget(next++, panName);
    auto *countCaption = new QLabel(QStringLiteral("[입력건수]"), panButtons);
    countCaption->setObjectName(QStringLiteral("lblCnt"));
    panCnt = sunkenPanel(panButtons, "panCnt", 60);
    panCnt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    panCnt->setText(QStringLiteral("0"));
    btnSave1 = FormButton(panButtons, "btnSave1", QStringLiteral(" 업데이트"));
    btnSave1->setFixedWidth(100);
    int at = m_buttonRow->indexOf(bbtSave);
    m_buttonRow->insertWidget(at++, countCaption);
    m_buttonRow->insertWidget(at++, panCnt);
    m_buttonRow->insertWidget(at++, btnSave1);
    // Fourteen controls share this bar: with narrower gaps they stand apart on a desk of 1024
    // pixels too (about 1,000 pixels of buttons and gaps).
    m_buttonRow->setSpacing(4);
    connect(btnSave1, &QPushButton::clicked, this, [this] { btnSave1Click(); });

    stbMessage->setPanelWidth(0, 120);
    stbMessage->setPanelAlignment(0, Qt::AlignHCenter);
    stbMessage->setPanelText(0, QStringLiteral("메세지"));
    stbMessage->setPanelWidth(1, 650);
    stbMessage->setPanelWidth(2, 120);
    stbMessage->setPanelAlignment(2, Qt::AlignHCenter);
    stbMessage->setPanelWidth(3, 500);
    stbMessage->setPanelAlignment(3, Qt::AlignHCenter);

    // The gauge over the message panel, hidden until an import or update runs.
    gauge = new QProgressBar(stbMessage);
    gauge->setObjectName(QStringLiteral("gauge"));
    gauge->setTextVisible(false);
    gauge->setStyleSheet(QStringLiteral("QProgressBar { background: white; border: 1px solid "
                                        "gray; } QProgressBar::chunk { background: navy; }"));
    gauge->setRange(0, 0);
    gauge->setValue(0);
    gauge->hide();
    SetSearchMode(true);
    ResetImport();
}

TfrmSTI020::~TfrmSTI020() = default;

void TfrmSTI020::resizeEvent(QResizeEvent *event) {
    TfrmTargetInquiry::resizeEvent(event);
    const int first = stbMessage->panelWidth(0);
    gauge->setGeometry(first + 3, 2, stbMessage->panelWidth(1) - 5, stbMessage->height() - 3);
    // The columns follow the grid's panel, whose new width the base screen hands on.
}

void TfrmSTI020::applyColumnWidths(int width) {
    int used = 0;
    for (int c = 0; c < 5; ++c)
        used += rgrGrid->columnWidth(c);
    rgrGrid->setColumnWidth(5, width - used);
}

void TfrmSTI020::ResetImport() {
    rgrGrid->setPlain();
    rgrGrid->gridModel()->appendRow();
    panName->clear();
    panCnt->setText(QStringLiteral("0"));
    applyColumnWidths(Panel1->width()); // emptying the grid set its defined widths again
}

bool TfrmSTI020::ImportFile(const QString &path) {
    ResetImport();
    auto hideGauge = qScopeGuard([this] { gauge->hide(); });
    SpreadsheetLimits limits;
    limits.rows = kMaxImportRows;
    SpreadsheetReader reader(limits);
    if (!reader.open(path)) {
        ResetImport();
        ShowError(reader.error());
        return false;
    }
    const int rows = reader.rowCount();
    panName->setText(reader.sheetName());
    gauge->setRange(0, std::max(rows - 1, 0));
    gauge->setValue(0);
    gauge->show();
    controls::GridModel *model = rgrGrid->gridModel();
    model->deleteRow(0); // the reset's empty row; every sheet row appends its own
    const bool whole = reader.readRows(6, [&](int, const QStringList &cells) {
        const int row = model->appendRow();
        for (int c = 0; c < 6 && c < cells.size(); ++c)
            model->setValue(row, c, cells.at(c));
        gauge->setValue(gauge->value() + 1);
        return true;
    });
    if (!whole) {
        ResetImport();
        ShowError(reader.error());
        return false;
    }
    if (model->rowCount() == 0)
        model->appendRow();
    panCnt->setText(QString::number(rows));
    return true;
}

void TfrmSTI020::bbtSearchClick() {
    // The import runs in either mode; the screen then stays in (or enters) edit mode.
    ShowStatusMessage(QString());
    const QString path = Dialogs::instance().getOpenFileName(QString(), QString(), QString());
    if (!path.isEmpty()) {
        BusyCursor busy;
        SheetLoaded = ImportFile(path);
    }
    if (bbtSearch->isVisible() && bbtSearch->isEnabled())
        EnterEditMode();
}

void TfrmSTI020::btnSave1Click() {
    RequireActive(btnSave1);
    if (!SheetLoaded)
        return;
    stbMessage->setPanelText(1, QStringLiteral("영업장 목표 정보를 업데이트 합니다."));
    stbMessage->repaint();
    const int count = panCnt->text().toInt();
    gauge->setRange(0, count);
    gauge->setValue(0);
    gauge->show();
    BusyCursor busy;
    UploadResult result;
    db::Query insert(connection());
    insert.setSql(kInsert);
    const GlobalValues &g = Globals();
    for (int r = 0; r < rgrGrid->rowCountFetched(); ++r) {
        ++result.read;
        insert.setParam(QStringLiteral("pSALE_DATE"), rgrGrid->text(r, 0));
        insert.setParam(QStringLiteral("pUPJANG_CODE"), rgrGrid->text(r, 1));
        insert.setParam(QStringLiteral("pGUESTS"), rgrGrid->text(r, 3));
        insert.setParam(QStringLiteral("pSALE_AMT"), rgrGrid->text(r, 4));
        insert.setParam(QStringLiteral("pREMARKS"), rgrGrid->text(r, 5));
        insert.setParam(QStringLiteral("pEMP_NO"), g.empNo);
        insert.setParam(QStringLiteral("pU_IP"), g.clientIP);
        try {
            // Each row stands by itself: a refused row leaves the others stored.
            insert.exec();
            ++result.stored;
            gauge->setValue(gauge->value() + 1);
        } catch (const std::exception &e) {
            ++result.refused;
            if (result.reasons.size() < kReasonsShown)
                result.reasons << QStringLiteral("%1행: %2")
                                      .arg(r + 1)
                                      .arg(QString::fromUtf8(e.what()).simplified());
        }
    }
    lastUpload = result;
    QString message = QStringLiteral("업데이트가 완료 되었습니다.") + QString::number(count);
    message += QStringLiteral("\r\r저장 %1건, 거부 %2건").arg(result.stored).arg(result.refused);
    for (const QString &reason : result.reasons)
        message += QStringLiteral("\r") + reason;
    if (result.refused > result.reasons.size())
        message += QStringLiteral("\r…");
    gauge->hide();
    ShowMessage(message);
    stbMessage->repaint();
}

void TfrmSTI020::bbtSaveClick() {
    // The grid's rows are written by the update; the template's log has nothing to send.
    RequireActive(bbtSave);
    ShowError(QStringLiteral("변경된 내용이 없습니다."));
    throw SilentStop();
}

void TfrmSTI020::bbtPreviewClick() {
    RequireActive(bbtPreview);
    HandoverWorkDate() = workDate();
}

} // namespace kelo::screens
