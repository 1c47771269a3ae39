#include "screens/reports/srs010_report_output.h"

#include "common/dates.h"
#include "common/dialogs.h"
#include "common/functions.h"
#include "common/globals.h"
#include "common/silentstop.h"
#include "framework/screenhelpers.h"
#include "report/output.h"
#include "screens/reports/reports.h"

#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLocale>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace kelo::screens {

namespace {

const QString kProgressSuffix = QStringLiteral(" 출력 중..");

QCheckBox *ReportBox(QGroupBox *box, QVBoxLayout *rows, int number) {
    for (const DailyReportStep &step : DailyReportSteps())
        if (step.box == number) {
            auto *check = new QCheckBox(step.caption, box);
            check->setObjectName(QStringLiteral("ckbReport%1").arg(number));
            check->setChecked(true);
            check->setProperty("box", number);
            rows->addWidget(check);
            return check;
        }
    return nullptr;
}

} // namespace

TfrmSRS010::TfrmSRS010(db::Connection &connection, QWidget *parent)
    : TfrmZZS010(connection, QStringLiteral("frmSRS010"), parent),
      m_proc(std::make_unique<db::StoredProc>(connection)) {
    setWindowTitle(QStringLiteral("리포트 출력"));
    // No search and no grid: the date is part of the work area.
    panSearch->hide();
    panSearch->setEnabled(false);

    // The business date with its weekday.
    panTask = new QWidget(panMain);
    panTask->setObjectName(QStringLiteral("panTask"));
    auto *task = new QHBoxLayout(panTask);
    task->setContentsMargins(0, 0, 0, 0);
    lblSaleDate = new QLabel(QStringLiteral("영 업 일 자"), panTask);
    lblSaleDate->setObjectName(QStringLiteral("lblSaleDate"));
    medSaleDate = DateField(panTask, "medSaleDate", {.mask = "9999-99-99;0; ", .centred = true});
    const QString yesterday = ShiftDays(TodayYmd(), -1);
    medSaleDate->setValue(yesterday);
    medSaleDate->installEventFilter(this);
    wlbSaleDate = new controls::ValueLabel(panTask);
    wlbSaleDate->setObjectName(QStringLiteral("wlbSaleDate"));
    wlbSaleDate->setAlignment(Qt::AlignCenter);
    wlbSaleDate->setMinimumWidth(80);
    // The weekday of the date the screen opened with; it stays when the date is changed.
    wlbSaleDate->setText(QLocale::system().toString(
        QDate::fromString(yesterday, QStringLiteral("yyyyMMdd")), QStringLiteral("dddd")));
    task->addWidget(lblSaleDate);
    task->addWidget(medSaleDate);
    task->addWidget(wlbSaleDate);
    panTask->adjustSize();

    // The reports, all ticked.
    grbBox = new QGroupBox(QStringLiteral("  *  리포트 선택  *  "), panMain);
    grbBox->setObjectName(QStringLiteral("grbBox"));
    auto *rows = new QVBoxLayout(grbBox);
    rows->setContentsMargins(24, 16, 24, 12);
    rows->setSpacing(8);
    ckbReport1 = ReportBox(grbBox, rows, 1);
    ckbReport2 = ReportBox(grbBox, rows, 2);
    ckbReport3 = ReportBox(grbBox, rows, 3);
    ckbReport4 = ReportBox(grbBox, rows, 4);
    ckbReport5 = ReportBox(grbBox, rows, 5);
    ckbReport6 = ReportBox(grbBox, rows, 6);
    ckbReport8 = ReportBox(grbBox, rows, 8);
    ckbReport9 = ReportBox(grbBox, rows, 9);
    grbBox->setMinimumWidth(320);
    grbBox->adjustSize();

    // The progress of a print run.
    panTasking = new QFrame(panMain);
    panTasking->setObjectName(QStringLiteral("panTasking"));
    panTasking->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panTasking->setAutoFillBackground(true);
    auto *tasking = new QVBoxLayout(panTasking);
    panMessage = new QLabel(panTasking);
    panMessage->setObjectName(QStringLiteral("panMessage"));
    panMessage->setAlignment(Qt::AlignCenter);
    panMessage->setStyleSheet(QStringLiteral("color: red; font-weight: bold; font-size: 14pt;"));
    ProgressBar1 = new QProgressBar(panTasking);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    tasking->addWidget(panMessage);
    tasking->addWidget(ProgressBar1);
    panTasking->resize(420, 90);
    panTasking->hide();

    // The button bar: the note at the left, the data build before Print.
    lblOnlyNet = new QLabel(QStringLiteral("** Only NET"), panButtons);
    lblOnlyNet->setObjectName(QStringLiteral("lblOnlyNet"));
    lblOnlyNet->setStyleSheet(QStringLiteral("color: blue; font-weight: bold;"));
    m_buttonRow->insertWidget(0, lblOnlyNet);
    bbtSave =
        FormButton(panButtons, "bbtSave", QStringLiteral("집계 데이타 생성(F2)"), QSize(150, 25));
    EmphasizeButton(bbtSave, Qt::red);
    m_buttonRow->insertWidget(m_buttonRow->indexOf(bbtPrint), bbtSave);
    connect(bbtSave, &QPushButton::clicked, this, [this] { bbtSaveClick(); });
    addHotkey(QKeySequence(Qt::Key_F2), [this] { bbtSaveClick(); });

    PrepareDataBuild(*m_proc);
    prcSProc = m_proc.get();

    outputReport = [this](TfrmZZP010 &report, bool preview) {
        if (preview) {
            report.preview();
            return;
        }
        const report::PrintOutcome outcome = report.print();
        if (!outcome.pdfPath.isEmpty())
            ShowStatusMessage(QStringLiteral("프린터가 없어 PDF로 저장하였습니다: ") +
                              QFileInfo(outcome.pdfPath).absolutePath());
    };

    setTabOrder(medSaleDate, ckbReport1);
    medSaleDate->setFocus();
    placePanels();
}

