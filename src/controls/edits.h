#pragma once

#include "controls/formats.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

class QCalendarWidget;
class QToolButton;

namespace kelo::controls {

// A masked edit in the screens' notation "mask;saveLiterals;blank":
// '9' an optional digit, '0' a required digit, '!' leading blanks trimmed,
// anything else a literal. value() is what the screens store: with
// saveLiterals 0 the entered characters without the literals.
class MaskedEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskedEdit(QWidget *parent = nullptr);
    void setEditMask(const QString &mask);
    QString editMask() const { return m_mask; }
    QString value() const;
    void setValue(const QString &value);

private:
    QString m_mask;
    MaskSpec m_spec;
};

// A date field (yyyy-mm-dd through "9999-99-99;0;") with a drop-down calendar.
// closeUp fires only when a date is picked from the calendar.
class DateEdit : public MaskedEdit {
    Q_OBJECT
public:
    explicit DateEdit(QWidget *parent = nullptr);
    QString ymd() const { return value(); }
    void setYmd(const QString &ymd) { setValue(ymd); }
    QDate date() const;
    void setDate(const QDate &date);
    void showCalendar();
    QCalendarWidget *calendar() const { return m_calendar; }

signals:
    void closeUp();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QToolButton *m_button;
    QWidget *m_popup;
    QCalendarWidget *m_calendar;
};

// A number field: digits, a sign and a decimal point; shown with thousands
// separators while it does not have the focus. value() has no separators.
class NumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit NumberEdit(QWidget *parent = nullptr);
    QString value() const;
    void setValue(const QString &value);
    void setDisplayFormat(const QString &format) {
        m_format = format;
        refresh();
    }

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void refresh();
    QString m_value;
    QString m_format = QStringLiteral("#,##0");
};

// A value label with the deep (sunken) border.
class ValueLabel : public QLabel {
    Q_OBJECT
public:
    explicit ValueLabel(QWidget *parent = nullptr);
};

// A choice box whose texts have values kept beside them.
class ChoiceBox : public QComboBox {
    Q_OBJECT
public:
    explicit ChoiceBox(QWidget *parent = nullptr);
    void setItems(const QStringList &texts, const QStringList &values);
    void addItem(const QString &text, const QString &value);
    QString value() const;
    bool setValue(const QString &value); // false when no item has it
    const QStringList &values() const { return m_values; }

private:
    QStringList m_values;
};

// Switches a field's input to alphanumeric (no Korean input method).
void SetImeAlphanumeric(QWidget *field);

} // namespace kelo::controls
