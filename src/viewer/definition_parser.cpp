#include "viewer/definition_parser.h"

#include "controls/formats.h"
#include "db/query.h"
#include "viewer/params.h"
#include "viewer/pictures.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

namespace kelo::viewer {

const ParameterDecl *LoadedReport::parameter(const QString &parameterName) const {
    for (const ParameterDecl &p : parameters)
        if (p.name == parameterName)
            return &p;
    return nullptr;
}

report::DataSet *LoadedReport::dataSet(const QString &setName) const {
    for (const DataSetDecl &d : dataSets)
        if (d.name == setName)
            return d.set;
    return nullptr;
}

QString LoadedReport::message(const SourcePlace &place, const QString &reason) const {
    return QStringLiteral("%1:%2:%3: %4")
        .arg(fileName)
        .arg(place.line)
        .arg(place.column)
        .arg(reason);
}

bool IsBaseName(const QString &name) {
    return !name.trimmed().isEmpty() && name == name.trimmed() && !name.contains(u'/') &&
           !name.contains(u'\\') && !name.contains(u':') && !name.contains(QLatin1String("..")) &&
           std::none_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20; });
}

namespace {

using report::BandKind;
using report::Item;
using report::ItemKind;

struct ParseError {
    SourcePlace place;
    QString reason;
};

// A figure (a field printed through a number format) that the data leaves empty, a NULL or
// a set without rows, prints 0 through its format: a total or a line over no data shows 0,
// never a blank cell.
void ShowZeroWhenEmpty(Item &item, const QString &format) {
    if (format.isEmpty())
        return;
    const QString zero = controls::FormatNumberText(QVariant(0), format);
    auto inner = item.onPrint;
    item.onPrint = [inner, zero](Item &it, QString &text) {
        if (inner)
            inner(it, text);
        if (text.isEmpty())
            text = zero;
    };
}

constexpr double kMaxLength = 10000; // mm: larger is no report's measure
constexpr int kMaxAttributeChars = 64 * 1024;

const QHash<QString, BandKind> &BandKinds() {
    static const QHash<QString, BandKind> kinds = {
        {QStringLiteral("pageheader"), BandKind::PageHeader},
        {QStringLiteral("title"), BandKind::Title},
        {QStringLiteral("columnheader"), BandKind::ColumnHeader},
        {QStringLiteral("groupheader"), BandKind::GroupHeader},
        {QStringLiteral("detail"), BandKind::Detail},
        {QStringLiteral("subdetail"), BandKind::SubDetail},
        {QStringLiteral("groupfooter"), BandKind::GroupFooter},
        {QStringLiteral("summary"), BandKind::Summary},
        {QStringLiteral("pagefooter"), BandKind::PageFooter},
    };
    return kinds;
}

// The attributes of one element, checked against the names it may carry.
class Attributes {
public:
    Attributes(const QXmlStreamReader &reader, const QString &element, SourcePlace place,
               const QStringList &allowed)
        : m_element(element), m_place(place) {
        for (const QXmlStreamAttribute &a : reader.attributes()) {
            const QString attrName = a.qualifiedName().toString();
            if (!allowed.contains(attrName))
                fail(QStringLiteral("<%1> has no attribute \"%2\"").arg(element, attrName));
            if (a.value().size() > kMaxAttributeChars)
                fail(QStringLiteral("<%1> attribute \"%2\" is too long").arg(element, attrName));
            m_values.insert(attrName, a.value().toString());
        }
    }

    [[noreturn]] void fail(const QString &reason) const { throw ParseError{m_place, reason}; }

    bool has(const QString &attr) const { return m_values.contains(attr); }
    QString text(const QString &attr, const QString &fallback = QString()) const {
        return m_values.value(attr, fallback);
    }
    QString required(const QString &attr) const {
        if (!has(attr))
            fail(QStringLiteral("<%1> needs the attribute \"%2\"").arg(m_element, attr));
        return m_values.value(attr);
    }
    double number(const QString &attr, double fallback, bool isRequired = false) const {
        if (!has(attr)) {
            if (isRequired)
                required(attr);
            return fallback;
        }
        bool ok = false;
        const double v = m_values.value(attr).trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v))
            fail(QStringLiteral("<%1> attribute \"%2\" is not a number: \"%3\"")
                     .arg(m_element, attr, Shown(m_values.value(attr))));
        if (v < 0 || v > kMaxLength)
            fail(QStringLiteral("<%1> attribute \"%2\" is out of range: %3")
                     .arg(m_element, attr, m_values.value(attr)));
        return v;
    }
    bool boolean(const QString &attr, bool fallback) const {
        if (!has(attr))
            return fallback;
        const QString v = m_values.value(attr);
        if (v == QLatin1String("true"))
            return true;
        if (v == QLatin1String("false"))
            return false;
        fail(QStringLiteral("<%1> attribute \"%2\" is neither true nor false: \"%3\"")
                 .arg(m_element, attr, Shown(v)));
    }
    QColor colour(const QString &attr, const QColor &fallback, bool noneAllowed = false) const {
        if (!has(attr))
            return fallback;
        const QString v = m_values.value(attr);
        if (noneAllowed && v == QLatin1String("none"))
            return Qt::transparent;
        static const QRegularExpression rgb(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
        if (!rgb.match(v).hasMatch())
            fail(QStringLiteral("<%1> attribute \"%2\" is not a colour #rrggbb: \"%3\"")
                     .arg(m_element, attr, Shown(v)));
        return QColor(v);
    }
    report::Frame frame(const QString &attr) const {
        report::Frame f;
        for (const QString &word : text(attr).split(u' ', Qt::SkipEmptyParts)) {
            if (word == QLatin1String("top"))
                f.top = true;
            else if (word == QLatin1String("bottom"))
                f.bottom = true;
            else if (word == QLatin1String("left"))
                f.left = true;
            else if (word == QLatin1String("right"))
                f.right = true;
            else
                fail(QStringLiteral("<%1> attribute \"%2\" has an unknown side \"%3\"")
                         .arg(m_element, attr, Shown(word)));
        }
        return f;
    }
    // One of the words given.
    QString choice(const QString &attr, const QStringList &words, const QString &fallback) const {
        if (!has(attr))
            return fallback;
        const QString v = m_values.value(attr);
        if (!words.contains(v))
            fail(QStringLiteral("<%1> attribute \"%2\" has an unknown value \"%3\"")
                     .arg(m_element, attr, Shown(v)));
        return v;
    }

    // A value quoted in a message: cut short.
    static QString Shown(const QString &v) {
        return v.size() > 40 ? v.left(40) + QStringLiteral("…") : v;
    }

private:
    QString m_element;
    SourcePlace m_place;
    QHash<QString, QString> m_values;
};

