#pragma once

// SRS160: the tour gondola's reservation reports. A narrow grid lists the reports of code set
// S0021; the report of the current row opens beside it in the viewer for the dates of the
// search panel, whenever the current row changes.

#include "controls/edits.h"
#include "framework/editablegrid.h"
#include "viewer/rdviewer.h"

#include <QLabel>

namespace kelo::screens {

class TfrmSRS160 : public TfrmZZI090 {
    Q_OBJECT
public:
    explicit TfrmSRS160(db::Connection &connection, QWidget *parent = nullptr);

    // The report of a code of S0021 ("1" to "7"); empty for any other code.
    static QString ReportName(const QString &code);

    void bbtSearchClick() override;
    // Opens the report of the current row: "/rp [F] [T]", fitted to the page.
    void rgrGridRowChange();

    QLabel *lblDate;
    controls::MaskedEdit *FromDate;
    QLabel *Label1;
    controls::MaskedEdit *ToDate;
    viewer::Rdviewer40 *Rdviewer401;

private:
    void FormCreate();
    bool m_searching = false;
};

} // namespace kelo::screens
