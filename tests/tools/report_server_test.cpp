// kelo-report-server as the viewer and a curious client meet it: the real program on a free
// port of the loopback address, serving a temporary folder.

#include "common/appdir.h"
#include "common/reportlocations.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
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

// Starts the server with the arguments and reads its port from the first line.
void Start(QProcess &server, const QStringList &arguments, quint16 *port) {
    server.setProgram(QStringLiteral(KELO_REPORT_SERVER_PROGRAM));
    server.setArguments(arguments);
    server.start();
    ASSERT_TRUE(server.waitForStarted());
    while (!server.canReadLine())
        ASSERT_TRUE(server.waitForReadyRead(10000)) << server.readAllStandardError().data();
    const QString first = QString::fromUtf8(server.readLine()).trimmed();
    ASSERT_TRUE(first.startsWith(QStringLiteral("listening on http://127.0.0.1:")))
        << first.toStdString();
    *port = quint16(first.section(u':', -1).toUInt());
    ASSERT_NE(*port, 0);
}

std::unique_ptr<QTcpSocket> ConnectTo(quint16 port) {
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QStringLiteral("127.0.0.1"), port);
    EXPECT_TRUE(socket->waitForConnected(10000));
    return socket;
}

// The most memory a process has held, in kB (VmHWM).
qint64 PeakKb(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLongLong();
    return -1;
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

        ASSERT_NO_FATAL_FAILURE(
            Start(server_,
                  {QStringLiteral("--root"), root_, QStringLiteral("--port"), QStringLiteral("0")},
                  &port_));
        base_ = QStringLiteral("http://127.0.0.1:%1").arg(port_);
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

    std::unique_ptr<QTcpSocket> Connect() { return ConnectTo(port_); }

    // The server's log so far; the server is stopped to have all of it.
    QString StopAndReadLog() {
        server_.kill();
        server_.waitForFinished();
        return QString::fromUtf8(server_.readAllStandardError());
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

TEST_F(ReportServerTest, ServesThePicturesOfTheDefinitionsButNoOtherFile) {
    const QByteArray png = "\x89PNG\r\n\x1a\n picture";
    Write(root_ + QStringLiteral("/logo.png"), png);
    ASSERT_TRUE(QDir().mkpath(root_ + QStringLiteral("/img")));
    Write(root_ + QStringLiteral("/img/로고.JPG"), "jpeg");
    Write(root_ + QStringLiteral("/img/note.txt"), kSecret);
    Write(root_ + QStringLiteral("/note.txt"), kSecret);
    ASSERT_TRUE(QFile::link(dir_.filePath(QStringLiteral("secret.mrd")),
                            root_ + QStringLiteral("/out.png")));
    struct {
        QByteArray target;
        int status;
        QByteArray type, body;
    } const cases[] = {
        {"/REPORT/" + kFolder + "/logo.png", 200, "image/png", png},
        {"/REPORT/" + kFolderEncoded + "/img/" +
             QUrl::toPercentEncoding(QStringLiteral("로고.JPG")),
         200, "image/jpeg", "jpeg"},
        {"/REPORT/" + kFolder + "/img/note.txt", 400, {}, {}},
        {"/REPORT/" + kFolder + "/note.txt", 404, {}, {}},
        {"/REPORT/" + kFolder + "/out.png", 404, {}, {}}, // a link out of the folder
        {"/REPORT/" + kFolder + "/../secret.png", 400, {}, {}},
        {"/REPORT/" + kFolder + "/.png", 404, {}, {}},
    };
    for (const auto &c : cases) {
        const Reply reply = Ask(c.target);
        SCOPED_TRACE(c.target.toStdString());
        EXPECT_EQ(reply.status, c.status);
        if (c.status == 200) {
            EXPECT_EQ(reply.body, c.body);
            EXPECT_EQ(reply.Header("Content-Type"), c.type);
        }
        EXPECT_FALSE(reply.body.contains(kSecret.trimmed()));
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
    const QString location = kelo::MainLocation(QStringLiteral("견본"));
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
    const QString log = StopAndReadLog();
    EXPECT_TRUE(log.contains(
        QStringLiteral("GET /REPORT/경영정보관리/견본.mrd 200 %1\n").arg(kDefinition.size())))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("GET /REPORT/경영정보관리/없는보고서.mrd 404 ")))
        << log.toStdString();
}

// A request's head and body are read only up to their caps: a body past it is refused by its
// Content-Length, a head past it as soon as the cap is reached, and the server holds neither
// (the client sends on until the server closes, and still reads the answer).
TEST_F(ReportServerTest, OversizedRequestsAreRefusedWithoutHoldingThem) {
    constexpr qint64 kBytes = 100'000'000;
    const QByteArray target = "/REPORT/" + kFolder + "/견본.mrd";
    const struct {
        const char *what;
        QByteArray head; // followed by kBytes of 'a'
        int status;
    } cases[] = {
        {"body",
         "POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " +
             QByteArray::number(kBytes) + "\r\n\r\n",
         413},
        {"head", "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Padding: ", 431},
    };
    const qint64 before = PeakKb(server_.processId());
    ASSERT_GT(before, 0);
    const QByteArray piece(1 << 20, 'a');
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        auto socket = Connect();
        socket->write(c.head);
        for (qint64 sent = 0; sent < kBytes && socket->state() == QAbstractSocket::ConnectedState;
             sent += piece.size()) {
            socket->write(piece);
            while (socket->bytesToWrite() > (4 << 20) && socket->waitForBytesWritten(10000)) {
            }
        }
        while (socket->bytesToWrite() > 0 && socket->waitForBytesWritten(10000)) {
        }
        const Reply reply = ReadReply(*socket);
        EXPECT_EQ(reply.status, c.status);
        EXPECT_EQ(reply.Header("Connection"), "close");
        EXPECT_TRUE(socket->state() == QAbstractSocket::UnconnectedState ||
                    socket->waitForDisconnected(10000));
        // The request's size never reached the server's memory.
        EXPECT_LT(PeakKb(server_.processId()) - before, 16 * 1024);
    }
    EXPECT_EQ(Ask("/REPORT/" + kFolder + "/견본.mrd").status, 200);
    const QString log = StopAndReadLog();
    EXPECT_TRUE(log.contains(QStringLiteral("POST /REPORT/경영정보관리/견본.mrd 413 ")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("GET /REPORT/경영정보관리/견본.mrd 431 ")))
        << log.toStdString();
}

