#include "common/cp949.h"

#include <cerrno>
#include <iconv.h>
#include <vector>

namespace kelo {

namespace {

// Converts with iconv, replacing what cannot be converted by '?'.
QByteArray convert(const char *to, const char *from, const QByteArray &in, int unitFrom) {
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        return QByteArray();
    QByteArray out;
    std::vector<char> buffer(size_t(in.size()) * 4 + 16);
    char *src = const_cast<char *>(in.constData());
    size_t srcLeft = size_t(in.size());
    while (srcLeft > 0) {
        char *dst = buffer.data();
        size_t dstLeft = buffer.size();
        const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer.data(), qsizetype(buffer.size() - dstLeft));
        if (rc == size_t(-1)) {
            if (errno == EILSEQ || errno == EINVAL) {
                out.append('?');
                const size_t skip = std::min<size_t>(srcLeft, size_t(unitFrom));
                // Skip one character of the source (a whole UTF-8 sequence or a CP949 pair).
                size_t n = skip;
                if (unitFrom == 1 && srcLeft > 0) {
                    const unsigned char lead = static_cast<unsigned char>(*src);
                    n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
                    n = std::min(n, srcLeft);
                } else if (unitFrom == 2) {
                    n = static_cast<unsigned char>(*src) >= 0x81 ? std::min<size_t>(2, srcLeft) : 1;
                }
                src += n;
                srcLeft -= n;
            } else if (errno != E2BIG) {
                break;
            }
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace

QByteArray ToCp949(const QString &text) {
    return convert("CP949", "UTF-8", text.toUtf8(), 1);
}

QString FromCp949(const QByteArray &bytes) {
    return QString::fromUtf8(convert("UTF-8", "CP949", bytes, 2));
}

} // namespace kelo

namespace kelo {

namespace {

// CP949 code of each UTF-16 unit: 0 not looked up yet, 0xFFFF none ('?'), a
// value below 0x100 one byte, above two bytes (lead, trail).
quint16 *codeTable() {
    static std::vector<quint16> table(65536, 0);
    return table.data();
}

// The code of a unit met for the first time, entered into the table.
quint16 fill(quint16 *table, char16_t unit) {
    quint16 &entry = table[unit];
    const QByteArray bytes = ToCp949(QString(QChar(unit)));
    if (bytes.size() == 1 && bytes.at(0) != '?')
        entry = quint8(bytes.at(0));
    else if (bytes.size() == 2)
        entry = quint16(quint8(bytes.at(0)) << 8 | quint8(bytes.at(1)));
    else
        entry = 0xFFFF;
    return entry;
}

inline quint16 lookUp(quint16 *table, char16_t unit) {
    const quint16 entry = table[unit];
    return entry != 0 ? entry : fill(table, unit);
}

} // namespace

namespace {

// AppendCp949's loop; `counted`: whether the bytes may run out (else there is room for two
// bytes a unit, and no character can be cut).
template <bool counted> int Append(QStringView text, char *out, int maxBytes) {
    int n = 0;
    quint16 *const table = codeTable();
    const char16_t *p = text.utf16();
    const qsizetype size = text.size();
    const auto room = [&](int bytes) { return !counted || n + bytes <= maxBytes; };
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = p[i];
        if (unit < 0x80) {
            if (!room(1))
                break;
            out[n++] = char(unit);
            continue;
        }
        if (QChar::isHighSurrogate(unit) && i + 1 < size) {
            ++i; // outside the code page: one '?'
            if (!room(1))
                break;
            out[n++] = '?';
            continue;
        }
        const quint16 code = lookUp(table, unit);
        if (code == 0xFFFF || code < 0x100) {
            if (!room(1))
                break;
            out[n++] = code == 0xFFFF ? '?' : char(code);
        } else {
            if (!room(2))
                break;
            out[n++] = char(code >> 8);
            out[n++] = char(code & 0xFF);
        }
    }
    return n;
}

} // namespace

int AppendCp949(QStringView text, char *out, int maxBytes) {
    return text.size() * 2 <= maxBytes ? Append<false>(text, out, maxBytes)
                                       : Append<true>(text, out, maxBytes);
}

int Cp949Length(const QString &text) {
    int n = 0;
    for (QChar c : text)
        n += c.unicode() < 0x80 ? 1 : (c.isSurrogate() ? 1 : 2);
    return n;
}

} // namespace kelo
