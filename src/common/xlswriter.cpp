#include "common/xlswriter.h"

#include "common/cp949.h"

#include <cstring>

namespace kelo {

namespace {
constexpr int kBlock = 1 << 16;
}

QByteArray Cp949Cut(const QString &text, int maxBytes) {
    QByteArray bytes = ToCp949(text);
    if (bytes.size() <= maxBytes)
        return bytes;
    // Walk the characters: a lead byte of 0x81 and above starts a two-byte character.
    int cut = 0;
    while (cut < bytes.size()) {
        const int width = quint8(bytes.at(cut)) >= 0x81 ? 2 : 1;
        if (cut + width > maxBytes)
            break;
        cut += width;
    }
    bytes.truncate(cut);
    return bytes;
}

XlsWriter::XlsWriter(QIODevice &device) : m_device(device) {
    m_buffer.reserve(kBlock + 512);
}

XlsWriter::~XlsWriter() {
    flush();
}

void XlsWriter::word(quint16 v) {
    m_buffer.append(char(v & 0xFF));
    m_buffer.append(char(v >> 8));
}

void XlsWriter::beginFile() {
    word(0x0809);
    word(8);
    word(0x0000);
    word(0x0010);
    word(0x0000);
    word(0x0000);
}

void XlsWriter::text(int row, int column, const QString &text) {
    const QByteArray bytes = Cp949Cut(text, 255);
    word(0x0204);
    word(quint16(8 + bytes.size()));
    word(quint16(row));
    word(quint16(column));
    word(0x0000);
    word(quint16(bytes.size()));
    m_buffer.append(bytes);
    if (m_buffer.size() >= kBlock)
        flush();
}

void XlsWriter::number(int row, int column, double value) {
    word(0x0203);
    word(14);
    word(quint16(row));
    word(quint16(column));
    word(0x0000);
    char raw[8];
    std::memcpy(raw, &value, 8); // little-endian machines: the IEEE bytes in file order
    m_buffer.append(raw, 8);
    if (m_buffer.size() >= kBlock)
        flush();
}

void XlsWriter::endFile() {
    word(0x000A);
    word(0);
}

bool XlsWriter::flush() {
    if (!m_buffer.isEmpty()) {
        if (m_device.write(m_buffer) != m_buffer.size())
            m_ok = false;
        m_buffer.clear();
    }
    return m_ok;
}

} // namespace kelo
