#include "database/codes.h"

#include "db/query.h"

#include <QDate>
#include <QHash>

namespace kelo::database {

namespace {

using L = QStringList;

struct Set {
    const char *head;
    const char *title;
    std::vector<CodeRow> rows;
};

CodeRow r(const char *detail, const char *name, L items = {}) {
    return {QString(), QString::fromUtf8(detail), QString::fromUtf8(name), items};
}

std::vector<Set> sets() {
    return {
        {"A0025",
         "객실타입",
         {r("ST", "스탠다드", {"", "", "", "1"}), r("DX", "디럭스", {"", "", "", "2"}),
          r("SU", "스위트", {"", "", "", "3"}), r("FM", "패밀리", {"", "", "", "4"})}},
        {"B0003",
         "골프요금구분",
         {r("1", "회원"), r("2", "가족회원"), r("3", "비회원"), r("4", "임직원")}},
        {"DA009",
         "객실타입(매출조회)",
         {r("ST", "스탠다드", {"", "", "", "", "", "", "1"}),
          r("DX", "디럭스", {"", "", "", "", "", "", "2"}),
          r("SU", "스위트", {"", "", "", "", "", "", "3"}),
          r("FM", "패밀리", {"", "", "", "", "", "", "4"})}},
        {"E0029",
         "날씨",
         {r("01", "맑음", {"Sunny"}), r("02", "구름조금", {"Partly Cloudy"}),
          r("03", "흐림", {"Cloudy"}), r("04", "비", {"Rainy"}), r("05", "눈", {"Snowy"}),
          r("06", "안개", {"Foggy"}), r("99", "기타")}},
        {"I0005",
         "스키권종",
         {r("01", "리프트 종일권"), r("02", "리프트 오전권"), r("03", "리프트 오후권"),
          r("04", "야간권"), r("05", "시즌권"), r("06", "곤돌라 왕복권")}},
        {"I0011",
         "리프트할인구분",
         {r("00", "정상가", {"0"}), r("10", "회원할인", {"30"}), r("20", "제휴카드할인", {"20"}),
          r("30", "단체할인", {"25"}), r("40", "온라인판매", {"35"}), r("50", "관광연합회", {"40"}),
          r("60", "패키지", {"45"})}},
        {"I0012", "온라인판매처", {r("01", "여행창조"), r("02", "이지웰")}},
        {"J0001",
         "매출구분",
         {r("01", "그린피", {"Y"}), r("02", "카트비", {"Y"}), r("03", "캐디피", {"Y"}),
          r("04", "락카", {"Y"}), r("05", "연습장", {"Y"}), r("10", "식사"), r("11", "음료"),
          r("12", "주류"), r("20", "입장료"), r("21", "대여료"), r("30", "객실료"),
          r("90", "기타")}},
        {"J0011",
         "사업부",
         {r("1", "콘도사업부"), r("2", "호텔사업부"), r("3", "골프사업부"), r("4", "스키사업부"),
          r("5", "레저사업부"), r("6", "식음사업부"), r("7", "기타사업부")}},
        {"J0012",
         "사업부(중)",
         {r("1", "콘도사업부"), r("11", "가족호텔"),  r("12", "국민호텔"),  r("2", "호텔사업부"),
          r("21", "베로호텔"),  r("3", "골프사업부"), r("31", "골프장"),    r("32", "골프식음"),
          r("4", "스키사업부"), r("41", "스키장"),    r("42", "곤돌라"),    r("5", "레저사업부"),
          r("51", "사우나"),    r("52", "레저시설"),  r("6", "식음사업부"), r("61", "레스토랑"),
          r("62", "연회"),      r("7", "기타사업부"), r("71", "임대"),      r("72", "상품")}},
        {"J0013",
         "사업부(소)",
         {r("111", "가족호텔 객실", {"1", "11"}), r("121", "국민호텔 객실", {"1", "12"}),
          r("211", "베로호텔 객실", {"2", "21"}), r("311", "골프 코스", {"3", "31"}),
          r("321", "골프 식음", {"3", "32"}), r("411", "스키 리프트", {"4", "41"}),
          r("421", "곤돌라", {"4", "42"}), r("511", "사우나", {"5", "51"}),
          r("521", "레저", {"5", "52"}), r("611", "레스토랑", {"6", "61"}),
          r("621", "연회", {"6", "62"}), r("711", "임대", {"7", "71"}),
          r("721", "상품", {"7", "72"})}},
        {"J0091",
         "목표부서2",
         {r("10", "객실팀"), r("20", "식음팀"), r("30", "골프팀"), r("40", "스키팀"),
          r("50", "레저팀")}},
        {"J0092", "목표부서1", {r("1", "호텔부문"), r("2", "레저부문"), r("3", "기타부문")}},
        {"J0096",
         "목표부서1(실적)",
         {r("1", "숙박"), r("2", "레저"), r("3", "식음"), r("4", "기타")}},
        {"J0097",
         "목표부서2(실적)",
         {r("11", "호텔"), r("12", "콘도"), r("21", "골프"), r("22", "스키"), r("23", "레저"),
          r("31", "식음"), r("41", "기타")}},
        {"J0098",
         "목표부서3",
         {r("100", "객실"), r("200", "식음"), r("300", "골프"), r("400", "스키"), r("500", "레저"),
          r("900", "기타")}},
        {"Q001",
         "사원구분",
         {r("01", "임원"), r("02", "정규직"), r("03", "비정규직"), r("07", "파견직")}},
        {"Q005",
         "직위",
         {r("10", "사장"), r("20", "이사"), r("30", "부장"), r("40", "차장"), r("50", "과장"),
          r("60", "대리"), r("70", "주임"), r("80", "사원")}},
        {"Q006",
         "직급",
         {r("1", "1급"), r("2", "2급"), r("3", "3급"), r("4", "4급"), r("5", "5급"),
          r("6", "6급")}},
        {"Q007",
         "호봉",
         {r("01", "1호봉"), r("02", "2호봉"), r("03", "3호봉"), r("04", "4호봉"), r("05", "5호봉"),
          r("06", "6호봉"), r("07", "7호봉"), r("08", "8호봉"), r("09", "9호봉"),
          r("10", "10호봉")}},
        {"Q008",
         "직책",
         {r("10", "본부장"), r("20", "팀장"), r("30", "파트장"), r("40", "지배인"),
          r("90", "팀원")}},
        {"Q009",
         "직무",
         {r("100", "객실관리"), r("110", "프론트"), r("200", "조리"), r("210", "서비스"),
          r("300", "코스관리"), r("310", "경기운영"), r("400", "슬로프관리"),
          r("410", "리프트운영"), r("500", "시설관리"), r("600", "경영지원"), r("610", "회계"),
          r("620", "인사"), r("700", "영업")}},
        {"Q014",
         "취미",
         {r("01", "등산"), r("02", "독서"), r("03", "골프"), r("04", "스키"), r("05", "음악감상"),
          r("06", "낚시"), r("07", "여행")}},
        {"Q015",
         "특기",
         {r("01", "영어"), r("02", "일본어"), r("03", "중국어"), r("04", "컴퓨터"), r("05", "조리"),
          r("06", "운전")}},
        {"Q018",
         "가족관계",
         {r("01", "배우자"), r("02", "자녀"), r("03", "부"), r("04", "모"), r("05", "형제자매")}},
        {"Q028",
         "가족학력",
         {r("01", "미취학"), r("02", "초등학교"), r("03", "중학교"), r("04", "고등학교"),
          r("05", "대학교"), r("06", "대학원")}},
        {"Q029",
         "가족직업",
         {r("01", "회사원"), r("02", "자영업"), r("03", "공무원"), r("04", "주부"), r("05", "학생"),
          r("06", "무직")}},
        {"Q035",
         "상벌",
         {r("01", "사장표창"), r("02", "우수사원"), r("03", "장기근속"), r("11", "견책"),
          r("12", "감봉")}},
        {"Q040", "근태구분", {r("10", "출근"), r("20", "휴가"), r("30", "출장"), r("40", "결근")}},
        {"Q065",
         "전공계열",
         {r("01", "인문계열"), r("02", "사회계열"), r("03", "경상계열"), r("04", "자연계열"),
          r("05", "공학계열"), r("06", "예체능계열")}},
        {"S0002",
         "경영구분1",
         {r("10", "객실", {"ROOMS"}), r("20", "식음", {"F&B"}), r("30", "골프", {"GOLF"}),
          r("40", "레포츠", {"LEPORTS"}), r("90", "기타", {"OTHERS"})}},
        {"S0003",
         "경영구분2",
         {r("100", "호텔객실"), r("110", "콘도객실"), r("199", " "), r("210", "레스토랑"),
          r("220", "연회"), r("230", "라운지"), r("240", "골프식음"), r("250", "스키식음"),
          r("299", " "), r("300", "골프코스"), r("400", "스키"), r("410", "레저시설"),
          r("420", "사우나"), r("430", "곤돌라"), r("900", "기타")}},
        {"S0006",
         "스포츠집계",
         {r("10", "골프"), r("20", "스키"), r("30", "곤돌라"), r("40", "사우나"),
          r("99", "고객활동")}},
        {"S0008",
         "매출구분",
         {r("10", "객실"), r("20", "식음"), r("30", "그린피"), r("40", "리프트"), r("50", "대여"),
          r("60", "입장료"), r("90", "기타")}},
        {"S0009",
         "F&B Index 구분",
         {r("10", "BREAKFAST"), r("20", "LUNCH"), r("30", "DINNER"), r("40", "LATE")}},
        {"S0010",
         "보고서 라인",
         {r("1", "Rooms Available"), r("2", "House Use"), r("3", "Complimentary"),
          r("4", "Out of Order"), r("5", "Rooms Sold"), r("6", "Occupancy (%)"),
          r("7", "Average Rate")}},
        {"S0011",
         "회계구분",
         {r("10", "현금"), r("20", "카드"), r("30", "외상"), r("40", "선수금"), r("50", "기타")}},
        {"S0012",
         "고객유형그룹",
         {r("1", "일반고객"), r("2", "회원고객"), r("3", "단체고객"), r("4", "여행사"),
          r("9", "기타")}},
        {"S0013",
         "고객활동구분",
         {r("10", "수영장"), r("20", "볼링"), r("30", "눈썰매"), r("40", "승마")}},
        {"S0018",
         "경영부문1",
         {r("10", "숙박부문"), r("20", "식음부문"), r("30", "골프부문"), r("40", "스키부문"),
          r("50", "레저부문"), r("90", "기타부문")}},
        {"S0019",
         "경영부문2",
         {r("11", "호텔"), r("12", "콘도"), r("21", "레스토랑"), r("22", "연회"), r("31", "골프"),
          r("41", "스키"), r("42", "곤돌라"), r("51", "사우나"), r("52", "레저"), r("91", "기타")}},
        {"S0021",
         "곤도라예약보고서",
         {r("1", "1.관광곤도라예약일자별현황"), r("2", "2.관광곤도라예약시간대별현황"),
          r("3", "3.관광곤도라예약연령대별현황"), r("4", "4.관광곤도라예약NoShow분석"),
          r("5", "5.관광곤도라예약시간대별발권현황"), r("6", "6.관광곤도라당일예약자현황"),
          r("7", "7.예약취소및노쇼분석현황")}},
        {"Z0006",
         "고객유형",
         {r("100", "일반", {"", "", "", "", "", "", "", "", "1"}),
          r("110", "인터넷", {"", "", "", "", "", "", "", "", "1"}),
          r("200", "회원", {"", "", "", "", "", "", "", "", "2"}),
          r("210", "가족회원", {"", "", "", "", "", "", "", "", "2"}),
          r("300", "단체", {"", "", "", "", "", "", "", "", "3"}),
          r("400", "여행사", {"", "", "", "", "", "", "", "", "4"}),
          r("900", "하우스유즈", {"", "", "", "", "", "", "", "", "9"}),
          r("910", "무료", {"", "", "", "", "", "", "", "", "9"})}},
        {"Z0011",
         "요일",
         {r("1", "일요일", {"", "", "", "", "SUNDAY"}),
          r("2", "월요일", {"", "", "", "", "MONDAY"}),
          r("3", "화요일", {"", "", "", "", "TUESDAY"}),
          r("4", "수요일", {"", "", "", "", "WEDNESDAY"}),
          r("5", "목요일", {"", "", "", "", "THURSDAY"}),
          r("6", "금요일", {"", "", "", "", "FRIDAY"}),
          r("7", "토요일", {"", "", "", "", "SATURDAY"})}},
        {"Z9999", "사이트", {r("KLUSER", "켈로리조트"), r("KLDEMO", "켈로리조트 데모")}},
    };
}

Outlet o(const char *code, const char *name, const char *eng, const char *saup1, const char *saup2,
         const char *saup3, const char *mis1, const char *mis2, const char *sum, const char *sports,
         int seq, const char *ga, L divisions) {
    auto s = [](const char *v) { return QString::fromUtf8(v); };
    return {s(code), s(name), s(eng),    s(saup1), s(saup2), s(saup3), s(mis1),
            s(mis2), s(sum),  s(sports), seq,      s(ga),    divisions};
}

} // namespace

const std::vector<CodeRow> &StandardCodes() {
    static const std::vector<CodeRow> rows = [] {
        std::vector<CodeRow> out;
        for (const Set &s : sets()) {
            out.push_back(
                {QLatin1String(s.head), QStringLiteral(" "), QString::fromUtf8(s.title), {}});
            for (CodeRow row : s.rows) {
                row.head = QLatin1String(s.head);
                out.push_back(row);
            }
        }
        return out;
    }();
    return rows;
}

const std::vector<Outlet> &StandardOutlets() {
    static const std::vector<Outlet> outlets = {
        o("1001", "베로호텔", "Bero Hotel", "2", "21", "211", "10", "100", "1001", "", 10, "",
          {"10", "90"}),
        o("1002", "가족호텔", "Family Hotel", "1", "11", "111", "10", "110", "1002", "", 20, "",
          {"10", "90"}),
        o("1003", "국민호텔", "National Hotel", "1", "12", "121", "10", "110", "1003", "", 30, "",
          {"10", "90"}),
        o("2001", "골프장", "Golf Course", "3", "31", "311", "30", "300", "2001", "10", 100, "",
          {"30", "50", "90"}),
        o("2002", "클럽하우스 레스토랑", "Clubhouse Restaurant", "3", "32", "321", "20", "240",
          "2002", "", 110, "", {"20"}),
        o("2003", "그늘집 1", "Halfway House 1", "3", "32", "321", "20", "240", "2002", "", 120, "",
          {"20"}),
        o("2004", "그늘집 2", "Halfway House 2", "3", "32", "321", "20", "240", "2002", "", 130, "",
          {"20"}),
        o("2005", "골프 프로샵", "Golf Pro Shop", "3", "32", "321", "90", "900", "2005", "", 140,
          "", {"90"}),
        o("3001", "한식당 수라", "Korean Restaurant", "6", "61", "611", "20", "210", "3001", "",
          200, "", {"20"}),
        o("3002", "일식당 하나", "Japanese Restaurant", "6", "61", "611", "20", "210", "3002", "",
          210, "", {"20"}),
        o("3003", "양식당 포레", "Western Restaurant", "6", "61", "611", "20", "210", "3003", "",
          220, "", {"20"}),
        o("3004", "연회장", "Banquet", "6", "62", "621", "20", "220", "3004", "", 230, "",
          {"20", "90"}),
        o("3005", "커피숍", "Coffee Shop", "6", "61", "611", "20", "230", "3005", "", 240, "",
          {"20"}),
        o("3006", "로비 라운지", "Lobby Lounge", "6", "61", "611", "20", "230", "3005", "", 250, "",
          {"20"}),
        o("4001", "실내수영장", "Indoor Pool", "5", "52", "521", "40", "410", "4001", "99", 300,
          "10", {"60", "50"}),
        o("4002", "볼링장", "Bowling", "5", "52", "521", "40", "410", "4002", "99", 310, "20",
          {"60"}),
        o("4003", "눈썰매장", "Snow Sled", "5", "52", "521", "40", "410", "4003", "99", 320, "30",
          {"60", "50"}),
        o("4004", "승마장", "Horse Riding", "5", "52", "521", "40", "410", "4004", "99", 330, "40",
          {"60"}),
        o("4053", "사우나", "Sauna", "5", "51", "511", "40", "420", "4053", "40", 340, "", {"60"}),
        o("4058", "가족사우나", "Family Sauna", "5", "51", "511", "40", "420", "4053", "40", 350,
          "", {"60"}),
        o("5001", "스키장 리프트", "Ski Lift", "4", "41", "411", "40", "400", "5001", "20", 400, "",
          {"40"}),
        o("5002", "곤돌라", "Gondola", "4", "42", "421", "40", "430", "5002", "30", 410, "",
          {"40"}),
        o("5003", "스키 렌탈", "Ski Rental", "4", "41", "411", "40", "400", "5001", "20", 420, "",
          {"50"}),
        o("5004", "스키 야간", "Night Ski", "4", "41", "411", "40", "400", "5001", "20", 430, "",
          {"40"}),
        o("5005", "스키하우스 식당", "Ski House Restaurant", "4", "41", "411", "20", "250", "5005",
          "", 440, "", {"20"}),
        o("5006", "스키 강습", "Ski School", "4", "41", "411", "40", "400", "5001", "20", 450, "",
          {"90"}),
        o("5007", "스키 시즌권", "Season Pass", "4", "41", "411", "40", "400", "5001", "20", 460,
          "", {"40"}),
        o("5073", "곤돌라 매점", "Gondola Kiosk", "4", "42", "421", "90", "900", "5073", "", 500,
          "", {"90"}),
        o("5074", "정상 카페", "Summit Cafe", "4", "42", "421", "20", "250", "5074", "", 510, "",
          {"20"}),
        o("5075", "기념품점", "Gift Shop", "7", "72", "721", "90", "900", "5075", "", 520, "",
          {"90"}),
        o("5076", "편의점", "Convenience Store", "7", "72", "721", "90", "900", "5075", "", 530, "",
          {"90"}),
        o("5077", "주차장", "Parking", "7", "71", "711", "90", "900", "5077", "", 540, "", {"90"}),
        o("5078", "셔틀버스", "Shuttle Bus", "7", "71", "711", "90", "900", "5077", "", 550, "",
          {"90"}),
        o("6001", "임대매장", "Tenant Shops", "7", "71", "711", "90", "900", "6001", "", 600, "",
          {"90"}),
        o("7001", "기타수입", "Miscellaneous", "7", "71", "711", "90", "900", "7001", "", 700, "",
          {"90"}),
    };
    return outlets;
}

const std::vector<AccountItem> &AccountItems() {
    static const std::vector<AccountItem> items = {
        {"10", "101", "현금 입금"},   {"10", "102", "현금 출금"},   {"20", "201", "신용카드"},
        {"20", "202", "체크카드"},    {"30", "301", "기업 외상"},   {"30", "302", "여행사 외상"},
        {"40", "401", "예약 선수금"}, {"40", "402", "선수금 정산"}, {"50", "501", "상품권"},
        {"50", "502", "포인트 사용"},
    };
    return items;
}

void WriteCodeSets(db::Connection &connection) {
    db::Query q(connection);
    q.setSql(QStringLiteral(R"sql(
        INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME,
            ITEM1, ITEM2, ITEM3, ITEM4, ITEM5, ITEM6, ITEM7, ITEM8, ITEM9, ITEM10)
        VALUES (:HEAD, :DETAIL, :NAME, :I1, :I2, :I3, :I4, :I5, :I6, :I7, :I8, :I9, :I10)
    )sql"));
    for (const CodeRow &row : StandardCodes()) {
        q.setParam(QStringLiteral("HEAD"), row.head);
        q.setParam(QStringLiteral("DETAIL"), row.detail);
        q.setParam(QStringLiteral("NAME"), row.name);
        for (int i = 0; i < 10; ++i)
            q.setParam(QStringLiteral("I%1").arg(i + 1),
                       i < row.items.size() ? row.items.at(i) : QString());
        q.exec();
    }
    // The header rows keep their single blank as DETAIL (an empty text would be NULL).
    db::Query outlets(connection);
    outlets.setSql(QStringLiteral(R"sql(
        INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME, UPJANG_ENG_NAME, UPJANG_TYPE, USE_YN,
            SAUP_CODE1, SAUP_CODE2, SAUP_CODE3, MIS_UPJANG_GUBUN1, MIS_UPJANG_GUBUN2,
            MIS_SUM_UPJANG_CODE, MIS_SPORTS_SUM_CODE, MIS_DISPLAY_SEQ, GA_GUBUN_CODE)
        VALUES (:C, :N, :E, SUBSTR(:C, 1, 2), 'Y',
            :S1, :S2, :S3, :M1, :M2, :SUM, :SP, :SEQ, :GA)
    )sql"));
    db::Query pairs(connection);
    pairs.setSql(QStringLiteral(R"sql(
        INSERT INTO SX030MS (UPJANG_CODE, DIVISION)
        VALUES (:C, :D)
    )sql"));
    db::Query ts(connection);
    ts.setSql(QStringLiteral(R"sql(
        INSERT INTO JA010MS_TS
        VALUES (:C, :M1, :M2)
    )sql"));
    db::Query ja011(connection);
    ja011.setSql(QStringLiteral(R"sql(
        INSERT INTO JA011MS
        VALUES (:C, :D1, :D2, :D3, :D4)
    )sql"));
    db::Query ja011ts(connection);
    ja011ts.setSql(QStringLiteral(R"sql(
        INSERT INTO JA011MS_TS
        VALUES (:C, :D1, :D2)
    )sql"));
    for (const Outlet &out : StandardOutlets()) {
        outlets.setParam(QStringLiteral("C"), out.code);
        outlets.setParam(QStringLiteral("N"), out.name);
        outlets.setParam(QStringLiteral("E"), out.engName);
        outlets.setParam(QStringLiteral("S1"), out.saup1);
        outlets.setParam(QStringLiteral("S2"), out.saup2);
        outlets.setParam(QStringLiteral("S3"), out.saup3);
        outlets.setParam(QStringLiteral("M1"), out.mis1);
        outlets.setParam(QStringLiteral("M2"), out.mis2);
        outlets.setParam(QStringLiteral("SUM"), out.sumCode);
        outlets.setParam(QStringLiteral("SP"), out.sportsCode);
        outlets.setParam(QStringLiteral("SEQ"), QString::number(out.displaySeq));
        outlets.setParam(QStringLiteral("GA"), out.gaGroup);
        outlets.exec();
        for (const QString &division : out.divisions) {
            pairs.setParam(QStringLiteral("C"), out.code);
            pairs.setParam(QStringLiteral("D"), division);
            pairs.exec();
        }
        // Management sections and target grouping follow the management division.
        const QString mis1 = out.mis1;
        const QString section1 = mis1 == QLatin1String("10")       ? QStringLiteral("10")
                                 : mis1 == QLatin1String("20")     ? QStringLiteral("20")
                                 : mis1 == QLatin1String("30")     ? QStringLiteral("30")
                                 : out.saup1 == QLatin1String("4") ? QStringLiteral("40")
                                 : mis1 == QLatin1String("40")     ? QStringLiteral("50")
                                                                   : QStringLiteral("90");
        static const QHash<QString, QString> section2 = {
            {QStringLiteral("10"), QStringLiteral("11")},
            {QStringLiteral("20"), QStringLiteral("21")},
            {QStringLiteral("30"), QStringLiteral("31")},
            {QStringLiteral("40"), QStringLiteral("41")},
            {QStringLiteral("50"), QStringLiteral("51")},
            {QStringLiteral("90"), QStringLiteral("91")}};
        ts.setParam(QStringLiteral("C"), out.code);
        ts.setParam(QStringLiteral("M1"), section1);
        ts.setParam(QStringLiteral("M2"), section2.value(section1));
        ts.exec();
        const QString dept1 = section1 == QLatin1String("10")   ? QStringLiteral("1")
                              : section1 == QLatin1String("90") ? QStringLiteral("3")
                                                                : QStringLiteral("2");
        const QString dept2 = section1 == QLatin1String("90") ? QStringLiteral("50") : section1;
        const QString dept3 = section1 == QLatin1String("10")   ? QStringLiteral("100")
                              : section1 == QLatin1String("20") ? QStringLiteral("200")
                              : section1 == QLatin1String("30") ? QStringLiteral("300")
                              : section1 == QLatin1String("40") ? QStringLiteral("400")
                              : section1 == QLatin1String("50") ? QStringLiteral("500")
                                                                : QStringLiteral("900");
        ja011.setParam(QStringLiteral("C"), out.code);
        ja011.setParam(QStringLiteral("D1"), dept1);
        ja011.setParam(QStringLiteral("D2"), dept2);
        // The food-and-beverage outlets carry the mark the F&B sales inquiry selects by.
        ja011.setParam(QStringLiteral("D4"),
                       section1 == QLatin1String("20") ? QStringLiteral("Y") : QString());
        ja011.setParam(QStringLiteral("D3"), dept3);
        ja011.exec();
        const QString ts1 = section1 == QLatin1String("10")   ? QStringLiteral("1")
                            : section1 == QLatin1String("20") ? QStringLiteral("3")
                            : section1 == QLatin1String("90") ? QStringLiteral("4")
                                                              : QStringLiteral("2");
        const QString ts2 = out.code == QLatin1String("1001") ? QStringLiteral("11")
                            : section1 == QLatin1String("10") ? QStringLiteral("12")
                            : section1 == QLatin1String("30") ? QStringLiteral("21")
                            : section1 == QLatin1String("40") ? QStringLiteral("22")
                            : section1 == QLatin1String("50") ? QStringLiteral("23")
                            : section1 == QLatin1String("20") ? QStringLiteral("31")
                                                              : QStringLiteral("41");
        ja011ts.setParam(QStringLiteral("C"), out.code);
        ja011ts.setParam(QStringLiteral("D1"), ts1);
        ja011ts.setParam(QStringLiteral("D2"), ts2);
        ja011ts.exec();
    }
    db::Query items(connection);
    items.setSql(QStringLiteral(R"sql(
        INSERT INTO SX020MS (MOVEMENT, ITEM_CODE, ITEM_NAME)
        VALUES (:M, :C, :N)
    )sql"));
    for (const AccountItem &item : AccountItems()) {
        items.setParam(QStringLiteral("M"), item.movement);
        items.setParam(QStringLiteral("C"), item.code);
        items.setParam(QStringLiteral("N"), item.name);
        items.exec();
    }
}

void WriteCalendar(db::Connection &connection, int fromYear, int toYear) {
    db::Query q(connection);
    q.setSql(QStringLiteral(R"sql(
        INSERT INTO ZX020MS (CALN_DATE, WEEK_DAY, HOLIDAY_YN)
        VALUES (:D, :W, :H)
    )sql"));
    for (QDate d(fromYear, 1, 1); d.year() <= toYear; d = d.addDays(1)) {
        const int weekday = d.dayOfWeek() % 7 + 1; // 1 Sunday .. 7 Saturday
        q.setParam(QStringLiteral("D"), d.toString(QStringLiteral("yyyyMMdd")));
        q.setParam(QStringLiteral("W"), QString::number(weekday));
        q.setParam(QStringLiteral("H"),
                   weekday == 1 || weekday == 7 ? QStringLiteral("Y") : QStringLiteral("N"));
        q.exec();
    }
}

} // namespace kelo::database
