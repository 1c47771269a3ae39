#include "controls/grid.h"

#include "common/dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <qdrawutil.h>

namespace kelo::controls {

// Editors and painting of the cells.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(Grid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override {
        const GridColumn &col = m_grid->columns().at(size_t(index.column()));
        QWidget *editor;
        if (col.isChoice()) {
            auto *box = new QComboBox(parent);
            box->addItems(col.pickTexts);
            editor = box;
        } else {
            auto *line = new QLineEdit(parent);
            line->setFrame(false);
            if (col.maxLength > 0) {
                // The input length holds for what is typed: a longer stored value (see
                // setEditorData) may be shortened but never grows, and what the user types in
                // its place is held to the input length again.
                const int limit = col.maxLength;
                line->setMaxLength(limit);
                QObject::connect(line, &QLineEdit::textEdited, line,
                                 [line, limit](const QString &text) {
                                     line->setMaxLength(std::max(limit, int(text.size())));
                                 });
            }
            line->setAlignment(col.alignment);
            editor = line;
        }
        editor->setObjectName(QStringLiteral("gridEditor"));
        QPalette p = editor->palette();
        p.setColor(QPalette::Base, m_grid->options().focusColor);
        editor->setPalette(p);
        editor->setAutoFillBackground(true);
        m_editor = editor;
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override {
        const GridColumn &col = m_grid->columns().at(size_t(index.column()));
        const QString stored = index.data(Qt::EditRole).toString();
        if (auto *box = qobject_cast<QComboBox *>(editor)) {
            box->setCurrentIndex(int(col.pickCodes.indexOf(stored)));
        } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            // A stored value longer than the input length is shown whole: opening and leaving
            // the cell leave it as it is.
            if (col.maxLength > 0)
                line->setMaxLength(std::max(col.maxLength, int(stored.size())));
            line->setText(stored);
            line->selectAll();
        }
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override {
        const GridColumn &col = m_grid->columns().at(size_t(index.column()));
        if (auto *box = qobject_cast<QComboBox *>(editor)) {
            const int i = box->currentIndex();
            model->setData(index,
                           i >= 0 && i < col.pickCodes.size() ? col.pickCodes.at(i) : QString(),
                           Qt::EditRole);
        } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            QString text = line->text();
            if (!col.displayFormat.isEmpty())
                text.remove(u','); // figures are stored without separators
            model->setData(index, text, Qt::EditRole);
        }
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const CellStyle style = m_grid->styleFor(index, opt);
        opt.text = style.text;
        const bool selected = opt.state & QStyle::State_Selected;
        painter->fillRect(opt.rect, selected ? m_grid->options().selectionColor : style.background);
        opt.state &= ~QStyle::State_HasFocus;
        opt.backgroundBrush = Qt::NoBrush;
        opt.font = style.font;
        opt.palette.setColor(QPalette::Text,
                             selected ? m_grid->options().selectionTextColor : style.textColor);
        opt.palette.setColor(QPalette::HighlightedText, m_grid->options().selectionTextColor);
        opt.state &= ~QStyle::State_Selected;
        const GridColumn &col = m_grid->columns().at(size_t(index.column()));
        if (col.checkBox) {
            // The check box sits in the middle of the cell.
            QStyleOptionButton box;
            box.state = QStyle::State_Enabled |
                        (opt.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off);
            const QRect indicator =
                QApplication::style()->subElementRect(QStyle::SE_CheckBoxIndicator, &box);
            box.rect = QRect(opt.rect.center() - indicator.center() + indicator.topLeft(),
                             indicator.size());
            QApplication::style()->drawControl(QStyle::CE_CheckBox, &box, painter);
            return;
        }
        opt.rect.adjust(3, 0, -3, 0);
        if (m_grid->gridModel()->hasSecondLine()) {
            // A record on two lines: the first line's value above, the second line's below.
            QRect top = opt.rect, bottom = opt.rect;
            top.setHeight(opt.rect.height() / 2);
            bottom.setTop(top.bottom() + 1);
            const QFontMetrics metrics(opt.font);
            QApplication::style()->drawItemText(painter, top, int(col.alignment), opt.palette, true,
                                                Grid::fittedText(opt.text, metrics, top.width()),
                                                QPalette::Text);
            painter->setPen(m_grid->options().lineColor.lighter(115));
            painter->drawLine(option.rect.left(), top.bottom() + 1, option.rect.right(),
                              top.bottom() + 1);
            QApplication::style()->drawItemText(
                painter, bottom, int(col.alignment), opt.palette, true,
                Grid::fittedText(m_grid->gridModel()->secondLineText(index.row(), index.column()),
                                 metrics, bottom.width()),
                QPalette::Text);
            return;
        }
        QApplication::style()->drawItemText(
            painter, opt.rect, int(col.alignment), opt.palette, true,
            Grid::fittedText(opt.text, QFontMetrics(opt.font), opt.rect.width()), QPalette::Text);
    }

    // A figure shown as "###" has its whole value in the tooltip.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override {
        if (event->type() == QEvent::ToolTip && index.isValid()) {
            const QString text = index.data(Qt::DisplayRole).toString();
            if (Grid::isFigureText(text) &&
                m_grid->figureWidth(index.row(), index.column()) > option.rect.width()) {
                QToolTip::showText(event->globalPos(), text, view);
                return true;
            }
        }
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }

    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override {
        const GridColumn &col = m_grid->columns().at(size_t(index.column()));
        if (col.checkBox && (index.flags() & Qt::ItemIsUserCheckable)) {
            // A click on another row's box goes to that row first (the row left is posted), so
            // the toggled row is the current one and is posted when it is left in turn; a move
            // the screen refuses toggles nothing.
            if (event->type() == QEvent::MouseButtonPress && index != m_grid->currentIndex())
                m_grid->setCurrentCell(index.row(), index.column());
            const bool click =
                event->type() == QEvent::MouseButtonRelease && index.row() == m_grid->currentRow();
            auto *key =
                event->type() == QEvent::KeyPress ? static_cast<QKeyEvent *>(event) : nullptr;
            if (click || (key && key->key() == Qt::Key_Space)) {
                const bool on = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
                model->setData(index, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
                return true;
            }
            return event->type() == QEvent::MouseButtonPress ||
                   event->type() == QEvent::MouseButtonDblClick;
        }
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }

    bool eventFilter(QObject *object, QEvent *event) override {
        auto *editor = qobject_cast<QWidget *>(object);
        if (editor && event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            if (enter && m_grid->options().enterMovesLikeTab) {
                emit commitData(editor);
                emit closeEditor(editor, (key->modifiers() & Qt::ShiftModifier) ? EditPreviousItem
                                                                                : EditNextItem);
                return true;
            }
            // Ctrl+Delete deletes the row from the open editor too (not the word in the cell).
            if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier &&
                m_grid->options().deleting) {
                m_grid->deleteCurrentRow();
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

    QWidget *openEditor() const { return m_editor; }

private:
    Grid *m_grid;
    mutable QPointer<QWidget> m_editor;
};

// ---- Grid --------------------------------------------------------------------

Grid::Grid(QWidget *parent) : QTableView(parent), m_model(new GridModel(this)) {
    setModel(m_model);
    m_header = new GroupHeaderView(this);
    setHorizontalHeader(m_header);
    m_footer = new GridFooter(this);
    m_footer->hide();
    m_delegate = new GridDelegate(this);
    setItemDelegate(m_delegate);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(m_model, &GridModel::valueChanged, this, [this](int row, int column) {
        if (row == currentRow())
            m_rowDirty = true;
        emit valueChanged(row, column);
    });
    // Every figure fetched or set is drawn whole (fitFigures).
    connect(m_model, &GridModel::valueChanged, this,
            [this](int row, int column) { fitFigures(row, row, column); });
    connect(m_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { fitFigures(first, last); });
    connect(m_model, &QAbstractItemModel::modelReset, this,
            [this] { fitFigures(0, m_model->rowCount() - 1); });
    connect(m_header, &QHeaderView::sectionClicked, this,
            [this](int column) { emit titleClicked(column); });
    // The header flips its sort mark on a title click; the rows follow the mark.
    connect(m_header, &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) {
                if (m_options.titleClickSorts && column >= 0)
                    m_model->sort(column, order);
            });
    setOptions(GridOptions{});
}

Grid::~Grid() = default;

void Grid::setColumns(const std::vector<GridColumn> &columns) {
    m_model->setColumns(columns);
    m_footerTexts.assign(columns.size(), QString());
    for (size_t i = 0; i < columns.size(); ++i)
        m_footerTexts[i] = columns[i].footer.text;
    applyColumnLayout();
}

int Grid::columnByField(const QString &field) const {
    const auto &cols = m_model->columns();
    for (size_t i = 0; i < cols.size(); ++i)
        if (cols[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

bool Grid::isFigureText(const QString &text) {
    bool digit = false;
    for (const QChar c : text) {
        if (c.isDigit())
            digit = true;
        else if (c != u',' && c != u'.' && c != u'-' && c != u'%' && c != u' ' && c != u'+')
            return false;
    }
    return digit;
}

QString Grid::fittedText(const QString &text, const QFontMetrics &metrics, int width) {
    if (!isFigureText(text) || metrics.horizontalAdvance(text) <= width)
        return text;
    return QString(std::max(1, width / std::max(1, metrics.horizontalAdvance(u'#'))), u'#');
}

int Grid::figureWidth(int row, int column) const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex index = m_model->index(row, column);
    const QFontMetrics metrics(styleFor(index, option).font);
    int width = metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString());
    if (m_model->hasSecondLine())
        width = std::max(width, metrics.horizontalAdvance(m_model->secondLineText(row, column)));
    return width + 8; // the cell's margins (3 px a side) and its grid line
}

void Grid::fitFigures(int firstRow, int lastRow, int onlyColumn) {
    const auto &cols = m_model->columns();
    const bool twoLines = m_model->hasSecondLine();
    for (int c = 0; c < int(cols.size()); ++c) {
        if ((onlyColumn >= 0 && c != onlyColumn) || isColumnHidden(c) || cols[size_t(c)].checkBox)
            continue;
        int need = 0;
        for (int r = std::max(0, firstRow); r <= lastRow && r < m_model->rowCount(); ++r)
            if (isFigureText(m_model->index(r, c).data(Qt::DisplayRole).toString()) ||
                (twoLines && isFigureText(m_model->secondLineText(r, c))))
                need = std::max(need, figureWidth(r, c));
        if (need > columnWidth(c))
            setColumnWidth(c, need);
    }
}

void Grid::fitFooter(int column) {
    if (column < 0 || column >= int(m_footerTexts.size()) || isColumnHidden(column) ||
        !isFigureText(m_footerTexts[size_t(column)]))
        return;
    const FooterCell &cell = m_model->columns().at(size_t(column)).footer;
    const int need = m_footer->fontMetrics().horizontalAdvance(m_footerTexts[size_t(column)]) +
                     cell.margins.left() + cell.margins.right() + 4;
    if (need > columnWidth(column))
        setColumnWidth(column, need);
}

void Grid::applyColumnLayout() {
    const auto &cols = m_model->columns();
    for (size_t i = 0; i < cols.size(); ++i) {
        setColumnWidth(int(i), cols[i].width);
        setColumnHidden(int(i), !cols[i].visible);
    }
    fitFigures(0, m_model->rowCount() - 1);
    for (int c = 0; c < int(cols.size()); ++c)
        fitFooter(c);
    const int lines = m_model->hasSecondLine() ? 2 : 1;
    verticalHeader()->setDefaultSectionSize(m_options.rowHeight * lines);
    m_header->setFixedHeight(
        m_options.showHeaders ? (m_header->levels() + lines - 1) * m_options.headerRowHeight : 0);
    updateGeometries();
    viewport()->update();
    m_footer->update();
}

void Grid::setOptions(const GridOptions &options) {
    m_options = options;
    m_model->setEditable(options.editing);
    setEditTriggers(options.editing
                        ? (QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked)
                        : QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(options.rowSelect ? QAbstractItemView::SelectRows
                                           : QAbstractItemView::SelectItems);
    verticalHeader()->setVisible(options.rowIndicator);
    verticalHeader()->setDefaultSectionSize(options.rowHeight);
    verticalHeader()->setMinimumSectionSize(std::min(options.rowHeight, 8));
    m_header->setLevelHeight(options.headerRowHeight);
    m_header->setVisible(options.showHeaders);
    m_header->setSectionsClickable(true);
    m_header->setSortIndicatorShown(options.titleClickSorts);
    if (options.titleClickSorts && m_header->sortIndicatorSection() >= m_model->columnCount())
        m_header->setSortIndicator(-1, Qt::DescendingOrder); // no mark until a title is clicked
    m_header->setSectionResizeMode(options.columnSizing ? QHeaderView::Interactive
                                                        : QHeaderView::Fixed);
    const Qt::ScrollBarPolicy bars =
        options.scrollBars ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setHorizontalScrollBarPolicy(bars);
    setVerticalScrollBarPolicy(bars);
    setStyleSheet(
        QStringLiteral("QTableView { gridline-color: %1; }").arg(options.lineColor.name()));
    m_footer->setVisible(options.footerHeight > 0);
    applyColumnLayout();
}

void Grid::setRowSet(db::RowSet *rows) {
    m_model->setRowSet(rows);
    m_lastRow = -1;
    m_rowDirty = false;
    applyColumnLayout();
    if (m_model->rowCount() > 0)
        setCurrentIndex(m_model->index(0, std::max(0, nextEditableColumn(-1, 1))));
}

void Grid::rowsReset() {
    setRowSet(m_model->rowSet());
}

void Grid::setPlain() {
    m_model->setPlain();
    m_lastRow = -1;
    applyColumnLayout();
}

int Grid::currentRow() const {
    return currentIndex().isValid() ? currentIndex().row() : -1;
}
int Grid::currentColumn() const {
    return currentIndex().isValid() ? currentIndex().column() : -1;
}

bool Grid::isStop(int column) const {
    if (column < 0 || column >= m_model->columnCount() || isColumnHidden(column))
        return false;
    const GridColumn &col = m_model->columns().at(size_t(column));
    return !m_options.editing || !col.readOnly;
}

int Grid::nextEditableColumn(int from, int step) const {
    for (int c = from + step; c >= 0 && c < m_model->columnCount(); c += step)
        if (isStop(c))
            return c;
    return -1;
}

QWidget *Grid::openEditor() const {
    return state() == QAbstractItemView::EditingState ? m_delegate->openEditor() : nullptr;
}

void Grid::commitEditor() {
    if (QWidget *editor = m_delegate->openEditor())
        if (state() == QAbstractItemView::EditingState)
            commitData(editor);
}

bool Grid::postEdit() {
    if (QWidget *editor = m_delegate->openEditor()) {
        if (state() == QAbstractItemView::EditingState) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
    // Posting: a row changed since it was entered goes through beforePost and afterPost.
    const int row = currentRow();
    if (m_rowDirty && row >= 0 && row < m_model->rowCount()) {
        if (beforePost && !beforePost(row))
            return false;
        m_rowDirty = false;
        emit afterPost(row);
    }
    return true;
}

bool Grid::leaveRow(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return true;
    // The editor's text goes into the cell; the screen may refuse the move; then the row is posted.
    if (QWidget *editor = m_delegate->openEditor()) {
        if (state() == QAbstractItemView::EditingState) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
    if (beforeRowExit && !beforeRowExit(row))
        return false;
    return postEdit();
}

bool Grid::moveTo(const QModelIndex &target) {
    if (!target.isValid())
        return false;
    if (currentIndex().isValid() && target.row() != currentIndex().row() &&
        !leaveRow(currentIndex().row()))
        return false;
    setCurrentIndex(target);
    scrollTo(target);
    return true;
}

bool Grid::setCurrentCell(int row, int column) {
    if (!m_model->rowSet())
        return false;
    while (row >= m_model->rowCount() && m_model->canFetchMore(QModelIndex()))
        m_model->fetchMore(QModelIndex());
    return moveTo(m_model->index(row, column));
}

QModelIndex Grid::tabTarget(int step) {
    const QModelIndex cur = currentIndex();
    if (!cur.isValid())
        return m_model->index(0, std::max(0, nextEditableColumn(-1, 1)));
    int row = cur.row();
    int col = nextEditableColumn(cur.column(), step);
    if (col >= 0)
        return m_model->index(row, col);
    // Past the row's end: the first stop of the next row (or the last of the previous one).
    row += step;
    if (row >= m_model->rowCount() && m_model->canFetchMore(QModelIndex()))
        m_model->fetchMore(QModelIndex());
    if (row < 0)
        return cur;
    if (row >= m_model->rowCount()) {
        if (!(m_options.inserting && m_options.editing))
            return cur;
        if (!leaveRow(cur.row()))
            return cur;
        const int added = appendRow();
        if (added < 0)
            return cur;
        row = added;
    }
    col = step > 0 ? nextEditableColumn(-1, 1) : nextEditableColumn(m_model->columnCount(), -1);
    return m_model->index(row, std::max(0, col));
}

QModelIndex Grid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    QModelIndex target;
    if (action == MoveNext)
        target = tabTarget(1);
    else if (action == MovePrevious)
        target = tabTarget(-1);
    else
        target = QTableView::moveCursor(action, modifiers);
    const QModelIndex cur = currentIndex();
    if (target.isValid() && cur.isValid() && target.row() != cur.row() &&
        target.row() < m_model->rowCount() && !leaveRow(cur.row()))
        return cur; // the row exit was refused
    return target;
}

void Grid::keyPressEvent(QKeyEvent *event) {
    if (onKeyDown && onKeyDown(event))
        return;
    if (!event->text().isEmpty() && event->text().at(0).isPrint())
        emit keyPress(event->text());
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_options.enterMovesLikeTab) {
        const QModelIndex target = tabTarget((event->modifiers() & Qt::ShiftModifier) ? -1 : 1);
        if (target != currentIndex())
            moveTo(target);
        return;
    }
    if (event->key() == Qt::Key_Insert && m_options.inserting) {
        appendRow();
        return;
    }
    if (event->key() == Qt::Key_Delete && (event->modifiers() & Qt::ControlModifier) &&
        m_options.deleting) {
        deleteCurrentRow();
        return;
    }
    QTableView::keyPressEvent(event);
}

void Grid::keyReleaseEvent(QKeyEvent *event) {
    emit keyUp(event);
    QTableView::keyReleaseEvent(event);
}

void Grid::mousePressEvent(QMouseEvent *event) {
    const QModelIndex target = indexAt(event->position().toPoint());
    if (target.isValid() && currentIndex().isValid() && target.row() != currentIndex().row() &&
        !leaveRow(currentIndex().row()))
        return;
    QTableView::mousePressEvent(event);
}

void Grid::mouseDoubleClickEvent(QMouseEvent *event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    if (index.isValid())
        emit cellDoubleClicked(index.row(), index.column());
}

void Grid::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    QTableView::currentChanged(current, previous);
    if (!current.isValid())
        return;
    emit cellEnter(current.row(), current.column());
    if (current.row() != m_lastRow) {
        const int before = m_lastRow;
        m_lastRow = current.row();
        m_rowDirty = false;
        emit rowChanged(before, current.row());
        emit rowEnter(current.row());
    }
    if (m_options.alwaysShowEditor && m_options.editing &&
        (m_model->flags(current) & Qt::ItemIsEditable))
        edit(current);
}

bool Grid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) {
    if (index.isValid() && canEdit && !canEdit(index.row(), index.column()))
        return false;
    return QTableView::edit(index, trigger, event);
}

int Grid::appendRow() {
    if (beforeInsert && !beforeInsert())
        return -1;
    const int row = m_model->appendRow();
    setCurrentIndex(m_model->index(row, std::max(0, nextEditableColumn(-1, 1))));
    return row;
}

bool Grid::deleteCurrentRow() {
    const int row = currentRow();
    if (row < 0)
        return false;
    if (beforeDelete && !beforeDelete(row))
        return false;
    if (m_options.confirmDelete && !AskYesNo(QStringLiteral("선택한 자료를 삭제하시겠습니까?")))
        return false;
    // Only now does the deletion go ahead: the screen records it.
    emit rowDeleting(row);
    postEdit();
    m_lastRow = -1;
    m_rowDirty = false;
    m_model->deleteRow(row);
    return true;
}

void Grid::setFooterText(int column, const QString &text) {
    if (column < 0)
        return;
    if (column >= int(m_footerTexts.size()))
        m_footerTexts.resize(size_t(column) + 1);
    m_footerTexts[size_t(column)] = text;
    if (column < int(m_model->columns().size()))
        fitFooter(column);
    m_footer->update();
}

QString Grid::footerText(int column) const {
    return column >= 0 && column < int(m_footerTexts.size()) ? m_footerTexts[size_t(column)]
                                                             : QString();
}

void Grid::recalculateFooter() {
    emit footerRecalc();
}

int Grid::headerLevels() const {
    return m_header->levels();
}

QRect Grid::headerCellRect(int level, int column) const {
    return m_header->cellRect(level, column);
}

QRect Grid::footerCellRect(int column) const {
    return m_footer->cellRect(column);
}

QRect Grid::secondLineRect(int row, int column) const {
    if (!m_model->hasSecondLine())
        return QRect();
    const QRect r = visualRect(m_model->index(row, column));
    return QRect(r.left(), r.top() + r.height() / 2, r.width(), r.height() - r.height() / 2);
}

CellStyle Grid::cellStyle(int row, int column) const {
    const QModelIndex index = m_model->index(row, column);
    QStyleOptionViewItem option;
    option.font = font();
    option.text = index.data(Qt::DisplayRole).toString();
    return styleFor(index, option);
}

CellStyle Grid::styleFor(const QModelIndex &index, const QStyleOptionViewItem &option) const {
    CellStyle style;
    const GridColumn &col = m_model->columns().at(size_t(index.column()));
    style.background = col.color.isValid() ? col.color : palette().color(QPalette::Base);
    style.textColor = palette().color(QPalette::Text);
    style.font = option.font;
    style.text = option.text;
    if (onDrawRow)
        onDrawRow(index.row(), style);
    if (onDrawCell)
        onDrawCell(index.row(), index.column(), style);
    return style;
}

void Grid::updateGeometries() {
    QTableView::updateGeometries();
    if (m_inGeometry || !m_footer)
        return;
    m_inGeometry = true;
    const QMargins m = viewportMargins();
    const int footerHeight = m_footer->isVisibleTo(this) ? m_options.footerHeight : 0;
    setViewportMargins(m.left(), m.top(), m.right(), footerHeight);
    layoutFooter();
    m_inGeometry = false;
}

void Grid::layoutFooter() {
    if (!m_footer)
        return;
    const QRect vp = viewport()->geometry();
    m_footer->setGeometry(vp.left() - viewportMargins().left(), vp.bottom() + 1,
                          vp.width() + viewportMargins().left(), m_options.footerHeight);
    m_footer->update();
}

void Grid::resizeEvent(QResizeEvent *event) {
    QTableView::resizeEvent(event);
    layoutFooter();
}

void Grid::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    if (dx != 0)
        m_footer->update();
}

