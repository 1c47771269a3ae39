#include "framework/xlsexport.h"

#include "common/dialogs.h"
#include "common/functions.h"
#include "common/numbertext.h"
#include "framework/screenhelpers.h"

#include <cmath>

#include <QDesktopServices>
#include <QFileInfo>
#include <QHeaderView>
#include <QUrl>

namespace kelo {

namespace {

// A column gives number cells when its values are numbers and its format has no "-".
bool numericColumn(controls::GridModel *model, int column) {
    const controls::GridColumn &col = model->columns().at(size_t(column));
    if (col.displayFormat.contains(u'-') || col.isChoice() || col.checkBox)
        return false;
    for (int r = 0; r < model->rowCount(); ++r) {
        const QVariant v = model->value(r, column);
        if (!v.isValid() || v.isNull())
            continue;
        return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong ||
               v.typeId() == QMetaType::Int;
    }
    return false;
}

} // namespace

namespace {

using Written = ExcelSheet::Outcome;

Written WriteGrid(ExcelSheet &sheet, controls::GridModel *model, const QString &title) {
    if (!title.isEmpty())
        sheet.text(0, 0, title);
    const int columns = model->columnCount();
    std::vector<bool> numeric(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        sheet.heading(2, c, model->columns()[size_t(c)].title);
        numeric[size_t(c)] = numericColumn(model, c);
    }
    for (int r = 0; r < model->rowCount(); ++r) {
        if (!sheet.startRow(r + 3))
            break;
        for (int c = 0; c < columns; ++c) {
            const controls::GridColumn &col = model->columns()[size_t(c)];
            if (numeric[size_t(c)])
                sheet.number(r + 3, c, db::ValueNumber(model->value(r, c)), col.displayFormat);
            else if (col.isChoice())
                sheet.text(r + 3, c, model->displayText(r, c));
            else
                sheet.text(r + 3, c, model->text(r, c));
        }
    }
    return sheet.finish();
}

// The grid's column widths in pixels, by model column or (visible) in the given order.
std::vector<int> Widths(controls::Grid *grid, const std::vector<int> &columns) {
    std::vector<int> out;
    for (int c : columns)
        out.push_back(grid->columnWidth(c));
    return out;
}

} // namespace

QString SaveGridToXls(controls::Grid *grid, const QString &title, bool askName,
                      const QString &fileName) {
    const QString noName = QStringLiteral("^저장할 파일 이름을 지정하지 않았습니다.");
    QString name = fileName;
    if (askName) {
        name = Dialogs::instance().getSaveFileName(ApplicationTitle(), fileName, ExcelFileFilter());
        if (name.isEmpty())
            return noName;
    }
    if (name.isEmpty())
        return noName;
    name = ExcelFileName(name);
    controls::GridModel *model = grid->gridModel();
    model->fetchAll();
    std::vector<int> all;
    for (int c = 0; c < model->columnCount(); ++c)
        all.push_back(c);
    ExcelSheet sheet(name, title, 2, Widths(grid, all));
    const Written written = WriteGrid(sheet, model, title);
    if (written == Written::TooManyRows)
        return u'^' + sheet.error();
    if (written == Written::Failed)
        return QStringLiteral("^Excel 파일로 저장할 수 없습니다.");
    return name;
}

namespace {

// A text that DigitsOnly leaves as it is: digits, with a minus only in front.
bool isWholeNumberText(QStringView t) {
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (!(c >= u'0' && c <= u'9') && !(c == u'-' && i == 0))
            return false;
    }
    return true;
}

} // namespace

