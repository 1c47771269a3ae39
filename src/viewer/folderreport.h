#pragma once

// A report definition read from a folder of definitions in one go, the way the report server's
// web pages open it: the definition, the bases its variants stand on (from the same folder, no
// more than kMaxVariantDepth deep, never back to a file already read) and the pictures it
// places, each within its size.

#include "viewer/definition_parser.h"

#include <QHash>
#include <QString>
#include <memory>

namespace kelo::viewer {

struct FolderReport {
    // The base with the outermost variant's name and title; null when it could not be read.
    std::unique_ptr<LoadedReport> report;
    QHash<QString, QString> fixed; // the values the variants fix, the outermost's over the rest
    QString error;                 // why it could not be read, naming the file
};

// fileName: a definition's file name in folder ("객실판매총괄.mrd"), no path.
FolderReport LoadFromFolder(const QString &folder, const QString &fileName,
                            db::Connection &connection);

} // namespace kelo::viewer
