#pragma once

#include <QByteArray>
#include <QString>

namespace kelo {

// Korean text as the suite's files and spreadsheets hold it (code page 949).
// Characters that CP949 lacks become '?'.
QByteArray ToCp949(const QString &text);
QString FromCp949(const QByteArray &bytes);

} // namespace kelo
