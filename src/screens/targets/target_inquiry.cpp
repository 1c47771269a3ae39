#include "screens/targets/target_inquiry.h"

#include "common/dates.h"
#include "common/functions.h"
#include "common/reportlocations.h"
#include "framework/lookupdialogs.h"
#include "framework/screenhelpers.h"
#include "screens/viewer/report_viewers.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScopeGuard>

namespace kelo::screens {

namespace {

// The outlets of the outlet help, without 6001; the first row holds the column titles.
const QString kOutletHelp = QStringLiteral(R"sql(
    SELECT '영업장 코드', '영업장 명'
    FROM DUAL
    UNION ALL
    SELECT UPJANG_CODE, UPJANG_NAME
    FROM (
        SELECT UPJANG_CODE, UPJANG_NAME
        FROM JA010MS
        WHERE UPJANG_CODE <> '6001'
            AND UPJANG_TYPE = DECODE(:param, '', UPJANG_TYPE, :param)
            AND (UPJANG_CODE LIKE DECODE(:aParam, '', UPJANG_CODE, :aParam)
                OR UPJANG_NAME LIKE DECODE(:aParam, '', UPJANG_NAME, :aParam))
        ORDER BY UPJANG_CODE
    ) T
)sql");

const QString kOutletName = QStringLiteral(R"sql(
    SELECT UPJANG_NAME AS NAME
    FROM JA010MS
    WHERE UPJANG_CODE = :param
)sql");

// The management sections (code set S0018 from 10 on).
const QString kSectionHelp = QStringLiteral(R"sql(
    SELECT '경영부분 코드', '경영부분 명  '
    FROM DUAL
    UNION ALL
    SELECT DETAIL, DETAIL_NAME
    FROM (
        SELECT DETAIL, DETAIL_NAME
        FROM ZX010MS
        WHERE HEAD = 'S0018'
            AND DETAIL >= '10'
        ORDER BY DETAIL
    ) T
)sql");

const QString kSectionName = QStringLiteral(R"sql(
    SELECT DETAIL_NAME AS NAME
    FROM ZX010MS
    WHERE HEAD = 'S0018'
        AND DETAIL = :param
)sql");

controls::MaskedEdit *dateField(QWidget *parent, const char *name) {
    return DateField(parent, name, {.mask = "9999-99-99;0; ", .width = 88, .maxLength = 0});
}

} // namespace

controls::GridColumn TextColumn(const char *field, const char *title, int width,
                                const QStringList &groups) {
    controls::GridColumn c = controls::Column(field, title, width);
    c.groups = groups;
    return c;
}

controls::GridColumn FigureColumn(const char *field, const char *title, int width,
                                  const QStringList &groups, const QString &format) {
    controls::GridColumn c = controls::NumberColumn(field, title, width);
    c.displayFormat = format;
    c.groups = groups;
    return c;
}

TfrmTargetInquiry::TfrmTargetInquiry(db::Connection &connection, const QString &name,
                                     const Setup &setup, QWidget *parent)
    : TfrmSZI040(connection, name, parent), m_setup(setup) {
    lblWorkDate = new QLabel(setup.dateCaption, panSearch);
    lblWorkDate->setObjectName(QStringLiteral("lblWorkDate"));
    wlbYoil = new QLabel(panSearch);
    wlbYoil->setObjectName(QStringLiteral("wlbYoil"));
    wlbYoil->setFixedWidth(50);
    int at = 0;
    m_searchRow->insertWidget(at++, lblWorkDate);
    if (setup.dates == Dates::Month) {
        // The month (yyyymm): no weekday.
        mdtWorkDate = DateField(panSearch, "mdtWorkDate",
                                {.mask = "9999-99;0; ", .width = 74, .maxLength = 7});
        m_searchRow->insertWidget(at++, mdtWorkDate);
        wlbYoil->hide();
    } else if (setup.dates == Dates::Day) {
        mdtWorkDate = dateField(panSearch, "mdtWorkDate");
        m_searchRow->insertWidget(at++, mdtWorkDate);
        connect(mdtWorkDate, &QLineEdit::textChanged, this, [this] { mdtWorkDateChange(); });
    } else {
        mdtFrom_Date = dateField(panSearch, "mdtFrom_Date");
        lblTilde = new QLabel(QStringLiteral("~"), panSearch);
        lblTilde->setObjectName(QStringLiteral("lblTilde"));
        mdtTo_Date = dateField(panSearch, "mdtTo_Date");
        m_searchRow->insertWidget(at++, mdtFrom_Date);
        m_searchRow->insertWidget(at++, lblTilde);
        m_searchRow->insertWidget(at++, mdtTo_Date);
        wlbYoil->hide();
        for (controls::MaskedEdit *e : {mdtFrom_Date, mdtTo_Date})
            connect(e, &QLineEdit::textChanged, this, [this] { mdtWorkDateChange(); });
    }
    m_searchRow->insertWidget(at++, wlbYoil);

    lblUpjang = new QLabel(setup.codeCaption, panSearch);
    lblUpjang->setObjectName(QStringLiteral("lblUpjang"));
    edt_Upjang_No = new QLineEdit(panSearch);
    edt_Upjang_No->setObjectName(QStringLiteral("edt_Upjang_No"));
    edt_Upjang_No->setFixedWidth(70);
    edt_Upjang_No->setAlignment(Qt::AlignCenter);
    bbt_Upjang_No = new QToolButton(panSearch);
    bbt_Upjang_No->setObjectName(QStringLiteral("bbt_Upjang_No"));
    bbt_Upjang_No->setText(QStringLiteral("..."));
    bbt_Upjang_No->setFixedWidth(21);
    bbt_Upjang_No->setFocusPolicy(Qt::NoFocus);
    wlb_Upjang_No = new QLabel(panSearch);
    wlb_Upjang_No->setObjectName(QStringLiteral("wlb_Upjang_No"));
    wlb_Upjang_No->setFixedWidth(171);
    m_searchRow->insertSpacing(at++, 16);
    for (QWidget *w :
         {static_cast<QWidget *>(lblUpjang), static_cast<QWidget *>(edt_Upjang_No),
          static_cast<QWidget *>(bbt_Upjang_No), static_cast<QWidget *>(wlb_Upjang_No)})
        m_searchRow->insertWidget(at++, w);
    connect(bbt_Upjang_No, &QToolButton::clicked, this, [this] { bbt_Upjang_NoClick(); });
    connect(edt_Upjang_No, &QLineEdit::textChanged, this, [this] { edt_Upjang_NoChange(); });

    // The practically invisible viewer control that prints, on the button bar with the buttons
    // that use it: along its top edge, outside the row, so that it takes none of the row's width.
    Rdviewer401 = new viewer::Rdviewer40(connection, panButtons);
    Rdviewer401->setObjectName(QStringLiteral("Rdviewer401"));
    Rdviewer401->setGeometry(0, 0, 72, 1);

    if (setup.dateKeys && mdtWorkDate)
        attachField(mdtWorkDate);
    if (setup.codeKeys)
        attachField(edt_Upjang_No);

    if (!setup.writes)
        for (QWidget *b : {static_cast<QWidget *>(bbtSave), static_cast<QWidget *>(bbtAdd),
                           static_cast<QWidget *>(bbtDelete)})
            b->hide();
    if (setup.readOnly) {
        controls::GridOptions o = rgrGrid->options();
        o.editing = false;
        o.inserting = false;
        o.deleting = false;
        rgrGrid->setOptions(o);
    }
    if (setup.paintColumn >= 0) {
        if (setup.paintCells) {
            auto templateDrawing = rgrGrid->onDrawCell;
            rgrGrid->onDrawCell = [this, templateDrawing](int row, int column,
                                                          controls::CellStyle &style) {
                if (templateDrawing)
                    templateDrawing(row, column, style);
                style.background = rowColour(row);
            };
        } else {
            rgrGrid->onDrawRow = [this](int row, controls::CellStyle &style) {
                style.background = rowColour(row);
            };
        }
    }
    if (setup.paintColumn >= 0) {
        // A screen whose painting column is hidden shows a total row's label in the nearest
        // visible column before it, where that row has no text of its own.
        auto drawing = rgrGrid->onDrawCell;
        rgrGrid->onDrawCell = [this, drawing](int row, int column, controls::CellStyle &style) {
            if (drawing)
                drawing(row, column, style);
            if (!style.text.isEmpty() || column != labelColumn())
                return;
            const QString label = rgrGrid->text(row, m_setup.paintColumn);
            if (label == m_setup.subTotal || label == m_setup.total)
                style.text = label;
        };
    }
    connect(bbtPrint, &QPushButton::clicked, this, [this] { bbtPrintClick(); });
    connect(bbtPreview, &QPushButton::clicked, this, [this] { bbtPreviewClick(); });
    addHotkey(QKeySequence(Qt::Key_F11), [this] { bbtPrintClick(); });
    Panel1->installEventFilter(this);
    // The buttons and fields added here take the mode too.
    SetSearchMode(true);
}

void TfrmTargetInquiry::showEvent(QShowEvent *event) {
    TfrmSZI040::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (m_setup.dates == Dates::Month) {
        mdtWorkDate->setValue(TodayYmd().left(6));
        return;
    }
    const QString yesterday = ShiftDays(TodayYmd(), -1);
    for (controls::MaskedEdit *e : {mdtWorkDate, mdtFrom_Date, mdtTo_Date})
        if (e)
            e->setValue(yesterday);
}

void TfrmTargetInquiry::mdtWorkDateChange() {
    const QString date = mdtWorkDate ? mdtWorkDate->value() : mdtFrom_Date->value();
    wlbYoil->setText(IsValidYmd(date) ? WeekdayName(date) : QString());
}

void TfrmTargetInquiry::bbt_Upjang_NoClick() {
    const bool outlet = m_setup.kind == CodeKind::Outlet;
    const HelpResult r =
        ShowHelpDialog(connection(), outlet ? QStringLiteral("영업장") : QStringLiteral("경영정보"),
                       outlet ? kOutletHelp : kSectionHelp, QString(), this);
    edt_Upjang_No->setText(r.code);
    edt_Upjang_No->setFocus();
}

void TfrmTargetInquiry::edt_Upjang_NoChange() {
    SetLabelFromQuery(connection(), wlb_Upjang_No,
                      m_setup.kind == CodeKind::Outlet ? kOutletName : kSectionName,
                      edt_Upjang_No->text());
}

void TfrmTargetInquiry::bbtSearchClick() {
    setParameters();
    // The first search sets the grid's columns anew (with the row number), and with them
    // their defined widths: the widths of the screen's rule are laid on again.
    auto widths = qScopeGuard([this] { applyColumnWidths(Panel1->width()); });
    TfrmSZI040::bbtSearchClick();
}

void TfrmTargetInquiry::bbtCancelClick() {
    TfrmSZI040::bbtCancelClick();
    if (m_setup.clearCodeOnCancel) {
        edt_Upjang_No->clear();
        wlb_Upjang_No->clear();
    }
}

void TfrmTargetInquiry::bbtPrintClick() {
    RequireActive(bbtPrint);
    const QString location = printLocation();
    if (location.isEmpty())
        return;
    if (printHandsOver())
        handOver();
    Rdviewer401->OpenReport(location, ViewerParams(printParams()));
    Rdviewer401->PrintDirect();
}

void TfrmTargetInquiry::bbtPreviewClick() {
    RequireActive(bbtPreview);
    const QString id = previewProgram();
    if (id.isEmpty())
        return;
    handOver();
    QWidget *screen = CreateViewerScreen(connection(), id);
    if (!screen)
        return;
    screen->setAttribute(Qt::WA_DeleteOnClose);
    screen->show();
    popup = screen;
}

QColor TfrmTargetInquiry::rowColour(int row) const {
    if (m_setup.paintColumn < 0 || row < 0 || row >= rgrGrid->rowCountFetched())
        return QColor(Qt::white);
    const QString text = rgrGrid->text(row, m_setup.paintColumn);
    if (text == m_setup.subTotal)
        return QColor(216, 216, 216);
    if (text == m_setup.total)
        return QColor(192, 192, 192);
    return QColor(Qt::white);
}

int TfrmTargetInquiry::labelColumn() const {
    const auto &columns = rgrGrid->columns();
    if (m_setup.paintColumn < 0 || m_setup.paintColumn >= int(columns.size()) ||
        columns.at(size_t(m_setup.paintColumn)).visible)
        return -1;
    for (int c = m_setup.paintColumn - 1; c >= 0; --c)
        if (columns.at(size_t(c)).visible)
            return c;
    return -1;
}

std::vector<std::vector<int>> TfrmTargetInquiry::groups() const {
    std::vector<std::vector<int>> out;
    QString last;
    const auto &columns = rgrGrid->columns();
    for (int c = 0; c < int(columns.size()); ++c) {
        const controls::GridColumn &column = columns.at(size_t(c));
        const QString caption = column.groups.value(0, column.title);
        if (out.empty() || caption != last || column.groups.isEmpty())
            out.emplace_back();
        out.back().push_back(c);
        last = caption;
    }
    return out;
}

void TfrmTargetInquiry::setGroupWidths(const std::vector<int> &widths) {
    const auto all = groups();
    for (size_t g = 0; g < all.size() && g < widths.size(); ++g) {
        // The width goes to the group's visible columns (to all of a hidden group).
        std::vector<int> members;
        for (int c : all[g])
            if (rgrGrid->columns().at(size_t(c)).visible)
                members.push_back(c);
        if (members.empty())
            members = all[g];
        const int n = int(members.size());
        for (int i = 0; i < n; ++i) {
            const int w = widths[g] / n + (i == n - 1 ? widths[g] % n : 0);
            rgrGrid->setColumnWidth(members[size_t(i)], w);
        }
    }
}

int TfrmTargetInquiry::groupWidth(int group) const {
    const auto all = groups();
    if (group < 0 || group >= int(all.size()))
        return -1;
    int sum = 0;
    bool anyVisible = false;
    for (int c : all[size_t(group)])
        anyVisible = anyVisible || rgrGrid->columns().at(size_t(c)).visible;
    for (int c : all[size_t(group)])
        if (!anyVisible || rgrGrid->columns().at(size_t(c)).visible)
            sum += rgrGrid->columnWidth(c);
    return sum;
}

bool TfrmTargetInquiry::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Panel1 && event->type() == QEvent::Resize) {
        // The grid fills the panel; its own width is set only after this filter, by the
        // panel's layout.
        applyColumnWidths(static_cast<QResizeEvent *>(event)->size().width());
    }
    if (event->type() == QEvent::KeyPress && (watched == mdtWorkDate || watched == edt_Upjang_No)) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool handled = TfrmSZI040::eventFilter(watched, event);
        if (enter && watched == mdtWorkDate && m_setup.dateKeys)
            edt_Upjang_No->setFocus();
        else if (enter && watched == edt_Upjang_No && m_setup.codeKeys)
            bbtSearch->setFocus();
        return handled;
    }
    return TfrmSZI040::eventFilter(watched, event);
}

} // namespace kelo::screens
