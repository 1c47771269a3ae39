#pragma once

#include "controls/edits.h"
#include "controls/grid.h"
#include "db/rowset.h"
#include "framework/resultgrid.h"
#include "framework/screenhelpers.h"
#include "framework/statusbar.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <functional>
#include <memory>

class QHBoxLayout;
class QVBoxLayout;

namespace kelo {

// The dialog frame: work area, OK (F10, the default button) and Close (F12, the
// cancel button: Esc). A hidden or disabled button ignores its key.
class TfrmZZH000 : public QDialog {
    Q_OBJECT
public:
    TfrmZZH000(db::Connection &connection, const QString &name, QWidget *parent = nullptr);
    db::Connection &connection() const { return m_connection; }

    virtual void bbtOKClick();
    virtual void bbtCloseClick();
    void reject() override; // Esc: the Close button

    QWidget *panMain;
    QWidget *panButtons;
    QFrame *bvlButtons;
    QPushButton *bbtOK;
    QPushButton *bbtClose;

protected:
    // A function key anywhere in the dialog that runs a handler.
    void addHotkey(const QKeySequence &key, std::function<void()> handler) {
        AddHotkey(this, key, Qt::WindowShortcut, std::move(handler));
    }
    QVBoxLayout *m_rows;
    QHBoxLayout *m_buttonRow;

private:
    db::Connection &m_connection;
};

// Adds a search panel with Search (F3) and a query.
class TfrmZZH010 : public TfrmZZH000 {
    Q_OBJECT
public:
    TfrmZZH010(db::Connection &connection, const QString &name, QWidget *parent = nullptr);
    virtual void bbtSearchClick();

    QWidget *panSearch;
    QPushButton *bbtSearch;
    db::Query *qryQuery;

protected:
    QHBoxLayout *m_searchRow;
    std::unique_ptr<db::Query> m_query;
};

// Adds the result grid over cdsQuery (packets of 100), navigation and a status bar.
class TfrmZZH020 : public TfrmZZH010 {
    Q_OBJECT
public:
    TfrmZZH020(db::Connection &connection, const QString &name, QWidget *parent = nullptr);
    ~TfrmZZH020() override;

    void ShowStatusMessage(const QString &text);
    void bbtSearchClick() override;
    void bbtOKClick() override;
    void bbtCloseClick() override;
    virtual void rgrGridDblClick();
    // Opens (again) the result of qryQuery into the grid.
    void OpenResult() { m_result->open(); }
    bool isResultOpen() const { return m_result->isOpen(); }
    // A field of the grid's current row.
    QString currentField(const QString &field) const;

    controls::Grid *rgrGrid;
    db::RowSet *cdsQuery;
    QToolButton *sbtFirst, *sbtPrior, *sbtNext, *sbtLast;
    PanelStatusBar *stbMessage;

private:
    std::unique_ptr<ResultGrid> m_result;
};

// "공통코드 조회": the codes of a set, filtered by the start of their names.
class TfrmSZP900 : public TfrmZZH020 {
    Q_OBJECT
public:
    TfrmSZP900(db::Connection &connection, bool usedOnly, const QString &head,
               QWidget *parent = nullptr);
    void bbtSearchClick() override;

    QLabel *wlbHead;
    QLabel *wlbDetail;
    QLineEdit *wlbDetailName;

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_usedOnly;
    bool m_searched = false;
};

// "사원조회": employees in service whose name begins with the filter.
class TfrmSQH010 : public TfrmZZH020 {
    Q_OBJECT
public:
    explicit TfrmSQH010(db::Connection &connection, QWidget *parent = nullptr);
    void bbtSearchClick() override;
    QLineEdit *wedEmpName;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// The drill-down pop-up template: business date, result grid and totals footer;
// it searches whenever it becomes the active window and when a date is picked.
class TfrmSZP000 : public TfrmZZH020 {
    Q_OBJECT
public:
    TfrmSZP000(db::Connection &connection, const QString &name, const QString &upjangCode,
               const QString &saleDate, QWidget *parent = nullptr);
    void bbtSearchClick() override;
    void rgrGridDblClick() override {}
    int searches() const { return m_searches; }

    QLabel *lblSaleDate;
    controls::DateEdit *dedSaleDate;
    db::Query *qryFooter;

protected:
    bool event(QEvent *event) override;

private:
    std::unique_ptr<db::Query> m_footer;
    int m_searches = 0;
};

// "기본 Help": runs the opener's statement (title row first) and lets the user pick a row.
class TfrmSAH090 : public TfrmZZH010 {
    Q_OBJECT
public:
    TfrmSAH090(db::Connection &connection, const QString &caption, const QString &statement,
               const QString &param, QWidget *parent = nullptr);
    void bbtSearchClick() override;
    void bbtCancelClick();
    void bbtOKClick() override;

    QString resultCode() const { return m_code; }
    QString resultName() const { return m_name; }

    QLabel *lbl_Help_Form;
    QLineEdit *edtR_Help_Form;
    QPushButton *bbtCancel;
    controls::Grid *grdR_Help;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_statement, m_param, m_code, m_name;
};

// The pickers: each shows its dialog modally and frees it.
struct PickedCode {
    bool chosen = false;
    QString code, name;
};
PickedCode PickCode(db::Connection &connection, const QString &set, bool onlyFlagged,
                    QWidget *parent = nullptr);
QString PickEmployee(db::Connection &connection, const QString &current, QWidget *parent = nullptr);
struct HelpResult {
    bool confirmed = false;
    QString code, name;
};
HelpResult ShowHelpDialog(db::Connection &connection, const QString &caption,
                          const QString &statement, const QString &param,
                          QWidget *parent = nullptr);

} // namespace kelo
