#include "database/demo.h"

#include "common/clock.h"
#include "common/numbertext.h"
#include "database/codes.h"
#include "database/schema.h"
#include "db/query.h"
#include "db/transaction.h"

#include <QBuffer>
#include <QColor>
#include <QDate>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <map>

namespace kelo::database {

namespace {

// splitmix64: small, fast and the same on every platform.
struct Rng {
    quint64 state;
    quint64 next() {
        quint64 z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int between(int lo, int hi) { return lo + int(next() % quint64(hi - lo + 1)); }
    double real() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    bool chance(double p) { return real() < p; }
    template <typename T> const T &pick(const std::vector<T> &v) {
        return v[size_t(next() % v.size())];
    }
};

struct V {
    QString s;
    V(const QString &x) : s(x) {}
    V(const char *x) : s(QString::fromUtf8(x)) {}
    V(int x) : s(QString::number(x)) {}
    V(qint64 x) : s(QString::number(x)) {}
    V(double x) : s(NumberToText(x)) {}
};

// INSERT of one table with positional values.
class Inserter {
public:
    Inserter(db::Connection &c, const QString &table, const QStringList &columns) : m_query(c) {
        QStringList params;
        for (int i = 0; i < columns.size(); ++i)
            params << QStringLiteral(":P%1").arg(i);
        m_query.setSql(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(table, columns.join(QStringLiteral(", ")), params.join(QStringLiteral(", "))));
    }
    void row(std::initializer_list<V> values) {
        int i = 0;
        for (const V &v : values)
            m_query.setParam(i++, v.s);
        m_query.exec();
        ++m_rows;
    }
    qint64 rows() const { return m_rows; }

private:
    db::Query m_query;
    qint64 m_rows = 0;
};

QString ymd(const QDate &d) {
    return d.toString(QStringLiteral("yyyyMMdd"));
}

// A date value of the database: days since 1899-12-30.
double serial(const QDate &d) {
    return double(QDate(1899, 12, 30).daysTo(d));
}

const QStringList kMenuRows = {
    // id, caption, display order
    QStringLiteral("M10|영업조회|10"), QStringLiteral("M20|경영정보입력|20"),
    QStringLiteral("M30|목표관리|30"), QStringLiteral("M40|리포트|40"),
    QStringLiteral("M50|인사조회|50"), QStringLiteral("M60|관리자|60"),
    QStringLiteral("M90|미사용|0"),
};

} // namespace

const std::vector<DemoProgram> &DemoPrograms() {
    static const std::vector<DemoProgram> programs = [] {
        const char *rows[][3] = {
            {"SAS000", "매출조회", "M10"},
            {"SBS020", "객실 예약현황", "M10"},
            {"SBS040", "골프 예약현황", "M10"},
            {"SBS050", "임직원 객실 이용현황", "M10"},
            {"SBS310", "회원 이용현황", "M10"},
            {"SBS330", "락카 이용현황", "M10"},
            {"SBS340", "영업장별 매출내역", "M10"},
            {"SBS341", "영업장별 매출상세", "M10"},
            {"SBS350", "임직원 골프 이용현황", "M10"},
            {"SBS360", "객실 투숙현황", "M10"},
            {"SBS370", "연회 행사현황", "M10"},
            {"SPS010", "고객유형별 매출", "M10"},
            {"SPS050", "건물별 객실현황", "M10"},
            {"SRS330", "일자별 매출현황", "M10"},
            {"SRS340", "월별 매출현황", "M10"},
            {"SRI010", "경영정보관리 메인정보", "M20"},
            {"SRI020", "경영정보관리 회계정보", "M20"},
            {"SRI030", "경영정보관리 운영객실정보", "M20"},
            {"SRI040", "경영정보관리 매출집계정보", "M20"},
            {"SRI050", "경영정보관리 F&B Index", "M20"},
            {"SRI210", "객실 매출내역 수정", "M20"},
            {"SRS160", "보고서 선택", "M20"},
            {"SRS184", "행사 보고 선택", "M20"},
            {"STS010", "부서별 목표대비 실적", "M30"},
            {"STS020", "부문별 목표대비 실적", "M30"},
            {"STS030", "영업장별 목표대비 실적", "M30"},
            {"STS040", "경영부문별 목표대비 실적", "M30"},
            {"STS050", "목표대비 실적 요약", "M30"},
            {"STS060", "월별 목표대비 실적", "M30"},
            {"STS070", "년간 목표대비 실적", "M30"},
            {"STS080", "고객수 목표대비 실적", "M30"},
            {"STS090", "객단가 목표대비 실적", "M30"},
            {"STI010", "영업장 목표 입력", "M30"},
            {"STI020", "일별 목표 가져오기", "M30"},
            {"STP010", "목표 출력", "M30"},
            {"SRS010", "리포트 출력", "M40"},
            {"SRI200", "일일 매출 보고서", "M40"},
            {"SRS410", "일일 영업 보고서", "M40"},
            {"SRS440", "일일 객실 보고서", "M40"},
            {"SBS010", "객실 매출 보고서", "M40"},
            {"SBS030", "골프 매출 보고서", "M40"},
            {"SBS060", "스키 매출 보고서", "M40"},
            {"SBS070", "식음 매출 보고서", "M40"},
            {"SBS110", "월간 객실 보고서", "M40"},
            {"SBS120", "월간 골프 보고서", "M40"},
            {"SBS130", "월간 스키 보고서", "M40"},
            {"SBS140", "월간 식음 보고서", "M40"},
            {"SBS210", "회원 매출 보고서", "M40"},
            {"SBS320", "락카 매출 보고서", "M40"},
            {"SRI060", "일일 경영 보고서", "M40"},
            {"SRI070", "주간 경영 보고서", "M40"},
            {"SRI080", "월간 경영 보고서", "M40"},
            {"SRI090", "년간 경영 보고서", "M40"},
            {"SRI100", "객실 점유율 보고서", "M40"},
            {"SRI120", "F&B 일일 보고서", "M40"},
            {"SRI130", "F&B 월간 보고서", "M40"},
            {"SRI140", "레저 일일 보고서", "M40"},
            {"SRS150", "영업장별 일보", "M40"},
            {"SRS151", "영업장별 월보", "M40"},
            {"SRS170", "고객유형별 보고서", "M40"},
            {"SRS180", "행사 보고서", "M40"},
            {"SRS181", "행사 월간 보고서", "M40"},
            {"SRS182", "연회 보고서", "M40"},
            {"SRS183", "연회 월간 보고서", "M40"},
            {"SRS185", "단체 보고서", "M40"},
            {"SRS186", "여행사 보고서", "M40"},
            {"SRS187", "회원 보고서", "M40"},
            {"SRS320", "일자별 매출 보고서", "M40"},
            {"SRS420", "목표 보고서", "M40"},
            {"SRS430", "예산 보고서", "M40"},
            {"SRS450", "객실 판매 보고서", "M40"},
            {"SRS460", "식음 판매 보고서", "M40"},
            {"SQS000", "인사조회", "M50"},
            {"SQR050", "인사 현황 보고서", "M50"},
        };
        std::vector<DemoProgram> out;
        for (const auto &r : rows)
            out.push_back(
                {QString::fromUtf8(r[0]), QString::fromUtf8(r[1]), QString::fromUtf8(r[2])});
        return out;
    }();
    return programs;
}

const std::vector<DemoUser> &DemoUsers() {
    static const std::vector<DemoUser> users = {
        {QStringLiteral("20000001"), QStringLiteral("김관리"), QStringLiteral("A")},
        {QStringLiteral("20000002"), QStringLiteral("이조회"), QStringLiteral("B")},
        {QStringLiteral("20000003"), QStringLiteral("박입력"), QStringLiteral("C")},
    };
    return users;
}

namespace {

struct Generator {
    db::Connection &c;
    const DemoOptions &opt;
    Rng rng;
    QDate first, last;
    std::function<void(const QString &)> say;

