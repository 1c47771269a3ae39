#pragma once

#include "common/dialogs.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <vector>

namespace kelo::test {

// The dialogs service of the tests: every message is recorded, questions are
// answered from a queue, and a question with no answer queued fails the test
// (and is answered No). File dialogs answer from their own queue.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Error, Question, Message };
    struct Entry {
        Kind kind;
        QString text;
    };

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
    // The next prompt's answer; nothing: the user cancels.
    void answerValues(std::optional<QStringList> values) { m_values.push_back({false, values}); }
    // The next prompt is confirmed with the values it starts with.
    void answerOfferedValues() { m_values.push_back({true, std::nullopt}); }
    // The prompts shown: their titles and fields.
    struct PromptOffer {
        QString title;
        std::vector<PromptField> fields;
    };
    const std::vector<PromptOffer> &promptOffers() const { return m_promptOffers; }

    void answer(bool yes) { m_answers.push_back(yes); }
    void answerFile(const QString &path) { m_files.push_back(path); }
    // The next print dialog's answer; nothing: the user cancels.
    void answerPrint(std::optional<PrintChoice> choice) { m_prints.push_back(choice); }

    // The print dialogs shown: what each offered.
    struct PrintOffer {
        QStringList printers;
        QString defaultPrinter;
        int pageCount = 0;
    };
    const std::vector<PrintOffer> &printOffers() const { return m_printOffers; }

    const std::vector<Entry> &log() const { return m_log; }
    QStringList errors() const;
    QStringList questions() const;
    QStringList messages() const;
    bool unansweredLeft() const {
        return !m_answers.empty() || !m_prints.empty() || !m_values.empty();
    }
    void clear() { m_log.clear(); }

private:
    std::vector<Entry> m_log;
    std::deque<bool> m_answers;
    std::deque<QString> m_files;
    std::deque<std::optional<PrintChoice>> m_prints;
    std::vector<PrintOffer> m_printOffers;
    struct ValuesAnswer {
        bool offered; // the values the prompt starts with
        std::optional<QStringList> values;
    };
    std::deque<ValuesAnswer> m_values;
    std::vector<PromptOffer> m_promptOffers;
};

// Installs a ScriptedDialogs for the life of the scope and restores the
// previous service afterwards.
class ScriptedDialogsScope {
public:
    ScriptedDialogsScope();
    ~ScriptedDialogsScope();
    ScriptedDialogs &operator*() { return *m_dialogs; }
    ScriptedDialogs *operator->() { return m_dialogs; }

private:
    ScriptedDialogs *m_dialogs;
    std::unique_ptr<Dialogs> m_previous;
};

} // namespace kelo::test
