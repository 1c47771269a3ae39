#include "common/appdir.h"
#include "common/reportlocations.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelo;

namespace {

// A folder of settings files for one test; AppDir points at it while the test runs.
class ReportServerSettings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        SetAppDir(dir_.path());
    }
    void TearDown() override { SetAppDir(QString()); }

    void WriteIni(const char *text) {
        QFile ini(AppFile(QStringLiteral("Kelo_S.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(text);
    }

    QTemporaryDir dir_;
};

struct LocationCase {
    const char *what;
    const char *ini; // Kelo_S.ini, nullptr: no file at all
    const char *name;
    const char *main, *second, *third;
};

void PrintTo(const LocationCase &c, std::ostream *os) {
    *os << c.what;
}

class ReportLocationTest : public ReportServerSettings,
                           public ::testing::WithParamInterface<LocationCase> {};

TEST_P(ReportLocationTest, ComposesTheThreeServerForms) {
    const LocationCase &c = GetParam();
    if (c.ini)
        WriteIni(c.ini);
    const QString name = QString::fromUtf8(c.name);
    EXPECT_EQ(MainLocation(name), QString::fromUtf8(c.main));
    EXPECT_EQ(SecondLocation(name), QString::fromUtf8(c.second));
    EXPECT_EQ(ThirdLocation(name), QString::fromUtf8(c.third));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportLocationTest,
    ::testing::Values(
        LocationCase{"no settings file", nullptr, "MIS(SRI060)",
                     "http://127.0.0.1:8080/REPORT/경영정보관리/MIS(SRI060).mrd",
                     "http://127.0.0.1:8080\\REPORT\\경영정보관리/MIS(SRI060).mrd",
                     "http://127.0.0.1:8080/REPORT/경영정보관리/MIS(SRI060).mrd"},
        LocationCase{"a file without the section", "[Role]\nType=1\n", "영업현황일보(총괄)2",
                     "http://127.0.0.1:8080/REPORT/경영정보관리/영업현황일보(총괄)2.mrd",
                     "http://127.0.0.1:8080\\REPORT\\경영정보관리/영업현황일보(총괄)2.mrd",
                     "http://127.0.0.1:8080/REPORT/경영정보관리/영업현황일보(총괄)2.mrd"},
        LocationCase{
            "three servers",
            "[ReportServer]\nMain=http://10.1.1.5:8080\nSecond=http://10.1.1.6\n"
            "Third=http://10.1.1.7:9090\n",
            "일일객단가현황(세부현황2_PKG분리)",
            "http://10.1.1.5:8080/REPORT/경영정보관리/일일객단가현황(세부현황2_PKG분리).mrd",
            "http://10.1.1.6\\REPORT\\경영정보관리/일일객단가현황(세부현황2_PKG분리).mrd",
            "http://10.1.1.7:9090/REPORT/경영정보관리/일일객단가현황(세부현황2_PKG분리).mrd"},
        LocationCase{"trailing slashes and blanks, one key empty",
                     "[ReportServer]\nMain=\" http://h:1/ \"\nSecond=http://h2//\nThird=\n", "A",
                     "http://h:1/REPORT/경영정보관리/A.mrd",
                     "http://h2\\REPORT\\경영정보관리/A.mrd",
                     "http://127.0.0.1:8080/REPORT/경영정보관리/A.mrd"}));

struct LocalCase {
    const char *ini;
    const char *folder; // relative to the test's AppDir unless it starts with '/'
};

class LocalFolderTest : public ReportServerSettings,
                        public ::testing::WithParamInterface<LocalCase> {};

TEST_P(LocalFolderTest, IsRelativeToAppDirByDefault) {
    WriteIni(GetParam().ini);
    const QString expected = QString::fromUtf8(GetParam().folder);
    EXPECT_EQ(LocalReportFolder(),
              expected.startsWith(u'/') ? expected : dir_.path() + u'/' + expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, LocalFolderTest,
                         ::testing::Values(LocalCase{"", "reports/local"},
                                           LocalCase{"[ReportServer]\nLocalFolder=rd\n", "rd"},
                                           LocalCase{"[ReportServer]\nLocalFolder=a/../b/\n", "b"},
                                           LocalCase{"[ReportServer]\nLocalFolder=/srv/rd\n",
                                                     "/srv/rd"}));

TEST_F(ReportServerSettings, LocalLocationsMapIntoTheLocalFolderAndNeverOutOfIt) {
    WriteIni("[ReportServer]\nLocalFolder=/srv/rd\n");
    const struct {
        QString location, file;
    } cases[] = {
        {LocalReportLocation(), QStringLiteral("/srv/rd/경영정보관리(071224)/TTP070.mrd")},
        {QStringLiteral("C:\\켈로리조트\\RD레포트\\경영정보관리(071224)\\TTP070.mrd"),
         QStringLiteral("/srv/rd/경영정보관리(071224)/TTP070.mrd")},
        {QStringLiteral("c:/켈로리조트/RD레포트/a.mrd"), QStringLiteral("/srv/rd/a.mrd")},
        {QStringLiteral("C:/켈로리조트/RD레포트/../a.mrd"), QString()},
        {QStringLiteral("C:/켈로리조트/RD레포트/x/..\\..\\a.mrd"), QString()},
        {QStringLiteral("C:/켈로리조트/RD레포트//etc/passwd"), QString()},
        {QStringLiteral("D:/켈로리조트/RD레포트/a.mrd"), QString()},
        {QStringLiteral("http://127.0.0.1:8080/REPORT/경영정보관리/a.mrd"), QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LocalReportFile(c.location), c.file) << c.location.toStdString();
    EXPECT_EQ(LocalReportLocation(),
              QStringLiteral("C:/켈로리조트/RD레포트/경영정보관리(071224)/TTP070.mrd"));
}

TEST(ReportParamStrings, PositionalParameterStrings) {
    struct Case {
        QStringList values;
        bool trailingBlank;
        const char *expected;
    };
    const Case cases[] = {
        {{"20240101", "20240131"}, false, "/rp [20240101] [20240131]"},
        {{"20240131", ""}, false, "/rp [20240131] []"},
        {{"20240131"}, true, "/rp [20240131] "},
        {{"20240131"}, false, "/rp [20240131]"},
        // Values go in verbatim: blanks, brackets and Korean words.
        {{"a]b", "[c", " 가족호텔 "}, false, "/rp [a]b] [[c] [ 가족호텔 ]"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PositionalParams(c.values, c.trailingBlank), QString::fromUtf8(c.expected))
            << c.values.join(u',').toStdString();
}

TEST(ReportParamStrings, NamedParameterStrings) {
    EXPECT_EQ(NamedParams({{"AFromDate", "20240101"}, {"AToDATE", "20240131"}}),
              QStringLiteral("/rv  AFromDate[20240101]AToDATE[20240131] /reditmode"));
    EXPECT_EQ(NamedParams({{"ATASK_DATE", "20240101"}, {"ADEPT_ITEM1", ""}}),
              QStringLiteral("/rv  ATASK_DATE[20240101]ADEPT_ITEM1[] /reditmode"));
    EXPECT_EQ(NamedParams({{"AUPJANG_CODE", "1]0["}}),
              QStringLiteral("/rv  AUPJANG_CODE[1]0[] /reditmode"));
}

TEST(ReportParamStrings, ParametersPassTheSystemCodePage) {
    EXPECT_EQ(ViewerParams(QStringLiteral("/rp [가족호텔] [유스호스텔]")),
              QStringLiteral("/rp [가족호텔] [유스호스텔]"));
    // A character the code page lacks arrives as '?'.
    EXPECT_EQ(ViewerParams(QStringLiteral("/rp [กa]")), QStringLiteral("/rp [?a]"));
}

TEST(ReportParamStrings, LocationsOnTheThreeServers) {
    QTemporaryDir dir;
    const QString previous = AppDir();
    SetAppDir(dir.path());
    const QString name = QStringLiteral("영업현황일보(총괄)");
    EXPECT_EQ(MainLocation(name),
              QStringLiteral("http://127.0.0.1:8080/REPORT/경영정보관리/영업현황일보(총괄).mrd"));
    QFile ini(dir.filePath(QStringLiteral("Kelo_S.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[ReportServer]\nMain=http://10.0.0.1:8001\nSecond=http://10.0.0.2\n"
              "Third=http://10.0.0.3:8003\n");
    ini.close();
    EXPECT_EQ(MainLocation(name),
              QStringLiteral("http://10.0.0.1:8001/REPORT/경영정보관리/영업현황일보(총괄).mrd"));
    EXPECT_EQ(SecondLocation(name),
              QStringLiteral("http://10.0.0.2\\REPORT\\경영정보관리/영업현황일보(총괄).mrd"));
    EXPECT_EQ(ThirdLocation(name),
              QStringLiteral("http://10.0.0.3:8003/REPORT/경영정보관리/영업현황일보(총괄).mrd"));
    SetAppDir(previous);
}

TEST(ReportParamStrings, WhatTheBuildersWriteReadsBackValueForValue) {
    const QStringList positional[] = {
        {},
        {QStringLiteral("20240101"), QStringLiteral("20240131")},
        {QStringLiteral("20240131"), QString()},
        {QStringLiteral("a]b"), QStringLiteral("[c"), QStringLiteral(" 가족호텔 ")},
        {QStringLiteral("x] /reditmode")},
    };
    for (const QStringList &values : positional)
        for (const bool trailingBlank : {false, true}) {
            const ReportParams read = ReadReportParams(PositionalParams(values, trailingBlank));
            EXPECT_TRUE(read.ok()) << read.error.toStdString();
            EXPECT_EQ(read.kind, ReportParams::Kind::Positional);
            EXPECT_EQ(read.positional, values) << values.join(u',').toStdString();
        }
    const std::vector<NamedValue> named[] = {
        {},
        {{"AFromDate", "20240101"}, {"AToDATE", "20240131"}},
        {{"ATASK_DATE", "20240101"}, {"ADEPT_ITEM1", ""}},
        {{"AUPJANG_CODE", "1]0["}, {"A2", "호텔 ]"}},
    };
    for (const auto &values : named) {
        const ReportParams read = ReadReportParams(NamedParams(values));
        EXPECT_TRUE(read.ok()) << read.error.toStdString();
        EXPECT_EQ(read.kind, ReportParams::Kind::Named);
        EXPECT_EQ(read.named, values) << NamedParams(values).toStdString();
    }
    // The section targets' own form: one blank after /rv and between the pairs.
    const ReportParams sections =
        ReadReportParams(QStringLiteral("/rv SALE_DATE[20261210] MIS_UPJANG_CODE1[110]"));
    EXPECT_EQ(sections.named,
              (std::vector<NamedValue>{{"SALE_DATE", "20261210"}, {"MIS_UPJANG_CODE1", "110"}}));
    EXPECT_EQ(ReadReportParams(QStringLiteral("  ")).kind, ReportParams::Kind::None);
    for (const char *bad : {"/rx [1]", "/rp[1]", "/rp [1", "/rp 1]", "/rv  A[1", "/rv  [1]"})
        EXPECT_FALSE(ReadReportParams(QString::fromUtf8(bad)).ok()) << bad;
}

} // namespace
