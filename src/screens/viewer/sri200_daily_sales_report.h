#pragma once

// The daily sales report screens whose data the database builds first: SRI200 (looks the
// date up in SA092MS) and SRS440 (in SA091MS). A search for a date the table lacks runs
// PR_SRI200_01 for it, in a transaction of the screen's own, before the report opens; the
// procedure records the date in both tables, so each date is built once for both screens.
// SRS410, the third of the family, only chooses the report version (report_viewers.cpp).

#include "db/query.h"
#include "db/storedproc.h"
#include "screens/viewer/report_viewers.h"

#include <memory>

namespace kelo::screens {

class TfrmDataBuildViewer : public TfrmReportViewer {
    Q_OBJECT
public:
    // programId: "SRI200" or "SRS440".
    TfrmDataBuildViewer(db::Connection &connection, const QString &programId,
                        QWidget *parent = nullptr);
    ~TfrmDataBuildViewer() override;

    void BitBtn1Click() override;

    db::Query *qryTemp;
    db::StoredProc *prcProc;

private:
    void build();

    std::unique_ptr<db::Query> m_query;
    std::unique_ptr<db::StoredProc> m_proc;
};

} // namespace kelo::screens
