#pragma once

#include <QString>
#include <QStringList>

namespace kelo::tools {

// The connection parameters of a database the tools are given: DATABASE the alias or
// path as it is (db::ResolveDatabase tells them apart), USER_NAME the alias's User of
// Databases.ini (KLUSER by default) and PASSWORD from PGPASSWORD, else SBUpdate.ini's PASS,
// else the user name, as the client reads it.
QStringList TargetParams(const QString &target);

} // namespace kelo::tools
