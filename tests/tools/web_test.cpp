// The report server's web pages as a signed-in manager, an outsider and a careless or hostile
// client meet them: the real program with --database on a demo database of the engine the
// tests run on, spoken to over a socket.

#include "support/demo_database.h"
#include "tool_support.h"

#include "support/temp_database.h"
#include "web/passwords.h"
#include "web/sessions.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSslSocket>
#include <QTcpSocket>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

namespace {

using kelo::test::TempDatabase;

const QString kManager = QStringLiteral("20000001"); // every program
const QString kClerk = QStringLiteral("20000003");   // input only: not the daily report
const QString kPassword = QStringLiteral("manager-pass-1");
const QString kClerkPassword = QStringLiteral("clerk-pass-22");
const QString kDaily = QStringLiteral("M_Daily_Sale_REPORT.mrd");
const QString kHotels = QStringLiteral("일일객단가현황(세부현황).mrd"); // a list of hotels

struct Answer {
    int status = 0; // 0: no answer
    QByteArray head, body;
    QByteArray header(const QByteArray &name) const {
        for (const QByteArray &line : head.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
                return line.mid(colon + 1).trimmed();
        }
        return {};
    }
    QString text() const { return QString::fromUtf8(body); }
};

// The server of a test, stopped when the test ends however it ends.
struct ServerProcess : QProcess {
    ~ServerProcess() override {
        kill();
        waitForFinished();
    }
};

// The answer on a connection the server closes after it.
Answer ReadAnswer(QTcpSocket &socket) {
    QByteArray data;
    while (socket.waitForReadyRead(60000) || socket.bytesAvailable() > 0) {
        data += socket.readAll();
        if (socket.state() != QAbstractSocket::ConnectedState)
            break;
    }
    data += socket.readAll();
    Answer a;
    const qsizetype end = data.indexOf("\r\n\r\n");
    if (end < 0)
        return a;
    a.head = data.left(end);
    a.status = a.head.split(' ').value(1).toInt();
    a.body = data.mid(end + 4);
    return a;
}

// One request on a connection of its own; the answer read to the server's close.
Answer Ask(quint16 port, const QByteArray &method, const QByteArray &target,
           const QByteArray &cookie = {}, const QByteArray &body = {},
           const QByteArray &type = "application/x-www-form-urlencoded", bool tls = false) {
    std::unique_ptr<QTcpSocket> socket;
    if (tls) {
        auto *s = new QSslSocket;
        s->setPeerVerifyMode(QSslSocket::VerifyNone);
        s->connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
        socket.reset(s);
        if (!s->waitForEncrypted(10000))
            return {};
    } else {
        socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QStringLiteral("127.0.0.1"), port);
        if (!socket->waitForConnected(10000))
            return {};
    }
    QByteArray request = method + ' ' + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    if (!cookie.isEmpty())
        request += "Cookie: kelo_session=" + cookie + "\r\n";
    if (method == "POST")
        request += "Content-Type: " + type +
                   "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n";
    request += "Connection: close\r\n\r\n" + body;
    socket->write(request);
    return ReadAnswer(*socket);
}

QByteArray Form(const QString &emp, const QString &password) {
    return "emp=" + QUrl::toPercentEncoding(emp) + "&password=" + QUrl::toPercentEncoding(password);
}

QByteArray ReportTarget(const QString &file, const QList<QPair<QString, QString>> &values = {}) {
    QByteArray t = "/web/report?report=" + QUrl::toPercentEncoding(file);
    for (const auto &[name, value] : values)
        t += '&' + QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value);
    return t;
}

QByteArray DocId(const Answer &a) {
    static const QRegularExpression doc(QStringLiteral("/web/pdf\\?doc=([0-9a-f]+)"));
    return doc.match(a.text()).captured(1).toLatin1();
}

