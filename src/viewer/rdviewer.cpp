#include "viewer/rdviewer.h"

#include "common/clock.h"
#include "common/dialogs.h"
#include "common/excelsheet.h"
#include "common/protectedfiles.h"
#include "common/reportlocations.h"
#include "report/output.h"
#include "report/pagebrowser.h"
#include "report/pageview.h"
#include "report/render.h"
#include "report/sheet.h"
#include "viewer/execution.h"
#include "viewer/location.h"
#include "viewer/params.h"
#include "viewer/pictures.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kelo::viewer {

namespace {

constexpr int kFetchTimeoutMs = 10000;

// The location of a file in the folder of a report server's definition.
QUrl Beside(const QUrl &definition, const QString &file) {
    QUrl url = definition;
    QString path = url.path(QUrl::FullyDecoded);
    path = path.left(path.lastIndexOf(u'/') + 1) + QString(file).replace(u'\\', u'/');
    url.setPath(path, QUrl::DecodedMode);
    url.setQuery(QString());
    return url;
}

// While the statements of a report run, the event loop turns inside their tick: windows
// paint and timers run, but of what the user does only the cancel button and Esc come
// through (nothing else may reach the connection or close the window meanwhile).
class RunningReport : public QObject {
public:
    RunningReport(QWidget *cancelButton, bool &cancelled)
        : m_cancel(cancelButton), m_cancelled(cancelled) {
        m_cancelled = false;
        qApp->installEventFilter(this);
    }
    ~RunningReport() override { qApp->removeEventFilter(this); }

    // The tick of the statements: false once the user has cancelled.
    bool tick() {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return !m_cancelled;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
                m_cancelled = true;
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return watched != m_cancel;
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::Close:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::ContextMenu:
            event->ignore();
            return true;
        default:
            return false;
        }
    }

private:
    QPointer<QWidget> m_cancel;
    bool &m_cancelled;
};

} // namespace

struct Rdviewer40::Private {
    explicit Private(db::Connection &c) : connection(c) {}

    db::Connection &connection;
    State state = State::Empty;
    QString location, params, message, status;
    bool asking = false; // the values come from a prompt (OpenReportAsking)
    std::unique_ptr<LoadedReport> report;
    // Where the report opened comes from, and while a variant's bases are read, the files
    // read so far ("A.mrd", its base "B.mrd", ...) and the variants among them.
    ResolvedLocation where;
    QStringList chain;
    std::vector<std::unique_ptr<LoadedReport>> variants;
    // The definition read, while the pictures it places are read one after the other.
    std::unique_ptr<LoadedReport> loading;
    size_t nextPicture = 0;
    report::Document document;
    bool hasDocument = false;
    short zoom = 100;
    short autoAdjust = 0;

    QNetworkAccessManager *network = nullptr;
    QPointer<QNetworkReply> reply;
    bool tooLarge = false;

    QWidget *toolbar = nullptr;
    QToolButton *bbtFirst = nullptr, *bbtPrior = nullptr, *bbtNext = nullptr, *bbtLast = nullptr;
    QToolButton *bbtFitWidth = nullptr, *bbtFitPage = nullptr;
    QToolButton *bbtPrint = nullptr, *bbtPdf = nullptr, *bbtExcel = nullptr;
    QLabel *lblStatus = nullptr;
    QStackedWidget *stack = nullptr;
    QLabel *lblMessage = nullptr;
    QWidget *busy = nullptr;
    QToolButton *bbtCancel = nullptr;
    bool cancelled = false;
    // A fetched definition waits here while another viewer's statements run on the
    // connection, and runs when they have ended.
    std::function<void()> pendingLoad;
    QTimer *retry = nullptr;
    report::PageBrowser *browser = nullptr;
    // The zoom the user chose for the report shown (Ctrl+wheel, the zoom box, the fit
    // buttons), which stands over the program's AutoAdjust and ZoomRatio.
    bool userZoom = false;
    short userAutoAdjust = 0;
    double userRatio = 1.0;

    QString zoomKey() const;
    void loadUserZoom();
    void saveUserZoom();
    void applyZoom();
};