const QStringList kBoxAttributes = {
    QStringLiteral("x"),      QStringLiteral("y"),         QStringLiteral("w"),
    QStringLiteral("h"),      QStringLiteral("size"),      QStringLiteral("bold"),
    QStringLiteral("italic"), QStringLiteral("underline"), QStringLiteral("font"),
    QStringLiteral("align"),  QStringLiteral("color"),     QStringLiteral("background"),
    QStringLiteral("frame"),  QStringLiteral("wrap")};

class Parser {
public:
    Parser(const QByteArray &xml, LoadedReport &report, db::Connection &connection)
        : m_reader(xml), m_report(report), m_connection(connection) {}

    void run() {
        // The prolog: up to the root element.
        for (;;) {
            const auto token = next();
            if (token == QXmlStreamReader::StartElement)
                break;
            if (token == QXmlStreamReader::EndDocument)
                throw ParseError{m_place, QStringLiteral("the file holds no <report>")};
        }
        if (m_reader.name() != QLatin1String("report"))
            throw ParseError{m_place, QStringLiteral("the root element is <%1>, not <report>")
                                          .arg(m_reader.name().toString())};
        readReport();
        // Nothing but comments after the root.
        for (;;) {
            const auto token = next();
            if (token == QXmlStreamReader::EndDocument)
                break;
            if (token == QXmlStreamReader::StartElement)
                throw ParseError{m_place, QStringLiteral("<%1> after the end of <report>")
                                              .arg(m_reader.name().toString())};
        }
    }

private:
    // The next token that matters; comments, processing instructions and blanks are
    // passed over. m_place is where the token starts.
    QXmlStreamReader::TokenType next(bool keepText = false) {
        for (;;) {
            const SourcePlace before{int(m_reader.lineNumber()), int(m_reader.columnNumber())};
            const bool first = m_reader.tokenType() == QXmlStreamReader::StartDocument &&
                               m_reader.documentVersion().isEmpty();
            const auto token = m_reader.readNext();
            // The reader stands past the "<" of an element when it reports it, and just
            // before a text; without a declaration the document starts with the element.
            m_place = first && token == QXmlStreamReader::StartElement ? SourcePlace{1, 1}
                      : token == QXmlStreamReader::Characters
                          ? SourcePlace{before.line, before.column + 1}
                          : before;
            switch (token) {
            case QXmlStreamReader::Invalid: {
                const SourcePlace at{int(m_reader.lineNumber()), int(m_reader.columnNumber())};
                throw ParseError{
                    at, QStringLiteral("not well-formed XML: %1").arg(m_reader.errorString())};
            }
            case QXmlStreamReader::DTD:
                throw ParseError{m_place, QStringLiteral("a definition has no document type")};
            case QXmlStreamReader::EntityReference:
                throw ParseError{
                    m_place, QStringLiteral("unknown entity &%1;").arg(m_reader.name().toString())};
            case QXmlStreamReader::Comment:
            case QXmlStreamReader::ProcessingInstruction:
            case QXmlStreamReader::StartDocument:
                continue;
            case QXmlStreamReader::Characters:
                if (m_reader.isWhitespace())
                    continue;
                if (keepText)
                    return token;
                throw ParseError{m_place,
                                 QStringLiteral("text where an element belongs: \"%1\"")
                                     .arg(Attributes::Shown(m_reader.text().toString().trimmed()))};
            default:
                return token;
            }
        }
    }

    QString element() const { return m_reader.name().toString(); }

    [[noreturn]] void unexpected(const QString &parent) const {
        throw ParseError{m_place,
                         QStringLiteral("<%1> does not belong in <%2>").arg(element(), parent)};
    }

    // An element without children: up to its end.
    void readEmpty() {
        const QString name = element();
        if (next() == QXmlStreamReader::StartElement)
            unexpected(name);
    }

