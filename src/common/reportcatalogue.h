#pragma once

// The report catalogue: what the report server lists of the definitions it serves, and
// what the client reads of that list. Qt Core only (kelo-report-server compiles it in).
//
// The index is JSON, served at ReportIndexLocation():
//   {"reports": [{"file": "객실판매총괄.mrd", "name": "객실판매총괄", "title": "...",
//                 "folder": "객실", "programs": ["SBS010"],
//                 "parameters": [{"name": "AFROM_DATE", "caption": "시작일",
//                                 "type": "date", "position": 1}]}, ...],
//    "refused": [{"file": "X.mrd", "reason": "..."}]}
// A parameter with prompt="false" is not listed. A variant lists its base's parameters
// without those it fixes, and its base's folder and programs where it names none of its own.
// Reports come in folder and title order, those without a folder last.

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace kelo {

// What a definition may be, for the viewer and for the index alike: how many variants may
// stand over a base, and the largest definition read (a definition is a few kilobytes).
constexpr int kMaxVariantDepth = 4;
constexpr qsizetype kMaxDefinitionBytes = 8 * 1024 * 1024;

struct CatalogueParameter {
    QString name, caption, type; // type: text, date, month, number
    int position = 0;
};

struct CatalogueEntry {
    QString file; // "객실판매총괄.mrd"
    QString name, title, folder;
    QStringList programs; // whose permission opens it; empty: anyone who opens the catalogue
    std::vector<CatalogueParameter> parameters;
};

// The index of the definitions (*.mrd) in folder, as the server serves it.
QByteArray CatalogueIndex(const QString &folder);

// The entries of an index; error says why it cannot be read (and the list is empty).
std::vector<CatalogueEntry> ReadCatalogueIndex(const QByteArray &json, QString *error);

// Whether an employee permitted these programs may open the entry.
bool MayOpen(const CatalogueEntry &entry, const QSet<QString> &permittedPrograms);

} // namespace kelo
