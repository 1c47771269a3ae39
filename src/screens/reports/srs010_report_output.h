#pragma once

#include "controls/edits.h"
#include "db/storedproc.h"
#include "framework/inquiry.h"
#include "framework/reportframe.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <functional>
#include <memory>

namespace kelo::screens {

// SRS010 "리포트 출력": for one business date, rebuilds the day's report figures
// (PR_SA000MS_01, after a warning) and prints or previews the ticked daily reports one
// after another. An inquiry screen without search and grid.
class TfrmSRS010 : public TfrmZZS010 {
    Q_OBJECT
public:
    explicit TfrmSRS010(db::Connection &connection, QWidget *parent = nullptr);
    ~TfrmSRS010() override;

    // The data build (F2).
    void bbtSaveClick();
    // The report run: printing from the print button and F11, previewing from the
    // preview button and Shift+F11.
    void bbtPrintClick() override;
    void bbtPreviewClick() override;
    void bbtPrintClick(QObject *sender);

    // The progress display: the caption followed by " 출력 중.." while printing,
    // hidden otherwise.
    void ShowProgress(QObject *sender, const QString &text);

    // The check boxes in the order their reports run.
    QList<QCheckBox *> reportBoxes() const;
    // The program IDs a box's step prints: SRP060 is followed by SRP070.
    static QStringList StepReports(const QCheckBox *box);

    // How a created report goes out; by default printed or previewed (returning when
    // its window has been closed). A print written as a PDF for want of a printer is
    // named in the status bar.
    std::function<void(TfrmZZP010 &report, bool preview)> outputReport;

    QWidget *panTask;
    QLabel *lblSaleDate;
    controls::MaskedEdit *medSaleDate;
    controls::ValueLabel *wlbSaleDate;
    QGroupBox *grbBox;
    QCheckBox *ckbReport1, *ckbReport2, *ckbReport3, *ckbReport4, *ckbReport5, *ckbReport6,
        *ckbReport8, *ckbReport9;
    QFrame *panTasking;
    QLabel *panMessage;
    QProgressBar *ProgressBar1;
    QLabel *lblOnlyNet;
    QPushButton *bbtSave;
    db::StoredProc *prcSProc;

protected:
    void FormResize() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The date check of both actions: false (after the message) when the date is not valid.
    bool checkDate();
    void placePanels();
    void setRunning(bool running);

    std::unique_ptr<db::StoredProc> m_proc;
};

} // namespace kelo::screens