    void readReport() {
        const SourcePlace place = m_place;
        if (m_reader.attributes().hasAttribute(QStringLiteral("extends"))) {
            readVariant(place);
            return;
        }
        Attributes a(m_reader, QStringLiteral("report"), place,
                     {QStringLiteral("name"), QStringLiteral("title"),
                      QStringLiteral("orientation"), QStringLiteral("margins"),
                      QStringLiteral("folder"), QStringLiteral("programs")});
        m_report.name = a.required(QStringLiteral("name"));
        m_report.title = a.text(QStringLiteral("title"), m_report.name);
        readCatalogue(a);
        auto &def = m_report.definition;
        def.name = m_report.title;
        def.page.orientation = a.choice(QStringLiteral("orientation"),
                                        {QStringLiteral("portrait"), QStringLiteral("landscape")},
                                        QStringLiteral("portrait")) == QLatin1String("landscape")
                                   ? report::Orientation::Landscape
                                   : report::Orientation::Portrait;
        if (a.has(QStringLiteral("margins"))) {
            const QStringList parts =
                a.text(QStringLiteral("margins")).split(u' ', Qt::SkipEmptyParts);
            std::vector<double> m;
            for (const QString &p : parts) {
                bool ok = false;
                const double v = p.toDouble(&ok);
                if (!ok || !std::isfinite(v) || v < 0 || v > 100)
                    a.fail(QStringLiteral("<report> attribute \"margins\" is not four lengths"));
                m.push_back(v);
            }
            if (m.size() != 4)
                a.fail(QStringLiteral("<report> attribute \"margins\" is not four lengths"));
            def.page.leftMargin = m[0];
            def.page.topMargin = m[1];
            def.page.rightMargin = m[2];
            def.page.bottomMargin = m[3];
            if (def.page.bandWidth() <= 0 ||
                def.page.height() - def.page.topMargin - def.page.bottomMargin <= 0)
                a.fail(QStringLiteral("<report> margins leave no room on the page"));
        }
        def.beforePrint = [r = &m_report] {
            for (auto &reset : r->resets)
                reset();
        };

        int stage = 0; // 0 parameters, 1 data sets, 2 bands
        for (;;) {
            const auto token = next();
            if (token == QXmlStreamReader::EndElement)
                break;
            const QString name = element();
            const int want = name == QLatin1String("parameters") ? 0
                             : name == QLatin1String("dataset")  ? 1
                             : name == QLatin1String("band")     ? 2
                                                                 : -1;
            if (want < 0)
                unexpected(QStringLiteral("report"));
            if (want < stage || (want == 0 && m_sawParameters))
                throw ParseError{m_place,
                                 want == 0 && m_sawParameters
                                     ? QStringLiteral("a second <parameters>")
                                     : QStringLiteral("<%1> after <%2>: the order is "
                                                      "<parameters>, <dataset>, <band>")
                                           .arg(name, stage == 1 ? QStringLiteral("dataset")
                                                                 : QStringLiteral("band"))};
            stage = want;
            if (want == 0)
                readParameters();
            else if (want == 1)
                readDataSet();
            else
                readBand();
        }
        resolveMasters();
        checkGroups();
        resolveGroupFields();
    }

    // The fields of group headers and footers that name no data set read the main data
    // set (the detail band's), known once every band is read.
    void resolveGroupFields() {
        for (const PendingField &p : m_pendingFields) {
            if (!m_report.definition.mainData)
                throw ParseError{p.place, QStringLiteral("<field> %1 has no data set: the band "
                                                         "has none and it names none")
                                              .arg(p.field)};
            Item &item = p.band->items[p.item];
            item.dataSet = m_report.definition.mainData;
            // A total over no values is a figure too: through a number format it shows 0.
            ShowZeroWhenEmpty(item, item.displayFormat.isEmpty()
                                        ? item.dataSet->displayFormat(p.field)
                                        : item.displayFormat);
            m_report.fieldUses.push_back(
                {m_report.definition.mainData, p.field, QStringLiteral("field"), p.place});
        }
        m_pendingFields.clear();
        // The fields styles compare: of the band's data set, else the main data set.
        for (const PendingStyle &p : m_pendingStyles) {
            auto &rules = p.item < 0 ? p.band->styles : p.band->items[size_t(p.item)].styles;
            report::StyleRule &rule = rules[p.rule];
            rule.dataSet = p.band->dataSet ? p.band->dataSet : m_report.definition.mainData;
            if (!rule.dataSet)
                throw ParseError{p.place, QStringLiteral("<style> field %1 has no data set: the "
                                                         "band has none and the report no detail "
                                                         "band")
                                              .arg(rule.field)};
            m_report.fieldUses.push_back(
                {rule.dataSet, rule.field, QStringLiteral("style"), p.place});
        }
        m_pendingStyles.clear();
    }

