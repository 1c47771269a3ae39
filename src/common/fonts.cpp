#include "common/fonts.h"

#include <QFont>
#include <QStringList>

namespace kelo {

void InstallFontSubstitutions() {
    QFont::insertSubstitutions(QStringLiteral("굴림"),
                               {QStringLiteral("NanumGothic"), QStringLiteral("Nanum Gothic")});
    QFont::insertSubstitutions(QStringLiteral("굴림체"), {QStringLiteral("NanumGothicCoding"),
                                                          QStringLiteral("NanumGothic Coding")});
    QFont::insertSubstitutions(QStringLiteral("바탕"),
                               {QStringLiteral("NanumMyeongjo"), QStringLiteral("Nanum Myeongjo")});
    QFont::insertSubstitutions(QStringLiteral("Gulim"), {QStringLiteral("NanumGothic")});
    // The figures of the widest printed reports.
    QFont::insertSubstitutions(
        QStringLiteral("Arial Narrow"),
        {QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Liberation Sans Narrow")});
}

} // namespace kelo
