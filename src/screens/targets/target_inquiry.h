#pragma once

// The target inquiries: the editable grid with print and preview over one statement that
// returns the detail rows, their subtotals ("소 계") and the grand total ("합 계") in display
// order; the screen paints the total rows grey. A search panel with a business date or a
// period and an outlet or management-section code (empty: all).

#include "controls/edits.h"
#include "framework/editablegrid.h"
#include "viewer/rdviewer.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>
#include <vector>

namespace kelo::screens {

class TfrmTargetInquiry : public TfrmSZI040 {
    Q_OBJECT
public:
    enum class Dates { Day, Period, Month };
    enum class CodeKind { Outlet, Section };
    struct Setup {
        Dates dates = Dates::Day;
        CodeKind kind = CodeKind::Outlet;
        QString codeCaption;
        int paintColumn = 2; // -1: nothing painted
        QString subTotal = QStringLiteral("소 계");
        QString total = QStringLiteral("합 계");
        bool paintCells = false; // painted after the template's cell drawing, else per row
        bool readOnly = true;    // the grid's editing, inserting and deleting off
        bool clearCodeOnCancel = true;
        bool dateKeys = false; // Enter in the date field goes on to the code field
        bool codeKeys = false; // F1 and Enter in the code field
        QString dateCaption = QStringLiteral("영업일자");
        bool writes = false; // Save, New and Delete shown
    };

    TfrmTargetInquiry(db::Connection &connection, const QString &name, const Setup &setup,
                      QWidget *parent = nullptr);

    // Handlers.
    void bbtSearchClick() override;
    void bbtCancelClick() override;
    void bbt_Upjang_NoClick();
    void edt_Upjang_NoChange();
    void mdtWorkDateChange();
    void bbtPrintClick();
    virtual void bbtPreviewClick();

    // The screen's dates (D the business date; F and T the period) and code, as handed on.
    QString workDate() const { return mdtWorkDate ? mdtWorkDate->value() : QString(); }
    QString fromDate() const { return mdtFrom_Date ? mdtFrom_Date->value() : QString(); }
    QString toDate() const { return mdtTo_Date ? mdtTo_Date->value() : QString(); }
    QString code() const { return edt_Upjang_No->text(); }

    // The background of a row by its painting column.
    QColor rowColour(int row) const;
    // Where a total row's label shows when the painting column is hidden: the nearest visible
    // column before it; -1 when the painting column is visible itself.
    int labelColumn() const;
    // The column widths for a grid W pixels wide (screens without a rule keep theirs).
    virtual void applyColumnWidths(int width) { Q_UNUSED(width); }
    // The width of the i-th column group (from 0; hidden columns count as theirs).
    int groupWidth(int group) const;

    // Print and preview: the hand-overs, the report and its parameters, the pop-up.
    virtual void handOver() {}
    virtual bool printHandsOver() const { return true; }
    virtual QString printLocation() const { return {}; }
    virtual QString printParams() const { return {}; }
    virtual QString previewProgram() const { return {}; }

    QLabel *lblWorkDate;
    controls::MaskedEdit *mdtWorkDate = nullptr;
    controls::MaskedEdit *mdtFrom_Date = nullptr;
    QLabel *lblTilde = nullptr;
    controls::MaskedEdit *mdtTo_Date = nullptr;
    QLabel *wlbYoil;
    QLabel *lblUpjang;
    QLineEdit *edt_Upjang_No;
    QToolButton *bbt_Upjang_No;
    QLabel *wlb_Upjang_No;
    viewer::Rdviewer40 *Rdviewer401;
    QPointer<QWidget> popup; // the last pop-up viewer

protected:
    // The parameters of the search statement, set on qryQuery.
    virtual void setParameters() = 0;
    // Sets the widths of the column groups in order.
    void setGroupWidths(const std::vector<int> &widths);
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::vector<std::vector<int>> groups() const;

    Setup m_setup;
    bool m_shown = false;
};

// Column helpers of the target inquiries.
controls::GridColumn TextColumn(const char *field, const char *title, int width,
                                const QStringList &groups);
controls::GridColumn FigureColumn(const char *field, const char *title, int width,
                                  const QStringList &groups, const QString &format = "0,");

} // namespace kelo::screens
