#pragma once

// The report viewer screens: a frame around one report of the report server. The user picks
// a business date (or a month, an outlet, a hotel) and presses "조회"; the viewer control
// shows the report with those values as parameters, "출력" prints it. Every member is an
// entry of the member table in report_viewers.cpp (report, defaults, opening on creation,
// parameter string, viewer settings, inputs, close button); the screens are plain windows,
// hosted in a tab of the main window or shown as pop-ups.

#include "common/reportlocations.h"
#include "controls/edits.h"
#include "db/connection.h"
#include "viewer/rdviewer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QWidget>

class QHBoxLayout;

namespace kelo::screens {

// Outlet codes the target inquiries hand to their report pop-ups (process-wide, kept after
// the pop-up closes, read again by the next one).
namespace sri100 {
QString &HandoverDeptItem();
}
namespace sri120 {
QString &HandoverDeptItem();
}
namespace sri220 {
QString &HandoverDeptItem();
}

struct ViewerMember;

// What every viewer screen shares: the viewer control Rdviewer401 and the close protocol.
// In a tab the screen refuses to close and asks the main window (message 1314) to remove the
// active tab with it; as a window of its own it closes and frees itself.
class TfrmViewerBase : public QWidget {
    Q_OBJECT
public:
    // The component name and the caption are "frm" + program ID.
    TfrmViewerBase(db::Connection &connection, const QString &programId, QWidget *parent);

    db::Connection &connection() const { return m_connection; }
    QString programId() const { return objectName().mid(3); }
    bool isHosted() const { return !isWindow(); }

    viewer::Rdviewer40 *Rdviewer401;

protected:
    virtual bool FormCloseQuery();
    void closeEvent(QCloseEvent *event) override;

private:
    db::Connection &m_connection;
};

// A viewer screen with the panel of inputs and buttons (every member but the parameter-only
// ones). Inputs a member does not have are null.
class TfrmReportViewer : public TfrmViewerBase {
    Q_OBJECT
public:
    TfrmReportViewer(db::Connection &connection, const QString &programId,
                     QWidget *parent = nullptr);

    // Handlers.
    virtual void BitBtn1Click(); // "조회"
    void BitBtn2Click();         // "출력"
    void bbtCloseClick();        // "종료" of most members
    void BitBtn3Click();         // "종료" of the /rv members
    void btnMinusClick();
    void btnPlusClick();
    void bbt_Upjang_NoClick();
    void ChkCompClick();
    void chkPkgClick();

    // The report and the parameter string a search opens, from the inputs as they are.
    QString searchLocation() const;
    QString searchParams() const;

    // The inputs' texts: F, T and M of the member table.
    QString fromDate() const { return FromDate->value(); }
    QString toDate() const { return ToDate->value(); }
    QString month() const { return medMonth ? medMonth->value() : QString(); }

    // Components.
    QWidget *Panel2;
    QWidget *Panel1;
    QLabel *Lbl_Date;
    controls::MaskedEdit *FromDate;
    QLabel *Label1;
    controls::MaskedEdit *ToDate;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;
    QPushButton *bbtClose = nullptr;
    QPushButton *BitBtn3 = nullptr;
    // Month members (SRS170, SRS186).
    QLabel *lblMonth = nullptr;
    QToolButton *btnMinus = nullptr;
    QToolButton *btnPlus = nullptr;
    controls::MaskedEdit *medMonth = nullptr;
    // SRS180.
    QRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr, *RadioButton3 = nullptr;
    // SRS181.
    QLineEdit *edt_Upjang_No = nullptr;
    QToolButton *bbt_Upjang_No = nullptr;
    QLabel *wlb_Upjang_No = nullptr;
    // SRS182, SRS183, SRS187.
    QComboBox *cmbHotel = nullptr;
    QComboBox *cmbMemGubun = nullptr;
    QComboBox *CmbWeekGubun = nullptr;
    QCheckBox *ChkComp = nullptr;
    QCheckBox *chkPkg = nullptr;

protected:
    const ViewerMember &member() const { return *m_member; }
    // OpenReport with the location and parameters, the viewer settings around it.
    void openReport(bool creation);
    void FormCreate();

private:
    void buildMonthInputs(QHBoxLayout *row);
    void buildExtraInputs(QHBoxLayout *row);
    void stepMonth(int direction);

    const ViewerMember *m_member;
};

// The parameter-only members (STP010, SBP040, SBP050): the viewer fills the window and opens,
// when the screen is first shown, with the parameter string its creator put in ReportParams.
class TfrmParamViewer : public TfrmViewerBase {
    Q_OBJECT
public:
    TfrmParamViewer(db::Connection &connection, const QString &programId,
                    QWidget *parent = nullptr);
    QString ReportParams;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_shown = false;
};

// The statement of the hotel outlet help (ShowHelpDialog): outlets whose code begins with "10",
// without 6001, filtered by "param" (the outlet type, empty for all) and "aParam"; the first
// row holds the column titles.
const QString &HotelOutletHelp();

// The program IDs of the viewer screens that are menu programs.
const QStringList &ViewerProgramIds();
// Every viewer screen by program ID (frame members, the data-build members and the
// parameter-only ones); null for another ID.
QWidget *CreateViewerScreen(db::Connection &connection, const QString &programId,
                            QWidget *parent = nullptr);

} // namespace kelo::screens