    void menuTables() {
        Inserter za040(c, QStringLiteral("ZA040MS"),
                       {"PROJECT_ID", "MENU_ID", "MENU_NAME", "DISPLAY_SEQ"});
        for (const QString &row : kMenuRows) {
            const QStringList f = row.split(u'|');
            za040.row({"KELO_S", f[0], f[1], f[2]});
        }
        Inserter za050(c, QStringLiteral("ZA050MS"),
                       {"PROJECT_ID", "MENU_ID", "PROGRAM_ID", "PROGRAM_NAME", "DISPLAY_SEQ"});
        int seq = 0;
        for (const DemoProgram &p : DemoPrograms())
            za050.row({"KELO_S", p.menuId, p.id, p.name, ++seq * 10});
        // A program of the hidden menu, and a program no level grants.
        za050.row({"KELO_S", "M90", "SRS999", "사용하지 않는 프로그램", 10});
        za050.row({"KELO_S", "M60", "SZZ900", "관리자 설정", 10});

        // Levels: A every program, B the inquiries and reports, C the input screens.
        Inserter za140(c, QStringLiteral("ZA140MS"), {"PROJECT_ID", "PROJECT_LEVEL", "PROGRAM_ID"});
        for (const DemoProgram &p : DemoPrograms()) {
            za140.row({"KELO_S", "A", p.id});
            if (p.menuId == QLatin1String("M10") || p.menuId == QLatin1String("M40") ||
                p.menuId == QLatin1String("M50"))
                za140.row({"KELO_S", "B", p.id});
            if (p.menuId == QLatin1String("M20") || p.menuId == QLatin1String("M30"))
                za140.row({"KELO_S", "C", p.id});
        }
        za140.row({"KELO_S", "A", "SRS999"});
        Inserter za130(c, QStringLiteral("ZA130MS"), {"EMP_NO", "PROJECT_ID", "PROJECT_LEVEL"});
        for (const DemoUser &u : DemoUsers())
            za130.row({u.empNo, "KELO_S", u.level});
        // Exceptions: the inquiry user may also enter the weather, but not open the personnel hub;
        // the input user may look at the sales hub.
        Inserter za150(c, QStringLiteral("ZA150MS"),
                       {"EMP_NO", "PROJECT_ID", "PROGRAM_ID", "ADD_YN"});
        za150.row({"20000002", "KELO_S", "SRI010", "Y"});
        za150.row({"20000002", "KELO_S", "SQS000", "N"});
        za150.row({"20000003", "KELO_S", "SAS000", "Y"});
    }

    // ---- personnel ----------------------------------------------------------
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

    void personnel() {
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
            tree.row(
                {code, name, rcode[code], rname[code], levelName, ++order * 10, "Y", begin, end});
            flat.row({code, name});
        }
        // A department closed years ago stays in the dated tree but out of today's.
        tree.row({"1190", "면세점팀",
                  "10001100"
                  "1190",
                  "켈로리조트 호텔본부 면세점팀", "면세점팀", 990, "Y", begin,
                  serial(QDate(2003, 12, 31))});
        flat.row({"1190", "면세점팀"});

        const std::vector<QString> surnames = {"김", "이", "박", "최", "정", "강", "조",
                                               "윤", "장", "임", "한", "오", "서", "신",
                                               "권", "황", "안", "송", "류", "홍"};
        const std::vector<QString> given = {"민", "서", "지", "현", "우", "준", "영", "수",
                                            "진", "호", "은", "혜", "성", "재", "경", "미",
                                            "동", "하", "윤", "태", "상", "희", "연", "석"};
        const std::vector<QString> workDepts = {"1111", "1112", "1121", "1122", "1211",
                                                "1212", "1221", "1222", "1231", "1311",
                                                "1321", "1110", "1120", "1210"};
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
                     {"EMP_NO", "FAM_SEQ", "FAM_REL_CODE", "FAM_NAME", "FAM_SOC_ID",
                      "FAM_SCHS_CODE", "FAM_JOB_CODE", "FAM_WITH_YN"});
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
        const std::vector<QString> positions = {"30", "40", "50", "60", "60",
                                                "70", "80", "80", "80"};
        const std::vector<QString> kinds = {"02", "02", "02", "02", "02", "03", "03", "07", "01"};
        const std::vector<QString> works = {"100", "110", "200", "210", "300", "310", "400",
                                            "410", "500", "600", "610", "620", "700"};
        for (int i = 0; i < 300; ++i) {
            const bool demoUser = i < int(DemoUsers().size());
            const int entYear = demoUser ? 2000 : rng.between(1990, 2020);
            const QString empNo =
                demoUser ? DemoUsers()[size_t(i)].empNo
                         : QStringLiteral("%1%2").arg(entYear).arg(i, 4, 10, QChar(u'0'));
            const QString name = demoUser ? DemoUsers()[size_t(i)].name
                                          : rng.pick(surnames) + rng.pick(given) + rng.pick(given);
            const bool male = rng.chance(0.55);
            const QDate birth(entYear - rng.between(22, 32), rng.between(1, 12),
                              rng.between(1, 28));
            const QString soc =
                birth.toString(QStringLiteral("yyMMdd")) + u'-' +
                QString::number((birth.year() >= 2000 ? 3 : 1) + (male ? 0 : 1)) +
                QStringLiteral("%1").arg(rng.between(0, 999999), 6, 10, QChar(u'0'));
            const QString stay =
                i % 37 == 36 ? QStringLiteral("02") : QStringLiteral("01"); // a few have left
            const QString dept = i == 0 ? QStringLiteral("1311") : rng.pick(workDepts);
            const QString mobile = QStringLiteral("010-%1-%2")
                                       .arg(rng.between(2000, 9999))
                                       .arg(rng.between(1000, 9999));
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
                 i % 15 == 0 ? QStringLiteral("20") : QStringLiteral("90"),
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
                 QStringLiteral("033-%1-%2")
                     .arg(rng.between(300, 399))
                     .arg(rng.between(1000, 9999)),
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
                         QStringLiteral("0%1").arg(rng.between(1, 6)),
                         rng.chance(0.8) ? "Y" : "N"});
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
        // Photographs.
        db::Query photos(c);
        photos.setSql(QStringLiteral("SELECT EMP_NO FROM QA010DT ORDER BY EMP_NO"));
        QStringList withPhoto;
        for (photos.open(); !photos.eof(); photos.next())
            withPhoto << photos.text(0);
        db::Query update(c);
        update.setSql(QStringLiteral("UPDATE QA010DT SET EMP_PIC = :PIC WHERE EMP_NO = :EMP_NO"));
        for (const QString &empNo : withPhoto) {
            update.setParamBlob(QStringLiteral("PIC"),
                                photo(opt.seed * 1000003ull + empNo.toULongLong()));
            update.setParam(QStringLiteral("EMP_NO"), empNo);
            update.exec();
        }
    }

