#include "framework/xlsexport.h"
#include "support/excel_readback.h"
#include "support/scripted_dialogs.h"
#include "xlsrecords.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::controls;

namespace {

// A plain grid of four columns: a text, an amount shown ",0", an amount whose format
// holds "-", a choice; two rows.
void fillGrid(Grid &grid) {
    GridColumn name, amount, dashed, weather;
    name.field = QStringLiteral("NAME");
    name.title = QStringLiteral("영업장");
    amount.field = QStringLiteral("AMT");
    amount.title = QStringLiteral("금액");
    amount.displayFormat = QStringLiteral(",0");
    dashed.field = QStringLiteral("PHONE");
    dashed.title = QStringLiteral("번호");
    dashed.displayFormat = QStringLiteral("000-0000");
    weather.field = QStringLiteral("WEATHER");
    weather.title = QStringLiteral("날씨");
    weather.pickTexts = {QStringLiteral("맑음"), QStringLiteral("흐림")};
    weather.pickCodes = {QStringLiteral("01"), QStringLiteral("03")};
    grid.setColumns({name, amount, dashed, weather});
    const std::vector<std::tuple<QString, double, double, QString>> rows = {
        {QStringLiteral("베로호텔"), 1500.0, 3301234.0, QStringLiteral("03")},
        {QStringLiteral("가족호텔"), 0.5, 5551234.0, QStringLiteral("01")}};
    for (const auto &[n, a, p, w] : rows) {
        const int r = grid.gridModel()->appendRow();
        grid.setValue(r, 0, n);
        grid.setValue(r, 1, a);
        grid.setValue(r, 2, p);
        grid.setValue(r, 3, w);
    }
}

TEST(SaveGridToXls, RecordsOfASmallGrid) {
    QTemporaryDir dir;
    Grid grid;
    fillGrid(grid);
    const QString result = SaveGridToXls(&grid, QStringLiteral("부문별 매출"), false,
                                         dir.filePath(QStringLiteral("a")));
    EXPECT_EQ(result, dir.filePath(QStringLiteral("a.xls")));
    bool wellFormed = false;
    const auto records = ReadXls(result, &wellFormed);
    EXPECT_TRUE(wellFormed);
    // BOF, code page, title, 4 titles, 2 rows x 4 cells, EOF.
    ASSERT_EQ(records.size(), 1u + 1 + 1 + 4 + 8 + 1);
    EXPECT_EQ(records[1].type, 0x0042);
    EXPECT_EQ(records[1].codePage, 949);
    EXPECT_EQ(records[2].text, QStringLiteral("부문별 매출"));
    EXPECT_EQ(records[2].row, 0);
    const struct {
        size_t index;
        int row, column;
        bool number;
        const char *text;
        double value;
    } cells[] = {
        {3, 2, 0, false, "영업장", 0},   {6, 2, 3, false, "날씨", 0},
        {7, 3, 0, false, "베로호텔", 0}, {8, 3, 1, true, "", 1500},
        {9, 3, 2, false, "3301234", 0},  {10, 3, 3, false, "흐림", 0}, // a choice writes its text
        {12, 4, 1, true, "", 0.5},
    };
    for (const auto &c : cells) {
        const XlsRecord &r = records[c.index];
        EXPECT_EQ(r.row, c.row) << c.index;
        EXPECT_EQ(r.column, c.column) << c.index;
        EXPECT_EQ(r.isNumber(), c.number) << c.index;
        if (c.number)
            EXPECT_DOUBLE_EQ(r.number, c.value) << c.index;
        else
            EXPECT_EQ(r.text, QString::fromUtf8(c.text)) << c.index;
    }
}

TEST(SaveGridToXls, TitleExtensionAndCancel) {
    QTemporaryDir dir;
    Grid grid;
    fillGrid(grid);
    // An empty title leaves row 0 empty; an empty grid has the titles only.
    Grid empty;
    empty.setColumns(grid.columns());
    const QString path =
        SaveGridToXls(&empty, QString(), false, dir.filePath(QStringLiteral("e.XLS")));
    EXPECT_EQ(path, dir.filePath(QStringLiteral("e.XLS")));
    const auto records = ReadXls(path);
    ASSERT_EQ(records.size(), 7u);
    EXPECT_EQ(records[2].row, 2);
    EXPECT_EQ(XlsFileName(QStringLiteral("r.txt")), QStringLiteral("r.xls"));
    EXPECT_EQ(XlsFileName(QStringLiteral("dir.v2/report")), QStringLiteral("dir.v2/report.xls"));
    EXPECT_EQ(XlsFileName(QStringLiteral("report.Xls")), QStringLiteral("report.Xls"));

    test::ScriptedDialogsScope dialogs;
    dialogs->answerFile(QString()); // the user cancels the save dialog
    EXPECT_EQ(SaveGridToXls(&grid, QStringLiteral("t"), true, QStringLiteral("SRS184")),
              QStringLiteral("^저장할 파일 이름을 지정하지 않았습니다."));
    EXPECT_EQ(SaveGridToXls(&grid, QStringLiteral("t"), false, QString()),
              QStringLiteral("^저장할 파일 이름을 지정하지 않았습니다."));
    EXPECT_EQ(
        SaveGridToXls(&grid, QStringLiteral("t"), false, QStringLiteral("/nonexistent/dir/x.xls")),
        QStringLiteral("^Excel 파일로 저장할 수 없습니다."));
}

TEST(ExcelSheet, LongXlsTextsAreCutOnACharacterBoundary) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.xls"));
    ExcelSheet sheet(path, QString());
    sheet.text(0, 0, QString(200, u'가')); // 400 bytes in CP949: 127 characters fit in 255
    sheet.text(0, 1, QStringLiteral("a") + QString(200, u'가'));
    ASSERT_EQ(sheet.finish(), ExcelSheet::Outcome::Written) << sheet.error().toStdString();
    const auto records = ReadXls(path);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[2].text, QString(127, u'가'));
    EXPECT_EQ(records[3].text, QStringLiteral("a") + QString(127, u'가'));
}

