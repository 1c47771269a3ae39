#include "screens/viewer/srs900_report_catalogue.h"

#include "common/globals.h"
#include "common/reportlocations.h"
#include "framework/permissions.h"

#include <QEventLoop>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QShortcut>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include <map>

namespace kelo::screens {

namespace {

// How long the index may take to arrive, and the most of it read.
constexpr int kIndexTimeoutMs = 15000;
constexpr qint64 kMaxIndexBytes = 8 * 1024 * 1024;

QString parameterText(const CatalogueEntry &e) {
    QStringList captions;
    for (const CatalogueParameter &p : e.parameters)
        captions << p.caption;
    return captions.join(QStringLiteral(", "));
}

} // namespace

TfrmSRS900::TfrmSRS900(db::Connection &connection, QWidget *parent)
    : TfrmViewerBase(connection, QStringLiteral("SRS900"), parent),
      m_network(new QNetworkAccessManager(this)) {
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    auto *top = new QHBoxLayout;
    outer->addLayout(top);
    auto *label = new QLabel(QStringLiteral("보고서 찾기"), this);
    edtFilter = new QLineEdit(this);
    edtFilter->setObjectName(QStringLiteral("edtFilter"));
    edtFilter->setPlaceholderText(QStringLiteral("제목이나 폴더의 낱말"));
    edtFilter->setClearButtonEnabled(true);
    label->setBuddy(edtFilter);
    bbtSearch = new QPushButton(QStringLiteral("조회"), this);
    bbtSearch->setObjectName(QStringLiteral("bbtSearch"));
    bbtOpen = new QPushButton(QStringLiteral("열기"), this);
    bbtOpen->setObjectName(QStringLiteral("bbtOpen"));
    bbtClose = new QPushButton(QStringLiteral("종료"), this);
    bbtClose->setObjectName(QStringLiteral("bbtClose"));
    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    top->addWidget(label);
    top->addWidget(edtFilter, 1);
    top->addWidget(bbtSearch);
    top->addWidget(bbtOpen);
    top->addWidget(lblCount);
    top->addStretch();
    top->addWidget(bbtClose);

    tvwReports = new QTreeWidget(this);
    tvwReports->setObjectName(QStringLiteral("tvwReports"));
    tvwReports->setHeaderLabels({QStringLiteral("보고서"), QStringLiteral("매개변수")});
    tvwReports->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tvwReports->setRootIsDecorated(true);
    auto *split = new QSplitter(this);
    split->addWidget(tvwReports);
    split->addWidget(Rdviewer401);
    split->setStretchFactor(1, 3);
    split->setSizes({360, 640});
    outer->addWidget(split, 1);

    connect(bbtSearch, &QPushButton::clicked, this, [this] { bbtSearchClick(); });
    connect(bbtOpen, &QPushButton::clicked, this, [this] { bbtOpenClick(); });
    connect(bbtClose, &QPushButton::clicked, this, [this] { bbtCloseClick(); });
    connect(edtFilter, &QLineEdit::textChanged, this, [this] { edtFilterChange(); });
    connect(tvwReports, &QTreeWidget::itemActivated, this, [this] { bbtOpenClick(); });
    // Down from the search box goes to the list; Enter there opens the first report found.
    connect(edtFilter, &QLineEdit::returnPressed, this, [this] {
        for (QTreeWidgetItemIterator it(tvwReports); *it; ++it)
            if (!(*it)->isHidden() && (*it)->childCount() == 0) {
                tvwReports->setCurrentItem(*it);
                tvwReports->setFocus();
                return;
            }
    });
    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, edtFilter, [this] {
        edtFilter->setFocus();
        edtFilter->selectAll();
    });
    bbtSearchClick(); // the list arrives while the screen shows
}

