#include "http_server.h"

#include <QPointer>
#include <QSslSocket>
#include <QStringDecoder>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sys/socket.h>

namespace kelo::http {

namespace {

// Answers queued for a client that does not read them: past this, no further request of the
// connection is read until they are sent.
constexpr qint64 kMaxQueued = 256 * 1024;

QByteArray ReasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 303:
        return "See Other";
    case 304:
        return "Not Modified";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 411:
        return "Length Required";
    case 413:
        return "Content Too Large";
    case 414:
        return "URI Too Long";
    case 431:
        return "Request Header Fields Too Large";
    case 501:
        return "Not Implemented";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Status";
    }
}

bool IsTokenChar(char c) {
    const uchar u = uchar(c);
    if (u <= 0x20 || u >= 0x7F)
        return false;
    return !QByteArrayView("\"(),/:;<=>?@[\\]{}").contains(c);
}

bool IsToken(QByteArrayView bytes) {
    return !bytes.isEmpty() && std::all_of(bytes.begin(), bytes.end(), IsTokenChar);
}

// Whether a comma-separated header value lists the token (any case).
bool ListsToken(const QByteArray &value, QByteArrayView token) {
    for (const QByteArray &item : value.split(','))
        if (item.trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The path for the log line: readable text when it is clean, else the bytes as they came
// with everything outside printable ASCII percent-encoded (no control byte reaches the log).
QString LogPath(const QByteArray &path) {
    constexpr qsizetype kShown = 80;
    const QString text = DecodedPath(path);
    if (!text.isEmpty() && path.size() <= 2048)
        return text;
    QByteArray shown;
    for (const char c : path.left(kShown)) {
        const uchar u = uchar(c);
        if (u > 0x20 && u < 0x7F)
            shown += c;
        else
            shown += '%' + QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
    }
    if (path.size() > kShown)
        shown += "...";
    return QString::fromLatin1(shown);
}

void Log(const QByteArray &method, const QString &path, int status, qint64 bytes) {
    std::fprintf(stderr, "%s %s %d %lld\n", method.isEmpty() ? "-" : method.constData(),
                 path.isEmpty() ? "-" : path.toUtf8().constData(), status,
                 static_cast<long long>(bytes));
    std::fflush(stderr);
}

// What reading a head gave.
struct Head {
    int status = 0; // 0: a request; else the refusal
    QByteArray why;
    Request request;
};

// The request line and header fields (without the blank line that ends them).
Head ParseHead(const QByteArray &bytes, const Limits &limits) {
    Head h;
    const auto refuse = [&h](int status, const QByteArray &why) {
        h.status = status;
        h.why = why;
        return h;
    };
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    const QList<QByteArray> parts = lines.front().split(' ');
    if (parts.size() > 0 && IsToken(parts[0]))
        h.request.method = parts[0];
    if (parts.size() > 1)
        h.request.target = parts[1];
    if (parts.size() != 3 || !IsToken(parts[0]) || parts[1].isEmpty())
        return refuse(400, "the request line is not METHOD TARGET HTTP/1.x");
    const QByteArray &version = parts[2];
    if (version.size() != 8 || !version.startsWith("HTTP/") || version[6] != '.' ||
        !std::isdigit(uchar(version[5])) || !std::isdigit(uchar(version[7])))
        return refuse(400, "the request line is not METHOD TARGET HTTP/1.x");
    if (version[5] != '1')
        return refuse(505, "only HTTP/1.0 and HTTP/1.1");
    h.request.minorVersion = version[7] - '0';
    // The absolute form of a target names the server first: keep its path and query.
    QByteArray &target = h.request.target;
    for (const char *scheme : {"http://", "https://"}) {
        if (target.size() > qsizetype(qstrlen(scheme)) &&
            target.left(qstrlen(scheme)).compare(scheme, Qt::CaseInsensitive) == 0) {
            const qsizetype slash = target.indexOf('/', qstrlen(scheme));
            target = slash < 0 ? QByteArray("/") : target.mid(slash);
        }
    }
    if (EncodedLength(target) > limits.targetBytes)
        return refuse(414, "the path is too long");
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        const qsizetype colon = line.indexOf(':');
        // No folded lines, no blank before the colon.
        if (colon <= 0 || !IsToken(QByteArrayView(line).first(colon)))
            return refuse(400, "a header field is malformed");
        h.request.headers.append({line.left(colon).toLower(), line.mid(colon + 1).trimmed()});
    }
    return h;
}

// One client connection: reads its requests one after the other and answers each.
class Connection : public QObject {
public:
    Connection(QTcpSocket *socket, Server &server)
        : QObject(socket), m_socket(socket), m_server(server), m_limits(server.limits()) {
        m_server.opened();
        m_socket->setReadBufferSize(64 * 1024);
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, [this] { m_socket->abort(); });
        connect(m_socket, &QTcpSocket::readyRead, this, [this] { process(); });
        connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
            if (m_state == State::Lingering && m_socket->bytesToWrite() == 0)
                stopSending();
            else
                process();
        });
        connect(m_socket, &QTcpSocket::disconnected, m_socket, &QObject::deleteLater);
        m_timer.start(m_limits.idleMs);
        process();
    }
    ~Connection() override { m_server.closed(); }

