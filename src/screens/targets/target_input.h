#pragma once
// The target input screen: an outlet's daily targets of a month.

#include "screens/targets/target_inquiry.h"

#include <QPushButton>

namespace kelo::screens {

// One outlet's daily targets of a month beside the year's monthly totals; values are copied
// down with Ctrl-fill, rows deleted with Delete, and the changes saved through
// PR_STI010MS_01.
class TfrmSTI010 : public TfrmTargetInquiry {
    Q_OBJECT
public:
    explicit TfrmSTI010(db::Connection &connection, QWidget *parent = nullptr);
    void bbtSearchClick() override;

    // The month totals of the year (read-only; rows can be removed from the screen only).
    controls::Grid *rgrMonth;

protected:
    void setParameters() override;
};

} // namespace kelo::screens
