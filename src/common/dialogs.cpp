#include "common/dialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>

#include <cstdio>

namespace kelo {

QString ApplicationTitle() {
    return QStringLiteral("경영정보관리");
}

Dialogs::~Dialogs() = default;

namespace {

std::unique_ptr<Dialogs> &installed() {
    static std::unique_ptr<Dialogs> dialogs;
    return dialogs;
}

QWidget *owner() {
    return QApplication::activeWindow();
}

QMessageBox::StandardButton box(QMessageBox::Icon icon, const QString &text,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton) {
    QMessageBox mb(icon, ApplicationTitle(), text, buttons, owner());
    mb.setDefaultButton(defaultButton);
    mb.setEscapeButton(buttons.testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok);
    return QMessageBox::StandardButton(mb.exec());
}

// Icons and type names of the files a dialog lists, from their names alone. The stock
// provider reads the first bytes of each file to tell its type, and closing that descriptor
// drops every lock this process holds on the file: the SQLite database of the connection,
// when it lies in the folder, would lose its locks, and the next program that closes the
// database deletes the live write-ahead log under the connection, saves and all.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo &info) const override {
        if (!info.isFile())
            return QFileIconProvider::icon(info.isDir() ? Folder : File);
        const QIcon themed = QIcon::fromTheme(mimeType(info).iconName());
        return themed.isNull() ? QFileIconProvider::icon(File) : themed;
    }
    QString type(const QFileInfo &info) const override {
        if (!info.isFile())
            return QFileIconProvider::type(info);
        const QMimeType mime = mimeType(info);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    QMimeType mimeType(const QFileInfo &info) const {
        return m_mimes.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    }
    QMimeDatabase m_mimes;
};

// The file dialogs are Qt's own, never the desktop's: those read the files they list too.
QString fileDialog(QFileDialog::AcceptMode mode, const QString &caption, const QString &dir,
                   const QString &filter) {
    static NameOnlyIconProvider icons;
    QFileDialog dialog(owner(), caption, dir, filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&icons);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptSave) {
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

// The print dialog: printer, pages, copies.
std::optional<PrintChoice> printDialog(const QStringList &printers, const QString &defaultPrinter,
                                       int pageCount) {
    QDialog dialog(owner());
    dialog.setObjectName(QStringLiteral("dlgPrint"));
    dialog.setWindowTitle(QStringLiteral("인쇄"));
    auto *form = new QFormLayout(&dialog);

    auto *printer = new QComboBox(&dialog);
    printer->setObjectName(QStringLiteral("cboPrinter"));
    for (const QString &name : printers)
        printer->addItem(name, name);
    if (printers.isEmpty())
        printer->addItem(QStringLiteral("PDF 파일 (설치된 프린터가 없습니다)"), QString());
    printer->setCurrentIndex(std::max(0, printer->findData(defaultPrinter)));
    form->addRow(QStringLiteral("프린터"), printer);

    const int last = std::max(1, pageCount);
    auto *all = new QRadioButton(QStringLiteral("모든 페이지 (%1쪽)").arg(last), &dialog);
    all->setObjectName(QStringLiteral("rbtAllPages"));
    auto *range = new QRadioButton(QStringLiteral("페이지"), &dialog);
    range->setObjectName(QStringLiteral("rbtPageRange"));
    auto *from = new QSpinBox(&dialog);
    from->setObjectName(QStringLiteral("spnFromPage"));
    auto *to = new QSpinBox(&dialog);
    to->setObjectName(QStringLiteral("spnToPage"));
    for (QSpinBox *box : {from, to})
        box->setRange(1, last);
    from->setValue(1);
    to->setValue(last);
    auto *group = new QButtonGroup(&dialog);
    group->addButton(all);
    group->addButton(range);
    all->setChecked(true);
    auto *pages = new QWidget(&dialog);
    auto *row = new QHBoxLayout(pages);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(all);
    row->addSpacing(12);
    row->addWidget(range);
    row->addWidget(from);
    row->addWidget(new QLabel(QStringLiteral("~"), pages));
    row->addWidget(to);
    row->addStretch();
    form->addRow(QStringLiteral("인쇄 범위"), pages);
    // Changing a page picks the range; the two ends stay in order.
    QObject::connect(from, &QSpinBox::valueChanged, &dialog, [from, to, range](int v) {
        if (to->value() < v)
            to->setValue(v);
        range->setChecked(true);
    });
    QObject::connect(to, &QSpinBox::valueChanged, &dialog, [from, to, range](int v) {
        if (from->value() > v)
            from->setValue(v);
        range->setChecked(true);
    });

    auto *copies = new QSpinBox(&dialog);
    copies->setObjectName(QStringLiteral("spnCopies"));
    copies->setRange(1, 99);
    copies->setValue(1);
    copies->setSuffix(QStringLiteral(" 부"));
    form->addRow(QStringLiteral("매수"), copies);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("인쇄"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("bbtPrintOk"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("bbtPrintCancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    PrintChoice choice;
    choice.printer = printer->currentData().toString();
    choice.fromPage = range->isChecked() ? from->value() : 1;
    choice.toPage = range->isChecked() ? to->value() : last;
    choice.copies = copies->value();
    return choice;
}

} // namespace

// KELO_DIALOGS=stderr: messages are written to the standard error stream and
// questions answered No, for runs without anyone to answer (process tests); a file to open
// is the one KELO_OPEN_FILE names (none when it is not set).
// The prompt's field for one value, named by its kind's prefix.
QWidget *promptInput(QWidget *parent, const PromptField &f) {
    if (!f.choices.empty()) {
        auto *box = new QComboBox(parent);
        box->setObjectName(QStringLiteral("cbo") + f.name);
        for (const auto &[value, text] : f.choices)
            box->addItem(text.isEmpty() && value.isEmpty() ? QStringLiteral("(전체)") : text,
                         value);
        box->setCurrentIndex(std::max(0, box->findData(f.value)));
        return box;
    }
    if (f.kind == PromptField::Kind::Date || f.kind == PromptField::Kind::Month) {
        const bool month = f.kind == PromptField::Kind::Month;
        auto *edit = new QDateEdit(parent);
        edit->setObjectName(QStringLiteral("ded") + f.name);
        edit->setCalendarPopup(!month);
        edit->setDisplayFormat(month ? QStringLiteral("yyyy-MM") : QStringLiteral("yyyy-MM-dd"));
        edit->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhLatinOnly);
        const QDate date =
            month ? QDate::fromString(f.value + QStringLiteral("01"), QStringLiteral("yyyyMMdd"))
                  : QDate::fromString(f.value, QStringLiteral("yyyyMMdd"));
        edit->setDate(date.isValid() ? date : QDate::currentDate());
        return edit;
    }
    auto *edit = new QLineEdit(f.value, parent);
    edit->setObjectName(QStringLiteral("edt") + f.name);
    edit->setMaxLength(200);
    if (f.kind == PromptField::Kind::Number) {
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("^-?[0-9]{0,15}(\\.[0-9]{0,6})?$")), edit));
        edit->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
        edit->setAlignment(Qt::AlignRight);
    }
    return edit;
}

