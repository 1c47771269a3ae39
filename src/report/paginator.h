#pragma once

#include "report/document.h"

#include <QDateTime>
#include <memory>

namespace kelo::report {

// Lays report definitions out into a page document. Reports added one after another
// form one job (a composite): a report continues on the page where the previous one
// ended unless it asks for a new page or its page setup differs; page numbers run
// through the job.
//
// Order on a page: the page header, then (at the report's start) the title, the
// column header, then the body: per main row its group headers, the detail band, the
// sub-detail rows linked to it, its group footers; after the last row the summary. A
// band that does not fit goes to the next page, which begins with the page header and
// the column header; the page footer stands at the bottom of each page.
class Paginator {
public:
    // printedAt: the date and time the system-data items print.
    explicit Paginator(const QString &title, const QDateTime &printedAt);
    ~Paginator();

    // Lays out one report after what is there. Its data sets must be open.
    void add(ReportDefinition &report);
    // The document, with the page counts filled in.
    Document finish();

private:
    struct State;
    std::unique_ptr<State> d;
};

// One report, or several as one job, printed now.
Document Paginate(ReportDefinition &report);
Document Paginate(const std::vector<ReportDefinition *> &reports, const QString &title);

} // namespace kelo::report
