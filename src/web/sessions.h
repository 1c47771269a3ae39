#pragma once

// The signed-in employees of the web pages and the brake on guessing passwords. Both live in
// the server's memory on its main thread: a restart signs everyone out.

#include "report/document.h"
#include "web/pages.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace kelo::web {

// A report laid out for a session: its pages are drawn and its files written from here, so
// the statements run once however many pages are looked at.
struct ShownReport {
    QString id;   // random, known only to its session
    QString file; // the definition's file name; empty for the daily set
    QString action = QStringLiteral("/web/report"); // where its prompt is sent
    QString note;                                   // said above its pages
    QString title;
    QHash<QString, QString> values; // as bound
    std::vector<FormField> fields;  // its prompt as answered
    report::Document document;
    std::mutex drawing;              // one drawing of the document at a time
    QHash<int, QByteArray> pictures; // the PNG of a page once drawn, by page from 1
    static constexpr int kPicturesKept = 40;
};

struct Session {
    QString empNo, name;
    QSet<QString> permitted; // the programs the employee may open, read again every minute
    QByteArray passwordKey;  // SHA-256 of the password hash the sign-in was checked against
    QDateTime started, lastSeen;
    QDateTime checked;   // when the employee, the password and the permissions were read
    QDateTime dailyMade; // when the session last had a daily set made
    std::vector<std::shared_ptr<ShownReport>> reports; // the latest last
    std::shared_ptr<ShownReport> report(const QString &id) const;
    void keep(std::shared_ptr<ShownReport> report);
};

class SessionStore {
public:
    // A session ends after idleSeconds without a request and after lifeSeconds in any case.
    // clock: the time (UTC) the store goes by; the system's clock unless a test gives one.
    using Clock = std::function<QDateTime()>;
    SessionStore(int idleSeconds = 30 * 60, int lifeSeconds = 12 * 60 * 60, Clock clock = {});

    // A new session; its token (64 hexadecimal digits from the system's random source) is
    // what the cookie carries. The store keeps only the token's hash.
    QString open(const QString &empNo, const QString &name, const QSet<QString> &permitted,
                 const QByteArray &passwordKey = {});
    // The live session of a token, its last use now; null for an unknown, forged or expired
    // token (an expired one is forgotten).
    Session *find(const QString &token);
    void close(const QString &token);
    int count() const { return int(m_sessions.size()); }
    int idleSeconds() const { return m_idle; }
    int lifeSeconds() const { return m_life; }

    // The most reports one session keeps laid out.
    static constexpr int kReportsKept = 4;
    // The key a session keeps of the password hash it was checked against.
    static QByteArray PasswordKey(const QByteArray &hash);

private:
    void expire(const QDateTime &now);

    int m_idle, m_life;
    Clock m_clock;
    QHash<QByteArray, Session> m_sessions; // by the token's SHA-256
};

// Failed sign-ins slow down further tries of the same employee number and of the same
// address: after kFree failures each further one locks that key for twice as long as the one
// before (2 s, 4 s, 8 s ... at most kMaxLockSeconds); a success clears the employee's count
// (not the address's), and an hour without a failure starts a count afresh.
class SignInThrottle {
public:
    static constexpr int kFreeEmployee = 3;
    static constexpr int kFreeAddress = 10;
    static constexpr int kMaxLockSeconds = 15 * 60;
    // Checks of one employee number at a time, and a few of one address: a guess waits for
    // the answer to the one before it, so that a burst of guesses is counted as it comes.
    static constexpr int kInFlightAddress = 2;

    // Seconds until the employee may try again from the address; 0 when now.
    int waitSeconds(const QString &empNo, const QString &address, const QDateTime &now) const;
    void failed(const QString &empNo, const QString &address, const QDateTime &now);
    void succeeded(const QString &empNo);
    // A check starts, unless one of the number or too many of the address are running; end()
    // when its answer is given, whatever it is.
    bool begin(const QString &empNo, const QString &address);
    void end(const QString &empNo, const QString &address);

private:
    QSet<QString> m_checkingEmployees;
    QHash<QString, int> m_checkingAddresses;
    struct Count {
        int failures = 0;
        QDateTime last, lockedUntil;
    };
    static void fail(Count &count, int free, const QDateTime &now);
    int wait(const QHash<QString, Count> &counts, const QString &key, const QDateTime &now) const;

    QHash<QString, Count> m_employees, m_addresses;
};

// Random text from the system's random source: bytes bytes as hexadecimal digits.
QString RandomToken(int bytes = 32);

} // namespace kelo::web
