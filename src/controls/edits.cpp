#include "controls/edits.h"

#include "common/clock.h"
#include "common/numbertext.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace kelo::controls {

namespace {

bool isEntry(QChar m) {
    return m == u'9' || m == u'0' || m == u'#' || m == u'L' || m == u'l' || m == u'A' || m == u'a';
}

// The Qt input mask of a mask pattern: a required digit is Qt's '9', an optional one Qt's '0'.
QString qtMask(const MaskSpec &spec) {
    static const QString special = QStringLiteral("AaNnXx90Dd#HhBb><!{}[]\\");
    QString out;
    for (qsizetype i = 0; i < spec.pattern.size(); ++i) {
        const QChar m = spec.pattern.at(i);
        if (m == u'!' || m == u'>' || m == u'<')
            continue;
        if (m == u'\\' && i + 1 < spec.pattern.size()) {
            out += u'\\' + QString(spec.pattern.at(++i));
        } else if (m == u'9') {
            out += u'0';
        } else if (m == u'0') {
            out += u'9';
        } else if (m == u'#') {
            out += u'#';
        } else if (m == u'L') {
            out += u'A';
        } else if (m == u'l' || m == u'a') {
            out += u'a';
        } else if (m == u'A') {
            out += u'N';
        } else if (special.contains(m)) {
            out += u'\\' + QString(m);
        } else {
            out += m;
        }
    }
    return out + u';' + spec.blank;
}

} // namespace

MaskedEdit::MaskedEdit(QWidget *parent) : QLineEdit(parent) {}

void MaskedEdit::setEditMask(const QString &mask) {
    m_mask = mask;
    m_spec = ParseMask(mask);
    setInputMask(mask.isEmpty() ? QString() : qtMask(m_spec));
}

QString MaskedEdit::value() const {
    if (m_mask.isEmpty())
        return text();
    const QString shown = displayText();
    QString out;
    qsizetype at = 0;
    for (qsizetype i = 0; i < m_spec.pattern.size() && at <= shown.size(); ++i) {
        const QChar m = m_spec.pattern.at(i);
        if (m == u'!' || m == u'>' || m == u'<')
            continue;
        if (m == u'\\') {
            ++i;
            ++at;
            continue;
        }
        const QChar c = at < shown.size() ? shown.at(at) : QChar(u' ');
        ++at;
        if (isEntry(m)) {
            if (c != m_spec.blank)
                out.append(c);
        } else if (m_spec.saveLiterals) {
            out.append(c);
        }
    }
    return out.trimmed();
}

void MaskedEdit::setValue(const QString &value) {
    if (m_mask.isEmpty() || m_spec.saveLiterals) {
        setText(value);
        return;
    }
    // The stored characters go into the mask's entry positions.
    QString filled;
    qsizetype at = 0;
    for (qsizetype i = 0; i < m_spec.pattern.size(); ++i) {
        const QChar m = m_spec.pattern.at(i);
        if (m == u'!' || m == u'>' || m == u'<')
            continue;
        if (m == u'\\' && i + 1 < m_spec.pattern.size()) {
            filled.append(m_spec.pattern.at(++i));
            continue;
        }
        if (isEntry(m))
            filled.append(at < value.size() ? value.at(at++) : m_spec.blank);
        else
            filled.append(m);
    }
    setText(filled);
}

// ---- DateEdit -------------------------------------------------------------------

DateEdit::DateEdit(QWidget *parent) : MaskedEdit(parent) {
    setEditMask(QStringLiteral("9999-99-99;0;"));
    SetImeAlphanumeric(this);
    m_button = new QToolButton(this);
    m_button->setObjectName(QStringLiteral("calendarButton"));
    m_button->setArrowType(Qt::DownArrow);
    m_button->setCursor(Qt::ArrowCursor);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_popup = new QWidget(this, Qt::Popup);
    auto *layout = new QVBoxLayout(m_popup);
    layout->setContentsMargins(1, 1, 1, 1);
    m_calendar = new QCalendarWidget(m_popup);
    m_calendar->setGridVisible(true);
    layout->addWidget(m_calendar);
    connect(m_button, &QToolButton::clicked, this, [this] { showCalendar(); });
    connect(m_calendar, &QCalendarWidget::clicked, this, [this](const QDate &d) {
        setDate(d);
        m_popup->hide();
        emit closeUp();
    });
    connect(m_calendar, &QCalendarWidget::activated, this, [this](const QDate &d) {
        setDate(d);
        m_popup->hide();
        emit closeUp();
    });
    setTextMargins(0, 0, 18, 0);
}

QDate DateEdit::date() const {
    return QDate::fromString(ymd(), QStringLiteral("yyyyMMdd"));
}

void DateEdit::setDate(const QDate &date) {
    setYmd(date.toString(QStringLiteral("yyyyMMdd")));
}

void DateEdit::showCalendar() {
    const QDate current = date();
    m_calendar->setSelectedDate(current.isValid() ? current : Now().date());
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
    m_calendar->setFocus();
}

void DateEdit::resizeEvent(QResizeEvent *event) {
    MaskedEdit::resizeEvent(event);
    m_button->setGeometry(width() - 18, 1, 17, height() - 2);
}

void DateEdit::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier)) {
        showCalendar();
        return;
    }
    MaskedEdit::keyPressEvent(event);
}

// ---- NumberEdit -----------------------------------------------------------------

NumberEdit::NumberEdit(QWidget *parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(this, &QLineEdit::textEdited, this, [this](const QString &t) {
        QString clean;
        for (QChar c : t)
            if (c.isDigit() || ((c == u'-') && clean.isEmpty()) ||
                (c == u'.' && !clean.contains(u'.')))
                clean.append(c);
        m_value = clean;
        if (clean != t)
            setText(clean);
    });
}

QString NumberEdit::value() const {
    return m_value;
}

void NumberEdit::setValue(const QString &value) {
    m_value = QString(value).remove(u',');
    refresh();
}

void NumberEdit::refresh() {
    setText(hasFocus() ? m_value : FormatNumberText(m_value, m_format));
}

void NumberEdit::focusInEvent(QFocusEvent *event) {
    setText(m_value);
    QLineEdit::focusInEvent(event);
}

void NumberEdit::focusOutEvent(QFocusEvent *event) {
    QLineEdit::focusOutEvent(event);
    setText(FormatNumberText(m_value, m_format));
}

// ---- ValueLabel, ChoiceBox --------------------------------------------------------

ValueLabel::ValueLabel(QWidget *parent) : QLabel(parent) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setLineWidth(1);
    setMinimumHeight(21);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setMargin(2);
}

ChoiceBox::ChoiceBox(QWidget *parent) : QComboBox(parent) {}

void ChoiceBox::setItems(const QStringList &texts, const QStringList &values) {
    clear();
    m_values.clear();
    for (qsizetype i = 0; i < texts.size(); ++i)
        addItem(texts.at(i), values.value(i));
}

void ChoiceBox::addItem(const QString &text, const QString &value) {
    QComboBox::addItem(text);
    m_values.append(value);
}

QString ChoiceBox::value() const {
    return m_values.value(currentIndex());
}

bool ChoiceBox::setValue(const QString &value) {
    const qsizetype i = m_values.indexOf(value);
    if (i < 0)
        return false;
    setCurrentIndex(int(i));
    return true;
}

void SetImeAlphanumeric(QWidget *field) {
    field->setAttribute(Qt::WA_InputMethodEnabled, false);
    field->setInputMethodHints(field->inputMethodHints() | Qt::ImhPreferLatin |
                               Qt::ImhNoPredictiveText);
}

} // namespace kelo::controls
