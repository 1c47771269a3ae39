#include "web/sessions.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <algorithm>

namespace kelo::web {

namespace {

QByteArray TokenKey(const QString &token) {
    return QCryptographicHash::hash(token.toLatin1(), QCryptographicHash::Sha256);
}

} // namespace

QString RandomToken(int bytes) {
    QByteArray raw(bytes, Qt::Uninitialized);
    // The system's source (getrandom), not a seeded generator.
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(raw.data()),
                                          qsizetype(bytes / 4));
    return QString::fromLatin1(raw.toHex());
}

std::shared_ptr<ShownReport> Session::report(const QString &id) const {
    for (const auto &r : reports)
        if (r->id == id)
            return r;
    return nullptr;
}

void Session::keep(std::shared_ptr<ShownReport> report) {
    // A report shown again (the daily set within its minute) moves to the end, once.
    std::erase_if(reports, [&](const auto &r) { return r == report; });
    reports.push_back(std::move(report));
    while (reports.size() > size_t(SessionStore::kReportsKept))
        reports.erase(reports.begin());
}

SessionStore::SessionStore(int idleSeconds, int lifeSeconds, Clock clock)
    : m_idle(idleSeconds), m_life(lifeSeconds), m_clock(std::move(clock)) {
    if (!m_clock)
        m_clock = [] { return QDateTime::currentDateTimeUtc(); };
}

QByteArray SessionStore::PasswordKey(const QByteArray &hash) {
    return QCryptographicHash::hash(hash, QCryptographicHash::Sha256);
}

QString SessionStore::open(const QString &empNo, const QString &name,
                           const QSet<QString> &permitted, const QByteArray &passwordKey) {
    const QDateTime now = m_clock();
    expire(now);
    const QString token = RandomToken();
    Session &s = m_sessions[TokenKey(token)];
    s.empNo = empNo;
    s.name = name;
    s.permitted = permitted;
    s.passwordKey = passwordKey;
    s.started = now;
    s.lastSeen = now;
    s.checked = now;
    return token;
}

Session *SessionStore::find(const QString &token) {
    if (token.size() != 64 || !std::all_of(token.begin(), token.end(), [](QChar c) {
            return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
        }))
        return nullptr;
    const QDateTime now = m_clock();
    const auto it = m_sessions.find(TokenKey(token));
    if (it == m_sessions.end())
        return nullptr;
    if (it->lastSeen.secsTo(now) >= m_idle || it->started.secsTo(now) >= m_life) {
        m_sessions.erase(it);
        return nullptr;
    }
    it->lastSeen = now;
    return &*it;
}

void SessionStore::close(const QString &token) {
    m_sessions.remove(TokenKey(token));
}

void SessionStore::expire(const QDateTime &now) {
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        if (it->lastSeen.secsTo(now) >= m_idle || it->started.secsTo(now) >= m_life)
            it = m_sessions.erase(it);
        else
            ++it;
    }
}

int SignInThrottle::wait(const QHash<QString, Count> &counts, const QString &key,
                         const QDateTime &now) const {
    const auto it = counts.find(key);
    if (it == counts.end() || !it->lockedUntil.isValid() || it->lockedUntil <= now)
        return 0;
    return int(std::max<qint64>(1, (now.msecsTo(it->lockedUntil) + 999) / 1000));
}

int SignInThrottle::waitSeconds(const QString &empNo, const QString &address,
                                const QDateTime &now) const {
    return std::max(wait(m_employees, empNo, now), wait(m_addresses, address, now));
}

void SignInThrottle::fail(Count &count, int free, const QDateTime &now) {
    // An hour without a failure starts the count afresh.
    if (count.last.isValid() && count.last.secsTo(now) > 60 * 60)
        count = Count();
    ++count.failures;
    count.last = now;
    if (count.failures > free) {
        const int doublings = std::min(count.failures - free, 20);
        const qint64 seconds = std::min<qint64>(qint64(1) << doublings, kMaxLockSeconds);
        count.lockedUntil = now.addSecs(seconds);
    }
}

void SignInThrottle::failed(const QString &empNo, const QString &address, const QDateTime &now) {
    // Old counts go, so that guessing across many numbers does not fill the memory for good.
    if (m_employees.size() + m_addresses.size() > 100000) {
        for (QHash<QString, Count> *counts : {&m_employees, &m_addresses})
            for (auto it = counts->begin(); it != counts->end();)
                it = it->last.secsTo(now) > 60 * 60 ? counts->erase(it) : std::next(it);
    }
    fail(m_employees[empNo], kFreeEmployee, now);
    fail(m_addresses[address], kFreeAddress, now);
}

void SignInThrottle::succeeded(const QString &empNo) {
    m_employees.remove(empNo);
}

bool SignInThrottle::begin(const QString &empNo, const QString &address) {
    if (m_checkingEmployees.contains(empNo) ||
        m_checkingAddresses.value(address) >= kInFlightAddress)
        return false;
    m_checkingEmployees.insert(empNo);
    ++m_checkingAddresses[address];
    return true;
}

void SignInThrottle::end(const QString &empNo, const QString &address) {
    m_checkingEmployees.remove(empNo);
    if (--m_checkingAddresses[address] <= 0)
        m_checkingAddresses.remove(address);
}

} // namespace kelo::web
