#include "web/webapp.h"

#include "common/clock.h"
#include "common/reportcatalogue.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "framework/permissions.h"
#include "report/render.h"
#include "report/sheet.h"
#include "screens/reports/reports.h"
#include "viewer/execution.h"
#include "viewer/folderreport.h"
#include "viewer/params.h"
#include "web/pages.h"
#include "web/passwords.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <mutex>

namespace kelo::web {

using http::Request;
using http::Response;

namespace {

const QByteArray kCookie = "kelo_session";
const QString kCatalogueProgram = QStringLiteral("SRS900");
// The report output screen, whose employees print the daily report set.
const QString kDailySetProgram = QStringLiteral("SRS010");
constexpr int kDailySetKeptSeconds = 60;

// The connection of the worker thread running a job, opened on first use and again after a
// failure closed it.
thread_local std::unique_ptr<db::Connection> tWorkerConnection;

db::Connection &WorkerConnection(const QStringList &params) {
    if (!tWorkerConnection || !tWorkerConnection->isOpen()) {
        tWorkerConnection = std::make_unique<db::Connection>();
        tWorkerConnection->setParams(params);
        tWorkerConnection->open();
    }
    return *tWorkerConnection;
}

// The catalogue's entries of the folder, read again when older than a few seconds (a
// definition dropped into the folder is listed almost at once).
std::vector<CatalogueEntry> Catalogue(const QString &root) {
    static std::mutex mutex;
    static std::vector<CatalogueEntry> entries;
    static QDateTime read;
    static QString readRoot;
    std::lock_guard lock(mutex);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (readRoot != root || !read.isValid() || read.msecsTo(now) > 3000) {
        QString error;
        entries = ReadCatalogueIndex(CatalogueIndex(root), &error);
        read = now;
        readRoot = root;
    }
    return entries;
}

// The catalogue's rule: a report that names programs opens for those permitted one of them;
// one that names none for those permitted the catalogue itself.
bool MayOpenHere(const CatalogueEntry &entry, const QSet<QString> &permitted) {
    if (entry.programs.isEmpty())
        return permitted.contains(kCatalogueProgram);
    return MayOpen(entry, permitted);
}

Response Html(int status, const QByteArray &body) {
    Response r;
    r.status = status;
    r.contentType = "text/html; charset=utf-8";
    r.body = body;
    return r;
}

Response Redirect(const QByteArray &location) {
    Response r;
    r.status = 303;
    r.body = "see " + location + '\n';
    r.add("Location", location);
    return r;
}

Response Plain(int status, const QString &text) {
    Response r;
    r.status = status;
    r.body = text.toUtf8() + '\n';
    return r;
}

// The fields of a query or of a form body (application/x-www-form-urlencoded); nothing and
// ok false when a name comes twice or a value is not UTF-8 text.
struct Fields {
    QHash<QString, QString> values;
    bool ok = true;
};

Fields ReadFields(const QByteArray &encoded) {
    Fields f;
    if (encoded.isEmpty())
        return f;
    for (const QByteArray &pair : encoded.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype eq = pair.indexOf('=');
        QByteArray name = eq < 0 ? pair : pair.left(eq);
        QByteArray value = eq < 0 ? QByteArray() : pair.mid(eq + 1);
        name.replace('+', ' ');
        value.replace('+', ' ');
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString n = utf8(QByteArray::fromPercentEncoding(name));
        const QString v = utf8(QByteArray::fromPercentEncoding(value));
        if (utf8.hasError() || f.values.contains(n)) {
            f.ok = false;
            return f;
        }
        f.values.insert(n, v);
    }
    return f;
}

Fields QueryFields(const Request &request) {
    const qsizetype q = request.target.indexOf('?');
    return ReadFields(q < 0 ? QByteArray() : request.target.mid(q + 1));
}

// The session tokens a request's cookies carry, in order (several Cookie lines arrive joined
// by ", ").
QStringList CookieTokens(const Request &request) {
    QStringList tokens;
    QByteArray cookies = request.header("cookie");
    cookies.replace(',', ';');
    for (const QByteArray &part : cookies.split(';')) {
        const QByteArray item = part.trimmed();
        if (item.startsWith(kCookie + '=') && item.size() <= kCookie.size() + 1 + 64)
            tokens << QString::fromLatin1(item.mid(kCookie.size() + 1));
    }
    return tokens;
}

// An employee number as the sign-in takes it: letters and digits, at most 20.
bool IsEmployeeNumber(const QString &text) {
    return !text.isEmpty() && text.size() <= 20 &&
           std::all_of(text.begin(), text.end(), [](QChar c) {
               return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') ||
                      (c >= u'a' && c <= u'z');
           });
}

// Sign-ins being checked at once, over all numbers and addresses: more wait their turn
// outside, so that guessing never crowds out the reports.
constexpr int kSignInsAtOnce = 8;
// How often one session may have a daily set made (one not made within the minute).
constexpr int kDailySetEverySeconds = 5;

// What every answer of the web pages carries: never kept by a shared cache, never framed,
// no scripts, nothing fetched from elsewhere.
void Harden(Response &r, bool tls) {
    const auto has = [&r](const QByteArray &name) {
        return std::any_of(r.headers.begin(), r.headers.end(),
                           [&](const auto &h) { return h.first == name; });
    };
    if (!has("Cache-Control"))
        r.add("Cache-Control", "no-store");
    r.add("X-Content-Type-Options", "nosniff");
    r.add("X-Frame-Options", "DENY");
    r.add("Referrer-Policy", "no-referrer");
    r.add("Content-Security-Policy", "default-src 'none'; img-src 'self'; style-src 'self'; "
                                     "form-action 'self'; frame-ancestors 'none'; base-uri 'none'");
    if (tls)
        r.add("Strict-Transport-Security", "max-age=31536000");
}

// The session's report a request names (doc=), null when it has none of that id.
std::shared_ptr<ShownReport> ShownOf(const Fields &query, const Session &session) {
    return session.report(query.values.value(QStringLiteral("doc")));
}

QString TypeName(viewer::ParamType type) {
    switch (type) {
    case viewer::ParamType::Date:
        return QStringLiteral("date");
    case viewer::ParamType::Month:
        return QStringLiteral("month");
    case viewer::ParamType::Number:
        return QStringLiteral("number");
    case viewer::ParamType::Text:
        break;
    }
    return QStringLiteral("text");
}

QByteArray ContentDisposition(const QString &title, const QString &extension) {
    QString name = title.isEmpty() ? QStringLiteral("report") : title;
    for (QChar &c : name)
        if (c.category() == QChar::Other_Control || QStringLiteral("\\/:*?\"<>|").contains(c))
            c = u'_';
    return "attachment; filename=\"report." + extension.toLatin1() + "\"; filename*=UTF-8''" +
           QUrl::toPercentEncoding(name + u'.' + extension);
}

} // namespace

struct WebApp::Result {
    Response response; // the answer when the work gave it whole
    bool answered = false;
    // sign-in
    bool signedIn = false;
    QString name;
    QByteArray passwordKey;
    QSet<QString> permitted;
    // the list
    std::vector<CatalogueEntry> entries;
    // a report
    ReportView view;
    std::shared_ptr<ShownReport> shown;

