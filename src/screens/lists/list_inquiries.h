#pragma once

// The list inquiries: one statement over a range of dates (or one date) whose rows fill the
// grid of the inquiry frame, which saves them as an Excel file. SBS040 and SBS050 also preview
// a report of the same range in a modal report viewer (SBP040, SBP050).

#include "controls/edits.h"
#include "framework/inquiry.h"

#include <QLabel>
#include <QRadioButton>
#include <memory>

namespace kelo::screens {

// The frame of the list inquiries: the date range "from ∼ to" (or the from-date alone) with
// the weekday the database gives beside each date, checked before every search.
class TfrmListInquiry : public TfrmZZS020 {
    Q_OBJECT
public:
    struct Setup {
        QString dateCaption;     // the label in front of the dates
        bool singleDate = false; // the to-date and its weekday hidden
        int fromDays = -1;       // the defaults: today shifted by so many days
        int toDays = -1;
    };

    TfrmListInquiry(db::Connection &connection, const QString &name, const Setup &setup,
                    QWidget *parent = nullptr);

    // Handlers.
    void bbtSearchClick() override;
    void med_Event_From_DateChange();
    void med_Event_To_DateChange();

    // The dates as the statements take them (YYYYMMDD).
    QString fromDate() const;
    QString toDate() const;

    // Components.
    QLabel *lbl_Event_Date;
    controls::MaskedEdit *med_Event_From_Date;
    controls::ValueLabel *wlb_Event_From_Yoil;
    QLabel *lbl_Event_Tilde;
    controls::MaskedEdit *med_Event_To_Date;
    controls::ValueLabel *wlb_Event_To_Yoil;

protected:
    // Sets the statement of the search into qryQuery (SBS040 and SBS050 choose one).
    virtual void prepareStatement() {}
    // Sets the parameters of qryQuery from the conditions.
    virtual void setParameters() = 0;
    // Date defaults and weekdays (and SBS050's lists) when the screen is first shown.
    virtual void FormShow();
    // True when the dates shown can be searched; otherwise the user is told which date is
    // wrong, the focus goes there and false comes back.
    bool checkDates();
    void showEvent(QShowEvent *event) override;

    // Where the screen's own conditions go in the search row: after the dates.
    int conditionsAt() const;

private:
    Setup m_setup;
    bool m_shown = false;
};

// Creates a parameter-only viewer screen (SBP040, SBP050) with the parameter string, shows it
// modally and frees it when it closes.
void ShowReportParamsModal(db::Connection &connection, const QString &programId,
                           const QString &params);

// SBS020: the room nights of complimentary and house-use guests by category.
class TfrmSBS020 : public TfrmListInquiry {
    Q_OBJECT
public:
    explicit TfrmSBS020(db::Connection &connection, QWidget *parent = nullptr);

protected:
    void setParameters() override;
};

// The staff sales-activity lists: the staff's statement (`RadioButton1` "직원", checked at
// start) or the head office's (`RadioButton2` "본사"), and a preview of the range in a modal
// report viewer screen.
class TfrmStaffSalesInquiry : public TfrmListInquiry {
    Q_OBJECT
public:
    TfrmStaffSalesInquiry(db::Connection &connection, const QString &name,
                          const QString &dateCaption, const QString &staffStatement,
                          const QString &headOfficeStatement, const QString &previewProgram,
                          QWidget *parent);
    void bbtPreviewClick() override;
    // The preview's parameter string.
    virtual QString previewParams() = 0;

    QRadioButton *RadioButton1; // 직원
    QRadioButton *RadioButton2; // 본사
    db::Query *qryEmp;
    db::Query *qryBonsa;

protected:
    void prepareStatement() override;
    void setParameters() override;

private:
    std::unique_ptr<db::Query> m_emp, m_bonsa;
    QString m_previewProgram;
};

// SBS040: the staff's sales activity by use date: rooms and golf rounds used by guests that
// staff members (직원) or the head office (본사) brought in.
class TfrmSBS040 : public TfrmStaffSalesInquiry {
    Q_OBJECT
public:
    explicit TfrmSBS040(db::Connection &connection, QWidget *parent = nullptr);
    // /rp [from] [to]
    QString previewParams() override;
};

// SBS050: the staff's sales-activity bookings by input date, with the department and team
// lists.
class TfrmSBS050 : public TfrmStaffSalesInquiry {
    Q_OBJECT
public:
    explicit TfrmSBS050(db::Connection &connection, QWidget *parent = nullptr);
    // /rp [from] [to] [department] [team], "전체" emptied.
    QString previewParams() override;

    QLabel *lblBusea;
    controls::ChoiceBox *wcbBusea; // 부서구분
    QLabel *lblDeptCode;
    controls::ChoiceBox *wcbDeptCode; // 팀구분

protected:
    void setParameters() override;
    void FormShow() override;

private:
    // "전체" in either list becomes the empty text, which stays on the screen.
    void emptyAllChoices();
};

// SRS330: the room and outlet sales of one day: the hotels' lines one by one, the outlets'
// totals in one row each.
class TfrmSRS330 : public TfrmListInquiry {
    Q_OBJECT
public:
    explicit TfrmSRS330(db::Connection &connection, QWidget *parent = nullptr);

protected:
    void setParameters() override;
};

// SRS340: the rooms occupied on one day with the day's room revenue of each.
class TfrmSRS340 : public TfrmListInquiry {
    Q_OBJECT
public:
    explicit TfrmSRS340(db::Connection &connection, QWidget *parent = nullptr);

protected:
    void setParameters() override;
};

} // namespace kelo::screens