// The zoom per report lives in the user's settings, under the report's name.
QString Rdviewer40::Private::zoomKey() const {
    QString name = report ? report->name : QString();
    if (name.isEmpty())
        name = report ? report->fileName : QString();
    name.replace(u'/', u'_').replace(u'\\', u'_');
    return name.isEmpty() ? QString() : QStringLiteral("ViewerZoom/") + name;
}

static std::unique_ptr<QSettings> UserSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Kelo"), QStringLiteral("Kelo_S"));
}

void Rdviewer40::Private::loadUserZoom() {
    userZoom = false;
    const QString key = zoomKey();
    if (key.isEmpty())
        return;
    const QString value = UserSettings()->value(key).toString();
    if (value == QStringLiteral("width") || value == QStringLiteral("page")) {
        userZoom = true;
        userAutoAdjust = value == QStringLiteral("width") ? 1 : 2;
    } else if (value.toInt() >= 10) {
        userZoom = true;
        userAutoAdjust = 0;
        userRatio = value.toInt() / 100.0;
    }
}

void Rdviewer40::Private::saveUserZoom() {
    const QString key = zoomKey();
    if (key.isEmpty())
        return;
    userZoom = true;
    userAutoAdjust = browser->fit() == report::PageBrowser::Fit::Width  ? 1
                     : browser->fit() == report::PageBrowser::Fit::Page ? 2
                                                                        : 0;
    userRatio = browser->zoom();
    UserSettings()->setValue(key, userAutoAdjust == 1   ? QStringLiteral("width")
                                  : userAutoAdjust == 2 ? QStringLiteral("page")
                                                        : QString::number(qRound(userRatio * 100)));
}

void Rdviewer40::Private::applyZoom() {
    const short mode = userZoom ? userAutoAdjust : autoAdjust;
    const double ratio = userZoom ? userRatio : zoom / 100.0;
    const QSignalBlocker block(browser);
    browser->setView(mode == 1   ? report::PageBrowser::Fit::Width
                     : mode == 2 ? report::PageBrowser::Fit::Page
                                 : report::PageBrowser::Fit::None,
                     ratio);
}

Rdviewer40::Rdviewer40(db::Connection &connection, QWidget *parent)
    : QWidget(parent), d(std::make_unique<Private>(connection)) {
    setObjectName(QStringLiteral("Rdviewer401"));
    d->network = new QNetworkAccessManager(this);
    buildToolbar();
    buildPanes();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(d->toolbar);
    layout->addWidget(d->stack, 1);

    connectControls();
    d->lblMessage->clear();
    d->stack->setCurrentWidget(d->lblMessage);
    d->applyZoom();
    updateControls();
}

// The toolbar: pages, zoom, thumbnails and find, print, PDF and Excel, the status.
void Rdviewer40::buildToolbar() {
    d->toolbar = new QWidget(this);
    d->toolbar->setObjectName(QStringLiteral("pnlViewerTools"));
    auto *bar = new QHBoxLayout(d->toolbar);
    bar->setContentsMargins(4, 2, 4, 2);
    bar->setSpacing(2);
    d->bbtFirst =
        report::ToolButton(this, "bbtFirst", QStringLiteral("|◀"), QStringLiteral("첫 페이지"));
    d->bbtPrior =
        report::ToolButton(this, "bbtPrior", QStringLiteral("◀"), QStringLiteral("이전 페이지"));
    d->bbtNext =
        report::ToolButton(this, "bbtNext", QStringLiteral("▶"), QStringLiteral("다음 페이지"));
    d->bbtLast =
        report::ToolButton(this, "bbtLast", QStringLiteral("▶|"), QStringLiteral("끝 페이지"));
    d->browser = new report::PageBrowser(this);
    d->bbtFitWidth = report::ToolButton(this, "bbtFitWidth", QStringLiteral("폭 맞춤"),
                                        QStringLiteral("페이지 폭에 맞춤"));
    d->bbtFitPage = report::ToolButton(this, "bbtFitPage", QStringLiteral("쪽 맞춤"),
                                       QStringLiteral("한 페이지 전체"));
    d->bbtPrint = report::ToolButton(this, "bbtPrint", QStringLiteral("인쇄"),
                                     QStringLiteral("프린터, 페이지와 매수를 골라 인쇄"));
    d->bbtPdf = report::ToolButton(this, "bbtSavePdf", QStringLiteral("PDF"),
                                   QStringLiteral("PDF 파일로 저장"));
    d->bbtExcel = report::ToolButton(this, "bbtSaveExcel", QStringLiteral("Excel"),
                                     QStringLiteral("보이는 그대로 Excel 파일로 저장"));
    d->lblStatus = new QLabel(this);
    d->lblStatus->setObjectName(QStringLiteral("lblStatus"));
    d->lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    for (QWidget *w : std::initializer_list<QWidget *>{
             d->bbtFirst, d->bbtPrior, d->browser->edtPage, d->browser->lblPageCount, d->bbtNext,
             d->bbtLast, d->browser->cboZoom, d->bbtFitWidth, d->bbtFitPage, d->browser->bbtThumbs,
             d->browser->bbtFind})
        bar->addWidget(w);
    bar->addSpacing(12);
    bar->addWidget(d->bbtPrint);
    bar->addWidget(d->bbtPdf);
    bar->addWidget(d->bbtExcel);
    bar->addSpacing(12);
    bar->addWidget(d->lblStatus, 1);
}

