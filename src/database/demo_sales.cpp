// Demo data, point of sale: the bills of every outlet that sells, by season (ski outlets in
// winter, the golf course from March to November), and the sales lines of the hotels.
//
// Writes IA010MS (every sales line: the outlets' bills here, the hotels' room charges (one
// line per occupied room, the room number as the bill) and extra charges for the stays unit
// through SaleLines). One line of a bill carries its head
// count (KOREAN_QTY) and the hotel guests among them (INHOUSE_QTY); at the F&B outlets every
// line carries the bill's meal period (MEAL_GUBUN): what the data build turns into SA030MS
// and SA040MS.

#include "database/codes.h"
#include "database/demo_context.h"

#include <algorithm>
#include <cmath>

namespace kelo::database::demo {

double SeasonFactor(const QString &outlet, const QDate &d) {
    const int m = d.month();
    const bool weekend = d.dayOfWeek() >= 6;
    const bool winter = m == 12 || m <= 3;
    if (outlet.startsWith(u'5') && outlet != QLatin1String("5002") && outlet.toInt() <= 5007)
        return winter ? (weekend ? 2.0 : 1.2) : 0.0; // ski outlets sell only in winter
    if (outlet.startsWith(QLatin1String("200")))
        return winter ? (m == 3 ? 0.5 : 0.0) : (weekend ? 1.6 : 1.0);
    if (outlet == QLatin1String("4003"))
        return winter ? 1.5 : 0.0; // the snow sled
    return weekend ? 1.4 : 1.0;
}

SaleLines::SaleLines(Context &ctx)
    : m_ia(ctx.c, QStringLiteral("IA010MS"),
           {"SALE_DATE",  "UPJANG_CODE", "BILL_NO",          "SEQ_NO",     "MENU_CODE",
            "MENU_ITEM1", "MENU_ITEM2",  "MENU_ITEM3",       "MENU_ITEM4", "MENU_ITEM5",
            "SALE_QTY",   "NET_AMT",     "TIP_AMT",          "VAT_AMT",    "TICKET_KIND",
            "GUEST_TYPE", "MEMBER_NO",   "ACCEPT_MEMBER_NO", "KOREAN_QTY", "FOREIGN_QTY",
            "MEAL_GUBUN", "INHOUSE_QTY"}) {}

void SaleLines::line(Day &day, const QString &outlet, const QString &bill, int seq, const Menu &m,
                     double qty, double unit, const QString &guestType, const QString &member,
                     double tipRate, const Heads &heads) {
    const double net = std::round(qty * unit);
    const double tip = std::round(net * tipRate);
    const double vat = std::round(net * 0.1);
    m_ia.row({day.date,     outlet, bill,         seq,          m.code, m.item1,
              m.item2,      "",     "",           "",           qty,    net,
              tip,          vat,    m.ticketKind, guestType,    member, "",
              heads.guests, 0,      heads.period, heads.inHouse});
}

OutletDays::OutletDays(Context &ctx)
    : ctx(ctx), m_outlets([&] {
          std::vector<QString> v;
          for (const Outlet &o : StandardOutlets())
              if (ctx.menusOf.count(o.code))
                  v.push_back(o.code);
          return v;
      }()) {}

void OutletDays::bills(Day &day, SaleLines &sales) {
    Rng &rng = ctx.rng;
    const int scale = ctx.scale();
    const std::vector<QString> &members = ctx.members;
    const QDate &d = day.d;
    const bool weekend = day.weekend;
    int &billSeq = day.billSeq;
    for (const QString &outlet : m_outlets) {
        if (outlet.startsWith(QLatin1String("100")))
            continue;
        const double factor = SeasonFactor(outlet, d);
        if (factor <= 0)
            continue;
        const auto &list = ctx.menusOf[outlet];
        const bool golf = outlet == QLatin1String("2001");
        const bool fnb = list.front()->code.startsWith(u'F') || list.front()->code.startsWith(u'B');
        const bool hotelFnb = outlet.startsWith(u'3');
        const int base = golf ? 24 : outlet == QLatin1String("3004") ? 2 : fnb ? 18 : 10;
        const int bills = int(std::lround(base * factor * (0.8 + rng.real() * 0.4))) * scale;
        for (int b = 0; b < bills; ++b) {
            const QString bill = QStringLiteral("B%1").arg(++billSeq, 6, 10, QChar(u'0'));
            const QString member = rng.chance(0.2) ? rng.pick(members) : QString();
            int covers = golf  ? 4
                         : fnb ? rng.between(1, outlet == QLatin1String("3004") ? 120 : 6)
                               : rng.between(1, 3);
            if (golf) {
                const Menu &fee = *list[weekend ? 1 : 0];
                sales.line(day, outlet, bill, 1, fee, 4, fee.price,
                           member.isEmpty() ? "100" : "200", member, 0, {covers, 0, QString()});
                sales.line(day, outlet, bill, 2, *list[2], 4, list[2]->price, "", member, 0);
                sales.line(day, outlet, bill, 3, *list[3], 4, list[3]->price, "", member, 0);
                if (rng.chance(0.5))
                    sales.line(day, outlet, bill, 4, *list[4], 4, list[4]->price, "", member, 0);
                if (rng.chance(0.1))
                    sales.line(day, outlet, bill, 5, *list[6], 1, list[6]->price, "", member, 0);
                continue;
            }
            // The bill's items first; its meal period is drawn after them.
            std::vector<std::pair<const Menu *, double>> items;
            const int lines = rng.between(1, 3);
            for (int l = 0; l < lines; ++l) {
                const Menu &m = *list[size_t(rng.next() % list.size())];
                items.emplace_back(&m, fnb ? std::max(1, covers / (l + 1)) : rng.between(1, 4));
            }
            Heads heads{covers, 0, QString()};
            if (fnb) {
                const int hour = rng.between(0, 9);
                heads.period = hour < 2 ? "10" : hour < 5 ? "20" : hour < 9 ? "30" : "40";
                heads.inHouse = hotelFnb ? int(std::lround(covers * 0.4)) : 0;
            }
            // The head count stands on the first line of the outlet's own division (a banquet's
            // meal rather than its room hire), or on the first line.
            const auto own = std::find_if(items.begin(), items.end(), [&](const auto &item) {
                return item.first->division == list.front()->division;
            });
            const size_t counted = own == items.end() ? 0 : size_t(own - items.begin());
            for (size_t l = 0; l < items.size(); ++l)
                sales.line(day, outlet, bill, int(l) + 1, *items[l].first, items[l].second,
                           items[l].first->price, "", member, hotelFnb ? 0.1 : 0,
                           l == counted ? heads : Heads{0, 0, heads.period});
        }
    }
}

} // namespace kelo::database::demo
