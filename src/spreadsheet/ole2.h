#pragma once

// The small part of the OLE2 compound file format the .xls reader needs.

#include "spreadsheet/reader_p.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringView>

#include <vector>

namespace kelo::sheet {

// The small part of the OLE2 compound file format the reader needs: the directory, to tell
// an encrypted workbook, and the first bytes of the workbook stream, for its active sheet.
class Compound {
public:
    struct Entry {
        QString name;
        int type = 0;
        quint32 start = 0;
        quint64 size = 0;
    };

    bool open(QFile &file, QString &detail) {
        m_file = &file;
        const QByteArray h = read(0, 512);
        if (h.size() < 512)
            return (detail = QStringLiteral("OLE2 헤더")), false;
        const int shift = U16(h.constData() + 0x1E);
        if (shift != 9 && shift != 12)
            return (detail = QStringLiteral("OLE2 섹터 크기")), false;
        m_sectorSize = 1 << shift;
        m_miniCutoff = U32(h.constData() + 0x38);
        const qint64 sectors = file.size() / m_sectorSize + 1;
        // The sector allocation table from the header's list and the extra list sectors.
        std::vector<quint32> fatSectors;
        const quint32 fatCount = U32(h.constData() + 0x2C);
        if (fatCount > sectors)
            return (detail = QStringLiteral("OLE2 할당표")), false;
        for (int i = 0; i < 109 && fatSectors.size() < fatCount; ++i)
            fatSectors.push_back(U32(h.constData() + 0x4C + 4 * i));
        quint32 difat = U32(h.constData() + 0x44);
        for (qint64 guard = 0; fatSectors.size() < fatCount && difat < 0xFFFFFFFA; ++guard) {
            if (guard > sectors)
                return (detail = QStringLiteral("OLE2 할당표")), false;
            const QByteArray s = sector(difat);
            if (s.size() != m_sectorSize)
                return (detail = QStringLiteral("OLE2 할당표")), false;
            const int per = m_sectorSize / 4 - 1;
            for (int i = 0; i < per && fatSectors.size() < fatCount; ++i)
                fatSectors.push_back(U32(s.constData() + 4 * i));
            difat = U32(s.constData() + 4 * per);
        }
        for (const quint32 fs : fatSectors) {
            const QByteArray s = sector(fs);
            if (s.size() != m_sectorSize)
                return (detail = QStringLiteral("OLE2 할당표")), false;
            for (int i = 0; i < m_sectorSize / 4; ++i)
                m_fat.push_back(U32(s.constData() + 4 * i));
        }
        bool ok = true;
        const QByteArray dir = chain(m_fat, U32(h.constData() + 0x30), 64ll << 20, &ok);
        if (!ok || dir.size() < 128)
            return (detail = QStringLiteral("OLE2 디렉터리")), false;
        for (qsizetype at = 0; at + 128 <= dir.size(); at += 128) {
            const char *e = dir.constData() + at;
            Entry entry;
            // FreeXL converts every name with the length given: one past the field it reads
            // past its buffer.
            const int nameBytes = U16(e + 0x40);
            if (nameBytes > 64 || nameBytes % 2 != 0)
                return (detail = QStringLiteral("OLE2 디렉터리")), false;
            entry.name = QString::fromUtf16(reinterpret_cast<const char16_t *>(e),
                                            std::max(0, nameBytes / 2 - 1));
            entry.type = uchar(e[0x42]);
            entry.start = U32(e + 0x74);
            entry.size = U32(e + 0x78);
            if (m_sectorSize == 4096)
                entry.size |= quint64(U32(e + 0x7C)) << 32;
            m_entries.push_back(entry);
        }
        if (m_entries.empty() || m_entries[0].type != 5)
            return (detail = QStringLiteral("OLE2 디렉터리")), false;
        m_miniFatStart = U32(h.constData() + 0x3C);
        return true;
    }

    const Entry *find(QStringView name) const {
        for (const Entry &e : m_entries)
            if (e.type == 2 && e.name.compare(name, Qt::CaseInsensitive) == 0)
                return &e;
        return nullptr;
    }

    // The first `max` bytes of a stream (fewer when it is shorter); false when its chain is
    // broken.
    bool stream(const Entry &e, qint64 max, QByteArray &out) {
        bool ok = true;
        const qint64 want = qint64(std::min<quint64>(e.size, quint64(max)));
        if (e.size >= m_miniCutoff) {
            out = chain(m_fat, e.start, want, &ok);
        } else {
            // Small streams live in 64-byte pieces of the root entry's stream.
            if (m_miniFat.empty()) {
                const QByteArray mf = chain(m_fat, m_miniFatStart, 64ll << 20, &ok);
                for (qsizetype i = 0; i + 4 <= mf.size(); i += 4)
                    m_miniFat.push_back(U32(mf.constData() + i));
                m_mini = chain(m_fat, m_entries[0].start, 64ll << 20, &ok);
            }
            out.clear();
            quint32 s = e.start;
            for (qint64 guard = 0; ok && out.size() < want && s < 0xFFFFFFFA; ++guard) {
                if (s >= m_miniFat.size() || qint64(s) * 64 + 64 > m_mini.size() ||
                    guard > qint64(m_miniFat.size()))
                    ok = false;
                else
                    out += m_mini.mid(qint64(s) * 64, 64);
                if (ok)
                    s = m_miniFat[s];
            }
        }
        if (!ok || out.size() < want)
            return false;
        out.truncate(want);
        return true;
    }

private:
    QByteArray read(qint64 at, qint64 n) {
        if (!m_file->seek(at))
            return {};
        return m_file->read(n);
    }
    QByteArray sector(quint32 s) { return read((qint64(s) + 1) * m_sectorSize, m_sectorSize); }
    QByteArray chain(const std::vector<quint32> &fat, quint32 s, qint64 max, bool *ok) {
        QByteArray out;
        for (qint64 guard = 0; out.size() < max && s < 0xFFFFFFFA; ++guard) {
            if (s >= fat.size() || guard > qint64(fat.size())) {
                *ok = false;
                break;
            }
            const QByteArray part = sector(s);
            if (part.size() != m_sectorSize) {
                *ok = false;
                break;
            }
            out += part;
            s = fat[s];
        }
        return out;
    }

    QFile *m_file = nullptr;
    int m_sectorSize = 512;
    quint32 m_miniCutoff = 4096;
    quint32 m_miniFatStart = 0xFFFFFFFE;
    std::vector<quint32> m_fat;
    std::vector<quint32> m_miniFat;
    QByteArray m_mini;
    std::vector<Entry> m_entries;
};

} // namespace kelo::sheet
