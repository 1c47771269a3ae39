#pragma once

#include "controls/grid.h"
#include "db/storedproc.h"
#include "framework/workscreen.h"

#include <QToolButton>
#include <memory>
#include <vector>

namespace kelo {

// The editable grid screen: a query's rows edited in one grid and written back,
// every changed, new or deleted row through one procedure, in one transaction.
// Every row carries a hidden row number (the last column "RowID"); the change log
// holds at most one entry per row number with the row's latest state, and a
// deleted row adds an entry with status 3.
class TfrmZZI090 : public TfrmZZI010 {
    Q_OBJECT
public:
    TfrmZZI090(db::Connection &connection, const QString &name, QWidget *parent = nullptr);
    ~TfrmZZI090() override;

    // One entry of the change log: the row's cells (the row number last), its status.
    struct LogEntry {
        QStringList values;
        controls::RowStatus status;
        int rowId;
        // The row's cells as the search read them; empty for a row added on the screen.
        QStringList read;
    };
    using ChangeLog = std::vector<LogEntry>;
    const ChangeLog &changeLog() const { return m_log; }
    // The log's column titles: "A" + the result's field names, "RowID" last.
    QStringList logTitles() const;

    // Hooks.
    virtual void SaveGrid(controls::Grid *grid, ChangeLog &log, db::StoredProc *procedure);
    virtual void SaveAll();
    virtual void ExecuteProc();
    // Sets the footer values of the grid (read as whole numbers and shown "#,##0" after it).
    virtual void CalcFooters() {}

    // Enables or disables every control of a panel (to the sixth level below it), empties
    // their contents when clear is set, paints them when paint is set.
    void EnablePanel(QWidget *panel, bool enable, bool paint, bool clear);
    // Puts the grid's cursor on the column (unless -1), focuses the grid, stops silently.
    [[noreturn]] void ErrFocus(controls::Grid *grid, int column);
    // Field handlers for the derived screens' condition and edit fields.
    void attachField(QWidget *field);

    void bbtSearchClick() override;
    virtual void bbtAddClick();
    virtual void bbtDeleteClick();
    void bbtSaveClick() override;
    void bbtCancelClick() override;
    void sbtFirstClick();
    void sbtPriorClick();
    void sbtNextClick();
    void sbtLastClick();

    int rowIdColumn() const { return m_rowIdColumn; }
    int fillStartRow() const { return m_fill[0]; }

    QWidget *panMaster;
    QWidget *Panel1;
    controls::Grid *rgrGrid;
    db::Query *qryTemp;
    db::StoredProc *prcProc;
    QToolButton *sbtFirst;
    QToolButton *sbtPrior;
    QToolButton *sbtNext;
    QToolButton *sbtLast;
    QPushButton *bbtAdd;
    QPushButton *bbtDelete;
    QStringList FieldNames;
    int RowCounter = 0;
    bool Changed = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

    // The words and the clearing that differ between the twins.
    virtual QString noChangeMessage() const;
    virtual QString savedMessage() const;
    virtual QString cancelQuestion() const;
    virtual void clearWorkArea();

private:
    void GridAfterPost(int row);
    bool removeIfEmptyNew(int row);
    void GridBeforeDelete(int row); // records a deletion the user agreed to
    bool GridKeyDown(QKeyEvent *event);
    void GridKeyUp(QKeyEvent *event);
    void logRow(int row);
    void formatFooters();
    void clearFill();

    ChangeLog m_log;
    int m_rowIdColumn = -1;
    int m_fill[4] = {-1, -1, -1, -1}; // start row, start column, end row, end column
    std::unique_ptr<db::Query> m_temp;
    std::unique_ptr<db::StoredProc> m_proc;
};

// The twin with Print and Preview: other words for no change, saved and cancel, and a
// Cancel that disables and empties the whole work area.
class TfrmSZI040 : public TfrmZZI090 {
    Q_OBJECT
public:
    TfrmSZI040(db::Connection &connection, const QString &name, QWidget *parent = nullptr);

    QPushButton *bbtPrint;
    QPushButton *bbtPreview;

protected:
    QString noChangeMessage() const override;
    QString savedMessage() const override;
    QString cancelQuestion() const override;
    void clearWorkArea() override;
};

} // namespace kelo