// What the control shows in turn: the message of a failure, the busy panel with its cancel
// button, the pages.
void Rdviewer40::buildPanes() {
    d->stack = new QStackedWidget(this);
    d->lblMessage = new QLabel(this);
    d->lblMessage->setObjectName(QStringLiteral("lblMessage"));
    d->lblMessage->setAlignment(Qt::AlignCenter);
    d->lblMessage->setWordWrap(true);
    d->lblMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    d->lblMessage->setMargin(16);

    d->busy = new QWidget(this);
    d->busy->setObjectName(QStringLiteral("pnlBusy"));
    {
        auto *v = new QVBoxLayout(d->busy);
        v->addStretch();
        auto *text = new QLabel(QStringLiteral("보고서를 불러오는 중입니다…"), d->busy);
        text->setAlignment(Qt::AlignCenter);
        auto *progress = new QProgressBar(d->busy);
        progress->setRange(0, 0);
        progress->setTextVisible(false);
        progress->setMaximumWidth(240);
        d->bbtCancel = new QToolButton(d->busy);
        d->bbtCancel->setObjectName(QStringLiteral("bbtCancelReport"));
        d->bbtCancel->setText(QStringLiteral("취소"));
        d->bbtCancel->setToolTip(QStringLiteral("보고서의 자료를 읽는 것을 멈춥니다 (Esc)"));
        d->bbtCancel->setFocusPolicy(Qt::NoFocus);
        v->addWidget(text);
        v->addWidget(progress, 0, Qt::AlignHCenter);
        v->addWidget(d->bbtCancel, 0, Qt::AlignHCenter);
        v->addStretch();
    }

    d->stack->addWidget(d->lblMessage);
    d->stack->addWidget(d->busy);
    d->stack->addWidget(d->browser);
}

void Rdviewer40::connectControls() {
    connect(d->bbtCancel, &QToolButton::clicked, this, [this] { d->cancelled = true; });
    d->retry = new QTimer(this);
    d->retry->setSingleShot(true);
    d->retry->setInterval(50);
    connect(d->retry, &QTimer::timeout, this, [this] { runPendingLoad(); });
    connect(d->bbtFirst, &QToolButton::clicked, this, [this] { showPage(1); });
    connect(d->bbtPrior, &QToolButton::clicked, this, [this] { showPage(currentPage() - 1); });
    connect(d->bbtNext, &QToolButton::clicked, this, [this] { showPage(currentPage() + 1); });
    connect(d->bbtLast, &QToolButton::clicked, this,
            [this] { showPage(int(d->document.pages.size())); });
    connect(d->browser, &report::PageBrowser::viewChanged, this, [this](bool userChoice) {
        if (userChoice)
            d->saveUserZoom();
        updateControls();
    });
    connect(d->browser, &report::PageBrowser::pageChanged, this, [this] { updateControls(); });
    connect(d->bbtFitWidth, &QToolButton::clicked, this, [this] {
        d->browser->setFit(report::PageBrowser::Fit::Width);
        d->saveUserZoom();
        updateControls();
    });
    connect(d->bbtFitPage, &QToolButton::clicked, this, [this] {
        d->browser->setFit(report::PageBrowser::Fit::Page);
        d->saveUserZoom();
        updateControls();
    });
    connect(d->bbtPrint, &QToolButton::clicked, this, [this] {
        emit OnPrintButtonClicked();
        PrintReport();
    });
    connect(d->bbtPdf, &QToolButton::clicked, this, [this] { askSaveAsPdf(); });
    connect(d->bbtExcel, &QToolButton::clicked, this, [this] { askSaveAsExcel(); });
}

