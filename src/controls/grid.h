#pragma once

#include "controls/gridcolumn.h"
#include "controls/gridmodel.h"

#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QTableView>
#include <functional>

namespace kelo::controls {

class GridFooter;
class GroupHeaderView;

// How a cell or row is drawn: the drawing hooks may change any part.
struct CellStyle {
    QColor background;
    QColor textColor;
    QFont font;
    QString text; // what the cell shows: its display text, unless a drawing hook puts another
};

// Options of a grid (see docs/grid.md).
struct GridOptions {
    bool editing = true;
    bool inserting = false;
    bool deleting = false;
    bool confirmDelete = false; // the grid asks before a row is deleted
    bool alwaysShowEditor = false;
    bool enterMovesLikeTab = true;
    bool rowIndicator = false;
    bool showHeaders = true;
    bool scrollBars = true;
    bool rowSelect = false; // whole-row selection
    bool columnSizing = true;
    bool titleClickSorts = false;
    int rowHeight = 21;
    int headerRowHeight = 21; // per header level
    int footerHeight = 0;     // 0: no footer row
    QColor lineColor = QColor(192, 192, 192);
    QColor selectionColor = QColor(49, 106, 197);
    QColor selectionTextColor = Qt::white;
    QColor focusColor = QColor(255, 255, 225); // the current cell while editing
};

// The one grid of the program: a table of configured columns over a row set
// (bound, fetched in packets of 100) or over rows of its own; with grouped
// headers on several levels, a footer row, row status, editing that moves like
// Tab and skips read-only columns, and events and drawing hooks for the screens.
class Grid : public QTableView {
    Q_OBJECT
public:
    explicit Grid(QWidget *parent = nullptr);
    ~Grid() override;

    using QTableView::edit;
    void setColumns(const std::vector<GridColumn> &columns);
    const std::vector<GridColumn> &columns() const { return m_model->columns(); }
    GridColumn &column(int c) { return m_model->column(c); }
    int columnByField(const QString &field) const;
    void applyColumnLayout(); // widths, visibility, header levels after column changes

    void setOptions(const GridOptions &options);
    const GridOptions &options() const { return m_options; }

    // Data-bound mode; the row set is the caller's (open it first, or call rowsReset after).
    void setRowSet(db::RowSet *rows);
    void rowsReset();
    // Plain mode: rows added by code.
    void setPlain();

    GridModel *gridModel() const { return m_model; }
    int rowCountFetched() const { return m_model->rowCount(); }

    // The current cell (row, visible column index of the model).
    int currentRow() const;
    int currentColumn() const;
    bool setCurrentCell(int row, int column); // false when the row exit was refused

    QVariant value(int row, int column) const { return m_model->value(row, column); }
    QString text(int row, int column) const { return m_model->text(row, column); }
    void setValue(int row, int column, const QVariant &value) {
        m_model->setValue(row, column, value);
    }
    QVariant fieldValue(int row, const QString &field) const {
        return m_model->fieldValue(row, field);
    }
    void setFieldValue(int row, const QString &field, const QVariant &v) {
        m_model->setFieldValue(row, field, v);
    }
    RowStatus rowStatus(int row) const { return m_model->status(row); }

    // Posts the pending edit of the current row (editor contents into the cell).
    bool postEdit();
    // The open editor's text into its cell, without posting the row.
    void commitEditor();
    // The cell editor open now, or null.
    QWidget *openEditor() const;
    int appendRow();         // asks beforeInsert
    bool deleteCurrentRow(); // asks beforeDelete (and the user when confirmDelete)

    // Footer row.
    void setFooterText(int column, const QString &text);
    QString footerText(int column) const;
    GridFooter *footer() const { return m_footer; }
    void recalculateFooter(); // emits footerRecalc

    // Figures are never drawn cut: a column widens to the widest figure fetched into it (and
    // its footer); a figure that still does not fit (a column narrowed by hand) shows "###"
    // with the whole value in its tooltip. A figure is a text of digits with separators.
    static bool isFigureText(const QString &text);
    int figureWidth(int row, int column) const; // pixels the cell needs for its text
    // What a cell of that width shows of the text: a figure too wide becomes "###".
    static QString fittedText(const QString &text, const QFontMetrics &metrics, int width);

    // How a cell is drawn, after the drawing hooks: background, colours, font and text.
    CellStyle cellStyle(int row, int column) const;

    // Geometry queries for the layout (viewport coordinates of the table).
    QRect headerCellRect(int level,
                         int column) const; // a group band or, at the last level, the title
    int headerLevels() const;
    QRect footerCellRect(int column) const;
    // The lower half of a record drawn on two lines (viewport coordinates); empty without a second
    // line.
    QRect secondLineRect(int row, int column) const;

    // Hooks that return an answer.
    std::function<bool(int row)> beforeRowExit; // false refuses leaving the row
    std::function<bool(int row)> beforePost;    // false keeps the edit pending
    std::function<bool()> beforeInsert;
    std::function<bool(int row)> beforeDelete; // false keeps the row; asked before the user
    std::function<void(int row, int column, CellStyle &)> onDrawCell;
    std::function<void(int row, CellStyle &)> onDrawRow;
    std::function<bool(QKeyEvent *event)> onKeyDown;  // true: the key was handled
    std::function<bool(int row, int column)> canEdit; // false keeps a cell from being edited

signals:
    void cellEnter(int row, int column);
    void rowEnter(int row);
    void rowChanged(int previous, int current);
    void valueChanged(int row, int column);
    void afterPost(int row);
    // A deletion goes ahead (beforeDelete and the user agreed); the row is still there.
    void rowDeleting(int row);
    void keyUp(QKeyEvent *event);
    void keyPress(const QString &text);
    void cellDoubleClicked(int row, int column);
    void titleClicked(int column);
    void footerRecalc();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void updateGeometries() override;

private:
    friend class GridDelegate;
    int nextEditableColumn(int from, int step) const;
    bool isStop(int column) const;
    bool leaveRow(int row);
    QModelIndex tabTarget(int step);
    bool moveTo(const QModelIndex &target);
    void layoutFooter();
    CellStyle styleFor(const QModelIndex &index, const QStyleOptionViewItem &option) const;
    void fitFigures(int firstRow, int lastRow, int onlyColumn = -1);
    void fitFooter(int column);

    GridModel *m_model;
    GroupHeaderView *m_header = nullptr;
    GridFooter *m_footer = nullptr;
    GridOptions m_options;
    std::vector<QString> m_footerTexts;
    int m_lastRow = -1;
    bool m_rowDirty = false;
    bool m_inGeometry = false;
    class GridDelegate *m_delegate = nullptr;
};

// The header: group captions on the levels above the titles.
class GroupHeaderView : public QHeaderView {
    Q_OBJECT
public:
    explicit GroupHeaderView(Grid *grid);
    int levels() const;
    void setLevelHeight(int height);
    int levelHeight() const { return m_levelHeight; }
    // The span of a group band (level < levels()-1) or a title cell (last level), in header
    // coordinates.
    QRect cellRect(int level, int column) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    QString captionAt(int level, int column) const;
    Grid *m_grid;
    int m_levelHeight = 21;
};

// The footer row under the table, its cells aligned with the columns.
class GridFooter : public QWidget {
    Q_OBJECT
public:
    explicit GridFooter(Grid *grid);
    QRect cellRect(int column) const; // in footer coordinates

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Grid *m_grid;
};

} // namespace kelo::controls
