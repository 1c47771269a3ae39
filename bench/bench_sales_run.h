#pragma once

#include "db/query.h"

#include <QElapsedTimer>
#include <QString>

namespace kelo::bench {

// One sales view statement for a business date (and an outlet where it takes one), every row
// read: the milliseconds it took.
inline double RunSalesStatement(db::Connection &c, const QString &sql, const QString &date,
                                const QString &upjang) {
    QElapsedTimer t;
    t.start();
    db::Query q(c);
    q.setSql(sql);
    if (q.hasParam(QStringLiteral("ASALE_DATE")))
        q.setParam(QStringLiteral("ASALE_DATE"), date);
    if (q.hasParam(QStringLiteral("AUPJANG_CODE")))
        q.setParam(QStringLiteral("AUPJANG_CODE"), upjang);
    for (q.open(); !q.eof(); q.next()) {
    }
    return t.nsecsElapsed() / 1e6;
}

} // namespace kelo::bench
