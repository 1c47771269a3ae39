#pragma once

// Reading a report definition (.mrd, docs/report-definition.md) into the report engine's
// terms: the declared parameters, the data sets with their statements and display
// formats, and the bands with their items. Nothing runs here; a definition that breaks a
// rule is refused with "NAME.mrd:line:column: reason".

#include "common/reportcatalogue.h"
#include "report/definition.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace kelo::db {
class Connection;
}

namespace kelo::viewer {

enum class ParamType { Text, Date, Month, Number };

struct ParameterDecl {
    QString name;
    int position = 0; // 1, 2, ... in the "/rp" syntax; 0 for a parameter sent by name only
    ParamType type = ParamType::Text;
    // What the prompt shows: the caption (the name without one), the value it starts with
    // (a value of the type, or a word of kDefaultWords) and, from a statement that reads
    // without parameters, the values to choose from (first column the value, second the
    // text shown; one column is both).
    QString caption;
    QString defaultValue;
    QString choicesSql;
    // False for a switch its variants fix (prompt="false"): the prompt and the catalogue leave
    // it out, and it keeps its default.
    bool prompted = true;
    QString shownCaption() const { return caption.isEmpty() ? name : caption; }
};

// Where an element stands in its file, for the messages of later checks.
struct SourcePlace {
    int line = 0, column = 0;
};

struct DataSetDecl {
    QString name;
    QString sql;
    report::DataSet *set = nullptr;
    SourcePlace place; // of its <sql>
};

// A field the definition reads, checked against its data set once the rows are there.
struct FieldUse {
    report::DataSet *set = nullptr;
    QString field;
    QString element; // "field", "chart", "band", "link", "style"
    SourcePlace place;
};

// A picture item (<image file="...">), its picture read by the viewer from the definition's
// folder before the report runs.
struct PictureUse {
    report::Band *band = nullptr;
    size_t item = 0; // in band->items
    QString file;    // relative to the definition's folder
    SourcePlace place;
};

struct LoadedReport {
    QString fileName; // "MIS(SRI060).mrd", the head of every message
    QString name, title;
    // Where the report catalogue lists it, and the programs whose permission opens it
    // there (none: whoever may open the catalogue).
    QString folder;
    QStringList programs;
    std::vector<ParameterDecl> parameters;
    std::vector<DataSetDecl> dataSets; // in the order declared
    std::vector<FieldUse> fieldUses;
    report::ReportDefinition definition;

    // The values bound to the parameters by declared name; a missing or empty value is
    // NULL. The <param> items print from here.
    QHash<QString, QString> values;
    // Per-print state of items (the last value of repeat="false"), reset before each
    // layout.
    std::vector<std::function<void()>> resets;

    std::vector<std::unique_ptr<report::DataSet>> ownedSets;

    // A variant (<report extends="BASE">) holds only its base's name, its name and title
    // and the parameter values it fixes; the rest is the base's.
    QString extends;
    QHash<QString, QString> fixedValues;
    bool isVariant() const { return !extends.isEmpty(); }

    std::vector<PictureUse> pictures; // in the order placed

    const ParameterDecl *parameter(const QString &name) const;
    report::DataSet *dataSet(const QString &name) const;
    QString message(const SourcePlace &place, const QString &reason) const;
};

struct ParseResult {
    std::unique_ptr<LoadedReport> report; // null when refused
    QString error;
};

// Reads a definition; fileName names it in messages (the last part of its location).
// The data sets' statements will run on connection.
ParseResult ParseDefinition(const QByteArray &xml, const QString &fileName,
                            db::Connection &connection);

// A base a variant may name: a file name without the ".mrd" in the variant's own folder,
// so no path separators, drive or "..".
bool IsBaseName(const QString &name);

// kMaxVariantDepth and kMaxDefinitionBytes: common/reportcatalogue.h, which the report server's
// index keeps too.

} // namespace kelo::viewer
