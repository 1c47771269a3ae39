#pragma once

// The print report frame: the report screen every printed report derives from. A
// report screen is never shown; it holds the report definition, its data sets on the
// shared connection and its handlers, for one business date.

#include "report/output.h"
#include "report/paginator.h"

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace kelo {

// Colours of the printed reports.
inline const QColor kTotalShade(223, 223, 223); // total rows
inline const QColor kRowWhite(255, 255, 255);   // other rows
inline const QColor kButtonFace(212, 208, 200); // the system's button face, a light grey

// The print handler of repeat suppression: a text equal to the one this item printed
// last prints empty. The remembered value lives in the report screen (starting empty)
// and is kept across pages, so a group name prints only on its group's first row.
std::function<void(report::Item &, QString &)> SuppressRepeats(QString &last);

// The base report screen TfrmZZP010 (A4 portrait): the main rows cdsQuery, the report
// definition qrpReport with the title band qrbHeader and the page footer qrbFooter,
// and the common header query qrySys.
//
// Use: create the screen for a business date; openData(); then print(), preview()
// or writePdf(). A database error while the data opens is a db::DbError with the
// database's text; nothing is printed or written then.
class TfrmZZP010 : public QObject {
    Q_OBJECT
public:
    // programId: "SRP020"; the screen's name is "frm" + programId.
    TfrmZZP010(db::Connection &connection, const QString &programId, const QString &saleDate,
               const QString &caption);
    ~TfrmZZP010() override;

    db::Connection &connection() const { return m_connection; }
    QString programId() const { return objectName().mid(3); }
    const QString &saleDate() const { return m_saleDate; }
    // A composite gives its members the date when it prints them.
    void setSaleDate(const QString &saleDate) { m_saleDate = saleDate; }
    const QString &caption() const { return m_caption; }

    // Opens the report's data sets: main rows, list, sub-totals, header, as far as the
    // report has them.
    virtual void openData();
    // The definitions printed as one job: the report's own; a composite's members.
    virtual std::vector<report::ReportDefinition *> definitions();

    // The pages of the job, printed now.
    report::Document paginate();
    // To the default printer; without a printer as a PDF in the report folder.
    report::PrintOutcome print();
    // The preview; returns when its window has been closed.
    void preview();
    void writePdf(const QString &path);

    // Components.
    report::DataSet cdsQuery; // the main rows (qryQuery read through dspQuery)
    report::DataSet qrySys;   // the common header: SALE_DATE, WEATHER
    report::ReportDefinition qrpReport;
    report::Band &qrbHeader;
    report::Band &qrbFooter;

protected:
    // Binds the business date to ASALE_DATE of a data set's statement (where it has one).
    void bindDate(report::DataSet &set);
    // Binds the date to each data set and opens them in the order given.
    void openInOrder(std::initializer_list<report::DataSet *> sets);
    // The title band as the daily reports print it: "Kelo Resort", the title at the
    // top left in 12 pt bold, qrySys's date at the left and weather at the right.
    void useReportTitle(const QString &title);
    bool usesHeader() const { return m_usesHeader; }
    // Lays the frame's items out across the page's width (after a change of paper).
    void placeFrameItems();

private:
    db::Connection &m_connection;
    QString m_saleDate;
    QString m_caption;
    bool m_usesHeader = false;
};

// The members of a composite report as one job: the first starts a page, the others
// follow on; each gets the composite's business date and opens its data.
std::vector<report::ReportDefinition *> JoinMembers(std::initializer_list<TfrmZZP010 *> members,
                                                    const QString &saleDate);

// The landscape report screen TfrmZZP020: TfrmZZP010 on A4 landscape, its bands and
// header and footer items widened to the page.
class TfrmZZP020 : public TfrmZZP010 {
    Q_OBJECT
public:
    TfrmZZP020(db::Connection &connection, const QString &programId, const QString &saleDate,
               const QString &caption);
};

} // namespace kelo
