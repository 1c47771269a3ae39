#include "framework/reportframe.h"

#include "report/preview.h"
#include "report/render.h"

namespace kelo {

namespace {

// The common header: the business date with its weekday and the day's weather. A date
// without a calendar row gives no row (the lines print empty); a day without weather
// prints "Weather : " alone.
const char *const kHeaderSql = R"sql(
SELECT 'Date: ' || TO_CHAR(TO_DATE(A.CALN_DATE), 'YYYY | MM | DD') || ' ' || INITCAP(C.ITEM5) AS SALE_DATE,
       'Weather : ' || NVL(D.ITEM1, '') AS WEATHER
FROM ZX020MS A
LEFT JOIN SA010MS B ON B.SALE_DATE = A.CALN_DATE
JOIN ZX010MS C ON C.HEAD = 'Z0011' AND C.DETAIL = TO_CHAR(TO_DATE(A.CALN_DATE), 'D')
LEFT JOIN ZX010MS D ON D.HEAD = 'E0029' AND D.DETAIL = B.WEATHER
WHERE A.CALN_DATE = :ASALE_DATE
)sql";

const QColor kTitleBox(220, 230, 245);
const QColor kTitleShadow(128, 128, 128);

} // namespace

std::function<void(report::Item &, QString &)> SuppressRepeats(QString &last) {
    return [&last](report::Item &, QString &text) {
        const QString current = text;
        if (text == last)
            text.clear();
        last = current;
    };
}

TfrmZZP010::TfrmZZP010(db::Connection &connection, const QString &programId,
                       const QString &saleDate, const QString &caption)
    : cdsQuery(connection, QStringLiteral("cdsQuery")),
      qrySys(connection, QStringLiteral("qrySys")),
      qrbHeader(qrpReport.addBand(QStringLiteral("qrbHeader"), report::BandKind::Title, 24)),
      qrbFooter(qrpReport.addBand(QStringLiteral("qrbFooter"), report::BandKind::PageFooter, 12)),
      m_connection(connection), m_saleDate(saleDate), m_caption(caption) {
    setObjectName(QStringLiteral("frm") + programId);
    qrySys.query().setSql(QString::fromUtf8(kHeaderSql));

    qrpReport.name = programId;
    qrpReport.page.orientation = report::Orientation::Portrait;
    qrpReport.mainData = &cdsQuery;
    qrpReport.printIfEmpty = true;
    qrpReport.startOnNewPage = true; // a composite's later members follow on the page
    qrpReport.pageHeaderOnFirstPage = true;
    qrpReport.pageFooterOnLastPage = true;

    using namespace report;
    qrbHeader.addItem(ShapeItem(QStringLiteral("qrsTitleShadow"), {}, ShapeKind::Rectangle,
                                Qt::transparent, kTitleShadow));
    qrbHeader.addItem(
        ShapeItem(QStringLiteral("qrsTitle"), {}, ShapeKind::Rectangle, Qt::black, kTitleBox, 0.3));
    qrbHeader.addItem(Label(QStringLiteral("qrlTitle"), {}, QStringLiteral("제목"), Font(14, true),
                            Qt::AlignCenter));
    qrbHeader.addItem(Label(QStringLiteral("qrlCondition"), {}, QStringLiteral(" "), Font(10)));

    qrbFooter.frame.top = true;
    qrbFooter.addItem(
        Label(QStringLiteral("qrlDateCaption"), {}, QStringLiteral("Date :"), Font(8)));
    qrbFooter.addItem(SystemText(QStringLiteral("qrlDate"), {}, SystemField::DateTime, Font(8)));
    qrbFooter.addItem(SystemText(QStringLiteral("qrlPageCurrent"), {}, SystemField::PageNumber,
                                 Font(8), Qt::AlignRight | Qt::AlignVCenter));
    qrbFooter.addItem(
        Label(QStringLiteral("qrlPageSlash"), {}, QStringLiteral("/"), Font(8), Qt::AlignCenter));
    // The total of pages (the page count of the job).
    qrbFooter.addItem(
        SystemText(QStringLiteral("qrlPageTotal"), {}, SystemField::PageCount, Font(8)));
    qrbFooter.addItem(Label(QStringLiteral("qrlProgramID"), {}, this->programId(), Font(7)));
    Item logo = PictureItem(QStringLiteral("qriLogo"), {}, QImage());
    logo.enabled = false;
    qrbFooter.addItem(logo);
    qrbFooter.addItem(Label(QStringLiteral("qrlCompany"), {}, QStringLiteral("켈로펠모라리조트"),
                            Font(10, true), Qt::AlignRight | Qt::AlignVCenter));
    qrbFooter.addItem(Label(QStringLiteral("qrlCompanyEng"), {},
                            QStringLiteral("KELO PELMORA RESORT"), Font(7),
                            Qt::AlignRight | Qt::AlignVCenter));
    placeFrameItems();
}