// The demo database with web passwords for a manager and a clerk, shared by the tests.
class WebPages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_db = new TempDatabase;
        kelo::test::GenerateDemoInto(*s_db, 3, kelo::test::Yesterday());
        ASSERT_EQ(kelo::web::SetPassword(s_db->connection(), kManager, kPassword), QString());
        ASSERT_EQ(kelo::web::SetPassword(s_db->connection(), kClerk, kClerkPassword), QString());
        kelo::test::SignInAsTestUser(s_db->dir());
    }
    static void TearDownTestSuite() {
        delete s_db;
        s_db = nullptr;
    }

    // The server on a free port; its port, 0 when it did not start.
    quint16 start(QProcess &server, const QStringList &more = {}) {
        server.setProcessEnvironment(kelo::test::ToolEnvironment(s_db->dir()));
        server.setProgram(QStringLiteral(KELO_REPORT_SERVER_PROGRAM));
        server.setArguments(QStringList{QStringLiteral("--root"), QStringLiteral(KELO_REPORTS_DIR),
                                        QStringLiteral("--port"), QStringLiteral("0"),
                                        QStringLiteral("--database"), QStringLiteral("TESTDB"),
                                        QStringLiteral("--app-dir"), s_db->dir()} +
                            more);
        server.start();
        if (!server.waitForStarted())
            return 0;
        while (!server.canReadLine())
            if (!server.waitForReadyRead(20000))
                return 0;
        const QString first = QString::fromUtf8(server.readLine()).trimmed();
        return quint16(first.mid(first.lastIndexOf(u':') + 1).toUInt());
    }

    // Signs in and gives the session's token.
    static QByteArray SignIn(quint16 port, const QString &emp, const QString &password,
                             bool tls = false) {
        const Answer a = Ask(port, "POST", "/web/signin", {}, Form(emp, password),
                             "application/x-www-form-urlencoded", tls);
        const QByteArray cookie = a.header("Set-Cookie");
        if (a.status != 303 || !cookie.startsWith("kelo_session="))
            return {};
        return cookie.mid(13, cookie.indexOf(';') - 13);
    }

    static TempDatabase *s_db;
};

TempDatabase *WebPages::s_db = nullptr;

TEST_F(WebPages, AManagerSignsInOpensTheDailyReportAndTakesItsFiles) {
    ServerProcess server;
    const quint16 port = start(server);
    ASSERT_NE(port, 0) << server.readAllStandardError().toStdString();

    const Answer signIn = Ask(port, "POST", "/web/signin", {}, Form(kManager, kPassword));
    ASSERT_EQ(signIn.status, 303) << signIn.text().toStdString();
    EXPECT_EQ(signIn.header("Location"), "/web/reports");
    const QByteArray cookie = signIn.header("Set-Cookie");
    EXPECT_TRUE(cookie.contains("; HttpOnly")) << cookie.constData();
    EXPECT_TRUE(cookie.contains("; SameSite=Strict")) << cookie.constData();
    EXPECT_TRUE(cookie.contains("; Path=/web/")) << cookie.constData();
    EXPECT_FALSE(cookie.contains("Secure")) << "plain HTTP";
    const QByteArray token = SignIn(port, kManager, kPassword);
    ASSERT_EQ(token.size(), 64);

    const Answer list = Ask(port, "GET", "/web/reports", token);
    ASSERT_EQ(list.status, 200);
    EXPECT_TRUE(list.text().contains(QStringLiteral("Daily Sales Report")));
    EXPECT_TRUE(list.header("Content-Security-Policy").contains("default-src 'none'"));
    EXPECT_EQ(list.header("Cache-Control"), "no-store");

    // The report with its defaults: the business date is yesterday.
    const Answer report = Ask(port, "GET", ReportTarget(kDaily), token);
    ASSERT_EQ(report.status, 200) << report.text().toStdString();
    const QDate yesterday = QDate::fromString(kelo::test::Yesterday(), QStringLiteral("yyyyMMdd"));
    EXPECT_TRUE(report.text().contains(
        QStringLiteral("value=\"%1\"").arg(yesterday.toString(Qt::ISODate))));
    const QByteArray doc = DocId(report);
    ASSERT_FALSE(doc.isEmpty()) << report.text().toStdString();

    // Another day through the prompt, as the form sends it.
    const QString other = yesterday.addDays(-1).toString(Qt::ISODate);
    const Answer asked =
        Ask(port, "GET", ReportTarget(kDaily, {{QStringLiteral("p_ASALE_DATE"), other}}), token);
    ASSERT_EQ(asked.status, 200);
    EXPECT_TRUE(asked.text().contains(QStringLiteral(">%1</text>").arg(other)))
        << "the page's texts hold the day asked for";

    const Answer page = Ask(port, "GET", "/web/page?doc=" + doc + "&n=1", token);
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.header("Content-Type"), "image/png");
    EXPECT_FALSE(QImage::fromData(page.body, "PNG").isNull());
    const Answer pdf = Ask(port, "GET", "/web/pdf?doc=" + doc, token);
    EXPECT_EQ(pdf.status, 200);
    EXPECT_TRUE(pdf.body.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.header("Content-Disposition").startsWith("attachment;"));
    const Answer xlsx = Ask(port, "GET", "/web/xlsx?doc=" + doc, token);
    EXPECT_EQ(xlsx.status, 200);
    EXPECT_TRUE(xlsx.body.startsWith("PK")) << "an .xlsx is a zip";

    // The daily report set is linked above the list and shown ten pages at a time.
    EXPECT_TRUE(list.text().contains(QStringLiteral("href=\"/web/daily\"")));
    const Answer daily = Ask(port, "GET", "/web/daily", token);
    ASSERT_EQ(daily.status, 200) << daily.text().toStdString();
    EXPECT_TRUE(
        daily.text().contains(QStringLiteral("value=\"%1\"").arg(yesterday.toString(Qt::ISODate))));
    const QByteArray set = DocId(daily);
    ASSERT_FALSE(set.isEmpty());
    EXPECT_EQ(daily.text().count(QStringLiteral("<figure class=\"page\"")), 10);
    EXPECT_TRUE(daily.text().contains(
        QStringLiteral("/web/view?doc=%1&amp;from=11").arg(QString::fromLatin1(set))));
    const Answer further = Ask(port, "GET", "/web/view?doc=" + set + "&from=11", token);
    EXPECT_EQ(further.status, 200);
    EXPECT_TRUE(further.text().contains(QStringLiteral("id=\"page11\"")));
    EXPECT_TRUE(Ask(port, "GET", "/web/pdf?doc=" + set, token).body.startsWith("%PDF-"));
    EXPECT_EQ(Ask(port, "GET", "/web/daily?p_DATE=2026-02-30", token).status, 400);

    // Signed out, the token opens nothing.
    EXPECT_EQ(Ask(port, "POST", "/web/signout", token).status, 303);
    EXPECT_EQ(Ask(port, "GET", "/web/reports", token).header("Location"), "/web/signin");
    EXPECT_EQ(Ask(port, "GET", "/web/pdf?doc=" + doc, token).status, 401);
}

