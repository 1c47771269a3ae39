#pragma once

#include "screens/mis/misinput.h"

namespace kelo::screens {

// SRI020 "경영정보관리 회계정보": the amounts of the accounting items of a day.
class TfrmSRI020 : public MisInputScreen {
    Q_OBJECT
public:
    explicit TfrmSRI020(db::Connection &connection);
    bool ValidateRow() override;
    void bbtSaveClick() override;

protected:
    bool isYellowRow(int row) const override;
};

} // namespace kelo::screens
