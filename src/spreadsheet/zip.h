#pragma once

// The zip container of .xlsx and .ods files: its entries through minizip, and the XML parts
// in them parsed as their inflated bytes are read and counted.

#include "spreadsheet/reader_p.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <minizip/unzip.h>

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

// One XML part of a zip, parsed as its inflated bytes are read and counted.
class ZipXml {
public:
    ZipXml(ZipArchive &zip, Failure &failure) : m_zip(zip), m_failure(failure) {}
    ~ZipXml() { m_zip.closeEntry(); }

    bool open(const QString &part, qint64 cap) {
        m_part = part;
        m_cap = cap;
        if (!m_zip.has(part))
            return m_failure.set(SpreadsheetError::Damaged, part + QStringLiteral(" 없음"));
        if (!m_zip.openEntry(part))
            return m_failure.set(SpreadsheetError::Damaged, part);
        return true;
    }

    // The next token; Invalid after an error (recorded) or at the end.
    QXmlStreamReader::TokenType next() {
        for (;;) {
            const auto t = xml.readNext();
            if (t == QXmlStreamReader::DTD) {
                m_failure.set(SpreadsheetError::Damaged, m_part + QStringLiteral(": DOCTYPE"));
                return QXmlStreamReader::Invalid;
            }
            if (t != QXmlStreamReader::Invalid) {
                m_sinceToken = 0;
                return t;
            }
            if (xml.error() != QXmlStreamReader::PrematureEndOfDocumentError || m_eof) {
                m_failure.set(SpreadsheetError::Damaged,
                              m_part + QStringLiteral(": ") + xml.errorString());
                return QXmlStreamReader::Invalid;
            }
            if (!feed())
                return QXmlStreamReader::Invalid;
        }
    }

    // Reads the characters up to the end of the current element (children's included).
    bool text(QString &out, int maxChars) {
        int depth = 1;
        while (depth > 0) {
            switch (next()) {
            case QXmlStreamReader::StartElement:
                ++depth;
                break;
            case QXmlStreamReader::EndElement:
                --depth;
                break;
            case QXmlStreamReader::Characters:
                out += xml.text();
                if (out.size() > maxChars)
                    return m_failure.set(SpreadsheetError::TooBig,
                                         m_part + QStringLiteral(": 셀 텍스트"));
                break;
            case QXmlStreamReader::Invalid:
                return false;
            default:
                break;
            }
        }
        return true;
    }

    // Skips to the end of the current element.
    bool skip() {
        int depth = 1;
        while (depth > 0) {
            const auto t = next();
            if (t == QXmlStreamReader::StartElement)
                ++depth;
            else if (t == QXmlStreamReader::EndElement)
                --depth;
            else if (t == QXmlStreamReader::Invalid)
                return false;
        }
        return true;
    }

    bool fail(SpreadsheetError kind, const QString &what) {
        return m_failure.set(kind, m_part + QStringLiteral(": ") + what);
    }

    QXmlStreamReader xml;

private:
    bool feed() {
        QByteArray chunk(kChunk, Qt::Uninitialized);
        const int n = m_zip.read(chunk.data(), unsigned(chunk.size()));
        if (n < 0)
            return m_failure.set(SpreadsheetError::Damaged,
                                 m_part + QStringLiteral(": 압축 해제 오류"));
        if (n == 0) {
            m_eof = true;
            if (!m_zip.closeEntry()) // the CRC of the whole entry
                return m_failure.set(SpreadsheetError::Damaged, m_part + QStringLiteral(": CRC"));
            return true;
        }
        chunk.truncate(n);
        m_read += chunk.size();
        if (m_read > m_cap)
            return m_failure.set(SpreadsheetError::TooBig,
                                 m_part +
                                     QStringLiteral(" 압축 해제 크기 %1 MB 초과").arg(m_cap >> 20));
        // One text, comment or attribute that never ends would be held whole by the parser.
        m_sinceToken += chunk.size();
        if (m_sinceToken > kMaxTokenBytes)
            return m_failure.set(SpreadsheetError::TooBig, m_part + QStringLiteral(": XML 토큰"));
        xml.addData(chunk);
        return true;
    }

    ZipArchive &m_zip;
    Failure &m_failure;
    QString m_part;
    qint64 m_cap = 0;
    qint64 m_read = 0;
    qint64 m_sinceToken = 0;
    bool m_eof = false;
};

// The bytes of a zip entry, at most `cap` of them inflated; false when it is larger.
bool ReadZipEntry(ZipArchive &zip, const QString &name, qint64 cap, QByteArray &out);

// The part a relationship target names, relative to the folder of the part that names it.
QString ResolvePart(const QString &from, const QString &target);

} // namespace kelo::sheet