TEST_F(WebPages, EveryReportOfTheListOpensWithItsStartingValues) {
    ServerProcess server;
    const quint16 port = start(server);
    ASSERT_NE(port, 0) << server.readAllStandardError().toStdString();
    const QByteArray token = SignIn(port, kManager, kPassword);
    const Answer list = Ask(port, "GET", "/web/reports", token);
    static const QRegularExpression link(QStringLiteral("href=\"(/web/report\\?report=[^\"]+)\""));
    QStringList targets;
    for (auto it = link.globalMatch(list.text()); it.hasNext();)
        targets << it.next().captured(1);
    // Every shipped definition but the local folder's is on the manager's list.
    const QStringList shipped =
        QDir(QStringLiteral(KELO_REPORTS_DIR)).entryList({QStringLiteral("*.mrd")}, QDir::Files);
    EXPECT_EQ(targets.size(), shipped.size());
    for (const QString &target : targets) {
        const Answer a = Ask(port, "GET", target.toUtf8(), token);
        EXPECT_EQ(a.status, 200)
            << QUrl::fromPercentEncoding(target.toUtf8()).toStdString() << ": "
            << a.text().section(QStringLiteral("id=\"message\">"), 1).left(200).toStdString();
        EXPECT_FALSE(DocId(a).isEmpty()) << target.toStdString();
    }
}

