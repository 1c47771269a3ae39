#pragma once

// The date conditions of the event and sales lists (SRS184, SRI210): a caption, the from-date
// med_Event_From_Date with its weekday label wlb_Event_From_Yoil, "∼", the to-date
// med_Event_To_Date with wlb_Event_To_Yoil. The edits take the mask "!9999-!99-99;0; " and at
// most ten characters.

#include "controls/edits.h"

#include <QHBoxLayout>
#include <QLabel>

namespace kelo::screens {

struct EventDates {
    QLabel *caption;
    controls::MaskedEdit *med_Event_From_Date;
    QLabel *wlb_Event_From_Yoil;
    QLabel *tilde;
    controls::MaskedEdit *med_Event_To_Date;
    QLabel *wlb_Event_To_Yoil;
};

// Builds the fields at the front of a search row.
EventDates AddEventDates(QWidget *panel, QHBoxLayout *row, const QString &caption);

} // namespace kelo::screens
