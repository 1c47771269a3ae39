#pragma once

// The zip container of .xlsx and .ods files: its entries through minizip, and the XML parts
// in them parsed as their inflated bytes are read and counted.

#include "spreadsheet/reader_p.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <minizip/unzip.h>

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelo::sheet {

constexpr qint64 kChunk = 256 * 1024;
// The most XML bytes the parser may take in without handing out a token (a cell text of
// the default SpreadsheetLimits::cellChars is at most 4 MB of UTF-8).
constexpr qint64 kMaxTokenBytes = 16ll << 20;

// A zip archive read through minizip (the zip library libxlsxwriter itself uses, so that the
// export and the import share one set of zip functions in a process). One entry is open at
// a time.
class ZipArchive {
public:
    explicit ZipArchive(const QString &path)
        : m_zip(unzOpen64(QFile::encodeName(path).constData())) {}
    ~ZipArchive() {
        closeEntry();
        if (m_zip)
            unzClose(m_zip);
    }
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    bool ok() const { return m_zip != nullptr; }
    // Calls entry(name, flags) for every entry; false when the directory is damaged.
    template <typename F> bool entries(F &&entry) {
        int rc = unzGoToFirstFile(m_zip);
        while (rc == UNZ_OK) {
            unz_file_info64 info;
            char name[1024];
            if (unzGetCurrentFileInfo64(m_zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
                UNZ_OK)
                return false;
            // a name longer than the buffer arrives cut and without its terminator
            const qsizetype length = qsizetype(std::min<quint64>(info.size_filename, sizeof name));
            entry(QString::fromUtf8(name, length), info.flag);
            rc = unzGoToNextFile(m_zip);
        }
        return rc == UNZ_END_OF_LIST_OF_FILE;
    }
    bool has(const QString &name) {
        return unzLocateFile(m_zip, name.toUtf8().constData(), 2) == UNZ_OK; // any case
    }
    bool openEntry(const QString &name) {
        closeEntry();
        if (!has(name) || unzOpenCurrentFile(m_zip) != UNZ_OK)
            return false;
        m_open = true;
        return true;
    }
    // Inflated bytes of the open entry: > 0 read, 0 at its end, < 0 damaged.
    int read(char *out, unsigned size) { return unzReadCurrentFile(m_zip, out, size); }
    // Closes the open entry; false when its CRC does not match what was read.
    bool closeEntry() {
        if (!m_open)
            return true;
        m_open = false;
        return unzCloseCurrentFile(m_zip) == UNZ_OK;
    }

private:
    unzFile m_zip;
    bool m_open = false;
};

// One XML part of a zip, parsed as its inflated bytes are read and counted: a pull parser
// over the UTF-8 bytes themselves, so that a sheet of a million cells costs no string or
// attribute object a token. Names, attribute values and texts are views into the parser's
// buffer, valid until the next call of next(). It checks what the reader relies on: tags
// that nest and match, attribute syntax, entities (the five of XML and character
// references; a DOCTYPE is refused), UTF-8 and the characters XML allows. Texts and
// attribute values come with their entities replaced and their line ends as XML reads them.
class ZipXml {
public:
    enum Token { Invalid, StartElement, EndElement, Characters, EndDocument };

    ZipXml(ZipArchive &zip, Failure &failure) : m_zip(zip), m_failure(failure) {}
    ~ZipXml();
    ZipXml(const ZipXml &) = delete;
    ZipXml &operator=(const ZipXml &) = delete;

    bool open(const QString &part, qint64 cap);

    // The next token; Invalid after an error (recorded) or at the end.
    Token next();

    // The element's local name (the part after its prefix), of StartElement and EndElement.
    std::string_view name() const { return m_local; }
    // The namespace the element's prefix (or the default namespace) stands for.
    std::string_view namespaceUri() const;
    // The value of the attribute of that qualified name ("r", "table:name"); empty when the
    // element has none.
    std::string_view attribute(std::string_view qualifiedName) const;
    bool hasAttribute(std::string_view qualifiedName) const;
    // The value of the first attribute of that local name, whatever its prefix ("r:id").
    std::string_view attributeByLocalName(std::string_view localName) const;
    // The characters of a Characters token.
    std::string_view text() const { return m_text; }

    // Reads the characters up to the end of the current element (children's included).
    bool text(QString &out, int maxChars);
    // Skips to the end of the current element.
    bool skip();
    // Reads the rest of the part: its end is where the zip checks the CRC of what was read,
    // so values taken from a part left early would never be checked.
    bool finish();

    bool fail(SpreadsheetError kind, const QString &what);

private:
    enum class Parse { Token, Skipped, More, Bad };
    struct Attribute {
        std::string_view name, value;
        bool decoded = false; // value points into `decoded`
    };
    Parse parse();
    Parse parseStartTag(const char *at, const char *end);
    Parse parseEndTag(const char *at, const char *end);
    Parse parseText(const char *at, const char *end);
    Parse parseSpecial(const char *at, const char *end);
    bool feed();
    bool bad(const char *what);
    bool declareNamespaces();

    ZipArchive &m_zip;
    Failure &m_failure;
    QString m_part;
    qint64 m_cap = 0;
    qint64 m_read = 0;
    bool m_eof = false;
    bool m_started = false;                  // the first bytes were looked at (byte-order mark)
    std::optional<QStringDecoder> m_decoder; // a part in UTF-16, made UTF-8 as it is read

    std::vector<char> m_buffer;
    size_t m_pos = 0; // the next byte to parse
    size_t m_end = 0; // the end of what was read

    Token m_token = Invalid;
    std::string_view m_qualified, m_local, m_text;
    size_t m_prefixLength = 0; // of m_qualified, 0 for none
    std::vector<Attribute> m_attributes;
    size_t m_attributeCount = 0;
    std::deque<std::string> m_decoded; // decoded attribute values, one per attribute (stay put)
    std::string m_textDecoded;
    bool m_pendingEnd = false; // an empty element's end comes next
    bool m_rootSeen = false;
    bool m_rootClosed = false;
    // The open elements' qualified names, one after another, and where each starts.
    std::string m_openNames;
    std::vector<size_t> m_openStarts;
    // Namespace declarations in force: prefix, URI and the depth of the element that made it.
    struct Namespace {
        std::string prefix, uri;
        size_t depth;
    };
    std::vector<Namespace> m_namespaces;
    size_t m_namespacePops = 0;               // declarations gone out of scope so far
    std::vector<std::string> m_knownPrefixes; // declared, as of m_knownPrefixPops
    size_t m_knownPrefixPops = ~size_t(0);
};

// Number conversions of XML texts as QString's would convert them, without a QString for
// the plain cases.
int ToInt(std::string_view text, bool *ok = nullptr);
qint64 ToLongLong(std::string_view text, bool *ok = nullptr);
double ToDouble(std::string_view text, bool *ok = nullptr);
inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
// Whether a text of UTF-8 bytes has more UTF-16 characters than the limit (the bytes are at
// least as many as the characters, so only a long text is counted).
inline bool PastCellChars(const std::string &text, int limit) {
    return text.size() > size_t(limit) && ToQString(text).size() > limit;
}
inline bool IsTrue(std::string_view v) {
    return v == "1" || v == "true";
}

// The bytes of a zip entry, at most `cap` of them inflated; false when it is larger.
bool ReadZipEntry(ZipArchive &zip, const QString &name, qint64 cap, QByteArray &out);

// The part a relationship target names, relative to the folder of the part that names it.
QString ResolvePart(const QString &from, const QString &target);

} // namespace kelo::sheet
