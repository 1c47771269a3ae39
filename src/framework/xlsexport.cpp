#include "framework/xlsexport.h"

#include "common/dialogs.h"
#include "common/functions.h"
#include "common/numbertext.h"
#include "common/xlswriter.h"
#include "common/xlsxwriter.h"

#include <cmath>

#include <QFile>
#include <QFileInfo>
#include <QHeaderView>

namespace kelo {

QString XlsFileName(const QString &name) {
    const QFileInfo info(name);
    if (info.suffix().toLower() == QLatin1String("xls"))
        return name;
    if (info.suffix().isEmpty())
        return name + QStringLiteral(".xls");
    return name.left(name.size() - info.suffix().size()) + QStringLiteral("xls");
}

QString ExcelFileName(const QString &name) {
    return IsXlsxName(name) ? name : XlsFileName(name);
}

bool IsXlsxName(const QString &name) {
    return QFileInfo(name).suffix().toLower() == QLatin1String("xlsx");
}

QString ExcelFileFilter() {
    return QStringLiteral("Excel 파일(*.xls);;Excel 통합 문서(*.xlsx)");
}

QString TooManyRowsForXlsMessage() {
    return QStringLiteral(
        "Excel 파일로 저장할 수 없습니다.\r\r.xls 파일에는 65,535행까지만 저장할 수 "
        "있습니다. .xlsx 파일로 저장하면 행 수에 제한이 없습니다.");
}

namespace {

// Where an export puts its cells: the worksheet records of an .xls file, or an .xlsx
// sheet (headings bold and frozen, numbers in the column's format, column widths).
class Sheet {
public:
    virtual ~Sheet() = default;
    virtual void heading(int row, int column, QStringView text) = 0;
    virtual void text(int row, int column, QStringView text) = 0;
    virtual void number(int row, int column, double value, const QString &displayFormat) = 0;
    // False when the row is past what the file can address.
    virtual bool rowFits(int row) const = 0;
    virtual bool finish() = 0;
};

class XlsSheet : public Sheet {
public:
    explicit XlsSheet(QIODevice &device) : m_xls(device) { m_xls.beginFile(); }
    void heading(int row, int column, QStringView text) override { m_xls.text(row, column, text); }
    void text(int row, int column, QStringView text) override { m_xls.text(row, column, text); }
    void number(int row, int column, double value, const QString &) override {
        m_xls.number(row, column, value);
    }
    bool rowFits(int row) const override { return row <= 0xFFFF; }
    bool finish() override {
        m_xls.endFile();
        return m_xls.flush();
    }

private:
    XlsWriter m_xls;
};

class XlsxSheet : public Sheet {
public:
    // Headings at headingRow; the columns' widths in pixels of the grid.
    XlsxSheet(const QString &path, const QString &title, int headingRow,
              const std::vector<int> &widths)
        : m_xlsx(path, title) {
        for (size_t c = 0; c < widths.size(); ++c)
            m_xlsx.columnWidth(int(c), std::max(4.0, widths[c] / 7.0));
        m_xlsx.freezeRows(headingRow + 1);
    }
    void heading(int row, int column, QStringView text) override {
        m_xlsx.text(row, column, text, true);
    }
    void text(int row, int column, QStringView text) override { m_xlsx.text(row, column, text); }
    void number(int row, int column, double value, const QString &displayFormat) override {
        m_xlsx.number(row, column, value, XlsxWriter::NumberFormat(displayFormat));
    }
    bool rowFits(int) const override { return true; }
    bool finish() override { return m_xlsx.ok() && m_xlsx.close(); }

private:
    XlsxWriter m_xlsx;
};

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

enum class Written { Ok, TooManyRows, Failed };

Written WriteGrid(Sheet &sheet, controls::GridModel *model, const QString &title) {
    if (!title.isEmpty())
        sheet.text(0, 0, title);
    const int columns = model->columnCount();
    std::vector<bool> numeric(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        sheet.heading(2, c, model->columns()[size_t(c)].title);
        numeric[size_t(c)] = numericColumn(model, c);
    }
    for (int r = 0; r < model->rowCount(); ++r) {
        if (!sheet.rowFits(r + 3))
            return Written::TooManyRows;
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
    return sheet.finish() ? Written::Ok : Written::Failed;
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
    Written written = Written::Failed;
    if (IsXlsxName(name)) {
        std::vector<int> all;
        for (int c = 0; c < model->columnCount(); ++c)
            all.push_back(c);
        XlsxSheet sheet(name, title, 2, Widths(grid, all));
        written = WriteGrid(sheet, model, title);
    } else {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return QStringLiteral("^Excel 파일로 저장할 수 없습니다.");
        XlsSheet sheet(file);
        written = WriteGrid(sheet, model, title);
    }
    if (written == Written::TooManyRows)
        return u'^' + TooManyRowsForXlsMessage();
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

Written WriteInquiry(Sheet &xls, controls::Grid *grid, const QString &caption) {
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
        if (!xls.rowFits(row + 3))
            return Written::TooManyRows;
        const int sheetRow = row + 3;
        for (size_t c = 0; c < visible.size(); ++c) {
            const Out &o = visible[c];
            static const QVariant none;
            const QVariant &v = o.field >= 0 ? rows->cell(row, o.field) : none;
            switch (v.typeId()) {
            case QMetaType::Double: {
                const double d = v.toDouble();
                if (o.rightAligned && d == std::floor(d) && std::fabs(d) < 1e15) {
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
    return xls.finish() ? Written::Ok : Written::Failed;
}

} // namespace

bool WriteInquiryXls(QIODevice &device, controls::Grid *grid, const QString &caption) {
    XlsSheet sheet(device);
    return WriteInquiry(sheet, grid, caption) == Written::Ok;
}

QString WriteInquiryExcel(const QString &path, controls::Grid *grid, const QString &caption) {
    Written written = Written::Failed;
    if (IsXlsxName(path)) {
        XlsxSheet sheet(path, caption, 2, Widths(grid, VisibleColumns(grid)));
        written = WriteInquiry(sheet, grid, caption);
    } else {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            XlsSheet sheet(file);
            written = WriteInquiry(sheet, grid, caption);
        }
    }
    if (written == Written::TooManyRows)
        return TooManyRowsForXlsMessage();
    if (written == Written::Failed)
        return QStringLiteral("Excel 파일로 저장할 수 없습니다.");
    return QString();
}

} // namespace kelo
