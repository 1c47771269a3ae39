// kelo-report-server: serves the report definitions (.mrd) of one folder over HTTP, at the
// locations the viewer screens open, and the pictures (.png, .jpg, .jpeg) they place, from the
// folder and its sub-folders.
//
//   kelo-report-server [--root DIR] [--port N] [--bind ADDR] [--idle-timeout S]
//                      [--database ALIAS [--app-dir DIR] [--project ID] [--workers N]
//                       [--session-idle S] [--session-check S] [--cert FILE --key FILE]
//                       [--secure-cookie]]
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
// request are those of web/http_server.h.
//
// With --database (an alias of Databases.ini, or a SQLite file) it also serves the reports as
// web pages at /web/ (web/webapp.h, docs/web.md): employees sign in with the password
// kelo-db set-password gave them and see the reports their permissions in the project ID
// (default KELO_S) open, run by N worker threads (default 2); a session ends after S seconds
// without a request (default 1800) and after 12 hours in any case; every S seconds of
// --session-check (default 60) a session's employee, password and permissions are read again
// (a password taken away or set anew, or an employee out of service, ends it). --cert and --key
// (PEM) serve everything over TLS; --secure-cookie marks the session cookie for HTTPS only when a
// reverse proxy speaks TLS in front of the server (implied by --cert).
//
// Exit codes: 0 never (the server runs until it is stopped); 2 bad arguments or a root that
// is not a folder; 3 the address or port cannot be listened on; 4 the database cannot be
// opened or its schema is not this release's; 5 the certificate or key cannot be read.

#include "common/appdir.h"
#include "common/fonts.h"
#include "common/reportcatalogue.h"
#include "common/reportlocations.h"
#include "database/schema.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "tools/targets.h"
#include "web/http_server.h"
#include "web/webapp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSslCertificate>
#include <QSslKey>

#include <algorithm>
#include <csignal>
#include <cstdio>

#ifndef KELO_REPORTS_DIR
#define KELO_REPORTS_DIR "reports"
#endif

namespace {

using kelo::http::Request;
using kelo::http::Response;

enum Exit { BadArguments = 2, CannotListen = 3, DatabaseError = 4, TlsError = 5 };

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

// Whether the arguments ask for the web pages (which lay out and draw pages, so need the GUI
// side of Qt).
bool WantsWeb(int argc, char **argv) {
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "--database" || QByteArray(argv[i]).startsWith("--database="))
            return true;
    return false;
}

} // namespace

