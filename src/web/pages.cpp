#include "web/pages.h"

#include "report/textfit.h"
#include "web/sessions.h"

#include <QMap>
#include <QUrl>

#include <algorithm>

namespace kelo::web {

namespace {

// Text for the page: escaped, and without control characters (a NUL or a bidirectional
// override from a request is not echoed).
QString Esc(const QString &text) {
    QString clean = text;
    for (QChar &c : clean)
        if ((c.category() == QChar::Other_Control && c != u'\n' && c != u'\t') ||
            c.category() == QChar::Other_Format)
            c = QChar::ReplacementCharacter;
    QString out = clean.toHtmlEscaped();
    out.replace(u'\'', QStringLiteral("&#39;"));
    return out;
}

QString Num(double value) {
    return QString::number(value, 'f', 2);
}

QByteArray Page(const QString &title, const QString &body, const Session *session) {
    QString head =
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"ko\"><head><meta charset=\"utf-8\">"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
                       "<title>%1</title><link rel=\"stylesheet\" href=\"/web/style.css\">"
                       "</head><body>")
            .arg(Esc(title));
    if (session) {
        head +=
            QStringLiteral("<header><a class=\"home\" href=\"/web/reports\">보고서 목록</a>"
                           "<span class=\"who\">%1 (%2)</span>"
                           "<form method=\"post\" action=\"/web/signout\"><button id=\"signout\" "
                           "type=\"submit\">로그아웃</button></form></header>")
                .arg(Esc(session->name), Esc(session->empNo));
    }
    return (head + QStringLiteral("<main>") + body + QStringLiteral("</main></body></html>\n"))
        .toUtf8();
}

QString Input(const FormField &f) {
    const QString id = QStringLiteral("p_") + f.name;
    QString out = QStringLiteral("<label for=\"%1\">%2</label>").arg(Esc(id), Esc(f.caption));
    if (f.hasChoices) {
        out += QStringLiteral("<select id=\"%1\" name=\"%1\">").arg(Esc(id));
        // The empty value stands for every one, unless the list names it itself.
        const bool listsEmpty = std::any_of(f.choices.begin(), f.choices.end(),
                                            [](const auto &c) { return c.first.isEmpty(); });
        if (!listsEmpty)
            out += QStringLiteral("<option value=\"\"%1>(전체)</option>")
                       .arg(f.value.isEmpty() ? QStringLiteral(" selected") : QString());
        for (const auto &[value, text] : f.choices)
            out += QStringLiteral("<option value=\"%1\"%2>%3</option>")
                       .arg(Esc(value), value == f.value ? QStringLiteral(" selected") : QString(),
                            Esc(text));
        return out + QStringLiteral("</select>");
    }
    const QString type = f.type == u"date"     ? QStringLiteral("date")
                         : f.type == u"month"  ? QStringLiteral("month")
                         : f.type == u"number" ? QStringLiteral("text\" inputmode=\"decimal")
                                               : QStringLiteral("text");
    return out + QStringLiteral("<input id=\"%1\" name=\"%1\" type=\"%2\" value=\"%3\">")
                     .arg(Esc(id), type, Esc(InputValue(f.type, f.value)));
}

// A page as an SVG: the picture drawn by the engine with its texts over it, invisible but
// selectable and found by the browser's search, each stretched to the width it has there.
QString PageSvg(const report::Page &page, const QString &docId, int number) {
    const QString src =
        QString::fromUtf8(Link("/web/page", {{QStringLiteral("doc"), docId},
                                             {QStringLiteral("n"), QString::number(number)}}));
    QString out = QStringLiteral("<figure class=\"page\" id=\"page%1\"><svg viewBox=\"0 0 %2 %3\" "
                                 "role=\"img\" aria-label=\"%1쪽\"><image href=\"%4\" width=\"%2\" "
                                 "height=\"%3\"/>")
                      .arg(number)
                      .arg(Num(page.width), Num(page.height), Esc(src));
    constexpr double kMmPerPoint = 25.4 / 72.0;
    for (const report::Primitive &p : page.items) {
        if (p.kind != report::Primitive::Kind::Text || p.text.trimmed().isEmpty() || p.wordWrap)
            continue;
        const QString text = report::DrawnText(p.text);
        const double size = p.font.pointSize * kMmPerPoint;
        const QRectF bounds = report::TextBounds(p);
        const double baseline = bounds.center().y() + size * 0.35;
        out +=
            QStringLiteral("<text x=\"%1\" y=\"%2\" font-size=\"%3\" textLength=\"%4\" "
                           "lengthAdjust=\"spacingAndGlyphs\">%5</text>")
                .arg(Num(bounds.left()), Num(baseline), Num(size), Num(bounds.width()), Esc(text));
    }
    return out + QStringLiteral("</svg></figure>");
}

} // namespace

QString InputValue(const QString &type, const QString &value) {
    if (type == u"date" && value.size() == 8)
        return value.left(4) + u'-' + value.mid(4, 2) + u'-' + value.mid(6);
    if (type == u"month" && value.size() == 6)
        return value.left(4) + u'-' + value.mid(4);
    return value;
}

