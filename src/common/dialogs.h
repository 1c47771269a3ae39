#pragma once

#include <QString>
#include <QStringList>
#include <exception>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QWidget;

// The one way the program speaks to the user in message boxes and file dialogs.
// The program runs on the real service (message boxes titled with the
// application title); tests install a scripted one that records every message
// and answers questions from a queue.
namespace kelo {

// What the user chose in the print dialog.
struct PrintChoice {
    QString printer;  // the printer's name; empty: a PDF file in the report folder
    int fromPage = 1; // the pages printed, from 1, both ends included
    int toPage = 1;
    int copies = 1; // each copy whole (collated)
};

// One value a prompt asks for.
struct PromptField {
    enum class Kind { Text, Date, Month, Number };
    QString name;    // the field's component name after its prefix (ded, cbo, edt)
    QString caption; // the label before it
    Kind kind = Kind::Text;
    QString value; // the value it starts with: yyyymmdd, yyyymm, a number, text
    // The values to choose from (value, text shown); empty: the value is typed.
    std::vector<std::pair<QString, QString>> choices;
};

// "경영정보관리", the caption of every message box.
QString ApplicationTitle();

class Dialogs {
public:
    virtual ~Dialogs();

    // Error icon, one OK button.
    virtual void showError(const QString &message) = 0;
    // Question icon, Yes and No with Yes the default; true for Yes.
    virtual bool askYesNo(const QString &question) = 0;
    // Information icon, one OK button.
    virtual void showMessage(const QString &message) = 0;
    // Empty text when the user cancels.
    virtual QString getOpenFileName(const QString &caption, const QString &dir,
                                    const QString &filter) = 0;
    virtual QString getSaveFileName(const QString &caption, const QString &dir,
                                    const QString &filter) = 0;
    // The print dialog of a document of pageCount pages: one of the printers (the default
    // chosen at first; with none, a PDF file in the report folder), all pages or a range,
    // the number of copies. Nothing when the user cancels.
    virtual std::optional<PrintChoice> printSetup(const QStringList &printers,
                                                  const QString &defaultPrinter, int pageCount) = 0;

    // A form of the fields under title (dates with the calendar, months, numbers, texts,
    // lists as choices), starting with their values; the values in the fields' order when
    // the user confirms, nothing when the user cancels.
    virtual std::optional<QStringList> askValues(const QString &title,
                                                 const std::vector<PromptField> &fields) = 0;

    // The service in force; the real one unless another was installed.
    static Dialogs &instance();
    // Installs a service and returns the one it replaces (null for the built-in one).
    static std::unique_ptr<Dialogs> install(std::unique_ptr<Dialogs> dialogs);
};

// Message boxes owned by the active window.
class QtDialogs : public Dialogs {
public:
    void showError(const QString &message) override;
    bool askYesNo(const QString &question) override;
    void showMessage(const QString &message) override;
    QString getOpenFileName(const QString &caption, const QString &dir,
                            const QString &filter) override;
    QString getSaveFileName(const QString &caption, const QString &dir,
                            const QString &filter) override;
    std::optional<PrintChoice> printSetup(const QStringList &printers,
                                          const QString &defaultPrinter, int pageCount) override;
    std::optional<QStringList> askValues(const QString &title,
                                         const std::vector<PromptField> &fields) override;
};

void ShowError(const QString &message);
// "오류가 발생되었습니다." with the exception's text below it; nothing for an exception without
// text.
void ShowErrorReport(const std::exception &error);
bool AskYesNo(const QString &question);
void ShowMessage(const QString &message);
std::optional<PrintChoice> PrintSetup(const QStringList &printers, const QString &defaultPrinter,
                                      int pageCount);
std::optional<QStringList> AskValues(const QString &title, const std::vector<PromptField> &fields);

} // namespace kelo
