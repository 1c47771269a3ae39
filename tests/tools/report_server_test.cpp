// kelo-report-server as the viewer and a curious client meet it: the real program on a free
// port of the loopback address, serving a temporary folder.

#include "common/appdir.h"
#include "common/reportservers.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QByteArray kDefinition =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<report name=\"견본\" title=\"견본 보고서\">\n"
    "  <band kind=\"title\" height=\"10\">\n"
    "    <label x=\"0\" y=\"0\" w=\"100\" h=\"8\" text=\"견본\"/>\n  </band>\n</report>\n";
const QByteArray kSecret = "<secret/>\n";

// The report folder in its URL forms, raw UTF-8 and percent-encoded.
const QByteArray kFolder = "경영정보관리";
const QByteArray kFolderEncoded = QUrl::toPercentEncoding(QString::fromUtf8(kFolder));
const QByteArray kNameEncoded = QUrl::toPercentEncoding(QStringLiteral("견본"));

struct Reply {
    int status = 0; // 0: no answer
    QByteArray headers, body;

    QByteArray Header(const QByteArray &name) const {
        for (const QByteArray &line : headers.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
                return line.mid(colon + 1).trimmed();
        }
        return {};
    }
};

// Reads one answer from a socket: the head, then as many bytes as Content-Length says
// (none for HEAD). Status 0 when the server closes or says nothing.
Reply ReadReply(QTcpSocket &socket, bool head = false) {
    Reply reply;
    QByteArray data;
    qsizetype end = -1;
    while ((end = data.indexOf("\r\n\r\n")) < 0) {
        if (!socket.waitForReadyRead(10000) && socket.bytesAvailable() == 0)
            return reply;
        data += socket.readAll();
    }
    reply.headers = data.left(end);
    const QList<QByteArray> statusLine = reply.headers.left(reply.headers.indexOf('\r')).split(' ');
    reply.status = statusLine.size() > 1 ? statusLine[1].toInt() : -1;
    reply.body = data.mid(end + 4);
    const qsizetype length = head ? 0 : reply.Header("Content-Length").toLongLong();
    while (reply.body.size() < length &&
           (socket.bytesAvailable() > 0 || socket.waitForReadyRead(10000)))
        reply.body += socket.readAll();
    return reply;
}

class ReportServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = dir_.filePath(QStringLiteral("reports"));
        ASSERT_TRUE(QDir().mkpath(root_));
        Write(root_ + QStringLiteral("/견본.mrd"), kDefinition);
        // A file beside the folder, and links to it and into the folder.
        Write(dir_.filePath(QStringLiteral("secret.mrd")), kSecret);
        ASSERT_TRUE(QFile::link(dir_.filePath(QStringLiteral("secret.mrd")),
                                root_ + QStringLiteral("/out.mrd")));
        ASSERT_TRUE(QFile::link(QStringLiteral("견본.mrd"), root_ + QStringLiteral("/in.mrd")));
        ASSERT_TRUE(QDir().mkpath(root_ + QStringLiteral("/dir.mrd")));

        server_.setProgram(QStringLiteral(KELO_REPORT_SERVER_PROGRAM));
        server_.setArguments({QStringLiteral("--root"), root_});
        server_.start();
        ASSERT_TRUE(server_.waitForStarted());
        while (!server_.canReadLine())
            ASSERT_TRUE(server_.waitForReadyRead(10000)) << server_.readAllStandardError().data();
        const QString first = QString::fromUtf8(server_.readLine()).trimmed();
        ASSERT_TRUE(first.startsWith(QStringLiteral("listening on http://127.0.0.1:")))
            << first.toStdString();
        base_ = first.mid(QStringLiteral("listening on ").size());
        port_ = quint16(first.section(u':', -1).toUInt());
        ASSERT_NE(port_, 0);
    }

    void TearDown() override {
        server_.kill();
        server_.waitForFinished();
    }

    static void Write(const QString &path, const QByteArray &bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    std::unique_ptr<QTcpSocket> Connect() {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QStringLiteral("127.0.0.1"), port_);
        EXPECT_TRUE(socket->waitForConnected(10000));
        return socket;
    }

    static QByteArray Request(const QByteArray &target, const QByteArray &method = "GET") {
        return method + ' ' + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    }

    Reply Ask(const QByteArray &target, const QByteArray &method = "GET") {
        auto socket = Connect();
        socket->write(Request(target, method));
        return ReadReply(*socket, method == "HEAD");
    }

    QTemporaryDir dir_;
    QString root_, base_;
    quint16 port_ = 0;
    QProcess server_;
};

