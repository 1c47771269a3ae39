#include "screens/mis/sri030_room_counts.h"

#include "framework/screenhelpers.h"

namespace kelo::screens {

namespace {
const char *const kHotels[] = {"1001", "1002", "1003"};
const char *const kTitles[] = {"Bero Hotel", "Family Hotel", "Vuzired Hotel"};
// Column of a hotel's figure: 1 + hotel * 4 + (0 TTL, 1 OOO, 2 OOI, 3 AVL).
int columnOf(int hotel, int figure) {
    return 1 + hotel * 4 + figure;
}
} // namespace

TfrmSRI030::TfrmSRI030(db::Connection &connection)
    : MisInputScreen(connection, QStringLiteral("frmSRI030"),
                     QStringLiteral("경영정보관리 운영객실정보"), QStringLiteral("PR_SA020MS_01")) {
    std::vector<controls::GridColumn> columns;
    controls::GridColumn date = Column("SALE_DATE", "영업일자", 90);
    date.visible = false;
    columns.push_back(date);
    QStringList selects;
    for (int h = 0; h < 3; ++h) {
        const QString code = QLatin1String(kHotels[h]);
        const char *figures[] = {"TOTAL_RMS", "OOO_RMS", "OOI_RMS", "AVAILABLE_RMS"};
        const char *titles[] = {"TTL", "OOO", "OOI", "AVL"};
        for (int f = 0; f < 4; ++f) {
            const QByteArray field = QByteArray(figures[f]) + '_' + kHotels[h];
            controls::GridColumn c = NumberColumn(field.constData(), titles[f], 60, f < 3, 4);
            c.groups = {QStringLiteral("영업일자"), QLatin1String(kTitles[h])};
            if (h == 1 && f == 0)
                c.visible = false; // the family hotel's total is not entered here
            columns.push_back(c);
            selects << QStringLiteral("SUM(DECODE(A.UPJANG_CODE, '%1', NVL(A.%2, 0), 0)) AS %3")
                           .arg(code, QLatin1String(figures[f]), QString::fromLatin1(field));
        }
    }
    rgrGrid->setColumns(columns);
    StyleForm(this);
    qryQuery->setSql(QStringLiteral(R"sql(
        SELECT B.CALN_DATE AS SALE_DATE, %1
        FROM ZX020MS B
        LEFT JOIN SA020MS A ON A.SALE_DATE = B.CALN_DATE
        WHERE B.CALN_DATE BETWEEN SUBSTR(:ASALE_DATE, 1, 6) || '01'
                              AND TO_CHAR(LAST_DAY(TO_DATE(:ASALE_DATE)), 'YYYYMMDD')
        GROUP BY B.CALN_DATE
        ORDER BY B.CALN_DATE
    )sql")
                         .arg(selects.join(QStringLiteral(", "))));
    // AVL follows as soon as a cell is left, and before a row is posted.
    connect(rgrGrid, &controls::Grid::valueChanged, this, [this](int row, int column) {
        if ((column - 1) % 4 != 3)
            recalculate(row);
    });
    rgrGrid->beforePost = [this](int row) {
        recalculate(row);
        return true;
    };
}

void TfrmSRI030::recalculate(int row) {
    for (int h = 0; h < 3; ++h)
        setComputed(row, columnOf(h, 3),
                    number(row, columnOf(h, 0)) - number(row, columnOf(h, 1)) -
                        number(row, columnOf(h, 2)));
}

void TfrmSRI030::bbtSearchClick() {
    MisInputScreen::bbtSearchClick();
    const QString date = saleDate();
    for (int r = 0; r < rgrGrid->rowCountFetched(); ++r)
        if (rgrGrid->text(r, 0) == date) {
            rgrGrid->setCurrentCell(r, columnOf(0, 0));
            break;
        }
}

bool TfrmSRI030::isYellowRow(int row) const {
    return rgrGrid->text(row, 0).mid(6, 2).toInt() % 5 == 1; // days 1, 6, 11, 16, 21, 26, 31
}

bool TfrmSRI030::ValidateRow() {
    const int row = rgrGrid->currentRow();
    if (row < 0)
        return true;
    const int last = int(rgrGrid->columns().size()) - 1;
    for (int c = 1; c <= last; ++c)
        if (rgrGrid->text(row, c).trimmed().isEmpty())
            return refuse(row, c, QStringLiteral("을(를) 입력하여 주십시요."));
    for (int c = 1; c <= last; ++c)
        if (number(row, c) < 0)
            return refuse(row, c, QStringLiteral("이(가) 0보다 작은 값이 입력되었습니다."));
    recalculate(row);
    rgrGrid->postEdit();
    return true;
}

} // namespace kelo::screens