TEST_F(WebPages, NothingWithoutASessionOrOutsideThePermissions) {
    ServerProcess server;
    const quint16 port = start(server);
    ASSERT_NE(port, 0) << server.readAllStandardError().toStdString();
    const QByteArray manager = SignIn(port, kManager, kPassword);
    const QByteArray clerk = SignIn(port, kClerk, kClerkPassword);
    ASSERT_FALSE(manager.isEmpty());
    ASSERT_FALSE(clerk.isEmpty());
    const QByteArray doc = DocId(Ask(port, "GET", ReportTarget(kDaily), manager));
    ASSERT_FALSE(doc.isEmpty());

    const QByteArray forged(64, 'a');
    const struct {
        QByteArray target, cookie;
        int status;
    } refused[] = {
        {"/web/reports", {}, 303},
        {ReportTarget(kDaily), {}, 303},
        {"/web/page?doc=" + doc + "&n=1", {}, 401},
        {"/web/pdf?doc=" + doc, {}, 401},
        {"/web/xlsx?doc=" + doc, {}, 401},
        {"/web/reports", forged, 303},
        {"/web/pdf?doc=" + doc, forged, 401},
        {"/web/pdf?doc=" + doc, manager.left(63), 401},
        {"/web/pdf?doc=" + doc, manager.toUpper(), 401},
        // Another's report is not there for the clerk, nor a report the clerk may not open.
        {"/web/pdf?doc=" + doc, clerk, 404},
        {"/web/page?doc=" + doc + "&n=1", clerk, 404},
        {ReportTarget(kDaily), clerk, 404},
        // Only files of the catalogue.
        {ReportTarget(QStringLiteral("../../etc/passwd")), manager, 404},
        {ReportTarget(QStringLiteral("../reports/") + kDaily), manager, 404},
        {ReportTarget(QStringLiteral("index.json")), manager, 404},
        {"/web/page?doc=" + doc + "&n=99", manager, 404},
        {"/web/page?doc=" + doc + "&n=-1", manager, 404},
        {"/web/nowhere", manager, 404},
        {"/web/daily", clerk, 404},
    };
    for (const auto &r : refused) {
        const Answer a = Ask(port, "GET", r.target, r.cookie);
        EXPECT_EQ(a.status, r.status) << r.target.constData() << " " << r.cookie.constData();
        if (r.status == 303)
            EXPECT_EQ(a.header("Location"), "/web/signin") << r.target.constData();
        EXPECT_FALSE(a.body.startsWith("%PDF")) << r.target.constData();
    }
    const Answer clerkList = Ask(port, "GET", "/web/reports", clerk);
    EXPECT_EQ(clerkList.status, 200);
    EXPECT_FALSE(clerkList.text().contains(QStringLiteral("Daily Sales Report")));

    // Values that are not of their parameter's type, not declared or not on the list.
    const QList<QPair<QString, QString>> wrong[] = {
        {{QStringLiteral("p_ASALE_DATE"), QStringLiteral("2026-02-30")}},
        {{QStringLiteral("p_ASALE_DATE"), QStringLiteral("yesterday")}},
        {{QStringLiteral("p_ASALE_DATE"), QStringLiteral("20261301")}},
        {{QStringLiteral("p_ASALE_DATE"), QStringLiteral("'; DELETE FROM QA010MS; --")}},
        {{QStringLiteral("p_NOT_DECLARED"), QStringLiteral("1")}},
        {{QStringLiteral("SQL"), QStringLiteral("SELECT 1")}},
    };
    for (const auto &values : wrong) {
        const Answer a = Ask(port, "GET", ReportTarget(kDaily, values), manager);
        EXPECT_EQ(a.status, 400) << values.front().second.toStdString();
        EXPECT_TRUE(a.text().contains(QStringLiteral("id=\"message\""))) << "said in words";
        EXPECT_TRUE(DocId(a).isEmpty()) << "nothing run";
    }
    const Answer twice =
        Ask(port, "GET", ReportTarget(kDaily) + "&p_ASALE_DATE=20261201&p_ASALE_DATE=20261202",
            manager);
    EXPECT_EQ(twice.status, 400);
    const Answer notListed = Ask(
        port, "GET",
        ReportTarget(kHotels, {{QStringLiteral("p_AHOTEL"), QStringLiteral("9999' OR '1'='1")}}),
        manager);
    EXPECT_EQ(notListed.status, 400) << notListed.text().toStdString();
    const Answer listed = Ask(
        port, "GET",
        ReportTarget(kHotels, {{QStringLiteral("p_AHOTEL"), QStringLiteral("베로호텔")}}), manager);
    EXPECT_EQ(listed.status, 200) << listed.text().toStdString();
    EXPECT_EQ(kelo::test::QueryText(
                  s_db->connection(),
                  QStringLiteral("SELECT COUNT(*) FROM QA010MS WHERE EMP_NO = '20000001'")),
              QStringLiteral("1"));

    // Forms only by POST, pages only by GET; the sign-in form only as a form.
    EXPECT_EQ(Ask(port, "GET", "/web/signout", manager).status, 405);
    EXPECT_NE(Ask(port, "GET", "/web/reports", manager).status, 303) << "still signed in";
    EXPECT_EQ(Ask(port, "DELETE", "/web/pdf?doc=x", manager).status, 405);
    EXPECT_EQ(Ask(port, "POST", "/web/reports", manager, "x=1").status, 405);
    EXPECT_EQ(Ask(port, "POST", "/web/signin", {}, Form(kManager, kPassword), "text/plain").status,
              400);
    EXPECT_EQ(Ask(port, "POST", "/web/signin", {}, "emp=%FF%FE&password=x").status, 400);
}