QString FromInput(const QString &type, const QString &input) {
    if ((type == u"date" && input.size() == 10 && input[4] == u'-' && input[7] == u'-') ||
        (type == u"month" && input.size() == 7 && input[4] == u'-'))
        return QString(input).remove(u'-');
    return input;
}

QByteArray Link(const QByteArray &path, const std::vector<std::pair<QString, QString>> &query) {
    QByteArray out = path;
    char separator = '?';
    for (const auto &[name, value] : query) {
        out += separator + QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value);
        separator = '&';
    }
    return out;
}

QByteArray SignInPage(const QString &message, const QString &empNo) {
    QString body = QStringLiteral("<h1>Kelo_S 보고서</h1>");
    if (!message.isEmpty())
        body += QStringLiteral("<p class=\"error\" id=\"message\">%1</p>").arg(Esc(message));
    body += QStringLiteral(
                "<form class=\"signin\" method=\"post\" action=\"/web/signin\">"
                "<label for=\"emp\">사원번호</label>"
                "<input id=\"emp\" name=\"emp\" inputmode=\"numeric\" autocomplete=\"username\" "
                "maxlength=\"8\" value=\"%1\"%2>"
                "<label for=\"password\">비밀번호</label>"
                "<input id=\"password\" name=\"password\" type=\"password\" "
                "autocomplete=\"current-password\"%3>"
                "<button id=\"signin\" type=\"submit\">로그인</button></form>")
                // After a refusal the number stays and the password is asked again.
                .arg(Esc(empNo), empNo.isEmpty() ? QStringLiteral(" autofocus") : QString(),
                     empNo.isEmpty() ? QString() : QStringLiteral(" autofocus"));
    return Page(QStringLiteral("로그인 - Kelo_S 보고서"), body, nullptr);
}

QByteArray ListPage(const Session &session, const std::vector<CatalogueEntry> &entries,
                    const QString &search, bool dailySet) {
    QString body;
    if (dailySet && search.isEmpty())
        body +=
            QStringLiteral("<p class=\"daily\"><a id=\"daily\" href=\"/web/daily\">일일 경영보고서"
                           "</a><span>어제의 보고서 묶음</span></p>");
    body += QStringLiteral("<h1>보고서 목록</h1>"
                           "<form class=\"search\" method=\"get\" action=\"/web/reports\">"
                           "<input id=\"q\" name=\"q\" type=\"search\" value=\"%1\" "
                           "placeholder=\"보고서 찾기\" aria-label=\"보고서 찾기\">"
                           "<button type=\"submit\">찾기</button></form>")
                .arg(Esc(search));
    if (entries.empty()) {
        body += QStringLiteral("<p id=\"message\">%1</p>")
                    .arg(search.isEmpty() ? QStringLiteral("열 수 있는 보고서가 없습니다.")
                                          : QStringLiteral("찾는 보고서가 없습니다."));
        return Page(QStringLiteral("보고서 목록"), body, &session);
    }
    QString folder = QStringLiteral("\x01");
    for (const CatalogueEntry &e : entries) {
        if (e.folder != folder) {
            if (folder != QStringLiteral("\x01"))
                body += QStringLiteral("</ul></section>");
            folder = e.folder;
            body += QStringLiteral("<section><h2>%1</h2><ul class=\"reports\">")
                        .arg(Esc(folder.isEmpty() ? QStringLiteral("기타") : folder));
        }
        body += QStringLiteral("<li><a href=\"%1\">%2</a></li>")
                    .arg(Esc(QString::fromUtf8(
                             Link("/web/report", {{QStringLiteral("report"), e.file}}))),
                         Esc(e.title));
    }
    body += QStringLiteral("</ul></section>");
    return Page(QStringLiteral("보고서 목록"), body, &session);
}

