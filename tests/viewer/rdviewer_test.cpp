#include "common/appdir.h"
#include "common/excelsheet.h"
#include "report/output.h"
#include "report/pagebrowser.h"
#include "report/pageview.h"
#include "support/excel_readback.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"
#include "viewer/fixtures.h"
#include "viewer/pictures.h"
#include "viewer/rdviewer.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QStyle>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::viewer;

namespace {

const QString kJanuary = QStringLiteral("/rp [20240101] [20240131]");

void WriteFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A report of many pages: one row a line, "객실 1" to "객실 N".
QByteArray RoomsDefinition(const char *name, int rows) {
    return QStringLiteral(R"xml(<?xml version="1.0" encoding="UTF-8"?>
<report name="%1" title="객실 목록">
  <dataset name="rows">
    <sql><![CDATA[
WITH RECURSIVE N(I) AS (
SELECT 1
UNION ALL
SELECT I + 1
FROM N
WHERE I < %2
)
SELECT '객실 ' || I AS ROOM_NAME
FROM N
    ]]></sql>
  </dataset>
  <band kind="title" height="10">
    <label x="0" y="0" w="100" h="8" text="객실 목록"/>
  </band>
  <band kind="detail" dataset="rows" height="8">
    <field x="10" y="0" w="60" h="8" field="ROOM_NAME"/>
  </band>
</report>
)xml")
        .arg(QLatin1String(name))
        .arg(rows)
        .toUtf8();
}

// The pages of a PDF (poppler's pdfinfo); 0 when it cannot be read.
int PdfPageCount(const QString &pdf) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(30000);
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                          .match(QString::fromUtf8(info.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// The text of one page (from 1) of a PDF, lines trimmed.
QString PdfPageText(const QString &pdf, int page) {
    QProcess text;
    text.start(QStringLiteral("pdftotext"),
               {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                QString::number(page), pdf, QStringLiteral("-")});
    text.waitForFinished(30000);
    QStringList lines = QString::fromUtf8(text.readAllStandardOutput()).split(u'\n');
    for (QString &line : lines)
        line = line.trimmed();
    return lines.join(u'\n');
}

// A report server of the test: the definition at one path, a redirect to it, 404 else.
class TinyServer {
public:
    TinyServer() {
        EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost));
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection())
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { answer(s); });
        });
    }
    QString base() const {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
    }
    QStringList requested;
    QHash<QByteArray, QByteArray> files; // more definitions by request path

private:
    void answer(QTcpSocket *s) {
        m_buffer[s] += s->readAll();
        if (!m_buffer[s].contains("\r\n\r\n"))
            return;
        const QByteArray path = m_buffer[s].split(' ').value(1);
        requested << QString::fromLatin1(path);
        const QByteArray good = "/REPORT/%EA%B2%BD%EC%98%81%EC%A0%95%EB%B3%B4%EA%B4%80%EB%A6%AC/"
                                "MIS(TEST).mrd";
        QByteArray reply;
        if (path == good || files.contains(path)) {
            const QByteArray body = path == good ? test::SalesDefinition() : files.value(path);
            reply = "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nContent-Length: " +
                    QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
        } else if (path == "/old") {
            reply = "HTTP/1.1 302 Found\r\nLocation: " + good +
                    "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        } else {
            reply = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        }
        s->write(reply);
        s->disconnectFromHost();
    }
    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_buffer;
};

class RdviewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.exec(QString::fromUtf8(test::SalesRows()));
        // The user's settings (the zoom per report) of this test only.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           QDir(db.dir()).filePath(QStringLiteral("config")));
    }
    QStringList Texts(const Rdviewer40 &v) {
        return v.document() ? v.document()->texts() : QStringList();
    }
    test::SchemaDatabase db;
};

TEST_F(RdviewerTest, OpensAFileAndShowsItsFigures) {
    const QString path = QDir(db.dir()).filePath(QStringLiteral("MIS(TEST).mrd"));
    WriteFile(path, test::SalesDefinition());
    Rdviewer40 viewer(db.connection());
    EXPECT_TRUE(viewer.OpenReport(path, kJanuary));
    EXPECT_EQ(viewer.state(), Rdviewer40::State::Shown) << viewer.message().toStdString();
    EXPECT_EQ(viewer.currentPage(), 1);
    const QStringList texts = Texts(viewer);
    for (const char *t : {"가든", "1,500,000", "라운지", "250,000", "1,750,000", "Page 1"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(t))) << t;
}

TEST_F(RdviewerTest, TheLocalReportFolderStandsForTheLocalDrive) {
    WriteFile(QDir(AppDir()).filePath(QStringLiteral("reports/local/경영정보관리(071224)/T.mrd")),
              test::SalesDefinition());
    Rdviewer40 viewer(db.connection());
    viewer.OpenReport(QStringLiteral("C:/켈로리조트/RD레포트/경영정보관리(071224)/T.mrd"),
                      QStringLiteral("/rv  AFromDate[20240101]AToDATE[20240131] /reditmode"));
    EXPECT_EQ(viewer.state(), Rdviewer40::State::Shown) << viewer.message().toStdString();

    // Another folder set in Kelo_S.ini; a way out of it is refused.
    WriteFile(QDir(AppDir()).filePath(QStringLiteral("Kelo_S.ini")),
              "[ReportServer]\nLocalFolder=mine\n");
    viewer.OpenReport(QStringLiteral("C:/켈로리조트/RD레포트/경영정보관리(071224)/T.mrd"),
                      kJanuary);
    EXPECT_EQ(viewer.state(), Rdviewer40::State::Failed);
    EXPECT_TRUE(viewer.message().contains(QDir::toNativeSeparators(
        QDir(AppDir()).filePath(QStringLiteral("mine/경영정보관리(071224)/T.mrd")))))
        << viewer.message().toStdString();
    viewer.OpenReport(QStringLiteral("C:/켈로리조트/RD레포트/../Databases.ini"), kJanuary);
    EXPECT_TRUE(viewer.message().contains(QStringLiteral("로컬 보고서 폴더 밖을")));
}

TEST_F(RdviewerTest, FailuresAreShownInsideNamingLocationAndReason) {
    const QString path = QDir(db.dir()).filePath(QStringLiteral("MIS(TEST).mrd"));
    WriteFile(path, test::SalesDefinition());
    QByteArray broken = test::SalesDefinition();
    broken.replace("<band kind=\"title\"", "<band kind=\"tittle\"");
    const QString brokenPath = QDir(db.dir()).filePath(QStringLiteral("B.mrd"));
    WriteFile(brokenPath, broken);
    struct {
        QString location, params, reason;
    } cases[] = {
        {QDir(db.dir()).filePath(QStringLiteral("none.mrd")), kJanuary,
         QStringLiteral("이(가) 없습니다")},
        {path, QStringLiteral("/rp [20240101] [20240131] [x]"),
         QStringLiteral("MIS(TEST).mrd: 보고서의 매개변수는 2개인데 값이 3개 주어졌습니다")},
        {path, QStringLiteral("/rv  ADATE[20240101] /reditmode"),
         QStringLiteral("MIS(TEST).mrd: 보고서에 매개변수 ADATE이(가) 없습니다")},
        {brokenPath, kJanuary, QStringLiteral("B.mrd:23:3: <band> has an unknown kind \"tittle\"")},
    };
    Rdviewer40 viewer(db.connection());
    int failed = 0;
    QObject::connect(&viewer, &Rdviewer40::OnFailed, [&] { ++failed; });
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reason.toStdString());
        EXPECT_FALSE(viewer.OpenReport(c.location, c.params));
        EXPECT_EQ(viewer.state(), Rdviewer40::State::Failed);
        EXPECT_EQ(viewer.document(), nullptr);
        EXPECT_TRUE(viewer.message().startsWith(c.location)) << viewer.message().toStdString();
        EXPECT_TRUE(viewer.message().contains(c.reason)) << viewer.message().toStdString();
        const auto *label = viewer.findChild<QLabel *>(QStringLiteral("lblMessage"));
        ASSERT_TRUE(label);
        EXPECT_TRUE(label->text().contains(c.reason));
    }
    EXPECT_EQ(failed, 4);
}

