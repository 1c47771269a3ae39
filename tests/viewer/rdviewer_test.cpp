#include "common/appdir.h"
#include "common/excelsheet.h"
#include "report/output.h"
#include "support/excel_readback.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"
#include "viewer/fixtures.h"
#include "viewer/rdviewer.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScrollArea>
#include <QStyle>
#include <QTcpServer>
#include <QTcpSocket>
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
        if (path == good) {
            const QByteArray body = test::SalesDefinition();
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
    void SetUp() override { db.exec(QString::fromUtf8(test::SalesRows())); }
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

TEST_F(RdviewerTest, SavesTheDetailRowsAsExcel) {
    const QString path = QDir(db.dir()).filePath(QStringLiteral("MIS(TEST).mrd"));
    WriteFile(path, test::SalesDefinition());
    Rdviewer40 viewer(db.connection());
    viewer.OpenReport(path, kJanuary);
    const QString xls = QDir(db.dir()).filePath(QStringLiteral("out.xls"));
    ASSERT_TRUE(viewer.saveAsExcel(xls)) << viewer.status().toStdString();
    QFile f(xls);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith(QByteArray::fromHex("0908")));
    // Column names of the main data set, and its figures as number cells (IEEE doubles).
    EXPECT_TRUE(bytes.contains("UPJANG_NAME"));
    double v = 1500000;
    EXPECT_TRUE(bytes.contains(QByteArray(reinterpret_cast<const char *>(&v), 8)));
    v = 1750000; // the total is not a detail row
    EXPECT_FALSE(bytes.contains(QByteArray(reinterpret_cast<const char *>(&v), 8)));
    // A reader of another maker finds the Korean title.
    const test::ReadBack book = test::ReadExcel(xls);
    ASSERT_EQ(book.error, QString());
    ASSERT_FALSE(book.rows.empty());
    EXPECT_EQ(book.rows[0], QVariantList{QStringLiteral("기간별 영업장 매출")});
}

// A report of more rows than an .xls file holds: the .xls is refused with the grid export's
// message and no file, the .xlsx holds every row under the title and the headings.
TEST_F(RdviewerTest, ALargeReportIsRefusedAsXlsAndSavedWholeAsXlsx) {
    const QString path = QDir(db.dir()).filePath(QStringLiteral("ROOMS.mrd"));
    WriteFile(path, QByteArrayLiteral(R"xml(<?xml version="1.0" encoding="UTF-8"?>
<report name="ROOMS" title="객실 이용 내역">
  <dataset name="rows">
    <sql><![CDATA[
WITH RECURSIVE N(I) AS (
SELECT 1
UNION ALL
SELECT I + 1
FROM N
WHERE I < 72330
)
SELECT '객실 ' || I AS ROOM_NAME,
       I * 10 AS AMT
FROM N
    ]]></sql>
  </dataset>
  <band kind="title" height="10">
    <label x="0" y="0" w="100" h="8" text="객실 이용 내역"/>
  </band>
</report>
)xml"));
    Rdviewer40 viewer(db.connection());
    viewer.OpenReport(path, QString());
    ASSERT_EQ(viewer.state(), Rdviewer40::State::Shown) << viewer.message().toStdString();

    const QString xls = QDir(db.dir()).filePath(QStringLiteral("rooms.xls"));
    EXPECT_FALSE(viewer.saveAsExcel(xls));
    EXPECT_EQ(viewer.status(), TooManyRowsForXlsMessage());
    EXPECT_FALSE(QFileInfo::exists(xls));

    // The toolbar's save dialog offers .xlsx, and an .xlsx name stays one.
    const QString xlsx = QDir(db.dir()).filePath(QStringLiteral("rooms.xlsx"));
    test::ScriptedDialogsScope dialogs;
    dialogs->answerFile(xlsx);
    auto *excel = viewer.findChild<QToolButton *>(QStringLiteral("bbtSaveExcel"));
    ASSERT_TRUE(excel);
    excel->click();
    EXPECT_EQ(viewer.status(),
              QStringLiteral("Excel 파일로 저장했습니다: ") + QDir::toNativeSeparators(xlsx));
    const test::ReadBack book = test::ReadExcel(xlsx);
    ASSERT_EQ(book.error, QString());
    ASSERT_EQ(book.rows.size(), 3u + 72330);
    EXPECT_EQ(book.rows[0], QVariantList{QStringLiteral("객실 이용 내역")});
    EXPECT_EQ(book.rows[2], (QVariantList{QStringLiteral("ROOM_NAME"), QStringLiteral("AMT")}));
    EXPECT_EQ(book.rows[3], (QVariantList{QStringLiteral("객실 1"), 10.0}));
    EXPECT_EQ(book.rows[3 + 65535], (QVariantList{QStringLiteral("객실 65536"), 655360.0}));
    EXPECT_EQ(book.rows.back(), (QVariantList{QStringLiteral("객실 72330"), 723300.0}));
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

} // namespace