// ---- GroupHeaderView --------------------------------------------------------------

GroupHeaderView::GroupHeaderView(Grid *grid) : QHeaderView(Qt::Horizontal, grid), m_grid(grid) {
    setSectionsClickable(true);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
}

int GroupHeaderView::levels() const {
    qsizetype deepest = 0;
    for (const GridColumn &c : m_grid->columns())
        deepest = std::max(deepest, c.groups.size());
    return int(deepest) + 1;
}

void GroupHeaderView::setLevelHeight(int height) {
    m_levelHeight = height;
    updateGeometry();
}

QSize GroupHeaderView::sizeHint() const {
    QSize s = QHeaderView::sizeHint();
    s.setHeight(levels() * m_levelHeight);
    return s;
}

QString GroupHeaderView::captionAt(int level, int column) const {
    const GridColumn &c = m_grid->columns().at(size_t(column));
    return level < c.groups.size() ? c.groups.at(level) : c.title;
}

QRect GroupHeaderView::cellRect(int level, int column) const {
    const auto &cols = m_grid->columns();
    if (column < 0 || column >= int(cols.size()) || isSectionHidden(column))
        return QRect();
    const GridColumn &c = cols[size_t(column)];
    const int total = levels() + (m_grid->gridModel()->hasSecondLine() ? 1 : 0);
    if (level >= c.groups.size()) {
        // The title (over the second line's title) spans from below its last group to the bottom.
        const int top = int(c.groups.size()) * m_levelHeight;
        return QRect(sectionViewportPosition(column), top, sectionSize(column),
                     total * m_levelHeight - top);
    }
    // A group band spans the neighbouring visible columns with the same groups down to this level.
    auto sameBand = [&](int other) {
        const GridColumn &o = cols[size_t(other)];
        if (o.groups.size() <= level)
            return false;
        for (int l = 0; l <= level; ++l)
            if (o.groups.at(l) != c.groups.at(l))
                return false;
        return true;
    };
    int first = column, last = column;
    for (int v = visualIndex(column) - 1; v >= 0; --v) {
        const int other = logicalIndex(v);
        if (isSectionHidden(other))
            continue;
        if (!sameBand(other))
            break;
        first = other;
    }
    for (int v = visualIndex(column) + 1; v < count(); ++v) {
        const int other = logicalIndex(v);
        if (isSectionHidden(other))
            continue;
        if (!sameBand(other))
            break;
        last = other;
    }
    const int left = sectionViewportPosition(first);
    const int right = sectionViewportPosition(last) + sectionSize(last);
    return QRect(left, level * m_levelHeight, right - left, m_levelHeight);
}

