#include "screens/viewer/sri200_daily_sales_report.h"

#include "common/dialogs.h"
#include "common/silentstop.h"
#include "framework/screenhelpers.h"

namespace kelo::screens {

TfrmDataBuildViewer::TfrmDataBuildViewer(db::Connection &connection, const QString &programId,
                                         QWidget *parent)
    : TfrmReportViewer(connection, programId, parent),
      m_query(std::make_unique<db::Query>(connection)),
      m_proc(std::make_unique<db::StoredProc>(connection)) {
    qryTemp = m_query.get();
    prcProc = m_proc.get();
    prcProc->setProcName(QStringLiteral("PR_SRI200_01"));
    for (const char *name : {"ASALE_DATE", "AU_EMP_NO", "AU_IP", "AEDITSTATUS"})
        prcProc->addParam(QLatin1String(name), db::ParamDirection::Input);
}

TfrmDataBuildViewer::~TfrmDataBuildViewer() = default;

void TfrmDataBuildViewer::BitBtn1Click() {
    const QString date = fromDate();
    if (qryTemp->isActive())
        qryTemp->close();
    if (programId() == QLatin1String("SRI200"))
        qryTemp->setSql(QStringLiteral(R"sql(
            SELECT SALE_DATE
            FROM SA092MS
            WHERE SALE_DATE = :SALE_DATE
        )sql"));
    else
        qryTemp->setSql(QStringLiteral(R"sql(
            SELECT SALE_DATE
            FROM SA091MS
            WHERE SALE_DATE = :SALE_DATE
        )sql"));
    qryTemp->setParam(QStringLiteral("SALE_DATE"), date);
    qryTemp->open();
    const QString found = qryTemp->eof() ? QString() : qryTemp->text(QStringLiteral("SALE_DATE"));
    qryTemp->close();
    if (found != date)
        build();
    openReport(false);
}

void TfrmDataBuildViewer::build() {
    OpenForSave(connection());
    BusyCursor busy;
    try {
        // A transaction already in progress belongs to someone else: the build joins it
        // and leaves its end to its owner.
        SaveInTransaction(connection(), this, [this] {
            prcProc->setParam(QStringLiteral("ASALE_DATE"), fromDate());
            ExecuteWrite(*prcProc);
        });
    } catch (const std::exception &e) {
        ShowError(QStringLiteral("자료를 저장하지 못했습니다.\r\r에러내용:\r") +
                  QString::fromStdString(e.what()));
        // Said once: the search ends here without a second report of the same error.
        throw SilentStop();
    }
}

} // namespace kelo::screens
