#pragma once

#include "controls/edits.h"
#include "controls/grid.h"
#include "db/rowset.h"
#include "framework/resultgrid.h"
#include "framework/workscreen.h"

#include <QMenu>
#include <QTabWidget>
#include <QToolButton>
#include <memory>

namespace kelo {

// The inquiry work screen: a search panel with Search, Print and Preview.
class TfrmZZS010 : public TfrmZZI000 {
    Q_OBJECT
public:
    TfrmZZS010(db::Connection &connection, const QString &name, QWidget *parent = nullptr);

    virtual void bbtSearchClick();
    virtual void bbtPrintClick();
    virtual void bbtPreviewClick();

    QWidget *panSearch;
    QPushButton *bbtSearch;
    QPushButton *bbtPrint;
    QPushButton *bbtPreview;

protected:
    QHBoxLayout *m_searchRow;
};

// The grid inquiry screen: the result grid over cdsQuery (packets of 100),
// record navigation, the column chooser and the Excel export.
class TfrmZZS020 : public TfrmZZS010 {
    Q_OBJECT
public:
    TfrmZZS020(db::Connection &connection, const QString &name, QWidget *parent = nullptr);
    ~TfrmZZS020() override;

    void bbtSearchClick() override;
    void popGridPopup(const QPoint &position);
    void popGridClick(QAction *item);
    void sbtFirstClick() { m_result->first(); }
    void sbtPriorClick() { m_result->prior(); }
    void sbtNextClick() { m_result->next(); }
    void sbtLastClick() { m_result->last(); }
    virtual void bbtExcelClick();
    // The export; the file written, or empty text.
    QString SaveResultToExcel();
    // The export itself, without the button's rule: the hub saves its page in front with it.
    QString ExportResult();
    // Opens (again) the result of qryQuery into the grid.
    void OpenResult() { m_result->open(); }
    bool isResultOpen() const { return m_result->isOpen(); }

    db::RowSet *cdsQuery;
    controls::Grid *rgrGrid;
    QMenu *popGrid;
    QToolButton *sbtFirst, *sbtPrior, *sbtNext, *sbtLast;
    QPushButton *bbtExcel;
    QWidget *panInfo;

protected:
    // The search of the sales-day and totals inquiries (with or without the business date).
    void runTotalsSearch(db::Query *footer, const QString &saleDate, bool withDate);
    void rebuildColumnChooser();

private:
    std::unique_ptr<ResultGrid> m_result;
};

// The sales-day inquiry: business date, grid query and totals query.
class TfrmSZS010 : public TfrmZZS020 {
    Q_OBJECT
public:
    TfrmSZS010(db::Connection &connection, const QString &name, QWidget *parent = nullptr);
    void bbtSearchClick() override;
    void dedSaleDateCloseUp();

    QLabel *lblSaleDate;
    controls::DateEdit *dedSaleDate;
    db::Query *qryFooter;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<db::Query> m_footer;
};

// The totals inquiry: grid query and totals query; the conditions are the derived screen's.
class TfrmSZS020 : public TfrmZZS020 {
    Q_OBJECT
public:
    TfrmSZS020(db::Connection &connection, const QString &name, QWidget *parent = nullptr);
    void bbtSearchClick() override;
    db::Query *qryFooter;

private:
    std::unique_ptr<db::Query> m_footer;
};

// The form inquiry: Enter navigation and edit colouring for screens without a grid.
class TfrmSZS030 : public TfrmZZS010 {
    Q_OBJECT
public:
    TfrmSZS030(db::Connection &connection, const QString &name, QWidget *parent = nullptr);
    // Attach to condition fields: colouring on enter and exit, Enter moves on.
    void attachConditionField(QWidget *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// The totals line of a grid: every column totalled downwards shows "0", then the footer
// statement's next value when the statement has text (opened and closed here). Errors reach
// the caller.
void ShowFooterTotals(controls::Grid *grid, db::Query *footer);

// Enter in a condition field: Search when the next tab stop is the search button,
// back to the first field of the panel when it lies elsewhere, otherwise Tab.
bool HandleConditionEnter(QWidget *field, QPushButton *searchButton);
// A condition field's events: its colour on focus in and out, Enter as above. True when the
// event has been handled.
bool HandleConditionFieldEvent(QWidget *field, QEvent *event, QPushButton *searchButton);

// The hub: a menu list on the left, a tab area on the right with the sub-screens.
// Derived hubs end their constructor with CreateSubScreens().
class TfrmSZS000 : public TfrmZZI000 {
    Q_OBJECT
public:
    TfrmSZS000(db::Connection &connection, const QString &name, QWidget *parent = nullptr);

    virtual void CreateSubScreens() {}
    void AddSubScreen(const QString &caption, QWidget *screen);
    void ShowSubScreen(int n);
    int subScreenCount() const { return PageControl1->count(); }
    QWidget *subScreen(int n) const;
    // Ctrl+F11: the grid of the page in front as an Excel file. The pages' own button bars are
    // hidden, so the hub holds the key for them.
    void ExportActivePage();

    QWidget *panMemu;
    controls::Grid *rgrMenu;
    QWidget *panData;
    QTabWidget *PageControl1;

protected:
    bool FormCloseQuery() override;

private:
    std::vector<QWidget *> m_subScreens;
};

} // namespace kelo
