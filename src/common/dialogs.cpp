#include "common/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QMessageBox>
#include <QMimeDatabase>

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

} // namespace

// KELO_DIALOGS=stderr: messages are written to the standard error stream and
// questions answered No, for runs without anyone to answer (process tests); a file to open
// is the one KELO_OPEN_FILE names (none when it is not set).
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

} // namespace kelo
