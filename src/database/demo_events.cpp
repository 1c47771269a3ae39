// Demo data, events: banquets, weddings and seminars booked on some days, some of them
// cancelled, some checked for the event report.
//
// Writes FA010MS (events) and FA010DS (their report check).

#include "database/demo_context.h"

namespace kelo::database::demo {

EventDays::EventDays(Context &ctx)
    : ctx(ctx), fa010(ctx.c, QStringLiteral("FA010MS"),
                      {"EVENT_NO", "EVENT_NAME", "DATE_FROM", "DATE_TO", "ADULT_CNT", "CHILD_CNT",
                       "CONFIRM_DATE", "CANCEL_DATE"}),
      fa010ds(ctx.c, QStringLiteral("FA010DS"),
              {"EVENT_NO", "REPORT_CHK", "U_EMP_NO", "U_DATE", "U_IP"}) {}

void EventDays::day(Day &day) {
    Rng &rng = ctx.rng;
    const QDate &d = day.d;
    const QString &date = day.date;
    const double now = serial(d.addDays(1));
    if (rng.chance(0.4)) {
        const QString no = QStringLiteral("E%1").arg(++m_eventNo, 7, 10, QChar(u'0'));
        const bool cancelled = rng.chance(0.1);
        fa010.row({no,
                   rng.pick(std::vector<QString>{"기업 세미나", "결혼식", "동창회", "워크숍",
                                                 "골프대회"}),
                   date, ymd(d.addDays(rng.between(0, 2))), rng.between(20, 200),
                   rng.between(0, 40), ymd(d.addDays(-rng.between(5, 60))),
                   cancelled ? ymd(d.addDays(-2)) : QString()});
        if (rng.chance(0.5))
            fa010ds.row({no, "Y", kStampEmp, now, kStampIp});
    }
}

} // namespace kelo::database::demo