private:
    enum class State { Head, Body, Waiting, Closing, Lingering };

    void process() {
        if (m_state == State::Lingering) {
            drop(m_socket->bytesAvailable());
            return;
        }
        while (m_state == State::Head || m_state == State::Body) {
            if (m_socket->bytesToWrite() > kMaxQueued)
                return; // on again when the client has read some
            if (m_state == State::Head && !readHead())
                return;
            if (m_state == State::Body) {
                // The body is kept for the handler: it is within Limits::bodyBytes.
                const qint64 buffered = std::min<qint64>(m_body, m_buffer.size());
                m_request.body += m_buffer.left(buffered);
                m_buffer.remove(0, buffered);
                m_body -= buffered;
                if (m_body > 0 && m_socket->bytesAvailable() > 0) {
                    const QByteArray more =
                        m_socket->read(std::min(m_body, m_socket->bytesAvailable()));
                    m_request.body += more;
                    m_body -= more.size();
                }
                if (m_body > 0)
                    return;
                m_state = State::Head;
                dispatch();
            }
        }
    }

    // Reads the next head; false while it is incomplete or when it was refused.
    bool readHead() {
        const qsizetype room = m_limits.headBytes + 1 - m_buffer.size();
        if (room > 0 && m_socket->bytesAvailable() > 0)
            m_buffer += m_socket->read(room);
        // Blank lines before a request are allowed.
        qsizetype start = 0;
        while (start < m_buffer.size() && (m_buffer[start] == '\r' || m_buffer[start] == '\n'))
            ++start;
        m_buffer.remove(0, start);
        qsizetype end = m_buffer.indexOf("\r\n\r\n");
        qsizetype separator = 4;
        const qsizetype bare = m_buffer.indexOf("\n\n");
        if (bare >= 0 && (end < 0 || bare < end)) {
            end = bare;
            separator = 2;
        }
        if (end < 0) {
            if (m_buffer.size() > m_limits.headBytes)
                refuseOversizedHead();
            return false;
        }
        Head head = ParseHead(m_buffer.left(end), m_limits);
        m_buffer.remove(0, end + separator);
        m_request = std::move(head.request);
        m_request.peer = m_socket->peerAddress().toString();
        if (head.status != 0) {
            refuse(head.status, head.why);
            return false;
        }
        if (!m_request.header("transfer-encoding").isEmpty()) {
            refuse(411, "a body needs a Content-Length");
            return false;
        }
        const QByteArray length = m_request.header("content-length");
        m_body = 0;
        if (!length.isEmpty()) {
            bool ok = std::all_of(length.begin(), length.end(),
                                  [](char c) { return std::isdigit(uchar(c)); }) &&
                      length.size() <= 18;
            m_body = ok ? length.toLongLong(&ok) : 0;
            if (!ok) {
                refuse(400, "the Content-Length is not a number");
                return false;
            }
            if (m_body > m_limits.bodyBytes) {
                refuse(413, "the request body is too large");
                return false;
            }
        }
        m_state = State::Body;
        return true;
    }

    // A head past the cap: a request line that long has a target past its limit.
    void refuseOversizedHead() {
        const qsizetype lineEnd = m_buffer.indexOf('\n');
        const QByteArray line = m_buffer.left(lineEnd < 0 ? m_buffer.size() : lineEnd);
        const QList<QByteArray> parts = line.split(' ');
        m_request = Request();
        if (IsToken(parts.front()))
            m_request.method = parts.front();
        if (parts.size() > 1)
            m_request.target = parts[1];
        if (lineEnd < 0 && parts.size() > 1)
            refuse(414, "the path is too long");
        else if (lineEnd < 0)
            refuse(400, "no request line");
        else
            refuse(431, "the request head is too large");
    }

    void dispatch() {
        if (!m_server.deferredHandler()) {
            answer(m_server.handler()(m_request));
            return;
        }
        // Nothing more is read, and the idle time stops, until the answer is given.
        m_state = State::Waiting;
        m_timer.stop();
        QPointer<Connection> self(this);
        m_server.deferredHandler()(m_request, [self](const Response &response) {
            if (self && self->m_state == State::Waiting)
                self->answered(response);
        });
    }

    void answered(const Response &response) {
        m_state = State::Head;
        answer(response);
        if (m_state == State::Head)
            process(); // a request the client sent meanwhile
    }

    void answer(const Response &response) {
        const bool http10 = m_request.minorVersion == 0;
        const QByteArray connection = m_request.header("connection");
        const bool close =
            ListsToken(connection, "close") || (http10 && !ListsToken(connection, "keep-alive"));
        QList<QPair<QByteArray, QByteArray>> fields = response.headers;
        if (close)
            fields.append(qMakePair(QByteArray("Connection"), QByteArray("close")));
        else if (http10)
            fields.append(qMakePair(QByteArray("Connection"), QByteArray("keep-alive")));
        write(response, fields);
        if (close) {
            m_state = State::Closing;
            m_buffer.clear();
            m_socket->disconnectFromHost(); // once the answer is sent
        } else {
            m_timer.start(m_limits.idleMs);
        }
    }

    // Answers a request whose framing cannot be trusted and closes the connection.
    void refuse(int status, const QByteArray &why) {
        Response response;
        response.status = status;
        response.body = why + '\n';
        write(response, {{"Connection", "close"}});
        m_state = State::Lingering;
        m_buffer.clear();
        m_buffer.squeeze();
        m_timer.start(m_limits.lingerMs);
        if (m_socket->bytesToWrite() == 0)
            stopSending();
        drop(m_socket->bytesAvailable());
    }

    void write(const Response &response, const QList<QPair<QByteArray, QByteArray>> &fields) {
        const bool head = m_request.method == "HEAD";
        QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                         ReasonPhrase(response.status) +
                         "\r\nContent-Type: " + response.contentType +
                         "\r\nContent-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        for (const auto &[name, value] : fields)
            out += name + ": " + value + "\r\n";
        out += "\r\n";
        // The body is left out for HEAD, but its length is announced all the same.
        if (!head)
            out += response.body;
        m_socket->write(out);
        Log(m_request.method, LogPath(m_request.path()), response.status,
            head ? 0 : response.body.size());
    }

    // The answer is out: no more from this side; the client's further bytes are dropped
    // until it closes or the linger time is over.
    void stopSending() {
        // Over TLS the connection's end is the TLS layer's: it closes once the answer is out.
        if (qobject_cast<QSslSocket *>(m_socket)) {
            if (!m_halfClosed)
                m_socket->disconnectFromHost();
            m_halfClosed = true;
            return;
        }
        if (!m_halfClosed && m_socket->socketDescriptor() >= 0)
            ::shutdown(int(m_socket->socketDescriptor()), SHUT_WR);
        m_halfClosed = true;
    }

    qint64 drop(qint64 bytes) {
        char scratch[16384];
        qint64 dropped = 0;
        while (dropped < bytes) {
            const qint64 n =
                m_socket->read(scratch, std::min<qint64>(sizeof scratch, bytes - dropped));
            if (n <= 0)
                break;
            dropped += n;
        }
        return dropped;
    }

    QTcpSocket *m_socket;
    Server &m_server;
    const Limits &m_limits;
    QTimer m_timer; // idle, then linger
    State m_state = State::Head;
    QByteArray m_buffer; // the head being read; at most headBytes + 1
    qint64 m_body = 0;   // bytes of the current body still to drop
    Request m_request;
    bool m_halfClosed = false;
};

} // namespace

