#include "framework/resultgrid.h"

#include <QHBoxLayout>
#include <algorithm>

namespace kelo {

controls::GridOptions ResultGrid::BaseOptions() {
    controls::GridOptions o;
    o.editing = false;
    o.rowSelect = true;
    return o;
}

ResultGrid::ResultGrid(db::Connection &connection, QWidget *panel, QBoxLayout::Direction direction,
                       int stretch, const controls::GridOptions &options)
    : m_rows(std::make_unique<db::RowSet>(connection)) {
    rows = m_rows.get();
    layout = new QBoxLayout(direction, panel);
    layout->setContentsMargins(0, 0, 0, 0);
    grid = new controls::Grid(panel);
    grid->setObjectName(QStringLiteral("rgrGrid"));
    grid->setOptions(options);
    layout->addWidget(grid, stretch);
}

ResultGrid::~ResultGrid() {
    grid->setRowSet(nullptr); // the grid outlives the result set it shows
}

std::tuple<QToolButton *, QToolButton *, QToolButton *, QToolButton *>
ResultGrid::addNavigation(QWidget *panel, QHBoxLayout *row, QSize size) {
    int at = 0;
    auto button = [&](const char *name, const QString &hint, Qt::ArrowType arrow,
                      void (ResultGrid::*move)()) {
        auto *b = new QToolButton(panel);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setArrowType(arrow);
        b->setAutoRaise(true);
        if (size.isValid())
            b->setFixedSize(size);
        row->insertWidget(at++, b);
        QObject::connect(b, &QToolButton::clicked, grid, [this, move] { (this->*move)(); });
        return b;
    };
    sbtFirst = button("sbtFirst", QStringLiteral("처음 자료"), Qt::UpArrow, &ResultGrid::first);
    sbtPrior = button("sbtPrior", QStringLiteral("앞 자료"), Qt::LeftArrow, &ResultGrid::prior);
    sbtNext = button("sbtNext", QStringLiteral("다음 자료"), Qt::RightArrow, &ResultGrid::next);
    sbtLast = button("sbtLast", QStringLiteral("마지막 자료"), Qt::DownArrow, &ResultGrid::last);
    return {sbtFirst, sbtPrior, sbtNext, sbtLast};
}

void ResultGrid::open() {
    grid->setRowSet(nullptr);
    rows->open();
    grid->setRowSet(rows);
}

void ResultGrid::moveTo(int row) {
    grid->setCurrentCell(row, std::max(0, grid->currentColumn()));
}

void ResultGrid::first() {
    if (isOpen() && grid->rowCountFetched() > 0)
        moveTo(0);
}

void ResultGrid::prior() {
    if (isOpen() && grid->currentRow() > 0)
        moveTo(grid->currentRow() - 1);
}

void ResultGrid::next() {
    if (isOpen())
        moveTo(grid->currentRow() + 1);
}

void ResultGrid::last() {
    if (!isOpen())
        return;
    grid->gridModel()->fetchAll();
    if (grid->rowCountFetched() > 0)
        moveTo(grid->rowCountFetched() - 1);
}

} // namespace kelo
