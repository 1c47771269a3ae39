#include "screens/mis/sri020_accounting.h"

#include "framework/screenhelpers.h"

namespace kelo::screens {

namespace {
enum { Movement, MovementName, ItemCode, ItemName, Amount };
}

TfrmSRI020::TfrmSRI020(db::Connection &connection)
    : MisInputScreen(connection, QStringLiteral("frmSRI020"),
                     QStringLiteral("경영정보관리 회계정보"), QStringLiteral("PR_SA010DT_01")) {
    controls::GridColumn movement = Column("MOVEMENT", "구분", 40);
    movement.visible = false;
    controls::GridColumn movementName = Column("DETAIL_NAME", "구분", 140);
    movementName.repeatBlank = true;
    controls::GridColumn item = Column("ITEM_CODE", "항목", 40);
    item.visible = false;
    controls::GridColumn itemName = Column("ITEM_NAME", "항목", 200);
    itemName.repeatBlank = true;
    rgrGrid->setColumns(
        {movement, movementName, item, itemName, NumberColumn("AMOUNT", "금액", 140, true, 12)});
    StyleForm(this);
    qryQuery->setSql(QStringLiteral(R"sql(
        SELECT C.MOVEMENT, B.DETAIL_NAME, C.ITEM_CODE, C.ITEM_NAME, NVL(A.AMOUNT, 0) AS AMOUNT
        FROM SX020MS C
        JOIN ZX010MS B ON B.HEAD = 'S0011' AND B.DETAIL = C.MOVEMENT
        LEFT JOIN SA010DT A ON A.SALE_DATE = :ASALE_DATE
            AND A.MOVEMENT = C.MOVEMENT
            AND A.ITEM_CODE = C.ITEM_CODE
        ORDER BY C.MOVEMENT, A.ITEM_CODE NULLS LAST, C.ITEM_CODE
    )sql"));
}

bool TfrmSRI020::isYellowRow(int row) const {
    const QString movement = rgrGrid->text(row, Movement);
    return !movement.isEmpty() && movement.at(0).digitValue() % 2 == 1; // movements 10, 30, 50
}

bool TfrmSRI020::ValidateRow() {
    const int row = rgrGrid->currentRow();
    if (row >= 0 && rgrGrid->text(row, Amount).trimmed().isEmpty())
        return refuse(row, Amount, QStringLiteral("을(를) 입력하여 주십시요."));
    return true;
}

void TfrmSRI020::bbtSaveClick() {
    // The item rows carry no date: the procedure takes the screen's.
    if (prcSProc->params().empty())
        prcSProc->refreshParams();
    prcSProc->setParam(QStringLiteral("ASALE_DATE"), saleDate());
    MisInputScreen::bbtSaveClick();
}

} // namespace kelo::screens
