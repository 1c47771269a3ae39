#pragma once

#include "controls/edits.h"
#include "controls/grid.h"
#include "db/storedproc.h"
#include "framework/workscreen.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <memory>
#include <vector>

namespace kelo {

// The input template: a stored-procedure call, keyboard navigation between
// fields, clearing of the work area on Cancel.
class TfrmSZI000 : public TfrmZZI010 {
    Q_OBJECT
public:
    TfrmSZI000(db::Connection &connection, const QString &name, QWidget *parent = nullptr);

    // Condition and edit fields take part in the colouring and the keyboard table.
    void attachField(QWidget *field);
    void edtEnter(QWidget *field);
    void edtExit(QWidget *field);
    // The keyboard table; true when the key was handled.
    bool edtKeyDown(QWidget *field, QKeyEvent *event);

    void bbtSearchClick() override;
    void bbtCancelClick() override;

    db::StoredProc *prcSProc;
    QPointer<QWidget> LastEdit;
    bool Saved = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<db::StoredProc> m_proc;
};

// The grid input screen: business date, an editable grid whose rows are saved
// through the procedure in one transaction, row status, a change log, key and
// required-cell checks.
class TfrmSZI020 : public TfrmSZI000 {
    Q_OBJECT
public:
    TfrmSZI020(db::Connection &connection, const QString &name, QWidget *parent = nullptr);

    // A logged copy of a grid row: the row's field texts (codes for choices), its
    // status, the grid row it came from, and whether the database refused it at the
    // last save. The entries of a refused row stay in the log (a retry sends them
    // again and is refused again) until the row is logged anew: the corrected row
    // replaces them, and each later log of the row replaces the one before, until
    // the next save.
    struct LogEntry {
        QStringList values;
        controls::RowStatus status;
        QPersistentModelIndex row;
        bool refused = false;
        // The row's texts as the search read them; empty for a row added on the screen.
        QStringList read;
    };
    const std::vector<LogEntry> &changeLog() const { return m_log; }
    const QStringList &logFields() const { return m_logFields; }

    // Hooks.
    virtual void SaveChanges();
    virtual bool ValidateRow() { return true; }

    void LogRow(controls::RowStatus status, int row = -1);
    bool CheckRequiredCells(bool show);
    bool CheckKeys();
    void PaintGridFocus();
    void CellEntryRule();

    void bbtSearchClick() override;
    virtual void bbtAddClick();
    virtual void bbtDeleteClick();
    void bbtSaveClick() override;
    void bbtCancelClick() override;
    void bbtCloseClick() override;

    // Rows changed, added or deleted since the last save (the open editor's text included).
    bool HasUnsavedChanges() override;

    bool isKeyColumn(int column) const;
    bool isRequiredColumn(int column) const;
    bool isSkipped(int column) const; // read-only or painted light green
    bool canEditCell(int row, int column) const;

    QPushButton *bbtAdd;
    QPushButton *bbtDelete;
    QWidget *panGrid;
    controls::Grid *rgrGrid;
    QLabel *lblSaleDate;
    controls::DateEdit *dedSaleDate;
    bool NewRowPending = false;
    bool MovingBackward = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::vector<LogEntry> m_log;
    QStringList m_logFields;
    bool m_inCellRule = false;
};

} // namespace kelo
