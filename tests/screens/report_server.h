#pragma once
// The report server over the shipped definitions and a generated demo, for the suites that
// open reports through the viewer as the screens do.

#include "support/demo_database.h"

#include <QFile>
#include <QProcess>
#include <QString>

namespace kelo::test {

// kelo-report-server on a free loopback port, from construction to destruction.
class ReportServerProcess {
public:
    explicit ReportServerProcess(const QString &root = QStringLiteral(KELO_REPORTS_DIR)) {
        m_process.setProgram(QStringLiteral(KELO_REPORT_SERVER_PROGRAM));
        m_process.setArguments(
            {QStringLiteral("--root"), root, QStringLiteral("--port"), QStringLiteral("0")});
        m_process.start();
        m_process.waitForStarted();
        while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) {
        }
        // The first line reads "listening on http://127.0.0.1:PORT".
        m_base = QString::fromUtf8(m_process.readLine()).trimmed().mid(13);
    }
    ~ReportServerProcess() {
        m_process.kill();
        m_process.waitForFinished();
    }
    ReportServerProcess(const ReportServerProcess &) = delete;
    ReportServerProcess &operator=(const ReportServerProcess &) = delete;

    // The server's address; not starting with "http://127.0.0.1:" when it did not start.
    QString base() const { return m_base; }
    bool started() const { return m_base.startsWith(QStringLiteral("http://127.0.0.1:")); }

    // Kelo_S.ini in dir: the three report servers at this one, the local folder shipped.
    void writeSettings(const QString &dir) const {
        QFile ini(dir + QStringLiteral("/Kelo_S.ini"));
        ini.open(QIODevice::WriteOnly);
        ini.write(QStringLiteral("[ReportServer]\nMain=%1\nSecond=%1\nThird=%1\nLocalFolder=%2\n")
                      .arg(m_base, QStringLiteral(KELO_REPORTS_DIR "/local"))
                      .toUtf8());
    }

private:
    QProcess m_process;
    QString m_base;
};

} // namespace kelo::test
