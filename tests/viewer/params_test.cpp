#include "viewer/params.h"

#include <gtest/gtest.h>

using namespace kelo::viewer;

namespace {

std::vector<ParameterDecl> Declared() {
    return {{QStringLiteral("AFromDate"), 1, ParamType::Date},
            {QStringLiteral("AToDATE"), 2, ParamType::Date},
            {QStringLiteral("AUPJANG_CODE"), 0, ParamType::Text},
            {QStringLiteral("MIS_UPJANG_CODE1"), 0, ParamType::Text}};
}

struct BindCase {
    const char *params;
    const char
        *expected; // "AFromDate=..;AToDATE=..;AUPJANG_CODE=..;MIS_UPJANG_CODE1=.." or "!error"
};

const BindCase kCases[] = {
    {"/rp [20240101] [20240131]", "20240101|20240131||"},
    {"/rp [20240131] []", "20240131|||"},
    {"/rp [20240101] [20240131] ", "20240101|20240131||"},
    {"/rp [20240101]", "20240101|||"},
    {"/rp []", "|||"},
    {"", "|||"},
    {"/rv  AFromDate[20240101]AToDATE[20240131] /reditmode", "20240101|20240131||"},
    {"/rv AFromDate[20240101]AToDATE[20240131]", "20240101|20240131||"},
    {"/rv  AUPJANG_CODE[A]B]C] /reditmode", "||A]B]C|"},
    {"/rv  AUPJANG_CODE[[x] y] /reditmode", "||[x] y|"},
    {"/rv  AUPJANG_CODE[ 가든 ]AFromDate[] /reditmode", "|| 가든 |"},
    {"/rv SALE_DATE[20071223] MIS_UPJANG_CODE1[]", "!보고서에 매개변수 SALE_DATE이(가) 없습니다"},
    {"/rv  AFromDate[20240101]BOGUS[1] /reditmode", "!보고서에 매개변수 BOGUS이(가) 없습니다"},
    {"/rv  afromdate[20240101] /reditmode", "!보고서에 매개변수 afromdate이(가) 없습니다"},
    {"/rp [20240101] [20240131] [x]", "!보고서의 매개변수는 2개인데 값이 3개 주어졌습니다"},
    {"/rp [2024013] []",
     "!매개변수 AFromDate은(는) 일자(YYYYMMDD)입니다. \"2024013\"은(는) 올바른 일자가 아닙니다"},
    {"/rp [20240230]",
     "!매개변수 AFromDate은(는) 일자(YYYYMMDD)입니다. \"20240230\"은(는) 올바른 일자가 아닙니다"},
    {"/rp [20240101", "!매개변수 문자열 \"/rp [20240101\"에 닫는 \"]\"가 없는 값이 있습니다"},
    {"/rx [1]", "!매개변수 문자열 \"/rx [1]\"이(가) /rp나 /rv로 시작하지 않습니다"},
    {"/rv  AFromDate[20240101]AFromDate[20240102]", "!매개변수 AFromDate이(가) 두 번 주어졌습니다"},
};

QString Result(const BoundParams &b) {
    if (!b.ok())
        return QStringLiteral("!") + b.error;
    return QStringList{b.values.value(QStringLiteral("AFromDate")),
                       b.values.value(QStringLiteral("AToDATE")),
                       b.values.value(QStringLiteral("AUPJANG_CODE")),
                       b.values.value(QStringLiteral("MIS_UPJANG_CODE1"))}
        .join(u'|');
}

TEST(BindParams, BothSyntaxes) {
    for (const BindCase &c : kCases) {
        SCOPED_TRACE(c.params);
        EXPECT_EQ(Result(BindParams(QString::fromUtf8(c.params), Declared())),
                  QString::fromUtf8(c.expected));
    }
}

TEST(BindParams, ValuesWithBracketsInPositions) {
    const std::vector<ParameterDecl> texts = {{QStringLiteral("A"), 1, ParamType::Text},
                                              {QStringLiteral("B"), 2, ParamType::Text}};
    const BoundParams b = BindParams(QStringLiteral("/rp [a[1]] [] b]"), texts);
    ASSERT_TRUE(b.ok()) << b.error.toStdString();
    EXPECT_EQ(b.values.value(QStringLiteral("A")), QStringLiteral("a[1]"));
    EXPECT_EQ(b.values.value(QStringLiteral("B")), QStringLiteral("] b"));
}

TEST(BindParams, TypesCheckOnlyGivenValues) {
    const std::vector<ParameterDecl> typed = {{QStringLiteral("M"), 1, ParamType::Month},
                                              {QStringLiteral("N"), 2, ParamType::Number}};
    struct {
        const char *params;
        bool ok;
    } cases[] = {{"/rp [202401] [12.5]", true},
                 {"/rp [] []", true},
                 {"/rp [202413]", false},
                 {"/rp [20241]", false},
                 {"/rp [202401] [x]", false}};
    for (const auto &c : cases)
        EXPECT_EQ(BindParams(QString::fromUtf8(c.params), typed).ok(), c.ok) << c.params;
}

} // namespace
