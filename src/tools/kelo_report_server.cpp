// kelo-report-server: serves the report definitions (.mrd) of one folder over HTTP, at the
// locations the viewer screens open.
//
//   kelo-report-server [--root DIR] [--port N] [--bind ADDR]
//
// DIR is the folder of definitions (default: the repository's reports/, compiled in as
// KELO_REPORTS_DIR); a definition NAME.mrd is served at /REPORT/경영정보관리/NAME.mrd, the
// path raw UTF-8 or percent-encoded, and also in the form with backslashes around REPORT
// (raw or %5C). ADDR defaults to 127.0.0.1, N to 0 (a free port). The first line on standard
// output is "listening on http://ADDR:PORT"; every request logs a line on standard error:
// method, path, status, bytes.
//
// Exit codes: 0 never (the server runs until it is stopped); 2 bad arguments or a root that
// is not a folder; 3 the address or port cannot be listened on.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTcpSocket>
#include <QtHttpServer/QAbstractHttpServer>
#include <QtHttpServer/QHttpServerRequest>
#include <QtHttpServer/QHttpServerResponder>

#include <csignal>
#include <cstdio>

#ifndef KELO_REPORTS_DIR
#define KELO_REPORTS_DIR "reports"
#endif

namespace {

using Status = QHttpServerResponder::StatusCode;

enum Exit { BadArguments = 2, CannotListen = 3 };

// The folder the definitions are served from, as the URL names it.
const QString kReportFolder = QStringLiteral("REPORT/경영정보관리/");
const QString kExtension = QStringLiteral(".mrd");

// The longest request target (path and query, percent-encoded) that is read at all. Report
// names are short; anything much longer is a mistake or an attack.
constexpr qsizetype kMaxTarget = 2048;

struct Answer {
    Status status = Status::Ok;
    QByteArray body;
    QByteArray contentType = "text/plain; charset=utf-8";
    QString shownPath; // the path for the log line
};

Answer Error(Status status, const QByteArray &why) {
    Answer a;
    a.status = status;
    a.body = why + '\n';
    return a;
}

// The percent-decoded path as text; empty when the bytes are not UTF-8 or hold control
// characters (NUL included).
QString DecodedPath(const QByteArray &encoded) {
    const QByteArray bytes = QByteArray::fromPercentEncoding(encoded);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        return {};
    for (QChar c : text)
        if (c.category() == QChar::Other_Control)
            return {};
    return text;
}

class ReportServer : public QAbstractHttpServer {
public:
    explicit ReportServer(const QString &root) : root_(QFileInfo(root).canonicalFilePath()) {}

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override {
        const bool head = request.method() == QHttpServerRequest::Method::Head;
        Answer a = Respond(request);
        QHttpServerResponder responder = makeResponder(request, socket);
        responder.writeStatusLine(a.status);
        responder.writeHeader("Content-Type", a.contentType);
        responder.writeHeader("Content-Length", QByteArray::number(a.body.size()));
        if (a.status == Status::MethodNotAllowed)
            responder.writeHeader("Allow", "GET, HEAD");
        // The body is empty for HEAD, but its length is announced all the same.
        responder.writeBody(head ? QByteArray() : a.body);

        const QByteArray method = MethodName(request.method());
        std::fprintf(stderr, "%s %s %d %lld\n", method.constData(),
                     a.shownPath.toUtf8().constData(), int(a.status),
                     static_cast<long long>(head ? 0 : a.body.size()));
        std::fflush(stderr);
        return true;
    }

    void missingHandler(const QHttpServerRequest &, QTcpSocket *) override {}

private:
    static QByteArray MethodName(QHttpServerRequest::Method method) {
        switch (method) {
        case QHttpServerRequest::Method::Get:
            return "GET";
        case QHttpServerRequest::Method::Head:
            return "HEAD";
        case QHttpServerRequest::Method::Post:
            return "POST";
        case QHttpServerRequest::Method::Put:
            return "PUT";
        case QHttpServerRequest::Method::Delete:
            return "DELETE";
        case QHttpServerRequest::Method::Options:
            return "OPTIONS";
        case QHttpServerRequest::Method::Patch:
            return "PATCH";
        case QHttpServerRequest::Method::Connect:
            return "CONNECT";
        case QHttpServerRequest::Method::Trace:
            return "TRACE";
        default:
            return "?";
        }
    }

