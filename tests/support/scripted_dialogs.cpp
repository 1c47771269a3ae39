#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace kelo::test {

void ScriptedDialogs::showError(const QString &message) {
    m_log.push_back({Kind::Error, message});
}

bool ScriptedDialogs::askYesNo(const QString &question) {
    m_log.push_back({Kind::Question, question});
    if (m_answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << question.toStdString();
        return false;
    }
    const bool yes = m_answers.front();
    m_answers.pop_front();
    return yes;
}

void ScriptedDialogs::showMessage(const QString &message) {
    m_log.push_back({Kind::Message, message});
}

QString ScriptedDialogs::getOpenFileName(const QString &caption, const QString &, const QString &) {
    if (m_files.empty()) {
        ADD_FAILURE() << "unexpected open-file dialog: " << caption.toStdString();
        return QString();
    }
    const QString f = m_files.front();
    m_files.pop_front();
    return f;
}

QString ScriptedDialogs::getSaveFileName(const QString &caption, const QString &dir,
                                         const QString &filter) {
    return getOpenFileName(caption, dir, filter);
}

std::optional<PrintChoice> ScriptedDialogs::printSetup(const QStringList &printers,
                                                       const QString &defaultPrinter,
                                                       int pageCount) {
    m_printOffers.push_back({printers, defaultPrinter, pageCount});
    if (m_prints.empty()) {
        ADD_FAILURE() << "unexpected print dialog";
        return std::nullopt;
    }
    const std::optional<PrintChoice> choice = m_prints.front();
    m_prints.pop_front();
    return choice;
}

std::optional<QStringList> ScriptedDialogs::askValues(const QString &title,
                                                      const std::vector<PromptField> &fields) {
    m_promptOffers.push_back({title, fields});
    if (m_values.empty()) {
        ADD_FAILURE() << "unexpected prompt " << title.toStdString();
        return std::nullopt;
    }
    const ValuesAnswer answer = m_values.front();
    m_values.pop_front();
    if (!answer.offered)
        return answer.values;
    QStringList values;
    for (const PromptField &f : fields)
        values << f.value;
    return values;
}

namespace {
QStringList texts(const std::vector<ScriptedDialogs::Entry> &log, ScriptedDialogs::Kind kind) {
    QStringList out;
    for (const auto &e : log)
        if (e.kind == kind)
            out.append(e.text);
    return out;
}
} // namespace

QStringList ScriptedDialogs::errors() const {
    return texts(m_log, Kind::Error);
}
QStringList ScriptedDialogs::questions() const {
    return texts(m_log, Kind::Question);
}
QStringList ScriptedDialogs::messages() const {
    return texts(m_log, Kind::Message);
}

ScriptedDialogsScope::ScriptedDialogsScope() {
    auto dialogs = std::make_unique<ScriptedDialogs>();
    m_dialogs = dialogs.get();
    m_previous = Dialogs::install(std::move(dialogs));
}

ScriptedDialogsScope::~ScriptedDialogsScope() {
    if (m_dialogs->unansweredLeft())
        ADD_FAILURE() << "answers were queued that no question took";
    Dialogs::install(std::move(m_previous));
}

} // namespace kelo::test
