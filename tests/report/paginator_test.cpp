#include "report/paginator.h"
#include "report/textfit.h"

#include <gtest/gtest.h>

using namespace kelo::report;

namespace {

const QDateTime kPrinted(QDate(2004, 2, 29), QTime(18, 30, 5));

// Rows added by code: the columns, then one list of values per row.
void Fill(DataSet &set, const QStringList &columns, const std::vector<QVariantList> &rows) {
    set.rows().setColumns(columns);
    for (const QVariantList &values : rows) {
        const int r = set.rows().appendRow();
        for (int c = 0; c < int(values.size()); ++c)
            set.rows().setValue(r, c, values[c]);
    }
    set.rows().first();
}

Document Layout(ReportDefinition &report) {
    Paginator p(report.name, kPrinted);
    p.add(report);
    return p.finish();
}

// The band prints of a document in order, as "band:row" ("detail:3", "title:-1").
QStringList Flow(const Document &doc, bool withPages = false) {
    QStringList out;
    for (size_t p = 0; p < doc.pages.size(); ++p)
        for (const PlacedBand &b : doc.pages[p].bands)
            out << (withPages ? QStringLiteral("%1/").arg(p + 1) : QString()) + b.name +
                       QStringLiteral(":") + QString::number(b.row);
    return out;
}

std::vector<int> DetailRows(const Document &doc) {
    std::vector<int> rows;
    for (const Page &p : doc.pages)
        for (const PlacedBand &b : p.bands)
            if (b.kind == BandKind::Detail)
                rows.push_back(b.row);
    return rows;
}

// A list: page header and footer, title, column header, 5 mm rows, summary.
struct ListReport {
    DataSet rows{QStringLiteral("rows")};
    ReportDefinition def;

    explicit ListReport(int count) {
        std::vector<QVariantList> values;
        for (int i = 0; i < count; ++i)
            values.push_back({QStringLiteral("N%1").arg(i), i * 10.0});
        Fill(rows, {QStringLiteral("NAME"), QStringLiteral("AMOUNT")}, values);
        def.name = QStringLiteral("list");
        def.mainData = &rows;
        def.addBand(QStringLiteral("pageHeader"), BandKind::PageHeader, 10);
        def.addBand(QStringLiteral("title"), BandKind::Title, 20)
            .addItem(Label(QStringLiteral("lblTitle"), {0, 0, 100, 10}, QStringLiteral("LIST")));
        def.addBand(QStringLiteral("columns"), BandKind::ColumnHeader, 6);
        Band &detail = def.addBand(QStringLiteral("detail"), BandKind::Detail, 5);
        detail.addItem(
            DataText(QStringLiteral("txtName"), {0, 0, 40, 5}, rows, QStringLiteral("NAME")));
        def.addBand(QStringLiteral("summary"), BandKind::Summary, 7);
        Band &footer = def.addBand(QStringLiteral("pageFooter"), BandKind::PageFooter, 8);
        Item page = SystemText(QStringLiteral("sysPage"), {0, 0, 20, 8}, SystemField::PageNumber);
        page.text = QStringLiteral("Page ");
        footer.addItem(page);
        Item total = SystemText(QStringLiteral("sysCount"), {20, 0, 20, 8}, SystemField::PageCount);
        total.text = QStringLiteral("of ");
        footer.addItem(total);
    }
};

TEST(Paginator, RowsFillEachPageAndEveryPageHasItsHeaderColumnsAndFooter) {
    ListReport list(120);
    const Document doc = Layout(list.def);
    ASSERT_GT(doc.pages.size(), 2u);

    std::vector<int> expected(120);
    for (int i = 0; i < 120; ++i)
        expected[size_t(i)] = i;
    EXPECT_EQ(DetailRows(doc), expected);

    const double footerTop = 297 - 10 - 8;
    const QString count = QString::number(doc.pages.size());
    for (size_t p = 0; p < doc.pages.size(); ++p) {
        SCOPED_TRACE(p + 1);
        const Page &page = doc.pages[p];
        ASSERT_GE(page.bands.size(), 3u);
        EXPECT_EQ(page.bands.front().name, QStringLiteral("pageHeader"));
        EXPECT_DOUBLE_EQ(page.bands.front().rect.top(), 10);
        EXPECT_EQ(page.bandsNamed(QStringLiteral("title")).size(), p == 0 ? 1u : 0u);
        EXPECT_EQ(page.bandsNamed(QStringLiteral("columns")).size(), 1u);
        const PlacedBand &footer = page.bands.back();
        EXPECT_EQ(footer.name, QStringLiteral("pageFooter"));
        EXPECT_DOUBLE_EQ(footer.rect.top(), footerTop);
        const auto texts = page.bandTexts(int(page.bands.size()) - 1);
        EXPECT_EQ(texts.value(QStringLiteral("sysPage")), QStringLiteral("Page %1").arg(p + 1));
        EXPECT_EQ(texts.value(QStringLiteral("sysCount")), QStringLiteral("of ") + count);
        // The body never runs into the footer, and a page ends only when the next row
        // would not fit.
        double lastBottom = 0;
        for (const PlacedBand &b : page.bands)
            if (b.kind != BandKind::PageFooter)
                lastBottom = std::max(lastBottom, b.rect.bottom());
        EXPECT_LE(lastBottom, footerTop + 1e-9);
        if (p + 1 < doc.pages.size()) {
            EXPECT_GT(lastBottom + 5, footerTop);
        }
    }
    const Page &last = doc.pages.back();
    EXPECT_EQ(last.bands[last.bands.size() - 2].name, QStringLiteral("summary"));
}

TEST(Paginator, PageHeaderOnTheFirstAndFooterOnTheLastPageAreOptions) {
    struct Case {
        bool headerFirst, footerLast;
    };
    for (const Case c :
         {Case{true, true}, Case{false, true}, Case{true, false}, Case{false, false}}) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.headerFirst).arg(c.footerLast).toStdString());
        ListReport list(80);
        list.def.pageHeaderOnFirstPage = c.headerFirst;
        list.def.pageFooterOnLastPage = c.footerLast;
        const Document doc = Layout(list.def);
        ASSERT_GE(doc.pages.size(), 2u);
        for (size_t p = 0; p < doc.pages.size(); ++p) {
            const Page &page = doc.pages[p];
            const bool first = p == 0, last = p + 1 == doc.pages.size();
            EXPECT_EQ(page.bandsNamed(QStringLiteral("pageHeader")).size(),
                      first && !c.headerFirst ? 0u : 1u);
            EXPECT_EQ(page.bandsNamed(QStringLiteral("pageFooter")).size(),
                      last && !c.footerLast ? 0u : 1u);
        }
        // Without the header the first page's title stands at the top margin.
        EXPECT_DOUBLE_EQ(
            doc.pages[0].bands[doc.pages[0].bandsNamed(QStringLiteral("title"))[0]].rect.top(),
            c.headerFirst ? 20 : 10);
    }
}

