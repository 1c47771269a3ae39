#pragma once

#include <QString>
#include <QVariant>

namespace kelo::controls {

// The display formats of the grids and edits: ",0", "0,", "#,##0" and "#,##0"
// with decimals ("#,##0.0") show numbers with thousands separators and the
// format's decimals; an empty format shows the number-to-text rule. A text
// that is not a number is shown as it is.
QString FormatNumberText(const QVariant &value, const QString &format);
// Whether a display format formats numbers (it has a ',', '0' or '#'); other formats show
// the number-to-text rule.
bool IsNumberFormat(const QString &format);

// A display mask in the screens' notation "mask;saveLiterals;blank", applied to
// a stored value (the value holds the mask's digits without literals when
// saveLiterals is 0): "999999-9999999;0;" shows 8001011234567 as 800101-1234567.
QString ApplyDisplayMask(const QString &value, const QString &mask);

// Parts of a mask "999-99;0;_".
struct MaskSpec {
    QString pattern; // the characters before the first ';'
    bool saveLiterals = true;
    QChar blank = u'_';
};
MaskSpec ParseMask(const QString &mask);

} // namespace kelo::controls
