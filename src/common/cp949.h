#pragma once

#include <QByteArray>
#include <QString>

namespace kelo {

// Korean text as the suite's files and spreadsheets hold it (code page 949).
// Characters that CP949 lacks become '?'.
QByteArray ToCp949(const QString &text);
QString FromCp949(const QByteArray &bytes);

} // namespace kelo

namespace kelo {

// Appends the CP949 bytes of a text to out, at most maxBytes of them, never
// cutting a character; the number of bytes appended. Fast: characters are
// looked up in a table filled as they are first met.
int AppendCp949(QStringView text, char *out, int maxBytes);

// The length of a text as the screens count it: bytes in CP949, two for each
// Korean letter (widths computed from text length use it).
int Cp949Length(const QString &text);

} // namespace kelo