// PDF and Excel of the toolbar: the file asked for in the report folder by the report's title.
void Rdviewer40::askSaveAsPdf() {
    if (!d->hasDocument)
        return;
    const QString path = Dialogs::instance().getSaveFileName(
        QStringLiteral("PDF 저장"),
        QDir(report::PdfFolder()).filePath(d->document.title + QStringLiteral(".pdf")),
        QStringLiteral("PDF (*.pdf)"));
    if (!path.isEmpty())
        saveAsPdf(path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)
                      ? path
                      : path + QStringLiteral(".pdf"));
}

void Rdviewer40::askSaveAsExcel() {
    if (!d->hasDocument)
        return;
    const QString path = Dialogs::instance().getSaveFileName(
        QStringLiteral("Excel 저장"),
        QDir(report::PdfFolder()).filePath(d->document.title + QStringLiteral(".xlsx")),
        XlsxFileFilter());
    // A name without an extension is a workbook; .xls stays possible.
    if (!path.isEmpty())
        saveAsExcel(QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".xlsx")
                                                       : ExcelFileName(path));
}

Rdviewer40::~Rdviewer40() {
    if (d->reply) {
        d->reply->disconnect(this);
        d->reply->abort();
    }
}

bool Rdviewer40::OpenReportAsking(const QString &location) {
    const bool opened = OpenReport(location, QString());
    d->asking = d->state == State::Loading;
    return opened || d->asking;
}

bool Rdviewer40::OpenReport(const QString &location, const QString &params) {
    clearReport();
    d->asking = false;
    d->location = location;
    d->params = params;
    const ResolvedLocation where = ResolveLocation(location);
    if (!where.error.isEmpty()) {
        fail(where.error);
        return false;
    }
    d->where = where;
    d->chain = {where.name};
    d->state = State::Loading;
    d->stack->setCurrentWidget(d->busy);
    updateControls();
    if (where.isHttp()) {
        fetch(where);
        return true;
    }
    const std::optional<QByteArray> bytes = readFile(where);
    if (!bytes)
        return false;
    load(*bytes, where.name);
    return d->state == State::Shown;
}

// Forgets the report shown and any load under way.
void Rdviewer40::clearReport() {
    if (d->reply) {
        QNetworkReply *old = d->reply;
        d->reply = nullptr;
        old->disconnect(this);
        old->abort();
        old->deleteLater();
    }
    d->pendingLoad = nullptr;
    d->retry->stop();
    d->message.clear();
    d->status.clear();
    d->lblStatus->clear();
    d->browser->setDocument(nullptr);
    d->hasDocument = false;
    d->document = report::Document();
    d->report.reset();
    d->where = ResolvedLocation();
    d->chain.clear();
    d->variants.clear();
    d->loading.reset();
    d->userZoom = false;
}

// Shows why the report cannot be opened, inside the control.
void Rdviewer40::fail(const QString &reason) {
    d->state = State::Failed;
    // A failure under a variant names the way to the file that failed.
    d->message = d->location + QStringLiteral("\n") +
                 (d->chain.size() > 1 ? d->chain.join(QStringLiteral(" → ")) + QStringLiteral("\n")
                                      : QString()) +
                 reason;
    d->chain.clear();
    d->variants.clear();
    d->lblMessage->setText(QStringLiteral("보고서를 열 수 없습니다.\n\n") + d->message);
    d->stack->setCurrentWidget(d->lblMessage);
    updateControls();
    emit OnFailed(d->message);
}

// Parses the definition: a variant reads its base, a report its pictures, then runs.
void Rdviewer40::load(const QByteArray &bytes, const QString &name) {
    ParseResult parsed = ParseDefinition(bytes, name, d->connection);
    if (!parsed.report) {
        fail(parsed.error);
        return;
    }
    if (parsed.report->isVariant()) {
        openBase(std::move(parsed.report));
        return;
    }
    d->loading = std::move(parsed.report);
    d->nextPicture = 0;
    readPictures();
}

