#pragma once

// What the units of the demo generator share: the random stream, the row writer, the context
// of a run and the running figures of one day. Private to src/database.
//
// Every unit draws from the one random stream of the run, so the order in which the units are
// called (GenerateDemo, and the day loop in demo.cpp) is part of the data: the same seed gives
// the same database only while that order holds.

#include "common/numbertext.h"
#include "database/demo.h"
#include "db/query.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <map>
#include <utility>
#include <vector>

namespace kelo::database::demo {

// splitmix64: small, fast and the same on every platform.
struct Rng {
    quint64 state;
    quint64 next() {
        quint64 z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int between(int lo, int hi) { return lo + int(next() % quint64(hi - lo + 1)); }
    double real() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    bool chance(double p) { return real() < p; }
    template <typename T> const T &pick(const std::vector<T> &v) {
        return v[size_t(next() % v.size())];
    }
};

// One value of a row, as the text it is bound as.
struct V {
    QString s;
    V(const QString &x) : s(x) {}
    V(const char *x) : s(QString::fromUtf8(x)) {}
    V(int x) : s(QString::number(x)) {}
    V(qint64 x) : s(QString::number(x)) {}
    V(double x) : s(NumberToText(x)) {}
};

// INSERT of one table with positional values.
// Writes rows of one table. On a server the rows go in batches of many rows per
// statement (one round trip each); flush() sends what is held, and the rows are
// sent at the latest when the writer goes.
class Inserter {
public:
    Inserter(db::Connection &c, const QString &table, const QStringList &columns);
    ~Inserter() noexcept(false);
    Inserter(const Inserter &) = delete;
    Inserter &operator=(const Inserter &) = delete;
    void row(std::initializer_list<V> values);
    void flush();
    qint64 rows() const { return m_rows; }

private:
    QString batchSql(int rows) const;

    db::Query m_query;
    QString m_table;
    QStringList m_columns;
    bool m_batched = false;
    int m_batchRows = 0;
    std::unique_ptr<db::Query> m_batch; // a full batch, prepared once
    QStringList m_held;                 // the held rows' values, row after row
    qint64 m_rows = 0;
};

QString ymd(const QDate &d);
// A date value of the database: days since 1899-12-30.
double serial(const QDate &d);

// Who stamps the generated figures.
inline const char *const kStampEmp = "SYSTEM";
inline const char *const kStampIp = "127.0.0.1";

// A sale item of an outlet (JB010MS).
struct Menu {
    QString outlet, code, name, item1, item2, gubun, division;
    double price;
    QString ticketKind;
};

// A run of the generator: the connection, the options, the random stream, the period and the
// reference rows the days draw on.
struct Context {
    Context(db::Connection &connection, const DemoOptions &options, const QDate &from,
            const QDate &to)
        : c(connection), opt(options), rng{options.seed}, first(from), last(to) {}
    db::Connection &c;
    const DemoOptions &opt;
    Rng rng;
    QDate first, last;
    std::vector<Menu> menus;                              // filled by WriteSaleItems
    std::map<QString, std::vector<const Menu *>> menusOf; // outlet -> its items, in order
    std::vector<QString> members;                         // filled by WriteMembers
    // The employees' member numbers (filled by WriteMembers): their own ("…00") and the head
    // office's (other endings), the employee number first.
    std::vector<QString> staffMembers, headOfficeMembers;
    int scale() const { return std::max(1, opt.scale); }
};

// One business day as the units fill it in turn.
struct Day {
    explicit Day(const QDate &day) : d(day), date(ymd(day)), weekend(day.dayOfWeek() >= 6) {}
    QDate d;
    QString date;
    bool weekend;
    int billSeq = 0; // bill numbers of hotels and outlets
};

// How busy an outlet is on a day; 0 when it does not sell (ski in winter, golf from March).
double SeasonFactor(const QString &outlet, const QDate &d);

// ---- reference and personnel: once, before the days ------------------------
void WriteMenus(Context &ctx);
void WriteSaleItems(Context &ctx);
void WriteMembers(Context &ctx);
void WritePersonnel(Context &ctx);

// ---- point of sale: IA010MS, written by the hotels and the outlets ----------
// What a line says of its bill: the head count and how many of them stay at the hotels (on
// one line of the bill, 0 on the others), and the meal period of an F&B outlet's bill.
struct Heads {
    int guests = 0, inHouse = 0;
    QString period;
};

class SaleLines {
public:
    explicit SaleLines(Context &ctx);
    // One line of a bill.
    void line(Day &day, const QString &outlet, const QString &bill, int seq, const Menu &m,
              double qty, double unit, const QString &guestType, const QString &member,
              double tipRate, const Heads &heads = {});

private:
    Inserter m_ia;
};

class OutletDays {
public:
    explicit OutletDays(Context &ctx);
    void bills(Day &day, SaleLines &sales);

private:
    Context &ctx;
    std::vector<QString> m_outlets;
};

// ---- stays and rooms --------------------------------------------------------
class StayDays {
public:
    explicit StayDays(Context &ctx);
    void rooms(Day &day, SaleLines &sales);
    void reservations(Day &day);
    void calendar(Day &day);

private:
    struct Stay {
        QString hotel, type, rsv, guestType, member, room;
        double rate;
        int guests;
    };
    QString pickGuestType();

    Context &ctx;
    Inserter da010, da030, da030ss, dc020, de020, de030, ca010, ca011, cx011, ke030, ke040;
    std::vector<std::vector<QString>> m_roomNos; // the room numbers of each room type
    std::vector<Stay> m_carry;                   // two-night stays carry into the next day
};

// ---- golf and leisure -------------------------------------------------------
class GolfDays {
public:
    explicit GolfDays(Context &ctx);
    void bookings(Day &day);
    void calendar(Day &day);

private:
    Context &ctx;
    Inserter ca020, ha010, ha020, cx030;
};

// ---- events -----------------------------------------------------------------
class EventDays {
public:
    explicit EventDays(Context &ctx);
    void day(Day &day);

private:
    Context &ctx;
    Inserter fa010, fa010ds;
    int m_eventNo = 0;
};

// ---- figures ----------------------------------------------------------------
class FigureDays {
public:
    explicit FigureDays(Context &ctx);
    void day(Day &day);

private:
    Context &ctx;
    Inserter sa010, sa010dt;
};
void WriteDerivedFigures(Context &ctx);

// ---- after the days: gate passages and attendance ---------------------------
// The stream of one day of one table (1 gate passages, 2 attendance, 3 gondola
// reservations, 4 lift tickets): seeded by the run's seed, the day and the table, independent
// of the run's stream and of where the period starts.
inline Rng DayStream(const Context &ctx, const QDate &d, quint64 table) {
    Rng r{ctx.opt.seed * 0xD1B54A32D192ED03ull + quint64(d.toJulianDay()) * 0x8CB92BA72F3D8DD7ull +
          table};
    r.next();
    return r;
}
void WriteOperatingExtras(Context &ctx);

// ---- after the gate passages: the gondola's reservations ---------------------
void WriteGondolaReservations(Context &ctx);

// ---- then the lift ticket office ---------------------------------------------
// How each lift ticket line was sold (discount, online agency, tourism association member),
// the agencies' commission rates and the association's members; the lines' net amounts
// become the discounted ones. Before the derived figures.
void WriteLiftTickets(Context &ctx);

} // namespace kelo::database::demo
