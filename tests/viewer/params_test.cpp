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
    {"/rv SALE_DATE[20071223] MIS_UPJANG_CODE1[]", "!the report has no parameter SALE_DATE"},
    {"/rv  AFromDate[20240101]BOGUS[1] /reditmode", "!the report has no parameter BOGUS"},
    {"/rv  afromdate[20240101] /reditmode", "!the report has no parameter afromdate"},
    {"/rp [20240101] [20240131] [x]", "!the report takes 2 values, 3 were given"},
    {"/rp [2024013] []", "!the parameter AFromDate takes a date yyyymmdd, not \"2024013\""},
    {"/rp [20240230]", "!the parameter AFromDate takes a date yyyymmdd, not \"20240230\""},
    {"/rp [20240101",
     "!the parameter string \"/rp [20240101\" has a value without its closing \"]\""},
    {"/rx [1]", "!the parameter string \"/rx [1]\" begins with neither /rp nor /rv"},
    {"/rv  AFromDate[20240101]AFromDate[20240102]", "!the parameter AFromDate is given twice"},
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
