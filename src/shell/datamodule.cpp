#include "shell/datamodule.h"

#include "common/appdir.h"
#include "common/dialogs.h"
#include "common/functions.h"
#include "common/globals.h"
#include "database/schema.h"
#include "framework/screenhelpers.h"
#include "shell/password.h"

#include <QDir>
#include <QSettings>

namespace kelo::shell {

TfrmZZD000::TfrmZZD000(const QStringList &arguments, QObject *parent)
    : QObject(parent), m_arguments(arguments) {
    GlobalValues &g = Globals();
    QString dir = AppDir();
    if (!dir.endsWith(u'/'))
        dir += u'/';
    g.appDir = dir;
    g.clientIP = GetClientIP();
    g.empNo = arguments.value(2);
    g.empName = arguments.value(3);
    qryQuery = std::make_unique<db::Query>(dbsDB);
    qryQuery2 = std::make_unique<db::Query>(dbsDB);
    prcProc = std::make_unique<db::StoredProc>(dbsDB);
    // The stored parameters of the connection; DATABASE, USER_NAME and PASSWORD are replaced below.
    dbsDB.setParams(
        {QStringLiteral("DataBase=ORAKL"), QStringLiteral("User_Name=KLUSER"),
         QStringLiteral("Password=RQVANO"), QStringLiteral("RowsetSize=20"),
         QStringLiteral("BlobSize=-1"), QStringLiteral("LocaleCode=0000"),
         QStringLiteral("TransIsolation=ReadCommited"), QStringLiteral("OS Authentication=False"),
         QStringLiteral("Multiple Transaction=False"), QStringLiteral("Trim Char=False")});
    if (arguments.size() == 4) {
        m_accepted = true;
        dbsDB.setParam(QStringLiteral("DATABASE"), arguments.at(0));
        dbsDB.setParam(QStringLiteral("USER_NAME"), arguments.at(1));
        ConnectDatabase();
    } else {
        ShowError(QStringLiteral("이 프로그램은 단독으로 실행되지 않습니다.\r메인 "
                                 "프로그램(Kelo.exe)으로 실행하십시오."));
    }
}

TfrmZZD000::~TfrmZZD000() {
    DisconnectDatabase();
}

QString TfrmZZD000::ReadDbPassword() const {
    return shell::ReadDbPassword(m_arguments.value(1));
}

bool TfrmZZD000::ConnectDatabase() {
    if (dbsDB.isOpen())
        return true;
    try {
        dbsDB.setParam(QStringLiteral("PASSWORD"), ReadDbPassword());
        dbsDB.open();
        try {
            database::CheckSchema(dbsDB, database::OlderSchema::Upgrade);
        } catch (const db::DbError &) {
            dbsDB.close();
            throw;
        }
        return true;
    } catch (const PasswordError &e) {
        ShowError(QStringLiteral("데이터베이스와 연결할 수 없습니다.\r\r에러내용:\r") +
                  e.message());
    } catch (const db::DbError &e) {
        ShowError(ConnectFailureMessage(e.message()));
    }
    return false;
}

void TfrmZZD000::DisconnectDatabase() {
    if (dbsDB.isOpen())
        dbsDB.close();
}

} // namespace kelo::shell