TEST(Paginator, AnEmptyMainDataSetPrintsTheFixedBandsOrNothing) {
    ListReport list(0);
    EXPECT_EQ(Flow(Layout(list.def)), QStringList({"pageHeader:-1", "title:-1", "columns:-1",
                                                   "summary:-1", "pageFooter:-1"}));
    list.def.printIfEmpty = false;
    EXPECT_TRUE(Layout(list.def).pages.empty());
}

TEST(Paginator, SubDetailRowsPrintUnderTheMasterRowWithTheirKey) {
    DataSet masters(QStringLiteral("masters")), list(QStringLiteral("list"));
    Fill(masters, {QStringLiteral("CODE")}, {{"K1"}, {"K2"}, {"K3"}});
    Fill(list, {QStringLiteral("CODE"), QStringLiteral("NAME")},
         {{"K3", "a"}, {"K1", "b"}, {"K1", "c"}, {"X", "d"}});
    ReportDefinition def;
    def.mainData = &masters;
    def.addBand(QStringLiteral("master"), BandKind::Detail, 5);
    Band &sub = def.addBand(QStringLiteral("list"), BandKind::SubDetail, 4);
    sub.dataSet = &list;
    sub.masterFields = QStringList{QStringLiteral("CODE")};
    sub.detailFields = QStringList{QStringLiteral("CODE")};
    sub.addItem(DataText(QStringLiteral("txtName"), {0, 0, 20, 4}, list, QStringLiteral("NAME")));
    const Document doc = Layout(def);
    EXPECT_EQ(Flow(doc),
              QStringList({"master:0", "list:1", "list:2", "master:1", "master:2", "list:0"}));
    EXPECT_EQ(doc.texts(), QStringList({"b", "c", "a"}));
}

