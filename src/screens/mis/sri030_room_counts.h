#pragma once

#include "screens/mis/misinput.h"

namespace kelo::screens {

// SRI030 "경영정보관리 운영객실정보": the room counts of the three hotels for every day of the
// month.
class TfrmSRI030 : public MisInputScreen {
    Q_OBJECT
public:
    explicit TfrmSRI030(db::Connection &connection);
    void bbtSearchClick() override;
    bool ValidateRow() override;
    // AVL = TTL - OOO - OOI for each hotel of the row.
    void recalculate(int row);

protected:
    bool isYellowRow(int row) const override;
};

} // namespace kelo::screens