QString promptValue(const QWidget *input, const PromptField &f) {
    if (const auto *box = qobject_cast<const QComboBox *>(input))
        return box->currentData().toString();
    if (const auto *edit = qobject_cast<const QDateEdit *>(input))
        return edit->date().toString(f.kind == PromptField::Kind::Month
                                         ? QStringLiteral("yyyyMM")
                                         : QStringLiteral("yyyyMMdd"));
    return qobject_cast<const QLineEdit *>(input)->text().trimmed();
}

std::optional<QStringList> promptDialog(const QString &title,
                                        const std::vector<PromptField> &fields) {
    QDialog dialog(owner());
    dialog.setObjectName(QStringLiteral("dlgPrompt"));
    dialog.setWindowTitle(title);
    auto *form = new QFormLayout(&dialog);
    std::vector<QWidget *> inputs;
    for (const PromptField &f : fields) {
        QWidget *input = promptInput(&dialog, f);
        auto *label = new QLabel(f.caption, &dialog);
        label->setBuddy(input);
        form->addRow(label, input);
        inputs.push_back(input);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("조회"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("bbtPromptOk"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("bbtPromptCancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (!inputs.empty())
        inputs.front()->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QStringList values;
    for (size_t i = 0; i < fields.size(); ++i)
        values << promptValue(inputs[i], fields[i]);
    return values;
}

class StderrDialogs : public Dialogs {
public:
    void showError(const QString &message) override { write("ERROR", message); }
    bool askYesNo(const QString &question) override {
        write("QUESTION", question);
        return false;
    }
    void showMessage(const QString &message) override { write("MESSAGE", message); }
    QString getOpenFileName(const QString &, const QString &, const QString &) override {
        return qEnvironmentVariable("KELO_OPEN_FILE");
    }
    QString getSaveFileName(const QString &, const QString &, const QString &) override {
        return QString();
    }
    // Nobody to choose: nothing is printed.
    std::optional<PrintChoice> printSetup(const QStringList &, const QString &,
                                          int pageCount) override {
        write("PRINT", QStringLiteral("%1 pages, not printed").arg(pageCount));
        return std::nullopt;
    }

    // Unattended: the values the fields start with.
    std::optional<QStringList> askValues(const QString &title,
                                         const std::vector<PromptField> &fields) override {
        QStringList values;
        for (const PromptField &f : fields)
            values << f.value;
        write("PROMPT", QStringLiteral("%1: %2").arg(title, values.join(QStringLiteral(", "))));
        return values;
    }

private:
    static void write(const char *kind, const QString &text) {
        QString flat = text;
        flat.replace(u'\r', u'\n');
        std::fprintf(stderr, "%s: %s\n", kind, flat.toUtf8().constData());
        std::fflush(stderr);
    }
};

Dialogs &Dialogs::instance() {
    static QtDialogs real;
    static StderrDialogs toStderr;
    auto &d = installed();
    if (d)
        return *d;
    static const bool useStderr = qgetenv("KELO_DIALOGS") == "stderr";
    return useStderr ? static_cast<Dialogs &>(toStderr) : static_cast<Dialogs &>(real);
}

std::unique_ptr<Dialogs> Dialogs::install(std::unique_ptr<Dialogs> dialogs) {
    auto previous = std::move(installed());
    installed() = std::move(dialogs);
    return previous;
}

void QtDialogs::showError(const QString &message) {
    box(QMessageBox::Critical, message, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtDialogs::askYesNo(const QString &question) {
    return box(QMessageBox::Question, question, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::Yes) == QMessageBox::Yes;
}

void QtDialogs::showMessage(const QString &message) {
    box(QMessageBox::Information, message, QMessageBox::Ok, QMessageBox::Ok);
}

QString QtDialogs::getOpenFileName(const QString &caption, const QString &dir,
                                   const QString &filter) {
    return fileDialog(QFileDialog::AcceptOpen, caption, dir, filter);
}

QString QtDialogs::getSaveFileName(const QString &caption, const QString &dir,
                                   const QString &filter) {
    return fileDialog(QFileDialog::AcceptSave, caption, dir, filter);
}

std::optional<PrintChoice> QtDialogs::printSetup(const QStringList &printers,
                                                 const QString &defaultPrinter, int pageCount) {
    return printDialog(printers, defaultPrinter, pageCount);
}

std::optional<QStringList> QtDialogs::askValues(const QString &title,
                                                const std::vector<PromptField> &fields) {
    return promptDialog(title, fields);
}

void ShowError(const QString &message) {
    Dialogs::instance().showError(message);
}
void ShowErrorReport(const std::exception &error) {
    const QString message = QString::fromUtf8(error.what());
    if (!message.isEmpty())
        ShowError(QStringLiteral("오류가 발생되었습니다.\r\r") + message);
}
bool AskYesNo(const QString &question) {
    return Dialogs::instance().askYesNo(question);
}
void ShowMessage(const QString &message) {
    Dialogs::instance().showMessage(message);
}
std::optional<PrintChoice> PrintSetup(const QStringList &printers, const QString &defaultPrinter,
                                      int pageCount) {
    return Dialogs::instance().printSetup(printers, defaultPrinter, pageCount);
}

} // namespace kelo

namespace kelo {
std::optional<QStringList> AskValues(const QString &title, const std::vector<PromptField> &fields) {
    return Dialogs::instance().askValues(title, fields);
}
} // namespace kelo
