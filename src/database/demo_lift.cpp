// Demo data, the lift ticket office, written after the days and before the derived figures from
// a stream of its own seeded per day (it takes nothing from the run's stream):
//
//   IB020MS  the online agencies' commission rates (여행창조 8 per cent, 10 from December 2025;
//            이지웰 12 per cent);
//   IB030MS  the tourism association's members;
//   IB010MS  how each point-of-sale line of the lift outlets (5001 lift, 5004 night, 5007 season
//            pass) was sold: a discount kind drawn by the ticket kind, with the online agency or
//            the association member where the kind has one. The line's list amount is what
//            the line was written with (tickets at the item's price); its net amount is the list
//            amount less the kind's rate (set I0011, ITEM1), to the 100 won.
//
// The lines' NET_AMT and VAT_AMT in IA010MS then become the discounted ones, so the daily figures
// built afterwards (SA030MS and on) count what the lift tickets really brought in.

#include "database/demo_context.h"

#include <cmath>

namespace kelo::database::demo {

namespace {

constexpr quint64 kLiftStream = 4;

struct Kind {
    const char *code;
    double rate; // per cent, as set I0011 gives it
};
const Kind kFull{"00", 0}, kMember{"10", 30}, kCard{"20", 20}, kGroup{"30", 25}, kOnline{"40", 35},
    kAssoc{"50", 40}, kPackage{"60", 45};

struct Weighted {
    const Kind *kind;
    double weight;
};

// Who buys which ticket: season passes only at the full price or the members' rate; night
// tickets without groups and packages; day tickets every way.
const std::vector<Weighted> &mixOf(const QString &ticketKind) {
    static const std::vector<Weighted> season{{&kFull, 70}, {&kMember, 30}};
    static const std::vector<Weighted> night{
        {&kFull, 45}, {&kMember, 15}, {&kCard, 15}, {&kOnline, 15}, {&kAssoc, 10}};
    static const std::vector<Weighted> day{{&kFull, 35},  {&kMember, 12}, {&kCard, 12},
                                           {&kGroup, 9},  {&kOnline, 14}, {&kAssoc, 9},
                                           {&kPackage, 9}};
    if (ticketKind == QLatin1String("05"))
        return season;
    if (ticketKind == QLatin1String("04"))
        return night;
    return day;
}

const Kind &draw(Rng &r, const std::vector<Weighted> &mix) {
    double total = 0;
    for (const Weighted &w : mix)
        total += w.weight;
    double p = r.real() * total;
    for (const Weighted &w : mix) {
        if (p < w.weight)
            return *w.kind;
        p -= w.weight;
    }
    return *mix.back().kind;
}

const char *const kMembers[][3] = {
    {"T01", "설봉산장펜션", "숙박"}, {"T02", "하늘정원모텔", "숙박"}, {"T03", "알프스민박", "숙박"},
    {"T04", "눈꽃펜션", "숙박"},     {"T05", "산마루식당", "식당"},   {"T06", "황태명가", "식당"},
    {"T07", "스노우렌탈샵", "렌탈"}, {"T08", "레드스키렌탈", "렌탈"},
};

void writeReference(Context &ctx) {
    Inserter rates(ctx.c, QStringLiteral("IB020MS"),
                   {"AGENCY_CODE", "DATE_FROM", "DATE_TO", "COMM_RATE"});
    rates.row({"01", "20000101", "20251130", 8});
    rates.row({"01", "20251201", "99991231", 10});
    rates.row({"02", "20000101", "99991231", 12});
    Inserter members(ctx.c, QStringLiteral("IB030MS"),
                     {"ASSOC_CODE", "ASSOC_NAME", "ASSOC_GUBUN", "USE_YN"});
    for (const auto &m : kMembers)
        members.row({m[0], m[1], m[2], "Y"});
}

void writeTickets(Context &ctx) {
    db::Query lines(ctx.c);
    lines.setSql(QStringLiteral(R"sql(
SELECT SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, NVL(TICKET_KIND, '01'), SALE_QTY, NET_AMT
FROM IA010MS
WHERE UPJANG_CODE IN ('5001', '5004', '5007')
    AND SALE_DATE BETWEEN :DATE_FROM AND :DATE_TO
ORDER BY SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO
)sql"));
    lines.setParam(QStringLiteral("DATE_FROM"), ymd(ctx.first));
    lines.setParam(QStringLiteral("DATE_TO"), ymd(ctx.last));
    // Read first: on a server the writer's batches must not run while the lines are read.
    struct Line {
        QString date, outlet, bill, seq, ticket;
        double qty, list;
    };
    std::vector<Line> read;
    for (lines.open(); !lines.eof(); lines.next())
        read.push_back({lines.text(0), lines.text(1), lines.text(2), lines.text(3), lines.text(4),
                        lines.number(5), lines.number(6)});
    lines.close();
    Inserter ib(ctx.c, QStringLiteral("IB010MS"),
                {"SALE_DATE", "UPJANG_CODE", "BILL_NO", "SEQ_NO", "TICKET_KIND", "DC_GUBUN",
                 "AGENCY_CODE", "ASSOC_CODE", "PKG_YN", "SALE_QTY", "LIST_AMT", "DC_AMT",
                 "NET_AMT"});
    QString streamDate;
    Rng r{0};
    for (const Line &l : read) {
        if (l.date != streamDate) {
            r = DayStream(ctx, QDate::fromString(l.date, QStringLiteral("yyyyMMdd")), kLiftStream);
            streamDate = l.date;
        }
        const Kind &kind = draw(r, mixOf(l.ticket));
        const double net = std::round(l.list * (100 - kind.rate) / 100 / 100) * 100;
        const QString agency =
            &kind == &kOnline ? QString::fromLatin1(r.chance(0.6) ? "01" : "02") : QString();
        const QString assoc = &kind == &kAssoc
                                  ? QString::fromUtf8(kMembers[r.next() % std::size(kMembers)][0])
                                  : QString();
        ib.row({l.date, l.outlet, l.bill, l.seq, l.ticket, kind.code, agency, assoc,
                &kind == &kPackage ? "Y" : "N", l.qty, l.list, l.list - net, net});
    }
    ib.flush();
    // The lines bring in the discounted amounts (nets are whole hundreds: the VAT is exact).
    db::Query update(ctx.c);
    update.setSql(QStringLiteral(R"sql(
UPDATE IA010MS
SET NET_AMT = (
        SELECT I.NET_AMT
        FROM IB010MS I
        WHERE I.SALE_DATE = IA010MS.SALE_DATE
            AND I.UPJANG_CODE = IA010MS.UPJANG_CODE
            AND I.BILL_NO = IA010MS.BILL_NO
            AND I.SEQ_NO = IA010MS.SEQ_NO
    ),
    VAT_AMT = (
        SELECT I.NET_AMT / 10
        FROM IB010MS I
        WHERE I.SALE_DATE = IA010MS.SALE_DATE
            AND I.UPJANG_CODE = IA010MS.UPJANG_CODE
            AND I.BILL_NO = IA010MS.BILL_NO
            AND I.SEQ_NO = IA010MS.SEQ_NO
    )
WHERE UPJANG_CODE IN ('5001', '5004', '5007')
    AND SALE_DATE BETWEEN :DATE_FROM AND :DATE_TO
)sql"));
    update.setParam(QStringLiteral("DATE_FROM"), ymd(ctx.first));
    update.setParam(QStringLiteral("DATE_TO"), ymd(ctx.last));
    update.exec();
}

} // namespace

void WriteLiftTickets(Context &ctx) {
    writeReference(ctx);
    writeTickets(ctx);
}

} // namespace kelo::database::demo
