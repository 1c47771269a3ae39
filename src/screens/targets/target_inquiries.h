#pragma once

#include "screens/targets/target_inquiry.h"

#include <QPushButton>

namespace kelo::screens {

// Targets by department and outlet for a business date: day, month and year to date.
class TfrmSTS010 : public TfrmTargetInquiry {
    Q_OBJECT
public:
    explicit TfrmSTS010(db::Connection &connection, QWidget *parent = nullptr);
    void bbtExcelClick();
    void applyColumnWidths(int width) override;
    void handOver() override;
    QString printLocation() const override;
    QString printParams() const override;
    QString previewProgram() const override;

    QPushButton *bbtExcel;

protected:
    void setParameters() override;
};

// Targets by department for a business date.
class TfrmSTS060 : public TfrmTargetInquiry {
    Q_OBJECT
public:
    explicit TfrmSTS060(db::Connection &connection, QWidget *parent = nullptr);
    void applyColumnWidths(int width) override;
    void handOver() override;
    QString printLocation() const override;
    QString printParams() const override;
    QString previewProgram() const override;

protected:
    void setParameters() override;
};

} // namespace kelo::screens
