// kelo-report-server: serves the report definitions (.mrd) of one folder over HTTP, at the
// locations the viewer screens open, and the pictures (.png, .jpg, .jpeg) they place, from the
// folder and its sub-folders.
//
//   kelo-report-server [--root DIR] [--port N] [--bind ADDR] [--idle-timeout S]
//
// DIR is the folder of definitions (default: the installed ../share/kelo/reports beside
// the program's folder, else the repository's reports/, compiled in as KELO_REPORTS_DIR); a
// definition NAME.mrd is served at /REPORT/경영정보관리/NAME.mrd and the catalogue's index of
// them (common/reportcatalogue.h) at /REPORT/경영정보관리/index.json, the path raw UTF-8 or
// percent-encoded, and also in the form with backslashes around REPORT (raw or %5C). ADDR defaults
// to 127.0.0.1, N to 8080, the port of the clients' default report server (0 takes a free
// one). The first line on standard output is "listening on
// http://ADDR:PORT"; every request logs a line on standard error: method, path, status, bytes. A
// connection without a complete request for S seconds (default 15) is closed; the bounds of a
// request are those of http_server.h.
//
// Exit codes: 0 never (the server runs until it is stopped); 2 bad arguments or a root that
// is not a folder; 3 the address or port cannot be listened on.

#include "http_server.h"

#include "common/appdir.h"
#include "common/reportcatalogue.h"
#include "common/reportlocations.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <csignal>
#include <cstdio>

#ifndef KELO_REPORTS_DIR
#define KELO_REPORTS_DIR "reports"
#endif

namespace {

using kelo::http::Request;
using kelo::http::Response;

enum Exit { BadArguments = 2, CannotListen = 3 };

// The folder the definitions are served from, as the URL names it.
const QString kReportFolder = kelo::ReportServerFolder();
const QString kExtension = QStringLiteral(".mrd");

// The pictures a definition places (<image file="...">) are served from the folder and its
// sub-folders: their content type by the name, empty for any other file.
QByteArray PictureType(const QString &fileName) {
    const QString name = fileName.mid(fileName.lastIndexOf(u'/') + 1).toLower();
    if (name.endsWith(QStringLiteral(".png")) && name.size() > 4)
        return "image/png";
    if ((name.endsWith(QStringLiteral(".jpg")) && name.size() > 4) ||
        (name.endsWith(QStringLiteral(".jpeg")) && name.size() > 5))
        return "image/jpeg";
    return {};
}

// The methods HTTP defines: answered 405 with the two this server has; any other 501.
const QByteArray kKnownMethods[] = {"POST",    "PUT",   "DELETE", "CONNECT",
                                    "OPTIONS", "TRACE", "PATCH"};

Response Error(int status, const QByteArray &why) {
    Response r;
    r.status = status;
    r.body = why + '\n';
    return r;
}

class ReportServer {
public:
    explicit ReportServer(const QString &root) : root_(QFileInfo(root).canonicalFilePath()) {}

