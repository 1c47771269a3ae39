#pragma once

// The programs an employee may open: those of the employee's level in the project, with the
// ones added for the employee and without the ones taken away, in menu order. The main
// window's menu and the report catalogue both ask here.

#include "db/connection.h"

#include <QSet>
#include <QString>

#include <vector>

namespace kelo {

struct PermittedProgram {
    QString menuId, programId, name;
};

std::vector<PermittedProgram> PermittedPrograms(db::Connection &connection,
                                                const QString &projectId, const QString &empNo);
QSet<QString> PermittedProgramIds(db::Connection &connection, const QString &projectId,
                                  const QString &empNo);

} // namespace kelo
