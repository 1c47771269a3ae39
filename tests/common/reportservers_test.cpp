#include "common/appdir.h"
#include "common/reportservers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>

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
    EXPECT_EQ(MainReportLocation(name), QString::fromUtf8(c.main));
    EXPECT_EQ(SecondReportLocation(name), QString::fromUtf8(c.second));
    EXPECT_EQ(ThirdReportLocation(name), QString::fromUtf8(c.third));
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

TEST_F(ReportServerSettings, OnlyThreeServersExist) {
    EXPECT_THROW(ReportServerBase(0), std::out_of_range);
    EXPECT_THROW(ReportServerBase(4), std::out_of_range);
}

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

} // namespace
