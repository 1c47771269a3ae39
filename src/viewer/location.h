#pragma once

// Where a report definition comes from: an http:// location of a report server, or a
// file, where "C:/켈로리조트/RD레포트/..." stands for the local report folder.

#include <QString>
#include <QUrl>

namespace kelo::viewer {

struct ResolvedLocation {
    QUrl url;      // an http or https location
    QString path;  // else the file
    QString name;  // the definition's file name, for messages ("MIS(SRI060).mrd")
    QString error; // a location that leads nowhere
    bool isHttp() const { return url.isValid() && !url.isEmpty(); }
};

// Backslashes read as slashes; the path of an http location is percent-encoded as UTF-8.
ResolvedLocation ResolveLocation(const QString &location);

} // namespace kelo::viewer
