#pragma once

#include "framework/gridinput.h"

namespace kelo::screens {

// What the five daily input screens share: the Add and Delete buttons hidden,
// the save-then-reload cycle, yellow editable cells of alternate row groups,
// and the helpers of their row checks.
class MisInputScreen : public TfrmSZI020 {
    Q_OBJECT
public:
    MisInputScreen(db::Connection &connection, const QString &name, const QString &caption,
                   const QString &procedure);

    void bbtSearchClick() override; // binds ASALE_DATE, then the template's search
    void bbtSaveClick() override;   // save, then Cancel, Search and one Shift+Tab
    void bbtCancelClick() override;
    void bbtCloseClick() override;

protected:
    // True when the row's editable cells are painted yellow.
    virtual bool isYellowRow(int row) const = 0;
    // Binds the query's parameters before the search (default: ASALE_DATE).
    virtual void bindSearch();

    // The first empty cell among the columns, or -1.
    int firstEmpty(int row, int from, int to) const;
    // Shows "<title><suffix>", puts the cursor on the cell; false for ValidateRow.
    bool refuse(int row, int column, const QString &suffix);
    // Sets a cell only when its text changes (a computed cell).
    void setComputed(int row, int column, double value);
    double number(int row, int column) const;
    QString saleDate() const;
};

using controls::Column;
using controls::NumberColumn;

} // namespace kelo::screens
