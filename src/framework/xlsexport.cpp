#include "framework/xlsexport.h"

#include "common/dialogs.h"
#include "common/functions.h"
#include "common/numbertext.h"
#include "common/xlswriter.h"

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

bool WriteInquiryXls(QIODevice &device, controls::Grid *grid, const QString &caption) {
    controls::GridModel *model = grid->gridModel();
    XlsWriter xls(device);
    xls.beginFile();
    xls.text(0, 0, caption);
    // Visible columns in display order, with what the walk needs of each.
    struct Out {
        int column, field;
        bool rightAligned, plainText;
    };
    std::vector<Out> visible;
    const QHeaderView *header = grid->horizontalHeader();
    for (int v = 0; v < header->count(); ++v) {
        const int logical = header->logicalIndex(v);
        if (grid->isColumnHidden(logical))
            continue;
        const controls::GridColumn &col = model->columns()[size_t(logical)];
        visible.push_back({logical, model->boundField(logical),
                           (col.alignment & Qt::AlignRight) != 0,
                           col.displayFormat.isEmpty() && col.displayMask.isEmpty() &&
                               !col.isChoice() && !col.checkBox});
    }
    for (size_t c = 0; c < visible.size(); ++c)
        xls.text(2, int(c), model->columns()[size_t(visible[c].column)].title);
    db::RowSet *rows = model->rowSet();
    char number[kNumberTextMax];
    for (int row = 0; row < model->rowCount() || model->canFetchMore(QModelIndex()); ++row) {
        if (row >= model->rowCount())
            model->fetchMore(QModelIndex()); // the packets arrive as the walk needs them
        if (row >= model->rowCount())
            break;
        if (row + 3 > 0xFFFF)
            return false; // beyond the rows the record can address
        const int sheetRow = row + 3;
        for (size_t c = 0; c < visible.size(); ++c) {
            const Out &o = visible[c];
            static const QVariant none;
            const QVariant &v = o.field >= 0 ? rows->cell(row, o.field) : none;
            switch (v.typeId()) {
            case QMetaType::Double: {
                const double d = v.toDouble();
                if (o.rightAligned && d == std::floor(d) && std::fabs(d) < 1e15) {
                    xls.number(sheetRow, int(c), d);
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
                    xls.number(sheetRow, int(c), double(v.toLongLong()));
                else
                    xls.text(sheetRow, int(c), model->displayText(row, o.column, false));
                break;
            case QMetaType::QString: {
                const QString &t = *static_cast<const QString *>(v.constData());
                if (o.rightAligned && isWholeNumberText(t) && t != QLatin1String("-"))
                    xls.number(sheetRow, int(c), t.isEmpty() ? 0.0 : t.toDouble());
                else if (o.plainText)
                    xls.text(sheetRow, int(c), t);
                else
                    xls.text(sheetRow, int(c), model->displayText(row, o.column, false));
                break;
            }
            default:
                if (o.rightAligned) // an empty field counts as 0
                    xls.number(sheetRow, int(c), 0.0);
                else
                    xls.text(sheetRow, int(c),
                             o.plainText ? QString() : model->displayText(row, o.column, false));
                break;
            }
        }
    }
    xls.endFile();
    return xls.flush();
}

} // namespace kelo