TEST_F(RdviewerTest, FetchesFromAReportServer) {
    TinyServer server;
    Rdviewer40 viewer(db.connection());
    // The path percent-encoded as UTF-8; backslashes read as slashes.
    EXPECT_TRUE(
        viewer.OpenReport(server.base() + QStringLiteral("\\REPORT\\경영정보관리/MIS(TEST).mrd"),
                          QStringLiteral("/rp [20240101] [20240131] ")));
    EXPECT_EQ(viewer.state(), Rdviewer40::State::Loading);
    ASSERT_TRUE(viewer.waitForLoaded(20000));
    EXPECT_EQ(viewer.state(), Rdviewer40::State::Shown) << viewer.message().toStdString();
    EXPECT_TRUE(Texts(viewer).contains(QStringLiteral("1,750,000")));

    viewer.OpenReport(server.base() + QStringLiteral("/old"), kJanuary); // redirected
    ASSERT_TRUE(viewer.waitForLoaded(20000));
    EXPECT_EQ(viewer.state(), Rdviewer40::State::Shown) << viewer.message().toStdString();

    const QString missing = server.base() + QStringLiteral("/REPORT/경영정보관리/NONE.mrd");
    viewer.OpenReport(missing, kJanuary);
    ASSERT_TRUE(viewer.waitForLoaded(20000));
    EXPECT_EQ(viewer.state(), Rdviewer40::State::Failed);
    EXPECT_EQ(viewer.message(),
              missing + QStringLiteral("\n보고서 서버가 404 Not Found(으)로 답했습니다"));
}

TEST_F(RdviewerTest, NoServerIsAMessage) {
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        port = probe.serverPort();
    }
    Rdviewer40 viewer(db.connection());
    viewer.OpenReport(QStringLiteral("http://127.0.0.1:%1/REPORT/X.mrd").arg(port), kJanuary);
    ASSERT_TRUE(viewer.waitForLoaded(20000));
    EXPECT_EQ(viewer.state(), Rdviewer40::State::Failed);
    EXPECT_TRUE(viewer.message().contains(QStringLiteral("보고서 서버에 연결할 수 없습니다")))
        << viewer.message().toStdString();
}

TEST_F(RdviewerTest, PrintingWithoutAReportSaysSo) {
    Rdviewer40 viewer(db.connection());
    viewer.PrintReport();
    EXPECT_EQ(viewer.message(), QStringLiteral("출력할 보고서가 없습니다."));
    EXPECT_EQ(viewer.state(), Rdviewer40::State::Empty);
}

TEST_F(RdviewerTest, PrintDirectWithoutPrinterWritesAPdf) {
    if (!report::DefaultPrinter().isNull())
        GTEST_SKIP() << "this machine has a printer";
    WriteFile(QDir(AppDir()).filePath(QStringLiteral("Kelo_S.ini")), "[Report]\nPdfFolder=pdf\n");
    const QString path = QDir(db.dir()).filePath(QStringLiteral("MIS(TEST).mrd"));
    WriteFile(path, test::SalesDefinition());
    Rdviewer40 viewer(db.connection());
    viewer.resize(72, 1);
    viewer.OpenReport(path, kJanuary);
    viewer.PrintDirect();
    const QStringList pdfs =
        QDir(QDir(AppDir()).filePath(QStringLiteral("pdf"))).entryList({QStringLiteral("*.pdf")});
    ASSERT_EQ(pdfs.size(), 1) << viewer.status().toStdString();
    EXPECT_TRUE(viewer.status().contains(pdfs.front()));
}

// Printing through the print dialog into the report folder (the dialog's choice when the
// machine has no printer): what the dialog chose is what comes out; PrintDirect asks nothing.
TEST_F(RdviewerTest, PrintReportPrintsThePagesAndCopiesChosenAndNothingWhenCancelled) {
    WriteFile(QDir(AppDir()).filePath(QStringLiteral("Kelo_S.ini")), "[Report]\nPdfFolder=pdf\n");
    const QString path = QDir(db.dir()).filePath(QStringLiteral("ROOMS.mrd"));
    WriteFile(path, RoomsDefinition("ROOMS", 150));
    Rdviewer40 viewer(db.connection());
    viewer.OpenReport(path, QString());
    ASSERT_EQ(viewer.state(), Rdviewer40::State::Shown) << viewer.message().toStdString();
    const report::Document &document = *viewer.document();
    ASSERT_GE(document.pages.size(), 4u);
    const int all = int(document.pages.size());
    const QDir folder(QDir(AppDir()).filePath(QStringLiteral("pdf")));

    PrintChoice pages23;
    pages23.fromPage = 2;
    pages23.toPage = 3;
    pages23.copies = 2;
    PrintChoice lastOnce;
    lastOnce.fromPage = all;
    lastOnce.toPage = all;
    // PrintDirect asks nothing; it is left out while the machine has a printer (the print
    // queue of the print tests), where its job would leave this test's report folder.
    std::vector<int> everyPage;
    if (report::DefaultPrinter().isNull())
        for (int p = 1; p <= all; ++p)
            everyPage.push_back(p);
    const struct {
        const char *name;
        bool direct;
        std::optional<PrintChoice> choice;
        std::vector<int> printed; // the document's pages, from 1, in the PDF's order
    } cases[] = {
        {"cancelled", false, std::nullopt, {}},
        {"pages 2 to 3, two copies", false, pages23, {2, 3, 2, 3}},
        {"the last page", false, lastOnce, {all}},
        {"direct, no dialog", true, std::nullopt, everyPage},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(folder).removeRecursively();
        test::ScriptedDialogsScope dialogs;
        if (c.direct) {
            if (c.printed.empty())
                continue;
            viewer.PrintDirect();
        } else {
            dialogs->answerPrint(c.choice);
            viewer.findChild<QToolButton *>(QStringLiteral("bbtPrint"))->click();
            ASSERT_EQ(dialogs->printOffers().size(), 1u);
            EXPECT_EQ(dialogs->printOffers()[0].pageCount, all);
        }
        const QStringList pdfs = folder.entryList({QStringLiteral("*.pdf")});
        if (c.printed.empty()) {
            EXPECT_TRUE(pdfs.isEmpty());
            EXPECT_EQ(viewer.status(), QStringLiteral("인쇄를 취소했습니다."));
            continue;
        }
        ASSERT_EQ(pdfs.size(), 1) << viewer.status().toStdString();
        const QString pdf = folder.filePath(pdfs.front());
        ASSERT_EQ(PdfPageCount(pdf), int(c.printed.size()));
        for (size_t i = 0; i < c.printed.size(); ++i) {
            // The rooms of the document's page, and no room of another page.
            const QStringList text = PdfPageText(pdf, int(i) + 1).split(u'\n');
            const QStringList rooms =
                document.pages[size_t(c.printed[i] - 1)].texts().filter(QStringLiteral("객실 "));
            ASSERT_FALSE(rooms.isEmpty());
            for (const QString &room : rooms)
                EXPECT_TRUE(text.contains(room)) << i << " " << room.toStdString();
            EXPECT_EQ(text.filter(QStringLiteral("객실 ")).size(), rooms.size());
        }
    }
}