int main(int argc, char **argv) {
    kelo::PrepareRuntimeDir();
    const bool web = WantsWeb(argc, argv);
    // The pages are drawn off screen: no display is needed or used.
    if (web)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The daily set is laid out by the printed reports' screens: widgets, never shown.
    std::unique_ptr<QCoreApplication> application =
        web ? std::make_unique<QApplication>(argc, argv)
            : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication &app = *application;
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
    const QCommandLineOption databaseOption(
        QStringLiteral("database"),
        QStringLiteral("Serve the reports as web pages at /web/ from this database (an alias of "
                       "Databases.ini or a SQLite file)."),
        QStringLiteral("ALIAS"));
    const QCommandLineOption appDirOption(QStringLiteral("app-dir"),
                                          QStringLiteral("Where Databases.ini and Kelo_S.ini are."),
                                          QStringLiteral("DIR"));
    const QCommandLineOption projectOption(QStringLiteral("project"),
                                           QStringLiteral("The project of the permissions."),
                                           QStringLiteral("ID"), QStringLiteral("KELO_S"));
    const QCommandLineOption workersOption(QStringLiteral("workers"),
                                           QStringLiteral("Threads running reports (1 to 16)."),
                                           QStringLiteral("N"), QStringLiteral("2"));
    const QCommandLineOption sessionIdleOption(
        QStringLiteral("session-idle"),
        QStringLiteral("Seconds a web session lasts without a request (1 to 86400)."),
        QStringLiteral("S"), QStringLiteral("1800"));
    const QCommandLineOption sessionCheckOption(
        QStringLiteral("session-check"),
        QStringLiteral("Seconds between the readings of a session's employee and permissions "
                       "(0 to 3600; 0: at every request)."),
        QStringLiteral("S"), QStringLiteral("60"));
    const QCommandLineOption certOption(QStringLiteral("cert"),
                                        QStringLiteral("Certificate (PEM) for TLS."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption keyOption(QStringLiteral("key"),
                                       QStringLiteral("Private key (PEM) for TLS."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption secureCookieOption(
        QStringLiteral("secure-cookie"),
        QStringLiteral("The session cookie only over HTTPS (behind a TLS proxy)."));
    parser.addOptions({rootOption, portOption, bindOption, idleOption, databaseOption, appDirOption,
                       projectOption, workersOption, sessionIdleOption, sessionCheckOption,
                       certOption, keyOption, secureCookieOption});
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

    // A whole number of an option within its bounds; -1 (and the reason said) otherwise.
    const auto bounded = [&parser](const QCommandLineOption &option, int low, int high,
                                   const QString &what) {
        bool whole = false;
        const int value = parser.value(option).toInt(&whole);
        if (whole && value >= low && value <= high)
            return value;
        Fail(BadArguments, QStringLiteral("%1 is not a number of %2 from %3 to %4")
                               .arg(parser.value(option), what)
                               .arg(low)
                               .arg(high));
        return -1;
    };
    const QString seconds = QStringLiteral("seconds");
    const int idle = bounded(idleOption, 1, 3600, seconds);
    if (idle < 0)
        return BadArguments;

    if (parser.isSet(certOption) != parser.isSet(keyOption))
        return Fail(BadArguments, QStringLiteral("--cert and --key go together"));
    const int workers = bounded(workersOption, 1, 16, QStringLiteral("workers"));
    if (workers < 0)
        return BadArguments;
    const int sessionIdle = bounded(sessionIdleOption, 1, 86400, seconds);
    if (sessionIdle < 0)
        return BadArguments;
    const int sessionCheck = bounded(sessionCheckOption, 0, 3600, seconds);
    if (sessionCheck < 0)
        return BadArguments;
    if (!web && (parser.isSet(appDirOption) || parser.isSet(projectOption) ||
                 parser.isSet(workersOption) || parser.isSet(sessionIdleOption) ||
                 parser.isSet(sessionCheckOption) || parser.isSet(secureCookieOption)))
        return Fail(BadArguments, QStringLiteral("--app-dir, --project, --workers, "
                                                 "--session-idle, --session-check and "
                                                 "--secure-cookie go with --database"));

    kelo::http::Limits limits;
    limits.idleMs = int(idle) * 1000;
    const ReportServer reports(root);
    kelo::http::Server server(
        limits, [&reports](const Request &request) { return reports.Respond(request); });

    if (parser.isSet(certOption)) {
        QFile certFile(parser.value(certOption)), keyFile(parser.value(keyOption));
        if (!certFile.open(QIODevice::ReadOnly))
            return Fail(TlsError, QStringLiteral("cannot read the certificate %1: %2")
                                      .arg(certFile.fileName(), certFile.errorString()));
        if (!keyFile.open(QIODevice::ReadOnly))
            return Fail(TlsError, QStringLiteral("cannot read the key %1: %2")
                                      .arg(keyFile.fileName(), keyFile.errorString()));
        const QList<QSslCertificate> chain = QSslCertificate::fromDevice(&certFile, QSsl::Pem);
        const QByteArray keyBytes = keyFile.readAll();
        QSslKey key(keyBytes, QSsl::Rsa, QSsl::Pem);
        if (key.isNull())
            key = QSslKey(keyBytes, QSsl::Ec, QSsl::Pem);
        if (chain.isEmpty())
            return Fail(TlsError,
                        QStringLiteral("%1 holds no PEM certificate").arg(certFile.fileName()));
        if (key.isNull())
            return Fail(TlsError, QStringLiteral("%1 holds no PEM private key (RSA or EC, not "
                                                 "encrypted)")
                                      .arg(keyFile.fileName()));
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificateChain(chain);
        tls.setPrivateKey(key);
        tls.setPeerVerifyMode(QSslSocket::VerifyNone);
        server.setTls(tls);
    }

    std::unique_ptr<kelo::web::WebApp> webApp;
    if (web) {
        if (parser.isSet(appDirOption))
            kelo::SetAppDir(parser.value(appDirOption));
        kelo::InstallFontSubstitutions();
        // The server functions and procedures every connection of the workers gets.
        kelo::database::Install();
        kelo::web::WebOptions options;
        options.root = QFileInfo(root).canonicalFilePath();
        options.connection = kelo::tools::TargetParams(parser.value(databaseOption));
        options.projectId = parser.value(projectOption);
        options.workers = workers;
        options.idleSeconds = sessionIdle;
        options.checkSeconds = sessionCheck;
        options.secureCookie = parser.isSet(secureCookieOption) || server.usesTls();
        try {
            kelo::db::Connection check;
            check.setParams(options.connection);
            check.open();
            kelo::database::CheckSchema(check, kelo::database::OlderSchema::Refuse);
        } catch (const kelo::db::DbError &e) {
            return Fail(DatabaseError, QStringLiteral("the database %1: %2")
                                           .arg(parser.value(databaseOption), e.message()));
        } catch (const std::exception &e) {
            return Fail(DatabaseError,
                        QStringLiteral("the database %1: %2")
                            .arg(parser.value(databaseOption), QString::fromUtf8(e.what())));
        }
        webApp = std::make_unique<kelo::web::WebApp>(options);
        server.setDeferredHandler(
            [&reports, &webApp](const Request &request, const kelo::http::Server::Reply &reply) {
                if (kelo::web::WebApp::Handles(request))
                    webApp->handle(request, reply);
                else
                    reply(reports.Respond(request));
            });
    }
    if (!server.listen(address, quint16(port)))
        return Fail(
            CannotListen,
            QStringLiteral("cannot listen on %1 port %2").arg(address.toString()).arg(port));
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(address.toString())
                             : address.toString();
    std::fprintf(stdout, "listening on %s://%s:%u\n", server.usesTls() ? "https" : "http",
                 host.toUtf8().constData(), unsigned(server.serverPort()));
    std::fflush(stdout);
    std::fprintf(stderr, "kelo-report-server: serving %s\n",
                 QFileInfo(root).canonicalFilePath().toUtf8().constData());
    std::fflush(stderr);
    return app.exec();
}