TEST_F(WebPages, GuessingIsSlowedDown) {
    ServerProcess server;
    const quint16 port = start(server);
    ASSERT_NE(port, 0) << server.readAllStandardError().toStdString();

    // A wrong password, an unknown employee: the same words.
    const Answer wrong =
        Ask(port, "POST", "/web/signin", {}, Form(kClerk, QStringLiteral("guess-1")));
    const Answer unknown = Ask(port, "POST", "/web/signin", {},
                               Form(QStringLiteral("29999999"), QStringLiteral("guess-1")));
    EXPECT_EQ(wrong.status, 401);
    EXPECT_EQ(unknown.status, 401);
    const QRegularExpression message(QStringLiteral("id=\"message\">([^<]*)<"));
    EXPECT_EQ(message.match(wrong.text()).captured(1), message.match(unknown.text()).captured(1));

    for (int i = 2; i <= kelo::web::SignInThrottle::kFreeEmployee + 1; ++i)
        EXPECT_EQ(
            Ask(port, "POST", "/web/signin", {}, Form(kClerk, QStringLiteral("guess"))).status,
            401);
    // Locked now: even the right password waits, and is told for how long.
    const Answer locked = Ask(port, "POST", "/web/signin", {}, Form(kClerk, kClerkPassword));
    EXPECT_EQ(locked.status, 429);
    EXPECT_GE(locked.header("Retry-After").toInt(), 1);
    // Another employee from the same address is not locked yet.
    const QByteArray token = SignIn(port, kManager, kPassword);
    ASSERT_FALSE(token.isEmpty());
    EXPECT_EQ(Ask(port, "GET", "/web/reports", token).status, 200);
}

// Requests sent at once, each on a connection of its own, before any answer is read.
std::vector<Answer> AskAtOnce(quint16 port, const std::vector<QByteArray> &requests) {
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    for (const QByteArray &request : requests) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QStringLiteral("127.0.0.1"), port);
        if (socket->waitForConnected(10000))
            socket->write(request);
        socket->flush();
        sockets.push_back(std::move(socket));
    }
    std::vector<Answer> answers;
    for (auto &socket : sockets)
        answers.push_back(ReadAnswer(*socket));
    return answers;
}

