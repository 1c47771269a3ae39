#pragma once
// The HTTP/1.1 side of kelo-report-server: reads requests from the network within fixed
// bounds and writes the answers a handler gives. It serves small files and the small forms of
// the web pages, so it keeps only what it must:
//
// - a request's head is read up to Limits::headBytes (431 past it; 414 when the request
//   line alone is that long or its target is past Limits::targetBytes), a body up to
//   Limits::bodyBytes (413 past it, told by Content-Length before any of it is read; 411 for a
//   body in a transfer coding), handed to the handler with the request;
// - nothing is buffered beyond those caps: the socket's own buffer is capped as well, so a
//   client that sends more waits on the network;
// - a connection stays open for the next request unless the client asks to close it
//   (Connection: close) or speaks HTTP/1.0 without asking to keep it (Connection:
//   keep-alive); a connection without a complete request for Limits::idleMs is closed;
// - after an answer that refuses the request's framing (400, 411, 413, 414, 431, 505) the
//   connection is closed: the server stops sending, reads and drops what the client still
//   sends for a short while, so that the client sees the answer and not a reset;
// - a handler may answer later (Server::setDeferredHandler): the connection reads nothing
//   more and its idle time does not run until the answer is given;
// - with a certificate and key (Server::setTls) every connection speaks TLS;
// - every answer logs one line on standard error: method (as sent), path (decoded when it is
//   clean UTF-8 text, else with every byte outside printable ASCII percent-encoded), status,
//   bytes of the body.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QSslConfiguration>
#include <QString>
#include <QTcpServer>

#include <functional>

namespace kelo::http {

struct Limits {
    qsizetype headBytes = 16 * 1024; // request line and header fields
    qsizetype targetBytes = 2048;    // the request target, percent-encoded
    qint64 bodyBytes = 64 * 1024;    // a request body, read and dropped
    int idleMs = 15000;              // a connection without a complete request
    int lingerMs = 2000;             // reading what a refused client still sends
    int connections = 512;           // open at once; more are closed at once
};

struct Request {
    QByteArray method;    // as sent (a token)
    QByteArray target;    // as sent, the absolute form reduced to its path and query
    int minorVersion = 1; // HTTP/1.x
    QList<QPair<QByteArray, QByteArray>> headers; // names in lower case, values trimmed
    QByteArray body;                              // at most Limits::bodyBytes
    QString peer;                                 // the client's address

    // The value of a header field (the values of repeated fields joined by ", ").
    QByteArray header(const QByteArray &lowerName) const;
    // The target's path, without the query.
    QByteArray path() const;
};

struct Response {
    int status = 200;
    QByteArray contentType = "text/plain; charset=utf-8";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers; // further header fields
    void add(const QByteArray &name, const QByteArray &value) {
        headers.append(qMakePair(name, value));
    }
};

// The percent-decoded path as text; empty when its bytes (raw or percent-encoded) are not
// UTF-8 or hold control characters (NUL included).
QString DecodedPath(const QByteArray &path);
// The length of a target when every byte outside printable ASCII is percent-encoded.
qsizetype EncodedLength(const QByteArray &target);

class Server : public QTcpServer {
public:
    using Handler = std::function<Response(const Request &)>;
    // Answers through reply, now or later, on the server's thread; a reply for a client that
    // has gone meanwhile is dropped.
    using Reply = std::function<void(const Response &)>;
    using DeferredHandler = std::function<void(const Request &, Reply reply)>;

    Server(const Limits &limits, Handler handler, QObject *parent = nullptr);
    ~Server() override;

    const Limits &limits() const { return m_limits; }
    const Handler &handler() const { return m_handler; }
    // Takes the place of the handler given at construction.
    void setDeferredHandler(DeferredHandler handler) { m_deferred = std::move(handler); }
    const DeferredHandler &deferredHandler() const { return m_deferred; }
    // Every connection from now on speaks TLS with this configuration (certificate and key).
    void setTls(const QSslConfiguration &configuration) {
        m_tls = configuration;
        m_useTls = true;
    }
    bool usesTls() const { return m_useTls; }

    // Called by connections as they open and close.
    void opened() { ++m_open; }
    void closed() { --m_open; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    Limits m_limits;
    Handler m_handler;
    DeferredHandler m_deferred;
    QSslConfiguration m_tls;
    bool m_useTls = false;
    int m_open = 0;
};

} // namespace kelo::http
