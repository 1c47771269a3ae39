#include "db/connection.h"
#include "viewer/definition_parser.h"
#include "viewer/fixtures.h"

#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::viewer;

namespace {

struct ErrorCase {
    const char *what;
    const char *xml;
    const char *expected; // the message after "X.mrd:"
};

const ErrorCase kErrors[] = {
    {"base up a folder", "<report extends=\"../B\" name=\"V\"/>",
     "1:1: <report> extends \"../B\", which is not the name of a definition in this folder"},
    {"base in a folder", "<report extends=\"R/B\" name=\"V\"/>",
     "1:1: <report> extends \"R/B\", which is not"},
    {"base with a backslash", "<report extends=\"R\\B\" name=\"V\"/>",
     "1:1: <report> extends \"R\\B\", which is not"},
    {"base on a drive", "<report extends=\"C:B\" name=\"V\"/>",
     "1:1: <report> extends \"C:B\", which is not"},
    {"no base", "<report extends=\"\" name=\"V\"/>", "1:1: <report> extends \"\", which is not"},
    {"variant without a name", "<report extends=\"B\"/>",
     "1:1: <report> needs the attribute \"name\""},
    {"variant with bands",
     "<report extends=\"B\" name=\"V\">\n  <band kind=\"title\" height=\"5\"/>\n</report>",
     "2:3: <band> does not belong in a <report> that extends another: only <param>"},
    {"variant fixing twice",
     "<report extends=\"B\" name=\"V\">\n  <param name=\"A\" value=\"1\"/>\n"
     "  <param name=\"A\" value=\"2\"/>\n</report>",
     "3:3: a second <param> A"},
    {"fixed without a value", "<report extends=\"B\" name=\"V\">\n  <param name=\"A\"/>\n</report>",
     "2:3: <param> needs the attribute \"value\""},
    {"unknown attribute",
     "<report name=\"X\">\n  <band kind=\"title\" height=\"5\">\n"
     "    <field x=\"0\" y=\"0\" w=\"1\" h=\"1\" fild=\"A\"/>\n  </band>\n</report>",
     "3:5: <field> has no attribute \"fild\""},
    {"missing required attribute", "<report name=\"X\">\n  <band height=\"5\"/>\n</report>",
     "2:3: <band> needs the attribute \"kind\""},
    {"number that is not one",
     "<report name=\"X\">\n  <band kind=\"title\" height=\"five\"/>\n</report>",
     "2:3: <band> attribute \"height\" is not a number: \"five\""},
    {"unknown kind", "<report name=\"X\">\n  <band kind=\"middle\" height=\"5\"/>\n</report>",
     "2:3: <band> has an unknown kind \"middle\""},
    {"unknown type",
     "<report name=\"X\">\n  <parameters>\n    <parameter name=\"A\" type=\"time\"/>\n"
     "  </parameters>\n</report>",
     "3:5: <parameter> attribute \"type\" has an unknown value \"time\""},
    {"unknown system value",
     "<report name=\"X\">\n  <band kind=\"title\" height=\"5\">\n"
     "    <system x=\"0\" y=\"0\" w=\"1\" h=\"1\" value=\"year\"/>\n  </band>\n</report>",
     "3:5: <system> has an unknown value \"year\""},
    {"data set that names nothing",
     "<report name=\"X\">\n  <band kind=\"detail\" dataset=\"nope\" height=\"5\"/>\n</report>",
     "2:3: data set \"nope\" names nothing"},
    {"two data sets of one name",
     "<report name=\"X\">\n  <dataset name=\"a\"><sql>SELECT 1 FROM DUAL</sql></dataset>\n"
     "  <dataset name=\"a\"><sql>SELECT 1 FROM DUAL</sql></dataset>\n</report>",
     "3:3: a second data set a"},
    {"master that names nothing",
     "<report name=\"X\">\n  <dataset name=\"b\" master=\"zz\" link=\"A=B\"><sql>SELECT 1 FROM "
     "DUAL</sql></dataset>\n</report>",
     "2:3: data set b: the master zz names no data set"},
    {"group without a main data set",
     "<report name=\"X\">\n  <band kind=\"groupheader\" group=\"G\" height=\"5\"/>\n</report>",
     "2:3: group G without a detail band's data set"},
    {"unknown element", "<report name=\"X\">\n  <bands/>\n</report>",
     "2:3: <bands> does not belong in <report>"},
    {"item outside a band",
     "<report name=\"X\">\n  <label x=\"0\" y=\"0\" w=\"1\" h=\"1\" text=\"a\"/>\n</report>",
     "2:3: <label> does not belong in <report>"},
    {"undeclared parameter in a statement",
     "<report name=\"X\">\n  <dataset name=\"a\">\n    <sql>SELECT :ZZ FROM DUAL</sql>\n"
     "  </dataset>\n</report>",
     "3:5: data set a uses :ZZ, which is not a declared parameter"},
    {"data set after a band",
     "<report name=\"X\">\n  <band kind=\"title\" height=\"5\"/>\n"
     "  <dataset name=\"a\"><sql>SELECT 1 FROM DUAL</sql></dataset>\n</report>",
     "3:3: <dataset> after <band>: the order is <parameters>, <dataset>, <band>"},
    {"another root", "<rapport name=\"X\"/>", "1:1: the root element is <rapport>, not <report>"},
    {"text in a band",
     "<report name=\"X\">\n  <band kind=\"title\" height=\"5\">junk</band>\n</report>",
     "2:33: text where an element belongs: \"junk\""},
    {"second detail band",
     "<report name=\"X\">\n  <band kind=\"detail\" height=\"5\"/>\n  <band kind=\"detail\" "
     "height=\"5\"/>\n</report>",
     "3:3: a second detail band"},
    {"field without a data set",
     "<report name=\"X\">\n  <band kind=\"title\" height=\"5\">\n"
     "    <field x=\"0\" y=\"0\" w=\"1\" h=\"1\" field=\"A\"/>\n  </band>\n</report>",
     "3:5: <field> A has no data set: the band has none and it names none"},
    {"negative length", "<report name=\"X\">\n  <band kind=\"title\" height=\"-5\"/>\n</report>",
     "2:3: <band> attribute \"height\" is out of range: -5"},
    {"chart without series",
     "<report name=\"X\">\n  <dataset name=\"a\"><sql>SELECT 1 AS A FROM DUAL</sql></dataset>\n"
     "  <band kind=\"title\" height=\"5\">\n    <chart x=\"0\" y=\"0\" w=\"9\" h=\"9\" dataset=\"a\" "
     "type=\"pie\" category=\"A\" series=\"A\"/>\n  </band>\n</report>",
     "4:5: <chart> attribute \"type\" has an unknown value \"pie\""},
    {"unknown entity", "<report name=\"X\" title=\"&bogus;\"/>", "1:"},
    {"default of another type",
     "<report name=\"X\">\n  <parameters>\n    <parameter name=\"D\" type=\"date\" "
     "default=\"tomorrow\"/>\n  </parameters>\n</report>",
     "3:5: <parameter> D default \"tomorrow\" is not a value of its type nor one of today, "
     "yesterday, monthstart, yearstart"},
    {"default month that is no month",
     "<report name=\"X\">\n  <parameters>\n    <parameter name=\"M\" type=\"month\" "
     "default=\"202613\"/>\n  </parameters>\n</report>",
     "3:5: <parameter> M default \"202613\" is not a value of its type nor one of thismonth, "
     "lastmonth"},
    {"choices that take a parameter",
     "<report name=\"X\">\n  <parameters>\n    <parameter name=\"A\">\n      <choices>"
     "<sql>SELECT :A FROM DUAL</sql></choices>\n    </parameter>\n  </parameters>\n</report>",
     "4:15: the choices of A take no parameters"},
    {"choices without a statement",
     "<report name=\"X\">\n  <parameters>\n    <parameter name=\"A\">\n      <choices/>\n"
     "    </parameter>\n  </parameters>\n</report>",
     "4:16: <choices> of A holds one <sql>"},
    {"two choices",
     "<report name=\"X\">\n  <parameters>\n    <parameter name=\"A\">\n      <choices>"
     "<sql>SELECT 1 FROM DUAL</sql></choices>\n      <choices><sql>SELECT 2 FROM DUAL</sql>"
     "</choices>\n    </parameter>\n  </parameters>\n</report>",
     "5:7: a second <choices> of A"},
    {"programs that are not program IDs", "<report name=\"X\" programs=\"SBS010 ../S\"/>",
     "1:1: <report> programs \"SBS010 ../S\" is not a list of program IDs"},
    {"unknown aggregate",
     "<report name=\"X\">\n  <band kind=\"summary\" height=\"5\">\n"
     "    <field x=\"0\" y=\"0\" w=\"1\" h=\"1\" field=\"A\" aggregate=\"total\"/>\n"
     "  </band>\n</report>",
     "3:5: <field> has an unknown aggregate \"total\": sum, count, avg, min or max"},
    {"aggregate outside a footer",
     "<report name=\"X\">\n  <dataset name=\"a\"><sql>SELECT 1 AS A FROM DUAL</sql></dataset>\n"
     "  <band kind=\"detail\" dataset=\"a\" height=\"5\">\n"
     "    <field x=\"0\" y=\"0\" w=\"1\" h=\"1\" field=\"A\" aggregate=\"sum\"/>\n"
     "  </band>\n</report>",
     "4:5: aggregate=\"sum\" is for a groupfooter or summary band"},
    {"aggregate of another data set",
     "<report name=\"X\">\n  <dataset name=\"a\"><sql>SELECT 1 AS A FROM DUAL</sql></dataset>\n"
     "  <band kind=\"summary\" height=\"5\">\n"
     "    <field x=\"0\" y=\"0\" w=\"1\" h=\"1\" dataset=\"a\" field=\"A\" "
     "aggregate=\"max\"/>\n  </band>\n</report>",
     "4:5: aggregate=\"max\" reads the detail band's data set: no \"dataset\""},
    {"style with an unknown operator",
     "<report name=\"X\">\n  <band kind=\"title\" height=\"5\">\n"
     "    <label x=\"0\" y=\"0\" w=\"1\" h=\"1\" text=\"a\">\n"
     "      <style if=\"A != 0\" color=\"#ff0000\"/>\n    </label>\n  </band>\n</report>",
     "4:7: <style> condition \"A != 0\" is not [FIELD] OPERATOR CONSTANT with an operator of < "
     "<= = <> >= >"},
    {"style against a word",
     "<report name=\"X\">\n  <band kind=\"title\" height=\"5\">\n"
     "    <label x=\"0\" y=\"0\" w=\"1\" h=\"1\" text=\"a\">\n"
     "      <style if=\"&lt;&gt; abc\" color=\"#ff0000\"/>\n    </label>\n  </band>\n</report>",
     "4:7: <style> constant \"abc\" is neither a number nor a text in 'quotes'"},
    {"style that sets nothing",
     "<report name=\"X\">\n  <band kind=\"title\" height=\"5\">\n"
     "    <style if=\"A = 1\" bold=\"false\"/>\n  </band>\n</report>",
     "3:5: <style> sets nothing: give color, background or bold=\"true\""},
    {"band style without a field",
     "<report name=\"X\">\n  <band kind=\"title\" height=\"5\">\n"
     "    <style if=\"= 1\" bold=\"true\"/>\n  </band>\n</report>",
     "3:5: a band's <style> compares a field: \"= 1\" names none"},
    {"style on a line",
     "<report name=\"X\">\n  <band kind=\"title\" height=\"5\">\n"
     "    <line x=\"0\" y=\"0\" w=\"1\" h=\"1\">\n      <style if=\"= 1\" bold=\"true\"/>\n"
     "    </line>\n  </band>\n</report>",
     "4:7: <style> does not belong in <line>"},
};

TEST(DefinitionParser, RefusesWithFileLineAndColumn) {
    db::Connection connection;
    for (const ErrorCase &c : kErrors) {
        SCOPED_TRACE(c.what);
        const ParseResult r =
            ParseDefinition(QByteArray(c.xml), QStringLiteral("X.mrd"), connection);
        EXPECT_EQ(r.report, nullptr);
        EXPECT_TRUE(r.error.startsWith(QStringLiteral("X.mrd:") + QString::fromUtf8(c.expected)))
            << r.error.toStdString();
    }
}

TEST(DefinitionParser, MalformedXmlNamesWhereItBroke) {
    struct Case {
        const char *xml;
        const char *line;
    } cases[] = {
        {"<report name=\"X\">\n  <band kind=\"title\" height=\"5\">", "X.mrd:2:"}, // cut
        {"<report name=\"X\">\n  <band kind=\"title\" height=\"5\">\n</report>",
         "X.mrd:3:"}, // nesting
        {"", "X.mrd:1:"},
        {"\x01\x02\xff\xfe garbage", "X.mrd:1:"},
    };
    db::Connection connection;
    for (const Case &c : cases) {
        const ParseResult r =
            ParseDefinition(QByteArray(c.xml), QStringLiteral("X.mrd"), connection);
        EXPECT_EQ(r.report, nullptr);
        EXPECT_TRUE(r.error.startsWith(QString::fromUtf8(c.line))) << r.error.toStdString();
    }
}

TEST(DefinitionParser, ReadsTheDefinitionIntoTheEngine) {
    db::Connection connection;
    const ParseResult r =
        ParseDefinition(test::SalesDefinition(), QStringLiteral("MIS(TEST).mrd"), connection);
    ASSERT_NE(r.report, nullptr) << r.error.toStdString();
    const LoadedReport &rep = *r.report;
    EXPECT_EQ(rep.name, QStringLiteral("MIS(TEST)"));
    EXPECT_EQ(rep.definition.page.orientation, report::Orientation::Landscape);
    ASSERT_EQ(rep.parameters.size(), 2u);
    EXPECT_EQ(rep.parameters[1].name, QStringLiteral("AToDATE"));
    EXPECT_EQ(rep.parameters[1].position, 2);
    EXPECT_EQ(rep.parameters[1].type, ParamType::Date);
    ASSERT_EQ(rep.dataSets.size(), 2u);
    EXPECT_EQ(rep.definition.mainData, rep.dataSet(QStringLiteral("rows")));
    EXPECT_EQ(rep.dataSet(QStringLiteral("rows"))->displayFormat(QStringLiteral("NET_AMT")),
              QStringLiteral(",0"));
    QStringList kinds;
    for (const report::Band &b : rep.definition.bands())
        kinds << b.name;
    EXPECT_EQ(kinds.join(u','),
              QStringLiteral("title1,columnheader2,detail3,summary4,pagefooter5"));
    const report::Band &summary = *std::next(rep.definition.bands().begin(), 3);
    ASSERT_EQ(summary.items.size(), 3u);
    EXPECT_EQ(summary.items[2].kind, report::ItemKind::Chart);
    EXPECT_EQ(summary.items[2].chart.series, QStringList{QStringLiteral("NET_AMT")});
}

} // namespace
