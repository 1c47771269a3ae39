#pragma once

// The web pages of the report server (/web/): employees sign in with their employee number and
// web password, see the reports their permissions open (the rule of the client's catalogue),
// fill a report's prompt, look at its pages drawn by the report engine on the server and take
// them as PDF or Excel files.
//
// The pages run on the server's thread; statements, layout and drawing run on a few worker
// threads, each with a connection of its own, so a long report holds up no one else's page.
// The daily report set (the printed reports of a business date, as kelo-reports writes it) is
// laid out by the printed reports' own screens, on the server's thread.
// Statements come only from the definitions of the report folder; the request gives values,
// bound as values after their type (and their list of choices) is checked.

#include "web/http_server.h"
#include "web/sessions.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QThreadPool>

#include <functional>
#include <memory>

namespace kelo::db {
class Connection;
}

namespace kelo::web {

struct WebOptions {
    QString root;                                 // the folder of definitions
    QStringList connection;                       // connection parameters of the database
    QString projectId = QStringLiteral("KELO_S"); // the project of the permissions
    bool secureCookie = false; // the cookie only over HTTPS (TLS here or at a proxy)
    int workers = 2;           // threads running reports
    int queued = 64;           // reports waiting at most; more are answered 503
    int idleSeconds = 30 * 60, lifeSeconds = 12 * 60 * 60; // of a session
    int checkSeconds = 60; // how often a session's employee and permissions are read again
};

class WebApp : public QObject {
public:
    explicit WebApp(const WebOptions &options, QObject *parent = nullptr);
    ~WebApp() override;

    // Whether the request is one of the web pages' (/web and below).
    static bool Handles(const http::Request &request);
    void handle(const http::Request &request, const http::Server::Reply &reply);

    const SessionStore &sessions() const { return m_sessions; }

private:
    struct Result;
    // Runs work on a worker thread and then, back on this thread, what follows from it.
    void later(std::function<std::shared_ptr<Result>()> work,
               std::function<http::Response(Result &)> then, const http::Server::Reply &reply);

    http::Response signInPage(const http::Request &request, Session *session);
    void signIn(const http::Request &request, const http::Server::Reply &reply);
    http::Response signOut(const http::Request &request);
    void list(const http::Request &request, Session &session, const QString &token,
              const http::Server::Reply &reply);
    // Whether the session still stands: every minute its employee is read again (in service,
    // the password its sign-in was checked against) and the permissions with it.
    bool standing(Session &session);
    db::Connection &mainConnection();
    void openReport(const http::Request &request, Session &session, const QString &token,
                    const http::Server::Reply &reply);
    http::Response viewReport(const http::Request &request, Session &session);
    http::Response dailySet(const http::Request &request, Session &session);
    void pageImage(const http::Request &request, Session &session,
                   const http::Server::Reply &reply);
    void download(const http::Request &request, Session &session, bool pdf,
                  const http::Server::Reply &reply);

    WebOptions m_options;
    SessionStore m_sessions;
    SignInThrottle m_throttle;
    QThreadPool m_pool;
    int m_pending = 0;
    int m_signIns = 0; // sign-ins being checked
    // The daily set is made of the printed reports' screens, so on this thread, with its own
    // connection; one made in the last minute is shown again (it says when it was made).
    std::unique_ptr<db::Connection> m_mainConnection;
    struct DailySet {
        std::shared_ptr<ShownReport> shown;
        QDateTime made;
    };
    QHash<QString, DailySet> m_daily; // by business date
};

} // namespace kelo::web
