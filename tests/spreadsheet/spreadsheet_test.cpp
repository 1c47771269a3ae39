#include "spreadsheet/spreadsheet.h"

#include "common/excelsheet.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QFile>
#include <QTemporaryDir>

#include <minizip/zip.h>
#include <xlsxwriter.h>

#include <random>

#include <sys/stat.h>

using namespace kelo;

namespace {

const QString kSamples = QStringLiteral(KELO_SPREADSHEETS_DIR);

struct Sheet {
    bool ok = false;
    SpreadsheetError kind = SpreadsheetError::None;
    QString error;
    QString name;
    int rowCount = 0;
    std::vector<QStringList> rows;
};

Sheet Read(const QString &path, int columns = 6) {
    Sheet s;
    SpreadsheetReader reader;
    s.ok = reader.open(path);
    if (s.ok) {
        s.name = reader.sheetName();
        s.rowCount = reader.rowCount();
        int expected = 1;
        s.ok = reader.readRows(columns, [&](int row, const QStringList &cells) {
            EXPECT_EQ(row, expected++);
            EXPECT_EQ(cells.size(), columns);
            s.rows.push_back(cells);
            return true;
        });
    }
    s.kind = reader.errorKind();
    s.error = reader.error();
    return s;
}

// The target sheet every format holds: a heading row and 24 rows of targets.
std::vector<QStringList> TargetRows() {
    std::vector<QStringList> rows{
        {"목표등록일자", "업장코드", "Division", "Guests", "목표금액", "REMARK"}};
    const QStringList divisions{"객실", "식음", "골프", "스키"};
    for (int i = 0; i < 24; ++i) {
        QString remark = i == 0   ? QStringLiteral("첫 줄 메모  (공백 둘)")
                         : i == 1 ? QStringLiteral(" 앞 공백")
                                  : QStringLiteral("비고 %1번째 목표").arg(i + 1);
        rows.push_back({QDate(2027, 1, 5).addDays(i).toString(u"yyyyMMdd"),
                        QStringLiteral("300%1").arg(i % 3 + 1), i == 10 ? "" : divisions[i % 4],
                        i == 3 ? "" : QString::number(10 + 3 * i),
                        i == 5 ? "1234567.5" : QString::number(1500000 + 250000 * i),
                        i == 7 ? "" : remark});
    }
    return rows;
}

// The same sheet as libxlsxwriter writes it, as the second and active sheet "목표" after an
// "안내" sheet; a date-formatted blank cell at row 30 holds no value. In constant-memory mode
// the texts are inline strings, else shared strings.
void WriteTargetXlsx(const QString &path, bool constantMemory) {
    lxw_workbook_options options{};
    options.constant_memory = constantMemory;
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook *book = workbook_new_opt(file.constData(), &options);
    ASSERT_NE(book, nullptr);
    lxw_worksheet *info = workbook_add_worksheet(book, "안내");
    lxw_worksheet *sheet = workbook_add_worksheet(book, "목표");
    worksheet_write_string(info, 0, 0, "이 시트는 안내입니다", nullptr);
    lxw_format *date = workbook_add_format(book);
    format_set_num_format(date, "yyyy-mm-dd");
    lxw_format *amount = workbook_add_format(book);
    format_set_num_format(amount, "#,##0");
    const std::vector<QStringList> rows = TargetRows();
    for (int c = 0; c < 6; ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), rows[0][c].toUtf8().constData(), nullptr);
    for (int i = 0; i < 24; ++i) {
        const QStringList &r = rows[size_t(i) + 1];
        const lxw_row_t row = lxw_row_t(i + 1);
        worksheet_write_number(sheet, row, 0, 46392 + i, date); // 2027-01-05 on
        worksheet_write_string(sheet, row, 1, r[1].toUtf8().constData(), nullptr);
        if (!r[2].isEmpty())
            worksheet_write_string(sheet, row, 2, r[2].toUtf8().constData(), nullptr);
        if (!r[3].isEmpty())
            worksheet_write_number(sheet, row, 3, r[3].toDouble(), nullptr);
        worksheet_write_number(sheet, row, 4, r[4].toDouble(), amount);
        if (!r[5].isEmpty())
            worksheet_write_string(sheet, row, 5, r[5].toUtf8().constData(), nullptr);
    }
    worksheet_write_blank(sheet, 29, 0, date);
    worksheet_activate(sheet);
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
}

// A zip of the given parts, each deflated; parts given as pieces are written piece by piece.
void WriteZip(const QString &path,
              const std::vector<std::pair<QString, std::vector<QByteArray>>> &parts) {
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    for (const auto &[name, pieces] : parts) {
        ASSERT_EQ(zipOpenNewFileInZip64(zip, name.toUtf8().constData(), nullptr, nullptr, 0,
                                        nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0),
                  ZIP_OK);
        for (const QByteArray &piece : pieces)
            ASSERT_EQ(zipWriteInFileInZip(zip, piece.constData(), unsigned(piece.size())), ZIP_OK);
        ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
    }
    ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

void WriteZip(const QString &path, const std::vector<std::pair<QString, QByteArray>> &parts) {
    std::vector<std::pair<QString, std::vector<QByteArray>>> pieces;
    for (const auto &[name, data] : parts)
        pieces.push_back({name, {data}});
    WriteZip(path, pieces);
}

const char *kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char *kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// A one-sheet workbook of the given parts, written part by part.
std::vector<std::pair<QString, QByteArray>> XlsxParts(const QByteArray &sheetData,
                                                      const QByteArray &shared,
                                                      const QByteArray &styles,
                                                      const QByteArray &workbookPr = "") {
    const QByteArray rel = kRel;
    return {
        {"_rels/.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"" +
             rel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml", QByteArray("<workbook xmlns=\"") + kMain + "\" xmlns:r=\"" + kRel +
                                "\">" + workbookPr +
                                "<sheets><sheet name=\"자료\" sheetId=\"1\" r:id=\"rId3\"/>"
                                "</sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"" +
             rel +
             "/sharedStrings\" Target=\"sharedStrings.xml\"/><Relationship Id=\"rId2\" Type=\"" +
             rel + "/styles\" Target=\"/xl/styles.xml\"/><Relationship Id=\"rId3\" Type=\"" + rel +
             "/worksheet\" Target=\"worksheets/../worksheets/data.xml\"/></Relationships>"},
        {"xl/worksheets/data.xml", QByteArray("<worksheet xmlns=\"") + kMain + "\"><sheetData>" +
                                       sheetData + "</sheetData></worksheet>"},
        {"xl/sharedStrings.xml", QByteArray("<sst xmlns=\"") + kMain + "\">" + shared + "</sst>"},
        {"xl/styles.xml",
         QByteArray("<styleSheet xmlns=\"") + kMain + "\">" + styles + "</styleSheet>"},
    };
}

