#include "shell/splash.h"

#include <gtest/gtest.h>

using namespace kelo::shell;

namespace {

// A mask from rows of '0' and '1' characters (16-bit padded rows, padding set).
MonoMask maskOf(int width, const std::vector<const char *> &rows) {
    MonoMask m;
    m.width = width;
    m.height = int(rows.size());
    for (const char *row : rows) {
        QByteArray bytes(m.rowBytes(), char(0xFF));
        for (int x = 0; x < width && row[x]; ++x)
            if (row[x] == '0')
                bytes[x / 8] = char(quint8(bytes[x / 8]) & ~(0x80 >> (x % 8)));
        m.bits.append(bytes);
    }
    return m;
}

TEST(MaskRegion, RunsOfClearBitsBecomeTheWindow) {
    const struct {
        const char *what;
        MonoMask mask;
        int windowHeight;
        QRegion expected;
    } cases[] = {
        {"a row clear to its last column reaches the last column", maskOf(16, {"0000000000000000"}),
         10, QRegion(0, 0, 16, 1)},
        {"two runs in a row", maskOf(16, {"0011000011111100"}), 10,
         QRegion(0, 0, 2, 1) + QRegion(4, 0, 4, 1) + QRegion(14, 0, 2, 1)},
        {"a width of 10 is widened with set columns", maskOf(10, {"0000000000"}), 10,
         QRegion(0, 0, 10, 1)},
        {"rows at or below the window height are cut",
         maskOf(16, {"0000111111111111", "0000111111111111", "0000111111111111"}), 2,
         QRegion(0, 0, 4, 2)},
        {"an all-set mask is empty", maskOf(8, {"11111111"}), 10, QRegion()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(BuildMaskRegion(c.mask, c.windowHeight), c.expected) << c.what;

    MonoMask truncated = maskOf(16, {"0000000000000000", "0000000000000000"});
    truncated.bits.chop(1); // bits the bitmap does not deliver count as set
    EXPECT_EQ(BuildMaskRegion(truncated, 10), QRegion(0, 0, 16, 1) + QRegion(0, 1, 8, 1));
}

TEST(Splash, ShapedByTheProjectsPictureLibrary) {
    TfrmZZC010 splash(QStringLiteral(KELO_MAINIMG));
    EXPECT_EQ(splash.size(), QSize(537, 284));
    EXPECT_EQ(splash.lblProjectName->text(), QStringLiteral("경영정보관리"));
    EXPECT_EQ(splash.lblProjectNameShadow->text(), QStringLiteral("경영정보관리"));
    EXPECT_EQ(splash.lblVersion->text(), QStringLiteral("1.1.0.7"));
    EXPECT_FALSE(splash.imgImage->pixmap().isNull());
    // Rounded corners: the middle belongs to the window, the very corner does not.
    EXPECT_TRUE(splash.region().contains(QPoint(268, 142)));
    EXPECT_FALSE(splash.region().contains(QPoint(0, 0)));
    EXPECT_TRUE(splash.region().contains(QPoint(536, 142)));

    TfrmZZC010 missing(QStringLiteral("/nonexistent/MainImg.kimg"));
    EXPECT_TRUE(missing.region().isEmpty());
    EXPECT_TRUE(missing.imgImage->pixmap().isNull());
}

} // namespace
