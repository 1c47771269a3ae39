#pragma once

#include "controls/edits.h"
#include "screens/mis/misinput.h"

#include <QRadioButton>

namespace kelo::screens {

// The design of SRI040 and SRI050: rows by date (every outlet of a date) or by
// outlet (every date of the month for one outlet), the outlet list with its
// division-group label, computed totals and figures that must all be filled.
class OutletInputScreen : public MisInputScreen {
    Q_OBJECT
public:
    OutletInputScreen(db::Connection &connection, const QString &name, const QString &caption,
                      const QString &procedure, const QString &outletListSql,
                      const QString &perDateSql, const QString &perUpjangSql);

    void rbtPerDateClick();
    void cboUpjangValueChange();
    void bbtSearchClick() override;
    bool ValidateRow() override;
    virtual void recalculate(int row) = 0;

    QRadioButton *rbtPerDate;
    QRadioButton *rbtPerUpjang;
    QLabel *lblUpjang;
    controls::ChoiceBox *cboUpjang;
    QLabel *wlbMisUpjangGubun1;

protected:
    void bindSearch() override;
    bool isYellowRow(int row) const override;
    int m_firstFigure = 0, m_lastFigure = 0, m_rankColumn = 0;

    QString m_perDate, m_perUpjang;

private:
    QStringList m_groupNames;
};

// SRI040 "경영정보관리 매출집계정보": rooms, golf teams, guests and revenue per outlet and
// division.
class TfrmSRI040 : public OutletInputScreen {
    Q_OBJECT
public:
    explicit TfrmSRI040(db::Connection &connection);
    void recalculate(int row) override;
};

// SRI050 "경영정보관리 F&B Index": covers and revenue per F&B outlet and index category.
class TfrmSRI050 : public OutletInputScreen {
    Q_OBJECT
public:
    explicit TfrmSRI050(db::Connection &connection);
    void recalculate(int row) override;
};

} // namespace kelo::screens
