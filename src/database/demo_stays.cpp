// Demo data, stays and rooms: the hotels' room inventory, the stays with their nights and
// charges, the room reservations, the hotel calendar and the extra sales.
//
// Writes DE020MS (room inventory), DA010MS (stays), DA030MS DA030SS (stay-nights and room
// sales), DC020MS (charges, each pointing to the first line of its stay), DE030MS (rooms sold
// per type and guest type, summed from the stay-nights), CA010MS CA011DT (reservations and
// their nights), CX011MS (hotel calendar), KE030MS KE040MS (extra sales and refunds). The room
// revenue and extra charges go to IA010MS through SaleLines.

#include "database/demo_context.h"

#include <algorithm>
#include <cmath>

namespace kelo::database::demo {

namespace {

struct RoomType {
    QString hotel, type;
    int rooms;
    double rate;
};
const std::vector<RoomType> roomTypes = {
    {"1001", "ST", 120, 180000}, {"1001", "DX", 60, 240000}, {"1001", "SU", 20, 450000},
    {"1002", "ST", 80, 120000},  {"1002", "FM", 70, 150000}, {"1003", "ST", 60, 80000},
    {"1003", "FM", 40, 100000},
};

double rateFactor(const QString &gt) {
    if (gt == QLatin1String("900") || gt == QLatin1String("910"))
        return 0.0;
    if (gt.startsWith(u'2'))
        return 0.7;
    if (gt == QLatin1String("300"))
        return 0.8;
    if (gt == QLatin1String("400"))
        return 0.85;
    return 1.0;
}

} // namespace

StayDays::StayDays(Context &ctx)
    : ctx(ctx), da010(ctx.c, QStringLiteral("DA010MS"),
                      {"UPJANG_CODE", "RSV_NO", "MANAGE_NO", "ROOM_NO", "ROOM_TYPE", "GUEST_NAME",
                       "GUEST_TYPE", "MEMBER_NO", "MEMBER_NAME", "CHECKIN_DATE", "CHECKOUT_DATE",
                       "CHECKIN_TYPE", "OUT_YN"}),
      da030(ctx.c, QStringLiteral("DA030MS"),
            {"UPJANG_CODE", "RSV_NO", "MANAGE_NO", "TASK_DATE", "MENU_CODE", "MENU_ITEM2",
             "MENU_ITEM3", "UNIT_AMT"}),
      da030ss(ctx.c, QStringLiteral("DA030SS"),
              {"UPJANG_CODE", "RSV_NO", "MANAGE_NO", "TASK_DATE", "MENU_CODE", "ROOMS", "SALE_AMT",
               "GUEST_TYPE", "MEMBER_NO", "ROOM_TYPE", "REMARKS"}),
      dc020(ctx.c, QStringLiteral("DC020MS"),
            {"UPJANG_CODE", "RSV_NO", "MANAGE_NO", "TASK_DATE", "SEQ_NO", "MENU_CODE", "GUEST_TYPE",
             "NET_AMT", "SVC_AMT", "VAT_AMT", "ITEM_STAT", "FIRST_UPJANG_CODE", "FIRST_RSV_NO",
             "FIRST_MANAGE_NO", "FIRST_TASK_DATE", "FIRST_SEQ_NO"}),
      de020(ctx.c, QStringLiteral("DE020MS"),
            {"UPJANG_CODE", "TASK_DATE", "ROOM_TYPE", "ROOM_CNT", "BROKEN_CNT", "INVENTORY_CNT"}),
      de030(ctx.c, QStringLiteral("DE030MS"),
            {"UPJANG_CODE", "TASK_DATE", "ROOM_TYPE", "GUEST_TYPE", "ROOMS", "GUESTS", "NET_AMT",
             "SVC_AMT"}),
      ca010(ctx.c, QStringLiteral("CA010MS"),
            {"RSV_NO", "UPJANG_CODE", "CHECKIN_DATE", "CHECKOUT_DATE", "NIGHTS", "ROOM_CNT",
             "ROOM_TYPE", "GUEST_NAME", "GUEST_TYPE", "MEMBER_NO", "STATUS_CODE", "REMARKS",
             "I_DATE"}),
      ca011(ctx.c, QStringLiteral("CA011DT"),
            {"RSV_NO", "USE_DATE", "SEQ_NO", "USE_AMT", "DEPT_CODE"}),
      cx011(ctx.c, QStringLiteral("CX011MS"), {"UPJANG_CODE", "USE_DATE", "WEEK_CODE"}),
      ke030(ctx.c, QStringLiteral("KE030MS"), {"SALE_DATE", "UPJANG_CODE", "SALE_AMT"}),
      ke040(ctx.c, QStringLiteral("KE040MS"), {"SALE_DATE", "UPJANG_CODE", "SALE_AMT"}) {}

QString StayDays::pickGuestType() {
    static const std::vector<std::pair<QString, double>> guestTypes = {
        {"100", 0.45}, {"110", 0.15}, {"200", 0.12}, {"210", 0.03},
        {"300", 0.10}, {"400", 0.10}, {"900", 0.03}, {"910", 0.02}};
    double x = ctx.rng.real();
    for (const auto &[code, p] : guestTypes) {
        if (x < p)
            return code;
        x -= p;
    }
    return guestTypes.back().first;
}

void StayDays::rooms(Day &day, SaleLines &sales) {
    Rng &rng = ctx.rng;
    const int scale = ctx.scale();
    const QDate &d = day.d;
    const QString &date = day.date;
    const bool weekend = day.weekend;
    const QDate &last = ctx.last;
    int rsvSeq = 0;
    int &billSeq = day.billSeq;
    // Hotels: inventory, stays and their charges.
    std::map<std::pair<QString, QString>, std::array<double, 4>>
        sold; // (hotel,type|guest) rooms, guests, net, svc
    std::map<QString, Night> nights;
    std::vector<Stay> staying = std::move(m_carry);
    m_carry.clear();
    for (const RoomType &rt : roomTypes) {
        const int rooms = rt.rooms * scale;
        const int broken = rng.between(0, 2), inventory = rng.between(0, 1);
        de020.row({rt.hotel, date, rt.type, rooms, broken, inventory});
        const double occ =
            std::clamp(0.5 + (weekend ? 0.3 : 0.0) + (d.month() >= 7 && d.month() <= 8 ? 0.15 : 0) +
                           (rng.real() - 0.5) * 0.2,
                       0.15, 0.98);
        int already = 0;
        for (const Stay &s : staying)
            already += s.hotel == rt.hotel && s.type == rt.type;
        const int arrivals =
            std::max(0, int(std::lround((rooms - broken - inventory) * occ)) - already);
        for (int a = 0; a < arrivals; ++a) {
            const QString gt = pickGuestType();
            const QString rsv =
                date.mid(2) + QStringLiteral("%1").arg(++rsvSeq, 4, 10, QChar(u'0'));
            const QString member = gt.startsWith(u'2') ? rng.pick(ctx.members) : QString();
            const int nights = rng.chance(0.35) ? 2 : 1;
            const Stay s{rt.hotel,
                         rt.type,
                         rsv,
                         gt,
                         member,
                         std::round(rt.rate * rateFactor(gt) / 1000) * 1000,
                         rng.between(1, 4),
                         date};
            da010.row({rt.hotel, rsv, "01",
                       QStringLiteral("%1%2")
                           .arg(rng.between(2, 12))
                           .arg(rng.between(1, 40), 2, 10, QChar(u'0')),
                       rt.type, QStringLiteral("고객%1").arg(rsv.right(4)), gt, member,
                       member.isEmpty() ? QString() : QStringLiteral("회원"), date,
                       ymd(d.addDays(nights)), weekend ? "2" : "1",
                       d.addDays(nights) <= last ? "Y" : "N"});
            staying.push_back(s);
            if (nights == 2)
                m_carry.push_back(s);
        }
    }
    for (const Stay &s : staying) {
        const double svc = std::round(s.rate * 0.1);
        da030.row({s.hotel, s.rsv, "01", date, "D1001", s.guestType, s.type, s.rate});
        da030ss.row(
            {s.hotel, s.rsv, "01", date, "D1001", 1, s.rate, s.guestType, s.member, s.type, ""});
        dc020.row({s.hotel, s.rsv, "01", date, 1, "D1001", s.guestType, s.rate, svc,
                   std::round(s.rate * 0.1), "1", s.hotel, s.rsv, "01", s.firstDate, 1});
        auto &agg = sold[{s.hotel + u'|' + s.type, s.guestType}];
        agg[0] += 1;
        agg[1] += s.guests;
        agg[2] += s.rate;
        agg[3] += svc;
        Night &night = nights[s.hotel];
        night.rooms += 1;
        night.guests += s.guests;
        night.net += s.rate;
        night.svc += svc;
        if (rng.chance(0.15)) {
            const double minibar = 15000.0 * rng.between(1, 3);
            dc020.row({s.hotel, s.rsv, "01", date, 2, "D2001", s.guestType, minibar, 0,
                       std::round(minibar * 0.1), "1", s.hotel, s.rsv, "01", date, 2});
        }
    }
    for (const auto &[key, agg] : sold) {
        const QStringList ht = key.first.split(u'|');
        de030.row({ht[0], date, ht[1], key.second, agg[0], agg[1], agg[2], agg[3]});
    }
    for (const auto &[hotel, night] : nights) {
        const Menu *room = ctx.menusOf[hotel][0];
        const QString bill = QStringLiteral("H%1").arg(++billSeq, 6, 10, QChar(u'0'));
        sales.roomRevenue(day, hotel, bill, *room, night);
        for (int k = 0, n = rng.between(2, 8) * scale; k < n; ++k) {
            const Menu &extra = *ctx.menusOf[hotel][size_t(rng.between(1, 3))];
            sales.line(day, hotel, QStringLiteral("H%1").arg(++billSeq, 6, 10, QChar(u'0')), 1,
                       extra, rng.between(1, 2), extra.price, "", "", 0);
        }
    }
}

void StayDays::reservations(Day &day) {
    Rng &rng = ctx.rng;
    const QDate &d = day.d;
    const QString &date = day.date;
    const std::vector<QString> &members = ctx.members;
    for (int k = 0, n = rng.between(2, 6); k < n; ++k) {
        const QString rsv = QStringLiteral("C%1%2").arg(date.mid(2)).arg(k, 3, 10, QChar(u'0'));
        const bool staff = rng.chance(0.4);
        const QString member =
            staff
                ? QStringLiteral("10%1%2").arg(rng.between(0, 999999), 6, 10, QChar(u'0')).arg("00")
                : rng.pick(members);
        const int nights = rng.between(1, 3);
        ca010.row({rsv, rng.chance(0.5) ? "1001" : "1002", date, ymd(d.addDays(nights)), nights,
                   rng.between(1, 2), rng.chance(0.5) ? "ST" : "FM",
                   QStringLiteral("예약%1").arg(k + 1), rng.chance(0.5) ? "200" : "100", member,
                   rng.chance(0.1) ? "C" : "R", "", serial(d.addDays(-rng.between(1, 30)))});
        for (int night = 0; night < nights; ++night)
            ca011.row({rsv, ymd(d.addDays(night)), 1, 100000.0 * rng.between(1, 3), "1110"});
    }
}

void StayDays::calendar(Day &day) {
    Rng &rng = ctx.rng;
    const QString &date = day.date;
    const bool weekend = day.weekend;
    for (const char *h : {"1001", "1002", "1003"}) {
        cx011.row({h, date, weekend ? "2" : "1"});
        if (rng.chance(0.3))
            ke030.row({date, h, std::round(rng.real() * 500) * 1000});
        if (rng.chance(0.1))
            ke040.row({date, h, -std::round(rng.real() * 200) * 1000});
    }
}

} // namespace kelo::database::demo