// HTTP/1.1 keeps the connection for the next request unless the client says close; HTTP/1.0
// closes after the answer unless the client asks to keep it.
TEST_F(ReportServerTest, ClosesAfterTheAnswerWhenTheClientAsksOrSpeaksHttp10) {
    const QByteArray target = "/REPORT/" + kFolder + "/견본.mrd";
    const struct {
        const char *what;
        QByteArray request;
        bool closes;
        QByteArray connection; // the answer's Connection field
    } cases[] = {
        {"1.1", "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", false, ""},
        {"1.1 close", "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: Close\r\n\r\n",
         true, "close"},
        {"1.0", "GET " + target + " HTTP/1.0\r\n\r\n", true, "close"},
        {"1.0 keep-alive", "GET " + target + " HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n", false,
         "keep-alive"},
        {"HEAD 1.0", "HEAD " + target + " HTTP/1.0\r\n\r\n", true, "close"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        auto socket = Connect();
        socket->write(c.request);
        const Reply reply = ReadReply(*socket, c.request.startsWith("HEAD"));
        EXPECT_EQ(reply.status, 200);
        EXPECT_EQ(reply.Header("Content-Length"), QByteArray::number(kDefinition.size()));
        EXPECT_EQ(reply.Header("Connection"), c.connection);
        if (c.closes) {
            EXPECT_TRUE(socket->state() == QAbstractSocket::UnconnectedState ||
                        socket->waitForDisconnected(10000));
        } else {
            socket->write(c.request);
            EXPECT_EQ(ReadReply(*socket).body, kDefinition);
            EXPECT_EQ(socket->state(), QAbstractSocket::ConnectedState);
        }
    }
}

// Bytes that are not UTF-8 are refused as the path's text; other methods are answered 405
// (those HTTP defines) or 501 and logged by their own names.
TEST_F(ReportServerTest, RawBytesAndOtherMethodsAreRefusedAndLoggedByName) {
    const QByteArray report = "/REPORT/" + kFolder + "/견본.mrd";
    const struct {
        QByteArray method, target;
        int status;
        const char *logged;
    } cases[] = {
        {"GET", "/REPORT/" + kFolder + "/\xff.mrd", 400, "GET /REPORT/%EA%B2%BD"},
        {"GET", "/REPORT/" + kFolder + "/\xed\xa0\x80.mrd", 400, "%ED%A0%80.mrd 400 "},
        {"HEAD", "/REPORT/\xc0\xaf" + kFolder + "/견본.mrd", 400, "HEAD /REPORT/%C0%AF"},
        {"TRACE", report, 405, "TRACE /REPORT/경영정보관리/견본.mrd 405 "},
        {"OPTIONS", report, 405, "OPTIONS /REPORT/경영정보관리/견본.mrd 405 "},
        {"PROPFIND", report, 501, "PROPFIND /REPORT/경영정보관리/견본.mrd 501 "},
        {"BREW", "/\x01", 501, "BREW /%01 501 "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.logged);
        const Reply reply = Ask(c.target, c.method);
        EXPECT_EQ(reply.status, c.status);
        EXPECT_EQ(reply.Header("Allow"), c.status == 405 ? "GET, HEAD" : "");
    }
    const QString log = StopAndReadLog();
    for (const auto &c : cases)
        EXPECT_TRUE(log.contains(QString::fromUtf8(c.logged))) << c.logged << '\n'
                                                               << log.toStdString();
    EXPECT_FALSE(log.contains(u'?')) << log.toStdString();
}

// Apache's benchmark tool, with and without keep-alive, gets every answer in full.
TEST_F(ReportServerTest, ApacheBenchCompletesWithoutFailedRequests) {
    const QString url = base_ + QStringLiteral("/REPORT/") + QString::fromLatin1(kFolderEncoded) +
                        u'/' + QString::fromLatin1(kNameEncoded) + QStringLiteral(".mrd");
    for (const QStringList &options : {QStringList{}, QStringList{QStringLiteral("-k")}}) {
        SCOPED_TRACE(options.join(u' ').toStdString());
        QProcess ab;
        ab.start(QStringLiteral("ab"),
                 options + QStringList{QStringLiteral("-n"), QStringLiteral("300"),
                                       QStringLiteral("-c"), QStringLiteral("10"),
                                       QStringLiteral("-s"), QStringLiteral("20"), url});
        ASSERT_TRUE(ab.waitForFinished(60000));
        const QString out = QString::fromUtf8(ab.readAllStandardOutput());
        EXPECT_EQ(ab.exitCode(), 0) << ab.readAllStandardError().data();
        EXPECT_TRUE(
            out.contains(QRegularExpression(QStringLiteral("Complete requests:\\s+300\\n"))))
            << out.toStdString();
        EXPECT_TRUE(out.contains(QRegularExpression(QStringLiteral("Failed requests:\\s+0\\n"))))
            << out.toStdString();
        EXPECT_TRUE(out.contains(
            QStringLiteral("Document Length:        %1 bytes").arg(kDefinition.size())))
            << out.toStdString();
        EXPECT_FALSE(out.contains(QStringLiteral("Non-2xx"))) << out.toStdString();
    }
}

// A connection without a complete request is closed after the idle time: one that never
// asks, one after its answer, one that sent half a request.
TEST(ReportServerIdle, ClosesConnectionsWithoutACompleteRequest) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess server;
    quint16 port = 0;
    ASSERT_NO_FATAL_FAILURE(Start(server,
                                  {QStringLiteral("--root"), dir.path(), QStringLiteral("--port"),
                                   QStringLiteral("0"), QStringLiteral("--idle-timeout"), "1"},
                                  &port));
    auto silent = ConnectTo(port);
    auto answered = ConnectTo(port);
    answered->write("GET /x.mrd HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(ReadReply(*answered).status, 404);
    auto half = ConnectTo(port);
    half->write("GET /x.mrd HTTP/1.1\r\nHost: 127");
    for (QTcpSocket *socket : {silent.get(), answered.get(), half.get()})
        EXPECT_TRUE(socket->state() == QAbstractSocket::UnconnectedState ||
                    socket->waitForDisconnected(10000));
    server.kill();
    server.waitForFinished();
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
        {{QStringLiteral("--root"), dir.path(), QStringLiteral("--idle-timeout"),
          QStringLiteral("0")},
         "not a number of seconds"},
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