TfrmSRS010::~TfrmSRS010() = default;

QList<QCheckBox *> TfrmSRS010::reportBoxes() const {
    return {ckbReport1, ckbReport2, ckbReport3, ckbReport4,
            ckbReport5, ckbReport6, ckbReport8, ckbReport9};
}

QStringList TfrmSRS010::StepReports(const QCheckBox *box) {
    for (const DailyReportStep &step : DailyReportSteps())
        if (step.box == box->property("box").toInt())
            return step.programIds;
    return {};
}

void TfrmSRS010::FormResize() {
    TfrmZZS010::FormResize();
    placePanels();
}

void TfrmSRS010::placePanels() {
    const int w = panMain->width();
    const int h = panMain->height();
    panTask->move(qMax(0, (w - panTask->width()) / 2), 30);
    grbBox->move(qMax(0, (w - grbBox->width()) / 2), panTask->y() + panTask->height() + 20);
    panTasking->move(qMax(0, (w - panTasking->width()) / 2),
                     qMax(0, (h - panTasking->height()) / 2));
}

bool TfrmSRS010::eventFilter(QObject *watched, QEvent *event) {
    if (watched == medSaleDate) {
        if (event->type() == QEvent::FocusIn) {
            edtEnter(medSaleDate);
            SetInputColor(medSaleDate, true);
        } else if (event->type() == QEvent::FocusOut) {
            edtExit(medSaleDate);
            SetInputColor(medSaleDate, false);
        }
    }
    return TfrmZZS010::eventFilter(watched, event);
}

bool TfrmSRS010::checkDate() {
    if (IsValidYmd(medSaleDate->value()))
        return true;
    ShowError(QStringLiteral("입력된 영업일자가 정확하지 않습니다."));
    medSaleDate->setFocus();
    return false;
}

void TfrmSRS010::bbtSaveClick() {
    RequireActive(bbtSave);
    if (!checkDate())
        return;
    if (!AskYesNo(QStringLiteral("1. 해당 영업일자의 기존 데이타는 모두 삭제됩니다.\r\r2. "
                                 "수작업으로 입력및수정한 데이타는 복원할 수 없습니다.\r\r"
                                 "계속하시겠습니까?")))
        return;
    ShowStatusMessage(QString());
    BusyCursor busy;
    OpenForSave(connection());
    try {
        const GlobalValues &g = Globals();
        SaveInTransaction(connection(), this, [&] {
            RunDataBuild(*m_proc, medSaleDate->value(), g.empNo, g.clientIP);
        });
        ShowStatusMessage(QStringLiteral("자료를 저장하였습니다."));
    } catch (const std::exception &e) {
        ShowErrorReport(e);
    }
}

void TfrmSRS010::bbtPrintClick() {
    bbtPrintClick(bbtPrint);
}

void TfrmSRS010::bbtPreviewClick() {
    bbtPrintClick(bbtPreview);
}

void TfrmSRS010::ShowProgress(QObject *sender, const QString &text) {
    if (sender == bbtPrint && !text.isEmpty()) {
        // A check box's caption doubles its ampersand; the message shows one.
        panMessage->setText(QString(text).replace(QStringLiteral("&&"), QStringLiteral("&")) +
                            kProgressSuffix);
        placePanels();
        panTasking->show();
        panTasking->raise();
        panTasking->repaint();
        panMessage->repaint();
    } else {
        panTasking->hide();
    }
}

void TfrmSRS010::setRunning(bool running) {
    bbtPrint->setEnabled(!running);
    bbtPreview->setEnabled(!running);
    bbtClose->setEnabled(!running);
}

void TfrmSRS010::bbtPrintClick(QObject *sender) {
    const bool preview = sender == bbtPreview;
    ShowStatusMessage(QString());
    RequireActive(preview ? bbtPreview : bbtPrint);
    if (!checkDate())
        return;
    const QString date = medSaleDate->value();
    setRunning(true);
    auto done = qScopeGuard([this] {
        ShowProgress(nullptr, QString());
        setRunning(false);
    });
    QList<QCheckBox *> ticked;
    for (QCheckBox *box : reportBoxes())
        if (box->isChecked())
            ticked << box;
    ProgressBar1->setMaximum(int(ticked.size()));
    ProgressBar1->setValue(0);
    try {
        for (QCheckBox *box : ticked) {
            ProgressBar1->setValue(ProgressBar1->value() + 1);
            ShowProgress(preview ? bbtPreview : bbtPrint, box->text());
            for (const QString &id : StepReports(box)) {
                std::unique_ptr<TfrmZZP010> report = CreateReport(id, connection(), date);
                if (!report)
                    throw std::runtime_error(
                        QStringLiteral("%1: 출력할 리포트가 없습니다.").arg(id).toStdString());
                report->openData();
                outputReport(*report, preview);
            }
        }
    } catch (const SilentStop &) {
        throw;
    } catch (const std::exception &e) {
        done.dismiss();
        ShowProgress(nullptr, QString());
        setRunning(false);
        ShowErrorReport(e);
    }
}

} // namespace kelo::screens