    // ---- sale items --------------------------------------------------------
    struct Menu {
        QString outlet, code, name, item1, item2, gubun, division;
        double price;
        QString ticketKind;
    };
    std::vector<Menu> menus;
    std::map<QString, std::vector<const Menu *>> menusOf;

    void items() {
        auto add = [&](const char *outlet, const char *code, const char *name, const char *i1,
                       const char *i2, const char *gubun, const char *division, double price,
                       const char *ticket = "") {
            menus.push_back({QLatin1String(outlet), QLatin1String(code), QString::fromUtf8(name),
                             QLatin1String(i1), QLatin1String(i2), QLatin1String(gubun),
                             QLatin1String(division), price, QLatin1String(ticket)});
        };
        const std::pair<const char *, double> hotels[] = {
            {"1001", 1.5}, {"1002", 1.0}, {"1003", 0.7}};
        for (const auto &[h, f] : hotels) {
            add(h, "D1001", "객실료", "D3", "1", "30", "10", 120000 * f);
            add(h, "D1002", "추가침대", "D3", "1", "30", "10", 30000);
            add(h, "D2001", "미니바", "D4", "2", "11", "90", 15000);
            add(h, "D3001", "세탁", "D5", "1", "90", "90", 12000);
        }
        add("2001", "G0101", "그린피(주중)", "G1", "1", "01", "30", 180000);
        add("2001", "G0102", "그린피(주말)", "G1", "2", "01", "30", 230000);
        add("2001", "G0201", "카트비", "G2", "1", "02", "50", 22500);
        add("2001", "G0301", "캐디피", "G3", "1", "03", "50", 32500);
        add("2001", "G0401", "락카", "G4", "1", "04", "50", 5000);
        add("2001", "G0501", "연습장", "G5", "1", "05", "30", 15000);
        add("2001", "G0901", "골프 기타", "G9", "1", "", "90", 10000); // no menu group
        const char *fnb[] = {"2002", "2003", "2004", "3001", "3002",
                             "3003", "3005", "3006", "5005", "5074"};
        for (const char *o : fnb) {
            add(o, "F1001", "정식", "F1", "1", "10", "20", 35000);
            add(o, "F1002", "일품요리", "F1", "2", "10", "20", 22000);
            add(o, "F2001", "커피", "F2", "1", "11", "20", 7000);
            add(o, "F2002", "음료", "F2", "2", "11", "20", 5000);
            add(o, "F3001", "주류", "F3", "1", "12", "20", 18000);
        }
        add("3004", "B1001", "연회 식사", "B1", "1", "10", "20", 55000);
        add("3004", "B2001", "연회 음료", "B2", "1", "11", "20", 8000);
        add("3004", "B9001", "대관료", "B9", "1", "90", "90", 500000);
        add("2005", "P1001", "골프용품", "P1", "1", "90", "90", 45000);
        const char *leisure[] = {"4001", "4002", "4003", "4004", "4053", "4058"};
        for (const char *o : leisure) {
            add(o, "L1001", "입장료", "L1", "1", "20", "60", 15000);
            add(o, "L2001", "대여료", "L2", "1", "21", "60", 5000);
        }
        add("5001", "S1001", "리프트 종일권", "S1", "1", "20", "40", 70000, "01");
        add("5001", "S1002", "리프트 오전권", "S1", "2", "20", "40", 50000, "02");
        add("5001", "S1003", "리프트 오후권", "S1", "3", "20", "40", 55000, "03");
        add("5004", "S1004", "야간권", "S1", "4", "20", "40", 40000, "04");
        add("5007", "S1005", "시즌권", "S1", "5", "20", "40", 450000, "05");
        add("5002", "S2001", "곤돌라 왕복권", "S2", "1", "20", "40", 18000, "06");
        add("5003", "S3001", "장비 대여", "S3", "1", "21", "50", 30000, "01");
        add("5003", "S3002", "의류 대여", "S3", "2", "21", "50", 25000, "02");
        add("5006", "S4001", "스키 강습", "S4", "1", "90", "90", 80000);
        const char *other[] = {"5073", "5075", "5076", "5077", "5078", "6001", "7001"};
        for (const char *o : other)
            add(o, "E1001", "판매", "E1", "1", "90", "90", 9000);

        Inserter jb(c, QStringLiteral("JB010MS"),
                    {"UPJANG_CODE", "MENU_CODE", "MENU_NAME", "MENU_SHORT_NAME", "MENU_ITEM1",
                     "MENU_ITEM2", "MENU_ITEM3", "MENU_ITEM4", "MENU_ITEM5", "MENU_GUBUN_CODE",
                     "DATE_FROM", "DATE_TO", "UNIT_AMT", "CHARGE_GUBUN", "RATE_GUBUN"});
        for (const Menu &m : menus) {
            jb.row({m.outlet, m.code, m.name, m.name, m.item1, m.item2, "", "", "", m.gubun,
                    "20000101", "99991231", m.price, "", ""});
            menusOf[m.outlet].push_back(&m);
        }
        // Golf green fees by charge category, rate and rounds, as the staff usage lists look them
        // up.
        for (int charge = 1; charge <= 4; ++charge)
            for (int busi = 1; busi <= 2; ++busi)
                jb.row({"2001", QStringLiteral("GF%1%2").arg(charge).arg(busi), "그린피 요율",
                        "그린피", QString::number(charge), "1", QString::number(busi), "18", "", "",
                        "20000101", "99991231",
                        (busi == 1 ? 45000.0 : 57500.0) * (charge == 1   ? 0.5
                                                           : charge == 4 ? 0.4
                                                                         : 1.0),
                        "", ""});
    }

    // ---- members -----------------------------------------------------------
    std::vector<QString> members;

    void memberTables() {
        Inserter aa(c, QStringLiteral("AA010MS"), {"MEMBER_NO", "EXCLUSIVE_CODE"});
        Inserter ba(c, QStringLiteral("BA040MS"), {"MEMBER_NO", "MEMBER_NAME"});
        Inserter bb(c, QStringLiteral("BB010MS"), {"MEMBER_NO", "MEMBER_NAME"});
        const std::vector<QString> names = {"김철수", "이영희", "박민준", "최서연",
                                            "정우진", "강지은", "조현우", "윤서진",
                                            "장민서", "임도윤", "한지호", "오수빈"};
        for (int i = 0; i < 400; ++i) {
            const QString no = QStringLiteral("2%1").arg(i + 1, 9, 10, QChar(u'0'));
            members.push_back(no);
            const char *exclusive = i % 5 == 0 ? "F" : i % 7 == 0 ? "M" : "N";
            aa.row({no, exclusive});
            ba.row({no, names[size_t(i) % names.size()] + QString::number(i % 10)});
            bb.row({no, names[size_t(i) % names.size()] + QString::number(i % 10)});
        }
        // Employees are members too: their number followed by "00".
        db::Query staff(c);
        staff.setSql(
            QStringLiteral("INSERT INTO BA040MS (MEMBER_NO, MEMBER_NAME) "
                           "SELECT '10' || SUBSTR(EMP_NO, 3, 6) || '00', EMP_K_NAME FROM QA010MS"));
        staff.exec();
    }