void GroupHeaderView::paintSection(QPainter *, const QRect &, int) const {}

void GroupHeaderView::paintEvent(QPaintEvent *) {
    QPainter painter(viewport());
    const auto &cols = m_grid->columns();
    const int total = levels();
    for (int v = 0; v < count(); ++v) {
        const int column = logicalIndex(v);
        if (isSectionHidden(column) || column >= int(cols.size()))
            continue;
        for (int level = 0; level < total; ++level) {
            const QRect r = cellRect(level, column);
            if (!r.isValid() || r.right() < 0 || r.left() > viewport()->width())
                continue;
            // A band is painted once, by its first visible column.
            if (level < cols[size_t(column)].groups.size() &&
                r.left() != sectionViewportPosition(column))
                continue;
            if (level > cols[size_t(column)].groups.size())
                continue; // the title was painted at its first level
            QStyleOptionHeader opt;
            initStyleOption(&opt);
            opt.rect = r;
            opt.section = column;
            opt.text = captionAt(level, column);
            const GridColumn &gc = cols[size_t(column)];
            if (level >= gc.groups.size() && m_grid->gridModel()->hasSecondLine())
                opt.text += u'\n' + gc.secondTitle;
            opt.textAlignment = Qt::AlignCenter;
            opt.position = QStyleOptionHeader::Middle;
            const bool title = level >= cols[size_t(column)].groups.size();
            opt.sortIndicator = QStyleOptionHeader::None;
            if (title && isSortIndicatorShown() && sortIndicatorSection() == column)
                opt.sortIndicator = sortIndicatorOrder() == Qt::AscendingOrder
                                        ? QStyleOptionHeader::SortDown
                                        : QStyleOptionHeader::SortUp;
            style()->drawControl(QStyle::CE_Header, &opt, &painter, this);
        }
    }
}