// The Excel file holds what the pages show, cell by cell, in an .xlsx (the save dialog's
// first choice) and an .xls: the title lines, the headings, the rows and the total, figures
// as numbers in their display format; the chart and the page footer are no cells.
TEST_F(RdviewerTest, SavesTheReportAsItsPagesShowIt) {
    const QString path = QDir(db.dir()).filePath(QStringLiteral("MIS(TEST).mrd"));
    WriteFile(path, test::SalesDefinition());
    Rdviewer40 viewer(db.connection());
    viewer.OpenReport(path, kJanuary);
    ASSERT_EQ(viewer.state(), Rdviewer40::State::Shown) << viewer.message().toStdString();
    const QVariant none = QVariant::fromValue(nullptr); // an empty cell
    const std::vector<QVariantList> shown = {
        {QStringLiteral("기간별 영업장 매출")},
        {QStringLiteral("기간"), QStringLiteral("2024-01-01")},
        {QStringLiteral("영업장"), none, QStringLiteral("순매출")},
        {QStringLiteral("가든"), none, 1500000.0},
        {QStringLiteral("라운지"), none, 250000.0},
        {QStringLiteral("합계"), none, 1750000.0},
    };
    for (const char *name : {"sales.xlsx", "sales.xls"}) {
        SCOPED_TRACE(name);
        const QString file = QDir(db.dir()).filePath(QLatin1String(name));
        ASSERT_TRUE(viewer.saveAsExcel(file)) << viewer.status().toStdString();
        const test::ReadBack book = test::ReadExcel(file);
        ASSERT_EQ(book.error, QString());
        EXPECT_EQ(book.rows, shown);
        if (file.endsWith(QStringLiteral(".xlsx"))) {
            ASSERT_EQ(book.formats.size(), shown.size());
            for (size_t r = 3; r < shown.size(); ++r)
                EXPECT_EQ(book.formats[r].value(2), QStringLiteral("#,##0")) << r;
        }
    }

    // The toolbar's save dialog suggests an .xlsx, and a name without extension is one.
    test::ScriptedDialogsScope dialogs;
    dialogs->answerFile(QDir(db.dir()).filePath(QStringLiteral("매출")));
    viewer.findChild<QToolButton *>(QStringLiteral("bbtSaveExcel"))->click();
    const QString xlsx = QDir(db.dir()).filePath(QStringLiteral("매출.xlsx"));
    EXPECT_EQ(viewer.status(),
              QStringLiteral("Excel 파일로 저장했습니다: ") + QDir::toNativeSeparators(xlsx));
    EXPECT_EQ(test::ReadExcel(xlsx).rows, shown);
}