    // ---- the days ----------------------------------------------------------
    struct Totals {
        double net = 0, vat = 0, svc = 0, guests = 0, hu = 0, comp = 0, etc = 0, teams = 0;
    };

    double seasonFactor(const QString &outlet, const QDate &d) const {
        const int m = d.month();
        const bool weekend = d.dayOfWeek() >= 6;
        const bool winter = m == 12 || m <= 3;
        if (outlet.startsWith(u'5') && outlet != QLatin1String("5002") && outlet.toInt() <= 5007)
            return winter ? (weekend ? 2.0 : 1.2) : 0.0; // ski outlets sell only in winter
        if (outlet.startsWith(QLatin1String("200")))
            return winter ? (m == 3 ? 0.5 : 0.0) : (weekend ? 1.6 : 1.0);
        if (outlet == QLatin1String("4003"))
            return winter ? 1.5 : 0.0; // the snow sled
        return weekend ? 1.4 : 1.0;
    }

    void days() {
        const int scale = std::max(1, opt.scale);
        Inserter ia(c, QStringLiteral("IA010MS"),
                    {"SALE_DATE",  "UPJANG_CODE", "BILL_NO",          "SEQ_NO",     "MENU_CODE",
                     "MENU_ITEM1", "MENU_ITEM2",  "MENU_ITEM3",       "MENU_ITEM4", "MENU_ITEM5",
                     "SALE_QTY",   "NET_AMT",     "TIP_AMT",          "VAT_AMT",    "TICKET_KIND",
                     "GUEST_TYPE", "MEMBER_NO",   "ACCEPT_MEMBER_NO", "KOREAN_QTY", "FOREIGN_QTY"});
        Inserter da010(c, QStringLiteral("DA010MS"),
                       {"UPJANG_CODE", "RSV_NO", "MANAGE_NO", "ROOM_NO", "ROOM_TYPE", "GUEST_NAME",
                        "GUEST_TYPE", "MEMBER_NO", "MEMBER_NAME", "CHECKIN_DATE", "CHECKOUT_DATE",
                        "CHECKIN_TYPE", "OUT_YN"});
        Inserter da030(c, QStringLiteral("DA030MS"),
                       {"UPJANG_CODE", "RSV_NO", "MANAGE_NO", "TASK_DATE", "MENU_CODE",
                        "MENU_ITEM2", "MENU_ITEM3", "UNIT_AMT"});
        Inserter da030ss(c, QStringLiteral("DA030SS"),
                         {"UPJANG_CODE", "RSV_NO", "MANAGE_NO", "TASK_DATE", "MENU_CODE", "ROOMS",
                          "SALE_AMT", "GUEST_TYPE", "MEMBER_NO", "ROOM_TYPE", "REMARKS"});
        Inserter dc020(c, QStringLiteral("DC020MS"),
                       {"UPJANG_CODE", "RSV_NO", "MANAGE_NO", "TASK_DATE", "SEQ_NO", "MENU_CODE",
                        "GUEST_TYPE", "NET_AMT", "SVC_AMT", "VAT_AMT", "ITEM_STAT",
                        "FIRST_UPJANG_CODE", "FIRST_RSV_NO", "FIRST_MANAGE_NO", "FIRST_TASK_DATE",
                        "FIRST_SEQ_NO"});
        Inserter de020(
            c, QStringLiteral("DE020MS"),
            {"UPJANG_CODE", "TASK_DATE", "ROOM_TYPE", "ROOM_CNT", "BROKEN_CNT", "INVENTORY_CNT"});
        Inserter de030(c, QStringLiteral("DE030MS"),
                       {"UPJANG_CODE", "TASK_DATE", "ROOM_TYPE", "GUEST_TYPE", "ROOMS", "GUESTS",
                        "NET_AMT", "SVC_AMT"});
        Inserter sa030(c, QStringLiteral("SA030MS"),
                       {"SALE_DATE", "UPJANG_CODE", "DIVISION", "HU_RMS", "COMP_RMS", "ETC_RMS",
                        "TOTAL_RMS", "GOLF_TEAM", "GUESTS", "SALE_AMT", "NET_AMT", "VAT_AMT",
                        "SVC_AMT", "ETC_AMT", "U_EMP_NO", "U_DATE", "U_IP"});
        Inserter sa040(c, QStringLiteral("SA040MS"),
                       {"SALE_DATE", "UPJANG_CODE", "GUBUN", "IH_COVER", "WI_COVER", "TOTAL_COVER",
                        "FOOD_REVENUE", "BEVERAGE_REVENUE", "OTHER_REVENUE", "TOTAL_REVENUE",
                        "U_EMP_NO", "U_DATE", "U_IP"});
        Inserter sa010(c, QStringLiteral("SA010MS"),
                       {"SALE_DATE", "WEATHER", "U_EMP_NO", "U_DATE", "U_IP"});
        Inserter sa010dt(
            c, QStringLiteral("SA010DT"),
            {"SALE_DATE", "MOVEMENT", "ITEM_CODE", "AMOUNT", "U_EMP_NO", "U_DATE", "U_IP"});
        Inserter ca010(c, QStringLiteral("CA010MS"),
                       {"RSV_NO", "UPJANG_CODE", "CHECKIN_DATE", "CHECKOUT_DATE", "NIGHTS",
                        "ROOM_CNT", "ROOM_TYPE", "GUEST_NAME", "GUEST_TYPE", "MEMBER_NO",
                        "STATUS_CODE", "REMARKS", "I_DATE"});
        Inserter ca011(c, QStringLiteral("CA011DT"),
                       {"RSV_NO", "USE_DATE", "SEQ_NO", "USE_AMT", "DEPT_CODE"});
        Inserter ca020(c, QStringLiteral("CA020MS"),
                       {"RSV_NO", "COME_DATE", "MEMBER_NO", "GUEST_NAME", "CHARGE_GUBUN",
                        "RATE_GUBUN", "ROUND_GUBUN", "STATUS_CODE", "ACCEPT_NO", "I_DATE"});
        Inserter cx011(c, QStringLiteral("CX011MS"), {"UPJANG_CODE", "USE_DATE", "WEEK_CODE"});
        Inserter cx030(c, QStringLiteral("CX030MS"), {"USE_DATE", "BUSI_CODE"});
        Inserter ha010(c, QStringLiteral("HA010MS"),
                       {"SALE_DATE", "RSV_NO", "LOCKER_NO", "LOCKER_SEQ"});
        Inserter ha020(c, QStringLiteral("HA020MS"),
                       {"SALE_DATE", "LOCKER_NO", "LOCKER_SEQ", "SALE_AMT"});
        Inserter ke030(c, QStringLiteral("KE030MS"), {"SALE_DATE", "UPJANG_CODE", "SALE_AMT"});
        Inserter ke040(c, QStringLiteral("KE040MS"), {"SALE_DATE", "UPJANG_CODE", "SALE_AMT"});
        Inserter fa010(c, QStringLiteral("FA010MS"),
                       {"EVENT_NO", "EVENT_NAME", "DATE_FROM", "DATE_TO", "ADULT_CNT", "CHILD_CNT",
                        "CONFIRM_DATE", "CANCEL_DATE"});
        Inserter fa010ds(c, QStringLiteral("FA010DS"),
                         {"EVENT_NO", "REPORT_CHK", "U_EMP_NO", "U_DATE", "U_IP"});

        struct RoomType {
            QString hotel, type;
            int rooms;
            double rate;
        };
        const std::vector<RoomType> roomTypes = {
            {"1001", "ST", 120, 180000}, {"1001", "DX", 60, 240000}, {"1001", "SU", 20, 450000},
            {"1002", "ST", 80, 120000},  {"1002", "FM", 70, 150000}, {"1003", "ST", 60, 80000},
            {"1003", "FM", 40, 100000},
        };
        const std::vector<std::pair<QString, double>> guestTypes = {
            {"100", 0.45}, {"110", 0.15}, {"200", 0.12}, {"210", 0.03},
            {"300", 0.10}, {"400", 0.10}, {"900", 0.03}, {"910", 0.02}};
        auto pickGuestType = [&]() {
            double x = rng.real();
            for (const auto &[code, p] : guestTypes) {
                if (x < p)
                    return code;
                x -= p;
            }
            return guestTypes.back().first;
        };
        auto rateFactor = [](const QString &gt) {
            if (gt == QLatin1String("900") || gt == QLatin1String("910"))
                return 0.0;
            if (gt.startsWith(u'2'))
                return 0.7;
            if (gt == QLatin1String("300"))
                return 0.8;
            if (gt == QLatin1String("400"))
                return 0.85;
            return 1.0;
        };
        const std::vector<QString> weathers = {"01", "01", "01", "02", "02",
                                               "03", "04", "05", "06"};
        const std::vector<QString> outletsWithSales = [&] {
            std::vector<QString> v;
            for (const Outlet &o : StandardOutlets())
                if (menusOf.count(o.code))
                    v.push_back(o.code);
            return v;
        }();
        const QString stamp = QStringLiteral("SYSTEM");
        // Two-night stays carry into the next day: (hotel, type) -> stays.
        struct Stay {
            QString hotel, type, rsv, guestType, member;
            double rate;
            int guests;
            QString firstDate;
        };
        std::vector<Stay> carry;
        int eventNo = 0;

        for (QDate d = first; d <= last; d = d.addDays(1)) {
            const QString date = ymd(d);
            const bool weekend = d.dayOfWeek() >= 6;
            int rsvSeq = 0, billSeq = 0;
            std::map<std::pair<QString, QString>, Totals> totals; // (outlet, division)
            std::map<std::pair<QString, QString>, std::array<double, 5>>
                fnbIndex; // ih, wi, food, bev, other
            auto line = [&](const QString &outlet, const QString &bill, int seq, const Menu &m,
                            double qty, double unit, const QString &guestType,
                            const QString &member, double tipRate) {
                const double net = std::round(qty * unit);
                const double tip = std::round(net * tipRate);
                const double vat = std::round(net * 0.1);
                ia.row({date, outlet, bill, seq, m.code,       m.item1,   m.item2, "", "",  "",
                        qty,  net,    tip,  vat, m.ticketKind, guestType, member,  "", qty, 0});
                Totals &t = totals[{outlet, m.division}];
                t.net += net;
                t.svc += tip;
                t.vat += vat;
                return net;
            };

            // Hotels: inventory, stays and their charges.
            std::map<std::pair<QString, QString>, std::array<double, 4>>
                sold; // (hotel,type|guest) rooms, guests, net, svc
            std::map<QString, Totals> hotelTotals;
            std::vector<Stay> staying = std::move(carry);
            carry.clear();
            for (const RoomType &rt : roomTypes) {
                const int rooms = rt.rooms * scale;
                const int broken = rng.between(0, 2), inventory = rng.between(0, 1);
                de020.row({rt.hotel, date, rt.type, rooms, broken, inventory});
                const double occ = std::clamp(0.5 + (weekend ? 0.3 : 0.0) +
                                                  (d.month() >= 7 && d.month() <= 8 ? 0.15 : 0) +
                                                  (rng.real() - 0.5) * 0.2,
                                              0.15, 0.98);
                int already = 0;
                for (const Stay &s : staying)
                    already += s.hotel == rt.hotel && s.type == rt.type;
                const int arrivals =
                    std::max(0, int(std::lround((rooms - broken - inventory) * occ)) - already);
                for (int a = 0; a < arrivals; ++a) {
                    const QString gt = pickGuestType();
                    const QString rsv =
                        date.mid(2) + QStringLiteral("%1").arg(++rsvSeq, 4, 10, QChar(u'0'));
                    const QString member = gt.startsWith(u'2') ? rng.pick(members) : QString();
                    const int nights = rng.chance(0.35) ? 2 : 1;
                    const Stay s{rt.hotel,
                                 rt.type,
                                 rsv,
                                 gt,
                                 member,
                                 std::round(rt.rate * rateFactor(gt) / 1000) * 1000,
                                 rng.between(1, 4),
                                 date};
                    da010.row({rt.hotel, rsv, "01",
                               QStringLiteral("%1%2")
                                   .arg(rng.between(2, 12))
                                   .arg(rng.between(1, 40), 2, 10, QChar(u'0')),
                               rt.type, QStringLiteral("고객%1").arg(rsv.right(4)), gt, member,
                               member.isEmpty() ? QString() : QStringLiteral("회원"), date,
                               ymd(d.addDays(nights)), weekend ? "2" : "1",
                               d.addDays(nights) <= last ? "Y" : "N"});
                    staying.push_back(s);
                    if (nights == 2)
                        carry.push_back(s);
                }
            }
            for (const Stay &s : staying) {
                const double svc = std::round(s.rate * 0.1);
                da030.row({s.hotel, s.rsv, "01", date, "D1001", s.guestType, s.type, s.rate});
                da030ss.row({s.hotel, s.rsv, "01", date, "D1001", 1, s.rate, s.guestType, s.member,
                             s.type, ""});
                dc020.row({s.hotel, s.rsv, "01", date, 1, "D1001", s.guestType, s.rate, svc,
                           std::round(s.rate * 0.1), "1", s.hotel, s.rsv, "01", s.firstDate, 1});
                auto &agg = sold[{s.hotel + u'|' + s.type, s.guestType}];
                agg[0] += 1;
                agg[1] += s.guests;
                agg[2] += s.rate;
                agg[3] += svc;
                Totals &ht = hotelTotals[s.hotel];
                ht.guests += s.guests;
                ht.hu += s.guestType == QLatin1String("900");
                ht.comp += s.guestType == QLatin1String("910");
                ht.net += s.rate;
                ht.svc += svc;
                ht.teams += 1; // rooms sold
                if (rng.chance(0.15)) {
                    const double minibar = 15000.0 * rng.between(1, 3);
                    dc020.row({s.hotel, s.rsv, "01", date, 2, "D2001", s.guestType, minibar, 0,
                               std::round(minibar * 0.1), "1", s.hotel, s.rsv, "01", date, 2});
                }
            }
            for (const auto &[key, agg] : sold) {
                const QStringList ht = key.first.split(u'|');
                de030.row({ht[0], date, ht[1], key.second, agg[0], agg[1], agg[2], agg[3]});
            }
            for (const auto &[hotel, ht] : hotelTotals) {
                const Menu *room = menusOf[hotel][0];
                const QString bill = QStringLiteral("H%1").arg(++billSeq, 6, 10, QChar(u'0'));
                // The room revenue of the day as one sales line; its service charge as the tip.
                const double vat = std::round(ht.net * 0.1);
                ia.row({date, hotel, bill,     1,      room->code, room->item1, room->item2, "",
                        "",   "",    ht.teams, ht.net, ht.svc,     vat,         "",          "",
                        "",   "",    ht.teams, 0});
                Totals &t = totals[{hotel, room->division}];
                t.net += ht.net;
                t.svc += ht.svc;
                t.vat += vat;
                t.guests += ht.guests;
                t.hu += ht.hu;
                t.comp += ht.comp;
                for (int k = 0, n = rng.between(2, 8) * scale; k < n; ++k) {
                    const Menu &extra = *menusOf[hotel][size_t(rng.between(1, 3))];
                    line(hotel, QStringLiteral("H%1").arg(++billSeq, 6, 10, QChar(u'0')), 1, extra,
                         rng.between(1, 2), extra.price, "", "", 0);
                }
            }

            // Point-of-sale outlets.
            for (const QString &outlet : outletsWithSales) {
                if (outlet.startsWith(QLatin1String("100")))
                    continue;
                const double factor = seasonFactor(outlet, d);
                if (factor <= 0)
                    continue;
                const auto &list = menusOf[outlet];
                const bool golf = outlet == QLatin1String("2001");
                const bool fnb =
                    list.front()->code.startsWith(u'F') || list.front()->code.startsWith(u'B');
                const bool hotelFnb = outlet.startsWith(u'3');
                const int base = golf ? 24 : outlet == QLatin1String("3004") ? 2 : fnb ? 18 : 10;
                const int bills =
                    int(std::lround(base * factor * (0.8 + rng.real() * 0.4))) * scale;
                for (int b = 0; b < bills; ++b) {
                    const QString bill = QStringLiteral("B%1").arg(++billSeq, 6, 10, QChar(u'0'));
                    const QString member = rng.chance(0.2) ? rng.pick(members) : QString();
                    int covers = golf  ? 4
                                 : fnb ? rng.between(1, outlet == QLatin1String("3004") ? 120 : 6)
                                       : rng.between(1, 3);
                    Totals &guestsOf = totals[{outlet, list.front()->division}];
                    guestsOf.guests += covers;
                    if (golf) {
                        guestsOf.teams += 1;
                        const Menu &fee = *list[weekend ? 1 : 0];
                        line(outlet, bill, 1, fee, 4, fee.price, member.isEmpty() ? "100" : "200",
                             member, 0);
                        line(outlet, bill, 2, *list[2], 4, list[2]->price, "", member, 0);
                        line(outlet, bill, 3, *list[3], 4, list[3]->price, "", member, 0);
                        if (rng.chance(0.5))
                            line(outlet, bill, 4, *list[4], 4, list[4]->price, "", member, 0);
                        if (rng.chance(0.1))
                            line(outlet, bill, 5, *list[6], 1, list[6]->price, "", member, 0);
                        continue;
                    }
                    double food = 0, bev = 0, other = 0;
                    const int lines = rng.between(1, 3);
                    for (int l = 0; l < lines; ++l) {
                        const Menu &m = *list[size_t(rng.next() % list.size())];
                        const double qty = fnb ? std::max(1, covers / (l + 1)) : rng.between(1, 4);
                        const double net = line(outlet, bill, l + 1, m, qty, m.price, "", member,
                                                hotelFnb ? 0.1 : 0);
                        (m.gubun == QLatin1String("10")           ? food
                         : m.gubun.startsWith(QLatin1String("1")) ? bev
                                                                  : other) += net;
                    }
                    if (fnb) {
                        const int hour = rng.between(0, 9);
                        const QString period = hour < 2   ? "10"
                                               : hour < 5 ? "20"
                                               : hour < 9 ? "30"
                                                          : "40";
                        auto &ix = fnbIndex[{outlet, period}];
                        const int inHouse = hotelFnb ? int(std::lround(covers * 0.4)) : 0;
                        ix[0] += inHouse;
                        ix[1] += covers - inHouse;
                        ix[2] += food;
                        ix[3] += bev;
                        ix[4] += other;
                    }
                }
            }

            // Management figures built from the day's operating data.
            const double now = serial(d.addDays(1));
            for (const auto &[key, t] : totals) {
                const double sale = t.net + t.vat + t.svc + t.etc;
                sa030.row({date, key.first, key.second, t.hu, t.comp, t.etc, t.hu + t.comp + t.etc,
                           t.teams, t.guests, sale, t.net, t.vat, t.svc, t.etc, stamp, now,
                           "127.0.0.1"});
            }
            for (const auto &[key, ix] : fnbIndex)
                sa040.row({date, key.first, key.second, ix[0], ix[1], ix[0] + ix[1], ix[2], ix[3],
                           ix[4], ix[2] + ix[3] + ix[4], stamp, now, "127.0.0.1"});
            if (d.daysTo(last) >= 3) { // the last days are left for the input screens
                sa010.row({date, rng.pick(weathers), stamp, now, "127.0.0.1"});
                for (const AccountItem &item : AccountItems())
                    sa010dt.row({date, item.movement, item.code,
                                 std::round(rng.real() * 5000) * 1000 * scale, stamp, now,
                                 "127.0.0.1"});
            }

            // Reservations, lockers, calendars, extra sales, events.
            for (int k = 0, n = rng.between(2, 6); k < n; ++k) {
                const QString rsv =
                    QStringLiteral("C%1%2").arg(date.mid(2)).arg(k, 3, 10, QChar(u'0'));
                const bool staff = rng.chance(0.4);
                const QString member = staff ? QStringLiteral("10%1%2")
                                                   .arg(rng.between(0, 999999), 6, 10, QChar(u'0'))
                                                   .arg("00")
                                             : rng.pick(members);
                const int nights = rng.between(1, 3);
                ca010.row({rsv, rng.chance(0.5) ? "1001" : "1002", date, ymd(d.addDays(nights)),
                           nights, rng.between(1, 2), rng.chance(0.5) ? "ST" : "FM",
                           QStringLiteral("예약%1").arg(k + 1), rng.chance(0.5) ? "200" : "100",
                           member, rng.chance(0.1) ? "C" : "R", "",
                           serial(d.addDays(-rng.between(1, 30)))});
                for (int night = 0; night < nights; ++night)
                    ca011.row(
                        {rsv, ymd(d.addDays(night)), 1, 100000.0 * rng.between(1, 3), "1110"});
            }
            if (seasonFactor(QStringLiteral("2001"), d) > 0) {
                for (int k = 0, n = rng.between(4, 12) * scale; k < n; ++k) {
                    const QString rsv =
                        QStringLiteral("G%1%2").arg(date.mid(2)).arg(k, 3, 10, QChar(u'0'));
                    const int charge = rng.between(1, 4);
                    ca020.row({rsv, date, rng.pick(members), QStringLiteral("내장객%1").arg(k + 1),
                               QString::number(charge), "1", "18", rng.chance(0.08) ? "C" : "R",
                               QStringLiteral("A%1").arg(k + 1),
                               serial(d.addDays(-rng.between(1, 20)))});
                    const QString locker =
                        QStringLiteral("%1").arg(rng.between(1, 400), 4, 10, QChar(u'0'));
                    ha010.row({date, rsv, locker, k + 1});
                    ha020.row({date, locker, k + 1, 5000});
                }
            }
            for (const char *h : {"1001", "1002", "1003"}) {
                cx011.row({h, date, weekend ? "2" : "1"});
                if (rng.chance(0.3))
                    ke030.row({date, h, std::round(rng.real() * 500) * 1000});
                if (rng.chance(0.1))
                    ke040.row({date, h, -std::round(rng.real() * 200) * 1000});
            }
            cx030.row({date, weekend ? "2" : "1"});
            if (rng.chance(0.4)) {
                const QString no = QStringLiteral("E%1").arg(++eventNo, 7, 10, QChar(u'0'));
                const bool cancelled = rng.chance(0.1);
                fa010.row({no,
                           rng.pick(std::vector<QString>{"기업 세미나", "결혼식", "동창회",
                                                         "워크숍", "골프대회"}),
                           date, ymd(d.addDays(rng.between(0, 2))), rng.between(20, 200),
                           rng.between(0, 40), ymd(d.addDays(-rng.between(5, 60))),
                           cancelled ? ymd(d.addDays(-2)) : QString()});
                if (rng.chance(0.5))
                    fa010ds.row({no, "Y", stamp, now, "127.0.0.1"});
            }
        }
    }

