#pragma once

#include <QString>

// The figures of the sales inquiries; their date windows are the bounds of
// screens/common/periods.h.
namespace kelo::screens::sales {

// A ratio in per cent to one decimal, 0 on a zero base.
inline QString Ratio(const QString &figure, const QString &base) {
    return QStringLiteral("NVL(ROUND(DECODE(%2, 0, 0, %1 / %2 * 100), 1), 0)").arg(figure, base);
}

} // namespace kelo::screens::sales