// A report of several pages with a page header, column headings, groups with subtotals and a
// total: the page header and the headings once at the top, then the bands in page order, the
// page footers left out; each distinct left edge is a column; a text the page cuts is whole.
TEST_F(RdviewerTest, TheExcelFileReadsThePagesInOrderWithHeadingsOnce) {
    const QString path = QDir(db.dir()).filePath(QStringLiteral("GROUPS.mrd"));
    WriteFile(path, QByteArrayLiteral(R"xml(<?xml version="1.0" encoding="UTF-8"?>
<report name="GROUPS" title="그룹별 객실">
  <dataset name="rows">
    <sql><![CDATA[
WITH RECURSIVE N(I) AS (
SELECT 1
UNION ALL
SELECT I + 1
FROM N
WHERE I < 80
)
SELECT CASE WHEN I <= 40 THEN '가동' ELSE '나동' END AS GRP,
       '객실 ' || I AS ROOM_NAME,
       I * 1000 AS AMT,
       I * 0.25 AS RATE,
       SUM(I * 1000) OVER (PARTITION BY CASE WHEN I <= 40 THEN '가동' ELSE '나동' END) AS G_AMT
FROM N
ORDER BY I
    ]]></sql>
    <format field="AMT" display=",0"/>
    <format field="RATE" display="0.00"/>
    <format field="G_AMT" display=",0"/>
  </dataset>
  <dataset name="total">
    <sql><![CDATA[
WITH RECURSIVE N(I) AS (
SELECT 1
UNION ALL
SELECT I + 1
FROM N
WHERE I < 80
)
SELECT SUM(I * 1000) AS AMT
FROM N
    ]]></sql>
  </dataset>
  <band kind="pageheader" height="8">
    <label x="0" y="0" w="20" h="6" text="켈로펠모라리조트 영업관리 보고서 (내부용)"/>
  </band>
  <band kind="title" height="10">
    <label x="0" y="0" w="100" h="8" text="그룹별 객실" bold="true"/>
  </band>
  <band kind="columnheader" height="6">
    <label x="0" y="0" w="60" h="6" text="객실" bold="true"/>
    <label x="60" y="0" w="40" h="6" text="금액" bold="true" align="right"/>
    <label x="100" y="0" w="30" h="6" text="비율" bold="true" align="right"/>
  </band>
  <band kind="groupheader" height="6" group="GRP">
    <field x="0" y="0" w="60" h="6" field="GRP"/>
  </band>
  <band kind="detail" dataset="rows" height="6">
    <field x="10" y="0" w="50" h="6" field="ROOM_NAME"/>
    <field x="60" y="0" w="40" h="6" field="AMT" align="right"/>
    <field x="100" y="0" w="30" h="6" field="RATE" align="right"/>
  </band>
  <band kind="groupfooter" height="6" group="GRP">
    <label x="10" y="0" w="50" h="6" text="소계"/>
    <field x="60" y="0" w="40" h="6" field="G_AMT" align="right"/>
  </band>
  <band kind="summary" height="6">
    <label x="0" y="0" w="60" h="6" text="합계" bold="true"/>
    <field x="60" y="0" w="40" h="6" dataset="total" field="AMT" format=",0" align="right"/>
  </band>
  <band kind="pagefooter" height="6">
    <system x="150" y="0" w="40" h="5" value="page" text="Page "/>
  </band>
</report>
)xml"));
    Rdviewer40 viewer(db.connection());
    viewer.OpenReport(path, QString());
    ASSERT_EQ(viewer.state(), Rdviewer40::State::Shown) << viewer.message().toStdString();
    ASSERT_GE(viewer.document()->pages.size(), 3u); // headings and page header on each page
    ASSERT_FALSE(viewer.document()->pages[0].texts().filter(QStringLiteral("…")).isEmpty());

    const QVariant none = QVariant::fromValue(nullptr); // an empty cell
    std::vector<QVariantList> shown = {
        {QStringLiteral("켈로펠모라리조트 영업관리 보고서 (내부용)")}, // cut with "…" on the page
        {QStringLiteral("그룹별 객실")},
        {QStringLiteral("객실"), none, QStringLiteral("금액"), QStringLiteral("비율")},
    };
    for (const char *group : {"가동", "나동"}) {
        const int first = QString::fromUtf8(group) == QStringLiteral("가동") ? 1 : 41;
        shown.push_back({QString::fromUtf8(group)});
        double subtotal = 0;
        for (int i = first; i < first + 40; ++i) {
            shown.push_back({none, QStringLiteral("객실 %1").arg(i), i * 1000.0, i * 0.25});
            subtotal += i * 1000.0;
        }
        shown.push_back({none, QStringLiteral("소계"), subtotal});
    }
    shown.push_back({QStringLiteral("합계"), none, 3240000.0});

    const QString file = QDir(db.dir()).filePath(QStringLiteral("groups.xlsx"));
    ASSERT_TRUE(viewer.saveAsExcel(file)) << viewer.status().toStdString();
    const test::ReadBack book = test::ReadExcel(file);
    ASSERT_EQ(book.error, QString());
    EXPECT_EQ(book.rows, shown);
    ASSERT_EQ(book.formats.size(), shown.size());
    EXPECT_EQ(book.formats[4],
              (QStringList{QString(), QString(), QStringLiteral("#,##0"), QStringLiteral("0.00")}));
    // The headings stand as they print: right-aligned over the figures.
    EXPECT_EQ(book.alignments[2], (QStringList{QString(), QString(), QStringLiteral("right"),
                                               QStringLiteral("right")}));
}

// A report of the repository on the sales of the test outlets: every line of the pages under
// the headings (each row, the subtotal, the total) is one row of the sheet, in page order,
// with the texts the page prints (figures as their numbers); the headings come once.
TEST_F(RdviewerTest, ARepositoryReportSavesAsItsPagesShowIt) {
    Rdviewer40 viewer(db.connection());
    viewer.OpenReport(QStringLiteral(KELO_REPORTS_DIR "/MIS(SRI060).mrd"),
                      QStringLiteral("/rv  AFromDate[20240101]AToDATE[20240131] /reditmode"));
    ASSERT_EQ(viewer.state(), Rdviewer40::State::Shown) << viewer.message().toStdString();
    const QString file = QDir(db.dir()).filePath(QStringLiteral("sri060.xlsx"));
    ASSERT_TRUE(viewer.saveAsExcel(file)) << viewer.status().toStdString();
    const test::ReadBack book = test::ReadExcel(file);
    ASSERT_EQ(book.error, QString());

    // The sheet's rows as texts: numbers back in the page's form without separators.
    std::vector<QStringList> sheet;
    for (const QVariantList &row : book.rows) {
        QStringList texts;
        for (const QVariant &v : row)
            if (!v.isNull())
                texts << (v.typeId() == QMetaType::QString ? v.toString()
                                                           : QString::number(v.toDouble(), 'f', 1));
        sheet.push_back(texts);
    }
    // The lines of the bands under the headings, left to right, as printed.
    std::vector<QStringList> printed;
    for (const report::Page &page : viewer.document()->pages)
        for (size_t b = 0; b < page.bands.size(); ++b) {
            const report::BandKind kind = page.bands[b].kind;
            if (kind != report::BandKind::Detail && kind != report::BandKind::GroupFooter &&
                kind != report::BandKind::Summary)
                continue;
            std::vector<const report::Primitive *> texts;
            for (const report::Primitive &p : page.items)
                if (p.band == int(b) && p.kind == report::Primitive::Kind::Text)
                    texts.push_back(&p);
            std::sort(texts.begin(), texts.end(),
                      [](auto *a, auto *c) { return a->rect.left() < c->rect.left(); });
            QStringList line;
            for (const report::Primitive *p : texts) {
                bool number = false;
                const double v = QString(p->text).remove(u',').toDouble(&number);
                line << (number ? QString::number(v, 'f', 1) : p->text);
            }
            printed.push_back(line);
        }
    ASSERT_GE(printed.size(), 4u); // two outlets, the subtotal, the total
    EXPECT_TRUE(printed.front().contains(QStringLiteral("가든")));
    ASSERT_GE(sheet.size(), printed.size());
    const std::vector<QStringList> tail(sheet.end() - qsizetype(printed.size()), sheet.end());
    EXPECT_EQ(tail, printed);
    // Every figure under the headings is a number cell in its format.
    const size_t firstLine = sheet.size() - printed.size();
    for (size_t r = firstLine; r < book.rows.size(); ++r) {
        for (qsizetype c = 0; c < book.rows[r].size(); ++c) {
            if (book.rows[r][c].typeId() == QMetaType::QString || book.rows[r][c].isNull())
                continue;
            EXPECT_TRUE(book.formats[r].value(c) == QStringLiteral("#,##0") ||
                        book.formats[r].value(c) == QStringLiteral("#,##0.0"))
                << r << " " << c << " " << book.formats[r].value(c).toStdString();
        }
    }
    EXPECT_EQ(std::count(sheet.begin(), sheet.end(),
                         QStringList{QStringLiteral("경영구분"), QStringLiteral("영업장"),
                                     QStringLiteral("인원"), QStringLiteral("매출실적"),
                                     QStringLiteral("목표"), QStringLiteral("목표달성(%)"),
                                     QStringLiteral("예산"), QStringLiteral("예산달성(%)"),
                                     QStringLiteral("전년동기"), QStringLiteral("전년비(%)")}),
              1);
    for (const QStringList &row : sheet)
        for (const QString &text : row)
            EXPECT_FALSE(text.startsWith(QStringLiteral("Page "))) << text.toStdString();
}

// A report of more lines than an .xls file holds: the .xls is refused with the grid export's
// message and no file, the .xlsx holds every line under the title.
TEST_F(RdviewerTest, ALargeReportIsRefusedAsXlsAndSavedWholeAsXlsx) {
    const QString path = QDir(db.dir()).filePath(QStringLiteral("ROOMS.mrd"));
    WriteFile(path, RoomsDefinition("ROOMS", 65536));
    Rdviewer40 viewer(db.connection());
    viewer.OpenReport(path, QString());
    ASSERT_EQ(viewer.state(), Rdviewer40::State::Shown) << viewer.message().toStdString();

    const QString xls = QDir(db.dir()).filePath(QStringLiteral("rooms.xls"));
    EXPECT_FALSE(viewer.saveAsExcel(xls));
    EXPECT_EQ(viewer.status(), TooManyRowsForXlsMessage());
    EXPECT_FALSE(QFileInfo::exists(xls));

    const QString xlsx = QDir(db.dir()).filePath(QStringLiteral("rooms.xlsx"));
    ASSERT_TRUE(viewer.saveAsExcel(xlsx)) << viewer.status().toStdString();
    const test::ReadBack book = test::ReadExcel(xlsx);
    ASSERT_EQ(book.error, QString());
    ASSERT_EQ(book.rows.size(), 1u + 65536);
    EXPECT_EQ(book.rows[0], QVariantList{QStringLiteral("객실 목록")});
    EXPECT_EQ(book.rows[1], (QVariantList{QVariant::fromValue(nullptr), QStringLiteral("객실 1")}));
    EXPECT_EQ(book.rows.back(),
              (QVariantList{QVariant::fromValue(nullptr), QStringLiteral("객실 65536")}));
}

TEST_F(RdviewerTest, ZoomAndFitting) {
    const QString path = QDir(db.dir()).filePath(QStringLiteral("MIS(TEST).mrd"));
    WriteFile(path, test::SalesDefinition());
    Rdviewer40 viewer(db.connection());
    viewer.resize(900, 700);
    viewer.show();
    viewer.OpenReport(path, kJanuary);
    auto *page = viewer.findChild<QWidget *>(QStringLiteral("pageView"));
    auto *scroll = viewer.findChild<QScrollArea *>(QStringLiteral("scrPages"));
    ASSERT_TRUE(page && scroll);
    const double dpi = viewer.logicalDpiX();
    viewer.setAutoAdjust(0);
    viewer.setZoomRatio(130);
    EXPECT_EQ(viewer.ZoomRatio(), 130);
    EXPECT_EQ(page->width(), qRound(297 / 25.4 * dpi * 1.3) + 24);
    viewer.setAutoAdjust(1);
    EXPECT_LE(page->width(), scroll->viewport()->width());
    // Within the room a vertical scroll bar may take.
    EXPECT_GE(page->width(), scroll->viewport()->width() - 8 -
                                 viewer.style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    viewer.setAutoAdjust(2);
    EXPECT_LE(page->height(), scroll->viewport()->height());
}

// The viewer shown on a report of 300 rooms, the keys going to its pages.
class ViewerUiTest : public RdviewerTest {
protected:
    void SetUp() override {
        RdviewerTest::SetUp();
        open(viewer, "ROOMS");
        pages = viewer.pages();
        ASSERT_TRUE(viewer.document());
        ASSERT_GT(viewer.document()->pages.size(), 8u);
    }
    void open(Rdviewer40 &v, const char *name) {
        const QString path = QDir(db.dir()).filePath(QLatin1String(name) + QStringLiteral(".mrd"));
        WriteFile(path, RoomsDefinition(name, 300));
        v.resize(900, 700);
        v.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
        v.OpenReport(path, QString());
        ASSERT_EQ(v.state(), Rdviewer40::State::Shown) << v.message().toStdString();
        v.pages()->scroll->setFocus();
    }
    // The page (from 1) that prints the text exactly.
    int PageOf(const QString &text) const {
        const auto &all = viewer.document()->pages;
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i].texts().contains(text))
                return int(i) + 1;
        return 0;
    }
    // Korean comes through the input method, as committed text.
    void Type(QWidget *target, const QString &text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(target, &event);
    }
    void Wheel(QWidget *target, int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }
    Rdviewer40 viewer{db.connection()};
    report::PageBrowser *pages = nullptr;
};