namespace {

// The visible columns in display order.
std::vector<int> VisibleColumns(controls::Grid *grid) {
    std::vector<int> out;
    const QHeaderView *header = grid->horizontalHeader();
    for (int v = 0; v < header->count(); ++v) {
        const int logical = header->logicalIndex(v);
        if (!grid->isColumnHidden(logical))
            out.push_back(logical);
    }
    return out;
}

Written WriteInquiry(ExcelSheet &xls, controls::Grid *grid, const QString &caption) {
    controls::GridModel *model = grid->gridModel();
    xls.text(0, 0, caption);
    // Visible columns in display order, with what the walk needs of each.
    struct Out {
        int column, field;
        bool rightAligned, plainText;
        QString format;
    };
    std::vector<Out> visible;
    for (int logical : VisibleColumns(grid)) {
        const controls::GridColumn &col = model->columns()[size_t(logical)];
        visible.push_back({logical, model->boundField(logical),
                           (col.alignment & Qt::AlignRight) != 0,
                           col.displayFormat.isEmpty() && col.displayMask.isEmpty() &&
                               !col.isChoice() && !col.checkBox,
                           col.displayFormat});
    }
    for (size_t c = 0; c < visible.size(); ++c)
        xls.heading(2, int(c), model->columns()[size_t(visible[c].column)].title);
    db::RowSet *rows = model->rowSet();
    char number[kNumberTextMax];
    for (int row = 0; row < model->rowCount() || model->canFetchMore(QModelIndex()); ++row) {
        if (row >= model->rowCount())
            model->fetchMore(QModelIndex()); // the packets arrive as the walk needs them
        if (row >= model->rowCount())
            break;
        if (!xls.startRow(row + 3))
            break;
        const int sheetRow = row + 3;
        for (size_t c = 0; c < visible.size(); ++c) {
            const Out &o = visible[c];
            static const QVariant none;
            const QVariant &v = o.field >= 0 ? rows->cell(row, o.field) : none;
            switch (v.typeId()) {
            case QMetaType::Double: {
                const double d = *static_cast<const double *>(v.constData());
                // a whole number (below 1e15 the integer holds it exactly; cheaper than floor)
                if (o.rightAligned && std::fabs(d) < 1e15 && d == double(qint64(d))) {
                    xls.number(sheetRow, int(c), d, o.format);
                } else if (o.plainText) {
                    const int n = NumberToChars(d, number);
                    xls.text(sheetRow, int(c), QString::fromLatin1(number, n));
                } else {
                    xls.text(sheetRow, int(c), model->displayText(row, o.column, false));
                }
                break;
            }
            case QMetaType::LongLong:
                if (o.rightAligned)
                    xls.number(sheetRow, int(c), double(v.toLongLong()), o.format);
                else
                    xls.text(sheetRow, int(c), model->displayText(row, o.column, false));
                break;
            case QMetaType::QString: {
                const QString &t = *static_cast<const QString *>(v.constData());
                if (o.rightAligned && isWholeNumberText(t) && t != QLatin1String("-"))
                    xls.number(sheetRow, int(c), t.isEmpty() ? 0.0 : t.toDouble(), o.format);
                else if (o.plainText)
                    xls.text(sheetRow, int(c), t);
                else
                    xls.text(sheetRow, int(c), model->displayText(row, o.column, false));
                break;
            }
            default:
                if (o.rightAligned) // an empty field counts as 0
                    xls.number(sheetRow, int(c), 0.0, o.format);
                else
                    xls.text(sheetRow, int(c),
                             o.plainText ? QString() : model->displayText(row, o.column, false));
                break;
            }
        }
    }
    return xls.finish();
}

} // namespace

QString WriteInquiryExcel(const QString &path, controls::Grid *grid, const QString &caption) {
    ExcelSheet sheet(path, caption, 2, Widths(grid, VisibleColumns(grid)));
    switch (WriteInquiry(sheet, grid, caption)) {
    case Written::Written:
        return QString();
    case Written::TooManyRows:
        return sheet.error();
    case Written::Failed:
        break;
    }
    return QStringLiteral("Excel 파일로 저장할 수 없습니다.");
}

void ExportGridAndOfferToOpen(controls::Grid *grid, const QString &title, const QString &fileName) {
    BusyCursor busy;
    const QString result = SaveGridToXls(grid, title, true, fileName);
    if (result.startsWith(u'^')) {
        ShowError(result.mid(1));
        return;
    }
    if (AskYesNo(QStringLiteral("저장한 Excel 파일을 불러올까요?")))
        QDesktopServices::openUrl(QUrl::fromLocalFile(result));
}

} // namespace kelo
