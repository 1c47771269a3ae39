#include "common/cp949.h"
#include "controls/edits.h"
#include "controls/formats.h"

#include <QCalendarWidget>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::controls;

namespace {

TEST(MaskedEdit, StoredTextForEachMaskOfTheScreens) {
    const struct {
        const char *mask;
        const char *typed; // digits typed into an empty field
        const char *stored;
        const char *shown;
    } cases[] = {
        {"9999-99-99;0;", "20040407", "20040407", "2004-04-07"},
        {"!9999-!99-99;0; ", "20040407", "20040407", "2004-04-07"},
        {"9999-99;0; ", "200404", "200404", "2004-04"},
        {"!9999-99;0;", "200404", "200404", "2004-04"},
        {"999999-9999999;0;", "8001011234567", "8001011234567", "800101-1234567"},
        {"9999-99-99;1;", "20040407", "2004-04-07", "2004-04-07"},
    };
    for (const auto &c : cases) {
        MaskedEdit edit;
        edit.setEditMask(QLatin1String(c.mask));
        edit.show();
        edit.setFocus();
        edit.setCursorPosition(0);
        QTest::keyClicks(&edit, QLatin1String(c.typed));
        EXPECT_EQ(edit.value(), QLatin1String(c.stored)) << c.mask;
        EXPECT_EQ(edit.displayText().trimmed(), QLatin1String(c.shown)) << c.mask;
        MaskedEdit other;
        other.setEditMask(QLatin1String(c.mask));
        other.setValue(QLatin1String(c.stored));
        EXPECT_EQ(other.value(), QLatin1String(c.stored)) << c.mask;
    }
    MaskedEdit partial;
    partial.setEditMask(QStringLiteral("9999-99-99;0;"));
    partial.setValue(QStringLiteral("2004"));
    EXPECT_EQ(partial.value(), QStringLiteral("2004"));
}

TEST(DateEdit, CloseUpOnlyWhenADateIsPicked) {
    DateEdit date;
    date.setYmd(QStringLiteral("20040407"));
    EXPECT_EQ(date.date(), QDate(2004, 4, 7));
    EXPECT_EQ(date.displayText(), QStringLiteral("2004-04-07"));
    QSignalSpy closeUp(&date, &DateEdit::closeUp);
    date.show();
    date.showCalendar();
    date.calendar()->parentWidget()->hide(); // dismissed without a pick
    EXPECT_EQ(closeUp.count(), 0);
    date.showCalendar();
    emit date.calendar()->clicked(QDate(2004, 2, 29));
    EXPECT_EQ(closeUp.count(), 1);
    EXPECT_EQ(date.ymd(), QStringLiteral("20040229"));
}

TEST(Formats, NumbersAndMasksAsShown) {
    const struct {
        QVariant value;
        const char *format, *shown;
    } cases[] = {
        {1234567.5, ",0", "1,234,568"},
        {-1234567.0, "#,##0", "-1,234,567"},
        {999.0, "0,", "999"},
        {QStringLiteral("1500"), ",0", "1,500"},
        {0.5, "", ".5"},
        {QStringLiteral("abc"), ",0", "abc"},
        {1234.56, "#,##0.0", "1,234.6"},
        {QVariant(), ",0", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatNumberText(c.value, QLatin1String(c.format)), QLatin1String(c.shown))
            << c.format;
    EXPECT_EQ(
        ApplyDisplayMask(QStringLiteral("8001011234567"), QStringLiteral("999999-9999999;0;")),
        QStringLiteral("800101-1234567"));
    EXPECT_EQ(ApplyDisplayMask(QStringLiteral("20040407"), QStringLiteral("9999-99-99;0;")),
              QStringLiteral("2004-04-07"));
    EXPECT_EQ(ApplyDisplayMask(QStringLiteral("2004-04-07"), QStringLiteral("9999-99-99;1;")),
              QStringLiteral("2004-04-07"));
}

TEST(EditControls, ChoiceBoxNumberEditAndKoreanLength) {
    ChoiceBox box;
    box.setItems({QStringLiteral("맑음"), QStringLiteral("흐림")},
                 {QStringLiteral("01"), QStringLiteral("03")});
    EXPECT_EQ(box.value(), QStringLiteral("01"));
    EXPECT_TRUE(box.setValue(QStringLiteral("03")));
    EXPECT_EQ(box.currentText(), QStringLiteral("흐림"));
    EXPECT_FALSE(box.setValue(QStringLiteral("99")));

    NumberEdit number;
    number.setValue(QStringLiteral("1234567"));
    EXPECT_EQ(number.text(), QStringLiteral("1,234,567"));
    EXPECT_EQ(number.value(), QStringLiteral("1234567"));

    EXPECT_EQ(Cp949Length(QStringLiteral("경영정보")), 8);
    EXPECT_EQ(Cp949Length(QStringLiteral("F&B 경영")), 8);
}

} // namespace
