#include "common/dates.h"
#include "common/silentstop.h"
#include "controls/edits.h"
#include "fixture.h"
#include "framework/screenhelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace kelo;

namespace {

TEST(CodeLookups, NamesRowsAndTitles) {
    CodesDatabase db;
    EXPECT_EQ(CodeName(db.connection, QStringLiteral("E0029"), QStringLiteral(" ")),
              QStringLiteral("날씨"));
    EXPECT_EQ(CodeName(db.connection, QStringLiteral("E0029"), QStringLiteral("01")),
              QStringLiteral("맑음"));
    EXPECT_EQ(CodeName(db.connection, QStringLiteral("E0029"), QStringLiteral("77")), QString());
    // Only flagged: the golf menu groups carry ITEM1 = 'Y'.
    EXPECT_EQ(CodeName(db.connection, QStringLiteral("J0001"), QStringLiteral("01"), true),
              QStringLiteral("그린피"));
    EXPECT_EQ(CodeName(db.connection, QStringLiteral("J0001"), QStringLiteral("10"), true),
              QString());
    const CodeRowValues weather =
        CodeRow(db.connection, QStringLiteral("E0029"), QStringLiteral("04"));
    EXPECT_EQ(weather.item(1), QStringLiteral("Rainy"));
    EXPECT_EQ(weather.detailName, QStringLiteral("비"));
    const CodeRowValues none =
        CodeRow(db.connection, QStringLiteral("E0029"), QStringLiteral("99"));
    EXPECT_EQ(none.item(1), QString()); // a code without a weather text
    EXPECT_EQ(CodeRow(db.connection, QStringLiteral("NONE"), QStringLiteral("1")).detailName,
              QString());
    EXPECT_EQ(DayNameDb(db.connection, QStringLiteral("20030106")), QStringLiteral("월요일"));
    EXPECT_EQ(DayNameDb(db.connection, QStringLiteral("2003x")), QString());
    QLabel label;
    SetLabelFromQuery(
        db.connection, &label,
        QStringLiteral("Select Upjang_Name As Name From Ja010ms Where Upjang_Code = :param"),
        QStringLiteral("1001"));
    EXPECT_EQ(label.text(), QStringLiteral("베로호텔"));
}

TEST(DateHelpers, ValidityAndShifts) {
    EXPECT_TRUE(IsValidYmd(QStringLiteral("2004 02 29")));
    EXPECT_FALSE(IsValidYmd(QStringLiteral("20030229")));
    EXPECT_FALSE(IsValidYmd(QStringLiteral("2004-02-29")));
    EXPECT_EQ(AddDays(QStringLiteral("20040228"), 1), QStringLiteral("20040229"));
    EXPECT_EQ(AddDays(QStringLiteral("20040228"), 2), QStringLiteral("20040301"));
    EXPECT_EQ(AddDays(QStringLiteral("20040230"), 1, QStringLiteral("kept")),
              QStringLiteral("kept"));
    EXPECT_EQ(ShiftDays(QStringLiteral("20040301"), -1), QStringLiteral("20040229"));
    EXPECT_EQ(ShiftDays(QString(), -1, QStringLiteral("kept")), QStringLiteral("kept"));
    EXPECT_THROW(ShiftDays(QStringLiteral("20041301"), 1), std::invalid_argument);
    EXPECT_EQ(EditStatusTexts2[3], QStringLiteral("3"));
}

TEST(FormHelpers, FocusClearAndLockPanels) {
    QWidget form;
    auto *layout = new QVBoxLayout(&form);
    auto *panel = new QWidget(&form);
    auto *inner = new QVBoxLayout(panel);
    QLineEdit *edits[3];
    for (auto *&e : edits) {
        e = new QLineEdit(panel);
        e->setText(QStringLiteral("x"));
        inner->addWidget(e);
    }
    auto *choice = new QComboBox(panel);
    choice->addItems({QStringLiteral("a"), QStringLiteral("b")});
    choice->setCurrentIndex(1);
    inner->addWidget(choice);
    auto *number = new controls::NumberEdit(panel);
    number->setValue(QStringLiteral("77"));
    inner->addWidget(number);
    auto *outside = new QLineEdit(&form);
    outside->setText(QStringLiteral("keep"));
    layout->addWidget(panel);
    layout->addWidget(outside);
    form.show();

    edits[2]->setFocus();
    EXPECT_THROW(FocusFirstSibling(&form, edits[2], true), SilentStop);
    EXPECT_EQ(form.focusWidget(), edits[0]);

    ClearPanel(&form, panel);
    EXPECT_EQ(edits[1]->text(), QString());
    EXPECT_EQ(choice->currentIndex(), 0);
    EXPECT_EQ(number->value(), QStringLiteral("0"));
    EXPECT_EQ(outside->text(), QStringLiteral("keep"));

    SetPanelEditable(&form, panel, false);
    EXPECT_FALSE(edits[0]->isEnabled());
    EXPECT_TRUE(edits[0]->isReadOnly());
    EXPECT_EQ(edits[0]->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(outside->isEnabled());
    SetPanelEditable(&form, panel, true);
    EXPECT_TRUE(edits[0]->isEnabled());
    EXPECT_FALSE(edits[0]->isReadOnly());

    SetInputColor(edits[0], true);
    EXPECT_EQ(edits[0]->palette().color(QPalette::Base), QColor(255, 255, 0));
    edits[1]->setReadOnly(true);
    const QColor before = edits[1]->palette().color(QPalette::Base);
    SetInputColor(edits[1], true);
    EXPECT_EQ(edits[1]->palette().color(QPalette::Base), before); // read-only keeps its colour
}

} // namespace
