#include "common/xlswriter.h"

#include "common/cp949.h"

#include <cstring>

namespace kelo {

namespace {
constexpr int kBlock = 1 << 16;
}

QByteArray Cp949Cut(const QString &text, int maxBytes) {
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    bytes.truncate(AppendCp949(text, bytes.data(), std::min<int>(maxBytes, int(bytes.size()))));
    return bytes;
}

XlsWriter::XlsWriter(QIODevice &device) : m_device(device), m_buffer(size_t(kBlock) + 1024) {}

XlsWriter::~XlsWriter() {
    flush();
}

char *XlsWriter::reserve(int bytes) {
    if (m_used + size_t(bytes) > m_buffer.size())
        flush();
    char *at = m_buffer.data() + m_used;
    m_used += size_t(bytes);
    return at;
}

void XlsWriter::beginFile() {
    char *at = reserve(12);
    put(at, 0x0809);
    put(at + 2, 8);
    put(at + 4, 0x0000);
    put(at + 6, 0x0010);
    put(at + 8, 0x0000);
    put(at + 10, 0x0000);
}

void XlsWriter::text(int row, int column, QStringView text) {
    char *at = reserve(12 + 255);
    const int n = AppendCp949(text, at + 12, 255);
    m_used -= size_t(255 - n); // give back what the text did not take
    put(at, 0x0204);
    put(at + 2, quint16(8 + n));
    put(at + 4, quint16(row));
    put(at + 6, quint16(column));
    put(at + 8, 0x0000);
    put(at + 10, quint16(n));
}

void XlsWriter::number(int row, int column, double value) {
    char *at = reserve(18);
    put(at, 0x0203);
    put(at + 2, 14);
    put(at + 4, quint16(row));
    put(at + 6, quint16(column));
    put(at + 8, 0x0000);
    std::memcpy(at + 10, &value, 8); // little-endian machines: the IEEE bytes in file order
}

void XlsWriter::endFile() {
    char *at = reserve(4);
    put(at, 0x000A);
    put(at + 2, 0);
}

bool XlsWriter::flush() {
    if (m_used > 0) {
        if (m_device.write(m_buffer.data(), qint64(m_used)) != qint64(m_used))
            m_ok = false;
        m_used = 0;
    }
    return m_ok;
}

} // namespace kelo