TEST_F(ViewerUiTest, FindHighlightsEveryHitAndGoesToItsPage) {
    // The screen's own F3 (search) and Esc must not fire while the find bar has the keys.
    int screenKeys = 0;
    for (Qt::Key key : {Qt::Key_F3, Qt::Key_Escape})
        QObject::connect(new QShortcut(QKeySequence(key), &viewer), &QShortcut::activated,
                         [&] { ++screenKeys; });
    QTest::keyClick(pages->scroll, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(pages->pnlFind->isVisible());
    ASSERT_TRUE(pages->edtFind->hasFocus());
    // "객실 25" and "객실 250" to "객실 259"; the title's "객실 목록" is no hit.
    Type(pages->edtFind, QStringLiteral("객실 25"));
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString shown, room;
    } steps[] = {
        {Qt::Key_unknown, {}, QStringLiteral("1 / 11건"), QStringLiteral("객실 25")},
        {Qt::Key_Return, {}, QStringLiteral("2 / 11건"), QStringLiteral("객실 250")},
        {Qt::Key_F3, {}, QStringLiteral("3 / 11건"), QStringLiteral("객실 251")},
        {Qt::Key_F3, Qt::ShiftModifier, QStringLiteral("2 / 11건"), QStringLiteral("객실 250")},
        {Qt::Key_Return, Qt::ShiftModifier, QStringLiteral("1 / 11건"), QStringLiteral("객실 25")},
        {Qt::Key_Return, Qt::ShiftModifier, QStringLiteral("11 / 11건"),
         QStringLiteral("객실 259")},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.shown.toStdString());
        if (step.key != Qt::Key_unknown)
            QTest::keyClick(pages->edtFind, step.key, step.modifiers);
        EXPECT_EQ(pages->lblFind->text(), step.shown);
        EXPECT_EQ(pages->hits().size(), 11u);
        EXPECT_EQ(viewer.currentPage(), PageOf(step.room));
        EXPECT_EQ(pages->edtPage->text(), QString::number(PageOf(step.room)));
        // The hit is in sight.
        const QRect hit = pages->view->toWidget(pages->hits()[size_t(pages->currentHit())].page,
                                                pages->hits()[size_t(pages->currentHit())].rect);
        const QRect seen(-pages->view->pos(), pages->scroll->viewport()->size());
        EXPECT_TRUE(seen.contains(hit)) << hit.y() << " " << seen.y();
    }
    QTest::keyClick(pages->edtFind, Qt::Key_Escape);
    EXPECT_FALSE(pages->pnlFind->isVisible());
    EXPECT_TRUE(pages->hits().empty());
    EXPECT_EQ(screenKeys, 0);

    // Nothing found says so.
    pages->openFind();
    Type(pages->edtFind, QStringLiteral("없는 객실"));
    EXPECT_EQ(pages->lblFind->text(), QStringLiteral("찾는 내용이 없습니다"));
}

