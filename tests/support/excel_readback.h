#pragma once

// Excel files read back by readers this project did not write: xlrd for .xls and openpyxl
// for .xlsx (Debian's python3-xlrd and python3-openpyxl, installed by
// scripts/install-deps.sh), run as processes. A missing reader is a failure, not a skip.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QVariantList>
#include <vector>

namespace kelo::test {

struct ReadBack {
    QString error;                  // empty when the reader read the file
    QString encoding;               // the text encoding the reader used
    std::vector<QVariantList> rows; // from row 0; text as QString, numbers as double, empty
                                    // cells as null (trailing empty cells dropped)
    // .xlsx only: the number format of each number cell by row and column ("General" for
    // none), texts and empty cells as empty strings; like rows, trailing empty cells dropped.
    std::vector<QStringList> formats;
    // .xlsx only: the horizontal alignment of each cell ("right", "center"; empty for the
    // default), like formats.
    std::vector<QStringList> alignments;
};

inline ReadBack ReadExcel(const QString &path) {
    static const char *kScript = R"py(
import json, sys
path = sys.argv[1]
def trimmed(row):
    row = list(row)
    while row and row[-1] is None:
        row.pop()
    return row
formats = []
alignments = []
if path.lower().endswith('.xlsx'):
    import openpyxl
    book = openpyxl.load_workbook(path, read_only=True)
    rows = []
    for r in book.worksheets[0].iter_rows():
        values = trimmed(c.value for c in r)
        rows.append(values)
        formats.append([c.number_format if isinstance(c.value, (int, float)) else ''
                        for c in r][:len(values)])
        alignments.append([(c.alignment.horizontal or '') if c.value is not None else ''
                           for c in r][:len(values)])
    encoding = 'utf-8'
else:
    import xlrd
    book = xlrd.open_workbook(path)
    sheet = book.sheet_by_index(0)
    rows = [trimmed(None if c.ctype == xlrd.XL_CELL_EMPTY else c.value for c in sheet.row(r))
            for r in range(sheet.nrows)]
    encoding = book.encoding
json.dump({'encoding': encoding, 'rows': rows, 'formats': formats, 'alignments': alignments}, sys.stdout, ensure_ascii=False, default=str)
)py";
    ReadBack out;
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QString::fromUtf8(kScript), path});
    if (!reader.waitForFinished(120000) || reader.exitStatus() != QProcess::NormalExit ||
        reader.exitCode() != 0) {
        out.error =
            QStringLiteral("the reader failed on %1: %2 %3")
                .arg(path, reader.errorString(), QString::fromUtf8(reader.readAllStandardError()));
        return out;
    }
    const QJsonObject json = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    out.encoding = json.value(QStringLiteral("encoding")).toString();
    for (const QJsonValue &row : json.value(QStringLiteral("rows")).toArray())
        out.rows.push_back(row.toArray().toVariantList());
    for (const QJsonValue &row : json.value(QStringLiteral("formats")).toArray()) {
        QStringList formats;
        for (const QJsonValue &f : row.toArray())
            formats << f.toString();
        out.formats.push_back(formats);
    }
    for (const QJsonValue &row : json.value(QStringLiteral("alignments")).toArray()) {
        QStringList alignments;
        for (const QJsonValue &a : row.toArray())
            alignments << a.toString();
        out.alignments.push_back(alignments);
    }
    return out;
}

} // namespace kelo::test
