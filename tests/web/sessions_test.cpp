// The brake on guessing web passwords and the session store, on a clock the test sets.

#include "web/sessions.h"

#include <gtest/gtest.h>

namespace {

using kelo::web::SignInThrottle;

const QDateTime kStart(QDate(2026, 12, 1), QTime(9, 0), Qt::UTC);

TEST(SignInThrottle, LocksAfterTheFreeFailuresForTwiceAsLongEachTime) {
    SignInThrottle t;
    const QString emp = QStringLiteral("20000003"), address = QStringLiteral("10.0.0.7");
    QDateTime now = kStart;
    // failures so far -> the wait after the next one
    const struct {
        int failures, wait;
    } steps[] = {{1, 0}, {2, 0}, {3, 0}, {4, 2}, {5, 4}, {6, 8}, {7, 16}};
    for (const auto &step : steps) {
        t.failed(emp, address, now);
        EXPECT_EQ(t.waitSeconds(emp, address, now), step.wait) << step.failures;
        now = now.addSecs(step.wait); // the next try comes once the lock is over
        EXPECT_EQ(t.waitSeconds(emp, address, now), 0) << step.failures;
    }
    // Never longer than the cap.
    for (int i = 0; i < 30; ++i)
        t.failed(emp, address, now);
    EXPECT_EQ(t.waitSeconds(emp, address, now), SignInThrottle::kMaxLockSeconds);
}

TEST(SignInThrottle, CountsPerEmployeeAndPerAddressAndForgetsAfterAnHour) {
    SignInThrottle t;
    const QString a = QStringLiteral("10.0.0.7"), b = QStringLiteral("10.0.0.8");
    const QDateTime now = kStart;
    // Four employees with two failures each from one address: no employee is locked, the
    // address is after its tenth failure.
    for (int e = 0; e < 4; ++e)
        for (int i = 0; i < 2; ++i)
            t.failed(QStringLiteral("2000000%1").arg(e), a, now);
    EXPECT_EQ(t.waitSeconds(QStringLiteral("20000009"), a, now), 0);
    t.failed(QStringLiteral("20000009"), a, now);
    t.failed(QStringLiteral("20000009"), a, now);
    t.failed(QStringLiteral("20000008"), a, now);
    EXPECT_EQ(t.waitSeconds(QStringLiteral("20000007"), a, now), 2) << "the address is locked";
    EXPECT_EQ(t.waitSeconds(QStringLiteral("20000007"), b, now), 0) << "not another address";

    // A success clears the employee's count, not the address's.
    SignInThrottle u;
    const QString emp = QStringLiteral("20000001");
    for (int i = 0; i < 3; ++i)
        u.failed(emp, b, now);
    u.succeeded(emp);
    u.failed(emp, b, now);
    EXPECT_EQ(u.waitSeconds(emp, QStringLiteral("10.9.9.9"), now), 0);

    // An hour without a failure starts afresh.
    SignInThrottle v;
    for (int i = 0; i < 3; ++i)
        v.failed(emp, b, now);
    v.failed(emp, b, now.addSecs(61 * 60));
    EXPECT_EQ(v.waitSeconds(emp, b, now.addSecs(61 * 60)), 0);
}

TEST(SessionStore, ASessionEndsIdleOrOldWhateverItsUse) {
    QDateTime now = kStart;
    kelo::web::SessionStore store(30 * 60, 12 * 60 * 60, [&now] { return now; });
    const QString token = store.open(QStringLiteral("20000001"), QStringLiteral("김관리"), {});
    // Used every 29 minutes it lasts, up to 12 hours from its sign-in.
    for (int i = 0; i < 24; ++i) {
        now = now.addSecs(29 * 60);
        ASSERT_NE(store.find(token), nullptr) << i;
    }
    now = kStart.addSecs(12 * 60 * 60);
    EXPECT_EQ(store.find(token), nullptr) << "12 hours after its sign-in";

    const QString idle = store.open(QStringLiteral("20000002"), QStringLiteral("이조회"), {});
    now = now.addSecs(30 * 60 - 1);
    EXPECT_NE(store.find(idle), nullptr);
    now = now.addSecs(30 * 60);
    EXPECT_EQ(store.find(idle), nullptr) << "30 minutes without a request";
    now = now.addSecs(-60 * 60);
    EXPECT_EQ(store.find(idle), nullptr) << "an ended session stays ended";
    EXPECT_EQ(store.count(), 0);
}

TEST(SessionStore, TokensAreRandomHashedAndKeepTheLatestReports) {
    kelo::web::SessionStore store;
    const QString one = store.open(QStringLiteral("20000001"), QStringLiteral("김관리"), {});
    const QString two = store.open(QStringLiteral("20000001"), QStringLiteral("김관리"), {});
    EXPECT_EQ(one.size(), 64);
    EXPECT_NE(one, two);
    ASSERT_NE(store.find(one), nullptr);
    EXPECT_EQ(store.find(one)->name, QStringLiteral("김관리"));
    for (const QString &forged : {one.toUpper(), one.left(63), one + u'0', QString(64, u'0'),
                                  QString(), QStringLiteral("../") + one.mid(3)})
        EXPECT_EQ(store.find(forged), nullptr) << forged.toStdString();
    store.close(one);
    EXPECT_EQ(store.find(one), nullptr);
    EXPECT_NE(store.find(two), nullptr);

    kelo::web::Session &s = *store.find(two);
    for (int i = 0; i < kelo::web::SessionStore::kReportsKept + 2; ++i) {
        auto r = std::make_shared<kelo::web::ShownReport>();
        r->id = QString::number(i);
        s.keep(r);
    }
    EXPECT_EQ(s.report(QStringLiteral("0")), nullptr);
    EXPECT_EQ(s.report(QStringLiteral("1")), nullptr);
    EXPECT_NE(s.report(QString::number(kelo::web::SessionStore::kReportsKept + 1)), nullptr);
}

} // namespace