// ---- GridFooter -------------------------------------------------------------------

GridFooter::GridFooter(Grid *grid) : QWidget(grid), m_grid(grid) {
    setObjectName(QStringLiteral("gridFooter"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
}

QRect GridFooter::cellRect(int column) const {
    if (column < 0 || column >= int(m_grid->columns().size()) || m_grid->isColumnHidden(column))
        return QRect();
    const int offset =
        m_grid->verticalHeader()->isVisible() ? m_grid->verticalHeader()->width() : 0;
    const QHeaderView *h = m_grid->horizontalHeader();
    return QRect(offset + h->sectionViewportPosition(column), 0, h->sectionSize(column), height());
}

void GridFooter::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    const auto &cols = m_grid->columns();
    for (int c = 0; c < int(cols.size()); ++c) {
        const QRect r = cellRect(c);
        if (!r.isValid())
            continue;
        const FooterCell &cell = cols[size_t(c)].footer;
        QStyleOptionFrame frame;
        frame.rect = r;
        frame.lineWidth = 1;
        frame.state = QStyle::State_Enabled;
        switch (cell.style) {
        case FooterStyle::Raised:
        case FooterStyle::Up:
            frame.state |= QStyle::State_Raised;
            qDrawShadePanel(&p, r, palette(), false, 1);
            break;
        case FooterStyle::Sunken:
        case FooterStyle::Down:
            qDrawShadePanel(&p, r, palette(), true, 1);
            break;
        case FooterStyle::Normal:
            p.setPen(QColor(192, 192, 192));
            p.drawRect(r.adjusted(0, 0, -1, -1));
            break;
        }
        p.setPen(cell.fontColor.isValid() ? cell.fontColor : palette().color(QPalette::ButtonText));
        p.drawText(r.marginsRemoved(cell.margins), int(cell.alignment), m_grid->footerText(c));
    }
}

} // namespace kelo::controls