TEST_F(ReportServerTest, ServesADefinitionInEveryFormOfItsLocation) {
    const QByteArray forms[] = {
        "/REPORT/" + kFolder + "/견본.mrd",
        "/REPORT/" + kFolderEncoded + '/' + kNameEncoded + ".mrd",
        "/\\REPORT\\" + kFolder + "/견본.mrd",
        "/%5CREPORT%5C" + kFolderEncoded + '/' + kNameEncoded + ".mrd",
        "/%5CREPORT%5C" + kFolderEncoded + "/in.mrd", // a link that stays in the folder
    };
    for (const QByteArray &target : forms) {
        const Reply reply = Ask(target);
        SCOPED_TRACE(target.toStdString());
        EXPECT_EQ(reply.status, 200);
        EXPECT_EQ(reply.body, kDefinition);
        EXPECT_EQ(reply.Header("Content-Length"), QByteArray::number(kDefinition.size()));
        EXPECT_EQ(reply.Header("Content-Type"), "application/xml; charset=utf-8");
    }
}

TEST_F(ReportServerTest, HeadAnnouncesTheLengthWithoutTheBody) {
    auto socket = Connect();
    socket->write(Request("/REPORT/" + kFolder + "/견본.mrd", "HEAD"));
    const Reply head = ReadReply(*socket, true);
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.Header("Content-Length"), QByteArray::number(kDefinition.size()));
    EXPECT_TRUE(head.body.isEmpty());
    // The connection goes on with the next request: no stray body bytes in between.
    socket->write(Request("/REPORT/" + kFolder + "/견본.mrd"));
    EXPECT_EQ(ReadReply(*socket).body, kDefinition);
}

TEST_F(ReportServerTest, TheViewersLocationFetchesTheDefinition) {
    QTemporaryDir appDir;
    ASSERT_TRUE(appDir.isValid());
    kelo::SetAppDir(appDir.path());
    Write(kelo::AppFile(QStringLiteral("Kelo_S.ini")),
          "[ReportServer]\nMain=" + base_.toUtf8() + '\n');
    const QString location = kelo::MainReportLocation(QStringLiteral("견본"));
    kelo::SetAppDir(QString());

    QNetworkAccessManager network;
    std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(QUrl(location))));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
    EXPECT_EQ(reply->readAll(), kDefinition);
}

TEST_F(ReportServerTest, NothingOutsideTheFolderIsServed) {
    struct {
        QByteArray target;
        int status;
    } const cases[] = {
        {"/REPORT/" + kFolder + "/없는보고서.mrd", 404},
        {"/REPORT/" + kFolder + "/견본", 404},
        {"/REPORT/" + kFolder + "/.mrd", 404},
        {"/REPORT/" + kFolder + "/dir.mrd", 404},
        {"/REPORT/" + kFolder + "/out.mrd", 404}, // a link out of the folder
        {"/REPORT/" + kFolder + "/../../secret.mrd", 400},
        {"/REPORT/" + kFolder + "/../" + kFolder + "/견본.mrd", 400},
        {"/REPORT/" + kFolder + "/%2e%2e/%2e%2e/secret.mrd", 400},
        {"/REPORT/" + kFolder + "/%2E%2E%2F%2E%2E%2Fsecret.mrd", 400},
        {"/REPORT/" + kFolder + "/..\\..\\secret.mrd", 400},
        {"/REPORT/" + kFolder + "/..%5C..%5Csecret.mrd", 400},
        {"/REPORT/" + kFolder + "/%2F" + QUrl::toPercentEncoding(dir_.filePath("secret.mrd")), 400},
        {"/REPORT/" + kFolder + "/sub/견본.mrd", 400},
        {"/REPORT/" + kFolder + "/%00.mrd", 400},
        {"/REPORT/" + kFolder + "/%ff.mrd", 400},
        {"/" + QUrl::toPercentEncoding(dir_.filePath("secret.mrd")), 404},
        {"/secret.mrd", 404},
        {"/", 404},
    };
    for (const auto &c : cases) {
        const Reply reply = Ask(c.target);
        SCOPED_TRACE(c.target.toStdString());
        EXPECT_EQ(reply.status, c.status);
        EXPECT_FALSE(reply.body.contains(kSecret.trimmed()));
    }
}

