// Demo data, reference: the menus and permissions of the client, the sale items of every
// outlet and the members.
//
// Writes ZA040MS ZA050MS ZA140MS ZA130MS ZA150MS (menus, programs, levels, users and their
// exceptions), JB010MS (sale items) and AA010MS BA040MS BB010MS (members; the employees
// become members of BA040MS too, read from QA010MS, with their own and the head office's
// member numbers). The code sets, outlets and calendar are
// written with the schema (codes.cpp).

#include "database/demo_context.h"

namespace kelo::database {

namespace {

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
            {"SBS310", "RF게이트 이용집계", "M10"},
            {"SBS330", "리프트 할인별 이용집계", "M10"},
            {"SBS340", "온라인(여행창조) 리프트 판매", "M10"},
            {"SBS341", "온라인(이지웰) 리프트 판매", "M10"},
            {"SBS350", "리프트 전년대비 할인율", "M10"},
            {"SBS360", "리프트 3개년 할인율", "M10"},
            {"SBS370", "관광연합회 리프트 발권", "M10"},
            {"SPS010", "일일 매출현황", "M10"},
            {"SPS050", "골프 일일현황", "M10"},
            {"SRS330", "일자별 매출현황", "M10"},
            {"SRS340", "월별 매출현황", "M10"},
            {"SRI010", "경영정보관리 메인정보", "M20"},
            {"SRI020", "경영정보관리 회계정보", "M20"},
            {"SRI030", "경영정보관리 운영객실정보", "M20"},
            {"SRI040", "경영정보관리 매출집계정보", "M20"},
            {"SRI050", "경영정보관리 F&B Index", "M20"},
            {"SRI210", "행사 보고 체크", "M20"},
            {"SRS160", "곤도라 예약 보고서", "M20"},
            {"SRS184", "객실 매출내역 조회", "M20"},
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
            {"SRS900", "보고서 목록", "M40"},
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

namespace demo {

void WriteMenus(Context &ctx) {
    db::Connection &c = ctx.c;
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
    Inserter za150(c, QStringLiteral("ZA150MS"), {"EMP_NO", "PROJECT_ID", "PROGRAM_ID", "ADD_YN"});
    za150.row({"20000002", "KELO_S", "SRI010", "Y"});
    za150.row({"20000002", "KELO_S", "SQS000", "N"});
    za150.row({"20000003", "KELO_S", "SAS000", "Y"});
}

void WriteSaleItems(Context &ctx) {
    db::Connection &c = ctx.c;
    std::vector<Menu> &menus = ctx.menus;
    std::map<QString, std::vector<const Menu *>> &menusOf = ctx.menusOf;
    auto add = [&](const char *outlet, const char *code, const char *name, const char *i1,
                   const char *i2, const char *gubun, const char *division, double price,
                   const char *ticket = "") {
        menus.push_back({QLatin1String(outlet), QLatin1String(code), QString::fromUtf8(name),
                         QLatin1String(i1), QLatin1String(i2), QLatin1String(gubun),
                         QLatin1String(division), price, QLatin1String(ticket)});
    };
    const std::pair<const char *, double> hotels[] = {{"1001", 1.5}, {"1002", 1.0}, {"1003", 0.7}};
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
                 "DATE_FROM", "DATE_TO", "UNIT_AMT", "CHARGE_GUBUN", "RATE_GUBUN", "DIVISION"});
    for (const Menu &m : menus) {
        jb.row({m.outlet, m.code, m.name, m.name, m.item1, m.item2, "", "", "", m.gubun, "20000101",
                "99991231", m.price, "", "", m.division});
        menusOf[m.outlet].push_back(&m);
    }
    // Golf green fees by charge category, rate and rounds, as the staff usage lists look them
    // up.
    for (int charge = 1; charge <= 4; ++charge)
        for (int busi = 1; busi <= 2; ++busi)
            jb.row({"2001", QStringLiteral("GF%1%2").arg(charge).arg(busi), "그린피 요율", "그린피",
                    QString::number(charge), "1", QString::number(busi), "18", "", "", "20000101",
                    "99991231",
                    (busi == 1 ? 45000.0 : 57500.0) * (charge == 1   ? 0.5
                                                       : charge == 4 ? 0.4
                                                                     : 1.0),
                    "", "", "30"});
}

void WriteMembers(Context &ctx) {
    db::Connection &c = ctx.c;
    std::vector<QString> &members = ctx.members;
    Inserter aa(c, QStringLiteral("AA010MS"), {"MEMBER_NO", "EXCLUSIVE_CODE"});
    Inserter ba(c, QStringLiteral("BA040MS"), {"MEMBER_NO", "MEMBER_NAME"});
    Inserter bb(c, QStringLiteral("BB010MS"), {"MEMBER_NO", "MEMBER_NAME"});
    const std::vector<QString> names = {"김철수", "이영희", "박민준", "최서연", "정우진", "강지은",
                                        "조현우", "윤서진", "장민서", "임도윤", "한지호", "오수빈"};
    // Two holders share each membership: a member number is the membership's eight characters
    // and the holder's two ("01", "02"). The membership's exclusive use (F, M, or N none) is
    // held under both the membership's number and each holder's.
    for (int i = 0; i < 400; ++i) {
        const int membership = i / 2 + 1;
        const QString shared = QStringLiteral("2%1").arg(membership, 7, 10, QChar(u'0'));
        const QString no = shared + QStringLiteral("%1").arg(i % 2 + 1, 2, 10, QChar(u'0'));
        members.push_back(no);
        const char *exclusive = membership % 5 == 0 ? "F" : membership % 7 == 0 ? "M" : "N";
        if (i % 2 == 0)
            aa.row({shared, exclusive});
        aa.row({no, exclusive});
        ba.row({no, names[size_t(i) % names.size()] + QString::number(i % 10)});
        bb.row({no, names[size_t(i) % names.size()] + QString::number(i % 10)});
    }
    // Employees are members too: the employee number followed by "00"; the employees of the
    // management support division (department codes "13…") also hold the head office's
    // number, the employee number followed by "01". Only employee numbers beginning "10" are
    // member numbers; those in service book under them.
    db::Query staff(c);
    staff.setSql(QStringLiteral(R"sql(
SELECT EMP_NO, EMP_K_NAME, EMP_AFF_DEPT_CODE, EMP_STAY_CODE
FROM QA010MS
WHERE EMP_NO LIKE '10%'
ORDER BY EMP_NO
)sql"));
    for (staff.open(); !staff.eof(); staff.next()) {
        const QString empNo = staff.text(0), name = staff.text(1);
        const bool inService = staff.text(3) == QLatin1String("01");
        ba.row({empNo + QStringLiteral("00"), name});
        if (inService)
            ctx.staffMembers.push_back(empNo + QStringLiteral("00"));
        if (staff.text(2).startsWith(QLatin1String("13"))) {
            ba.row({empNo + QStringLiteral("01"), name});
            if (inService)
                ctx.headOfficeMembers.push_back(empNo + QStringLiteral("01"));
        }
    }
}

} // namespace demo

} // namespace kelo::database
