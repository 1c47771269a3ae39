#pragma once

// "보고서 목록": the reports of the main report server that the signed-in employee may open,
// grouped by folder, with a search over their titles. Opening one asks for its parameters
// and shows it in the viewer beside the list. The list is the server's index
// (common/reportcatalogue.h), read again with "조회": a definition dropped into the server's
// folder is listed without a release.

#include "common/reportcatalogue.h"
#include "screens/viewer/report_viewers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>

class QNetworkAccessManager;
class QNetworkReply;

namespace kelo::screens {

class TfrmSRS900 : public TfrmViewerBase {
    Q_OBJECT
public:
    explicit TfrmSRS900(db::Connection &connection, QWidget *parent = nullptr);

    // Handlers.
    void bbtSearchClick(); // "조회": reads the index again
    void bbtOpenClick();   // "열기": the report selected
    void bbtCloseClick();  // "종료"
    void edtFilterChange();

    // Runs the event loop until the list has been read (or failed); false on timeout.
    bool waitForList(int milliseconds = 30000);
    // The reports listed (after the permission, before the search).
    const std::vector<CatalogueEntry> &reports() const { return m_reports; }

    QLineEdit *edtFilter;
    QPushButton *bbtSearch, *bbtOpen, *bbtClose;
    QTreeWidget *tvwReports;
    QLabel *lblCount;

signals:
    void listRead();

private:
    void listArrived(QNetworkReply *reply);
    void fillTree();
    const CatalogueEntry *selectedEntry() const;

    QNetworkAccessManager *m_network;
    QPointer<QNetworkReply> m_reply;
    std::vector<CatalogueEntry> m_reports;
};

} // namespace kelo::screens
