// Demo data, two small operating tables written after the days, each from a stream of its own
// seeded per day: neither draws on the run's stream, and a day's curve of the gate hours and
// its attendance do not depend on where the period starts:
//
//   GA010MS  the gondola's gate passages: each day's head count of the gondola's ticket lines
//            (IA010MS of outlet 5002, per sale item) spread over the gate hours 08 to 17 by a
//            curve of the day, the hours' passages adding up to the head count;
//   QA200MS  the attendance of the team and part leaders (duty Q008 '20' and '30') in service,
//            on every working day of the calendar (ZX020MS.HOLIDAY_YN 'N'): mostly at work from
//            08:xx to 18:xx, a few on leave, on a business trip or absent.

#include "database/demo_context.h"

#include <cmath>
#include <numeric>

namespace kelo::database::demo {

namespace {

constexpr int kFirstGateHour = 8;
constexpr int kGateHours = 10; // 08 .. 17

// The day's share of each gate hour: a morning rush up the mountain and a smaller one after
// lunch, each hour varied by the day.
std::array<double, kGateHours> gateCurve(Rng &r) {
    static const std::array<double, kGateHours> shape = {4, 10, 15, 13, 9, 10, 12, 11, 9, 7};
    std::array<double, kGateHours> w{};
    for (int h = 0; h < kGateHours; ++h)
        w[size_t(h)] = shape[size_t(h)] * (0.7 + 0.6 * r.real());
    return w;
}

// heads spread over the hours in proportion to w; the parts add up to heads (largest
// remainders, earlier hours first on a tie).
std::array<int, kGateHours> spread(int heads, const std::array<double, kGateHours> &w) {
    const double total = std::accumulate(w.begin(), w.end(), 0.0);
    std::array<int, kGateHours> parts{};
    std::array<double, kGateHours> rest{};
    int given = 0;
    for (int h = 0; h < kGateHours; ++h) {
        const double exact = heads * w[size_t(h)] / total;
        parts[size_t(h)] = int(std::floor(exact));
        rest[size_t(h)] = exact - parts[size_t(h)];
        given += parts[size_t(h)];
    }
    std::array<int, kGateHours> order{};
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return rest[size_t(a)] > rest[size_t(b)]; });
    for (int i = 0; given < heads; i = (i + 1) % kGateHours, ++given)
        ++parts[size_t(order[size_t(i)])];
    return parts;
}

void writeGatePassages(Context &ctx) {
    db::Query heads(ctx.c);
    heads.setSql(QStringLiteral(R"sql(
SELECT SALE_DATE, MENU_CODE, SUM(NVL(KOREAN_QTY, 0) + NVL(FOREIGN_QTY, 0)) AS HEADS
FROM IA010MS
WHERE UPJANG_CODE = '5002'
    AND SALE_DATE BETWEEN :DATE_FROM AND :DATE_TO
GROUP BY SALE_DATE, MENU_CODE
ORDER BY SALE_DATE, MENU_CODE
)sql"));
    heads.setParam(QStringLiteral("DATE_FROM"), ymd(ctx.first));
    heads.setParam(QStringLiteral("DATE_TO"), ymd(ctx.last));
    Inserter ga(ctx.c, QStringLiteral("GA010MS"),
                {"SALE_DATE", "UPJANG_CODE", "GATE_HOUR", "TICKET_GUBUN", "PASS_CNT"});
    QString curveDate;
    std::array<double, kGateHours> curve{};
    for (heads.open(); !heads.eof(); heads.next()) {
        const QString date = heads.text(0);
        if (date != curveDate) {
            Rng r = DayStream(ctx, QDate::fromString(date, QStringLiteral("yyyyMMdd")), 1);
            curve = gateCurve(r);
            curveDate = date;
        }
        const std::array<int, kGateHours> parts = spread(int(heads.integer(2)), curve);
        for (int h = 0; h < kGateHours; ++h)
            if (parts[size_t(h)] > 0)
                ga.row({date, "5002",
                        QStringLiteral("%1").arg(kFirstGateHour + h, 2, 10, QChar(u'0')),
                        heads.text(1), parts[size_t(h)]});
    }
}

void writeAttendance(Context &ctx) {
    struct Leader {
        QString empNo;
        double entered, retired; // serial dates; retired 0 when in service
    };
    std::vector<Leader> leaders;
    db::Query staff(ctx.c);
    staff.setSql(QStringLiteral(R"sql(
SELECT EMP_NO, EMP_ENT_DATE, NVL(EMP_RET_DATE, 0)
FROM QA010MS
WHERE EMP_DUTY_CODE IN ('20', '30')
    AND NVL(EMP_STAY_CODE, '01') = '01'
ORDER BY EMP_NO
)sql"));
    for (staff.open(); !staff.eof(); staff.next())
        leaders.push_back({staff.text(0), staff.number(1), staff.number(2)});
    db::Query days(ctx.c);
    days.setSql(QStringLiteral(R"sql(
SELECT CALN_DATE
FROM ZX020MS
WHERE CALN_DATE BETWEEN :DATE_FROM AND :DATE_TO
    AND NVL(HOLIDAY_YN, 'N') = 'N'
ORDER BY CALN_DATE
)sql"));
    days.setParam(QStringLiteral("DATE_FROM"), ymd(ctx.first));
    days.setParam(QStringLiteral("DATE_TO"), ymd(ctx.last));
    Inserter qa(ctx.c, QStringLiteral("QA200MS"),
                {"WORK_DATE", "EMP_NO", "IN_TIME", "OUT_TIME", "ATTEND_GUBUN"});
    auto hhmm = [](int hour, int minute) {
        return QStringLiteral("%1%2").arg(hour, 2, 10, QChar(u'0')).arg(minute, 2, 10, QChar(u'0'));
    };
    for (days.open(); !days.eof(); days.next()) {
        const QString date = days.text(0);
        const QDate d = QDate::fromString(date, QStringLiteral("yyyyMMdd"));
        const double day = serial(d);
        Rng r = DayStream(ctx, d, 2);
        for (const Leader &l : leaders) {
            if (l.entered > day || (l.retired > 0 && l.retired <= day))
                continue;
            const double p = r.real();
            if (p < 0.90)
                qa.row(
                    {date, l.empNo, hhmm(8, r.between(0, 59)), hhmm(18, r.between(0, 59)), "10"});
            else if (p < 0.95)
                qa.row({date, l.empNo, "", "", "20"});
            else if (p < 0.98)
                qa.row({date, l.empNo, "", "", "30"});
            else
                qa.row({date, l.empNo, "", "", "40"});
        }
    }
}

} // namespace

void WriteOperatingExtras(Context &ctx) {
    writeGatePassages(ctx);
    writeAttendance(ctx);
}

} // namespace kelo::database::demo
