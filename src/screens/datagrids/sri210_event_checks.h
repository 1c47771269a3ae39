#pragma once

// SRI210: the confirmed banquet events that run on the day after a report date, each with its
// mark for the daily business report ("체크"); the marks are saved through PR_FA091MS_01.

#include "controls/edits.h"
#include "framework/editablegrid.h"
#include "screens/datagrids/event_dates.h"

#include <QCheckBox>
#include <QLabel>

namespace kelo::screens {

class TfrmSRI210 : public TfrmZZI090 {
    Q_OBJECT
public:
    explicit TfrmSRI210(db::Connection &connection, QWidget *parent = nullptr);

    void bbtSearchClick() override;
    void bbtSaveClick() override;
    // Sets every row's "체크": "Y" when the box is ticked, "N" otherwise.
    void ckbAllYnClick();
    void med_Event_From_DateChange();
    void med_Event_To_DateChange();

    static const QString &Statement();

    controls::MaskedEdit *med_Event_From_Date;
    QLabel *wlb_Event_From_Yoil;
    QLabel *lblTilde;
    controls::MaskedEdit *med_Event_To_Date;
    QLabel *wlb_Event_To_Yoil;
    QCheckBox *ckbAllYn;

    // The column of the marks.
    static constexpr int kCheckColumn = 6;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    bool m_shown = false;
};

} // namespace kelo::screens