// Reads the pictures the definition places from the folder it came from, one after the
// other (a report server's answers as they come), and runs the report when all are there.
void Rdviewer40::readPictures() {
    while (d->nextPicture < d->loading->pictures.size()) {
        const PictureUse &use = d->loading->pictures[d->nextPicture];
        const QString place = d->loading->message(use.place, QString());
        if (d->where.isHttp()) {
            fetchBytes(Beside(d->where.url, use.file),
                       {QStringLiteral("그림 파일 ") + use.file, kMaxPictureBytes, place},
                       [this](const QByteArray &bytes) {
                           if (takePicture(bytes))
                               readPictures();
                       });
            return;
        }
        const std::optional<QByteArray> bytes = readFile(
            QFileInfo(d->where.path).dir().filePath(QString(use.file).replace(u'\\', u'/')),
            {QStringLiteral("그림 파일"), kMaxPictureBytes, place});
        if (!bytes || !takePicture(*bytes))
            return;
    }
    showReport(std::move(d->loading));
}

// The picture of the next <image> from the bytes of its file; false (and the reason shown)
// when they hold no picture it may show.
bool Rdviewer40::takePicture(const QByteArray &bytes) {
    const PictureUse &use = d->loading->pictures[d->nextPicture];
    DecodedPicture picture = DecodePicture(bytes);
    if (!picture.error.isEmpty()) {
        fail(d->loading->message(use.place,
                                 QStringLiteral("그림 파일 %1: %2").arg(use.file, picture.error)));
        return false;
    }
    use.band->items[use.item].picture = std::move(picture.image);
    ++d->nextPicture;
    return true;
}

// Binds the parameter string, runs the statements (with the cancel button) and shows the
// pages.
void Rdviewer40::showReport(std::unique_ptr<LoadedReport> loaded) {
    // Under variants: the outermost's name and title; each fixes values over its base's.
    QHash<QString, QString> fixed;
    for (auto it = d->variants.rbegin(); it != d->variants.rend(); ++it)
        fixed.insert((*it)->fixedValues);
    if (!d->variants.empty()) {
        loaded->name = d->variants.front()->name;
        loaded->title = d->variants.front()->title;
        loaded->definition.name = loaded->title;
    }
    if (d->asking) {
        d->asking = false;
        if (!askValues(*loaded, fixed))
            return;
    }
    const BoundParams bound = BindParams(d->params, loaded->parameters, fixed);
    if (!bound.ok()) {
        fail(loaded->fileName + QStringLiteral(": ") + bound.error);
        return;
    }
    d->chain.clear();
    d->variants.clear();
    RunResult run;
    {
        RunningReport running(d->bbtCancel, d->cancelled);
        run = RunReport(*loaded, bound.values, [&running] { return running.tick(); });
    }
    if (!run.error.isEmpty()) {
        fail(run.error);
        return;
    }
    d->report = std::move(loaded);
    d->document = std::move(run.document);
    d->hasDocument = true;
    d->state = State::Shown;
    if (d->document.cutTexts > 0) {
        d->status = QStringLiteral("%L1자가 넘는 값(%2개)은 앞의 %L1자만 보입니다.")
                        .arg(report::kMaxDrawnText)
                        .arg(d->document.cutTexts);
        d->lblStatus->setText(d->status);
    }
    d->stack->setCurrentWidget(d->browser);
    d->loadUserZoom();
    d->applyZoom();
    d->browser->setDocument(&d->document);
    updateControls();
    emit OnReportFinished();
}

namespace {
// The values last confirmed in a prompt, by report and parameter, for the program's run: a
// report asked again starts with them.
QHash<QString, QString> &LastAnswers() {
    static QHash<QString, QString> answers;
    return answers;
}
QString AnswerKey(const LoadedReport &report, const ParameterDecl &p) {
    return report.name + u'\n' + p.name;
}
} // namespace