// The exports as spreadsheet readers the project did not write read them: the Korean title
// and column titles, the number cells as numbers.
TEST(SaveGridToXls, ReadersOfOtherMakersReadTheKoreanTextsAndTheNumbers) {
    Grid grid;
    fillGrid(grid);
    QTemporaryDir dir;
    const struct {
        const char *name, *encoding;
    } files[] = {{"readers.xls", "cp949"}, {"readers.xlsx", "utf-8"}};
    for (const auto &[name, encoding] : files) {
        SCOPED_TRACE(name);
        const QString path = SaveGridToXls(&grid, QStringLiteral("부문별 매출"), false,
                                           dir.filePath(QLatin1String(name)));
        ASSERT_EQ(path, dir.filePath(QLatin1String(name)));
        const test::ReadBack book = test::ReadExcel(path);
        ASSERT_EQ(book.error, QString());
        EXPECT_EQ(book.encoding, QLatin1String(encoding));
        ASSERT_EQ(book.rows.size(), 5u);
        EXPECT_EQ(book.rows[0], QVariantList{QStringLiteral("부문별 매출")});
        EXPECT_EQ(book.rows[1], QVariantList{});
        EXPECT_EQ(book.rows[2], (QVariantList{QStringLiteral("영업장"), QStringLiteral("금액"),
                                              QStringLiteral("번호"), QStringLiteral("날씨")}));
        EXPECT_EQ(book.rows[3], (QVariantList{QStringLiteral("베로호텔"), 1500.0,
                                              QStringLiteral("3301234"), QStringLiteral("흐림")}));
        EXPECT_EQ(book.rows[4], (QVariantList{QStringLiteral("가족호텔"), 0.5,
                                              QStringLiteral("5551234"), QStringLiteral("맑음")}));
    }
}

} // namespace

namespace {

// A part of an .xlsx file (a zip archive), as text.
QString XlsxPart(const QString &path, const char *part) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, QLatin1String(part)});
    unzip.waitForFinished(30000);
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

} // namespace

TEST(SaveGridToXlsx, NumbersAsNumbersBoldFrozenHeadingsAndTheGridsWidths) {
    Grid grid;
    fillGrid(grid);
    grid.setColumnWidth(0, 140);
    QTemporaryDir dir;
    const QString path = SaveGridToXls(&grid, QStringLiteral("객실 판매"), false,
                                       dir.filePath(QStringLiteral("g.XLSX")));
    ASSERT_EQ(path, dir.filePath(QStringLiteral("g.XLSX")));
    const QString sheet = XlsxPart(path, "xl/worksheets/sheet1.xml");
    // Korean text in UTF-8; the amount a number cell in "#,##0"; the choice its
    // text; the number with a "-" in its format a text.
    EXPECT_TRUE(sheet.contains(QStringLiteral("<t>객실 판매</t>"))) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(QStringLiteral("<t>베로호텔</t>")));
    EXPECT_TRUE(sheet.contains(
        QRegularExpression(QStringLiteral("<c r=\"B4\" s=\"\\d+\"><v>1500</v></c>"))))
        << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(QStringLiteral("<t>흐림</t>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<t>3301234</t>")));
    // The heading row (row 3) and those above it stay in view; column A is 20 wide.
    EXPECT_TRUE(sheet.contains(QStringLiteral("ySplit=\"3\""))) << sheet.toStdString();
    EXPECT_TRUE(
        sheet.contains(QRegularExpression(QStringLiteral("<col min=\"1\" max=\"1\" width=\"20"))));
    const QString styles = XlsxPart(path, "xl/styles.xml");
    EXPECT_TRUE(styles.contains(QStringLiteral("<b/>")));
    EXPECT_TRUE(styles.contains(QStringLiteral("formatCode=\"#,##0\""))) << styles.toStdString();
}

TEST(SaveGridToXlsx, PastTheRowsOfAnXlsFileOnlyTheXlsxIsWritten) {
    Grid grid;
    GridColumn n;
    n.field = QStringLiteral("N");
    n.title = QStringLiteral("N");
    n.displayFormat = QStringLiteral(",0");
    grid.setColumns({n});
    for (int r = 0; r < 65534; ++r)
        grid.setValue(grid.gridModel()->appendRow(), 0, double(r));
    QTemporaryDir dir;
    EXPECT_EQ(SaveGridToXls(&grid, QString(), false, dir.filePath(QStringLiteral("big.xls"))),
              u'^' + TooManyRowsForXlsMessage());
    EXPECT_TRUE(TooManyRowsForXlsMessage().contains(QStringLiteral(".xlsx")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList()); // no file
    const QString path = dir.filePath(QStringLiteral("big.xlsx"));
    EXPECT_EQ(SaveGridToXls(&grid, QString(), false, path), path);
    EXPECT_TRUE(XlsxPart(path, "xl/worksheets/sheet1.xml")
                    .contains(QRegularExpression(
                        QStringLiteral("<c r=\"A65536\" s=\"\\d+\"><v>65532</v></c>"))));
}
