#pragma once

#include <QString>

namespace kelo::database {

// Personal data as it may be shown (FN_ZA010MS_04):
//   resident registration number  800101-1234567 -> 800101-1******  (first seven digits kept)
//   telephone number              010-1234-5678  -> 010-****-5678   (middle group masked)
//   e-mail address                hong@resort.kr -> ho**@resort.kr  (first two characters kept)
//   address                       first three words kept, every further character masked
// Anything else comes back unchanged.
QString MaskPersonalData(const QString &text);

} // namespace kelo::database