TEST_F(ViewerUiTest, PageBoxKeysAndWheelMoveThroughThePages) {
    const int last = int(viewer.document()->pages.size());
    QTest::keyClick(pages->edtPage, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(pages->edtPage, QStringLiteral("5"));
    QTest::keyClick(pages->edtPage, Qt::Key_Return);
    EXPECT_EQ(viewer.currentPage(), 5);
    EXPECT_TRUE(pages->scroll->hasFocus());
    const struct {
        Qt::Key key;
        int page;
    } steps[] = {{Qt::Key_PageDown, 6}, {Qt::Key_PageDown, 7}, {Qt::Key_PageUp, 6},
                 {Qt::Key_End, last},   {Qt::Key_Home, 1},     {Qt::Key_PageUp, 1}};
    for (const auto &step : steps) {
        QTest::keyClick(pages->scroll, step.key);
        EXPECT_EQ(viewer.currentPage(), step.page) << step.key;
        EXPECT_EQ(pages->edtPage->text(), QString::number(step.page));
    }
    EXPECT_EQ(pages->lblPageCount->text(), QStringLiteral("/ %1").arg(last));

    // The wheel scrolls through the stacked pages; the page box follows.
    QScrollBar *bar = pages->scroll->verticalScrollBar();
    const int top = bar->value();
    for (int i = 0; i < 40 && viewer.currentPage() == 1; ++i)
        Wheel(pages->scroll->viewport(), -120, Qt::NoModifier);
    EXPECT_GT(bar->value(), top);
    EXPECT_EQ(viewer.currentPage(), 2);
    EXPECT_EQ(pages->edtPage->text(), QStringLiteral("2"));
    // Dragged to the end, the last page.
    bar->setValue(bar->maximum());
    EXPECT_EQ(viewer.currentPage(), last);
}

TEST_F(ViewerUiTest, CtrlWheelAndTheZoomBoxZoomAndAreRememberedPerReport) {
    viewer.setAutoAdjust(1); // the program's choice
    EXPECT_EQ(pages->fit(), report::PageBrowser::Fit::Width);
    const double fitted = pages->zoom();
    Wheel(pages->scroll->viewport(), 120, Qt::ControlModifier);
    EXPECT_EQ(pages->fit(), report::PageBrowser::Fit::None);
    EXPECT_NEAR(pages->zoom(), fitted * 1.1, 0.01);
    EXPECT_EQ(pages->cboZoom->currentText(),
              QStringLiteral("%1%").arg(qRound(pages->zoom() * 100)));
    Wheel(pages->scroll->viewport(), -240, Qt::ControlModifier);
    EXPECT_LT(pages->zoom(), fitted);

    // A typed zoom.
    QTest::mouseClick(pages->cboZoom->lineEdit(), Qt::LeftButton);
    pages->cboZoom->lineEdit()->selectAll();
    QTest::keyClicks(pages->cboZoom->lineEdit(), QStringLiteral("150"));
    QTest::keyClick(pages->cboZoom->lineEdit(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(pages->zoom(), 1.5);
    EXPECT_EQ(pages->cboZoom->currentText(), QStringLiteral("150%"));
    EXPECT_EQ(pages->view->width(), qRound(210 / 25.4 * viewer.logicalDpiX() * 1.5) + 24);

    // Opened again, the report keeps the user's zoom over the program's fit; another
    // report follows its program.
    Rdviewer40 again(db.connection());
    open(again, "ROOMS");
    again.setAutoAdjust(1);
    EXPECT_DOUBLE_EQ(again.pages()->zoom(), 1.5);
    EXPECT_EQ(again.pages()->fit(), report::PageBrowser::Fit::None);
    EXPECT_EQ(again.pages()->cboZoom->currentText(), QStringLiteral("150%"));
    Rdviewer40 other(db.connection());
    open(other, "HALLS");
    other.setAutoAdjust(1);
    EXPECT_EQ(other.pages()->fit(), report::PageBrowser::Fit::Width);
}

TEST_F(ViewerUiTest, ThumbnailsShowOnCtrlTAndAClickGoesToThePage) {
    EXPECT_FALSE(pages->lstThumbs->isVisible());
    QTest::keyClick(pages->scroll, Qt::Key_T, Qt::ControlModifier);
    ASSERT_TRUE(pages->lstThumbs->isVisible());
    EXPECT_TRUE(pages->bbtThumbs->isChecked());
    ASSERT_EQ(pages->lstThumbs->count(), int(viewer.document()->pages.size()));
    QTRY_VERIFY(!pages->lstThumbs->item(pages->lstThumbs->count() - 1)->icon().isNull());
    QListWidgetItem *fourth = pages->lstThumbs->item(3);
    pages->lstThumbs->scrollToItem(fourth);
    QTest::mouseClick(pages->lstThumbs->viewport(), Qt::LeftButton, {},
                      pages->lstThumbs->visualItemRect(fourth).center());
    EXPECT_EQ(viewer.currentPage(), 4);
    QTest::keyClick(pages->scroll, Qt::Key_PageDown);
    EXPECT_EQ(pages->lstThumbs->currentRow(), 4); // the panel follows the page
    pages->bbtThumbs->click();
    EXPECT_FALSE(pages->lstThumbs->isVisible());
}

// A variant over the sales definition fixing the end of the period, named name.
QByteArray SalesVariant(const QString &name, const QString &base = QStringLiteral("MIS(TEST)"),
                        const QString &param = QStringLiteral("AToDATE")) {
    return QStringLiteral("<report extends=\"%1\" name=\"%2\" title=\"%2 제목\">\n"
                          "  <param name=\"%3\" value=\"20240131\"/>\n</report>\n")
        .arg(base, name, param)
        .toUtf8();
}

TEST_F(RdviewerTest, AVariantShowsItsBaseWithItsValuesFixed) {
    const QDir dir(db.dir());
    WriteFile(dir.filePath(QStringLiteral("MIS(TEST).mrd")), test::SalesDefinition());
    // V over W over the base: V's name and title, W's fixed value over the string's.
    WriteFile(dir.filePath(QStringLiteral("W.mrd")), SalesVariant(QStringLiteral("W")));
    WriteFile(dir.filePath(QStringLiteral("V.mrd")),
              "<report extends=\"W\" name=\"V\" title=\"V 제목\"/>");
    Rdviewer40 viewer(db.connection());
    // The string alone gives 1,000,000 up to 20240105; with 20240131 fixed, 1,750,000.
    EXPECT_TRUE(viewer.OpenReport(dir.filePath(QStringLiteral("V.mrd")),
                                  QStringLiteral("/rp [20240101] [20240105]")))
        << viewer.message().toStdString();
    EXPECT_TRUE(Texts(viewer).contains(QStringLiteral("1,750,000")));
    EXPECT_EQ(viewer.document()->title, QStringLiteral("V 제목"));

    // From a report server: the base comes from the variant's folder.
    TinyServer server;
    server.files.insert("/REPORT/%EA%B2%BD%EC%98%81%EC%A0%95%EB%B3%B4%EA%B4%80%EB%A6%AC/V.mrd",
                        SalesVariant(QStringLiteral("V")));
    viewer.OpenReport(server.base() + QStringLiteral("/REPORT/경영정보관리/V.mrd"),
                      QStringLiteral("/rp [20240101] [20240105]"));
    ASSERT_TRUE(viewer.waitForLoaded(20000));
    EXPECT_EQ(viewer.state(), Rdviewer40::State::Shown) << viewer.message().toStdString();
    EXPECT_TRUE(Texts(viewer).contains(QStringLiteral("1,750,000")));
    EXPECT_EQ(viewer.document()->title, QStringLiteral("V 제목"));
}

TEST_F(RdviewerTest, AVariantsBaseIsRefusedWhenMissingCircularTooDeepOrUnfit) {
    const QDir dir(db.dir());
    WriteFile(dir.filePath(QStringLiteral("MIS(TEST).mrd")), test::SalesDefinition());
    WriteFile(dir.filePath(QStringLiteral("NOBASE.mrd")),
              SalesVariant(QStringLiteral("NOBASE"), QStringLiteral("NONE")));
    WriteFile(dir.filePath(QStringLiteral("A.mrd")),
              SalesVariant(QStringLiteral("A"), QStringLiteral("B")));
    WriteFile(dir.filePath(QStringLiteral("B.mrd")),
              SalesVariant(QStringLiteral("B"), QStringLiteral("a")));
    for (int i = 1; i <= 5; ++i)
        WriteFile(
            dir.filePath(QStringLiteral("D%1.mrd").arg(i)),
            SalesVariant(QStringLiteral("D%1").arg(i),
                         i == 5 ? QStringLiteral("MIS(TEST)") : QStringLiteral("D%1").arg(i + 1)));
    WriteFile(
        dir.filePath(QStringLiteral("P.mrd")),
        SalesVariant(QStringLiteral("P"), QStringLiteral("MIS(TEST)"), QStringLiteral("ANONE")));
    WriteFile(dir.filePath(QStringLiteral("S.mrd")),
              SalesVariant(QStringLiteral("S"), QStringLiteral("../MIS(TEST)")));
    struct {
        const char *file, *reason;
    } cases[] = {
        {"NOBASE.mrd", "NOBASE.mrd → NONE.mrd\n보고서 파일 "},
        {"A.mrd", "A.mrd → B.mrd → a.mrd\n보고서가 돌고 돌아 자신을 바탕으로 합니다"},
        {"D1.mrd", "D1.mrd → D2.mrd → D3.mrd → D4.mrd → D5.mrd → MIS(TEST).mrd\n"
                   "바탕 보고서는 4단계까지입니다"},
        {"P.mrd", "P.mrd → MIS(TEST).mrd\nMIS(TEST).mrd: 보고서에 매개변수 ANONE이(가) 없습니다"},
        {"S.mrd", "S.mrd:1:1: <report> extends \"../MIS(TEST)\", which is not the name of a "
                  "definition in this folder"},
    };
    Rdviewer40 viewer(db.connection());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const QString location = dir.filePath(QString::fromUtf8(c.file));
        EXPECT_FALSE(viewer.OpenReport(location, kJanuary));
        EXPECT_EQ(viewer.state(), Rdviewer40::State::Failed);
        EXPECT_TRUE(viewer.message().startsWith(location + QStringLiteral("\n") +
                                                QString::fromUtf8(c.reason)))
            << viewer.message().toStdString();
    }
    // Four variants deep is allowed.
    EXPECT_TRUE(viewer.OpenReport(dir.filePath(QStringLiteral("D2.mrd")), kJanuary))
        << viewer.message().toStdString();
}

// The sales definition with a picture in its title band: file as the <image> names it.
QByteArray PictureDefinition(const QString &file) {
    QByteArray xml = test::SalesDefinition();
    const QByteArray label = "<label x=\"0\" y=\"10\" w=\"30\" h=\"5\" text=\"기간\"/>";
    xml.replace(label, label + "\n    <image x=\"200\" y=\"2\" w=\"40\" h=\"16\" file=\"" +
                           file.toUtf8() + "\"/>");
    return xml;
}

// A picture of 32 × 16 pixels: red on the left half, blue on the right.
QImage TwoColours(int width = 32, int height = 16) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    return image;
}

QByteArray Encoded(const QImage &image, const char *format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

// The pictures on the pages of the report shown.
std::vector<report::Primitive> Pictures(const Rdviewer40 &viewer) {
    std::vector<report::Primitive> out;
    if (viewer.document())
        for (const report::Page &page : viewer.document()->pages)
            for (const report::Primitive &p : page.items)
                if (p.kind == report::Primitive::Kind::Image)
                    out.push_back(p);
    return out;
}

// Red on the left, blue on the right, whatever a JPEG made of the edges.
bool RedThenBlue(const QImage &image) {
    const QRgb left = image.pixel(image.width() / 8, image.height() / 2);
    const QRgb right = image.pixel(image.width() * 7 / 8, image.height() / 2);
    return qRed(left) > 200 && qBlue(left) < 60 && qBlue(right) > 200 && qRed(right) < 60;
}

TEST_F(RdviewerTest, AnImageShowsItsPictureFromTheDefinitionsFolderOrServer) {
    const QDir dir(db.dir());
    WriteFile(dir.filePath(QStringLiteral("logo.png")), Encoded(TwoColours(), "PNG"));
    WriteFile(dir.filePath(QStringLiteral("img/logo.jpg")), Encoded(TwoColours(), "JPEG"));
    WriteFile(dir.filePath(QStringLiteral("P.mrd")), PictureDefinition(QStringLiteral("logo.png")));
    WriteFile(dir.filePath(QStringLiteral("J.mrd")),
              PictureDefinition(QStringLiteral("img\\logo.jpg")));
    Rdviewer40 viewer(db.connection());
    ASSERT_TRUE(viewer.OpenReport(dir.filePath(QStringLiteral("P.mrd")), kJanuary))
        << viewer.message().toStdString();
    std::vector<report::Primitive> shown = Pictures(viewer);
    ASSERT_EQ(shown.size(), 1u);
    // In its box on the page (margins of 10 mm), the picture as the file holds it.
    EXPECT_EQ(shown[0].rect, QRectF(210, 12, 40, 16));
    EXPECT_EQ(shown[0].image.convertToFormat(QImage::Format_RGB32), TwoColours());

    ASSERT_TRUE(viewer.OpenReport(dir.filePath(QStringLiteral("J.mrd")), kJanuary))
        << viewer.message().toStdString();
    shown = Pictures(viewer);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(RedThenBlue(shown[0].image));

    // Printed: the PDF holds the picture.
    const QString pdf = dir.filePath(QStringLiteral("P.pdf"));
    ASSERT_TRUE(viewer.saveAsPdf(pdf)) << viewer.status().toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("/Subtype /Image"));

    // From a report server: beside the definition in its folder.
    TinyServer server;
    const QByteArray folder = "/REPORT/%EA%B2%BD%EC%98%81%EC%A0%95%EB%B3%B4%EA%B4%80%EB%A6%AC/";
    server.files.insert(folder + "P.mrd", PictureDefinition(QStringLiteral("logo.png")));
    server.files.insert(folder + "logo.png", Encoded(TwoColours(), "PNG"));
    viewer.OpenReport(server.base() + QStringLiteral("/REPORT/경영정보관리/P.mrd"), kJanuary);
    ASSERT_TRUE(viewer.waitForLoaded(20000));
    EXPECT_EQ(viewer.state(), Rdviewer40::State::Shown) << viewer.message().toStdString();
    shown = Pictures(viewer);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].image.convertToFormat(QImage::Format_RGB32), TwoColours());
    EXPECT_TRUE(server.requested.contains(QString::fromLatin1(folder + "logo.png")));
}

