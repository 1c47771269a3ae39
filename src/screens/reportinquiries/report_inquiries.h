#pragma once

// The report inquiries: grid inquiry screens (TfrmZZS020) whose main area is the report viewer
// control Rdviewer401 instead of the grid. A search opens a report of the main report server
// with the screen's dates as a "/rp" parameter string (zoom 90 per cent, no fitting); the grid,
// Print, Preview and Excel are not used and hidden. Radio buttons and check boxes choose the
// report where a screen has more than one.
//
//   SBS310 RF gate use, SBS330 lift use by discount (a from- and a to-date);
//   SBS340, SBS341 online agencies' lift sales or commissions;
//   SBS350 lift discount rates by ticket kind against last year (a date of this year and one
//          of last year), SBS360 the same over three years;
//   SBS370 tourism association tickets by ticket kind or by member;
//   SPS010 the day's amounts, SPS050 the golf inquiry (one date of the calendar date edit).

#include "framework/inquiry.h"
#include "viewer/rdviewer.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QRadioButton>

namespace kelo::screens {

// What every report inquiry shares: the viewer over the main area and the search that opens
// the screen's report.
class TfrmReportInquiry : public TfrmZZS020 {
    Q_OBJECT
public:
    TfrmReportInquiry(db::Connection &connection, const QString &programId, QWidget *parent);

    void bbtSearchClick() override;

    // The report and the parameter string a search opens, from the inputs as they are.
    QString searchLocation() const;
    QString searchParams() const;

    viewer::Rdviewer40 *Rdviewer401;

protected:
    virtual QString reportName() const = 0;
    virtual QStringList reportValues() const = 0;
    // SPS010 and SPS050 open their report without the template's search step.
    bool m_inheritedSearch = true;
};

// SBS310 to SBS370: dates in masked edits with their weekday labels, set when the screen is
// created and again when it is first shown.
class TfrmEventDateInquiry : public TfrmReportInquiry {
    Q_OBJECT
public:
    struct DateInput {
        const char *caption;
        int daysFromToday;
    };

    // A date range (from, "∼", to) when second is null; otherwise separately captioned dates
    // (this year, last year and, with third, two years back).
    TfrmEventDateInquiry(db::Connection &connection, const QString &programId, DateInput first,
                         const DateInput *second, const DateInput *third, QWidget *parent);

    QString fromDate() const { return med_Event_From_Date->value(); }
    QString toDate() const { return med_Event_To_Date->value(); }

    QLabel *lblEventDate;
    controls::MaskedEdit *med_Event_From_Date;
    controls::ValueLabel *wlb_Event_From_Yoil;
    QLabel *lblEventToDate;
    controls::MaskedEdit *med_Event_To_Date;
    controls::ValueLabel *wlb_Event_To_Yoil;
    QLabel *lblThreeYearDate = nullptr;
    controls::MaskedEdit *med_Three_YearDate = nullptr;
    controls::ValueLabel *lbl_Three_YearDateYoil = nullptr;
    QRadioButton *RadioButton1 = nullptr;
    QRadioButton *RadioButton2 = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QCheckBox *chkPkg = nullptr;

protected:
    QStringList reportValues() const override;
    void showEvent(QShowEvent *event) override;
    void FormShow();
    void setDefaultDates();
    // Radio buttons (the first checked) and check boxes after the dates.
    void addRadioButtons(const char *first, const char *second);
    QCheckBox *addCheckBox(const char *name, const char *caption, bool checked);

private:
    struct DateField {
        controls::MaskedEdit *edit;
        QLabel *weekday;
        int daysFromToday;
    };
    std::vector<DateField> m_dates;
    bool m_shown = false;
};

// SPS010 and SPS050: one date in the calendar date edit, shown in the long date format and sent
// as yyyymmdd (its short date form through DisplayToYmd). Set when the screen is created.
class TfrmCalendarDateInquiry : public TfrmReportInquiry {
    Q_OBJECT
public:
    TfrmCalendarDateInquiry(db::Connection &connection, const QString &programId, int daysFromToday,
                            QWidget *parent);
    QLabel *lblInquiryDate;
    QDateEdit *twDateEdit;

protected:
    QStringList reportValues() const override;
};

class TfrmSBS310 : public TfrmEventDateInquiry {
    Q_OBJECT
public:
    explicit TfrmSBS310(db::Connection &connection, QWidget *parent = nullptr);

protected:
    QString reportName() const override;
};

class TfrmSBS330 : public TfrmEventDateInquiry {
    Q_OBJECT
public:
    explicit TfrmSBS330(db::Connection &connection, QWidget *parent = nullptr);

protected:
    QString reportName() const override;
};

// The online agencies: sales ("판매현황") or commissions ("수수료 현황").
class TfrmSBS340 : public TfrmEventDateInquiry {
    Q_OBJECT
public:
    explicit TfrmSBS340(db::Connection &connection, QWidget *parent = nullptr);

protected:
    TfrmSBS340(db::Connection &connection, const QString &programId, QWidget *parent);
    QString reportName() const override;
};

class TfrmSBS341 : public TfrmSBS340 {
    Q_OBJECT
public:
    explicit TfrmSBS341(db::Connection &connection, QWidget *parent = nullptr);

protected:
    QString reportName() const override;
};

class TfrmSBS350 : public TfrmEventDateInquiry {
    Q_OBJECT
public:
    explicit TfrmSBS350(db::Connection &connection, QWidget *parent = nullptr);

protected:
    QString reportName() const override;
};

class TfrmSBS360 : public TfrmEventDateInquiry {
    Q_OBJECT
public:
    explicit TfrmSBS360(db::Connection &connection, QWidget *parent = nullptr);

protected:
    QString reportName() const override;
};

class TfrmSBS370 : public TfrmEventDateInquiry {
    Q_OBJECT
public:
    explicit TfrmSBS370(db::Connection &connection, QWidget *parent = nullptr);

protected:
    QString reportName() const override;
};

class TfrmSPS010 : public TfrmCalendarDateInquiry {
    Q_OBJECT
public:
    explicit TfrmSPS010(db::Connection &connection, QWidget *parent = nullptr);

protected:
    QString reportName() const override;
};

class TfrmSPS050 : public TfrmCalendarDateInquiry {
    Q_OBJECT
public:
    explicit TfrmSPS050(db::Connection &connection, QWidget *parent = nullptr);

protected:
    QString reportName() const override;
};

// The report inquiries' program IDs and their screens (null for another ID).
const QStringList &ReportInquiryProgramIds();
TfrmReportInquiry *CreateReportInquiry(db::Connection &connection, const QString &programId,
                                       QWidget *parent = nullptr);

} // namespace kelo::screens