    // The catalogue's folder and the programs whose permission opens the report.
    void readCatalogue(Attributes &a) {
        m_report.folder = a.text(QStringLiteral("folder")).trimmed();
        static const QRegularExpression program(QStringLiteral("^[A-Za-z0-9_]{1,20}$"));
        const QString list = a.text(QStringLiteral("programs"));
        for (const QString &id :
             list.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts)) {
            if (!program.match(id).hasMatch())
                a.fail(QStringLiteral("<report> programs \"%1\" is not a list of program IDs")
                           .arg(Attributes::Shown(list)));
            m_report.programs << id.toUpper();
        }
    }

    // A variant: the name of its base, its own name and title, and the values it fixes.
    void readVariant(SourcePlace place) {
        Attributes a(m_reader, QStringLiteral("report"), place,
                     {QStringLiteral("extends"), QStringLiteral("name"), QStringLiteral("title"),
                      QStringLiteral("folder"), QStringLiteral("programs")});
        readCatalogue(a);
        m_report.extends = a.required(QStringLiteral("extends"));
        if (!IsBaseName(m_report.extends))
            a.fail(QStringLiteral("<report> extends \"%1\", which is not the name of a "
                                  "definition in this folder")
                       .arg(Attributes::Shown(m_report.extends)));
        m_report.name = a.required(QStringLiteral("name"));
        m_report.title = a.text(QStringLiteral("title"), m_report.name);
        for (;;) {
            if (next() == QXmlStreamReader::EndElement)
                return;
            if (element() != QLatin1String("param"))
                throw ParseError{m_place, QStringLiteral("<%1> does not belong in a <report> that "
                                                         "extends another: only <param>")
                                              .arg(element())};
            Attributes p(m_reader, QStringLiteral("param"), m_place,
                         {QStringLiteral("name"), QStringLiteral("value")});
            const QString name = p.required(QStringLiteral("name"));
            if (m_report.fixedValues.contains(name))
                p.fail(QStringLiteral("a second <param> %1").arg(name));
            m_report.fixedValues.insert(name, p.required(QStringLiteral("value")));
            readEmpty();
        }
    }

    void readParameters() {
        m_sawParameters = true;
        for (;;) {
            if (next() == QXmlStreamReader::EndElement)
                return;
            if (element() != QLatin1String("parameter"))
                unexpected(QStringLiteral("parameters"));
            Attributes a(m_reader, QStringLiteral("parameter"), m_place,
                         {QStringLiteral("name"), QStringLiteral("position"),
                          QStringLiteral("type"), QStringLiteral("caption"),
                          QStringLiteral("default"), QStringLiteral("prompt")});
            ParameterDecl p;
            p.name = a.required(QStringLiteral("name"));
            static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
            if (!identifier.match(p.name).hasMatch())
                a.fail(QStringLiteral("<parameter> name \"%1\" is not a name of letters, digits "
                                      "and _")
                           .arg(Attributes::Shown(p.name)));
            if (m_report.parameter(p.name))
                a.fail(QStringLiteral("a second parameter %1").arg(p.name));
            if (a.has(QStringLiteral("position"))) {
                bool ok = false;
                p.position = a.text(QStringLiteral("position")).toInt(&ok);
                if (!ok || p.position < 1 || p.position > 1000)
                    a.fail(QStringLiteral("<parameter> attribute \"position\" is not 1, 2, ...: "
                                          "\"%1\"")
                               .arg(Attributes::Shown(a.text(QStringLiteral("position")))));
                for (const ParameterDecl &other : m_report.parameters)
                    if (other.position == p.position)
                        a.fail(QStringLiteral("parameters %1 and %2 have one position %3")
                                   .arg(other.name, p.name)
                                   .arg(p.position));
            }
            const QString type = a.choice(QStringLiteral("type"),
                                          {QStringLiteral("text"), QStringLiteral("date"),
                                           QStringLiteral("month"), QStringLiteral("number")},
                                          QStringLiteral("text"));
            p.type = type == QLatin1String("date")     ? ParamType::Date
                     : type == QLatin1String("month")  ? ParamType::Month
                     : type == QLatin1String("number") ? ParamType::Number
                                                       : ParamType::Text;
            p.caption = a.text(QStringLiteral("caption")).trimmed();
            p.prompted = a.choice(QStringLiteral("prompt"),
                                  {QStringLiteral("true"), QStringLiteral("false")},
                                  QStringLiteral("true")) == QLatin1String("true");
            p.defaultValue = a.text(QStringLiteral("default"));
            if (!p.defaultValue.isEmpty() && ResolveDefault(p, QDate(2000, 1, 1)).isNull())
                a.fail(QStringLiteral("<parameter> %1 default \"%2\" is not a value of its type "
                                      "nor one of %3")
                           .arg(p.name, Attributes::Shown(p.defaultValue), DefaultWords(p.type)));
            readChoices(p);
            m_report.parameters.push_back(p);
        }
    }

    // The <choices> of a parameter: one <sql> that reads, without parameters.
    void readChoices(ParameterDecl &p) {
        for (;;) {
            if (next() == QXmlStreamReader::EndElement)
                return;
            if (element() != QLatin1String("choices") || !p.choicesSql.isEmpty())
                throw ParseError{
                    m_place,
                    element() == QLatin1String("choices")
                        ? QStringLiteral("a second <choices> of %1").arg(p.name)
                        : QStringLiteral("<%1> does not belong in <parameter>").arg(element())};
            Attributes(m_reader, QStringLiteral("choices"), m_place, {});
            if (next() != QXmlStreamReader::StartElement || element() != QLatin1String("sql"))
                throw ParseError{m_place,
                                 QStringLiteral("<choices> of %1 holds one <sql>").arg(p.name)};
            Attributes(m_reader, QStringLiteral("sql"), m_place, {});
            const SourcePlace place = m_place;
            p.choicesSql = readText();
            if (next() != QXmlStreamReader::EndElement)
                throw ParseError{m_place,
                                 QStringLiteral("<choices> of %1 holds one <sql>").arg(p.name)};
            if (p.choicesSql.trimmed().isEmpty())
                throw ParseError{place,
                                 QStringLiteral("the choices of %1 have no statement").arg(p.name)};
            if (!db::ParseParamNames(p.choicesSql).isEmpty())
                throw ParseError{
                    place, QStringLiteral("the choices of %1 take no parameters").arg(p.name)};
        }
    }

    void readDataSet() {
        const SourcePlace place = m_place;
        Attributes a(m_reader, QStringLiteral("dataset"), place,
                     {QStringLiteral("name"), QStringLiteral("master"), QStringLiteral("link")});
        DataSetDecl decl;
        decl.name = a.required(QStringLiteral("name"));
        if (decl.name.trimmed().isEmpty())
            a.fail(QStringLiteral("<dataset> has an empty name"));
        if (m_report.dataSet(decl.name))
            a.fail(QStringLiteral("a second data set %1").arg(decl.name));
        auto set = std::make_unique<report::DataSet>(m_connection, decl.name);
        decl.set = set.get();
        m_report.ownedSets.push_back(std::move(set));

        Master master;
        master.set = decl.set;
        master.place = place;
        if (a.has(QStringLiteral("master")) != a.has(QStringLiteral("link")))
            a.fail(QStringLiteral("<dataset> takes \"master\" and \"link\" together"));
        if (a.has(QStringLiteral("master"))) {
            master.master = a.text(QStringLiteral("master"));
            for (const QString &pair :
                 a.text(QStringLiteral("link")).split(u',', Qt::SkipEmptyParts)) {
                const QStringList sides = pair.split(u'=');
                if (sides.size() != 2 || sides[0].trimmed().isEmpty() ||
                    sides[1].trimmed().isEmpty())
                    a.fail(QStringLiteral("<dataset> link \"%1\" is not DETAIL_FIELD=MASTER_FIELD")
                               .arg(Attributes::Shown(pair)));
                master.detailFields << sides[0].trimmed();
                master.masterFields << sides[1].trimmed();
            }
            if (master.detailFields.isEmpty())
                a.fail(QStringLiteral("<dataset> has an empty link"));
            m_masters.push_back(master);
        }

        bool haveSql = false;
        for (;;) {
            if (next() == QXmlStreamReader::EndElement)
                break;
            if (element() == QLatin1String("sql")) {
                if (haveSql)
                    throw ParseError{
                        m_place, QStringLiteral("a second <sql> in data set %1").arg(decl.name)};
                Attributes(m_reader, QStringLiteral("sql"), m_place, {});
                decl.place = m_place;
                decl.sql = readText();
                haveSql = true;
            } else if (element() == QLatin1String("format")) {
                Attributes f(m_reader, QStringLiteral("format"), m_place,
                             {QStringLiteral("field"), QStringLiteral("display")});
                decl.set->setDisplayFormat(f.required(QStringLiteral("field")),
                                           f.required(QStringLiteral("display")));
                readEmpty();
            } else {
                unexpected(QStringLiteral("dataset"));
            }
        }
        if (!haveSql || decl.sql.trimmed().isEmpty())
            throw ParseError{place, QStringLiteral("data set %1 has no <sql>").arg(decl.name)};
        for (const QString &param : db::ParseParamNames(decl.sql)) {
            bool declared = false;
            for (const ParameterDecl &p : m_report.parameters)
                declared = declared || p.name.compare(param, Qt::CaseInsensitive) == 0;
            if (!declared)
                throw ParseError{decl.place,
                                 QStringLiteral("data set %1 uses :%2, which is not a declared "
                                                "parameter")
                                     .arg(decl.name, param)};
        }
        decl.set->query().setSql(decl.sql);
        m_report.dataSets.push_back(std::move(decl));
    }

    // The text of an element holding only text (CDATA or characters).
    QString readText() {
        QString text;
        for (;;) {
            const auto token = next(true);
            if (token == QXmlStreamReader::EndElement)
                return text;
            if (token != QXmlStreamReader::Characters)
                unexpected(QStringLiteral("sql"));
            text += m_reader.text();
            if (text.size() > kMaxAttributeChars * 4)
                throw ParseError{m_place, QStringLiteral("the statement is too long")};
        }
    }

    void resolveMasters() {
        for (const Master &m : m_masters) {
            if (!m_report.dataSet(m.master))
                throw ParseError{m.place, QStringLiteral("data set %1: the master %2 names no "
                                                         "data set")
                                              .arg(m.set->name(), m.master)};
            for (report::Band &band : m_report.definition.bands())
                if (band.kind == BandKind::SubDetail && band.dataSet == m.set) {
                    band.detailFields = m.detailFields;
                    band.masterFields = m.masterFields;
                    for (const QString &f : m.masterFields)
                        m_report.fieldUses.push_back(
                            {m_report.dataSet(m.master), f, QStringLiteral("link"), m.place});
                    for (const QString &f : m.detailFields)
                        m_report.fieldUses.push_back({m.set, f, QStringLiteral("link"), m.place});
                }
        }
    }

    report::DataSet *namedSet(const Attributes &a, const QString &attr) {
        const QString name = a.text(attr);
        report::DataSet *set = m_report.dataSet(name);
        if (!set)
            a.fail(QStringLiteral("data set \"%1\" names nothing").arg(Attributes::Shown(name)));
        return set;
    }

    void readBand() {
        const SourcePlace place = m_place;
        Attributes a(m_reader, QStringLiteral("band"), place,
                     {QStringLiteral("kind"), QStringLiteral("height"), QStringLiteral("dataset"),
                      QStringLiteral("group"), QStringLiteral("color"), QStringLiteral("frame"),
                      QStringLiteral("newpage")});
        const QString kindText = a.required(QStringLiteral("kind"));
        if (!BandKinds().contains(kindText))
            a.fail(QStringLiteral("<band> has an unknown kind \"%1\"")
                       .arg(Attributes::Shown(kindText)));
        const BandKind kind = BandKinds().value(kindText);
        const double height = a.number(QStringLiteral("height"), 0, true);
        auto &def = m_report.definition;
        report::Band &band = def.addBand(
            QStringLiteral("%1%2").arg(kindText).arg(def.bands().size() + 1), kind, height);
        band.color = a.colour(QStringLiteral("color"), Qt::transparent);
        band.frame = a.frame(QStringLiteral("frame"));
        band.forceNewPage = a.boolean(QStringLiteral("newpage"), false);

        if (a.has(QStringLiteral("dataset"))) {
            if (kind != BandKind::Detail && kind != BandKind::SubDetail)
                a.fail(QStringLiteral("a %1 band has no data set of its own").arg(kindText));
            band.dataSet = namedSet(a, QStringLiteral("dataset"));
        }
        if (kind == BandKind::Detail) {
            if (m_sawDetail)
                a.fail(QStringLiteral("a second detail band"));
            m_sawDetail = true;
            def.mainData = band.dataSet;
        }
        if (kind == BandKind::SubDetail && !band.dataSet)
            a.fail(QStringLiteral("a subdetail band needs \"dataset\""));
        if (kind == BandKind::GroupHeader || kind == BandKind::GroupFooter) {
            band.groupField = a.required(QStringLiteral("group"));
            m_groups.push_back({band.groupField, place});
        } else if (a.has(QStringLiteral("group"))) {
            a.fail(QStringLiteral("a %1 band has no group").arg(kindText));
        }

        for (;;) {
            if (next() == QXmlStreamReader::EndElement)
                break;
            if (element() == QLatin1String("style"))
                readStyle(band, -1);
            else
                readItem(band);
        }
        if (kind == BandKind::Detail || m_sawDetail)
            checkGroups();
    }

    // A group names a field of the main data set: checked once the main set is known and
    // again when its rows are there.
    void checkGroups() {
        for (const Group &g : m_groups) {
            if (!m_report.definition.mainData)
                throw ParseError{g.place, QStringLiteral("group %1 without a detail band's data "
                                                         "set")
                                              .arg(g.field)};
            m_report.fieldUses.push_back(
                {m_report.definition.mainData, g.field, QStringLiteral("band"), g.place});
        }
        m_groups.clear();
    }

    void readItem(report::Band &band) {
        const SourcePlace place = m_place;
        const QString tag = element();
        if (tag == QLatin1String("image")) {
            readImage(band);
            return;
        }
        QStringList allowed = kBoxAttributes;
        if (tag == QLatin1String("label"))
            allowed << QStringLiteral("text");
        else if (tag == QLatin1String("field"))
            allowed << QStringLiteral("field") << QStringLiteral("dataset")
                    << QStringLiteral("format") << QStringLiteral("repeat")
                    << QStringLiteral("aggregate");
        else if (tag == QLatin1String("param"))
            allowed << QStringLiteral("name") << QStringLiteral("format");
        else if (tag == QLatin1String("system"))
            allowed << QStringLiteral("value") << QStringLiteral("text");
        else if (tag == QLatin1String("line") || tag == QLatin1String("rect"))
            allowed = {QStringLiteral("x"),   QStringLiteral("y"),     QStringLiteral("w"),
                       QStringLiteral("h"),   QStringLiteral("color"), QStringLiteral("width"),
                       QStringLiteral("fill")};
        else if (tag == QLatin1String("chart"))
            allowed << QStringLiteral("dataset") << QStringLiteral("type")
                    << QStringLiteral("category") << QStringLiteral("series")
                    << QStringLiteral("labels") << QStringLiteral("title");
        else
            unexpected(QStringLiteral("band"));
        if (tag == QLatin1String("line"))
            allowed.removeAll(QStringLiteral("fill"));
        Attributes a(m_reader, tag, place, allowed);

        Item item;
        item.name = QStringLiteral("%1%2").arg(tag).arg(band.items.size() + 1);
        item.rect =
            QRectF(a.number(QStringLiteral("x"), 0, true), a.number(QStringLiteral("y"), 0, true),
                   a.number(QStringLiteral("w"), 0, true), a.number(QStringLiteral("h"), 0, true));
        item.font.pointSize = a.number(QStringLiteral("size"), 9);
        if (item.font.pointSize < 1 || item.font.pointSize > 200)
            a.fail(
                QStringLiteral("<%1> size %2 is out of range").arg(tag).arg(item.font.pointSize));
        item.font.bold = a.boolean(QStringLiteral("bold"), false);
        item.font.italic = a.boolean(QStringLiteral("italic"), false);
        item.font.underline = a.boolean(QStringLiteral("underline"), false);
        if (a.has(QStringLiteral("font")))
            item.font.family = a.text(QStringLiteral("font"));
        const QString align =
            a.choice(QStringLiteral("align"),
                     {QStringLiteral("left"), QStringLiteral("right"), QStringLiteral("center")},
                     QStringLiteral("left"));
        item.alignment = (align == QLatin1String("right")    ? Qt::AlignRight
                          : align == QLatin1String("center") ? Qt::AlignHCenter
                                                             : Qt::AlignLeft) |
                         Qt::AlignVCenter;
        item.background = a.colour(QStringLiteral("background"), Qt::transparent);
        item.frame = a.frame(QStringLiteral("frame"));
        item.wordWrap = a.boolean(QStringLiteral("wrap"), false);

        if (tag == QLatin1String("label")) {
            item.kind = ItemKind::Label;
            item.text = a.required(QStringLiteral("text"));
            item.color = a.colour(QStringLiteral("color"), Qt::black);
        } else if (tag == QLatin1String("field")) {
            readField(a, band, item);
        } else if (tag == QLatin1String("param")) {
            item.kind = ItemKind::Label;
            item.color = a.colour(QStringLiteral("color"), Qt::black);
            const QString name = a.required(QStringLiteral("name"));
            if (!m_report.parameter(name))
                a.fail(QStringLiteral("<param> names no declared parameter \"%1\"")
                           .arg(Attributes::Shown(name)));
            const QString format =
                a.choice(QStringLiteral("format"),
                         {QStringLiteral("date"), QStringLiteral("month")}, QString());
            item.onPrint = [r = &m_report, name, format](Item &, QString &text) {
                text = ParamText(r->values.value(name), format);
            };
        } else if (tag == QLatin1String("system")) {
            item.kind = ItemKind::SystemData;
            item.color = a.colour(QStringLiteral("color"), Qt::black);
            item.text = a.text(QStringLiteral("text"));
            const QString value = a.required(QStringLiteral("value"));
            static const QHash<QString, report::SystemField> fields = {
                {QStringLiteral("date"), report::SystemField::Date},
                {QStringLiteral("time"), report::SystemField::Time},
                {QStringLiteral("datetime"), report::SystemField::DateTime},
                {QStringLiteral("page"), report::SystemField::PageNumber},
                {QStringLiteral("pages"), report::SystemField::PageCount}};
            if (!fields.contains(value))
                a.fail(QStringLiteral("<system> has an unknown value \"%1\"")
                           .arg(Attributes::Shown(value)));
            item.system = fields.value(value);
        } else if (tag == QLatin1String("line")) {
            item.kind = ItemKind::Shape;
            item.pen = a.colour(QStringLiteral("color"), Qt::black);
            item.penWidth = a.number(QStringLiteral("width"), 0.2);
            // Along the top edge, or the left edge of an item without width.
            if (item.rect.width() > 0) {
                item.shape = report::ShapeKind::HorizontalLine;
                item.rect.setHeight(0);
            } else {
                item.shape = report::ShapeKind::VerticalLine;
            }
        } else if (tag == QLatin1String("rect")) {
            item.kind = ItemKind::Shape;
            item.shape = report::ShapeKind::Rectangle;
            item.pen = a.colour(QStringLiteral("color"), Qt::black, true);
            item.brush = a.colour(QStringLiteral("fill"), Qt::transparent, true);
            item.penWidth = a.number(QStringLiteral("width"), 0.2);
        } else {
            readChart(a, item);
        }
        band.addItem(std::move(item));
        if (tag == QLatin1String("line") || tag == QLatin1String("rect") ||
            tag == QLatin1String("chart")) {
            readEmpty();
            return;
        }
        // A text item's styles.
        for (;;) {
            if (next() == QXmlStreamReader::EndElement)
                break;
            if (element() != QLatin1String("style"))
                unexpected(tag);
            readStyle(band, int(band.items.size()) - 1);
        }
    }

    // <image x y w h file="...">: a PNG or JPEG beside the definition, drawn into its box
    // keeping its proportions; the viewer reads the file before the report runs.
    void readImage(report::Band &band) {
        Attributes a(m_reader, QStringLiteral("image"), m_place,
                     {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("w"),
                      QStringLiteral("h"), QStringLiteral("file")});
        const QString file = a.required(QStringLiteral("file"));
        if (!IsPictureName(file))
            a.fail(QStringLiteral("<image> file \"%1\" is not a file in the definition's folder")
                       .arg(Attributes::Shown(file)));
        const QRectF rect(
            a.number(QStringLiteral("x"), 0, true), a.number(QStringLiteral("y"), 0, true),
            a.number(QStringLiteral("w"), 0, true), a.number(QStringLiteral("h"), 0, true));
        band.addItem(
            report::PictureItem(QStringLiteral("image%1").arg(band.items.size() + 1), rect, {}));
        m_report.pictures.push_back({&band, band.items.size() - 1, file, m_place});
        readEmpty();
    }

    // <style if="[FIELD] OP CONSTANT" color= background= bold=>: of the band (item -1) or
    // of its item at that index.
    void readStyle(report::Band &band, int item) {
        const SourcePlace place = m_place;
        Attributes a(m_reader, QStringLiteral("style"), place,
                     {QStringLiteral("if"), QStringLiteral("color"), QStringLiteral("background"),
                      QStringLiteral("bold")});
        report::StyleRule rule;
        const QString condition = a.required(QStringLiteral("if"));
        static const QRegularExpression form(
            QStringLiteral("^\\s*([A-Za-z_][A-Za-z0-9_]*)?\\s*(<=|>=|<>|=|<|>)\\s*(.*?)\\s*$"));
        const QRegularExpressionMatch m = form.match(condition);
        if (!m.hasMatch())
            a.fail(QStringLiteral("<style> condition \"%1\" is not [FIELD] OPERATOR CONSTANT with "
                                  "an operator of < <= = <> >= >")
                       .arg(Attributes::Shown(condition)));
        rule.field = m.captured(1);
        static const QHash<QString, report::Comparison> operators = {
            {QStringLiteral("<"), report::Comparison::Less},
            {QStringLiteral("<="), report::Comparison::LessOrEqual},
            {QStringLiteral("="), report::Comparison::Equal},
            {QStringLiteral("<>"), report::Comparison::NotEqual},
            {QStringLiteral(">="), report::Comparison::GreaterOrEqual},
            {QStringLiteral(">"), report::Comparison::Greater}};
        rule.comparison = operators.value(m.captured(2));
        static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
        static const QRegularExpression quoted(QStringLiteral("^'((?:[^']|'')*)'$"));
        const QString constant = m.captured(3);
        if (number.match(constant).hasMatch()) {
            rule.constant = constant;
        } else if (const QRegularExpressionMatch q = quoted.match(constant); q.hasMatch()) {
            rule.constant = q.captured(1).replace(QStringLiteral("''"), QStringLiteral("'"));
        } else {
            a.fail(QStringLiteral("<style> constant \"%1\" is neither a number nor a text in "
                                  "'quotes'")
                       .arg(Attributes::Shown(constant)));
        }
        if (item < 0 && rule.field.isEmpty())
            a.fail(QStringLiteral("a band's <style> compares a field: \"%1\" names none")
                       .arg(Attributes::Shown(condition)));
        rule.color = a.colour(QStringLiteral("color"), QColor());
        rule.background = a.colour(QStringLiteral("background"), QColor());
        rule.bold = a.boolean(QStringLiteral("bold"), false);
        if (!rule.color.isValid() && !rule.background.isValid() && !rule.bold)
            a.fail(QStringLiteral("<style> sets nothing: give color, background or bold=\"true\""));
        auto &rules = item < 0 ? band.styles : band.items[size_t(item)].styles;
        if (!rule.field.isEmpty())
            m_pendingStyles.push_back({&band, item, rules.size(), place});
        rules.push_back(std::move(rule));
        readEmpty();
    }

    static QString ParamText(const QString &value, const QString &format) {
        static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
        if (format == QLatin1String("date") && value.size() == 8 && digits.match(value).hasMatch())
            return value.left(4) + u'-' + value.mid(4, 2) + u'-' + value.mid(6, 2);
        if (format == QLatin1String("month") && value.size() == 6 && digits.match(value).hasMatch())
            return value.left(4) + u'-' + value.mid(4, 2);
        return value;
    }

    void readField(const Attributes &a, report::Band &band, Item &item) {
        item.color = a.colour(QStringLiteral("color"), Qt::black);
        const QString field = a.required(QStringLiteral("field"));
        if (a.has(QStringLiteral("aggregate"))) {
            static const QHash<QString, report::Aggregate> aggregates = {
                {QStringLiteral("sum"), report::Aggregate::Sum},
                {QStringLiteral("count"), report::Aggregate::Count},
                {QStringLiteral("avg"), report::Aggregate::Avg},
                {QStringLiteral("min"), report::Aggregate::Min},
                {QStringLiteral("max"), report::Aggregate::Max}};
            const QString name = a.text(QStringLiteral("aggregate"));
            if (!aggregates.contains(name))
                a.fail(QStringLiteral("<field> has an unknown aggregate \"%1\": sum, count, avg, "
                                      "min or max")
                           .arg(Attributes::Shown(name)));
            if (band.kind != BandKind::GroupFooter && band.kind != BandKind::Summary)
                a.fail(QStringLiteral("aggregate=\"%1\" is for a groupfooter or summary band")
                           .arg(name));
            if (a.has(QStringLiteral("dataset")))
                a.fail(QStringLiteral("aggregate=\"%1\" reads the detail band's data set: no "
                                      "\"dataset\"")
                           .arg(name));
            if (!a.boolean(QStringLiteral("repeat"), true))
                a.fail(QStringLiteral("repeat=\"false\" is for fields of a data set's band"));
            // Over the main data set's rows of the group or the report, set when the detail
            // band is known.
            item.kind = ItemKind::DataText;
            item.field = field;
            item.displayFormat = a.text(QStringLiteral("format"));
            item.aggregate = aggregates.value(name);
            m_pendingFields.push_back({&band, band.items.size(), field, m_place});
            return;
        }
        report::DataSet *set = a.has(QStringLiteral("dataset"))
                                   ? namedSet(a, QStringLiteral("dataset"))
                                   : band.dataSet;
        if (!set && (band.kind == BandKind::GroupHeader || band.kind == BandKind::GroupFooter)) {
            // The main data set's row of the group, set when the detail band is known.
            item.kind = ItemKind::DataText;
            item.field = field;
            item.displayFormat = a.text(QStringLiteral("format"));
            m_pendingFields.push_back({&band, band.items.size(), field, m_place});
            if (!a.boolean(QStringLiteral("repeat"), true))
                a.fail(QStringLiteral("repeat=\"false\" is for fields of a data set's band"));
            return;
        }
        if (!set)
            a.fail(QStringLiteral("<field> %1 has no data set: the band has none and it names "
                                  "none")
                       .arg(field));
        m_report.fieldUses.push_back({set, field, QStringLiteral("field"), m_place});
        const QString format = a.text(QStringLiteral("format"));
        const bool repeat = a.boolean(QStringLiteral("repeat"), true);
        if (set == band.dataSet) {
            item.kind = ItemKind::DataText;
            item.dataSet = set;
            item.field = field;
            item.displayFormat = format;
        } else {
            // Another set's first row, whatever row that set stands on. The set and the field
            // stay on the item as what it shows; the print handler reads them.
            item.kind = ItemKind::Label;
            item.dataSet = set;
            item.field = field;
            item.displayFormat = format;
            item.onPrint = [set, field, format](Item &, QString &text) {
                const int keep = set->currentRow();
                set->moveTo(0);
                text = set->isEmpty() ? QString() : set->displayText(field, format);
                if (keep >= 0)
                    set->moveTo(keep);
            };
        }
        ShowZeroWhenEmpty(item, format.isEmpty() ? set->displayFormat(field) : format);
        if (!repeat) {
            auto last = std::make_shared<std::optional<QString>>();
            m_report.resets.push_back([last] { last->reset(); });
            auto inner = item.onPrint;
            item.onPrint = [last, inner](Item &it, QString &text) {
                if (inner)
                    inner(it, text);
                if (*last && **last == text) {
                    text.clear();
                    return;
                }
                *last = text;
            };
        }
    }

    void readChart(const Attributes &a, Item &item) {
        item.kind = ItemKind::Chart;
        item.color = a.colour(QStringLiteral("color"), Qt::black);
        item.dataSet = namedSet(a, QStringLiteral("dataset"));
        item.chart.type =
            a.choice(QStringLiteral("type"), {QStringLiteral("bars"), QStringLiteral("lines")},
                     QStringLiteral("bars")) == QLatin1String("lines")
                ? report::ChartSpec::Type::Lines
                : report::ChartSpec::Type::Bars;
        a.required(QStringLiteral("type"));
        item.chart.category = a.required(QStringLiteral("category"));
        for (const QString &s :
             a.required(QStringLiteral("series")).split(u',', Qt::SkipEmptyParts))
            item.chart.series << s.trimmed();
        if (item.chart.series.isEmpty() || item.chart.series.size() > 20)
            a.fail(QStringLiteral("<chart> takes 1 to 20 series"));
        if (a.has(QStringLiteral("labels")))
            for (const QString &l : a.text(QStringLiteral("labels")).split(u','))
                item.chart.labels << l.trimmed();
        item.chart.title = a.text(QStringLiteral("title"));
        m_report.fieldUses.push_back(
            {item.dataSet, item.chart.category, QStringLiteral("chart"), m_place});
        for (const QString &s : item.chart.series)
            m_report.fieldUses.push_back({item.dataSet, s, QStringLiteral("chart"), m_place});
    }

    struct Master {
        report::DataSet *set = nullptr;
        QString master;
        QStringList detailFields, masterFields;
        SourcePlace place;
    };
    struct Group {
        QString field;
        SourcePlace place;
    };
    struct PendingStyle {
        report::Band *band;
        int item; // -1: the band's own
        size_t rule;
        SourcePlace place;
    };
    struct PendingField {
        report::Band *band;
        size_t item; // its index once added to the band
        QString field;
        SourcePlace place;
    };

    QXmlStreamReader m_reader;
    LoadedReport &m_report;
    db::Connection &m_connection;
    SourcePlace m_place;
    bool m_sawParameters = false;
    bool m_sawDetail = false;
    std::vector<Master> m_masters;
    std::vector<Group> m_groups;
    std::vector<PendingField> m_pendingFields;
    std::vector<PendingStyle> m_pendingStyles;
};

} // namespace

ParseResult ParseDefinition(const QByteArray &xml, const QString &fileName,
                            db::Connection &connection) {
    ParseResult result;
    auto report = std::make_unique<LoadedReport>();
    report->fileName = fileName;
    if (xml.size() > kMaxDefinitionBytes) {
        result.error = report->message(
            {1, 1}, QStringLiteral("the file is larger than %1 bytes").arg(kMaxDefinitionBytes));
        return result;
    }
    try {
        Parser parser(xml, *report, connection);
        parser.run();
    } catch (const ParseError &e) {
        result.error = report->message(e.place, e.reason);
        return result;
    } catch (const std::exception &e) {
        result.error = report->message({0, 0}, QString::fromUtf8(e.what()));
        return result;
    }
    result.report = std::move(report);
    return result;
}

} // namespace kelo::viewer