bool Rdviewer40::askValues(const LoadedReport &report, QHash<QString, QString> &fixed) {
    std::vector<PromptField> fields;
    const QDate today = Now().date();
    for (const ParameterDecl &p : report.parameters) {
        if (fixed.contains(p.name))
            continue;
        if (!p.prompted) {
            fixed.insert(p.name, ResolveDefault(p, today));
            continue;
        }
        PromptField f;
        f.name = p.name;
        f.caption = p.shownCaption();
        f.kind = p.type == ParamType::Date     ? PromptField::Kind::Date
                 : p.type == ParamType::Month  ? PromptField::Kind::Month
                 : p.type == ParamType::Number ? PromptField::Kind::Number
                                               : PromptField::Kind::Text;
        // A date or month field always shows one: today's without a default or an answer.
        f.value = LastAnswers().value(AnswerKey(report, p));
        if (f.value.isEmpty())
            f.value = StartingValue(p, today);
        if (!p.choicesSql.isEmpty()) {
            Choices choices = RunChoices(d->connection, report.fileName, p);
            if (!choices.error.isEmpty()) {
                fail(choices.error);
                return false;
            }
            f.choices = std::move(choices.items);
        }
        fields.push_back(std::move(f));
    }
    if (fields.empty())
        return true;
    const std::optional<QStringList> values = AskValues(report.title, fields);
    if (!values) {
        d->state = State::Empty;
        d->chain.clear();
        d->variants.clear();
        d->message.clear();
        d->status = QStringLiteral("조회를 취소했습니다.");
        d->lblStatus->setText(d->status);
        d->lblMessage->setText(d->status);
        d->stack->setCurrentWidget(d->lblMessage);
        updateControls();
        emit OnCancelled();
        return false;
    }
    // The answers are bound as values, never read back from a parameter string.
    for (size_t i = 0; i < fields.size(); ++i) {
        fixed.insert(fields[i].name, values->value(qsizetype(i)));
        if (const ParameterDecl *p = report.parameter(fields[i].name))
            LastAnswers().insert(AnswerKey(report, *p), values->value(qsizetype(i)));
    }
    return true;
}

// Reads the base a variant extends from the variant's own folder or server folder; no more
// than kMaxVariantDepth variants deep, never back to a file already read.
void Rdviewer40::openBase(std::unique_ptr<LoadedReport> variant) {
    const QString base = variant->extends + QStringLiteral(".mrd");
    const bool again = d->chain.contains(base, Qt::CaseInsensitive);
    d->chain << base;
    d->variants.push_back(std::move(variant));
    if (again) {
        fail(QStringLiteral("보고서가 돌고 돌아 자신을 바탕으로 합니다"));
        return;
    }
    if (d->variants.size() > size_t(kMaxVariantDepth)) {
        fail(QStringLiteral("바탕 보고서는 %1단계까지입니다").arg(kMaxVariantDepth));
        return;
    }
    ResolvedLocation where;
    where.name = base;
    if (d->where.isHttp()) {
        where.url = Beside(d->where.url, base);
        fetch(where);
        return;
    }
    where.path = QFileInfo(d->where.path).dir().filePath(base);
    const std::optional<QByteArray> bytes = readFile(where);
    if (bytes)
        load(*bytes, where.name);
}

// A file of the local folder, at most wanted.limit bytes; nothing (and the reason shown)
// when it is missing, the open database, too large or unreadable.
std::optional<QByteArray> Rdviewer40::readFile(const QString &path, const Wanted &wanted) {
    QFile file(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!file.exists()) {
        fail(wanted.place + QStringLiteral("%1 %2이(가) 없습니다").arg(wanted.noun, shown));
        return std::nullopt;
    }
    if (IsDatabaseFile(path)) {
        fail(wanted.place + QStringLiteral("%1은(는) %2이 아닙니다: %3")
                                .arg(shown, wanted.noun, DatabaseFileReason()));
        return std::nullopt;
    }
    if (file.size() > wanted.limit) {
        fail(wanted.place + QStringLiteral("%1 %2이(가) %3바이트보다 큽니다")
                                .arg(wanted.noun, shown)
                                .arg(wanted.limit));
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        fail(wanted.place + QStringLiteral("%1 %2을(를) 읽을 수 없습니다: %3")
                                .arg(wanted.noun, shown, file.errorString()));
        return std::nullopt;
    }
    return file.read(wanted.limit + 1);
}

std::optional<QByteArray> Rdviewer40::readFile(const ResolvedLocation &where) {
    return readFile(where.path, {QStringLiteral("보고서 파일"), kMaxDefinitionBytes, QString()});
}