    static std::shared_ptr<Result> Answer(Response response) {
        auto r = std::make_shared<Result>();
        r->response = std::move(response);
        r->answered = true;
        return r;
    }
};

WebApp::WebApp(const WebOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_sessions(options.idleSeconds, options.lifeSeconds) {
    m_pool.setMaxThreadCount(std::max(1, options.workers));
    m_pool.setExpiryTimeout(-1); // the workers keep their connections
}

WebApp::~WebApp() {
    m_pool.waitForDone();
}

bool WebApp::Handles(const Request &request) {
    const QByteArray path = request.path();
    return path == "/web" || path.startsWith("/web/");
}

void WebApp::later(std::function<std::shared_ptr<Result>()> work,
                   std::function<Response(Result &)> then, const http::Server::Reply &reply) {
    if (m_pending >= m_options.queued) {
        Response r = Plain(503, QStringLiteral("보고서를 만드는 일이 밀려 있습니다. 잠시 후 다시 "
                                               "하십시오."));
        r.add("Retry-After", "5");
        Harden(r, m_options.secureCookie);
        reply(r);
        return;
    }
    ++m_pending;
    const QStringList params = m_options.connection;
    m_pool.start([this, work = std::move(work), then = std::move(then), reply, params] {
        std::shared_ptr<Result> result;
        try {
            WorkerConnection(params);
            result = work();
        } catch (const db::DbError &e) {
            // The next job opens the connection again (the database may be back by then).
            tWorkerConnection.reset();
            result = Result::Answer(Html(
                503,
                MessagePage(nullptr, QStringLiteral("데이터베이스 오류"),
                            QStringLiteral("데이터베이스와 연결할 수 없습니다: ") + e.message())));
        } catch (const std::exception &e) {
            result = Result::Answer(Html(
                500, MessagePage(nullptr, QStringLiteral("오류"), QString::fromUtf8(e.what()))));
        }
        QMetaObject::invokeMethod(
            this,
            [this, result, then, reply] {
                --m_pending;
                Response response = result->answered ? result->response : then(*result);
                Harden(response, m_options.secureCookie);
                reply(response);
            },
            Qt::QueuedConnection);
    });
}

void WebApp::handle(const Request &request, const http::Server::Reply &reply) {
    const QByteArray path = request.path();
    const bool post = request.method == "POST";
    const bool get = request.method == "GET" || request.method == "HEAD";
    const auto answer = [&](Response r) {
        Harden(r, m_options.secureCookie);
        reply(r);
    };

    if (path == "/web/style.css" && get) {
        Response r;
        r.contentType = "text/css; charset=utf-8";
        r.body = StyleSheet();
        r.add("Cache-Control", "public, max-age=3600");
        return answer(r);
    }
    QString token;
    Session *session = nullptr;
    for (const QString &candidate : CookieTokens(request)) {
        session = m_sessions.find(candidate);
        if (session) {
            token = candidate;
            break;
        }
    }
    if (session && !standing(*session)) {
        m_sessions.close(token);
        session = nullptr;
    }

    // The sign-in page and the two forms.
    if (path == "/web" || path == "/web/" || path == "/web/signin" || path == "/web/signout") {
        const bool form = path != "/web" && path != "/web/";
        if (path == "/web/signin" && post)
            return signIn(request, reply);
        if (path == "/web/signout" && post)
            return answer(signOut(request));
        if (path != "/web/signout" && get)
            return answer(signInPage(request, session));
        const QByteArray allowed = path == "/web/signout" ? "POST"
                                   : form                 ? "GET, HEAD, POST"
                                                          : "GET, HEAD";
        Response r = Plain(405, QStringLiteral("only %1").arg(QString::fromLatin1(allowed)));
        r.add("Allow", allowed);
        return answer(r);
    }

    static const QByteArray kPages[] = {"/web/reports", "/web/report", "/web/view", "/web/daily",
                                        "/web/page",    "/web/pdf",    "/web/xlsx"};
    if (std::find(std::begin(kPages), std::end(kPages), path) == std::end(kPages))
        return answer(Html(404, MessagePage(session, QStringLiteral("없는 페이지"),
                                            QStringLiteral("그런 페이지가 없습니다."))));
    if (!get) {
        Response r = Plain(405, QStringLiteral("only GET and HEAD"));
        r.add("Allow", "GET, HEAD");
        return answer(r);
    }
    if (!session) {
        // Pages go to the sign-in; pictures and files are refused.
        if (path == "/web/reports" || path == "/web/report" || path == "/web/view" ||
            path == "/web/daily")
            return answer(Redirect("/web/signin"));
        return answer(Plain(401, QStringLiteral("로그인하지 않았습니다.")));
    }
    if (path == "/web/reports")
        return list(request, *session, token, reply);
    if (path == "/web/report")
        return openReport(request, *session, token, reply);
    if (path == "/web/view")
        return answer(viewReport(request, *session));
    if (path == "/web/daily")
        return answer(dailySet(request, *session));
    if (path == "/web/page")
        return pageImage(request, *session, reply);
    return download(request, *session, path == "/web/pdf", reply);
}

db::Connection &WebApp::mainConnection() {
    if (!m_mainConnection || !m_mainConnection->isOpen()) {
        m_mainConnection = std::make_unique<db::Connection>();
        m_mainConnection->setParams(m_options.connection);
        m_mainConnection->open();
    }
    return *m_mainConnection;
}

bool WebApp::standing(Session &session) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (session.checked.isValid() && session.checked.msecsTo(now) < m_options.checkSeconds * 1000)
        return true;
    try {
        db::Connection &c = mainConnection();
        const QByteArray hash = StandingPasswordHash(c, session.empNo);
        // Gone from service, the password taken away or set anew: the session ends.
        if (hash.isEmpty() || SessionStore::PasswordKey(hash) != session.passwordKey)
            return false;
        session.permitted = PermittedProgramIds(c, m_options.projectId, session.empNo);
        session.checked = now;
    } catch (const db::DbError &) {
        // Without the database nothing is served but what is already made; read it again
        // at the next request.
        m_mainConnection.reset();
    }
    return true;
}

Response WebApp::signInPage(const Request &, Session *session) {
    if (session)
        return Redirect("/web/reports");
    return Html(200, SignInPage(QString(), QString()));
}

void WebApp::signIn(const Request &request, const http::Server::Reply &reply) {
    const auto answer = [&](Response r) {
        Harden(r, m_options.secureCookie);
        reply(r);
    };
    const QByteArray type = request.header("content-type").split(';').front().trimmed().toLower();
    const Fields form = ReadFields(request.body);
    if (type != "application/x-www-form-urlencoded" || !form.ok)
        return answer(
            Html(400, SignInPage(QStringLiteral("로그인 양식이 올바르지 않습니다."), QString())));
    const QString empNo = form.values.value(QStringLiteral("emp")).trimmed();
    const QString password = form.values.value(QStringLiteral("password"));
    const QString address = request.peer;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString refused = QStringLiteral("사원번호나 비밀번호가 맞지 않습니다.");
    // Not a number anyone has: refused at once, neither checked nor counted (nothing of it is
    // kept).
    if (!empNo.isEmpty() && !IsEmployeeNumber(empNo))
        return answer(Html(401, SignInPage(refused, QString())));
    if (const int wait = m_throttle.waitSeconds(empNo, address, now); wait > 0) {
        Response r = Html(429, SignInPage(QStringLiteral("로그인에 여러 번 실패했습니다. %1초 후에 "
                                                         "다시 하십시오.")
                                              .arg(wait),
                                          empNo));
        r.add("Retry-After", QByteArray::number(wait));
        return answer(r);
    }
    if (empNo.isEmpty() || password.isEmpty())
        return answer(
            Html(400, SignInPage(QStringLiteral("사원번호와 비밀번호를 넣으십시오."), empNo)));
    // One check of a number at a time, a few of an address, a few in all: a guess sent
    // before the answer to the one before is turned away, not queued uncounted.
    if (m_signIns >= kSignInsAtOnce || !m_throttle.begin(empNo, address)) {
        Response r = Html(429, SignInPage(QStringLiteral("로그인을 확인하는 중입니다. 잠시 후 "
                                                         "다시 하십시오."),
                                          empNo));
        r.add("Retry-After", "1");
        return answer(r);
    }
    ++m_signIns;
    const http::Server::Reply done = [this, empNo, address, reply](const Response &r) {
        --m_signIns;
        m_throttle.end(empNo, address);
        reply(r);
    };
    const QString projectId = m_options.projectId;
    later(
        [empNo, password, projectId] {
            auto r = std::make_shared<Result>();
            db::Connection &c = *tWorkerConnection;
            const SignInCheck check = CheckPassword(c, empNo, password);
            r->signedIn = check.ok;
            if (check.ok) {
                r->name = check.name;
                r->passwordKey = SessionStore::PasswordKey(check.hash);
                r->permitted = PermittedProgramIds(c, projectId, empNo);
            }
            return r;
        },
        [this, empNo, address, refused](Result &r) {
            const QDateTime at = QDateTime::currentDateTimeUtc();
            if (!r.signedIn) {
                m_throttle.failed(empNo, address, at);
                return Html(401, SignInPage(refused, empNo));
            }
            m_throttle.succeeded(empNo);
            const QString token = m_sessions.open(empNo, r.name, r.permitted, r.passwordKey);
            Response response = Redirect("/web/reports");
            QByteArray cookie = kCookie + '=' + token.toLatin1() +
                                "; Path=/web/; HttpOnly; SameSite=Strict; Max-Age=" +
                                QByteArray::number(m_sessions.lifeSeconds());
            if (m_options.secureCookie)
                cookie += "; Secure";
            response.add("Set-Cookie", cookie);
            return response;
        },
        done);
}

Response WebApp::signOut(const Request &request) {
    for (const QString &token : CookieTokens(request))
        m_sessions.close(token);
    Response r = Redirect("/web/");
    r.add("Set-Cookie", kCookie +
                            "=; Path=/web/; HttpOnly; SameSite=Strict; "
                            "Max-Age=0" +
                            (m_options.secureCookie ? "; Secure" : ""));
    return r;
}

void WebApp::list(const Request &request, Session &session, const QString &token,
                  const http::Server::Reply &reply) {
    const Fields query = QueryFields(request);
    if (!query.ok) {
        Response r = Html(400, MessagePage(&session, QStringLiteral("보고서 목록"),
                                           QStringLiteral("요청이 올바르지 않습니다.")));
        Harden(r, m_options.secureCookie);
        return reply(r);
    }
    const QString search = query.values.value(QStringLiteral("q")).simplified();
    const QString root = m_options.root;
    const QSet<QString> permitted = session.permitted;
    later(
        [root, permitted, search] {
            auto r = std::make_shared<Result>();
            const QStringList words = search.split(u' ', Qt::SkipEmptyParts);
            for (CatalogueEntry &e : Catalogue(root)) {
                if (!MayOpenHere(e, permitted))
                    continue;
                const QString text = e.title + u' ' + e.folder + u' ' + e.file;
                if (std::all_of(words.begin(), words.end(), [&](const QString &w) {
                        return text.contains(w, Qt::CaseInsensitive);
                    }))
                    r->entries.push_back(std::move(e));
            }
            return r;
        },
        [this, search, token](Result &r) {
            Session *s = m_sessions.find(token);
            if (!s)
                return Redirect("/web/signin");
            return Html(200,
                        ListPage(*s, r.entries, search, s->permitted.contains(kDailySetProgram)));
        },
        reply);
}

void WebApp::openReport(const Request &request, Session &session, const QString &token,
                        const http::Server::Reply &reply) {
    const Fields query = QueryFields(request);
    if (!query.ok)
        return reply([&] {
            Response r = Html(400, MessagePage(&session, QStringLiteral("보고서"),
                                               QStringLiteral("요청이 올바르지 않습니다.")));
            Harden(r, m_options.secureCookie);
            return r;
        }());
    const QString file = query.values.value(QStringLiteral("report"));
    const QString root = m_options.root;
    const QSet<QString> permitted = session.permitted;
    const QDate today = Now().date();
    later(
        [root, permitted, file, query, today] {
            auto r = std::make_shared<Result>();
            // Only a report of the catalogue that the employee may open; the same answer for
            // one that is not there, so that the list of files is not given away.
            std::optional<CatalogueEntry> entry;
            for (const CatalogueEntry &e : Catalogue(root))
                if (e.file == file && MayOpenHere(e, permitted))
                    entry = e;
            if (!entry)
                return Result::Answer(Html(
                    404, MessagePage(nullptr, QStringLiteral("보고서"),
                                     QStringLiteral("열 수 있는 보고서가 아닙니다: ") + file)));
            db::Connection &c = *tWorkerConnection;
            viewer::FolderReport loaded = viewer::LoadFromFolder(root, file, c);
            ReportView &view = r->view;
            view.file = file;
            view.title = entry->title;
            if (!loaded.report) {
                view.error = loaded.error;
                r->response.status = 500;
                return r;
            }
            viewer::LoadedReport &report = *loaded.report;
            view.title = report.title.isEmpty() ? entry->title : report.title;
            // The values: fixed by variants, asked in the prompt (from the request, else the
            // starting value), or a switch's default.
            QHash<QString, QString> values = loaded.fixed;
            QString refused;
            QSet<QString> asked;
            for (const viewer::ParameterDecl &p : report.parameters) {
                if (values.contains(p.name))
                    continue;
                if (!p.prompted) {
                    values.insert(p.name, viewer::ResolveDefault(p, today));
                    continue;
                }
                asked.insert(QStringLiteral("p_") + p.name);
                FormField f;
                f.name = p.name;
                f.caption = p.shownCaption();
                f.type = TypeName(p.type);
                const QString key = QStringLiteral("p_") + p.name;
                f.value = query.values.contains(key)
                              ? FromInput(f.type, query.values.value(key).trimmed())
                              : viewer::StartingValue(p, today);
                if (refused.isEmpty())
                    refused = viewer::ParameterTypeError(p, f.value);
                if (!p.choicesSql.isEmpty()) {
                    viewer::Choices choices = viewer::RunChoices(c, report.fileName, p);
                    if (!choices.error.isEmpty()) {
                        view.error = choices.error;
                        r->response.status = 500;
                        return r;
                    }
                    f.hasChoices = true;
                    f.choices = std::move(choices.items);
                    const bool listed =
                        f.value.isEmpty() ||
                        std::any_of(f.choices.begin(), f.choices.end(),
                                    [&](const auto &choice) { return choice.first == f.value; });
                    if (!listed && refused.isEmpty())
                        refused = QStringLiteral("매개변수 %1의 값 \"%2\"은(는) 고를 수 있는 값이 "
                                                 "아닙니다")
                                      .arg(p.name, f.value);
                }
                values.insert(p.name, f.value);
                view.fields.push_back(std::move(f));
            }
            for (auto it = query.values.begin(); it != query.values.end(); ++it)
                if (it.key() != u"report" && !asked.contains(it.key()) && refused.isEmpty())
                    refused = QStringLiteral("보고서에 매개변수 %1이(가) 없습니다").arg(it.key());
            if (!refused.isEmpty()) {
                view.error = refused;
                r->response.status = 400;
                return r;
            }
            const viewer::BoundParams bound =
                viewer::BindParams(QString(), report.parameters, values);
            if (!bound.ok()) {
                view.error = bound.error;
                r->response.status = 400;
                return r;
            }
            viewer::RunResult run = viewer::RunReport(report, bound.values);
            if (!run.error.isEmpty()) {
                view.error = run.error;
                r->response.status = 500;
                return r;
            }
            auto shown = std::make_shared<ShownReport>();
            shown->id = RandomToken(16);
            shown->file = file;
            shown->title = view.title;
            shown->values = bound.values;
            shown->fields = view.fields;
            shown->document = std::move(run.document);
            r->shown = std::move(shown);
            return r;
        },
        [this, token](Result &r) {
            Session *s = m_sessions.find(token);
            if (!s)
                return Redirect("/web/signin");
            if (r.shown) {
                s->keep(r.shown);
                r.view.docId = r.shown->id;
                r.view.document = &r.shown->document;
            }
            return Html(r.response.status, ReportPage(*s, r.view));
        },
        reply);
}

Response WebApp::viewReport(const Request &request, Session &session) {
    const Fields query = QueryFields(request);
    const std::shared_ptr<ShownReport> shown = ShownOf(query, session);
    if (!shown)
        return Html(404,
                    MessagePage(&session, QStringLiteral("보고서"),
                                QStringLiteral("보고서가 더 이상 없습니다. 다시 조회하십시오.")));
    bool ok = false;
    const int from = query.values.value(QStringLiteral("from")).toInt(&ok);
    const int count = int(shown->document.pages.size());
    if (!ok || from < 1 || from > std::max(1, count))
        return Html(400, MessagePage(&session, shown->title, QStringLiteral("없는 쪽입니다.")));
    // The prompt shows the values the pages were made with; its lists are not read again.
    ReportView view;
    view.action = shown->action;
    view.note = shown->note;
    view.file = shown->file;
    view.title = shown->title;
    view.fields = shown->fields;
    view.docId = shown->id;
    view.document = &shown->document;
    view.from = from;
    return Html(200, ReportPage(session, view));
}

Response WebApp::dailySet(const Request &request, Session &session) {
    const QString title = QStringLiteral("일일 경영보고서");
    if (!session.permitted.contains(kDailySetProgram))
        return Html(404, MessagePage(&session, title,
                                     QStringLiteral("일일 경영보고서를 열 권한이 없습니다.")));
    const Fields query = QueryFields(request);
    ReportView view;
    view.action = QStringLiteral("/web/daily");
    view.title = title;
    FormField date;
    date.name = QStringLiteral("DATE");
    date.caption = QStringLiteral("영업일자");
    date.type = QStringLiteral("date");
    date.value = Now().date().addDays(-1).toString(QStringLiteral("yyyyMMdd"));
    if (query.values.contains(QStringLiteral("p_DATE")))
        date.value = FromInput(date.type, query.values.value(QStringLiteral("p_DATE")).trimmed());
    view.fields.push_back(date);
    const bool known =
        query.values.size() == (query.values.contains(QStringLiteral("p_DATE")) ? 1 : 0);
    const QDate day = QDate::fromString(date.value, QStringLiteral("yyyyMMdd"));
    if (!query.ok || !known || !day.isValid() || date.value.size() != 8) {
        view.error = QStringLiteral("영업일자는 올바른 일자(YYYYMMDD)여야 합니다.");
        return Html(400, ReportPage(session, view));
    }
    if (day.year() < 1900 || day > Now().date()) {
        view.error = QStringLiteral("영업일자는 1900-01-01부터 오늘까지입니다.");
        return Html(400, ReportPage(session, view));
    }

    const QDateTime now = QDateTime::currentDateTime();
    auto cached = m_daily.find(date.value);
    if (cached == m_daily.end() || cached->made.secsTo(now) >= kDailySetKeptSeconds) {
        // A set is made on this thread, so one session may not have them made one after
        // the other.
        if (session.dailyMade.isValid() && session.dailyMade.secsTo(now) < kDailySetEverySeconds) {
            view.error = QStringLiteral("일일 경영보고서는 %1초에 한 번 만들 수 있습니다. 잠시 후 "
                                        "다시 하십시오.")
                             .arg(kDailySetEverySeconds);
            Response r = Html(429, ReportPage(session, view));
            r.add("Retry-After", QByteArray::number(kDailySetEverySeconds));
            return r;
        }
        session.dailyMade = now;
        try {
            auto shown = std::make_shared<ShownReport>();
            shown->document = screens::LayOutDailySet(mainConnection(), date.value);
            shown->id = RandomToken(16);
            shown->title = title + u' ' + InputValue(date.type, date.value);
            shown->action = view.action;
            shown->fields = view.fields;
            shown->note = QStringLiteral("%1에 만든 보고서입니다.")
                              .arg(now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
            // Sets of other days go when they are old.
            for (auto it = m_daily.begin(); it != m_daily.end();)
                it = it->made.secsTo(now) >= kDailySetKeptSeconds ? m_daily.erase(it)
                                                                  : std::next(it);
            cached = m_daily.insert(date.value, {shown, now});
        } catch (const db::DbError &e) {
            m_mainConnection.reset();
            view.error = QStringLiteral("데이터베이스 오류: ") + e.message();
            return Html(500, ReportPage(session, view));
        } catch (const std::exception &e) {
            view.error = QString::fromUtf8(e.what());
            return Html(500, ReportPage(session, view));
        }
    }
    const std::shared_ptr<ShownReport> &shown = cached->shown;
    session.keep(shown);
    view.title = shown->title;
    view.note = shown->note;
    view.docId = shown->id;
    view.document = &shown->document;
    return Html(200, ReportPage(session, view));
}

void WebApp::pageImage(const Request &request, Session &session, const http::Server::Reply &reply) {
    const Fields query = QueryFields(request);
    const std::shared_ptr<ShownReport> shown = ShownOf(query, session);
    bool ok = false;
    const int n = query.values.value(QStringLiteral("n")).toInt(&ok);
    if (!shown || !ok || n < 1 || n > int(shown->document.pages.size())) {
        Response r = Plain(404, QStringLiteral("없는 쪽입니다."));
        Harden(r, m_options.secureCookie);
        return reply(r);
    }
    later(
        [shown, n] {
            Response r;
            r.contentType = "image/png";
            {
                // A page once drawn is kept: the daily set is the same for everyone.
                std::lock_guard lock(shown->drawing);
                r.body = shown->pictures.value(n);
                if (r.body.isEmpty()) {
                    const QImage image =
                        report::RenderPage(shown->document.pages[size_t(n - 1)], kPageDpi);
                    QBuffer buffer;
                    buffer.open(QIODevice::WriteOnly);
                    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "PNG");
                    r.body = buffer.data();
                    if (shown->pictures.size() < ShownReport::kPicturesKept)
                        shown->pictures.insert(n, r.body);
                }
            }
            // A page never changes under its id; the browser may keep it, nothing shared may.
            r.add("Cache-Control", "private, max-age=3600");
            return Result::Answer(r);
        },
        {}, reply);
}

void WebApp::download(const Request &request, Session &session, bool pdf,
                      const http::Server::Reply &reply) {
    const std::shared_ptr<ShownReport> shown = ShownOf(QueryFields(request), session);
    if (!shown) {
        Response r = Plain(404, QStringLiteral("보고서가 더 이상 없습니다. 다시 조회하십시오."));
        Harden(r, m_options.secureCookie);
        return reply(r);
    }
    later(
        [shown, pdf] {
            Response r;
            std::lock_guard lock(shown->drawing);
            if (pdf) {
                QBuffer buffer;
                buffer.open(QIODevice::WriteOnly);
                report::WritePdf(shown->document, buffer);
                r.contentType = "application/pdf";
                r.body = buffer.data();
            } else {
                QTemporaryDir dir;
                const QString path = dir.filePath(QStringLiteral("report.xlsx"));
                const report::SheetOutcome sheet = report::WriteSheet(shown->document, path);
                QFile file(path);
                if (sheet.outcome != ExcelSheet::Outcome::Written ||
                    !file.open(QIODevice::ReadOnly))
                    return Result::Answer(Plain(
                        500, QStringLiteral("Excel 파일로 저장할 수 없습니다: ") + sheet.error));
                r.contentType = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";
                r.body = file.readAll();
            }
            r.add("Content-Disposition",
                  ContentDisposition(shown->title,
                                     pdf ? QStringLiteral("pdf") : QStringLiteral("xlsx")));
            return Result::Answer(r);
        },
        {}, reply);
}

} // namespace kelo::web
