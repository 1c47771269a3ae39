// Demo data, golf and leisure: the golf course's bookings with their lockers, on the days the
// course is open, and its calendar. The green fees, carts and caddies themselves are bills of
// the golf outlet (point of sale), as are the leisure facilities' sales.
//
// Writes CA020MS (golf bookings, a few under employees' member numbers), HA010MS HA020MS
// (lockers and their sales) and CX030MS (golf calendar).

#include "database/demo_context.h"

namespace kelo::database::demo {

GolfDays::GolfDays(Context &ctx)
    : ctx(ctx), ca020(ctx.c, QStringLiteral("CA020MS"),
                      {"RSV_NO", "COME_DATE", "MEMBER_NO", "GUEST_NAME", "CHARGE_GUBUN",
                       "RATE_GUBUN", "ROUND_GUBUN", "STATUS_CODE", "ACCEPT_NO", "I_DATE"}),
      ha010(ctx.c, QStringLiteral("HA010MS"), {"SALE_DATE", "RSV_NO", "LOCKER_NO", "LOCKER_SEQ"}),
      ha020(ctx.c, QStringLiteral("HA020MS"), {"SALE_DATE", "LOCKER_NO", "LOCKER_SEQ", "SALE_AMT"}),
      cx030(ctx.c, QStringLiteral("CX030MS"), {"USE_DATE", "BUSI_CODE"}) {}

void GolfDays::bookings(Day &day) {
    Rng &rng = ctx.rng;
    const int scale = ctx.scale();
    const QDate &d = day.d;
    const QString &date = day.date;
    const std::vector<QString> &members = ctx.members;
    if (SeasonFactor(QStringLiteral("2001"), d) > 0) {
        for (int k = 0, n = rng.between(4, 12) * scale; k < n; ++k) {
            const QString rsv = QStringLiteral("G%1%2").arg(date.mid(2)).arg(k, 3, 10, QChar(u'0'));
            // Most rounds are booked under a member's number, a few under an employee's (the
            // staff's own or the head office's) at the employees' rate.
            const double who = rng.real();
            const bool staff = who < 0.1;
            const QString member = who < 0.06  ? rng.pick(ctx.staffMembers)
                                   : who < 0.1 ? rng.pick(ctx.headOfficeMembers)
                                               : rng.pick(members);
            const int charge = staff ? 4 : rng.between(1, 3);
            ca020.row({rsv, date, member, QStringLiteral("내장객%1").arg(k + 1),
                       QString::number(charge), "1", "18", rng.chance(0.08) ? "C" : "R",
                       QStringLiteral("A%1").arg(k + 1), serial(d.addDays(-rng.between(1, 20)))});
            const QString locker =
                QStringLiteral("%1").arg(rng.between(1, 400), 4, 10, QChar(u'0'));
            ha010.row({date, rsv, locker, k + 1});
            ha020.row({date, locker, k + 1, 5000});
        }
    }
}

void GolfDays::calendar(Day &day) {
    cx030.row({day.date, day.weekend ? "2" : "1"});
}

} // namespace kelo::database::demo