// A file as the program's .xls export writes it.
void WriteOwnXls(QFile &file) {
    ExcelSheet w(file.fileName(), QString());
    w.text(0, 0, u"업장별 목표");
    w.text(2, 0, u"업장코드");
    w.text(2, 1, u"목표금액");
    w.text(3, 0, u"3001");
    w.number(3, 1, 1500000);
    w.number(4, 1, -12.5);
    ASSERT_EQ(w.finish(), ExcelSheet::Outcome::Written) << w.error().toStdString();
}

// The parts with one of them written as the given pieces (for parts too large to hold).
std::vector<std::pair<QString, std::vector<QByteArray>>>
WithPart(const std::vector<std::pair<QString, QByteArray>> &parts, const QString &part,
         const std::vector<QByteArray> &pieces) {
    std::vector<std::pair<QString, std::vector<QByteArray>>> out;
    for (const auto &[name, data] : parts)
        out.push_back({name, name == part ? pieces : std::vector<QByteArray>{data}});
    return out;
}

// About `megabytes` MB of empty elements, one MB a piece.
std::vector<QByteArray> Padding(int megabytes) {
    const QByteArray element = "<x>" + QByteArray(1017, ' ') + "</x>";
    return std::vector<QByteArray>(size_t(megabytes), element.repeated(1024));
}

class SpreadsheetTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
};

} // namespace

