#include "screens/mis/misinput.h"

#include "common/dates.h"
#include "common/dialogs.h"
#include "common/functions.h"
#include "common/keystroke.h"
#include "common/numbertext.h"
#include "common/silentstop.h"

namespace kelo::screens {

MisInputScreen::MisInputScreen(db::Connection &connection, const QString &name,
                               const QString &caption, const QString &procedure)
    : TfrmSZI020(connection, name) {
    setWindowTitle(caption);
    bbtAdd->setEnabled(false);
    bbtAdd->hide();
    bbtDelete->setEnabled(false);
    bbtDelete->hide();
    prcSProc->setProcName(procedure);
    rgrGrid->onDrawCell = [this](int row, int column, controls::CellStyle &style) {
        if (isYellowRow(row) && canEditCell(row, column))
            style.background = QColor(255, 255, 0);
    };
}

QString MisInputScreen::saleDate() const {
    return DisplayToYmd(dedSaleDate->displayText());
}

void MisInputScreen::bindSearch() {
    qryQuery->setParam(QStringLiteral("ASALE_DATE"), saleDate());
}

void MisInputScreen::bbtSearchClick() {
    RequireActive(bbtSearch);
    // A date the calendar does not have never reaches the database.
    if (!IsValidYmd(saleDate())) {
        ShowError(QStringLiteral("입력된 영업일자가 정확하지 않습니다."));
        dedSaleDate->setFocus();
        throw SilentStop();
    }
    bindSearch();
    TfrmSZI020::bbtSearchClick();
}

void MisInputScreen::bbtSaveClick() {
    edtExit(LastEdit);
    TfrmSZI020::bbtSaveClick();
    if (Saved) {
        bbtCancel->click();
        bbtSearch->click();
        SynthesizeKeyStroke(Qt::Key_Backtab, Qt::ShiftModifier, this);
    }
}

void MisInputScreen::bbtCancelClick() {
    edtExit(LastEdit);
    TfrmSZI020::bbtCancelClick();
}

void MisInputScreen::bbtCloseClick() {
    edtExit(LastEdit);
    TfrmSZI020::bbtCloseClick();
}

int MisInputScreen::firstEmpty(int row, int from, int to) const {
    for (int c = from; c <= to; ++c)
        if (rgrGrid->text(row, c).trimmed().isEmpty())
            return c;
    return -1;
}

bool MisInputScreen::refuse(int row, int column, const QString &suffix) {
    ShowError(rgrGrid->columns().at(size_t(column)).title + suffix);
    rgrGrid->setCurrentIndex(rgrGrid->model()->index(row, column));
    rgrGrid->setFocus();
    return false;
}

void MisInputScreen::setComputed(int row, int column, double value) {
    const QString text = NumberToText(value);
    if (rgrGrid->text(row, column) != text)
        rgrGrid->setValue(row, column, text);
}

double MisInputScreen::number(int row, int column) const {
    return ParseNumber(rgrGrid->text(row, column).remove(u','));
}

} // namespace kelo::screens