TEST_F(RdviewerTest, AnImageIsRefusedWhenMissingNotAPictureTooLargeOrOutsideTheFolder) {
    const QDir dir(db.dir());
    WriteFile(dir.filePath(QStringLiteral("text.png")), "no picture here\n");
    WriteFile(dir.filePath(QStringLiteral("bitmap.png")), Encoded(TwoColours(), "BMP"));
    WriteFile(dir.filePath(QStringLiteral("big.png")), QByteArray(kMaxPictureBytes + 1, 'x'));
    WriteFile(dir.filePath(QStringLiteral("wide.png")),
              Encoded(TwoColours(kMaxPictureSide + 2, 1), "PNG"));
    const QString place = QStringLiteral("P.mrd:26:5: ");
    const QString outside = QStringLiteral("P.mrd:26:5: <image> file \"%1\" is not a file in the "
                                           "definition's folder");
    struct {
        QString file, reason;
    } const cases[] = {
        {QStringLiteral("none.png"),
         place + QStringLiteral("그림 파일 %1이(가) 없습니다")
                     .arg(QDir::toNativeSeparators(dir.filePath(QStringLiteral("none.png"))))},
        {QStringLiteral("text.png"),
         place + QStringLiteral("그림 파일 text.png: PNG나 JPEG 그림이 아닙니다")},
        {QStringLiteral("bitmap.png"),
         place + QStringLiteral("그림 파일 bitmap.png: PNG나 JPEG 그림이 아닙니다")},
        {QStringLiteral("big.png"),
         place + QStringLiteral("그림 파일 %1이(가) %2바이트보다 큽니다")
                     .arg(QDir::toNativeSeparators(dir.filePath(QStringLiteral("big.png"))))
                     .arg(kMaxPictureBytes)},
        {QStringLiteral("wide.png"),
         place + QStringLiteral("그림 파일 wide.png: 그림이 %1×1 화소로, 한 변이 %2 화소보다 "
                                "깁니다")
                     .arg(kMaxPictureSide + 2)
                     .arg(kMaxPictureSide)},
        {QStringLiteral("../logo.png"), outside.arg(QStringLiteral("../logo.png"))},
        {QStringLiteral("img\\..\\..\\logo.png"),
         outside.arg(QStringLiteral("img\\..\\..\\logo.png"))},
        {QStringLiteral("/etc/logo.png"), outside.arg(QStringLiteral("/etc/logo.png"))},
        {QStringLiteral("C:/logo.png"), outside.arg(QStringLiteral("C:/logo.png"))},
        {QString(), outside.arg(QString())},
    };
    const QString location = dir.filePath(QStringLiteral("P.mrd"));
    Rdviewer40 viewer(db.connection());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        WriteFile(location, PictureDefinition(c.file));
        EXPECT_FALSE(viewer.OpenReport(location, kJanuary));
        EXPECT_EQ(viewer.state(), Rdviewer40::State::Failed);
        EXPECT_EQ(viewer.message(), location + u'\n' + c.reason);
    }

    // A report server without the picture.
    TinyServer server;
    const QByteArray folder = "/REPORT/%EA%B2%BD%EC%98%81%EC%A0%95%EB%B3%B4%EA%B4%80%EB%A6%AC/";
    server.files.insert(folder + "P.mrd", PictureDefinition(QStringLiteral("none.png")));
    const QString remote = server.base() + QStringLiteral("/REPORT/경영정보관리/P.mrd");
    viewer.OpenReport(remote, kJanuary);
    ASSERT_TRUE(viewer.waitForLoaded(20000));
    EXPECT_EQ(
        viewer.message(),
        remote + u'\n' + place +
            QStringLiteral("그림 파일 none.png: 보고서 서버가 404 Not Found(으)로 답했습니다"));
}

// What a page shows, item by item, without the time of printing.
QStringList Described(const report::Document &document) {
    QStringList out{document.title};
    for (const report::Page &page : document.pages) {
        out << QStringLiteral("page");
        for (const report::Primitive &p : page.items) {
            const QString text = p.text.startsWith(QStringLiteral("출력일시 "))
                                     ? QStringLiteral("출력일시")
                                     : p.text;
            out << QStringLiteral("%1 %2,%3 %4x%5 %6 %7 %8 %9 %10")
                       .arg(int(p.kind))
                       .arg(p.rect.x(), 0, 'f', 2)
                       .arg(p.rect.y(), 0, 'f', 2)
                       .arg(p.rect.width(), 0, 'f', 2)
                       .arg(p.rect.height(), 0, 'f', 2)
                       .arg(text, p.font.family)
                       .arg(p.font.pointSize)
                       .arg(p.font.bold)
                       .arg(int(p.alignment));
        }
    }
    return out;
}