QByteArray ReportPage(const Session &session, const ReportView &view) {
    QString body = QStringLiteral("<h1>%1</h1>").arg(Esc(view.title));
    body += QStringLiteral("<form class=\"prompt\" method=\"get\" action=\"%1\">")
                .arg(Esc(view.action));
    if (!view.file.isEmpty())
        body += QStringLiteral("<input type=\"hidden\" name=\"report\" value=\"%1\">")
                    .arg(Esc(view.file));
    for (const FormField &f : view.fields)
        body += QStringLiteral("<div class=\"field\">") + Input(f) + QStringLiteral("</div>");
    body += QStringLiteral("<button id=\"run\" type=\"submit\">조회</button></form>");
    if (!view.error.isEmpty())
        body += QStringLiteral("<p class=\"error\" id=\"message\">%1</p>").arg(Esc(view.error));
    if (!view.note.isEmpty())
        body += QStringLiteral("<p class=\"note\" id=\"note\">%1</p>").arg(Esc(view.note));
    if (view.document) {
        const report::Document &doc = *view.document;
        const int count = int(doc.pages.size());
        body +=
            QStringLiteral("<p class=\"downloads\"><span id=\"pagecount\">%1쪽</span> "
                           "<a id=\"pdf\" href=\"%2\">PDF</a> <a id=\"xlsx\" href=\"%3\">"
                           "Excel</a></p>")
                .arg(count)
                .arg(
                    Esc(QString::fromUtf8(Link("/web/pdf", {{QStringLiteral("doc"), view.docId}}))),
                    Esc(QString::fromUtf8(
                        Link("/web/xlsx", {{QStringLiteral("doc"), view.docId}}))));
        if (doc.cutTexts > 0)
            body += QStringLiteral("<p class=\"note\">%L1자가 넘는 값(%2개)은 앞의 %L1자만 "
                                   "보입니다.</p>")
                        .arg(report::kMaxDrawnText)
                        .arg(doc.cutTexts);
        const int last = std::min(count, view.from + kPagesShown - 1);
        for (int n = view.from; n <= last; ++n)
            body += PageSvg(doc.pages[size_t(n - 1)], view.docId, n);
        if (count > kPagesShown) {
            body += QStringLiteral("<nav class=\"pager\">");
            for (int first = 1; first <= count; first += kPagesShown) {
                const QString label = QStringLiteral("%1–%2쪽").arg(first).arg(
                    std::min(count, first + kPagesShown - 1));
                if (first == view.from)
                    body += QStringLiteral("<strong>%1</strong> ").arg(label);
                else
                    body += QStringLiteral("<a href=\"%1\">%2</a> ")
                                .arg(Esc(QString::fromUtf8(
                                         Link("/web/view",
                                              {{QStringLiteral("doc"), view.docId},
                                               {QStringLiteral("from"), QString::number(first)}}))),
                                     label);
            }
            body += QStringLiteral("</nav>");
        }
    }
    return Page(view.title, body, &session);
}

QByteArray MessagePage(const Session *session, const QString &title, const QString &message) {
    QString body = QStringLiteral("<h1>%1</h1><p class=\"error\" id=\"message\">%2</p>")
                       .arg(Esc(title), Esc(message));
    if (!session)
        body += QStringLiteral("<p><a href=\"/web/\">로그인</a></p>");
    return Page(title, body, session);
}

QByteArray StyleSheet() {
    return R"css(* { box-sizing: border-box; }
body { margin: 0; font-family: "NanumGothic", "Noto Sans CJK KR", sans-serif; font-size: 16px;
       color: #1d2733; background: #eef1f4; }
header { display: flex; flex-wrap: wrap; align-items: center; gap: 8px 16px; padding: 8px 12px;
         background: #21405f; color: #fff; }
header a { color: #fff; font-weight: bold; text-decoration: none; }
header .who { flex: 1; text-align: right; }
header form { margin: 0; }
header button { background: transparent; color: #fff; border: 1px solid #9fb5cc; }
main { max-width: 1000px; margin: 0 auto; padding: 12px; }
h1 { font-size: 1.35em; margin: 8px 0 12px; }
h2 { font-size: 1.05em; margin: 16px 0 6px; color: #21405f; }
form.signin { display: grid; gap: 8px; max-width: 360px; }
input, select, button { font: inherit; padding: 8px 10px; border: 1px solid #9aa7b4;
                        border-radius: 4px; background: #fff; min-height: 44px; }
button { background: #21405f; color: #fff; border-color: #21405f; cursor: pointer; }
form.search { display: flex; gap: 8px; }
form.search input { flex: 1; min-width: 0; }
ul.reports { list-style: none; margin: 0; padding: 0; background: #fff; border-radius: 6px; }
ul.reports li { border-bottom: 1px solid #e1e6eb; }
ul.reports li:last-child { border-bottom: 0; }
ul.reports a { display: block; padding: 12px; color: #1d2733; text-decoration: none; }
form.prompt { display: flex; flex-wrap: wrap; gap: 8px 12px; align-items: flex-end;
              background: #fff; padding: 10px; border-radius: 6px; }
form.prompt .field { display: flex; flex-direction: column; gap: 2px; flex: 1 1 140px; }
form.prompt label { font-size: 0.85em; color: #4a5866; }
.error { color: #a4161a; background: #fde8e8; padding: 8px 10px; border-radius: 4px; }
.note { color: #6b4e00; }
p.daily { display: flex; flex-direction: column; margin: 4px 0 16px; padding: 14px;
          background: #21405f; border-radius: 6px; }
p.daily a { color: #fff; font-size: 1.15em; font-weight: bold; text-decoration: none; }
p.daily span { color: #c9d6e3; font-size: 0.9em; }
.downloads { display: flex; gap: 16px; align-items: center; }
.downloads a { font-weight: bold; }
figure.page { margin: 12px 0; background: #fff; box-shadow: 0 1px 4px rgba(0,0,0,.25); }
figure.page svg { display: block; width: 100%; height: auto; }
figure.page text { fill: transparent; font-family: "NanumGothic", sans-serif; white-space: pre; }
figure.page text::selection { fill: #000; background: rgba(33,64,95,.35); }
nav.pager { display: flex; flex-wrap: wrap; gap: 8px; margin: 12px 0; }
)css";
}

} // namespace kelo::web
