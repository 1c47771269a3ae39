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

    void answer(bool yes) { m_answers.push_back(yes); }
    void answerFile(const QString &path) { m_files.push_back(path); }

    const std::vector<Entry> &log() const { return m_log; }
    QStringList errors() const;
    QStringList questions() const;
    QStringList messages() const;
    bool unansweredLeft() const { return !m_answers.empty(); }
    void clear() { m_log.clear(); }

private:
    std::vector<Entry> m_log;
    std::deque<bool> m_answers;
    std::deque<QString> m_files;
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
