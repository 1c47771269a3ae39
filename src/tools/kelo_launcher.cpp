// Kelo: a small stand-in for the suite's launcher. Sign in with an employee
// number, and the client starts with its four arguments: database alias,
// database user, employee number, display name. The client's closing notice
// (1924) is shown in the window.

#include "common/appdir.h"
#include "common/application.h"
#include "common/dialogs.h"
#include "database/schema.h"
#include "db/connection.h"
#include "db/query.h"
#include "framework/messages.h"
#include "shell/password.h"
#include "shell/startup.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

using namespace kelo;

class LauncherWindow : public QWidget {
public:
    explicit LauncherWindow(bool exitAfterClient) {
        setObjectName(QStringLiteral("frm_0Main"));
        setWindowTitle(QStringLiteral("Kelo - 로그인"));
        auto *layout = new QVBoxLayout(this);
        auto *title = new QLabel(QStringLiteral("켈로리조트 통합정보시스템"), this);
        QFont f = title->font();
        f.setPixelSize(18);
        f.setBold(true);
        title->setFont(f);
        layout->addWidget(title);
        auto *form = new QFormLayout;
        cboAlias = new QComboBox(this);
        cboAlias->setObjectName(QStringLiteral("cboAlias"));
        QSettings ini(AppFile(QStringLiteral("Databases.ini")), QSettings::IniFormat);
        cboAlias->addItems(ini.childGroups());
        edtEmpNo = new QLineEdit(this);
        edtEmpNo->setObjectName(QStringLiteral("edtEmpNo"));
        edtEmpNo->setMaxLength(8);
        edtEmpNo->setPlaceholderText(QStringLiteral("예: 20000001"));
        form->addRow(QStringLiteral("데이터베이스"), cboAlias);
        form->addRow(QStringLiteral("사원번호"), edtEmpNo);
        layout->addLayout(form);
        bbtLogin = new QPushButton(QStringLiteral("경영정보관리 시작"), this);
        bbtLogin->setObjectName(QStringLiteral("bbtLogin"));
        bbtLogin->setDefault(true);
        layout->addWidget(bbtLogin);
        lblStatus = new QLabel(this);
        lblStatus->setObjectName(QStringLiteral("lblStatus"));
        lblStatus->setWordWrap(true);
        layout->addWidget(lblStatus);
        connect(bbtLogin, &QPushButton::clicked, this, [this] { signIn(); });
        connect(edtEmpNo, &QLineEdit::returnPressed, this, [this] { signIn(); });
        resize(360, 200);

        // The client's closing notice arrives here.
        server = new QLocalServer(this);
        QLocalServer::removeServer(LauncherWindowName());
        server->listen(LauncherWindowName());
        connect(server, &QLocalServer::newConnection, this, [this, exitAfterClient] {
            while (QLocalSocket *socket = server->nextPendingConnection()) {
                connect(socket, &QLocalSocket::readyRead, this, [this, socket, exitAfterClient] {
                    if (socket->readAll().trimmed() == QByteArray::number(WM_CLIENTCLOSING)) {
                        m_clientClosed = true;
                        lblStatus->setText(QStringLiteral("경영정보관리가 종료되었습니다."));
                        if (exitAfterClient)
                            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
                    }
                });
                connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    // Signs in and starts the client; false when it could not (the user was told why).
    bool signIn() {
        const QString alias = cboAlias->currentText();
        const QString empNo = edtEmpNo->text().trimmed();
        if (alias.isEmpty()) {
            ShowError(QStringLiteral("Databases.ini에 데이터베이스가 없습니다."));
            return false;
        }
        QSettings ini(AppFile(QStringLiteral("Databases.ini")), QSettings::IniFormat);
        const QString user =
            ini.value(alias + QStringLiteral("/User"), QStringLiteral("KLUSER")).toString();
        QString name;
        try {
            db::Connection c;
            c.setParam(QStringLiteral("DATABASE"), alias);
            c.setParam(QStringLiteral("USER_NAME"), user);
            c.setParam(QStringLiteral("PASSWORD"), shell::ReadDbPassword(user));
            c.open();
            database::CheckSchema(c, database::OlderSchema::Upgrade);
            db::Query q(c);
            q.setSql(QStringLiteral(R"sql(
                SELECT EMP_K_NAME
                FROM QA010MS
                WHERE EMP_NO = :P0
                    AND EMP_STAY_CODE = '01'
            )sql"));
            q.setParam(QStringLiteral("P0"), empNo);
            q.open();
            if (q.eof()) {
                ShowError(QStringLiteral("사원번호를 확인하여 주십시요."));
                edtEmpNo->setFocus();
                return false;
            }
            name = q.text(0);
        } catch (const db::DbError &e) {
            ShowError(QStringLiteral("데이터베이스와 연결할 수 없습니다.\r\r에러내용:\r") +
                      e.message());
            return false;
        } catch (const shell::PasswordError &e) {
            ShowError(QStringLiteral("데이터베이스와 연결할 수 없습니다.\r\r에러내용:\r") +
                      e.message());
            return false;
        }
        // The client is installed beside the launcher.
        const QString client =
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Kelo_S"));
        if (!QProcess::startDetached(client, {alias, user, empNo, name}, AppDir(), &m_clientPid)) {
            ShowError(QStringLiteral("%1 을(를) 실행할 수 없습니다.").arg(client));
            return false;
        }
        lblStatus->setText(QStringLiteral("%1님, 경영정보관리를 시작합니다.").arg(name));
        return true;
    }

    // Calls back once the client started last has ended without its closing notice
    // (it could not start, or it broke off).
    void watchClient(std::function<void()> endedWithoutNotice) {
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this,
                [this, timer, endedWithoutNotice, gone = 0]() mutable {
                    if (m_clientClosed) {
                        timer->stop();
                        return;
                    }
                    // Once the process is gone, a notice it sent may still be on its way: wait a
                    // tick.
                    if (m_clientPid > 0 && ::kill(pid_t(m_clientPid), 0) != 0 && errno == ESRCH &&
                        ++gone > 2) {
                        timer->stop();
                        endedWithoutNotice();
                    }
                });
        timer->start(300);
    }

private:
    qint64 m_clientPid = 0;
    bool m_clientClosed = false;

    QComboBox *cboAlias;
    QLineEdit *edtEmpNo;
    QPushButton *bbtLogin;
    QLabel *lblStatus;
    QLocalServer *server;
};

const char kUsage[] =
    "usage: Kelo [--alias ALIAS] [--emp EMPNO] [--sign-in] [--exit-after-client]\n"
    "The launcher: choose the database, sign in with an employee number, and the client\n"
    "(Kelo_S, beside the launcher) starts.\n"
    "  --alias ALIAS        the database chosen: an alias of Databases.ini, or the path of a\n"
    "                       SQLite file\n"
    "  --emp EMPNO          the employee number filled in\n"
    "  --sign-in            signs in at once\n"
    "  --exit-after-client  ends the launcher when the client has closed\n"
    "  --help               this text\n"
    "Settings files are read beside the program, then from ~/.config/kelo, then from\n"
    "/etc/kelo (KELO_APP_DIR names one folder instead).\n";

// Why the arguments are not the launcher's, or empty text.
QString WrongArguments(const QStringList &args) {
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--alias") || a == QLatin1String("--emp")) {
            if (++i >= args.size())
                return a + QStringLiteral(" needs a value");
        } else if (a != QLatin1String("--sign-in") && a != QLatin1String("--exit-after-client")) {
            return QStringLiteral("not understood: ") + a;
        }
    }
    return QString();
}

} // namespace

int main(int argc, char **argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    if (!kelo::DisplayAvailable("Kelo"))
        return 1;
    kelo::PrepareRuntimeDir();
    kelo::Application app(argc, argv);
    // --alias A chooses the database, --emp N fills in the employee number, --sign-in signs in
    // at once, --exit-after-client ends the launcher when the client's closing notice arrives.
    const QStringList args = app.arguments();
    const QString wrong = WrongArguments(args.mid(1));
    if (!wrong.isEmpty()) {
        std::fprintf(stderr, "Kelo: %s\n%s", wrong.toLocal8Bit().constData(), kUsage);
        return 2;
    }
    kelo::shell::InstallFontSubstitutions();
    kelo::database::Install();
    LauncherWindow window(args.contains(QStringLiteral("--exit-after-client")));
    const qsizetype aliasAt = args.indexOf(QStringLiteral("--alias"));
    if (aliasAt >= 0 && aliasAt + 1 < args.size()) {
        // A database that Databases.ini does not list (a file's path) joins the list.
        auto *aliases = window.findChild<QComboBox *>(QStringLiteral("cboAlias"));
        const QString alias = args.at(aliasAt + 1);
        if (aliases->findText(alias) < 0)
            aliases->addItem(alias);
        aliases->setCurrentText(alias);
    }
    const qsizetype at = args.indexOf(QStringLiteral("--emp"));
    if (at >= 0 && at + 1 < args.size())
        window.findChild<QLineEdit *>(QStringLiteral("edtEmpNo"))->setText(args.at(at + 1));
    window.show();
    if (args.contains(QStringLiteral("--sign-in"))) {
        const bool exitAfterClient = args.contains(QStringLiteral("--exit-after-client"));
        QTimer::singleShot(0, &window, [&window, exitAfterClient] {
            if (window.signIn()) {
                if (exitAfterClient)
                    window.watchClient([] {
                        std::fputs("Kelo: the client ended without its closing notice\n", stderr);
                        QCoreApplication::exit(1);
                    });
            } else if (exitAfterClient) {
                QCoreApplication::exit(1);
            }
        });
    }
    return app.exec();
}