// The reports made variants of a base, and their bases, show the pages that their former
// definitions (kept in variants/) showed; each variant's pages differ from its base's.
TEST_F(RdviewerTest, VariantsAndTheirBasesShowThePagesOfTheirFormerDefinitions) {
    db.exec(QStringLiteral(R"sql(
INSERT INTO IB010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, TICKET_KIND, PKG_YN, SALE_QTY, LIST_AMT, DC_AMT, NET_AMT) VALUES ('20261209', '5001', '1', 1, '01', 'N', 10, 600000, 60000, 540000);
INSERT INTO IB010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, TICKET_KIND, PKG_YN, SALE_QTY, LIST_AMT, DC_AMT, NET_AMT) VALUES ('20261209', '5001', '1', 2, '01', 'Y', 4, 240000, 108000, 132000);
INSERT INTO IB010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, TICKET_KIND, PKG_YN, SALE_QTY, LIST_AMT, DC_AMT, NET_AMT) VALUES ('20261209', '5004', '2', 1, '04', NULL, 3, 90000, 9000, 81000);
INSERT INTO IB010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, TICKET_KIND, PKG_YN, SALE_QTY, LIST_AMT, DC_AMT, NET_AMT) VALUES ('20251209', '5001', '3', 1, '02', 'N', 5, 250000, 50000, 200000);
INSERT INTO IB010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, TICKET_KIND, PKG_YN, SALE_QTY, LIST_AMT, DC_AMT, NET_AMT) VALUES ('20251209', '5001', '3', 2, '01', 'Y', 2, 120000, 54000, 66000);
INSERT INTO IB010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, TICKET_KIND, PKG_YN, SALE_QTY, LIST_AMT, DC_AMT, NET_AMT) VALUES ('20261115', '5007', '4', 1, '02', 'N', 7, 350000, 35000, 315000);
INSERT INTO IB010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, TICKET_KIND, PKG_YN, SALE_QTY, LIST_AMT, DC_AMT, NET_AMT) VALUES ('20251101', '5001', '5', 1, '04', 'Y', 3, 90000, 27000, 63000);
INSERT INTO IB010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, TICKET_KIND, PKG_YN, SALE_QTY, LIST_AMT, DC_AMT, NET_AMT) VALUES ('20251031', '5001', '6', 1, '04', 'N', 9, 270000, 27000, 243000);
INSERT INTO GA010MS (SALE_DATE, UPJANG_CODE, GATE_HOUR, TICKET_GUBUN, PASS_CNT) VALUES ('20261209', '5002', '09', '1', 120);
INSERT INTO GA010MS (SALE_DATE, UPJANG_CODE, GATE_HOUR, TICKET_GUBUN, PASS_CNT) VALUES ('20261209', '5002', '13', '2', 45);
INSERT INTO GA010MS (SALE_DATE, UPJANG_CODE, GATE_HOUR, TICKET_GUBUN, PASS_CNT) VALUES ('20261201', '5002', '09', '1', 80);
INSERT INTO GA010MS (SALE_DATE, UPJANG_CODE, GATE_HOUR, TICKET_GUBUN, PASS_CNT) VALUES ('20251209', '5002', '10', '1', 60);
INSERT INTO IA010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, SALE_QTY, NET_AMT, TIP_AMT, MEMBER_NO) VALUES ('20261209', '5002', '1', 1, 3, 54000, 0, 'M1');
INSERT INTO IA010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, SALE_QTY, NET_AMT, TIP_AMT, MEMBER_NO) VALUES ('20261209', '5002', '2', 1, 2, 40000, 1000, NULL);
INSERT INTO IA010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, SALE_QTY, NET_AMT, TIP_AMT, MEMBER_NO) VALUES ('20251209', '5002', '3', 1, 4, 72000, 0, NULL);
INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME, MIS_UPJANG_GUBUN1, MIS_DISPLAY_SEQ) VALUES ('H01', '켈로호텔', '10', 1);
INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME, MIS_UPJANG_GUBUN1, MIS_DISPLAY_SEQ) VALUES ('H02', '켈로유스호스텔', '10', 2);
INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME, MIS_UPJANG_GUBUN1, MIS_DISPLAY_SEQ) VALUES ('F01', '켈로레스토랑', '20', 1);
INSERT INTO SA090MS (SALE_DATE, UPJANG_CODE, D_GUESTS, D_NET_AMT, D_SVC_AMT, DB_NET_AMT, M_GUESTS, M_NET_AMT, M_SVC_AMT, MB_NET_AMT, LM_NET_AMT, Y_NET_AMT, Y_SVC_AMT, YB_NET_AMT, LY_NET_AMT) VALUES ('20261209', 'H01', 40, 3000000, 300000, 3500000, 300, 21000000, 2100000, 25000000, 19000000, 90000000, 9000000, 100000000, 80000000);
INSERT INTO SA090MS (SALE_DATE, UPJANG_CODE, D_GUESTS, D_NET_AMT, D_SVC_AMT, DB_NET_AMT, M_GUESTS, M_NET_AMT, M_SVC_AMT, MB_NET_AMT, LM_NET_AMT, Y_NET_AMT, Y_SVC_AMT, YB_NET_AMT, LY_NET_AMT) VALUES ('20261209', 'H02', 25, 800000, 0, 1000000, 180, 5600000, 0, 6000000, 5000000, 20000000, 0, 24000000, 18000000);
INSERT INTO SA090MS (SALE_DATE, UPJANG_CODE, D_GUESTS, D_NET_AMT, D_SVC_AMT, DB_NET_AMT, M_GUESTS, M_NET_AMT, M_SVC_AMT, MB_NET_AMT, LM_NET_AMT, Y_NET_AMT, Y_SVC_AMT, YB_NET_AMT, LY_NET_AMT) VALUES ('20261209', 'F01', 60, 1200000, 120000, 1100000, 420, 8400000, 840000, 9000000, 7700000, 30000000, 3000000, 33000000, 28000000);
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, NET_AMT, SVC_AMT) VALUES ('20261209', 'H01', '1', 40, 3000000, 300000);
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, NET_AMT, SVC_AMT) VALUES ('20261203', 'H01', '1', 35, 2500000, 250000);
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, NET_AMT, SVC_AMT) VALUES ('20261209', 'F01', '1', 60, 1200000, 120000);
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, NET_AMT, SVC_AMT) VALUES ('20251209', 'F01', '1', 50, 1000000, 100000);
INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, NET_AMT, SVC_AMT) VALUES ('20251202', 'H01', '1', 30, 2000000, 200000);
INSERT INTO IB010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, TICKET_KIND, DC_GUBUN, AGENCY_CODE, SALE_QTY, LIST_AMT, DC_AMT, NET_AMT) VALUES ('20261208', '5001', '11', 1, '01', '40', '01', 6, 360000, 36000, 324000);
INSERT INTO IB010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, TICKET_KIND, DC_GUBUN, AGENCY_CODE, SALE_QTY, LIST_AMT, DC_AMT, NET_AMT) VALUES ('20261209', '5001', '12', 1, '02', '40', '02', 8, 400000, 80000, 320000);
INSERT INTO IB010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, TICKET_KIND, DC_GUBUN, AGENCY_CODE, SALE_QTY, LIST_AMT, DC_AMT, NET_AMT) VALUES ('20261209', '5001', '13', 1, '01', '40', '01', 2, 120000, 12000, 108000);
INSERT INTO IB020MS (AGENCY_CODE, DATE_FROM, DATE_TO, COMM_RATE) VALUES ('01', '20260101', NULL, 5);
INSERT INTO IB020MS (AGENCY_CODE, DATE_FROM, DATE_TO, COMM_RATE) VALUES ('02', '20260101', NULL, 7.5)
)sql"));
    const struct {
        const char *base;
        std::vector<const char *> variants;
        const char *params;
    } families[] = {
        {"리프트전년대비권종별할인율현황",
         {"리프트전년대비권종별할인율현황_PKG포함", "리프트전년대비권종별할인율현황(기간)"},
         "/rp [20261209] [20251209]"},
        {"리프트3개년권종별할인율현황",
         {"리프트3개년권종별할인율현황_PKG포함"},
         "/rp [20261209] [20251209] [20241209]"},
        {"곤도라시간대별예약발권현황",
         {"곤도라시간대별예약발권현황(비수기)", "곤도라시간대별발권현황(비수기)"},
         "/rp [20261209] "},
        {"M_Daily_Sale_REPORT", {"M_Daily_Sale_REPORT3_유스호스텔추가"}, "/rp [20261209] "},
        {"일일객단가현황1(결재본)", {"일일객단가현황2(결재본)"}, "/rp [20261209]"},
        {"온라인(여행창조)수수료지급현황",
         {"온라인(이지웰)수수료지급현황"},
         "/rp [20261201] [20261209]"},
        {"온라인(여행창조)리프트판매집계", {"온라인(이지웰)판매현황"}, "/rp [20261201] [20261209]"},
    };
    for (const auto &family : families) {
        const QString params = QString::fromUtf8(family.params);
        std::vector<const char *> names{family.base};
        names.insert(names.end(), family.variants.begin(), family.variants.end());
        QList<QStringList> shown;
        for (const char *name : names) {
            const QString file = QString::fromUtf8(name) + QStringLiteral(".mrd");
            SCOPED_TRACE(file.toStdString());
            Rdviewer40 former(db.connection()), now(db.connection());
            ASSERT_TRUE(former.OpenReport(QStringLiteral(KELO_VIEWER_VARIANTS "/") + file, params))
                << former.message().toStdString();
            ASSERT_TRUE(now.OpenReport(QStringLiteral(KELO_REPORTS_DIR "/") + file, params))
                << now.message().toStdString();
            EXPECT_EQ(Described(*now.document()), Described(*former.document()));
            shown << Described(*now.document());
        }
        for (qsizetype i = 1; i < shown.size(); ++i)
            EXPECT_NE(shown[i], shown[0]) << names[size_t(i)];
    }
}

} // namespace