QByteArray Request::header(const QByteArray &lowerName) const {
    QByteArray value;
    for (const auto &[name, v] : headers)
        if (name == lowerName)
            value += (value.isEmpty() ? QByteArray() : QByteArray(", ")) + v;
    return value;
}

QByteArray Request::path() const {
    const qsizetype query = target.indexOf('?');
    return query < 0 ? target : target.left(query);
}

QString DecodedPath(const QByteArray &path) {
    const QByteArray bytes = QByteArray::fromPercentEncoding(path);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        return {};
    for (QChar c : text)
        if (c.category() == QChar::Other_Control)
            return {};
    return text;
}

qsizetype EncodedLength(const QByteArray &target) {
    qsizetype length = 0;
    for (const char c : target)
        length += uchar(c) > 0x20 && uchar(c) < 0x7F ? 1 : 3;
    return length;
}

Server::Server(const Limits &limits, Handler handler, QObject *parent)
    : QTcpServer(parent), m_limits(limits), m_handler(std::move(handler)) {}

Server::~Server() {
    // The connections count themselves out here, while the server is whole.
    qDeleteAll(findChildren<QTcpSocket *>(Qt::FindDirectChildrenOnly));
}

void Server::incomingConnection(qintptr descriptor) {
    QTcpSocket *socket = nullptr;
    if (m_useTls) {
        auto *tls = new QSslSocket(this);
        tls->setSslConfiguration(m_tls);
        socket = tls;
    } else {
        socket = new QTcpSocket(this);
    }
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    if (m_open >= m_limits.connections) {
        std::fprintf(stderr, "kelo-report-server: %d connections open, one more closed\n", m_open);
        std::fflush(stderr);
        socket->abort();
        socket->deleteLater();
        return;
    }
    if (auto *tls = qobject_cast<QSslSocket *>(socket)) {
        // A client that fails the handshake is closed; its reason goes to the log.
        connect(tls, &QSslSocket::sslErrors, tls, [tls](const QList<QSslError> &errors) {
            std::fprintf(stderr, "kelo-report-server: TLS: %s\n",
                         errors.isEmpty() ? "handshake failed"
                                          : errors.front().errorString().toUtf8().constData());
            std::fflush(stderr);
            tls->abort();
        });
        tls->startServerEncryption();
    }
    new Connection(socket, *this);
}

} // namespace kelo::http