TEST(SpreadsheetTexts, NumbersReadAsPlainDecimals) {
    const struct {
        double value;
        const char *text;
    } cases[] = {
        {1500000, "1500000"},
        {12.5, "12.5"},
        {-3, "-3"},
        {0.1 + 0.2, "0.3"},
        {0.5, "0.5"},
        {-0.25, "-0.25"},
        {0, "0"},
        {1e15, "1000000000000000"},
        {1234567.5, "1234567.5"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SpreadsheetReader::NumberText(c.value).toStdString(), c.text) << c.value;
}

TEST(SpreadsheetTexts, SerialNumbersReadAsDates) {
    const struct {
        double serial;
        bool date1904;
        const char *text;
    } cases[] = {
        {46392, false, "20270105"},
        {46392.75, false, "20270105 18:00:00"},
        {46392.999999, false, "20270106"}, // rounds to the next midnight
        {44930, true, "20270105"},
        {1, false, "19000101"},
        {59, false, "19000228"},
        {60, false, "19000229"}, // the 1900 system's day that never was
        {61, false, "19000301"},
        {0.5, false, "12:00:00"},
        {0.0104166666667, false, "00:15:00"},
        {-1, false, "-1"},
        {3e6, false, "3000000"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SpreadsheetReader::SerialDateText(c.serial, c.date1904).toStdString(), c.text)
            << c.serial;
    EXPECT_EQ(SpreadsheetReader::IsoDateText(u"2027-01-05").toStdString(), "20270105");
    EXPECT_EQ(SpreadsheetReader::IsoDateText(u"2027-01-05T10:30:00").toStdString(),
              "20270105 10:30:00");
    EXPECT_EQ(SpreadsheetReader::IsoDateText(u"2027-01-05T00:00:00").toStdString(), "20270105");
    EXPECT_TRUE(SpreadsheetReader::IsoDateText(u"2027-13-05").isEmpty());
}

TEST(SpreadsheetTexts, DateFormatsAreToldFromNumberFormats) {
    const struct {
        int id;
        const char *code;
        bool date;
    } cases[] = {
        {14, "", true},
        {22, "", true},
        {31, "", true}, // a Korean built-in date
        {3, "", false},
        {164, "yyyy-mm-dd", true},
        {164, "yyyy\"년\" m\"월\" d\"일\"", true},
        {164, "[$-412]yyyy-mm-dd", true},
        {164, "h:mm AM/PM", true},
        {164, "[h]:mm", true},
        {164, "#,##0", false},
        {164, "[Red]#,##0.00", false},
        {164, "\"day\" #,##0", false},
        {164, "#,##0_);\\(#,##0\\)", false},
        {164, "0.00E+00", false},
        {164, "General", false},
        {164, "@", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SpreadsheetReader::IsDateFormat(c.id, QString::fromUtf8(c.code)), c.date)
            << c.id << " " << c.code;
}

// The same sheet written by libxlsxwriter (shared and inline strings) and converted by
// LibreOffice to .xls (BIFF8) and .ods reads the same everywhere: the active sheet, its used
// rows and the texts of its cells.
TEST_F(SpreadsheetTest, EveryFormatReadsTheSameTargetSheet) {
    WriteTargetXlsx(path("shared.xlsx"), false);
    WriteTargetXlsx(path("inline.xlsx"), true);
    const QString files[] = {path("shared.xlsx"), path("inline.xlsx"), kSamples + "/sample.xls",
                             kSamples + "/sample.ods"};
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        const Sheet s = Read(file);
        ASSERT_TRUE(s.ok) << s.error.toStdString();
        EXPECT_EQ(s.name, QStringLiteral("목표"));
        EXPECT_EQ(s.rowCount, 25);
        EXPECT_EQ(s.rows, TargetRows());
    }
}

TEST_F(SpreadsheetTest, StopsWhenTheCallerSaysSoAndPadsColumns) {
    WriteTargetXlsx(path("t.xlsx"), false);
    for (const QString &file :
         {path("t.xlsx"), kSamples + "/sample.xls", kSamples + "/sample.ods"}) {
        SpreadsheetReader reader;
        ASSERT_TRUE(reader.open(file)) << reader.error().toStdString();
        std::vector<QStringList> seen;
        EXPECT_TRUE(reader.readRows(8, [&](int, const QStringList &cells) {
            seen.push_back(cells);
            return seen.size() < 3;
        }));
        ASSERT_EQ(seen.size(), 3u);
        EXPECT_EQ(seen[2],
                  (QStringList{"20270106", "3002", "식음", "13", "1750000", " 앞 공백", "", ""}));
        // Columns A and B only; a second pass reads from the start again.
        int rows = 0;
        EXPECT_TRUE(reader.readRows(2, [&](int, const QStringList &cells) {
            EXPECT_EQ(cells.size(), 2);
            ++rows;
            return true;
        }));
        EXPECT_EQ(rows, 25);
    }
}

// A file the program's own .xls export wrote reads back, its CP949 texts decoded and the
// sheet named after the file.
TEST_F(SpreadsheetTest, ReadsTheProgramsOwnXlsExport) {
    QFile file(path("목표 현황.xls"));
    WriteOwnXls(file);
    const Sheet s = Read(file.fileName(), 3);
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    EXPECT_EQ(s.name, QStringLiteral("목표 현황"));
    EXPECT_EQ(s.rowCount, 5);
    const std::vector<QStringList> expected{{"업장별 목표", "", ""},
                                            {"", "", ""},
                                            {"업장코드", "목표금액", ""},
                                            {"3001", "1500000", ""},
                                            {"", "-12.5", ""}};
    EXPECT_EQ(s.rows, expected);
}

// Record streams from elsewhere need not keep row order: the rows still come out in order.
TEST_F(SpreadsheetTest, ReadsARecordStreamOutOfRowOrder) {
    QFile file(path("order.xls"));
    {
        ExcelSheet w(file.fileName(), QString());
        w.text(3, 1, u"넷째 행");
        w.number(0, 0, 1);
        w.text(3, 0, u"D");
        w.number(1, 2, 2.5);
        ASSERT_EQ(w.finish(), ExcelSheet::Outcome::Written);
    }
    const Sheet s = Read(file.fileName(), 3);
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    EXPECT_EQ(s.rowCount, 4);
    const std::vector<QStringList> expected{
        {"1", "", ""}, {"", "", "2.5"}, {"", "", ""}, {"D", "넷째 행", ""}};
    EXPECT_EQ(s.rows, expected);
}

// Cells without addresses, skipped rows, rich text with a phonetic reading, booleans, errors,
// formula strings, ISO dates, custom date formats, the 1900 leap day and the 1904 system.
TEST_F(SpreadsheetTest, ReadsEveryXlsxCellKind) {
    const QByteArray sheet =
        "<row r=\"1\"><c t=\"inlineStr\"><is><r><t>굵게</t></r><r><t xml:space=\"preserve\"> "
        "보통</t></r><rPh sb=\"0\" eb=\"1\"><t>ふりがな</t></rPh></is></c><c t=\"b\"><v>1</v></c>"
        "<c t=\"e\"><v>#N/A</v></c><c t=\"str\"><f>A1&amp;\"x\"</f><v>계산</v></c></row>"
        "<row r=\"3\"><c r=\"B3\" s=\"1\"><v>46392.75</v></c><c r=\"D3\" t=\"d\">"
        "<v>2027-01-05T10:30:00</v></c><c r=\"E3\" s=\"2\"><v>0.30000000000000004</v></c>"
        "<c r=\"F3\" t=\"s\"><v>1</v></c></row>"
        "<row><c><v>-3</v></c><c s=\"3\"><v>60</v></c><c s=\"4\"><v>0.5</v></c>"
        "<c s=\"5\"><v>7</v></c><c t=\"s\"><v>0</v></c><c t=\"b\"/></row>"
        "<row r=\"9\"><c r=\"A9\" s=\"1\"/><c r=\"B9\" t=\"s\"><v>2</v></c><c t=\"b\"/>"
        "<c t=\"s\"><v></v></c><c t=\"str\"><f>\"\"</f><v></v></c></row>";
    const QByteArray shared =
        "<si><r><rPr><b/></rPr><t>공유</t></r><r><t>문자열</t></r></si><si><t>둘째</t></si>"
        "<si><t></t></si>";
    const QByteArray styles =
        "<numFmts count=\"3\"><numFmt numFmtId=\"164\" formatCode=\"yyyy\\-mm\\-dd hh:mm\"/>"
        "<numFmt numFmtId=\"165\" formatCode=\"[Red]#,##0.00\"/>"
        "<numFmt numFmtId=\"166\" formatCode=\"&quot;d&quot;#,##0\"/></numFmts>"
        "<cellStyleXfs count=\"1\"><xf numFmtId=\"14\"/></cellStyleXfs>"
        "<cellXfs count=\"6\"><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"165\"/>"
        "<xf numFmtId=\"14\"/><xf numFmtId=\"21\"/><xf numFmtId=\"166\"/></cellXfs>";
    WriteZip(path("kinds.xlsx"), XlsxParts(sheet, shared, styles));
    const Sheet s = Read(path("kinds.xlsx"));
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    EXPECT_EQ(s.name, QStringLiteral("자료"));
    EXPECT_EQ(s.rowCount, 4); // row 9 holds only a blank, empty strings and an empty boolean
    const std::vector<QStringList> expected{
        {"굵게 보통", "TRUE", "#N/A", "계산", "", ""},
        {"", "", "", "", "", ""},
        {"", "20270105 18:00:00", "", "20270105 10:30:00", "0.3", "둘째"},
        {"-3", "19000229", "12:00:00", "7", "공유문자열", ""},
    };
    EXPECT_EQ(s.rows, expected);

    WriteZip(path("1904.xlsx"), XlsxParts("<row r=\"2\"><c r=\"C2\" s=\"1\"><v>44930</v></c></row>",
                                          "", styles, "<workbookPr date1904=\"1\"/>"));
    const Sheet s1904 = Read(path("1904.xlsx"), 3);
    ASSERT_TRUE(s1904.ok) << s1904.error.toStdString();
    EXPECT_EQ(s1904.rows, (std::vector<QStringList>{{"", "", ""}, {"", "", "20270105"}}));
}

// What XML makes of a part's bytes, which the reader must make of them too: entities and
// character references, CDATA, line ends, characters past the Basic Plane, prefixed names
// with their own declaration, single quotes, comments and processing instructions between
// cells, references in attributes, numbers and shared-string indexes with blanks, and a
// sheet part in UTF-16.
TEST_F(SpreadsheetTest, ReadsXmlAsXmlReadsIt) {
    const struct {
        const char *what;
        QByteArray sheetData;
        QStringList row;
    } cases[] = {
        {"entities",
         "<row r=\"1\"><c t=\"inlineStr\"><is><t>a &amp; b &lt;c&gt; &quot;d&quot; &apos;e&apos; "
         "&#xAC00;&#44032;</t></is></c></row>",
         {"a & b <c> \"d\" 'e' 가가", "", ""}},
        {"cdata and line ends",
         "<row r=\"1\"><c t=\"inlineStr\"><is><t><![CDATA[<x> & y]]></t></is></c>"
         "<c t=\"inlineStr\"><is><t>a\r\nb\rc</t></is></c></row>",
         {"<x> & y", "a\nb\nc", ""}},
        {"wide characters",
         "<row r=\"1\"><c t=\"inlineStr\"><is><t>漢字 한글 \xF0\x9F\x98\x80</t></is></c></row>",
         {QString::fromUtf8("漢字 한글 \xF0\x9F\x98\x80"), "", ""}},
        {"prefixes, quotes, comments",
         "<x:row xmlns:x=\"urn:x\" r='1'><!-- 메모 --><?keep this?>\n  <x:c r='B1'>"
         "<x:v>5</x:v></x:c>\n</x:row>",
         {"", "5", ""}},
        {"references in attributes",
         "<row r=\"&#49;\"><c r=\"&#67;1\"><v>7</v></c></row>",
         {"", "", "7"}},
        {"numbers",
         "<row r=\"1\"><c><v> 12 </v></c><c><v>+5</v></c><c><v>1e3</v></c></row>",
         {"12", "5", "1000"}},
        {"shared index with blanks",
         "<row r=\"1\"><c t=\"s\"><v> 1 </v></c></row>",
         {"일", "", ""}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        WriteZip(path("xml.xlsx"),
                 XlsxParts(c.sheetData, "<si><t>영</t></si><si><t>일</t></si>", ""));
        const Sheet s = Read(path("xml.xlsx"), 3);
        ASSERT_TRUE(s.ok) << s.error.toStdString();
        EXPECT_EQ(s.rows, std::vector<QStringList>{c.row});
    }
    const QString utf16 = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?><worksheet><sheetData><row r=\"1\">"
        "<c t=\"inlineStr\"><is><t>유니코드 표</t></is></c></row></sheetData></worksheet>");
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2);
    WriteZip(path("utf16.xlsx"),
             WithPart(XlsxParts("", "", ""), "xl/worksheets/data.xml", {bytes}));
    const Sheet s = Read(path("utf16.xlsx"), 1);
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    EXPECT_EQ(s.rows, (std::vector<QStringList>{{"유니코드 표"}}));
}

// XML that is not well-formed is damage, whatever part of it is bad.
TEST_F(SpreadsheetTest, RefusesXmlThatIsNotWellFormed) {
    const struct {
        const char *what;
        QByteArray sheetData;
    } cases[] = {
        {"tags that do not match", "<row r=\"1\"><c><v>1</v></row>"},
        {"an entity no DTD declares",
         "<row r=\"1\"><c t=\"inlineStr\"><is><t>&nbsp;</t></is></c></row>"},
        {"a reference to no character",
         "<row r=\"1\"><c t=\"inlineStr\"><is><t>&#0;</t></is></c></row>"},
        {"a control character", "<row r=\"1\"><c t=\"inlineStr\"><is><t>a\x01</t></is></c></row>"},
        {"bytes that are not UTF-8",
         "<row r=\"1\"><c t=\"inlineStr\"><is><t>\xC3\x28</t></is></c></row>"},
        {"an attribute without quotes", "<row r=1><c><v>1</v></c></row>"},
        {"an attribute twice", "<row r=\"1\" r=\"2\"><c><v>1</v></c></row>"},
        {"a prefix never declared", "<y:row r=\"1\"><y:c><y:v>1</y:v></y:c></y:row>"},
        {"'<' in an attribute", "<row r=\"1\"><c r=\"A<1\"><v>1</v></c></row>"},
        {"a name of two prefixes", "<x:y:row xmlns:x=\"urn:x\" r=\"1\"/>"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        WriteZip(path("bad.xlsx"), XlsxParts(c.sheetData, "", ""));
        const Sheet s = Read(path("bad.xlsx"), 3);
        EXPECT_FALSE(s.ok);
        EXPECT_EQ(s.kind, SpreadsheetError::Damaged) << s.error.toStdString();
        EXPECT_TRUE(s.error.startsWith(
            QStringLiteral("파일이 손상되었습니다: bad.xlsx (xl/worksheets/data.xml")))
            << s.error.toStdString();
    }
}

// LibreOffice's .xls of booleans (kept as TRUE()/FALSE() formulas), formulas with cached
// numbers, a date-time, a time, a Korean date format and the 1900 system's day 60: FreeXL
// leaves formula cells empty, the reader takes their results from the sheet's records.
TEST_F(SpreadsheetTest, ReadsXlsFormulaResultsAndDateKinds) {
    const Sheet s = Read(kSamples + "/kinds.xls");
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    EXPECT_EQ(s.name, QStringLiteral("K"));
    const std::vector<QStringList> expected{
        {"TRUE", "FALSE", "0", "20270105 18:00:00", "12:00:00", "20270105"},
        {"0.1", "123456789012.25", "19000229", "0", "0", "0"},
    };
    EXPECT_EQ(s.rows, expected);
}

// A number cell of an .xls under a date-only format reads as the day the format shows, the
// time of day it also holds left out: the sample's date of row 23 made 18:00 of that day.
TEST_F(SpreadsheetTest, XlsDateCellReadsAsItsFormatShowsIt) {
    QFile sample(kSamples + "/sample.xls");
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    QByteArray xls = sample.readAll();
    const QByteArray rk("\x7E\x02\x0A\x00\x16\x00\x00\x00", 8); // RK of row 22, column 0
    const qsizetype at = xls.indexOf(rk);
    ASSERT_GE(at, 0);
    const quint32 value = (4641375u << 2) | 3; // 46413.75: an integer RK in hundredths
    for (int i = 0; i < 4; ++i)
        xls[at + 10 + i] = char(value >> (8 * i));
    QFile changed(path("time.xls"));
    ASSERT_TRUE(changed.open(QIODevice::WriteOnly));
    changed.write(xls);
    changed.close();
    const Sheet s = Read(path("time.xls"), 1);
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    ASSERT_EQ(s.rows.size(), 25u);
    EXPECT_EQ(s.rows[22], QStringList{"20270126"});
    EXPECT_EQ(s.rows[21], QStringList{"20270125"});
}

// 1,200 shared strings, Korean (two bytes a character) and plain, carried on over CONTINUE
// records: every one arrives whole where its row wants it.
TEST_F(SpreadsheetTest, ReadsXlsSharedStringsAcrossContinueRecords) {
    const Sheet s = Read(kSamples + "/many-strings.xls", 2);
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    ASSERT_EQ(s.rowCount, 600);
    for (int r = 1; r <= 600; ++r)
        ASSERT_EQ(
            s.rows[size_t(r) - 1],
            (QStringList{QStringLiteral("%1번째 고유 문자열 %2").arg(r).arg(r % 2 ? "" : "wide"),
                         QStringLiteral("plain ascii text number %1").arg(r)}))
            << r;
}

// Repeated rows and columns, spaces, tabs, paragraphs, notes, and each value type of a table.
TEST_F(SpreadsheetTest, ReadsEveryOdsCellKind) {
    const QByteArray content =
        "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
        "<office:spreadsheet><table:table table:name=\"첫째\"><table:table-row><table:table-cell "
        "office:value-type=\"string\"><text:p>다른 표</text:p></table:table-cell></table:table-row>"
        "</table:table><table:table table:name=\"둘째\"><table:table-column/>"
        "<table:table-header-rows><table:table-row><table:table-cell office:value-type=\"string\">"
        "<text:p>가<text:s text:c=\"3\"/>나<text:tab/>다</text:p><text:p>둘째 줄</text:p>"
        "<office:annotation><text:p>메모</text:p></office:annotation></table:table-cell>"
        "<table:table-cell table:number-columns-repeated=\"2\" office:value-type=\"float\" "
        "office:value=\"0.1\"><text:p>0.10</text:p></table:table-cell><table:covered-table-cell/>"
        "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"false\">"
        "<text:p>FALSE</text:p></table:table-cell></table:table-row></table:table-header-rows>"
        "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell "
        "office:value-type=\"percentage\" office:value=\"0.15\"><text:p>15%</text:p>"
        "</table:table-cell><table:table-cell office:value-type=\"currency\" "
        "office:currency=\"KRW\" office:value=\"1500000\"><text:p>₩1,500,000</text:p>"
        "</table:table-cell></table:table-row><table:table-row table:number-rows-repeated=\"3\">"
        "<table:table-cell table:number-columns-repeated=\"1024\"/></table:table-row>"
        "<table:table-row><table:table-cell office:value-type=\"date\" "
        "office:date-value=\"2027-01-05T08:15:00\"><text:p>x</text:p></table:table-cell>"
        "<table:table-cell office:value-type=\"time\" office:time-value=\"PT13H05M30S\">"
        "<text:p>x</text:p></table:table-cell><table:table-cell/><table:table-cell>"
        "<text:p>#N/A</text:p></table:table-cell><table:table-cell office:value-type=\"date\" "
        "office:date-value=\"2027-01-05\"><text:p>x</text:p></table:table-cell></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"1048569\"><table:table-cell "
        "table:number-columns-repeated=\"1024\"/></table:table-row></table:table>"
        "</office:spreadsheet></office:body></office:document-content>";
    const QByteArray settings =
        "<office:document-settings xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:config:1.0\"><office:settings>"
        "<config:config-item-set config:name=\"ooo:view-settings\"><config:config-item "
        "config:name=\"ActiveTable\" config:type=\"string\">둘째</config:config-item>"
        "</config:config-item-set></office:settings></office:document-settings>";
    WriteZip(path("kinds.ods"), {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                                 {"content.xml", content},
                                 {"settings.xml", settings}});
    const Sheet s = Read(path("kinds.ods"));
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    EXPECT_EQ(s.name, QStringLiteral("둘째"));
    EXPECT_EQ(s.rowCount, 7);
    const QStringList empty(6, QString());
    const std::vector<QStringList> expected{
        {"가   나\t다\n둘째 줄", "0.1", "0.1", "", "FALSE", ""},
        {"0.15", "1500000", "", "", "", ""},
        {"0.15", "1500000", "", "", "", ""},
        empty,
        empty,
        empty,
        {"20270105 08:15:00", "13:05:30", "", "#N/A", "20270105", ""},
    };
    EXPECT_EQ(s.rows, expected);
}

// The content.xml of an .ods with one table of the given rows.
QByteArray OdsContent(const QByteArray &rows) {
    return "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:"
           "1.0\" xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
           "<office:spreadsheet><table:table table:name=\"목표\">" +
           rows + "</table:table></office:spreadsheet></office:body></office:document-content>";
}

// A value past the caller's row limit refuses the sheet as soon as the count meets it, with
// the row and the limit named: one value in the last row of a tiny .xlsx, one .ods row
// repeated to the last row.
TEST_F(SpreadsheetTest, AValuePastTheRowLimitRefusesTheSheet) {
    WriteZip(path("far.xlsx"), XlsxParts("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                                         "<row r=\"1048576\"><c r=\"A1048576\"><v>1</v></c></row>",
                                         "", ""));
    WriteZip(path("repeated.ods"),
             {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
              {"content.xml", OdsContent("<table:table-row table:number-rows-repeated=\"1048576\">"
                                         "<table:table-cell office:value-type=\"float\" "
                                         "office:value=\"1\"/></table:table-row>")}});
    for (const char *name : {"far.xlsx", "repeated.ods"}) {
        SCOPED_TRACE(name);
        EXPECT_LT(QFileInfo(path(name)).size(), 4096);
        SpreadsheetLimits limits;
        limits.rows = 65'536;
        SpreadsheetReader reader(limits);
        EXPECT_FALSE(reader.open(path(name)));
        EXPECT_EQ(reader.errorKind(), SpreadsheetError::TooManyRows);
        EXPECT_EQ(reader.error(), QStringLiteral("행이 너무 많습니다: %1 (1,048,576행에 값이 "
                                                 "있습니다. 최대 65,536행까지 읽습니다)")
                                      .arg(QLatin1String(name)));
        EXPECT_EQ(reader.rowCount(), 0);
    }
}

// A row or a cell that comes twice would replace the first one's values: the file is refused
// and the row named, in every format that numbers its rows and cells.
TEST_F(SpreadsheetTest, ARowOrCellThatComesTwiceIsRefused) {
    const struct {
        const char *name;
        QByteArray sheetData;
        const char *detail;
    } xlsx[] = {
        {"row.xlsx",
         "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row><row r=\"2\"><c r=\"A2\"><v>2</v></c></row>"
         "<row r=\"2\"><c r=\"B2\"><v>3</v></c></row>",
         "2행이 두 번 있습니다"},
        {"row-later.xlsx",
         "<row r=\"2\"><c r=\"A2\"><v>2</v></c></row><row r=\"3\"/>"
         "<row r=\"2\"><c r=\"A2\"><v>9</v></c></row>",
         "2행이 두 번 있습니다"},
        {"cell.xlsx",
         "<row r=\"2\"><c r=\"A2\"><v>2</v></c><c r=\"B2\"><v>3</v></c>"
         "<c r=\"A2\"><v>9</v></c></row>",
         "2행의 1열 셀이 두 번 있습니다"},
    };
    std::vector<std::pair<QString, QString>> cases;
    for (const auto &c : xlsx) {
        WriteZip(path(c.name), XlsxParts(c.sheetData, "", ""));
        cases.push_back({c.name, QString::fromUtf8(c.detail)});
    }
    // The second heading cell of the sample .xls moved onto the first.
    QFile sample(kSamples + "/sample.xls");
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    QByteArray xls = sample.readAll();
    const QByteArray b1("\xFD\x00\x0A\x00\x00\x00\x01\x00", 8); // LABELSST of row 0, column 1
    const qsizetype at = xls.indexOf(b1);
    ASSERT_GE(at, 0);
    ASSERT_EQ(xls.indexOf(b1, at + 1), -1);
    xls[at + 6] = 0;
    QFile moved(path("moved.xls"));
    ASSERT_TRUE(moved.open(QIODevice::WriteOnly));
    moved.write(xls);
    moved.close();
    cases.push_back({"moved.xls", QStringLiteral("1행의 1열 셀이 두 번 있습니다")});
    // The record stream of the program's own export, one cell written twice.
    ExcelSheet own(path("own.xls"), QString());
    own.text(3, 0, u"3001");
    own.number(3, 0, 3002);
    ASSERT_EQ(own.finish(), ExcelSheet::Outcome::Written);
    cases.push_back({"own.xls", QStringLiteral("4행의 1열 셀이 두 번 있습니다")});

    for (const auto &[name, detail] : cases) {
        SCOPED_TRACE(name.toStdString());
        const Sheet s = Read(path(name));
        EXPECT_FALSE(s.ok);
        EXPECT_EQ(s.kind, SpreadsheetError::Damaged);
        EXPECT_TRUE(s.error.startsWith(QStringLiteral("파일이 손상되었습니다: %1 (").arg(name)))
            << s.error.toStdString();
        EXPECT_TRUE(s.error.endsWith(detail + u')')) << s.error.toStdString();
    }
    // The sample itself reads.
    EXPECT_TRUE(Read(kSamples + "/sample.xls").ok);
}

// A part whose bytes do not match the CRC its zip entry keeps is damaged, though it be
// well-formed XML: the sheet is read to its end, where the zip checks what was inflated.
TEST_F(SpreadsheetTest, APartThatFailsItsCrcIsDamaged) {
    const auto write = [](const QString &file,
                          const std::vector<std::pair<QString, QByteArray>> &parts,
                          const QString &badPart) {
        zipFile zip = zipOpen64(QFile::encodeName(file).constData(), APPEND_STATUS_CREATE);
        ASSERT_NE(zip, nullptr);
        for (const auto &[name, data] : parts) {
            // stored as it is, with the CRC of the bytes given, one bit off for the bad part
            ASSERT_EQ(zipOpenNewFileInZip2(zip, name.toUtf8().constData(), nullptr, nullptr, 0,
                                           nullptr, 0, nullptr, 0, 0, 1),
                      ZIP_OK);
            ASSERT_EQ(zipWriteInFileInZip(zip, data.constData(), unsigned(data.size())), ZIP_OK);
            uLong crc =
                crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size()));
            if (name == badPart)
                crc ^= 1;
            ASSERT_EQ(zipCloseFileInZipRaw(zip, uLong(data.size()), crc), ZIP_OK);
        }
        ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
    };
    const struct {
        const char *file;
        std::vector<std::pair<QString, QByteArray>> parts;
        QString badPart;
    } cases[] = {
        {"crc.xlsx", XlsxParts("<row r=\"1\"><c><v>1</v></c></row>", "", ""),
         "xl/worksheets/data.xml"},
        {"crc.ods",
         {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
          {"content.xml", OdsContent("<table:table-row><table:table-cell office:value-type="
                                     "\"float\" office:value=\"1\"/></table:table-row>")}},
         "content.xml"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        write(path(c.file), c.parts, QString());
        EXPECT_TRUE(Read(path(c.file)).ok);
        write(path(c.file), c.parts, c.badPart);
        const Sheet s = Read(path(c.file));
        EXPECT_EQ(s.kind, SpreadsheetError::Damaged);
        EXPECT_EQ(s.error, QStringLiteral("파일이 손상되었습니다: %1 (%2: CRC)")
                               .arg(QLatin1String(c.file), c.badPart));
    }
}

// Only regular files are opened: a FIFO would block the open for ever, a device never end.
// A link to a spreadsheet reads as the spreadsheet.
TEST_F(SpreadsheetTest, OnlyRegularFilesAreOpened) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.xlsx")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(kSamples + "/sample.xlsx", path("link.xlsx")));
    const struct {
        QString path;
        const char *reason;
    } cases[] = {
        {path("fifo.xlsx"), "일반 파일이 아닙니다: FIFO(파이프)"},
        {QStringLiteral("/dev/zero"), "일반 파일이 아닙니다: 장치 파일"},
        {dir.path(), "폴더입니다"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reason);
        const Sheet s = Read(c.path);
        EXPECT_EQ(s.kind, SpreadsheetError::CannotOpen);
        EXPECT_EQ(s.error, QStringLiteral("파일을 열 수 없습니다: %1 (%2)")
                               .arg(QFileInfo(c.path).fileName(), QString::fromUtf8(c.reason)));
    }
    const Sheet link = Read(path("link.xlsx"));
    EXPECT_TRUE(link.ok) << link.error.toStdString();
    EXPECT_EQ(link.rowCount, 25);
}