    // Figures the database derives for the reports: business-area sales, room counts,
    // budgets, targets and the daily figures per outlet.
    void derived() {
        const QStringList statements = {
            QStringLiteral(
                "INSERT INTO KF060MS (SALE_DATE, GUBUN1, GUBUN2, GUBUN3, NET_AMT, TIP_AMT) "
                "SELECT A.SALE_DATE, B.SAUP_CODE1, B.SAUP_CODE2, B.SAUP_CODE3, SUM(A.NET_AMT), "
                "SUM(A.TIP_AMT) "
                "FROM IA010MS A JOIN JA010MS B ON B.UPJANG_CODE = A.UPJANG_CODE "
                "GROUP BY A.SALE_DATE, B.SAUP_CODE1, B.SAUP_CODE2, B.SAUP_CODE3"),
            QStringLiteral(
                "INSERT INTO SA020MS (SALE_DATE, UPJANG_CODE, TOTAL_RMS, OOO_RMS, OOI_RMS, "
                "AVAILABLE_RMS, "
                "U_EMP_NO, U_DATE, U_IP) "
                "SELECT TASK_DATE, UPJANG_CODE, SUM(ROOM_CNT), SUM(BROKEN_CNT), "
                "SUM(INVENTORY_CNT), "
                "SUM(ROOM_CNT - BROKEN_CNT - INVENTORY_CNT), 'SYSTEM', TO_DATE(TASK_DATE) + 1, "
                "'127.0.0.1' "
                "FROM DE020MS WHERE TASK_DATE <= :LAST_INPUT GROUP BY TASK_DATE, UPJANG_CODE"),
            // Budgets: each month's average day of the outlet and division, 5 per cent up, in
            // thousands.
            QStringLiteral(
                "INSERT INTO JH010MS (SALE_DATE, UPJANG_CODE, DIVISION, SALE_AMT, GUESTS, ROOMS) "
                "SELECT B.CALN_DATE, A.UPJANG_CODE, A.DIVISION, ROUND(A.AMT * 1.05, -3), "
                "ROUND(A.GST * 1.05), "
                "ROUND(A.RMS * 1.05) FROM (SELECT UPJANG_CODE, DIVISION, SUBSTR(SALE_DATE, 1, 6) "
                "AS YM, "
                "SUM(NET_AMT + SVC_AMT) / COUNT(*) AS AMT, SUM(GUESTS) * 1.0 / COUNT(*) AS GST, "
                "SUM(TOTAL_RMS) * 1.0 / COUNT(*) AS RMS FROM SA030MS GROUP BY UPJANG_CODE, "
                "DIVISION, "
                "SUBSTR(SALE_DATE, 1, 6)) A JOIN ZX020MS B ON SUBSTR(B.CALN_DATE, 1, 6) = A.YM"),
            QStringLiteral(
                "INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT, REMARKS, "
                "U_EMP_NO, "
                "U_DATE, U_IP) SELECT SALE_DATE, UPJANG_CODE, DIVISION, ROUND(GUESTS * 1.02), "
                "ROUND(SALE_AMT * 1.02, -3), NULL, 'SYSTEM', SYSDATE(), '127.0.0.1' FROM JH010MS"),
            QStringLiteral("INSERT INTO JH060MS (SALE_DATE, UPJANG_CODE, MIS_UPJANG_CODE1, "
                           "MIS_UPJANG_CODE2, GUESTS, "
                           "SALE_AMT) SELECT A.SALE_DATE, A.UPJANG_CODE, B.MIS_UPJANG_CODE1, "
                           "B.MIS_UPJANG_CODE2, "
                           "SUM(A.GUESTS), SUM(A.SALE_AMT) FROM JH040MS A JOIN JA010MS_TS B ON "
                           "B.UPJANG_CODE = "
                           "A.UPJANG_CODE GROUP BY A.SALE_DATE, A.UPJANG_CODE, B.MIS_UPJANG_CODE1, "
                           "B.MIS_UPJANG_CODE2"),
            QStringLiteral("INSERT INTO SA090MS_NEW_2012 (SALE_DATE, UPJANG_CODE, D_GUESTS, "
                           "D_NET_AMT, D_SVC_AMT) "
                           "SELECT SALE_DATE, UPJANG_CODE, SUM(GUESTS), SUM(NET_AMT), SUM(SVC_AMT) "
                           "FROM SA030MS "
                           "GROUP BY SALE_DATE, UPJANG_CODE"),
            QStringLiteral("INSERT INTO SA090MS (SALE_DATE, UPJANG_CODE, D_GUESTS, D_NET_AMT, "
                           "M_GUESTS, M_NET_AMT, Y_GUESTS, "
                           "Y_NET_AMT, DB_GUESTS, DB_NET_AMT, MB_GUESTS, MB_NET_AMT, YB_GUESTS, "
                           "YB_NET_AMT, D_DIFF_GUESTS, "
                           "D_DIFF_NET_AMT, M_DIFF_GUESTS, M_DIFF_NET_AMT, Y_DIFF_GUESTS, "
                           "Y_DIFF_NET_AMT, D_SVC_AMT, "
                           "M_SVC_AMT, Y_SVC_AMT) "
                           "SELECT SALE_DATE, UPJANG_CODE, DG, DN, MG, MN, YG, YN, DBG, DBN, MBG, "
                           "MBN, YBG, YBN, DG - DBG, "
                           "DN - DBN, MG - MBG, MN - MBN, YG - YBG, YN - YBN, DS, MS, YS FROM ("
                           "SELECT A.SALE_DATE, A.UPJANG_CODE, A.DG, A.DN, A.DS, "
                           "SUM(A.DG) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 6) "
                           "ORDER BY A.SALE_DATE) AS MG, "
                           "SUM(A.DN) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 6) "
                           "ORDER BY A.SALE_DATE) AS MN, "
                           "SUM(A.DS) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 6) "
                           "ORDER BY A.SALE_DATE) AS MS, "
                           "SUM(A.DG) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 4) "
                           "ORDER BY A.SALE_DATE) AS YG, "
                           "SUM(A.DN) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 4) "
                           "ORDER BY A.SALE_DATE) AS YN, "
                           "SUM(A.DS) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 4) "
                           "ORDER BY A.SALE_DATE) AS YS, "
                           "NVL(B.BG, 0) AS DBG, NVL(B.BN, 0) AS DBN, "
                           "SUM(NVL(B.BG, 0)) OVER (PARTITION BY A.UPJANG_CODE, "
                           "SUBSTR(A.SALE_DATE, 1, 6) ORDER BY A.SALE_DATE) AS MBG, "
                           "SUM(NVL(B.BN, 0)) OVER (PARTITION BY A.UPJANG_CODE, "
                           "SUBSTR(A.SALE_DATE, 1, 6) ORDER BY A.SALE_DATE) AS MBN, "
                           "SUM(NVL(B.BG, 0)) OVER (PARTITION BY A.UPJANG_CODE, "
                           "SUBSTR(A.SALE_DATE, 1, 4) ORDER BY A.SALE_DATE) AS YBG, "
                           "SUM(NVL(B.BN, 0)) OVER (PARTITION BY A.UPJANG_CODE, "
                           "SUBSTR(A.SALE_DATE, 1, 4) ORDER BY A.SALE_DATE) AS YBN "
                           "FROM (SELECT SALE_DATE, UPJANG_CODE, D_GUESTS AS DG, D_NET_AMT AS DN, "
                           "D_SVC_AMT AS DS "
                           "FROM SA090MS_NEW_2012) A LEFT JOIN (SELECT SALE_DATE, UPJANG_CODE, "
                           "SUM(GUESTS) AS BG, "
                           "SUM(SALE_AMT) AS BN FROM JH010MS GROUP BY SALE_DATE, UPJANG_CODE) B "
                           "ON B.SALE_DATE = A.SALE_DATE AND B.UPJANG_CODE = A.UPJANG_CODE)"),
            QStringLiteral(
                "UPDATE SA090MS SET LY_GUESTS = (SELECT L.Y_GUESTS FROM SA090MS L WHERE "
                "L.UPJANG_CODE = "
                "SA090MS.UPJANG_CODE AND L.SALE_DATE = TO_CHAR(ADD_MONTHS(SA090MS.SALE_DATE, -12), "
                "'YYYYMMDD')), "
                "LY_NET_AMT = (SELECT L.Y_NET_AMT FROM SA090MS L WHERE L.UPJANG_CODE = "
                "SA090MS.UPJANG_CODE AND "
                "L.SALE_DATE = TO_CHAR(ADD_MONTHS(SA090MS.SALE_DATE, -12), 'YYYYMMDD')), "
                "LM_GUESTS = (SELECT L.M_GUESTS FROM SA090MS L WHERE L.UPJANG_CODE = "
                "SA090MS.UPJANG_CODE AND "
                "L.SALE_DATE = TO_CHAR(ADD_MONTHS(SA090MS.SALE_DATE, -12), 'YYYYMMDD')), "
                "LM_NET_AMT = (SELECT L.M_NET_AMT FROM SA090MS L WHERE L.UPJANG_CODE = "
                "SA090MS.UPJANG_CODE AND "
                "L.SALE_DATE = TO_CHAR(ADD_MONTHS(SA090MS.SALE_DATE, -12), 'YYYYMMDD'))"),
            QStringLiteral("UPDATE SA090MS SET LY_DIFF_GUESTS = Y_GUESTS - NVL(LY_GUESTS, 0), "
                           "LY_DIFF_NET_AMT = Y_NET_AMT - "
                           "NVL(LY_NET_AMT, 0), LM_DIFF_GUESTS = M_GUESTS - NVL(LM_GUESTS, 0), "
                           "LM_DIFF_NET_AMT = M_NET_AMT - "
                           "NVL(LM_NET_AMT, 0), TB_GUESTS = YB_GUESTS, TB_NET_AMT = YB_NET_AMT"),
            QStringLiteral("INSERT INTO SA091MS (SALE_DATE, U_EMP_NO, U_DATE, U_IP) SELECT "
                           "SALE_DATE, 'SYSTEM', "
                           "SYSDATE(), '127.0.0.1' FROM (SELECT DISTINCT SALE_DATE FROM SA090MS "
                           "WHERE SALE_DATE <= "
                           ":LAST_INPUT)"),
            QStringLiteral("INSERT INTO SA092MS (SALE_DATE, U_EMP_NO, U_DATE, U_IP) SELECT "
                           "SALE_DATE, U_EMP_NO, "
                           "U_DATE, U_IP FROM SA091MS"),
            QStringLiteral("INSERT INTO DZ021MS (UPJANG_CODE, DONG_GUBUN, DONG_NAME) VALUES "
                           "('1001', '01', '본관'), ('1001', '02', '신관'), ('1002', '01', 'A동'), "
                           "('1002', '02', 'B동'), ('1003', '01', '본관')"),
        };
        const QString lastInput = ymd(last.addDays(-3));
        for (const QString &sql : statements) {
            db::Query q(c);
            q.setSql(sql);
            if (q.hasParam(QStringLiteral("LAST_INPUT")))
                q.setParam(QStringLiteral("LAST_INPUT"), lastInput);
            q.exec();
        }
    }
};

} // namespace