    Answer Respond(const QHttpServerRequest &request) const {
        const QUrl url = request.url();
        const QByteArray encoded = url.path(QUrl::FullyEncoded).toLatin1();
        const qsizetype targetLength = encoded.size() + url.query(QUrl::FullyEncoded).size();
        const QString path = DecodedPath(encoded);
        Answer a = Resolve(request, path, targetLength);
        // The log shows the readable path; a path that is not clean text stays encoded.
        a.shownPath = targetLength > kMaxTarget ? QString::fromLatin1(encoded.left(80)) + "..."
                      : path.isEmpty()          ? QString::fromLatin1(encoded)
                                                : path;
        return a;
    }

    Answer Resolve(const QHttpServerRequest &request, const QString &decoded,
                   qsizetype targetLength) const {
        const auto method = request.method();
        if (method != QHttpServerRequest::Method::Get && method != QHttpServerRequest::Method::Head)
            return Error(Status::MethodNotAllowed, "only GET and HEAD");
        if (targetLength > kMaxTarget)
            return Error(Status::UriTooLong, "the path is too long");
        if (decoded.isEmpty())
            return Error(Status::BadRequest, "the path is not UTF-8 text");

        // The second report server's form has backslashes around REPORT: both separators
        // are one.
        QString path = decoded;
        path.replace(u'\\', u'/');
        const QStringList segments = path.split(u'/');
        for (const QString &segment : segments)
            if (segment == u"." || segment == u"..")
                return Error(Status::BadRequest, "the path leaves its folder");

        qsizetype start = 0;
        while (start < path.size() && path.at(start) == u'/')
            ++start;
        path = path.mid(start);
        if (!path.startsWith(kReportFolder))
            return Error(Status::NotFound, "no such report");
        const QString fileName = path.mid(kReportFolder.size());
        if (fileName.contains(u'/'))
            return Error(Status::BadRequest, "the report folder has no sub-folders");
        if (!fileName.endsWith(kExtension) || fileName.size() == kExtension.size())
            return Error(Status::NotFound, "no such report");

        // Symbolic links are followed only as far as they stay in the folder.
        const QFileInfo file(QDir(root_).filePath(fileName));
        const QString real = file.canonicalFilePath();
        if (real.isEmpty() || !file.isFile())
            return Error(Status::NotFound, "no such report");
        if (!real.startsWith(root_ + u'/'))
            return Error(Status::NotFound, "no such report");
        QFile in(real);
        if (!in.open(QIODevice::ReadOnly))
            return Error(Status::NotFound, "no such report");
        Answer a;
        a.body = in.readAll();
        a.contentType = "application/xml; charset=utf-8";
        return a;
    }

    QString root_;
};

int Fail(int code, const QString &why) {
    std::fprintf(stderr, "kelo-report-server: %s\n", why.toUtf8().constData());
    return code;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    // Scripts read the first line and may close the pipe after it: a later write to it
    // must not end the server.
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves the report definitions of a folder at /REPORT/경영정보관리/NAME.mrd"));
    parser.addHelpOption();
    const QCommandLineOption rootOption(QStringLiteral("root"),
                                        QStringLiteral("Folder of the definitions."),
                                        QStringLiteral("DIR"), QStringLiteral(KELO_REPORTS_DIR));
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port; 0 takes a free one."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption bindOption(QStringLiteral("bind"),
                                        QStringLiteral("Address to listen on."),
                                        QStringLiteral("ADDR"), QStringLiteral("127.0.0.1"));
    parser.addOptions({rootOption, portOption, bindOption});
    if (!parser.parse(app.arguments()))
        return Fail(BadArguments, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(parser.helpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return Fail(
            BadArguments,
            QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().front()));

    const QString root = parser.value(rootOption);
    if (!QFileInfo(root).isDir())
        return Fail(BadArguments, QStringLiteral("the report folder %1 does not exist or is "
                                                 "not a folder")
                                      .arg(QDir(root).absolutePath()));
    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!ok || port > 65535)
        return Fail(BadArguments,
                    QStringLiteral("%1 is not a port number").arg(parser.value(portOption)));
    const QHostAddress address(parser.value(bindOption));
    if (address.isNull())
        return Fail(BadArguments,
                    QStringLiteral("%1 is not an IP address").arg(parser.value(bindOption)));

    ReportServer server(root);
    const quint16 listening = server.listen(address, quint16(port));
    if (listening == 0)
        return Fail(
            CannotListen,
            QStringLiteral("cannot listen on %1 port %2").arg(address.toString()).arg(port));
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(address.toString())
                             : address.toString();
    std::fprintf(stdout, "listening on http://%s:%u\n", host.toUtf8().constData(),
                 unsigned(listening));
    std::fflush(stdout);
    std::fprintf(stderr, "kelo-report-server: serving %s\n",
                 QFileInfo(root).canonicalFilePath().toUtf8().constData());
    std::fflush(stderr);
    return app.exec();
}
