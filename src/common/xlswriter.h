#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringView>
#include <vector>

namespace kelo {

// The worksheet records of the Excel files the screens write: beginning of file
// (0x0809), text cell (0x0204, CP949 text), number cell (0x0203, IEEE double),
// end of file (0x000A); 16-bit little-endian fields; rows and columns from 0.
// Output is buffered and written to the device in large blocks.
class XlsWriter {
public:
    explicit XlsWriter(QIODevice &device);
    ~XlsWriter();

    void beginFile();
    // A text longer than 255 bytes is cut on a character boundary (spreadsheet
    // programs accept no more in such a cell).
    void text(int row, int column, QStringView text);
    void number(int row, int column, double value);
    void endFile();
    // Writes what is buffered; false when the device refused it.
    bool flush();
    bool ok() const { return m_ok; }

private:
    char *reserve(int bytes);
    static void put(char *at, quint16 v) {
        at[0] = char(v & 0xFF);
        at[1] = char(v >> 8);
    }
    QIODevice &m_device;
    std::vector<char> m_buffer;
    size_t m_used = 0;
    bool m_ok = true;
};

// The CP949 bytes of a text cut to at most maxBytes on a character boundary.
QByteArray Cp949Cut(const QString &text, int maxBytes);

} // namespace kelo
