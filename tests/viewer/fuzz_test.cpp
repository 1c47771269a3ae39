#include "db/connection.h"
#include "viewer/definition_parser.h"
#include "viewer/fixtures.h"
#include "viewer/params.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <random>

using namespace kelo;
using namespace kelo::viewer;

namespace {

// A definition is either read or refused with a message that names the file.
void ExpectReadOrRefused(const QByteArray &xml, db::Connection &connection) {
    const ParseResult r = ParseDefinition(xml, QStringLiteral("F.mrd"), connection);
    if (r.report) {
        EXPECT_TRUE(r.error.isEmpty());
        BindParams(QStringLiteral("/rp [20240101] [20240131]"), r.report->parameters);
        return;
    }
    EXPECT_TRUE(r.error.startsWith(QStringLiteral("F.mrd:"))) << r.error.toStdString();
}

TEST(DefinitionFuzz, CorpusOfMalformedFilesIsRefused) {
    db::Connection connection;
    const QDir corpus(QStringLiteral(KELO_VIEWER_CORPUS));
    const QStringList files = corpus.entryList({QStringLiteral("*.mrd")}, QDir::Files);
    ASSERT_GE(files.size(), 8);
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile f(corpus.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const ParseResult r = ParseDefinition(f.readAll(), QStringLiteral("F.mrd"), connection);
        EXPECT_EQ(r.report, nullptr);
        EXPECT_TRUE(r.error.startsWith(QStringLiteral("F.mrd:"))) << r.error.toStdString();
    }
}

TEST(DefinitionFuzz, HugeAttributeIsRefused) {
    db::Connection connection;
    const QByteArray xml = "<report name=\"" + QByteArray(4 * 1024 * 1024, 'x') + "\"/>";
    const ParseResult r = ParseDefinition(xml, QStringLiteral("F.mrd"), connection);
    EXPECT_EQ(r.report, nullptr);
    EXPECT_TRUE(r.error.contains(QStringLiteral("too long"))) << r.error.left(200).toStdString();
}

TEST(DefinitionFuzz, MutationsOfAGoodDefinition) {
    db::Connection connection;
    const QByteArray goods[] = {test::SalesDefinition(), test::FooterDefinition("1 = 1")};
    std::mt19937 random(20240131); // fixed: a failure repeats
    auto pick = [&](int n) { return int(random() % unsigned(std::max(n, 1))); };
    for (int round = 0; round < 3000; ++round) {
        QByteArray m = goods[round % 2];
        const int edits = 1 + pick(4);
        for (int e = 0; e < edits && !m.isEmpty(); ++e) {
            const int at = pick(int(m.size()));
            switch (pick(6)) {
            case 0:
                m.remove(at, 1 + pick(40));
                break;
            case 1:
                m.insert(at, char(pick(256)));
                break;
            case 2:
                m[at] = char(pick(256));
                break;
            case 3:
                m.truncate(at);
                break;
            case 4:
                m.insert(at, m.mid(pick(int(m.size())), pick(80)));
                break;
            default:
                m.insert(at, "<band kind=\"detail\" height=\"5\"><field x=\"0\" y=\"0\" w=\"1\" "
                             "h=\"1\" field=\"Z\"/></band>");
                break;
            }
        }
        SCOPED_TRACE(round);
        ExpectReadOrRefused(m, connection);
    }
}

} // namespace
