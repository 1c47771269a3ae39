#pragma once

#include "common/cp949.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstring>
#include <vector>

// The records of a worksheet file as the tests read them back.
struct XlsRecord {
    int type = 0;
    int row = -1, column = -1;
    QString text;
    double number = 0;
    int codePage = 0; // of the code page record
    bool isNumber() const { return type == 0x0203; }
    bool isText() const { return type == 0x0204; }
};

inline std::vector<XlsRecord> ReadXls(const QString &path, bool *wellFormed = nullptr) {
    QFile f(path);
    std::vector<XlsRecord> records;
    bool ok = f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    auto word = [&](qsizetype at) {
        return int(quint8(bytes.at(at))) | int(quint8(bytes.at(at + 1))) << 8;
    };
    qsizetype at = 0;
    while (ok && at + 4 <= bytes.size()) {
        XlsRecord r;
        r.type = word(at);
        const int length = word(at + 2);
        if (at + 4 + length > bytes.size()) {
            ok = false;
            break;
        }
        const qsizetype data = at + 4;
        if (r.type == 0x0204) {
            r.row = word(data);
            r.column = word(data + 2);
            const int n = word(data + 6);
            ok = ok && length == 8 + n;
            r.text = kelo::FromCp949(bytes.mid(data + 8, n));
        } else if (r.type == 0x0203) {
            r.row = word(data);
            r.column = word(data + 2);
            ok = ok && length == 14;
            std::memcpy(&r.number, bytes.constData() + data + 6, 8);
        } else if (r.type == 0x0809) {
            ok = ok && length == 8 && word(data) == 0 && word(data + 2) == 0x0010;
        } else if (r.type == 0x0042) {
            ok = ok && length == 2;
            r.codePage = word(data);
        } else if (r.type == 0x000A) {
            ok = ok && length == 0;
        }
        records.push_back(r);
        at = data + length;
    }
    if (wellFormed)
        *wellFormed = ok && at == bytes.size() && records.size() >= 3 &&
                      records.front().type == 0x0809 && records[1].codePage == 949 &&
                      records.back().type == 0x000A;
    return records;
}