// Fetches the definition from its report server and loads it.
void Rdviewer40::fetch(const ResolvedLocation &where) {
    fetchBytes(where.url, {QString(), kMaxDefinitionBytes, QString()},
               [this, name = where.name](const QByteArray &bytes) { load(bytes, name); });
}

// Fetches a file from a report server, within wanted.limit bytes and the time a fetch may
// take, and hands it on once the connection is free (no other viewer's statements run).
void Rdviewer40::fetchBytes(const QUrl &url, const Wanted &wanted,
                            std::function<void(const QByteArray &)> then) {
    QNetworkRequest request(url);
    request.setTransferTimeout(kFetchTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    d->tooLarge = false;
    QNetworkReply *reply = d->network->get(request);
    d->reply = reply;
    const qsizetype limit = wanted.limit;
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this, reply, limit](qint64 received, qint64) {
                if (received > limit) {
                    d->tooLarge = true;
                    reply->abort();
                }
            });
    connect(reply, &QNetworkReply::finished, this, [this, reply, wanted, then] {
        reply->deleteLater();
        if (d->reply != reply)
            return;
        d->reply = nullptr;
        // A definition's messages say what failed; a picture's name it first.
        const QString head = wanted.noun.isEmpty()
                                 ? wanted.place
                                 : wanted.place + wanted.noun + QStringLiteral(": ");
        if (d->tooLarge) {
            fail(wanted.noun.isEmpty()
                     ? QStringLiteral("보고서 정의가 %1바이트보다 큽니다").arg(wanted.limit)
                     : head + QStringLiteral("%1바이트보다 큽니다").arg(wanted.limit));
            return;
        }
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError || (status != 0 && status != 200)) {
            if (status >= 300) {
                const QString phrase =
                    reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
                fail(
                    head +
                    QStringLiteral("보고서 서버가 %1 %2(으)로 답했습니다").arg(status).arg(phrase));
            } else if (reply->error() == QNetworkReply::OperationCanceledError) {
                fail(head + QStringLiteral("보고서 서버가 %1초 안에 답하지 않았습니다")
                                .arg(kFetchTimeoutMs / 1000));
            } else {
                fail(head + QStringLiteral("보고서 서버에 연결할 수 없습니다: %1")
                                .arg(reply->errorString()));
            }
            return;
        }
        d->pendingLoad = [then, bytes = reply->readAll()] { then(bytes); };
        runPendingLoad();
    });
}

void Rdviewer40::runPendingLoad() {
    if (!d->pendingLoad)
        return;
    if (d->connection.limitedStatementRunning()) {
        d->retry->start();
        return;
    }
    const std::function<void()> load = std::exchange(d->pendingLoad, nullptr);
    load();
}

void Rdviewer40::PrintDirect() {
    if (d->state == State::Loading)
        waitForLoaded();
    print(std::nullopt);
}

void Rdviewer40::PrintReport() {
    if (d->state != State::Shown) {
        print(std::nullopt); // says there is nothing to print
        return;
    }
    const std::optional<PrintChoice> choice = report::AskPrint(d->document);
    if (!choice) {
        d->status = QStringLiteral("인쇄를 취소했습니다.");
        d->lblStatus->setText(d->status);
        return;
    }
    print(choice);
}

void Rdviewer40::print(const std::optional<PrintChoice> &choice) {
    if (d->state != State::Shown) {
        const QString text = QStringLiteral("출력할 보고서가 없습니다.");
        d->status = text;
        d->lblStatus->setText(text);
        if (d->state == State::Empty) {
            d->message = text;
            d->lblMessage->setText(text);
            d->stack->setCurrentWidget(d->lblMessage);
        }
        return;
    }
    try {
        const report::PrintOutcome outcome =
            choice
                ? report::PrintDocument(d->document, *choice, d->document.title)
                : report::PrintDocument(d->document, report::DefaultPrinter(), d->document.title);
        d->status = outcome.pdfPath.isEmpty()
                        ? QStringLiteral("%1(으)로 인쇄했습니다.").arg(outcome.printer)
                        : QStringLiteral("프린터가 없어 PDF로 저장했습니다: %1")
                              .arg(QDir::toNativeSeparators(outcome.pdfPath));
    } catch (const std::exception &e) {
        d->status = QStringLiteral("인쇄하지 못했습니다: ") + QString::fromUtf8(e.what());
    }
    d->lblStatus->setText(d->status);
}