// A file that goes bad between open() and readRows() fails there with a message.
TEST_F(SpreadsheetTest, DamageFoundWhileReadingIsReported) {
    WriteTargetXlsx(path("t.xlsx"), false);
    SpreadsheetReader reader;
    ASSERT_TRUE(reader.open(path("t.xlsx")));
    QFile file(path("t.xlsx"));
    ASSERT_TRUE(file.resize(3000));
    EXPECT_FALSE(reader.readRows(6, [](int, const QStringList &) { return true; }));
    EXPECT_EQ(reader.errorKind(), SpreadsheetError::Damaged);
    EXPECT_TRUE(reader.error().startsWith(QStringLiteral("파일이 손상되었습니다: t.xlsx")))
        << reader.error().toStdString();
}

// Files from anywhere: each is refused with its own message naming the file, or read within
// the limits; none crashes.
TEST(SpreadsheetCorpus, EveryHostileFileGetsItsMessage) {
    using E = SpreadsheetError;
    const struct {
        const char *file;
        SpreadsheetError kind;
        int rows; // when it opens
    } cases[] = {
        {"empty.xlsx", E::NotSpreadsheet, 0},
        {"text.xlsx", E::NotSpreadsheet, 0},
        {"random.xls", E::NotSpreadsheet, 0},
        {"no-workbook.xlsx", E::NotSpreadsheet, 0},
        {"text-document.ods", E::NotSpreadsheet, 0},
        {"truncated.xlsx", E::Damaged, 0},
        {"truncated.xls", E::Damaged, 0},
        {"truncated.ods", E::Damaged, 0},
        {"bad-xml.xlsx", E::Damaged, 0},
        {"doctype.xlsx", E::Damaged, 0},
        {"bad-shared-index.xlsx", E::Damaged, 0},
        {"no-sheets.xlsx", E::NoSheet, 0},
        {"encrypted.xlsx", E::Encrypted, 0},
        {"encrypted.xls", E::Encrypted, 0},
        {"encrypted.ods", E::Encrypted, 0},
        {"zip-password.xlsx", E::Encrypted, 0},
        {"column-past-xfd.xlsx", E::Damaged, 0},
        {"long-format.xls", E::Damaged, 0},
        {"long-directory-name.xls", E::Damaged, 0},
        {"short-shared-strings.xls", E::Damaged, 0},
        {"row-past-limit.xlsx", E::TooBig, 0},
        {"repeated-data.ods", E::TooBig, 0},
        {"repeated-rows.ods", E::None, 4},
        {"repeated-wide.ods", E::None, 200000},
        {"really-xlsx.xls", E::None, 25},
        {"empty-sheet.xlsx", E::None, 0},
        {"long-entry-name.xlsx", E::None, 25},
        {"missing.xlsx", E::CannotOpen, 0},
    };
    const std::map<E, QString> starts{
        {E::NotSpreadsheet, "스프레드시트 파일이 아닙니다: "},
        {E::Damaged, "파일이 손상되었습니다: "},
        {E::NoSheet, "시트가 없습니다: "},
        {E::Encrypted, "암호로 보호된 파일은 읽을 수 없습니다: "},
        {E::TooBig, "파일이 너무 큽니다: "},
        {E::CannotOpen, "파일을 열 수 없습니다: "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const Sheet s = Read(kSamples + "/fuzz/" + c.file);
        EXPECT_EQ(s.kind, c.kind) << s.error.toStdString();
        if (c.kind == E::None) {
            EXPECT_TRUE(s.ok);
            EXPECT_EQ(s.rowCount, c.rows);
            EXPECT_EQ(int(s.rows.size()), c.rows);
        } else {
            EXPECT_FALSE(s.ok);
            EXPECT_TRUE(s.error.startsWith(starts.at(c.kind) + c.file)) << s.error.toStdString();
            EXPECT_FALSE(s.error.contains(u'\n'));
        }
    }
}

// A sheet entry that inflates past the cap is refused by counting what it inflates to.
TEST_F(SpreadsheetTest, AZipBombIsRefusedByItsInflatedSize) {
    // A shared-strings part of 65 MB of empty elements: a deflate stream of some 64 KB.
    std::vector<QByteArray> pieces = Padding(65);
    pieces.insert(pieces.begin(), QByteArray("<sst xmlns=\"") + kMain + "\"><si><t>a</t></si>");
    pieces.push_back("</sst>");
    WriteZip(path("bomb.xlsx"), WithPart(XlsxParts("<row><c><v>1</v></c></row>", "", ""),
                                         "xl/sharedStrings.xml", pieces));
    const Sheet s = Read(path("bomb.xlsx"));
    EXPECT_EQ(s.kind, SpreadsheetError::TooBig) << s.error.toStdString();
    EXPECT_TRUE(s.error.startsWith(QStringLiteral("파일이 너무 큽니다: bomb.xlsx")))
        << s.error.toStdString();
    EXPECT_TRUE(s.error.contains(u"64 MB")) << s.error.toStdString();
    EXPECT_LT(QFileInfo(path("bomb.xlsx")).size(), 1 << 20);
}

// Each limit refuses the file that goes past it, counted on the inflated bytes of the sheet
// entry itself; the same file reads under the default limits.
TEST_F(SpreadsheetTest, LimitsRefuseWhatGoesPastThem) {
    // A sheet entry of some 9 MB of empty elements after one value.
    std::vector<QByteArray> pieces = Padding(9);
    pieces.insert(pieces.begin(), QByteArray("<worksheet xmlns=\"") + kMain +
                                      "\"><sheetData><row><c t=\"s\"><v>2</v></c></row>");
    pieces.push_back("</sheetData></worksheet>");
    WriteZip(
        path("big.xlsx"),
        WithPart(
            XlsxParts("", "<si><t>하나</t></si><si><t>둘</t></si><si><t>여섯글자문자</t></si>", ""),
            "xl/worksheets/data.xml", pieces));
    const struct {
        const char *what;
        SpreadsheetLimits limits;
        const char *detail;
    } cases[] = {
        {"sheet bytes", {8ll << 20, 64ll << 20, 2'000'000, 1 << 20}, "8 MB"},
        {"part bytes", {512ll << 20, 100, 2'000'000, 1 << 20}, "MB"},
        {"shared strings", {512ll << 20, 64ll << 20, 2, 1 << 20}, "공유 문자열 수"},
        {"cell characters", {512ll << 20, 64ll << 20, 2'000'000, 5}, "셀 텍스트"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SpreadsheetReader reader(c.limits);
        EXPECT_FALSE(reader.open(path("big.xlsx")));
        EXPECT_EQ(reader.errorKind(), SpreadsheetError::TooBig);
        EXPECT_TRUE(reader.error().startsWith(QStringLiteral("파일이 너무 큽니다: big.xlsx (")));
        EXPECT_TRUE(reader.error().contains(QString::fromUtf8(c.detail)))
            << reader.error().toStdString();
    }
    const Sheet s = Read(path("big.xlsx"), 1);
    ASSERT_TRUE(s.ok) << s.error.toStdString();
    EXPECT_EQ(s.rows, (std::vector<QStringList>{{"여섯글자문자"}}));
}

// One text that never ends is refused before the parser holds all of it.
TEST_F(SpreadsheetTest, AnEndlessTextIsRefused) {
    std::vector<QByteArray> pieces(20, QByteArray(1 << 20, 'a'));
    pieces.insert(pieces.begin(), QByteArray("<worksheet xmlns=\"") + kMain +
                                      "\"><sheetData><row><c t=\"inlineStr\"><is><t>");
    pieces.push_back("</t></is></c></row></sheetData></worksheet>");
    WriteZip(path("long.xlsx"), WithPart(XlsxParts("", "", ""), "xl/worksheets/data.xml", pieces));
    const Sheet s = Read(path("long.xlsx"));
    EXPECT_EQ(s.kind, SpreadsheetError::TooBig) << s.error.toStdString();
}

// Bytes of the good files flipped at seeded places: every mutant is read or refused with a
// message, never a crash.
TEST_F(SpreadsheetTest, MutatedFilesNeverCrash) {
    QFile own(path("own.xls"));
    WriteOwnXls(own);
    const QString sources[] = {kSamples + "/sample.xlsx", kSamples + "/sample.xls",
                               kSamples + "/sample.ods", kSamples + "/many-strings.xls",
                               own.fileName()};
    std::mt19937 random(949);
    for (const QString &source : sources) {
        QFile in(source);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        const QByteArray good = in.readAll();
        for (int m = 0; m < 100; ++m) {
            QByteArray bad = good;
            const int flips = 1 + int(random() % 4);
            for (int f = 0; f < flips; ++f)
                bad[qsizetype(random() % quint32(bad.size()))] = char(random() & 0xFF);
            const QString file =
                path(QStringLiteral("m%1%2").arg(m).arg(QFileInfo(source).suffix()));
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(bad);
            out.close();
            const Sheet s = Read(file);
            if (!s.ok) {
                EXPECT_NE(s.kind, SpreadsheetError::None);
                EXPECT_FALSE(s.error.isEmpty());
            } else {
                EXPECT_LE(s.rowCount, SpreadsheetReader::kMaxRows);
            }
        }
    }
}
