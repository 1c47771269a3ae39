#include "screens/mis/sri010_main_information.h"

#include "framework/lookupdialogs.h"
#include "framework/screenhelpers.h"

#include <QKeyEvent>

namespace kelo::screens {

namespace {
enum { SaleDate, Weather, WeatherName };
}

TfrmSRI010::TfrmSRI010(db::Connection &connection)
    : MisInputScreen(connection, QStringLiteral("frmSRI010"),
                     QStringLiteral("경영정보관리 메인정보"), QStringLiteral("PR_SA010MS_01")) {
    controls::GridColumn date = Column("SALE_DATE", "영업일자", 100);
    date.alignment = Qt::AlignCenter;
    date.displayMask = QStringLiteral("9999-99-99;0;");
    controls::GridColumn weather = Column("WEATHER", "날씨코드", 80, true, 2);
    weather.alignment = Qt::AlignCenter;
    rgrGrid->setColumns({date, weather, Column("ITEM1", "날씨명", 200)});
    StyleForm(this);
    qryQuery->setSql(QStringLiteral(R"sql(
        SELECT B.CALN_DATE AS SALE_DATE, A.WEATHER, C.ITEM1
        FROM ZX020MS B
        LEFT JOIN SA010MS A ON A.SALE_DATE = B.CALN_DATE
        LEFT JOIN ZX010MS C ON C.HEAD = 'E0029' AND C.DETAIL = A.WEATHER
        WHERE B.CALN_DATE BETWEEN SUBSTR(:ASALE_DATE, 1, 6) || '01'
                              AND TO_CHAR(LAST_DAY(TO_DATE(:ASALE_DATE)), 'YYYYMMDD')
        ORDER BY B.CALN_DATE
    )sql"));
    auto previous = rgrGrid->onKeyDown;
    rgrGrid->onKeyDown = [this, previous](QKeyEvent *e) {
        if (previous && previous(e))
            return true;
        if (e->key() == Qt::Key_F1 && rgrGrid->currentColumn() == Weather) {
            pickWeather();
            return true;
        }
        return false;
    };
}

void TfrmSRI010::bbtSearchClick() {
    MisInputScreen::bbtSearchClick();
    locateChosenDate();
}

void TfrmSRI010::bbtSaveClick() {
    MisInputScreen::bbtSaveClick();
    if (Saved)
        locateChosenDate(); // the reload's Shift+Tab stepped back to the day before
}

// The chosen date's row becomes current.
void TfrmSRI010::locateChosenDate() {
    const QString date = saleDate();
    for (int r = 0; r < rgrGrid->rowCountFetched(); ++r)
        if (rgrGrid->text(r, SaleDate) == date) {
            rgrGrid->setCurrentCell(r, Weather);
            break;
        }
}

bool TfrmSRI010::isYellowRow(int row) const {
    const int day = rgrGrid->text(row, SaleDate).mid(6, 2).toInt();
    return (day / 10) % 2 == 1; // days 10 to 19, 30 and 31
}

void TfrmSRI010::pickWeather() {
    const int row = rgrGrid->currentRow();
    if (row < 0)
        return;
    const PickedCode picked = PickCode(connection(), QStringLiteral("E0029"), false, this);
    if (!picked.chosen)
        return;
    rgrGrid->setValue(row, Weather, picked.code);
    rgrGrid->setValue(row, WeatherName, picked.name);
    LogRow(controls::RowStatus::Changed, row);
    rgrGrid->postEdit();
}

bool TfrmSRI010::ValidateRow() {
    const int row = rgrGrid->currentRow();
    if (row < 0)
        return true;
    const QString code = rgrGrid->text(row, Weather).trimmed();
    if (code.isEmpty())
        return true;
    const CodeRowValues weather = CodeRow(connection(), QStringLiteral("E0029"), code);
    if (weather.item(1).isEmpty())
        return refuse(row, Weather, QStringLiteral("이(가) 정확하지 않습니다."));
    if (rgrGrid->text(row, WeatherName) != weather.item(1))
        rgrGrid->setValue(row, WeatherName, weather.item(1));
    rgrGrid->postEdit();
    return true;
}

} // namespace kelo::screens
