#pragma once

#include "screens/mis/misinput.h"

namespace kelo::screens {

// SRI010 "경영정보관리 메인정보": the weather of every day of the month.
class TfrmSRI010 : public MisInputScreen {
    Q_OBJECT
public:
    explicit TfrmSRI010(db::Connection &connection);
    void bbtSearchClick() override;
    // After the save's reload the cursor stands on the chosen date's row again, so that the
    // next key goes into that day, not the day before.
    void bbtSaveClick() override;
    bool ValidateRow() override;
    // F1 on the weather column: the weather code picker.
    void pickWeather();

protected:
    bool isYellowRow(int row) const override;

private:
    void locateChosenDate();
};

} // namespace kelo::screens
