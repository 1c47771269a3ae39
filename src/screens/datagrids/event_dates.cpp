#include "screens/datagrids/event_dates.h"

#include "framework/screenhelpers.h"

namespace kelo::screens {

namespace {

controls::MaskedEdit *dateEdit(QWidget *panel, const char *name) {
    return DateField(panel, name, {.mask = "!9999-!99-99;0; ", .centred = true});
}

QLabel *label(QWidget *panel, const char *name, const QString &text, int width = 0) {
    auto *l = new QLabel(text, panel);
    l->setObjectName(QLatin1String(name));
    if (width > 0)
        l->setFixedWidth(width);
    return l;
}

} // namespace

EventDates AddEventDates(QWidget *panel, QHBoxLayout *row, const QString &caption) {
    EventDates d{label(panel, "lblEvent_Date", caption),
                 dateEdit(panel, "med_Event_From_Date"),
                 label(panel, "wlb_Event_From_Yoil", QString(), 60),
                 label(panel, "lblTilde", QStringLiteral("∼")),
                 dateEdit(panel, "med_Event_To_Date"),
                 label(panel, "wlb_Event_To_Yoil", QString(), 60)};
    int at = 0;
    for (QWidget *w :
         {static_cast<QWidget *>(d.caption), static_cast<QWidget *>(d.med_Event_From_Date),
          static_cast<QWidget *>(d.wlb_Event_From_Yoil), static_cast<QWidget *>(d.tilde),
          static_cast<QWidget *>(d.med_Event_To_Date), static_cast<QWidget *>(d.wlb_Event_To_Yoil)})
        row->insertWidget(at++, w);
    return d;
}

} // namespace kelo::screens
