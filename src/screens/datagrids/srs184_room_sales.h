#pragma once

// SRS184: the room sales of a hotel per stay and night over a period, with the other charges,
// additional sales and adjustments, filtered by guest kind, room type, weekday or weekend,
// exclusive use, other sales, complimentary rooms and the government-agency guest types; the
// list goes to an Excel file. Nothing is written to the database.

#include "controls/edits.h"
#include "framework/editablegrid.h"
#include "screens/datagrids/event_dates.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace kelo::screens {

class TfrmSRS184 : public TfrmZZI090 {
    Q_OBJECT
public:
    explicit TfrmSRS184(db::Connection &connection, QWidget *parent = nullptr);

    void bbtSearchClick() override;
    void bbt_Upjang_NoClick();
    void bbt_Room_TypeClick();
    void bbtExcelClick();

    controls::MaskedEdit *med_Event_From_Date;
    QLabel *wlb_Event_From_Yoil;
    controls::MaskedEdit *med_Event_To_Date;
    QLabel *wlb_Event_To_Yoil;
    QLineEdit *edt_Upjang_No;
    QToolButton *bbt_Upjang_No;
    QLabel *wlb_Upjang_No;
    QLineEdit *edt_Room_Type;
    QToolButton *bbt_Room_Type;
    QLabel *wlbl_Room_Type;
    QComboBox *cmbMemGubun;
    QComboBox *CmbWeekGubun;
    QCheckBox *ChkExCode;
    QCheckBox *ChkSaleGubun;
    QCheckBox *ChkCompOnly;
    QCheckBox *CheckBox1;
    QPushButton *bbtExcel;
    db::Query *qryTotal;
    db::Query *qryCompOnly;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    std::unique_ptr<db::Query> m_total, m_compOnly;
    bool m_shown = false;
};

} // namespace kelo::screens