TfrmZZP010::~TfrmZZP010() = default;

void TfrmZZP010::placeFrameItems() {
    const double w = qrpReport.page.bandWidth();
    const double mid = w / 2;
    auto at = [](report::Band &band, const char *name, QRectF rect) {
        band.item(QLatin1String(name)).rect = rect;
    };
    if (!m_usesHeader) {
        at(qrbHeader, "qrsTitleShadow", {mid - 60 + 1.5, 4 + 1.5, 120, 12});
        at(qrbHeader, "qrsTitle", {mid - 60, 4, 120, 12});
        at(qrbHeader, "qrlTitle", {mid - 60, 4, 120, 12});
        at(qrbHeader, "qrlCondition", {0, 18, w, 5});
    } else {
        at(qrbHeader, "qrlWeather", {w - 100, 13, 100, 5});
    }
    at(qrbFooter, "qrlDateCaption", {0, 2, 10, 4});
    at(qrbFooter, "qrlDate", {10, 2, 40, 4});
    at(qrbFooter, "qrlPageCurrent", {mid - 14, 2, 12, 4});
    at(qrbFooter, "qrlPageSlash", {mid - 2, 2, 4, 4});
    at(qrbFooter, "qrlPageTotal", {mid + 2, 2, 12, 4});
    at(qrbFooter, "qrlProgramID", {0, 7, 30, 4});
    at(qrbFooter, "qriLogo", {w - 95, 1, 20, 10});
    at(qrbFooter, "qrlCompany", {w - 70, 1, 70, 5});
    at(qrbFooter, "qrlCompanyEng", {w - 70, 6.5, 70, 4});
}

void TfrmZZP010::useReportTitle(const QString &title) {
    using namespace report;
    m_usesHeader = true;
    qrbHeader.height = 20;
    qrbHeader.item(QStringLiteral("qrsTitleShadow")).enabled = false;
    qrbHeader.item(QStringLiteral("qrsTitle")).enabled = false;
    qrbHeader.item(QStringLiteral("qrlCondition")).enabled = false;
    Item &t = qrbHeader.item(QStringLiteral("qrlTitle"));
    t.text = title;
    t.font = Font(12, true);
    t.alignment = Qt::AlignLeft | Qt::AlignVCenter;
    t.rect = QRectF(0, 4, 160, 7);
    qrbHeader.addItem(
        Label(QStringLiteral("qrlResort"), {0, 0, 80, 4}, QStringLiteral("Kelo Resort"), Font(8)));
    qrbHeader.addItem(DataText(QStringLiteral("qrlSaleDate"), {0, 13, 120, 5}, qrySys,
                               QStringLiteral("SALE_DATE"), Font(9)));
    qrbHeader.addItem(DataText(QStringLiteral("qrlWeather"), {}, qrySys, QStringLiteral("WEATHER"),
                               Font(9), Qt::AlignRight | Qt::AlignVCenter));
    placeFrameItems();
}

void TfrmZZP010::bindDate(report::DataSet &set) {
    if (set.query().hasParam(QStringLiteral("ASALE_DATE")))
        set.query().setParam(QStringLiteral("ASALE_DATE"), m_saleDate);
}

void TfrmZZP010::openInOrder(std::initializer_list<report::DataSet *> sets) {
    for (report::DataSet *set : sets) {
        bindDate(*set);
        set->open();
    }
}

void TfrmZZP010::openData() {
    openInOrder({&cdsQuery});
    if (m_usesHeader)
        openInOrder({&qrySys});
}

std::vector<report::ReportDefinition *> TfrmZZP010::definitions() {
    return {&qrpReport};
}

report::Document TfrmZZP010::paginate() {
    return report::Paginate(definitions(), m_caption);
}

report::PrintOutcome TfrmZZP010::print() {
    return report::PrintDocument(paginate(), report::DefaultPrinter(),
                                 programId() + QStringLiteral("_") + m_saleDate);
}

void TfrmZZP010::preview() {
    report::PreviewWindow window(paginate());
    window.exec();
}

void TfrmZZP010::writePdf(const QString &path) {
    report::WritePdf(paginate(), path);
}

TfrmZZP020::TfrmZZP020(db::Connection &connection, const QString &programId,
                       const QString &saleDate, const QString &caption)
    : TfrmZZP010(connection, programId, saleDate, caption) {
    qrpReport.page.orientation = report::Orientation::Landscape;
    placeFrameItems();
}

std::vector<report::ReportDefinition *> JoinMembers(std::initializer_list<TfrmZZP010 *> members,
                                                    const QString &saleDate) {
    std::vector<report::ReportDefinition *> reports;
    for (TfrmZZP010 *member : members) {
        member->qrpReport.startOnNewPage = reports.empty();
        reports.push_back(&member->qrpReport);
    }
    for (TfrmZZP010 *member : members) {
        member->setSaleDate(saleDate);
        member->openData();
    }
    return reports;
}

} // namespace kelo
