// Demo data, personnel: 300 employees (the sign-in users first) in a four-level department
// tree, with families, schooling, careers, awards and photographs.
//
// Writes QA160MS_DATE QA160MS (the dated and the flat department tree), QA010MS (employees),
// QA010DT (their JPEG photographs), QA020MS (families), QA030MS (schooling), QA040MS (careers)
// and QA070MS (awards). The photographs draw on a stream of their own, seeded per employee.

#include "database/demo_context.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace kelo::database::demo {

namespace {

struct Dept {
    const char *code, *name, *parent;
};

QByteArray photo(quint64 seed) {
    Rng r{seed};
    QImage image(90, 120, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(r.between(180, 230), 40, 235));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromHsv(r.between(200, 240), r.between(60, 140), r.between(60, 120)));
    p.drawEllipse(QRectF(5, 78, 80, 70)); // shoulders
    p.setBrush(QColor::fromHsv(r.between(20, 30), r.between(60, 110), r.between(200, 240)));
    p.drawEllipse(QRectF(27, 28, 36, 44)); // face
    p.setBrush(QColor::fromHsv(0, 0, r.between(20, 70)));
    QPainterPath hair;
    hair.moveTo(25, 48);
    hair.cubicTo(22, 18, 68, 18, 65, 48);
    hair.cubicTo(60, 30, 30, 30, 25, 48);
    p.drawPath(hair);
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 80);
    return bytes;
}

// The organisation: the dated department tree and today's flat list, with a department
// closed years ago.
void WriteDepartments(db::Connection &c) {
    const Dept depts[] = {
        {"1000", "켈로리조트", ""},         {"1100", "호텔본부", "1000"},
        {"1200", "레저본부", "1000"},       {"1300", "경영지원본부", "1000"},
        {"1110", "객실팀", "1100"},         {"1120", "식음팀", "1100"},
        {"1210", "골프팀", "1200"},         {"1220", "스키팀", "1200"},
        {"1230", "레저시설팀", "1200"},     {"1310", "인사팀", "1300"},
        {"1320", "재무팀", "1300"},         {"1111", "프론트파트", "1110"},
        {"1112", "하우스키핑파트", "1110"}, {"1121", "레스토랑파트", "1120"},
        {"1122", "연회파트", "1120"},       {"1211", "코스관리파트", "1210"},
        {"1212", "경기운영파트", "1210"},   {"1221", "슬로프파트", "1220"},
        {"1222", "리프트파트", "1220"},     {"1231", "시설파트", "1230"},
        {"1311", "인사파트", "1310"},       {"1321", "회계파트", "1320"},
    };
    QHash<QString, QString> rcode, rname;
    Inserter tree(c, QStringLiteral("QA160MS_DATE"),
                  {"DEPT_CODE", "DEPT_NAME", "R_CODE", "R_NAME", "L_NAME", "SORT_ORD",
                   "DEPT_AFF_YN", "BGN_DATE", "END_DATE"});
    Inserter flat(c, QStringLiteral("QA160MS"), {"AFF_DEPT_CODE", "AFF_DEPT_NAME"});
    int order = 0;
    const double begin = serial(QDate(2000, 1, 1)), end = serial(QDate(9999, 12, 31));
    for (const Dept &d : depts) {
        const QString code = QLatin1String(d.code), parent = QLatin1String(d.parent);
        const QString name = QString::fromUtf8(d.name);
        rcode[code] = rcode.value(parent) + code;
        rname[code] = rname.value(parent).isEmpty() ? name : rname.value(parent) + u' ' + name;
        // The level name: one blank per level before the name, as the organisation lists indent
        // it.
        const QString levelName = QString(int(rcode[code].size() / 4), u' ') + name;
        tree.row({code, name, rcode[code], rname[code], levelName, ++order * 10, "Y", begin, end});
        flat.row({code, name});
    }
    // A department closed years ago stays in the dated tree but out of today's.
    tree.row({"1190", "면세점팀",
              "10001100"
              "1190",
              "켈로리조트 호텔본부 면세점팀", "면세점팀", 990, "Y", begin,
              serial(QDate(2003, 12, 31))});
    flat.row({"1190", "면세점팀"});
}

