#include "spreadsheet/zip.h"

#include <QDir>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <type_traits>

namespace kelo::sheet {

bool ReadZipEntry(ZipArchive &zip, const QString &name, qint64 cap, QByteArray &out) {
    if (!zip.openEntry(name))
        return false;
    out.clear();
    char chunk[65536];
    for (;;) {
        const int n = zip.read(chunk, sizeof chunk);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        out.append(chunk, n);
        if (out.size() > cap)
            return false;
    }
    return zip.closeEntry();
}

QString ResolvePart(const QString &from, const QString &target) {
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target.mid(1));
    const int slash = from.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QString() : from.left(slash + 1);
    return QDir::cleanPath(folder + target);
}

} // namespace kelo::sheet

namespace kelo::sheet {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The bytes that end a name: blanks, '/', '>', '=' and what else can never be part of one.
struct NameEnds {
    bool table[256] = {};
    constexpr NameEnds() {
        for (const char c : {' ', '\t', '\n', '\r', '/', '>', '=', '<', '"', '\''})
            table[uchar(c)] = true;
    }
};
constexpr NameEnds kNameEnds;

inline bool EndsName(char c) {
    return kNameEnds.table[uchar(c)];
}

// The bytes a text or an attribute value must be looked at for: controls, '&', '<' and
// those of multi-byte characters.
struct SpecialChars {
    bool table[256] = {};
    constexpr SpecialChars() {
        for (int c = 0; c < 256; ++c)
            table[c] = c < 0x20 || c >= 0x80 || c == '&' || c == '<';
    }
};
constexpr SpecialChars kSpecialChars;

bool StartsName(char c) {
    const uchar u = uchar(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u == ':' || u >= 0x80;
}

std::string_view LocalName(std::string_view qualified) {
    const size_t colon = qualified.find(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

// The length of the prefix of a qualified name, 0 for none.
size_t PrefixLength(std::string_view qualified) {
    // names are short: a loop beats memchr's call
    for (size_t i = 0; i < qualified.size(); ++i)
        if (qualified[i] == ':')
            return i;
    return 0;
}

void AppendUtf8(std::string &out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// What a text or an attribute value holds that needs more than its bytes as they are.
enum Check { Plain, NeedsDecoding, Malformed };

// Checks UTF-8 and the characters XML allows; `attribute`: '<' is not allowed, blanks become
// spaces.
Check CheckChars(const char *p, const char *end, bool attribute) {
    Check result = Plain;
    while (p < end) {
        // the run of bytes that need no look: printable ASCII but '&' and '<'
        while (p < end && !kSpecialChars.table[uchar(*p)])
            ++p;
        if (p == end)
            break;
        const uchar c = uchar(*p);
        if (c >= 0x20 && c < 0x80) {
            if (c == '&')
                result = NeedsDecoding;
            else if (c == '<' && attribute)
                return Malformed;
            ++p;
            continue;
        }
        if (c < 0x20) {
            if (c != '\t' && c != '\n' && c != '\r')
                return Malformed;
            if (c == '\r' || attribute)
                result = NeedsDecoding;
            ++p;
            continue;
        }
        // a multi-byte sequence: its length, and the range of its second byte
        int more;
        uchar low = 0x80, high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F; // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        } else {
            return Malformed;
        }
        if (end - p <= more)
            return Malformed;
        const uchar second = uchar(p[1]);
        if (second < low || second > high)
            return Malformed;
        for (int i = 2; i <= more; ++i)
            if ((uchar(p[i]) & 0xC0) != 0x80)
                return Malformed;
        // U+FFFE and U+FFFF are not characters of XML
        if (c == 0xEF && second == 0xBF && uchar(p[2]) >= 0xBE)
            return Malformed;
        p += more + 1;
    }
    return result;
}

// The bytes a scan for the end of a text or an attribute value stops at: those
// kSpecialChars marks, and the quotes.
struct ScanStops {
    bool table[256] = {};
    constexpr ScanStops() {
        for (int c = 0; c < 256; ++c)
            table[c] = c < 0x20 || c >= 0x80 || c == '&' || c == '<' || c == '"' || c == '\'';
    }
};
constexpr ScanStops kScanStops;

// Finds `stop` ('<' after a text, the quote after an attribute value) from p, checking the
// characters on the way as CheckChars does into `check`; null when the bytes end first.
// Stops early, at the bad byte, when the check finds one Malformed.
const char *ScanChars(const char *p, const char *end, char stop, bool attribute, Check &check) {
    check = Plain;
    for (;;) {
        while (p < end && !kScanStops.table[uchar(*p)])
            ++p;
        if (p == end)
            return nullptr;
        const uchar c = uchar(*p);
        if (c == uchar(stop))
            return p;
        if (c >= 0x20 && c < 0x80) {
            if (c == '&') {
                check = NeedsDecoding;
            } else if (c == '<') { // only in a value: a text stops there
                check = Malformed;
                return p;
            }
            ++p;
            continue;
        }
        if (c < 0x20) {
            if (c != '\t' && c != '\n' && c != '\r') {
                check = Malformed;
                return p;
            }
            if (c == '\r' || attribute)
                check = NeedsDecoding;
            ++p;
            continue;
        }
        // a multi-byte character: checked whole once all of it has been read
        const qsizetype length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        if (end - p < length)
            return nullptr;
        if (CheckChars(p, p + length, false) == Malformed) {
            check = Malformed;
            return p;
        }
        p += length;
    }
}

// Replaces entities and character references, and makes line ends (and in an attribute
// value, blanks) what XML reads them as. False on an unknown entity or a bad reference.
bool Decode(const char *p, const char *end, bool attribute, std::string &out) {
    out.clear();
    while (p < end) {
        const char c = *p;
        if (c == '\r') {
            out += attribute ? ' ' : '\n';
            p += (p + 1 < end && p[1] == '\n') ? 2 : 1;
            continue;
        }
        if (attribute && (c == '\t' || c == '\n')) {
            out += ' ';
            ++p;
            continue;
        }
        if (c != '&') {
            out += c;
            ++p;
            continue;
        }
        const char *semicolon = static_cast<const char *>(std::memchr(p, ';', size_t(end - p)));
        if (!semicolon)
            return false;
        const std::string_view name(p + 1, size_t(semicolon - p - 1));
        if (name == "lt") {
            out += '<';
        } else if (name == "gt") {
            out += '>';
        } else if (name == "amp") {
            out += '&';
        } else if (name == "quot") {
            out += '"';
        } else if (name == "apos") {
            out += '\'';
        } else if (name.size() >= 2 && name[0] == '#') {
            const bool hex = name[1] == 'x';
            const std::string_view digits = name.substr(hex ? 2 : 1);
            if (digits.empty() || digits.size() > 8)
                return false;
            char32_t value = 0;
            for (const char d : digits) {
                int v;
                if (d >= '0' && d <= '9')
                    v = d - '0';
                else if (hex && d >= 'a' && d <= 'f')
                    v = d - 'a' + 10;
                else if (hex && d >= 'A' && d <= 'F')
                    v = d - 'A' + 10;
                else
                    return false;
                value = value * (hex ? 16 : 10) + char32_t(v);
            }
            if (!IsXmlChar(value))
                return false;
            AppendUtf8(out, value);
        } else {
            return false; // no DTD declares another
        }
        p = semicolon + 1;
    }
    return true;
}

} // namespace

ZipXml::~ZipXml() {
    m_zip.closeEntry();
}

bool ZipXml::open(const QString &part, qint64 cap) {
    m_part = part;
    m_cap = cap;
    if (!m_zip.has(part))
        return m_failure.set(SpreadsheetError::Damaged, part + QStringLiteral(" 없음"));
    if (!m_zip.openEntry(part))
        return m_failure.set(SpreadsheetError::Damaged, part);
    m_buffer.resize(size_t(kChunk) * 2);
    return true;
}

bool ZipXml::fail(SpreadsheetError kind, const QString &what) {
    return m_failure.set(kind, m_part + QStringLiteral(": ") + what);
}

bool ZipXml::bad(const char *what) {
    // the offset in the part: the bytes read less those not yet parsed
    const qint64 at = m_read - qint64(m_end - m_pos);
    return fail(SpreadsheetError::Damaged,
                QStringLiteral("%1 @%2").arg(QString::fromUtf8(what)).arg(at));
}

bool ZipXml::feed() {
    // What is not parsed yet moves to the front; the buffer grows for a token longer than it.
    if (m_pos > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_pos, m_end - m_pos);
        m_end -= m_pos;
        m_pos = 0;
    }
    // One text, comment or attribute that never ends would be held whole.
    if (qint64(m_end) > kMaxTokenBytes)
        return m_failure.set(SpreadsheetError::TooBig, m_part + QStringLiteral(": XML 토큰"));
    if (m_buffer.size() - m_end < size_t(kChunk))
        m_buffer.resize(m_end + size_t(kChunk) * 2);
    const int n = m_zip.read(m_buffer.data() + m_end, unsigned(kChunk));
    if (n < 0)
        return m_failure.set(SpreadsheetError::Damaged,
                             m_part + QStringLiteral(": 압축 해제 오류"));
    if (n == 0) {
        m_eof = true;
        if (!m_zip.closeEntry()) // the CRC of the whole entry
            return m_failure.set(SpreadsheetError::Damaged, m_part + QStringLiteral(": CRC"));
        return true;
    }
    if (m_read == 0) {
        // XML in UTF-16, told by its byte-order mark or by how "<?" comes
        const std::string_view head(m_buffer.data() + m_end, size_t(n));
        if (head.starts_with("\xFF\xFE") || head.starts_with(std::string_view("<\0?\0", 4)))
            m_decoder.emplace(QStringDecoder::Utf16LE);
        else if (head.starts_with("\xFE\xFF") || head.starts_with(std::string_view("\0<\0?", 4)))
            m_decoder.emplace(QStringDecoder::Utf16BE);
    }
    m_read += n;
    if (m_decoder) {
        // parsed as UTF-8 like every other part
        const QString text = (*m_decoder)(QByteArrayView(m_buffer.data() + m_end, n));
        if (m_decoder->hasError())
            return m_failure.set(SpreadsheetError::Damaged, m_part + QStringLiteral(": UTF-16"));
        const QByteArray utf8 = text.toUtf8();
        if (m_buffer.size() - m_end < size_t(utf8.size()))
            m_buffer.resize(m_end + size_t(utf8.size()) + size_t(kChunk));
        std::memcpy(m_buffer.data() + m_end, utf8.constData(), size_t(utf8.size()));
        m_end += size_t(utf8.size());
    } else {
        m_end += size_t(n);
    }
    if (m_read > m_cap)
        return m_failure.set(SpreadsheetError::TooBig,
                             m_part +
                                 QStringLiteral(" 압축 해제 크기 %1 MB 초과").arg(m_cap >> 20));
    return true;
}

ZipXml::Token ZipXml::next() {
    if (m_token == Invalid && m_failure.kind != SpreadsheetError::None)
        return Invalid;
    if (m_pendingEnd) {
        m_pendingEnd = false;
        m_openNames.resize(m_openStarts.back());
        m_openStarts.pop_back();
        while (!m_namespaces.empty() && m_namespaces.back().depth > m_openStarts.size())
            m_namespaces.pop_back(), ++m_namespacePops;
        m_attributeCount = 0;
        if (m_openStarts.empty())
            m_rootClosed = true;
        return m_token = EndElement;
    }
    for (;;) {
        if (!m_started && (m_end - m_pos >= 4 || m_eof)) {
            m_started = true;
            const std::string_view head(m_buffer.data() + m_pos, m_end - m_pos);
            if (head.substr(0, 3) == "\xEF\xBB\xBF") {
                m_pos += 3;
            } else if (head.substr(0, 2) == "\xFF\xFE" || head.substr(0, 2) == "\xFE\xFF" ||
                       (head.size() >= 2 && (head[0] == 0 || head[1] == 0))) {
                bad("UTF-8이 아닌 XML");
                return m_token = Invalid;
            }
        }
        const Parse p = m_started ? parse() : Parse::More;
        if (p == Parse::Token)
            return m_token;
        if (p == Parse::Bad)
            return m_token = Invalid;
        if (p == Parse::Skipped)
            continue;
        // More: the token does not end inside what was read
        if (m_eof) {
            if (m_pos == m_end && m_rootClosed)
                return m_token = EndDocument;
            bad("끝나지 않은 XML");
            return m_token = Invalid;
        }
        if (!feed())
            return m_token = Invalid;
    }
}

ZipXml::Parse ZipXml::parse() {
    const char *at = m_buffer.data() + m_pos;
    const char *end = m_buffer.data() + m_end;
    if (at == end)
        return Parse::More;
    if (*at != '<')
        return parseText(at, end);
    if (end - at < 2)
        return Parse::More;
    if (at[1] == '/')
        return parseEndTag(at, end);
    if (at[1] == '?' || at[1] == '!')
        return parseSpecial(at, end);
    return parseStartTag(at, end);
}

ZipXml::Parse ZipXml::parseText(const char *at, const char *end) {
    Check check = Plain;
    const char *lt = ScanChars(at, end, '<', false, check);
    if (lt && check == Malformed && *lt != '<') {
        if (m_openStarts.empty())
            return bad("요소 밖의 텍스트"), Parse::Bad;
        return bad("XML 문자"), Parse::Bad;
    }
    if (!lt) { // no '<' in what was read
        if (!m_eof)
            return Parse::More;
        lt = end; // trailing text of the part
    }
    const std::string_view raw(at, size_t(lt - at));
    if (m_openStarts.empty()) {
        // outside the root element only blanks
        for (const char c : raw)
            if (!IsSpace(c))
                return bad("요소 밖의 텍스트"), Parse::Bad;
        m_pos += raw.size();
        return Parse::Skipped;
    }
    if (lt == end)
        return Parse::More; // the part ends inside an element
    switch (check) {
    case Malformed:
        return bad("XML 문자"), Parse::Bad;
    case NeedsDecoding:
        if (!Decode(at, lt, false, m_textDecoded))
            return bad("XML 엔티티"), Parse::Bad;
        m_text = m_textDecoded;
        break;
    case Plain:
        m_text = raw;
        break;
    }
    m_pos += raw.size();
    m_token = Characters;
    return Parse::Token;
}

ZipXml::Parse ZipXml::parseSpecial(const char *at, const char *end) {
    const std::string_view rest(at, size_t(end - at));
    const auto until = [&](std::string_view close, size_t from) -> const char * {
        const size_t found = rest.find(close, from);
        return found == std::string_view::npos ? nullptr : at + found + close.size();
    };
    if (at[1] == '?') { // a processing instruction or the XML declaration
        const char *after = until("?>", 2);
        if (!after)
            return Parse::More;
        const std::string_view pi(at + 2, size_t(after - at - 4));
        if (pi.substr(0, 3) == "xml" && (pi.size() == 3 || IsSpace(pi[3]))) {
            // the encoding the declaration names must be the one read
            const size_t e = pi.find("encoding");
            if (e != std::string_view::npos) {
                const size_t q = pi.find_first_of("\"'", e);
                const size_t q2 = q == std::string_view::npos ? q : pi.find(pi[q], q + 1);
                if (q2 == std::string_view::npos)
                    return bad("XML 선언"), Parse::Bad;
                const QByteArray name =
                    QByteArray(pi.data() + q + 1, qsizetype(q2 - q - 1)).toLower();
                const bool utf16 = name == "utf-16" || name == "utf-16le" || name == "utf-16be";
                if (m_decoder ? !utf16 : name != "utf-8" && name != "utf8" && name != "us-ascii")
                    return bad("UTF-8이 아닌 XML"), Parse::Bad;
            }
        }
        m_pos += size_t(after - at);
        return Parse::Skipped;
    }
    if (rest.size() < 4)
        return Parse::More;
    if (rest.substr(0, 4) == "<!--") {
        const char *after = until("-->", 4);
        if (!after)
            return Parse::More;
        m_pos += size_t(after - at);
        return Parse::Skipped;
    }
    if (rest.size() < 9)
        return Parse::More;
    if (rest.substr(0, 9) == "<![CDATA[") {
        const char *after = until("]]>", 9);
        if (!after)
            return Parse::More;
        if (m_openStarts.empty())
            return bad("요소 밖의 CDATA"), Parse::Bad;
        if (CheckChars(at + 9, after - 3, false) == Malformed)
            return bad("XML 문자"), Parse::Bad;
        m_text = std::string_view(at + 9, size_t(after - 3 - at - 9));
        m_pos += size_t(after - at);
        m_token = Characters;
        return Parse::Token;
    }
    if (rest.substr(0, 9) == "<!DOCTYPE") {
        m_failure.set(SpreadsheetError::Damaged, m_part + QStringLiteral(": DOCTYPE"));
        return Parse::Bad;
    }
    return bad("XML 문법"), Parse::Bad;
}

ZipXml::Parse ZipXml::parseEndTag(const char *at, const char *end) {
    const char *p = at + 2;
    const char *nameStart = p;
    while (p < end && !EndsName(*p))
        ++p;
    const char *nameEnd = p;
    while (p < end && IsSpace(*p))
        ++p;
    if (p == end)
        return Parse::More;
    if (*p != '>' || nameEnd == nameStart)
        return bad("XML 문법"), Parse::Bad;
    const std::string_view qualified(nameStart, size_t(nameEnd - nameStart));
    if (m_openStarts.empty() ||
        std::string_view(m_openNames).substr(m_openStarts.back()) != qualified)
        return bad("XML 태그 짝"), Parse::Bad;
    m_openNames.resize(m_openStarts.back());
    m_openStarts.pop_back();
    while (!m_namespaces.empty() && m_namespaces.back().depth > m_openStarts.size())
        m_namespaces.pop_back(), ++m_namespacePops;
    if (m_openStarts.empty())
        m_rootClosed = true;
    m_qualified = qualified;
    m_prefixLength = PrefixLength(qualified);
    m_local = m_prefixLength ? qualified.substr(m_prefixLength + 1) : qualified;
    m_attributeCount = 0;
    m_pos += size_t(p + 1 - at);
    m_token = EndElement;
    return Parse::Token;
}

ZipXml::Parse ZipXml::parseStartTag(const char *at, const char *end) {
    if (m_rootClosed)
        return bad("두 번째 최상위 요소"), Parse::Bad;
    const char *p = at + 1;
    if (!StartsName(*p))
        return bad("XML 문법"), Parse::Bad;
    const char *nameStart = p;
    while (p < end && !EndsName(*p))
        ++p;
    if (p == end)
        return Parse::More;
    const std::string_view qualified(nameStart, size_t(p - nameStart));
    size_t count = 0;
    bool empty = false;
    for (;;) {
        const char *blank = p;
        while (p < end && IsSpace(*p))
            ++p;
        if (p == end)
            return Parse::More;
        if (*p == '>') {
            ++p;
            break;
        }
        if (*p == '/') {
            if (end - p < 2)
                return Parse::More;
            if (p[1] != '>')
                return bad("XML 문법"), Parse::Bad;
            p += 2;
            empty = true;
            break;
        }
        // an attribute: name = "value", after a blank
        if (p == blank || !StartsName(*p))
            return bad("XML 속성"), Parse::Bad;
        const char *attrName = p;
        while (p < end && !EndsName(*p))
            ++p;
        const std::string_view attr(attrName, size_t(p - attrName));
        while (p < end && IsSpace(*p))
            ++p;
        if (p == end)
            return Parse::More;
        if (*p != '=')
            return bad("XML 속성"), Parse::Bad;
        ++p;
        while (p < end && IsSpace(*p))
            ++p;
        if (p == end)
            return Parse::More;
        const char quote = *p;
        if (quote != '"' && quote != '\'')
            return bad("XML 속성"), Parse::Bad;
        const char *valueStart = ++p;
        Check check = Plain;
        const char *close = ScanChars(valueStart, end, quote, true, check);
        if (!close)
            return Parse::More;
        p = close + 1;
        if (count == m_attributes.size()) {
            m_attributes.emplace_back();
            m_decoded.emplace_back();
        }
        Attribute &a = m_attributes[count];
        a.name = attr;
        for (size_t i = 0; i < count; ++i)
            if (m_attributes[i].name == attr)
                return bad("같은 속성 두 번"), Parse::Bad;
        switch (check) {
        case Malformed:
            return bad("XML 속성 값"), Parse::Bad;
        case NeedsDecoding:
            if (!Decode(valueStart, close, true, m_decoded[count]))
                return bad("XML 엔티티"), Parse::Bad;
            a.value = m_decoded[count];
            break;
        case Plain:
            a.value = std::string_view(valueStart, size_t(close - valueStart));
            break;
        }
        ++count;
    }
    if (CheckChars(qualified.data(), qualified.data() + qualified.size(), false) != Plain)
        return bad("XML 이름"), Parse::Bad;
    m_attributeCount = count;
    m_qualified = qualified;
    m_prefixLength = PrefixLength(qualified);
    m_local = m_prefixLength ? qualified.substr(m_prefixLength + 1) : qualified;
    // a prefix and a local name, each of them not empty
    if (qualified.front() == ':' || m_local.empty() || m_local.find(':') != std::string_view::npos)
        return bad("XML 이름"), Parse::Bad;
    m_openStarts.push_back(m_openNames.size());
    m_openNames.append(qualified);
    m_rootSeen = true;
    if (!declareNamespaces())
        return Parse::Bad;
    m_pendingEnd = empty;
    m_pos += size_t(p - at);
    m_token = StartElement;
    return Parse::Token;
}

bool ZipXml::declareNamespaces() {
    for (size_t i = 0; i < m_attributeCount; ++i) {
        const std::string_view n = m_attributes[i].name;
        if (n[0] != 'x' || n.substr(0, 5) != "xmlns" || (n.size() > 5 && n[5] != ':'))
            continue;
        const std::string_view prefix = n.size() > 5 ? n.substr(6) : std::string_view();
        m_namespaces.push_back(
            {std::string(prefix), std::string(m_attributes[i].value), m_openStarts.size()});
    }
    // an element's prefix must have been declared (a prefix found stays declared until a
    // declaration goes out of scope)
    if (m_prefixLength > 0) {
        const std::string_view prefix = m_qualified.substr(0, m_prefixLength);
        if (m_knownPrefixPops != m_namespacePops) {
            m_knownPrefixes.clear();
            m_knownPrefixPops = m_namespacePops;
        }
        if (std::find(m_knownPrefixes.begin(), m_knownPrefixes.end(), prefix) !=
            m_knownPrefixes.end())
            return true;
        if (prefix != "xml" &&
            std::none_of(m_namespaces.begin(), m_namespaces.end(),
                         [&](const Namespace &ns) { return ns.prefix == prefix; }))
            return bad("선언되지 않은 이름공간 접두사");
        if (m_knownPrefixes.size() < 16)
            m_knownPrefixes.emplace_back(prefix);
    }
    return true;
}

std::string_view ZipXml::namespaceUri() const {
    const std::string_view prefix = m_qualified.substr(0, m_prefixLength);
    for (auto ns = m_namespaces.rbegin(); ns != m_namespaces.rend(); ++ns)
        if (ns->prefix == prefix)
            return ns->uri;
    return {};
}

std::string_view ZipXml::attribute(std::string_view qualifiedName) const {
    for (size_t i = 0; i < m_attributeCount; ++i)
        if (m_attributes[i].name == qualifiedName)
            return m_attributes[i].value;
    return {};
}

bool ZipXml::hasAttribute(std::string_view qualifiedName) const {
    for (size_t i = 0; i < m_attributeCount; ++i)
        if (m_attributes[i].name == qualifiedName)
            return true;
    return false;
}

std::string_view ZipXml::attributeByLocalName(std::string_view localName) const {
    for (size_t i = 0; i < m_attributeCount; ++i)
        if (LocalName(m_attributes[i].name) == localName)
            return m_attributes[i].value;
    return {};
}

bool ZipXml::text(QString &out, int maxChars) {
    int depth = 1;
    while (depth > 0) {
        switch (next()) {
        case StartElement:
            ++depth;
            break;
        case EndElement:
            --depth;
            break;
        case Characters:
            out += ToQString(text());
            if (out.size() > maxChars)
                return m_failure.set(SpreadsheetError::TooBig,
                                     m_part + QStringLiteral(": 셀 텍스트"));
            break;
        case Invalid:
            return false;
        case EndDocument:
            return bad("끝나지 않은 XML");
        }
    }
    return true;
}

bool ZipXml::finish() {
    for (;;) {
        const Token t = next();
        if (t == EndDocument)
            return true;
        if (t == Invalid)
            return false;
    }
}

bool ZipXml::skip() {
    int depth = 1;
    while (depth > 0) {
        const Token t = next();
        if (t == StartElement)
            ++depth;
        else if (t == EndElement)
            --depth;
        else if (t == Invalid || t == EndDocument)
            return false;
    }
    return true;
}

namespace {

// Digits alone, with a minus in front: the plain case of the conversions.
template <typename T> bool PlainInteger(std::string_view text, T &value) {
    size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
    if (i == text.size() || text.size() - i > 18)
        return false;
    qint64 v = 0;
    for (size_t k = i; k < text.size(); ++k) {
        const char c = text[k];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (i)
        v = -v;
    if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max())
        return false;
    value = T(v);
    return true;
}

// An integer as QString converts it, the plain case without a QString.
template <typename T> T ToInteger(std::string_view text, bool *ok) {
    T v = 0;
    if (PlainInteger(text, v)) {
        if (ok)
            *ok = true;
        return v;
    }
    if constexpr (std::is_same_v<T, int>)
        return ToQString(text).toInt(ok);
    else
        return ToQString(text).toLongLong(ok);
}

} // namespace

int ToInt(std::string_view text, bool *ok) {
    return ToInteger<int>(text, ok);
}

qint64 ToLongLong(std::string_view text, bool *ok) {
    return ToInteger<qint64>(text, ok);
}

double ToDouble(std::string_view text, bool *ok) {
    // digits, a point and an exponent: from_chars, which rounds as QString does; anything
    // else (a plus sign, blanks, inf, a range error) as QString converts it
    const bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E';
    });
    if (plain) {
        double v = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (ec == std::errc() && end == text.data() + text.size()) {
            if (ok)
                *ok = true;
            return v;
        }
    }
    return ToQString(text).toDouble(ok);
}

} // namespace kelo::sheet