void TfrmSRS900::bbtSearchClick() {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    lblCount->setText(QStringLiteral("보고서 목록을 읽는 중입니다..."));
    QNetworkRequest request{QUrl(ReportIndexLocation())};
    request.setTransferTimeout(kIndexTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    m_reply = m_network->get(request);
    QNetworkReply *reply = m_reply;
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64) {
        if (received > kMaxIndexBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { listArrived(reply); });
}

void TfrmSRS900::listArrived(QNetworkReply *reply) {
    reply->deleteLater();
    if (reply != m_reply)
        return;
    m_reply = nullptr;
    m_reports.clear();
    QString error;
    if (reply->error() != QNetworkReply::NoError) {
        error = reply->errorString();
    } else {
        std::vector<CatalogueEntry> all = ReadCatalogueIndex(reply->readAll(), &error);
        try {
            const QString project =
                Globals().projectId.isEmpty() ? QStringLiteral("KELO_S") : Globals().projectId;
            const QSet<QString> permitted =
                PermittedProgramIds(connection(), project, Globals().empNo);
            for (CatalogueEntry &e : all)
                if (MayOpen(e, permitted))
                    m_reports.push_back(std::move(e));
        } catch (const std::exception &e) {
            error = QString::fromUtf8(e.what());
        }
    }
    fillTree();
    if (!error.isEmpty())
        lblCount->setText(QStringLiteral("보고서 목록을 읽을 수 없습니다: %1 (%2)")
                              .arg(error, ReportIndexLocation()));
    emit listRead();
}

void TfrmSRS900::fillTree() {
    tvwReports->clear();
    // Reports of one title are told apart by their file names.
    QHash<QString, int> titles;
    for (const CatalogueEntry &e : m_reports)
        ++titles[e.title];
    std::map<QString, QTreeWidgetItem *> folders;
    for (const CatalogueEntry &e : m_reports) {
        const QString folderName = e.folder.isEmpty() ? QStringLiteral("기타") : e.folder;
        QTreeWidgetItem *&folder = folders[folderName];
        if (!folder) {
            folder = new QTreeWidgetItem(tvwReports, {folderName});
            folder->setFlags(Qt::ItemIsEnabled);
            folder->setExpanded(true);
        }
        const QString shown = titles.value(e.title) > 1
                                  ? QStringLiteral("%1 (%2)").arg(e.title, e.file.chopped(4))
                                  : e.title;
        auto *item = new QTreeWidgetItem(folder, {shown, parameterText(e)});
        item->setData(0, Qt::UserRole, e.file);
        item->setToolTip(0, e.file);
    }
    edtFilterChange();
}

void TfrmSRS900::edtFilterChange() {
    const QStringList words = edtFilter->text().split(u' ', Qt::SkipEmptyParts);
    int shown = 0;
    for (int i = 0; i < tvwReports->topLevelItemCount(); ++i) {
        QTreeWidgetItem *folder = tvwReports->topLevelItem(i);
        int inFolder = 0;
        for (int j = 0; j < folder->childCount(); ++j) {
            QTreeWidgetItem *item = folder->child(j);
            const QString text = folder->text(0) + u' ' + item->text(0) + u' ' +
                                 item->data(0, Qt::UserRole).toString();
            bool match = true;
            for (const QString &w : words)
                match = match && text.contains(w, Qt::CaseInsensitive);
            item->setHidden(!match);
            inFolder += match ? 1 : 0;
        }
        folder->setHidden(inFolder == 0);
        shown += inFolder;
    }
    lblCount->setText(words.isEmpty()
                          ? QStringLiteral("보고서 %1개").arg(shown)
                          : QStringLiteral("보고서 %1개 중 %2개").arg(m_reports.size()).arg(shown));
}

const CatalogueEntry *TfrmSRS900::selectedEntry() const {
    const QTreeWidgetItem *item = tvwReports->currentItem();
    if (!item || item->isHidden())
        return nullptr;
    const QString file = item->data(0, Qt::UserRole).toString();
    for (const CatalogueEntry &e : m_reports)
        if (e.file == file)
            return &e;
    return nullptr;
}

void TfrmSRS900::bbtOpenClick() {
    const CatalogueEntry *e = selectedEntry();
    if (!e) {
        lblCount->setText(QStringLiteral("열 보고서를 목록에서 고르십시오."));
        return;
    }
    Rdviewer401->OpenReportAsking(MainLocation(e->file.chopped(4)));
}

void TfrmSRS900::bbtCloseClick() {
    close();
}

bool TfrmSRS900::waitForList(int milliseconds) {
    if (!m_reply)
        return true; // read (or failed) already
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &TfrmSRS900::listRead, &loop, &QEventLoop::quit);
    timer.start(milliseconds);
    loop.exec();
    return timer.isActive();
}

} // namespace kelo::screens
