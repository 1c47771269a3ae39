// The grid on a RowSet of 200,000 rows and 20 columns against a plain QTableView
// whose model holds the same rows in memory.
//
//   bench_grid grid  DATA_DIR   time to first paint, paging from top to bottom, resident memory
//   bench_grid plain DATA_DIR   the same for the plain view (its load time reported apart)
//   bench_grid screenshot PATH  a sample grid with two header levels, a footer and formats
//
// Run under the offscreen platform: QT_QPA_PLATFORM=offscreen (bench/grid.sh does both modes).

#include "controls/formats.h"
#include "controls/grid.h"
#include "db/connection.h"
#include "db/query.h"
#include "db/rowset.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include <cmath>
#include <cstdio>
#include <sqlite3.h>

using namespace kelo;

namespace {

constexpr int kRows = 200000;
constexpr int kColumns = 20;

long residentKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    f.open(QIODevice::ReadOnly);
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

void makeData(const QString &file) {
    db::Connection::createSqliteFile(file);
    sqlite3 *h = nullptr;
    sqlite3_open(QFile::encodeName(file).constData(), &h);
    QString create = QStringLiteral("CREATE TABLE G (ID INTEGER PRIMARY KEY");
    for (int c = 1; c < kColumns; ++c)
        create +=
            c % 3 == 0 ? QStringLiteral(", C%1 TEXT").arg(c) : QStringLiteral(", C%1 REAL").arg(c);
    create += u')';
    sqlite3_exec(h, create.toUtf8().constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    QString insert = QStringLiteral("INSERT INTO G VALUES (?");
    for (int c = 1; c < kColumns; ++c)
        insert += QStringLiteral(", ?");
    insert += u')';
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(h, insert.toUtf8().constData(), -1, &st, nullptr);
    for (int r = 0; r < kRows; ++r) {
        sqlite3_bind_int(st, 1, r + 1);
        for (int c = 1; c < kColumns; ++c) {
            if (c % 3 == 0) {
                const QByteArray t = QStringLiteral("영업장 %1-%2").arg(r % 97).arg(c).toUtf8();
                sqlite3_bind_text(st, c + 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_double(st, c + 1, double((r * 7919 + c * 104729) % 10000000));
            }
        }
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(h);
}

// Pages from the top to the bottom, painting each page.
double pageThrough(QTableView &view) {
    QElapsedTimer t;
    t.start();
    QScrollBar *bar = view.verticalScrollBar();
    bar->setValue(0);
    while (true) {
        view.viewport()->repaint();
        QApplication::processEvents();
        const int before = bar->value();
        bar->setValue(before + bar->pageStep());
        QApplication::processEvents();
        if (bar->value() == before && !view.model()->canFetchMore(QModelIndex()))
            break;
    }
    return t.elapsed();
}

class PlainModel : public QAbstractTableModel {
public:
    std::vector<std::vector<QVariant>> rows;
    int rowCount(const QModelIndex &) const override { return int(rows.size()); }
    int columnCount(const QModelIndex &) const override { return kColumns; }
    QVariant data(const QModelIndex &i, int role) const override {
        return role == Qt::DisplayRole ? db::ValueText(rows[size_t(i.row())][size_t(i.column())])
                                       : QVariant();
    }
};

std::vector<controls::GridColumn> columns() {
    std::vector<controls::GridColumn> cols;
    for (int c = 0; c < kColumns; ++c) {
        controls::GridColumn col;
        col.field = c == 0 ? QStringLiteral("ID") : QStringLiteral("C%1").arg(c);
        col.title = col.field;
        col.width = 90;
        if (c % 3 != 0) {
            col.displayFormat = QStringLiteral(",0");
            col.alignment = Qt::AlignRight | Qt::AlignVCenter;
        }
        cols.push_back(col);
    }
    return cols;
}

int screenshot(const QString &path) {
    controls::Grid grid;
    std::vector<controls::GridColumn> cols;
    auto add = [&](const char *field, const char *title, int width, QStringList groups,
                   bool number = true) {
        controls::GridColumn c;
        c.field = QLatin1String(field);
        c.title = QString::fromUtf8(title);
        c.width = width;
        c.groups = groups;
        if (number) {
            c.displayFormat = QStringLiteral(",0");
            c.alignment = Qt::AlignRight | Qt::AlignVCenter;
            c.footer.style = controls::FooterStyle::Down;
        }
        cols.push_back(c);
    };
    add("GUBUN", "코드", 50, {QStringLiteral("구분")}, false);
    add("GUBUN_NAME", "사업부", 120, {QStringLiteral("구분")}, false);
    add("D_C_SALE", "금년", 100, {QStringLiteral("당일")});
    add("D_L_SALE", "전년", 100, {QStringLiteral("당일")});
    add("D_GROTH", "대비율", 70, {QStringLiteral("당일")});
    add("M_C_SALE", "금년", 110, {QStringLiteral("월계")});
    add("M_L_SALE", "전년", 110, {QStringLiteral("월계")});
    add("M_GROTH", "대비율", 70, {QStringLiteral("월계")});
    add("ENG", "", 10, {}, false);
    add("D_SVC", "", 10, {});
    add("M_SVC", "", 10, {});
    cols[8].visible = cols[9].visible = cols[10].visible = false;
    // Second lines: the English name under the Korean one, service charges under the sales.
    cols[1].secondField = QStringLiteral("ENG");
    cols[1].secondTitle = QStringLiteral("English");
    cols[2].secondField = QStringLiteral("D_SVC");
    cols[2].secondTitle = QStringLiteral("봉사료");
    cols[2].secondFormat = QStringLiteral(",0");
    cols[5].secondField = QStringLiteral("M_SVC");
    cols[5].secondTitle = QStringLiteral("봉사료");
    cols[5].secondFormat = QStringLiteral(",0");
    cols[4].displayFormat.clear();
    cols[7].displayFormat.clear();
    cols[0].alignment = Qt::AlignCenter;
    cols[0].footer.text = QStringLiteral("합계");
    cols[0].footer.alignment = Qt::AlignCenter;
    grid.setColumns(cols);
    controls::GridOptions o;
    o.editing = false;
    o.rowSelect = true;
    o.rowHeight = 19;
    o.footerHeight = 24;
    grid.setOptions(o);
    const char *english[] = {"Condo", "Hotel", "Golf", "Ski", "Leisure", "F&B", "Others"};
    const char *rows[][8] = {
        {"1", "콘도사업부", "22793400", "20118000", "113.3", "512330000", "498120500", "102.9"},
        {"2", "호텔사업부", "36764400", "33910200", "108.4", "801774000", "812003000", "98.7"},
        {"3", "골프사업부", "0", "0", "0", "0", "0", "0"},
        {"4", "스키사업부", "78761000", "70112000", "112.3", "1402116000", "1298002000", "108"},
        {"5", "레저사업부", "3860000", "4102000", "94.1", "92110000", "90221000", "102.1"},
        {"6", "식음사업부", "43876800", "41922000", "104.7", "1011887000", "980115000", "103.2"},
        {"7", "기타사업부", "3510000", "3390000", "103.5", "80112000", "79230000", "101.1"},
    };
    int n = 0;
    for (const auto &r : rows) {
        const int row = grid.gridModel()->appendRow();
        for (int c = 0; c < 8; ++c)
            grid.gridModel()->setValue(row, c,
                                       c < 2 ? QVariant(QString::fromUtf8(r[c]))
                                             : QVariant(QString::fromUtf8(r[c]).toDouble()));
        grid.gridModel()->setValue(row, 8, QString::fromUtf8(english[n++]));
        grid.gridModel()->setValue(row, 9, std::round(QString::fromUtf8(r[2]).toDouble() * 0.1));
        grid.gridModel()->setValue(row, 10, std::round(QString::fromUtf8(r[5]).toDouble() * 0.1));
    }
    grid.gridModel()->clearStatus();
    const QStringList totals = {QString(), QString(),    "189565600",  "173454200",
                                "109.3",   "3900329000", "3757692000", "103.8"};
    for (int c = 2; c < 8; ++c)
        grid.setFooterText(c, c == 4 || c == 7
                                  ? totals[c]
                                  : controls::FormatNumberText(totals[c], QStringLiteral(",0")));
    grid.setFooterText(0, QStringLiteral("합계"));
    grid.resize(760, 380);
    grid.show();
    grid.setCurrentCell(1, 2);
    QApplication::processEvents();
    const bool ok = grid.grab().save(path);
    std::printf("%s %s\n", ok ? "screenshot:" : "could not write", qPrintable(path));
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("grid");
    if (mode == QLatin1String("screenshot"))
        return screenshot(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("grid.png"));
    const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("bench-data");
    QDir().mkpath(dir);
    const QString file = QDir(dir).filePath(QStringLiteral("bench_grid.sqlite"));
    if (!QFileInfo::exists(file))
        makeData(file);
    db::Connection connection;
    connection.setSqliteFile(file);
    connection.open();
    const long before = residentKb();

    if (mode == QLatin1String("grid")) {
        QElapsedTimer t;
        t.start();
        db::RowSet rows(connection);
        rows.query().setSql(QStringLiteral("SELECT * FROM G ORDER BY ID"));
        rows.open();
        controls::Grid grid;
        grid.setColumns(columns());
        controls::GridOptions o;
        o.editing = false;
        grid.setOptions(o);
        grid.setRowSet(&rows);
        grid.resize(1000, 700);
        grid.show();
        grid.viewport()->repaint();
        QApplication::processEvents();
        const double firstPaint = t.elapsed();
        const double scroll = pageThrough(grid);
        std::printf(
            "grid: first paint %.0f ms (%d rows read), paging %.0f ms, rows %d, memory %ld KB\n",
            firstPaint, 100, scroll, grid.rowCountFetched(), residentKb() - before);
    } else {
        QElapsedTimer load;
        load.start();
        PlainModel model;
        db::Query q(connection);
        q.setSql(QStringLiteral("SELECT * FROM G ORDER BY ID"));
        for (q.open(); !q.eof(); q.next()) {
            std::vector<QVariant> row(kColumns);
            for (int c = 0; c < kColumns; ++c)
                row[size_t(c)] = q.value(c);
            model.rows.push_back(std::move(row));
        }
        const double loadMs = load.elapsed();
        QElapsedTimer t;
        t.start();
        QTableView view;
        view.setModel(&model);
        view.verticalHeader()->setDefaultSectionSize(21);
        view.resize(1000, 700);
        view.show();
        view.viewport()->repaint();
        QApplication::processEvents();
        const double firstPaint = t.elapsed();
        const double scroll = pageThrough(view);
        std::printf(
            "plain: load %.0f ms, first paint %.0f ms, paging %.0f ms, rows %d, memory %ld KB\n",
            loadMs, firstPaint, scroll, model.rowCount(QModelIndex()), residentKb() - before);
    }
    return 0;
}