TEST_F(ReportServerTest, RefusesOverLongPathsAndOtherMethods) {
    const QByteArray longName = QUrl::toPercentEncoding(QString(400, QChar(u'가')));
    EXPECT_EQ(Ask("/REPORT/" + kFolderEncoded + '/' + longName + ".mrd").status, 414);
    EXPECT_EQ(Ask("/" + QByteArray(100000, 'x')).status, 414);
    const Reply post = Ask("/REPORT/" + kFolder + "/견본.mrd", "DELETE");
    EXPECT_EQ(post.status, 405);
    EXPECT_EQ(post.Header("Allow"), "GET, HEAD");
}

TEST_F(ReportServerTest, ASlowClientDoesNotHoldUpOthers) {
    auto slow = Connect();
    const QByteArray request = Request("/REPORT/" + kFolder + "/견본.mrd");
    slow->write(request.left(request.size() / 2));
    ASSERT_TRUE(slow->waitForBytesWritten(10000));

    const Reply other = Ask("/REPORT/" + kFolderEncoded + '/' + kNameEncoded + ".mrd");
    EXPECT_EQ(other.status, 200);
    EXPECT_EQ(other.body, kDefinition);

    // The slow one has had no answer yet and gets its own once it is done asking.
    EXPECT_EQ(slow->bytesAvailable(), 0);
    EXPECT_EQ(slow->state(), QAbstractSocket::ConnectedState);
    slow->write(request.mid(request.size() / 2));
    const Reply late = ReadReply(*slow);
    EXPECT_EQ(late.status, 200);
    EXPECT_EQ(late.body, kDefinition);
}

TEST_F(ReportServerTest, LogsEachRequest) {
    Ask("/REPORT/" + kFolderEncoded + '/' + kNameEncoded + ".mrd");
    Ask("/REPORT/" + kFolder + "/없는보고서.mrd");
    server_.kill();
    server_.waitForFinished();
    const QString log = QString::fromUtf8(server_.readAllStandardError());
    EXPECT_TRUE(log.contains(
        QStringLiteral("GET /REPORT/경영정보관리/견본.mrd 200 %1\n").arg(kDefinition.size())))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("GET /REPORT/경영정보관리/없는보고서.mrd 404 ")))
        << log.toStdString();
}

TEST(ReportServerStart, AMissingFolderEndsWithExitCode2) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        QStringList arguments;
        const char *message;
    } cases[] = {
        {{QStringLiteral("--root"), dir.filePath(QStringLiteral("none"))}, "does not exist"},
        {{QStringLiteral("--root"), dir.path(), QStringLiteral("--port"), QStringLiteral("x")},
         "not a port number"},
        {{QStringLiteral("--root"), dir.path(), QStringLiteral("--bind"), QStringLiteral("host")},
         "not an IP address"},
    };
    for (const auto &c : cases) {
        QProcess server;
        server.start(QStringLiteral(KELO_REPORT_SERVER_PROGRAM), c.arguments);
        ASSERT_TRUE(server.waitForFinished(10000));
        EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(server.exitCode(), 2);
        EXPECT_TRUE(server.readAllStandardOutput().isEmpty());
        EXPECT_TRUE(server.readAllStandardError().contains(c.message)) << c.message;
    }
}

} // namespace
