#pragma once

// The HTML of the web pages: sign-in, the list of reports, a report with its prompt and its
// pages, and the messages. Every text from the database, a definition or the request is
// escaped; the pages carry no script and no inline style (the style sheet is /web/style.css).

#include "common/reportcatalogue.h"
#include "report/document.h"

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

namespace kelo::web {

struct Session;

// A field of a report's prompt.
struct FormField {
    QString name, caption;
    QString type; // text, date, month, number
    QString value;
    bool hasChoices = false;
    std::vector<std::pair<QString, QString>> choices; // value, text shown
};

// What a report page shows: the prompt and, once run, a stretch of the pages.
struct ReportView {
    QString action = QStringLiteral("/web/report"); // where the prompt is sent
    QString file, title; // file: the definition, sent with the prompt; none for the daily set
    QString note;        // shown above the pages
    std::vector<FormField> fields;
    QString error; // a refused value or a failed run, shown above the pages
    QString docId; // empty when nothing was laid out
    const report::Document *document = nullptr;
    int from = 1; // the first page shown
};

// How many pages one report page shows; further ones are a link away.
constexpr int kPagesShown = 10;
// Resolution of the page pictures.
constexpr double kPageDpi = 144;

QByteArray SignInPage(const QString &message, const QString &empNo);
// dailySet: whether the employee may open the daily report set (linked above the list).
QByteArray ListPage(const Session &session, const std::vector<CatalogueEntry> &entries,
                    const QString &search, bool dailySet);
QByteArray ReportPage(const Session &session, const ReportView &view);
QByteArray MessagePage(const Session *session, const QString &title, const QString &message);
QByteArray StyleSheet();

// The value of a form field for an HTML input (dates YYYY-MM-DD, months YYYY-MM) and back
// (the definition's YYYYMMDD and YYYYMM; other texts as they are).
QString InputValue(const QString &type, const QString &value);
QString FromInput(const QString &type, const QString &input);

// A location of the web pages with its query, each value percent-encoded as UTF-8.
QByteArray Link(const QByteArray &path, const std::vector<std::pair<QString, QString>> &query);

} // namespace kelo::web