TEST(Paginator, GroupHeadersAndFootersCloseAroundTheirRows) {
    DataSet rows(QStringLiteral("rows"));
    Fill(rows, {QStringLiteral("AREA"), QStringLiteral("TEAM")},
         {{"A", "1"}, {"A", "1"}, {"A", "2"}, {"B", "2"}});
    ReportDefinition def;
    def.mainData = &rows;
    Band &area = def.addBand(QStringLiteral("areaHead"), BandKind::GroupHeader, 5);
    area.groupField = QStringLiteral("AREA");
    Band &team = def.addBand(QStringLiteral("teamHead"), BandKind::GroupHeader, 5);
    team.groupField = QStringLiteral("TEAM");
    def.addBand(QStringLiteral("detail"), BandKind::Detail, 5);
    Band &teamFoot = def.addBand(QStringLiteral("teamFoot"), BandKind::GroupFooter, 5);
    teamFoot.groupField = QStringLiteral("TEAM");
    Band &areaFoot = def.addBand(QStringLiteral("areaFoot"), BandKind::GroupFooter, 5);
    areaFoot.groupField = QStringLiteral("AREA");
    areaFoot.addItem(
        DataText(QStringLiteral("txtArea"), {0, 0, 20, 5}, rows, QStringLiteral("AREA")));
    const Document doc = Layout(def);
    EXPECT_EQ(Flow(doc),
              QStringList({"areaHead:0", "teamHead:0", "detail:0", "detail:1", "teamFoot:1",
                           "teamHead:2", "detail:2", "teamFoot:2", "areaFoot:2", "areaHead:3",
                           "teamHead:3", "detail:3", "teamFoot:3", "areaFoot:3"}));
    // A footer reads the last row of its group.
    EXPECT_EQ(doc.texts(), QStringList({"A", "B"}));
}

// Nested groups, the outer one over a page break: each footer's sum covers the rows of its
// own group, the summary's every row, and the footer's plain field still reads the last row.
TEST(Paginator, FooterAggregatesCoverTheRowsOfTheirGroup) {
    DataSet rows(QStringLiteral("rows"));
    Fill(rows, {QStringLiteral("AREA"), QStringLiteral("TEAM"), QStringLiteral("AMT")},
         {{"A", "1", 1}, {"A", "1", 2}, {"A", "2", 4}, {"B", "2", 8}, {"B", "3", 16}});
    ReportDefinition def;
    def.mainData = &rows;
    Band &area = def.addBand(QStringLiteral("areaHead"), BandKind::GroupHeader, 5);
    area.groupField = QStringLiteral("AREA");
    Band &team = def.addBand(QStringLiteral("teamHead"), BandKind::GroupHeader, 5);
    team.groupField = QStringLiteral("TEAM");
    def.addBand(QStringLiteral("detail"), BandKind::Detail, 100);
    auto sum = [&](const QString &name) {
        Item item = DataText(name, {20, 0, 20, 5}, rows, QStringLiteral("AMT"));
        item.aggregate = Aggregate::Sum;
        return item;
    };
    Band &teamFoot = def.addBand(QStringLiteral("teamFoot"), BandKind::GroupFooter, 5);
    teamFoot.groupField = QStringLiteral("TEAM");
    teamFoot.addItem(sum(QStringLiteral("teamSum")));
    Band &areaFoot = def.addBand(QStringLiteral("areaFoot"), BandKind::GroupFooter, 5);
    areaFoot.groupField = QStringLiteral("AREA");
    areaFoot.addItem(
        DataText(QStringLiteral("txtArea"), {0, 0, 20, 5}, rows, QStringLiteral("AREA")));
    areaFoot.addItem(sum(QStringLiteral("areaSum")));
    def.addBand(QStringLiteral("summary"), BandKind::Summary, 5).addItem(sum("total"));
    const Document doc = Layout(def);
    ASSERT_GT(doc.pages.size(), 1u);
    EXPECT_EQ(doc.texts(), QStringList({"3", "4", "A", "7", "8", "16", "B", "24", "31"}));

    // An aggregate anywhere else is a fault of the definition, not a text.
    def.band(QStringLiteral("detail")).addItem(sum(QStringLiteral("misplaced")));
    EXPECT_THROW(Layout(def), std::logic_error);
}

