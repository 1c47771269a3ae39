// Demo data, the tour gondola's reservations (GA020MS), written after the gate passages from a
// stream of its own seeded per day (DayStream, table 3): nothing is drawn from the run's
// stream, and a day's reservations do not depend on where the period starts.
//
// On every day the gondola sells tickets, parties book about a quarter of the day's head count
// (IA010MS of outlet 5002): mostly couples and families, now and then a tour group of 15 to 40.
// Each party books a time slot from 08 to 16 (mornings first), between the same day and a month
// ahead. One in ten cancels (between the booking and the day booked), one in twelve of the rest
// does not come; the others get their tickets in the slot booked or the hour before, now and
// then one or two fewer than booked, at the price of the gondola's round trip. The tickets
// issued on a day never exceed the day's head count.

#include "database/demo_context.h"

namespace kelo::database::demo {

namespace {

constexpr double kBookedShare = 0.25;

// The slots 08 .. 16 booked: the morning rush up the mountain, a smaller one after lunch.
const std::array<int, 9> kSlotWeights = {6, 14, 16, 12, 7, 10, 12, 9, 5};
// The holders' age bands 10 .. 60.
const std::array<int, 6> kAgeWeights = {5, 22, 26, 21, 15, 11};

template <size_t N> int weighted(Rng &r, const std::array<int, N> &weights) {
    int total = 0;
    for (int w : weights)
        total += w;
    int x = r.between(0, total - 1);
    for (size_t i = 0; i < N; ++i) {
        if (x < weights[i])
            return int(i);
        x -= weights[i];
    }
    return int(N - 1);
}

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0'));
}

} // namespace

void WriteGondolaReservations(Context &ctx) {
    static const std::vector<QString> surnames = {"김", "이", "박", "최", "정", "강", "조",
                                                  "윤", "장", "임", "한", "오", "서", "신"};
    static const std::vector<QString> givenNames = {"민준", "서연", "도윤", "지우", "하준",
                                                    "서윤", "시우", "지민", "예준", "수아",
                                                    "주원", "하은", "지호", "윤서", "현우"};
    double price = 18000;
    for (const Menu *m : ctx.menusOf[QStringLiteral("5002")]) {
        price = m->price;
        break;
    }
    db::Query heads(ctx.c);
    heads.setSql(QStringLiteral(R"sql(
SELECT SALE_DATE, SUM(NVL(KOREAN_QTY, 0) + NVL(FOREIGN_QTY, 0)) AS HEADS
FROM IA010MS
WHERE UPJANG_CODE = '5002'
    AND SALE_DATE BETWEEN :DATE_FROM AND :DATE_TO
GROUP BY SALE_DATE
ORDER BY SALE_DATE
)sql"));
    heads.setParam(QStringLiteral("DATE_FROM"), ymd(ctx.first));
    heads.setParam(QStringLiteral("DATE_TO"), ymd(ctx.last));
    Inserter ga(ctx.c, QStringLiteral("GA020MS"),
                {"RSV_NO", "UPJANG_CODE", "USE_DATE", "USE_HOUR", "RSV_DATE", "RSV_NAME", "TEL_NO",
                 "AGE_GUBUN", "RSV_CNT", "STATUS_CODE", "CANCEL_DATE", "ISSUE_HOUR", "ISSUE_CNT",
                 "ISSUE_AMT"});
    for (heads.open(); !heads.eof(); heads.next()) {
        const QString date = heads.text(0);
        const int dayHeads = int(heads.integer(1));
        if (dayHeads <= 0)
            continue;
        const QDate d = QDate::fromString(date, QStringLiteral("yyyyMMdd"));
        Rng r = DayStream(ctx, d, 3);
        const int toBook = std::max(1, int(dayHeads * kBookedShare * (0.7 + 0.6 * r.real())));
        int booked = 0, issued = 0, seq = 0;
        while (booked < toBook) {
            const int party = r.chance(0.06) ? r.between(15, 40) : r.between(1, 6);
            const int slot = 8 + weighted(r, kSlotWeights);
            const int lead = r.chance(0.15) ? 0 : r.between(1, 30);
            const QDate bookedOn = d.addDays(-lead);
            const QString name = r.pick(surnames) + r.pick(givenNames);
            const QString tel =
                QStringLiteral("010-****-%1").arg(r.between(0, 9999), 4, 10, QChar(u'0'));
            const QString age = QString::number(10 * (1 + weighted(r, kAgeWeights)));
            const double p = r.real();
            QString status = QStringLiteral("I"), cancelDate, issueHour;
            int tickets = 0;
            if (p < 0.10) {
                status = QStringLiteral("C");
                cancelDate = ymd(bookedOn.addDays(r.between(0, lead)));
            } else if (p < 0.10 + 0.90 / 12) {
                status = QStringLiteral("N");
            } else {
                tickets = std::max(1, party - (r.chance(0.1) ? r.between(1, 2) : 0));
                if (issued + tickets > dayHeads)
                    break; // the day's head count is reached
                issueHour = twoDigits(r.chance(0.3) ? slot - 1 : slot);
                issued += tickets;
            }
            booked += party;
            ga.row({QStringLiteral("G%1%2").arg(date).arg(++seq, 4, 10, QChar(u'0')), "5002", date,
                    twoDigits(slot), ymd(bookedOn), name, tel, age, party, status, cancelDate,
                    issueHour, tickets > 0 ? V(tickets) : V(QString()),
                    tickets > 0 ? V(tickets * price) : V(QString())});
        }
    }
}

} // namespace kelo::database::demo
