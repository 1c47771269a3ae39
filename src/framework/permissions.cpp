#include "framework/permissions.h"

#include "db/query.h"

namespace kelo {

std::vector<PermittedProgram> PermittedPrograms(db::Connection &connection,
                                                const QString &projectId, const QString &empNo) {
    db::Query programs(connection);
    programs.setSql(QStringLiteral(R"sql(
        SELECT MENU_ID, PROGRAM_ID, PROGRAM_NAME
        FROM ZA050MS
        WHERE PROJECT_ID = :P0
            AND PROGRAM_ID IN (
                SELECT PROGRAM_ID
                FROM ZA140MS
                WHERE PROJECT_ID = :P0
                    AND PROJECT_LEVEL = (
                        SELECT PROJECT_LEVEL
                        FROM ZA130MS
                        WHERE EMP_NO = :P2
                            AND PROJECT_ID = :P0
                    )
                UNION ALL
                SELECT PROGRAM_ID
                FROM ZA150MS
                WHERE EMP_NO = :P2
                    AND PROJECT_ID = :P0
                    AND ADD_YN = 'Y'
                EXCEPT
                SELECT PROGRAM_ID
                FROM ZA150MS
                WHERE EMP_NO = :P2
                    AND PROJECT_ID = :P0
                    AND ADD_YN = 'N'
            )
            AND DISPLAY_SEQ > 0
        ORDER BY DISPLAY_SEQ
    )sql"));
    programs.setParam(QStringLiteral("P0"), projectId);
    programs.setParam(QStringLiteral("P2"), empNo);
    std::vector<PermittedProgram> out;
    for (programs.open(); !programs.eof(); programs.next())
        out.push_back({programs.text(0), programs.text(1), programs.text(2)});
    return out;
}

QSet<QString> PermittedProgramIds(db::Connection &connection, const QString &projectId,
                                  const QString &empNo) {
    QSet<QString> ids;
    for (const PermittedProgram &p : PermittedPrograms(connection, projectId, empNo))
        ids.insert(p.programId);
    return ids;
}

} // namespace kelo
