// Demo data: the run. Creates the file with the schema and fills it unit by unit, every unit
// drawing on the one random stream of the run:
//
//   demo_reference.cpp  menus and permissions, sale items, members
//   demo_personnel.cpp  employees, department tree, photographs
//   demo_stays.cpp      each day: rooms, stays and charges; reservations; hotel calendar
//   demo_sales.cpp      each day: the outlets' bills (point of sale)
//   demo_golf.cpp       each day: golf bookings and lockers; golf calendar
//   demo_events.cpp     each day: events
//   demo_figures.cpp    each day: weather and accounting; after the days, the data build and the
//                       budgets and targets
//   demo_operating.cpp  after the days: gondola gate passages, the leaders' attendance (streams
//                       of their own)
//   demo_lift.cpp       after the days: the lift ticket office (discounts, online agencies,
//                       tourism association; a stream of its own), before the derived figures
//
// The days call the units in the order of WriteDays below. Changing the order of the calls,
// or what a unit draws, changes every later row.

#include "database/demo.h"

#include <exception>

#include "common/clock.h"
#include "database/demo_context.h"
#include "database/schema.h"
#include "db/transaction.h"

namespace kelo::database {

namespace demo {

Inserter::Inserter(db::Connection &c, const QString &table, const QStringList &columns)
    : m_query(c), m_table(table), m_columns(columns),
      m_batched(c.engine() == db::Engine::Postgres) {
    m_query.setSql(batchSql(1));
    // As many rows as a statement's parameters allow, at most a thousand. The client library
    // refuses a parameter description longer than 30,000 bytes (four per parameter) as a lost
    // connection, so a statement takes at most 7,000 parameters.
    m_batchRows = std::max(1, std::min(1000, 7000 / int(std::max<qsizetype>(1, columns.size()))));
}

Inserter::~Inserter() noexcept(false) {
    if (std::uncaught_exceptions() == 0)
        flush();
}

QString Inserter::batchSql(int rows) const {
    QStringList tuples;
    for (int r = 0; r < rows; ++r) {
        QStringList params;
        for (int i = 0; i < m_columns.size(); ++i)
            params << QStringLiteral(":P%1").arg(r * m_columns.size() + i);
        tuples << u'(' + params.join(QStringLiteral(", ")) + u')';
    }
    return QStringLiteral(R"sql(INSERT INTO %1 (%2) VALUES %3)sql")
        .arg(m_table, m_columns.join(QStringLiteral(", ")), tuples.join(QStringLiteral(", ")));
}

void Inserter::row(std::initializer_list<V> values) {
    ++m_rows;
    if (!m_batched) {
        int i = 0;
        for (const V &v : values)
            m_query.setParam(i++, v.s);
        m_query.exec();
        return;
    }
    for (const V &v : values)
        m_held << v.s;
    if (m_held.size() >= m_batchRows * m_columns.size())
        flush();
}

void Inserter::flush() {
    if (m_held.isEmpty())
        return;
    const int rows = int(m_held.size() / m_columns.size());
    db::Query *q = &m_query;
    if (rows == m_batchRows) {
        if (!m_batch) {
            m_batch = std::make_unique<db::Query>(m_query.connection());
            m_batch->setSql(batchSql(rows));
        }
        q = m_batch.get();
    } else {
        q->setSql(batchSql(rows));
    }
    for (int i = 0; i < m_held.size(); ++i)
        q->setParam(i, m_held.at(i));
    m_held.clear();
    q->exec();
}

QString ymd(const QDate &d) {
    return d.toString(QStringLiteral("yyyyMMdd"));
}

double serial(const QDate &d) {
    return double(QDate(1899, 12, 30).daysTo(d));
}

namespace {

// Every day of the period; within a day the units run in the order of the random stream.
void WriteDays(Context &ctx) {
    SaleLines sales(ctx);
    StayDays stays(ctx);
    OutletDays outlets(ctx);
    FigureDays figures(ctx);
    GolfDays golf(ctx);
    EventDays events(ctx);
    for (QDate d = ctx.first; d <= ctx.last; d = d.addDays(1)) {
        Day day(d);
        stays.rooms(day, sales);
        outlets.bills(day, sales);
        figures.day(day);
        stays.reservations(day);
        golf.bookings(day);
        stays.calendar(day);
        golf.calendar(day);
        events.day(day);
    }
}

} // namespace

} // namespace demo

void GenerateDemo(const DemoOptions &options) {
    using demo::ymd;
    auto say = [&](const QString &text) {
        if (options.progress)
            options.progress(text);
    };
    const QDate last = options.endDate.isEmpty()
                           ? Now().date().addDays(-1)
                           : QDate::fromString(options.endDate, QStringLiteral("yyyyMMdd"));
    if (!last.isValid())
        throw db::DbError(QStringLiteral("The end date '%1' is not a valid date (YYYYMMDD).")
                              .arg(options.endDate));
    if (options.years < 1 || options.years > 30)
        throw db::DbError(QStringLiteral("The number of years must be between 1 and 30."));
    if (options.scale < 1 || options.scale > 100)
        throw db::DbError(QStringLiteral("The scale must be between 1 and 100."));
    const QDate first = options.days > 0 ? last.addDays(1 - options.days)
                                         : last.addYears(-options.years).addDays(1);

    say(QStringLiteral("creating %1").arg(options.path));
    db::Connection connection;
    const bool server = !options.connectionParams.isEmpty();
    if (server) {
        connection.setParams(options.connectionParams);
        CreateServerDatabase(connection, options.force);
    } else {
        CreateDatabase(options.path, options.force);
        connection.setSqliteFile(options.path);
        connection.open();
        connection.executeScript(QStringLiteral("PRAGMA synchronous = OFF"));
    }
    db::Transaction t(connection);
    t.begin();
    demo::Context ctx(connection, options, first, last);
    say(QStringLiteral("menus and permissions"));
    demo::WriteMenus(ctx);
    say(QStringLiteral("personnel"));
    demo::WritePersonnel(ctx);
    say(QStringLiteral("sale items and members"));
    demo::WriteSaleItems(ctx);
    demo::WriteMembers(ctx);
    say(QStringLiteral("daily operating data %1 to %2").arg(ymd(first), ymd(last)));
    demo::WriteDays(ctx);
    say(QStringLiteral("gate passages and attendance"));
    demo::WriteOperatingExtras(ctx);
    say(QStringLiteral("gondola reservations"));
    demo::WriteGondolaReservations(ctx);
    say(QStringLiteral("lift tickets"));
    demo::WriteLiftTickets(ctx);
    say(QStringLiteral("derived figures"));
    demo::WriteDerivedFigures(ctx);
    t.commit();
    connection.executeScript(server ? QStringLiteral("SET client_min_messages TO error; ANALYZE")
                                    : QStringLiteral("PRAGMA synchronous = FULL; ANALYZE"));
}

} // namespace kelo::database