TEST(Paginator, BeforePrintChangesColoursAndItemsOrLeavesTheBandOut) {
    DataSet rows(QStringLiteral("rows"));
    Fill(rows, {QStringLiteral("KIND"), QStringLiteral("NAME")},
         {{"row", "a"}, {"total", "b"}, {"skip", "c"}, {"row", "d"}});
    ReportDefinition def;
    def.mainData = &rows;
    Band &detail = def.addBand(QStringLiteral("detail"), BandKind::Detail, 5);
    detail.addItem(
        DataText(QStringLiteral("txtName"), {0, 0, 20, 5}, rows, QStringLiteral("NAME")));
    detail.addItem(Label(QStringLiteral("lblMark"), {20, 0, 20, 5}, QStringLiteral("*")));
    detail.beforePrint = [&rows](BandPrint &bp) {
        const QString kind = rows.text(QStringLiteral("KIND"));
        bp.print = kind != QStringLiteral("skip");
        const bool total = kind == QStringLiteral("total");
        bp.band.color = total ? QColor(223, 223, 223) : QColor(Qt::white);
        bp.band.item(QStringLiteral("lblMark")).enabled = total;
        bp.band.item(QStringLiteral("txtName")).font.bold = total;
    };
    const Document doc = Layout(def);
    const Page &page = doc.pages.at(0);
    ASSERT_EQ(page.bands.size(), 3u);
    EXPECT_EQ(page.bands[1].color, QColor(223, 223, 223));
    EXPECT_EQ(page.bands[2].color, QColor(Qt::white));
    EXPECT_EQ(page.texts(), QStringList({"a", "b", "*", "d"}));
    int greyRects = 0;
    for (const Primitive &p : page.items) {
        if (p.kind == Primitive::Kind::Rect && p.brush == QColor(223, 223, 223)) {
            ++greyRects;
            EXPECT_EQ(p.band, 1);
            EXPECT_DOUBLE_EQ(p.rect.width(), 190); // across the page between the margins
        }
        if (p.kind == Primitive::Kind::Text && p.item == QStringLiteral("txtName")) {
            EXPECT_EQ(p.font.bold, p.text == QStringLiteral("b"));
        }
    }
    EXPECT_EQ(greyRects, 1);
}

TEST(Paginator, ANewPageIsStartedWhenAskedUnlessOnlyHeadersStandOnThePage) {
    ListReport list(6);
    Band &detail = list.def.band(QStringLiteral("detail"));
    detail.forceNewPage = false;
    detail.beforePrint = [&list](BandPrint &bp) {
        bp.newPage = list.rows.currentRow() == 0 || list.rows.currentRow() == 3;
    };
    const QStringList flow = Flow(Layout(list.def), true);
    EXPECT_TRUE(flow.contains(QStringLiteral("1/detail:0"))); // below the title, no break
    EXPECT_TRUE(flow.contains(QStringLiteral("1/detail:2")));
    EXPECT_TRUE(flow.contains(QStringLiteral("2/columns:-1")));
    EXPECT_TRUE(flow.contains(QStringLiteral("2/detail:3")));
    EXPECT_TRUE(flow.contains(QStringLiteral("2/detail:5")));
}

TEST(Paginator, PrintHandlersReplaceTextsAndKeepTheirStateAcrossPages) {
    ListReport list(70);
    // Every row of a run of ten has the same name; a handler blanks a repeated name.
    for (int r = 0; r < 70; ++r)
        list.rows.rows().setValue(r, 0, QStringLiteral("G%1").arg(r / 10));
    QString last;
    list.def.band(QStringLiteral("detail")).item(QStringLiteral("txtName")).onPrint =
        [&last](Item &, QString &text) {
            const QString current = text;
            if (text == last)
                text.clear();
            last = current;
        };
    const Document doc = Layout(list.def);
    ASSERT_GE(doc.pages.size(), 2u);
    QStringList names;
    for (const Page &p : doc.pages)
        for (int b : p.bandsNamed(QStringLiteral("detail")))
            names << p.bandTexts(b).value(QStringLiteral("txtName"));
    for (int r = 0; r < 70; ++r)
        EXPECT_EQ(names[r], r % 10 == 0 ? QStringLiteral("G%1").arg(r / 10) : QString()) << r;
}