bool Rdviewer40::saveAsPdf(const QString &path) {
    if (!d->hasDocument) {
        d->status = QStringLiteral("저장할 보고서가 없습니다.");
        d->lblStatus->setText(d->status);
        return false;
    }
    try {
        report::WritePdf(d->document, path);
        d->status = QStringLiteral("PDF로 저장했습니다: ") + QDir::toNativeSeparators(path);
        d->lblStatus->setText(d->status);
        return true;
    } catch (const std::exception &e) {
        d->status = QStringLiteral("PDF로 저장하지 못했습니다: ") + QString::fromUtf8(e.what());
        d->lblStatus->setText(d->status);
        return false;
    }
}

bool Rdviewer40::saveAsExcel(const QString &path) {
    auto refuse = [this](const QString &why) {
        d->status = why;
        d->lblStatus->setText(why);
        return false;
    };
    if (!d->hasDocument)
        return refuse(QStringLiteral("저장할 보고서가 없습니다."));
    const report::SheetOutcome sheet = report::WriteSheet(d->document, path);
    switch (sheet.outcome) {
    case ExcelSheet::Outcome::Written:
        break;
    case ExcelSheet::Outcome::TooManyRows:
        return refuse(sheet.error);
    case ExcelSheet::Outcome::Failed:
        return refuse(QStringLiteral("Excel 파일로 저장할 수 없습니다: ") + sheet.error);
    }
    d->status = QStringLiteral("Excel 파일로 저장했습니다: ") + QDir::toNativeSeparators(path);
    d->lblStatus->setText(d->status);
    return true;
}

short Rdviewer40::ZoomRatio() const {
    return d->zoom;
}

void Rdviewer40::setZoomRatio(short percent) {
    d->zoom = std::clamp<short>(percent, 10, 800);
    d->applyZoom();
    updateControls();
}

short Rdviewer40::AutoAdjust() const {
    return d->autoAdjust;
}

void Rdviewer40::setAutoAdjust(short mode) {
    d->autoAdjust = mode == 1 || mode == 2 ? mode : 0;
    d->applyZoom();
    updateControls();
}

Rdviewer40::State Rdviewer40::state() const {
    return d->state;
}

QString Rdviewer40::location() const {
    return d->location;
}

QString Rdviewer40::params() const {
    return d->params;
}

QString Rdviewer40::message() const {
    return d->message;
}

QString Rdviewer40::status() const {
    return d->status;
}

const report::Document *Rdviewer40::document() const {
    return d->hasDocument ? &d->document : nullptr;
}

int Rdviewer40::currentPage() const {
    return d->hasDocument ? d->browser->page() + 1 : 0;
}

bool Rdviewer40::waitForLoaded(int milliseconds) {
    if (d->state != State::Loading)
        return true;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &Rdviewer40::OnReportFinished, &loop, &QEventLoop::quit);
    connect(this, &Rdviewer40::OnFailed, &loop, &QEventLoop::quit);
    connect(this, &Rdviewer40::OnCancelled, &loop, &QEventLoop::quit);
    timer.start(milliseconds);
    loop.exec();
    return d->state != State::Loading;
}

void Rdviewer40::showPage(int page) {
    d->browser->showPage(page - 1);
}

report::PageBrowser *Rdviewer40::pages() const {
    return d->browser;
}

void Rdviewer40::updateControls() {
    const int count = d->hasDocument ? int(d->document.pages.size()) : 0;
    const int page = d->browser->page();
    d->bbtFirst->setEnabled(page > 0);
    d->bbtPrior->setEnabled(page > 0);
    d->bbtNext->setEnabled(page + 1 < count);
    d->bbtLast->setEnabled(page + 1 < count);
    d->bbtPdf->setEnabled(count > 0);
    d->bbtExcel->setEnabled(count > 0);
    d->bbtFitWidth->setCheckable(true);
    d->bbtFitPage->setCheckable(true);
    d->bbtFitWidth->setChecked(d->browser->fit() == report::PageBrowser::Fit::Width);
    d->bbtFitPage->setChecked(d->browser->fit() == report::PageBrowser::Fit::Page);
}

} // namespace kelo::viewer