    Response Respond(const Request &request) const {
        if (request.method != "GET" && request.method != "HEAD") {
            if (std::find(std::begin(kKnownMethods), std::end(kKnownMethods), request.method) ==
                std::end(kKnownMethods))
                return Error(501, "only GET and HEAD");
            Response r = Error(405, "only GET and HEAD");
            r.headers.append(qMakePair(QByteArray("Allow"), QByteArray("GET, HEAD")));
            return r;
        }
        const QString decoded = kelo::http::DecodedPath(request.path());
        if (decoded.isEmpty())
            return Error(400, "the path is not UTF-8 text");

        // The second report server's form has backslashes around REPORT: both separators
        // are one.
        QString path = decoded;
        path.replace(u'\\', u'/');
        const QStringList segments = path.split(u'/');
        for (const QString &segment : segments)
            if (segment == u"." || segment == u"..")
                return Error(400, "the path leaves its folder");

        qsizetype start = 0;
        while (start < path.size() && path.at(start) == u'/')
            ++start;
        path = path.mid(start);
        if (!path.startsWith(kReportFolder))
            return Error(404, "no such report");
        const QString fileName = path.mid(kReportFolder.size());
        const QByteArray pictureType = PictureType(fileName);
        if (fileName.contains(u'/') && pictureType.isEmpty())
            return Error(400, "the report folder has no sub-folders");
        if (fileName == kelo::ReportIndexFile()) {
            // Read afresh each time: a definition dropped into the folder is listed at once.
            Response r;
            r.body = kelo::CatalogueIndex(root_);
            r.contentType = "application/json";
            r.headers.append(qMakePair(QByteArray("Cache-Control"), QByteArray("no-cache")));
            return r;
        }
        if (pictureType.isEmpty() &&
            (!fileName.endsWith(kExtension) || fileName.size() == kExtension.size()))
            return Error(404, "no such report");

        // Symbolic links are followed only as far as they stay in the folder.
        const QFileInfo file(QDir(root_).filePath(fileName));
        const QString real = file.canonicalFilePath();
        if (real.isEmpty() || !file.isFile())
            return Error(404, "no such report");
        if (!real.startsWith(root_ + u'/'))
            return Error(404, "no such report");
        QFile in(real);
        if (!in.open(QIODevice::ReadOnly))
            return Error(404, "no such report");
        Response r;
        r.body = in.readAll();
        r.contentType = pictureType.isEmpty() ? "application/xml; charset=utf-8" : pictureType;
        return r;
    }

private:
    QString root_;
};

// The definitions installed with the program (PREFIX/share/kelo/reports beside
// PREFIX/bin), else those of the source tree it was built from.
QString DefaultRoot() {
    const QString installed = QDir(QCoreApplication::applicationDirPath())
                                  .absoluteFilePath(QStringLiteral("../share/kelo/reports"));
    if (QFileInfo(installed).isDir())
        return QDir::cleanPath(installed);
    return QStringLiteral(KELO_REPORTS_DIR);
}

int Fail(int code, const QString &why) {
    std::fprintf(stderr, "kelo-report-server: %s\n", why.toUtf8().constData());
    return code;
}

} // namespace

int main(int argc, char **argv) {
    kelo::PrepareRuntimeDir();
    QCoreApplication app(argc, argv);
    // Scripts read the first line and may close the pipe after it: a later write to it
    // must not end the server.
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serves the report definitions of a folder at /REPORT/경영정보관리/NAME.mrd "
                       "and the pictures they place"));
    parser.addHelpOption();
    const QCommandLineOption rootOption(QStringLiteral("root"),
                                        QStringLiteral("Folder of the definitions."),
                                        QStringLiteral("DIR"), DefaultRoot());
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("Port; 0 takes a free one."), QStringLiteral("N"),
        QString::number(kelo::kDefaultReportServerPort));
    const QCommandLineOption bindOption(QStringLiteral("bind"),
                                        QStringLiteral("Address to listen on."),
                                        QStringLiteral("ADDR"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption idleOption(
        QStringLiteral("idle-timeout"),
        QStringLiteral("Seconds a connection may stay without a complete request."),
        QStringLiteral("S"), QStringLiteral("15"));
    parser.addOptions({rootOption, portOption, bindOption, idleOption});
    if (!parser.parse(app.arguments())) {
        // An option no one knows is named alone, as the other tools name it.
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return Fail(BadArguments, QStringLiteral("not understood: %1%2")
                                          .arg(unknown.front().size() == 1 ? QStringLiteral("-")
                                                                           : QStringLiteral("--"),
                                               unknown.front()));
        return Fail(BadArguments, parser.errorText());
    }
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

    const uint idle = parser.value(idleOption).toUInt(&ok);
    if (!ok || idle < 1 || idle > 3600)
        return Fail(BadArguments, QStringLiteral("%1 is not a number of seconds from 1 to 3600")
                                      .arg(parser.value(idleOption)));

    kelo::http::Limits limits;
    limits.idleMs = int(idle) * 1000;
    const ReportServer reports(root);
    kelo::http::Server server(
        limits, [&reports](const Request &request) { return reports.Respond(request); });
    if (!server.listen(address, quint16(port)))
        return Fail(
            CannotListen,
            QStringLiteral("cannot listen on %1 port %2").arg(address.toString()).arg(port));
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(address.toString())
                             : address.toString();
    std::fprintf(stdout, "listening on http://%s:%u\n", host.toUtf8().constData(),
                 unsigned(server.serverPort()));
    std::fflush(stdout);
    std::fprintf(stderr, "kelo-report-server: serving %s\n",
                 QFileInfo(root).canonicalFilePath().toUtf8().constData());
    std::fflush(stderr);
    return app.exec();
}