void GenerateDemo(const DemoOptions &options) {
    auto say = [&](const QString &text) {
        if (options.progress)
            options.progress(text);
    };
    const QDate last = options.endDate.isEmpty()
                           ? Now().date().addDays(-1)
                           : QDate::fromString(options.endDate, QStringLiteral("yyyyMMdd"));
    if (!last.isValid())
        throw db::DbError(QStringLiteral("The end date '%1' is not a valid date (YYYYMMDD).")
                              .arg(options.endDate));
    if (options.years < 1 || options.years > 30)
        throw db::DbError(QStringLiteral("The number of years must be between 1 and 30."));
    if (options.scale < 1 || options.scale > 100)
        throw db::DbError(QStringLiteral("The scale must be between 1 and 100."));
    const QDate first = options.days > 0 ? last.addDays(1 - options.days)
                                         : last.addYears(-options.years).addDays(1);

    say(QStringLiteral("creating %1").arg(options.path));
    CreateDatabase(options.path, options.force);
    db::Connection connection;
    connection.setSqliteFile(options.path);
    connection.open();
    connection.executeScript(QStringLiteral("PRAGMA synchronous = OFF"));
    db::Transaction t(connection);
    t.begin();
    Generator g{connection, options, Rng{options.seed}, first, last, say};
    say(QStringLiteral("menus and permissions"));
    g.menuTables();
    say(QStringLiteral("personnel"));
    g.personnel();
    say(QStringLiteral("sale items and members"));
    g.items();
    g.memberTables();
    say(QStringLiteral("daily operating data %1 to %2").arg(ymd(first), ymd(last)));
    g.days();
    say(QStringLiteral("derived figures"));
    g.derived();
    t.commit();
    connection.executeScript(QStringLiteral("PRAGMA synchronous = FULL; ANALYZE"));
}

} // namespace kelo::database