TEST(Paginator, ReportsOfOneJobFollowOnOnePageUnlessTheyAskForAnotherOrTurnThePaper) {
    ListReport a(3), b(3), c(3);
    for (ListReport *r : {&a, &b, &c}) {
        r->def.band(QStringLiteral("pageHeader")).enabled = false;
        r->def.band(QStringLiteral("pageFooter")).enabled = false;
    }
    a.def.name = QStringLiteral("a");
    b.def.name = QStringLiteral("b");
    c.def.name = QStringLiteral("c");
    c.def.page.orientation = Orientation::Landscape;
    Paginator job(QStringLiteral("job"), kPrinted);
    job.add(a.def);
    job.add(b.def);
    job.add(c.def);
    Document doc = job.finish();
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(doc.title, QStringLiteral("job"));
    const Page &first = doc.pages[0];
    const auto titles = first.bandsNamed(QStringLiteral("title"));
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(first.bands[titles[1]].report, QStringLiteral("b"));
    // b starts right under a's summary.
    EXPECT_DOUBLE_EQ(first.bands[titles[1]].rect.top(), first.bands[titles[1] - 1].rect.bottom());
    EXPECT_DOUBLE_EQ(doc.pages[1].width, 297);
    EXPECT_EQ(doc.pages[1].bands.front().report, QStringLiteral("c"));

    b.def.startOnNewPage = true;
    Paginator again(QStringLiteral("job"), kPrinted);
    again.add(a.def);
    again.add(b.def);
    EXPECT_EQ(again.finish().pages.size(), 2u);
}

TEST(Paginator, DataTextsPrintThroughTheFieldsDisplayFormat) {
    struct Case {
        QVariant value;
        QString format, printed;
    };
    const Case cases[] = {
        {95.4, ",0", "95"},
        {95.5, ",0", "96"},
        {1234567.5, ",0", "1,234,568"},
        {-1500.0, ",0", "-1,500"},
        {-0.4, ",0", "0"},
        {QVariant(), ",0", ""},
        {QStringLiteral("ROOMS"), "", "ROOMS"},
        {1500.0, "", "1500"},
        {0.25, "", ".25"},
    };
    for (const Case &c : cases) {
        DataSet rows(QStringLiteral("rows"));
        Fill(rows, {QStringLiteral("V")}, {{c.value}});
        rows.setDisplayFormat(QStringLiteral("V"), c.format);
        ReportDefinition def;
        def.mainData = &rows;
        def.addBand(QStringLiteral("detail"), BandKind::Detail, 5)
            .addItem(DataText(QStringLiteral("txt"), {0, 0, 20, 5}, rows, QStringLiteral("V")));
        EXPECT_EQ(Layout(def).pages.at(0).bandTexts(0).value(QStringLiteral("txt")), c.printed)
            << c.value.toString().toStdString();
    }
}

TEST(Paginator, AFieldTheDataSetLacksIsAnErrorNotAnEmptyText) {
    DataSet rows(QStringLiteral("rows"));
    Fill(rows, {QStringLiteral("V")}, {{1.0}});
    ReportDefinition def;
    def.mainData = &rows;
    def.addBand(QStringLiteral("detail"), BandKind::Detail, 5)
        .addItem(DataText(QStringLiteral("txt"), {0, 0, 20, 5}, rows, QStringLiteral("W")));
    EXPECT_THROW(Layout(def), std::logic_error);
}

TEST(Paginator, SystemDataPrintsTheJobsDateAndTime) {
    ReportDefinition def;
    Band &b = def.addBand(QStringLiteral("title"), BandKind::Title, 10);
    b.addItem(SystemText(QStringLiteral("d"), {0, 0, 30, 5}, SystemField::Date));
    b.addItem(SystemText(QStringLiteral("t"), {30, 0, 30, 5}, SystemField::Time));
    b.addItem(SystemText(QStringLiteral("dt"), {60, 0, 40, 5}, SystemField::DateTime));
    const auto texts = Layout(def).pages.at(0).bandTexts(0);
    EXPECT_EQ(texts.value(QStringLiteral("d")), QStringLiteral("2004-02-29"));
    EXPECT_EQ(texts.value(QStringLiteral("t")), QStringLiteral("18:30:05"));
    EXPECT_EQ(texts.value(QStringLiteral("dt")), QStringLiteral("2004-02-29 18:30:05"));
}

