// Demo data, stays and rooms: the hotels' room inventory, the stays with their nights and
// charges, the room reservations, the hotel calendar and the extra sales.
//
// Writes DE020MS (room inventory), DA010MS (stays, each in a room of its type free for all
// its nights), DA030MS DA030SS (stay-nights and room sales), DC020MS (charges in state N,
// each its own first line and its own check-out line), DE030MS (rooms sold per type and guest
// type, summed from the stay-nights), CA010MS CA011DT (reservations and their nights), CX011MS
// (hotel calendar), KE030MS KE040MS (extra sales and refunds). The room charges (one line per
// occupied room, billed to the room number) and extra charges go to IA010MS through SaleLines.
//
// A few stays and reservations carry an employee's member number: the staff's own ("…00") or
// the head office's (other endings).

#include "database/demo_context.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <set>

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

// The buildings of a hotel (DZ021MS.DONG_GUBUN '01', '02', …).
int buildings(const QString &hotel) {
    return hotel == QLatin1String("1003") ? 1 : 2;
}

// The room numbers of each room type: the hotel's rooms, type after type, fill its buildings
// in turn, twenty rooms a floor from the second floor up; a number is the building, the floor
// and the room, two digits each ("010201").
std::vector<std::vector<QString>> roomNumbers(int scale) {
    std::vector<std::vector<QString>> numbers;
    for (const RoomType &rt : roomTypes) {
        int before = 0, total = 0;
        for (const RoomType &other : roomTypes) {
            if (other.hotel != rt.hotel)
                continue;
            if (&other < &rt)
                before += other.rooms * scale;
            total += other.rooms * scale;
        }
        const int perBuilding = (total + buildings(rt.hotel) - 1) / buildings(rt.hotel);
        std::vector<QString> rooms;
        for (int k = before; k < before + rt.rooms * scale; ++k) {
            const int inBuilding = k % perBuilding;
            rooms.push_back(QStringLiteral("%1%2%3")
                                .arg(k / perBuilding + 1, 2, 10, QChar(u'0'))
                                .arg(inBuilding / 20 + 2, 2, 10, QChar(u'0'))
                                .arg(inBuilding % 20 + 1, 2, 10, QChar(u'0')));
        }
        numbers.push_back(std::move(rooms));
    }
    return numbers;
}

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
            {"UPJANG_CODE",    "RSV_NO",          "MANAGE_NO",       "TASK_DATE",
             "SEQ_NO",         "MENU_CODE",       "GUEST_TYPE",      "NET_AMT",
             "SVC_AMT",        "VAT_AMT",         "ITEM_STAT",       "FIRST_UPJANG_CODE",
             "FIRST_RSV_NO",   "FIRST_MANAGE_NO", "FIRST_TASK_DATE", "FIRST_SEQ_NO",
             "CO_UPJANG_CODE", "CO_RSV_NO",       "CO_MANAGE_NO",    "CO_TASK_DATE",
             "CO_SEQ_NO"}),
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
      ke040(ctx.c, QStringLiteral("KE040MS"), {"SALE_DATE", "UPJANG_CODE", "SALE_AMT"}),
      m_roomNos(roomNumbers(ctx.scale())) {}

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
    std::vector<Stay> staying = std::move(m_carry);
    m_carry.clear();
    QSet<QString> occupied; // hotel and room of the stays carried over
    for (const Stay &s : staying)
        occupied.insert(s.hotel + s.room);
    for (size_t t = 0; t < roomTypes.size(); ++t) {
        const RoomType &rt = roomTypes[t];
        const int rooms = rt.rooms * scale;
        const int broken = rng.between(0, 2), inventory = rng.between(0, 1);
        de020.row({rt.hotel, date, rt.type, rooms, broken, inventory});
        const double occ =
            std::clamp(0.5 + (weekend ? 0.3 : 0.0) + (d.month() >= 7 && d.month() <= 8 ? 0.15 : 0) +
                           (rng.real() - 0.5) * 0.2,
                       0.15, 0.98);
        // The rooms of the type that no stay carried over from yesterday occupies.
        std::vector<QString> free;
        for (const QString &room : m_roomNos[t])
            if (!occupied.contains(rt.hotel + room))
                free.push_back(room);
        const int already = rooms - int(free.size());
        const int arrivals =
            std::min(int(free.size()),
                     std::max(0, int(std::lround((rooms - broken - inventory) * occ)) - already));
        for (int a = 0; a < arrivals; ++a) {
            const QString gt = pickGuestType();
            const QString rsv =
                date.mid(2) + QStringLiteral("%1").arg(++rsvSeq, 4, 10, QChar(u'0'));
            // Members stay at the member rates; a few other stays are booked under an
            // employee's member number, mostly the staff's own.
            QString member, memberName;
            if (gt.startsWith(u'2')) {
                member = rng.pick(ctx.members);
                memberName = QStringLiteral("회원");
            } else if (gt != QLatin1String("900") && gt != QLatin1String("910") &&
                       rng.chance(0.04)) {
                member = rng.pick(rng.chance(0.8) ? ctx.staffMembers : ctx.headOfficeMembers);
                memberName = QStringLiteral("임직원");
            }
            const int nights = rng.chance(0.35) ? 2 : 1;
            const size_t at = size_t(rng.next() % free.size());
            const QString room = free[at];
            free[at] = free.back();
            free.pop_back();
            const Stay s{rt.hotel,
                         rt.type,
                         rsv,
                         gt,
                         member,
                         room,
                         std::round(rt.rate * rateFactor(gt) / 1000) * 1000,
                         rng.between(1, 4)};
            da010.row({rt.hotel, rsv, "01", room, rt.type,
                       QStringLiteral("고객%1").arg(rsv.right(4)), gt, member, memberName, date,
                       ymd(d.addDays(nights)), weekend ? "2" : "1",
                       d.addDays(nights) <= last ? "Y" : "N"});
            staying.push_back(s);
            if (nights == 2)
                m_carry.push_back(s);
        }
    }
    // Each night's charges are posted to the stay's own folio and settled there: every line is
    // its own first line and its own check-out line. The room charge goes to the point of sale
    // billed to the room.
    std::set<QString> hotels;
    for (const Stay &s : staying) {
        const double svc = std::round(s.rate * 0.1);
        da030.row({s.hotel, s.rsv, "01", date, "D1001", s.guestType, s.type, s.rate});
        da030ss.row(
            {s.hotel, s.rsv, "01", date, "D1001", 1, s.rate, s.guestType, s.member, s.type, ""});
        dc020.row({s.hotel, s.rsv,       "01",   date, 1,
                   "D1001", s.guestType, s.rate, svc,  std::round(s.rate * 0.1),
                   "N",     s.hotel,     s.rsv,  "01", date,
                   1,       s.hotel,     s.rsv,  "01", date,
                   1});
        auto &agg = sold[{s.hotel + u'|' + s.type, s.guestType}];
        agg[0] += 1;
        agg[1] += s.guests;
        agg[2] += s.rate;
        agg[3] += svc;
        sales.line(day, s.hotel, s.room, 1, *ctx.menusOf[s.hotel][0], 1, s.rate, s.guestType,
                   s.member, 0.1, {s.guests, 0, QString()});
        hotels.insert(s.hotel);
        if (rng.chance(0.15)) {
            const double minibar = 15000.0 * rng.between(1, 3);
            dc020.row({s.hotel, s.rsv,       "01",    date, 2,
                       "D2001", s.guestType, minibar, 0,    std::round(minibar * 0.1),
                       "N",     s.hotel,     s.rsv,   "01", date,
                       2,       s.hotel,     s.rsv,   "01", date,
                       2});
        }
    }
    for (const auto &[key, agg] : sold) {
        const QStringList ht = key.first.split(u'|');
        de030.row({ht[0], date, ht[1], key.second, agg[0], agg[1], agg[2], agg[3]});
    }
    for (const QString &hotel : hotels) {
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
        // Three in ten booked under a staff member number, one in ten under the head office's.
        const double who = rng.real();
        const QString member = who < 0.3   ? rng.pick(ctx.staffMembers)
                               : who < 0.4 ? rng.pick(ctx.headOfficeMembers)
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