// Three hundred employees (the sign-in users first) with their families, schooling, careers
// and awards; the rows of their photographs without the pictures.
void WriteEmployees(db::Connection &c, Rng &rng) {
    const std::vector<QString> surnames = {"김", "이", "박", "최", "정", "강", "조",
                                           "윤", "장", "임", "한", "오", "서", "신",
                                           "권", "황", "안", "송", "류", "홍"};
    const std::vector<QString> given = {"민", "서", "지", "현", "우", "준", "영", "수",
                                        "진", "호", "은", "혜", "성", "재", "경", "미",
                                        "동", "하", "윤", "태", "상", "희", "연", "석"};
    const std::vector<QString> workDepts = {"1111", "1112", "1121", "1122", "1211", "1212", "1221",
                                            "1222", "1231", "1311", "1321", "1110", "1120", "1210"};
    const std::vector<QString> streets = {
        "서울특별시 강남구 테헤란로", "강원도 평창군 대관령면 올림픽로",
        "경기도 성남시 분당구 판교로", "강원도 강릉시 경포로", "서울특별시 마포구 월드컵로"};
    Inserter emp(c, QStringLiteral("QA010MS"), {"EMP_NO",
                                                "EMP_K_NAME",
                                                "EMP_C_NAME",
                                                "EMP_E_NAME",
                                                "EMP_STAY_CODE",
                                                "EMP_KIND_CODE",
                                                "EMP_POS_CODE",
                                                "EMP_CLS_CODE",
                                                "EMP_SAL_CLS_CODE",
                                                "EMP_DUTY_CODE",
                                                "EMP_WORK_CODE",
                                                "EMP_JOB",
                                                "EMP_AFF_DEPT_CODE",
                                                "EMP_ENT_DATE",
                                                "EMP_SOC_ID",
                                                "EMP_SEX_TYPE",
                                                "EMP_BIRTH_DATE",
                                                "EMP_BIRTH_TYPE",
                                                "EMP_MARRY_TYPE",
                                                "EMP_HOBBY_CODE",
                                                "EMP_SPC_CODE",
                                                "EMP_PHONE_NO",
                                                "EMP_MOBIL_NO",
                                                "EMP_OFFIC_NO",
                                                "EMP_EMAIL",
                                                "EMP_ZIP",
                                                "EMP_ADDR1",
                                                "EMP_ADDR2",
                                                "CARD_NO"});
    Inserter pic(c, QStringLiteral("QA010DT"), {"EMP_NO", "EMP_PIC"});
    Inserter fam(c, QStringLiteral("QA020MS"),
                 {"EMP_NO", "FAM_SEQ", "FAM_REL_CODE", "FAM_NAME", "FAM_SOC_ID", "FAM_SCHS_CODE",
                  "FAM_JOB_CODE", "FAM_WITH_YN"});
    Inserter school(c, QStringLiteral("QA030MS"),
                    {"EMP_NO", "SCHS_SEQ", "SCHS_ENT_YM", "SCHS_GRA_YM", "SCHS_SCHL_CLAS_CODE",
                     "SCHS_SCHL_AREA_CODE", "SCHS_SCHL_EDUC_CODE", "SCHS_MJR_CLAS_CODE",
                     "SCHS_MJR_COUR_CODE", "SCHS_MJR_SUBJ_CODE"});
    Inserter career(c, QStringLiteral("QA040MS"),
                    {"EMP_NO", "CARE_SEQ", "CARE_COMP_NAME", "CARE_DEPT_NAME", "CARE_POS_NAME",
                     "CARE_WORK_NAME", "CARE_ENT_DATE", "CARE_RET_DATE", "CARE_YEAR"});
    Inserter award(c, QStringLiteral("QA070MS"),
                   {"EMP_NO", "AWRD_SEQ", "AWRD_DATE", "AWRD_CODE", "AWRD_TYPE", "AWRD_REAS",
                    "AWRD_ORGN_NAME", "AWRD_END_DATE"});
    const std::vector<QString> positions = {"30", "40", "50", "60", "60", "70", "80", "80", "80"};
    const std::vector<QString> kinds = {"02", "02", "02", "02", "02", "03", "03", "07", "01"};
    const std::vector<QString> works = {"100", "110", "200", "210", "300", "310", "400",
                                        "410", "500", "600", "610", "620", "700"};
    for (int i = 0; i < 300; ++i) {
        const bool demoUser = i < int(DemoUsers().size());
        const int entYear = demoUser ? 2000 : rng.between(1990, 2020);
        // "10", the year of entry and a serial: the first eight characters of the employee's
        // member numbers (the sign-in users keep numbers of their own).
        const QString empNo = demoUser ? DemoUsers()[size_t(i)].empNo
                                       : QStringLiteral("10%1%2")
                                             .arg(entYear % 100, 2, 10, QChar(u'0'))
                                             .arg(i, 4, 10, QChar(u'0'));
        const QString name = demoUser ? DemoUsers()[size_t(i)].name
                                      : rng.pick(surnames) + rng.pick(given) + rng.pick(given);
        const bool male = rng.chance(0.55);
        const QDate birth(entYear - rng.between(22, 32), rng.between(1, 12), rng.between(1, 28));
        const QString soc = birth.toString(QStringLiteral("yyMMdd")) + u'-' +
                            QString::number((birth.year() >= 2000 ? 3 : 1) + (male ? 0 : 1)) +
                            QStringLiteral("%1").arg(rng.between(0, 999999), 6, 10, QChar(u'0'));
        const QString stay =
            i % 37 == 36 ? QStringLiteral("02") : QStringLiteral("01"); // a few have left
        const QString dept = i == 0 ? QStringLiteral("1311") : rng.pick(workDepts);
        const QString mobile =
            QStringLiteral("010-%1-%2").arg(rng.between(2000, 9999)).arg(rng.between(1000, 9999));
        emp.row(
            {empNo,
             name,
             "",
             QStringLiteral("Employee %1").arg(i + 1),
             stay,
             rng.pick(kinds),
             rng.pick(positions),
             QString::number(rng.between(1, 6)),
             QStringLiteral("%1").arg(rng.between(1, 10), 2, 10, QChar(u'0')),
             i % 15 == 0   ? QStringLiteral("20") // team leaders
             : i % 15 == 7 ? QStringLiteral("30") // part leaders
                           : QStringLiteral("90"),
             rng.pick(works),
             "",
             dept,
             serial(QDate(entYear, rng.between(1, 12), 1)),
             soc,
             male ? "M" : "F",
             serial(birth),
             rng.chance(0.1) ? "1" : "0",
             rng.chance(0.6) ? "2" : "1",
             QStringLiteral("0%1").arg(rng.between(1, 7)),
             QStringLiteral("0%1").arg(rng.between(1, 6)),
             QStringLiteral("033-%1-%2").arg(rng.between(300, 399)).arg(rng.between(1000, 9999)),
             mobile,
             QStringLiteral("033-330-%1").arg(rng.between(1000, 9999)),
             QStringLiteral("emp%1@kelo-resort.kr").arg(i + 1),
             QStringLiteral("%1").arg(rng.between(10000, 63999)),
             rng.pick(streets) + QStringLiteral(" %1").arg(rng.between(1, 400)),
             QStringLiteral("%1동 %2호").arg(rng.between(101, 120)).arg(rng.between(101, 1504)),
             QStringLiteral("%1").arg(1000000000LL + i * 7919LL)});
        if (i % 10 != 9)                 // most employees have a photograph
            pic.row({empNo, QString()}); // the blob is written below
        const int family = rng.between(0, 3);
        for (int f = 0; f < family; ++f)
            fam.row({empNo, f + 1, f == 0 ? "01" : "02",
                     rng.pick(surnames) + rng.pick(given) + rng.pick(given), "",
                     QStringLiteral("0%1").arg(rng.between(1, 6)),
                     QStringLiteral("0%1").arg(rng.between(1, 6)), rng.chance(0.8) ? "Y" : "N"});
        school.row({empNo, 1, QStringLiteral("%103").arg(birth.year() + 19),
                    QStringLiteral("%102").arg(birth.year() + 23), "4", "01",
                    QStringLiteral("%1").arg(rng.between(1, 20), 3, 10, QChar(u'0')),
                    QStringLiteral("0%1").arg(rng.between(1, 6)), "01", "01"});
        if (rng.chance(0.4))
            career.row({empNo, 1, "한빛호텔", "객실부", "사원", "프론트",
                        QStringLiteral("%1").arg(entYear - 3) + "0301",
                        QStringLiteral("%1").arg(entYear - 1) + "0228", 2});
        if (rng.chance(0.3)) {
            const bool prize = rng.chance(0.8);
            award.row({empNo, 1, serial(QDate(entYear + 2, 12, 31)), prize ? "02" : "11",
                       prize ? "1" : "2", prize ? "업무 유공" : "근무 태만", "켈로리조트", ""});
        }
    }
    emp.flush();
    pic.flush();
}

// The pictures of the employees that have a photograph row, drawn from the seed.
void WritePhotographs(db::Connection &c, quint64 seed) {
    db::Query photos(c);
    photos.setSql(QStringLiteral(R"sql(
SELECT EMP_NO
FROM QA010DT
ORDER BY EMP_NO
)sql"));
    QStringList withPhoto;
    for (photos.open(); !photos.eof(); photos.next())
        withPhoto << photos.text(0);
    db::Query update(c);
    update.setSql(QStringLiteral(R"sql(
UPDATE QA010DT
SET EMP_PIC = :PIC
WHERE EMP_NO = :EMP_NO
)sql"));
    for (const QString &empNo : withPhoto) {
        update.setParamBlob(QStringLiteral("PIC"), photo(seed * 1000003ull + empNo.toULongLong()));
        update.setParam(QStringLiteral("EMP_NO"), empNo);
        update.exec();
    }
}

} // namespace

void WritePersonnel(Context &ctx) {
    WriteDepartments(ctx.c);
    WriteEmployees(ctx.c, ctx.rng);
    WritePhotographs(ctx.c, ctx.opt.seed);
}

} // namespace kelo::database::demo
