#pragma once

#include "controls/grid.h"
#include "db/rowset.h"

#include <QBoxLayout>
#include <QSize>
#include <QToolButton>
#include <memory>
#include <tuple>

namespace kelo {

// The result grid of the inquiry screens and the lookup dialogs: the grid over a result set
// fed from its query in packets of 100, and the four speed buttons that move through the
// rows (first, prior, next, last) keeping the current column. The grid fills a box layout of
// the panel; the buttons follow when the form asks for them, so that each form keeps its own
// tab order.
class ResultGrid {
public:
    // Read-only, whole rows selected: what a form's options start from.
    static controls::GridOptions BaseOptions();

    ResultGrid(db::Connection &connection, QWidget *panel, QBoxLayout::Direction direction,
               int stretch, const controls::GridOptions &options);
    ~ResultGrid();
    ResultGrid(const ResultGrid &) = delete;
    ResultGrid &operator=(const ResultGrid &) = delete;

    // The four buttons at the front of a button row; a valid size fixes theirs.
    std::tuple<QToolButton *, QToolButton *, QToolButton *, QToolButton *>
    addNavigation(QWidget *panel, QHBoxLayout *row, QSize size = QSize());

    // Opens (again) the result of the query into the grid.
    void open();
    bool isOpen() const { return rows->isOpen(); }

    void first();
    void prior();
    void next();
    void last();

    QBoxLayout *layout;
    controls::Grid *grid;
    db::RowSet *rows;
    QToolButton *sbtFirst = nullptr, *sbtPrior = nullptr, *sbtNext = nullptr, *sbtLast = nullptr;

private:
    void moveTo(int row);
    std::unique_ptr<db::RowSet> m_rows;
};

} // namespace kelo
