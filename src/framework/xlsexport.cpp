#include "framework/xlsexport.h"

#include "common/dialogs.h"
#include "common/functions.h"
#include "common/xlswriter.h"

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

QString SaveGridToXls(controls::Grid *grid, const QString &title, bool askName,
                      const QString &fileName) {
    const QString noName = QStringLiteral("^저장할 파일 이름을 지정하지 않았습니다.");
    QString name = fileName;
    if (askName) {
        name = Dialogs::instance().getSaveFileName(ApplicationTitle(), fileName,
                                                   QStringLiteral("Excel 파일(*.xls)"));
        if (name.isEmpty())
            return noName;
    }
    if (name.isEmpty())
        return noName;
    name = XlsFileName(name);
    controls::GridModel *model = grid->gridModel();
    model->fetchAll();
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QStringLiteral("^Excel 파일로 저장할 수 없습니다.");
    XlsWriter xls(file);
    xls.beginFile();
    if (!title.isEmpty())
        xls.text(0, 0, title);
    const int columns = model->columnCount();
    std::vector<bool> numeric(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        xls.text(2, c, model->columns()[size_t(c)].title);
        numeric[size_t(c)] = numericColumn(model, c);
    }
    for (int r = 0; r < model->rowCount(); ++r) {
        if (r + 3 > 0xFFFF)
            return QStringLiteral(
                "^Excel 파일로 저장할 수 없습니다."); // beyond the rows the record can address
        for (int c = 0; c < columns; ++c) {
            if (numeric[size_t(c)])
                xls.number(r + 3, c, db::ValueNumber(model->value(r, c)));
            else if (model->columns()[size_t(c)].isChoice())
                xls.text(r + 3, c, model->displayText(r, c));
            else
                xls.text(r + 3, c, model->text(r, c));
        }
    }
    xls.endFile();
    if (!xls.flush())
        return QStringLiteral("^Excel 파일로 저장할 수 없습니다.");
    return name;
}

bool WriteInquiryXls(QIODevice &device, controls::Grid *grid, const QString &caption) {
    controls::GridModel *model = grid->gridModel();
    XlsWriter xls(device);
    xls.beginFile();
    xls.text(0, 0, caption);
    // Visible columns in display order.
    std::vector<int> visible;
    const QHeaderView *header = grid->horizontalHeader();
    for (int v = 0; v < header->count(); ++v) {
        const int logical = header->logicalIndex(v);
        if (!grid->isColumnHidden(logical))
            visible.push_back(logical);
    }
    for (size_t c = 0; c < visible.size(); ++c)
        xls.text(2, int(c), model->columns()[size_t(visible[c])].title);
    int row = 0;
    // Every row of the result: the packets arrive as the walk needs them.
    for (; row < model->rowCount() || model->canFetchMore(QModelIndex()); ++row) {
        if (row >= model->rowCount())
            model->fetchMore(QModelIndex());
        if (row >= model->rowCount())
            break;
        if (row + 3 > 0xFFFF)
            return false; // beyond the rows the record can address
        for (size_t c = 0; c < visible.size(); ++c) {
            const int column = visible[c];
            const controls::GridColumn &col = model->columns()[size_t(column)];
            const QString text = model->text(row, column);
            const bool rightAligned = (col.alignment & Qt::AlignRight) != 0;
            if (rightAligned && text == DigitsOnly(text) && text != QLatin1String("-"))
                xls.number(row + 3, int(c), text.isEmpty() ? 0.0 : text.toDouble());
            else
                xls.text(row + 3, int(c), model->displayText(row, column, false));
        }
    }
    xls.endFile();
    return xls.flush();
}

} // namespace kelo