// A detail band kept together with its sub-detail rows: a block that does not fit below the
// page's blocks begins the next page when it fits on one; a taller block begins where it
// stands. Blocks of 10 mm and 10 mm rows under a 7 mm column header on A4 portrait.
TEST(Paginator, ADetailKeptTogetherWithItsSubDetailsMovesWholeToTheNextPage) {
    struct Case {
        std::vector<int> rows; // per master row
        bool keep;
        QStringList pages; // of each block, "first-last"
    };
    const Case cases[] = {
        {{10, 10, 10}, true, {"1-1", "1-1", "2-2"}},
        {{10, 10, 10}, false, {"1-1", "1-1", "1-2"}},
        {{2, 30}, true, {"1-1", "1-2"}},
        {{2, 2, 2}, true, {"1-1", "1-1", "1-1"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.rows) + (c.keep ? " kept" : ""));
        DataSet masters(QStringLiteral("masters")), list(QStringLiteral("list"));
        std::vector<QVariantList> keys, lines;
        for (size_t m = 0; m < c.rows.size(); ++m) {
            keys.push_back({QStringLiteral("K%1").arg(m)});
            for (int r = 0; r < c.rows[m]; ++r)
                lines.push_back({QStringLiteral("K%1").arg(m)});
        }
        Fill(masters, {QStringLiteral("CODE")}, keys);
        Fill(list, {QStringLiteral("CODE")}, lines);
        ReportDefinition def;
        def.mainData = &masters;
        def.addBand(QStringLiteral("columns"), BandKind::ColumnHeader, 7);
        def.addBand(QStringLiteral("master"), BandKind::Detail, 10).keepTogether = c.keep;
        Band &sub = def.addBand(QStringLiteral("list"), BandKind::SubDetail, 10);
        sub.dataSet = &list;
        sub.masterFields = sub.detailFields = QStringList{QStringLiteral("CODE")};
        const Document doc = Layout(def);

        std::vector<std::pair<int, int>> spans(c.rows.size(), {0, 0});
        int block = -1;
        for (size_t p = 0; p < doc.pages.size(); ++p) {
            EXPECT_EQ(doc.pages[p].bands.front().name, QStringLiteral("columns"));
            for (const PlacedBand &b : doc.pages[p].bands) {
                if (b.name == QLatin1String("master"))
                    spans[size_t(++block)] = {int(p) + 1, int(p) + 1};
                else if (b.name == QLatin1String("list"))
                    spans[size_t(block)].second = int(p) + 1;
            }
        }
        QStringList pages;
        for (const auto &[first, last] : spans)
            pages << QStringLiteral("%1-%2").arg(first).arg(last);
        EXPECT_EQ(pages, c.pages);
    }
}

// Texts are fitted into their items: set smaller down to three quarters of their size, then
// cut with "…"; a wrapping text is wrapped at its blanks first; a figure is set as small as it
// needs and never cut. What fits is left alone.
TEST(Paginator, TextsAreFittedIntoTheirItems) {
    struct Case {
        const char *text;
        double width, height, points;
        bool wrap;
        const char *drawn; // nullptr: the text whole
        bool smaller;
        double smallest = 0.75; // of its size
    };
    const Case cases[] = {
        {"Japanese Restaurant", 60, 4, 6, false, nullptr, false},
        {"Japanese Restaurant", 18, 4, 6, false, nullptr, true},
        {"Japanese Restaurant", 10, 4, 6, false, "…", true},
        {"Variance(%)", 9.5, 5, 5, true, nullptr, true},
        {"Last Year MTD", 12, 8, 7, true, nullptr, false}, // on two lines
        {"1,234,567,890", 9, 4, 6, false, nullptr, true, 0.5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.width));
        ReportDefinition def;
        Item label = Label(QStringLiteral("lbl"), {5, 0, c.width, c.height},
                           QString::fromUtf8(c.text), Font(c.points), Qt::AlignCenter);
        label.wordWrap = c.wrap;
        def.addBand(QStringLiteral("title"), BandKind::Title, 10).addItem(label);
        const Document doc = Layout(def);
        ASSERT_EQ(doc.pages.size(), 1u);
        ASSERT_EQ(doc.pages[0].items.size(), 1u);
        const Primitive &p = doc.pages[0].items[0];
        if (c.drawn)
            EXPECT_TRUE(p.text.endsWith(QString::fromUtf8(c.drawn))) << p.text.toStdString();
        else
            EXPECT_EQ(p.text, QString::fromUtf8(c.text));
        EXPECT_EQ(p.font.pointSize < c.points, c.smaller) << p.font.pointSize;
        EXPECT_GE(p.font.pointSize, c.points * c.smallest);
        const QRectF bounds = TextBounds(p);
        EXPECT_GE(bounds.left(), p.rect.left() - 0.05);
        EXPECT_LE(bounds.right(), p.rect.right() + 0.05);
        EXPECT_LE(bounds.height(), std::max(p.rect.height(), LineHeight(p.font)) + 0.05);
    }
}

} // namespace