TEST_F(WebPages, GuessesSentAtOnceAreCountedAndNoSessionOutlivesItsEmployee) {
    ServerProcess server;
    // The session's employee read again at every request.
    const quint16 port = start(server, {QStringLiteral("--session-check"), QStringLiteral("0")});
    ASSERT_NE(port, 0) << server.readAllStandardError().toStdString();

    // Ten guesses at once: one is checked at a time, the rest are turned away uncounted.
    std::vector<QByteArray> guesses;
    for (int i = 0; i < 10; ++i) {
        const QByteArray body = Form(kClerk, QStringLiteral("guess-%1").arg(i));
        guesses.push_back("POST /web/signin HTTP/1.1\r\nHost: x\r\nConnection: close\r\n"
                          "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                          QByteArray::number(body.size()) + "\r\n\r\n" + body);
    }
    int checked = 0, turnedAway = 0;
    for (const Answer &a : AskAtOnce(port, guesses)) {
        checked += a.status == 401 ? 1 : 0;
        turnedAway += a.status == 429 ? 1 : 0;
    }
    EXPECT_EQ(checked + turnedAway, 10);
    EXPECT_LE(checked, 2) << "guesses checked side by side";
    // A number no one has is refused at once and holds nothing.
    EXPECT_EQ(Ask(port, "POST", "/web/signin", {},
                  Form(QString(5000, u'9'), QStringLiteral("whatever-1")))
                  .status,
              401);

    // The employee's password taken away, set anew, or the employee out of service: the
    // sessions signed in before end at their next request.
    const QByteArray before = SignIn(port, kManager, kPassword);
    ASSERT_FALSE(before.isEmpty());
    ASSERT_EQ(kelo::web::SetPassword(s_db->connection(), kManager, QStringLiteral("new-pass-99")),
              QString());
    EXPECT_EQ(Ask(port, "GET", "/web/reports", before).header("Location"), "/web/signin");
    EXPECT_EQ(Ask(port, "GET", "/web/reports", before).header("Location"), "/web/signin");
    const QByteArray after = SignIn(port, kManager, QStringLiteral("new-pass-99"));
    ASSERT_FALSE(after.isEmpty());
    EXPECT_EQ(Ask(port, "GET", "/web/reports", after).status, 200);
    ASSERT_TRUE(kelo::web::ClearPassword(s_db->connection(), kManager));
    EXPECT_EQ(Ask(port, "GET", ReportTarget(kDaily), after).header("Location"), "/web/signin");
    ASSERT_EQ(kelo::web::SetPassword(s_db->connection(), kManager, kPassword), QString());

    // Two Cookie lines, a stale token first: the session is found all the same.
    const QByteArray token = SignIn(port, kManager, kPassword);
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    ASSERT_TRUE(socket.waitForConnected(10000));
    socket.write(
        "GET /web/reports HTTP/1.1\r\nHost: x\r\nConnection: close\r\nCookie: kelo_session=" +
        QByteArray(64, 'a') + "\r\nCookie: kelo_session=" + token + "\r\n\r\n");
    QByteArray reply;
    while (socket.waitForReadyRead(20000))
        reply += socket.readAll();
    EXPECT_TRUE(reply.startsWith("HTTP/1.1 200")) << reply.left(200).constData();

    // Nothing of a request's control characters comes back; a repeated search is refused.
    const Answer nul = Ask(port, "GET", "/web/report?report=X%00%E2%80%AE.mrd", token);
    EXPECT_EQ(nul.status, 404);
    EXPECT_FALSE(nul.body.contains('\0'));
    EXPECT_FALSE(nul.text().contains(QChar(0x202E)));
    EXPECT_EQ(Ask(port, "GET", "/web/reports?q=a&q=b", token).status, 400);

    // Daily sets of one day after another, made on the server's thread, wait their turn; a
    // day outside the calendar's sense is refused before any is made.
    EXPECT_EQ(Ask(port, "GET", "/web/daily?p_DATE=00010101", token).status, 400);
    EXPECT_EQ(Ask(port, "GET", "/web/daily?p_DATE=29991231", token).status, 400);
    EXPECT_EQ(Ask(port, "GET", "/web/daily", token).status, 200);
    EXPECT_EQ(Ask(port, "GET", "/web/daily", token).status, 200) << "the same set again";
    const Answer other = Ask(port, "GET", "/web/daily?p_DATE=20200101", token);
    EXPECT_EQ(other.status, 429);
    EXPECT_FALSE(other.header("Retry-After").isEmpty());
}

TEST_F(WebPages, OverTlsTheCookieIsForHttpsOnly) {
    QTemporaryDir dir;
    const QString cert = dir.filePath(QStringLiteral("cert.pem")),
                  key = dir.filePath(QStringLiteral("key.pem"));
    const kelo::test::ToolRun made = kelo::test::RunTool(
        QStringLiteral("openssl"),
        {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
         QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-subj"),
         QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-days"), QStringLiteral("1"),
         QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    ServerProcess server;
    const quint16 port =
        start(server, {QStringLiteral("--cert"), cert, QStringLiteral("--key"), key});
    ASSERT_NE(port, 0) << server.readAllStandardError().toStdString();

    const Answer signIn = Ask(port, "POST", "/web/signin", {}, Form(kManager, kPassword),
                              "application/x-www-form-urlencoded", true);
    ASSERT_EQ(signIn.status, 303);
    EXPECT_TRUE(signIn.header("Set-Cookie").contains("; Secure"));
    EXPECT_FALSE(signIn.header("Strict-Transport-Security").isEmpty());
    const QByteArray token = SignIn(port, kManager, kPassword, true);
    const Answer report = Ask(port, "GET", ReportTarget(kDaily), token, {}, {}, true);
    EXPECT_EQ(report.status, 200);
    // Plain HTTP on the TLS port gets no page.
    EXPECT_NE(Ask(port, "GET", "/web/", {}).status, 200);
}

} // namespace
